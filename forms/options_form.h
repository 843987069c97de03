// TOptionsForm: edits the options store (the explorer's hotkey and metatool key, the keyboard
// remapper and its key assignments), resets the skipped messages and opens the general program
// options. It is shown without blocking and stays open beside the host; its OK writes the
// registry and reads the store back, its Cancel reads the store back unchanged.
#pragma once

#include <cstdint>
#include <vector>

#include "forms/form_commands.h"
#include "forms/vxform.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/stdctrls.h"

namespace orvex {

class TOptionsForm : public VxForm {
public:
    explicit TOptionsForm(vcl::TComponent* owner);
    /// FormDestroy: leaves the list of open modeless forms.
    ~TOptionsForm() override;

    // ---- Designed controls ----
    vcl::TPanel* ExplorerPanel;
    vcl::TLabel* ExplorerHint;    ///< white: what the explorer is, and its hotkey
    vcl::TGroupBox* HotKeyGroup;  ///< "Hotkey for Explorer for Text Expressions"
    vcl::TLabel* HotKeyLabel;
    vcl::TComboBox* HotKey;
    vcl::TCheckBox* HotKeyShift;
    vcl::TCheckBox* HotKeyCtrl;
    vcl::TCheckBox* HotKeyAlt;
    vcl::TButton* ListenBtn;
    vcl::TPanel* MetatoolPanel;
    vcl::TLabel* MetatoolHint;      ///< white: what the metatool key does
    vcl::TGroupBox* MetatoolGroup;  ///< "metatool key to be assigned by Explorer"
    vcl::TEdit* Metatool;
    vcl::TBitBtn* OkButton;
    vcl::TButton* Defaults;
    vcl::TBitBtn* CancelButton;
    vcl::TGroupBox* MiscGroup;
    vcl::TButton* ShowAllMsgs;
    vcl::TButton* MoreBtn;
    vcl::TPanel* RemapperPanel;
    vcl::TCheckBox* AssignButton;
    vcl::TCheckListBox* AssignBox;
    vcl::TButton* AddBtn;
    vcl::TButton* EditBtn;
    vcl::TButton* RemoveBtn;
    vcl::TMemo* RemapperHelp;

    // ---- Handlers ----
    void FormShow(vcl::TObject* Sender);
    void OkButtonClick(vcl::TObject* Sender);
    void CancelButtonClick(vcl::TObject* Sender);
    void DefaultsClick(vcl::TObject* Sender);
    void AssignButtonClick(vcl::TObject* Sender);
    void AddBtnClick(vcl::TObject* Sender);
    void EditBtnClick(vcl::TObject* Sender);
    void RemoveBtnClick(vcl::TObject* Sender);
    void ListenBtnClick(vcl::TObject* Sender);
    void ListenBtnKeyDown(vcl::TObject* Sender, uint16_t& Key, vcl::TShiftState Shift);
    void ShowAllMsgsClick(vcl::TObject* Sender);
    void MoreBtnClick(vcl::TObject* Sender);
    void FormCloseQuery(vcl::TObject* Sender, bool& CanClose);
    void FormClose(vcl::TObject* Sender, vcl::TCloseAction& Action);

    /// The Listen button waits for a key.
    bool Listening() const { return m_listening; }

private:
    void ApplyGermanTexts();
    /// Shows the editor for the record at `index` modally over the hidden form; answers its
    /// modal result.
    int32_t RunEditor(int32_t index);
    /// The ticks of the list's lines, which the user may have changed since it was filled.
    std::vector<bool> ListTicks() const;
    /// Fills the list from the records again, each line that was there before with the tick it
    /// had (the records' own flags change only on OK), and shows the form again.
    void RefillList(const std::vector<bool>& ticks);
    /// Reads the store back and ends the form (OK and Cancel).
    void Finish();

    bool m_listening = false;
    bool m_shownBefore = false;
};

}  // namespace orvex
