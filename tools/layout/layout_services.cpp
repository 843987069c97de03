// The entry functions of the layout tools that this build does not have yet: each tells the
// user so and reports failure, so that nothing is changed and no result is claimed.
#include "tools/layout/layout_services.h"

#include "core/messages.h"
#include "core/tool_context.h"
#include "tools/notes/notes_services.h"

namespace orvex {

bool RunSmartExplosion(TFMisc& context) {
    return ShowToolNotAvailable(context);
}
// No explosion starts in this build, so no step is ever pending.
bool StepPartExplosion(ExplosionContext&) {
    return false;
}
void ExplosionContextDestroy(ExplosionContext* step) {
    delete step;
}
bool RunAlignMove(TFMisc& context, const RegionWords&) {
    return ShowToolNotAvailable(context);
}
bool RunUpdateGroups(TFMisc& context) {
    return ShowToolNotAvailable(context);
}
bool RunCreateHairpins(TFMisc& context) {
    return ShowToolNotAvailable(context);
}
bool RunIncipits(TFMisc& context) {
    return ShowToolNotAvailable(context);
}
bool RunEnclosures(TFMisc& context) {
    return ShowToolNotAvailable(context);
}
bool RunSpecialMeasureRegions(TFMisc& context) {
    return ShowToolNotAvailable(context);
}
bool RunSmartSplitPoint(TFMisc& context) {
    return ShowToolNotAvailable(context);
}
void RunExpressionsCommand(TFMisc& context, int32_t, int32_t, const RegionWords&) {
    ShowToolNotAvailable(context);
}
bool ProcessExtractedParts(int16_t, int16_t, int16_t, int32_t, int32_t, TFMisc&, ExtendedOptionArray&, int32_t, int32_t,
                           int32_t, int32_t) {
    // Met once per cell: the user is told once per run, and the engine stops there.
    return WorkerNotAvailable("Process extracted parts");
}

}  // namespace orvex
