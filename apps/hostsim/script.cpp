#include "apps/hostsim/script.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <optional>
#include <ostream>

#include "platform/host/document_commands.h"
#include "platform/host/record_store.h"
#include "platform/hostapi/records.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/message_box.h"
#include "platform/win/messages.h"
#include "platform/win/modules.h"
#include "platform/win/transcript.h"
#include "platform/win/ui_driver.h"
#include "service/lumvar_api.h"

namespace hostsim {
namespace {

/// The time the simulated user takes between two script lines.
constexpr uint32_t kSecondsBetweenLines = 1;

int32_t ParseNumber(const std::string& text) {
    try {
        size_t used = 0;
        const long long value = std::stoll(text, &used, 0);
        if (used != text.size() || value < INT32_MIN || value > UINT32_MAX) {
            throw ScriptError("not a number: " + text);
        }
        return static_cast<int32_t>(value);
    } catch (const std::logic_error&) {
        throw ScriptError("not a number: " + text);
    }
}

/// "3" or "2-5": a range of staff or measure numbers (1 to 32767).
host::NumberRange ParseRange(const std::string& text, const std::string& what) {
    const size_t dash = text.find('-', 1);
    const int32_t first = ParseNumber(text.substr(0, dash));
    const int32_t last = dash == std::string::npos ? first : ParseNumber(text.substr(dash + 1));
    if (first < 1 || last < first || last > INT16_MAX) {
        throw ScriptError("not a range of " + what + ": " + text + " (N or N-M, from 1 to 32767)");
    }
    return {first, last};
}

void ExpectArguments(const std::vector<std::string>& arguments, size_t minimum, size_t maximum,
                     const std::string& usage) {
    if (arguments.size() < minimum || arguments.size() > maximum) {
        throw ScriptError("usage: " + usage);
    }
}

/// Asks the loaded Lumvar2000 for a word in a language, as a client plug-in asks its word
/// service: the language is a column 0-12 or its name as Lumvar's table lists it.
void TranslateWithLumvar(host::Host& host, const std::string& word, const std::string& languageText) {
    const auto& plugins = host.Plugins();
    const auto lumvar = std::find_if(plugins.begin(), plugins.end(),
                                     [](const host::LoadedPlugin& p) { return p.fileName == "Lumvar2000.fxt"; });
    if (lumvar == plugins.end()) {
        throw ScriptError("no plug-in Lumvar2000.fxt is loaded");
    }
    const auto translateId =
        reinterpret_cast<lumvar::TranslateIDFn>(win::GetProcAddress(lumvar->module, "pFTX_TranslateID"));
    const auto translateWord =
        reinterpret_cast<lumvar::TranslateWordFn>(win::GetProcAddress(lumvar->module, "pFTX_TranslateWord"));
    if (translateId == nullptr || translateWord == nullptr) {
        throw ScriptError("Lumvar2000.fxt has no word service");
    }
    // Row 0 of the table names the languages.
    const auto nameOf = [&](int16_t column) {
        return std::string(translateId(0, 1, column, nullptr, 0, win::kNoWindow, 1));
    };
    std::optional<int16_t> language;
    for (int16_t column = 0; column < 13 && !language; ++column) {
        if (nameOf(column) == languageText || std::to_string(column) == languageText) {
            language = column;
        }
    }
    if (!language) {
        throw ScriptError("not a language of Lumvar2000: " + languageText + " (0-12 or a name such as Svenska)");
    }
    int16_t err = 0;
    const std::string translated = translateWord(word.c_str(), lumvar::COUNT_ANY, *language, 0, &err, win::kNoWindow);
    win::TranscriptWrite("lumvar: \"" + word + "\" in " + nameOf(*language) + ": " +
                         (err == 0 ? "\"" + translated + "\"" : "not found (error " + std::to_string(err) + ")"));
}

}  // namespace

std::vector<std::string> SplitWords(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
                word += line[++i];
            } else if (c == '"') {
                quoted = false;
            } else {
                word += c;
            }
        } else if (c == '"') {
            quoted = true;
            inWord = true;
        } else if (c == ' ' || c == '\t') {
            if (inWord) {
                words.push_back(word);
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted) {
        throw ScriptError("a quoted word is not closed");
    }
    if (inWord) {
        words.push_back(word);
    }
    return words;
}

ScriptRunner::ScriptRunner(host::Host& host, Settings settings)
    : m_host(host), m_settings(std::move(settings)), m_commands(MakeCommands()) {
    // On a terminal the user also sees the host's progress bar.
    if (::isatty(STDERR_FILENO) != 0) {
        m_host.Progress().DrawBarOn(stderr);
    }
}

std::vector<ScriptRunner::Command> ScriptRunner::MakeCommands() {
    return {
        {{"host", "version"},
         "host version RAW-VERSION",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "host version RAW-VERSION");
             m_host.SetRawVersion(ParseNumber(args[0]));
             win::TranscriptWrite("host: version " + args[0] + " (Finale " + std::to_string(m_host.Year()) + ")");
         }},
        {{"host", "language"},
         "host language en|de|it",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "host language en|de|it");
             const auto language = host::LanguageFromCode(args[0]);
             if (!language) {
                 throw ScriptError("unknown language " + args[0] + " (en, de or it)");
             }
             m_host.SetLanguage(*language);
             win::TranscriptWrite("host: language " + args[0]);
         }},
        {{"load", "plugins"},
         "load plugins [FOLDER]",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 1, "load plugins [FOLDER]");
             const std::string folder = args.empty() ? m_settings.pluginFolder : args[0];
             m_host.LoadPlugins(folder);
         }},
        {{"print", "menus"},
         "print menus",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 0, "print menus");
             for (const std::string& line : m_host.MenuTreeLines()) {
                 win::TranscriptWrite(line);
             }
         }},
        {{"new"},
         "new SCORE-TEXT-FILE",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "new SCORE-TEXT-FILE");
             host::NewDocumentFromScoreFile(m_host, args[0]);
         }},
        {{"open"},
         "open FILE.MUS",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "open FILE.MUS");
             host::OpenDocumentFile(m_host, args[0]);
         }},
        {{"save"},
         "save FILE.MUS",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "save FILE.MUS");
             host::SaveFrontDocument(m_host, args[0]);
         }},
        {{"front"},
         "front N",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "front N");
             host::BringDocumentToFront(m_host, ParseNumber(args[0]));
         }},
        {{"dump", "records"},
         "dump records [TAG]",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 1, "dump records [TAG]");
             const auto tag = args.empty() ? std::nullopt : host::ParseTagText(args[0]);
             if (!args.empty() && !tag) {
                 throw ScriptError("not a tag: " + args[0] + " (four characters, \\xNN for any other byte)");
             }
             host::ListFrontRecords(m_host, tag);
         }},
        {{"dump", "cells"},
         "dump cells [STAFF-RANGE] [MEASURE-RANGE]",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 2, "dump cells [STAFF-RANGE] [MEASURE-RANGE]");
             std::optional<host::NumberRange> staves;
             std::optional<host::NumberRange> measures;
             if (!args.empty()) {
                 staves = ParseRange(args[0], "staves");
             }
             if (args.size() == 2) {
                 measures = ParseRange(args[1], "measures");
             }
             host::ListFrontCells(m_host, staves, measures);
         }},
        {{"stop", "progress", "at"},
         "stop progress at K",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "stop progress at K");
             host::StopProgressAt(m_host, ParseNumber(args[0]));
         }},
        {{"form"},
         "form CLASS set CONTROL VALUE | form CLASS click CONTROL | form CLASS close",
         [](const std::vector<std::string>& args) {
             const std::string usage = "form CLASS set CONTROL VALUE | form CLASS click CONTROL | form CLASS close";
             ExpectArguments(args, 2, 4, usage);
             win::FormAction action;
             if (args[1] == "set" && args.size() == 4) {
                 action = {win::FormAction::Kind::Set, args[2], args[3]};
             } else if (args[1] == "click" && args.size() == 3) {
                 action = {win::FormAction::Kind::Click, args[2], ""};
             } else if (args[1] == "close" && args.size() == 2) {
                 action = {win::FormAction::Kind::Close, "", ""};
             } else {
                 throw ScriptError("usage: " + usage);
             }
             win::QueueFormAction(args[0], std::move(action));
         }},
        {{"menu"},
         "menu \"MENU/ITEM\"",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "menu \"MENU/ITEM\"");
             const uint32_t id = m_host.FindMenuCommand(args[0]);
             if (id == 0) {
                 throw ScriptError("no menu item \"" + args[0] + "\"");
             }
             win::PostMessage(m_host.MainWindow(), win::WM_COMMAND, id);
         }},
        {{"invoke"},
         "invoke INDEX [PLUG-IN]",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 2, "invoke INDEX [PLUG-IN]");
             const std::string name = args.size() == 2 ? args[1] : "Orvex188.fxt";
             const auto& plugins = m_host.Plugins();
             const auto it = std::find_if(plugins.begin(), plugins.end(),
                                          [&](const host::LoadedPlugin& p) { return p.fileName == name; });
             if (it == plugins.end()) {
                 throw ScriptError("no plug-in " + name + " is loaded");
             }
             const int32_t index = ParseNumber(args[0]);
             const int16_t changed =
                 m_host.InvokePlugin(static_cast<size_t>(it - plugins.begin()), static_cast<int16_t>(index));
             win::TranscriptWrite("host: " + name + " answered " + std::to_string(changed));
         }},
        {{"select"},
         "select STAFF-STAFF MEASURE-MEASURE [POSITION-POSITION] | select none",
         [this](const std::vector<std::string>& args) {
             const std::string usage = "select STAFF-STAFF MEASURE-MEASURE [POSITION-POSITION] | select none";
             if (args.size() == 1 && args[0] == "none") {
                 m_host.SetSelection(std::nullopt);
                 return;
             }
             ExpectArguments(args, 2, 3, usage);
             const host::NumberRange staves = ParseRange(args[0], "staves");
             const host::NumberRange measures = ParseRange(args[1], "measures");
             hostapi::SelectionRecord selection;
             selection.setFirstStaff(static_cast<hostapi::StaffSlot>(staves.first));
             selection.setLastStaff(static_cast<hostapi::StaffSlot>(staves.last));
             selection.setFirstMeasure(static_cast<hostapi::MeasureNumber>(measures.first));
             selection.setLastMeasure(static_cast<hostapi::MeasureNumber>(measures.last));
             selection.setEndEdu(INT32_MAX);  // to the end of the last measure
             if (args.size() == 3) {
                 const size_t dash = args[2].find('-', 1);
                 if (dash == std::string::npos) {
                     throw ScriptError("not a range of positions: " + args[2] + " (START-END in EDU)");
                 }
                 selection.setStartEdu(ParseNumber(args[2].substr(0, dash)));
                 selection.setEndEdu(ParseNumber(args[2].substr(dash + 1)));
             }
             m_host.SetSelection(selection);
         }},
        {{"hold", "shift"},
         "hold shift",
         [](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 0, "hold shift");
             win::SetKeyDown(win::VK_SHIFT, true);
         }},
        {{"release", "shift"},
         "release shift",
         [](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 0, "release shift");
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
         [](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 0, "release ctrl");
             win::SetKeyDown(win::VK_CONTROL, false);
         }},
        {{"answer"},
         "answer yes|no|ok|cancel",
         [](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "answer yes|no|ok|cancel");
             const int32_t answer = win::AnswerFromName(args[0]);
             if (answer == 0) {
                 throw ScriptError("not an answer: " + args[0] + " (yes, no, ok or cancel)");
             }
             win::QueueMessageBoxAnswer(answer);
         }},
        {{"wait"},
         "wait MILLISECONDS",
         [](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "wait MILLISECONDS");
             const int32_t ms = ParseNumber(args[0]);
             if (ms < 0) {
                 throw ScriptError("not a time: " + args[0]);
             }
             win::Idle(static_cast<uint32_t>(ms));
         }},
        {{"press"},
         "press [Shift+][Ctrl+][Alt+]KEY",
         [](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "press [Shift+][Ctrl+][Alt+]KEY");
             std::string rest = args[0];
             bool shift = false;
             bool ctrl = false;
             bool alt = false;
             for (;;) {
                 if (rest.starts_with("Shift+")) {
                     shift = true;
                     rest.erase(0, 6);
                 } else if (rest.starts_with("Ctrl+")) {
                     ctrl = true;
                     rest.erase(0, 5);
                 } else if (rest.starts_with("Alt+")) {
                     alt = true;
                     rest.erase(0, 4);
                 } else {
                     break;
                 }
             }
             const uint16_t key = win::KeyFromName(rest);
             if (key == 0) {
                 throw ScriptError("unknown key " + rest);
             }
             win::QueueUserKey(key, shift, ctrl, alt);
         }},
        {{"lumvar", "translate"},
         "lumvar translate WORD LANGUAGE",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 2, 2, "lumvar translate WORD LANGUAGE");
             TranslateWithLumvar(m_host, args[0], args[1]);
         }},
        {{"quit"},
         "quit",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 0, "quit");
             m_quit = true;
         }},
    };
}

void ScriptRunner::RunLine(const std::vector<std::string>& words) {
    const Command* best = nullptr;
    for (const Command& command : m_commands) {
        if (words.size() >= command.words.size() &&
            std::equal(command.words.begin(), command.words.end(), words.begin()) &&
            (best == nullptr || command.words.size() > best->words.size())) {
            best = &command;
        }
    }
    if (best == nullptr) {
        throw ScriptError("unknown command \"" + words[0] + "\"");
    }
    best->run(std::vector<std::string>(words.begin() + static_cast<std::ptrdiff_t>(best->words.size()), words.end()));
    // The user takes a second before the next line: the host's message loop delivers what the
    // command posted (a menu choice, a plug-in's requests, synthesised keys), and timers that
    // fall due run.
    win::Idle(kSecondsBetweenLines * 1000);
}

bool ScriptRunner::Run(std::istream& script, const std::string& scriptName, std::ostream& errors) {
    std::string line;
    size_t lineNumber = 0;
    while (!m_quit && std::getline(script, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') {
            continue;
        }
        try {
            const std::vector<std::string> words = SplitWords(line);
            win::TranscriptWrite("> " + line.substr(first));
            RunLine(words);
        } catch (const std::exception& e) {
            errors << scriptName << ":" << lineNumber << ": " << e.what() << "\n";
            return false;
        }
    }
    return true;
}

}  // namespace hostsim
