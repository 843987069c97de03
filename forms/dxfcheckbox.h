// TdxfCheckBox: an owner-drawn check box with its own images (a glyph per state, or an image of
// the shared "CHECKBOX" strip in one of its styles) and radio-like groups.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/vcl/controls.h"

namespace orvex {

enum TdxfCBAlignment { taLeftJustify, taRightJustify };

class TdxfCheckBox : public vcl::TCustomControl {
public:
    explicit TdxfCheckBox(vcl::TComponent* owner);
    ~TdxfCheckBox() override;

    bool Checked() const { return m_checked; }
    /// A checked box of a group (GroupIndex not 0) refuses to become unchecked unless
    /// GroupIndex >= 1 and AllowAllUp is on. A box of a group above 0 that becomes checked
    /// unchecks the other checked boxes of its group on the same parent. Runs no event.
    void SetChecked(bool checked);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize);
    TdxfCBAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TdxfCBAlignment alignment);
    int32_t GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int32_t groupIndex) { m_groupIndex = groupIndex; }
    bool AllowAllUp() const { return m_allowAllUp; }
    void SetAllowAllUp(bool allowAllUp) { m_allowAllUp = allowAllUp; }
    /// The image of the checked state; empty: the strip's image.
    const vcl::TBitmap& Glyph() const { return m_glyph; }
    void SetCheckedBmp(const vcl::TBitmap& bitmap);
    /// The image of the unchecked state; empty: the strip's image.
    const vcl::TBitmap& GlyphUnChecked() const { return m_glyphUnChecked; }
    void SetUnCheckedBmp(const vcl::TBitmap& bitmap);
    /// 1-based; cut to 1..the number of styles of the strip.
    int32_t Style() const { return m_style; }
    void SetStyle(int32_t style);

    /// Toggles Checked, runs OnClick and takes the focus.
    void Click() override;
    /// A double-click acts as a second click.
    void DblClick() override;
    /// Height: the larger of the images' heights and the height of "Wg" + 2; width: the image,
    /// the caption and the 2-pixel gap.
    void CalcSize();
    /// The button-pressed notification that a box of the group sends the other controls of its
    /// parent when it becomes checked.
    void ButtonPressed(int32_t groupIndex, const TdxfCheckBox* sender);

    std::string KindName() const override { return "check box"; }
    bool ShowsCaption() const override { return true; }
    std::string ValueText() const override { return m_checked ? "checked" : "unchecked"; }
    std::string UserSet(std::string_view value) override;
    std::string UserClick() override;

protected:
    void Paint() override;
    void TextChanged() override;
    void FontChanged() override;
    void EnabledChanged() override { Repaint(); }
    void BoundsChanged() override { Repaint(); }
    void DoEnter() override;
    void DoExit() override;
    void KeyUp(uint16_t& key, vcl::TShiftState shift) override;

private:
    void UpdateExclusive();
    /// The size of the image shown for a state.
    vcl::TPoint ImageSize(bool checked) const;

    bool m_checked = false;
    bool m_autoSize = true;
    TdxfCBAlignment m_alignment = taRightJustify;
    int32_t m_groupIndex = 0;
    bool m_allowAllUp = true;
    vcl::TBitmap m_glyph;
    vcl::TBitmap m_glyphUnChecked;
    int32_t m_style = 1;
};

}  // namespace orvex
