// The two fixed records of the entry-point interface: the 20-byte selection record that the
// host passes with a command, and the 202-byte menu record a plug-in fills for each of its
// menu entries.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/hostapi/bytes.h"
#include "platform/hostapi/types.h"

namespace hostapi {

/// The host's selection: a region of staves and measures in one view. A second record of the
/// same form describes the whole document.
class SelectionRecord {
public:
    static constexpr size_t kSize = 20;
    static constexpr size_t kViewKey = 0;       ///< @0, i16, 0 = scroll view with all staves
    static constexpr size_t kFirstStaff = 2;    ///< @2, i16, staff slot
    static constexpr size_t kFirstMeasure = 4;  ///< @4, i16, 0 = no selection
    static constexpr size_t kStartEdu = 6;      ///< @6, i32, start position in the first measure
    static constexpr size_t kLastStaff = 12;    ///< @12, i16
    static constexpr size_t kLastMeasure = 14;  ///< @14, i16
    static constexpr size_t kEndEdu = 16;       ///< @16, i32, end position in the last measure
    /// @10, i16, the host's own word, kept as it comes (the cue sheet passes it to the host as the
    /// view of its staff lookup).
    static constexpr size_t kHostWord = 10;

    std::array<uint8_t, kSize> bytes{};

    ViewKey viewKey() const { return ReadI16(bytes.data(), kViewKey); }
    StaffSlot firstStaff() const { return ReadI16(bytes.data(), kFirstStaff); }
    MeasureNumber firstMeasure() const { return ReadI16(bytes.data(), kFirstMeasure); }
    Edu startEdu() const { return ReadI32(bytes.data(), kStartEdu); }
    StaffSlot lastStaff() const { return ReadI16(bytes.data(), kLastStaff); }
    MeasureNumber lastMeasure() const { return ReadI16(bytes.data(), kLastMeasure); }
    Edu endEdu() const { return ReadI32(bytes.data(), kEndEdu); }
    int16_t hostWord() const { return ReadI16(bytes.data(), kHostWord); }

    void setViewKey(ViewKey v) { WriteI16(bytes.data(), kViewKey, v); }
    void setFirstStaff(StaffSlot v) { WriteI16(bytes.data(), kFirstStaff, v); }
    void setFirstMeasure(MeasureNumber v) { WriteI16(bytes.data(), kFirstMeasure, v); }
    void setStartEdu(Edu v) { WriteI32(bytes.data(), kStartEdu, v); }
    void setLastStaff(StaffSlot v) { WriteI16(bytes.data(), kLastStaff, v); }
    void setLastMeasure(MeasureNumber v) { WriteI16(bytes.data(), kLastMeasure, v); }
    void setEndEdu(Edu v) { WriteI32(bytes.data(), kEndEdu, v); }

    /// The i16 word at word index i (the dispatcher reads words 0, 1, 2, 6 and 7).
    int16_t word(size_t i) const { return ReadI16(bytes.data(), 2 * i); }
};
static_assert(sizeof(SelectionRecord) == SelectionRecord::kSize);

/// One menu entry of a plug-in, filled by FinaleExtensionEnumerate. The host shows the text
/// at offset 0.
class MenuRecord {
public:
    static constexpr size_t kSize = 202;
    static constexpr size_t kTextWidth = 64;
    static constexpr size_t kMenuText = 0;     ///< @0, 64 bytes, zero-terminated menu text
    static constexpr size_t kSecondText = 64;  ///< @64, 64 bytes
    static constexpr size_t kThirdText = 128;  ///< @128, 64 bytes
    static constexpr size_t kFlag = 192;       ///< @192, i16, the entry's enumeration flag
    static constexpr size_t kWord194 = 194;    ///< @194, i16
    static constexpr size_t kWord196 = 196;    ///< @196, 2 bytes the plug-in leaves alone
    static constexpr size_t kWord198 = 198;    ///< @198, i16
    static constexpr size_t kWord200 = 200;    ///< @200, i16

    std::array<uint8_t, kSize> bytes{};

    std::string menuText() const { return ReadFixedText(bytes.data(), kMenuText, kTextWidth); }
    std::string secondText() const { return ReadFixedText(bytes.data(), kSecondText, kTextWidth); }
    std::string thirdText() const { return ReadFixedText(bytes.data(), kThirdText, kTextWidth); }
    int16_t flag() const { return ReadI16(bytes.data(), kFlag); }
};
static_assert(sizeof(MenuRecord) == MenuRecord::kSize);

}  // namespace hostapi
