#include "platform/host/lyric_services.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstring>
#include <optional>

#include "platform/host/host.h"
#include "platform/host/music_model.h"
#include "platform/host/record_layouts.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/placement_records.h"
#include "platform/hostapi/services.h"

namespace host {
namespace {

using hostapi::InterfaceVersion;
using hostapi::SyllableInfo;
using hostapi::Tag;

constexpr size_t kLongestText = 0x7FFF;  ///< syllable places are answered as i32, texts are kept shorter

bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '-';
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool SameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool IsLyricTextTag(Tag tag) {
    return std::find(hostapi::kLyricTextTags.begin(), hostapi::kLyricTextTags.end(), tag) !=
           hostapi::kLyricTextTags.end();
}

Document* DocumentFor(InterfaceVersion version) {
    if (version != hostapi::kInterfaceVersion && version != hostapi::kInterfaceVersion2001) {
        return nullptr;
    }
    Host* host = Host::Current();
    return host == nullptr ? nullptr : host->FrontDocument();
}

int32_t SyllablePlace(const char* text, int16_t index, Tag textTag, SyllableInfo* info, InterfaceVersion version) {
    const Document* document = DocumentFor(version);
    if (document == nullptr || text == nullptr || index < 0 || !IsLyricTextTag(textTag)) {
        return 0;
    }
    const std::string_view whole(text, strnlen(text, kLongestText));
    LyricReader reader(whole, info != nullptr ? *info : hostapi::DefaultLyricFont(), &document->Fonts());
    LyricSyllable syllable;
    for (int32_t k = 0; k <= index; ++k) {
        if (!reader.Next(syllable)) {
            if (info != nullptr) {
                *info = reader.State();
                info->setSyllableLength(0);
            }
            return 0;
        }
    }
    if (info != nullptr) {
        *info = syllable.font;
        info->setSyllableLength(static_cast<int16_t>(syllable.end - syllable.start));
    }
    return static_cast<int32_t>(syllable.start);
}

int16_t SyllableText(Tag textTag, int16_t textNumber, int16_t number, char* buffer, int16_t size, int16_t* kind,
                     SyllableInfo* fontState, int16_t* hyphen, int16_t* width, InterfaceVersion version) {
    const Document* document = DocumentFor(version);
    if (document == nullptr || number < 1 || !IsLyricTextTag(textTag)) {
        return 0;
    }
    const Bytes* stored = document->Records().Find(RecordKey::Other(textTag, textNumber, 0));
    if (stored == nullptr) {
        return 0;
    }
    const auto* characters = reinterpret_cast<const char*>(stored->data());
    const std::string_view text(characters, strnlen(characters, std::min(stored->size(), kLongestText)));
    LyricReader reader(text, hostapi::DefaultLyricFont(), &document->Fonts());
    LyricSyllable syllable;
    for (int32_t k = 1; k <= number; ++k) {
        if (!reader.Next(syllable)) {
            return 0;
        }
    }
    if (buffer != nullptr && size > 0) {
        const size_t count = std::min(syllable.characters.size(), static_cast<size_t>(size - 1));
        std::memcpy(buffer, syllable.characters.data(), count);
        buffer[count] = '\0';
    }
    if (kind != nullptr) {
        *kind = syllable.hyphen ? 0 : 1;
    }
    if (fontState != nullptr) {
        *fontState = syllable.font;
        fontState->setSyllableLength(static_cast<int16_t>(syllable.end - syllable.start));
    }
    if (hyphen != nullptr) {
        *hyphen = syllable.hyphen ? 1 : 0;
    }
    if (width != nullptr) {
        *width = static_cast<int16_t>(std::min<int32_t>(SyllableWidth(syllable.characters, syllable.font), INT16_MAX));
    }
    return 1;
}

// ---- Placement of an entry ----

/// The entry of a number in the four layers of a cell.
std::optional<EntryBytes> FindEntry(const Document& document, hostapi::InstrumentKey staff,
                                    hostapi::MeasureNumber measure, hostapi::EntryNumber number) {
    for (hostapi::LayerIndex layer = 0; layer < 4; ++layer) {
        for (const EntryBytes& entry : document.EntriesOf(CellKey{staff, measure, layer})) {
            if (hostapi::ConstEntryView(entry.data()).number() == number) {
                return entry;
            }
        }
    }
    return std::nullopt;
}

int32_t MeasureWidth(const Document& document, int32_t measure) {
    const Bytes* record =
        document.Records().Find(RecordKey::Other(kTagMeasure, static_cast<hostapi::Cmper>(measure), 0));
    const int32_t width = record != nullptr && record->size() >= MeasureLayout::kWidth + 2
                              ? hostapi::ReadI16(record->data(), MeasureLayout::kWidth)
                              : 0;
    return std::max(width, 1);
}

int32_t Scaled(int64_t value, int32_t percent) {
    return static_cast<int32_t>(value * percent / 100);
}

int16_t EntryPlacement(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure, hostapi::EntryNumber number,
                       hostapi::EntryBox* box, hostapi::EntryMetrics* metrics, int16_t /*zero*/,
                       InterfaceVersion version) {
    using hostapi::StaffSystem20Layout;
    using hostapi::StaffSystemLayout;
    const Document* document = DocumentFor(version);
    if (document == nullptr) {
        return 0;
    }
    const Bytes* system = nullptr;
    for (int32_t n = 1; n < INT16_MAX; ++n) {
        const Bytes* record =
            document->Records().Find(RecordKey::Other(hostapi::kTagStaffSystem, static_cast<hostapi::Cmper>(n), 0));
        if (record == nullptr || record->size() < StaffSystem20Layout::kSize) {
            break;
        }
        if (hostapi::ReadI16(record->data(), StaffSystemLayout::kFirstMeasure) <= measure &&
            measure < hostapi::ReadI16(record->data(), StaffSystem20Layout::kEndMeasure)) {
            system = record;
            break;
        }
    }
    const std::optional<EntryBytes> stored = FindEntry(*document, staff, measure, number);
    if (system == nullptr || !stored) {
        return 0;
    }
    const int16_t firstMeasure = hostapi::ReadI16(system->data(), StaffSystemLayout::kFirstMeasure);
    const int16_t storedPercent = hostapi::ReadI16(system->data(), StaffSystem20Layout::kPercent);
    const int32_t percent = storedPercent == 0 ? 100 : storedPercent;
    int32_t measureX = hostapi::ReadI16(system->data(), StaffSystemLayout::kLeftMargin);
    for (int32_t m = firstMeasure; m < measure; ++m) {
        measureX += MeasureWidth(*document, m);
    }
    const int32_t width = MeasureWidth(*document, measure);
    hostapi::Edu duration = MeasureLength(*document, measure);
    duration = duration > 0 ? duration : hostapi::kEduWholeNote;

    const hostapi::ConstEntryView entry(stored->data());
    const int64_t room = std::max(width - 2 * hostapi::kEntryLead, 0);
    const int64_t x = measureX + hostapi::kEntryLead + entry.position() * room / duration;
    const bool stemUp = entry.has(hostapi::kEntryStemUp);
    hostapi::EntryBox placed;
    placed.setFlags(stemUp ? hostapi::EntryBox::kStemUp : 0);
    int64_t right = x + hostapi::kNoteheadWidth;
    const int32_t heads = entry.isNote() ? entry.notesHeld() : 0;
    bool previousBeside = false;
    for (int32_t i = 0; i < heads; ++i) {
        const bool beside =
            i > 0 && !previousBeside && entry.note(i).harmonicLevel() - entry.note(i - 1).harmonicLevel() == 1;
        const int64_t left = x + (beside ? (stemUp ? hostapi::kNoteheadWidth : -hostapi::kNoteheadWidth) : 0);
        placed.setHead(static_cast<size_t>(i), static_cast<int16_t>(Scaled(left, percent)),
                       static_cast<int16_t>(Scaled(left + hostapi::kNoteheadWidth, percent)));
        right = std::max(right, left + hostapi::kNoteheadWidth);
        previousBeside = beside;
    }
    placed.setHeadCount(static_cast<int16_t>(heads));
    placed.setX(Scaled(x, percent));
    placed.setRight(Scaled(right, percent));

    // Vertically: the noteheads around their staff steps, the stem, or a rest around the middle line.
    const hostapi::Evpu reference = StaffReferenceLine(*document, staff);
    int32_t top = hostapi::kMiddleStaffLine + 2 * hostapi::kHalfNotehead;
    int32_t bottom = hostapi::kMiddleStaffLine - 2 * hostapi::kHalfNotehead;
    if (heads > 0) {
        const int16_t key = CellKeyValue(*document, measure, staff, 0);
        const int32_t middleC = MiddleCOfClef(ClefInEffect(*document, staff, measure, entry.position()));
        int32_t highest = INT32_MIN;
        int32_t lowest = INT32_MAX;
        for (int32_t i = 0; i < heads; ++i) {
            const int32_t centre = hostapi::kStaffStep * (middleC + SpellNote(entry.note(i), key).step);
            highest = std::max(highest, centre);
            lowest = std::min(lowest, centre);
        }
        top = highest + hostapi::kHalfNotehead;
        bottom = lowest - hostapi::kHalfNotehead;
        if (entry.duration() < hostapi::kEduWholeNote) {
            if (stemUp) {
                top = std::max(top, highest + hostapi::kStemLength);
            } else {
                bottom = std::min(bottom, lowest - hostapi::kStemLength);
            }
        }
    }
    placed.setTop(Scaled(int64_t{reference} + top, percent));
    placed.setBottom(Scaled(int64_t{reference} + bottom, percent));
    if (box != nullptr) {
        *box = placed;
    }
    if (metrics != nullptr) {
        hostapi::EntryMetrics measureMetrics;
        measureMetrics.setMeasureX(measureX);
        measureMetrics.setMeasureWidth(width);
        measureMetrics.setScale(1, percent * 100);
        measureMetrics.setScale(2, percent * 100);
        measureMetrics.setScale(3, hostapi::EntryMetrics::kUnscaled);
        measureMetrics.setReference(reference);
        *metrics = measureMetrics;
    }
    return 1;
}

}  // namespace

// ---- Reading a lyric text ----

LyricReader::LyricReader(std::string_view text, const SyllableInfo& start, const FontTable* fonts)
    : m_text(text), m_state(start), m_fonts(fonts) {
    m_state.setSyllableLength(0);
}

int32_t LyricReader::Command() {
    ++m_at;  // the '^'
    if (m_at < m_text.size() && m_text[m_at] == '^') {
        ++m_at;
        return '^';
    }
    const size_t open = m_text.find('(', m_at);
    const size_t close = open == std::string_view::npos ? open : m_text.find(')', open);
    if (close == std::string_view::npos) {
        m_at = m_text.size();  // a command without its ')' ends the text
        return -1;
    }
    Apply(m_text.substr(m_at, open - m_at), m_text.substr(open + 1, close - open - 1));
    m_at = close + 1;
    return -1;
}

void LyricReader::Apply(std::string_view word, std::string_view arguments) {
    if (SameWord(word, "font")) {
        if (m_fonts == nullptr) {
            return;
        }
        const auto found = std::find_if(m_fonts->begin(), m_fonts->end(),
                                        [&](const auto& font) { return SameWord(font.second, arguments); });
        if (found != m_fonts->end()) {
            m_state.setFont(found->first);
        }
    } else if (SameWord(word, "size")) {
        int32_t size = 0;
        const auto [end, error] = std::from_chars(arguments.data(), arguments.data() + arguments.size(), size);
        if (error == std::errc() && end == arguments.data() + arguments.size() && size >= 0 && size <= INT16_MAX) {
            m_state.setSize(static_cast<int16_t>(size));
        }
    } else if (SameWord(word, "efx")) {
        uint16_t style = m_state.style();
        size_t from = 0;
        while (from <= arguments.size()) {
            size_t to = arguments.find_first_of(", ", from);
            to = to == std::string_view::npos ? arguments.size() : to;
            const std::string_view part = arguments.substr(from, to - from);
            if (SameWord(part, "plain")) {
                style = 0;
            }
            for (size_t bit = 0; bit < hostapi::kLyricStyleWords.size(); ++bit) {
                if (SameWord(part, hostapi::kLyricStyleWords[bit])) {
                    style = static_cast<uint16_t>(style | (1u << bit));
                }
            }
            from = to + 1;
        }
        m_state.setStyle(style);
    }
}

bool LyricReader::Next(LyricSyllable& syllable) {
    // Separators and commands before the syllable.
    int32_t first = -1;
    while (m_at < m_text.size() && first < 0) {
        if (m_text[m_at] == '^') {
            const size_t at = m_at;
            first = Command();
            if (first >= 0) {
                m_at = at;  // "^^" begins the syllable
            }
        } else if (IsSeparator(m_text[m_at])) {
            ++m_at;
        } else {
            first = static_cast<unsigned char>(m_text[m_at]);
        }
    }
    if (first < 0) {
        return false;
    }
    syllable = LyricSyllable{};
    syllable.start = m_at;
    syllable.font = m_state;
    while (m_at < m_text.size() && !IsSeparator(m_text[m_at])) {
        if (m_text[m_at] == '^') {
            const int32_t c = Command();
            if (c >= 0) {
                syllable.characters += static_cast<char>(c);
            }
        } else {
            syllable.characters += m_text[m_at++];
        }
    }
    syllable.end = m_at;
    syllable.hyphen = m_at < m_text.size() && m_text[m_at] == '-';
    return true;
}

int32_t SyllableWidth(std::string_view characters, const SyllableInfo& font) {
    const int32_t size = font.size() > 0 ? font.size() : hostapi::kDefaultLyricSize;
    return static_cast<int32_t>(characters.size()) * size * hostapi::kLyricCharacterWidth;
}

// ---- Service table ----

void* LyricServiceByOrdinal(int32_t ordinal) {
    using hostapi::Service;
    switch (static_cast<Service>(ordinal)) {
        case Service::SyllablePlace:
            return reinterpret_cast<void*>(static_cast<hostapi::SyllablePlaceFn>(SyllablePlace));
        case Service::SyllableText:
            return reinterpret_cast<void*>(static_cast<hostapi::SyllableTextFn>(SyllableText));
        case Service::EntryPlacement:
            return reinterpret_cast<void*>(static_cast<hostapi::EntryPlacementFn>(EntryPlacement));
        default:
            return nullptr;
    }
}

}  // namespace host
