// The up-down control: two arrows that step a number within Min..Max, shown in an associated
// control.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/vcl/controls.h"

namespace vcl {

enum TUDBtnType { btNext, btPrev };

using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

/// Setting Position by code runs no event and clamps it to Min..Max; the associated control
/// shows the position as its text (an edit then runs its OnChange). A user's step runs
/// OnChanging, which may refuse it, then OnClick.
class TUpDown : public TWinControl {
public:
    explicit TUpDown(TComponent* owner);

    int32_t Min() const { return m_min; }
    void SetMin(int32_t min);
    int32_t Max() const { return m_max; }
    void SetMax(int32_t max);
    int32_t Position() const { return m_position; }
    void SetPosition(int32_t position);
    int32_t Increment() const { return m_increment; }
    void SetIncrement(int32_t increment) { m_increment = increment; }
    bool Wrap() const { return m_wrap; }
    void SetWrap(bool wrap) { m_wrap = wrap; }
    TWinControl* Associate() const { return m_associate; }
    void SetAssociate(TWinControl* associate);

    /// The user clicks an arrow once.
    void Step(TUDBtnType button);
    /// Up or Down in the associated edit, as the window system's up-down takes them: the
    /// position becomes the number the edit shows (within Min..Max; a text that is no number
    /// leaves it), then one step is taken (OnChanging, OnClick) and the edit shows the position.
    void StepFromAssociate(TUDBtnType button);

    TUDClickEvent OnClick;
    TUDChangingEvent OnChanging;

    std::string KindName() const override { return "up-down"; }
    std::string ValueText() const override;
    /// The user steps the arrows until the position is the value.
    std::string UserSet(std::string_view value) override;
    std::string UserClick() override;

private:
    void ShowPosition();
    bool StepOnce(TUDBtnType button);

    int32_t m_min = 0;
    int32_t m_max = 100;
    int32_t m_position = 0;
    int32_t m_increment = 1;
    bool m_wrap = false;
    TWinControl* m_associate = nullptr;
};

}  // namespace vcl
