// The commands the benchmark runs: every one of Orvex188's 72 menu commands, each with the
// script lines (docs/script-language.md) that give it options under which it does real work on
// the whole generated score.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace bench {

/// In every script line of a command, "$S" and "$M" stand for the last staff and the last
/// measure of the score.
struct BenchCommand {
    std::string_view name;  ///< the row of the table
    std::string_view menu;  ///< the menu path hostsim chooses
    /// Script lines run before the menu choice and not timed: form actions and answers queued
    /// for the command, Shift held.
    std::vector<std::string_view> setup;
    /// What "select" is given first: staves and measures, "none", or empty for the whole score.
    std::string_view selection = {};
    /// Script lines after the menu choice that belong to the command's work and are timed (a
    /// command that drives the host by keys goes on while the host's message loop turns).
    std::vector<std::string_view> after = {};
};

/// The 72 commands in menu order.
const std::vector<BenchCommand>& BenchCommands();

}  // namespace bench
