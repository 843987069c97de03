// The user's actions at a step of a command of several steps: `after step N LINE` keeps LINE until
// the host has gone on with such a command N times after its start, and runs it there, while the
// command waits for its next step (docs/script-language.md, "Commands of several steps").
//
// The host counts the moments at which such a command goes on (Host::CommandSteps): each call of
// a plug-in's command (the explosion's, distribution's and New Spacing's steps are the calls their
// timer asks the host for) and each File command (Open, Print, Close) typed by keys (the steps of a
// print run). The first count after the `after step` line is the command's start (step 0); step N
// is the N-th count after it. While a line waits for its step, time passes in turns of 10 ms, so
// that the line runs after the step's keys have reached the host and before the next step comes.
#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "apps/hostsim/script.h"
#include "apps/hostsim/script_arguments.h"
#include "platform/win/messages.h"
#include "platform/win/transcript.h"

namespace hostsim {
namespace {

/// The most steps a line may wait for.
constexpr int64_t kLastStep = 100'000;
/// The time that passes between two looks at the host's count while a line waits.
constexpr uint32_t kTurn = 10;

}  // namespace

std::vector<ScriptRunner::Command> ScriptRunner::StepCommands() {
    return {
        {{"after", "step"},
         "after step N LINE",
         [this](const std::vector<std::string>& args) {
             if (args.size() < 2) {
                 throw ScriptError("after step N LINE: a step and the line to run there", args.empty() ? 0 : 1);
             }
             StepLine line;
             line.step = static_cast<uint64_t>(ParseNumber(args[0], 0, kLastStep, "the step", 0));
             line.start = m_host.CommandSteps();
             line.where = Here(1);
             line.words.assign(m_words.begin() + static_cast<std::ptrdiff_t>(m_commandWords + 1), m_words.end());
             m_stepLines.push_back(std::move(line));
         }},
    };
}

void ScriptRunner::PassTime(uint32_t milliseconds) {
    if (m_stepLines.empty()) {
        win::Idle(milliseconds);
        return;
    }
    uint32_t passed = 0;
    do {
        const uint32_t turn = std::min(kTurn, milliseconds - passed);
        win::Idle(turn);
        passed += turn;
        RunStepLines();
    } while (passed < milliseconds && !m_stepLines.empty());
    if (passed < milliseconds) {
        win::Idle(milliseconds - passed);
    }
}

void ScriptRunner::RunStepLines() {
    for (;;) {
        const auto due = std::find_if(m_stepLines.begin(), m_stepLines.end(), [this](const StepLine& line) {
            return m_host.CommandSteps() - line.start > line.step;
        });
        if (due == m_stepLines.end()) {
            return;
        }
        const StepLine line = *due;
        m_stepLines.erase(due);
        // The line runs as the user's own, where it was written.
        const size_t lineNumber = std::exchange(m_lineNumber, line.where.line);
        const std::string lineText = std::exchange(m_lineText, line.where.lineText);
        const std::vector<ScriptWord> words = std::exchange(m_words, line.words);
        const size_t commandWords = std::exchange(m_commandWords, 0);
        const size_t first = line.words.front().column - 1;
        win::TranscriptWrite("> at step " + std::to_string(line.step) + ": " +
                             m_lineText.substr(first, line.words.back().end - first));
        try {
            RunLine(m_words);
        } catch (const ScriptError& e) {
            Location where = Here(e.Argument());
            where.column += e.Offset();
            Error(where, e.what(), e.notes);
        } catch (const std::exception& e) {
            Error(Here(), e.what());
        }
        // What the line posted (a menu choice, keys) reaches the host before the command goes on.
        win::RunMessageLoop();
        m_lineNumber = lineNumber;
        m_lineText = lineText;
        m_words = words;
        m_commandWords = commandWords;
    }
}

void ScriptRunner::ReportStepLines() {
    for (const StepLine& line : m_stepLines) {
        Warning(line.where, "no command of several steps reached step " + std::to_string(line.step) +
                                " after this line, so the line never ran");
    }
    m_stepLines.clear();
}

}  // namespace hostsim
