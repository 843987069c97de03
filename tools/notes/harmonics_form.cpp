// THarmonicsForm.
#include "tools/notes/harmonics_form.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/commands.h"
#include "core/host/host_imports.h"
#include "core/key_automation.h"
#include "core/module.h"
#include "core/run_environment.h"
#include "core/run_services.h"
#include "core/startup.h"
#include "core/tool_items.h"
#include "expressions/txtexpr.h"
#include "platform/win/messages.h"
#include "platform/win/win.h"
#include "tools/notes/notes_services.h"

namespace orvex {

namespace {

struct HarmonicsFormUnit {
    THarmonicsForm* form = nullptr;
};

/// The tool whose stored options are the parentheses of the added note.

constexpr const char* kDescription =
    "This plug-in turns into diamonds the upper notes of harmonics which have been written as an interval. Upon "
    "playback, you will hear the sounding pitch.";
constexpr const char* kDescriptionGerman =
    "Dieser Plug-In stellt die oberen Notenköpfe von als Intervall notierten Flageoletten um. Beim Abspielen hören "
    "Sie die real erklingenden Tonhöhen.";
const std::vector<const char*> kWorkOnItems = {"all theoretical harmonics",
                                               "all violin harmonics",
                                               "fourths, fifths, and sixths only",
                                               "fourths and fifths only",
                                               "the following interval only  (fourth=4):",
                                               "all intervals"};
const std::vector<const char*> kWorkOnItemsGerman = {"alle Obertöne",
                                                     "alle Geigenflageolette",
                                                     "nur Quarten, Quinten und Sexten",
                                                     "nur Quarten und Quinten",
                                                     "nur das folgende Interfall (Quarte=4):",
                                                     "alle Intervalle"};

template <class T>
T* Placed(vcl::TWinControl* parent, T* control, const char* name, int32_t left, int32_t top, int32_t width,
          int32_t height) {
    control->SetName(name);
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    return control;
}

vcl::TCheckBox* Box(THarmonicsForm* form, const char* name, const char* caption, int32_t top, bool checked,
                    int32_t width = 300) {
    auto* box = Placed(form, new vcl::TCheckBox(form), name, 8, top, width, 17);
    box->SetCaption(caption);
    box->SetChecked(checked);
    return box;
}

int32_t NumberOf(const vcl::TEdit* edit) {
    int32_t value = 0;
    return vcl::ParseWholeNumber(edit->Text(), value) ? value : 0;
}

void LoadParentheses(OptionArray& parentheses) {
    ExtendedOptionArray more{};
    std::vector<std::pair<int32_t, int32_t>> list;
    RunToolWithOptions(ItemNumber(ToolItem::Parentheses), 1, parentheses, more, list, false, nullptr, false, false,
                       nullptr);
}

}  // namespace

THarmonicsForm*& HarmonicsForm() {
    return UnitState<HarmonicsFormUnit>().form;
}

void DeleteHarmonicsForm() {
    delete HarmonicsForm();
}

THarmonicsForm::THarmonicsForm(vcl::TComponent* owner) : VxForm(owner) {
    SetName("HarmonicsForm");
    SetCaption("Vx Harmonics");
    SetPosition(vcl::poScreenCenter);
    SetClientWidth(420);
    SetClientHeight(372);

    Description = Placed(this, new vcl::TLabel(this), "Label1", 8, 8, 404, 40);
    Description->SetWordWrap(true);
    Description->SetCaption(kDescription);
    WorkOn = Placed(this, new vcl::TRadioGroup(this), "WorkOn", 8, 52, 300, 124);
    WorkOn->SetCaption(" work on: ");
    for (const char* item : kWorkOnItems) {
        WorkOn->Items().Add(item);
    }
    WorkOn->SetItemIndex(0);
    Interval = Placed(this, new vcl::TEdit(this), "Interval", 316, 132, 40, 21);
    IntervalUpDown = Placed(this, new vcl::TUpDown(this), "UpDown1", 356, 132, 16, 21);
    IntervalUpDown->SetMin(1);
    IntervalUpDown->SetMax(30);
    IntervalUpDown->SetAssociate(Interval);
    IntervalUpDown->SetPosition(4);
    Interval->SetText("4");
    character = Placed(this, new vcl::TLabel(this), "character", 8, 186, 150, 13);
    character->SetCaption("diamond character number:");
    DiamondChar = Placed(this, new vcl::TEdit(this), "DiamondChar", 170, 182, 40, 21);
    DiamondChar->SetText("79");
    BlackDiamondLabel = Placed(this, new vcl::TLabel(this), "Label2", 220, 186, 110, 13);
    BlackDiamondLabel->SetCaption("for black noteheads:");
    BlackDiamond = Placed(this, new vcl::TEdit(this), "BlackDiamond", 340, 182, 40, 21);
    BlackDiamond->SetText("79");
    OverWrite = Box(this, "OverWrite", "overwrite existing notehead alterations", 212, false);
    playback = Box(this, "playback", "prepare for correct playback", 234, true);
    AddSound = Box(this, "AddSound", "add sounding pitch, size:", 256, false, 204);
    Percentage = Placed(this, new vcl::TEdit(this), "Percentage", 220, 254, 40, 21);
    PercentageUpDown = Placed(this, new vcl::TUpDown(this), "UpDown2", 260, 254, 16, 21);
    PercentageUpDown->SetMin(1);
    PercentageUpDown->SetMax(100);
    PercentageUpDown->SetAssociate(Percentage);
    PercentageUpDown->SetPosition(60);
    Percentage->SetText("60");
    PercentSign = Placed(this, new vcl::TLabel(this), "Label3", 280, 258, 20, 13);
    PercentSign->SetCaption("%");
    Parenthesize = Box(this, "Parenthesize", "parenthesize", 280, true, 204);
    ParaBtn = Placed(this, new vcl::TButton(this), "ParaBtn", 220, 276, 100, 25);
    ParaBtn->SetCaption("Parentheses...");
    HarmonicsGo = Placed(this, new vcl::TBitBtn(this), "HarmonicsGo", 8, 336, 75, 25);
    HarmonicsGo->SetCaption("&Go");
    HarmonicsGo->SetDefault(true);
    HarmDefaults = Placed(this, new vcl::TBitBtn(this), "BitBtn1", 90, 336, 75, 25);
    HarmDefaults->SetCaption("&Defaults");
    HarmCancel = Placed(this, new vcl::TBitBtn(this), "HarmCancel", 337, 336, 75, 25);
    HarmCancel->SetCaption("C&lose");
    HarmCancel->SetCancel(true);
    AddSoundClick(nullptr);

    OnShow = [this](vcl::TObject* sender) { FormShow(sender); };
    HarmDefaults->OnClick = [this](vcl::TObject* sender) { HarmDefaultsClick(sender); };
    AddSound->OnClick = [this](vcl::TObject* sender) { AddSoundClick(sender); };
    Parenthesize->OnClick = [this](vcl::TObject* sender) { ParenthesizeClick(sender); };
    ParaBtn->OnClick = [this](vcl::TObject* sender) { ParaBtnClick(sender); };
    HarmonicsGo->OnClick = [this](vcl::TObject* sender) { HarmonicsGoClick(sender); };
    HarmCancel->OnClick = [this](vcl::TObject* sender) { HarmCancelClick(sender); };

    TextExpressionTable().LoadFromDocument();
    LoadParentheses(m_parentheses);
}

THarmonicsForm::~THarmonicsForm() {
    // When the module goes, the class library frees the forms left open after the module's state
    // is gone: only a form freed while the module runs forgets itself there.
    if (!vcl::Application->Terminated() && HarmonicsForm() == this) {
        HarmonicsForm() = nullptr;
    }
    if (!vcl::Application->Terminated()) {
        RemoveModelessForm(this);
    }
}

void THarmonicsForm::FormShow(vcl::TObject* /*Sender*/) {
    SetOwnerWindow(DispatcherEnvironment().HostWindow());
    if (DispatcherEnvironment().Language() == 1) {
        SetCaption("Flageolette");
        Description->SetCaption(kDescriptionGerman);
        WorkOn->SetCaption("Intervallauswahl");
        const int32_t chosen = WorkOn->ItemIndex();
        WorkOn->Items().Clear();
        for (const char* item : kWorkOnItemsGerman) {
            WorkOn->Items().Add(item);
        }
        WorkOn->SetItemIndex(chosen);
        character->SetCaption("Flageolett-Notenkopf:");
        BlackDiamondLabel->SetCaption("für ausgefüllte Köpfe:");
        OverWrite->SetCaption("bestehende Notenkopfveränderungen überschreiben");
        playback->SetCaption("die korrekte Wiedergabe vorbereiten");
        AddSound->SetCaption("klingenden Ton hinzufügen");
        Parenthesize->SetCaption("einklammern");
        ParaBtn->SetCaption("Klammern...");
        HarmonicsGo->SetCaption("Los!");
        HarmDefaults->SetCaption("Standard");
        HarmCancel->SetCaption("Abbruch");
    }
    if (!Caption().ends_with(TheModule.process.VersionText)) {
        SetCaption(Caption() + TheModule.process.VersionText);
    }
    VxForm_LoadState(*this, false, "");
    AddSoundClick(nullptr);
}

void THarmonicsForm::HarmDefaultsClick(vcl::TObject* /*Sender*/) {
    VxForm_RestoreDefaults(*this);
    AddSoundClick(nullptr);
}

void THarmonicsForm::AddSoundClick(vcl::TObject* /*Sender*/) {
    const bool on = AddSound->Checked();
    for (vcl::TControl* control :
         std::initializer_list<vcl::TControl*>{Percentage, PercentageUpDown, PercentSign, Parenthesize}) {
        control->SetEnabled(on);
    }
    ParenthesizeClick(nullptr);
}

void THarmonicsForm::ParenthesizeClick(vcl::TObject* /*Sender*/) {
    ParaBtn->SetEnabled(AddSound->Checked() && Parenthesize->Checked());
}

void THarmonicsForm::ParaBtnClick(vcl::TObject* /*Sender*/) {
    ExtendedOptionArray more{};
    std::vector<std::pair<int32_t, int32_t>> list;
    OptionArray shown = m_parentheses;
    if (RunToolWithOptions(ItemNumber(ToolItem::Parentheses), 1, shown, more, list, true, nullptr, false, false,
                           nullptr)) {
        m_parentheses = shown;
    }
}

HarmonicsSettings THarmonicsForm::Settings() const {
    HarmonicsSettings settings;
    settings.interval = NumberOf(Interval);
    settings.workOn = WorkOn->ItemIndex();
    settings.overwrite = OverWrite->Checked();
    settings.diamond = NumberOf(DiamondChar);
    settings.playback = playback->Checked();
    settings.addSound = AddSound->Checked();
    settings.parenthesize = Parenthesize->Checked();
    settings.percentage = NumberOf(Percentage);
    settings.blackDiamond = NumberOf(BlackDiamond);
    settings.parentheses = m_parentheses;
    return settings;
}

void THarmonicsForm::HarmonicsGoClick(vcl::TObject* /*Sender*/) {
    VxForm_SaveState(*this, "");
    RunHarmonics(Settings());
    // The host is called once for the first menu entry and that call does nothing: it takes the
    // focus back and brings its menus up to date.
    SkipNextHostCall();
    FocusHostWindow();
    win::SendMessage(DispatcherEnvironment().HostWindow(), win::WM_COMMAND, TheModule.commands.HostCommandIds[0]);
    RedrawHostDocument(nullptr);
}

void THarmonicsForm::HarmCancelClick(vcl::TObject* /*Sender*/) {
    Close();
}

int32_t ShowHarmonicsForm() {
    if (HarmonicsForm() == nullptr) {
        // The application owns the form, so that it is freed when the plug-in is unloaded.
        HarmonicsForm() = vcl::Create<THarmonicsForm>(vcl::Application);
        AddModelessForm(HarmonicsForm());
    }
    HarmonicsForm()->Show();
    return 1;
}

}  // namespace orvex
