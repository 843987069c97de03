// TPrintMultipleFiles: the user picks a folder and several document files ("*.MUS"), the
// number of copies and a pause, and optionally the copies of every file (TfmCopies). Go! hands
// the run to tool item 50 of the dispatcher with the form's own tool context: the dispatcher
// opens one file after the other in the host by keys, and the TNow timer prints and closes it.
// The form stays open during the run; closing it releases it and ends the run.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/tool_context.h"
#include "forms/form_commands.h"
#include "forms/vxform.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/handles.h"

namespace orvex {

/// Options of Print Multiple Files, by row.
enum PrintFilesRow : size_t {
    PRINT_FILES_COPIES = 0,
    PRINT_FILES_PAUSE_AFTER = 1,  ///< ask after this many files; 0 = never
    PRINT_FILES_PATH = 2,
    PRINT_FILES_LIST = 3
};

class TDirectoryListBox;
class TFileListBox;
class TfmCopies;
class TPrintMultipleFiles;

/// Where a print run of many files is (the print form's tool context keeps it in its state slots).
struct PrintRunState {
    TPrintMultipleFiles* form = nullptr;  ///< the print form of the run (not owned)
    int32_t fileIndex = 0;                ///< the next file in the print form's list
    int32_t step = 0;                     ///< 0 opened, 1 printed, 2 closed
    int32_t printedCount = 0;
    /// The document of the file was open before the run brought it to the front: the run prints
    /// it and leaves it open (closing it would lose what the user had not saved).
    bool openBefore = false;
    /// The window of the document the user had in front when the run began: it is in front
    /// again when the run ends.
    win::Hwnd frontBefore = win::kNoWindow;
};

/// The context's print run state.
PrintRunState& PrintRun(const TFMisc& context);

/// The drives of the file system, linked to a directory list: this file system has one, its root.
class TDriveComboBox : public vcl::TComboBox {
public:
    explicit TDriveComboBox(vcl::TComponent* owner);
    /// The directory list that shows the chosen drive (none by default).
    void SetDirList(TDirectoryListBox* list) { m_dirList = list; }

private:
    TDirectoryListBox* m_dirList = nullptr;
};

class TPrintMultipleFiles : public VxForm {
public:
    explicit TPrintMultipleFiles(vcl::TComponent* owner);
    /// Ends a run of the form's context and leaves the list of open modeless forms.
    ~TPrintMultipleFiles() override;

    // ---- Designed controls ----
    vcl::TBitBtn* OkButton;  ///< "&Go!"
    vcl::TButton* Defaults;
    vcl::TBitBtn* CancelButton;
    vcl::TLabel* lbExplanation;
    vcl::TPanel* pnFiles;
    vcl::TLabel* lbCopies;
    vcl::TEdit* edCopies;
    vcl::TEdit* edPause;
    vcl::TLabel* lbPause;
    vcl::TEdit* edPath;
    vcl::TLabel* lbPath;
    TDriveComboBox* DriveBox;  ///< the drives, linked to DLB
    TDirectoryListBox* DLB;
    TFileListBox* ListBox;  ///< the "*.MUS" files of the folder, several selectable
    vcl::TCheckBox* cbIndividual;
    vcl::TLabel* lbDirectory;  ///< hidden: the directory list's folder

    // ---- Handlers ----
    void FormShow(vcl::TObject* Sender);
    void edPathChange(vcl::TObject* Sender);
    void DLBChange(vcl::TObject* Sender);
    void DefaultsClick(vcl::TObject* Sender);
    void CancelButtonClick(vcl::TObject* Sender);
    void FormClose(vcl::TObject* Sender, vcl::TCloseAction& Action);
    void FormCanResize(vcl::TObject* Sender, int32_t& NewWidth, int32_t& NewHeight, bool& Resize);
    void OkButtonClick(vcl::TObject* Sender);

    /// The tool context of the print run, owned by the form.
    TFMisc& Context() { return m_context; }
    const std::string& CurrentPath() const { return m_currentPath; }
    /// The copies form when the run takes individual copies; none otherwise.
    TfmCopies* CopiesForm() const { return m_individual ? m_copiesForm : nullptr; }
    /// The copies of a file of the run: its row of the copies form when individual copies were
    /// chosen (and the form names the file), else option 0 of the context.
    int32_t CopiesOf(const std::string& fileName) const;

    /// The file the run opened last (set by the dispatcher when it opens the next file).
    std::filesystem::path PrintingFile;

private:
    std::string m_currentPath;
    TFMisc m_context;
    TfmCopies* m_copiesForm = nullptr;  ///< made on first use, owned by this form
    bool m_individual = false;          ///< the run takes the copies form's copies
    bool m_pathChanging = false;
};

}  // namespace orvex
