#include "core/tool_table.h"

#include <array>
#include <stdexcept>
#include <string>

#include "core/module.h"

namespace orvex {
namespace {

struct ToolSlots {
    std::array<ToolDescriptor, kToolItemCount> rows{};
    std::array<bool, kToolItemCount> registered{};
};

ToolSlots& Slots() {
    return LastingState<ToolSlots>();
}

}  // namespace

bool ToolHas(const ToolDescriptor& tool, const TFMisc& context, int32_t setNumber, ToolFlag flag) {
    return (tool.flags & flag) != 0 && (tool.flagHolds == nullptr || tool.flagHolds(context, setNumber, flag));
}

void RegisterToolRows(std::span<const ToolDescriptor> rows) {
    ToolSlots& slots = Slots();
    for (const ToolDescriptor& row : rows) {
        const int32_t item = ItemNumber(row.item);
        if (item < 0 || item >= kToolItemCount || (row.run == nullptr) == (row.firstLevel == nullptr)) {
            throw std::logic_error("tool table: bad row for item " + std::to_string(item));
        }
        slots.rows[static_cast<size_t>(item)] = row;
        slots.registered[static_cast<size_t>(item)] = true;
    }
}

const ToolDescriptor& FindTool(int32_t item) {
    const ToolSlots& slots = Slots();
    if (item < 0 || item >= kToolItemCount || !slots.registered[static_cast<size_t>(item)]) {
        throw std::logic_error("tool table: no row for item " + std::to_string(item));
    }
    return slots.rows[static_cast<size_t>(item)];
}

bool ToolTableComplete() {
    for (bool registered : Slots().registered) {
        if (!registered) {
            return false;
        }
    }
    return true;
}

}  // namespace orvex
