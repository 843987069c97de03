#include "tools/notes/lyrics.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <type_traits>
#include <vector>

#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/host_imports.h"
#include "core/module.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "core/tool_items.h"
#include "platform/hostapi/lyric_records.h"
#include "tools/notes/notes_services.h"

namespace orvex {
namespace {

using hostapi::ConstEntryView;
using hostapi::EntryView;
using hostapi::Tag;

constexpr size_t kTextBuffer = 10000;  ///< a lyric text and its zero
constexpr int32_t kDefaultSize = 12;
/// Raw host version from which melisma syllables are left-aligned through their 'edLE' record.
constexpr int32_t kExtrasHostVersion = 0x4000000;

/// The kinds in the order the workers treat them: verse, section, chorus.
struct KindTags {
    Tag assignment;
    Tag text;
};
constexpr KindTags kKinds[] = {{hostapi::kTagVerseAssignment, hostapi::kTagVerseText},
                               {hostapi::kTagSectionAssignment, hostapi::kTagSectionText},
                               {hostapi::kTagChorusAssignment, hostapi::kTagChorusText}};

int16_t Clamp16(int64_t value) {
    return static_cast<int16_t>(std::clamp<int64_t>(value, INT16_MIN, INT16_MAX));
}

bool LoadAssignment(Tag tag, hostapi::EntryNumber entry, int32_t inci, LyricAssignment& assignment) {
    return LoadWholeEntryDetailRecord(tag, entry, inci, assignment.bytes.data(),
                                      static_cast<int32_t>(assignment.bytes.size()));
}

bool SaveAssignment(Tag tag, hostapi::EntryNumber entry, int32_t inci, const LyricAssignment& assignment) {
    return SaveEntryDetailRecord(tag, entry, inci, assignment.bytes.data(),
                                 static_cast<int32_t>(assignment.bytes.size()));
}

/// Calls `visit(inci, assignment)` for each assignment of the entry, inci 0, 1, ... until a load
/// fails.
template <typename Visit>
void ForEachAssignment(Tag tag, hostapi::EntryNumber entry, Visit visit) {
    for (int32_t inci = 0; inci <= INT16_MAX; ++inci) {
        LyricAssignment assignment;
        if (!LoadAssignment(tag, entry, inci, assignment)) {
            return;
        }
        visit(inci, assignment);
    }
}

/// (((w - minimum) x factor x 12) / 16) / 100, each division toward zero.
int32_t ProportionalOffset(int32_t width, int32_t minimum, int32_t factor) {
    return static_cast<int32_t>(((int64_t{width - minimum} * factor * 12) / 16) / 100);
}

}  // namespace

void LyricAssignment::setHorizontal(int32_t v) {
    hostapi::WriteI16(bytes.data(), hostapi::LyricAssignmentLayout::kOffset, Clamp16(v));
}

void LyricAssignment::setVertical(int32_t v) {
    hostapi::WriteI16(bytes.data(), kVertical, Clamp16(v));
}

int32_t FindWordBreak(std::string_view text) {
    const size_t at = text.find_first_of(" -");
    return at == std::string_view::npos ? 0 : static_cast<int32_t>(at + 1);
}

std::string LoadTextAndSplit(const LyricAssignment& assignment, Tag textTag, const char* text, int32_t& size) {
    size = kDefaultSize;
    const int16_t syllable = assignment.syllable();
    if (!HostOffers(&HostImports::SyllablePlace) || text == nullptr || syllable < 1) {
        return {};
    }
    hostapi::SyllableInfo info = hostapi::DefaultLyricFont();
    info.setSize(kDefaultSize);
    const int32_t at = SyllablePlaceOf(text, static_cast<int16_t>(syllable - 1), textTag, &info);
    size = info.size() > 0 ? info.size() : kDefaultSize;
    // The first syllable is read from the start of the text; a later one that the host does not
    // find is absent.
    if (syllable > 1 && at <= 0) {
        return {};
    }
    std::vector<char> word(text + (syllable > 1 ? at : 0), text + std::strlen(text) + 1);
    StripCaretCommands(word.data());
    std::string_view stripped(word.data());
    const int32_t cut = FindWordBreak(stripped);
    if (cut > 0) {
        stripped = stripped.substr(0, static_cast<size_t>(cut - 1));
    }
    return std::string(stripped);
}

std::string LoadSyllableWord(const LyricAssignment& assignment, Tag textTag, int32_t& size) {
    size = kDefaultSize;
    std::vector<char> text(kTextBuffer, '\0');
    if (!LoadStringRecord(assignment.textNumber(), text.data(), static_cast<int32_t>(text.size()), textTag, 0)) {
        return {};
    }
    text.back() = '\0';  // a text that does not fit is read as far as it goes
    return LoadTextAndSplit(assignment, textTag, text.data(), size);
}

int32_t EstimateSyllableWidth(const LyricAssignment& assignment, Tag textTag) {
    int32_t size = kDefaultSize;
    const std::string word = LoadSyllableWord(assignment, textTag, size);
    return static_cast<int32_t>(((int64_t{static_cast<int64_t>(word.size())} * size * 16) / 12) / 2);
}

// ---- Move long syllables on beat 1 ----

void MoveLongSyllables(TFMisc& context, EntryView entry, Tag assignmentTag, Tag textTag) {
    const int32_t minimum = RowValue(context.Options, MOVE_SYLLABLES_MIN_WIDTH);
    const int32_t factor = RowValue(context.Options, MOVE_SYLLABLES_FACTOR);
    const bool ignorePrevious = RowValue(context.Options, MOVE_SYLLABLES_IGNORE_PREVIOUS) == 1;
    ForEachAssignment(assignmentTag, entry.number(), [&](int32_t inci, LyricAssignment& assignment) {
        const int32_t width = EstimateSyllableWidth(assignment, textTag);
        if (width > minimum && (assignment.horizontal() == 0 || ignorePrevious)) {
            assignment.setHorizontal(ProportionalOffset(width, minimum, factor));
            SaveAssignment(assignmentTag, entry.number(), inci, assignment);
        }
    });
}

// ---- Melisma syllables ----

bool AdjustMelismaSyllables(TFMisc& context, hostapi::StaffSlot slot, hostapi::LayerIndex layer,
                            hostapi::EntryArray& array, int32_t index, EntryView entry, TNSPchanges& change) {
    ScopedEntryArray next;
    std::optional<ConstEntryView> following;
    if (index + 1 < array.count) {
        following = array.entry(index + 1);
    } else {
        const hostapi::ViewKey view =
            context.Environment.Region() != nullptr ? context.Environment.Region()->viewKey() : hostapi::ViewKey{0};
        next.Load(view, slot, static_cast<hostapi::MeasureNumber>(context.Walk.measure + 1), layer);
        if (next && next->count > 0) {
            const bool skipHidden = next->entry(0).has(hostapi::kEntryHidden) && next->count > 1;
            following = next->entry(skipHidden ? 1 : 0);
        }
    }
    bool reached = false;
    if (following && following->isNote()) {
        for (const KindTags& kind : kKinds) {
            AdjustMelismaKind(context, entry, *following, kind.assignment, kind.text, context.Item, change);
        }
        reached = IsItem(context.Item, ToolItem::NewSpacing);
    }
    return reached;
}

void AdjustMelismaKind(TFMisc& context, EntryView entry, ConstEntryView following, Tag assignmentTag, Tag textTag,
                       int32_t item, TNSPchanges& change) {
    // The text numbers the following entry sings in this kind: a syllable whose text goes on
    // there is no melisma.
    std::vector<int16_t> goingOn;
    if (following.has(hostapi::kEntryLyrics)) {
        ForEachAssignment(assignmentTag, following.number(),
                          [&](int32_t, const LyricAssignment& next) { goingOn.push_back(next.textNumber()); });
    }
    const int32_t minimum = RowValue(context.Options, MELISMA_MIN_WIDTH);
    const bool ignorePrevious = RowValue(context.Options, MELISMA_IGNORE_PREVIOUS) == 1;
    ForEachAssignment(assignmentTag, entry.number(), [&](int32_t inci, LyricAssignment& assignment) {
        if (std::find(goingOn.begin(), goingOn.end(), assignment.textNumber()) != goingOn.end()) {
            return;
        }
        if (IsItem(item, ToolItem::NewSpacing)) {
            // The entry counts as one without lyrics for the host's spacing; the second pass
            // gives the flag back.
            if (entry.has(hostapi::kEntryLyrics)) {
                entry.setFlag(hostapi::kEntryLyrics, false);
            }
            change.setEntry(entry.number());
            change.bytes[TNSPchanges::kLyricMarker] = 1;
            return;
        }
        const int32_t width = EstimateSyllableWidth(assignment, textTag);
        if ((assignment.horizontal() != 0 && !ignorePrevious) || width < minimum) {
            return;
        }
        if (context.Environment.HostVersion() < kExtrasHostVersion) {
            assignment.setHorizontal(ProportionalOffset(width, minimum, RowValue(context.Options, MELISMA_SHIFT)));
        } else {
            std::array<uint8_t, LyricExtrasLayout::kSize> extras{};
            if (!LoadWholeEntryDetailRecord(kTagLyricExtras, entry.number(), inci, extras.data(),
                                            static_cast<int32_t>(extras.size()))) {
                extras.fill(0);
            }
            const uint16_t flags = hostapi::ReadU16(extras.data(), LyricExtrasLayout::kFlags);
            hostapi::WriteU16(extras.data(), LyricExtrasLayout::kFlags,
                              static_cast<uint16_t>(flags | LyricExtrasLayout::kMelismaLeft));
            SaveEntryDetailRecord(kTagLyricExtras, entry.number(), inci, extras.data(),
                                  static_cast<int32_t>(extras.size()));
            assignment.setHorizontal(RowValue(context.Options, MELISMA_SHIFT));
        }
        SaveAssignment(assignmentTag, entry.number(), inci, assignment);
    });
}

// ---- Shift Lyrics ----

void ShiftLyricsOfEntry(TFMisc& context, EntryView entry, Tag assignmentTag) {
    if (RowValue(context.Options, SHIFT_LYRICS_MAX_LENGTH) < RowValue(context.Options, SHIFT_LYRICS_MIN_LENGTH)) {
        // Later entries see the raised maximum.
        context.Options[SHIFT_LYRICS_MAX_LENGTH].value = RowValue(context.Options, SHIFT_LYRICS_MIN_LENGTH);
    }
    const int32_t shortest = RowValue(context.Options, SHIFT_LYRICS_MIN_LENGTH);
    const int32_t longest = RowValue(context.Options, SHIFT_LYRICS_MAX_LENGTH);
    const int64_t span = int64_t{longest} - shortest;
    const hostapi::Edu notated = entry.duration();
    const int32_t dots = DotCount(notated);
    const hostapi::Edu d =
        RowValue(context.Options, SHIFT_LYRICS_DOTTED_AUTO) == 1 && dots > 0 ? PowerOfTwoFloor(notated) : notated;
    if (d > longest) {
        return;
    }
    // A linear blend from the shift at the shortest to that at the longest value. A base value
    // below the shortest counts as the shortest, so that the blend never runs past its ends;
    // with no span between the two, the shortest value's shift applies.
    const int64_t k = std::clamp<int64_t>(int64_t{d} - shortest, 0, std::max<int64_t>(span, 0));
    const int64_t atShortest = RowValue(context.Options, SHIFT_LYRICS_SHORTEST);
    const int64_t atLongest = RowValue(context.Options, SHIFT_LYRICS_LONGEST);
    const int64_t horizontalShift = (span > 0 ? ((span - k) * atShortest + atLongest * k) / span : atShortest) +
                                    (dots > 0 ? RowValue(context.Options, SHIFT_LYRICS_DOTTED_SHIFT) : 0);
    const bool modifyAdjusted = RowValue(context.Options, SHIFT_LYRICS_MODIFY_ADJUSTED) == 1;
    const bool ignorePrevious = RowValue(context.Options, SHIFT_LYRICS_IGNORE_PREVIOUS) == 1;
    ForEachAssignment(assignmentTag, entry.number(), [&](int32_t inci, LyricAssignment& assignment) {
        if (assignment.horizontal() == 0 || modifyAdjusted) {
            const int32_t from = ignorePrevious ? 0 : assignment.horizontal();
            assignment.setHorizontal(
                static_cast<int32_t>(std::clamp<int64_t>(from + horizontalShift, INT16_MIN, INT16_MAX)));
        }
        if (assignment.vertical() == 0 || modifyAdjusted) {
            const int32_t from = ignorePrevious ? 0 : assignment.vertical();
            assignment.setVertical(from + RowValue(context.Options, SHIFT_LYRICS_VERTICAL));
        }
        SaveAssignment(assignmentTag, entry.number(), inci, assignment);
    });
}

// ---- Remove Adjustments ----

bool ApplyLyricOptions(TFMisc& context, EntryView entry) {
    const bool withExtras =
        RowOn(context.Options, REMOVE_LYRICS_ALIGNMENT) || RowOn(context.Options, REMOVE_LYRICS_JUSTIFICATION);
    if (RowValue(context.Options, REMOVE_LYRICS_HORIZONTAL) == 0 &&
        RowValue(context.Options, REMOVE_LYRICS_VERTICAL) == 0 && !withExtras) {
        return false;
    }
    for (const KindTags& kind : kKinds) {
        RemoveLyricAdjustments(context, entry, withExtras, kind.assignment);
    }
    return false;  // the changes went to the document; the entry itself is as it was
}

bool RemoveLyricAdjustments(TFMisc& context, ConstEntryView entry, bool withExtras, Tag assignmentTag) {
    const bool horizontal = RowOn(context.Options, REMOVE_LYRICS_HORIZONTAL);
    const bool vertical = RowOn(context.Options, REMOVE_LYRICS_VERTICAL);
    const bool alignment = RowValue(context.Options, REMOVE_LYRICS_ALIGNMENT) == 1;
    const bool justification = RowValue(context.Options, REMOVE_LYRICS_JUSTIFICATION) == 1;
    ForEachAssignment(assignmentTag, entry.number(), [&](int32_t inci, LyricAssignment& assignment) {
        if (horizontal || vertical) {
            if (horizontal) {
                assignment.setHorizontal(0);
            }
            if (vertical) {
                assignment.setVertical(0);
            }
            SaveAssignment(assignmentTag, entry.number(), inci, assignment);
        }
        std::array<uint8_t, LyricExtrasLayout::kSize> extras{};
        if (withExtras && LoadWholeEntryDetailRecord(kTagLyricExtras, entry.number(), inci, extras.data(),
                                                     static_cast<int32_t>(extras.size()))) {
            uint16_t flags = hostapi::ReadU16(extras.data(), LyricExtrasLayout::kFlags);
            if (justification) {
                flags = static_cast<uint16_t>(flags & ~LyricExtrasLayout::kJustification);
            }
            if (alignment) {
                flags = static_cast<uint16_t>(flags & ~LyricExtrasLayout::kAlignment);
            }
            hostapi::WriteU16(extras.data(), LyricExtrasLayout::kFlags, flags);
            SaveEntryDetailRecord(kTagLyricExtras, entry.number(), inci, extras.data(),
                                  static_cast<int32_t>(extras.size()));
        }
    });
    return false;
}

}  // namespace orvex
