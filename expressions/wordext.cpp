#include "expressions/wordext.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/host_imports.h"
#include "core/tool_context.h"
#include "expressions/txtexpr.h"
#include "platform/hostapi/placement_records.h"

namespace orvex {
namespace {

using hostapi::EntryBox;
using hostapi::EntryMetrics;
using hostapi::LyricAssignmentLayout;
using hostapi::SyllableInfo;

constexpr size_t kSyllableBuffer = 256;
constexpr uint8_t kInvisibleBlank = 0xA0;
constexpr int32_t kGap = 4;  ///< EVPU between a syllable and its extension
constexpr size_t kBarlineByte = 10;

using Assignment = RawRecord<LyricAssignmentLayout::kSize>;

/// A syllable as service 49 reads it.
struct SyllableRead {
    std::array<char, kSyllableBuffer> text{};
    int16_t kind = 0;
    SyllableInfo font;
    int16_t hyphen = 0;
    int16_t width = 0;
};

bool ReadSyllable(int16_t kind, int16_t textNumber, int16_t syllable, SyllableRead& read) {
    return SyllableTextOf(hostapi::kLyricTextTags[static_cast<size_t>(kind)], textNumber, syllable, read.text.data(),
                          static_cast<int16_t>(read.text.size()), &read.kind, &read.font, &read.hyphen,
                          &read.width) != 0;
}

/// The whole text of a lyric record, however long (a long lyric is counted and added to as a
/// short one is); false when it is missing.
bool LoadLyricText(int16_t kind, int16_t textNumber, std::string& text) {
    return LoadTextRecord(hostapi::kLyricTextTags[static_cast<size_t>(kind)], textNumber, 0, text);
}

bool SaveLyricText(int16_t kind, int16_t textNumber, const std::string& text) {
    return SaveOtherRecord(hostapi::kLyricTextTags[static_cast<size_t>(kind)], textNumber, 0, text.c_str(),
                           static_cast<int32_t>(text.size() + 1));
}

/// The number of syllables of a text (service 42, one syllable after the other) and the font
/// state at its end.
int32_t CountSyllables(const std::string& text, int16_t kind, SyllableInfo& font) {
    font = hostapi::DefaultLyricFont();
    if (!HostOffers(&HostImports::SyllablePlace)) {
        return 0;
    }
    const hostapi::Tag tag = hostapi::kLyricTextTags[static_cast<size_t>(kind)];
    int32_t at = SyllablePlaceOf(text.c_str(), 0, tag, &font);
    if (font.syllableLength() == 0) {
        return 0;
    }
    int32_t count = 1;
    while (true) {
        const int32_t next = SyllablePlaceOf(text.c_str() + at, 1, tag, &font);
        if (next <= 0 || static_cast<size_t>(at) + static_cast<size_t>(next) >= text.size()) {
            break;
        }
        at += next;
        ++count;
    }
    return count;
}

/// The font commands that lead from one font state to another.
std::string FontCommands(const SyllableInfo& from, const SyllableInfo& to) {
    std::string commands;
    if (to.font() != from.font()) {
        commands += "^font(" + HostFontName(to.font()) + ")";
    }
    if (to.size() != from.size()) {
        commands += "^size(" + std::to_string(to.size()) + ")";
    }
    uint16_t style = from.style();
    // A style word only adds its bit: a style that loses one starts again from plain.
    if (to.style() != style && (to.style() == 0 || (style & ~to.style()) != 0)) {
        commands += "^efx(plain)";
        style = 0;
    }
    for (size_t bit = 0; bit < hostapi::kLyricStyleWords.size(); ++bit) {
        const auto mask = static_cast<uint16_t>(1u << bit);
        if ((to.style() & mask) != 0 && (style & mask) == 0) {
            commands += std::string("^efx(") + hostapi::kLyricStyleWords[bit] + ")";
        }
    }
    return commands;
}

bool Layout(const EntryInfo& info, EntryBox& box, EntryMetrics& metrics) {
    return EntryPlacementOf(info.instrument, info.measure, info.entry, &box, &metrics) != 0;
}

/// value x 10000 / scale, unless the scale is 10000 (or none).
int64_t Unscaled(int64_t value, int32_t scale) {
    return scale == EntryMetrics::kUnscaled || scale == 0 ? value : value * EntryMetrics::kUnscaled / scale;
}

bool FirstOfSystem(const EntryInfo& info) {
    return (info.flags & kWalkFirstOfSystem) != 0 && (info.flags & kWalkFirstOfLayer) != 0;
}

}  // namespace

// ---- CWordExtPlacer ----

CWordExtPlacer::CWordExtPlacer(const TFMisc& context, hostapi::ViewKey view, hostapi::StaffSlot staff)
    : m_context(context), m_view(view), m_staff(staff) {}

bool CWordExtPlacer::Changed() const {
    return std::any_of(m_kinds.begin(), m_kinds.end(), [](const Kind& kind) {
        return std::any_of(kind.trackers.begin(), kind.trackers.end(),
                           [](const SyllableTracker& tracker) { return tracker.changed != 0; });
    });
}

void CWordExtPlacer::Entry(const EntryInfo& info) {
    if ((info.entryFlags & hostapi::kEntryNote) == 0) {
        Flush();
        return;
    }
    if ((info.entryFlags & hostapi::kEntryLyrics) != 0) {
        EntryWithLyrics(info);
    } else {
        AdvanceAll(info);
    }
    // The region's last entry ends every melisma of the staff and layer, also one of another
    // text than the syllables of this entry.
    if ((info.flags & kWalkLastOfRegion) != 0) {
        Flush();
    }
    if ((info.flags & kWalkLastOfLayer) != 0) {
        EDTMeasureSpec measure;
        if (LoadMeasureSpec(info.measure, measure)) {
            const int32_t barline = (measure.bytes[kBarlineByte] >> 4) & 0xF;
            if (barline == 2 || barline == 5) {
                Flush();
            }
        }
    }
}

template <typename Step>
void CWordExtPlacer::ForEachActive(Step step) {
    for (Kind& kind : m_kinds) {
        for (const size_t index : kind.active) {
            step(kind.trackers[index]);
        }
        std::erase_if(kind.active, [&kind](size_t index) { return kind.trackers[index].state == TrackerState::Idle; });
    }
}

void CWordExtPlacer::AdvanceAll(const EntryInfo& info) {
    ForEachActive([&](SyllableTracker& tracker) { Advance(tracker, info); });
}

void CWordExtPlacer::Flush() {
    ForEachActive([&](SyllableTracker& tracker) {
        Place(tracker, false);
        tracker.state = TrackerState::Idle;
    });
}

void CWordExtPlacer::LoadTexts() {
    for (size_t k = 0; k < m_kinds.size(); ++k) {
        Kind& kind = m_kinds[k];
        const hostapi::Tag tag = hostapi::kLyricTextTags[k];
        int32_t cmper = 0;
        int32_t inci = 0;
        int32_t first = 0;
        int32_t last = 0;
        for (int32_t step = 0; step <= UINT16_MAX && NextOtherRecord(tag, cmper, inci, nullptr, 0); ++step) {
            if (inci == 0 && cmper >= 1 && cmper <= INT16_MAX) {
                first = first == 0 ? cmper : first;
                last = cmper;
            }
        }
        if (first == 0) {
            continue;
        }
        // The trackers span the text numbers from the first to the last: a number without a
        // text has a tracker with no syllables.
        kind.base = static_cast<int16_t>(first - 1);
        kind.count = static_cast<int16_t>(last - kind.base);
        kind.trackers.resize(static_cast<size_t>(kind.count));
        for (int16_t i = 0; i < kind.count; ++i) {
            SyllableTracker& tracker = kind.trackers[static_cast<size_t>(i)];
            tracker.kind = static_cast<int16_t>(k);
            tracker.textNumber = static_cast<int16_t>(kind.base + 1 + i);
            std::string text;
            if (LoadLyricText(tracker.kind, tracker.textNumber, text)) {
                tracker.syllables = CountSyllables(text, tracker.kind, tracker.font);
            }
        }
    }
}

void CWordExtPlacer::Start(SyllableTracker& tracker, const EntryInfo& info, int16_t syllable, int16_t inci,
                           TrackerState state) {
    tracker.start = info;
    tracker.end = info;
    tracker.syllable = syllable;
    tracker.inci = inci;
    tracker.state = state;
    Kind& kind = m_kinds[static_cast<size_t>(tracker.kind)];
    const auto index = static_cast<size_t>(&tracker - kind.trackers.data());
    const auto at = std::lower_bound(kind.active.begin(), kind.active.end(), index);
    if (at == kind.active.end() || *at != index) {
        kind.active.insert(at, index);
    }
}

void CWordExtPlacer::EntryWithLyrics(const EntryInfo& info) {
    if (m_loaded == 0) {
        LoadTexts();
        m_loaded = 1;
    }
    for (size_t k = 0; k < m_kinds.size(); ++k) {
        Kind& kind = m_kinds[k];
        const hostapi::Tag tag = hostapi::kLyricAssignmentTags[k];
        for (int32_t inci = 0; inci <= INT16_MAX;) {
            Assignment assignment;
            if (!LoadWholeEntryDetailRecord(tag, info.entry, inci, assignment.data(), Assignment::kSize)) {
                break;
            }
            const int16_t textNumber = assignment.word(LyricAssignmentLayout::kTextNumber / 2);
            const int16_t syllable = assignment.word(LyricAssignmentLayout::kSyllable / 2);
            SyllableRead read;
            if (textNumber <= kind.base || textNumber > kind.base + kind.count ||
                !ReadSyllable(static_cast<int16_t>(k), textNumber, syllable, read)) {
                ++inci;
                continue;
            }
            SyllableTracker& tracker = kind.trackers[static_cast<size_t>(textNumber - kind.base - 1)];
            if (read.kind == 1 && static_cast<uint8_t>(read.text[0]) == kInvisibleBlank) {
                if (tracker.state > TrackerState::Restarted && FirstOfSystem(info)) {
                    // The entry goes on with the melisma, as any first note of a system does.
                    tracker.state = TrackerState::Melisma;
                    if (Place(tracker, true)) {
                        Start(tracker, info, syllable, static_cast<int16_t>(inci), TrackerState::Restarted);
                    }
                } else if (DeleteEntryDetailRecord(tag, info.entry, inci)) {
                    continue;  // the later assignments of the entry moved down by one
                }
            } else {
                Place(tracker, false);
                Start(tracker, info, syllable, static_cast<int16_t>(inci), TrackerState::Started);
            }
            ++inci;
        }
    }
    AdvanceAll(info);
}

void CWordExtPlacer::Advance(SyllableTracker& tracker, const EntryInfo& info) {
    if (tracker.state == TrackerState::Idle) {
        return;
    }
    const bool counts = (info.entryFlags & hostapi::kEntryGrace) == 0;
    switch (tracker.state) {
        case TrackerState::Started:
            tracker.state = TrackerState::UnderWay;
            break;
        case TrackerState::Restarted:
            tracker.state = counts ? TrackerState::Melisma : TrackerState::UnderWay;
            break;
        default:
            if (FirstOfSystem(info)) {
                tracker.state = TrackerState::Melisma;
                if (Place(tracker, true)) {
                    tracker.start = info;
                    tracker.inci = kContinuation;
                    tracker.state = counts ? TrackerState::Melisma : TrackerState::UnderWay;
                }
            } else if (tracker.state == TrackerState::UnderWay && counts) {
                tracker.state = TrackerState::Melisma;
            }
            break;
    }
    if (counts) {
        tracker.end = info;
    }
}

int16_t CWordExtPlacer::AppendContinuation(SyllableTracker& tracker, const SyllableInfo& font, std::string& original) {
    std::string text;
    if (!LoadLyricText(tracker.kind, tracker.textNumber, text)) {
        return 0;
    }
    original = text;
    // The syllables and the final font state are counted from the stored text: another staff or
    // layer may have added to the same text since this tracker counted.
    SyllableInfo last;
    const int32_t syllables = CountSyllables(text, tracker.kind, last);
    if (!text.empty() && text.back() != ' ' && text.back() != '\t') {
        text += ' ';
    }
    text += FontCommands(last, font);
    text += static_cast<char>(kInvisibleBlank);
    text += ' ';
    if (syllables >= INT16_MAX || !SaveLyricText(tracker.kind, tracker.textNumber, text)) {
        return 0;
    }
    tracker.syllables = syllables + 1;
    tracker.font = font;
    tracker.font.setSyllableLength(0);
    return static_cast<int16_t>(tracker.syllables);
}

void CWordExtPlacer::MarkLyrics(const EntryInfo& info) {
    const ScopedEntryArray lent(m_view, m_staff, info.measure, info.layer);
    EntryArray* array = lent.Get();
    if (array == nullptr) {
        return;
    }
    for (int32_t i = 0; i < array->count; ++i) {
        const hostapi::EntryView entry = array->entry(i);
        if (entry.number() == info.entry && !entry.has(hostapi::kEntryLyrics)) {
            entry.setFlag(hostapi::kEntryLyrics, true);
            SaveEntryArray(array);
            break;
        }
    }
}

bool CWordExtPlacer::Place(SyllableTracker& tracker, bool continued) {
    if (tracker.state != TrackerState::Melisma) {
        return false;
    }
    const bool continuation = tracker.inci == kContinuation;
    const hostapi::Tag assignmentTag = hostapi::kLyricAssignmentTags[static_cast<size_t>(tracker.kind)];
    EntryBox startBox;
    EntryMetrics startMetrics;
    EntryBox endBox;
    EntryMetrics endMetrics;
    SyllableRead read;
    std::string original;
    int16_t syllable = tracker.syllable;
    bool appended = false;
    bool placed = false;
    // The layouts are asked first, so that a continuation syllable is added only where it can
    // carry an extension.
    if (ReadSyllable(tracker.kind, tracker.textNumber, syllable, read) &&
        Layout(tracker.start, startBox, startMetrics) && Layout(tracker.end, endBox, endMetrics)) {
        if (continuation) {
            syllable = AppendContinuation(tracker, read.font, original);
            appended = syllable != 0;
            if (appended && !ReadSyllable(tracker.kind, tracker.textNumber, syllable, read)) {
                syllable = 0;
            }
        }
        Assignment assignment;
        if (syllable != 0 && read.hyphen == 0 &&
            (continuation || LoadWholeEntryDetailRecord(assignmentTag, tracker.start.entry, tracker.inci,
                                                        assignment.data(), Assignment::kSize))) {
            const bool leftAligned = RowOn(m_context.Options, WORD_EXT_LEFT_ALIGNED);
            const int32_t w = read.width;
            // The reference notehead: the leftmost with the flag, else the rightmost, starting
            // from a point at the entry's x.
            int32_t left = startBox.x();
            int32_t right = startBox.x();
            const bool leftmost = (startBox.flags() & EntryBox::kStemUp) != 0;
            const size_t heads = static_cast<size_t>(std::clamp<int32_t>(startBox.headCount(), 0, EntryBox::kMaxHeads));
            for (size_t i = 0; i < heads; ++i) {
                if (leftmost ? startBox.headLeft(i) <= left : startBox.headRight(i) >= right) {
                    left = startBox.headLeft(i);
                    right = startBox.headRight(i);
                }
            }
            const int64_t middle = (int64_t{left} + right) / 2;
            int64_t endX = endBox.right();
            if (continued) {
                endX = endMetrics.measureX() + int64_t{endMetrics.measureWidth()};
                if (startMetrics.scale(2) != EntryMetrics::kUnscaled) {
                    endX = endX * startMetrics.scale(2) / EntryMetrics::kUnscaled;
                }
                endX += RowValue(m_context.Options, WORD_EXT_SYSTEM_END_OFFSET);
            }
            int64_t length = Unscaled(endX - middle, startMetrics.scale(1));
            int64_t offset = assignment.word(LyricAssignmentLayout::kOffset / 2);
            if (continuation) {
                offset = leftAligned ? (left - right) / 2 - w : ((left - right) - w) / 2;
                offset = offset - kGap + RowValue(m_context.Options, WORD_EXT_CONTINUED_OFFSET);
            }
            const int64_t widthPart = leftAligned ? w : w / 2;
            length =
                Unscaled(length + RowValue(m_context.Options, WORD_EXT_BEYOND_LAST_NOTE) - (widthPart + kGap + offset),
                         startMetrics.scale(3));
            if (length > 0) {
                const auto stored = static_cast<int16_t>(std::min<int64_t>(length, INT16_MAX));
                if (continuation) {
                    assignment.setWord(LyricAssignmentLayout::kTextNumber / 2, tracker.textNumber);
                    assignment.setWord(LyricAssignmentLayout::kSyllable / 2, syllable);
                    assignment.setWord(LyricAssignmentLayout::kOffset / 2,
                                       static_cast<int16_t>(std::clamp<int64_t>(offset, INT16_MIN, INT16_MAX)));
                    assignment.setWord(LyricAssignmentLayout::kExtension / 2, stored);
                    hostapi::EntryNumber entry = tracker.start.entry;
                    int32_t inci = -1;
                    placed = CreateEntryDetailRecord(assignmentTag, entry, inci, assignment.data(), Assignment::kSize);
                    if (placed) {
                        MarkLyrics(tracker.start);
                    }
                } else {
                    assignment.setWord(LyricAssignmentLayout::kExtension / 2, stored);
                    placed = SaveEntryDetailRecord(assignmentTag, tracker.start.entry, tracker.inci, assignment.data(),
                                                   Assignment::kSize);
                }
            }
        }
        if (appended && !placed) {
            // A continuation syllable that carries no extension is not left in the text.
            SaveLyricText(tracker.kind, tracker.textNumber, original);
            tracker.syllables = std::max(tracker.syllables - 1, 0);
        }
    }
    if (placed) {
        tracker.changed = 1;
        if (continuation) {
            tracker.syllable = syllable;
        }
    }
    if (!continued) {
        tracker.state = TrackerState::Idle;
    }
    return placed;
}

// ---- CWordExtEnum ----

CWordExtEnum::CWordExtEnum(const TFMisc& context) : m_context(context) {}
CWordExtEnum::~CWordExtEnum() = default;

bool CWordExtEnum::Begin() {
    try {
        m_placers.clear();
        m_placers.resize(static_cast<size_t>(std::max<int16_t>(m_staffCount, 0)) * 4);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void CWordExtEnum::BeginLayer(uint32_t /*walkFlags*/) {
    m_visited = 0;
}

void CWordExtEnum::EndLayer(uint32_t /*walkFlags*/) {
    CWordExtPlacer* placer = PlacerOf(false);
    if (m_visited == 0 && placer != nullptr) {
        placer->Flush();
    }
}

CWordExtPlacer* CWordExtEnum::PlacerOf(bool create) {
    const int32_t index = (m_staff - m_region.firstStaff()) * 4 + m_layer;
    if (index < 0 || static_cast<size_t>(index) >= m_placers.size()) {
        return nullptr;
    }
    std::unique_ptr<CWordExtPlacer>& placer = m_placers[static_cast<size_t>(index)];
    if (!placer && create) {
        placer = std::make_unique<CWordExtPlacer>(m_context, m_region.viewKey(), m_staff);
    }
    return placer.get();
}

void CWordExtEnum::VisitEntry(hostapi::ConstEntryView /*entry*/, const EntryInfo& info) {
    ++m_visited;
    CWordExtPlacer* placer = PlacerOf((info.entryFlags & hostapi::kEntryLyrics) != 0);
    if (placer != nullptr) {
        placer->Entry(info);
    }
}

int16_t CWordExtEnum::End() {
    bool changed = false;
    for (std::unique_ptr<CWordExtPlacer>& placer : m_placers) {
        if (placer) {
            changed = changed || placer->Changed();
        }
        placer.reset();
    }
    m_placers.clear();
    return changed ? 1 : 0;
}

int16_t RunWordExtensions(const hostapi::SelectionRecord* region, const hostapi::SelectionRecord* defaultRegion,
                          const TFMisc& context) {
    // A selection record without a first measure selects nothing.
    const hostapi::SelectionRecord* walked = region != nullptr && region->firstMeasure() != 0 ? region : defaultRegion;
    if (walked == nullptr || walked->firstMeasure() == 0) {
        return 0;
    }
    CWordExtEnum walker(context);
    return walker.Run(*walked);
}

}  // namespace orvex
