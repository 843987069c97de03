// Part designations: the text expressions by which an engraver marks who plays what on a
// multi-part staff ("1.", "2.", "I.", "1./2.", "a2", "SOLO", "TUTTI"), read from the notes and
// the measure, turned into part numbers and kinds, and written into the voice slots of the
// distribution table; in the deleting mode the same walk removes them from the document.
#include <algorithm>
#include <array>
#include <cctype>
#include <string>

#include "core/host/finxess.h"
#include "core/host/smart_shapes.h"
#include "core/host/staff_lists.h"
#include "core/tool_context.h"
#include "expressions/txtexpr.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/expression_records.h"
#include "tools/layout/explosion/explosion.h"
#include "tools/notes/entry_fields.h"

namespace orvex {

namespace {

constexpr size_t kMaxPartNumbers = 12;
constexpr hostapi::Tag kTagMeasureExpression = hostapi::kTagMeasureExpression;
constexpr hostapi::Tag kTagNoteExpression = hostapi::kTagNoteExpression;
// 'edED': the expression number at byte 0, a value word at byte 6, the flag byte at byte 9.
constexpr size_t kNoteExpressionValue = 6;
constexpr size_t kNoteExpressionFlagByte = hostapi::NoteExpressionLayout::kFlagsHighByte;
constexpr uint8_t kTextExpressionBit = 0x80;
// 'otDY': the expression number at byte 0, the position at byte 2, a value word at byte 4 and
// the staff word at byte 10 (0 every staff, 0x1000 + staff one staff, 0x2000 a shape).
constexpr size_t kMeasureExpressionPosition = 2;
constexpr size_t kMeasureExpressionValue = 4;
constexpr size_t kMeasureExpressionStaff = 10;
constexpr int16_t kOneStaff = 0x1000;
constexpr int16_t kShapeExpression = 0x2000;
constexpr int32_t kMaxRecords = 1000;  ///< a bound on the records of one entry or measure

/// A text expression placed in the measure on the staff.
struct PlacedExpression {
    int32_t inci = 0;
    Edu position = 0;
    int32_t value = 0;
    std::string text;  ///< trimmed, upper case
};

std::string Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

std::string UpperTrimmed(std::string_view text) {
    std::string result = Trimmed(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

/// The plain text of expression `number` of the shared table ("" when it has none).
std::string ExpressionText(int32_t number) {
    TTextExpressions& table = TextExpressionTable();
    if (number < 1 || number > table.Count()) {
        return {};
    }
    return table.Item(number - 1).PlainText();
}

/// The text expressions placed in the measure for this staff or every staff, in stored order.
std::vector<PlacedExpression> CellExpressions(int32_t measure, int32_t staff) {
    std::vector<PlacedExpression> found;
    Record12 record;
    for (int32_t inci = 0; inci < kMaxRecords && LoadRecordOtDY(measure, inci, record); ++inci) {
        const int16_t staffWord = hostapi::ReadI16(record.data(), kMeasureExpressionStaff);
        const int16_t number = hostapi::ReadI16(record.data(), hostapi::MeasureExpressionLayout::kNumber);
        if ((staffWord & kShapeExpression) != 0 || number <= 0 || (staffWord != 0 && staffWord != kOneStaff + staff)) {
            continue;
        }
        found.push_back(PlacedExpression{inci, hostapi::ReadI16(record.data(), kMeasureExpressionPosition),
                                         hostapi::ReadI16(record.data(), kMeasureExpressionValue),
                                         UpperTrimmed(ExpressionText(number))});
    }
    return found;
}

bool IsRomanNumeral(std::string_view text, int32_t& number) {
    static constexpr std::array<std::string_view, 12> kRoman{"I",   "II",   "III", "IV", "V",  "VI",
                                                             "VII", "VIII", "IX",  "X",  "XI", "XII"};
    for (size_t i = 0; i < kRoman.size(); ++i) {
        if (text == kRoman[i]) {
            number = static_cast<int32_t>(i) + 1;
            return true;
        }
    }
    return false;
}

/// Where a text that names several parts splits: the separator's place and its width (0 when
/// the split keeps every character); false when it does not split.
bool SplitPlace(std::string_view t, size_t& at, size_t& width) {
    for (const char separator : {',', ' ', '/', '&', '-'}) {
        if (const size_t place = t.find(separator); place != std::string_view::npos) {
            at = place;
            width = 1;
            return true;
        }
    }
    // A "." at 1-based place d with d + 1 >= 3 and d + 1 < length: split after it.
    if (const size_t dot = t.find('.'); dot != std::string_view::npos && dot + 2 >= 3 && dot + 2 < t.size()) {
        at = dot + 1;
        width = 0;
        return true;
    }
    if (t.size() > 2) {
        at = t.size() / 2;
        width = 0;
        return true;
    }
    return false;
}

/// The item's slots from the top, `used` of them.
int32_t UsedSlots(const NInfoItem& item) {
    return std::min<int32_t>(item.usedSlots, kNInfoSlots);
}

/// Whether the slot's entry carries attached expressions that belong to this slot: a chord's
/// marks are read from the slot that holds its last note.
bool SlotCarriesMarks(const LayerArrays& layers, const VoiceSlot& slot, hostapi::EntryView* entry) {
    const EntryArray* array = slot.layer < 4 ? layers[slot.layer] : nullptr;
    if (array == nullptr || array->entries == nullptr || slot.entryIndex < 0 || slot.entryIndex >= array->count) {
        return false;
    }
    *entry = array->entry(slot.entryIndex);
    const int32_t notes = entry->notesHeld();
    return (notes == 0 || slot.noteIndex + 1 == notes) && (entry->moreFlags() & kEntryMoreExpressions) != 0;
}

/// The text of a note-attached record when it names a text expression.
bool NoteRecordText(const Record10& record, std::string& text) {
    const int16_t number = hostapi::ReadI16(record.data(), hostapi::NoteExpressionLayout::kNumber);
    if (number == 0 || (record.bytes[kNoteExpressionFlagByte] & kTextExpressionBit) == 0) {
        return false;
    }
    text = UpperTrimmed(ExpressionText(number));
    return true;
}

/// Pairs every part with a kind: a record with a part but no kind gives its part to the first
/// earlier record without one, a record with a kind but no part its kind likewise. Answers the
/// number of records that carry a part.
int32_t MergeDesignations(PartDesignations& list) {
    int32_t parts = 0;
    size_t index = 0;
    while (index < list.size()) {
        const TPartAss record = list[index];
        if (record.part != 0) {
            ++parts;
        }
        bool merged = false;
        if (index >= 1 && (record.part != 0) != (record.kind != 0)) {
            for (size_t earlier = 0; earlier < index && !merged; ++earlier) {
                TPartAss& target = list[earlier];
                if (record.part != 0 && target.part == 0) {
                    target.part = record.part;
                    merged = true;
                } else if (record.kind != 0 && target.kind == 0) {
                    target.kind = record.kind;
                    merged = true;
                }
            }
        }
        if (merged) {
            // The record that moves into this place is examined too.
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
        } else {
            ++index;
        }
    }
    return parts;
}

}  // namespace

bool ParsePartNumber(std::string_view t, std::vector<int32_t>& numbers) {
    numbers.clear();
    if (t.empty()) {
        return false;
    }
    if (t.size() == 3) {
        if (t == "1st" || t == "2nd" || t == "3rd") {
            numbers.push_back(t[0] - '0');
            return true;
        }
        if (t.substr(1) == "th") {
            // Only part numbers that the region tables hold.
            const int32_t number = t[0] - '0';
            if (number < 1 || number > kExplosionParts) {
                return false;
            }
            numbers.push_back(number);
            return true;
        }
    }
    if (t.size() == 2 && t[1] == '.' && t[0] > '0' && t[0] < '9') {
        numbers.push_back(t[0] - '0');
        return true;
    }
    if (t.size() > 1 && t.back() == '.') {
        int32_t number = 0;
        if (IsRomanNumeral(t.substr(0, t.size() - 1), number)) {
            numbers.push_back(number);
            return true;
        }
    }
    size_t at = 0;
    size_t width = 0;
    if (!SplitPlace(t, at, width)) {
        return false;
    }
    const std::string_view left = t.substr(0, at);
    const std::string_view right = t.substr(at + width);
    std::vector<int32_t> rightNumbers;
    if (left.empty() || right.empty() || !ParsePartNumber(left, numbers) || !ParsePartNumber(right, rightNumbers)) {
        numbers.clear();
        return false;
    }
    numbers.insert(numbers.end(), rightNumbers.begin(), rightNumbers.end());
    if (numbers.size() > kMaxPartNumbers) {
        numbers.resize(kMaxPartNumbers);
    }
    return true;
}

bool ParsePartSpecification(bool removeKinds, std::string_view text, PartDesignations& list, int32_t value,
                            int32_t layer) {
    int32_t kind = text == "SOLO" ? kKindSolo : text == "TUTTI" ? kKindTutti : 0;
    std::string t(text);
    std::erase(t, ' ');
    if (t.size() == 2 && t[0] == 'A' && t[1] >= '1' && t[1] <= '9') {
        kind = t[1] - '0';
    }
    if (kind == 0) {
        std::vector<int32_t> numbers;
        const bool named = ParsePartNumber(t, numbers);
        for (const int32_t number : numbers) {
            list.push_back(TPartAss{number, 0, value, layer});
        }
        return named;
    }
    list.push_back(TPartAss{0, kind, value, layer});
    return removeKinds;
}

int32_t BuildPartAssignments(ExplosionContext& explosion, int32_t measure, int32_t staffIndex,
                             const LayerArrays& layers, bool deleting, Edu from, Edu to, int32_t& smallest,
                             const TGroups* groups) {
    if (staffIndex < 0 || staffIndex >= kExplosionStaves || !explosion.tables[static_cast<size_t>(staffIndex)] ||
        !explosion.staves) {
        return 0;
    }
    NInfo& info = *explosion.tables[static_cast<size_t>(staffIndex)];
    const bool removeKinds = RowOn(explosion.Context().Options, kOptRemoveKinds);
    const int32_t staff = explosion.staves->ByNumber(explosion.firstStaffSlot + staffIndex);
    std::vector<PlacedExpression> placed = CellExpressions(measure, staff);
    const Edu measureLength = MeasureLengthOrDefault(static_cast<hostapi::InstrumentKey>(staff),
                                                     static_cast<hostapi::MeasureNumber>(measure));
    int32_t result = 0;
    bool first = true;
    PartDesignations scratch;
    for (int32_t i = 0; i < info.itemCount; ++i) {
        NInfoItem& item = info.items[static_cast<size_t>(i)];
        if (item.position < from || item.position >= to) {
            break;
        }
        PartDesignations list;
        for (int32_t k = 0; k < UsedSlots(item); ++k) {
            VoiceSlot& slot = item.slots[static_cast<size_t>(k)];
            hostapi::EntryView entry(nullptr);
            if (!SlotCarriesMarks(layers, slot, &entry)) {
                continue;
            }
            Record10 record;
            std::string text;
            if (deleting) {
                for (int32_t kk = slot.detailNumber; kk >= 0; --kk) {
                    scratch.clear();
                    if (LoadRecordEdED(entry.number(), kk, record) && NoteRecordText(record, text) &&
                        ParsePartSpecification(removeKinds, text, scratch, 0, slot.layer)) {
                        DeleteEntryDetailRecord(kTagNoteExpression, entry.number(), kk);
                    }
                }
                continue;
            }
            for (int32_t kk = 0; kk < kMaxRecords && LoadRecordEdED(entry.number(), kk, record); ++kk) {
                if (NoteRecordText(record, text)) {
                    ParsePartSpecification(removeKinds, text, list,
                                           hostapi::ReadI16(record.data(), kNoteExpressionValue), slot.layer);
                    slot.detailNumber = static_cast<int16_t>(kk);
                }
            }
        }
        if (deleting) {
            continue;
        }
        // Marks of the measure that lie nearer to this item than to its neighbours.
        const int64_t p = item.position;
        const int64_t previous = i > 0    ? info.items[static_cast<size_t>(i - 1)].position
                                 : p == 0 ? -214748364
                                          : PreviousEventPosition(layers, item.position);
        const int64_t next = i + 1 < info.itemCount ? info.items[static_cast<size_t>(i + 1)].position : measureLength;
        const int64_t low = (4 * previous + p) / 5;
        const int64_t high = (4 * p + next) / 5;
        for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
            if (it->position >= low && it->position < high) {
                ParsePartSpecification(removeKinds, it->text, list, it->value, 0);
            }
        }
        if (groups != nullptr) {
            for (int32_t g = 0; g < groups->Count(); ++g) {
                const TGroupRec& group = groups->At(g);
                if (group.record.firstStaff() == staff && group.record.lastStaff() == staff) {
                    ParsePartSpecification(removeKinds, group.name, list, 0, 0);
                }
            }
        }
        if (!list.empty()) {
            const int32_t parts = MergeDesignations(list);
            const bool enough = item.noteEntries <= parts;
            if ((enough || parts < static_cast<int32_t>(list.size())) && list.size() == 1 && list[0].part != 0 &&
                list[0].kind == 0) {
                list[0].kind = kKindSolo;
            }
            NInfoItem& target = first ? info.items[0] : item;
            size_t slotIndex = 0;
            for (const TPartAss& record : list) {
                if (!(enough || record.kind != 0) || slotIndex >= target.slots.size()) {
                    continue;
                }
                VoiceSlot& slot = target.slots[slotIndex++];
                if (enough) {
                    slot.part = static_cast<uint8_t>(record.part);
                }
                slot.partKind = static_cast<uint8_t>(item.usedSlots < parts && record.kind == 0 ? parts : record.kind);
                result = std::max(result, record.part);
                if (record.part != 0) {
                    smallest = std::min(smallest, record.part);
                }
            }
        }
        if (item.restsOnly == 0) {
            first = false;
        }
    }
    if (deleting) {
        // From the last record down, so that the incidences still to visit stay where they are.
        for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
            if (it->position >= to || (from != 0 && it->position < from)) {
                continue;
            }
            scratch.clear();
            if (ParsePartSpecification(removeKinds, it->text, scratch, 0, 0)) {
                DeleteOtherRecord(kTagMeasureExpression, measure, it->inci);
            }
        }
    }
    return result;
}

}  // namespace orvex
