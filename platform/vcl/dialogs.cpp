#include "platform/vcl/dialogs.h"

#include "platform/win/commdlg.h"
#include "platform/win/windows.h"

namespace vcl {

bool TOpenDialog::Execute() {
    return Run(false);
}

bool TSaveDialog::Execute() {
    return Run(true);
}

bool TOpenDialog::Run(bool save) {
    win::OpenFileName info;
    info.owner = win::GetActiveWindow();
    info.filter = Filter;
    info.filterIndex = FilterIndex;
    info.fileName = FileName;
    info.initialDir = InitialDir;
    info.title = Title;
    info.defaultExt = DefaultExt;
    info.dialogClass = ClassName();
    info.flags = ((Options & ofOverwritePrompt) != 0 ? win::OFN_OVERWRITEPROMPT : 0) |
                 ((Options & ofHideReadOnly) != 0 ? win::OFN_HIDEREADONLY : 0) |
                 ((Options & ofPathMustExist) != 0 ? win::OFN_PATHMUSTEXIST : 0) |
                 ((Options & ofFileMustExist) != 0 ? win::OFN_FILEMUSTEXIST : 0);
    const bool chosen = save ? win::GetSaveFileName(info) : win::GetOpenFileName(info);
    if (chosen) {
        FileName = info.fileName;
        FilterIndex = info.filterIndex;
    }
    return chosen;
}

}  // namespace vcl
