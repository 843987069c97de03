#include "forms/addkeyass.h"

#include <algorithm>

#include "core/free_texts.h"
#include "core/key_assignments.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/options_store.h"
#include "core/run_environment.h"
#include "core/startup.h"
#include "forms/designed.h"
#include "platform/win/input.h"
#include "platform/win/menus.h"

namespace orvex {
namespace {

vcl::TCheckBox* ModifierBox(vcl::TWinControl* parent, vcl::TComponent* owner, const char* name, const char* caption,
                            int32_t left, int32_t width) {
    auto* box = Designed(parent, new vcl::TCheckBox(owner), name, left, 44, width, 17);
    box->SetCaption(caption);
    return box;
}

void FillKeyNames(vcl::TComboBox& combo) {
    combo.Items().Clear();
    for (const KeyNameRow& row : kKeyNameTable) {
        combo.Items().Add(row.name);
    }
}

/// A shortcut as the editor reads it from a key box and its three modifier boxes.
struct ReadShortcut {
    int32_t key = 0;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

/// A single character is translated through the keyboard layout: its key, and the modifiers it
/// needs besides those ticked ("?" needs Shift). A capital letter is the name of its key, as the
/// editor shows keys: it adds no Shift. Any other text is a key name.
ReadShortcut ReadKeyBox(const std::string& text, bool shift, bool ctrl, bool alt) {
    ReadShortcut shortcut{0, shift, ctrl, alt};
    const bool capitalLetter = text.size() == 1 && text[0] >= 'A' && text[0] <= 'Z';
    if (text.size() == 1 && !capitalLetter) {
        const int16_t scan = win::VkKeyScan(text[0]);
        if (scan != -1) {
            const auto state = static_cast<uint8_t>(static_cast<uint16_t>(scan) >> 8);
            shortcut.key = static_cast<uint8_t>(scan & 0xFF);
            shortcut.shift = shift || (state & 1) != 0;
            shortcut.ctrl = ctrl || (state & 2) != 0;
            shortcut.alt = alt || (state & 4) != 0;
            return shortcut;
        }
    }
    shortcut.key = KeyNameToCode(text);
    return shortcut;
}

void ShowEditorMessage(FreeText text, TextArguments arguments) {
    ShowMessage(text, arguments, Caption::KeyboardRemapper);
}

// The lines of the radio group Action: what replaces the key.
constexpr int32_t kActionKey = 0;
constexpr int32_t kActionMenuCommand = 1;
constexpr int32_t kActionPluginCommand = 2;

/// The position in its menu of a line of a level: the menu bar's lines begin at position 1.
int32_t LinePosition(int32_t level, int32_t line) {
    return level == 0 ? line + 1 : line;
}

}  // namespace

TAddKeyAssForm::TAddKeyAssForm(vcl::TComponent* owner, int32_t index) : vcl::TForm(owner), m_index(index) {
    SetCaption("Key Assignment");
    SetBorderStyle(vcl::bsDialog);
    SetPosition(vcl::poScreenCenter);
    SetClientWidth(373);
    SetClientHeight(219);

    HotKeyBox = Designed(this, new vcl::TGroupBox(this), "GroupBox1", 8, 4, 177, 97);
    HotKeyBox->SetCaption("Key to remap");
    HotKeyLabel = Designed(HotKeyBox, new vcl::TLabel(this), "Label1", 8, 20, 22, 13);
    HotKeyLabel->SetCaption("key:");
    HotKey = Designed(HotKeyBox, new vcl::TComboBox(this), "HotKey", 36, 16, 133, 21);
    HotKey->SetDropDownCount(16);
    HotKeyShift = ModifierBox(HotKeyBox, this, "_Shift", "Shift", 8, 49);
    HotKeyCtrl = ModifierBox(HotKeyBox, this, "_Ctrl", "Ctrl", 60, 41);
    HotKeyAlt = ModifierBox(HotKeyBox, this, "_Alt", "Alt", 104, 37);
    ListenHotKey = Designed(HotKeyBox, new vcl::TButton(this), "Listen1", 8, 66, 161, 23);
    ListenHotKey->SetCaption("Listen");

    Action = Designed(this, new vcl::TRadioGroup(this), "Action", 192, 4, 173, 57);
    Action->SetCaption("replace with");
    Action->Items().Assign({"other/same key", "menu command", "plug-in command"});

    NewKeyBox = Designed(this, new vcl::TGroupBox(this), "NewKeyBox", 8, 104, 357, 73);
    NewKeyBox->SetCaption("replaced by");
    NewKeyLabel = Designed(NewKeyBox, new vcl::TLabel(this), "Label2", 8, 20, 22, 13);
    NewKeyLabel->SetCaption("key:");
    NewKey = Designed(NewKeyBox, new vcl::TComboBox(this), "NewKey", 36, 16, 133, 21);
    NewKey->SetDropDownCount(16);
    NewKeyShift = ModifierBox(NewKeyBox, this, "nshift", "Shift", 8, 49);
    NewKeyCtrl = ModifierBox(NewKeyBox, this, "nctrl", "Ctrl", 60, 41);
    NewKeyAlt = ModifierBox(NewKeyBox, this, "nalt", "Alt", 104, 37);
    ListenNewKey = Designed(NewKeyBox, new vcl::TButton(this), "Listen2", 184, 16, 89, 23);
    ListenNewKey->SetCaption("Listen");

    MenuLabel = Designed(this, new vcl::TLabel(this), "MenuLabel", 8, 108, 105, 13);
    MenuLabel->SetCaption("select menu command:");
    Menu1 = Designed(this, new vcl::TComboBox(this), "Menu1", 8, 124, 177, 21);
    Menu2 = Designed(this, new vcl::TComboBox(this), "Menu2", 188, 124, 177, 21);
    Menu3 = Designed(this, new vcl::TComboBox(this), "Menu3", 8, 150, 177, 21);
    Menu4 = Designed(this, new vcl::TComboBox(this), "Menu4", 188, 150, 177, 21);
    for (vcl::TComboBox* combo : {Menu1, Menu2, Menu3, Menu4}) {
        combo->SetDropDownCount(24);
    }
    Menu2->SetEnabled(false);
    Menu3->SetEnabled(false);
    Menu4->SetEnabled(false);
    // In the place of the menu commands: the commands a key runs that no host menu carries.
    CommandLabel = Designed(this, new vcl::TLabel(this), "CommandLabel", 8, 108, 117, 13);
    CommandLabel->SetCaption("select plug-in command:");
    PluginCommand = Designed(this, new vcl::TComboBox(this), "PluginCommand", 8, 124, 177, 21);
    PluginCommand->SetStyle(vcl::csDropDownList);
    for (const int32_t code : kKeyCommandCodes) {
        PluginCommand->Items().Add(KeyCommandText(code));
    }

    xAsk = Designed(this, new vcl::TCheckBox(this), "xAsk", 192, 66, 173, 17);
    xAsk->SetCaption("Ask for confirmation");
    xSpeedyOnly = Designed(this, new vcl::TCheckBox(this), "xSpeedyOnly", 192, 84, 173, 17);
    xSpeedyOnly->SetCaption("Within Speedy only");
    // Tab goes from the key to the Listen button beside it.
    ListenNewKey->SetTabOrder(NewKey->TabOrder() + 1);

    OkBtn = Designed(this, new vcl::TButton(this), "OkBtn", 208, 186, 75, 25);
    OkBtn->SetCaption("Ok");
    OkBtn->SetModalResult(vcl::mrOk);
    OkBtn->SetDefault(true);
    CancelBtn = Designed(this, new vcl::TButton(this), "CancelBtn", 290, 186, 75, 25);
    CancelBtn->SetCaption("Cancel");
    CancelBtn->SetModalResult(vcl::mrCancel);
    CancelBtn->SetCancel(true);

    const auto keyDown = [this](vcl::TObject* sender, uint16_t& key, vcl::TShiftState shift) {
        FormKeyDown(sender, key, shift);
    };
    OnShow = [this](vcl::TObject* sender) { FormShow(sender); };
    OnCreate = [this](vcl::TObject* /*sender*/) { FitToButtons(); };
    OnKeyDown = keyDown;
    ListenHotKey->OnKeyDown = keyDown;
    ListenNewKey->OnKeyDown = keyDown;
    Action->OnClick = [this](vcl::TObject* sender) { ActionClick(sender); };
    Menu1->OnClick = [this](vcl::TObject* sender) { Menu1Click(sender); };
    Menu2->OnChange = [this](vcl::TObject* sender) { Menu2Change(sender); };
    Menu3->OnChange = [this](vcl::TObject* sender) { Menu3Change(sender); };
    OkBtn->OnClick = [this](vcl::TObject* sender) { OkBtnClick(sender); };
    CancelBtn->OnClick = [this](vcl::TObject* sender) { CancelBtnClick(sender); };
    ListenHotKey->OnClick = [this](vcl::TObject* sender) { ListenHotKeyClick(sender); };
    ListenNewKey->OnClick = [this](vcl::TObject* sender) { ListenNewKeyClick(sender); };
}

void TAddKeyAssForm::FitToButtons() {
    constexpr int32_t kInside = 5;
    constexpr int32_t kStep = 5;
    while (CancelBtn->Left() + CancelBtn->Width() > ClientWidth() - kInside &&
           Width() + kStep <= vcl::Screen->Width()) {
        SetWidth(Width() + kStep);
    }
    while (CancelBtn->Top() + CancelBtn->Height() > ClientHeight() - kInside &&
           Height() + kStep <= vcl::Screen->Height()) {
        SetHeight(Height() + kStep);
    }
}

vcl::TComboBox* TAddKeyAssForm::MenuCombo(int32_t level) const {
    switch (level) {
        case 0:
            return Menu1;
        case 1:
            return Menu2;
        case 2:
            return Menu3;
        case 3:
            return Menu4;
        default:
            return nullptr;
    }
}

win::Hmenu TAddKeyAssForm::LevelMenu(int32_t level) const {
    return level >= 0 && level < kMenuLevels ? m_levelMenus[static_cast<size_t>(level)] : win::kNoMenu;
}

uint32_t TAddKeyAssForm::LevelId(int32_t level, int32_t line) const {
    if (level < 0 || level >= kMenuLevels || line < 0 || line >= kMenuLinesPerLevel) {
        return 0;
    }
    return m_levelIds[static_cast<size_t>(level)][static_cast<size_t>(line)];
}

// ---- Menu levels ----

void TAddKeyAssForm::ListMenu(int32_t level, win::Hmenu menu, int32_t first, bool refresh) {
    vcl::TComboBox* combo = MenuCombo(level);
    auto& ids = m_levelIds[static_cast<size_t>(level)];
    combo->Items().Clear();
    ids.fill(0);
    m_levelMenus[static_cast<size_t>(level)] = menu;
    const int32_t last = MenuCache_Count(menu, false);
    for (int32_t position = first; position <= last; ++position) {
        std::string caption;
        if (MenuCache_ItemText(menu, static_cast<uint32_t>(position), caption, kMenuTextBufferSize, true, refresh,
                               false) == 0 ||
            caption.empty()) {
            caption = kMenuSeparatorLine;
        }
        const int32_t line = combo->Items().Add(caption);
        // Lines past the table are listed, but no identifier is kept for them.
        if (line < kMenuLinesPerLevel) {
            ids[static_cast<size_t>(line)] = MenuCache_ItemId(menu, position);
        }
    }
}

void TAddKeyAssForm::RemoveTrailingSeparators(int32_t level) {
    vcl::TStrings& items = MenuCombo(level)->Items();
    while (items.Count() > 0 && items[items.Count() - 1] == kMenuSeparatorLine) {
        items.Delete(items.Count() - 1);
    }
}

void TAddKeyAssForm::ClearBelow(int32_t level) {
    for (int32_t deeper = level + 1; deeper < kMenuLevels; ++deeper) {
        vcl::TComboBox* combo = MenuCombo(deeper);
        combo->Items().Clear();
        combo->SetText("");
        combo->SetEnabled(false);
        m_levelMenus[static_cast<size_t>(deeper)] = win::kNoMenu;
    }
}

bool TAddKeyAssForm::FindCommand(int32_t level, uint32_t id) {
    vcl::TComboBox* combo = MenuCombo(level);
    const int32_t lines = combo->Items().Count();
    for (int32_t line = 0; line < lines; ++line) {
        if (line < kMenuLinesPerLevel && m_levelIds[static_cast<size_t>(level)][static_cast<size_t>(line)] == id) {
            combo->SetItemIndex(line);
            combo->SetEnabled(true);
            ClearBelow(level);
            return true;
        }
        if (level + 1 >= kMenuLevels) {
            continue;
        }
        const win::Hmenu submenu =
            MenuCache_SubMenu(m_levelMenus[static_cast<size_t>(level)], LinePosition(level, line));
        if (submenu == win::kNoMenu) {
            continue;
        }
        ListMenu(level + 1, submenu, 0, false);
        if (FindCommand(level + 1, id)) {
            combo->SetItemIndex(line);
            combo->SetEnabled(true);
            return true;
        }
    }
    return false;
}

void TAddKeyAssForm::FillMenuBar() {
    const win::Hmenu bar = HostMenuBar();
    if (bar == win::kNoMenu) {
        return;
    }
    ListMenu(0, bar, 1, true);
    RemoveTrailingSeparators(0);
    ClearBelow(0);
}

void TAddKeyAssForm::ChooseLine(int32_t level) {
    if (m_filling) {
        return;
    }
    m_filling = true;
    ClearBelow(level);
    vcl::TComboBox* combo = MenuCombo(level);
    const int32_t line = combo->ItemIndex();
    if (line >= 0) {
        const win::Hmenu submenu =
            MenuCache_SubMenu(m_levelMenus[static_cast<size_t>(level)], LinePosition(level, line));
        if (submenu != win::kNoMenu) {
            ListMenu(level + 1, submenu, 0, false);
            RemoveTrailingSeparators(level + 1);
            MenuCombo(level + 1)->SetEnabled(true);
        }
    }
    m_filling = false;
}

// ---- Handlers ----

void TAddKeyAssForm::FormShow(vcl::TObject* /*Sender*/) {
    SetOwnerWindow(DispatcherEnvironment().HostWindow());
    if (DispatcherEnvironment().Language() == 1) {
        SetCaption("Tastaturumbelegung");
        HotKeyBox->SetCaption("umzubelegende Taste");
        HotKeyCtrl->SetCaption("Strg");
        NewKeyCtrl->SetCaption("Strg");
        ListenHotKey->SetCaption("Hören");
        ListenNewKey->SetCaption("Hören");
        Action->SetCaption("ersetzen mit");
        Action->Items().SetStrings(0, "anderer Taste");
        Action->Items().SetStrings(1, "Menübefehl");
        Action->Items().SetStrings(2, "Plug-In-Befehl");
        MenuLabel->SetCaption("Menübefehl auswählen");
        CommandLabel->SetCaption("Plug-In-Befehl auswählen");
        NewKeyBox->SetCaption("ersetzt durch Taste:");
        xAsk->SetCaption("Sicherheitsabfrage");
        xSpeedyOnly->SetCaption("nur Schnelle Eingabe");
        CancelBtn->SetCaption("Abbruch");
    }
    m_filling = true;
    FillKeyNames(*HotKey);
    FillKeyNames(*NewKey);
    if (m_index >= 0 && static_cast<size_t>(m_index) < TheModule.options.KeyAssignments.size()) {
        const KeyAssignment record = TheModule.options.KeyAssignments[static_cast<size_t>(m_index)];
        HotKey->SetText(KeyAssignment_KeyText(record.Key(), false));
        HotKeyShift->SetChecked(record.Shift());
        HotKeyCtrl->SetChecked(record.Ctrl());
        HotKeyAlt->SetChecked(record.Alt());
        Action->SetItemIndex(record.IsPluginCommand() ? kActionPluginCommand
                             : record.IsMenuCommand() ? kActionMenuCommand
                                                      : kActionKey);
        for (int32_t level = 0; level < kMenuLevels; ++level) {
            MenuCombo(level)->Items().Clear();
            MenuCombo(level)->SetText("");
        }
        const win::Hmenu bar = HostMenuBar();
        if (record.IsMenuCommand() && bar != win::kNoMenu && record.Target() != 0) {
            const auto target = static_cast<uint32_t>(record.Target());
            ListMenu(0, bar, 1, true);
            if (!FindCommand(0, target)) {
                ClearBelow(0);
                Menu1->SetText(EnglishText(FreeText::KeyTargetInaccessible, {std::to_string(record.Target())}));
            }
            for (int32_t level = 0; level < kMenuLevels; ++level) {
                RemoveTrailingSeparators(level);
            }
        } else if (record.IsKeyTarget()) {
            NewKey->SetText(KeyAssignment_KeyText(record.Target(), false));
            NewKeyShift->SetChecked(record.NewShift());
            NewKeyCtrl->SetChecked(record.NewCtrl());
            NewKeyAlt->SetChecked(record.NewAlt());
        }
        PluginCommand->SetItemIndex(-1);
        if (record.IsPluginCommand()) {
            const auto found = std::find(kKeyCommandCodes.begin(), kKeyCommandCodes.end(), record.Target());
            if (found != kKeyCommandCodes.end()) {
                PluginCommand->SetItemIndex(static_cast<int32_t>(found - kKeyCommandCodes.begin()));
            }
        }
        xAsk->SetChecked((record.Flags() & KeyAssignment::kAsk) != 0);
        xSpeedyOnly->SetChecked((record.Flags() & KeyAssignment::kSpeedyOnly) != 0);
    }
    m_filling = false;
    ActionClick(Action);
}

void TAddKeyAssForm::ActionClick(vcl::TObject* /*Sender*/) {
    if (m_filling) {
        return;
    }
    const bool menu = Action->ItemIndex() == kActionMenuCommand;
    const bool command = Action->ItemIndex() == kActionPluginCommand;
    NewKeyBox->SetVisible(!menu && !command);
    MenuLabel->SetVisible(menu);
    for (int32_t level = 0; level < kMenuLevels; ++level) {
        MenuCombo(level)->SetVisible(menu);
    }
    CommandLabel->SetVisible(command);
    PluginCommand->SetVisible(command);
    if (menu && Menu1->Items().Count() == 0) {
        m_filling = true;
        FillMenuBar();
        m_filling = false;
    }
}

void TAddKeyAssForm::Menu1Click(vcl::TObject* /*Sender*/) {
    ChooseLine(0);
}

void TAddKeyAssForm::Menu2Change(vcl::TObject* /*Sender*/) {
    ChooseLine(1);
}

void TAddKeyAssForm::Menu3Change(vcl::TObject* /*Sender*/) {
    ChooseLine(2);
}

void TAddKeyAssForm::ListenHotKeyClick(vcl::TObject* /*Sender*/) {
    m_listenTarget = 1;
}

void TAddKeyAssForm::ListenNewKeyClick(vcl::TObject* /*Sender*/) {
    m_listenTarget = 2;
}

void TAddKeyAssForm::FormKeyDown(vcl::TObject* /*Sender*/, uint16_t& Key, vcl::TShiftState /*Shift*/) {
    if ((m_listenTarget != 1 && m_listenTarget != 2) || IsModifierKey(Key)) {
        return;
    }
    (m_listenTarget == 1 ? HotKey : NewKey)->SetText(KeyAssignment_KeyText(Key, false));
    m_listenTarget = 0;
    // The key was heard: it does not also press the button or close the editor.
    Key = 0;
    if (HotKey->CanFocus()) {
        HotKey->SetFocus();
    }
}

void TAddKeyAssForm::OkBtnClick(vcl::TObject* /*Sender*/) {
    if (m_index < 0 || static_cast<size_t>(m_index) >= TheModule.options.KeyAssignments.size()) {
        EndEditor();
        return;
    }
    const auto keepOpen = [this] { SetModalResult(vcl::mrNone); };
    // The editor works on a copy: an OK that a check refuses leaves the stored record as it was,
    // whatever the user does next.
    KeyAssignment record = TheModule.options.KeyAssignments[static_cast<size_t>(m_index)];
    const ReadShortcut shortcut =
        ReadKeyBox(HotKey->Text(), HotKeyShift->Checked(), HotKeyCtrl->Checked(), HotKeyAlt->Checked());
    record.SetKey(static_cast<int16_t>(shortcut.key));
    record.SetModifiers(shortcut.shift, shortcut.ctrl, shortcut.alt);
    if (shortcut.key == 0) {
        ShowEditorMessage(FreeText::ChooseKeyToAssign, {});
        keepOpen();
        return;
    }
    const bool menu = Action->ItemIndex() == kActionMenuCommand;
    if (Action->ItemIndex() == kActionPluginCommand) {
        record.SetPluginCommand();
        const int32_t line = PluginCommand->ItemIndex();
        if (line < 0 || static_cast<size_t>(line) >= kKeyCommandCodes.size()) {
            ShowEditorMessage(FreeText::ChoosePlugInCommand, {});
            keepOpen();
            return;
        }
        record.SetTarget(kKeyCommandCodes[static_cast<size_t>(line)]);
    } else if (menu) {
        record.SetMenuCommand(true);
        int32_t level = kMenuLevels - 1;
        while (level > 0 && !MenuCombo(level)->Enabled()) {
            --level;
        }
        vcl::TComboBox* combo = MenuCombo(level);
        const int32_t line = combo->ItemIndex();
        if (line < 0 || combo->Text() == kMenuSeparatorLine) {
            ShowEditorMessage(FreeText::NotValidMenuSelection, {});
            keepOpen();
            return;
        }
        if (line >= kMenuLinesPerLevel) {
            ShowEditorMessage(FreeText::ReportErrorIndex, {std::to_string(level)});
            keepOpen();
            return;
        }
        const uint32_t id = LevelId(level, line);
        if (id == 0 || id == win::kNoMenuItem) {
            // A line that opens a submenu (or has no command) cannot be the command.
            ShowEditorMessage(FreeText::NotValidMenuSelection, {});
            keepOpen();
            return;
        }
        record.SetTarget(static_cast<int32_t>(id));
    } else {
        record.SetMenuCommand(false);
        const ReadShortcut replacing =
            ReadKeyBox(NewKey->Text(), NewKeyShift->Checked(), NewKeyCtrl->Checked(), NewKeyAlt->Checked());
        record.SetTarget(replacing.key);
        record.SetNewModifiers(replacing.shift, replacing.ctrl, replacing.alt);
    }
    uint8_t flags = record.Flags() & static_cast<uint8_t>(~(KeyAssignment::kAsk | KeyAssignment::kSpeedyOnly));
    flags = static_cast<uint8_t>(flags | (xAsk->Checked() ? KeyAssignment::kAsk : 0));
    flags = static_cast<uint8_t>(flags | (xSpeedyOnly->Checked() ? KeyAssignment::kSpeedyOnly : 0));
    record.SetFlags(flags);
    TheModule.options.KeyAssignments[static_cast<size_t>(m_index)] = record;
    EndEditor();
}

void TAddKeyAssForm::CancelBtnClick(vcl::TObject* /*Sender*/) {
    EndEditor();
}

void TAddKeyAssForm::EndEditor() {
    TheModule.options.KeyAssignmentEditorOpen = 0;
    if (!Modal()) {
        if (m_assignmentList != nullptr) {
            FillAssignmentList(*m_assignmentList);
        }
        Release();
    }
}

}  // namespace orvex
