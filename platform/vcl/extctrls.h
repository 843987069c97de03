// Further controls: panels, bevels, images, radio groups, and timers on the virtual clock.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/vcl/controls.h"

namespace vcl {

enum TPanelBevel { bvNone, bvLowered, bvRaised };

class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* owner);

    TPanelBevel BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TPanelBevel bevel) { m_bevelOuter = bevel; }
    TPanelBevel BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TPanelBevel bevel) { m_bevelInner = bevel; }
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment) { m_alignment = alignment; }

    std::string KindName() const override { return Caption().empty() ? "" : "panel"; }
    bool ShowsCaption() const override { return true; }

protected:
    void Paint() override;

private:
    TPanelBevel m_bevelOuter = bvRaised;
    TPanelBevel m_bevelInner = bvNone;
    TAlignment m_alignment = taCenter;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* owner);

    TBevelShape Shape() const { return m_shape; }
    void SetShape(TBevelShape shape) { m_shape = shape; }
    TBevelStyle Style() const { return m_style; }
    void SetStyle(TBevelStyle style) { m_style = style; }

private:
    TBevelShape m_shape = bsBox;
    TBevelStyle m_style = bsLowered;
};

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);

    TBitmap& Picture() { return m_picture; }
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool stretch) { m_stretch = stretch; }
    bool Center() const { return m_center; }
    void SetCenter(bool center) { m_center = center; }
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent) { m_transparent = transparent; }

protected:
    void Paint() override;

private:
    TBitmap m_picture;
    bool m_stretch = false;
    bool m_center = false;
    bool m_transparent = false;
};

/// A group of radio buttons given as items. Setting ItemIndex to another item runs OnClick, as
/// the arrow keys do (Up and Left the item before, Down and Right the item after).
class TRadioGroup : public TWinControl {
public:
    explicit TRadioGroup(TComponent* owner);

    TStrings& Items() { return m_items; }
    const TStrings& Items() const { return m_items; }
    int32_t ItemIndex() const { return m_itemIndex; }
    /// -1 selects nothing; an index outside the items throws std::out_of_range.
    void SetItemIndex(int32_t index);
    int32_t Columns() const { return m_columns; }
    void SetColumns(int32_t columns) { m_columns = columns < 1 ? 1 : columns; }

    std::string KindName() const override { return "radio group"; }
    bool SetPressesMouse() const override { return true; }
    bool ShowsCaption() const override { return true; }
    std::vector<std::string> DetailLines() const override;
    /// The item's number or its caption (accelerator marks and case ignored).
    std::string UserSet(std::string_view value) override;
    /// The accelerator of an item's caption focuses the group and chooses the item.
    bool DialogChar(char c) override;

protected:
    void KeyDown(uint16_t& key, TShiftState shift) override;
    bool WantsKey(uint16_t key) const override;

private:
    TStrings m_items;
    int32_t m_itemIndex = -1;
    int32_t m_columns = 1;
};

/// A timer: while Enabled with an Interval above 0, OnTimer runs each time the interval has
/// passed on the virtual clock and the message pump takes its turn (win::DispatchTimers).
/// Changing Interval or enabling the timer starts the interval anew.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);
    uint32_t Interval() const { return m_interval; }
    void SetInterval(uint32_t interval);

    TNotifyEvent OnTimer;

private:
    void UpdateTimer();

    bool m_enabled = true;
    uint32_t m_interval = 1000;
    uint32_t m_timerId = 0;
};

}  // namespace vcl
