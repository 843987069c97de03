// A simulated host running both plug-ins in this process, with one document made from a score
// text: the fixture for the tests of commands end to end. The one-time NumLock offer is marked
// as made, so that start-up asks nothing.
#pragma once

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "core/commands.h"
#include "core/dispatch.h"
#include "core/host/host_imports.h"
#include "core/module.h"
#include "core/module_exports.h"
#include "core/startup.h"
#include "platform/host/host.h"
#include "platform/host/score_text.h"
#include "platform/vcl/registry.h"
#include "platform/win/keys.h"
#include "platform/win/messages.h"
#include "platform/win/win.h"
#include "service/lumvar.h"
#include "service/lumvar_exports.h"
#include "tests/support/fixture.h"

namespace testsupport {

class OrvexHostTest : public DesktopTest {
protected:
    /// Checks that nothing is left, frees the modeless forms and ends the host.
    void TearDown() override;

    /// Starts the host (raw version, menu language) with the score text in front and both
    /// plug-ins loaded.
    void StartHost(const std::string& score, int32_t rawVersion = 0x05000005,
                   host::Language language = host::Language::English) {
        m_host.reset();
        orvex::ResetModule();
        lumvar::ResetModuleState();
        {
            vcl::TRegistry registry;
            registry.OpenKey("Software\\HALVORAN", true);
            registry.WriteString(rawVersion >= 0x5000000 ? "asknl2k" : "asknl", "1");
        }
        m_host = std::make_unique<host::Host>((TempFolder() / "Finale" / "FINALE.EXE").string());
        m_host->SetRawVersion(rawVersion);
        m_host->SetLanguage(language);
        m_host->AddDocument(host::ParseScoreText(score, "score"));
        ASSERT_TRUE(m_host->LoadInProcessPlugin("Lumvar2000.fxt", {lumvar::LumvarExport, {}}));
        ASSERT_TRUE(m_host->LoadInProcessPlugin("Orvex188.fxt", {orvex::OrvexExport, {}}));
        m_orvex = m_host->Plugins().size() - 1;
        win::ClearTranscript();
    }

    /// Selects staves and measures of the document in front (scroll view, whole measures).
    void Select(int16_t firstStaff, int16_t lastStaff, int16_t firstMeasure, int16_t lastMeasure) {
        hostapi::SelectionRecord selection;
        selection.setFirstStaff(firstStaff);
        selection.setLastStaff(lastStaff);
        selection.setFirstMeasure(firstMeasure);
        selection.setLastMeasure(lastMeasure);
        selection.setEndEdu(INT32_MAX);
        m_host->SetSelection(selection);
    }

    /// Chooses a command by its table index through the host (FinaleExtensionInvoke).
    int16_t Invoke(int16_t tableIndex) { return m_host->InvokePlugin(m_orvex, tableIndex); }

    /// Runs a tool code with Shift held (its stored options, no dialog).
    int16_t RunWithShift(int32_t code) {
        win::SetKeyDown(win::VK_SHIFT, true);
        const int16_t result = Invoke(static_cast<int16_t>(orvex::FindCommandIndex(code)));
        win::SetKeyDown(win::VK_SHIFT, false);
        return result;
    }

    /// The user keeps the host's window in front while a multi-step command (or a part
    /// explosion) takes its later steps: the keys it sent reach the host and the timer brings
    /// each step, for at most `seconds` of the virtual clock. False when a step still waits then.
    bool FinishWaitingRun(int32_t seconds = 20) {
        const auto waiting = [] {
            return orvex::RunWaiting() || orvex::TheModule.dispatch.RepostCode != 0 ||
                   orvex::TheModule.dispatch.RunningStepObject != nullptr;
        };
        for (int32_t i = 0; i < seconds && waiting(); ++i) {
            win::SetForegroundWindow(m_host->MainWindow());
            win::SetFocus(m_host->MainWindow());
            win::Idle(1000);
        }
        return !waiting();
    }

    /// The texts of the message dialogs shown so far, in order.
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const std::string& line : win::TranscriptLines()) {
            if (line.starts_with("  label Message \"")) {
                texts.push_back(line.substr(17, line.size() - 18));
            }
        }
        return texts;
    }

    host::Document& Document() { return *m_host->FrontDocument(); }

    std::unique_ptr<host::Host> m_host;
    size_t m_orvex = 0;
};

}  // namespace testsupport
