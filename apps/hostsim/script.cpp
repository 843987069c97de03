#include "apps/hostsim/script.h"

#include "apps/hostsim/script_arguments.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>

#include "platform/host/document_commands.h"
#include "platform/host/document_windows.h"
#include "platform/host/region_commands.h"
#include "platform/hostapi/records.h"
#include "platform/win/input.h"
#include "platform/win/message_box.h"
#include "platform/win/messages.h"
#include "platform/win/transcript.h"
#include "platform/win/ui_driver.h"
#include "platform/win/windows.h"
#include "service/lumvar_api.h"

namespace hostsim {
namespace {

/// The time the simulated user takes between two script lines.
constexpr uint32_t kSecondsBetweenLines = 1;
constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";
/// The hint for a form line that comes after the line that opens its form.
constexpr const char* kFormLinesGoFirst = "form lines go before the menu line that opens the form";

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

/// A menu text as the user may write it: no '&' marks, no trailing dots or blanks, lower case.
std::string MenuWord(std::string_view text) {
    std::string word;
    for (const char c : text) {
        if (c != '&') {
            word += c;
        }
    }
    while (!word.empty() && (word.back() == '.' || word.back() == ' ')) {
        word.pop_back();
    }
    return Lower(word);
}

/// The texts of `choices` nearest to `wanted` (close in spelling, or holding it), best first, at
/// most three.
std::vector<std::string> Nearest(const std::string& wanted, const std::vector<std::string>& choices) {
    return win::NearestNames(wanted, choices, MenuWord);
}

/// A menu path as the user may write it: each level as MenuWord makes it.
std::string PathKey(std::string_view path) {
    std::string key;
    for (size_t start = 0;;) {
        const size_t slash = path.find('/', start);
        key += MenuWord(path.substr(start, slash == std::string_view::npos ? slash : slash - start));
        if (slash == std::string_view::npos) {
            return key;
        }
        key += '/';
        start = slash + 1;
    }
}

/// The plug-ins' commands by their menu path in an English and in a German host: the rows
/// "| CODE | [ENGLISH](#code-CODE) | GERMAN |" of docs/commands.md's table.
const std::vector<std::pair<std::string, std::string>>& CommandMenuPaths() {
    static const std::vector<std::pair<std::string, std::string>> kPaths = [] {
        static constexpr std::string_view kTable =
#include "menu_paths.inc"
            ;
        std::vector<std::pair<std::string, std::string>> paths;
        for (size_t start = 0; start < kTable.size();) {
            const size_t end = std::min(kTable.find('\n', start), kTable.size());
            const std::string_view row = kTable.substr(start, end - start);
            start = end + 1;
            const size_t open = row.find("| [");
            const size_t close = row.find("](#code-");
            const size_t german = row.find(") | ", close);
            if (open == std::string_view::npos || close == std::string_view::npos || german == std::string_view::npos ||
                !row.ends_with(" |")) {
                continue;
            }
            paths.emplace_back(row.substr(open + 3, close - open - 3), row.substr(german + 4, row.size() - german - 6));
        }
        return paths;
    }();
    return kPaths;
}

/// "English", "German", "Italian".
std::string LanguageName(host::Language language) {
    switch (language) {
        case host::Language::German:
            return "German";
        case host::Language::Italian:
            return "Italian";
        default:
            return "English";
    }
}

/// "a German", "an English".
std::string WithArticle(const std::string& name) {
    return (name.front() == 'E' || name.front() == 'I' ? "an " : "a ") + name;
}

/// When a path that leads nowhere is a path of another host language's menus: that path, the
/// language and the path this host shows for it.
std::optional<std::string> OtherLanguagePath(const host::Host& host, const std::string& path) {
    std::optional<std::pair<host::Language, std::string>> other = host.OtherLanguageMenuPath(path);
    if (!other) {
        // The plug-ins' commands: German in a German host, English in the others.
        const bool german = host.CurrentLanguage() == host::Language::German;
        const std::string wanted = PathKey(path);
        for (const auto& [english, inGerman] : CommandMenuPaths()) {
            if (PathKey(german ? english : inGerman) == wanted) {
                other = {german ? host::Language::English : host::Language::German, german ? inGerman : english};
                break;
            }
        }
    }
    if (!other) {
        return std::nullopt;
    }
    const std::string theirs = WithArticle(LanguageName(other->first));
    return "\"" + path + "\" is a path of " + theirs + " host's menus; this " + LanguageName(host.CurrentLanguage()) +
           " host shows \"" + other->second + "\" (\"host language " + std::string(host::LanguageCode(other->first)) +
           "\" before \"load plugins\" makes " + theirs + " host)";
}

/// `"A", "B" or "C"`.
std::string Alternatives(const std::vector<std::string>& texts, const char* conjunction = " or ") {
    std::string joined;
    for (size_t i = 0; i < texts.size(); ++i) {
        joined += (i == 0 ? "" : i + 1 == texts.size() ? conjunction : ", ") + ("\"" + texts[i] + "\"");
    }
    return joined;
}

/// Whether a form of the class shows on the desktop now.
bool FormOpen(const std::string& formClass) {
    const win::Hwnd window = win::FindWindow(formClass);
    return window != win::kNoWindow && win::IsWindowVisible(window);
}

std::string LocationText(const Location& where) {
    std::string text = where.file;
    if (where.line != 0) {
        text += ":" + std::to_string(where.line) + ":" + std::to_string(std::max<size_t>(where.column, 1));
    }
    return text;
}

}  // namespace

std::vector<ScriptWord> SplitScriptLine(const std::string& line) {
    std::vector<ScriptWord> words;
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        ScriptWord word;
        word.column = i + 1;
        if (c == '#') {
            // A comment, unless the word is a row number ("#5").
            size_t end = i + 1;
            while (end < line.size() && std::isdigit(static_cast<unsigned char>(line[end])) != 0) {
                ++end;
            }
            if (end == i + 1 || (end < line.size() && line[end] != ' ' && line[end] != '\t')) {
                break;
            }
        }
        bool quoted = false;
        while (i < line.size()) {
            const char d = line[i];
            if (quoted) {
                if (d == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
                    word.text += line[i + 1];
                    i += 2;
                    continue;
                }
                if (d == '"') {
                    quoted = false;
                } else {
                    word.text += d;
                }
                ++i;
                continue;
            }
            if (d == ' ' || d == '\t') {
                break;
            }
            if (d == '"') {
                quoted = true;
                word.quoted = true;
            } else {
                word.text += d;
            }
            ++i;
        }
        if (quoted) {
            throw ScriptError("a quoted word is not closed");
        }
        word.end = i;
        words.push_back(std::move(word));
    }
    return words;
}

std::vector<std::string> SplitWords(const std::string& line) {
    std::vector<std::string> texts;
    for (ScriptWord& word : SplitScriptLine(line)) {
        texts.push_back(std::move(word.text));
    }
    return texts;
}

ScriptRunner::ScriptRunner(host::Host& host, Settings settings)
    : m_host(host), m_settings(std::move(settings)), m_commands(MakeCommands()) {
    // On a terminal the user also sees the host's progress bar.
    if (::isatty(STDERR_FILENO) != 0 && m_settings.verbosity != Verbosity::Quiet) {
        m_host.Progress().DrawBarOn(stderr);
    }
}

Location ScriptRunner::Here(int argument) const {
    Location where{m_scriptName, m_lineNumber, 1, m_lineText};
    if (m_words.empty()) {
        return where;
    }
    where.column = m_words.front().column;
    if (argument >= 0) {
        const size_t index = m_commandWords + static_cast<size_t>(argument);
        // A missing argument: just behind the line's last word.
        where.column = index < m_words.size() ? m_words[index].column : m_words.back().end + 1;
    }
    return where;
}

void ScriptRunner::Report(const char* level, const Location& where, const std::string& message) {
    if (m_errorStream == nullptr) {
        return;
    }
    std::ostream& out = *m_errorStream;
    out << LocationText(where) << ": " << level << ": " << message << "\n";
    if (where.line == 0 || where.lineText.empty()) {
        return;
    }
    const std::string number = std::to_string(where.line);
    out << std::string(number.size() < 5 ? 5 - number.size() : 0, ' ') << number << " | " << where.lineText << "\n";
    std::string caret;
    for (size_t i = 0; i + 1 < where.column && i < where.lineText.size(); ++i) {
        caret += where.lineText[i] == '\t' ? '\t' : ' ';
    }
    out << "      | " << caret << "^\n";
}

void ScriptRunner::Error(const Location& where, const std::string& message,
                         const std::vector<ScriptError::Note>& notes) {
    ++m_errors;
    Report("error", where, message);
    for (const ScriptError::Note& note : notes) {
        Report("note", note.where, note.text);
    }
}

void ScriptRunner::Warning(const Location& where, const std::string& message) {
    ++m_warnings;
    Report("warning", where, message);
}

void ScriptRunner::RunLine(const std::vector<ScriptWord>& words) {
    const Command* best = nullptr;
    for (const Command& command : m_commands) {
        if (words.size() >= command.words.size() &&
            std::equal(command.words.begin(), command.words.end(), words.begin(),
                       [](const std::string& a, const ScriptWord& b) { return a == b.text; }) &&
            (best == nullptr || command.words.size() > best->words.size())) {
            best = &command;
        }
    }
    if (best == nullptr) {
        // The nearest command names, compared with as many words as each has.
        std::vector<std::string> names;
        std::vector<std::pair<size_t, std::string>> scored;
        for (const Command& command : m_commands) {
            std::string name;
            std::string typed;
            for (size_t i = 0; i < command.words.size(); ++i) {
                name += (i == 0 ? "" : " ") + command.words[i];
                typed += (i == 0 ? "" : " ") + (i < words.size() ? words[i].text : std::string());
            }
            const size_t distance = win::EditDistance(Lower(typed), name);
            if (distance <= std::max<size_t>(2, name.size() / 3)) {
                scored.emplace_back(distance, name);
            }
        }
        std::stable_sort(scored.begin(), scored.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::string message = "unknown command \"" + words[0].text + "\"";
        if (!scored.empty()) {
            message += " (did you mean \"" + scored.front().second + "\"?)";
        }
        throw ScriptError(message);
    }
    m_commandWords = best->words.size();
    std::vector<std::string> arguments;
    for (size_t i = best->words.size(); i < words.size(); ++i) {
        arguments.push_back(words[i].text);
    }
    m_showing = best->shows;
    try {
        best->run(arguments);
    } catch (...) {
        m_showing = false;
        throw;
    }
    m_showing = false;
}

bool ScriptRunner::Run(std::istream& script, const std::string& scriptName, std::ostream& errors) {
    m_errorStream = &errors;
    m_scriptName = scriptName;
    m_lineNumber = 0;
    const size_t errorsBefore = m_errors;
    win::SetStopFormAfterFailure(true);
    std::string line;
    while (!m_quit && std::getline(script, line)) {
        ++m_lineNumber;
        if (m_lineNumber == 1 && line.starts_with(kByteOrderMark)) {
            line.erase(0, 3);
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        m_lineText = line;
        m_words.clear();
        m_commandWords = 0;
        const size_t errorsAtLine = m_errors;
        bool failed = false;
        bool changeSet = false;
        try {
            m_words = SplitScriptLine(line);
            if (m_words.empty()) {
                continue;
            }
            // The line as it runs, without a comment after it.
            const size_t first = m_words.front().column - 1;
            win::TranscriptWrite("> " + line.substr(first, m_words.back().end - first));
            // Everything that changes while the line runs is the line's one change set.
            m_host.BeginChangeSet();
            changeSet = true;
            RunLine(m_words);
            // The user takes a second before the next line: the host's message loop delivers what
            // the command posted (a menu choice, a plug-in's requests, synthesised keys), and timers
            // that fall due run.
            PassTime(kSecondsBetweenLines * 1000);
            // The user's turn ends: what changed during it is one step of each document's undo
            // history.
            m_host.CloseUndoSteps();
        } catch (const ScriptError& e) {
            Location where = Here(e.Argument());
            where.column += e.Offset();
            Error(where, e.what(), e.notes);
            failed = true;
        } catch (const std::exception& e) {
            Error(Here(), e.what());
            failed = true;
        }
        if (changeSet && m_host.EndChangeSet() && m_settings.verbosity == Verbosity::Verbose) {
            for (const std::string& change : m_host.LastChangeListing()) {
                win::TranscriptWrite(change);
            }
        }
        NoteFormsShown();
        if (!m_words.empty() && m_words[0].text != "form" && m_words[0].text != "dialog" &&
            m_words[0].text != "answer") {
            m_lastActingLine = m_lineNumber;
        }
        ReportActionFailures();
        // Also an error of a line that ran at a step of a command meanwhile.
        failed = failed || m_errors != errorsAtLine;
        if (failed && !m_settings.keepGoing) {
            m_stoppedAt = m_lineNumber;
            break;
        }
    }
    m_errorStream = nullptr;
    return m_errors == errorsBefore;
}

bool ScriptRunner::Finish(std::ostream& errors) {
    m_errorStream = &errors;
    const size_t errorsBefore = m_errors;
    ReportLeftovers();
    m_errorStream = nullptr;
    return m_errors == errorsBefore;
}

void ScriptRunner::ReportActionFailures() {
    for (const win::FormActionFailure& failure : win::TakeFormActionFailures()) {
        const auto origin = m_origins.find(failure.action.origin);
        const Location where = origin != m_origins.end() ? origin->second : Here();
        std::string what;
        switch (failure.action.kind) {
            case win::FormAction::Kind::Set:
                what = "set \"" + failure.action.control + "\" to \"" + failure.action.value + "\"";
                break;
            case win::FormAction::Kind::DblClick:
                what = "double-click \"" + failure.action.control + "\"";
                break;
            case win::FormAction::Kind::Resize:
                what = "resize the form to " + failure.action.value;
                break;
            case win::FormAction::Kind::Press:
                what = "press " + failure.action.value;
                break;
            case win::FormAction::Kind::Type:
                what = "type \"" + failure.action.value + "\"";
                break;
            default:
                what = "click \"" + failure.action.control + "\"";
                break;
        }
        std::string message =
            "the user could not " + what + " on the " + failure.formClass + " form: " + failure.reason;
        if (failure.dropped > 0) {
            message +=
                "; the " + std::to_string(failure.dropped) + " later " +
                (failure.dropped == 1 ? "action queued for it was dropped" : "actions queued for it were dropped");
        }
        std::vector<ScriptError::Note> notes;
        if (origin != m_origins.end()) {
            notes.push_back({Here(), "the form showed while this line ran"});
        }
        Error(where, message, notes);
    }
}

void ScriptRunner::ReportLeftovers() {
    ReportStepLines();
    const std::vector<std::string>& shown = win::FormClassesShown();
    for (const auto& [formClass, action] : win::TakeQueuedFormActions()) {
        const auto origin = m_origins.find(action.origin);
        const Location where = origin != m_origins.end() ? origin->second : Location{m_scriptName};
        const std::string wanted = Lower(formClass);  // a lambda of clang 14 cannot capture a binding
        const bool showed =
            std::any_of(shown.begin(), shown.end(), [&wanted](const std::string& c) { return Lower(c) == wanted; });
        std::string message;
        if (const auto late = m_lateActions.find(action.origin); late != m_lateActions.end()) {
            message = "no " + formClass + " form took this action: " + late->second;
        } else if (showed) {
            const auto last = m_formsShown.find(wanted);
            const bool open = last != m_formsShown.end() && FormOpen(last->second.formClass);
            message = "no " + formClass + " form took this action: " +
                      (open ? "the form that line " + std::to_string(last->second.line) +
                                  " showed stayed open, and an open form takes no action queued after it showed"
                            : std::string("the ones that showed closed before it")) +
                      "; " + kFormLinesGoFirst;
        } else {
            message = "no " + formClass + " form showed" +
                      (m_stoppedAt != 0 ? " before the script stopped at line " + std::to_string(m_stoppedAt) : "") +
                      ", so this action was never done";
            const std::vector<std::string> nearest = Nearest(formClass, shown);
            if (!nearest.empty()) {
                message += " (did you mean " + Alternatives(nearest) + "?)";
            }
        }
        Error(where, message);
    }
    const size_t unused = win::PendingMessageBoxAnswers();
    if (unused > 0 && unused <= m_answerLines.size()) {
        const Location& first = m_answerLines[m_answerLines.size() - unused];
        Warning(first, unused == 1
                           ? "no message box took this answer"
                           : "no message box took this answer and the " + std::to_string(unused - 1) + " after it");
    }
    while (win::TakeMessageBoxAnswer() != 0) {
    }
    m_answerLines.clear();
}

void ScriptRunner::ChooseMenu(const std::string& path) {
    const host::MenuLookup lookup = m_host.LookUpMenuCommand(path);
    if (lookup.id != 0) {
        win::PostMessage(m_host.MainWindow(), win::WM_COMMAND, lookup.id);
        return;
    }
    std::string where;
    for (const std::string& level : lookup.found) {
        where += (where.empty() ? "" : "/") + level;
    }
    std::string message;
    if (lookup.isSubmenu) {
        message = "\"" + path + "\" is a submenu, not an item: choose one of its items (" +
                  Alternatives(lookup.siblings) + ")";
    } else {
        message = where.empty() ? "no menu \"" + lookup.failedText + "\" on the menu bar"
                                : "no item \"" + lookup.failedText + "\" in the menu \"" + where + "\"";
        const std::vector<std::string> nearest = Nearest(lookup.failedText, lookup.siblings);
        if (!nearest.empty()) {
            message += " (did you mean " + Alternatives(nearest) + "?)";
        } else if (!lookup.siblings.empty()) {
            std::vector<std::string> shown(
                lookup.siblings.begin(),
                lookup.siblings.begin() + std::min<std::ptrdiff_t>(12, std::ssize(lookup.siblings)));
            message += " (it offers " + Alternatives(shown, " and ") +
                       (lookup.siblings.size() > shown.size() ? " and more" : "") + ")";
        }
    }
    if (const std::optional<std::string> other = OtherLanguagePath(m_host, path)) {
        message = *other;
    }
    if (m_host.Plugins().empty() && (lookup.found.empty() || MenuWord(lookup.found.front()).starts_with("plug"))) {
        message += "; no plug-ins are loaded: \"load plugins\" loads them, before this line";
    }
    // Point at the level that matched nothing, inside the quotes.
    const size_t index = m_commandWords;
    const size_t quote = index < m_words.size() && m_words[index].quoted ? 1 : 0;
    throw ScriptError(message, 0, lookup.isSubmenu ? 0 : quote + lookup.failedOffset);
}

void ScriptRunner::QueueFormAction(const std::vector<std::string>& args) {
    const std::string usage(kFormUsage);
    if (args.size() < 2) {
        throw ScriptError("an argument is missing (usage: " + usage + ")", static_cast<int>(args.size()));
    }
    win::FormAction action;
    if (args[1] == "set") {
        ExpectArguments(args, 4, 4, "form CLASS set CONTROL VALUE");
        action = {win::FormAction::Kind::Set, args[2], args[3]};
    } else if (args[1] == "click") {
        ExpectArguments(args, 3, 3, "form CLASS click CONTROL");
        action = {win::FormAction::Kind::Click, args[2], ""};
    } else if (args[1] == "dblclick") {
        ExpectArguments(args, 3, 3, "form CLASS dblclick CONTROL");
        action = {win::FormAction::Kind::DblClick, args[2], ""};
    } else if (args[1] == "resize") {
        ExpectArguments(args, 4, 4, "form CLASS resize WIDTH HEIGHT");
        const int64_t width = ParseNumber(args[2], 1, INT16_MAX, "the width", 2);
        const int64_t height = ParseNumber(args[3], 1, INT16_MAX, "the height", 3);
        action = {win::FormAction::Kind::Resize, "", std::to_string(width) + " " + std::to_string(height)};
    } else if (args[1] == "close") {
        ExpectArguments(args, 2, 2, "form CLASS close");
        action = {win::FormAction::Kind::Close, "", ""};
    } else if (args[1] == "print") {
        ExpectArguments(args, 2, 2, "form CLASS print");
        action = {win::FormAction::Kind::Print, "", ""};
    } else if (args[1] == "press") {
        ExpectArguments(args, 3, 3, "form CLASS press [Shift+][Ctrl+][Alt+]KEY");
        if (!win::ParseKeyStroke(args[2])) {
            throw ScriptError("unknown key " + args[2], 2);
        }
        action = {win::FormAction::Kind::Press, "", args[2]};
    } else if (args[1] == "type") {
        ExpectArguments(args, 3, 3, "form CLASS type \"TEXT\"");
        action = {win::FormAction::Kind::Type, "", args[2]};
    } else {
        throw ScriptError("unknown form action \"" + args[1] +
                              "\" (set, click, dblclick, resize, close, press, type or print; usage: " + usage + ")",
                          1);
    }
    const Location here =
        Here(action.kind == win::FormAction::Kind::Close || action.kind == win::FormAction::Kind::Print ? 1 : 2);
    action.origin = LocationText(here);
    m_origins[action.origin] = here;
    WarnOfLateFormLine(args[0], action.origin);
    win::QueueFormAction(args[0], std::move(action));
}

void ScriptRunner::NoteFormsShown() {
    for (const std::string& formClass : win::FormClassesShown()) {
        FormShown& shown = m_formsShown[Lower(formClass)];
        const size_t count = win::FormShowCount(formClass);
        if (count != shown.count) {
            shown = {formClass, m_lineNumber, count};
        }
    }
}

void ScriptRunner::WarnOfLateFormLine(const std::string& formClass, const std::string& origin) {
    // A form that showed during the last line that did more than queue and took no queued action
    // is likely the one this line was meant for. (One that took actions was given its lines
    // before its menu line: a form line after it is for the next form of its class.)
    const auto late = [this](const FormShown& shown) {
        return shown.line == m_lastActingLine && win::ActionsTakenSinceShown(shown.formClass) == 0;
    };
    auto it = m_formsShown.find(Lower(formClass));
    std::string misspelt;
    if (it == m_formsShown.end()) {
        // A misspelt class: the near names among the forms that showed so.
        std::vector<std::string> recent;
        for (const auto& [key, shown] : m_formsShown) {
            if (late(shown)) {
                recent.push_back(shown.formClass);
            }
        }
        const std::vector<std::string> nearest = Nearest(formClass, recent);
        if (nearest.empty()) {
            return;
        }
        it = m_formsShown.find(Lower(nearest.front()));
        misspelt = "no " + formClass + " form has shown (did you mean \"" + nearest.front() + "\"?); ";
    }
    const FormShown& shown = it->second;
    if (!late(shown)) {
        return;
    }
    const bool open = FormOpen(shown.formClass);
    const std::string what = "the " + shown.formClass + " form that line " + std::to_string(shown.line) +
                             " showed took no action and " +
                             (open ? "is open (an open form takes no action queued after it showed)" : "has closed");
    Warning(Here(0), misspelt + what + ": this action waits for the next " + formClass + " form that shows; " +
                         kFormLinesGoFirst);
    if (misspelt.empty()) {
        m_lateActions[origin] = "the " + shown.formClass + " form that line " + std::to_string(shown.line) +
                                " showed took no action and " + (open ? "was open" : "had closed") +
                                " when this line ran, and no " + shown.formClass + " form showed after it; " +
                                kFormLinesGoFirst;
    }
}

void ScriptRunner::QueueDialogAction(const std::vector<std::string>& args) {
    const std::string usage =
        "dialog RESOURCE set CONTROL VALUE | dialog RESOURCE click CONTROL | dialog RESOURCE close";
    if (args.size() < 2) {
        throw ScriptError("an argument is missing (usage: " + usage + ")", static_cast<int>(args.size()));
    }
    const auto resource = static_cast<int32_t>(ParseNumber(args[0], 1, INT32_MAX, "the resource number", 0));
    win::FormAction action;
    if (args[1] == "set") {
        ExpectArguments(args, 4, 4, "dialog RESOURCE set CONTROL VALUE");
        action = {win::FormAction::Kind::Set, args[2], args[3]};
    } else if (args[1] == "click") {
        ExpectArguments(args, 3, 3, "dialog RESOURCE click CONTROL");
        action = {win::FormAction::Kind::Click, args[2], ""};
    } else if (args[1] == "close") {
        ExpectArguments(args, 2, 2, "dialog RESOURCE close");
        action = {win::FormAction::Kind::Close, "", ""};
    } else {
        throw ScriptError("unknown dialog action \"" + args[1] + "\" (set, click or close; usage: " + usage + ")", 1);
    }
    const Location here = Here(action.kind == win::FormAction::Kind::Close ? 1 : 2);
    action.origin = LocationText(here);
    m_origins[action.origin] = here;
    // A host-run dialog takes the actions queued for "#RESOURCE".
    win::QueueFormAction("#" + std::to_string(resource), std::move(action));
}

void ScriptRunner::Select(const std::vector<std::string>& args) {
    const std::string usage = "select STAFF-STAFF MEASURE-MEASURE [POSITION-POSITION] | select none";
    if (args.size() == 1 && args[0] == "none") {
        m_host.SetSelection(std::nullopt);
        return;
    }
    ExpectArguments(args, 2, 3, usage);
    const host::NumberRange staves = ParseRange(args[0], "staves", 0);
    const host::NumberRange measures = ParseRange(args[1], "measures", 1);
    hostapi::SelectionRecord selection;
    selection.setFirstStaff(static_cast<hostapi::StaffSlot>(staves.first));
    selection.setLastStaff(static_cast<hostapi::StaffSlot>(staves.last));
    selection.setFirstMeasure(static_cast<hostapi::MeasureNumber>(measures.first));
    selection.setLastMeasure(static_cast<hostapi::MeasureNumber>(measures.last));
    selection.setEndEdu(INT32_MAX);  // to the end of the last measure
    if (args.size() == 3) {
        const size_t dash = args[2].find('-', 1);
        if (dash == std::string::npos) {
            throw ScriptError("not a range of positions: " + args[2] + " (START-END in EDU)", 2);
        }
        const auto start =
            static_cast<int32_t>(ParseNumber(args[2].substr(0, dash), 0, INT32_MAX, "the start position", 2));
        const auto end =
            static_cast<int32_t>(ParseNumber(args[2].substr(dash + 1), 0, INT32_MAX, "the end position", 2));
        // The start is a position in the first measure, the end one in the last; an end of 0 is
        // the end of the last measure in the host's region record.
        if (measures.first == measures.last && end != 0 && end < start) {
            throw ScriptError(
                "the positions " + args[2] + " end before they start in measure " + std::to_string(measures.first), 2);
        }
        selection.setStartEdu(start);
        selection.setEndEdu(end);
    }
    if (host::Document* front = m_host.FrontDocument()) {
        const hostapi::SelectionRecord whole = host::WholeDocumentRegion(*front);
        if (staves.last > whole.lastStaff()) {
            Warning(Here(0), "the document in front has " + std::to_string(whole.lastStaff()) +
                                 (whole.lastStaff() == 1 ? " staff" : " staves") + ", not " +
                                 std::to_string(staves.last));
        }
        if (measures.last > whole.lastMeasure()) {
            Warning(Here(1), "the document in front has " + std::to_string(whole.lastMeasure()) +
                                 (whole.lastMeasure() == 1 ? " measure" : " measures") + ", not " +
                                 std::to_string(measures.last));
        }
    } else {
        Warning(Here(), "no document is open to select in");
    }
    m_host.SetSelection(selection);
}

void ScriptRunner::DumpSelection() {
    const host::Document* front = m_host.FrontDocument();
    std::string heading = front == nullptr ? std::string("selection (no document is open)")
                                           : "selection of document " + std::to_string(m_host.FrontNumber()) + " \"" +
                                                 front->Name() + "\"";
    const auto& selection = m_host.Selection();
    if (!selection) {
        win::TranscriptWrite(heading + ": none");
        return;
    }
    // The region record's end of 0 (or 2147483647) is the end of its last measure.
    std::string text = host::RegionText(*selection) + ", from position " + std::to_string(selection->startEdu());
    text += selection->endEdu() == 0 || selection->endEdu() == INT32_MAX
                ? " to the end of measure " + std::to_string(selection->lastMeasure())
                : " to " + std::to_string(selection->endEdu()) + " EDU";
    win::TranscriptWrite(heading + ": " + text);
}

void ScriptRunner::DumpChanges() {
    const std::vector<std::string>& listing = m_host.LastChangeListing();
    if (listing.empty()) {
        win::TranscriptWrite("changes: the last command changed nothing");
        return;
    }
    for (const std::string& line : listing) {
        win::TranscriptWrite(line);
    }
}

}  // namespace hostsim
