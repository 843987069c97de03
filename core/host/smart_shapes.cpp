#include "core/host/smart_shapes.h"

#include <algorithm>
#include <climits>
#include <map>
#include <numeric>
#include <set>
#include <tuple>

#include "core/host/access_state.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host/host_info.h"
#include "platform/hostapi/layout_records.h"

namespace orvex {
namespace {

using hostapi::kTagShapeEntryLink;
using hostapi::kTagShapeMeasureLink;
using hostapi::kTagShapeRange;
using hostapi::kTagSmartShape;
using hostapi::ShapeLinkLayout;
using hostapi::ShapeRangeLayout;
using hostapi::SmartShapeLayout;

/// Records are stepped in this many keys when the stored shapes are counted.
constexpr int32_t kCountStep = 30;

bool IsKind(int16_t kind, std::initializer_list<int16_t> kinds) {
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

Record12 LinkTo(int32_t shape) {
    Record12 link;
    hostapi::WriteI16(link.data(), ShapeLinkLayout::kShape, static_cast<int16_t>(shape));
    return link;
}

/// The shape a link names.
int32_t LinkedShape(const Record12& link) {
    return hostapi::ReadI16(link.data(), ShapeLinkLayout::kShape);
}

/// One 'otMx' link for every measure from the shape's start to its end.
void CreateMeasureLinks(int32_t shape, const SmartShapeRecord& record) {
    const Record12 link = LinkTo(shape);
    for (int32_t measure = record.startMeasure(); measure <= record.endMeasure(); ++measure) {
        int32_t cmper = measure;
        int32_t inci = -1;
        CreateOtherRecord(kTagShapeMeasureLink, cmper, inci, link.data(), Record12::kSize);
    }
}

void CreateEntryLink(int32_t shape, EntryNumber entry) {
    const Record12 link = LinkTo(shape);
    int32_t inci = -1;
    CreateEntryDetailRecord(kTagShapeEntryLink, entry, inci, link.data(), Record12::kSize);
}

/// Deletes the links that name a shape: its 'otMx' links in the measures it spans and, for an
/// entry-attached shape, its 'edEx' links at its two entries. A deleted link moves the later
/// ones of its measure or entry down, so the same place is read again.
void DeleteShapeLinks(int32_t shape, const SmartShapeRecord& record) {
    Record12 link;
    for (int32_t measure = record.startMeasure(); measure <= record.endMeasure(); ++measure) {
        for (int32_t inci = 0;
             LoadWholeOtherRecord(kTagShapeMeasureLink, measure, inci, link.data(), Record12::kSize);) {
            if (LinkedShape(link) == shape && DeleteOtherRecord(kTagShapeMeasureLink, measure, inci)) {
                continue;
            }
            ++inci;
        }
    }
    if (!record.entryAttached()) {
        return;
    }
    for (const EntryNumber entry : {EntryNumber(record.start()), EntryNumber(record.end())}) {
        for (int32_t inci = 0;
             entry != 0 && LoadWholeEntryDetailRecord(kTagShapeEntryLink, entry, inci, link.data(), Record12::kSize);) {
            if (LinkedShape(link) == shape && DeleteEntryDetailRecord(kTagShapeEntryLink, entry, inci)) {
                continue;
            }
            ++inci;
        }
    }
}

/// The shape numbers linked from measures first to last, each once, in link order.
std::vector<int32_t> LinkedShapes(int32_t first, int32_t last) {
    std::vector<int32_t> shapes;
    std::set<int32_t> seen;
    int32_t cmper = first;
    int32_t inci = -1;
    Record12 link;
    while (NextOtherRecord(kTagShapeMeasureLink, cmper, inci, link.data(), Record12::kSize) && cmper <= last &&
           cmper >= first) {
        const int32_t shape = LinkedShape(link);
        if (seen.insert(shape).second) {
            shapes.push_back(shape);
        }
    }
    return shapes;
}

/// The entry of `to` at the position and rank among the entries there of entry `entry` of
/// `from`; 0 when there is none.
EntryNumber MapEntry(EntryNumber entry, const hostapi::EntryArray* from, const hostapi::EntryArray* to) {
    if (from == nullptr || to == nullptr || entry == 0) {
        return 0;
    }
    for (int32_t i = 0; i < from->count; ++i) {
        if (from->entry(i).number() != entry) {
            continue;
        }
        const hostapi::Edu position = from->entry(i).position();
        int32_t rank = 0;
        for (int32_t j = 0; j < i; ++j) {
            rank += from->entry(j).position() == position ? 1 : 0;
        }
        for (int32_t j = 0; j < to->count; ++j) {
            if (to->entry(j).position() == position && rank-- == 0) {
                return to->entry(j).number();
            }
        }
        return 0;
    }
    return 0;
}

/// Marks the entry of the array that has the number as holding note-attached shapes, as the host
/// marks an entry that has 'edEx' links; answers whether its flag changed.
bool MarkEntryShapes(const hostapi::EntryArray& array, EntryNumber entry) {
    for (int32_t i = 0; i < array.count; ++i) {
        const hostapi::EntryView view = array.entry(i);
        if (view.number() == entry) {
            const bool marked = (view.moreFlags() & hostapi::kEntryMoreSmartShapes) != 0;
            view.setMoreFlags(static_cast<uint16_t>(view.moreFlags() | hostapi::kEntryMoreSmartShapes));
            return !marked;
        }
    }
    return false;
}

}  // namespace

// ---- Stored records ----

bool LoadSmartShapeRecord(int32_t shape, SmartShapeRecord& record) {
    return LoadWholeOtherRecord(kTagSmartShape, shape, 0, record.data(), SmartShapeRecord::kSize);
}

bool SaveSmartShapeRecord(int32_t shape, const SmartShapeRecord& record) {
    return SaveOtherRecord(kTagSmartShape, shape, 0, record.data(), SmartShapeRecord::kSize);
}

bool CreateSmartShapeRecord(int32_t& shape, const SmartShapeRecord& record) {
    int32_t inci = 0;
    shape = -1;
    return CreateOtherRecord(kTagSmartShape, shape, inci, record.data(), SmartShapeRecord::kSize);
}

void LinkShapeToMeasures(int32_t shape, int32_t first, int32_t last) {
    const Record12 link = LinkTo(shape);
    for (int32_t measure = first; measure <= last; ++measure) {
        int32_t cmper = measure;
        int32_t inci = -1;
        CreateOtherRecord(kTagShapeMeasureLink, cmper, inci, link.data(), Record12::kSize);
        EDTMeasureSpec measureSpec;
        if (LoadMeasureSpec(measure, measureSpec)) {
            hostapi::WriteU16(measureSpec.data(), EDTMeasureSpec::kFlags,
                              static_cast<uint16_t>(hostapi::ReadU16(measureSpec.data(), EDTMeasureSpec::kFlags) |
                                                    kMeasureHasSmartShapes));
            SaveMeasureSpec(measure, measureSpec);
        }
    }
}

void LinkShapeToEntries(int32_t shape, EntryNumber first, EntryNumber last) {
    for (const EntryNumber entry : {first, last}) {
        CreateEntryLink(shape, entry);
    }
}

bool NextSmartShapeRecord(int32_t& shape, SmartShapeRecord& record) {
    int32_t inci = 0;
    return NextOtherRecord(kTagSmartShape, shape, inci, record.data(), SmartShapeRecord::kSize);
}

namespace {

/// A pasted entry's link: the entry, the link's incidence and whether the host holds it whole
/// (a paste copies a damaged link as short as it is).
struct PastedLink {
    EntryNumber entry = 0;
    int32_t inci = 0;
    bool whole = true;
};

/// The pasted links of one source shape and the pasted copies of its two entries.
struct PastedShape {
    EntryNumber start = 0;
    EntryNumber end = 0;
    std::vector<PastedLink> links;
};

/// Sorts the links of one pasted cell entry: those of a source shape attached to the source entry
/// `original` go to `shapes`, the others to `stale`; a link of the entry's own shape stays.
void SortPastedLinks(EntryNumber pasted, EntryNumber original, std::map<int32_t, PastedShape>& shapes,
                     std::vector<PastedLink>& stale) {
    std::vector<uint8_t> bytes;
    for (int32_t inci = 0; inci <= INT16_MAX && LoadEntryDetailRecordBytes(kTagShapeEntryLink, pasted, inci, bytes);
         ++inci) {
        Record12 link;
        std::copy_n(bytes.begin(), std::min(bytes.size(), Record12::kSize), link.data());
        const bool whole = bytes.size() >= Record12::kSize;
        if (!whole && original != 0) {
            // The damage is the source's: its link is loaded as one of its layout, which reports
            // it as the record the document holds (the pasted copy is not one it held).
            Record12 source;
            LoadWholeEntryDetailRecord(kTagShapeEntryLink, original, inci, source.data(), Record12::kSize);
        }
        const int32_t shape = LinkedShape(link);
        SmartShapeRecord record;
        const bool loaded = LoadSmartShapeRecord(shape, record) && record.entryAttached();
        if (loaded && (record.start() == pasted || record.end() == pasted)) {
            continue;
        }
        if (!loaded || original == 0 || (record.start() != original && record.end() != original)) {
            stale.push_back({pasted, inci, whole});
            continue;
        }
        PastedShape& copy = shapes[shape];
        copy.start = record.start() == original ? pasted : copy.start;
        copy.end = record.end() == original ? pasted : copy.end;
        copy.links.push_back({pasted, inci, whole});
    }
}

}  // namespace

int32_t AttachPastedEntryShapes(hostapi::ViewKey view, hostapi::StaffSlot fromSlot, hostapi::StaffSlot toSlot,
                                int32_t to, int32_t first, int32_t last) {
    std::map<int32_t, PastedShape> shapes;
    std::vector<PastedLink> stale;
    for (int32_t measure = first; measure <= last; ++measure) {
        for (hostapi::LayerIndex layer = 0; layer < 4; ++layer) {
            const ScopedEntryArray source(view, fromSlot, static_cast<hostapi::MeasureNumber>(measure), layer);
            const ScopedEntryArray target(view, toSlot, static_cast<hostapi::MeasureNumber>(measure), layer);
            const int32_t count = target ? target->count : 0;
            // The paste copies a cell whole: its entries match the source's one by one.
            const bool copied = source && source->count == count;
            for (int32_t i = 0; i < count; ++i) {
                SortPastedLinks(target->entry(i).number(), copied ? source->entry(i).number() : 0, shapes, stale);
            }
        }
    }
    int32_t made = 0;
    for (auto& [shape, pasted] : shapes) {
        SmartShapeRecord copy;
        int32_t number = -1;
        if (pasted.start == 0 || pasted.end == 0 || !LoadSmartShapeRecord(shape, copy)) {
            stale.insert(stale.end(), pasted.links.begin(), pasted.links.end());
            continue;
        }
        copy.setStaves(static_cast<int16_t>(to));
        copy.setStart(pasted.start);
        copy.setEnd(pasted.end);
        if (!CreateSmartShapeRecord(number, copy)) {
            stale.insert(stale.end(), pasted.links.begin(), pasted.links.end());
            continue;
        }
        CreateMeasureLinks(number, copy);
        const Record12 link = LinkTo(number);
        for (const PastedLink& at : pasted.links) {
            // A short pasted link is not written over (a damaged record is never written back
            // padded): it goes, and the copy gets a whole link of its own at that entry, so that
            // the entry's removal takes the copy along.
            if (!at.whole ||
                !SaveEntryDetailRecord(kTagShapeEntryLink, at.entry, at.inci, link.data(), Record12::kSize)) {
                stale.push_back(at);
                CreateEntryLink(number, at.entry);
            }
        }
        ++made;
    }
    // A deleted link moves the later ones of its entry down: the highest incidences go first.
    std::sort(stale.begin(), stale.end(), [](const PastedLink& a, const PastedLink& b) {
        return std::tie(a.entry, b.inci) < std::tie(b.entry, a.inci);
    });
    for (const PastedLink& at : stale) {
        DeleteEntryDetailRecord(kTagShapeEntryLink, at.entry, at.inci);
    }
    return made;
}

hostapi::Edu MeasureLengthOrDefault(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure) {
    const auto length = Imports().MeasureLength;
    const hostapi::Edu edu = length == nullptr ? 0 : length(staff, measure, hostapi::kInterfaceVersion);
    return edu == 0 ? hostapi::kEduWholeNote : edu;
}

std::string LoadHostText(int32_t id) {
    const auto name = Imports().PitchName;
    char buffer[11] = {};
    if (name == nullptr || name(static_cast<int16_t>(id), buffer, 10, 1, hostapi::kInterfaceVersion) == 0) {
        return "";
    }
    buffer[10] = '\0';
    return buffer;
}

// ---- Layout sums ----

void LayoutSumCompute(LayoutSum& sums, bool above, int32_t offset, int32_t reference) {
    const int32_t value = offset + reference;
    if (above) {
        ++sums.countAbove;
        sums.sumAbove += value;
        sums.lowestAbove = std::min(sums.lowestAbove, value);
        sums.highestAbove = std::max(sums.highestAbove, value);
        sums.highestReferenceAbove = std::max(sums.highestReferenceAbove, reference);
    } else {
        ++sums.countBelow;
        sums.sumBelow += value;
        sums.lowestBelow = std::min(sums.lowestBelow, value);
        sums.highestBelow = std::max(sums.highestBelow, value);
        sums.lowestReferenceBelow = std::min(sums.lowestReferenceBelow, reference);
    }
}

void LayoutSumAccumulate(LayoutSum& sums, const LayoutSum& other, bool belowWanted, bool aboveWanted,
                         bool onlyIntoEmpty) {
    if (belowWanted || (onlyIntoEmpty && sums.countBelow == 0)) {
        sums.countBelow += other.countBelow;
        sums.sumBelow += other.sumBelow;
        sums.lowestBelow = std::min(sums.lowestBelow, other.lowestBelow);
        sums.highestBelow = std::max(sums.highestBelow, other.highestBelow);
        sums.lowestReferenceBelow = std::min(sums.lowestReferenceBelow, other.lowestReferenceBelow);
    }
    if (aboveWanted || (onlyIntoEmpty && sums.countAbove == 0)) {
        sums.countAbove += other.countAbove;
        sums.sumAbove += other.sumAbove;
        sums.lowestAbove = std::min(sums.lowestAbove, other.lowestAbove);
        sums.highestAbove = std::max(sums.highestAbove, other.highestAbove);
        sums.highestReferenceAbove = std::max(sums.highestReferenceAbove, other.highestReferenceAbove);
    }
}

int32_t LayoutOffsetOfKind(const LayoutSum& sums, bool above, int32_t kind, int32_t base, int32_t fallback,
                           int32_t fixed) {
    if (kind == 3) {
        return base + fixed;
    }
    const int32_t count = above ? sums.countAbove : sums.countBelow;
    if (count == 0) {
        return fallback;
    }
    const int32_t nearest = above ? sums.lowestAbove : sums.highestBelow;
    const int32_t farthest = above ? sums.highestAbove : sums.lowestBelow;
    switch (kind) {
        case 0:
            return base + nearest;
        case 1:
            return base + farthest;
        default:
            return base + (above ? sums.sumAbove : sums.sumBelow) / count;
    }
}

// ---- Measure ranges ----

bool MeasureInRange(int32_t measure, hostapi::Edu position, const hostapi::SelectionRecord& region,
                    hostapi::InstrumentKey scaleStaff) {
    const int32_t first = region.firstMeasure();
    const int32_t last = region.lastMeasure();
    if (measure > first && measure < last) {
        return true;
    }
    if (measure < first || measure > last) {
        return false;
    }
    int64_t at = position;
    if (scaleStaff != 0) {
        const auto m = static_cast<hostapi::MeasureNumber>(measure);
        at = at * MeasureLengthOrDefault(0, m) / MeasureLengthOrDefault(scaleStaff, m);
    }
    at = std::max<int64_t>(at, 0);
    if (measure == first && at < region.startEdu()) {
        return false;
    }
    if (measure == last && at > RegionEndPosition(region)) {
        return false;
    }
    return true;
}

RangePlace MeasureInRange(int32_t measure, int32_t first, int32_t last) {
    if (measure > first && measure < last) {
        return RangePlace::Inside;
    }
    if (measure == first || measure == last) {
        return RangePlace::AtEnd;
    }
    return RangePlace::Outside;
}

// ---- TExpressions ----

TExpression* TExpressions::At(int32_t n) const {
    return n >= 0 && n < Count() ? m_items[static_cast<size_t>(n)].get() : nullptr;
}

// ---- TSmartShape ----

TSmartShape::TSmartShape(int32_t number, const SmartShapeRecord& record) : Number(number) {
    SetRecord(record);
    Above = record.startOffset() >= 0;
}

void TSmartShape::SetRecord(const SmartShapeRecord& record) {
    Record = record;
    Staff = record.startStaff();
    Measure = record.startMeasure();
    Start = record.start();
    const hostapi::Edu length = MeasureLengthOrDefault(static_cast<hostapi::InstrumentKey>(Staff),
                                                       static_cast<hostapi::MeasureNumber>(Measure));
    // 64-bit: an entry number times 1000 does not fit 32 bits.
    int64_t key = static_cast<int64_t>(Measure) * 1000;
    if (length > 0) {
        key += static_cast<int64_t>(Start) * 1000 / length;
    }
    SortKey = static_cast<int32_t>(std::clamp<int64_t>(key, INT32_MIN, INT32_MAX));
}

// ---- TSmartShapes ----

TSmartShape* TSmartShapes::At(int32_t n) const {
    return n >= 0 && n < Count() ? m_shapes[static_cast<size_t>(n)].get() : nullptr;
}

void TSmartShapes::Clear() {
    ForgetTaken();
    m_shapes.clear();
}

void TSmartShapes::ForgetTaken() {
    for (const int32_t place : m_takenPlaces) {
        if (TSmartShape* shape = At(place)) {
            shape->Taken = false;
        }
    }
    m_takenPlaces.clear();
}

bool TSmartShapes::AddShape(int32_t number) {
    if (std::any_of(m_shapes.begin(), m_shapes.end(), [&](const auto& shape) { return shape->Number == number; })) {
        return true;
    }
    SmartShapeRecord record;
    if (!LoadSmartShapeRecord(number, record)) {
        return false;
    }
    m_shapes.push_back(std::make_unique<TSmartShape>(number, record));
    return true;
}

void TSmartShapes::LoadMeasureLinks(int32_t first, int32_t last) {
    Clear();
    m_first = first;
    m_last = last == 0 ? kAllMeasures : last;
    // The list is empty and the linked shapes come once each: no shape needs to be looked for.
    for (const int32_t shape : LinkedShapes(m_first, m_last)) {
        SmartShapeRecord record;
        if (LoadSmartShapeRecord(shape, record)) {
            m_shapes.push_back(std::make_unique<TSmartShape>(shape, record));
        }
    }
    m_cursor = LastRecordKey(kTagSmartShape, SmartShapeRecord::kSize, kCountStep, nullptr, 1);
    m_document = FrontDocumentIdentity();
}

void TSmartShapes::Refresh(int32_t first, int32_t last) {
    const int32_t end = last == 0 ? kAllMeasures : last;
    // The list serves only the document it was loaded from, known by the identity the host gives
    // it (two documents may share a name); without one the range is loaded afresh.
    const int32_t document = FrontDocumentIdentity();
    if (document != 0 && document == m_document && !m_shapes.empty() && first >= m_first && end <= m_last) {
        if (Reverify()) {
            AppendStoredAfterCursor();
        } else {
            LoadMeasureLinks(m_first, m_last);
        }
        return;
    }
    LoadMeasureLinks(first, last);
}

bool TSmartShapes::Reverify() {
    const int32_t count = Count();
    const int32_t step = std::max(count / 20, 1);
    for (int32_t i = 0; i < count; ++i) {
        TSmartShape& shape = *m_shapes[static_cast<size_t>(i)];
        const bool inRange = (shape.Record.startMeasure() >= m_first && shape.Record.startMeasure() <= m_last) ||
                             (shape.Record.endMeasure() >= m_first && shape.Record.endMeasure() <= m_last);
        if (!inRange && i % step != 0 && i != count - 1) {
            continue;
        }
        SmartShapeRecord stored;
        if (!LoadSmartShapeRecord(shape.Number, stored)) {
            return false;  // deleted since the load
        }
        if (stored.startStaff() != shape.Record.startStaff() || stored.startMeasure() != shape.Record.startMeasure() ||
            stored.endStaff() != shape.Record.endStaff() || stored.endMeasure() != shape.Record.endMeasure()) {
            return false;
        }
        shape.SetRecord(stored);
    }
    return true;
}

void TSmartShapes::AppendStoredAfterCursor() {
    int32_t number = m_cursor;
    SmartShapeRecord record;
    std::set<int32_t> listed;
    bool listedFilled = false;
    while (NextSmartShapeRecord(number, record)) {
        if (!listedFilled) {
            for (const auto& shape : m_shapes) {
                listed.insert(shape->Number);
            }
            listedFilled = true;
        }
        if (listed.insert(number).second) {
            m_shapes.push_back(std::make_unique<TSmartShape>(number, record));
        }
        m_cursor = number;
    }
}

int32_t TSmartShapes::CreateNew(int32_t staff, int32_t newStaff, int32_t first, int32_t last, bool skipDuplicates) {
    int32_t made = 0;
    for (const auto& shape : m_shapes) {
        const SmartShapeRecord& record = shape->Record;
        const bool inRange = (record.startMeasure() >= first && record.startMeasure() <= last) ||
                             (record.endMeasure() >= first && record.endMeasure() <= last);
        if (record.entryAttached() || record.startStaff() != staff || !inRange) {
            continue;
        }
        if (skipDuplicates && std::any_of(m_shapes.begin(), m_shapes.end(), [&](const auto& other) {
                return other->Record.startStaff() == newStaff &&
                       other->Record.startMeasure() == record.startMeasure() && other->Record.start() == record.start();
            })) {
            return made;
        }
        SmartShapeRecord copy = record;
        copy.setStaves(static_cast<int16_t>(newStaff));
        int32_t number = -1;
        if (CreateSmartShapeRecord(number, copy)) {
            CreateMeasureLinks(number, copy);
            ++made;
        }
    }
    return made;
}

int32_t TSmartShapes::CopyToStaff(int32_t from, int32_t to, int32_t first, int32_t last, bool entryAttached,
                                  bool measureAttached, const hostapi::EntryArray* sourceEntries,
                                  hostapi::EntryArray* targetEntries) {
    // The links are read before any copy is made, so that the copies' own links are not walked,
    // and a shape that spans several measures is copied once.
    int32_t made = 0;
    bool marked = false;
    for (const int32_t shape : LinkedShapes(first, last == 0 ? kAllMeasures : last)) {
        SmartShapeRecord record;
        if (!LoadSmartShapeRecord(shape, record) || record.startStaff() != from) {
            continue;
        }
        SmartShapeRecord copy = record;
        copy.setStaves(static_cast<int16_t>(to));
        if (record.entryAttached()) {
            if (!entryAttached || record.startMeasure() != record.endMeasure()) {
                continue;
            }
            const EntryNumber start = MapEntry(record.start(), sourceEntries, targetEntries);
            const EntryNumber end = MapEntry(record.end(), sourceEntries, targetEntries);
            if (start == 0 || end == 0) {
                continue;
            }
            copy.setStart(start);
            copy.setEnd(end);
        } else if (!measureAttached) {
            continue;
        }
        int32_t number = -1;
        if (!CreateSmartShapeRecord(number, copy)) {
            continue;
        }
        if (copy.entryAttached()) {
            CreateEntryLink(number, copy.start());
            CreateEntryLink(number, copy.end());
            marked = MarkEntryShapes(*targetEntries, copy.start()) || marked;
            marked = MarkEntryShapes(*targetEntries, copy.end()) || marked;
        }
        CreateMeasureLinks(number, copy);
        ++made;
    }
    if (marked) {
        SaveEntryArray(targetEntries);
    }
    return made;
}

void TSmartShapes::ParkStaff(int32_t staff, int32_t measure) {
    for (const auto& shape : m_shapes) {
        SmartShapeRecord& record = shape->Record;
        if (IsKind(record.kind(), {2, 3}) && record.startStaff() == staff && record.startMeasure() == measure) {
            record.setStaves(kParkingStaff);
            shape->SetRecord(record);
            SaveSmartShapeRecord(shape->Number, shape->Record);
        }
    }
}

void TSmartShapes::DeleteAll(int32_t value) {
    // A deleted shape leaves the list: saving it later would bring it back.
    ForgetTaken();
    std::erase_if(m_shapes, [&](const auto& shape) {
        const SmartShapeRecord& record = shape->Record;
        const bool endsHere = record.entryAttached() && IsKind(record.kind(), {0, 1}) && record.end() == value;
        if (record.start() != value && !endsHere) {
            return false;
        }
        // The shape goes with its measure and entry links: no link names a shape that is gone.
        DeleteOtherRecord(kTagSmartShape, shape->Number, 0);
        DeleteShapeLinks(shape->Number, record);
        return true;
    });
}

void TSmartShapes::DeleteAttachedTo(EntryNumber entry) {
    std::vector<int32_t> linked;
    Record12 link;
    for (int32_t inci = 0; entry > 0 && inci <= INT16_MAX &&
                           LoadWholeEntryDetailRecord(kTagShapeEntryLink, entry, inci, link.data(), Record12::kSize);
         ++inci) {
        linked.push_back(LinkedShape(link));
    }
    ForgetTaken();
    for (const int32_t shape : linked) {
        SmartShapeRecord record;
        if (!LoadSmartShapeRecord(shape, record) || !record.entryAttached() ||
            (record.start() != entry && record.end() != entry)) {
            continue;
        }
        DeleteOtherRecord(kTagSmartShape, shape, 0);
        DeleteShapeLinks(shape, record);
        std::erase_if(m_shapes, [&](const auto& held) { return held->Number == shape; });
    }
}

void TSmartShapes::RetypeEntrySlurs(int32_t staff, int32_t measure, int32_t entry) {
    for (const auto& shape : m_shapes) {
        SmartShapeRecord& record = shape->Record;
        if (record.entryAttached() && IsKind(record.kind(), {0, 1}) && record.startStaff() == staff &&
            record.startMeasure() == measure && record.start() == entry) {
            record.setKind(15);
            SaveSmartShapeRecord(shape->Number, record);
        }
    }
}

void TSmartShapes::AdjustInRegion(const hostapi::SelectionRecord& region, bool clear, int16_t value) {
    const auto slotOf = Imports().SlotOfInstrument;
    const auto inStaves = [&](int16_t staff) {
        const hostapi::StaffSlot slot =
            slotOf == nullptr ? 0 : slotOf(staff, region.viewKey(), hostapi::kInterfaceVersion);
        return slot != 0 && slot >= region.firstStaff() && slot <= region.lastStaff();
    };
    const auto inMeasures = [&](int16_t measure) {
        return measure >= region.firstMeasure() && measure <= region.lastMeasure();
    };
    for (const auto& shape : m_shapes) {
        SmartShapeRecord& record = shape->Record;
        if (!IsKind(record.kind(), {2, 3})) {
            continue;
        }
        const bool inside = (inMeasures(record.startMeasure()) || inMeasures(record.endMeasure())) &&
                            (inStaves(record.startStaff()) || inStaves(record.endStaff()));
        if (!inside) {
            continue;
        }
        if (clear) {
            hostapi::WriteU16(record.data(), SmartShapeLayout::kWord2,
                              static_cast<uint16_t>(hostapi::ReadU16(record.data(), SmartShapeLayout::kWord2) & ~1u));
        }
        if (value != 0) {
            for (const size_t offset :
                 {SmartShapeLayout::kWord22, SmartShapeLayout::kWord52, SmartShapeLayout::kWord68}) {
                hostapi::WriteI16(record.data(), offset, value);
            }
        }
        SaveSmartShapeRecord(shape->Number, record);
    }
}

void TSmartShapes::CollectRange(int32_t staff, int32_t first, int32_t last, const hostapi::SelectionRecord& range,
                                bool hairpins, bool customShapes, bool aboveTest, bool useTransposition, int32_t base,
                                const TStaffShapeIndex* index) {
    Sums = LayoutSum{};
    ForgetTaken();
    std::vector<int32_t> places;
    if (index != nullptr && index->Staff() == staff) {
        places = index->Overlapping(first, last);
    } else {
        places.resize(m_shapes.size());
        std::iota(places.begin(), places.end(), 0);
    }
    for (const int32_t place : places) {
        TSmartShape* shape = m_shapes[static_cast<size_t>(place)].get();
        const SmartShapeRecord& record = shape->Record;
        const bool wanted =
            (hairpins && IsKind(record.kind(), {2, 3})) || (customShapes && IsKind(record.kind(), {26, 29}));
        if (!wanted || record.startStaff() != staff || record.endMeasure() < first || record.startMeasure() > last) {
            continue;
        }
        int32_t reference = base;
        if (record.entryAttached()) {
            hostapi::Edu position = 0;
            reference = EntryVerticalPositionById(record.startStaff(), record.startMeasure(), record.start(),
                                                  useTransposition, &position, false);
            if (!MeasureInRange(record.startMeasure(), position, range, 0)) {
                continue;
            }
        } else if (!MeasureInRange(record.startMeasure(), record.start(), range, 0) &&
                   !MeasureInRange(record.endMeasure(), record.end(), range, 0)) {
            continue;
        }
        shape->Taken = true;
        m_takenPlaces.push_back(place);
        const bool above = aboveTest && base < record.startOffset() + reference;
        shape->Above = above;
        LayoutSumCompute(Sums, above, record.startOffset(), reference);
    }
}

bool TSmartShapes::FindInRange(int32_t measure, int32_t staff, hostapi::Edu position, int32_t kind) const {
    return std::any_of(m_shapes.begin(), m_shapes.end(), [&](const auto& shape) {
        const SmartShapeRecord& r = shape->Record;
        return !r.entryAttached() && r.kind() == kind && r.startStaff() == staff &&
               std::make_tuple(r.startMeasure(), r.start()) <= std::make_tuple(int16_t(measure), position) &&
               std::make_tuple(r.endMeasure(), r.end()) >= std::make_tuple(int16_t(measure), position);
    });
}

bool TSmartShapes::FindByStaff(int32_t measure, int32_t staff) const {
    return std::any_of(m_shapes.begin(), m_shapes.end(), [&](const auto& shape) {
        const SmartShapeRecord& r = shape->Record;
        return r.startStaff() == staff && r.startMeasure() <= measure && r.endMeasure() >= measure;
    });
}

bool TSmartShapes::FindKind25or26(int32_t entry) const {
    return std::any_of(m_shapes.begin(), m_shapes.end(), [&](const auto& shape) {
        return IsKind(shape->Record.kind(), {25, 26}) && shape->Record.start() == entry;
    });
}

std::vector<int32_t> TSmartShapes::StartsOfKind25or26() const {
    std::vector<int32_t> starts;
    for (const auto& shape : m_shapes) {
        if (IsKind(shape->Record.kind(), {25, 26})) {
            starts.push_back(shape->Record.start());
        }
    }
    std::sort(starts.begin(), starts.end());
    return starts;
}

int32_t TSmartShapes::FindByEnds(int32_t endEntry, int32_t value) const {
    for (int32_t i = 0; i < Count(); ++i) {
        const SmartShapeRecord& r = m_shapes[static_cast<size_t>(i)]->Record;
        if (IsKind(r.kind(), {25, 26}) && r.end() == endEntry && r.endNote() == value) {
            return i + 1;
        }
    }
    return 0;
}

// ---- The shapes of a staff by measure ----

TStaffShapeIndex::TStaffShapeIndex(const TSmartShapes& shapes, int32_t staff) : m_staff(staff) {
    for (int32_t place = 0; place < shapes.Count(); ++place) {
        const SmartShapeRecord& record = shapes.At(place)->Record;
        if (record.startStaff() == staff) {
            m_items.push_back({record.startMeasure(), 0, record.endMeasure(), place});
        }
    }
    std::stable_sort(m_items.begin(), m_items.end(),
                     [](const Item& a, const Item& b) { return a.startMeasure < b.startMeasure; });
    int32_t reach = INT32_MIN;
    for (Item& item : m_items) {
        reach = std::max(reach, item.endMeasure);
        item.reach = reach;
    }
}

size_t TStaffShapeIndex::CountStartingBy(int32_t measure) const {
    return static_cast<size_t>(
        std::upper_bound(m_items.begin(), m_items.end(), measure,
                         [](int32_t value, const Item& item) { return value < item.startMeasure; }) -
        m_items.begin());
}

bool TStaffShapeIndex::Spans(int32_t measure) const {
    const size_t count = CountStartingBy(measure);
    return count != 0 && m_items[count - 1].reach >= measure;
}

std::vector<int32_t> TStaffShapeIndex::Overlapping(int32_t first, int32_t last) const {
    // The reach only grows along the items: walking back from the last item that starts by
    // `last`, the walk ends where no earlier item reaches `first`.
    std::vector<int32_t> places;
    for (size_t at = CountStartingBy(last); at != 0 && m_items[at - 1].reach >= first; --at) {
        if (m_items[at - 1].endMeasure >= first) {
            places.push_back(m_items[at - 1].place);
        }
    }
    std::sort(places.begin(), places.end());
    return places;
}

// ---- Range records ----

bool ClipShapeRangeRecords(int32_t sourceKey, int32_t targetKey, int32_t first, int32_t last) {
    if (TheAccessLayer.host.year < 2000 || sourceKey == targetKey) {
        return false;
    }
    using Range = RawRecord<ShapeRangeLayout::kSize>;
    const auto overlaps = [&](const Range& r) {
        return hostapi::ReadI16(r.data(), ShapeRangeLayout::kFirstMeasure) <= last &&
               hostapi::ReadI16(r.data(), ShapeRangeLayout::kLastMeasure) >= first;
    };
    Range record;
    // A deletion moves the later incidences down, so the same inci is read again after one.
    for (int32_t inci = 0; inci <= INT16_MAX;) {
        if (!LoadWholeOtherRecord(kTagShapeRange, targetKey, inci, record.data(), Range::kSize)) {
            break;
        }
        if (overlaps(record) && DeleteOtherRecord(kTagShapeRange, targetKey, inci)) {
            continue;
        }
        ++inci;
    }
    std::vector<Range> copies;
    for (int32_t inci = 0; inci <= INT16_MAX; ++inci) {
        if (!LoadWholeOtherRecord(kTagShapeRange, sourceKey, inci, record.data(), Range::kSize)) {
            break;
        }
        if (overlaps(record)) {
            const int16_t from = hostapi::ReadI16(record.data(), ShapeRangeLayout::kFirstMeasure);
            const int16_t to = hostapi::ReadI16(record.data(), ShapeRangeLayout::kLastMeasure);
            hostapi::WriteI16(record.data(), ShapeRangeLayout::kFirstMeasure,
                              static_cast<int16_t>(std::max<int32_t>(from, first)));
            hostapi::WriteI16(record.data(), ShapeRangeLayout::kLastMeasure,
                              static_cast<int16_t>(std::min<int32_t>(to, last)));
            copies.push_back(record);
        }
    }
    bool created = true;
    for (const Range& copy : copies) {
        int32_t cmper = targetKey;
        int32_t inci = -1;
        created = CreateOtherRecord(kTagShapeRange, cmper, inci, copy.data(), Range::kSize) && created;
    }
    return created;
}

}  // namespace orvex
