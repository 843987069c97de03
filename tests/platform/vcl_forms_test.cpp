// Forms and the UI driver: what a form shows in the transcript, how the queued actions of a
// test or script answer it, what an unanswered form does, and the form's window, position,
// closing, releasing and scaling.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/input.h"
#include "platform/win/win.h"
#include "tests/support/case_names.h"
#include "tests/support/fixture.h"

namespace {

using win::FormAction;

class TTestForm : public vcl::TForm {
public:
    explicit TTestForm(vcl::TComponent* owner) : vcl::TForm(owner) {
        SetCaption("Test form");
        SetBounds(100, 50, 300, 200);
        NameLabel = Place(new vcl::TLabel(this), "NameLabel", 8, 8);
        NameLabel->SetCaption("&Name:");
        NameEdit = Place(new vcl::TEdit(this), "NameEdit", 60, 8);
        NameEdit->SetText("abc");
        Enable = Place(new vcl::TCheckBox(this), "Enable", 8, 40);
        Enable->SetCaption("&Enable");
        Mode = Place(new vcl::TRadioGroup(this), "Mode", 8, 70);
        Mode->SetCaption("Mode");
        Mode->Items().Assign({"Slow", "&Fast"});
        Mode->SetItemIndex(0);
        OkBtn = Place(new vcl::TButton(this), "OkBtn", 60, 160);
        OkBtn->SetCaption("OK");
        OkBtn->SetModalResult(vcl::mrOk);
        OkBtn->SetDefault(true);
        CancelBtn = Place(new vcl::TButton(this), "CancelBtn", 140, 160);
        CancelBtn->SetCaption("Cancel");
        CancelBtn->SetModalResult(vcl::mrCancel);
        CancelBtn->SetCancel(true);
        CancelBtn->OnClick = [this](vcl::TObject*) { ++cancelClicks; };
        OnClose = [this](vcl::TObject*, vcl::TCloseAction& action) {
            ++closes;
            action = closeAction;
        };
        OnCloseQuery = [this](vcl::TObject*, bool& canClose) { canClose = mayClose; };
    }

    template <class T>
    T* Place(T* control, const char* name, int32_t left, int32_t top) {
        control->SetName(name);
        control->SetParent(this);
        control->SetLeft(left);
        control->SetTop(top);
        return control;
    }

    vcl::TLabel* NameLabel;
    vcl::TEdit* NameEdit;
    vcl::TCheckBox* Enable;
    vcl::TRadioGroup* Mode;
    vcl::TButton* OkBtn;
    vcl::TButton* CancelBtn;
    int cancelClicks = 0;
    int closes = 0;
    bool mayClose = true;
    vcl::TCloseAction closeAction = vcl::caHide;
};

class VclFormsTest : public testsupport::DesktopTest {
protected:
    std::unique_ptr<TTestForm> MakeForm() { return std::unique_ptr<TTestForm>(vcl::Create<TTestForm>(nullptr)); }
    static void Queue(FormAction::Kind kind, const std::string& control = "", const std::string& value = "") {
        win::QueueFormAction("TTestForm", FormAction{kind, control, value});
    }
};

TEST_F(VclFormsTest, ModalFormTakesTheQueuedActionsAndShowsWhatTheUserSees) {
    auto form = MakeForm();
    Queue(FormAction::Kind::Set, "NameEdit", "xyz");
    Queue(FormAction::Kind::Click, "enable");  // control names compare case-insensitively
    Queue(FormAction::Kind::Set, "Mode", "Fast");
    Queue(FormAction::Kind::Click, "OkBtn");
    EXPECT_EQ(form->ShowModal(), vcl::mrOk);
    static const std::vector<std::string> kExpected = {
        "[form] \"Test form\" TTestForm, modal",
        "  label NameLabel \"&Name:\"",
        "  edit NameEdit: \"abc\"",
        "  check box Enable \"&Enable\": unchecked",
        "  radio group Mode \"Mode\"",
        "    (o) Slow",
        "    ( ) &Fast",
        "  button OkBtn \"OK\"",
        "  button CancelBtn \"Cancel\"",
        "  user: set NameEdit \"xyz\"",
        "  user: click enable",
        "  user: set Mode \"Fast\"",
        "  user: click OkBtn",
        "  -> OK",
    };
    testsupport::ExpectLines(kExpected, win::TranscriptLines());
    EXPECT_EQ(form->NameEdit->Text(), "xyz");
    EXPECT_TRUE(form->Enable->Checked());
    EXPECT_EQ(form->Mode->ItemIndex(), 1);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->closes, 1);
    EXPECT_EQ(win::PendingFormActions(), 0u);
}

TEST_F(VclFormsTest, UnansweredModalFormPressesEscapeAndIsLogged) {
    auto form = MakeForm();
    EXPECT_EQ(form->ShowModal(), vcl::mrCancel);
    EXPECT_EQ(form->cancelClicks, 1);  // Escape clicked the Cancel button
    const auto& lines = win::TranscriptLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "  user: Escape");
    EXPECT_EQ(lines.back(), "  -> Cancel (no action was queued: Escape)");
}

TEST_F(VclFormsTest, UnansweredFormWithoutCancelButtonClosesAsByItsCloseBox) {
    auto form = MakeForm();
    form->CancelBtn->SetVisible(false);
    EXPECT_EQ(form->ShowModal(), vcl::mrCancel);
    EXPECT_EQ(form->cancelClicks, 0);
    EXPECT_EQ(form->closes, 1);
    EXPECT_EQ(win::TranscriptLines().back(), "  -> Cancel (no action was queued: Escape)");
}

TEST_F(VclFormsTest, FormThatRefusesToCloseIsClosedByTheDriver) {
    auto form = MakeForm();
    form->mayClose = false;
    Queue(FormAction::Kind::Click, "OkBtn");
    EXPECT_EQ(form->ShowModal(), vcl::mrCancel);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->closes, 0);
    EXPECT_EQ(win::TranscriptLines().back(), "  -> Cancel (the form stayed open after Escape; the driver closed it)");
}

TEST_F(VclFormsTest, ActionsAfterTheCloseWaitForTheNextFormOfTheClass) {
    auto form = MakeForm();
    Queue(FormAction::Kind::Click, "OkBtn");
    Queue(FormAction::Kind::Set, "NameEdit", "second");
    Queue(FormAction::Kind::Click, "OkBtn");
    win::QueueFormAction("TOtherForm", FormAction{FormAction::Kind::Close, "", ""});
    EXPECT_EQ(form->ShowModal(), vcl::mrOk);
    EXPECT_EQ(form->NameEdit->Text(), "abc");
    EXPECT_EQ(win::PendingFormActions("ttestform"), 2u);
    EXPECT_EQ(form->ShowModal(), vcl::mrOk);
    EXPECT_EQ(form->NameEdit->Text(), "second");
    EXPECT_EQ(win::PendingFormActions(), 1u);  // the other class's action stays queued
}

TEST_F(VclFormsTest, ActionsTheUserCannotDoAreLoggedAndSkipped) {
    auto form = MakeForm();
    form->Enable->SetEnabled(false);
    form->NameLabel->SetVisible(false);
    Queue(FormAction::Kind::Set, "Missing", "1");
    Queue(FormAction::Kind::Click, "Enable");
    Queue(FormAction::Kind::Click, "NameLabel");
    Queue(FormAction::Kind::Set, "Mode", "7");
    Queue(FormAction::Kind::Set, "OkBtn", "1");
    Queue(FormAction::Kind::Close);
    EXPECT_EQ(form->ShowModal(), vcl::mrCancel);
    static const std::vector<std::string> kExpected = {
        "[form] \"Test form\" TTestForm, modal",
        "  edit NameEdit: \"abc\"",
        "  check box Enable \"&Enable\": unchecked (disabled)",
        "  radio group Mode \"Mode\"",
        "    (o) Slow",
        "    ( ) &Fast",
        "  button OkBtn \"OK\"",
        "  button CancelBtn \"Cancel\"",
        "  user: set Missing \"1\"",
        "    not done: no control \"Missing\" on this form",
        "  user: click Enable",
        "    not done: the control is disabled",
        "  user: click NameLabel",
        "    not done: the control is not visible",
        "  user: set Mode \"7\"",
        "    not done: no item \"7\"",
        "  user: set OkBtn \"1\"",
        "    not done: a button takes no value",
        "  user: close",
        "  -> Cancel",
    };
    testsupport::ExpectLines(kExpected, win::TranscriptLines());
    EXPECT_EQ(form->Mode->ItemIndex(), 0);
}

TEST_F(VclFormsTest, ShownFormIsAWindowOfItsClassInFrontWithTheFocusOnTheFirstControl) {
    auto form = MakeForm();
    auto second = MakeForm();
    EXPECT_EQ(form->Name(), "TestForm");
    EXPECT_EQ(second->Name(), "TestForm_1");
    const win::Hwnd handle = form->Handle();
    EXPECT_EQ(win::GetClassName(handle), "TTestForm");
    EXPECT_EQ(win::GetWindowText(handle), "Test form");
    EXPECT_FALSE(win::IsWindowVisible(handle));
    EXPECT_EQ(win::GetParent(form->NameEdit->Handle()), handle);
    EXPECT_EQ(win::GetClassName(form->NameEdit->Handle()), "TEdit");

    int enters = 0;
    form->NameEdit->OnEnter = [&](vcl::TObject*) { ++enters; };
    form->Show();
    EXPECT_TRUE(win::IsWindowVisible(handle));
    EXPECT_EQ(win::GetForegroundWindow(), handle);
    EXPECT_EQ(form->ActiveControl(), form->NameEdit);
    EXPECT_EQ(win::GetFocus(), form->NameEdit->Handle());
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(win::TranscriptLines().front(), "[form] \"Test form\" TTestForm");
    form->SetCaption("Renamed");
    EXPECT_EQ(win::GetWindowText(handle), "Renamed");
    EXPECT_THROW(form->ShowModal(), std::logic_error);
}

TEST_F(VclFormsTest, ModelessFormTakesItsActionsAndStaysOpen) {
    auto form = MakeForm();
    Queue(FormAction::Kind::Set, "NameEdit", "typed");
    form->Show();
    EXPECT_TRUE(form->Visible());
    EXPECT_EQ(form->NameEdit->Text(), "typed");
    Queue(FormAction::Kind::Close);
    form->Show();  // already visible: it comes to the front and takes nothing
    EXPECT_EQ(win::PendingFormActions(), 1u);
    form->Close();
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->closes, 1);
}

// A form that steps aside inside one of the user's actions (hides, shows something, shows itself
// again) takes the user's next action only after that action's handler has finished.
TEST_F(VclFormsTest, AFormShownAgainInsideAnActionTakesTheNextActionAfterIt) {
    auto form = MakeForm();
    std::vector<std::string> events;
    form->Enable->OnClick = [&](vcl::TObject*) {
        form->Hide();
        form->Show();
        events.push_back("handler ends with \"" + form->NameEdit->Text() + "\"");
    };
    form->NameEdit->OnChange = [&](vcl::TObject*) { events.push_back("typed \"" + form->NameEdit->Text() + "\""); };
    Queue(FormAction::Kind::Click, "Enable");
    Queue(FormAction::Kind::Set, "NameEdit", "next");
    form->Show();
    EXPECT_EQ(events, (std::vector<std::string>{"handler ends with \"abc\"", "typed \"next\""}));
    EXPECT_EQ(win::PendingFormActions(), 0u);
}

TEST_F(VclFormsTest, CloseActionsChooseWhatHappens) {
    bool freed = false;
    struct TTracked : TTestForm {
        TTracked(vcl::TComponent* owner, bool& freedFlag) : TTestForm(owner), freed(freedFlag) {}
        ~TTracked() override { freed = true; }
        bool& freed;
    };
    auto owner = std::make_unique<vcl::TComponent>(nullptr);
    auto* form = vcl::Create<TTracked>(owner.get(), freed);
    form->closeAction = vcl::caNone;
    form->Show();
    form->Close();
    EXPECT_TRUE(form->Visible());
    form->closeAction = vcl::caFree;
    form->Close();
    EXPECT_FALSE(form->Visible());
    EXPECT_TRUE(form->ReleasePending());
    EXPECT_EQ(owner->ComponentCount(), 1);
    vcl::Application->ProcessMessages();
    EXPECT_TRUE(freed);
    EXPECT_EQ(owner->ComponentCount(), 0);
}

TEST_F(VclFormsTest, HandlerMayKeepAModalFormOpenBySettingNoResult) {
    auto form = MakeForm();
    form->OkBtn->OnClick = [&](vcl::TObject*) {
        if (form->NameEdit->Text().empty()) {
            form->SetModalResult(vcl::mrNone);
        }
    };
    form->NameEdit->SetText("");
    Queue(FormAction::Kind::Click, "OkBtn");
    Queue(FormAction::Kind::Set, "NameEdit", "now");
    Queue(FormAction::Kind::Click, "OkBtn");
    EXPECT_EQ(form->ShowModal(), vcl::mrOk);
    EXPECT_EQ(form->NameEdit->Text(), "now");
}

TEST_F(VclFormsTest, KeysGoThroughTheFormFirstWithKeyPreview) {
    auto form = MakeForm();
    std::vector<std::string> seen;
    form->OnKeyDown = [&](vcl::TObject*, uint16_t& key, vcl::TShiftState) {
        seen.push_back("form " + std::to_string(key));
        if (key == 'Q') {
            key = 0;
        }
    };
    form->NameEdit->OnKeyDown = [&](vcl::TObject*, uint16_t& key, vcl::TShiftState) {
        seen.push_back("edit " + std::to_string(key));
    };
    form->NameEdit->OnKeyPress = [&](vcl::TObject*, char& key) { seen.push_back(std::string("press ") + key); };
    form->Show();
    form->SendKey('A');
    form->SetKeyPreview(true);
    form->SendKey('Q');
    form->SendKey('B', vcl::ssShift);
    EXPECT_EQ(seen, (std::vector<std::string>{"edit 65", "press a", "form 81", "form 66", "edit 66", "press B"}));
    form->SendKey(win::VK_RETURN);  // Enter clicks the default button
    EXPECT_EQ(form->ModalResult(), vcl::mrOk);
}

/// What the user does by keys alone in the modal test form, and what the form holds then. The
/// edit has the focus first, its text "abc" selected.
struct KeyboardCase {
    const char* name;
    std::vector<FormAction> keys;
    const char* text;
    bool enabled;
    int32_t mode;
    int32_t result;
};

class VclKeyboardTest : public VclFormsTest, public ::testing::WithParamInterface<KeyboardCase> {};

TEST_P(VclKeyboardTest, KeysReachTheFocusedControlThroughTheModalLoop) {
    const KeyboardCase& c = GetParam();
    auto form = MakeForm();
    for (const FormAction& key : c.keys) {
        win::QueueFormAction("TTestForm", key);
    }
    EXPECT_EQ(form->ShowModal(), c.result);
    EXPECT_EQ(form->NameEdit->Text(), c.text);
    EXPECT_EQ(form->Enable->Checked(), c.enabled);
    EXPECT_EQ(form->Mode->ItemIndex(), c.mode);
    EXPECT_EQ(form->cancelClicks, c.result == vcl::mrCancel ? 1 : 0);
    EXPECT_EQ(win::PendingInput(), 0u);
}

FormAction Press(const char* key) {
    return {FormAction::Kind::Press, "", key};
}
FormAction Type(const char* text) {
    return {FormAction::Kind::Type, "", text};
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, VclKeyboardTest, ::testing::Values(
    KeyboardCase{"TypingReplacesTheSelection", {Type("60"), Press("Enter")}, "60", false, 0, vcl::mrOk},
    KeyboardCase{"CaretKeysAndErasing", {Press("Home"), Press("Delete"), Press("End"), Type("x"), Press("Backspace"),
                  Press("Backspace"), Press("Enter")}, "b", false, 0, vcl::mrOk},
    KeyboardCase{"ShiftSelects", {Press("End"), Press("Shift+Left"), Press("Shift+Left"), Type("Z?"), Press("Enter")},
                 "aZ?", false, 0, vcl::mrOk},
    KeyboardCase{"TabAndSpaceTickTheCheckBox", {Press("Tab"), Press("Space"), Press("Escape")}, "abc", true, 0,
                 vcl::mrCancel},
    KeyboardCase{"ShiftTabReachesCancelAndEnterClicksIt", {Press("Shift+Tab"), Press("Enter")}, "abc", false, 0,
                 vcl::mrCancel},
    KeyboardCase{"ArrowsChooseInTheRadioGroup", {Press("Tab"), Press("Tab"), Press("Down"), Press("Enter")}, "abc",
                 false, 1, vcl::mrOk},
    KeyboardCase{"AltAndTheAcceleratorTick", {Press("Alt+E"), Press("Alt+F"), Press("Enter")}, "abc", true, 1,
                 vcl::mrOk}),
    testsupport::NameBy(&KeyboardCase::name));
// clang-format on

TEST_F(VclFormsTest, CentredFormAppearsInTheMiddleOfTheScreenBeforeItsOnShow) {
    auto form = MakeForm();
    form->SetPosition(vcl::poScreenCenter);
    form->SetBounds(0, 0, 320, 240);
    int32_t leftSeenByOnShow = -1;
    form->OnShow = [&](vcl::TObject*) { leftSeenByOnShow = form->Left(); };
    form->Show();
    EXPECT_EQ(form->BoundsRect(), vcl::Bounds(352, 264, 320, 240));
    EXPECT_EQ(leftSeenByOnShow, 352);
    form->Hide();
    form->SetLeft(10);
    form->Show();  // only the first showing places the form
    EXPECT_EQ(form->Left(), 10);
}

TEST_F(VclFormsTest, ClientSizeLeavesOutTheFrame) {
    auto form = MakeForm();
    form->SetBorderStyle(vcl::bsDialog);
    form->SetClientWidth(489);
    form->SetClientHeight(178);
    EXPECT_EQ(form->Width(), 495);
    EXPECT_EQ(form->Height(), 203);
    form->SetBorderStyle(vcl::bsNone);
    EXPECT_EQ(form->ClientWidth(), 495);
}

TEST_F(VclFormsTest, ScaledFormFollowsTheScreenResolution) {
    ASSERT_TRUE(win::SetSimulatedPixelsPerInch(120));
    auto scaled = MakeForm();
    EXPECT_EQ(scaled->OkBtn->BoundsRect(), vcl::Bounds(75, 200, 94, 31));
    EXPECT_EQ(scaled->ClientWidth(), 365);  // 292 client pixels at 96 per inch
    EXPECT_EQ(scaled->PixelsPerInch(), 120);

    struct TUnscaled : TTestForm {
        explicit TUnscaled(vcl::TComponent* owner) : TTestForm(owner) { SetScaled(false); }
    };
    std::unique_ptr<TUnscaled> unscaled(vcl::Create<TUnscaled>(nullptr));
    EXPECT_EQ(unscaled->OkBtn->BoundsRect(), vcl::Bounds(60, 160, 75, 25));
}

TEST_F(VclFormsTest, ReleasedModalFormEndsItsShowing) {
    auto owner = std::make_unique<vcl::TComponent>(nullptr);
    auto* form = vcl::Create<TTestForm>(owner.get());
    form->OkBtn->OnClick = [form](vcl::TObject*) { form->Release(); };
    Queue(FormAction::Kind::Click, "OkBtn");
    Queue(FormAction::Kind::Set, "NameEdit", "left for later");
    EXPECT_EQ(form->ShowModal(), vcl::mrOk);
    EXPECT_EQ(win::PendingFormActions(), 1u);
    vcl::Application->ProcessMessages();
    EXPECT_EQ(owner->ComponentCount(), 0);
}

TEST_F(VclFormsTest, FailingHandlerClosesTheModalFormAndReachesTheCaller) {
    auto form = MakeForm();
    form->OkBtn->OnClick = [](vcl::TObject*) { throw std::runtime_error("handler failed"); };
    Queue(FormAction::Kind::Click, "OkBtn");
    EXPECT_THROW(form->ShowModal(), std::runtime_error);
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(form->Modal());
    EXPECT_EQ(form->ShowModal(), vcl::mrCancel);  // and it can be shown again
}

}  // namespace
