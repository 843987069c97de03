// The common dialogs of the class library: TOpenDialog and TSaveDialog show the window system's
// file dialogs (commdlg.h), which the UI driver answers with the actions queued for the
// dialog's class name ("TOpenDialog", "TSaveDialog").
#pragma once

#include <cstdint>
#include <string>

#include "platform/vcl/classes.h"

namespace vcl {

// TOpenOptions (combine with |).
using TOpenOptions = uint32_t;
inline constexpr TOpenOptions ofOverwritePrompt = 0x1;
inline constexpr TOpenOptions ofHideReadOnly = 0x2;
inline constexpr TOpenOptions ofPathMustExist = 0x4;
inline constexpr TOpenOptions ofFileMustExist = 0x8;

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}

    std::string Title;
    std::string DefaultExt;  ///< added to a name typed without extension ("txt")
    /// Description and pattern pairs separated by "|": "Text (*.txt)|*.txt".
    std::string Filter;
    int32_t FilterIndex = 1;
    /// The name shown when the dialog opens; the full path chosen after Execute answered true.
    std::string FileName;
    std::string InitialDir;
    TOpenOptions Options = ofHideReadOnly;

    /// Shows the dialog, owned by the active form (or the active window); answers whether the
    /// user chose a file.
    virtual bool Execute();

protected:
    bool Run(bool save);
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}
    bool Execute() override;
};

}  // namespace vcl
