// "Scale Staff Positions...": the vertical positions of the staves of optimized systems, scaled so
// that each system's bottom staff lands at a desired position, or aligned with the system at the
// same place on the facing page.
#include <algorithm>
#include <cstdlib>

#include "core/host/host_imports.h"
#include "core/host/staff_lists.h"
#include "core/host/staff_systems.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "platform/hostapi/bytes.h"
#include "tools/layout/layout_services.h"

namespace orvex {
namespace {

/// The system's top position: the word at byte 0 before host year 2001, at byte 20 from 2001.
constexpr size_t kTopBefore2001 = hostapi::StaffSystemLayout::kTopStaffOffset;
constexpr size_t kTopFrom2001 = hostapi::StaffSystemLayout::kExtra20;

int32_t SystemTop(const RunEnvironment& environment, const TStaffSystems& systems, int32_t system) {
    return hostapi::ReadI16(systems.At(system - 1).data(),
                            environment.HostYear() >= 2001 ? kTopFrom2001 : kTopBefore2001);
}

/// The first system of page n, 0 for a page that does not exist.
int32_t FirstSystemOfPage(const TPages& pages, int32_t page) {
    return page >= 1 && page <= pages.Count() ? pages.At(page - 1).firstSystem() : 0;
}

/// Whether the staff takes part in the alignment: it is a staff of the score and chosen in the
/// staff selection, or the selection chooses none.
bool StaffChosen(const TFMisc& context, int16_t staff) {
    const hostapi::StaffSlot slot = SlotOfStaff(staff, 0);
    if (slot == 0) {
        return false;
    }
    const std::vector<int32_t>& chosen = context.ChosenItems;
    if (std::all_of(chosen.begin(), chosen.end(), [](int32_t flag) { return flag == 0; })) {
        return true;
    }
    return static_cast<size_t>(slot) <= chosen.size() && chosen[static_cast<size_t>(slot) - 1] != 0;
}

/// Moves the staff at 0-based place `index` by delta, and with `following` every staff after it.
void MoveStaves(TInstruments& list, int32_t index, int32_t delta, bool following) {
    const int32_t end = following ? list.Count() : index + 1;
    for (int32_t i = index; i < end; ++i) {
        list.At(i).setPosition(list.At(i).position() + delta);
    }
}

/// Scales the system's staff positions towards the target; true when it saved the list.
bool ScaleSystem(const TFMisc& context, TInstruments& list, int32_t system) {
    const int64_t bottom = list.At(list.Count() - 1).position();
    if (bottom == 0) {
        return false;
    }
    int64_t target = RowValue(context.Options, SCALE_STAVES_BOTTOM_TARGET);
    if ((target < 0) != (bottom < 0) && target != 0) {
        target = -target;
    }
    const bool expand = std::llabs(bottom) < std::llabs(target) && RowOn(context.Options, SCALE_STAVES_EXPAND);
    const bool compress = std::llabs(bottom) > std::llabs(target) && RowOn(context.Options, SCALE_STAVES_COMPRESS);
    if (!expand && !compress) {
        return false;
    }
    for (int32_t i = 0; i < list.Count(); ++i) {
        list.At(i).setPosition(static_cast<int32_t>(list.At(i).position() * target / bottom));
    }
    list.Save(system);
    return true;
}

/// Aligns the staves of systems a and b (on facing pages, a on the left); only one of them moves.
void AlignSystems(const TFMisc& context, TStaffSystems& systems, const TPages& pages, int32_t a, int32_t b,
                  bool aMoves) {
    TInstruments listA(a, &systems, false);
    TInstruments listB(b, &systems, false);
    const int64_t scaleA = pages.At(pages.PageOfSystem(a) - 1).percent();
    const int64_t scaleB = pages.At(pages.PageOfSystem(b) - 1).percent();
    const bool following = RowOn(context.Options, SCALE_STAVES_MOVE_FOLLOWING);
    // A page without a scale cannot be compared with another.
    if (scaleA > 0 && scaleB > 0) {
        for (int32_t r = 0; r < listA.Count(); ++r) {
            const int16_t staff = listA.At(r).staff();
            const int32_t q = listB.IndexOf(staff) - 1;
            if (q < 0 || !StaffChosen(context, staff)) {
                continue;
            }
            const int64_t heightA = SystemTop(context.Environment, systems, a) + int64_t{listA.At(r).position()};
            const int64_t heightB = SystemTop(context.Environment, systems, b) + int64_t{listB.At(q).position()};
            const int64_t d1 = heightA - heightB * scaleB / scaleA;
            const int64_t d2 = heightA * scaleA / scaleB - heightB;
            if (aMoves && d1 > 0) {
                MoveStaves(listA, r, static_cast<int32_t>(-d1), following);
            } else if (!aMoves && d2 < 0) {
                MoveStaves(listB, q, static_cast<int32_t>(d2), following);
            }
        }
    }
    listA.Save(a);
    listB.Save(b);
}

}  // namespace

bool RunScaleStaffPositions(TFMisc& context) {
    TStaffSystems systems;
    const TPages pages;
    const bool align = RowOn(context.Options, SCALE_STAVES_ALIGN);
    if (align && systems.Count() == 0) {
        return false;
    }
    bool changed = false;
    const int32_t first = RowValue(context.Options, SCALE_STAVES_FROM_SYSTEM);
    const int32_t last = std::min(RowValue(context.Options, SCALE_STAVES_TO_SYSTEM), systems.Count());
    for (int32_t s = std::max(first, 1); s <= last; ++s) {
        TInstruments list(s, &systems, false);
        if (list.Count() == 0) {
            continue;
        }
        if (!align) {
            changed = ScaleSystem(context, list, s) || changed;
            continue;
        }
        const int32_t page = pages.PageOfSystem(s);
        if (page == 0) {
            continue;
        }
        const int32_t place = s - FirstSystemOfPage(pages, page);
        if ((RowValue(context.Options, SCALE_STAVES_FIRST_PAGE_EVEN) + page) % 2 == 0) {
            // A left page: its system moves to match the right page's.
            const int32_t facing = FirstSystemOfPage(pages, page + 1);
            if (facing < 1 || facing + place > systems.Count() || pages.PageOfSystem(facing + place) != page + 1) {
                continue;
            }
            AlignSystems(context, systems, pages, s, facing + place, true);
            changed = true;
        } else if (page - 1 < first) {
            // A right page whose left page lies before the range: the right page's system moves.
            const int32_t facing = FirstSystemOfPage(pages, page - 1);
            if (facing < 1 || facing + place > systems.Count() || pages.PageOfSystem(facing + place) != page - 1) {
                continue;
            }
            AlignSystems(context, systems, pages, facing + place, s, false);
            changed = true;
        }
    }
    return changed;
}

}  // namespace orvex
