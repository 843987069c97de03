// VxForm: a form's state round-trips through the registry, Defaults give back what the
// constructor showed, damaged states keep what can be read and default the rest, and forms are
// kept on the screen (the second monitor only when the general option allows it).
#include <gtest/gtest.h>

#include <memory>

#include "core/general_options.h"
#include "core/module.h"
#include "core/startup.h"
#include "forms/dxfcheckbox.h"
#include "forms/mydrawgrid.h"
#include "forms/myedit.h"
#include "forms/vxform.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/registry.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/win.h"
#include "tests/support/fixture.h"

namespace {

using orvex::VxForm;

class TStateForm : public VxForm {
public:
    explicit TStateForm(vcl::TComponent* owner) : VxForm(owner) {
        SetCaption("State form");
        SetBounds(100, 80, 400, 300);
        Title = Add(new vcl::TLabel(this), "Title");  // 0: keeps no state
        Title->SetCaption("Settings");
        Box = Add(new vcl::TCheckBox(this), "Box");        // 1
        Dxf = Add(new orvex::TdxfCheckBox(this), "Dxf");   // 2
        NameEdit = Add(new vcl::TEdit(this), "NameEdit");  // 3
        NameEdit->SetText("Default name");
        Length = Add(new orvex::TMyEdit(this, orvex::kUnitInches), "Length");  // 4
        Length->SetText("1");
        Chars = Add(new orvex::TCourierEdit(this), "Chars");  // 5
        Chars->SetText("abc");
        Hotkey = Add(new vcl::TComboBox(this), "Hotkey");  // 6
        Hotkey->Items().Assign({"TAB", "F2"});
        Hotkey->SetItemIndex(0);
        Grid = Add(new orvex::MyDrawGrid(this), "Grid");  // 7
        Mode = Add(new vcl::TRadioGroup(this), "Mode");   // 8
        Mode->Items().Assign({"a", "b", "c"});
        Mode->SetItemIndex(1);
    }

    template <class T>
    T* Add(T* control, const char* name) {
        control->SetName(name);
        control->SetParent(this);
        return control;
    }

    /// The values of the stored controls, for comparing whole states.
    std::string Values() const {
        return "box=" + std::to_string(Box->State()) + " dxf=" + (Dxf->Checked() ? "1" : "0") +
               " name=" + NameEdit->Text() + " len=" + Length->Text() + " chars=" + Chars->Text() +
               " hot=" + Hotkey->Text() + " grid=" + std::to_string(Grid->Col()) + "," + std::to_string(Grid->Row()) +
               " mode=" + std::to_string(Mode->ItemIndex());
    }

    /// Values other than the defaults, to see which controls a state touched.
    void Change() {
        Box->SetChecked(true);
        Dxf->SetChecked(true);
        NameEdit->SetText("Changed");
        Length->SetMyText("576");
        Chars->SetText("xyz");
        Hotkey->SetText("F2");
        Grid->SetRow(3);
        Mode->SetItemIndex(2);
    }

    vcl::TLabel* Title;
    vcl::TCheckBox* Box;
    orvex::TdxfCheckBox* Dxf;
    vcl::TEdit* NameEdit;
    orvex::TMyEdit* Length;
    orvex::TCourierEdit* Chars;
    vcl::TComboBox* Hotkey;
    orvex::MyDrawGrid* Grid;
    vcl::TRadioGroup* Mode;
};

const std::string kDefaults = "box=0 dxf=0 name=Default name len=1 chars=abc hot=TAB grid=1,1 mode=1";
const std::string kChanged = "box=1 dxf=1 name=Changed len=2 chars=xyz hot=F2 grid=1,3 mode=2";
/// A whole state and the values it gives.
const std::string kReadText = "P120,90S410,310:1:1:2:1:3:Read:4:144:5:r\x0Fs:6:F2:7:20485,4097,8195:8:0";
const std::string kRead = "box=1 dxf=1 name=Read len=0.5 chars=r:s hot=F2 grid=2,3 mode=0";

class VxFormTest : public testsupport::DesktopTest {
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
    template <class T = TStateForm>
    std::unique_ptr<T> Make() {
        return std::unique_ptr<T>(vcl::Create<T>(nullptr));
    }
    static std::string Stored(const std::string& name) {
        vcl::TRegistry registry;
        return registry.OpenKey(orvex::kSettingsKey, false) ? registry.ReadString(name) : "(no key)";
    }
    static void Store(const std::string& name, const std::string& text) {
        vcl::TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(orvex::kSettingsKey, true));
        registry.WriteString(name, text);
    }
};

TEST_F(VxFormTest, StateRoundTripsThroughTheRegistry) {
    auto form = Make();
    EXPECT_EQ(form->DefaultState(), "P100,80S400,300:1:0:2:0:3:Default name:4:288:5:abc:6:TAB:7:20485,4097,4097:8:1");
    form->Change();
    form->Grid->SetColCount(7);
    form->Grid->SetCol(6);
    form->NameEdit->SetText("a:b");
    form->SetBounds(200, 150, 420, 310);
    orvex::VxForm_SaveState(*form, "");
    EXPECT_EQ(Stored("StateForm"),
              "P200,150S420,310:1:1:2:1:3:a\x0F"
              "b:4:576:5:xyz:6:F2:7:28677,16385,24579:8:2");

    auto second = Make();  // named "StateForm_1" while the first exists; the value name drops "_1"
    EXPECT_EQ(second->Name(), "StateForm_1");
    orvex::VxForm_LoadState(*second, true, "");
    EXPECT_EQ(second->Values(), "box=1 dxf=1 name=a:b len=2 chars=xyz hot=F2 grid=6,3 mode=2");
    EXPECT_EQ(second->BoundsRect(), vcl::Bounds(200, 150, 420, 310));

    auto third = Make();
    orvex::VxForm_LoadState(*third, false, "");  // without the size
    EXPECT_EQ(third->BoundsRect(), vcl::Bounds(200, 150, 400, 300));

    // 4095 rows, the most a grid value holds, are stored and read back.
    third->Grid->SetRowCount(4095);
    orvex::VxForm_SaveState(*third, "");
    EXPECT_NE(Stored("StateForm").find(":7:32767,16385,24579:"), std::string::npos) << Stored("StateForm");
    auto fourth = Make();
    orvex::VxForm_LoadState(*fourth, true, "");
    EXPECT_EQ(fourth->Grid->RowCount(), 4095);
}

TEST_F(VxFormTest, DefaultsGiveBackTheConstructorsValuesWithoutMovingTheForm) {
    auto form = Make();
    form->Change();
    form->SetBounds(300, 200, 500, 400);
    orvex::VxForm_RestoreDefaults(*form);
    EXPECT_EQ(form->Values(), kDefaults);
    EXPECT_EQ(form->BoundsRect(), vcl::Bounds(300, 200, 500, 400));

    // A length edit with a double-click handler keeps its value on Defaults, not on loading.
    form->Length->OnDblClick = [](vcl::TObject*) {};
    form->Length->SetText("3");
    orvex::VxForm_RestoreDefaults(*form);
    EXPECT_EQ(form->Length->Text(), "3");
    orvex::VxForm_ApplyState(*form, "P100,80S400,300:4:144", true, true, false);
    EXPECT_EQ(form->Length->Text(), "0.5");
}

TEST_F(VxFormTest, DefaultsAreWhatTheMostDerivedConstructorShowedBeforeAnyStateWasApplied) {
    struct TDerived : TStateForm {
        explicit TDerived(vcl::TComponent* owner) : TStateForm(owner) { NameEdit->SetText("Derived"); }
    };
    struct TLoadsInConstructor : TStateForm {
        explicit TLoadsInConstructor(vcl::TComponent* owner) : TStateForm(owner) {
            SetName("LoadsInConstructor");  // as its layout names it
            orvex::VxForm_LoadState(*this, true, "");
        }
    };
    EXPECT_NE(Make<TDerived>()->DefaultState().find(":3:Derived:"), std::string::npos);

    Store("LoadsInConstructor", kReadText);
    auto form = Make<TLoadsInConstructor>();
    EXPECT_EQ(form->Values(), kRead);
    orvex::VxForm_RestoreDefaults(*form);
    EXPECT_EQ(form->Values(), kDefaults);
}

struct DamagedCase {
    const char* name;
    std::string text;
    std::string values;  ///< after applying it to a form with changed values
    bool applied;
};

class DamagedStateTest : public VxFormTest, public ::testing::WithParamInterface<DamagedCase> {};

// The reading stops at the first item that cannot be read or applied; the form then gets its
// defaults (not its position), and the text counts as not applied. An item of a component that
// keeps no state, and a value a control passes over, count as taken.
TEST_P(DamagedStateTest, StopsAtTheFirstBadItemAndThenTakesTheDefaults) {
    auto form = Make();
    form->Change();
    EXPECT_EQ(orvex::VxForm_ApplyState(*form, GetParam().text, true, true, true), GetParam().applied);
    EXPECT_EQ(form->Values(), GetParam().values);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(States, DamagedStateTest, ::testing::Values(
    DamagedCase{"Whole", kReadText, kRead, true},
    DamagedCase{"PositionOnly", "P10,20S300,200", kChanged, true},
    DamagedCase{"CheckBoxStateThree", "P120,90S410,310:1:3:2:1:3:Read:4:144:5:r:6:F2:7:20485,4097,8195:8:0",
                kDefaults, false},
    DamagedCase{"IndexBeyondTheComponents", kReadText + ":99:x", kDefaults, false},
    DamagedCase{"IndexNotANumber", "P120,90S410,310:1:1:2:1:x:Read:4:144:5:r", kDefaults, false},
    DamagedCase{"FewerItemsThanControls", "P120,90S410,310:3:Typed",
                "box=1 dxf=1 name=Typed len=2 chars=xyz hot=F2 grid=1,3 mode=2", true},
    DamagedCase{"RadioItemBeyondTheItems", "P120,90S410,310:1:1:2:1:3:Read:4:144:5:r:6:F2:7:20485,4097,8195:8:7",
                kDefaults, false},
    DamagedCase{"ItemOfAControlWithoutState", kReadText + ":0:hello", kRead, true},
    DamagedCase{"LengthThatIsNoNumber", "P120,90S410,310:1:1:2:1:3:Read:4:lots:5:r:6:F2:7:20485,4097,8195:8:0",
                "box=1 dxf=1 name=Read len=0 chars=r hot=F2 grid=2,3 mode=0", true},
    // A lone escape at an item's end (no writer makes one) stays in the text.
    DamagedCase{"LoneEscapeAtAnItemsEnd", "P120,90S410,310:1:1:2:1:3:Read\x10:5:r\x0Fs:6:F2:7:20485,4097,8195:8:0",
                "box=1 dxf=1 name=Read\x10 len=2 chars=r:s hot=F2 grid=2,3 mode=0", true},
    DamagedCase{"Garbage", "garbage", kDefaults, false},
    DamagedCase{"UnterminatedExtra", "C12", kChanged, false},  // the reading ends at once
    DamagedCase{"GridOutOfItsRange", "P120,90S410,310:1:1:2:1:3:Read:4:144:5:r:6:F2:7:20485,4097,8197:8:0",
                "box=1 dxf=1 name=Read len=0.5 chars=r hot=F2 grid=1,3 mode=0", true},
    // A number beyond the two 12-bit parts it holds (49834 columns) or below 0 is passed over.
    DamagedCase{"GridNumberBeyondItsParts", "P120,90S410,310:1:1:2:1:3:Read:4:144:5:r:6:F2:7:204120485,4097,8195:8:0",
                "box=1 dxf=1 name=Read len=0.5 chars=r hot=F2 grid=1,3 mode=0", true},
    DamagedCase{"GridNumberBelowZero", "P120,90S410,310:1:1:2:1:3:Read:4:144:5:r:6:F2:7:20485,-4096,8195:8:0",
                "box=1 dxf=1 name=Read len=0.5 chars=r hot=F2 grid=1,3 mode=0", true}
), [](const auto& testCase) { return std::string(testCase.param.name); });
// clang-format on

TEST_F(VxFormTest, PositionIsAppliedOnlyAboveZero) {
    auto form = Make();
    orvex::VxForm_ApplyState(*form, "P0,20S300,200", true, true, true);
    EXPECT_EQ(form->BoundsRect(), vcl::Bounds(100, 80, 400, 300));
    orvex::VxForm_ApplyState(*form, "P10,20S300,200", true, true, true);
    EXPECT_EQ(form->BoundsRect(), vcl::Bounds(10, 20, 300, 200));
    // A size that is no number is passed over; the position is taken.
    orvex::VxForm_ApplyState(*form, "P30,40Sx,250", true, true, true);
    EXPECT_EQ(form->BoundsRect(), vcl::Bounds(30, 40, 300, 200));
}

TEST_F(VxFormTest, ValueOfAnotherTypeInTheRegistryIsReadAsNothingAndDefaults) {
    auto form = Make();
    form->Change();
    vcl::TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(orvex::kSettingsKey, true));
    registry.WriteInteger("StateForm", 7);
    registry.CloseKey();
    orvex::VxForm_LoadState(*form, true, "");
    EXPECT_EQ(form->Values(), kDefaults);
    EXPECT_FALSE(orvex::TheModule.process.Registry->HasCurrentKey());
}

class TExtrasForm : public TStateForm {
public:
    using TStateForm::TStateForm;
    int32_t GetExtraInt(int32_t index) override { return index == 0 ? 1 : index == -1 ? 2 : number; }
    void SetExtraInt(int32_t, int32_t value) override { number = value; }
    std::string GetExtraString(int32_t index) override { return texts[static_cast<size_t>(index - 1)]; }
    void SetExtraString(int32_t index, const std::string& value) override {
        texts[static_cast<size_t>(index - 1)] = value;
    }
    int32_t number = -3;
    std::array<std::string, 2> texts{"one", "two"};
};

TEST_F(VxFormTest, ExtraTextsKeepTheirDotsAndOldStatesStillRead) {
    auto form = Make<TExtrasForm>();
    form->texts = {"3.4", "a.Tb\x0E"};
    const std::string written = orvex::VxForm_WriteState(*form);
    EXPECT_EQ(written.substr(0, written.find(".P") + 2),
              "C-3.T3\x0E"
              "4.Ta\x0ETb\x10\x0E.P");
    auto reread = Make<TExtrasForm>();
    EXPECT_TRUE(orvex::VxForm_ApplyState(*reread, written, true, true, true));
    EXPECT_EQ(reread->texts, (std::array<std::string, 2>{"3.4", "a.Tb\x0E"}));
    EXPECT_EQ(reread->number, -3);

    // Written before "." was escaped: a text without a dot reads as it did.
    EXPECT_TRUE(orvex::VxForm_ApplyState(
        *reread,
        "C8.Tfirst.Tsecond.P100,80S400,300:3:Old" + std::string(":1:0:2:0:4:288:5:abc:6:TAB:7:20485,4097,4097:8:1"),
        true, true, true));
    EXPECT_EQ(reread->texts, (std::array<std::string, 2>{"first", "second"}));
    EXPECT_EQ(reread->number, 8);
    EXPECT_EQ(reread->NameEdit->Text(), "Old");

    // A text that held a dot was cut into more extras than the form has: they are given in
    // order, and the ones beyond the form's are passed over.
    EXPECT_TRUE(orvex::VxForm_ApplyState(*reread, "C9.Ta.Tb.Tc.P100,80S400,300:3:Cut", true, true, true));
    EXPECT_EQ(reread->texts, (std::array<std::string, 2>{"a", "b"}));
    EXPECT_EQ(reread->number, 9);
    EXPECT_EQ(reread->NameEdit->Text(), "Cut");
}

TEST_F(VxFormTest, FormSavedOnASecondMonitorComesBackOnScreenWhenTheOptionIsOff) {
    ASSERT_TRUE(win::SetSimulatedMonitors(
        {{{0, 0, 1024, 768}, {0, 0, 1024, 738}, true}, {{1024, 0, 2304, 1024}, {1024, 0, 2304, 994}, false}}));
    orvex::TheModule.process.GeneralOptions[orvex::GO_ALLOW_SECOND_MONITOR].value = 1;
    auto form = Make();
    form->SetBounds(1500, 300, 400, 300);
    orvex::VxForm_SaveState(*form, "");

    auto allowed = Make();
    orvex::VxForm_LoadState(*allowed, true, "");
    EXPECT_EQ(allowed->Left(), 1500);

    orvex::TheModule.process.GeneralOptions[orvex::GO_ALLOW_SECOND_MONITOR].value = 0;
    auto kept = Make();
    orvex::VxForm_LoadState(*kept, true, "");
    EXPECT_EQ(kept->BoundsRect(), vcl::Bounds(964, 300, 400, 300));
}

TEST_F(VxFormTest, FormsStayOnTheScreen) {
    auto form = Make();
    orvex::VxForm_ApplyState(*form, "P5000,9000S400,300", true, true, true);
    EXPECT_EQ(form->BoundsRect(), vcl::Bounds(964, 708, 400, 300));
    form->SetBounds(-1000, -1000, 400, 300);
    orvex::VxForm_KeepOnScreen(*form, 60, 60);
    EXPECT_EQ(form->BoundsRect(), vcl::Bounds(-340, -240, 400, 300));

    struct TOffScreen : TStateForm {
        explicit TOffScreen(vcl::TComponent* owner) : TStateForm(owner) { SetBounds(900, 700, 400, 300); }
    };
    EXPECT_EQ(Make<TOffScreen>()->BoundsRect(), vcl::Bounds(624, 468, 400, 300));  // wholly on the screen
}

TEST_F(VxFormTest, StateValueNames) {
    static const std::vector<std::array<const char*, 3>> kNames = {
        {"SBBForm_1", "", "SBBForm"},
        {"SBBForm_12", "", "SBBForm"},
        {"TextExprForm_2", "", "TextExprForm"},
        {"Form_2a", "", "Forma"},
        {"A_1_2", "", "A_2"},
        {"DActOpt", "TrillNotes", "DActOptTrillNotes"},
        {"DActOpt", "_Slurs2", "DActOptSlurs2"},
    };
    for (const auto& [name, suffix, expected] : kNames) {
        EXPECT_EQ(orvex::VxForm_StateValueName(name, suffix), expected) << name << " + " << suffix;
    }
}

TEST_F(VxFormTest, DialogsAreScaledOnlyWhenTheGeneralOptionSaysSo) {
    ASSERT_TRUE(win::SetSimulatedPixelsPerInch(120));
    orvex::TheModule.process.GeneralOptions[orvex::GO_SCALE_DIALOGS].value = 1;
    auto scaled = Make();
    scaled->Box->SetBounds(8, 8, 97, 17);
    EXPECT_EQ(scaled->ClientWidth(), 490);  // 392 x 120 / 96
    orvex::TheModule.process.GeneralOptions[orvex::GO_SCALE_DIALOGS].value = 0;
    EXPECT_EQ(Make()->ClientWidth(), 392);
}

}  // namespace
