#include "tools/notes/fill_rests.h"

#include <algorithm>

#include "core/host/host_imports.h"
#include "core/tool_context.h"
#include "tools/notes/entry_filters.h"
#include "tools/notes/rest_filler.h"

namespace orvex {
namespace {

using hostapi::Edu;

/// Rests are filled in eighths: the amount is cut down to a multiple of this.
constexpr int64_t kFillGrain = 512;

/// A percentage row within 0-100, as the options dialog keeps it.
int64_t Percent(const TFMisc& context, FillRestsRow row) {
    return std::clamp<int64_t>(RowValue(context.Options, row), 0, 100);
}

}  // namespace

bool FillCellWithRests(TFMisc& context, hostapi::EntryArray& array, Edu measureDuration) {
    if ((context.Walk.measureSpec.bytes[EDTMeasureSpec::kFlags] & kFillSkipMeasureBits) != 0) {
        return false;
    }
    const bool hasEntries = array.count > 0;
    if (!(hasEntries && RowOn(context.Options, FILL_NON_EMPTY_MEASURES)) &&
        !(!hasEntries && RowOn(context.Options, FILL_EMPTY_MEASURES) && array.layer == 0)) {
        return false;
    }
    const Edu filled = HostOffers(&HostImports::FilledTime) ? FilledTimeOf(&array) : -1;
    if (filled < 0 || filled >= measureDuration) {
        return false;  // the host cannot tell what is filled, or nothing is missing
    }
    const int64_t missing = static_cast<int64_t>(measureDuration) - filled;
    const int64_t target = missing * Percent(context, FILL_PERCENT) / 100;
    int64_t amount = target;
    const int64_t deviation = Percent(context, FILL_RANDOM_DEVIATION);
    if (deviation > 0) {
        amount = RandomBelow(2) == 1 ? target + (missing - target) * deviation / 100 : target * deviation / 100;
    }
    amount = amount / kFillGrain * kFillGrain;
    InsertFillRests(context.Environment, array, static_cast<Edu>(amount), array.count,
                    RowOn(context.Options, FILL_HIDE), false, context.Walk.measureSpec.beatDuration(),
                    RowOn(context.Options, FILL_OFFBEAT_DOTTED), false, 0);
    return true;
}

}  // namespace orvex
