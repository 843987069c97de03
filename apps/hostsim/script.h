// The script runner of hostsim: one command a line, '#' starts a comment. Commands are a small
// table of word patterns (see docs/script-language.md).
#pragma once

#include <functional>
#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/host/host.h"

namespace hostsim {

/// A script line that cannot be carried out; the runner stops there.
class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Splits a line into words; "double quotes" keep blanks inside a word, \" and \\ escape.
std::vector<std::string> SplitWords(const std::string& line);

class ScriptRunner {
public:
    struct Settings {
        std::string pluginFolder;  ///< used by "load plugins" without a folder
    };

    ScriptRunner(host::Host& host, Settings settings);

    /// Runs a script; answers false after the first error, which is written to `errors` with
    /// the script's name and the line number.
    bool Run(std::istream& script, const std::string& scriptName, std::ostream& errors);
    bool QuitRequested() const { return m_quit; }

private:
    struct Command {
        std::vector<std::string> words;  ///< the fixed words that name the command
        std::string usage;
        std::function<void(const std::vector<std::string>& arguments)> run;
    };

    void RunLine(const std::vector<std::string>& words);
    std::vector<Command> MakeCommands();

    host::Host& m_host;
    Settings m_settings;
    std::vector<Command> m_commands;
    bool m_quit = false;
};

}  // namespace hostsim
