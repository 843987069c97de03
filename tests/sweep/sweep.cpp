// The command sweep: every command of the command table, with Shift (its stored options) and
// through its options dialog with Go, on every host year and language, over every kind of
// document (sweep_documents.h), with a selection of the whole document and without, with the
// progress display running and stopped by the user at step 1. Each run starts a fresh simulated
// host with both plug-ins in this process and checks that it
//   - ends (a time limit per run) without a crash or a sanitizer report,
//   - leaves no entry array lent, no command running and no form that does not close,
//   - tells the host of a change exactly when the document changed: a command that goes on in
//     later steps (an explosion, a print run, New Spacing's second pass) is followed to its end
//     as the host drives it, and what the host was told over all its calls counts (a plug-in
//     call's answer, the host's own edits the command drove),
//   - leaves a document that saves and reads back losslessly,
//   - brings its document no problem that the document check finds (document_check.h): no
//     record naming what is gone, no layer that added up and no longer does, no record cut short.
//   - leaves steps in the document's undo history that tell the truth (sweep_undo.h): each named
//     after the command, one step for a command of one call, undoing them all gives the document
//     exactly as before the command and redoing them exactly as after it.
// The commands that go on over several host calls (the part explosion and distribution, New
// Spacing, a print run) run once more for each way a user leaves the scripted path, at each of
// their steps: Cancel, Close or a click on their dialog, another document brought to the front,
// their document closed, a menu of the host opened (and closed by Escape a while later), another
// program brought to the front (and the host again a while later), Undo chosen. Another command
// follows on another document, then the user returns to the run's document. Such a run must
// leave the other document as it was, and its own either finished or as the steps done so far:
// the undo history takes it back to its start. An open menu and another program in front only
// hold the run back: it takes no step while they do, and ends as it ends without them. After
// Undo the run takes no further step.
// Runs go in child processes, so that a crash is reported with its run and the sweep goes on.
//
//   sweep [--sample N] [--jobs J] [--filter TEXT]... [--skip TEXT]... [--time-limit SECONDS] [--no-untold] [--list]
//         [--transcript] [--results FILE | --record FILE]
//     --sample N   every N-th run of the matrix (spread over all its dimensions); 1 = all
//     --filter     only the runs whose name holds TEXT (each TEXT, when given more than once)
//     --skip       not the runs whose name holds TEXT
//     --no-untold  a run that changed the document and told the host it did not is no finding
//     --transcript runs the chosen runs one after the other in this process and prints each
//                  one's transcript and findings (to look into a finding)
//     --results F  each run's result (its document as saved and what the user saw, as a digest)
//                  must be the one file F records for it: a run whose result changed is a finding
//     --record F   writes the chosen runs' results to F (after a change whose results were read)
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/commands.h"
#include "core/dispatch.h"
#include "core/module.h"
#include "forms/action_control_table.h"
#include "forms/dactopt.h"
#include "forms/printfiles.h"
#include "platform/host/document_check.h"
#include "platform/host/document_commands.h"
#include "platform/host/main_window_keys.h"
#include "platform/host/mus_file.h"
#include "platform/host/score_text.h"
#include "platform/host/undo_journal.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/messages.h"
#include "platform/win/transcript.h"
#include "platform/win/ui_driver.h"
#include "platform/win/windows.h"
#include "tests/harness/in_process_host.h"
#include "tests/sweep/sweep_documents.h"
#include "tests/sweep/sweep_results.h"
#include "tests/sweep/sweep_undo.h"

namespace {

struct Year {
    int32_t year;
    int32_t rawVersion;
};
constexpr Year kYears[] = {
    {1997, 0x03000000}, {1998, 0x04000000}, {2000, 0x05000005}, {2001, 0x06000200}, {2002, 0x07000000}};
constexpr host::Language kLanguages[] = {host::Language::English, host::Language::German, host::Language::Italian};

/// What the user does while a multi-step command waits for a step.
enum class Interruption {
    None,
    Cancel,
    Close,
    ClickDialog,
    OtherDocument,
    CloseDocument,
    OpenMenu,
    OtherProgram,
    Undo
};
constexpr Interruption kInterruptions[] = {
    Interruption::Cancel,        Interruption::Close,    Interruption::ClickDialog,  Interruption::OtherDocument,
    Interruption::CloseDocument, Interruption::OpenMenu, Interruption::OtherProgram, Interruption::Undo};
constexpr const char* kInterruptionNames[] = {
    "", "cancel", "close", "click-dialog", "other-document", "close-document", "open-menu", "other-program", "undo"};
/// The steps at which the runs are interrupted: 0 (keys of the first step still on their way)
/// to this many steps after the first.
constexpr int32_t kInterruptedSteps = 24;
/// The commands that go on over several host calls.
constexpr int32_t kMultiStepCodes[] = {127, 135, 120, orvex::CODE_PRINT_MULTIPLE_FILES};

struct Run {
    size_t index = 0;
    int32_t code = 0;
    bool shift = false;
    Year year{};
    host::Language language{};
    size_t document = 0;
    bool selection = false;
    bool stop = false;
    Interruption interruption = Interruption::None;
    int32_t step = 0;
    bool flipped = false;  ///< through the dialog with every check box and radio group turned from its default
};

struct Matrix {
    std::vector<int32_t> codes;
    std::vector<sweep::DocumentKind> documents;
    std::vector<bool> selectable;  ///< by document: it has a staff and a measure to select
    std::vector<Run> runs;
};

std::string CommandName(int32_t code) {
    for (const orvex::CommandEntry& entry : orvex::kCommandTableData) {
        if (entry.code == code && entry.englishText != nullptr) {
            return entry.englishText;
        }
    }
    const std::string_view name = orvex::ToolName(code % 100, code / 100);
    return name.empty() ? "?" : std::string(name);
}

std::string RunName(const Matrix& matrix, const Run& run) {
    std::string name = std::to_string(run.code) + " \"" + CommandName(run.code) + "\" " +
                       (run.shift     ? "shift"
                        : run.flipped ? "flipped"
                                      : "dialog") +
                       " " + std::to_string(run.year.year) + " " + std::string(host::LanguageCode(run.language)) + " " +
                       matrix.documents[run.document].name;
    name += run.selection ? " selection" : " no-selection";
    name += run.stop ? " stop-at-1" : "";
    if (run.interruption != Interruption::None) {
        name += std::string(" ") + kInterruptionNames[static_cast<size_t>(run.interruption)] + "-at-step-" +
                std::to_string(run.step);
    }
    return name;
}

/// The multi-step commands once more for every interruption at every step, on every document
/// that has something to select (selected whole), in English and German on host year 2000.
/// Cancel, Close and the click need the dialog; the others are tried with Shift too.
void AddInterruptedRuns(Matrix& matrix) {
    constexpr Year year{2000, 0x05000005};
    for (size_t document = 0; document < matrix.documents.size(); ++document) {
        if (!matrix.selectable[document]) {
            continue;
        }
        for (const host::Language language : {host::Language::English, host::Language::German}) {
            for (const int32_t code : kMultiStepCodes) {
                for (const Interruption interruption : kInterruptions) {
                    const bool onDialog = interruption == Interruption::Cancel || interruption == Interruption::Close ||
                                          interruption == Interruption::ClickDialog;
                    for (const bool shift : {false, true}) {
                        if (shift && (onDialog || code == orvex::CODE_PRINT_MULTIPLE_FILES)) {
                            continue;
                        }
                        for (int32_t step = 0; step <= kInterruptedSteps; ++step) {
                            matrix.runs.push_back(Run{matrix.runs.size(), code, shift, year, language, document, true,
                                                      false, interruption, step});
                        }
                    }
                }
            }
        }
    }
}

Matrix MakeMatrix() {
    Matrix matrix;
    for (const orvex::CommandEntry& entry : orvex::kCommandTableData) {
        if (entry.code != 0) {
            matrix.codes.push_back(entry.code);
        }
    }
    matrix.documents = sweep::DocumentKinds(ORVEX_SOURCE_DIR);
    for (const sweep::DocumentKind& kind : matrix.documents) {
        bool selectable = false;
        if (kind.text) {
            try {
                const auto document = host::ParseScoreText(*kind.text, kind.name);
                selectable = !document->Cells().empty() || document->Records().Find(host::RecordKey::Other(
                                                               hostapi::MakeTag("SOMS"), 1, 0)) != nullptr;
            } catch (const host::ScoreTextError&) {
                selectable = false;  // reported by its runs
            }
        }
        matrix.selectable.push_back(selectable);
    }
    for (size_t document = 0; document < matrix.documents.size(); ++document) {
        for (const Year& year : kYears) {
            for (const host::Language language : kLanguages) {
                for (const bool selection : {false, true}) {
                    if (selection && !matrix.selectable[document]) {
                        continue;
                    }
                    for (const bool stop : {false, true}) {
                        for (const bool shift : {true, false}) {
                            for (const int32_t code : matrix.codes) {
                                Run run{matrix.runs.size(), code, shift, year, language, document, selection, stop};
                                matrix.runs.push_back(run);
                            }
                        }
                    }
                }
            }
        }
    }
    AddInterruptedRuns(matrix);
    // Every command once more through its dialog with each of its options turned the other way,
    // on the host year 2000 in English, over every document with music, selected whole: the
    // branches a default leaves untaken.
    for (size_t document = 0; document < matrix.documents.size(); ++document) {
        for (const int32_t code : matrix.selectable[document] ? matrix.codes : std::vector<int32_t>{}) {
            matrix.runs.push_back(Run{matrix.runs.size(), code, false, kYears[2], host::Language::English, document,
                                      true, false, Interruption::None, 0, true});
        }
    }
    return matrix;
}

/// Whether a change the host was not told of is a finding (on unless --no-untold): the host
/// would let the user close the document without saving it.
bool g_untold = true;

/// The folder of document files that "Print Multiple Files" run through its dialog prints, so
/// that its print run (driven by the timer and the host's keys) goes through the sweep as well.
std::string g_printFolder;
constexpr const char* kPrintedFiles[] = {"First.MUS", "Second.MUS"};

/// Writes the documents the print runs print into the sweep's folder.
void WritePrintedFiles(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    const auto document = host::ParseScoreText(sweep::ChoraleScore(), "chorale");
    for (const char* name : kPrintedFiles) {
        host::WriteMusFile(*document, folder / name);
    }
    g_printFolder = folder.string();
}

/// What a run did, counted for the sweep's summary: the checks above are only as good as the
/// runs that give them something to check.
struct RunFacts {
    bool changed = false;                 ///< the document the run began on changed
    bool stepped = false;                 ///< the command went on in later host calls, timer ticks or idle time
    std::vector<std::string> transcript;  ///< what the user saw (kept for --transcript)
    std::string finalText;                ///< the document the run began on at its end (host::MusText)
};

/// The sweep's own folder, named in the transcript of a run that shows or writes files: left out
/// of the results' digests.
std::filesystem::path g_workFolder;

/// Queues for the command's options dialog a click on each check box, which turns it from its
/// default, and the next item of each radio group.
void FlipOptions(int32_t code) {
    const orvex::ActionItemRows& rows = orvex::kActionControlTableData[static_cast<size_t>(code % 100)];
    for (size_t row = 0; row < rows.size() && rows[row].englishCaption != nullptr; ++row) {
        const orvex::ActionControlRow& option = rows[row];
        std::string value;
        if (option.IsCheckBox()) {
            value = option.value1 != 0 ? "unchecked" : "checked";
        } else if (orvex::IsRadioMarker(option.minimum) && option.maximum > 1) {
            value = std::to_string((option.value1 + 1) % option.maximum);
        } else {
            continue;
        }
        win::QueueFormAction("TDActOpt",
                             win::FormAction{win::FormAction::Kind::Set, "Row" + std::to_string(row), value});
    }
}

/// The document another command runs on while a multi-step command waits.
constexpr const char* kOtherScore = "staff \"Flute\"\nmeasures 2\nnotes 1 1 c5/1\nnotes 1 2 d5/1\n";

/// The open form of the run's dialog (the options dialog, or the print form), or none.
vcl::TForm* RunDialog() {
    for (vcl::TForm* form : orvex::TheModule.dispatch.ModelessFormList) {
        if (form->Visible() && (dynamic_cast<orvex::TDActOpt*>(form) != nullptr ||
                                dynamic_cast<orvex::TPrintMultipleFiles*>(form) != nullptr)) {
            return form;
        }
    }
    return nullptr;
}

/// The number of an open document, 0 when it is not open.
int32_t NumberOf(host::Host& host, const host::Document* document) {
    for (int32_t number = 1; number <= host.DocumentCount(); ++number) {
        if (&host.DocumentAt(number) == document) {
            return number;
        }
    }
    return 0;
}

/// The user presses a key (as `press` does) and the host's message loop takes it.
void PressKey(uint16_t key, bool alt) {
    win::QueueUserKey(key, false, false, alt);
    win::RunMessageLoop();
}

/// A while passes with the host in front (and a menu of it open, when one is): the command must
/// not go on (its keys would choose in the menu). Findings when it did.
void WaitWhileHeld(const char* what, std::vector<std::string>& findings) {
    const uint32_t steps = orvex::RunStepsTaken();
    for (int32_t turn = 0; turn < 20; ++turn) {
        win::Idle(100);
    }
    if (orvex::RunStepsTaken() != steps) {
        findings.push_back(std::string("the command went on while ") + what);
    }
}

/// What the user does while the command waits; the mouse lands on the dialog first.
void Interrupt(harness::InProcessHost& sim, Interruption interruption, const host::Document*& other,
               std::vector<std::string>& findings) {
    vcl::TForm* dialog = RunDialog();
    if (dialog != nullptr && (interruption == Interruption::Cancel || interruption == Interruption::Close ||
                              interruption == Interruption::ClickDialog)) {
        win::SetForegroundWindow(dialog->Handle());
    }
    auto* options = dynamic_cast<orvex::TDActOpt*>(dialog);
    auto* print = dynamic_cast<orvex::TPrintMultipleFiles*>(dialog);
    switch (interruption) {
        case Interruption::Cancel:
            if (options != nullptr) {
                options->CancelBtn->Click();
            } else if (print != nullptr) {
                print->CancelButton->Click();
            }
            break;
        case Interruption::Close:
            if (dialog != nullptr) {
                dialog->Close();
            }
            break;
        case Interruption::ClickDialog:
            if (options != nullptr) {
                options->cbAutoClose->Click();
            }
            break;
        case Interruption::OtherDocument:
            other = &sim.Host().AddDocument(host::ParseScoreText(kOtherScore, "other"));
            break;
        case Interruption::CloseDocument:
            host::CloseFrontDocument(sim.Host());
            break;
        case Interruption::OpenMenu: {
            // The File menu opens by its letter and stays open a while, then Escape closes it.
            const std::string letter =
                host::FileMenuAcceleratorsOf(sim.Host().CurrentLanguage(), sim.Host().Year()).file;
            PressKey(static_cast<uint16_t>(std::toupper(static_cast<unsigned char>(letter[0]))), true);
            WaitWhileHeld("a menu of the host was open", findings);
            PressKey(win::VK_ESCAPE, false);
            break;
        }
        case Interruption::OtherProgram:
            win::SwitchToAnotherProgram();
            WaitWhileHeld("another program was in front", findings);
            break;
        case Interruption::Undo:
            win::PostMessage(sim.Host().MainWindow(), win::WM_COMMAND, host::kUndoCommand);
            win::RunMessageLoop();
            break;
        case Interruption::None:
            break;
    }
}

/// After an interruption: another command on another document, then the user goes back to the
/// run's document (when it is still open). Findings when the other document changed.
void AnotherCommandElsewhere(harness::InProcessHost& sim, const host::Document* own, const host::Document* other,
                             std::vector<std::string>& findings) {
    host::Host& theHost = sim.Host();
    if (other == nullptr) {
        other = &theHost.AddDocument(host::ParseScoreText(kOtherScore, "other"));
    } else {
        theHost.BringToFront(NumberOf(theHost, other));
    }
    const std::string before = host::MusText(*other);
    sim.Invoke(orvex::CODE_ABOUT, false);
    if (const int32_t number = NumberOf(theHost, own); number != 0) {
        theHost.BringToFront(number);
    }
    sim.FinishRunningCommands();
    if (NumberOf(theHost, other) == 0) {
        findings.push_back("the other document was closed");
    } else if (host::MusText(*other) != before) {
        findings.push_back("the other document changed");
    }
}

/// The document check (platform/host/document_check.h): each problem the run's document has
/// that it did not have before the run (a record naming what is gone, a layer that added up and
/// no longer does, a record cut short), one finding each.
std::vector<std::string> DocumentCheckFindings(const std::string& textBefore, const host::Document& after) {
    std::vector<std::string> findings;
    if (textBefore.empty()) {
        return findings;
    }
    const auto before = host::ParseMusText(textBefore, "before");
    for (const host::DocumentProblem& problem : host::NewProblems(*before, after)) {
        findings.push_back("the document check finds: " + problem.Line());
    }
    return findings;
}

using sweep::UndoSteps;

/// Whether the undo history takes the document back to `original` by the steps added since it
/// held `stepsBefore` (a history that is full cannot tell which steps are the run's: not
/// checked).
bool UndoesToTheStart(host::Host& theHost, host::Document& document, size_t stepsBefore, const std::string& original) {
    theHost.BringToFront(NumberOf(theHost, &document));
    const size_t steps = UndoSteps(document);
    if (steps >= host::kMaxUndoSteps) {
        return true;
    }
    for (size_t i = stepsBefore; i < steps; ++i) {
        document.Undo();
    }
    // An Undo the user chose before the run's first change took back a step from before the run.
    for (size_t i = steps; i < stepsBefore; ++i) {
        document.Redo();
    }
    return host::MusText(document) == original;
}

/// Whether the interruption only holds the command back: it must end as it ends without one.
bool OnlyHolds(Interruption interruption) {
    return interruption == Interruption::OpenMenu || interruption == Interruption::OtherProgram;
}

/// The name the host gives the steps of a command chosen from the menu: its menu entry.
std::string EntryName(host::Host& theHost, int32_t code) {
    for (size_t plugin = 0; plugin < theHost.Plugins().size(); ++plugin) {
        if (theHost.Plugins()[plugin].fileName == "Orvex188.fxt") {
            return theHost.EntryText(plugin, static_cast<int16_t>(orvex::FindCommandIndex(code)));
        }
    }
    return {};
}

/// What one run found; empty when it passed.
std::vector<std::string> CarryOut(const Matrix& matrix, const Run& run, RunFacts& facts) {
    std::vector<std::string> findings;
    std::optional<std::string> uninterrupted;
    if (OnlyHolds(run.interruption)) {
        Run plain = run;
        plain.interruption = Interruption::None;
        RunFacts plainFacts;
        CarryOut(matrix, plain, plainFacts);
        uninterrupted = plainFacts.finalText;
    }
    const sweep::DocumentKind& kind = matrix.documents[run.document];
    std::optional<harness::InProcessHost> host;
    try {
        host.emplace(kind.text, harness::HostSettings{run.year.rawVersion, run.language});
    } catch (const std::exception& e) {
        return {std::string("the host does not start: ") + e.what()};
    }
    if (kind.damage && host->Document() != nullptr) {
        kind.damage(*host->Document());
    }
    if (run.selection) {
        host->SelectAll();
    }
    // The user takes a moment after the host started: the plug-in's timer builds its menu, whose
    // entries name the steps of the undo history.
    win::Idle(500);
    if (run.stop) {
        host::StopProgressAt(host->Host(), 1);
    }
    host::Host& theHost = host->Host();
    host::Document* before = host->Document();
    // Known by its identity, never given again: a document opened after it was closed may take
    // its place in memory.
    const int32_t identityBefore = before != nullptr ? theHost.DocumentIdentity(NumberOf(theHost, before)) : 0;
    const std::string textBefore = before != nullptr ? host::MusText(*before) : "";
    const size_t undoStepsBefore = before != nullptr ? UndoSteps(*before) : 0;
    const uint64_t answersBefore = theHost.ChangeAnswerCount();
    const uint64_t editsBefore = theHost.HostEditCount();
    if (run.flipped) {
        FlipOptions(run.code);
    }
    if (!run.shift) {
        win::QueueFormAction("TDActOpt", win::FormAction{win::FormAction::Kind::Click, "Go", ""});
    }
    if (!run.shift && run.code == orvex::CODE_PRINT_MULTIPLE_FILES) {
        const auto action = [](win::FormAction::Kind what, const std::string& control, const std::string& value) {
            win::QueueFormAction("TPrintMultipleFiles", win::FormAction{what, control, value});
        };
        action(win::FormAction::Kind::Set, "edPath", g_printFolder);
        for (const char* name : kPrintedFiles) {
            action(win::FormAction::Kind::Set, "ListBox", std::string("+") + name);
        }
        action(win::FormAction::Kind::Click, "OkButton", "");
    }
    try {
        host->Invoke(run.code, run.shift);
        if (run.interruption != Interruption::None) {
            const host::Document* other = nullptr;
            std::optional<uint32_t> stepsAtUndo;
            if (run.step == 0 || host->RunUntilStep(static_cast<uint32_t>(run.step))) {
                Interrupt(*host, run.interruption, other, findings);
                if (run.interruption == Interruption::Undo && run.code != orvex::CODE_PRINT_MULTIPLE_FILES) {
                    stepsAtUndo = orvex::RunStepsTaken();
                }
            }
            AnotherCommandElsewhere(*host, before, other, findings);
            if (stepsAtUndo && orvex::RunStepsTaken() != *stepsAtUndo) {
                findings.push_back("the command went on over the document the user had undone");
            }
        }
        // A multi-step command (an explosion, a print run, New Spacing's second pass) goes on in
        // the host's later calls, timer ticks and idle time: the run is followed to its end, and
        // what the host was told over all of them is what it knows.
        facts.stepped = host->FinishRunningCommands() || run.interruption != Interruption::None;
    } catch (const std::exception& e) {
        findings.push_back(std::string("an exception reached the host: ") + e.what());
    }
    for (const std::string& left : host->Leftovers()) {
        findings.push_back("left " + left);
    }
    facts.transcript = win::TranscriptLines();
    for (const std::string& line : facts.transcript) {
        // Also each host call of the run that changed a document and answered that it did not.
        if (line.find("did not release") != std::string::npos || line.find("left open") != std::string::npos ||
            line.find("left running") != std::string::npos ||
            line.find("answered that it did not change the document") != std::string::npos) {
            findings.push_back("the host says: " + line);
        }
    }
    // The document the run began on, when it is still open (a command may open others).
    host::Document* after = nullptr;
    for (int32_t number = 1; number <= theHost.DocumentCount(); ++number) {
        if (identityBefore != 0 && theHost.DocumentIdentity(number) == identityBefore) {
            after = before;
        }
    }
    if (before != nullptr && after == nullptr && run.interruption != Interruption::CloseDocument) {
        findings.push_back("the document the command ran on was closed");
    }
    const std::string textAfter = after != nullptr ? host::MusText(*after) : "";
    const bool changed = after != nullptr && textAfter != textBefore;
    facts.changed = changed;
    const bool answered = theHost.ChangeAnswerCount() != answersBefore;
    const bool told = answered || theHost.HostEditCount() != editsBefore;
    // (A document the user undid may be as it was although the command changed it.)
    if (answered && !changed && after != nullptr && run.interruption != Interruption::Undo) {
        findings.push_back("told the host the document changed, but it did not");
    } else if (g_untold && changed && !told) {
        findings.push_back("changed the document without telling the host");
    }
    if (after != nullptr) {
        try {
            const auto reread = host::ParseMusText(textAfter, "reread");
            if (!reread->SameContent(*after) || host::MusText(*reread) != textAfter) {
                findings.push_back("the document does not read back as it was saved");
            }
        } catch (const host::DocumentFileError& e) {
            findings.push_back(std::string("the saved document cannot be read: ") + e.what());
        }
        for (std::string& finding : DocumentCheckFindings(textBefore, *after)) {
            // "Remove hidden rests" of Remove deletes the hidden rests that filled out a layer,
            // which then ends short as the user asked.
            if (!(run.flipped && run.code == 101 && finding.find("does not add up") != std::string::npos)) {
                findings.push_back(std::move(finding));
            }
        }
    }
    facts.finalText = textAfter;
    if (uninterrupted && after != nullptr && textAfter != *uninterrupted) {
        findings.push_back("the command did not end as it ends when nothing holds it back");
    }
    if (run.interruption == Interruption::None && after != nullptr) {
        const sweep::CommandUndo command{EntryName(theHost, run.code), undoStepsBefore, textBefore, textAfter,
                                         !facts.stepped};
        for (const std::string& finding : sweep::CheckUndoSteps(*after, command)) {
            findings.push_back(finding);
        }
    } else if (run.interruption != Interruption::None && after != nullptr &&
               !UndoesToTheStart(theHost, *after, undoStepsBefore, textBefore)) {
        findings.push_back("the undo history does not take the document back to its start");
    }
    return findings;
}

// ---- Running the runs in child processes ----

int g_timeLimit = 120;

void OnAlarm(int) {
    static const char kText[] = "T\n";
    // The parent reads the hang from the run it last began.
    (void)!::write(STDOUT_FILENO, kText, sizeof kText - 1);
    ::_exit(3);
}

/// A child's work: the runs from `first` on, with a line per run on the pipe: "B index" before,
/// "F index finding" per finding, "E index CHANGED STEPPED DIGEST" after (RunFacts: 0 or 1 each,
/// and the result's digest).
[[noreturn]] void Child(const Matrix& matrix, const std::vector<size_t>& indexes, size_t first, int pipe) {
    ::dup2(pipe, STDOUT_FILENO);
    ::signal(SIGALRM, OnAlarm);
    win::SetTranscriptListener({});
    for (size_t i = first; i < indexes.size(); ++i) {
        const Run& run = matrix.runs[indexes[i]];
        std::printf("B %zu\n", i);
        std::fflush(stdout);
        ::alarm(static_cast<unsigned>(g_timeLimit));
        RunFacts facts;
        for (const std::string& finding : CarryOut(matrix, run, facts)) {
            std::string oneLine = finding;
            std::replace(oneLine.begin(), oneLine.end(), '\n', ' ');
            std::printf("F %zu %s\n", i, oneLine.c_str());
        }
        ::alarm(0);
        std::printf("E %zu %d %d %s\n", i, facts.changed ? 1 : 0, facts.stepped ? 1 : 0,
                    sweep::ResultDigest(facts.finalText, facts.transcript, g_workFolder).c_str());
        std::fflush(stdout);
    }
    std::fflush(stdout);
    ::_exit(0);
}

struct Worker {
    pid_t pid = -1;
    int out = -1;
    std::vector<size_t> indexes;  ///< runs of the matrix, in order
    size_t next = 0;              ///< the first run not yet begun by a child
    std::optional<size_t> begun;  ///< the run the child is in
    std::string buffer;
    std::string errFile;
};

/// The first line of a sanitizer's or the system's report in a child's standard error.
std::string CrashLine(const std::string& errFile) {
    FILE* file = std::fopen(errFile.c_str(), "r");
    if (file == nullptr) {
        return "";
    }
    std::string found;
    char line[4096];
    while (std::fgets(line, sizeof line, file) != nullptr) {
        const std::string text(line);
        if (text.find("ERROR: AddressSanitizer") != std::string::npos ||
            text.find("runtime error:") != std::string::npos ||
            text.find("ERROR: LeakSanitizer") != std::string::npos ||
            text.find("terminate called") != std::string::npos || text.find("SUMMARY:") != std::string::npos) {
            found = text.substr(0, text.find_last_not_of("\n") + 1);
            break;
        }
    }
    std::fclose(file);
    return found;
}

void Start(const Matrix& matrix, Worker& worker) {
    int fds[2];
    if (::pipe(fds) != 0) {
        std::perror("sweep: pipe");
        std::exit(2);
    }
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const int err = ::open(worker.errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(err, STDERR_FILENO);
        Child(matrix, worker.indexes, worker.next, fds[1]);
    }
    ::close(fds[1]);
    worker.pid = pid;
    worker.out = fds[0];
    worker.begun.reset();
    worker.buffer.clear();
}

/// Prints each finding with its runs grouped by command (how many, and the first); answers how
/// many runs found something.
size_t PrintFindings(const std::map<std::string, std::vector<std::string>>& findings) {
    size_t count = 0;
    for (const auto& [finding, runs] : findings) {
        count += runs.size();
        std::cout << "FINDING (" << runs.size() << " runs): " << finding << "\n";
        // By command: how many runs, and the first of them.
        std::map<std::string, std::pair<size_t, std::string>> byCommand;
        for (const std::string& name : runs) {
            auto& [n, first] = byCommand[name.substr(0, name.find('"', name.find('"') + 1) + 1)];
            if (n++ == 0) {
                first = name;
            }
        }
        for (const auto& [command, seen] : byCommand) {
            std::cout << "    " << seen.first << " x " << seen.second << "\n";
        }
    }
    return count;
}

struct Options {
    size_t sample = 1;
    size_t jobs = 1;
    std::vector<std::string> filters;  ///< a run's name holds each
    std::vector<std::string> skips;    ///< a run's name holds none
    bool list = false;
    bool transcript = false;
    std::string results;  ///< the record of results to compare with (--results)
    std::string record;   ///< the record of results to write (--record)
};

/// The command line's options (the time limit and --no-untold set the globals); nullopt for a
/// command line that is wrong.
std::optional<Options> ReadOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sample" && i + 1 < argc) {
            options.sample = std::max<size_t>(1, std::stoul(argv[++i]));
        } else if (arg == "--jobs" && i + 1 < argc) {
            options.jobs = std::max<size_t>(1, std::stoul(argv[++i]));
        } else if ((arg == "--filter" || arg == "--skip") && i + 1 < argc) {
            (arg == "--filter" ? options.filters : options.skips).emplace_back(argv[++i]);
        } else if (arg == "--time-limit" && i + 1 < argc) {
            g_timeLimit = std::max(1, std::stoi(argv[++i]));
        } else if (arg == "--no-untold") {
            g_untold = false;
        } else if (arg == "--list") {
            options.list = true;
        } else if (arg == "--transcript") {
            options.transcript = true;
        } else if ((arg == "--results" || arg == "--record") && i + 1 < argc) {
            (arg == "--results" ? options.results : options.record) = std::filesystem::absolute(argv[++i]).string();
        } else {
            return std::nullopt;
        }
    }
    return options;
}

/// With --results or --record: the chosen runs' results compared with the record, or written to it.
void CheckResults(const Matrix& matrix, const std::vector<size_t>& chosen, const std::map<size_t, std::string>& digests,
                  const Options& options, std::map<std::string, std::vector<std::string>>& findings) {
    if (options.record.empty() && options.results.empty()) {
        return;
    }
    std::vector<std::pair<std::string, std::string>> runs;  ///< name and digest, in the matrix's order
    for (const size_t index : chosen) {
        const auto found = digests.find(index);
        runs.emplace_back(RunName(matrix, matrix.runs[index]), found == digests.end() ? "-" : found->second);
    }
    sweep::CompareResults(runs, options.results, options.record, findings);
}

/// --transcript: the runs one after the other in this process, each with its transcript and
/// findings; answers whether any run found something.
bool ShowTranscripts(const Matrix& matrix, const std::vector<size_t>& chosen) {
    win::SetTranscriptListener({});
    bool anyFinding = false;
    for (const size_t index : chosen) {
        std::cout << "== " << RunName(matrix, matrix.runs[index]) << "\n";
        RunFacts facts;
        const std::vector<std::string> found = CarryOut(matrix, matrix.runs[index], facts);
        for (const std::string& line : facts.transcript) {
            std::cout << line << "\n";
        }
        for (const std::string& finding : found) {
            std::cout << "FINDING: " << finding << "\n";
        }
        anyFinding = anyFinding || !found.empty();
    }
    return anyFinding;
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = ReadOptions(argc, argv);
    if (!options) {
        std::cerr << "usage: sweep [--sample N] [--jobs J] [--filter TEXT]... [--skip TEXT]... [--time-limit SECONDS] "
                     "[--no-untold] "
                     "[--list] [--transcript] [--results FILE | --record FILE]\n";
        return 2;
    }
    const auto& [sample, jobs, filters, skips, list, transcript, results, recordFile] = *options;
    const Matrix matrix = MakeMatrix();
    std::vector<size_t> chosen;
    for (const Run& run : matrix.runs) {
        // A multiplicative hash spreads a sample over every dimension of the matrix.
        const bool sampled = sample == 1 || (run.index * 2654435761u) % sample == 0;
        const std::string name = RunName(matrix, run);
        const auto holds = [&name](const std::string& text) { return name.find(text) != std::string::npos; };
        if (sampled && std::all_of(filters.begin(), filters.end(), holds) &&
            std::none_of(skips.begin(), skips.end(), holds)) {
            chosen.push_back(run.index);
        }
    }
    if (list) {
        for (const size_t index : chosen) {
            std::cout << RunName(matrix, matrix.runs[index]) << "\n";
        }
        return 0;
    }
    // Files a command writes beside a document without a folder (an export, a printed file) go
    // to a folder of the sweep's own, which is removed at the end. It is in /tmp whatever TMPDIR
    // says: a file dialog shows the folders of its path, and the recorded results must not differ
    // from machine to machine.
    const std::filesystem::path work = "/tmp/orvex-sweep-" + std::to_string(::getpid());
    std::filesystem::create_directories(work);
    std::filesystem::current_path(work);
    g_workFolder = work;
    WritePrintedFiles(work / "printed");
    if (transcript) {
        const bool anyFinding = ShowTranscripts(matrix, chosen);
        std::filesystem::current_path(std::filesystem::temp_directory_path());
        std::error_code ignored;
        std::filesystem::remove_all(work, ignored);
        return anyFinding ? 1 : 0;
    }
    std::cout << "sweep: " << chosen.size() << " runs of " << matrix.runs.size() << " (" << matrix.codes.size()
              << " commands, " << matrix.documents.size() << " kinds of document)" << std::endl;

    std::vector<Worker> workers(std::min(jobs, std::max<size_t>(1, chosen.size())));
    for (size_t i = 0; i < chosen.size(); ++i) {
        workers[i % workers.size()].indexes.push_back(chosen[i]);
    }
    std::map<std::string, std::vector<std::string>> findings;  ///< by finding, the runs
    size_t done = 0;
    size_t changed = 0;                     ///< runs that changed their document
    size_t stepped = 0;                     ///< runs followed through later steps
    std::map<size_t, std::string> digests;  ///< by run of the matrix, its result's digest
    const auto record = [&](const Worker& worker, size_t position, const std::string& finding) {
        findings[finding].push_back(RunName(matrix, matrix.runs[worker.indexes[position]]));
    };
    for (size_t w = 0; w < workers.size(); ++w) {
        workers[w].errFile = "/tmp/orvex-sweep-" + std::to_string(::getpid()) + "-" + std::to_string(w) + ".err";
        if (!workers[w].indexes.empty()) {
            Start(matrix, workers[w]);
        }
    }
    for (;;) {
        std::vector<pollfd> polls;
        for (const Worker& worker : workers) {
            if (worker.out >= 0) {
                polls.push_back({worker.out, POLLIN, 0});
            }
        }
        if (polls.empty()) {
            break;
        }
        ::poll(polls.data(), polls.size(), -1);
        for (Worker& worker : workers) {
            if (worker.out < 0) {
                continue;
            }
            char chunk[4096];
            const ssize_t got = ::read(worker.out, chunk, sizeof chunk);
            if (got > 0) {
                worker.buffer.append(chunk, static_cast<size_t>(got));
                size_t newline = 0;
                while ((newline = worker.buffer.find('\n')) != std::string::npos) {
                    const std::string line = worker.buffer.substr(0, newline);
                    worker.buffer.erase(0, newline + 1);
                    if (line.size() < 2) {
                        continue;
                    }
                    if (line[0] == 'T' && worker.begun) {
                        record(worker, *worker.begun, "does not end within " + std::to_string(g_timeLimit) + " s");
                        continue;
                    }
                    const size_t position = std::stoul(line.substr(2));
                    if (line[0] == 'B') {
                        worker.begun = position;
                    } else if (line[0] == 'F') {
                        record(worker, position, line.substr(line.find(' ', 2) + 1));
                    } else if (line[0] == 'E') {
                        unsigned changedFlag = 0;
                        unsigned steppedFlag = 0;
                        char digest[17] = "";
                        std::sscanf(line.c_str(), "E %*u %u %u %16s", &changedFlag, &steppedFlag, digest);
                        digests[worker.indexes[position]] = digest;
                        changed += changedFlag;
                        stepped += steppedFlag;
                        worker.begun.reset();
                        worker.next = position + 1;
                        ++done;
                    }
                }
                continue;
            }
            if (got < 0 && errno == EINTR) {
                continue;
            }
            // The child ended: a run it began and did not end crashed (or hung); go on after it.
            ::close(worker.out);
            worker.out = -1;
            int status = 0;
            ::waitpid(worker.pid, &status, 0);
            if (worker.begun) {
                const bool hung = WIFEXITED(status) && WEXITSTATUS(status) == 3;
                if (!hung) {
                    const std::string crash = CrashLine(worker.errFile);
                    record(worker, *worker.begun,
                           "crashed" + (crash.empty() ? std::string() : ": " + crash) +
                               (WIFSIGNALED(status) ? " (signal " + std::to_string(WTERMSIG(status)) + ")" : ""));
                }
                worker.next = *worker.begun + 1;
                ++done;
            }
            if (worker.next < worker.indexes.size()) {
                Start(matrix, worker);
            }
        }
    }
    for (const Worker& worker : workers) {
        ::unlink(worker.errFile.c_str());
    }
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    std::error_code ignored;
    std::filesystem::remove_all(work, ignored);
    CheckResults(matrix, chosen, digests, *options, findings);
    const size_t count = PrintFindings(findings);
    std::cout << "sweep: " << done << " runs (" << changed << " changed their document, " << stepped
              << " went on in later steps), " << count << " findings" << std::endl;
    return findings.empty() ? 0 : 1;
}
