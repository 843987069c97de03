// The UI driver finds a control by its name, else by its driver name, with or without the
// caption's trailing colon: a form built at run time names its controls after the captions beside
// them. A name no control has is answered with the nearest names.
#include <gtest/gtest.h>

#include <memory>

#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/win.h"
#include "tests/support/fixture.h"

namespace {

using win::FormAction;

class TBuiltForm : public vcl::TForm {
public:
    explicit TBuiltForm(vcl::TComponent* owner) : vcl::TForm(owner) {
        SetCaption("Built form");
        Width = Add(new vcl::TEdit(this), "Row0", "Width:");
        Hidden = Add(new vcl::TEdit(this), "Row1", "Height:");
        Hidden->SetVisible(false);
        Shown = Add(new vcl::TEdit(this), "Row2", "Height:");
        Named = Add(new vcl::TEdit(this), "Depth", "Row0");
    }
    vcl::TEdit* Add(vcl::TEdit* edit, const char* name, const char* driverName) {
        edit->SetName(name);
        edit->SetDriverName(driverName);
        edit->SetParent(this);
        return edit;
    }
    vcl::TEdit* Width;
    vcl::TEdit* Hidden;
    vcl::TEdit* Shown;
    vcl::TEdit* Named;
};

class VclDriverNameTest : public testsupport::DesktopTest {};

TEST_F(VclDriverNameTest, ControlsAreFoundByNameFirstThenByDriverNameShowingOnesFirst) {
    std::unique_ptr<TBuiltForm> form(vcl::Create<TBuiltForm>(nullptr));
    win::QueueFormAction("TBuiltForm", FormAction{FormAction::Kind::Set, "width", "10"});
    win::QueueFormAction("TBuiltForm", FormAction{FormAction::Kind::Set, "Height:", "20"});
    win::QueueFormAction("TBuiltForm", FormAction{FormAction::Kind::Set, "Row0", "30"});
    win::QueueFormAction("TBuiltForm", FormAction{FormAction::Kind::Set, "Depth:", "40"});
    form->Show();
    EXPECT_EQ(form->Width->Text(), "30");  // "Row0" is its name, before another's driver name
    EXPECT_EQ(form->Shown->Text(), "20");
    EXPECT_EQ(form->Hidden->Text(), "");
    EXPECT_EQ(form->Named->Text(), "");
    static const std::vector<std::string> kExpected = {
        "[form] \"Built form\" TBuiltForm",
        "  edit Row0: \"\"",
        "  edit Row2: \"\"",
        "  edit Depth: \"\"",
        "  user: set width \"10\"",
        "  user: set Height: \"20\"",
        "  user: set Row0 \"30\"",
        "  user: set Depth: \"40\"",
        "    not done: no control \"Depth:\" on this form (did you mean \"Depth\"?)",
    };
    testsupport::ExpectLines(kExpected, win::TranscriptLines());
    EXPECT_EQ(form->Width->DriverName(), "Width:");
}

TEST_F(VclDriverNameTest, OnlyHiddenControlsOfTheDriverNameAreReportedNotVisible) {
    std::unique_ptr<TBuiltForm> form(vcl::Create<TBuiltForm>(nullptr));
    form->Shown->SetVisible(false);
    win::QueueFormAction("TBuiltForm", FormAction{FormAction::Kind::Set, "Height:", "20"});
    form->Show();
    EXPECT_EQ(form->Hidden->Text(), "");
    EXPECT_EQ(win::TranscriptLines().back(), "    not done: the control is not visible");
}

}  // namespace
