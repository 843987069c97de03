#include "core/parts.h"

#include <algorithm>
#include <stdexcept>

#include "core/module.h"

namespace orvex {
namespace {

struct Registered {
    std::vector<FormCommand> formCommands;
    OptionsRoad optionsRoad;
    ExpressionTableHooks expressionTable;
    SteppedRunHooks steppedRun;
    PrintRunHooks printRun;
    int32_t (*staffListQuery)(int32_t) = nullptr;
    std::vector<void (*)()> resets;
};

Registered& Parts() {
    return LastingState<Registered>();
}

template <typename T>
const T& Checked(const T& hooks, bool registered, const char* what) {
    if (!registered) {
        throw std::logic_error(std::string("no part registered ") + what);
    }
    return hooks;
}

}  // namespace

void RegisterFormCommands(std::span<const FormCommand> commands) {
    std::vector<FormCommand>& list = Parts().formCommands;
    for (const FormCommand& command : commands) {
        std::erase_if(list, [&](const FormCommand& known) { return known.code == command.code; });
        list.push_back(command);
    }
}

const FormCommand* FindFormCommand(int32_t code) {
    const std::vector<FormCommand>& list = Parts().formCommands;
    const auto found = std::find_if(list.begin(), list.end(), [&](const FormCommand& c) { return c.code == code; });
    return found != list.end() ? &*found : nullptr;
}

void RegisterOptionsRoad(const OptionsRoad& road) {
    Parts().optionsRoad = road;
}

void RegisterExpressionTableHooks(const ExpressionTableHooks& hooks) {
    Parts().expressionTable = hooks;
}

void RegisterSteppedRunHooks(const SteppedRunHooks& hooks) {
    Parts().steppedRun = hooks;
}

void RegisterPrintRunHooks(const PrintRunHooks& hooks) {
    Parts().printRun = hooks;
}

void RegisterStaffListQuery(int32_t (*query)(int32_t system)) {
    Parts().staffListQuery = query;
}

const OptionsRoad& TheOptionsRoad() {
    const OptionsRoad& road = Parts().optionsRoad;
    return Checked(road, road.run != nullptr, "the options road");
}

const ExpressionTableHooks& TheExpressionTable() {
    const ExpressionTableHooks& hooks = Parts().expressionTable;
    return Checked(hooks, hooks.reload != nullptr, "the text expression table");
}

const SteppedRunHooks& TheSteppedRun() {
    const SteppedRunHooks& hooks = Parts().steppedRun;
    return Checked(hooks, hooks.step != nullptr, "the stepped runs");
}

const PrintRunHooks& ThePrintRun() {
    const PrintRunHooks& hooks = Parts().printRun;
    return Checked(hooks, hooks.advance != nullptr, "the print runs");
}

int32_t QueryStaffListManager(int32_t system) {
    const auto query = Parts().staffListQuery;
    return Checked(query, query != nullptr, "the staff list manager")(system);
}

void RegisterPartReset(void (*reset)()) {
    std::vector<void (*)()>& resets = Parts().resets;
    if (std::find(resets.begin(), resets.end(), reset) == resets.end()) {
        resets.push_back(reset);
    }
}

void ResetParts() {
    for (void (*reset)() : Parts().resets) {
        reset();
    }
}

}  // namespace orvex
