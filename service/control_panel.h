// Lumvar2000's two dialogs: the control panel, where the user edits the preferences, and the
// debug panel, which sends test notifications to the registered clients. The host offers no
// host-run dialogs from a plug-in's templates, so both are forms of the class library, laid
// out as their templates (control panel 20128, debug panel 20129) describe.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

namespace lumvar {

/// Dialog resource 20128, "Lumvar - Control Panel".
class TLumvarControlPanel : public vcl::TForm {
public:
    explicit TLumvarControlPanel(vcl::TComponent* owner);

    vcl::TGroupBox* PreferencesGroup;  ///< 101
    vcl::TCheckBox* SecondMonitor;     ///< 102
    vcl::TCheckBox* UpdateLayout;      ///< 103
    vcl::TCheckBox* ReturnFocus;       ///< 104
    vcl::TCheckBox* Collapse;          ///< 105
    vcl::TCheckBox* Transparent;       ///< 106, under 105
    vcl::TLabel* LanguageLabel;
    vcl::TComboBox* Languages;  ///< 108
    vcl::TLabel* VersionLabel;
    vcl::TLabel* Version;        ///< 109
    vcl::TButton* WebPage;       ///< 110
    vcl::TButton* OkButton;      ///< 1
    vcl::TButton* CancelButton;  ///< 2

    void FormShow(vcl::TObject* sender);
    void OkButtonClick(vcl::TObject* sender);
    void WebPageClick(vcl::TObject* sender);

private:
    /// The six values when the panel opened: language, update layout, second monitor, return
    /// focus, collapse, transparency.
    std::array<int16_t, 6> m_opened{};
};

/// Dialog resource 20129, "Lumvar Debug Panel".
class TLumvarDebugPanel : public vcl::TForm {
public:
    explicit TLumvarDebugPanel(vcl::TComponent* owner);

    vcl::TGroupBox* EventGroup;                ///< 101
    std::array<vcl::TRadioButton*, 4> Events;  ///< 102..105
    vcl::TRadioButton* TextEvent;              ///< 106
    vcl::TEdit* EventText;                     ///< 107
    vcl::TButton* SendEvent;                   ///< 108
    vcl::TButton* OkButton;
    vcl::TButton* CancelButton;

    void FormShow(vcl::TObject* sender);
    void SendEventClick(vcl::TObject* sender);
};

/// pLUMVAR_DialogBox: with Ctrl+Shift held the debug panel (result 2), else the control panel
/// (1 after OK, 2 after Cancel).
int16_t DialogBox();

/// The control panel's last result (1 OK, 2 Cancel) and the debug panel's last event and text.
int16_t ControlPanelResult();
int32_t DebugPanelLastEvent();
const std::string& DebugPanelLastText();

void ResetControlPanel();

}  // namespace lumvar
