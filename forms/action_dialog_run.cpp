// Running a tool from the action options dialog: Go and the two extra buttons store the values
// into the dialog's tool context, dispatch the tool and show what it left in the values; the
// folder and file lists, the file-name edit and the result list answer the user directly.
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "core/commands.h"
#include "core/host/document_writes.h"
#include "core/host/host_imports.h"
#include "core/host/staff_lists.h"
#include "core/host_probes.h"
#include "core/key_automation.h"
#include "core/lumvar_binding.h"
#include "core/module.h"
#include "core/run_environment.h"
#include "core/run_services.h"
#include "core/startup.h"
#include "forms/dactopt.h"
#include "forms/file_controls.h"
#include "forms/myedit.h"
#include "platform/win/messages.h"
#include "platform/win/transcript.h"

namespace orvex {
void TDActOpt::OKBtnClick(vcl::TObject* /*Sender*/) {
    RunFromDialog(1);
}

void TDActOpt::btExtra1Click(vcl::TObject* /*Sender*/) {
    RunFromDialog(2);
}

void TDActOpt::btExtra2Click(vcl::TObject* /*Sender*/) {
    RunFromDialog(3);
}

void TDActOpt::RunFromDialog(int32_t mode) {
    // The file list first: a folder chosen in the lists is opened, not printed.
    if (auto* files = dynamic_cast<TFileListBox*>(m_listControl)) {
        TMyEdit* pathEdit = PathEdit();
        if (pathEdit != nullptr && pathEdit->Focused()) {
            RefreshFileList(*this);
        }
        if (m_directoryList != nullptr && m_directoryList->Focused()) {
            const int32_t index = m_directoryList->ItemIndex();
            if (index >= 0 && pathEdit != nullptr) {
                pathEdit->SetText(m_directoryList->ItemPath(index).string());
            }
            RefreshFileList(*this);
            SetModalResult(vcl::mrNone);
            return;
        }
        if (files->SelCount() <= 0) {
            SetModalResult(vcl::mrNone);
            return;
        }
    }
    // The step a run of this dialog waits for comes only from the host's call for it.
    const bool stepDue = std::exchange(m_stepDue, false);
    if (m_context == nullptr || m_running || Modal() || (RunGoesOn() && !stepDue)) {
        return;
    }
    const bool keyHeld = stepDue ? m_keyHeldAtRun : CallKeyPressed() != 0;
    m_keyHeldAtRun = keyHeld;
    m_stop = false;
    // A pitch row that holds no pitch name runs nothing: the user is told and may correct it.
    if (!CheckPitchRows(*this)) {
        return;
    }
    TFMisc& context = *m_context;
    if (!stepDue) {
        // A run that waits for its document's next step gives way first (or goes on waiting
        // when its document is not the one this run works on).
        SettleWaitingRunFor(m_optionSet * 100 + m_item);
    }
    m_running = true;
    ActionDialog_StoreValues(*this, m_item, context.Options, context.MoreOptions, &context.OptionPairs, m_optionSet);
    context.OptionsForm = this;
    m_ranTool = true;
    if (!stepDue && !m_toolCaption.empty()) {
        // The caption shows the tool again, not what the last run left there: the host names
        // what this run changes after the window in front.
        SetCaption(m_toolCaption);
    }
    const uint32_t writes = DocumentWriteCount();
    {
        // Keys the run sends (the explosion's, New Spacing's) are for this dialog's command, also
        // when Go comes outside the host's call.
        const KeysForCommand keys(HostCommandOf(m_optionSet * 100 + m_item));
        DispatchTool(context, m_item, m_optionSet, mode);
    }
    const bool wroteOutsideHostCall = DocumentWriteCount() != writes && !InsideHostCall();
    ActionDialog_ApplyValues(*this, m_item, context.Options, context.MoreOptions, &context.OptionPairs, m_optionSet);
    if (context.RerunFlag == 0) {
        RedrawHostDocument(nullptr);
    }
    // The run changed the staves or groups, or another document is in front: the lists show
    // what the document holds now.
    std::string title = m_listsTitle;
    if (m_listControl != nullptr && (context.ListsChanged != 0 || GetHostWindowTitle(title))) {
        ActionDialog_FillLists(*this);
    }
    CancelBtn->SetCaption(DispatcherEnvironment().Language() == 1 ? "&Schließen" : "&Close");

    const bool stepPending = RunStepWaits() || context.LaterStepPending;
    if (!m_stop && !stepPending) {
        const vcl::TCheckBoxState inactivate = cbInactivate->State();
        if (inactivate == vcl::cbChecked || (inactivate == vcl::cbGrayed && CallReturnFocusToFinale())) {
            FocusHostWindow();
        }
        // The tool changed the document outside the host's call: one more call of the host,
        // which does nothing, lets the host take the change.
        if (TheModule.commands.HostCommandIds[0] != 0) {
            SkipNextHostCall();
            if (wroteOutsideHostCall) {
                NoteChangeOutsideHostCall();
            }
            win::PostMessage(DispatcherEnvironment().HostWindow(), win::WM_COMMAND,
                             TheModule.commands.HostCommandIds[0]);
        } else {
            win::OutputDebugString("Orvex188: the product menu is not built, so the host is not called again");
        }
        if (context.RerunFlag != 0) {
            PostHostRedrawCommands();
        }
    }
    m_running = false;
    if (m_listMarker == MIN_FILE_LIST) {
        UndoBtn->SetEnabled(false);
        RedoBtn->SetEnabled(false);
    }
    if (!stepPending && (keyHeld || cbAutoClose->Checked())) {
        CancelBtnClick(this);
    } else if (!stepPending && Visible()) {
        // The user reads that the dialog is still there and has the keys.
        win::TranscriptWrite("[form] " + vcl::QuoteForTranscript(Caption()) + " " + ClassName() +
                             " stays open after Go (\"Close\" after Go is off)");
    }
}

void TDActOpt::RunPendingStep() {
    m_stepDue = true;
    RunFromDialog(1);
    m_stepDue = false;
}

bool TDActOpt::RunGoesOn() const {
    return m_running ||
           (m_context != nullptr && (m_context->ExplosionRunning != 0 || m_context->LaterStepPending != 0));
}

void TDActOpt::SteppedRunEnded() {
    if (m_context != nullptr) {
        m_context->LaterStepPending = 0;  // a run that ended before its last step leaves none
    }
    if (m_running) {
        return;
    }
    if (m_context != nullptr && m_listControl != nullptr && m_context->ListsChanged != 0) {
        ActionDialog_FillLists(*this);
    }
    const vcl::TCheckBoxState inactivate = cbInactivate->State();
    if (inactivate == vcl::cbChecked || (inactivate == vcl::cbGrayed && CallReturnFocusToFinale())) {
        FocusHostWindow();
    }
    if (m_keyHeldAtRun || cbAutoClose->Checked()) {
        CancelBtnClick(this);
    }
}

void TDActOpt::ListMouseDown(vcl::TObject* /*Sender*/) {
    if (m_building || m_running || m_listControl == nullptr || m_listMarker == MIN_FILE_LIST ||
        m_listMarker == MIN_MEASURE_LIST) {
        return;
    }
    std::string title = m_listsTitle;
    bool changed = GetHostWindowTitle(title);
    if (!changed && m_context != nullptr && m_context->Instruments != nullptr) {
        if (m_listMarker == MIN_GROUP_LIST && m_context->Groups != nullptr) {
            changed = RefreshStaffAndGroupLists(*m_context->Groups, *m_context->Instruments);
        } else if (m_listMarker == MIN_STAFF_LIST || m_listMarker == MIN_STAFF_COLUMN) {
            changed = m_context->Instruments->RefreshIfGone(-1);
        }
    }
    if (changed) {
        ActionDialog_FillLists(*this);
    }
}

void TDActOpt::FormResize(vcl::TObject* /*Sender*/) {
    if (m_listControl == nullptr || m_building || m_minWidth == 0) {
        return;
    }
    // The panel keeps its side margins; the file list's right edge follows the panel's.
    const int32_t grown = Width() - m_minWidth;
    RowPanel->SetWidth(m_panelWidth + grown);
    m_listControl->SetWidth(m_listWidth + grown);
}

void TDActOpt::DirectoryChanged(vcl::TObject* /*Sender*/) {
    if (TMyEdit* pathEdit = PathEdit(); pathEdit != nullptr && m_directoryList != nullptr) {
        const std::string folder = m_directoryList->Directory().string();
        if (pathEdit->Text() != folder) {
            pathEdit->SetText(folder);
        }
    }
}

void TDActOpt::PathChange(vcl::TObject* Sender) {
    if (!m_building && Sender != nullptr && Sender == PathEdit()) {
        RefreshFileList(*this);
    }
}

void TDActOpt::ResultListDblClick(vcl::TObject* /*Sender*/) {
    if (m_listControl == nullptr) {
        return;
    }
    const int32_t index = m_listControl->ItemIndex();
    if (index < 0 || !m_listControl->Selected(index)) {
        return;
    }
    // "Measure 12-14: ..." shows measure 12.
    const std::string& line = m_listControl->Items()[index];
    const size_t blank = line.find(' ');
    if (blank == std::string::npos) {
        return;
    }
    const int32_t measure = std::atoi(line.substr(blank + 1, line.find('-', blank + 1) - blank - 1).c_str());
    if (measure > 0) {
        ShowHostMeasure(static_cast<hostapi::MeasureNumber>(measure));
    }
}

void TDActOpt::FileNameDblClick(vcl::TObject* Sender) {
    auto* edit = dynamic_cast<TMyEdit*>(Sender);
    if (edit == nullptr) {
        return;
    }
    dlgOpen->FileName = edit->Text();
    if (dlgOpen->Execute()) {
        edit->SetText(dlgOpen->FileName);
    }
}

}  // namespace orvex
