#include "forms/options_form.h"
#include "core/free_texts.h"
#include "forms/designed.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/key_assignments.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/options_store.h"
#include "core/run_environment.h"
#include "core/run_services.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "core/tool_items.h"
#include "forms/addkeyass.h"
#include "forms/control_table.h"
#include "platform/vcl/registry.h"

namespace orvex {
namespace {

/// Tool item and option set of the general program options.

struct OptionsFormUnit {
    /// The options form made last; a form freed after another was made leaves the flag alone.
    const TOptionsForm* currentForm = nullptr;
};

OptionsFormUnit& OptionsFormState() {
    return LastingState<OptionsFormUnit>();
}

/// An explanation on white, broken into lines within its bounds.
void SetUpWhiteLabel(vcl::TLabel& label, const char* caption) {
    label.SetAutoSize(false);
    label.SetWordWrap(true);
    label.SetColor(vcl::clWhite);
    label.SetCaption(caption);
}

using Control = DesignedControl<TOptionsForm>;
using F = TOptionsForm;

/// The form's controls in the order of its fields.
// clang-format off
const Control kControls[] = {
    {&F::ExplorerPanel, {},                "Panel1",       nullptr,                                    8,   8,   305, 169},
    {&F::ExplorerHint,  &F::ExplorerPanel, "Label1",       nullptr,                                    8,   8,   289, 41},
    {&F::HotKeyGroup,   &F::ExplorerPanel, "GroupBox1",    "Hotkey for Explorer for Text Expressions", 8,   56,  289, 105},
    {&F::HotKeyLabel,   &F::HotKeyGroup,   "Label3",       "key:",                                     12,  24,  22,  13},
    {&F::HotKey,        &F::HotKeyGroup,   "HotKey",       nullptr,                                    44,  20,  133, 21},
    {&F::HotKeyShift,   &F::HotKeyGroup,   "_shift",       "Shift",                                    12,  52,  57,  17},
    {&F::HotKeyCtrl,    &F::HotKeyGroup,   "_Ctrl",        "Ctrl",                                     76,  52,  49,  17},
    {&F::HotKeyAlt,     &F::HotKeyGroup,   "_Alt",         "Alt",                                      132, 52,  45,  17},
    {&F::ListenBtn,     &F::HotKeyGroup,   "Listen1",      "Listen",                                   188, 20,  89,  25},
    {&F::MetatoolPanel, {},                "Panel2",       nullptr,                                    8,   184, 305, 129},
    {&F::MetatoolHint,  &F::MetatoolPanel, "Label2",       nullptr,                                    8,   8,   289, 57},
    {&F::MetatoolGroup, &F::MetatoolPanel, "GroupBox2",    "metatool key to be assigned by Explorer",  8,   72,  289, 49},
    {&F::Metatool,      &F::MetatoolGroup, "Metatool",     nullptr,                                    12,  20,  41,  21},
    {&F::OkButton,      {},                "OkButton",     nullptr,                                    8,   420, 75,  25},
    {&F::Defaults,      {},                "Defaults",     "&Defaults",                                91,  420, 75,  25},
    {&F::CancelButton,  {},                "BitBtn1",      nullptr,                                    174, 420, 75,  25},
    {&F::MiscGroup,     {},                "GroupBox3",    "Miscellaneous",                            8,   320, 305, 89},
    {&F::ShowAllMsgs,   &F::MiscGroup,     "ShowAllMsgs",  "Show all messages and questions",          12,  20,  281, 25},
    {&F::MoreBtn,       &F::MiscGroup,     "MoreBtn",      "More program options...",                  12,  52,  281, 25},
    {&F::RemapperPanel, {},                "Panel3",       nullptr,                                    320, 8,   305, 437},
    {&F::AssignButton,  &F::RemapperPanel, "AssignButton", "enable keyboard remapper:",                8,   8,   289, 17, true},
    {&F::AssignBox,     &F::RemapperPanel, "AssignBox",    nullptr,                                    8,   32,  289, 201},
    {&F::AddBtn,        &F::RemapperPanel, "AddBtn",       "&Add...",                                  8,   240, 89,  25},
    {&F::EditBtn,       &F::RemapperPanel, "EditBtn",      "&Edit...",                                 104, 240, 89,  25},
    {&F::RemoveBtn,     &F::RemapperPanel, "RemoveBtn",    "&Remove",                                  200, 240, 97,  25},
    {&F::RemapperHelp,  &F::RemapperPanel, "Memo1",        nullptr,                                    8,   272, 289, 157},
};
// clang-format on

// clang-format off
const char* const kEnglishMemo[] = {
    "You can remap any key so that it acts either as another key or as a menu command.",
    "Click 'Add...' to define a new key assignment.",
    "To assign a menu command to a key, its menu must be available at the time you define the assignment.",
    "All keyboard commands of Speedy Entry are also available from the menus, so they can be assigned to other keys as well.",
    "To create a keyboard shortcut for one of Finale's tools, turn on Program Options/More Options/Show Tools Menu in Finale.",
    "To have a key ask for confirmation, assign it to itself and tick 'Ask for confirmation'.",
};
const char* const kGermanMemo[] = {
    "Sie können jede Taste umbelegen, so daß sie entweder eine andere Taste oder einen Menübefehl auslöst.",
    "Klicken Sie auf 'Neu...', um eine neue Tastaturumbelegung zu definieren.",
    "Wenn Sie einen Menübefehl auf eine Tastenkombination legen wollen, muß das Menü gerade verfügbar sein.",
    "Beispiel: wenn Sie einen Befehl aus dem 'Ändern'-Menü definieren möchten, müssen Sie das Bewegungswerkezeug wählen und einen Takt markieren, bevor Sie dieses Dialogfenster aufrufen.",
    "Übrigens sind auch alle Tastaturbefehle der 'Schnellen Eingabe' über das Menüsystem erreichbar und können deshalb auf neue Tasten gelegt werden.",
    "Um ein Tastaturkürzel für ein Werkzeug von Finale zu erstellen, aktivieren Sie in Finale Programm-Optionen/Weitere Optionen/Werkzeugmenü zeigen.",
    "Um eine Taste mit einer Sicherheitsabfrage zu versehen, können Sie sie mit sich selbst belegen, und 'Sicherheitsabfrage' ankreuzen.",
};
// clang-format on

/// The lines, with an empty line after each but the last.
template <size_t N>
void FillMemo(vcl::TMemo& memo, const char* const (&lines)[N]) {
    std::vector<std::string> items;
    for (size_t i = 0; i < N; ++i) {
        items.emplace_back(lines[i]);
        if (i + 1 < N) {
            items.emplace_back();
        }
    }
    memo.Lines().Assign(items);
}

std::string UpperAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return text;
}

/// The explorer's hotkey as the hotkey box names it; 0 for none. A name that gives no key
/// code (or a number outside the key codes) is reported and gives 0.
int32_t HotkeyOfText(const std::string& boxText) {
    const std::string text = UpperAscii(boxText);
    if (text.empty() || text == "(NONE)") {
        return 0;
    }
    int32_t key = KeyNameToCode(text);
    if (key == 0 && text.size() == 1) {
        key = static_cast<unsigned char>(text[0]);
    }
    if (key <= 0 || key > 255) {
        ShowMessage(FreeText::KeyNotFound);
        key = 0;
    }
    return key;
}

}  // namespace

TOptionsForm::TOptionsForm(vcl::TComponent* owner) : VxForm(owner) {
    SetName("OptionsForm");
    SetCaption("Orvex Options");
    SetBorderStyle(vcl::bsDialog);
    SetPosition(vcl::poScreenCenter);
    SetKeyPreview(true);
    SetClientWidth(632);
    SetClientHeight(453);

    PlaceControls<TOptionsForm>(*this, kControls);
    // Tab goes down the left column (the buttons at its foot last) and then to the right one.
    ListenBtn->SetTabOrder(HotKey->TabOrder() + 1);
    MiscGroup->SetTabOrder(OkButton->TabOrder());
    SetUpWhiteLabel(*ExplorerHint,
                    "The new Explorer for Text Expressions is a replacement for Finale's own selection list. Use "
                    "the hotkey specified below for quicker access.");
    HotKey->SetDropDownCount(16);
    HotKey->SetText("TAB");
    SetUpWhiteLabel(*MetatoolHint,
                    "After selecting an expression from the Explorer, you can use it as often as you wish using "
                    "the metatool key assignment below. (press the key and then click a note or measure)");
    Metatool->SetText("1");
    OkButton->SetKind(vcl::bkOK);
    CancelButton->SetKind(vcl::bkCancel);
    RemapperHelp->SetReadOnly(true);
    RemapperHelp->SetAlignment(vcl::taCenter);
    FillMemo(*RemapperHelp, kEnglishMemo);

    OnShow = [this](vcl::TObject* sender) { FormShow(sender); };
    OnClose = [this](vcl::TObject* sender, vcl::TCloseAction& action) { FormClose(sender, action); };
    OnCloseQuery = [this](vcl::TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
    OkButton->OnClick = [this](vcl::TObject* sender) { OkButtonClick(sender); };
    CancelButton->OnClick = [this](vcl::TObject* sender) { CancelButtonClick(sender); };
    Defaults->OnClick = [this](vcl::TObject* sender) { DefaultsClick(sender); };
    AssignButton->OnClick = [this](vcl::TObject* sender) { AssignButtonClick(sender); };
    AddBtn->OnClick = [this](vcl::TObject* sender) { AddBtnClick(sender); };
    EditBtn->OnClick = [this](vcl::TObject* sender) { EditBtnClick(sender); };
    RemoveBtn->OnClick = [this](vcl::TObject* sender) { RemoveBtnClick(sender); };
    ListenBtn->OnClick = [this](vcl::TObject* sender) { ListenBtnClick(sender); };
    ListenBtn->OnKeyDown = [this](vcl::TObject* sender, uint16_t& key, vcl::TShiftState shift) {
        ListenBtnKeyDown(sender, key, shift);
    };
    ShowAllMsgs->OnClick = [this](vcl::TObject* sender) { ShowAllMsgsClick(sender); };
    MoreBtn->OnClick = [this](vcl::TObject* sender) { MoreBtnClick(sender); };

    // The layout above is the form's default state; the store's values are shown over it.
    m_listening = false;
    SetCaption(Caption() + TheModule.process.VersionText);
    VxForm_LoadState(*this, false, "");
    HotKey->Items().Clear();
    for (const KeyNameRow& row : kKeyNameTable) {
        HotKey->Items().Add(row.name);
    }
    for (size_t i = 0; i < kKeyNameTable.size(); ++i) {
        if (kKeyNameTable[i].code == TheModule.options.ExplorerHotkeyKey) {
            HotKey->SetItemIndex(static_cast<int32_t>(i));
            break;
        }
    }
    const char metatool = static_cast<char>(TheModule.options.ExplorerMetatoolKey);
    Metatool->SetText(metatool == 0 ? std::string() : UpperAscii(std::string(1, metatool)));
    HotKeyShift->SetChecked(TheModule.options.ExplorerHotkeyShift != 0);
    HotKeyCtrl->SetChecked(TheModule.options.ExplorerHotkeyCtrl != 0);
    HotKeyAlt->SetChecked(TheModule.options.ExplorerHotkeyAlt != 0);
    FillAssignmentList(*AssignBox);
    AssignButton->SetChecked(TheModule.options.RemapperEnabled != 0);
    AssignButtonClick(AssignButton);
    TheModule.options.OptionsFormOpen = 1;
    OptionsFormState().currentForm = this;
}

TOptionsForm::~TOptionsForm() {
    if (!vcl::Application->Terminated()) {
        RemoveModelessForm(this);
    }
    // A form freed without OK, Cancel or closing must not keep the options command from
    // opening the next one.
    if (OptionsFormState().currentForm == this) {
        OptionsFormState().currentForm = nullptr;
        TheModule.options.OptionsFormOpen = 0;
    }
}

void TOptionsForm::ApplyGermanTexts() {
    SetCaption("Orvex Einstellungen");
    ExplorerHint->SetCaption(
        "Der neuer Explorer für Vortragsbezeichnungen ersetzt Finales eigenes Auswahlfenster. Benutzen Sie den unten "
        "angegebenen Hotkey, um ihn zu starten.");
    HotKeyGroup->SetCaption("Hotkey für den Explorer");
    HotKeyCtrl->SetCaption("Strg");
    ListenBtn->SetCaption("Hören");
    MetatoolHint->SetCaption(
        "Nach Auswahl einer Vortragsbezeichnung im Explorer können Sie sie beliebig oft verwenden, indem Sie das "
        "unten angegebene Tastaturkürzel verwenden.");
    MetatoolGroup->SetCaption("vom Explorer zugewiesenes Kürzel");
    CancelButton->SetCaption("Abbruch");
    Defaults->SetCaption("Standard");
    MiscGroup->SetCaption("Verschiedenes");
    ShowAllMsgs->SetCaption("Alle Fragen und Mitteilungen anzeigen");
    MoreBtn->SetCaption("Weitere Programmoptionen...");
    AssignButton->SetCaption("Tastaturumbelegung aktivieren:");
    AddBtn->SetCaption("Neu...");
    EditBtn->SetCaption("Ändern...");
    RemoveBtn->SetCaption("Löschen");
    RemapperHelp->Lines().Clear();
    FillMemo(*RemapperHelp, kGermanMemo);
}

// ---- Showing and ending ----

void TOptionsForm::FormShow(vcl::TObject* /*Sender*/) {
    SetOwnerWindow(DispatcherEnvironment().HostWindow());
    SetCollapseMode(0);
    // Shown again after the key-assignment editor, the form keeps what the user has changed.
    if (m_shownBefore) {
        return;
    }
    m_shownBefore = true;
    if (DispatcherEnvironment().Language() == 1) {
        ApplyGermanTexts();
    }
    VxForm_LoadState(*this, false, "");
}

void TOptionsForm::OkButtonClick(vcl::TObject* /*Sender*/) {
    if (TheModule.options.KeyAssignmentEditorOpen != 0) {
        SetModalResult(vcl::mrNone);
        return;
    }
    VxForm_SaveState(*this, "");
    TheModule.options.RemapperEnabled = AssignButton->Checked() ? 1 : 0;
    const int32_t key = HotkeyOfText(HotKey->Text());
    const int32_t lines =
        std::min(AssignBox->Items().Count(), static_cast<int32_t>(TheModule.options.KeyAssignments.size()));
    for (int32_t line = 0; line < lines; ++line) {
        TheModule.options.KeyAssignments[static_cast<size_t>(line)].SetEnabled(AssignBox->Checked(line));
    }
    try {
        if (TheModule.process.Registry->OpenKey(kSettingsKey, true)) {
            const std::string pattern = std::string(HotKeyShift->Checked() ? "S" : "s") +
                                        (HotKeyCtrl->Checked() ? "C" : "c") + (HotKeyAlt->Checked() ? "A" : "a");
            TheModule.process.Registry->WriteString("ExplorerHotkey", pattern + std::to_string(key));
            TheModule.process.Registry->WriteString("ExplorerMetatool", Metatool->Text());
            SaveKeyAssignments();
        }
    } catch (const vcl::ERegistryException&) {
        // Not saved: the store is read back as it is stored.
    }
    TheModule.process.Registry->CloseKey();
    Finish();
}

void TOptionsForm::CancelButtonClick(vcl::TObject* /*Sender*/) {
    if (TheModule.options.KeyAssignmentEditorOpen != 0) {
        SetModalResult(vcl::mrNone);
        return;
    }
    Finish();
}

void TOptionsForm::Finish() {
    LoadOptions();
    TheModule.options.OptionsFormOpen = 0;
    if (!Modal()) {
        Release();
    }
}

void TOptionsForm::FormCloseQuery(vcl::TObject* /*Sender*/, bool& CanClose) {
    CanClose = TheModule.options.KeyAssignmentEditorOpen == 0;
}

void TOptionsForm::FormClose(vcl::TObject* /*Sender*/, vcl::TCloseAction& Action) {
    if (TheModule.options.KeyAssignmentEditorOpen != 0) {
        Action = vcl::caNone;
        return;
    }
    LoadOptions();
    TheModule.options.OptionsFormOpen = 0;
    if (!Modal()) {
        Action = vcl::caFree;
    }
}

// ---- Settings ----

void TOptionsForm::DefaultsClick(vcl::TObject* /*Sender*/) {
    VxForm_RestoreDefaults(*this);
}

void TOptionsForm::AssignButtonClick(vcl::TObject* /*Sender*/) {
    AssignBox->SetEnabled(AssignButton->Checked());
}

void TOptionsForm::ListenBtnClick(vcl::TObject* /*Sender*/) {
    m_listening = true;
}

void TOptionsForm::ListenBtnKeyDown(vcl::TObject* /*Sender*/, uint16_t& Key, vcl::TShiftState /*Shift*/) {
    if (IsModifierKey(Key)) {
        return;  // held with the key to come, which is the one heard
    }
    if (m_listening) {
        HotKey->SetText(KeyAssignment_KeyText(Key, false));
        // The key was heard: it does not also press the button or close the form.
        Key = 0;
    }
    m_listening = false;
}

void TOptionsForm::ShowAllMsgsClick(vcl::TObject* /*Sender*/) {
    TheModule.process.ShowMessagesText.clear();
}

void TOptionsForm::MoreBtnClick(vcl::TObject* /*Sender*/) {
    // The general options are shown modally on a context of their own, so that the context
    // lives as long as the dialog; then the module's general options are read back from what
    // the dialog stored.
    std::shared_ptr<TFMisc> context = InitToolContext();
    context->OwnerWindow = DispatcherEnvironment().HostWindow();
    RunToolWithOptions(ItemNumber(ToolItem::Options), 1, context->Options, context->MoreOptions, context->OptionPairs,
                       true, nullptr, false, false, context.get());
    context.reset();
    ExtendedOptionArray moreOptions{};
    std::vector<std::pair<int32_t, int32_t>> optionList;
    RunToolWithOptions(ItemNumber(ToolItem::Options), 1, TheModule.process.GeneralOptions, moreOptions, optionList,
                       false, nullptr, false, false, nullptr);
}

// ---- The key assignments ----

std::vector<bool> TOptionsForm::ListTicks() const {
    std::vector<bool> ticks;
    for (int32_t line = 0; line < AssignBox->Items().Count(); ++line) {
        ticks.push_back(AssignBox->Checked(line));
    }
    return ticks;
}

void TOptionsForm::RefillList(const std::vector<bool>& ticks) {
    FillAssignmentList(*AssignBox);
    const auto kept = std::min(static_cast<int32_t>(ticks.size()), AssignBox->Items().Count());
    for (int32_t line = 0; line < kept; ++line) {
        AssignBox->SetChecked(line, ticks[static_cast<size_t>(line)]);
    }
    Show();
}

int32_t TOptionsForm::RunEditor(int32_t index) {
    const std::vector<bool> ticks = ListTicks();
    std::unique_ptr<TAddKeyAssForm> editor(vcl::Create<TAddKeyAssForm>(nullptr, index));
    TheModule.options.KeyAssignmentEditorOpen = 1;
    Hide();
    int32_t result = vcl::mrCancel;
    try {
        result = editor->ShowModal();
    } catch (...) {
        TheModule.options.KeyAssignmentEditorOpen = 0;
        RefillList(ticks);
        throw;
    }
    return result;
}

void TOptionsForm::AddBtnClick(vcl::TObject* /*Sender*/) {
    if (TheModule.options.KeyAssignmentEditorOpen != 0) {
        return;
    }
    const std::vector<bool> ticks = ListTicks();
    const auto index = static_cast<int32_t>(TheModule.options.KeyAssignments.size());
    TheModule.options.KeyAssignments.push_back(NewKeyAssignment());
    if (RunEditor(index) != vcl::mrOk && static_cast<size_t>(index) < TheModule.options.KeyAssignments.size()) {
        TheModule.options.KeyAssignments.erase(TheModule.options.KeyAssignments.begin() + index);
    }
    TheModule.options.KeyAssignmentEditorOpen = 0;
    RefillList(ticks);
}

void TOptionsForm::EditBtnClick(vcl::TObject* /*Sender*/) {
    if (TheModule.options.KeyAssignmentEditorOpen != 0) {
        return;
    }
    const int32_t line = AssignBox->ItemIndex();
    if (line < 0 || static_cast<size_t>(line) >= TheModule.options.KeyAssignments.size()) {
        return;
    }
    const KeyAssignment& record = TheModule.options.KeyAssignments[static_cast<size_t>(line)];
    if (record.IsMenuCommand()) {
        const std::string text = KeyAssignment_KeyText(record.Target(), true);
        if ((text.empty() || text[0] == '#') &&
            Ask(FreeText::MenuAssignedKeyboardShortcutCurrently, {}, Caption::KeyboardRemapper) != Answer::Yes) {
            return;
        }
    }
    const std::vector<bool> ticks = ListTicks();
    RunEditor(line);
    TheModule.options.KeyAssignmentEditorOpen = 0;
    RefillList(ticks);
}

void TOptionsForm::RemoveBtnClick(vcl::TObject* /*Sender*/) {
    if (TheModule.options.KeyAssignmentEditorOpen != 0) {
        return;
    }
    const int32_t line = AssignBox->ItemIndex();
    if (line < 0 || static_cast<size_t>(line) >= TheModule.options.KeyAssignments.size() ||
        line >= AssignBox->Items().Count()) {
        return;
    }
    TheModule.options.KeyAssignments.erase(TheModule.options.KeyAssignments.begin() + line);
    AssignBox->Items().Delete(line);
}

// ---- The options command ----

int32_t ShowOptionsForm() {
    if (TheModule.options.OptionsFormOpen != 0) {
        return 0;
    }
    auto* form = vcl::Create<TOptionsForm>(nullptr);
    AddModelessForm(form);
    form->Show();
    return 0;
}

}  // namespace orvex
