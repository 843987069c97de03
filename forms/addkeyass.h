// TAddKeyAssForm: the editor of one key assignment. It edits the record of KeyAssignments at
// its index in place: the shortcut (a key name or a single character with Shift, Ctrl, Alt),
// and either a replacing key, a command of the host's menus, chosen level by level in four
// combo boxes through the menu cache, so that commands of menus that are not reachable now can
// still be chosen, or a command of the plug-in that no menu carries (the smart split point),
// chosen by its key name.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/handles.h"

namespace orvex {

/// The line of a menu level for an item without a caption (a separator).
inline constexpr const char* kMenuSeparatorLine = "--------";
/// Menu levels of the editor (the menu bar and three levels of submenus).
inline constexpr int32_t kMenuLevels = 4;
/// Lines of one menu level whose command identifiers the editor keeps.
inline constexpr int32_t kMenuLinesPerLevel = 100;

class TAddKeyAssForm : public vcl::TForm {
public:
    /// `index`: the record of KeyAssignments that the editor edits.
    TAddKeyAssForm(vcl::TComponent* owner, int32_t index);

    // ---- Designed controls ----
    vcl::TGroupBox* HotKeyBox;  ///< "Key to remap"
    vcl::TLabel* HotKeyLabel;
    vcl::TComboBox* HotKey;
    vcl::TCheckBox* HotKeyShift;
    vcl::TCheckBox* HotKeyCtrl;
    vcl::TCheckBox* HotKeyAlt;
    vcl::TButton* ListenHotKey;
    vcl::TRadioGroup* Action;
    vcl::TGroupBox* NewKeyBox;  ///< "replaced by"
    vcl::TLabel* NewKeyLabel;
    vcl::TComboBox* NewKey;
    vcl::TCheckBox* NewKeyShift;
    vcl::TCheckBox* NewKeyCtrl;
    vcl::TCheckBox* NewKeyAlt;
    vcl::TButton* ListenNewKey;
    vcl::TLabel* MenuLabel;
    vcl::TComboBox* Menu1;
    vcl::TComboBox* Menu2;
    vcl::TComboBox* Menu3;
    vcl::TComboBox* Menu4;
    vcl::TLabel* CommandLabel;  ///< "select plug-in command:"
    vcl::TComboBox* PluginCommand;
    vcl::TCheckBox* xAsk;
    vcl::TCheckBox* xSpeedyOnly;
    vcl::TButton* OkBtn;
    vcl::TButton* CancelBtn;

    // ---- Handlers ----
    void FormShow(vcl::TObject* Sender);
    void ActionClick(vcl::TObject* Sender);
    void Menu1Click(vcl::TObject* Sender);
    void Menu2Change(vcl::TObject* Sender);
    void Menu3Change(vcl::TObject* Sender);
    void OkBtnClick(vcl::TObject* Sender);
    void CancelBtnClick(vcl::TObject* Sender);
    void ListenHotKeyClick(vcl::TObject* Sender);
    void ListenNewKeyClick(vcl::TObject* Sender);
    void FormKeyDown(vcl::TObject* Sender, uint16_t& Key, vcl::TShiftState Shift);

    int32_t Index() const { return m_index; }
    /// 0 none, 1 the shortcut box, 2 the replacing-key box.
    int32_t ListenTarget() const { return m_listenTarget; }
    /// The list an editor shown without modality refills when it ends (the options form's).
    void SetAssignmentList(vcl::TCheckListBox* list) { m_assignmentList = list; }
    /// The menu listed at a level (0 the menu bar), and the command identifier of a line.
    win::Hmenu LevelMenu(int32_t level) const;
    uint32_t LevelId(int32_t level, int32_t line) const;

private:
    vcl::TComboBox* MenuCombo(int32_t level) const;
    /// Grows the form for large system fonts, so that the Cancel button lies inside it.
    void FitToButtons();
    /// Lists a menu's items at a level: positions `first` to MenuCache_Count, the identifiers
    /// into the level's table.
    void ListMenu(int32_t level, win::Hmenu menu, int32_t first, bool refresh);
    void RemoveTrailingSeparators(int32_t level);
    /// Empties the combos below `level` and disables them.
    void ClearBelow(int32_t level);
    /// Looks for the command among the lines of `level` and, through their submenus, below;
    /// chooses the lines that lead to it.
    bool FindCommand(int32_t level, uint32_t id);
    void FillMenuBar();
    void ChooseLine(int32_t level);
    void EndEditor();

    int32_t m_index;
    int32_t m_listenTarget = 0;
    /// Set while the editor fills its combos itself: their events then do nothing.
    bool m_filling = false;
    vcl::TCheckListBox* m_assignmentList = nullptr;
    std::array<win::Hmenu, kMenuLevels> m_levelMenus{};
    std::array<std::array<uint32_t, kMenuLinesPerLevel>, kMenuLevels> m_levelIds{};
};

}  // namespace orvex
