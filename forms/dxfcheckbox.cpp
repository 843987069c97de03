#include "forms/dxfcheckbox.h"

#include <algorithm>

#include "forms/dxfres.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/keys.h"
#include "platform/win/menus.h"

namespace orvex {

TdxfCheckBox::TdxfCheckBox(vcl::TComponent* owner) : vcl::TCustomControl(owner) {
    Dxfres::Acquire();
    SetBounds(0, 0, 100, 17);
    SetTabStop(true);
}

TdxfCheckBox::~TdxfCheckBox() {
    Dxfres::Release();
}

void TdxfCheckBox::SetChecked(bool checked) {
    if (checked == m_checked) {
        return;
    }
    if (!checked && m_groupIndex != 0 && !(m_groupIndex >= 1 && m_allowAllUp)) {
        return;
    }
    m_checked = checked;
    Repaint();
    if (m_groupIndex > 0 && m_checked) {
        UpdateExclusive();
    }
}

void TdxfCheckBox::UpdateExclusive() {
    if (Parent() == nullptr) {
        return;
    }
    for (int32_t i = 0; i < Parent()->ControlCount(); ++i) {
        if (auto* box = dynamic_cast<TdxfCheckBox*>(Parent()->Controls(i))) {
            box->ButtonPressed(m_groupIndex, this);
        }
    }
}

void TdxfCheckBox::ButtonPressed(int32_t groupIndex, const TdxfCheckBox* sender) {
    if (groupIndex == m_groupIndex && sender != this && m_checked) {
        m_checked = false;
        Repaint();
    }
}

void TdxfCheckBox::SetAutoSize(bool autoSize) {
    m_autoSize = autoSize;
    if (autoSize) {
        CalcSize();
    }
}

void TdxfCheckBox::SetAlignment(TdxfCBAlignment alignment) {
    m_alignment = alignment;
    Repaint();
}

void TdxfCheckBox::SetCheckedBmp(const vcl::TBitmap& bitmap) {
    m_glyph.Assign(bitmap);
    if (m_autoSize) {
        CalcSize();
    }
    Repaint();
}

void TdxfCheckBox::SetUnCheckedBmp(const vcl::TBitmap& bitmap) {
    m_glyphUnChecked.Assign(bitmap);
    if (m_autoSize) {
        CalcSize();
    }
    Repaint();
}

void TdxfCheckBox::SetStyle(int32_t style) {
    m_style = std::clamp(style, 1, std::max(1, Dxfres::StyleCount()));
    Repaint();
}

void TdxfCheckBox::Click() {
    SetChecked(!m_checked);
    vcl::TCustomControl::Click();
    if (CanFocus()) {
        SetFocus();
    }
}

void TdxfCheckBox::DblClick() {
    Click();
}

void TdxfCheckBox::KeyUp(uint16_t& key, vcl::TShiftState shift) {
    vcl::TCustomControl::KeyUp(key, shift);
    if (key == win::VK_SPACE) {
        Click();
    }
}

void TdxfCheckBox::DoEnter() {
    vcl::TCustomControl::DoEnter();
    Repaint();
}

void TdxfCheckBox::DoExit() {
    vcl::TCustomControl::DoExit();
    Repaint();
}

void TdxfCheckBox::TextChanged() {
    if (m_autoSize) {
        CalcSize();
    }
    Repaint();
}

void TdxfCheckBox::FontChanged() {
    if (m_autoSize) {
        CalcSize();
    }
}

vcl::TPoint TdxfCheckBox::ImageSize(bool checked) const {
    const vcl::TBitmap& glyph = checked ? m_glyph : m_glyphUnChecked;
    if (!glyph.Empty()) {
        return {glyph.Width(), glyph.Height()};
    }
    const int32_t side = Dxfres::CheckBoxSide();
    return {side, side};
}

void TdxfCheckBox::CalcSize() {
    const vcl::TPoint unchecked = ImageSize(false);
    const vcl::TPoint checked = ImageSize(true);
    const int32_t imageWidth = std::max(unchecked.X, checked.X);
    const int32_t imageHeight = std::max(unchecked.Y, checked.Y);
    vcl::TCanvas measure;
    measure.Font().Assign(Font());
    const int32_t height = std::max(imageHeight, measure.TextHeight("Wg") + 2);
    const int32_t width = imageWidth + measure.TextWidth(win::StripAccelerators(Caption())) + 2;
    SetBounds(Left(), Top(), width, height);
}

void TdxfCheckBox::Paint() {
    vcl::TCanvas& canvas = Canvas();
    canvas.Brush().Color = Color();
    canvas.FillRect(ClientRect());

    const vcl::TBitmap& glyph = m_checked ? m_glyph : m_glyphUnChecked;
    const vcl::TBitmap& image = glyph.Empty() ? Dxfres::CheckBoxStrip() : glyph;
    vcl::TRect source = vcl::Rect(0, 0, glyph.Width(), glyph.Height());
    if (glyph.Empty()) {
        const int32_t side = Dxfres::CheckBoxSide();
        const int32_t index = (m_style - 1) * 4 + (m_checked ? 1 : 0) + (Enabled() ? 0 : 2);
        source = vcl::Rect(index * side, 0, index * side + side, side);
    }
    const std::string text = win::StripAccelerators(Caption());
    const int32_t textWidth = canvas.TextWidth(text);
    const int32_t textHeight = canvas.TextHeight(text);
    const int32_t imageX = m_alignment == taRightJustify ? 0 : Width() - source.Width() - 2;
    const int32_t textX = m_alignment == taRightJustify ? source.Width() + 2 : 0;
    const int32_t textY = (Height() - textHeight) / 2;
    canvas.Draw(imageX, (Height() - source.Height()) / 2, image, source, true);
    if (Enabled()) {
        canvas.TextOut(textX, textY, text);
    } else {
        const vcl::TColor color = canvas.Font().Color();
        canvas.Font().SetColor(vcl::clWhite);
        canvas.TextOut(textX + 1, textY + 1, text);
        canvas.Font().SetColor(vcl::clGray);
        canvas.TextOut(textX, textY, text);
        canvas.Font().SetColor(color);
    }
    if (Focused()) {
        canvas.DrawFocusRect(vcl::Rect(textX - 1, textY - 1, textX + textWidth + 1, textY + textHeight + 1));
    }
}

std::string TdxfCheckBox::UserSet(std::string_view value) {
    const int32_t state = vcl::ParseUserCheckState(value);
    if (state != 0 && state != 1) {
        return "not a check box state: " + vcl::QuoteForTranscript(value);
    }
    if ((state == 1) != m_checked) {
        Click();
        if ((state == 1) != m_checked) {
            return "the box stays checked: its group keeps one box checked";
        }
    }
    return "";
}

std::string TdxfCheckBox::UserClick() {
    Click();
    return "";
}

}  // namespace orvex
