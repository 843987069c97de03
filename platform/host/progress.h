// The host's progress display (services 53, 55, 54): a plug-in begins it with a number of
// steps, tells it of each step and ends it. The user may stop the work: a script or a test
// makes the user stop the next display at step k (the step that brings the count to k or
// beyond answers 0, and so does every step after it). One display is open at a time; a begin
// while one is open gives no handle (0). Handle 0 is accepted by step (which answers "go on")
// and end (which does nothing).
//
// The transcript shows the display's begin, the user's stop and its end:
//   host: progress begins over staves 1-2, measures 1-4: 8 steps
//   host: progress: the user stops at step 3 of 8
//   host: progress ends after 3 of 8 steps (stopped)
// On a terminal it also draws a progress bar on the stream it is given.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "platform/hostapi/records.h"

namespace host {

class ProgressDisplay {
public:
    /// The user stops the next display at step `step` (1 = the first step); 0 forgets it.
    void StopNextAt(int32_t step) { m_stopAt = step > 0 ? std::optional<int32_t>(step) : std::nullopt; }
    /// Draws a bar on this stream as the steps come (nullptr: none).
    void DrawBarOn(std::FILE* stream) { m_bar = stream; }

    int32_t Begin(const hostapi::SelectionRecord* region, int32_t steps);
    /// 0 when the user stopped the work, 1 to go on.
    int16_t Step(int32_t handle, int32_t steps);
    int16_t End(int32_t handle, bool stopped);

    bool IsOpen() const { return m_handle != 0; }
    /// Closes a display that a plug-in left open; answers whether one was.
    bool CloseLeftOpen();

private:
    void DrawBar(bool last) const;

    int32_t m_nextHandle = 1;
    int32_t m_handle = 0;  ///< of the open display, 0 = none
    int32_t m_steps = 0;
    int32_t m_done = 0;
    bool m_userStopped = false;
    std::optional<int32_t> m_stopAt;
    std::optional<int32_t> m_stopThisAt;
    std::FILE* m_bar = nullptr;
};

}  // namespace host
