#include "platform/host/region_commands.h"

#include <algorithm>

#include "platform/host/host.h"
#include "platform/host/music_model.h"
#include "platform/hostapi/entry_array.h"

namespace host {
namespace {

using hostapi::EntryLayout;

/// The staves and measures of a region as the document has them: slots and measures in order,
/// clipped to the document's staves of view 0 and its measures; nullopt when nothing is left.
struct Span {
    int32_t firstSlot;
    int32_t lastSlot;
    int32_t firstMeasure;
    int32_t lastMeasure;
};

std::optional<Span> SpanOf(const Document& document, const hostapi::SelectionRecord& region) {
    const int32_t staves = StaffCountOfView(document, 0);
    const int32_t measures = WholeDocumentRegion(document).lastMeasure();
    Span span{std::max<int32_t>(std::min(region.firstStaff(), region.lastStaff()), 1),
              std::min<int32_t>(std::max(region.firstStaff(), region.lastStaff()), staves),
              std::max<int32_t>(std::min(region.firstMeasure(), region.lastMeasure()), 1),
              std::min<int32_t>(std::max(region.firstMeasure(), region.lastMeasure()), measures)};
    if (span.firstSlot > span.lastSlot || span.firstMeasure > span.lastMeasure) {
        return std::nullopt;
    }
    return span;
}

hostapi::EntryNumber NumberOf(const EntryBytes& entry) {
    return hostapi::ConstEntryView(entry.data()).number();
}

/// The keys of the entry detail records stored under an entry number, in key order.
std::vector<RecordKey> DetailKeysOf(const Document& document, hostapi::EntryNumber number) {
    std::vector<RecordKey> keys;
    if (number == 0) {
        return keys;
    }
    for (const auto& [key, bytes] : document.Records().Records()) {
        if (key.Family() == hostapi::RecordFamily::EntryDetail && key.first == number) {
            keys.push_back(key);
        }
    }
    return keys;
}

CellKey CellAt(const Document& document, int32_t slot, int32_t measure, hostapi::LayerIndex layer) {
    return {InstrumentOfSlot(document, static_cast<hostapi::StaffSlot>(slot), 0),
            static_cast<hostapi::MeasureNumber>(measure), layer};
}

/// Empties one cell: its entries go, and with them their detail records (highest incidence
/// first, so that no record moves down under a key still to be deleted).
void EmptyCell(Document& document, const CellKey& cell) {
    for (const EntryBytes& entry : document.EntriesOf(cell)) {
        const std::vector<RecordKey> keys = DetailKeysOf(document, NumberOf(entry));
        for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
            document.DeleteRecord(*key);
        }
    }
    document.SetEntries(cell, {});
}

}  // namespace

hostapi::SelectionRecord WholeMeasureRegion(const Document& document, int32_t firstSlot, int32_t lastSlot,
                                            int32_t firstMeasure, int32_t lastMeasure) {
    hostapi::SelectionRecord region;
    region.setViewKey(0);
    region.setFirstStaff(static_cast<hostapi::StaffSlot>(firstSlot));
    region.setLastStaff(static_cast<hostapi::StaffSlot>(lastSlot));
    region.setFirstMeasure(static_cast<hostapi::MeasureNumber>(firstMeasure));
    region.setLastMeasure(static_cast<hostapi::MeasureNumber>(lastMeasure));
    region.setStartEdu(0);
    region.setEndEdu(MeasureLength(document, static_cast<hostapi::MeasureNumber>(lastMeasure)));
    return region;
}

std::optional<RegionClipboard> CopyRegion(const Document& document, const hostapi::SelectionRecord& region) {
    const std::optional<Span> span = SpanOf(document, region);
    if (!span) {
        return std::nullopt;
    }
    RegionClipboard clipboard;
    clipboard.staves = span->lastSlot - span->firstSlot + 1;
    clipboard.measures = span->lastMeasure - span->firstMeasure + 1;
    for (int32_t slot = span->firstSlot; slot <= span->lastSlot; ++slot) {
        for (int32_t measure = span->firstMeasure; measure <= span->lastMeasure; ++measure) {
            for (hostapi::LayerIndex layer = 0; layer < 4; ++layer) {
                ClipboardCell cell{slot - span->firstSlot,
                                   measure - span->firstMeasure,
                                   layer,
                                   document.EntriesOf(CellAt(document, slot, measure, layer)),
                                   {}};
                for (const EntryBytes& entry : cell.entries) {
                    auto& details = cell.details.emplace_back();
                    for (const RecordKey& key : DetailKeysOf(document, NumberOf(entry))) {
                        details.emplace_back(key, *document.Records().Find(key));
                    }
                }
                clipboard.cells.push_back(std::move(cell));
            }
        }
    }
    return clipboard;
}

void ClearRegion(Document& document, const hostapi::SelectionRecord& region) {
    const std::optional<Span> span = SpanOf(document, region);
    if (!span) {
        return;
    }
    for (int32_t slot = span->firstSlot; slot <= span->lastSlot; ++slot) {
        for (int32_t measure = span->firstMeasure; measure <= span->lastMeasure; ++measure) {
            for (hostapi::LayerIndex layer = 0; layer < 4; ++layer) {
                EmptyCell(document, CellAt(document, slot, measure, layer));
            }
        }
    }
}

std::optional<hostapi::SelectionRecord> PasteRegion(Document& document, const RegionClipboard& clipboard,
                                                    const hostapi::SelectionRecord& at) {
    const int32_t firstSlot = std::min(at.firstStaff(), at.lastStaff());
    const int32_t firstMeasure = std::min(at.firstMeasure(), at.lastMeasure());
    const std::optional<Span> span =
        SpanOf(document, WholeMeasureRegion(document, firstSlot, firstSlot + clipboard.staves - 1, firstMeasure,
                                            firstMeasure + clipboard.measures - 1));
    if (!span || clipboard.staves < 1 || clipboard.measures < 1 || span->firstSlot != firstSlot ||
        span->firstMeasure != firstMeasure) {
        return std::nullopt;
    }
    for (const ClipboardCell& copied : clipboard.cells) {
        const int32_t slot = firstSlot + copied.staffOffset;
        const int32_t measure = firstMeasure + copied.measureOffset;
        if (slot > span->lastSlot || measure > span->lastMeasure) {
            continue;
        }
        const CellKey cell = CellAt(document, slot, measure, copied.layer);
        if (!document.CellExists(cell.staff, cell.measure)) {
            continue;
        }
        EmptyCell(document, cell);
        CellEntries entries = copied.entries;
        for (size_t i = 0; i < entries.size(); ++i) {
            const hostapi::EntryNumber number = document.NewEntryNumber();
            hostapi::EntryView(entries[i].data()).setNumber(number);
            for (const auto& [key, bytes] : copied.details[i]) {
                document.SaveRecord(RecordKey::EntryDetail(key.tag, number, static_cast<hostapi::Inci>(key.second)),
                                    bytes);
            }
        }
        document.SetEntries(cell, std::move(entries));
    }
    return WholeMeasureRegion(document, span->firstSlot, span->lastSlot, span->firstMeasure, span->lastMeasure);
}

std::string RegionText(const hostapi::SelectionRecord& region) {
    const auto range = [](int32_t first, int32_t last, const char* one, const char* many) {
        return first == last ? std::string(one) + " " + std::to_string(first)
                             : std::string(many) + " " + std::to_string(first) + "-" + std::to_string(last);
    };
    return range(region.firstStaff(), region.lastStaff(), "staff", "staves") + ", " +
           range(region.firstMeasure(), region.lastMeasure(), "measure", "measures");
}

}  // namespace host
