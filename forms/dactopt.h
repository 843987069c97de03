// TDActOpt, the action options dialog: every tool's options are shown in it. The dialog is built
// at run time from the tool item's rows of the action control table (BuildActionDialog): labels,
// edits, check boxes, radio groups, lists, frames and an inline table on the panel, then the
// buttons. Its values go between the controls, the tool context's option arrays and the
// registry, where the dialog's state is remembered per tool item and option set. A dialog that
// is shown without blocking keeps a share of its tool context and runs the tool from its Go button.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/option_element.h"
#include "core/tool_context.h"
#include "forms/action_control_table.h"
#include "forms/result_list.h"
#include "forms/vxform.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/stdctrls.h"

namespace orvex {

class TCourierEdit;
class TDirectoryListBox;
class TdxfCheckBox;
class TFileListBox;
class TMathParser;
class TMyEdit;

/// The option list of a run: one pair per cell of the inline table, line by line: the cell's
/// number and the row (column) it was read with.
using TableList = std::vector<std::pair<int32_t, int32_t>>;

// ---- Layout constants of the dialog (pixels) ----
inline constexpr int32_t kDialogLabelLeft = 17;    ///< left of the label column on the form
inline constexpr int32_t kDialogFirstRowTop = 20;  ///< running position of the first row on the form
inline constexpr int32_t kDialogRowPitch = 25;
inline constexpr int32_t kDialogControlHeight = 19;  ///< the least control height
inline constexpr int32_t kDialogUnitLabelWidth = 30;

class TDActOpt : public VxForm {
public:
    explicit TDActOpt(vcl::TComponent* owner);
    /// A dialog that ran a tool without blocking leaves the modeless list and destroys its tool
    /// context; in every case it leaves the pending-form reference and the host gets the focus.
    ~TDActOpt() override;

    // ---- Designed controls ----
    vcl::TPanel* RowPanel;
    vcl::TLabel* DummyLabel;  ///< hidden; its canvas measures the captions
    vcl::TButton* OKBtn;
    vcl::TButton* CancelBtn;
    vcl::TButton* DefaultBtn;
    vcl::TButton* FurtherBtn;  ///< the further options: "More ..." or the tool's own ("Parentheses...")
    vcl::TButton* UndoBtn;
    vcl::TButton* RedoBtn;
    vcl::TLabel* AfterGoLabel;
    vcl::TCheckBox* cbCollapse;
    vcl::TCheckBox* cbAutoClose;
    vcl::TCheckBox* cbInactivate;
    vcl::TButton* btExtra1;
    vcl::TButton* btExtra2;
    vcl::TOpenDialog* dlgOpen;
    TMathParser* Parser;

    // ---- Handlers ----
    void OKBtnClick(vcl::TObject* Sender);
    void btExtra1Click(vcl::TObject* Sender);
    void btExtra2Click(vcl::TObject* Sender);
    void CancelBtnClick(vcl::TObject* Sender);
    void DefaultBtnClick(vcl::TObject* Sender);
    void FurtherBtnClick(vcl::TObject* Sender);
    void UndoBtnClick(vcl::TObject* Sender);
    void RedoBtnClick(vcl::TObject* Sender);
    void FormShow(vcl::TObject* Sender);
    void FormClose(vcl::TObject* Sender, vcl::TCloseAction& Action);
    /// Recolours the rows' check boxes: the focused one stands out.
    void FormKeyUp(vcl::TObject* Sender, uint16_t& Key, vcl::TShiftState Shift);
    /// The click on a row's caption: a check box row toggles its box.
    void DummyLabelClick(vcl::TObject* Sender);
    /// The directory list's folder goes into the path row.
    void DirectoryChanged(vcl::TObject* Sender);
    /// The formula variables "x", "y", "z", "a" and "b".
    void ParserGetVar(vcl::TObject* Sender, const std::string& VarName, long double& Value, bool& Found);

    /// Runs the tool from the dialog: mode 1 Go, 2 and 3 the extra buttons.
    void RunFromDialog(int32_t mode);
    /// A run started from the dialog that went on over several host calls (the part explosion)
    /// has ended: what Go does after a run that ends at once follows now (the focus to the host
    /// as "Inactivate" says, closing as "Close" or a key held at Go says).
    void SteppedRunEnded();
    /// The next step of the dialog's run is due (the host called the plug-in for it): Go's run
    /// goes on with it.
    void RunPendingStep();
    /// Whether the dialog's tool is at work: running now, or a run it started waits for its
    /// next step (a part explosion, New Spacing's second pass). Go, Cancel and closing do
    /// nothing then.
    bool RunGoesOn() const;
    /// Cancel or closing while the run goes on: refused, and the host gets the activation back.
    void KeepOpenWhileRunGoesOn();
    /// A mouse press on the list, the panel or the form: the list is filled again when the
    /// document in front, its staves or its groups changed since it was filled.
    void ListMouseDown(vcl::TObject* Sender);
    /// A dialog with a file list: the panel and the file list follow the form's size.
    void FormResize(vcl::TObject* Sender);

    // ---- Remembered extras: the texts of the two fixed-width edits ----
    int32_t GetExtraInt(int32_t index) override;
    std::string GetExtraString(int32_t index) override;
    void SetExtraString(int32_t index, const std::string& value) override;

    // ---- What the options road, the tools and the tests see ----
    TFMisc* Context() const { return m_context; }
    int32_t Item() const { return m_item; }
    int32_t OptionSet() const { return m_optionSet; }
    /// The suffix of the registry value: the stored-under name, and the set number above 1.
    const std::string& ValueName() const { return m_valueName; }
    bool Building() const { return m_building; }
    bool Running() const { return m_running; }
    bool ValuesSupplied() const { return m_valuesSupplied; }
    /// Shown without blocking by the dispatcher: the dialog shares its tool context then. A
    /// dialog still open when the module is unloaded goes with it.
    bool Modeless() const { return m_modeless; }
    void SetModeless(bool modeless);
    /// Keeps a share of the context, for a dialog left open whose Go runs the tool.
    void ShareContext();
    /// Whether OK, Undo, Redo and Defaults are offered (not for the font list).
    bool RunButtons() const { return m_runButtons; }
    void SetRunButtons(bool runButtons) { m_runButtons = runButtons; }
    /// The host's measurement unit the unit edits start in (1..6).
    int16_t HostUnit() const { return m_hostUnit; }

    /// The control, caption label and frame of a row (none outside the rows).
    vcl::TControl* RowControl(int32_t row) const;
    vcl::TLabel* RowLabel(int32_t row) const;
    vcl::TBevel* RowFrame(int32_t row) const;
    const std::vector<vcl::TLabel*>& RowHeaders(int32_t row) const;
    /// Every control of the inline table, line by line.
    const std::vector<vcl::TControl*>& InlineControls() const { return m_inlineControls; }
    int32_t TableColumns() const { return m_tableColumns; }
    int32_t TableLines() const { return m_tableLines; }
    /// The row of the inline table's first column; -1 without a table.
    int32_t TableFirstRow() const { return m_tableFirstRow; }
    vcl::TListBox* ListControl() const { return m_listControl; }
    TDirectoryListBox* DirectoryList() const { return m_directoryList; }
    int32_t ListMarker() const { return m_listMarker; }
    int32_t ListRow() const { return m_listRow; }
    const std::string& CurrentPath() const { return m_currentPath; }

protected:
    /// The default state is captured when the layout is built, not before.
    void Constructed() override {}

    // ---- The UI driver: rows by number, one transcript line per row ----
    /// Row N's control ("#N"), when it shows.
    vcl::TControl* NumberedControl(int32_t number) override;
    int32_t ControlNumber(const vcl::TControl* control) const override;
    /// The rows' captions in the other language of the option table.
    std::vector<OtherCaption> OtherLanguageCaptions() override;
    /// Each row on one line with its number, caption and control
    /// (`row 5 "Left percentage (100=all)": edit "100"`); the other controls as usual.
    void WriteControlsToTranscript() override;

private:
    friend void BuildActionDialog(TDActOpt& dialog, int32_t item, TFMisc* context, int32_t optionSet,
                                  const OptionArray* suppliedValues, std::span<OptionElement> furtherDestination);
    friend void ActionDialog_StoreValues(TDActOpt& dialog, int32_t item, std::span<OptionElement> values,
                                         std::span<OptionElement> further, TableList* tableList, int32_t optionSet);
    friend void ActionDialog_ApplyValues(TDActOpt& dialog, int32_t item, std::span<OptionElement> values,
                                         std::span<OptionElement> further, const TableList* tableList,
                                         int32_t optionSet);
    friend void FillInstrumentColumn(TDActOpt& dialog);
    friend bool OpenFurtherOptions(TDActOpt& dialog, bool show);
    friend void ActionDialog_FillLists(TDActOpt& dialog);
    friend void RefreshFileList(TDActOpt& dialog);
    friend void ClearResultList(TFMisc& context);
    friend void AddResultLine(TFMisc& context, std::string_view text);
    friend class ActionDialogLayout;

    void cbAutoCloseClick(vcl::TObject* Sender);
    /// "Collapse when inactive" changed: the form's collapse setting follows at once.
    void cbCollapseClick(vcl::TObject* Sender);
    void PathChange(vcl::TObject* Sender);
    void ResultListDblClick(vcl::TObject* Sender);
    void FileNameDblClick(vcl::TObject* Sender);
    void CheckBoxClick(vcl::TObject* Sender);
    /// The row's check box, when the row is one.
    TdxfCheckBox* RowCheckBox(int32_t row) const;
    /// The fixed-width edits in row order.
    std::vector<TCourierEdit*> FixedWidthEdits() const;
    /// The path row's edit of a dialog with a file list.
    TMyEdit* PathEdit() const;

    std::vector<vcl::TControl*> m_inlineControls;
    vcl::TListBox* m_listControl = nullptr;
    TDirectoryListBox* m_directoryList = nullptr;
    int32_t m_listTop = 0;
    int32_t m_listLeft = 0;
    int32_t m_listMarker = 0;
    int32_t m_listRow = -1;
    int32_t m_tableColumns = 0;
    int32_t m_tableLines = 0;
    int32_t m_tableFirstRow = -1;  ///< the inline table's first column
    TFMisc* m_context = nullptr;
    /// A dialog left open keeps a share of its context (ShareContext).
    std::shared_ptr<TFMisc> m_contextShare;
    std::string m_valueName;
    int32_t m_item = 0;
    int32_t m_optionSet = 1;
    bool m_building = false;
    bool m_modeless = false;
    bool m_running = false;
    bool m_stop = false;
    bool m_valuesSupplied = false;
    bool m_shown = false;    ///< the user has seen the dialog (a hidden one has nothing new to remember)
    bool m_ranTool = false;  ///< the dialog made itself its context's options form
    bool m_runButtons = true;
    bool m_keyHeldAtRun = false;  ///< a key was held when the last run started
    bool m_stepDue = false;       ///< RunPendingStep runs the waiting step of the dialog's run
    std::string m_toolCaption;    ///< the caption the dialog first showed (runs write results there)
    std::string m_currentPath;
    std::array<long double, 5> m_formulaVariables{};
    int32_t m_minWidth = 0;
    int32_t m_minHeight = 0;
    int32_t m_panelWidth = 0;  ///< the panel's and the file list's widths at the least form width
    int32_t m_listWidth = 0;
    std::span<OptionElement> m_furtherDestination;
    std::string m_listsTitle;  ///< the host window's title when the lists were filled
    int16_t m_hostUnit = 1;
    std::array<vcl::TControl*, kOptionRows> m_rowControls{};
    std::array<vcl::TLabel*, kOptionRows> m_rowLabels{};
    std::array<vcl::TBevel*, kOptionRows> m_rowFrames{};
    std::array<std::vector<vcl::TLabel*>, kOptionRows> m_rowHeaders;
};

// ---- Layout (the action options dialog's two passes) ----

/// Lays out a freshly created dialog for one tool item and option set: the rows' controls with
/// the table's values, then the remembered state (unless the caller supplied the values: they are
/// shown instead and nothing is remembered of them).
void BuildActionDialog(TDActOpt& dialog, int32_t item, TFMisc* context, int32_t optionSet,
                       const OptionArray* suppliedValues, std::span<OptionElement> furtherDestination);
/// Shows or hides the rows that depend on the check box of `row`.
void UpdateDependentOptions(TDActOpt& dialog, int32_t row);
void UpdateAllDependentOptions(TDActOpt& dialog);
/// Whether the check box of `row` counts as checked for the visibility of the rows that depend
/// on it (for paired criteria, only with at least one other criterion checked).
bool IsOptionChecked(TDActOpt& dialog, int32_t row);
/// Whether a visibility entry holds in the dialog now. A condition naming a row that is not a
/// check box of the item holds: it cannot say anything about the row.
bool VisibilityHolds(TDActOpt& dialog, int16_t entry);

// ---- Values ----

/// The number an edit shows: a whole number, or for a unit edit a length in its unit as EVPU;
/// none when the text is not a number.
std::optional<int32_t> EditNumber(const TMyEdit& edit);
/// Whether a text is a decimal number as a unit edit reads it ("1.5", "-0,25", " 3 ").
bool IsDecimalText(std::string_view text);
/// Reads a row's control into an option element: check box 0/1; text (unit-aware); a pitch's
/// number; a number clamped to the row's limits (the row's value when the text is no number).
void ReadOptionControl(TDActOpt& dialog, vcl::TControl& control, int32_t row, OptionElement& element);
/// Shows an option element in a row's control; a number is clamped first (and written back).
void WriteOptionControl(TDActOpt& dialog, vcl::TControl& control, int32_t row, OptionElement& element);
/// The host's pitch number of a name ("C4", "G#3") with PitchNameAdjustment added: 0 for an
/// empty text (no pitch asked for), -1 for a text that is no pitch name (never a pitch).
int32_t PitchNameToValue(std::string_view text);
/// Whether a pitch row's text is empty or a name the host reads as a pitch (service 40).
bool IsPitchText(std::string_view text);
/// Every pitch row and pitch cell of the inline table holds an empty text or a pitch name;
/// otherwise the user is told which text is none, its edit gets the focus, and false: the
/// dialog runs nothing and stores nothing then.
bool CheckPitchRows(TDActOpt& dialog);
/// What the host does not read of a pitch name: +1 each time "##" is found after the first
/// character (one "#" of it is then removed), -1 likewise for "bb".
int32_t PitchNameAdjustment(std::string_view text);
/// The dialog's controls into the value lists; the list rows into the context's chosen items;
/// the inline table into the table list. Saves the remembered state unless the caller supplied
/// the values, then stores the further options into `further`.
void ActionDialog_StoreValues(TDActOpt& dialog, int32_t item, std::span<OptionElement> values,
                              std::span<OptionElement> further, TableList* tableList, int32_t optionSet);
/// The value lists into the dialog's controls (after a run: tools may change values).
void ActionDialog_ApplyValues(TDActOpt& dialog, int32_t item, std::span<OptionElement> values,
                              std::span<OptionElement> further, const TableList* tableList, int32_t optionSet);
/// The staves' names in the inline table's first column.
void FillInstrumentColumn(TDActOpt& dialog);
/// Builds the further-options dialog of the dialog's item; shown (modal) or not, its values go
/// into the further-options destination unless it was cancelled. Answers whether it stored them.
bool OpenFurtherOptions(TDActOpt& dialog, bool show);
/// Fills the dialog's list with the document's staves, groups, fonts or text expressions.
void ActionDialog_FillLists(TDActOpt& dialog);
/// Points the folder and file lists at the path row's folder.
void RefreshFileList(TDActOpt& dialog);

}  // namespace orvex
