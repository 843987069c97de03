#include "platform/win/timers.h"

#include <algorithm>
#include <vector>

#include "platform/win/desktop_state.h"

namespace win {
namespace {

std::vector<detail::Timer>::iterator FindTimer(Hwnd window, uint32_t id) {
    auto& timers = detail::TheDesktop().timers;
    return std::find_if(timers.begin(), timers.end(),
                        [&](const detail::Timer& t) { return t.window == window && t.id == id; });
}

}  // namespace

uint32_t SetTimer(Hwnd window, uint32_t id, uint32_t elapse, TimerProc proc) {
    auto& desktop = detail::TheDesktop();
    if (window != kNoWindow && desktop.FindWindow(window) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (window == kNoWindow) {
        id = desktop.nextTimerId++;
    }
    const uint32_t interval = std::max(elapse, USER_TIMER_MINIMUM);
    auto it = FindTimer(window, id);
    if (it == desktop.timers.end()) {
        desktop.timers.push_back(detail::Timer{window, id, interval, 0, desktop.nextTimerOrder++, std::move(proc)});
        it = std::prev(desktop.timers.end());
    } else {
        it->interval = interval;
        it->proc = std::move(proc);
    }
    it->due = desktop.clock + interval;
    return id;
}

bool KillTimer(Hwnd window, uint32_t id) {
    auto& timers = detail::TheDesktop().timers;
    const auto it = FindTimer(window, id);
    if (it == timers.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    timers.erase(it);
    return true;
}

size_t DispatchTimers() {
    auto& desktop = detail::TheDesktop();
    struct DueTimer {
        Hwnd window;
        uint32_t id;
        uint32_t due;
        uint64_t order;
    };
    std::vector<DueTimer> due;
    for (const detail::Timer& t : desktop.timers) {
        if (t.due <= desktop.clock) {
            due.push_back({t.window, t.id, t.due, t.order});
        }
    }
    std::sort(due.begin(), due.end(),
              [](const DueTimer& a, const DueTimer& b) { return a.due != b.due ? a.due < b.due : a.order < b.order; });
    size_t ran = 0;
    for (const DueTimer& d : due) {
        // An earlier callback may have killed or restarted this timer.
        const auto it = FindTimer(d.window, d.id);
        if (it == desktop.timers.end() || it->order != d.order || it->due > desktop.clock) {
            continue;
        }
        it->due = desktop.clock + it->interval;
        const TimerProc proc = it->proc;
        ++ran;
        if (proc) {
            proc(d.window, d.id);
        }
    }
    return ran;
}

std::optional<uint32_t> NextTimerDue() {
    std::optional<uint32_t> next;
    for (const detail::Timer& t : detail::TheDesktop().timers) {
        if (!next || t.due < *next) {
            next = t.due;
        }
    }
    return next;
}

size_t ActiveTimerCount() {
    return detail::TheDesktop().timers.size();
}

}  // namespace win
