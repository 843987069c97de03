// The host's document windows. The main window ("Finale") holds an MDI client window (class
// "MDIClient"), and the MDI client one document window per open document (class
// "FinaleDocument", titled with the document's name), in Z order: the document in front is the
// top one and the active MDI child, which WM_MDIGETACTIVE to the MDI client answers. A document
// window holds, as the host's own document windows do:
//
// | id                          | class          | what it is                                         |
// |-----------------------------|----------------|----------------------------------------------------|
// | 59648 (from 2000; 50 before) | "FinaleView"  | the view; while the Speedy Entry tool is chosen it  |
// |                             |                | holds a window of class "FinSpeedy"                 |
// | 201                         | "FinalePane"   | the scroll pane, with the scroll bar 1006 ("ScrollBar"), whose
// position is the first measure shown in scroll view | | 203                         | "FinalePane"   | the view's
// controls: 1016 ("Static", "Page View") and the page field 1005 ("Edit", the page shown), both visible only in page
// view |
//
// A new document shows in scroll view from measure 1. Switching the view (the View menu's
// "Scroll View" 76001 and "Page View" 76002, or the script's `view` lines), showing another page
// or scrolling makes the host read the scroll bar's position again (SBM_GETPOS, which the
// window hooks see). Bringing a document to the front places its window at the top of the MDI
// client's children (SetWindowPos, WM_WINDOWPOSCHANGED); closing one destroys its window
// (WM_DESTROY). WM_MDIACTIVATE to the MDI client with a document window brings its document to
// the front (as the host's Window menu does).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win/handles.h"

namespace host {

class Host;

inline constexpr int32_t kMdiClientId = 0xE900;
inline constexpr int32_t kScrollPaneId = 201;
inline constexpr int32_t kViewControlsPaneId = 203;
inline constexpr int32_t kMeasureScrollBarId = 1006;
inline constexpr int32_t kPageViewMarkId = 1016;
inline constexpr int32_t kPageFieldId = 1005;
inline constexpr uint32_t kCommandScrollView = 76001;
inline constexpr uint32_t kCommandPageView = 76002;
inline constexpr uint32_t kCommandSelectionTool = 76200;
inline constexpr uint32_t kCommandMassEditTool = 76201;
inline constexpr uint32_t kCommandSpeedyEntryTool = 76202;

/// What a document window shows.
struct DocumentView {
    bool pageView = false;
    int32_t page = 1;          ///< the page shown in page view
    int32_t firstMeasure = 1;  ///< the first measure shown in scroll view
};

class DocumentWindows {
public:
    explicit DocumentWindows(Host& host);
    ~DocumentWindows();
    DocumentWindows(const DocumentWindows&) = delete;
    DocumentWindows& operator=(const DocumentWindows&) = delete;

    win::Hwnd MdiClient() const { return m_client; }
    /// The window of document `number` (1-based); kNoWindow when there is none.
    win::Hwnd WindowOf(int32_t number) const;

    /// A document was added as the last one: its window is made and comes to the top.
    void Added();
    /// Document `number` comes to the front: its window goes to the top.
    void BroughtToFront(int32_t number);
    /// Document `number` is closing: its window is destroyed.
    void Closing(int32_t number);

    /// The view of the document in front; nullptr without a document.
    const DocumentView* FrontView() const;
    /// The view of document `number`; throws std::out_of_range for a number without a document.
    const DocumentView& ViewOf(int32_t number) const;
    /// Page view or scroll view for the document in front. False without a document.
    bool SetPageView(bool pageView);
    /// Shows a page (page view) of the document in front; false without a document or for a
    /// page it does not have.
    bool ShowPage(int32_t page);
    /// Scrolls the document in front so that `measure` is the first shown (scroll view).
    bool ScrollToMeasure(int32_t measure);
    /// The Speedy Entry tool is chosen (or another tool): the view holds a "FinSpeedy" window.
    void SetSpeedyEntry(bool chosen);
    bool SpeedyEntry() const { return m_speedyEntry; }

private:
    struct Entry {
        win::Hwnd frame = win::kNoWindow;
        win::Hwnd view = win::kNoWindow;
        win::Hwnd scrollBar = win::kNoWindow;
        win::Hwnd pageMark = win::kNoWindow;
        win::Hwnd pageField = win::kNoWindow;
        DocumentView state;
    };
    Entry* Front();
    /// The window's controls show the entry's state; the host then asks the scroll bar.
    void Show(Entry& entry);
    void ShowSpeedy(Entry& entry);

    Host& m_host;
    win::Hwnd m_client = win::kNoWindow;
    std::vector<Entry> m_entries;  ///< by document number - 1
    bool m_speedyEntry = false;
};

/// The visible top-level windows in Z order as the user sees them (`print windows`): title,
/// class, size and place, "always on top", the owner, "active"; under the host's main window
/// its document windows with their view; then the window that has the focus.
std::vector<std::string> WindowListLines(Host& host);

/// Service 57 on a control of one of the host's windows: kind 3 answers the number its text
/// shows (0 when it shows none); other kinds, and a window without that control, 0.
int32_t ReadControlValue(win::Hwnd window, int32_t control, int32_t kind);

}  // namespace host
