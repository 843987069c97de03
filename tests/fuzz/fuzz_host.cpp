#include "tests/fuzz/fuzz_host.h"

#include <filesystem>

#include "core/commands.h"
#include "core/dispatch.h"
#include "core/host/host_imports.h"
#include "core/module_exports.h"
#include "core/startup.h"
#include "platform/host/entry_arrays.h"
#include "platform/host/score_text.h"
#include "platform/vcl/forms.h"
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
#include "tests/fuzz/fuzz_check.h"

namespace fuzzsupport {

InProcessHost::InProcessHost(const std::string& score, int32_t rawVersion) {
    win::ResetDesktop();
    win::ResetRegistry();
    orvex::ResetProcessState();
    orvex::ResetHostImports();
    lumvar::ResetModuleState();
    {
        // The one-time NumLock offer counts as made, so that start-up asks nothing.
        vcl::TRegistry registry;
        registry.OpenKey("Software\\HALVORAN", true);
        registry.WriteString(rawVersion >= 0x5000000 ? "asknl2k" : "asknl", "1");
    }
    m_host = std::make_unique<host::Host>(
        (std::filesystem::temp_directory_path() / "orvex-fuzz" / "Finale" / "FINALE.EXE").string());
    m_host->SetRawVersion(rawVersion);
    m_host->AddDocument(host::ParseScoreText(score, "score"));
    Check(m_host->LoadInProcessPlugin("Lumvar2000.fxt", {lumvar::LumvarExport, {}}), "Lumvar2000 does not load");
    Check(m_host->LoadInProcessPlugin("Orvex188.fxt", {orvex::OrvexExport, {}}), "Orvex188 does not load");
    m_orvex = m_host->Plugins().size() - 1;
    win::ClearTranscript();
}

InProcessHost::~InProcessHost() {
    const std::vector<std::string> lent = host::ReclaimLentEntryArrays();
    Check(lent.empty(), "an entry array is left lent: " + (lent.empty() ? std::string() : lent.front()));
    // The user closes what a command left open (a result list, an options dialog); each must
    // then be gone.
    const std::vector<vcl::TForm*> open = orvex::ModelessFormList;
    for (vcl::TForm* form : open) {
        form->Close();
    }
    vcl::Application->ProcessMessages();
    for (vcl::TForm* form : orvex::ModelessFormList) {
        Check(!form->Visible(), "a modeless form does not close: " + form->Caption());
    }
    m_host.reset();
    win::SetKeyDown(win::VK_SHIFT, false);
    win::ClearTranscript();
}

int16_t InProcessHost::RunWithShift(int32_t code) {
    win::SetKeyDown(win::VK_SHIFT, true);
    const int16_t result = m_host->InvokePlugin(m_orvex, static_cast<int16_t>(orvex::FindCommandIndex(code)));
    win::SetKeyDown(win::VK_SHIFT, false);
    return result;
}

int16_t InProcessHost::RunWithOptions(int32_t code, const std::vector<std::pair<std::string, std::string>>& settings) {
    for (const auto& [control, value] : settings) {
        win::QueueFormAction("TDActOpt", win::FormAction{win::FormAction::Kind::Set, control, value});
    }
    win::QueueFormAction("TDActOpt", win::FormAction{win::FormAction::Kind::Click, "Go", ""});
    return m_host->InvokePlugin(m_orvex, static_cast<int16_t>(orvex::FindCommandIndex(code)));
}

}  // namespace fuzzsupport
