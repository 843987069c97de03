// The script runner of hostsim: one command a line; '#' at the start of a line or of a word
// starts a comment ("#5", a row number, is a word). Commands are a small table of word patterns
// (see docs/script-language.md).
//
// Every failure is reported as "FILE:LINE:COLUMN: error: MESSAGE" with the line and a caret under
// the column, followed by notes at other places ("NOTE-FILE:LINE:COLUMN: note: ..."): the score
// text or document file that is damaged, the form line whose action failed. Warnings
// ("warning:") point at what is allowed but likely not meant. The script stops at the first
// error unless the runner keeps going.
#pragma once

#include <functional>
#include <istream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/host/host.h"

namespace hostsim {

/// How much of the transcript is printed.
enum class Verbosity {
    Quiet,    ///< only what the dump and print commands show
    Normal,   ///< the whole transcript
    Verbose,  ///< also every change in full after each command
};

/// A place in a file; line and column from 1 (0: the whole file).
struct Location {
    std::string file;
    size_t line = 0;
    size_t column = 0;
    std::string lineText;  ///< the text of the line, for the caret; empty when unknown
};

/// A script line that cannot be carried out.
class ScriptError : public std::runtime_error {
public:
    /// `argument` is the argument the error points at (from 0); -1 points at the command.
    /// `offset` moves the column further into the argument (a menu path's level).
    explicit ScriptError(const std::string& message, int argument = -1, size_t offset = 0)
        : std::runtime_error(message), m_argument(argument), m_offset(offset) {}
    int Argument() const { return m_argument; }
    size_t Offset() const { return m_offset; }

    /// A further place the error concerns (a damaged score text's line).
    struct Note {
        Location where;
        std::string text;
    };
    std::vector<Note> notes;

private:
    int m_argument = -1;
    size_t m_offset = 0;
};

/// A word of a script line and where it begins (from 1).
struct ScriptWord {
    std::string text;
    size_t column = 0;
    size_t end = 0;  ///< the column of its last character
    bool quoted = false;
};

/// Splits a line into words; "double quotes" keep blanks inside a word, \" and \\ escape. An
/// unquoted word beginning with '#' starts a comment to the end of the line, unless it is '#'
/// and digits (a row number). Throws ScriptError for an open quote.
std::vector<ScriptWord> SplitScriptLine(const std::string& line);
/// The texts of SplitScriptLine.
std::vector<std::string> SplitWords(const std::string& line);

class ScriptRunner {
public:
    struct Settings {
        std::string pluginFolder;  ///< used by "load plugins" without a folder
        bool keepGoing = false;    ///< after an error, go on with the next line
        Verbosity verbosity = Verbosity::Normal;
    };

    ScriptRunner(host::Host& host, Settings settings);

    /// Runs a script; answers false when a line failed. Errors and warnings go to `errors`,
    /// named by `scriptName` and the line and column.
    bool Run(std::istream& script, const std::string& scriptName, std::ostream& errors);
    /// The end of the user's session: errors for the form actions that no form took (at the
    /// lines that queued them), a warning for message box answers no message box took. Answers
    /// false when there was an error. (A test that shows forms itself after Run does not call it.)
    bool Finish(std::ostream& errors);
    bool QuitRequested() const { return m_quit; }
    size_t ErrorCount() const { return m_errors; }
    size_t WarningCount() const { return m_warnings; }
    /// Whether a transcript line written now is to be printed (quiet runs print only the output
    /// of the dump and print commands).
    bool Printing() const { return m_settings.verbosity != Verbosity::Quiet || m_showing; }

private:
    struct Command {
        std::vector<std::string> words;  ///< the fixed words that name the command
        std::string usage;
        std::function<void(const std::vector<std::string>& arguments)> run;
        bool shows = false;  ///< its output is what the user asked to see (printed in quiet runs)
    };

    void RunLine(const std::vector<ScriptWord>& words);
    /// The command table: the families below, in this order.
    std::vector<Command> MakeCommands();
    std::vector<Command> HostCommands();
    std::vector<Command> DocumentCommands();
    std::vector<Command> DumpCommands();
    std::vector<Command> FormCommands();
    std::vector<Command> ViewCommands();
    std::vector<Command> MenuCommands();
    std::vector<Command> InputCommands();
    std::vector<Command> ServiceCommands();
    /// `after step N LINE` (script_steps.cpp).
    std::vector<Command> StepCommands();
    /// The lines that ask Lumvar2000 (script_lumvar.cpp).
    std::vector<Command> LumvarCommands();
    /// The place of argument `argument` (-1: the command) of the line running now.
    Location Here(int argument = -1) const;
    void Report(const char* level, const Location& where, const std::string& message);
    void Error(const Location& where, const std::string& message, const std::vector<ScriptError::Note>& notes = {});
    void Warning(const Location& where, const std::string& message);
    /// Errors for the form actions that failed while the line ran.
    void ReportActionFailures();
    /// At the end: errors for the form actions no form took, a warning for unused answers.
    void ReportLeftovers();
    /// Notes the line at which forms of each class last showed (after every line).
    void NoteFormsShown();
    /// A warning for a form line that comes right after the line that showed a form of its class
    /// (only form, dialog and answer lines between) when that form took no queued action, or of a
    /// misspelt class whose near name showed so; notes what the end of the run says of the
    /// action (`origin`) when no form takes it.
    void WarnOfLateFormLine(const std::string& formClass, const std::string& origin);

    // Commands that need more than a few lines.
    void ChooseMenu(const std::string& path);
    void QueueFormAction(const std::vector<std::string>& args);
    /// `dialog RESOURCE ...`: an action for the next host-run dialog of that resource number.
    void QueueDialogAction(const std::vector<std::string>& args);
    void Select(const std::vector<std::string>& args);
    void DumpSelection();
    void DumpChanges();

    /// A line that waits for a step of a command of several steps (script_steps.cpp).
    struct StepLine {
        uint64_t step = 0;   ///< N: it runs once the host's count has gone up by more than N
        uint64_t start = 0;  ///< the host's count (Host::CommandSteps) when it was written
        Location where;      ///< its place: the line's text and the column of LINE
        std::vector<ScriptWord> words;
    };
    /// Lets time pass (a line's second, `wait`): in short turns while a line waits for a step, so
    /// that it runs right after that step.
    void PassTime(uint32_t milliseconds);
    /// Runs the lines whose step has come.
    void RunStepLines();
    /// At the end: a warning for each line whose step never came.
    void ReportStepLines();

    host::Host& m_host;
    Settings m_settings;
    std::vector<Command> m_commands;
    bool m_quit = false;
    bool m_showing = false;
    std::ostream* m_errorStream = nullptr;
    std::string m_scriptName;
    size_t m_lineNumber = 0;
    std::string m_lineText;
    std::vector<ScriptWord> m_words;  ///< the words of the line running now
    size_t m_commandWords = 0;        ///< how many of them name the command
    size_t m_errors = 0;
    size_t m_warnings = 0;
    std::map<std::string, Location> m_origins;  ///< the places of the queued form actions, by origin text
    /// A form class as it showed, the last line during which it showed and how often it had.
    struct FormShown {
        std::string formClass;
        size_t line = 0;
        size_t count = 0;
    };
    std::map<std::string, FormShown> m_formsShown;  ///< by the class in lower case
    size_t m_lastActingLine = 0;                    ///< the last line that did more than queue
    size_t m_stoppedAt = 0;                         ///< the line whose error stopped the script
    /// What the end of the run says of a form action queued by a line that came too late, by origin.
    std::map<std::string, std::string> m_lateActions;
    std::vector<Location> m_answerLines;  ///< the places of the queued message box answers
    std::vector<StepLine> m_stepLines;    ///< lines that wait for a step, in the order written
};

}  // namespace hostsim
