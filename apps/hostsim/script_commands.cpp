// The script commands of hostsim, one table a family, in the order the runner looks them up.
#include <algorithm>
#include <climits>
#include <filesystem>
#include <iterator>
#include <optional>

#include "apps/hostsim/script.h"
#include "apps/hostsim/script_arguments.h"
#include "platform/host/document_commands.h"
#include "platform/host/document_windows.h"
#include "platform/host/record_store.h"
#include "platform/host/region_commands.h"
#include "platform/win/clipboard.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/message_box.h"
#include "platform/win/messages.h"
#include "platform/win/modules.h"
#include "platform/win/transcript.h"
#include "platform/win/ui_driver.h"
#include "platform/win/windows.h"

namespace hostsim {
namespace {

/// The longest wait of one line: an hour of the virtual clock.
constexpr int64_t kLongestWait = 3'600'000;

}  // namespace

std::vector<ScriptRunner::Command> ScriptRunner::MakeCommands() {
    std::vector<Command> commands;
    for (auto family : {&ScriptRunner::HostCommands, &ScriptRunner::DocumentCommands, &ScriptRunner::DumpCommands,
                        &ScriptRunner::FormCommands, &ScriptRunner::ViewCommands, &ScriptRunner::MenuCommands,
                        &ScriptRunner::InputCommands, &ScriptRunner::ServiceCommands, &ScriptRunner::LumvarCommands,
                        &ScriptRunner::StepCommands}) {
        std::vector<Command> more = (this->*family)();
        commands.insert(commands.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    }
    return commands;
}

std::vector<ScriptRunner::Command> ScriptRunner::HostCommands() {
    return {
        {{"host", "version"},
         "host version RAW-VERSION",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "host version RAW-VERSION");
             m_host.SetRawVersion(static_cast<int32_t>(ParseNumber(args[0], 0, INT32_MAX, "the raw version", 0)));
             win::TranscriptWrite("host: version " + args[0] + " (Finale " + std::to_string(m_host.Year()) + ")");
         }},
        {{"host", "language"},
         "host language en|de|it",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "host language en|de|it");
             const auto language = host::LanguageFromCode(args[0]);
             if (!language) {
                 throw ScriptError("unknown language " + args[0] + " (en, de or it)", 0);
             }
             m_host.SetLanguage(*language);
             win::TranscriptWrite("host: language " + args[0]);
         }},
        {{"load", "plugins"},
         "load plugins [FOLDER]",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 1, "load plugins [FOLDER]");
             const std::string folder = args.empty() ? m_settings.pluginFolder : args[0];
             std::error_code error;
             if (!std::filesystem::is_directory(folder, error)) {
                 throw ScriptError("the plug-in folder " + folder + " does not exist" +
                                       (args.empty() ? " (hostsim's --plugins names it)" : ""),
                                   args.empty() ? -1 : 0);
             }
             if (m_host.LoadPlugins(folder) == 0) {
                 Warning(Here(args.empty() ? -1 : 0), "no plug-in was loaded from " + folder);
             }
         }},
        {{"print", "menus"},
         "print menus",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 0, "print menus");
             for (const std::string& line : m_host.MenuTreeLines()) {
                 win::TranscriptWrite(line);
             }
         },
         true},
    };
}

std::vector<ScriptRunner::Command> ScriptRunner::DocumentCommands() {
    return {
        {{"new"},
         "new SCORE-TEXT-FILE",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "new SCORE-TEXT-FILE");
             host::FileProblem problem;
             std::vector<host::FileProblem> warnings;
             const bool made = host::NewDocumentFromScoreFile(m_host, args[0], &problem, &warnings);
             // A score text's warnings and further mistakes are reported at their own lines.
             for (const host::FileProblem& warning : warnings) {
                 Warning({args[0], warning.line, warning.column, warning.lineText}, warning.message);
             }
             if (!made) {
                 ScriptError error("cannot make a document from " + args[0] + ": " + problem.message, 0);
                 if (problem.line != 0) {
                     error.notes.push_back({{args[0], problem.line, problem.column, problem.lineText}, "here"});
                 }
                 for (const host::FileProblem& more : problem.more) {
                     error.notes.push_back(
                         {{args[0], more.line, more.column, more.lineText}, "a further mistake: " + more.message});
                 }
                 throw error;
             }
         }},
        {{"open"},
         "open FILE.MUS",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "open FILE.MUS");
             host::FileProblem problem;
             if (!host::OpenDocumentFile(m_host, args[0], &problem)) {
                 ScriptError error("cannot open " + args[0] + ": " + problem.message, 0);
                 if (problem.line != 0) {
                     error.notes.push_back({{args[0], problem.line, problem.column, problem.lineText}, "here"});
                 }
                 throw error;
             }
         }},
        {{"save"},
         "save FILE.MUS|FILE.score",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "save FILE.MUS|FILE.score");
             host::FileProblem problem;
             if (!host::SaveFrontDocument(m_host, args[0], &problem)) {
                 throw ScriptError("cannot save " + args[0] + ": " + problem.message, 0);
             }
         }},
        {{"front"},
         "front N",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "front N");
             host::BringDocumentToFront(m_host,
                                        static_cast<int32_t>(ParseNumber(args[0], 1, INT16_MAX, "the document", 0)));
         }},
    };
}

std::vector<ScriptRunner::Command> ScriptRunner::DumpCommands() {
    return {
        {{"dump", "records"},
         "dump records [TAG]",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 1, "dump records [TAG]");
             const auto tag = args.empty() ? std::nullopt : host::ParseTagText(args[0]);
             if (!args.empty() && !tag) {
                 throw ScriptError("not a tag: " + args[0] + " (four characters, \\xNN for any other byte)", 0);
             }
             host::ListFrontRecords(m_host, tag);
         },
         true},
        {{"dump", "cells"},
         "dump cells [STAFF-RANGE] [MEASURE-RANGE]",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 2, "dump cells [STAFF-RANGE] [MEASURE-RANGE]");
             std::optional<host::NumberRange> staves;
             std::optional<host::NumberRange> measures;
             if (!args.empty()) {
                 staves = ParseRange(args[0], "staves", 0);
             }
             if (args.size() == 2) {
                 measures = ParseRange(args[1], "measures", 1);
             }
             host::ListFrontCells(m_host, staves, measures);
         },
         true},
        {{"dump", "changes"},
         "dump changes",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 0, "dump changes");
             DumpChanges();
         },
         true},
        {{"check", "document"},
         "check document [since FILE.MUS|FILE.score]",
         [this](const std::vector<std::string>& args) {
             const char* usage = "check document [since FILE.MUS|FILE.score]";
             ExpectArguments(args, 0, 2, usage);
             if (!args.empty() && args[0] != "since") {
                 throw ScriptError("\"" + args[0] + "\" is not \"since\" (usage: " + usage + ")", 0);
             }
             if (args.size() == 1) {
                 throw ScriptError(std::string("an argument is missing (usage: ") + usage + ")", 1);
             }
             host::FileProblem problem;
             const auto since = args.empty() ? std::nullopt : std::optional<std::filesystem::path>(args[1]);
             if (!host::CheckFrontDocument(m_host, since, &problem)) {
                 ScriptError error("cannot read " + args[1] + ": " + problem.message, 0);
                 if (problem.line != 0) {
                     error.notes.push_back({{args[1], problem.line, problem.column, problem.lineText}, "here"});
                 }
                 throw error;
             }
         },
         true},
        {{"dump", "score"},
         "dump score",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 0, "dump score");
             host::ListFrontScoreText(m_host);
         },
         true},
        {{"dump", "selection"},
         "dump selection",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 0, "dump selection");
             DumpSelection();
         },
         true},
    };
}

std::vector<ScriptRunner::Command> ScriptRunner::FormCommands() {
    return {
        {{"stop", "progress", "at"},
         "stop progress at K",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "stop progress at K");
             host::StopProgressAt(m_host, static_cast<int32_t>(ParseNumber(args[0], 1, INT32_MAX, "the step", 0)));
         }},
        {{"form"}, std::string(kFormUsage), [this](const std::vector<std::string>& args) { QueueFormAction(args); }},
        {{"dialog"},
         "dialog RESOURCE set CONTROL VALUE | dialog RESOURCE click CONTROL | dialog RESOURCE close",
         [this](const std::vector<std::string>& args) { QueueDialogAction(args); }},
        {{"activate", "host"},
         "activate host",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 0, "activate host");
             win::SetForegroundWindow(m_host.MainWindow());
         }},
        {{"activate", "other", "program"},
         "activate other program",
         [](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 0, "activate other program");
             win::SwitchToAnotherProgram();
         }},
        {{"activate", "form"},
         "activate form CLASS",
         [](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "activate form CLASS");
             const win::Hwnd window = win::FindWindow(args[0]);
             if (window == win::kNoWindow || !win::IsWindowVisible(window)) {
                 throw ScriptError("no " + args[0] + " form is open", 0);
             }
             win::SetForegroundWindow(window);
         }},
    };
}

std::vector<ScriptRunner::Command> ScriptRunner::ViewCommands() {
    return {
        {{"view", "page"},
         "view page [PAGE]",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 1, "view page [PAGE]");
             host::DocumentWindows& windows = m_host.Windows();
             if (windows.FrontView() == nullptr) {
                 throw ScriptError("no document is open to show", -1);
             }
             if (args.empty()) {
                 windows.SetPageView(true);
             } else if (!windows.ShowPage(static_cast<int32_t>(ParseNumber(args[0], 1, INT16_MAX, "the page", 0)))) {
                 throw ScriptError("the document in front has no page " + args[0], 0);
             }
             win::TranscriptWrite("host: page view, page " + std::to_string(windows.FrontView()->page));
         }},
        {{"view", "scroll"},
         "view scroll [MEASURE]",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 1, "view scroll [MEASURE]");
             host::DocumentWindows& windows = m_host.Windows();
             if (windows.FrontView() == nullptr) {
                 throw ScriptError("no document is open to show", -1);
             }
             if (args.empty()) {
                 windows.SetPageView(false);
             } else {
                 windows.ScrollToMeasure(static_cast<int32_t>(ParseNumber(args[0], 1, INT16_MAX, "the measure", 0)));
             }
             win::TranscriptWrite("host: scroll view from measure " +
                                  std::to_string(windows.FrontView()->firstMeasure));
         }},
        {{"print", "windows"},
         "print windows",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 0, "print windows");
             for (const std::string& line : host::WindowListLines(m_host)) {
                 win::TranscriptWrite(line);
             }
         },
         true},
        {{"print", "clipboard"},
         "print clipboard",
         [](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 0, "print clipboard");
             const std::optional<std::string> text = win::ClipboardText();
             if (!text) {
                 win::TranscriptWrite("clipboard: no text");
                 return;
             }
             win::TranscriptWrite("clipboard: text");
             std::string line;
             for (const char c : *text) {
                 if (c == '\n') {
                     win::TranscriptWrite("  | " + line);
                     line.clear();
                 } else if (c != '\r') {
                     line += c;
                 }
             }
             if (!line.empty()) {
                 win::TranscriptWrite("  | " + line);
             }
         },
         true},
    };
}

std::vector<ScriptRunner::Command> ScriptRunner::MenuCommands() {
    return {
        {{"menu"},
         "menu \"MENU/ITEM\"",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "menu \"MENU/ITEM\"");
             ChooseMenu(args[0]);
         }},
        {{"invoke"},
         "invoke INDEX [PLUG-IN]",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 2, "invoke INDEX [PLUG-IN]");
             const std::string name = args.size() == 2 ? args[1] : "Orvex188.fxt";
             const auto index = static_cast<int16_t>(ParseNumber(args[0], INT16_MIN, INT16_MAX, "the menu index", 0));
             const auto& plugins = m_host.Plugins();
             const auto it = std::find_if(plugins.begin(), plugins.end(),
                                          [&](const host::LoadedPlugin& p) { return p.fileName == name; });
             if (it == plugins.end()) {
                 throw ScriptError(
                     "no plug-in " + name + " is loaded" +
                         (plugins.empty() ? std::string(": \"load plugins\" loads them, before this line") : ""),
                     args.size() == 2 ? 1 : -1);
             }
             const int16_t answer = m_host.RunPluginCommand(static_cast<size_t>(it - plugins.begin()), index);
             win::TranscriptWrite("host: " + name + " answered " + std::to_string(answer));
         }},
        {{"select"},
         "select STAFF-STAFF MEASURE-MEASURE [POSITION-POSITION] | select none",
         [this](const std::vector<std::string>& args) { Select(args); }},
    };
}

std::vector<ScriptRunner::Command> ScriptRunner::InputCommands() {
    return {
        {{"hold", "shift"},
         "hold shift",
         [](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 0, "hold shift");
             win::SetKeyDown(win::VK_SHIFT, true);
         }},
        {{"release", "shift"},
         "release shift",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 0, "release shift");
             if ((win::GetKeyState(win::VK_SHIFT) & 0x8000) == 0) {
                 Warning(Here(), "Shift is not held");
             }
             win::SetKeyDown(win::VK_SHIFT, false);
         }},
        {{"hold", "ctrl"},
         "hold ctrl",
         [](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 0, "hold ctrl");
             win::SetKeyDown(win::VK_CONTROL, true);
         }},
        {{"release", "ctrl"},
         "release ctrl",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 0, "release ctrl");
             if ((win::GetKeyState(win::VK_CONTROL) & 0x8000) == 0) {
                 Warning(Here(), "Ctrl is not held");
             }
             win::SetKeyDown(win::VK_CONTROL, false);
         }},
        {{"answer"},
         "answer yes|no|ok|cancel",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "answer yes|no|ok|cancel");
             const int32_t answer = win::AnswerFromName(args[0]);
             if (answer == 0) {
                 throw ScriptError("not an answer: " + args[0] + " (yes, no, ok or cancel)", 0);
             }
             win::QueueMessageBoxAnswer(answer);
             m_answerLines.push_back(Here());
         }},
        {{"wait"},
         "wait MILLISECONDS",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "wait MILLISECONDS");
             PassTime(static_cast<uint32_t>(ParseNumber(args[0], 0, kLongestWait, "the time", 0)));
         }},
        {{"press"},
         "press [Shift+][Ctrl+][Alt+]KEY",
         [](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "press [Shift+][Ctrl+][Alt+]KEY");
             const std::optional<win::KeyStroke> stroke = win::ParseKeyStroke(args[0]);
             if (!stroke) {
                 throw ScriptError("unknown key " + args[0], 0);
             }
             win::QueueUserKey(stroke->key, stroke->shift, stroke->ctrl, stroke->alt);
         }},
        {{"type"},
         "type \"TEXT\"",
         [](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "type \"TEXT\"");
             std::string untypable;
             if (!win::QueueUserText(args[0], &untypable)) {
                 throw ScriptError("the keyboard has no key for \"" + untypable + "\"", 0);
             }
         }},
    };
}

std::vector<ScriptRunner::Command> ScriptRunner::ServiceCommands() {
    return {
        {{"quit"},
         "quit",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 0, "quit");
             m_quit = true;
         }},
    };
}
}  // namespace hostsim
