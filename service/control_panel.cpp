#include "service/control_panel.h"

#include <cstdio>
#include <memory>

#include "platform/win/system.h"
#include "service/lumvar.h"
#include "service/preferences.h"
#include "service/translations.h"
#include "service/window_services.h"

namespace lumvar {
namespace {

/// The debug panel's text field holds at most this many bytes.
constexpr size_t kMaxDebugText = 200;
constexpr int16_t kDebugPanelKeys = 0x08;  ///< Ctrl+Shift

struct PanelState {
    int16_t controlPanelResult = 2;
    int32_t lastEvent = 0;  ///< 0..3: events 1..4; 4: the text event
    std::string lastText;
};

PanelState& State() {
    static PanelState state;
    return state;
}

template <class T>
T* Make(vcl::TForm* form, vcl::TWinControl* parent, const char* name, const char* caption, int32_t left, int32_t top,
        int32_t width, int32_t height) {
    auto* control = new T(form);
    control->SetName(name);
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    control->SetCaption(caption);
    return control;
}

bool LayeredWindowsAvailable() {
    win::OsVersionInfo version;
    return win::GetVersionEx(version) && version.platformId == win::VER_PLATFORM_WIN32_NT && version.majorVersion > 4;
}

std::string VersionText() {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%02d", kMajorVersion, kMinorVersion);
    return text;
}

}  // namespace

// ---- Control panel ----

TLumvarControlPanel::TLumvarControlPanel(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetCaption("Lumvar - Control Panel");
    SetBorderStyle(vcl::bsDialog);
    SetPosition(vcl::poScreenCenter);
    SetClientWidth(345);
    SetClientHeight(262);

    PreferencesGroup = Make<vcl::TGroupBox>(this, this, "PreferencesGroup", "Plug-in preferences", 10, 8, 325, 140);
    SecondMonitor = Make<vcl::TCheckBox>(this, PreferencesGroup, "SecondMonitor", "Allow windows on second monitor", 12,
                                         20, 300, 17);
    UpdateLayout =
        Make<vcl::TCheckBox>(this, PreferencesGroup, "UpdateLayout", "Update layout when needed", 12, 42, 300, 17);
    ReturnFocus =
        Make<vcl::TCheckBox>(this, PreferencesGroup, "ReturnFocus", "Return focus to Finale", 12, 64, 300, 17);
    Collapse =
        Make<vcl::TCheckBox>(this, PreferencesGroup, "Collapse", "Collapse window when losing focus", 12, 86, 300, 17);
    Transparent =
        Make<vcl::TCheckBox>(this, PreferencesGroup, "Transparent", "Transparent in Windows 2000", 30, 108, 280, 17);
    LanguageLabel =
        Make<vcl::TLabel>(this, this, "LanguageLabel", "Prefered languages for plug-ins:", 12, 158, 200, 13);
    Languages = Make<vcl::TComboBox>(this, this, "Languages", "", 12, 174, 200, 21);
    Languages->SetStyle(vcl::csDropDownList);
    VersionLabel = Make<vcl::TLabel>(this, this, "VersionLabel", "Lumvar version:", 228, 158, 100, 13);
    Version = Make<vcl::TLabel>(this, this, "Version", "---", 228, 176, 100, 13);
    WebPage = Make<vcl::TButton>(this, this, "WebPage", "Lumvar WWW page...", 12, 226, 130, 25);
    OkButton = Make<vcl::TButton>(this, this, "OkButton", "OK", 178, 226, 75, 25);
    OkButton->SetDefault(true);
    OkButton->SetModalResult(vcl::mrOk);
    CancelButton = Make<vcl::TButton>(this, this, "CancelButton", "Cancel", 260, 226, 75, 25);
    CancelButton->SetCancel(true);
    CancelButton->SetModalResult(vcl::mrCancel);

    OnShow = [this](vcl::TObject* sender) { FormShow(sender); };
    OkButton->OnClick = [this](vcl::TObject* sender) { OkButtonClick(sender); };
    WebPage->OnClick = [this](vcl::TObject* sender) { WebPageClick(sender); };
}

void TLumvarControlPanel::FormShow(vcl::TObject* /*sender*/) {
    m_opened = {UserLanguage(),        ULWhenNeeded(),     Allow2ndMonitor(),
                ReturnFocusToFinale(), NonFocusCollapse(), TransparencyFlag()};
    SecondMonitor->SetChecked(m_opened[2] != 0);
    UpdateLayout->SetChecked(m_opened[1] != 0);
    ReturnFocus->SetChecked(m_opened[3] != 0);
    Collapse->SetChecked(m_opened[4] != 0);
    Transparent->SetChecked(m_opened[5] != 0);
    Languages->Items().Clear();
    for (int16_t language = 0; language < kLanguageCount; ++language) {
        Languages->Items().Add(TranslatedId(0, 1, language));
    }
    Languages->SetItemIndex(m_opened[0]);
    Version->SetCaption(VersionText());
    Transparent->SetEnabled(LayeredWindowsAvailable());
}

void TLumvarControlPanel::OkButtonClick(vcl::TObject* /*sender*/) {
    SetSecondMonitorPreference(SecondMonitor->Checked() ? 1 : 0);
    SetUpdateLayoutPreference(UpdateLayout->Checked() ? 1 : 0);
    // The list's value is 1-based; the preference is the language 0..12.
    SetLanguagePreference(static_cast<int16_t>(Languages->ItemIndex()));
    SetReturnFocusPreference(ReturnFocus->Checked() ? 1 : 0);
    SetCollapsePreference(Collapse->Checked() ? 1 : 0);
    SetTransparencyPreference(Transparent->Checked() ? 1 : 0);
    const std::array<int16_t, 6> now = {UserLanguage(),        ULWhenNeeded(),     Allow2ndMonitor(),
                                        ReturnFocusToFinale(), NonFocusCollapse(), TransparencyFlag()};
    constexpr std::array<uint8_t, 6> kCodes = {NOTIFY_LANGUAGE,     NOTIFY_UPDATE_LAYOUT, NOTIFY_SECOND_MONITOR,
                                               NOTIFY_RETURN_FOCUS, NOTIFY_COLLAPSE,      NOTIFY_TRANSPARENCY};
    for (size_t i = 0; i < now.size(); ++i) {
        if (now[i] != m_opened[i]) {
            NotifyValue(kCodes[i], now[i]);
        }
    }
}

void TLumvarControlPanel::WebPageClick(vcl::TObject* /*sender*/) {
    LoadURL(kHelpPageAddress);
}

// ---- Debug panel ----

TLumvarDebugPanel::TLumvarDebugPanel(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetCaption("Lumvar Debug Panel");
    SetBorderStyle(vcl::bsDialog);
    SetPosition(vcl::poScreenCenter);
    SetClientWidth(236);
    SetClientHeight(206);

    EventGroup = Make<vcl::TGroupBox>(this, this, "EventGroup", "Event type", 8, 8, 220, 150);
    static constexpr const char* kNames[] = {"Event1", "Event2", "Event3", "Event4"};
    static constexpr const char* kCaptions[] = {"Debug Event &1", "Debug Event &2", "Debug Event &3", "Debug Event &4"};
    for (size_t i = 0; i < Events.size(); ++i) {
        Events[i] = Make<vcl::TRadioButton>(this, EventGroup, kNames[i], kCaptions[i], 10,
                                            18 + 22 * static_cast<int32_t>(i), 200, 17);
    }
    TextEvent = Make<vcl::TRadioButton>(this, EventGroup, "TextEvent", "&Text Debug Event", 10, 106, 200, 17);
    EventText = Make<vcl::TEdit>(this, EventGroup, "EventText", "", 28, 124, 180, 21);
    EventText->SetMaxLength(static_cast<int32_t>(kMaxDebugText));
    SendEvent = Make<vcl::TButton>(this, this, "SendEvent", "&Send Event", 8, 170, 75, 25);
    OkButton = Make<vcl::TButton>(this, this, "OkButton", "OK", 90, 170, 65, 25);
    OkButton->SetDefault(true);
    OkButton->SetModalResult(vcl::mrOk);
    CancelButton = Make<vcl::TButton>(this, this, "CancelButton", "Cancel", 162, 170, 65, 25);
    CancelButton->SetCancel(true);
    CancelButton->SetModalResult(vcl::mrCancel);

    OnShow = [this](vcl::TObject* sender) { FormShow(sender); };
    SendEvent->OnClick = [this](vcl::TObject* sender) { SendEventClick(sender); };
    // Typing a text chooses the text event; choosing it goes to the text.
    EventText->OnChange = [this](vcl::TObject*) { TextEvent->SetChecked(true); };
    TextEvent->OnClick = [this](vcl::TObject*) {
        if (EventText->CanFocus()) {
            EventText->SetFocus();
        } else {
            SetActiveControl(EventText);
        }
    };
}

void TLumvarDebugPanel::FormShow(vcl::TObject* /*sender*/) {
    EventText->SetText(State().lastText);
    const int32_t last = State().lastEvent;
    if (last >= 0 && last < 4) {
        Events[static_cast<size_t>(last)]->SetChecked(true);
    } else {
        TextEvent->SetChecked(true);
    }
}

void TLumvarDebugPanel::SendEventClick(vcl::TObject* /*sender*/) {
    for (size_t i = 0; i < Events.size(); ++i) {
        if (Events[i]->Checked()) {
            State().lastEvent = static_cast<int32_t>(i);
            NotifyBroadcast(static_cast<uint8_t>(NOTIFY_DEBUG_FIRST + i), 0, nullptr);
            return;
        }
    }
    std::string text = win::Utf8ToAnsi(EventText->Text());
    if (text.size() > kMaxDebugText) {
        text.resize(kMaxDebugText);
    }
    if (text.empty()) {
        ErrorBeep();
        SetActiveControl(EventText);
        return;
    }
    State().lastText = EventText->Text();
    State().lastEvent = 4;
    NotifyBroadcast(NOTIFY_DEBUG_TEXT, static_cast<int32_t>(text.size() + 1), text.c_str());
}

// ---- The dialog service ----

int16_t DialogBox() {
    if ((KeyPressed() & kDebugPanelKeys) != 0) {
        std::unique_ptr<TLumvarDebugPanel> panel(vcl::Create<TLumvarDebugPanel>(nullptr));
        panel->SetOwnerWindow(HostWindow);
        panel->ShowModal();
        return 2;
    }
    State().controlPanelResult = 2;
    std::unique_ptr<TLumvarControlPanel> panel(vcl::Create<TLumvarControlPanel>(nullptr));
    panel->SetOwnerWindow(HostWindow);
    State().controlPanelResult = panel->ShowModal() == vcl::mrOk ? 1 : 2;
    return State().controlPanelResult;
}

int16_t ControlPanelResult() {
    return State().controlPanelResult;
}

int32_t DebugPanelLastEvent() {
    return State().lastEvent;
}

const std::string& DebugPanelLastText() {
    return State().lastText;
}

void ResetControlPanel() {
    State() = PanelState();
}

}  // namespace lumvar
