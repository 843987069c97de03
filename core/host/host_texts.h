// The messages of the access layer (English and German), keyed by a stable enum; the rows live
// in core/host/host_texts_table.cpp. Their places ("%1" ...) are filled with FormatTexts.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/host/bilingual_text.h"

namespace orvex {

enum class HostText : int32_t {
    CouldNotWriteFile,
    GroupNamesNotSaved,
    RecordDamaged,               ///< %1 record name and keys, %2 bytes held, %3 bytes expected
    RecordsDamaged,              ///< %1 the count, %2 the first record's name and keys
    RecordDamagedKept,           ///< as RecordDamaged, for a record the command did not write back
    RecordsDamagedKept,          ///< as RecordsDamaged, when the command did not write one back
    EntryDamaged,                ///< %1 entry number, %2 staff, %3 measure
    EntryName,                   ///< %1 entry number, %2 staff, %3 measure; an entry in RecordsDamaged
    StaffRecordPositionRefused,  ///< %1 staff, %2 measure, %3 position in EDU
    StaffNumberName,             ///< %1 the staff; a staff without a name
    GroupNumberName,             ///< %1 the group; a group without a name, English only
    Count
};

inline constexpr size_t kHostTextCount = static_cast<size_t>(HostText::Count);

extern const std::array<BilingualText, kHostTextCount> kHostTextTable;

/// The English and German text of an access layer message.
inline const BilingualText& HostTextOf(HostText text) {
    return kHostTextTable[static_cast<size_t>(text)];
}

}  // namespace orvex
