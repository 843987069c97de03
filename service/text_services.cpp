#include "service/text_services.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/hostapi/bytes.h"
#include "platform/hostapi/measure_region_records.h"
#include "service/layout_services.h"
#include "service/lumvar.h"
#include "service/module_state.h"
#include "service/record_forwards.h"

namespace lumvar {
namespace {

using hostapi::ReadI16;

struct Region {
    int16_t number = 0;
    int16_t first = 0;
    int16_t end = 0;
    int16_t firstDigit = 0;
    int16_t base = 10;
    int16_t offset = 0;
    std::string prefix;
    std::string suffix;
    int16_t flags = 0;

    bool HoldsMeasure(int32_t measure) const { return measure >= first && measure <= end - 1; }
    bool DisplaysNumber(int32_t shown) const { return shown >= offset + 1 && shown <= offset + end - first; }
    /// The measure of a number the region displays (a 16-bit measure number; 0 beyond).
    int32_t MeasureOf(int32_t shown) const {
        const int32_t measure = shown - offset - 1 + first;
        return measure >= SHRT_MIN && measure <= SHRT_MAX ? measure : 0;
    }
};

std::vector<Region> LoadRegions() {
    std::vector<Region> regions;
    std::array<uint8_t, MeasureNumberRegion::kSize> record{};
    const hostapi::Tag tag = MeasureNumberRegionTag();
    for (int32_t number = 1; number <= SHRT_MAX; ++number) {
        record.fill(0);
        if (LoadOther(tag, static_cast<int16_t>(number), 0, record.data(), MeasureNumberRegion::kSize) == 0) {
            break;
        }
        Region region;
        region.number = static_cast<int16_t>(number);
        region.first = ReadI16(record.data(), MeasureNumberRegion::kFirstMeasure);
        region.end = ReadI16(record.data(), MeasureNumberRegion::kEndMeasure);
        region.firstDigit = ReadI16(record.data(), MeasureNumberRegion::kFirstDigit);
        region.base = ReadI16(record.data(), MeasureNumberRegion::kBase);
        region.offset = ReadI16(record.data(), MeasureNumberRegion::kNumberOffset);
        region.prefix = hostapi::ReadFixedText(record.data(), MeasureNumberRegion::kPrefix,
                                               MeasureNumberRegion::kSuffix - MeasureNumberRegion::kPrefix);
        region.suffix = hostapi::ReadFixedText(record.data(), MeasureNumberRegion::kSuffix,
                                               MeasureNumberRegion::kFlags - MeasureNumberRegion::kSuffix);
        region.flags = ReadI16(record.data(), MeasureNumberRegion::kFlags);
        regions.push_back(std::move(region));
    }
    return regions;
}

/// A whole decimal number of a text (an optional sign, then digits to the text's end); none for
/// any other text or a number beyond 16 bits, which can be no measure.
std::optional<int16_t> SmallNumber(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    int32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        if (value > SHRT_MAX + 1) {
            return std::nullopt;
        }
    }
    value = negative ? -value : value;
    if (value < SHRT_MIN || value > SHRT_MAX) {
        return std::nullopt;
    }
    return static_cast<int16_t>(value);
}

/// The number a text shows under a region's numbering; 0 when it does not match. `corrected`
/// applies the correction by one of the style flags. A value beyond 16 bits matches no number
/// the region shows.
int16_t ParseWithRegion(std::string_view text, const Region& region, bool corrected) {
    if (text.size() < region.prefix.size() + region.suffix.size() || !text.starts_with(region.prefix) ||
        !text.ends_with(region.suffix)) {
        return 0;
    }
    const std::string_view digits =
        text.substr(region.prefix.size(), text.size() - region.prefix.size() - region.suffix.size());
    if (digits.empty()) {
        return 0;
    }
    const int32_t f = region.firstDigit;
    const auto inRange = [&](char c) {
        const int32_t d = static_cast<unsigned char>(c);
        return d >= f && d <= f + region.base;
    };
    // The digits and the base come from the document: the value is kept in 64 bits, and a text
    // whose value leaves the 16 bits of a measure number matches nothing.
    constexpr int64_t kBeyond = int64_t{1} << 20;
    int64_t value = 0;
    if ((region.flags & MeasureNumberRegion::kRepeatedCharacter) == 0) {
        for (const char c : digits) {
            if (!inRange(c)) {
                return 0;
            }
            const int64_t d =
                static_cast<unsigned char>(c) - f + ((region.flags & MeasureNumberRegion::kDigitsFromOne) ? 1 : 0);
            value = value * region.base + d;
            if (value > kBeyond || value < -kBeyond) {
                return 0;
            }
        }
    } else {
        if (!inRange(digits.front())) {
            return 0;
        }
        const int64_t d = static_cast<unsigned char>(digits.front());
        value = int64_t{region.base} * static_cast<int64_t>(digits.size() - 1) + (d + 1 - f);
    }
    if (value < SHRT_MIN || value > SHRT_MAX) {
        return 0;
    }
    if (!corrected) {
        return static_cast<int16_t>(value);
    }
    if (region.base == 10) {
        if ((region.flags & MeasureNumberRegion::kNoCorrection) == 0) {
            ++value;
        }
    } else if ((region.flags & MeasureNumberRegion::kNoCorrection) != 0) {
        --value;
    }
    if (value < SHRT_MIN || value > SHRT_MAX) {
        return 0;
    }
    return static_cast<int16_t>(value);
}

/// A text of decimal digits only, as a number; nullopt for any other text.
std::optional<int32_t> PlainNumber(std::string_view text) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return std::atoi(std::string(text).c_str());
}

/// The text that shows a measure: its number where exactly one region displays that number
/// and it is itself a measure some region holds, else the region and the number ("%d:%d"), or
/// "#" and the measure when no region holds it; the measure itself without regions.
std::string ShownMeasure(int32_t measure, const std::vector<Region>& regions);

std::string Format(const char* format, int32_t a, int32_t b = 0) {
    char text[40];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

std::string ShownMeasure(int32_t measure, const std::vector<Region>& regions) {
    if (regions.empty()) {
        return Format("%d", measure);
    }
    for (const Region& region : regions) {
        if (!region.HoldsMeasure(measure)) {
            continue;
        }
        const int32_t candidate = measure - region.first + region.offset + 1;
        // The number stands for the measure only when one region at most displays it, and it
        // is itself a measure some region holds.
        const auto displaying = std::count_if(regions.begin(), regions.end(),
                                              [candidate](const Region& r) { return r.DisplaysNumber(candidate); });
        const bool held = std::any_of(regions.begin(), regions.end(),
                                      [candidate](const Region& r) { return r.HoldsMeasure(candidate); });
        if (displaying <= 1 && held) {
            return Format("%d", candidate);
        }
    }
    const auto holding =
        std::find_if(regions.begin(), regions.end(), [measure](const Region& r) { return r.HoldsMeasure(measure); });
    return holding != regions.end() ? Format("%d:%d", holding->number, measure - holding->first + holding->offset + 1)
                                    : Format("#%d", measure);
}

bool Blank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

hostapi::Tag MeasureNumberRegionTag() {
    return hostapi::MeasureNumberRegionTag(FinaleVersion());
}

int16_t MeasureToString(int16_t measure, char* out) {
    if (out == nullptr) {
        return ERR_NULL_ARGUMENT;
    }
    if (measure < 1 || measure > CountItems(1)) {
        return ERR_OUT_OF_RANGE;
    }
    const std::string text = ShownMeasure(measure, LoadRegions());
    std::memcpy(out, text.c_str(), text.size() + 1);
    return ERR_OK;
}

int16_t StringToMeasure(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    const std::string_view view(text);
    if (view.starts_with("#")) {
        return SmallNumber(view.substr(1)).value_or(0);
    }
    const std::vector<Region> regions = LoadRegions();
    const int32_t measureCount = CountItems(1);
    // The measures the text can stand for, in the order the regions' numberings read it (with
    // the decimal correction first, then without it), then the measure whose number the text
    // is. The first one shown as this very text is the answer, so that a measure's text reads
    // back as that measure; when none is, the regions' reading holds.
    std::vector<int32_t> candidates;
    const auto addRead = [&](std::string_view shownText, const Region& region) {
        for (const bool corrected : {true, false}) {
            const int16_t shown = ParseWithRegion(shownText, region, corrected);
            if (shown != 0 && region.DisplaysNumber(shown)) {
                candidates.push_back(region.MeasureOf(shown));
            }
        }
    };
    const auto addPlain = [&](std::string_view shownText, const Region& region) {
        if (const auto number = PlainNumber(shownText); number && region.DisplaysNumber(*number)) {
            candidates.push_back(region.MeasureOf(*number));
        }
    };
    std::optional<int32_t> fallback;
    if (const size_t colon = view.find(':'); colon != std::string_view::npos) {
        const int32_t number = SmallNumber(view.substr(0, std::min<size_t>(colon, 20))).value_or(0);
        const auto region =
            std::find_if(regions.begin(), regions.end(), [number](const Region& r) { return r.number == number; });
        if (region == regions.end()) {
            return 0;
        }
        addRead(view.substr(colon + 1), *region);
        addPlain(view.substr(colon + 1), *region);
        const int16_t shown = ParseWithRegion(view.substr(colon + 1), *region, true);
        fallback = shown != 0 && region->DisplaysNumber(shown) ? region->MeasureOf(shown) : 0;
    } else {
        for (const Region& region : regions) {
            addRead(view, region);
        }
        for (const Region& region : regions) {
            addPlain(view, region);
        }
    }
    for (const int32_t measure : candidates) {
        if (measure >= 1 && measure <= measureCount && ShownMeasure(measure, regions) == view) {
            return static_cast<int16_t>(measure);
        }
    }
    // No measure shows this text: the first reading of a region that takes it, else the text
    // as a plain number.
    for (const Region& region : regions) {
        if (fallback) {
            break;
        }
        const int16_t shown = ParseWithRegion(view, region, true);
        if (shown != 0 && region.DisplaysNumber(shown)) {
            fallback = region.MeasureOf(shown);
        }
    }
    if (fallback) {
        return static_cast<int16_t>(*fallback);
    }
    return SmallNumber(view).value_or(0);
}

int32_t StripCarets(char* text, char* fontOut, char* sizeOut, char* efxOut) {
    if (text == nullptr) {
        return 0;
    }
    const size_t length = std::strlen(text);
    size_t read = 0;
    size_t write = 0;
    bool visibleKept = false;
    while (read < length) {
        const char c = text[read];
        if (c == '^') {
            // A command: the caret, its name and its arguments, through the next ")".
            const char* close = std::strchr(text + read, ')');
            const size_t end = close == nullptr ? length : static_cast<size_t>(close - text) + 1;
            if (!visibleKept) {
                const std::string_view command(text + read + 1, end - read - 1);
                const size_t open = command.find('(');
                if (open != std::string_view::npos) {
                    const std::string_view name = command.substr(0, open);
                    std::string_view argument = command.substr(open + 1);
                    if (argument.ends_with(")")) {
                        argument.remove_suffix(1);
                    }
                    char* target = name == "font"   ? fontOut
                                   : name == "size" ? sizeOut
                                   : name == "efx"  ? efxOut
                                                    : nullptr;
                    if (target != nullptr) {
                        const size_t n = std::min(argument.size(), kStripArgumentSize - 1);
                        std::memcpy(target, argument.data(), n);
                        target[n] = '\0';
                    }
                }
            }
            read = end;
            continue;
        }
        ++read;
        if (c == '\r') {
            continue;
        }
        const char kept = c == '\n' ? ' ' : c;
        text[write++] = kept;
        visibleKept = visibleKept || !Blank(kept);
    }
    text[write] = '\0';
    return static_cast<int32_t>(write);
}

std::string StripCaretsOf(std::string text) {
    text.resize(static_cast<size_t>(StripCarets(text.data(), nullptr, nullptr, nullptr)));
    return text;
}

int16_t GetRawText(int16_t key, void* buffer, uint32_t size, uint32_t tag) {
    return LoadOther(tag, key, 0, buffer, size);
}

int16_t SetRawText(int16_t* key, const char* text, uint32_t tag) {
    if (key == nullptr || text == nullptr) {
        return 0;
    }
    const auto size = static_cast<uint32_t>(std::strlen(text) + 1);
    auto* bytes = const_cast<char*>(text);
    if (*key == -1) {
        int16_t incident = 0;
        return CreateOther(tag, key, &incident, bytes, size);
    }
    return SaveOther(tag, *key, 0, bytes, size);
}

const char* GetTextBlock(int16_t key, int16_t strip, void* record48) {
    AnsweredText& answer = Module().textBuffer;
    std::array<uint8_t, kTextBlockSize> header{};
    std::string text;
    if (LoadOther(kTagTextBlock, key, 0, header.data(), kTextBlockSize) != 0) {
        if (LoadOtherText(kTagRawText, ReadI16(header.data(), 0), 0, text) && strip != 0) {
            text = StripCaretsOf(std::move(text));
        }
        if (record48 != nullptr) {
            std::memcpy(record48, header.data(), kTextBlockSize);
        }
    }
    // The buffer keeps at most 999 characters; the client learns the whole length from
    // pFTX_TextLength.
    answer.chars.fill('\0');
    return answer.Keep(text);
}

int16_t SetTextBlock(int16_t* blockKey, void* record48, const char* text) {
    if (blockKey == nullptr || record48 == nullptr || text == nullptr) {
        return 0;
    }
    auto* header = static_cast<uint8_t*>(record48);
    int16_t textKey = ReadI16(header, 0);
    // Without its characters the header would name a text that is not there: stop.
    if (SetRawText(&textKey, text, kTagRawText) == 0) {
        return 0;
    }
    hostapi::WriteI16(header, 0, textKey);
    if (*blockKey == -1) {
        int16_t incident = 0;
        return CreateOther(kTagTextBlock, blockKey, &incident, header, kTextBlockSize);
    }
    return SaveOther(kTagTextBlock, *blockKey, 0, header, kTextBlockSize);
}

std::string TextBlockText(int16_t key) {
    std::array<uint8_t, kTextBlockSize> header{};
    std::string text;
    if (key == 0 || LoadOther(kTagTextBlock, key, 0, header.data(), kTextBlockSize) == 0 ||
        !LoadOtherText(kTagRawText, ReadI16(header.data(), 0), 0, text)) {
        return {};
    }
    return StripCaretsOf(std::move(text));
}

uint32_t TextLength(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    ModuleState& module = Module();
    for (const AnsweredText* answer :
         {&module.textBuffer, &module.names.staff, &module.names.staffInList, &module.names.group}) {
        if (text == answer->chars.data()) {
            return static_cast<uint32_t>(answer->wholeLength);
        }
    }
    return static_cast<uint32_t>(std::strlen(text));
}

}  // namespace lumvar
