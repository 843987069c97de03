// The Slurs command's "Resolve collisions with articulations": a slur end that would run into
// the articulations on its side of the entry is moved clear of them, or an articulation that
// belongs above the slur's tip is moved there. Heights are EVPU upward from the staff's top line;
// the entry's top and bottom come from the host's placement service (44), the articulations'
// extents from their definitions ('O\x04IX') and their records on the entry ('edIM').
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <optional>
#include <string>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/host_imports.h"
#include "core/messages.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/placement_records.h"
#include "tools/notes/notes_services.h"
#include "tools/notes/slurs.h"

namespace orvex {
namespace {

using Slur = SlurLayout;
using Definition = hostapi::ArticulationDefinitionLayout;

/// Placement words of a slur end.
constexpr uint16_t kPlacedBits = 0x4001;
constexpr uint16_t kPlacedAbove = 0x4201;
constexpr uint16_t kPlacedLeftBelowStemDown = 0x4106;
constexpr uint16_t kPlacedRightBelowStemDown = 0x4107;
constexpr uint16_t kPlacedLeftAboveStemUp = 0x4205;
constexpr uint16_t kPlacedRightAboveStemUp = 0x4204;
constexpr uint16_t kPlacedClearedBits = 0x0102;

/// An articulation's extent on the slur's side and what the command needs of it.
struct Extent {
    int32_t y = 0;
    int32_t base = 0;
    int32_t index = 0;
    int32_t adjustment = 0;
    int32_t offCenter = 0;
    bool aboveTip = false;
    bool inTipList = false;
};

/// One end of the slur as the resolution sees it.
struct End {
    bool left = true;
    size_t staff = Slur::kLeftStaff;
    size_t measure = Slur::kLeftMeasure;
    size_t entry = Slur::kLeftEntry;
    size_t offset = Slur::kLeftOffset;
    size_t placement = Slur::kLeftPlacement;
};

End EndOf(bool left) {
    if (left) {
        return End{};
    }
    return End{false,
               Slur::kLeftStaff + Slur::kRightEnd,
               Slur::kLeftMeasure + Slur::kRightEnd,
               Slur::kLeftEntry + Slur::kRightEnd,
               Slur::kLeftOffset + Slur::kRightEnd,
               Slur::kLeftPlacement + Slur::kRightEnd};
}

int16_t CellKeyOf(int32_t measure, int32_t staff) {
    return CellKeyValue(measure, staff, 0);
}

hostapi::StaffSlot SlotOf(int32_t staff, hostapi::ViewKey view) {
    return SlotOfStaff(staff, view);
}

/// The articulation font's off-center value for the accent-like characters.
int32_t FontOffCenter(uint16_t fontWord) {
    std::string name;
    if (HostOffers(&HostImports::FontName)) {
        std::array<char, 256> buffer{};
        FontNameOf(static_cast<int16_t>(fontWord & 0xFF), buffer.data());
        name = buffer.data();
    }
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
    if (name.find("MAESTRO") != std::string::npos) {
        return 15;
    }
    return name.find("PETRUCCI") != std::string::npos ? 8 : 10;
}

/// The snap of an extent to the staff's spaces (-108 < y < 12 only).
int32_t SnapAbove(int32_t y) {
    return y > 0 ? 12 : ((y + 1) / 24) * 24 - 12;
}
int32_t SnapBelow(int32_t y) {
    return y > 0 ? 12 : (y / 24) * 24 - 12;
}

class CollisionResolver {
public:
    CollisionResolver(TFMisc& context, const hostapi::SelectionRecord& region, SmartShapeRecord& record)
        : m_context(context), m_region(region), m_record(record) {}

    /// False when the host gave no placement: the command ends (the user was told).
    bool Run(bool& changed);

private:
    struct Found {
        SlurEnd entry;
        int32_t top = 0;
        int32_t bottom = 0;
    };

    uint16_t U16(size_t offset) const { return hostapi::ReadU16(m_record.data(), offset); }
    int16_t I16(size_t offset) const { return hostapi::ReadI16(m_record.data(), offset); }
    bool LookUp(const End& end, SlurEnd& found) const;
    /// The entry's top and bottom from the host; nullopt (and the user told) when it gives none.
    std::optional<std::pair<int32_t, int32_t>> Placement(const End& end, hostapi::EntryNumber number) const;
    /// Visits one end in a pass; false when the command is to end.
    bool Visit(const End& end, int32_t pass, std::array<bool, 2>& moved, bool& changed);
    std::optional<Extent> Articulation(const SlurEnd& end, int32_t pass, int32_t index, int32_t top, int32_t bottom,
                                       bool& present) const;

    TFMisc& m_context;
    const hostapi::SelectionRecord& m_region;
    SmartShapeRecord& m_record;
    bool m_above = false;
};

bool CollisionResolver::LookUp(const End& end, SlurEnd& found) const {
    const int32_t staff = I16(end.staff);
    const int32_t measure = I16(end.measure);
    return FindSlurEnd(m_region.viewKey(), SlotOf(staff, m_region.viewKey()), measure,
                       hostapi::ReadI32(m_record.data(), end.entry), static_cast<hostapi::InstrumentKey>(staff),
                       CellKeyOf(measure, staff), found);
}

std::optional<std::pair<int32_t, int32_t>> CollisionResolver::Placement(const End& end,
                                                                        hostapi::EntryNumber number) const {
    hostapi::EntryBox box;
    hostapi::EntryMetrics metrics;
    box.bytes.fill(0);
    metrics.bytes.fill(0);
    if (EntryPlacementOf(static_cast<hostapi::InstrumentKey>(I16(end.staff)),
                         static_cast<hostapi::MeasureNumber>(I16(end.measure)), number, &box, &metrics) == 0) {
        ShowMessage(FreeText::FailedGetMetricsInformationMake);
        return std::nullopt;
    }
    const int64_t scale = metrics.scale(1) != 0 ? metrics.scale(1) : hostapi::EntryMetrics::kUnscaled;
    const int64_t high = std::max(box.top(), box.bottom());
    const int64_t low = std::min(box.top(), box.bottom());
    return std::make_pair(static_cast<int32_t>(high * hostapi::EntryMetrics::kUnscaled / scale - metrics.reference()),
                          static_cast<int32_t>(low * hostapi::EntryMetrics::kUnscaled / scale - metrics.reference()));
}

std::optional<Extent> CollisionResolver::Articulation(const SlurEnd& end, int32_t pass, int32_t index, int32_t top,
                                                      int32_t bottom, bool& present) const {
    using Record = hostapi::ArticulationLayout;
    std::array<uint8_t, Record::kSize> record{};
    const hostapi::ConstEntryView entry = end.entry.view();
    present =
        LoadWholeEntryDetailRecord(hostapi::kTagArticulation, entry.number(), index, record.data(), Record::kSize);
    if (!present) {
        return std::nullopt;
    }
    const int16_t number = hostapi::ReadI16(record.data(), Record::kDefinition);
    const bool inTipList = NumberInList(number, RowText(m_context.Options, SLURS_ABOVE_TIP_LIST));
    if (NumberInList(number, RowText(m_context.Options, SLURS_IGNORE_LIST)) || inTipList != (pass == 1)) {
        return std::nullopt;
    }
    std::array<uint8_t, Definition::kSize> definition{};
    if (!LoadWholeOtherRecord(hostapi::kTagArticulationDefinition, number, 0, definition.data(), Definition::kSize)) {
        return std::nullopt;
    }
    const uint16_t flags = hostapi::ReadU16(definition.data(), Definition::kFlags);
    if (m_context.Environment.HostYear() >= 2002 && (flags & Definition::kSkippedFrom2002) != 0) {
        return std::nullopt;
    }
    const uint16_t mode = flags & Definition::kPlacementMask;
    bool above = false;
    int32_t s = 1;
    switch (mode) {
        case Definition::kPlaceOppositeStem:
            above = !end.stemUp;
            break;
        case Definition::kPlaceStemSide:
            above = end.stemUp;
            break;
        case Definition::kPlaceAbove:
            above = true;
            break;
        case Definition::kPlaceBelow:
            s = -1;
            break;
        default:
            break;
    }
    if (above != m_above) {
        return std::nullopt;
    }
    const uint8_t flagByte = definition[Definition::kOptions];
    int32_t character = 0;
    if ((flagByte & (above ? Definition::kNoCharacterAbove : Definition::kNoCharacterBelow)) == 0) {
        const bool alternate = (flags & (above ? Definition::kAlternateAbove : Definition::kAlternateBelow)) != 0;
        character =
            hostapi::ReadU16(definition.data(), alternate ? Definition::kAlternateCharacter : Definition::kCharacter) &
            0xFF;
    }
    const int32_t vertical = hostapi::ReadI16(record.data(), Record::kVerticalOffset);
    const bool clamp = (flags & Definition::kClamp) != 0;
    const bool snap = (flagByte & Definition::kSnapToSpaces) != 0;
    Extent extent;
    extent.index = index;
    extent.inTipList = inTipList;
    if (above) {
        const int32_t offsetAbove = hostapi::ReadI16(definition.data(), Definition::kOffsetAbove);
        extent.base = offsetAbove + top;
        extent.y = extent.base + vertical;
        if (clamp) {
            extent.y = std::max(extent.y, offsetAbove + 12);
        }
        if (snap && extent.y > -108 && extent.y < 12) {
            extent.y = SnapAbove(extent.y);
        }
        if (extent.y - extent.base < 12) {
            extent.y += 24;
        }
    } else {
        const int32_t offsetBelow = hostapi::ReadI16(definition.data(), Definition::kOffsetBelow);
        extent.base = s * offsetBelow + bottom;
        extent.y = extent.base - s * vertical;
        if (clamp) {
            extent.y = std::min(extent.y, s * offsetBelow - 108);
        }
        if (snap && extent.y > -108 && extent.y < 12) {
            extent.y = SnapBelow(extent.y);
        }
    }
    bool aboveTip = false;
    int32_t adjustment = 0;
    int32_t offCenter = 0;
    if (!ArticulationAdjustment(character, number, hostapi::ReadU16(definition.data(), Definition::kFontWord),
                                m_context, aboveTip, adjustment, offCenter)) {
        return std::nullopt;
    }
    extent.y += above ? offCenter : s * offCenter;
    extent.adjustment = adjustment;
    extent.offCenter = offCenter;
    extent.aboveTip = aboveTip;
    return extent;
}

bool CollisionResolver::Visit(const End& end, int32_t pass, std::array<bool, 2>& moved, bool& changed) {
    const uint16_t placement = U16(end.placement);
    if (RowOn(m_context.Options, SLURS_IGNORE_POSITIONED) && pass == 0 && (placement & kPlacedBits) == kPlacedBits) {
        return true;
    }
    SlurEnd found;
    if (!LookUp(end, found) || !found.entry.view().has(hostapi::kEntryArticulations)) {
        return true;
    }
    const auto place = Placement(end, found.entry.view().number());
    if (!place) {
        return false;
    }
    const auto [top, bottom] = *place;
    std::optional<Extent> highest;
    std::optional<Extent> lowest;
    for (int32_t index = 0; index < INT16_MAX; ++index) {
        bool present = false;
        const std::optional<Extent> extent = Articulation(found, pass, index, top, bottom, present);
        if (!present) {
            break;
        }
        if (!extent) {
            continue;
        }
        if (!highest || extent->y > highest->y) {
            highest = extent;
        }
        if (!lowest || extent->y < lowest->y) {
            lowest = extent;
        }
    }
    if (!highest) {
        return true;
    }
    const Extent& outer = m_above ? *highest : *lowest;
    const int32_t sign = m_above ? 1 : -1;
    const int32_t A = outer.adjustment;
    int32_t target = m_above ? top + 12 : bottom - 12;
    if (pass == 1 && (placement & kPlacedBits) == kPlacedBits) {
        const int32_t offset = I16(end.offset);
        target = m_above ? top + offset : bottom - offset;
    }
    if (!outer.inTipList && !outer.aboveTip) {
        const int32_t movedCount = (moved[0] ? 1 : 0) + (moved[1] ? 1 : 0);
        if (movedCount % 2 == 1 || (target >= lowest->y - A && target <= highest->y + A)) {
            int32_t offset = m_above ? (outer.y + A) - top : std::abs((outer.y - A) - bottom);
            uint16_t word = placement;
            const int16_t type = I16(Slur::kType);
            const bool stemDown = !found.stemUp;
            if (type == 0 || type == 8) {
                offset = -offset;
                word = stemDown ? (end.left ? kPlacedLeftBelowStemDown : kPlacedRightBelowStemDown) : kPlacedAbove;
            } else if (type == 1 || type == 9) {
                word = stemDown ? kPlacedAbove : (end.left ? kPlacedLeftAboveStemUp : kPlacedRightAboveStemUp);
            } else {
                word = static_cast<uint16_t>((word | kPlacedAbove) & ~kPlacedClearedBits);
            }
            hostapi::WriteI16(m_record.data(), end.offset, static_cast<int16_t>(offset));
            hostapi::WriteU16(m_record.data(), end.placement, word);
            moved[end.left ? 0 : 1] = true;
            changed = true;
        }
        return true;
    }
    // The articulation goes above the slur's tip.
    using Record = hostapi::ArticulationLayout;
    std::array<uint8_t, Record::kSize> record{};
    const hostapi::EntryNumber number = found.entry.view().number();
    if (!LoadWholeEntryDetailRecord(hostapi::kTagArticulation, number, outer.index, record.data(), Record::kSize)) {
        return true;
    }
    int32_t needed = m_above ? (A + target) - outer.base : std::abs(A - (target - outer.base));
    if (outer.offCenter != 0) {
        needed = m_above ? needed - outer.offCenter : needed + outer.offCenter;
    }
    if (hostapi::ReadI16(record.data(), Record::kVerticalOffset) * sign < needed) {
        hostapi::WriteI16(record.data(), Record::kVerticalOffset, static_cast<int16_t>(sign * needed));
        SaveEntryDetailRecord(hostapi::kTagArticulation, number, outer.index, record.data(), Record::kSize);
    }
    return true;
}

bool CollisionResolver::Run(bool& changed) {
    SlurEnd left;
    SlurEnd right;
    if (!LookUp(EndOf(true), left) || !LookUp(EndOf(false), right)) {
        return true;
    }
    m_above = SlurAbove(m_context, m_record, left.stemUp, right.stemUp, left.layer, left.otherLayers);
    for (int32_t pass = 0; pass < 2; ++pass) {
        std::array<bool, 2> moved{};
        if (!Visit(EndOf(true), pass, moved, changed) || !Visit(EndOf(false), pass, moved, changed)) {
            return false;
        }
        if ((moved[0] ? 1 : 0) + (moved[1] ? 1 : 0) == 1 && !Visit(EndOf(true), pass, moved, changed)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool NumberInList(int32_t number, std::string_view list) {
    size_t at = 0;
    while (at < list.size()) {
        const size_t end = list.find_first_of(" ,;", at);
        const std::string_view word =
            list.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        if (!word.empty() && word == std::to_string(number)) {
            return true;
        }
        if (end == std::string_view::npos) {
            break;
        }
        at = end + 1;
    }
    return false;
}

bool ArticulationAdjustment(int32_t character, int32_t number, uint16_t fontWord, const TFMisc& context, bool& aboveTip,
                            int32_t& adjustment, int32_t& offCenter) {
    adjustment = 0;
    offCenter = 0;
    aboveTip = false;
    const int32_t small = RowValue(context.Options, SLURS_SMALL_ADJUSTMENT);
    const int32_t big = RowValue(context.Options, SLURS_BIG_ADJUSTMENT);
    if (RowOn(context.Options, SLURS_RECOGNIZE)) {
        switch (character & 0xFF) {
            case 0x2D:
            case 0x2E:
            case 0x5F:
            case 0x6B:
                adjustment = small;
                offCenter = 1;
                break;
            case 0x27:
            case 0xAE:
                adjustment = big;
                offCenter = 7;
                break;
            case 0x2B:
            case 0x3C:
            case 0xF8:
                adjustment = big;
                break;
            case 0x3E:
            case 0x5E:
            case 0x76:
            case 0x89:
            case 0x8A:
            case 0xAC:
            case 0xDF:
            case 0xE8:
            case 0xF9:
                adjustment = big;
                offCenter = FontOffCenter(fontWord);
                break;
            case 0xB2:
                adjustment = big;
                offCenter = 12;
                aboveTip = true;
                break;
            case 0xB3:
                adjustment = big;
                offCenter = 18;
                aboveTip = true;
                break;
            default:
                break;
        }
    }
    if (NumberInList(number, RowText(context.Options, SLURS_SMALL_LIST))) {
        adjustment = small;
    } else if (NumberInList(number, RowText(context.Options, SLURS_BIG_LIST))) {
        adjustment = big;
    }
    if (NumberInList(number, RowText(context.Options, SLURS_OFF_CENTER_LIST))) {
        offCenter = RowValue(context.Options, SLURS_OFF_CENTER);
    }
    offCenter = offCenter * (fontWord >> 8) / 24;
    return adjustment != 0;
}

bool ResolveSlurCollisions(TFMisc& context, const hostapi::SelectionRecord& region, SmartShapeRecord& record,
                           bool& changed) {
    return CollisionResolver(context, region, record).Run(changed);
}

}  // namespace orvex
