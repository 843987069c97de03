// The score builder's page layout and score items: pages, staff systems and their locks and
// staff lists, staff groups, smart shapes, page texts and page graphics.
#include <algorithm>
#include <climits>
#include <stdexcept>

#include "platform/host/record_layouts.h"
#include "platform/host/score_builder.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/layout_records.h"
#include "platform/win/system.h"

namespace host {
namespace {

using hostapi::PageLayout;
using hostapi::SmartShapeLayout;
using hostapi::StaffSystemLayout;

/// The next free key under a tag's first keys: one above the highest (1 when there is none).
int16_t NextKey(const Document& document, hostapi::Tag tag) {
    int32_t highest = 0;
    for (const auto& [key, bytes] : document.Records().Records()) {
        if (key.tag == tag) {
            highest = std::max(highest, key.first);
        }
    }
    if (highest >= INT16_MAX) {
        throw std::length_error("the document has no free key left for " + hostapi::TagName(tag));
    }
    return static_cast<int16_t>(highest + 1);
}

}  // namespace

ScoreBuilder& ScoreBuilder::Page(const PageSettings& settings) {
    Bytes page(PageLayout::kSize, 0);
    hostapi::WriteI32(page.data(), PageLayout::kWidth, settings.width);
    hostapi::WriteI32(page.data(), PageLayout::kHeight, settings.height);
    hostapi::WriteI16(page.data(), PageLayout::kLeftMargin, kDefaultPageMargin);
    hostapi::WriteI16(page.data(), PageLayout::kTopMargin, static_cast<int16_t>(-kDefaultPageMargin));
    hostapi::WriteI16(page.data(), PageLayout::kRightMargin, static_cast<int16_t>(-kDefaultPageMargin));
    hostapi::WriteI16(page.data(), PageLayout::kBottomMargin, kDefaultPageMargin);
    hostapi::WriteI16(page.data(), PageLayout::kPercent, 100);
    Current().SaveRecord(RecordKey::Other(hostapi::kTagPage, NextKey(Current(), hostapi::kTagPage), 0), page);
    return *this;
}

ScoreBuilder& ScoreBuilder::System(hostapi::MeasureNumber first, hostapi::MeasureNumber last) {
    Document& document = Current();
    if (first != 0) {
        for (const hostapi::MeasureNumber m : {first, last}) {
            if (document.Records().Find(RecordKey::Other(kTagMeasure, m, 0)) == nullptr) {
                throw std::invalid_argument("there is no measure " + std::to_string(m));
            }
        }
        if (last < first) {
            throw std::invalid_argument("a system ends at or after its first measure");
        }
    }
    Bytes system(StaffSystemLayout::kSize, 0);
    hostapi::WriteI16(system.data(), StaffSystemLayout::kDistance, kDefaultSystemDistance);
    hostapi::WriteI16(system.data(), StaffSystemLayout::kPercent, 100);
    hostapi::WriteI16(system.data(), StaffSystemLayout::kFirstMeasure, first);
    hostapi::WriteI16(system.data(), StaffSystemLayout::kEndMeasure,
                      first == 0 ? int16_t{0} : static_cast<int16_t>(last + 1));
    const int16_t number = NextKey(document, hostapi::kTagStaffSystem2001);
    document.SaveRecord(RecordKey::Other(hostapi::kTagStaffSystem2001, number, 0), std::move(system));
    return *this;
}

ScoreBuilder& ScoreBuilder::Lock(hostapi::MeasureNumber first, hostapi::MeasureNumber last) {
    if (first < 1 || last < first || last >= INT16_MAX) {
        throw std::invalid_argument("a lock holds measures first to last, from 1 on");
    }
    Bytes lock(hostapi::LockedMeasuresLayout::kSize, 0);
    hostapi::WriteI16(lock.data(), hostapi::LockedMeasuresLayout::kEndMeasure, static_cast<int16_t>(last + 1));
    Current().SaveRecord(RecordKey::Other(hostapi::kTagLockedMeasures, first, 0), std::move(lock));
    return *this;
}

ScoreBuilder& ScoreBuilder::LayOut() {
    LayOutDocument(Current());
    return *this;
}

ScoreBuilder& ScoreBuilder::StaffList(int16_t system, const std::vector<hostapi::InstrumentKey>& staves) {
    Document& document = Current();
    if (system < 1) {
        throw std::invalid_argument("the staff list of a system is list 1 or above");
    }
    while (document.DeleteRecord(RecordKey::Other(kTagStaffListEntry, system, 0))) {
        // a deletion moves the later entries down to inci 0
    }
    int32_t position = 0;
    for (size_t i = 0; i < staves.size(); ++i) {
        if (document.Records().Find(RecordKey::Other(kTagStaff, staves[i], 0)) == nullptr) {
            throw std::invalid_argument("there is no staff " + std::to_string(staves[i]));
        }
        Bytes entry(StaffListEntryLayout::kSize, 0);
        hostapi::WriteI16(entry.data(), StaffListEntryLayout::kStaff, staves[i]);
        hostapi::WriteI32(entry.data(), StaffListEntryLayout::kPosition, position);
        document.SaveRecord(RecordKey::Other(kTagStaffListEntry, system, static_cast<int16_t>(i)), std::move(entry));
        position += kStaffDistance;
    }
    const RecordKey key = RecordKey::Other(hostapi::kTagStaffSystem2001, system, 0);
    if (const Bytes* stored = document.Records().Find(key);
        stored != nullptr && stored->size() == StaffSystemLayout::kSize) {
        Bytes record = *stored;
        hostapi::WriteU16(
            record.data(), StaffSystemLayout::kFlags,
            hostapi::ReadU16(record.data(), StaffSystemLayout::kFlags) | StaffSystemLayout::kOwnStaffList);
        document.SaveRecord(key, std::move(record));
    }
    return *this;
}

ScoreBuilder& ScoreBuilder::Group(int16_t list, hostapi::InstrumentKey first, hostapi::InstrumentKey last,
                                  std::string_view fullName, std::string_view abbreviatedName, int16_t bracket) {
    Document& document = Current();
    for (const hostapi::InstrumentKey staff : {first, last}) {
        if (document.Records().Find(RecordKey::Other(kTagStaff, staff, 0)) == nullptr) {
            throw std::invalid_argument("there is no staff " + std::to_string(staff));
        }
    }
    int16_t number = 1;
    while (document.Records().Find(RecordKey::Detail(hostapi::kTagStaffGroup, list, number, 0)) != nullptr) {
        if (++number > hostapi::StaffGroupLayout::kLastGroup) {
            throw std::invalid_argument("a staff list holds groups 1 to 100");
        }
    }
    Bytes group(hostapi::StaffGroupLayout::kSize, 0);
    hostapi::WriteI16(group.data(), hostapi::StaffGroupLayout::kFirstStaff, first);
    hostapi::WriteI16(group.data(), hostapi::StaffGroupLayout::kLastStaff, last);
    hostapi::WriteI16(group.data(), hostapi::StaffGroupLayout::kFullName,
                      fullName.empty() ? 0 : MakeTextBlock(fullName));
    hostapi::WriteI16(group.data(), hostapi::StaffGroupLayout::kAbbreviatedName,
                      abbreviatedName.empty() ? 0 : MakeTextBlock(abbreviatedName));
    hostapi::WriteI16(group.data(), hostapi::StaffGroupLayout::kBracket, bracket);
    document.SaveRecord(RecordKey::Detail(hostapi::kTagStaffGroup, list, number, 0), std::move(group));
    return *this;
}

ScoreBuilder& ScoreBuilder::SmartShape(int16_t kind, hostapi::InstrumentKey staff, const ShapeEnd& start,
                                       const ShapeEnd& end, const ShapeHeights& heights, uint16_t word2) {
    Document& document = Current();
    if ((start.entry > 0) != (end.entry > 0)) {
        throw std::invalid_argument("both ends of a smart shape are positions, or both are entries");
    }
    if (end.measure < start.measure) {
        throw std::invalid_argument("a smart shape ends at or after its start measure");
    }
    if ((start.note > 0 && start.entry == 0) || (end.note > 0 && end.entry == 0)) {
        throw std::invalid_argument("only an end attached to an entry names a note");
    }
    // The entry's number, or the position; and the identifier of the note named (0 = none).
    const auto entryNumber = [&](const ShapeEnd& at, int16_t& noteId) -> hostapi::EntryNumber {
        RequireCell(staff, at.measure);
        noteId = 0;
        if (at.entry == 0) {
            return at.position;
        }
        const CellEntries& entries = document.EntriesOf(CellKey{staff, at.measure, 0});
        if (static_cast<size_t>(at.entry) > entries.size()) {
            throw std::invalid_argument("staff " + std::to_string(staff) + ", measure " + std::to_string(at.measure) +
                                        " has no entry " + std::to_string(at.entry) + " in layer 1");
        }
        const hostapi::ConstEntryView entry(entries[static_cast<size_t>(at.entry - 1)].data());
        if (at.note > entry.notesHeld()) {
            throw std::invalid_argument("entry " + std::to_string(at.entry) + " of staff " + std::to_string(staff) +
                                        ", measure " + std::to_string(at.measure) + " has no note " +
                                        std::to_string(at.note));
        }
        if (at.note > 0) {
            noteId = entry.note(at.note - 1).noteId();
        }
        return entry.number();
    };
    int16_t startNote = 0;
    int16_t endNote = 0;
    const hostapi::EntryNumber from = entryNumber(start, startNote);
    const hostapi::EntryNumber to = entryNumber(end, endNote);
    Bytes shape(SmartShapeLayout::kSize, 0);
    hostapi::WriteI16(shape.data(), SmartShapeLayout::kKind, kind);
    shape[SmartShapeLayout::kAttachment] = start.entry > 0 ? SmartShapeLayout::kEntryAttached : 0;
    hostapi::WriteI16(shape.data(), SmartShapeLayout::kStartStaff, staff);
    hostapi::WriteI16(shape.data(), SmartShapeLayout::kStartMeasure, start.measure);
    hostapi::WriteI32(shape.data(), SmartShapeLayout::kStart, from);
    hostapi::WriteI16(shape.data(), SmartShapeLayout::kStartOffset, heights.start);
    hostapi::WriteU16(shape.data(), SmartShapeLayout::kWord2, word2);
    hostapi::WriteI16(shape.data(), SmartShapeLayout::kEndStaff, staff);
    hostapi::WriteI16(shape.data(), SmartShapeLayout::kEndMeasure, end.measure);
    hostapi::WriteI32(shape.data(), SmartShapeLayout::kEnd, to);
    hostapi::WriteI16(shape.data(), SmartShapeLayout::kEndOffset, heights.end);
    hostapi::WriteI16(shape.data(), SmartShapeLayout::kStartNote, startNote);
    hostapi::WriteI16(shape.data(), SmartShapeLayout::kEndNote, endNote);
    const RecordKey created = Create(RecordKey::Other(hostapi::kTagSmartShape, -1, 0), std::move(shape));

    Bytes link(hostapi::ShapeLinkLayout::kSize, 0);
    hostapi::WriteI16(link.data(), hostapi::ShapeLinkLayout::kShape, static_cast<int16_t>(created.first));
    for (int32_t m = start.measure; m <= end.measure; ++m) {
        Create(RecordKey::Other(hostapi::kTagShapeMeasureLink, static_cast<int16_t>(m), -1), link);
    }
    if (start.entry > 0) {
        for (const ShapeEnd* at : {&start, &end}) {
            const hostapi::EntryNumber entry =
                EditEntry(CellKey{staff, at->measure, 0}, at->entry, [](hostapi::EntryView e) {
                    e.setMoreFlags(static_cast<uint16_t>(e.moreFlags() | hostapi::kEntryMoreSmartShapes));
                });
            AppendEntryRecord(hostapi::kTagShapeEntryLink, entry, link);
        }
    }
    return *this;
}

ScoreBuilder& ScoreBuilder::PageText(int16_t page, std::string_view text) {
    Bytes record(hostapi::PageTextLayout::kSize, 0);
    hostapi::WriteI16(record.data(), hostapi::PageTextLayout::kTextBlock, MakeTextBlock(text));
    Create(RecordKey::Other(hostapi::kTagPageText, page, -1), std::move(record));
    return *this;
}

ScoreBuilder& ScoreBuilder::PageGraphic(int16_t page, std::string_view path) {
    const std::string ansi = win::Utf8ToAnsi(path);
    const size_t piece = hostapi::FilePathLayout::kPieceLength;
    RecordKey pieces = RecordKey::Other(hostapi::kTagFilePath, -1, 0);
    size_t at = 0;
    do {
        const std::string part = ansi.substr(at, piece);
        Bytes bytes(part.begin(), part.end());
        bytes.push_back(0);
        pieces = Create(pieces, std::move(bytes));
        pieces.second = -1;
        at += piece;
    } while (at < ansi.size());
    Bytes file(hostapi::FileRecordLayout::kSize, 0);
    hostapi::WriteI16(file.data(), hostapi::FileRecordLayout::kPath, static_cast<int16_t>(pieces.first));
    const RecordKey fileKey = Create(RecordKey::Other(hostapi::kTagFileRecord, -1, 0), std::move(file));
    Bytes graphic(hostapi::PageGraphicLayout::kSize, 0);
    hostapi::WriteI16(graphic.data(), hostapi::PageGraphicLayout::kFile, static_cast<int16_t>(fileKey.first));
    Create(RecordKey::Other(hostapi::kTagPageGraphic, page, -1), std::move(graphic));
    return *this;
}

}  // namespace host
