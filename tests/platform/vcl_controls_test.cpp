// Components and controls of the class library: ownership in creation order, string lists,
// which programmatic changes run which events, what a user's action does, fonts inherited from
// the parent, labels sized by their caption, tab order and focus.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/vcl/comctrls.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/grids.h"
#include "platform/vcl/stdctrls.h"
#include "tests/support/fixture.h"

namespace {

class VclControlsTest : public testsupport::DesktopTest {};

struct TCounted : vcl::TComponent {
    TCounted(vcl::TComponent* owner, std::vector<std::string>& freed, std::string name)
        : vcl::TComponent(owner), m_freed(freed) {
        SetName(name);
    }
    ~TCounted() override { m_freed.push_back(Name()); }
    std::vector<std::string>& m_freed;
};

TEST_F(VclControlsTest, OwnerKeepsCreationOrderAndFreesLastCreatedFirst) {
    std::vector<std::string> freed;
    auto owner = std::make_unique<vcl::TComponent>(nullptr);
    new TCounted(owner.get(), freed, "First");
    auto* second = new TCounted(owner.get(), freed, "Second");
    auto* third = new TCounted(owner.get(), freed, "Third");
    new TCounted(second, freed, "Inner");
    EXPECT_EQ(third->ComponentIndex(), 2);
    EXPECT_EQ(owner->FindComponent("SECOND"), second);
    EXPECT_EQ(owner->FindComponent("Inner"), nullptr);  // only the owner's own components
    delete second;                                      // its own destructor runs before it frees what it owns
    EXPECT_EQ(freed, (std::vector<std::string>{"Second", "Inner"}));
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(third->ComponentIndex(), 1);
    owner.reset();
    EXPECT_EQ(freed, (std::vector<std::string>{"Second", "Inner", "Third", "First"}));
}

TEST_F(VclControlsTest, ClassNameIsTheMostDerivedClassWithoutNamespace) {
    vcl::TEdit edit(nullptr);
    EXPECT_EQ(edit.ClassName(), "TEdit");
    struct TLocalForm : vcl::TForm {
        using vcl::TForm::TForm;
    };
    std::unique_ptr<TLocalForm> form(vcl::Create<TLocalForm>(nullptr));
    EXPECT_EQ(form->ClassName(), "TLocalForm");
}

TEST_F(VclControlsTest, StringListsTellTheirControlSoSelectionFollowsTheItems) {
    vcl::TListBox list(nullptr);
    list.Items().Assign({"a", "b", "c"});
    list.SetItemIndex(2);
    list.Items().Delete(0);
    EXPECT_EQ(list.ItemIndex(), 1);
    list.Items().Insert(0, "z");
    EXPECT_EQ(list.ItemIndex(), 2);
    list.Items().Delete(2);
    EXPECT_EQ(list.ItemIndex(), -1);
    EXPECT_EQ(list.Items().IndexOf("Z"), 0);
    EXPECT_THROW(list.SetItemIndex(5), std::out_of_range);
    EXPECT_THROW(list.Items().Strings(9), std::out_of_range);

    vcl::TStrings lines;
    lines.SetText("one\r\ntwo\n\nfour");
    EXPECT_EQ(lines.Count(), 4);
    EXPECT_EQ(lines.Text(), "one\ntwo\n\nfour");
}

/// One programmatic change and the events it must run, in order.
struct EventCase {
    const char* name;
    std::function<void(vcl::TWinControl& parent, std::vector<std::string>& log)> run;
    std::vector<std::string> expected;
};

template <class T>
T* Logged(vcl::TWinControl& parent, std::vector<std::string>& log) {
    auto* control = new T(&parent);
    control->SetParent(&parent);
    control->OnClick = [&log](vcl::TObject*) { log.push_back("OnClick"); };
    if constexpr (requires { control->OnChange; }) {
        control->OnChange = [&log](vcl::TObject*) { log.push_back("OnChange"); };
    }
    return control;
}

class EventRuleTest : public VclControlsTest, public ::testing::WithParamInterface<EventCase> {};

TEST_P(EventRuleTest, ProgrammaticChangeRunsTheDocumentedEvents) {
    vcl::TPanel parent(nullptr);
    std::vector<std::string> log;
    GetParam().run(parent, log);
    EXPECT_EQ(log, GetParam().expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rules, EventRuleTest, ::testing::Values(
    EventCase{"EditText", [](auto& p, auto& log) { auto* e = Logged<vcl::TEdit>(p, log); e->SetText("x"); e->SetText("x"); }, {"OnChange"}},
    EventCase{"MemoLines", [](auto& p, auto& log) { auto* m = Logged<vcl::TMemo>(p, log); m->SetText("a\nb"); m->Lines().Add("c"); }, {"OnChange", "OnChange"}},
    EventCase{"CheckBoxChecked", [](auto& p, auto& log) { auto* c = Logged<vcl::TCheckBox>(p, log); c->SetChecked(true); c->SetChecked(true); c->SetState(vcl::cbGrayed); }, {"OnClick", "OnClick"}},
    EventCase{"RadioButtonChecked", [](auto& p, auto& log) {
        auto* a = Logged<vcl::TRadioButton>(p, log); auto* b = Logged<vcl::TRadioButton>(p, log);
        a->SetChecked(true); b->SetChecked(true); b->SetChecked(false);
        log.push_back(a->Checked() ? "a checked" : "a cleared"); }, {"OnClick", "OnClick", "a cleared"}},
    EventCase{"RadioGroupItemIndex", [](auto& p, auto& log) { auto* g = Logged<vcl::TRadioGroup>(p, log); g->Items().Assign({"x", "y"}); g->SetItemIndex(1); g->SetItemIndex(1); }, {"OnClick"}},
    EventCase{"ListBoxItemIndex", [](auto& p, auto& log) { auto* l = Logged<vcl::TListBox>(p, log); l->Items().Assign({"x", "y"}); l->SetItemIndex(0); l->SetSelected(1, true); }, {"OnClick"}},
    EventCase{"ComboItemIndexShowsTextQuietly", [](auto& p, auto& log) {
        auto* c = Logged<vcl::TComboBox>(p, log); c->Items().Assign({"x", "y"}); c->SetItemIndex(1);
        log.push_back(c->Text()); }, {"OnClick", "y"}},
    EventCase{"ComboText", [](auto& p, auto& log) { auto* c = Logged<vcl::TComboBox>(p, log); c->Items().Assign({"x", "y"}); c->SetText("Y");
        log.push_back(std::to_string(c->ItemIndex())); }, {"OnChange", "1"}},
    EventCase{"DropDownListTakesOnlyItems", [](auto& p, auto& log) { auto* c = Logged<vcl::TComboBox>(p, log); c->SetStyle(vcl::csDropDownList);
        c->Items().Assign({"x"}); c->SetText("nope"); log.push_back("[" + c->Text() + "]"); c->SetText("x"); }, {"[]", "OnChange"}},
    EventCase{"CaptionAndVisibility", [](auto& p, auto& log) { auto* b = Logged<vcl::TButton>(p, log); b->SetCaption("Go"); b->SetVisible(false); b->SetEnabled(false); }, {}},
    EventCase{"UpDownFeedsItsEdit", [](auto& p, auto& log) { auto* e = Logged<vcl::TEdit>(p, log); auto* u = new vcl::TUpDown(&p);
        u->SetAssociate(e); u->SetPosition(250); log.push_back(e->Text()); }, {"OnChange", "OnChange", "100"}}
), [](const auto& testCase) { return std::string(testCase.param.name); });
// clang-format on

TEST_F(VclControlsTest, UserActionsDoWhatTheUserDoes) {
    vcl::TPanel parent(nullptr);
    std::vector<std::string> log;
    auto* box = Logged<vcl::TCheckBox>(parent, log);
    box->SetAllowGrayed(true);
    for (int i = 0; i < 3; ++i) {
        box->UserClick();
        log.push_back(box->ValueText());
    }
    EXPECT_EQ(log, (std::vector<std::string>{"OnClick", "checked", "OnClick", "greyed", "OnClick", "unchecked"}));
    EXPECT_EQ(box->UserSet("maybe"), "not a check box state: \"maybe\"");

    auto* combo = Logged<vcl::TComboBox>(parent, log);
    combo->Items().Assign({"TAB", "F2"});
    log.clear();
    EXPECT_EQ(combo->UserSet("f2"), "");
    EXPECT_EQ(log, (std::vector<std::string>{"OnChange", "OnClick"}));
    EXPECT_EQ(combo->Text(), "F2");

    auto* checks = new vcl::TCheckListBox(&parent);
    checks->Items().Assign({"Del", "Home"});
    int clickChecks = 0;
    checks->OnClickCheck = [&](vcl::TObject*) { ++clickChecks; };
    EXPECT_EQ(checks->UserSet("+1"), "");
    EXPECT_EQ(checks->UserSet("+1"), "");
    EXPECT_EQ(checks->UserSet("-9"), "no item \"9\"");
    EXPECT_TRUE(checks->Checked(1));
    EXPECT_EQ(clickChecks, 1);
    EXPECT_EQ(checks->DetailLines(), (std::vector<std::string>{"  [ ] Del", "  [x] Home"}));

    auto* updown = new vcl::TUpDown(&parent);
    updown->SetMax(10);
    updown->SetIncrement(3);
    std::vector<vcl::TUDBtnType> steps;
    updown->OnClick = [&](vcl::TObject*, vcl::TUDBtnType button) { steps.push_back(button); };
    EXPECT_EQ(updown->UserSet("6"), "");
    EXPECT_EQ(steps.size(), 2u);
    EXPECT_EQ(updown->UserSet("7"), "the up-down cannot reach 7 in steps of 3");
    updown->OnChanging = [](vcl::TObject*, bool& allow) { allow = false; };
    EXPECT_EQ(updown->UserSet("0"), "the up-down stopped at 9");
}

TEST_F(VclControlsTest, ControlsTakeTheirParentsFontUntilTheyGetTheirOwn) {
    vcl::TPanel parent(nullptr);
    auto* label = new vcl::TLabel(&parent);
    auto* own = new vcl::TLabel(&parent);
    label->SetParent(&parent);
    own->SetParent(&parent);
    own->Font().SetSize(12);
    EXPECT_FALSE(own->ParentFont());
    parent.Font().SetName("Arial");
    EXPECT_EQ(label->Font().Name(), "Arial");
    EXPECT_EQ(own->Font().Name(), "MS Sans Serif");
}

TEST_F(VclControlsTest, AutoSizedLabelsFollowTheirCaptionAndRightAlignedOnesKeepTheirRightEdge) {
    vcl::TPanel parent(nullptr);
    auto* label = new vcl::TLabel(&parent);
    label->SetParent(&parent);
    label->SetBounds(10, 5, 65, 17);
    label->SetCaption("&Wg");  // the accelerator mark takes no room
    EXPECT_EQ(label->BoundsRect(), vcl::Bounds(10, 5, 15, 13));
    label->SetAlignment(vcl::taRightJustify);
    label->SetCaption("Wide Wide");
    EXPECT_EQ(label->Left() + label->Width(), 25);
    EXPECT_EQ(label->Width(), 9 + 3 + 6 + 6 + 3 + 9 + 3 + 6 + 6);
}

TEST_F(VclControlsTest, TabOrderAndFocusFollowTheParent) {
    struct TFocusForm : vcl::TForm {
        explicit TFocusForm(vcl::TComponent* owner) : vcl::TForm(owner) {
            for (const char* name : {"A", "B", "C"}) {
                auto* edit = new vcl::TEdit(this);
                edit->SetName(name);
                edit->SetParent(this);
            }
        }
    };
    std::unique_ptr<TFocusForm> form(vcl::Create<TFocusForm>(nullptr));
    auto* a = static_cast<vcl::TEdit*>(form->FindComponent("A"));
    auto* c = static_cast<vcl::TEdit*>(form->FindComponent("C"));
    c->SetTabOrder(0);
    EXPECT_EQ(a->TabOrder(), 1);
    std::vector<std::string> log;
    a->OnExit = [&](vcl::TObject*) { log.push_back("exit A"); };
    c->OnEnter = [&](vcl::TObject*) { log.push_back("enter C"); };
    c->OnExit = [&](vcl::TObject*) { log.push_back("exit C"); };
    form->Show();
    EXPECT_TRUE(c->Focused());
    a->SetFocus();
    EXPECT_EQ(log, (std::vector<std::string>{"enter C", "exit C"}));
    a->SetEnabled(false);
    EXPECT_THROW(a->SetFocus(), std::logic_error);
    delete a;  // the active control goes away
    EXPECT_EQ(form->ActiveControl(), nullptr);
}

}  // namespace
