#include "platform/vcl/comctrls.h"

#include <algorithm>

#include "platform/vcl/stdctrls.h"

namespace vcl {

TUpDown::TUpDown(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 16, 24);
}

void TUpDown::SetMin(int32_t min) {
    m_min = min;
    SetPosition(m_position);
}

void TUpDown::SetMax(int32_t max) {
    m_max = max;
    SetPosition(m_position);
}

void TUpDown::SetPosition(int32_t position) {
    position = std::clamp(position, std::min(m_min, m_max), std::max(m_min, m_max));
    if (position != m_position) {
        m_position = position;
        ShowPosition();
    }
}

void TUpDown::SetAssociate(TWinControl* associate) {
    m_associate = associate;
    ShowPosition();
}

void TUpDown::ShowPosition() {
    if (m_associate != nullptr && EventsAllowed()) {
        m_associate->SetText(std::to_string(m_position));
    }
}

bool TUpDown::StepOnce(TUDBtnType button) {
    bool allow = true;
    if (OnChanging && EventsAllowed()) {
        OnChanging(this, allow);
    }
    if (!allow) {
        return false;
    }
    const int32_t step = std::max(1, m_increment);
    int64_t next = static_cast<int64_t>(m_position) + (button == btNext ? step : -step);
    if (next > m_max) {
        next = m_wrap ? m_min : m_max;
    } else if (next < m_min) {
        next = m_wrap ? m_max : m_min;
    }
    SetPosition(static_cast<int32_t>(next));
    if (OnClick && EventsAllowed()) {
        OnClick(this, button);
    }
    return true;
}

void TUpDown::Step(TUDBtnType button) {
    StepOnce(button);
}

void TUpDown::StepFromAssociate(TUDBtnType button) {
    if (m_associate != nullptr) {
        std::string_view text = m_associate->Text();
        while (!text.empty() && text.front() == ' ') {
            text.remove_prefix(1);
        }
        while (!text.empty() && text.back() == ' ') {
            text.remove_suffix(1);
        }
        if (int32_t typed = 0; ParseWholeNumber(text, typed)) {
            SetPosition(typed);
        }
    }
    StepOnce(button);
    // The edit shows the position even when the step left it where it was.
    ShowPosition();
}

std::string TUpDown::ValueText() const {
    return std::to_string(m_position);
}

std::string TUpDown::UserSet(std::string_view value) {
    int32_t target = 0;
    if (!ParseWholeNumber(value, target)) {
        return "not a number: " + QuoteForTranscript(value);
    }
    if (target < m_min || target > m_max) {
        return std::to_string(target) + " lies outside " + std::to_string(m_min) + ".." + std::to_string(m_max);
    }
    // One click per step; a step that is refused or does not move the position ends the clicking.
    while (m_position != target) {
        const int32_t before = m_position;
        const bool up = target > before;
        if (!StepOnce(up ? btNext : btPrev) || m_position == before) {
            return "the up-down stopped at " + std::to_string(m_position);
        }
        if (up ? m_position > target : m_position < target) {
            return "the up-down cannot reach " + std::to_string(target) + " in steps of " +
                   std::to_string(std::max(1, m_increment));
        }
    }
    return "";
}

std::string TUpDown::UserClick() {
    return "an up-down is clicked by setting the position it should reach";
}

}  // namespace vcl
