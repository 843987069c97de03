#include "forms/printfiles.h"
#include "core/free_texts.h"
#include "core/module.h"
#include "forms/designed.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "core/host/host_window.h"
#include "core/host_probes.h"
#include "core/key_automation.h"
#include "core/lumvar_binding.h"
#include "core/messages.h"
#include "core/run_environment.h"
#include "core/run_services.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "core/tool_items.h"
#include "forms/copies.h"
#include "forms/file_controls.h"
#include "platform/win/keys.h"
#include "platform/win/windows.h"

namespace orvex {
namespace {

/// The print tool's item in the dispatcher.

vcl::TLabel* DesignedLabel(vcl::TWinControl* parent, vcl::TComponent* owner, const char* name, const char* caption,
                           int32_t left, int32_t top) {
    auto* label = Designed(parent, new vcl::TLabel(owner), name, left, top, 0, 13);
    label->SetCaption(caption);
    return label;
}

int32_t NumberOr(const std::string& text, int32_t otherwise) {
    int32_t value = 0;
    return vcl::ParseWholeNumber(text, value) ? value : otherwise;
}

}  // namespace

// ---- TDriveComboBox ----

TDriveComboBox::TDriveComboBox(vcl::TComponent* owner) : vcl::TComboBox(owner) {
    SetStyle(vcl::csDropDownList);
    Items().Add(std::filesystem::current_path().root_path().string());
    SetItemIndex(0);
    OnChange = [this](vcl::TObject*) {
        if (m_dirList != nullptr && !Text().empty()) {
            m_dirList->SetDirectory(Text());
        }
    };
}

// ---- TPrintMultipleFiles ----

TPrintMultipleFiles::TPrintMultipleFiles(vcl::TComponent* owner) : VxForm(owner) {
    SetName("PrintMultipleFiles");
    SetCaption("Orvex: Print Multiple Files");
    SetPosition(vcl::poScreenCenter);
    SetKeyPreview(true);
    SetClientWidth(400);
    SetClientHeight(452);

    OkButton = Designed(this, new vcl::TBitBtn(this), "OkButton", 8, 420, 75, 25);
    OkButton->SetCaption("&Go!");
    OkButton->SetDefault(true);
    Defaults = Designed(this, new vcl::TButton(this), "Defaults", 91, 420, 75, 25);
    Defaults->SetCaption("&Defaults");
    CancelButton = Designed(this, new vcl::TBitBtn(this), "BitBtn1", 174, 420, 75, 25);
    CancelButton->SetCaption("&Cancel");
    CancelButton->SetCancel(true);
    lbExplanation = Designed(this, new vcl::TLabel(this), "Label1", 8, 8, 381, 57);
    lbExplanation->SetAutoSize(false);
    lbExplanation->SetWordWrap(true);
    lbExplanation->SetAlignment(vcl::taCenter);
    lbExplanation->SetColor(vcl::clWhite);
    lbExplanation->SetCaption(
        "This plug-in prints all selected files to Finale's currently active printer. If the process stops, such as "
        "due to a printer error, you can reactivate it by clicking Finale's menu bar.");
    pnFiles = Designed(this, new vcl::TPanel(this), "Panel1", 8, 72, 381, 337);
    lbCopies = DesignedLabel(pnFiles, this, "Label2", "&Copies:", 8, 12);
    edCopies = Designed(pnFiles, new vcl::TEdit(this), "edCopies", 88, 8, 49, 21);
    edCopies->SetText("1");
    edPause = Designed(pnFiles, new vcl::TEdit(this), "edPause", 296, 8, 49, 21);
    lbPause = DesignedLabel(pnFiles, this, "Label3", "&Pause after:", 216, 12);
    edPath = Designed(pnFiles, new vcl::TEdit(this), "edPath", 88, 36, 285, 21);
    lbPath = DesignedLabel(pnFiles, this, "Label4", "P&ath:", 8, 40);
    DriveBox = Designed(pnFiles, new TDriveComboBox(this), "DriveComboBox1", 8, 64, 365, 21);
    DLB = Designed(pnFiles, new TDirectoryListBox(this), "DLB", 8, 92, 180, 209);
    ListBox = Designed(pnFiles, new TFileListBox(this), "ListBox", 196, 92, 177, 209);
    ListBox->SetMultiSelect(true);
    ListBox->SetMask("*.MUS");
    cbIndividual = Designed(pnFiles, new vcl::TCheckBox(this), "cbIndividual", 8, 310, 365, 17);
    cbIndividual->SetCaption("Specify individually (extra dialog)");
    lbDirectory = DesignedLabel(pnFiles, this, "lbDirectory", "", 8, 330);
    lbDirectory->SetVisible(false);

    // The lists start in the current folder, as the class library's lists do.
    DriveBox->SetDirList(DLB);
    DLB->SetFileList(ListBox);
    std::error_code error;
    DLB->SetDirectory(std::filesystem::current_path(error));
    lbDirectory->SetCaption(DLB->Directory().string());

    OnShow = [this](vcl::TObject* sender) { FormShow(sender); };
    OnClose = [this](vcl::TObject* sender, vcl::TCloseAction& action) { FormClose(sender, action); };
    OnCanResize = [this](vcl::TObject* sender, int32_t& width, int32_t& height, bool& resize) {
        FormCanResize(sender, width, height, resize);
    };
    edPath->OnChange = [this](vcl::TObject* sender) { edPathChange(sender); };
    DLB->OnChange = [this](vcl::TObject* sender) { DLBChange(sender); };
    Defaults->OnClick = [this](vcl::TObject* sender) { DefaultsClick(sender); };
    CancelButton->OnClick = [this](vcl::TObject* sender) { CancelButtonClick(sender); };
    OkButton->OnClick = [this](vcl::TObject* sender) { OkButtonClick(sender); };

    SetCaption(Caption() + TheModule.process.VersionText);
    VxForm_LoadState(*this, true, "");
}

TPrintMultipleFiles::~TPrintMultipleFiles() {
    // The run's context is part of this form: no run may go on without it.
    if (TheModule.hooks.PrintContext == &m_context) {
        EndPrintRun();
    }
    if (!vcl::Application->Terminated()) {
        RemoveModelessForm(this);
    }
}

void TPrintMultipleFiles::FormShow(vcl::TObject* /*Sender*/) {
    const win::Hwnd finaleWindow = GetFinaleWindow();
    SetOwnerWindow(finaleWindow != win::kNoWindow ? finaleWindow : DispatcherEnvironment().HostWindow());
    SetCollapseMode(0);
    VxForm_LoadState(*this, true, "");
    const int32_t buttonsTop = ClientHeight() - 4 - OkButton->Height();
    for (vcl::TControl* button : {static_cast<vcl::TControl*>(OkButton), static_cast<vcl::TControl*>(Defaults),
                                  static_cast<vcl::TControl*>(CancelButton)}) {
        button->SetTop(buttonsTop);
    }
    pnFiles->SetBounds(pnFiles->Left(), pnFiles->Top(), ClientWidth() - 19, buttonsTop - 4 - pnFiles->Top());
    lbExplanation->SetWidth(pnFiles->Width());
    const int32_t needed = Defaults->Left() + Defaults->Width() + 25;
    if (ClientWidth() < needed) {
        SetClientWidth(needed);
    }
}

void TPrintMultipleFiles::edPathChange(vcl::TObject* /*Sender*/) {
    if (m_pathChanging || (ListBox->Items().Count() > 0 && edPath->Text() == m_currentPath)) {
        return;
    }
    m_pathChanging = true;
    // An empty path is the current folder, as in the options dialog's file lists.
    const std::filesystem::path path = FolderOfPathEdit(edPath, edPath->Text());
    m_currentPath = path.string();
    ListBox->SetMask("*.MUS");
    DLB->SetDirectory(path);
    ListBox->SetDirectory(path);
    m_pathChanging = false;
}

void TPrintMultipleFiles::DLBChange(vcl::TObject* /*Sender*/) {
    lbDirectory->SetCaption(DLB->Directory().string());
    // While the path edit points the lists at its path, it keeps the text the user typed.
    if (!m_pathChanging) {
        edPath->SetText(DLB->Directory().string());
    }
}

void TPrintMultipleFiles::DefaultsClick(vcl::TObject* /*Sender*/) {
    VxForm_RestoreDefaults(*this);
}

void TPrintMultipleFiles::CancelButtonClick(vcl::TObject* /*Sender*/) {
    Release();
}

void TPrintMultipleFiles::FormClose(vcl::TObject* /*Sender*/, vcl::TCloseAction& Action) {
    Action = vcl::caFree;
}

void TPrintMultipleFiles::FormCanResize(vcl::TObject* /*Sender*/, int32_t& NewWidth, int32_t& NewHeight, bool& Resize) {
    NewWidth = std::max(NewWidth, Defaults->Left() + Defaults->Width() + 25);
    NewHeight = std::max(NewHeight, 400);
    Resize = true;
}

void TPrintMultipleFiles::OkButtonClick(vcl::TObject* /*Sender*/) {
    VxForm_SaveState(*this, "");
    // Go! again while the form's own run goes on would mix the keys of two runs in the host.
    if (ListBox->SelCount() == 0 || TheModule.hooks.PrintContext == &m_context) {
        return;
    }
    m_context.Options[PRINT_FILES_PAUSE_AFTER].value = NumberOr(edPause->Text(), 0);
    m_context.Options[PRINT_FILES_COPIES].value = NumberOr(edCopies->Text(), 1);
    PrintRun(m_context).form = this;
    m_individual = false;
    if (cbIndividual->Checked()) {
        if (m_copiesForm == nullptr) {
            m_copiesForm = vcl::Create<TfmCopies>(this);
        }
        m_copiesForm->PrintForm = this;
        m_copiesForm->GoFlag = 0;
        m_copiesForm->ShowModal();
        if (m_copiesForm->GoFlag != 1) {
            return;
        }
        m_individual = true;
    }
    DispatchTool(m_context, ItemNumber(ToolItem::PrintMultipleFiles), 0, 0);
}

int32_t TPrintMultipleFiles::CopiesOf(const std::string& fileName) const {
    if (const TfmCopies* copies = CopiesForm()) {
        if (const int32_t number = copies->CopiesOf(fileName); number >= 0) {
            return number;
        }
    }
    return m_context.Options[PRINT_FILES_COPIES].value;
}

PrintRunState& PrintRun(const TFMisc& context) {
    return context.States.Get<PrintRunState>();
}

int32_t ShowPrintMultipleFiles() {
    // The application owns the form, so that it is freed when the plug-in is unloaded.
    auto* form = vcl::Create<TPrintMultipleFiles>(vcl::Application);
    AddModelessForm(form);
    form->Show();
    return 1;
}

void EndPrintRun() {
    SetTNowEnabled(false);
    if (TFMisc* context = std::exchange(TheModule.hooks.PrintContext, nullptr)) {
        // The files the run opened and closed, and those it brought to the front to print them,
        // leave the user's own document in front again.
        BringDocumentWindowToFront(PrintRun(*context).frontBefore);
    }
}

namespace {

/// Whether the host's window names the document file in front ("Finale 2000 - [NAME]").
bool HostShowsDocument(const std::filesystem::path& file) {
    std::string title;
    if (!GetHostWindowTitle(title)) {
        return false;
    }
    const auto upper = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
        return text;
    };
    return upper(title).find(upper("[" + file.filename().string() + "]")) != std::string::npos;
}

}  // namespace

/// One tick of a print run with the host in front: step 1 prints the document the run opened,
/// step 2 closes it without saving, later steps open the next file. Printing and closing act
/// only on that document: when the host's window names another one (the file could not be
/// opened), the run stops, so that no other document is printed or closed unsaved.
void AdvancePrintRun(TFMisc& context) {
    const int32_t step = ++PrintRun(context).step;
    auto* form = PrintRun(context).form;
    if (step <= 2 && (form == nullptr || !HostShowsDocument(form->PrintingFile))) {
        const std::string name = form != nullptr ? form->PrintingFile.filename().string() : std::string();
        EndPrintRun();
        ShowMessage(FreeText::FileNotOpenPrintingStops, {name});
        return;
    }
    const bool german = context.Environment.Language() == 1;
    if (step == 1) {
        SendAltKeyToHost(german ? 'd' : 'f');
        SendKeyToHost(german                          ? (context.Environment.HostYear() < 2000 ? 'p' : 'd')
                      : TheModule.process.ItalianHost ? 'm'
                                                      : 'p');
        SendAltKeyToHost(german ? 'k' : 'c');
        SendTextToHost(std::to_string(form->CopiesOf(form->PrintingFile.filename().string())));
        SendKeyDown(win::VK_RETURN);
        SendKeyUp(win::VK_RETURN);
    } else if (step == 2 && PrintRun(context).openBefore) {
        // The user's own document stays open: only what the run opened is closed.
    } else if (step == 2) {
        win::SetForegroundWindow(context.Environment.HostWindow());
        FocusHostWindow();
        SendAltKeyToHost(german ? 'd' : 'f');
        SendKeyToHost(TheModule.process.ItalianHost ? 'd' : 'c');
        SendKeyToHost('n');
    } else {
        DispatchTool(context, ItemNumber(ToolItem::PrintMultipleFiles), 0, 0);
    }
    // A run that ended leaves the timer stopped.
    if (TheModule.hooks.PrintContext == &context) {
        SetTNowEnabled(true);
    }
}

/// Next file of a print run: the first call makes the context the print context; each call
/// opens the next selected file of the print form in the host by the keys of its File-Open
/// command (after asking whether to go on when a pause is due). The timer then prints and
/// closes it. The run ends when no file is left, the form is gone or the user says No.
int32_t OpenNextPrintFile(TFMisc& context) {
    if (TheModule.hooks.PrintContext != &context) {
        TheModule.hooks.PrintContext = &context;
        PrintRun(context).frontBefore = FrontDocumentWindow();
        PrintRun(context).fileIndex = 0;
        PrintRun(context).printedCount = 0;
        RestartTNow(500);
    }
    auto* form = PrintRun(context).form;
    if (form == nullptr || form->ListBox == nullptr || form->ReleasePending()) {
        EndPrintRun();
        return 0;
    }
    const TFileListBox& files = *form->ListBox;
    int32_t index = std::max(PrintRun(context).fileIndex, 0);
    while (index < files.Items().Count() && !files.Selected(index)) {
        ++index;
    }
    if (index >= files.Items().Count()) {
        EndPrintRun();
        return 0;
    }
    const int32_t pause = context.Options[PRINT_FILES_PAUSE_AFTER].value;
    if (pause != 0 && PrintRun(context).printedCount != 0 && PrintRun(context).printedCount % pause == 0 &&
        Ask(FreeText::NFilesHaveBeenPrinted, {std::to_string(PrintRun(context).printedCount)}) != Answer::Yes) {
        EndPrintRun();
        return 0;
    }
    ++PrintRun(context).printedCount;
    form->PrintingFile = files.ItemPath(index);
    PrintRun(context).openBefore = DocumentWindowShows(form->PrintingFile.filename().string());
    // The host window takes the focus as the active window, so that the keys reach it.
    win::SetForegroundWindow(context.Environment.HostWindow());
    FocusHostWindow();
    SendAltKeyToHost(context.Environment.Language() == 1 ? 'd' : 'f');
    if (context.Environment.Language() == 1) {
        // "ö" lies on the key VK_OEM_3 of the German keyboard; the window system's keyboard
        // layout has no "ö", so the key itself is pressed.
        SendKeyDown(win::VK_OEM_3);
        SendKeyUp(win::VK_OEM_3);
    } else {
        SendKeyToHost(TheModule.process.ItalianHost ? 'a' : 'o');
    }
    SendTextToHost(form->PrintingFile.string());
    for (int i = 0; i < 2; ++i) {
        SendKeyDown(win::VK_RETURN);
        SendKeyUp(win::VK_RETURN);
    }
    PrintRun(context).step = 0;
    PrintRun(context).fileIndex = index + 1;
    return 0;
}

}  // namespace orvex
