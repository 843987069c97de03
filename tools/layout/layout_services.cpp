// The entry functions of the layout tools that this build does not have yet: each tells the
// user so and reports failure, so that nothing is changed and no result is claimed.
#include "tools/layout/layout_services.h"

#include "core/messages.h"

namespace orvex {

bool RunSmartExplosion(TFMisc&) {
    return ShowNotAvailable("The smart explosion of parts");
}
bool StepPartExplosion(ExplosionContext&) {
    return false;
}
void ExplosionContextDestroy(ExplosionContext* step) {
    delete step;
}
bool RunAlignMove(TFMisc&, const RegionWords&) {
    return ShowNotAvailable("Align/Move");
}
bool RunFitMeasures(TFMisc&) {
    return ShowNotAvailable("Fit Measures");
}
bool RunUpdateGroups(TFMisc&) {
    return ShowNotAvailable("Update Groups");
}
bool RunCreateHairpins(TFMisc&) {
    return ShowNotAvailable("Create Hairpins");
}
bool RunJoinTwoSystems(TFMisc&) {
    return ShowNotAvailable("Join Two Staff Systems");
}
bool RunShiftSystemOptimization(TFMisc&) {
    return ShowNotAvailable("Shift System Optimization");
}
bool RunIncipits(TFMisc&) {
    return ShowNotAvailable("Incipits");
}
bool RunEnclosures(TFMisc&) {
    return ShowNotAvailable("Enclosures");
}
bool RunSpecialMeasureRegions(TFMisc&) {
    return ShowNotAvailable("Special Measure Regions");
}
bool RunSmartSplitPoint(TFMisc&) {
    return ShowNotAvailable("Smart Split Point");
}
bool RunMeasureWidths(TFMisc&, const hostapi::SelectionRecord&) {
    return ShowNotAvailable("Measure Widths");
}
bool RunSplitStaffSystem(TFMisc&, int32_t, TStaffSystems&) {
    return ShowNotAvailable("Split Staff System");
}
bool RunMeasureEditAdjust(TFMisc&, int32_t, int32_t) {
    return ShowNotAvailable("The measure adjustments");
}
void RunExpressionsCommand(TFMisc&, int32_t, int32_t, const RegionWords&) {
    ShowNotAvailable("Expressions");
}
bool RunScaleStaffPositions(TFMisc&) {
    return ShowNotAvailable("Scale Staff Positions");
}
bool RunCopySystemOptimization(win::Hwnd, TFMisc&) {
    return ShowNotAvailable("Copy System Optimization");
}

}  // namespace orvex
