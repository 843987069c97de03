#include "platform/host/note_spacing.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/host/lyric_services.h"
#include "platform/host/music_model.h"
#include "platform/host/record_layouts.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/lyric_records.h"

namespace host {
namespace {

constexpr hostapi::Tag kTagBeatChart = hostapi::MakeTag("otBC");
constexpr size_t kBeatChartSize = 10;
constexpr size_t kMaxPoints = 998;  ///< the chart's header and up to 999 elements; one more is never needed
constexpr uint16_t kSpacingModeMask = 0x0007;
constexpr uint16_t kSpacedByChart = 2;

/// The staves of the document, in number order.
std::vector<hostapi::InstrumentKey> Staves(const Document& document) {
    std::vector<hostapi::InstrumentKey> staves;
    std::optional<RecordKey> key = RecordKey::Other(kTagStaff, INT16_MIN, INT16_MIN);
    while ((key = document.Records().Next(*key))) {
        staves.push_back(static_cast<hostapi::InstrumentKey>(key->first));
    }
    return staves;
}

/// The width of syllable `number` (from 1) of a lyric text; 0 when there is none.
int32_t SyllableWidthOf(const Document& document, hostapi::Tag textTag, int16_t textNumber, int16_t number) {
    const Bytes* stored = document.Records().Find(RecordKey::Other(textTag, textNumber, 0));
    if (stored == nullptr || number < 1) {
        return 0;
    }
    const auto* characters = reinterpret_cast<const char*>(stored->data());
    const std::string_view text(characters, strnlen(characters, stored->size()));
    LyricReader reader(text, hostapi::DefaultLyricFont(), &document.Fonts());
    LyricSyllable syllable;
    for (int16_t k = 1; k <= number; ++k) {
        if (!reader.Next(syllable)) {
            return 0;
        }
    }
    return SyllableWidth(syllable.characters, syllable.font);
}

/// The widest syllable an entry sings; 0 for none.
int32_t WidestSyllable(const Document& document, hostapi::ConstEntryView entry) {
    if (!entry.has(hostapi::kEntryLyrics)) {
        return 0;
    }
    int32_t widest = 0;
    for (size_t kind = 0; kind < hostapi::kLyricAssignmentTags.size(); ++kind) {
        for (hostapi::Inci inci = 0; inci < INT16_MAX; ++inci) {
            const Bytes* assignment = document.Records().Find(
                RecordKey::EntryDetail(hostapi::kLyricAssignmentTags[kind], entry.number(), inci));
            if (assignment == nullptr || assignment->size() < hostapi::LyricAssignmentLayout::kSyllable + 2) {
                break;
            }
            widest = std::max(
                widest,
                SyllableWidthOf(document, hostapi::kLyricTextTags[kind],
                                hostapi::ReadI16(assignment->data(), hostapi::LyricAssignmentLayout::kTextNumber),
                                hostapi::ReadI16(assignment->data(), hostapi::LyricAssignmentLayout::kSyllable)));
        }
    }
    return widest;
}

void RespaceMeasure(Document& document, hostapi::MeasureNumber measure, const Bytes& measureRecord) {
    hostapi::Edu length = MeasureLength(document, measure);
    length = length > 0 ? length : hostapi::kEduWholeNote;
    // Time point -> the widest syllable of the entries there.
    std::map<hostapi::Edu, int32_t> points{{0, 0}};
    for (const hostapi::InstrumentKey staff : Staves(document)) {
        for (hostapi::LayerIndex layer = 0; layer < 4; ++layer) {
            for (const EntryBytes& bytes : document.EntriesOf(CellKey{staff, measure, layer})) {
                const hostapi::ConstEntryView entry(bytes.data());
                if (entry.actualDuration() <= 0 || entry.position() < 0 || entry.position() >= length) {
                    continue;
                }
                int32_t& widest = points[entry.position()];
                widest = std::max(widest, WidestSyllable(document, entry));
            }
        }
    }
    while (points.size() > kMaxPoints) {
        points.erase(std::prev(points.end()));
    }
    std::vector<std::pair<hostapi::Edu, hostapi::Evpu>> elements;  // time, position
    hostapi::Evpu x = kLeadingSpace;
    for (auto it = points.begin(); it != points.end(); ++it) {
        const auto next = std::next(it);
        const hostapi::Edu gap = (next == points.end() ? length : next->first) - it->first;
        elements.emplace_back(it->first, x);
        hostapi::Evpu space = NoteSpace(gap);
        if (it->second > 0) {
            space = std::max(space, it->second + kSyllableGap);
        }
        x += space;
    }
    const hostapi::Evpu end = std::min<hostapi::Evpu>(x, INT16_MAX - kBarlineSpace);
    const auto width = static_cast<int16_t>(end + kBarlineSpace);

    // The old chart goes whole: each delete moves the later elements down by one.
    while (document.DeleteRecord(RecordKey::Other(kTagBeatChart, measure, 0))) {
    }
    const auto save = [&](hostapi::Inci index, hostapi::Edu time, int32_t position, int32_t next, int32_t minimum) {
        Bytes element(kBeatChartSize, 0);
        hostapi::WriteI32(element.data(), 0, time);
        hostapi::WriteI16(element.data(), 4, static_cast<int16_t>(std::min(position, int32_t{INT16_MAX})));
        hostapi::WriteI16(element.data(), 6, static_cast<int16_t>(std::min(next, int32_t{INT16_MAX})));
        hostapi::WriteI16(element.data(), 8, static_cast<int16_t>(minimum));
        document.SaveRecord(RecordKey::Other(kTagBeatChart, measure, index), std::move(element));
    };
    save(0, length, end, end, width);
    for (size_t i = 0; i < elements.size(); ++i) {
        const int32_t next = i + 1 < elements.size() ? elements[i + 1].second : end;
        save(static_cast<hostapi::Inci>(i + 1), elements[i].first, elements[i].second, next, 0);
    }
    Bytes changed = measureRecord;
    hostapi::WriteI16(changed.data(), MeasureLayout::kWidth, width);
    const uint16_t flags = hostapi::ReadU16(changed.data(), MeasureLayout::kFlags);
    hostapi::WriteU16(changed.data(), MeasureLayout::kFlags,
                      static_cast<uint16_t>((flags & ~kSpacingModeMask) | kSpacedByChart));
    document.SaveRecord(RecordKey::Other(kTagMeasure, measure, 0), std::move(changed));
}

}  // namespace

hostapi::Evpu NoteSpace(hostapi::Edu duration) {
    const double space = std::round(1.5 * std::sqrt(static_cast<double>(std::max<hostapi::Edu>(duration, 0))));
    return std::max(kMinimumSpace, static_cast<hostapi::Evpu>(space));
}

int32_t ApplyNoteSpacing(Document& document, hostapi::MeasureNumber first, hostapi::MeasureNumber last) {
    int32_t respaced = 0;
    for (int32_t measure = std::max<int32_t>(first, 1); measure <= last; ++measure) {
        const auto number = static_cast<hostapi::MeasureNumber>(measure);
        const Bytes* record = document.Records().Find(RecordKey::Other(kTagMeasure, number, 0));
        if (record == nullptr || record->size() < MeasureLayout::kSize) {
            continue;
        }
        RespaceMeasure(document, number, Bytes(*record));
        ++respaced;
    }
    return respaced;
}

}  // namespace host
