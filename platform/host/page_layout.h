// The host's page layout (service 41): which measures make each staff system and which systems
// each page holds, by one deterministic rule.
//
// Systems. The measures 1, 2, ... (up to the first missing measure record) are cut into
// systems from measure 1 on. A measure that starts a locked system (an 'otFM' record (m, 0)
// whose end measure e lies after m) makes the system [m, e) whatever its width, e taken as at
// most one past the last measure. Otherwise a system takes measures while the sum of their
// widths ('SOMS' byte 0; at least 1) stays within the system width, and at least one measure;
// it ends before a measure that starts a locked system. The system width is the page width
// less the page's left and right margins and the system's own left and right margins.
//
// Pages. A system's height is the span of its staff list (its own list 'SOIu' n when its flag
// 0x4000 is set, else the score's list 0: the highest less the lowest staff position) plus one
// staff (96 EVPU) plus the space above the next system (the system's byte 6, stored negative).
// Systems go onto pages in order while their heights stay within the page's usable height (its
// height less the top margin and less the bottom margin, which is stored negative), at least
// one system a page.
//
// Records. Page 1's geometry holds for every page; a document without pages gets the host's
// page (2448 x 3168 EVPU, margins of 144, scale 100). System n keeps its record and gets its
// first and end measure (in both forms, 'SOSS' and 'O\x02SS'); a new system copies the
// margins, space and scale of the system before it (or the host's: margins 0, space -96,
// scale 100). Page p keeps its record and gets its first system; a new page copies page 1.
// Systems and pages beyond the new last one are deleted. A document without measures has no
// systems, and one page whose first system is -1 (a page without systems). So no system is
// ever left with a first or end measure of 0.
#pragma once

#include <cstdint>

#include "platform/host/document.h"

namespace host {

/// What a layout made.
struct LayoutSummary {
    int32_t systems = 0;
    int32_t pages = 0;
};

inline constexpr hostapi::Evpu kStaffHeight = 96;
inline constexpr int32_t kDefaultPageWidth = 2448;
inline constexpr int32_t kDefaultPageHeight = 3168;
inline constexpr int16_t kDefaultPageMargin = 144;
inline constexpr int16_t kDefaultSystemDistance = -96;

/// Lays the document out by the rule above.
LayoutSummary LayOutDocument(Document& document);

/// The 20-byte form of a 24-byte staff system record, and the 24-byte form of a 20-byte one
/// laid over `into` (its bytes 20 and 22 stay).
Bytes StaffSystemTo20(const Bytes& record24);
Bytes StaffSystemTo24(const Bytes& record20, Bytes into);

}  // namespace host
