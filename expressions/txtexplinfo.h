// TTextExprInfo: the short help page of the explorer for text expressions. The explorer shows it
// modally the first time it opens on a machine (no "InfoLevel" under "Software\HALVORAN" yet)
// and whenever the user presses its "Help" button; it creates, shows and frees it each time.
#pragma once

#include <array>
#include <string_view>

#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

namespace orvex {

/// The English lines of the help text (an empty entry is an empty line; trailing blanks kept).
extern const std::array<std::string_view, 26> kExplorerInfoEnglish;
/// The German lines, shown instead of all English ones when the program's language is German.
extern const std::array<std::string_view, 20> kExplorerInfoGerman;

class TTextExprInfo : public vcl::TForm {
public:
    /// The designed form, grown in steps of 5 pixels until its contents fit (never beyond the
    /// screen).
    explicit TTextExprInfo(vcl::TComponent* owner);

    // ---- Designed controls ----
    vcl::TMemo* TextExprInfo;
    vcl::TButton* Knew;

    /// German texts when the program's language is German.
    void FormShow(vcl::TObject* Sender);
};

/// Creates the information form, shows it modally and frees it.
void ShowExplorerInfo();

}  // namespace orvex
