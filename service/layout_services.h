// Counts of the document's records, staff systems on pages, staff lists ("instrument usage
// lists"), the two stored forms of a staff system, and the page and system layout gathered in
// one LayoutInfo record or changed one value at a time.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/expression_records.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/types.h"

namespace lumvar {

// Records and sizes.
using hostapi::kTagMeasure;
using hostapi::kTagPage;
using hostapi::kTagStaff;
using hostapi::kTagStaffListEntry;
using hostapi::kTagStaffSystem;
using hostapi::kTagStaffSystem2001;
inline constexpr hostapi::Tag kTagExpressionDefinition = hostapi::kTagExpression;
using hostapi::kTagExpressionRecord;
inline constexpr hostapi::Tag kTagArticulationDefinition = hostapi::kTagArticulationDefinition;
using hostapi::kTagExtractedPart;
using hostapi::kTagStaffReduction;

inline constexpr uint32_t kMeasureSize = 24;
inline constexpr uint32_t kMeasureSize2001 = 66;
inline constexpr uint32_t kStaffSystemSize = 20;
inline constexpr uint32_t kStaffSystemSize2001 = 24;
inline constexpr uint32_t kPageSize = 22;
inline constexpr uint32_t kStaffListEntrySize = 24;
inline constexpr uint32_t kStaffSize = 66;

/// Staff system record, 20-byte form: byte offsets of its i16 words.
struct StaffSystem20 {
    static constexpr size_t kTop = 0;  ///< stored negative
    static constexpr size_t kFirstMeasure = 8;
    static constexpr size_t kEndMeasure = 10;  ///< one past the last
    static constexpr size_t kScaling = 16;
    static constexpr size_t kFlags = 18;  ///< bits 0 and 1; 0x4000: the system has its own staff list
};
/// Staff system record, 24-byte form (host year 2001 on).
struct StaffSystem24 {
    static constexpr size_t kWord0 = 0;  ///< stored negative; before 2001 word 4 of the list's entry 0
    static constexpr size_t kFirstMeasure = 8;
    static constexpr size_t kFlags = 10;
    static constexpr size_t kEndMeasure = 12;
    static constexpr size_t kScaling = 18;
    static constexpr size_t kTop = 20;  ///< stored negative
};
inline constexpr int16_t kOwnStaffListFlag = 0x4000;

/// 'SOPS' page record.
struct PageRecord {
    static constexpr size_t kI32At0 = 0;
    static constexpr size_t kI32At4 = 4;
    static constexpr size_t kFirstSystem = 8;  ///< i16: 0 = not laid out, -1 = no systems
    static constexpr size_t kFlags = 10;
    static constexpr size_t kWord12 = 12;
    static constexpr size_t kWord14 = 14;
    static constexpr size_t kWord16 = 16;
    static constexpr size_t kWord18 = 18;
    static constexpr size_t kPercent = 20;
};

/// 'SOIu' staff list entry: word 0 the staff, word at byte 8 its position.
struct StaffListEntryRecord {
    static constexpr size_t kStaff = 0;
    static constexpr size_t kWord2 = 2;
    static constexpr size_t kPosition = 8;
};

/// 'SOIS' staff record: the word at byte 22 has bit 0x0004 for a staff left out of counts.
inline constexpr size_t kStaffFlagsOffset = 22;
inline constexpr int16_t kStaffLeftOutFlag = 0x0004;

// ---- Services ----
int32_t CountItems(int16_t kind);
int16_t SystemRangeOnPage(int16_t page, int16_t* first, int16_t* last);
int16_t GetInstrumentList(int16_t kind, int16_t n);
int16_t CountInstruments(int16_t listKey, int16_t all);
int16_t GetStaffEnduction(int16_t key1, int16_t key2);
int16_t ExtractedPartIsUsed();
int16_t LoadStaffSystemSpec(int16_t system, void* record, int16_t size, uint32_t callerVersion);
int16_t SaveStaffSystemSpec(int16_t system, void* record, int16_t size, uint32_t callerVersion);
int16_t GetIUListForSystem(int16_t system);
int16_t NextInstrument(int16_t staff, int16_t listKey);
int16_t PrevInstrument(int16_t staff, int16_t listKey);
int16_t IsWithinInstRange(int16_t staff, int16_t first, int16_t last, int16_t listKey);
int16_t GetLayoutInfo(int16_t system, uint8_t* info, int16_t withPage);
int16_t ChangeLayoutInfo(int16_t kind, int32_t value, int16_t key, int16_t operation, int16_t ignored);

// ---- Helpers of the other services ----
struct StaffListEntry {
    int16_t index = 0;
    int16_t staff = 0;
    int16_t position = 0;
};
/// The entries of a staff list from index 0 up to the first missing one.
std::vector<StaffListEntry> StaffListEntries(int16_t listKey);
/// The staff's 66-byte record; nullopt when it cannot be loaded.
std::optional<std::array<uint8_t, kStaffSize>> LoadStaff(int16_t staff);
/// The value of an operation of ChangeLayoutInfo on an old value (0 set, 1 add, 2 scale by
/// percent, other: unchanged).
int32_t ApplyLayoutOperation(int16_t operation, int32_t oldValue, int32_t argument);

}  // namespace lumvar
