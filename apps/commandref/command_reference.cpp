#include "apps/commandref/command_reference.h"

#include <map>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "core/commands.h"
#include "core/host/access_state.h"
#include "core/key_assignments.h"
#include "core/module.h"
#include "core/startup.h"
#include "core/tool_items.h"
#include "forms/action_control_table.h"

namespace commandref {
namespace {

using orvex::ActionControlRow;

/// A menu text as the user reads and types it: no '&' marks, no "Vx " before it, no blanks after.
std::string MenuText(std::string_view text) {
    std::string plain;
    for (const char c : text) {
        if (c != '&') {
            plain += c;
        }
    }
    if (plain.starts_with("Vx ")) {
        plain.erase(0, 3);
    }
    while (!plain.empty() && plain.back() == ' ') {
        plain.pop_back();
    }
    return plain;
}

/// Text for a Markdown table cell: '|' escaped, line breaks as " / ".
std::string Cell(std::string_view text) {
    std::string cell;
    for (const char c : text) {
        if (c == '|') {
            cell += "\\|";
        } else if (c == '\n') {
            cell += " / ";
        } else {
            cell += c;
        }
    }
    return cell;
}

struct MenuPaths {
    std::string english;
    std::string german;
};

/// The product menu path of every entry of the command table, by table index: "Orvex/SUBMENU/ITEM"
/// (the entries before the first submenu and after a submenu's end lie in "Orvex" itself).
std::map<int32_t, MenuPaths> ProductMenuPaths() {
    std::map<int32_t, MenuPaths> paths;
    std::string subEnglish;
    std::string subGerman;
    for (int32_t language = 0; language < 2; ++language) {
        orvex::TheAccessLayer.host.language = language;
        subEnglish.clear();
        subGerman.clear();
        for (int32_t index = 0; index < orvex::kCommandTableSize; ++index) {
            const orvex::CommandEntry& entry = orvex::kCommandTableData[static_cast<size_t>(index)];
            if (entry.code == 0) {
                continue;
            }
            if (entry.submenuEnglish != nullptr) {
                subEnglish = MenuText(entry.submenuEnglish);
                subGerman = MenuText(entry.submenuGerman);
            }
            const std::string& submenu = language == 1 ? subGerman : subEnglish;
            const std::string path =
                "Orvex/" + (submenu.empty() ? "" : submenu + "/") + MenuText(orvex::GetCommandName(index));
            (language == 1 ? paths[index].german : paths[index].english) = path;
            if (entry.submenuEnds != 0) {
                subEnglish.clear();
                subGerman.clear();
            }
        }
    }
    orvex::TheAccessLayer.host.language = 0;
    return paths;
}

std::string RadioItems(const char* caption, int32_t chosen, std::string* defaultText) {
    const std::string text = caption == nullptr ? "" : caption;
    const size_t open = text.find('[');
    const size_t close = text.find(']', open);
    if (open == std::string::npos) {
        return "";
    }
    std::string items;
    size_t start = open + 1;
    for (int32_t index = 0;; ++index) {
        const size_t comma = text.find(',', start);
        const size_t end = std::min(comma, close);
        const std::string item = text.substr(start, end - start);
        items += (index == 0 ? "" : ", ") + std::to_string(index) + " " + item;
        if (index == chosen) {
            *defaultText = std::to_string(index) + " " + item;
        }
        if (comma == std::string::npos || comma > close) {
            break;
        }
        start = comma + 1;
    }
    return items;
}

/// A row's caption as the dialog shows it, as `form TDActOpt set` takes it: a radio group's
/// title, or the label's text with its colon (without the headings above the row).
std::string RowTitle(const char* caption) {
    std::string text = caption == nullptr ? "" : caption;
    const size_t open = text.find('[');
    if (open != std::string::npos) {
        text.erase(open);
    } else {
        text = orvex::RowLabelText(text);
    }
    return text.empty() ? "(no caption)" : Cell(text);
}

/// The headings the dialog shows above a row: the lines of its caption before the last.
std::string RowHeadings(const char* caption) {
    const std::string text = caption == nullptr ? "" : caption;
    const size_t last = text.rfind('\n');
    return last == std::string::npos || text.find('[') != std::string::npos ? "" : Cell(text.substr(0, last));
}

/// Kind, range and default of a row, as the options dialog shows it.
struct RowFacts {
    std::string kind;
    std::string range;
    std::string initial;
};

RowFacts FactsOf(const ActionControlRow& row) {
    RowFacts facts;
    const std::string column = orvex::IsInlineKind(row.kind) ? "table column: " : "";
    if (orvex::IsRadioMarker(row.minimum)) {
        facts.kind = "radio group";
        facts.range = RadioItems(row.englishCaption, row.value1, &facts.initial);
        return facts;
    }
    if (orvex::IsListMarker(row.minimum)) {
        static const std::map<int32_t, const char*> kLists = {
            {orvex::MIN_EXPRESSION_LIST, "list of the text expressions (several)"},
            {orvex::MIN_MEASURE_LIST, "result list of measures, filled by the command"},
            {orvex::MIN_GROUP_LIST, "list of the staff groups (several)"},
            {orvex::MIN_STAFF_LIST, "list of the staves (several)"},
            {orvex::MIN_FONT_LIST, "list of the document's fonts"},
            {orvex::MIN_FILE_LIST, "folder list and list of *.MUS files"},
        };
        facts.kind = kLists.at(row.minimum);
        facts.range = "items by number, `+N`/`-N`";
        facts.initial = "none chosen";
        return facts;
    }
    if (row.minimum == orvex::MIN_STAFF_COLUMN) {
        facts.kind = column + "one line per staff";
        facts.range = "-";
        facts.initial = std::to_string(row.value1);
        return facts;
    }
    if (row.hasText != 0) {
        facts.kind = column + (row.minimum == orvex::MIN_PITCH              ? "pitch (\"C4\", \"F#3\")"
                               : row.kind == orvex::KIND_FILE_NAME          ? "file name"
                               : row.minimum == orvex::MIN_FIXED_WIDTH_TEXT ? "text (fixed-width)"
                               : row.minimum == orvex::MIN_WIDE_TEXT        ? "text (wide)"
                                                                            : "text");
        facts.range = "-";
        facts.initial = std::string("\"") + Cell(row.text == nullptr ? "" : row.text) + "\"";
    } else if (row.IsCheckBox()) {
        facts.kind = column + "check box";
        facts.range = "on, off";
        facts.initial = row.value1 != 0 ? "on" : "off";
    } else {
        facts.kind = column + (row.kind == orvex::KIND_UNIT ? "length in EVPU (shown in the host's unit)" : "number");
        facts.range = std::to_string(row.minimum) + " to " + std::to_string(row.maximum);
        facts.initial = std::to_string(row.value1);
    }
    if (row.readOnly != 0) {
        facts.kind += ", read-only";
    }
    return facts;
}

void AppendRows(std::string& out, int32_t item) {
    const auto& rows = orvex::kActionControlTableData[static_cast<size_t>(item)];
    for (int32_t r = 0; r < orvex::kActionRowsPerItem && rows[static_cast<size_t>(r)].englishCaption != nullptr; ++r) {
        const ActionControlRow& row = rows[static_cast<size_t>(r)];
        if (const std::string heading = RowHeadings(row.englishCaption); !heading.empty()) {
            out += "Above row " + std::to_string(r) + " the dialog reads \"" + heading + "\" (German: \"" +
                   RowHeadings(row.germanCaption) + "\").\n\n";
        }
    }
    out += "| row | caption | German caption | kind | range | default |\n";
    out += "|---|---|---|---|---|---|\n";
    for (int32_t r = 0; r < orvex::kActionRowsPerItem; ++r) {
        const ActionControlRow& row = rows[static_cast<size_t>(r)];
        if (row.englishCaption == nullptr) {
            break;
        }
        const RowFacts facts = FactsOf(row);
        out += "| " + std::to_string(r) + " | " + RowTitle(row.englishCaption) + " | " + RowTitle(row.germanCaption) +
               " | " + facts.kind + " | " + facts.range + " | " + facts.initial + " |\n";
    }
}

int32_t RowCount(int32_t item) {
    const auto& rows = orvex::kActionControlTableData[static_cast<size_t>(item)];
    int32_t count = 0;
    while (count < orvex::kActionRowsPerItem && rows[static_cast<size_t>(count)].englishCaption != nullptr) {
        ++count;
    }
    return count;
}

/// What a command's description adds for what it needs first.
std::string NeedsText(Needs needs) {
    switch (needs) {
        case Needs::StaffSystems:
            return " It works on the document's staff systems: a document without them (a score text without a "
                   "`layout` statement) is left as it is, and the host says so.";
        case Needs::NoteSpacing:
            return " It works on the beat charts of the host's note spacing: apply the host's note spacing (Mass Edit "
                   "/ Music Spacing / Apply Note Spacing) to the measures first; a measure without a beat chart is "
                   "left as it is.";
        default:
            return "";
    }
}

/// The commands that need it, as links to their sections ("[Orvex/Layout/Fit Measures...](#code-134)"),
/// by their menu paths (by code).
std::string CommandsNeeding(const std::map<int32_t, std::string>& paths, Needs needs) {
    std::string commands;
    for (const CommandDescription& description : CommandDescriptions()) {
        const auto path = paths.find(description.code);
        if (description.needs == needs && path != paths.end()) {
            commands += (commands.empty() ? "" : ", ") +
                        ("[" + path->second + "](#code-" + std::to_string(description.code) + ")");
        }
    }
    return commands;
}

/// The reference's heading and introduction, before the table of commands.
std::string Introduction(const std::map<int32_t, std::string>& pathsByCode) {
    std::string out;
    out += "# Commands\n\n";
    out +=
        "<!-- Generated by build/bin/commandref from the command table (core/command_table.cpp), the option\n"
        "     rows (forms/action_rows_table.cpp) and the descriptions in apps/commandref/. Do not edit:\n"
        "     `cmake --build build --target commands-doc` writes it anew; the test CommandReferenceIsCurrent\n"
        "     fails when it differs from the tables. -->\n\n";
    out +=
        "Orvex188's commands as its product menu \"Orvex\" lists them (English host menus; the German\n"
        "path is what a German host shows). Choose one in a hostsim script with `menu \"PATH\"`. A\n"
        "command of code 100 or more is a tool: unless Shift is held it first shows its options in the\n"
        "options dialog `TDActOpt`, whose rows are listed below; `form TDActOpt set \"CAPTION\" VALUE`\n"
        "or `form TDActOpt set #ROW VALUE` sets a row, `form TDActOpt click Go` runs the tool. With\n"
        "Shift held (`hold shift`) the tool runs at once on the options it stored last. Commands below\n"
        "code 100 open a form of their own. Tools work on the selection (`select`), or ask to work on\n"
        "the whole document when nothing is selected. After every command the host says what changed\n"
        "in the documents (`dump changes` lists it in full).\n\n";
    out +=
        "Some commands change nothing until the document holds what they work on:\n\n"
        "- staff systems (a score text without a `layout` statement has none, and after such a command\n"
        "  the host says `host: service 9 found no staff system: the document has no staff systems ...`): " +
        CommandsNeeding(pathsByCode, Needs::StaffSystems) +
        ";\n- the beat charts of the host's note spacing (Mass Edit / Music Spacing / Apply Note Spacing of\n"
        "  the selected measures first): " +
        CommandsNeeding(pathsByCode, Needs::NoteSpacing) + ".\n\n";
    out +=
        "Kinds of rows: a check box takes `on`/`off` (also `1`/`0`, `checked`/`unchecked`); a number\n"
        "or length a number within its range (lengths in EVPU, 288 to the inch, unless the host's unit\n"
        "is another); a radio group the number or text of an item; a list `+N`/`-N` to choose or\n"
        "clear item N; a text or pitch a text.\n\n";

    return out;
}

}  // namespace

std::string CommandReferenceText() {
    orvex::TheAccessLayer.host.rawVersion = 0x05000005;
    orvex::TheModule.commands = orvex::CommandState{};
    const std::map<int32_t, MenuPaths> paths = ProductMenuPaths();

    std::map<int32_t, const CommandDescription*> descriptions;
    for (const CommandDescription& description : CommandDescriptions()) {
        if (!descriptions.emplace(description.code, &description).second) {
            throw std::logic_error("two descriptions of command " + std::to_string(description.code));
        }
    }

    std::map<int32_t, std::string> pathsByCode;
    for (const auto& [index, path] : paths) {
        pathsByCode[orvex::kCommandTableData[static_cast<size_t>(index)].code] = Cell(path.english);
    }

    std::string out = Introduction(pathsByCode);
    out += "| code | menu path | German menu path |\n|---|---|---|\n";
    std::vector<int32_t> order;
    for (int32_t index = 0; index < orvex::kCommandTableSize; ++index) {
        const orvex::CommandEntry& entry = orvex::kCommandTableData[static_cast<size_t>(index)];
        if (entry.code == 0) {
            continue;
        }
        order.push_back(index);
        const MenuPaths& p = paths.at(index);
        out += "| " + std::to_string(entry.code) + " | [" + Cell(p.english) + "](#code-" + std::to_string(entry.code) +
               ") | " + Cell(p.german) + " |\n";
    }
    for (const int32_t code : orvex::kKeyCommandCodes) {
        const std::string name = orvex::KeyCommandText(code);
        out += "| " + std::to_string(code) + " | [a key assigned to \"" + name + "\"](#code-" + std::to_string(code) +
               ") | - |\n";
    }
    out += "\n";

    size_t described = 0;
    for (const int32_t index : order) {
        const orvex::CommandEntry& entry = orvex::kCommandTableData[static_cast<size_t>(index)];
        const auto found = descriptions.find(entry.code);
        if (found == descriptions.end()) {
            throw std::logic_error("no description of command " + std::to_string(entry.code) + " (" +
                                   paths.at(index).english + ")");
        }
        ++described;
        const CommandDescription& description = *found->second;
        const MenuPaths& p = paths.at(index);
        out += "## <a id=\"code-" + std::to_string(entry.code) + "\"></a>" + Cell(p.english) + "\n\n";
        out += "German: " + Cell(p.german) + ". Code " + std::to_string(entry.code);
        const bool tool = entry.code >= 100;
        const int32_t item = entry.code % 100;
        if (tool) {
            out += ", tool item " + std::to_string(item) + " of group " + std::to_string(entry.code / 100);
            const std::string_view stored = orvex::CommandNameTable[0][static_cast<size_t>(item)] == nullptr
                                                ? std::string_view()
                                                : orvex::CommandNameTable[0][static_cast<size_t>(item)];
            if (!stored.empty()) {
                out += "; its options are stored under \"" + std::string(stored) + "\"";
            }
        } else if (*description.formClass != '\0') {
            out += "; opens the form `" + std::string(description.formClass) + "`";
        }
        out += ".\n\n" + std::string(description.what) + NeedsText(description.needs) + "\n\n";
        out += "Result: " + std::string(description.result) + "\n\n";
        if (tool) {
            // From host year 1998 on the second command of item 5 runs item 13 (its menu text says so).
            const int32_t rowsItem =
                entry.code == orvex::kAlignMelismaCode ? orvex::ItemNumber(orvex::ToolItem::LeftAlignMelisma) : item;
            if (RowCount(rowsItem) == 0) {
                out += "No options: the command runs at once.\n\n";
            } else {
                out += "Options:\n\n";
                AppendRows(out, rowsItem);
                out += "\n";
            }
            const int32_t further = orvex::FurtherOptionsItem[static_cast<size_t>(rowsItem)];
            if (further != 0 && RowCount(further) > 0) {
                out += "Further options (the dialog's button \"" +
                       MenuText(orvex::CommandNameTable[1][static_cast<size_t>(further)] == nullptr
                                    ? ""
                                    : orvex::CommandNameTable[1][static_cast<size_t>(further)]) +
                       "\" opens them in a dialog of their own):\n\n";
                AppendRows(out, further);
                out += "\n";
            }
        }
    }
    for (const int32_t code : orvex::kKeyCommandCodes) {
        const auto found = descriptions.find(code);
        if (found == descriptions.end()) {
            throw std::logic_error("no description of command " + std::to_string(code));
        }
        ++described;
        const int32_t item = code % 100;
        const std::string name = orvex::KeyCommandText(code);
        orvex::TheAccessLayer.host.language = 0;
        const std::string english = MenuText(orvex::ToolName(item, code / 100));
        orvex::TheAccessLayer.host.language = 1;
        const std::string german = MenuText(orvex::ToolName(item, code / 100));
        orvex::TheAccessLayer.host.language = 0;
        out += "## <a id=\"code-" + std::to_string(code) + "\"></a>" + Cell(english) + " (no menu entry)\n\n";
        out += "German: " + Cell(german) + ". Code " + std::to_string(code) + ", tool item " + std::to_string(item) +
               " of group " + std::to_string(code / 100) + "; its key name is \"" + name + "\".\n\n";
        out +=
            "Reached by a key: in \"Orvex/Options...\" click Add..., choose the key, \"replace with\" \"plug-in\n"
            "command\" and \"" +
            name +
            "\", and OK both forms; then select measures and press the key (in a\n"
            "script: `form TAddKeyAssForm set Action \"plug-in command\"`, `form TAddKeyAssForm set\n"
            "PluginCommand " +
            name + "`, then `press KEY`).\n\n";
        out += std::string(found->second->what) + "\n\n";
        out += "Result: " + std::string(found->second->result) + "\n\n";
        out += "No options a user sets: the command runs on the values given above.\n\n";
    }
    if (described != descriptions.size()) {
        throw std::logic_error("a description names no command of the table");
    }
    return out;
}

}  // namespace commandref
