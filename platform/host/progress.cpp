#include "platform/host/progress.h"

#include <algorithm>
#include <climits>

#include "platform/win/transcript.h"

namespace host {
namespace {

constexpr int32_t kBarWidth = 40;

std::string Range(int32_t first, int32_t last) {
    return first == last ? std::to_string(first) : std::to_string(first) + "-" + std::to_string(last);
}

std::string Steps(int32_t count) {
    return std::to_string(count) + (count == 1 ? " step" : " steps");
}

}  // namespace

int32_t ProgressDisplay::Begin(const hostapi::SelectionRecord* region, int32_t steps) {
    if (IsOpen()) {
        win::TranscriptWrite("host: progress: a display is open already; no second one begins");
        return 0;
    }
    m_handle = m_nextHandle++;
    if (m_nextHandle <= 0) {
        m_nextHandle = 1;
    }
    m_steps = std::max(steps, 0);
    m_done = 0;
    m_userStopped = false;
    m_stopThisAt = m_stopAt;
    m_stopAt.reset();
    std::string line = "host: progress begins";
    if (region != nullptr) {
        const bool oneStaff = region->firstStaff() == region->lastStaff();
        const bool oneMeasure = region->firstMeasure() == region->lastMeasure();
        line += std::string(oneStaff ? " over staff " : " over staves ") +
                Range(region->firstStaff(), region->lastStaff()) + (oneMeasure ? ", measure " : ", measures ") +
                Range(region->firstMeasure(), region->lastMeasure());
    }
    win::TranscriptWrite(line + ": " + Steps(m_steps));
    return m_handle;
}

int16_t ProgressDisplay::Step(int32_t handle, int32_t steps) {
    if (handle == 0 || handle != m_handle) {
        return 1;
    }
    if (m_userStopped) {
        return 0;
    }
    m_done = steps > 0 && m_done > INT32_MAX - steps ? INT32_MAX : m_done + std::max(steps, 0);
    if (m_stopThisAt && m_done >= *m_stopThisAt) {
        m_userStopped = true;
        win::TranscriptWrite("host: progress: the user stops at step " + std::to_string(m_done) + " of " +
                             std::to_string(m_steps));
        return 0;
    }
    DrawBar(false);
    return 1;
}

int16_t ProgressDisplay::End(int32_t handle, bool stopped) {
    if (handle == 0 || handle != m_handle) {
        return 1;
    }
    DrawBar(true);
    win::TranscriptWrite("host: progress ends after " + std::to_string(m_done) + " of " + Steps(m_steps) +
                         (stopped ? " (stopped)" : ""));
    m_handle = 0;
    return 1;
}

bool ProgressDisplay::CloseLeftOpen() {
    if (!IsOpen()) {
        return false;
    }
    m_handle = 0;
    return true;
}

void ProgressDisplay::DrawBar(bool last) const {
    if (m_bar == nullptr || m_steps <= 0) {
        return;
    }
    const int32_t done = std::min(m_done, m_steps);
    const auto filled = static_cast<int32_t>(static_cast<int64_t>(done) * kBarWidth / m_steps);
    std::string bar = "\r[" + std::string(static_cast<size_t>(filled), '#') +
                      std::string(static_cast<size_t>(kBarWidth - filled), '.') + "] " + std::to_string(done) + "/" +
                      std::to_string(m_steps);
    if (last) {
        bar += "\n";
    }
    std::fputs(bar.c_str(), m_bar);
    std::fflush(m_bar);
}

}  // namespace host
