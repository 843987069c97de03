// The general program options: the option set of tool item 21, loaded at start-up.
#pragma once

#include <array>
#include <cstdint>

#include "core/option_element.h"

namespace orvex {

// Rows of the general options.
enum GeneralOptionRow : size_t {
    GO_AUTO_UPDATE_LAYOUT = 0,
    GO_DYNAMICS_HOTKEY_STEP = 1,
    GO_SPACING_HOTKEY_STEP = 2,
    GO_ALLOW_SECOND_MONITOR = 3,
    GO_ALWAYS_REHOOK_KEYBOARD = 4,
    GO_MENU_ON_MENU_BAR = 5,
    GO_SELECTION_LIST_HEIGHT = 6,
    GO_SPACING_HOTKEYS_ADD_SPACE = 7,
    GO_SCALE_DIALOGS = 8,
    GO_ROW_COUNT = 9,
};

struct GeneralOptionRowInfo {
    const char* english;
    const char* german;
    int32_t minimum;
    int32_t maximum;
    int32_t initial;
};

/// The rows of action 21 as its options dialog shows them.
extern const std::array<GeneralOptionRowInfo, GO_ROW_COUNT> kGeneralOptionRows;

/// Sets every general option to its initial value.
void SetGeneralOptionsToInitialValues(OptionArray& options);

/// Loads the general options into GeneralOptions: the stored values, else the initial ones.
void LoadGeneralOptions();

}  // namespace orvex
