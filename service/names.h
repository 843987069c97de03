// Display names of staves, staff groups, staff sets and staff systems, as the host shows them.
// Names are the document's 8-bit texts; the words Lumvar2000 adds ("hidden", "Staff", ...) are
// put into the same code page.
#pragma once

#include <cstdint>
#include <string>

#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/types.h"

namespace lumvar {

using hostapi::kTagStaffGroup;
inline constexpr uint32_t kStaffGroupSize = 30;

/// 'SDNG' group record (detail keys: list key, group number).
struct StaffGroupRecord {
    static constexpr size_t kFirstStaff = 0;
    static constexpr size_t kLastStaff = 2;
    static constexpr size_t kFullName = 4;          ///< text block
    static constexpr size_t kAbbreviatedName = 22;  ///< text block
};

const char* GetInstName(int16_t staff);
const char* GetInstNameInIUList(int16_t staff, uint8_t fallback, int16_t listKey, uint8_t markHidden);
const char* GetGroupName(int16_t group, int16_t listKey, const void* groupRecord, int16_t* source);
const char* GetStaffsetName(int16_t set, int16_t flags, int16_t width, int16_t* err);
const char* GetSystemName(int16_t system, int16_t flags, int16_t width, int16_t* err);

/// The staff's name: its full name, else its abbreviated name (text commands removed).
std::string StaffName(int16_t staff);
/// The display name of a staff in a list (GetInstNameInIUList without its buffer).
std::string StaffDisplayName(int16_t staff, bool fallback, int16_t listKey, bool markHidden);
/// The name of a staff list of `number` (set or system) by the flag bits of the set and
/// system names; err as GetStaffsetName says.
std::string ListName(int16_t listKey, int16_t number, int16_t flags, int16_t width, int16_t* err);

}  // namespace lumvar
