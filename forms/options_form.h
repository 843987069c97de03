// TOptionsForm: edits the options store (the explorer's hotkey and metatool key, the keyboard
// remapper and its key assignments), resets the skipped messages and opens the general program
// options. It is shown without blocking and stays open beside the host; its OK writes the
// registry and reads the store back, its Cancel reads the store back unchanged.
#pragma once

#include <cstdint>

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
    vcl::TPanel* Panel1;
    vcl::TLabel* Label1;        ///< the explorer's explanation
    vcl::TGroupBox* GroupBox1;  ///< "Hotkey for Explorer for Text Expressions"
    vcl::TLabel* Label3;        ///< "key:"
    vcl::TComboBox* HotKey;
    vcl::TCheckBox* _shift;
    vcl::TCheckBox* _Ctrl;
    vcl::TCheckBox* _Alt;
    vcl::TButton* Listen1;
    vcl::TPanel* Panel2;
    vcl::TLabel* Label2;        ///< the metatool's explanation
    vcl::TGroupBox* GroupBox2;  ///< "metatool key to be assigned by Explorer"
    vcl::TEdit* Metatool;
    vcl::TBitBtn* OkButton;
    vcl::TButton* Defaults;
    vcl::TBitBtn* BitBtn1;      ///< Cancel
    vcl::TGroupBox* GroupBox3;  ///< "Miscellaneous"
    vcl::TButton* ShowAllMsgs;
    vcl::TButton* MoreBtn;
    vcl::TPanel* Panel3;
    vcl::TCheckBox* AssignButton;
    vcl::TCheckListBox* AssignBox;
    vcl::TButton* AddBtn;
    vcl::TButton* EditBtn;
    vcl::TButton* RemoveBtn;
    vcl::TMemo* Memo1;

    // ---- Handlers ----
    void FormShow(vcl::TObject* Sender);
    void OkButtonClick(vcl::TObject* Sender);
    void BitBtn1Click(vcl::TObject* Sender);
    void DefaultsClick(vcl::TObject* Sender);
    void AssignButtonClick(vcl::TObject* Sender);
    void AddBtnClick(vcl::TObject* Sender);
    void EditBtnClick(vcl::TObject* Sender);
    void RemoveBtnClick(vcl::TObject* Sender);
    void Listen1Click(vcl::TObject* Sender);
    void Listen1KeyDown(vcl::TObject* Sender, uint16_t& Key, vcl::TShiftState Shift);
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
    /// Reads the store back and ends the form (OK and Cancel).
    void Finish();

    bool m_listening = false;
    bool m_shownBefore = false;
};

}  // namespace orvex
