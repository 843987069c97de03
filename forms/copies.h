// TfmCopies: the number of copies of every file of a print run, typed per file or set by rules
// ("look for" a word in the file name -> copies). Named sets of rules are kept in the registry
// under "Software\HALVORAN", values "Rule#1" to "Rule#49": the set's name, then for every row
// of the rules grid ":" + look-for text + "," + copies text.
//
// Sound reading: every pair of a stored set is read back, the last one (which no ":" follows)
// too, so that row 99 of a saved set survives loading it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "forms/vxform.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/grids.h"
#include "platform/vcl/stdctrls.h"

namespace orvex {

class TPrintMultipleFiles;

/// A grid of texts: the class library's grid with a text in every cell. The user edits a cell
/// by naming it and its new text ("COL,ROW=TEXT"); a grid whose Editing is off refuses.
class TStringGrid : public vcl::TDrawGrid {
public:
    explicit TStringGrid(vcl::TComponent* owner);

    /// The cell's text; "" for a cell never written.
    std::string Cells(int32_t col, int32_t row) const;
    void SetCells(int32_t col, int32_t row, std::string_view text);
    /// Whether the user may type into the current cell.
    bool Editing() const { return m_editing; }
    void SetEditing(bool editing) { m_editing = editing; }

    std::string ValueText() const override;
    /// One line per row up to the last row that holds a text: the row's texts joined by " | ".
    std::vector<std::string> DetailLines() const override;
    std::string UserSet(std::string_view value) override;

private:
    std::map<std::pair<int32_t, int32_t>, std::string> m_cells;
    bool m_editing = false;
};

/// The registry value name of rule-set slot 1 to 49: "Rule#" and the slot.
std::string RuleSlotName(int32_t slot);
/// The look-for and copies texts of a stored rule set's text, in order (at most 99 pairs).
std::vector<std::pair<std::string, std::string>> ReadRulePairs(std::string_view text);

class TfmCopies : public VxForm {
public:
    explicit TfmCopies(vcl::TComponent* owner);

    // ---- Designed controls ----
    vcl::TPanel* pnMain;
    TStringGrid* sgCopies;  ///< "File" / "Copies": one row per selected file
    vcl::TLabel* lbRulesHeading;
    TStringGrid* sgRules;  ///< "Look for" / "Copies": 99 rule rows
    vcl::TButton* btApply;
    vcl::TButton* OkBtn;
    vcl::TButton* btCancel;
    vcl::TLabel* lbRuleSet;
    vcl::TButton* btSave;
    vcl::TComboBox* cbRules;  ///< the names of the stored rule sets
    vcl::TButton* btDelete;
    vcl::TButton* btClear;

    /// The print form whose selected files the form lists.
    TPrintMultipleFiles* PrintForm = nullptr;
    /// 1 after Go!, 0 after Cancel.
    int32_t GoFlag = 0;

    // ---- Handlers ----
    void FormShow(vcl::TObject* Sender);
    void sgCopiesSelectCell(vcl::TObject* Sender, int32_t ACol, int32_t ARow, bool& CanSelect);
    void btApplyClick(vcl::TObject* Sender);
    void cbRulesChange(vcl::TObject* Sender);
    void btSaveClick(vcl::TObject* Sender);
    void btDeleteClick(vcl::TObject* Sender);
    void btClearClick(vcl::TObject* Sender);
    void OkBtnClick(vcl::TObject* Sender);
    void btCancelClick(vcl::TObject* Sender);
    /// The grids' column widths follow the form's width.
    void FormResize(vcl::TObject* Sender);
    /// The form is never narrower than 9 and never lower than 12 times the Delete button.
    void FormCanResize(vcl::TObject* Sender, int32_t& NewWidth, int32_t& NewHeight, bool& Resize);

    /// The number of copies in the row of the file named `fileName` (0 when the text is no
    /// number); -1 when no row names the file.
    int32_t CopiesOf(std::string_view fileName) const;

private:
    /// Empties both columns of rows 1-99 of the rules grid.
    void ClearRuleRows();
    /// The text of the rule set named `name` as it is stored, from the rules grid.
    std::string RuleSetText(const std::string& name) const;
    /// The slots 1-49 whose set is named `name`.
    std::vector<int32_t> SlotsNamed(const std::string& name) const;
};

}  // namespace orvex
