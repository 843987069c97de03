#include "tests/harness/in_process_host.h"

#include <climits>
#include <filesystem>

#include "core/commands.h"
#include "core/dispatch.h"
#include "core/hooks.h"
#include "core/host/host_imports.h"
#include "core/module.h"
#include "core/module_exports.h"
#include "core/startup.h"
#include "platform/host/entry_arrays.h"
#include "platform/host/score_text.h"
#include "platform/vcl/registry.h"
#include "platform/win/keys.h"
#include "platform/win/messages.h"
#include "platform/win/registry.h"
#include "platform/win/system.h"
#include "platform/win/transcript.h"
#include "platform/win/ui_driver.h"
#include "platform/win/win.h"
#include "service/lumvar.h"
#include "service/lumvar_exports.h"
#include "tests/harness/leftovers.h"

namespace harness {

InProcessHost::InProcessHost(const std::optional<std::string>& score, HostSettings settings) {
    win::ResetSystem();
    orvex::ResetModule();
    lumvar::ResetModuleState();
    {
        // The one-time NumLock offer counts as made, so that start-up asks nothing.
        vcl::TRegistry registry;
        registry.OpenKey("Software\\HALVORAN", true);
        registry.WriteString(settings.rawVersion >= 0x5000000 ? "asknl2k" : "asknl", "1");
    }
    m_host = std::make_unique<host::Host>(
        (std::filesystem::temp_directory_path() / "orvex-harness" / "Finale" / "FINALE.EXE").string());
    m_host->SetRawVersion(settings.rawVersion);
    m_host->SetLanguage(settings.language);
    if (score) {
        m_host->AddDocument(host::ParseScoreText(*score, "score"));
    }
    if (!m_host->LoadInProcessPlugin("Lumvar2000.fxt", {lumvar::LumvarExport, {}}) ||
        !m_host->LoadInProcessPlugin("Orvex188.fxt", {orvex::OrvexExport, {}})) {
        throw std::runtime_error("the plug-ins do not load");
    }
    m_orvex = m_host->Plugins().size() - 1;
    win::ClearTranscript();
}

InProcessHost::~InProcessHost() {
    CloseOpenForms();
    host::ReclaimLentEntryArrays();
    m_host.reset();
    win::SetKeyDown(win::VK_SHIFT, false);
    win::ClearTranscript();
}

bool InProcessHost::SelectAll() {
    const hostapi::SelectionRecord whole = m_host->DocumentRegion();
    if (m_host->FrontDocument() == nullptr || whole.lastStaff() < 1 || whole.lastMeasure() < 1) {
        return false;
    }
    hostapi::SelectionRecord selection;
    selection.setFirstStaff(1);
    selection.setLastStaff(whole.lastStaff());
    selection.setFirstMeasure(1);
    selection.setLastMeasure(whole.lastMeasure());
    selection.setEndEdu(INT32_MAX);
    m_host->SetSelection(selection);
    return true;
}

int16_t InProcessHost::Invoke(int32_t code, bool shift) {
    win::SetKeyDown(win::VK_SHIFT, shift);
    // As the host runs a menu choice: it compares the documents before and after the call and
    // says what changed, and when the call's answer does not tell it so.
    const int16_t result = m_host->RunPluginCommand(m_orvex, static_cast<int16_t>(orvex::FindCommandIndex(code)));
    win::SetKeyDown(win::VK_SHIFT, false);
    return result;
}

int16_t InProcessHost::RunWithOptions(int32_t code, const std::vector<std::pair<std::string, std::string>>& settings) {
    for (const auto& [control, value] : settings) {
        win::QueueFormAction("TDActOpt", win::FormAction{win::FormAction::Kind::Set, control, value});
    }
    win::QueueFormAction("TDActOpt", win::FormAction{win::FormAction::Kind::Click, "Go", ""});
    return Invoke(code, false);
}

bool InProcessHost::FinishRunningCommands(int32_t seconds) {
    const auto running = [] {
        return orvex::RunWaiting() || orvex::TheModule.dispatch.RepostCode != 0 ||
               orvex::TheModule.hooks.PrintContext != nullptr;
    };
    const bool wasRunning = running();
    for (int32_t i = 0; i < seconds && running(); ++i) {
        win::SetForegroundWindow(m_host->MainWindow());
        win::SetFocus(m_host->MainWindow());
        win::Idle(1000);
    }
    return wasRunning;
}

bool InProcessHost::RunUntilStep(uint32_t steps, int32_t seconds) {
    const uint32_t start = orvex::RunStepsTaken();
    for (int32_t turn = 0; turn < seconds * 100; ++turn) {
        if (orvex::RunStepsTaken() - start >= steps) {
            return true;
        }
        if (!orvex::RunWaiting() && orvex::TheModule.dispatch.RepostCode == 0 &&
            orvex::TheModule.hooks.PrintContext == nullptr) {
            return false;
        }
        win::SetForegroundWindow(m_host->MainWindow());
        win::SetFocus(m_host->MainWindow());
        win::Idle(10);
    }
    return false;
}

std::vector<std::string> InProcessHost::Leftovers() {
    CloseOpenForms();
    std::vector<std::string> left;
    for (const std::string& cell : host::ReclaimLentEntryArrays()) {
        left.push_back("the entry array of " + cell + " lent");
    }
    for (const std::string& item : OrvexLeftovers()) {
        left.push_back(item);
    }
    return left;
}

}  // namespace harness
