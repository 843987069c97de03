// What the note and entry tools share beyond their own units: the shared smart-shape list and
// the bookkeeping of a worker that is not in this build (it tells the user so and reports
// failure, so that nothing is changed and no result is claimed).
#include "tools/notes/notes_services.h"

#include "core/host/smart_shapes.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/tool_context.h"

namespace orvex {
namespace {

struct NotesServicesUnit {
    TSmartShapes smartShapes;
};

NotesServicesUnit& NotesServicesState() {
    return UnitState<NotesServicesUnit>();
}

}  // namespace

TSmartShapes& SharedSmartShapes() {
    return NotesServicesState().smartShapes;
}

}  // namespace orvex
