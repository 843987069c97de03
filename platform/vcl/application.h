// The screen and the application object of the module. A source that only asks the screen or
// pumps the application's messages includes this header alone, not the forms' header.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/vcl/classes.h"

namespace vcl {

class TForm;

struct TMonitor {
    int32_t MonitorNum = 0;
    TRect BoundsRect;
    TRect WorkareaRect;
    bool Primary = false;

    int32_t Left() const { return BoundsRect.Left; }
    int32_t Top() const { return BoundsRect.Top; }
    int32_t Width() const { return BoundsRect.Width(); }
    int32_t Height() const { return BoundsRect.Height(); }
};

/// The screen as the window system reports it, and the forms of this module.
class TScreen {
public:
    /// The primary monitor's size.
    int32_t Width() const;
    int32_t Height() const;
    /// The primary monitor's work area (without the task bar).
    TRect WorkAreaRect() const;
    int32_t MonitorCount() const;
    /// Throws std::out_of_range outside 0..MonitorCount - 1.
    TMonitor Monitors(int32_t index) const;
    /// The rectangle that holds every monitor.
    TRect DesktopRect() const;
    int32_t DesktopLeft() const { return DesktopRect().Left; }
    int32_t DesktopTop() const { return DesktopRect().Top; }
    int32_t DesktopWidth() const { return DesktopRect().Width(); }
    int32_t DesktopHeight() const { return DesktopRect().Height(); }
    int32_t PixelsPerInch() const;

    int32_t FormCount() const { return static_cast<int32_t>(m_forms.size()); }
    TForm* Forms(int32_t index) const;

private:
    friend class TForm;
    friend class TApplication;
    std::vector<TForm*> m_forms;
};

/// The application object of this module: it owns forms made with it as owner and frees
/// released forms when the message pump runs.
class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    const std::string& Title() const { return m_title; }
    void SetTitle(std::string_view title) { m_title = std::string(title); }
    bool Terminated() const { return m_terminated; }
    void Terminate() { m_terminated = true; }
    /// The message pump's turn: due timers run, released forms are freed.
    void ProcessMessages();
    /// Frees the forms released since the pump's last turn (a module about to go frees them:
    /// their windows would outlive its code).
    void FreeReleasedForms();
    /// A message box owned by the active form (or by nothing).
    int32_t MessageBox(std::string_view text, std::string_view caption, uint32_t flags);

private:
    friend class TForm;
    std::vector<TForm*> m_released;
    std::string m_title;
    bool m_terminated = false;
};

/// Frees a form: for code that holds forms by pointer only and so does not include the forms'
/// header.
void FreeForm(TForm* form);

extern TScreen* const Screen;
extern TApplication* const Application;

}  // namespace vcl
