// hostsim's form commands: a script queues what the user does with a form, and the form shows
// in the transcript with its controls, the user's actions and its result.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "apps/hostsim/script.h"
#include "core/module.h"
#include "core/startup.h"
#include "forms/dxfcheckbox.h"
#include "forms/myedit.h"
#include "forms/vxform.h"
#include "platform/host/host.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/win.h"
#include "tests/support/fixture.h"

namespace {

/// A small options dialog as the plug-in's forms are built.
class TScriptForm : public orvex::VxForm {
public:
    explicit TScriptForm(vcl::TComponent* owner) : orvex::VxForm(owner) {
        SetName("ScriptForm");
        SetCaption("Spacing options 1.88d");
        SetBorderStyle(vcl::bsDialog);
        Distance = new orvex::TMyEdit(this, orvex::kUnitSpaces);
        Distance->SetName("Distance");
        Distance->SetParent(this);
        Distance->SetMyText("48");
        Lock = new orvex::TdxfCheckBox(this);
        Lock->SetName("Lock");
        Lock->SetParent(this);
        Lock->SetCaption("Lock systems");
        auto* go = new vcl::TBitBtn(this);
        go->SetName("GoBtn");
        go->SetParent(this);
        go->SetKind(vcl::bkOK);
        go->SetCaption("&Go");
        go->OnClick = [this](vcl::TObject*) { orvex::VxForm_SaveState(*this, ""); };
        auto* cancel = new vcl::TBitBtn(this);
        cancel->SetName("CancelBtn");
        cancel->SetParent(this);
        cancel->SetKind(vcl::bkCancel);
    }
    orvex::TMyEdit* Distance;
    orvex::TdxfCheckBox* Lock;
};

class FormScriptTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        testsupport::DesktopTest::SetUp();
        orvex::ResetModule();
    }
    void TearDown() override {
        ExpectNothingLeft();
        orvex::ResetModule();
        testsupport::DesktopTest::TearDown();
    }

    bool RunScript(const std::string& text, std::string& errors) {
        hostsim::ScriptRunner runner(m_host, {});
        std::istringstream script(text);
        std::ostringstream err;
        const bool ok = runner.Run(script, "test.script", err);
        errors = err.str();
        return ok;
    }

    host::Host m_host;
};

TEST_F(FormScriptTest, ScriptedActionsAnswerTheFormAndTheTranscriptShowsIt) {
    std::string errors;
    ASSERT_TRUE(
        RunScript("form TScriptForm set Distance 2.5\n"
                  "form TScriptForm click Lock\n"
                  "form TScriptForm click GoBtn\n",
                  errors))
        << errors;
    std::unique_ptr<TScriptForm> form(vcl::Create<TScriptForm>(nullptr));
    EXPECT_EQ(form->ShowModal(), vcl::mrOk);
    static const std::vector<std::string> kExpected = {
        "> form TScriptForm set Distance 2.5",
        "> form TScriptForm click Lock",
        "> form TScriptForm click GoBtn",
        "[form] \"Spacing options 1.88d\" TScriptForm, modal",
        "  edit Distance: \"2\"",
        "  check box Lock \"Lock systems\": unchecked",
        "  button GoBtn \"&Go\"",
        "  button CancelBtn \"Cancel\"",
        "  user: set Distance \"2.5\"",
        "  user: click Lock",
        "  user: click GoBtn",
        "  -> OK",
    };
    testsupport::ExpectLines(kExpected, win::TranscriptLines());
    vcl::TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(orvex::kSettingsKey, false));
    EXPECT_EQ(registry.ReadString("ScriptForm"), "P0,0S320,240:0:60:1:1");
}

TEST_F(FormScriptTest, CloseActionAndTheNextShowingWithoutActions) {
    std::string errors;
    ASSERT_TRUE(RunScript("form TScriptForm close\n", errors)) << errors;
    std::unique_ptr<TScriptForm> form(vcl::Create<TScriptForm>(nullptr));
    EXPECT_EQ(form->ShowModal(), vcl::mrCancel);
    EXPECT_EQ(win::TranscriptLines().back(), "  -> Cancel");
    EXPECT_EQ(form->ShowModal(), vcl::mrCancel);
    EXPECT_EQ(win::TranscriptLines().back(), "  -> Cancel (no action was queued: Escape)");
}

TEST_F(FormScriptTest, WrongFormLinesStopTheScript) {
    const std::pair<const char*, const char*> kCases[] = {
        {"form TScriptForm\n",
         "test.script:1:17: error: an argument is missing (usage: form CLASS set CONTROL VALUE | form CLASS click "
         "CONTROL | form CLASS dblclick CONTROL | form CLASS resize WIDTH HEIGHT | form CLASS close | form CLASS press "
         "KEY | form CLASS type TEXT | form CLASS print)"},
        {"form TScriptForm set Distance\n",
         "test.script:1:30: error: an argument is missing (usage: form CLASS set CONTROL VALUE)"},
        {"form TScriptForm push GoBtn\n",
         "test.script:1:18: error: unknown form action \"push\" (set, click, dblclick, resize, close, press, type or "
         "print; usage: form CLASS set CONTROL VALUE | form CLASS click CONTROL | form CLASS dblclick CONTROL | "
         "form CLASS resize WIDTH HEIGHT | form CLASS close | form CLASS press KEY | form CLASS type TEXT | form "
         "CLASS print)"},
        {"form TScriptForm press Shift+F13\n", "test.script:1:24: error: unknown key Shift+F13"},
        {"form TScriptForm close now\n",
         "test.script:1:24: error: \"now\" is one argument too many (usage: form CLASS close)"},
        {"form TScriptForm print now\n",
         "test.script:1:24: error: \"now\" is one argument too many (usage: form CLASS print)"},
    };
    for (const auto& [line, error] : kCases) {
        std::string errors;
        EXPECT_FALSE(RunScript(line, errors)) << line;
        EXPECT_EQ(errors.substr(0, errors.find('\n')), error);
    }
    EXPECT_EQ(win::PendingFormActions(), 0u);
}

}  // namespace
