#include "platform/host/document_check.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <utility>

#include "platform/host/music_model.h"
#include "platform/host/record_layouts.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/expression_records.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/lyric_records.h"
#include "platform/hostapi/measure_region_records.h"
#include "platform/hostapi/music_records.h"

namespace host {
namespace {

using hostapi::MakeTag;
using hostapi::ReadI16;
using hostapi::Tag;

/// The staff a plug-in parks a smart shape on when it detaches it from a cell it emptied.
constexpr int32_t kParkedShapeStaff = 32000;

/// The kinds of record the host keeps at one size, and that size: a record of such a tag that
/// holds fewer bytes is cut short. (Texts, text expressions, suffixes and the records of the
/// transfer vary in size and are not here.)
const std::map<Tag, size_t>& KindSizes() {
    static const std::map<Tag, size_t> kSizes = {
        {kTagTextBlock, TextBlockLayout::kSize},
        {kTagStaff, StaffLayout::kSize},
        {kTagStaffListEntry, StaffListEntryLayout::kSize},
        {kTagMeasure, MeasureLayout::kSize},
        {hostapi::kTagPage, hostapi::PageLayout::kSize},
        {hostapi::kTagStaffSystem, hostapi::StaffSystem20Layout::kSize},
        {hostapi::kTagStaffSystem2001, hostapi::StaffSystemLayout::kSize},
        {hostapi::kTagLockedMeasures, hostapi::LockedMeasuresLayout::kSize},
        {hostapi::kTagStaffGroup, hostapi::StaffGroupLayout::kSize},
        {hostapi::kTagSmartShape, hostapi::SmartShapeLayout::kSize},
        {hostapi::kTagShapeMeasureLink, hostapi::ShapeLinkLayout::kSize},
        {hostapi::kTagShapeEntryLink, hostapi::ShapeLinkLayout::kSize},
        {hostapi::kTagPageText, hostapi::PageTextLayout::kSize},
        {hostapi::kTagPageGraphic, hostapi::PageGraphicLayout::kSize},
        {hostapi::kTagFileRecord, hostapi::FileRecordLayout::kSize},
        {hostapi::kTagBeatChart, hostapi::BeatChartLayout::kSize},
        {hostapi::kTagMeasureNumberRegion, hostapi::MeasureNumberRegionLayout::kSize},
        {hostapi::kTagMeasureNumberRegion2000, hostapi::MeasureNumberRegionLayout::kSize},
        {hostapi::kTagBackwardRepeat, hostapi::BackwardRepeatLayout::kSize},
        {hostapi::kTagStaffSpec, hostapi::StaffSpecLayout::kSize},
        {hostapi::kTagCellClef, hostapi::CellClefLayout::kSize},
        {hostapi::kTagLayerSettings, hostapi::LayerSettingsLayout::kSize},
        {hostapi::kTagMeasureExpression, hostapi::MeasureExpressionLayout::kSize},
        {hostapi::kTagTuplet, hostapi::TupletLayout::kSize},
        {hostapi::kTagArticulation, hostapi::ArticulationLayout::kSize},
        {hostapi::kTagArticulationDefinition, hostapi::ArticulationDefinitionLayout::kSize},
        {hostapi::kTagNotePerformance, hostapi::NotePerformanceLayout::kSize},
        {hostapi::kTagMidiEvent, hostapi::MidiEventLayout::kSize},
        {hostapi::kTagSecondaryBeamBreak, hostapi::SecondaryBeamBreakLayout::kSize},
        {hostapi::kTagNoteExpression, hostapi::NoteExpressionLayout::kSize},
        {hostapi::kTagChordSymbol, hostapi::ChordSymbolLayout::kSize},
        {hostapi::kTagVerseAssignment, hostapi::LyricAssignmentLayout::kSize},
        {hostapi::kTagChorusAssignment, hostapi::LyricAssignmentLayout::kSize},
        {hostapi::kTagSectionAssignment, hostapi::LyricAssignmentLayout::kSize},
    };
    return kSizes;
}

/// An entry of the document: its number and both flag words.
struct EntryFacts {
    hostapi::EntryNumber number = 0;
    uint32_t flags = 0;
    uint16_t moreFlags = 0;
};

class Checker {
public:
    explicit Checker(const Document& document) : m_document(document) {
        for (const auto& [cell, entries] : document.Cells()) {
            for (const EntryBytes& bytes : entries) {
                const hostapi::ConstEntryView entry(bytes.data());
                m_entries.push_back({entry.number(), entry.flags(), entry.moreFlags()});
            }
        }
        std::sort(m_entries.begin(), m_entries.end(),
                  [](const EntryFacts& a, const EntryFacts& b) { return a.number < b.number; });
    }

    std::vector<DocumentProblem> Run() {
        for (const auto& [key, bytes] : m_document.Records().Records()) {
            CheckSize(key, bytes);
            CheckNames(key, bytes);
        }
        CheckCells();
        return std::move(m_problems);
    }

private:
    const EntryFacts* Entry(hostapi::EntryNumber number) const {
        const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), number,
                                         [](const EntryFacts& e, hostapi::EntryNumber n) { return e.number < n; });
        return it != m_entries.end() && it->number == number ? &*it : nullptr;
    }
    bool Holds(Tag tag, int32_t number) const {
        return m_document.Records().Find(RecordKey::Other(tag, static_cast<hostapi::Cmper>(number), 0)) != nullptr;
    }
    void Add(std::string subject, std::string detail = {}, std::string identity = {}) {
        m_problems.push_back({std::move(subject), std::move(detail), std::move(identity)});
    }
    /// A problem when the record names `what` `number` and `held` is false.
    void Names(const RecordKey& key, const char* what, int32_t number, bool held) {
        if (!held) {
            Add(key.Description() + " names " + what + " " + std::to_string(number) +
                ", which the document does not hold");
        }
    }
    void NamesStaff(const RecordKey& key, int32_t staff) { Names(key, "staff", staff, Holds(kTagStaff, staff)); }
    void NamesMeasure(const RecordKey& key, int32_t measure) {
        Names(key, "measure", measure, Holds(kTagMeasure, measure));
    }
    void NamesEntry(const RecordKey& key, hostapi::EntryNumber entry) {
        Names(key, "entry", entry, Entry(entry) != nullptr);
    }
    void NamesShape(const RecordKey& key, int32_t shape) {
        Names(key, "smart shape", shape, Holds(hostapi::kTagSmartShape, shape));
    }
    /// A text block named by a field (0 names none).
    void NamesTextBlock(const RecordKey& key, int32_t block) {
        if (block != 0) {
            Names(key, "text block", block, Holds(kTagTextBlock, block));
        }
    }

    void CheckSize(const RecordKey& key, const Bytes& bytes) {
        const auto it = KindSizes().find(key.tag);
        if (it != KindSizes().end() && bytes.size() < it->second) {
            Add(key.Description() + " is shorter than its kind",
                "it holds " + std::to_string(bytes.size()) + " of " + std::to_string(it->second) + " bytes",
                "'" + TagText(key.tag) + "' cut short: " + std::string(bytes.begin(), bytes.end()));
        }
    }

    /// An entry detail record: its entry, and the flag that says the entry has such records.
    void CheckEntryRecord(const RecordKey& key) {
        const EntryFacts* entry = Entry(key.first);
        if (entry == nullptr) {
            NamesEntry(key, key.first);
            return;
        }
        const hostapi::EntryRecordFlag flag = hostapi::EntryFlagOfRecordTag(key.tag);
        if ((entry->flags & flag.flag) != flag.flag || (entry->moreFlags & flag.moreFlag) != flag.moreFlag) {
            Add(key.Description() + " belongs to entry " + std::to_string(key.first) +
                ", which lacks the flag of such records");
        }
    }

    void CheckShape(const RecordKey& key, const Bytes& b) {
        using L = hostapi::SmartShapeLayout;
        // A hairpin whose cell was emptied is parked on staff 32000: detached, it names no staff.
        for (const size_t field : {L::kStartStaff, L::kEndStaff}) {
            if (const int32_t staff = ReadI16(b.data(), field); staff != kParkedShapeStaff) {
                NamesStaff(key, staff);
            }
        }
        NamesMeasure(key, ReadI16(b.data(), L::kStartMeasure));
        NamesMeasure(key, ReadI16(b.data(), L::kEndMeasure));
        if ((b[L::kAttachment] & L::kEntryAttached) != 0) {
            NamesEntry(key, hostapi::ReadI32(b.data(), L::kStart));
            NamesEntry(key, hostapi::ReadI32(b.data(), L::kEnd));
        }
    }

    void CheckMeasureExpression(const RecordKey& key, const Bytes& b) {
        using L = hostapi::MeasureExpressionLayout;
        NamesMeasure(key, key.first);
        const uint16_t staff = hostapi::ReadU16(b.data(), L::kStaff);
        if ((staff & L::kOneStaff) != 0) {
            NamesStaff(key, staff & L::kStaffMask);
        }
        if ((staff & L::kShape) == 0) {
            const int16_t number = ReadI16(b.data(), L::kNumber);
            Names(key, "text expression", number, Holds(hostapi::kTagExpression, number));
        }
    }

    /// The fields of the records that name something, by tag; a record too short for its kind is
    /// reported by its size and its fields are not read.
    void CheckNames(const RecordKey& key, const Bytes& b) {
        if (key.Family() == hostapi::RecordFamily::EntryDetail) {
            CheckEntryRecord(key);
        }
        const auto size = KindSizes().find(key.tag);
        if (size != KindSizes().end() && b.size() < size->second) {
            return;
        }
        const auto field = [&](size_t offset) { return ReadI16(b.data(), offset); };
        const Tag tag = key.tag;
        if (tag == kTagTextBlock) {
            const int16_t text = field(TextBlockLayout::kTextKey);
            if (text != 0) {
                Names(key, "text", text, Holds(hostapi::kTagTextBlockText, text));
            }
        } else if (tag == kTagStaff) {
            NamesTextBlock(key, field(StaffLayout::kFullName));
            NamesTextBlock(key, field(StaffLayout::kAbbreviatedName));
        } else if (tag == kTagStaffListEntry) {
            NamesStaff(key, field(StaffListEntryLayout::kStaff));
        } else if (tag == hostapi::kTagStaffGroup) {
            NamesStaff(key, field(hostapi::StaffGroupLayout::kFirstStaff));
            NamesStaff(key, field(hostapi::StaffGroupLayout::kLastStaff));
            NamesTextBlock(key, field(hostapi::StaffGroupLayout::kFullName));
            NamesTextBlock(key, field(hostapi::StaffGroupLayout::kAbbreviatedName));
        } else if (tag == hostapi::kTagStaffSpec || tag == hostapi::kTagCellClef) {
            NamesStaff(key, key.first);
            NamesMeasure(key, key.second);
        } else if (tag == hostapi::kTagSmartShape) {
            CheckShape(key, b);
        } else if (tag == hostapi::kTagShapeMeasureLink) {
            NamesMeasure(key, key.first);
            NamesShape(key, field(hostapi::ShapeLinkLayout::kShape));
        } else if (tag == hostapi::kTagShapeEntryLink) {
            NamesShape(key, field(hostapi::ShapeLinkLayout::kShape));
        } else if (tag == hostapi::kTagMeasureExpression) {
            CheckMeasureExpression(key, b);
        } else if (tag == hostapi::kTagNoteExpression) {
            using L = hostapi::NoteExpressionLayout;
            if ((hostapi::ReadU16(b.data(), L::kFlags) & L::kTextExpression) != 0) {
                Names(key, "text expression", field(L::kNumber), Holds(hostapi::kTagExpression, field(L::kNumber)));
            }
        } else if (tag == hostapi::kTagArticulation) {
            const int16_t definition = field(hostapi::ArticulationLayout::kDefinition);
            Names(key, "articulation", definition, Holds(hostapi::kTagArticulationDefinition, definition));
        } else if (tag == hostapi::kTagChordSymbol) {
            using L = hostapi::ChordSymbolLayout;
            if ((hostapi::ReadU16(b.data(), L::kWord) & L::kHasSuffix) != 0) {
                Names(key, "chord suffix", field(L::kSuffix), Holds(hostapi::kTagSuffixElement, field(L::kSuffix)));
            }
        } else if (const auto lyric =
                       std::find(hostapi::kLyricAssignmentTags.begin(), hostapi::kLyricAssignmentTags.end(), tag);
                   lyric != hostapi::kLyricAssignmentTags.end()) {
            const Tag text =
                hostapi::kLyricTextTags[static_cast<size_t>(lyric - hostapi::kLyricAssignmentTags.begin())];
            const int16_t number = field(hostapi::LyricAssignmentLayout::kTextNumber);
            Names(key, "lyric text", number, Holds(text, number));
        } else if (tag == hostapi::kTagPageText) {
            NamesTextBlock(key, field(hostapi::PageTextLayout::kTextBlock));
        } else if (tag == hostapi::kTagPageGraphic) {
            const int16_t file = field(hostapi::PageGraphicLayout::kFile);
            Names(key, "file", file, Holds(hostapi::kTagFileRecord, file));
        } else if (tag == hostapi::kTagFileRecord) {
            const int16_t path = field(hostapi::FileRecordLayout::kPath);
            Names(key, "file path", path, Holds(hostapi::kTagFilePath, path));
        } else if (tag == hostapi::kTagBeatChart || tag == hostapi::kTagLockedMeasures) {
            NamesMeasure(key, key.first);
        } else if (tag == hostapi::kTagMeasureNumberRegion || tag == hostapi::kTagMeasureNumberRegion2000) {
            NamesMeasure(key, field(hostapi::MeasureNumberRegionLayout::kFirstMeasure));
        } else if (tag == hostapi::kTagStemUpDetail || tag == hostapi::kTagStemDownDetail) {
            NamesEntry(key, key.second);
        }
    }

    /// Cells of a staff or measure the document does not hold, and layers that do not add up.
    void CheckCells() {
        for (const auto& [cell, entries] : m_document.Cells()) {
            if (!Holds(kTagStaff, cell.staff) || !Holds(kTagMeasure, cell.measure)) {
                Add(cell.Description() + " holds entries of a staff or measure the document does not hold");
                continue;
            }
            const hostapi::Edu length = MeasureLength(m_document, cell.measure);
            int64_t lasts = 0;
            for (const EntryBytes& bytes : entries) {
                const hostapi::ConstEntryView entry(bytes.data());
                if ((entry.flags() & (hostapi::kEntryGrace | hostapi::kEntryVoice2)) == 0) {
                    lasts += entry.actualDuration();
                }
            }
            if (length > 0 && lasts != length) {
                Add(cell.Description() + " does not add up to its time signature",
                    "its entries last " + std::to_string(lasts) + " of " + std::to_string(length) + " EDU");
            }
        }
    }

    const Document& m_document;
    std::vector<EntryFacts> m_entries;  ///< by number
    std::vector<DocumentProblem> m_problems;
};

}  // namespace

std::vector<DocumentProblem> CheckDocument(const Document& document) {
    return Checker(document).Run();
}

std::vector<DocumentProblem> NewProblems(const Document& before, const Document& after) {
    const auto identity = [](DocumentProblem& problem) -> std::string& {
        return problem.identity.empty() ? problem.subject : problem.identity;
    };
    std::set<std::string> known;
    for (DocumentProblem& problem : CheckDocument(before)) {
        known.insert(std::move(identity(problem)));
    }
    std::vector<DocumentProblem> added;
    for (DocumentProblem& problem : CheckDocument(after)) {
        if (known.count(identity(problem)) == 0) {
            added.push_back(std::move(problem));
        }
    }
    return added;
}

}  // namespace host
