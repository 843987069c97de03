// A form and its window: activation events, accelerators (CM_DIALOGCHAR), the size the user
// drags to within the form's limits, the window's size and place in step with the form's,
// topmost forms, and mouse presses and double-clicks of the UI driver.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/messages.h"
#include "platform/win/ui_driver.h"
#include "platform/win/user32.h"
#include "platform/win/win.h"
#include "tests/support/fixture.h"

namespace {

using Kind = win::FormAction::Kind;

class TToolForm : public vcl::TForm {
public:
    explicit TToolForm(vcl::TComponent* owner) : vcl::TForm(owner) {
        SetCaption("Tool");
        SetBounds(100, 50, 300, 200);
        Copies = Place(new vcl::TLabel(this), "Copies", 8, 8);
        Copies->SetCaption("&Copies:");
        CopiesEdit = Place(new vcl::TEdit(this), "CopiesEdit", 60, 8);
        Draft = Place(new vcl::TCheckBox(this), "Draft", 8, 40);
        Draft->SetCaption("&Draft");
        Files = Place(new vcl::TListBox(this), "Files", 8, 70);
        Files->Items().Assign({"a.mus", "b.mus"});
        Defaults = Place(new vcl::TButton(this), "Defaults", 8, 160);
        Defaults->SetCaption("De&faults");
        Copies->SetFocusControl(CopiesEdit);
        Defaults->OnClick = [this](vcl::TObject*) { events.push_back("defaults"); };
        Draft->OnClick = [this](vcl::TObject*) { events.push_back("draft " + Draft->ValueText()); };
        Files->OnMouseDown = [this](vcl::TObject*, vcl::TMouseButton, vcl::TShiftState, int32_t, int32_t) {
            events.push_back("press, " + Files->ValueText());
        };
        Files->OnClick = [this](vcl::TObject*) { events.push_back("click, " + Files->ValueText()); };
        CopiesEdit->OnDblClick = [this](vcl::TObject*) { events.push_back("double-click"); };
        OnActivate = [this](vcl::TObject*) { events.push_back("activate"); };
        OnDeactivate = [this](vcl::TObject*) { events.push_back("deactivate"); };
        OnResize = [this](vcl::TObject*) { events.push_back("resize " + std::to_string(Width())); };
        OnCanResize = [](vcl::TObject*, int32_t& width, int32_t&, bool& resize) {
            resize = width != 999;
            width = std::max(width, 250);
        };
    }
    template <class T>
    T* Place(T* control, const char* name, int32_t left, int32_t top) {
        control->SetName(name);
        control->SetParent(this);
        control->SetLeft(left);
        control->SetTop(top);
        return control;
    }

    vcl::TLabel* Copies;
    vcl::TEdit* CopiesEdit;
    vcl::TCheckBox* Draft;
    vcl::TListBox* Files;
    vcl::TButton* Defaults;
    std::vector<std::string> events;
};

class VclFormWindowTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        m_host = win::CreateWindow({.className = "Finale", .title = "Finale"});
        m_form.reset(vcl::Create<TToolForm>(nullptr));
        m_form->SetOwnerWindow(m_host);
    }
    void TearDown() override {
        m_form.reset();
        DesktopTest::TearDown();
    }
    static win::Rect RectOf(win::Hwnd window) {
        win::Rect rect;
        win::GetWindowRect(window, rect);
        return rect;
    }

    win::Hwnd m_host = win::kNoWindow;
    std::unique_ptr<TToolForm> m_form;
};

TEST_F(VclFormWindowTest, ActivationReachesTheFormAndItsActiveControl) {
    m_form->Show();
    EXPECT_TRUE(m_form->Active());
    EXPECT_EQ(win::GetFocus(), m_form->CopiesEdit->Handle());
    m_form->Draft->SetFocus();
    win::SetForegroundWindow(m_host);
    EXPECT_FALSE(m_form->Active());
    EXPECT_EQ(win::GetFocus(), m_host);
    win::SetForegroundWindow(m_form->Handle());  // the user clicks the form's caption
    EXPECT_EQ(win::GetFocus(), m_form->Draft->Handle());
    EXPECT_EQ(m_form->events, (std::vector<std::string>{"activate", "deactivate", "activate"}));
    // The window system's focus moving to a control makes it the form's active control.
    win::SetFocus(m_form->Files->Handle());
    EXPECT_EQ(m_form->ActiveControl(), m_form->Files);
}

TEST_F(VclFormWindowTest, AcceleratorsOfCaptions) {
    m_form->Show();
    const win::Hwnd window = m_form->Handle();
    EXPECT_EQ(win::SendMessage(window, vcl::CM_DIALOGCHAR, 'f', 0x20000000), 1);  // "De&faults"
    EXPECT_EQ(win::SendMessage(window, vcl::CM_DIALOGCHAR, 'D', 0x20000000), 1);  // "&Draft", any case
    EXPECT_EQ(m_form->ActiveControl(), m_form->Draft);
    EXPECT_EQ(win::SendMessage(window, vcl::CM_DIALOGCHAR, 'c', 0x20000000), 1);  // "&Copies:" -> its edit
    EXPECT_EQ(m_form->ActiveControl(), m_form->CopiesEdit);
    EXPECT_EQ(win::SendMessage(window, vcl::CM_DIALOGCHAR, 'z', 0x20000000), 0);
    m_form->Defaults->SetEnabled(false);
    EXPECT_EQ(win::SendMessage(window, vcl::CM_DIALOGCHAR, 'f', 0x20000000), 0);
    EXPECT_EQ(m_form->events, (std::vector<std::string>{"activate", "defaults", "draft checked"}));
    EXPECT_TRUE(vcl::IsAccel('a', "Save &As"));
    EXPECT_FALSE(vcl::IsAccel('a', "Drag && Drop"));
    EXPECT_TRUE(vcl::IsAccel('d', "Drag && &Drop"));
}

TEST_F(VclFormWindowTest, TheUserResizesWithinTheFormsLimits) {
    m_form->Constraints().MinHeight = 150;
    win::QueueFormAction("TToolForm", {Kind::Resize, "", "200 100"});
    win::QueueFormAction("TToolForm", {Kind::Resize, "", "999 300"});
    win::QueueFormAction("TToolForm", {Kind::Resize, "", "400 300"});
    m_form->Show();
    EXPECT_EQ(m_form->Width(), 400);
    EXPECT_EQ(m_form->Height(), 300);
    const auto& lines = win::TranscriptLines();
    testsupport::ExpectLines(
        {"  user: resize to 200 x 100", "    the form keeps 250 x 150", "  user: resize to 999 x 300",
         "    the form keeps 250 x 150", "  user: resize to 400 x 300"},
        {lines.end() - 5, lines.end()});
    EXPECT_EQ(m_form->events, (std::vector<std::string>{"activate", "resize 250", "resize 400"}));
    EXPECT_EQ(RectOf(m_form->Handle()), (win::Rect{100, 50, 500, 350}));  // the window follows
    m_form->Hide();
    m_form->SetBorderStyle(vcl::bsDialog);
    win::QueueFormAction("TToolForm", {Kind::Resize, "", "500 300"});
    m_form->Show();
    EXPECT_EQ(win::TranscriptLines().back(), "    not done: the form has no sizing frame");
}

TEST_F(VclFormWindowTest, TheFormFollowsItsWindow) {
    m_form->Show();
    m_form->events.clear();
    // Another program (Lumvar2000 collapsing the form) sizes the window.
    win::SetWindowPos(m_form->Handle(), win::kNoWindow, 0, 0, 300, 24,
                      win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_NOACTIVATE);
    EXPECT_EQ(m_form->Height(), 24);
    EXPECT_EQ(m_form->Left(), 100);
    EXPECT_EQ(m_form->events, (std::vector<std::string>{"resize 300"}));
}

TEST_F(VclFormWindowTest, AStayOnTopFormIsTopmost) {
    m_form->SetFormStyle(vcl::fsStayOnTop);
    m_form->Show();
    win::SetForegroundWindow(m_host);
    EXPECT_EQ(win::GetTopLevelWindows().front(), m_form->Handle());
    EXPECT_NE(win::GetWindowLong(m_form->Handle(), win::GWL_EXSTYLE) & win::WS_EX_TOPMOST, 0);
    m_form->SetFormStyle(vcl::fsNormal);
    EXPECT_EQ(win::GetWindowLong(m_form->Handle(), win::GWL_EXSTYLE) & win::WS_EX_TOPMOST, 0);
}

TEST_F(VclFormWindowTest, TheMouseIsPressedBeforeAClickOrAChoiceInAList) {
    win::QueueFormAction("TToolForm", {Kind::Set, "Files", "b.mus"});
    win::QueueFormAction("TToolForm", {Kind::DblClick, "CopiesEdit", ""});
    win::QueueFormAction("TToolForm", {Kind::Click, "Files", ""});
    m_form->Show();
    EXPECT_EQ(m_form->events, (std::vector<std::string>{"activate", "press, nothing selected", "click, selected 1",
                                                        "double-click", "press, selected 1", "click, selected 1"}));
    EXPECT_EQ(win::TranscriptLines().back(), "  user: click Files");
}

TEST_F(VclFormWindowTest, AModalFormGivesTheActivationBack) {
    const win::Hwnd other = win::CreateWindow({.className = "Other"});
    win::SetForegroundWindow(other);
    win::QueueFormAction("TToolForm", {Kind::Close, "", ""});
    m_form->ShowModal();
    EXPECT_EQ(win::GetActiveWindow(), other);  // not the owner: the window active before
    m_form->Show();
    m_form->Close();  // a modeless form hides: its owner takes over
    EXPECT_EQ(win::GetActiveWindow(), m_host);
}

}  // namespace
