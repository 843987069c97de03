#include "tests/tools/notes_fixture.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>

#include "core/dispatch.h"
#include "core/hooks.h"
#include "core/module.h"
#include "forms/dactopt.h"
#include "platform/win/clipboard.h"

namespace testsupport {

namespace {

/// The options dialog left open by the last run, when the form opened last is one.
orvex::TDActOpt* OpenDialog() {
    return orvex::TheModule.dispatch.ModelessFormList.empty()
               ? nullptr
               : dynamic_cast<orvex::TDActOpt*>(orvex::TheModule.dispatch.ModelessFormList.back());
}

}  // namespace

std::vector<std::string> NotesTest::ResultLines() {
    std::vector<std::string> lines;
    const orvex::TDActOpt* dialog = OpenDialog();
    if (dialog != nullptr && dialog->ListControl() != nullptr) {
        const auto& items = dialog->ListControl()->Items();
        for (int32_t i = 0; i < items.Count(); ++i) {
            lines.push_back(items[i]);
        }
    }
    return lines;
}

bool NotesTest::ClickOkInOpenDialog() {
    orvex::TDActOpt* dialog = OpenDialog();
    if (dialog == nullptr) {
        return false;
    }
    dialog->OKBtn->Click();
    return true;
}

std::vector<OrdinaryCase> OrdinaryCases(const std::string& file, const std::string& tool) {
    std::vector<OrdinaryCase> cases;
    std::istringstream in(FileText(std::filesystem::path(ORVEX_SOURCE_DIR) / file));
    bool expecting = false;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("case ")) {
            cases.push_back({line.substr(5), {}, {}});
            expecting = false;
        } else if (cases.empty() || line.empty() || line.starts_with("#")) {
            continue;
        } else if (line == "expect") {
            expecting = true;
        } else {
            (expecting ? cases.back().expected : cases.back().steps).push_back(line);
        }
    }
    std::erase_if(cases, [&](const OrdinaryCase& c) { return !c.name.starts_with(tool + ":"); });
    return cases;
}

// The steps: "score LINE" adds a line to the score; "select STAVES MEASURES [START-END]" selects
// (numbers as hostsim takes them); "set CAPTION VALUE" sets an option of the dialog (the caption
// in quotes when it holds blanks), "click CONTROL" clicks one (the "More..." page: SubMask1,
// OKBtn); "run CODE" runs a command through its dialog with Go (and on through the later steps
// of one that takes several), "shift CODE" with Shift held on its stored options, "invoke CODE"
// one that has no dialog (or that opens the form named by "form CLASS", which takes the "set"
// and "click" before it), "again" runs the dialog left open once more (its OK), "key CODE" one
// launched by a key; "results" adds the lines of the dialog's result list to the result, "output
// NAME" those of the file the command wrote ("output clipboard" the text on the clipboard); "file
// LINE" adds a line to a file that "set" names as FILE.
TEST_P(OrdinaryMusicTest, ChangesWhatTheMusicAsks) {
    using Lines = std::vector<std::string>;
    using Actions = std::vector<win::FormAction>;
    const OrdinaryCase& c = GetParam();
    std::string score = FileText(std::filesystem::path(ORVEX_SOURCE_DIR) / "tests/tools/ordinary.score");
    std::vector<win::FormAction> actions;
    std::string form = "TDActOpt";
    for (const std::string& step : c.steps) {
        if (step.starts_with("score ")) {
            score += step.substr(6) + "\n";
        }
    }
    StartHost(score);
    for (const std::string& step : c.steps) {
        std::istringstream words(step);
        std::string verb;
        words >> verb;
        if (verb == "select") {
            // "N" or "N-M" each: staves, measures, and the positions (from the start to the end).
            std::array<int32_t, 6> n = {0, 0, 0, 0, 0, INT32_MAX};
            std::string range;
            for (size_t i = 0; i < n.size() && words >> range; i += 2) {
                n[i] = std::stoi(range);
                n[i + 1] = range.find('-') == std::string::npos ? n[i] : std::stoi(range.substr(range.find('-') + 1));
            }
            Select(static_cast<int16_t>(n[0]), static_cast<int16_t>(n[1]), static_cast<int16_t>(n[2]),
                   static_cast<int16_t>(n[3]));
            hostapi::SelectionRecord selection = *m_host->Selection();
            selection.setStartEdu(n[4]);
            selection.setEndEdu(n[5]);
            m_host->SetSelection(selection);
        } else if (verb == "form") {
            words >> form;
        } else if (verb == "file") {
            std::ofstream(TempFolder() / "file.txt", std::ios::app | std::ios::binary) << step.substr(5) << "\r\n";
        } else if (verb == "set" || verb == "click") {
            std::string caption, value;
            words >> std::quoted(caption) >> std::ws;
            std::getline(words, value);
            value = value == "FILE" ? (TempFolder() / "file.txt").string() : value;
            actions.push_back(
                {verb == "set" ? win::FormAction::Kind::Set : win::FormAction::Kind::Click, caption, value});
        } else if (verb == "run" || verb == "shift" || verb == "invoke" || verb == "again" || verb == "key") {
            int32_t code = 0;
            words >> code;
            m_host->TrackChanges([&] {
                for (const win::FormAction& action : verb == "run" || verb == "invoke" ? actions : Actions{}) {
                    win::QueueFormAction(form, action);
                }
                if (verb == "key") {
                    orvex::LaunchCommandByKey(code);  // the host's next call runs it
                }
                verb == "run"     ? RunTool(code)
                : verb == "shift" ? RunWithShift(code)
                : verb == "again" ? static_cast<int16_t>(ClickOkInOpenDialog())
                : verb == "key"   ? Invoke(0)
                                  : Invoke(static_cast<int16_t>(orvex::FindCommandIndex(code)));
                FinishWaitingRun();
            });
            actions.clear();
        }
    }
    std::vector<std::string> result = m_host->LastChangeListing();
    for (const std::string& text : Messages()) {
        result.push_back("message: " + text);
    }
    for (const std::string& text : std::ranges::count(c.steps, "results") != 0 ? ResultLines() : Lines{}) {
        result.push_back("result: " + text);
    }
    for (const std::string& step : c.steps) {
        std::istringstream text(step == "output clipboard"    ? win::ClipboardText().value_or("")
                                : step.starts_with("output ") ? FileText(TempFolder() / step.substr(7))
                                                              : "");
        for (std::string line; std::getline(text, line);) {
            result.push_back("file: " + line.substr(0, line.find_last_not_of('\r') + 1));
        }
    }
    for (const win::FormActionFailure& failure : win::TakeFormActionFailures()) {
        result.push_back("form action failed: " + win::FormActionText(failure.action) + ": " + failure.reason);
    }
    ExpectLines(c.expected, result);
    if (HasFailure()) {
        std::ostringstream whole;
        std::ranges::for_each(result, [&](const std::string& line) { whole << line << "\n"; });
        ADD_FAILURE() << "the whole result:\n" << whole.str();
    }
}
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(OrdinaryMusicTest);

}  // namespace testsupport
