// The action options dialog's tests run Orvex188 in-process in the simulated host: a document of
// two staves, the plug-in loaded (so the options road and the host's services are there), and a
// fresh action control table.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/dispatch.h"
#include "core/host/finxess.h"
#include "core/host/host_imports.h"
#include "core/module.h"
#include "core/module_exports.h"
#include "core/startup.h"
#include "core/tool_items.h"
#include "forms/action_control_table.h"
#include "forms/dactopt.h"
#include "platform/host/host.h"
#include "platform/host/score_text.h"
#include "platform/vcl/registry.h"
#include "platform/win/keys.h"
#include "platform/win/messages.h"
#include "platform/win/win.h"
#include "service/lumvar_exports.h"
#include "tests/support/fixture.h"

namespace testsupport {

class ActionDialogTest : public DesktopTest {
protected:
    static constexpr const char* kScore = R"(
staff "Flute"
staff "Cello"
measures 4 time 4/4
)";

    void SetUp() override {
        DesktopTest::SetUp();
        orvex::ResetModule();
        m_host = std::make_unique<host::Host>((TempFolder() / "Finale" / "FINALE.EXE").string());
        m_host->AddDocument(host::ParseScoreText(kScore, "duet"));
        LoadPlugins();
        win::ClearTranscript();
    }

    /// Lumvar2000, then Orvex188, as the host loads its plug-in folder.
    void LoadPlugins() {
        ASSERT_TRUE(m_host->LoadInProcessPlugin("Lumvar2000.fxt", {lumvar::LumvarExport, {}}));
        ASSERT_TRUE(m_host->LoadInProcessPlugin("Orvex188.fxt", {orvex::OrvexExport, {}}));
    }

    void TearDown() override {
        ExpectNothingLeft();
        // Dialogs left open go with the test, before the host.
        const std::vector<vcl::TForm*> open = orvex::TheModule.dispatch.ModelessFormList;
        for (vcl::TForm* form : open) {
            delete form;
        }
        m_dialogs.clear();
        vcl::Application->ProcessMessages();
        m_host.reset();
        win::SetKeyDown(win::VK_SHIFT, false);
        orvex::ResetModule();
        DesktopTest::TearDown();
    }

    /// A dialog built for an item and option set, as the options road builds it.
    orvex::TDActOpt& Build(int32_t item, orvex::TFMisc* context = nullptr, int32_t optionSet = 1,
                           const orvex::OptionArray* supplied = nullptr) {
        m_dialogs.emplace_back(vcl::Create<orvex::TDActOpt>(nullptr));
        orvex::BuildActionDialog(*m_dialogs.back(), item, context, optionSet, supplied, m_further);
        return *m_dialogs.back();
    }

    /// Shows a dialog without blocking and lets the queued actions act on it.
    static void ShowModeless(orvex::TDActOpt& dialog) { dialog.Show(); }

    static void Queue(win::FormAction::Kind kind, const std::string& control = "", const std::string& value = "") {
        win::QueueFormAction("TDActOpt", win::FormAction{kind, control, value});
    }

    /// A registry value under "Software\HALVORAN"; "(none)" when missing.
    static std::string Stored(const std::string& name) {
        vcl::TRegistry registry;
        if (!registry.OpenKey(orvex::kSettingsKey, false) || !registry.ValueExists(name)) {
            return "(none)";
        }
        return registry.ReadString(name);
    }
    static void Store(const std::string& name, const std::string& text) {
        vcl::TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(orvex::kSettingsKey, true));
        registry.WriteString(name, text);
    }

    /// Replaces a tool's handler of the second-level dispatcher; it records the options it gets
    /// and, when it succeeds, changes the document (a record holding the number of runs).
    void Handle(orvex::ToolItem item, std::function<bool(orvex::TFMisc&)> body = nullptr) {
        orvex::Level2Handlers()[orvex::ItemSlot(item)] = [this, body](orvex::TFMisc& context, int32_t,
                                                                      const hostapi::SelectionRecord*) {
            ++m_runs;
            m_seen.push_back(context.Options);
            const bool done = body ? body(context) : true;
            if (done) {
                orvex::SaveOtherRecord(hostapi::MakeTag("RUNS"), 1, 0, &m_runs, sizeof m_runs);
            }
            return done;
        };
    }

    void Select(int16_t firstStaff, int16_t lastStaff, int16_t firstMeasure, int16_t lastMeasure) {
        hostapi::SelectionRecord selection;
        selection.setFirstStaff(firstStaff);
        selection.setLastStaff(lastStaff);
        selection.setFirstMeasure(firstMeasure);
        selection.setLastMeasure(lastMeasure);
        selection.setEndEdu(INT32_MAX);
        m_host->SetSelection(selection);
    }

    int16_t Invoke(int16_t menuIndex) { return m_host->InvokePlugin(kOrvexPlugin, menuIndex); }
    static constexpr size_t kOrvexPlugin = 1;

    /// The label texts of the message dialogs shown, in order.
    static std::vector<std::string> Messages() {
        std::vector<std::string> texts;
        for (const std::string& line : win::TranscriptLines()) {
            if (line.starts_with("  label Message \"")) {
                texts.push_back(line.substr(17, line.size() - 18));
            }
        }
        return texts;
    }

    std::unique_ptr<host::Host> m_host;
    std::vector<std::unique_ptr<orvex::TDActOpt>> m_dialogs;
    orvex::ExtendedOptionArray m_furtherStore{};
    std::span<orvex::OptionElement> m_further{m_furtherStore};
    int32_t m_runs = 0;
    std::vector<orvex::OptionArray> m_seen;
};

}  // namespace testsupport
