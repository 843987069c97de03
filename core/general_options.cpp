#include "core/general_options.h"

#include <utility>
#include <vector>

#include "core/dispatch.h"
#include "core/module.h"
#include "core/startup.h"

namespace orvex {

// clang-format off
const std::array<GeneralOptionRowInfo, GO_ROW_COUNT> kGeneralOptionRows = {{
    {"Automatic update layout when needed?", "Bei Bedarf automatisch das Layout erneuern?", 0, 1, 1},
    {"Dynamics align hotkeys move by", "Dynamik-Ausrichtungs-Tasten verschieben um", 2, 1000, 15},
    {"Spacing hotkeys stepping", "Taktausrichtungs-Hotkey-Schrittweite", 1, 1000, 20},
    {"Allow window positions on second monitor", "Fensterpositionen auf zweitem Monitor erlauben", 0, 1, 0},
    {"Always re-hook keyboard (compatibility option)", "Bei jedem Aufruf die Tastaturabfrage neu installieren (Kompatibilität)", 0, 1, 0},
    {"Put Orvex menu in menu bar?", "Orvex in der Menüleiste?", 0, 1, 1},
    {"Default height for selection lists (pixels):", "Standardhöhe für Auswahllisten (Pixel):", 100, 1000, 205},
    {"Spacing hotkeys add/remove space (rather than expand/compress)", "Hotkeys fügen Platz hinzu (statt Ausrichtung zu weiten)", 0, 1, 0},
    {"Scale dialog boxes according to Windows font settings?", "Dialogfenster entspr. den Windows-Einstellungen skalieren?", 0, 1, 1},
}};
// clang-format on

void SetGeneralOptionsToInitialValues(OptionArray& options) {
    for (OptionElement& element : options) {
        element = OptionElement{};
    }
    for (size_t row = 0; row < kGeneralOptionRows.size(); ++row) {
        options[row].value = kGeneralOptionRows[row].initial;
    }
}

void LoadGeneralOptions() {
    // The general options are the option set of tool item 21: its stored values (or the rows'
    // initial values) come through the options road, without a dialog.
    SetGeneralOptionsToInitialValues(TheModule.process.GeneralOptions);
    ExtendedOptionArray moreOptions{};
    std::vector<std::pair<int32_t, int32_t>> optionList;
    RunToolWithOptions(ItemNumber(ToolItem::Options), 1, TheModule.process.GeneralOptions, moreOptions, optionList,
                       false, nullptr, false, false, nullptr);
}

}  // namespace orvex
