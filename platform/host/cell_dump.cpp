#include "platform/host/cell_dump.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <utility>

#include "platform/host/entry_names.h"
#include "platform/host/music_model.h"
#include "platform/host/record_layouts.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/lyric_records.h"

namespace host {
namespace {

using hostapi::ConstEntryView;

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

/// The entry's flags by name, both flag words; bits without a name in hexadecimal.
std::string FlagWords(ConstEntryView entry) {
    std::string words;
    uint32_t rest = entry.flags() & ~hostapi::kEntryNote;
    for (const FlagName& flag : kEntryFlagNames) {
        if ((rest & flag.bit) != 0) {
            words += ", " + std::string(flag.name);
            rest &= ~flag.bit;
        }
    }
    if (rest != 0) {
        words += ", flags " + Hex(rest, 8);
    }
    uint32_t more = entry.moreFlags();
    for (const FlagName& flag : kEntryMoreFlagNames) {
        if ((more & flag.bit) != 0) {
            words += ", " + std::string(flag.name);
            more &= ~flag.bit;
        }
    }
    if (more != 0) {
        words += ", more flags " + Hex(more, 4);
    }
    return words;
}

/// A note's flags besides the ties, as the notation writes them: "[shown,frozen]".
std::string NoteFlagWords(uint32_t flags) {
    uint32_t rest = flags & ~(hostapi::kNoteTieStart | hostapi::kNoteTieEnd);
    std::string words;
    for (const FlagName& flag : kNoteFlagNames) {
        if ((rest & flag.bit) != 0) {
            words += (words.empty() ? "" : ",") + std::string(flag.name);
            rest &= ~flag.bit;
        }
    }
    if (rest != 0) {
        words += (words.empty() ? "" : ",") + Hex(rest, 8);
    }
    return words.empty() ? words : "[" + words + "]";
}

std::string NoteWords(ConstEntryView entry, int16_t key) {
    if (!entry.isNote()) {
        if (entry.notesHeld() == 0) {
            return "rest";
        }
        // A placed rest: the staff position of its first note slot, read without an accidental.
        SpelledNote place = SpellNote(entry.note(0), key);
        place.accidental = 0;
        return "rest at " + PitchName(place);
    }
    if (entry.notesHeld() == 0) {
        return "(no notes)";
    }
    std::string words;
    for (int32_t i = 0; i < entry.notesHeld(); ++i) {
        const hostapi::ConstNoteView note = entry.note(i);
        words += i == 0 ? "" : " ";
        words += (note.flags() & hostapi::kNoteTieEnd) != 0 ? "~" : "";
        words += PitchName(SpellNote(note, key));
        words += NoteFlagWords(note.flags());
        words += (note.flags() & hostapi::kNoteTieStart) != 0 ? "~" : "";
    }
    return words;
}

/// The records of a tag stored under an entry, in incidence order.
std::vector<const Bytes*> EntryRecords(const Document& document, hostapi::Tag tag, hostapi::EntryNumber entry) {
    std::vector<const Bytes*> records;
    for (auto key = document.Records().Next(RecordKey::EntryDetail(tag, entry, INT16_MIN)); key && key->first == entry;
         key = document.Records().Next(*key)) {
        records.push_back(document.Records().Find(*key));
    }
    return records;
}

int16_t Word(const Bytes& bytes, size_t offset) {
    return bytes.size() >= offset + 2 ? hostapi::ReadI16(bytes.data(), offset) : int16_t{0};
}

/// The tuplets of a cell. A tuplet holds the entries from its first whose written durations fill
/// its notes x unit; a tuplet that starts inside it counts with its reference time.
class TupletFinder {
public:
    TupletFinder(const Document& document, const CellEntries& entries) : m_entries(entries) {
        for (const EntryBytes& bytes : entries) {
            const ConstEntryView entry(bytes.data());
            std::vector<const Bytes*> records;
            if (entry.has(hostapi::kEntryTuplet)) {
                for (const Bytes* record : EntryRecords(document, hostapi::kTagTuplet, entry.number())) {
                    if (record->size() >= hostapi::TupletLayout::kReferenceUnit + 2) {
                        records.push_back(record);
                    }
                }
            }
            m_records.push_back(std::move(records));
        }
        for (size_t i = 0; i < entries.size(); ++i) {
            for (size_t r = 0; r < m_records[i].size(); ++r) {
                m_tuplets.push_back(CellTuplet{m_records[i][r], i, End(i, r) - 1});
            }
        }
    }
    const std::vector<CellTuplet>& Tuplets() const { return m_tuplets; }

private:
    /// One past the last entry of tuplet r of entry i.
    size_t End(size_t i, size_t r) const {
        using L = hostapi::TupletLayout;
        const Bytes& record = *m_records[i][r];
        const int64_t length = static_cast<int64_t>(Word(record, L::kNotes)) * Word(record, L::kNoteUnit);
        int64_t filled = 0;
        size_t j = i;
        size_t nested = r + 1;  // tuplets of the first entry after this one lie inside it
        while (j < m_entries.size() && filled < length) {
            if (nested < m_records[j].size()) {
                const Bytes& inner = *m_records[j][nested];
                filled += static_cast<int64_t>(Word(inner, L::kReference)) * Word(inner, L::kReferenceUnit);
                j = std::max(End(j, nested), j + 1);
            } else {
                const ConstEntryView entry(m_entries[j].data());
                filled += entry.has(hostapi::kEntryGrace) ? 0 : entry.duration();
                ++j;
            }
            nested = 0;
        }
        return std::max(j, i + 1);
    }

    const CellEntries& m_entries;
    std::vector<std::vector<const Bytes*>> m_records;
    std::vector<CellTuplet> m_tuplets;
};

}  // namespace

std::vector<CellTuplet> CellTuplets(const Document& document, const CellEntries& entries) {
    return TupletFinder(document, entries).Tuplets();
}

namespace {

std::string TupletWords(const CellTuplet& tuplet, const CellEntries& entries, size_t index) {
    using L = hostapi::TupletLayout;
    const Bytes& r = *tuplet.record;
    const auto number = [&](size_t i) { return std::to_string(ConstEntryView(entries[i].data()).number()); };
    if (index != tuplet.first) {
        return "in the tuplet of entry " + number(tuplet.first);
    }
    return "tuplet " + std::to_string(Word(r, L::kNotes)) + ":" + std::to_string(Word(r, L::kReference)) + " (" +
           std::to_string(Word(r, L::kNotes)) + " x " + std::to_string(Word(r, L::kNoteUnit)) + " in the time of " +
           std::to_string(Word(r, L::kReference)) + " x " + std::to_string(Word(r, L::kReferenceUnit)) +
           ") of entries " + number(tuplet.first) + "-" + number(tuplet.last);
}

/// The note of an entry with an identifier, from 1 bottom up; 0 when there is none.
int32_t NoteOfId(ConstEntryView entry, int16_t id) {
    for (int32_t i = 0; i < entry.notesHeld(); ++i) {
        if (entry.note(i).noteId() == id) {
            return i + 1;
        }
    }
    return 0;
}

/// The records attached to an entry, by kind and number: "articulations 3, 7", "expression 2".
std::vector<std::string> RecordWords(const Document& document, ConstEntryView entry) {
    // Records that name a number gather under a kind: "articulations 3, 7".
    std::vector<std::pair<std::string, std::vector<std::string>>> kinds;
    const auto add = [&](const std::string& kind, const std::string& number) {
        const auto found = std::find_if(kinds.begin(), kinds.end(), [&](const auto& k) { return k.first == kind; });
        if (found == kinds.end()) {
            kinds.push_back({kind, {number}});
        } else {
            found->second.push_back(number);
        }
    };
    static const std::map<std::string, std::string> kPlurals = {
        {"articulation", "articulations"},
        {"expression", "expressions"},
        {"smart shape", "smart shapes"},
        {"performance data of note", "performance data of notes"},
        {"notehead of note", "noteheads of notes"},
        {"accidental of note", "accidentals of notes"},
        {"chord symbol", "chord symbols"},
    };
    const hostapi::EntryNumber number = entry.number();
    // The note a per-note record belongs to, by its first word; "id N" when no note has that id.
    const auto noteOf = [&](const Bytes& bytes) {
        const int16_t id = Word(bytes, 0);
        const int32_t note = NoteOfId(entry, id);
        return note != 0 ? std::to_string(note) : "id " + std::to_string(id);
    };
    for (const hostapi::RecordTagInfo& info : hostapi::kRecordTags) {
        if (info.family != hostapi::RecordFamily::EntryDetail || info.tag == hostapi::kTagTuplet) {
            continue;
        }
        for (const Bytes* bytes : EntryRecords(document, info.tag, number)) {
            const hostapi::Tag tag = info.tag;
            if (tag == hostapi::kTagArticulation) {
                add("articulation", std::to_string(Word(*bytes, hostapi::ArticulationLayout::kDefinition)));
            } else if (tag == hostapi::kTagNoteExpression) {
                add("expression", std::to_string(Word(*bytes, hostapi::NoteExpressionLayout::kNumber)));
            } else if (tag == hostapi::kTagShapeEntryLink) {
                add("smart shape", std::to_string(Word(*bytes, hostapi::ShapeLinkLayout::kShape)));
            } else if (tag == hostapi::kTagNotePerformance) {
                add("performance data of note", noteOf(*bytes));
            } else if (tag == hostapi::kTagNotehead || tag == hostapi::kTagNotehead2001) {
                add("notehead of note", noteOf(*bytes));
            } else if (tag == hostapi::kTagNoteAccidental) {
                add("accidental of note", noteOf(*bytes));
            } else if (tag == hostapi::kTagSecondaryBeamBreak) {
                std::string levels;
                for (size_t i = 0; i < hostapi::SecondaryBeamBreakLayout::kLevelCount && i < bytes->size(); ++i) {
                    levels += std::to_string((*bytes)[hostapi::SecondaryBeamBreakLayout::kLevels + i]);
                }
                add("secondary break levels", levels);
            } else if (tag == hostapi::kTagChordSymbol) {
                const int16_t suffix = Word(*bytes, hostapi::ChordSymbolLayout::kSuffix);
                add("chord symbol", suffix == 0 ? "without suffix" : "with suffix " + std::to_string(suffix));
            } else if (const auto lyric =
                           std::find(hostapi::kLyricAssignmentTags.begin(), hostapi::kLyricAssignmentTags.end(), tag);
                       lyric != hostapi::kLyricAssignmentTags.end()) {
                static constexpr const char* kLyricKinds[] = {"verse", "chorus", "section"};
                add(std::string(kLyricKinds[lyric - hostapi::kLyricAssignmentTags.begin()]) + " " +
                        std::to_string(Word(*bytes, hostapi::LyricAssignmentLayout::kTextNumber)) + " syllable",
                    std::to_string(Word(*bytes, hostapi::LyricAssignmentLayout::kSyllable)));
            } else {
                add(std::string(info.what) + " '" + hostapi::TagName(tag) + "'",
                    std::to_string(bytes->size()) + " bytes");
            }
        }
    }
    if (number >= INT16_MIN && number <= INT16_MAX) {
        for (const auto& [tag, side] :
             {std::pair{hostapi::kTagStemUpDetail, "stem up"}, std::pair{hostapi::kTagStemDownDetail, "stem down"}}) {
            const Bytes* stem = document.Records().Find(RecordKey::Detail(tag, 0, static_cast<int16_t>(number), 0));
            if (stem != nullptr) {
                add(side, std::to_string(Word(*stem, hostapi::StemDetailLayout::kValue)));
            }
        }
    }
    std::vector<std::string> words;
    for (const auto& [kind, numbers] : kinds) {
        const auto plural = kPlurals.find(kind);
        std::string word = numbers.size() > 1 && plural != kPlurals.end() ? plural->second : kind;
        for (size_t i = 0; i < numbers.size(); ++i) {
            word += (i == 0 ? " " : ", ") + numbers[i];
        }
        words.push_back(word);
    }
    return words;
}

std::string EntryLine(ConstEntryView entry, int16_t key) {
    std::string line = "    entry " + std::to_string(entry.number()) + " at " + std::to_string(entry.position()) +
                       ", " + std::to_string(entry.duration()) + " EDU";
    if (entry.actualDuration() != entry.duration()) {
        line += " (actual " + std::to_string(entry.actualDuration()) + ")";
    }
    return line + FlagWords(entry) + ": " + NoteWords(entry, key);
}

/// The second line of an entry: its offset, its tuplets and the records attached to it; empty
/// when it has none of them.
std::string DetailLine(const Document& document, const CellEntries& entries, size_t index,
                       const std::vector<CellTuplet>& tuplets) {
    const ConstEntryView entry(entries[index].data());
    std::vector<std::string> words;
    if (entry.horizontalOffset() != 0) {
        words.push_back("offset " + std::to_string(entry.horizontalOffset()));
    }
    for (const CellTuplet& tuplet : tuplets) {
        if (tuplet.first <= index && index <= tuplet.last) {
            words.push_back(TupletWords(tuplet, entries, index));
        }
    }
    for (std::string& word : RecordWords(document, entry)) {
        words.push_back(std::move(word));
    }
    std::string line;
    for (const std::string& word : words) {
        line += (line.empty() ? "      " : "; ") + word;
    }
    return line;
}

bool Exists(const Document& document, hostapi::Tag tag, int32_t number) {
    return document.Records().Find(RecordKey::Other(tag, static_cast<hostapi::Cmper>(number), 0)) != nullptr;
}

}  // namespace

std::vector<std::string> CellListing(const Document& document, NumberRange staves, NumberRange measures) {
    std::vector<std::string> lines;
    for (int32_t staff = std::max(staves.first, 1); staff <= std::min<int32_t>(staves.last, INT16_MAX); ++staff) {
        if (!Exists(document, kTagStaff, staff)) {
            continue;
        }
        for (int32_t measure = std::max(measures.first, 1); measure <= std::min<int32_t>(measures.last, INT16_MAX);
             ++measure) {
            if (!Exists(document, kTagMeasure, measure)) {
                continue;
            }
            const std::string where = "  staff " + std::to_string(staff) + ", measure " + std::to_string(measure);
            const auto s = static_cast<hostapi::InstrumentKey>(staff);
            const auto m = static_cast<hostapi::MeasureNumber>(measure);
            const int16_t key = CellKeyValue(document, m, s, 0);
            bool any = false;
            for (hostapi::LayerIndex layer = 0; layer < 4; ++layer) {
                const CellEntries& entries = document.EntriesOf(CellKey{s, m, layer});
                if (entries.empty()) {
                    continue;
                }
                any = true;
                lines.push_back(where + ", layer " + std::to_string(layer + 1) + ": " + std::to_string(entries.size()) +
                                (entries.size() == 1 ? " entry" : " entries"));
                const TupletFinder tuplets(document, entries);
                for (size_t i = 0; i < entries.size(); ++i) {
                    lines.push_back(EntryLine(ConstEntryView(entries[i].data()), key));
                    if (std::string detail = DetailLine(document, entries, i, tuplets.Tuplets()); !detail.empty()) {
                        lines.push_back(std::move(detail));
                    }
                }
            }
            if (!any) {
                lines.push_back(where + ": no entries");
            }
        }
    }
    return lines;
}

std::string CellEntryLine(const Document& document, const CellKey& cell, const EntryBytes& entry) {
    const ConstEntryView view(entry.data());
    const std::string line = EntryLine(view, CellKeyValue(document, cell.measure, cell.staff, 0));
    const std::string offset =
        view.horizontalOffset() != 0 ? "; offset " + std::to_string(view.horizontalOffset()) : "";
    return line.substr(line.find_first_not_of(' ')) + offset;
}

}  // namespace host
