#include "forms/dactopt.h"

#include <algorithm>

#include "core/key_automation.h"
#include "core/lumvar_binding.h"
#include "core/module.h"
#include "core/run_environment.h"
#include "core/run_services.h"
#include "core/startup.h"
#include "core/tool_items.h"
#include "forms/designed.h"
#include "forms/dxfcheckbox.h"
#include "forms/file_controls.h"
#include "forms/mathparser.h"
#include "forms/myedit.h"
#include "platform/win/transcript.h"
#include "platform/win/user32.h"
#include "platform/win/windows.h"

namespace orvex {
namespace {

vcl::TButton* DesignedButton(vcl::TForm* form, const char* name, const char* caption, int32_t left, int32_t top,
                             int32_t width, int32_t height) {
    auto* button = Designed(form, new vcl::TButton(form), name, left, top, width, height);
    button->SetCaption(caption);
    return button;
}

vcl::TCheckBox* DesignedCheckBox(vcl::TForm* form, const char* name, const char* caption, int32_t left, int32_t width,
                                 bool grayed) {
    auto* box = Designed(form, new vcl::TCheckBox(form), name, left, 250, width, 17);
    box->SetCaption(caption);
    box->SetAllowGrayed(grayed);
    box->SetState(grayed ? vcl::cbGrayed : vcl::cbUnchecked);
    return box;
}

const std::vector<vcl::TLabel*> kNoHeaders;

/// The dialogs shown without blocking that still exist. Made with the first of them, so that it
/// goes before the dispatcher's lists and the class library's screen when the module is
/// unloaded, and takes the dialogs left open with it.
class OpenDialogs {
public:
    ~OpenDialogs() {
        while (!m_dialogs.empty()) {
            delete m_dialogs.back();  // leaves the list
        }
    }
    std::vector<TDActOpt*> m_dialogs;
};

OpenDialogs& ModelessDialogs() {
    // Made on first use, after the class library's application: its destructor frees the
    // dialogs still open when the process ends, which needs the application.
    static OpenDialogs dialogs;
    return dialogs;
}

}  // namespace

// The designed form: the panel that the rows are laid out on, the buttons below it and the
// "After Go:" choices; BuildActionDialog places and sizes them for the item.
TDActOpt::TDActOpt(vcl::TComponent* owner) : VxForm(owner) {
    SetCaption("Options");
    SetBorderStyle(vcl::bsDialog);
    SetPosition(vcl::poDesigned);
    SetKeyPreview(true);
    SetBounds(200, 120, 439, 315);

    RowPanel = Designed(this, new vcl::TPanel(this), "Panel1", 8, 8, 417, 200);
    DummyLabel = Designed(RowPanel, new vcl::TLabel(this), "DummyLabel", 8, 8, 31, 13);
    DummyLabel->SetCaption("Dummy");
    DummyLabel->SetVisible(false);

    OKBtn = DesignedButton(this, "OKBtn", "&OK", 8, 216, 75, 25);
    OKBtn->SetDefault(true);
    OKBtn->SetModalResult(vcl::mrOk);
    CancelBtn = DesignedButton(this, "CancelBtn", "&Cancel", 91, 216, 75, 25);
    CancelBtn->SetCancel(true);
    CancelBtn->SetModalResult(vcl::mrCancel);
    DefaultBtn = DesignedButton(this, "DefaultBtn", "&Defaults", 174, 216, 75, 25);
    FurtherBtn = DesignedButton(this, "SubMask1", "&Parentheses...", 257, 216, 100, 25);
    UndoBtn = DesignedButton(this, "UndoBtn", "&Undo", 365, 218, 41, 12);
    RedoBtn = DesignedButton(this, "RedoBtn", "&Redo", 365, 230, 41, 12);

    AfterGoLabel = Designed(this, new vcl::TLabel(this), "Label1", 8, 252, 43, 13);
    AfterGoLabel->SetCaption("After Go:");
    cbCollapse = DesignedCheckBox(this, "cbCollapse", "Collapse when inactive", 64, 140, true);
    cbAutoClose = DesignedCheckBox(this, "cbAutoClose", "Close", 210, 60, false);
    cbInactivate = DesignedCheckBox(this, "cbInactivate", "Inactivate", 276, 80, true);

    btExtra1 = DesignedButton(this, "btExtra1", "Re&move these effects from selection", 8, 272, 201, 25);
    btExtra1->SetVisible(false);
    btExtra2 = DesignedButton(this, "btExtra2", "&Play", 215, 272, 75, 25);
    btExtra2->SetModalResult(vcl::mrOk);
    btExtra2->SetVisible(false);

    dlgOpen = new vcl::TOpenDialog(this);
    dlgOpen->SetName("dlgOpen");
    dlgOpen->Title = "Select Input File";
    dlgOpen->DefaultExt = ".txt";
    dlgOpen->Filter = "Auricle Cue Text File (*.txt)|*.txt";
    dlgOpen->Options = vcl::ofHideReadOnly | vcl::ofPathMustExist | vcl::ofFileMustExist;
    Parser = new TMathParser(this);
    Parser->SetName("Parser");

    OKBtn->OnClick = [this](vcl::TObject* sender) { OKBtnClick(sender); };
    CancelBtn->OnClick = [this](vcl::TObject* sender) { CancelBtnClick(sender); };
    DefaultBtn->OnClick = [this](vcl::TObject* sender) { DefaultBtnClick(sender); };
    FurtherBtn->OnClick = [this](vcl::TObject* sender) { FurtherBtnClick(sender); };
    UndoBtn->OnClick = [this](vcl::TObject* sender) { UndoBtnClick(sender); };
    RedoBtn->OnClick = [this](vcl::TObject* sender) { RedoBtnClick(sender); };
    btExtra1->OnClick = [this](vcl::TObject* sender) { btExtra1Click(sender); };
    btExtra2->OnClick = [this](vcl::TObject* sender) { btExtra2Click(sender); };
    cbAutoClose->OnClick = [this](vcl::TObject* sender) { cbAutoCloseClick(sender); };
    cbCollapse->OnClick = [this](vcl::TObject* sender) { cbCollapseClick(sender); };
    Parser->OnGetVar = [this](vcl::TObject* sender, const std::string& name, long double& value, bool& found) {
        ParserGetVar(sender, name, value, found);
    };
    OnShow = [this](vcl::TObject* sender) { FormShow(sender); };
    OnClose = [this](vcl::TObject* sender, vcl::TCloseAction& action) { FormClose(sender, action); };
    OnKeyUp = [this](vcl::TObject* sender, uint16_t& key, vcl::TShiftState shift) { FormKeyUp(sender, key, shift); };
}

void TDActOpt::SetModeless(bool modeless) {
    std::erase(ModelessDialogs().m_dialogs, this);
    m_modeless = modeless;
    if (modeless) {
        ModelessDialogs().m_dialogs.push_back(this);
    }
}

void TDActOpt::ShareContext() {
    if (m_context != nullptr) {
        m_contextShare = ShareToolContext(*m_context);
    }
}

TDActOpt::~TDActOpt() {
    if (m_modeless) {
        std::erase(ModelessDialogs().m_dialogs, this);
    }
    // No place may keep a dialog that is gone.
    if (!vcl::Application->Terminated()) {
        RemoveModelessForm(this);
    }
    ForgetPendingOptionsForm(this);
    // A context the dialog neither owns nor ran may be gone already; it never refers to the dialog.
    if (m_context != nullptr && (m_modeless || m_ranTool)) {
        if (m_context->OptionsForm == this) {
            m_context->OptionsForm = nullptr;
        }
        if (m_modeless && TheModule.hooks.PrintContext == m_context) {
            TheModule.hooks.PrintContext = nullptr;  // the print run ends with its dialog
        }
    }
    m_context = nullptr;
    // The dialog's share of the context goes; a part explosion its Go started keeps its own.
    m_contextShare.reset();
    FocusHostWindow();
}

// ---- Rows ----

vcl::TControl* TDActOpt::NumberedControl(int32_t number) {
    vcl::TControl* control = RowControl(number);
    return control != nullptr && control->Showing() ? control : nullptr;
}

int32_t TDActOpt::ControlNumber(const vcl::TControl* control) const {
    if (control == nullptr) {
        return -1;
    }
    const auto it = std::find(m_rowControls.begin(), m_rowControls.end(), control);
    return it == m_rowControls.end() ? -1 : static_cast<int32_t>(it - m_rowControls.begin());
}

std::vector<vcl::TForm::OtherCaption> TDActOpt::OtherLanguageCaptions() {
    const int32_t other = DispatcherEnvironment().Language() == 1 ? 0 : 1;
    const std::span<ActionControlRow> rows = ActionRows(m_item);
    std::vector<OtherCaption> captions;
    for (size_t row = 0; row < rows.size(); ++row) {
        vcl::TControl* control = NumberedControl(static_cast<int32_t>(row));
        const char* caption = rows[row].Caption(other);
        if (control == nullptr || caption == nullptr) {
            continue;
        }
        // As a label shows it (the caption's last line), and as a radio group's title.
        const std::string text(caption);
        for (const std::string& shown : {RowLabelText(text), text.substr(0, text.find('['))}) {
            captions.push_back({shown, other == 1 ? "German" : "English", other == 1 ? "English" : "German", control});
        }
    }
    return captions;
}

void TDActOpt::WriteControlsToTranscript() {
    for (const vcl::TControl* control : TranscriptControls()) {
        // A row's caption is written with its control.
        if (const auto label = std::find(m_rowLabels.begin(), m_rowLabels.end(), control); label != m_rowLabels.end()) {
            const vcl::TControl* rowControl = m_rowControls[static_cast<size_t>(label - m_rowLabels.begin())];
            if (rowControl != nullptr && rowControl->Showing()) {
                continue;
            }
        }
        const int32_t row = ControlNumber(control);
        if (row < 0) {
            WriteControlLine(*control, "  ");
            continue;
        }
        const vcl::TLabel* label = m_rowLabels[static_cast<size_t>(row)];
        const bool labelled = label != nullptr && label->Showing() && !label->Caption().empty();
        const std::string caption = labelled                  ? label->Caption()
                                    : control->ShowsCaption() ? control->Caption()
                                                              : std::string();
        std::string prefix = "  row " + std::to_string(row);
        if (!caption.empty()) {
            prefix += " " + vcl::QuoteForTranscript(caption);
        }
        WriteControlLine(*control, prefix + ": ", false, labelled);
    }
}

vcl::TControl* TDActOpt::RowControl(int32_t row) const {
    return row >= 0 && row < kActionRowsPerItem ? m_rowControls[static_cast<size_t>(row)] : nullptr;
}

vcl::TLabel* TDActOpt::RowLabel(int32_t row) const {
    return row >= 0 && row < kActionRowsPerItem ? m_rowLabels[static_cast<size_t>(row)] : nullptr;
}

vcl::TBevel* TDActOpt::RowFrame(int32_t row) const {
    return row >= 0 && row < kActionRowsPerItem ? m_rowFrames[static_cast<size_t>(row)] : nullptr;
}

const std::vector<vcl::TLabel*>& TDActOpt::RowHeaders(int32_t row) const {
    return row >= 0 && row < kActionRowsPerItem ? m_rowHeaders[static_cast<size_t>(row)] : kNoHeaders;
}

TdxfCheckBox* TDActOpt::RowCheckBox(int32_t row) const {
    return dynamic_cast<TdxfCheckBox*>(RowControl(row));
}

std::vector<TCourierEdit*> TDActOpt::FixedWidthEdits() const {
    std::vector<TCourierEdit*> edits;
    for (vcl::TControl* control : m_rowControls) {
        if (auto* edit = dynamic_cast<TCourierEdit*>(control)) {
            edits.push_back(edit);
        }
    }
    return edits;
}

TMyEdit* TDActOpt::PathEdit() const {
    // HARDCODED: the folder of the file list is the text of row 2 (the print command's "Path:").
    return m_listMarker == MIN_FILE_LIST ? dynamic_cast<TMyEdit*>(RowControl(2)) : nullptr;
}

// ---- Remembered extras ----

int32_t TDActOpt::GetExtraInt(int32_t index) {
    return index == -1 ? 2 : 0;
}

std::string TDActOpt::GetExtraString(int32_t index) {
    const std::vector<TCourierEdit*> edits = FixedWidthEdits();
    return index >= 1 && static_cast<size_t>(index) <= edits.size() ? edits[static_cast<size_t>(index - 1)]->Text()
                                                                    : "";
}

void TDActOpt::SetExtraString(int32_t index, const std::string& value) {
    const std::vector<TCourierEdit*> edits = FixedWidthEdits();
    if (index >= 1 && static_cast<size_t>(index) <= edits.size()) {
        edits[static_cast<size_t>(index - 1)]->SetText(value);
    }
}

// ---- Showing, closing, keys ----

void TDActOpt::FormShow(vcl::TObject* /*Sender*/) {
    // The owner is the host's main window as the binding of Lumvar2000 knows it; until the
    // binding has run, the window the host gave at start-up.
    const win::Hwnd finaleWindow = GetFinaleWindow();
    SetOwnerWindow(finaleWindow != win::kNoWindow ? finaleWindow : DispatcherEnvironment().HostWindow());
    const bool firstShow = !m_shown;
    m_shown = true;
    if (firstShow) {
        m_toolCaption = Caption();
    }
    if (firstShow && m_listMarker == MIN_EXPRESSION_LIST) {
        ActionDialog_FillLists(*this);  // says so when the text expressions cannot be read
    }
    if (m_listControl != nullptr) {
        m_listControl->SetBounds(m_listLeft, m_listTop, m_listControl->Width(), m_listControl->Height());
    }
    if (DispatcherEnvironment().Language() == 1) {
        if (CancelBtn->Caption() == "&Cancel") {
            CancelBtn->SetCaption("&Abbrechen");
        }
        UndoBtn->SetCaption("Widerr.");
        RedoBtn->SetCaption("Aufr.");
        DefaultBtn->SetCaption("Standard");
    }
    const bool runsTools = m_context != nullptr && !Modal() && !IsItem(m_item, ToolItem::PrintMultipleFiles);
    if (runsTools) {
        SetCollapseMode(cbCollapse->State() == vcl::cbChecked ? 1 : cbCollapse->State() == vcl::cbGrayed ? -1 : 0);
        cbInactivate->SetVisible(!cbAutoClose->Checked());
    } else {
        // Without a run from the dialog the "After Go:" choices mean nothing.
        for (vcl::TControl* control : std::initializer_list<vcl::TControl*>{UndoBtn, RedoBtn, AfterGoLabel, cbCollapse,
                                                                            cbAutoClose, cbInactivate}) {
            control->SetVisible(false);
        }
    }
}

void TDActOpt::FormClose(vcl::TObject* /*Sender*/, vcl::TCloseAction& Action) {
    if (RunGoesOn()) {
        Action = vcl::caNone;
        KeepOpenWhileRunGoesOn();
        return;
    }
    if (m_modeless) {
        Action = vcl::caFree;
    }
}

void TDActOpt::CancelBtnClick(vcl::TObject* /*Sender*/) {
    // A modal dialog closes through the button's modal result.
    if (Modal()) {
        return;
    }
    if (RunGoesOn()) {
        KeepOpenWhileRunGoesOn();
        return;
    }
    Close();
}

void TDActOpt::KeepOpenWhileRunGoesOn() {
    // The run works on the dialog's tool context and is not to be interrupted: the dialog stays,
    // and the host takes the activation back, so that the keys of the run's steps reach it and
    // the run goes on at once rather than wait for the user to click the host.
    if (m_running) {
        return;
    }
    win::MessageBeep(0);
    win::TranscriptWrite("[form] " + vcl::QuoteForTranscript(Caption()) + " " + ClassName() +
                         " stays open while its run goes on");
    win::SetForegroundWindow(DispatcherEnvironment().HostWindow());
    FocusHostWindow();
}

void TDActOpt::FormKeyUp(vcl::TObject* /*Sender*/, uint16_t& /*Key*/, vcl::TShiftState /*Shift*/) {
    for (int32_t row = 0; row < kActionRowsPerItem; ++row) {
        if (TdxfCheckBox* box = RowCheckBox(row)) {
            box->SetColor(box->Focused() ? vcl::clHighlightText : vcl::clBtnFace);
        }
    }
}

void TDActOpt::DummyLabelClick(vcl::TObject* Sender) {
    for (int32_t row = 0; row < kActionRowsPerItem; ++row) {
        if (m_rowLabels[static_cast<size_t>(row)] == Sender) {
            if (TdxfCheckBox* box = RowCheckBox(row); box != nullptr && box->Visible() && box->Enabled()) {
                box->Click();
            }
            return;
        }
    }
}

void TDActOpt::CheckBoxClick(vcl::TObject* /*Sender*/) {
    UpdateAllDependentOptions(*this);
}

void TDActOpt::cbCollapseClick(vcl::TObject* /*Sender*/) {
    // The choice counts from now on, for the next time the dialog loses the activation.
    if (m_shown && m_context != nullptr && !Modal() && !IsItem(m_item, ToolItem::PrintMultipleFiles)) {
        SetCollapseMode(cbCollapse->State() == vcl::cbChecked ? 1 : cbCollapse->State() == vcl::cbGrayed ? -1 : 0);
    }
}

void TDActOpt::cbAutoCloseClick(vcl::TObject* /*Sender*/) {
    cbInactivate->SetVisible(!cbAutoClose->Checked() && cbAutoClose->Visible());
}

// ---- Buttons that do not run the tool ----

void TDActOpt::FurtherBtnClick(vcl::TObject* /*Sender*/) {
    OpenFurtherOptions(*this, true);
}

void TDActOpt::UndoBtnClick(vcl::TObject* /*Sender*/) {
    SendUndoRedoToHost(false);
}

void TDActOpt::RedoBtnClick(vcl::TObject* /*Sender*/) {
    SendUndoRedoToHost(true);
}

void TDActOpt::ParserGetVar(vcl::TObject* /*Sender*/, const std::string& VarName, long double& Value, bool& Found) {
    static constexpr std::array<const char*, 5> kNames = {"x", "y", "z", "a", "b"};
    Found = false;
    for (size_t i = 0; i < kNames.size(); ++i) {
        if (VarName == kNames[i]) {
            Value = m_formulaVariables[i];
            Found = true;
            return;
        }
    }
}

}  // namespace orvex
