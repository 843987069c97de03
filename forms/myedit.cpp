#include "forms/myedit.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <stdexcept>

#include "platform/vcl/sysutils.h"

namespace orvex {
namespace {

struct UnitInfo {
    const char* name;
    int64_t evpuNumerator;  ///< EVPU per unit = numerator / denominator
    int64_t evpuDenominator;
};

// clang-format off
constexpr std::array<UnitInfo, 7> kUnits = {{
    {"EVPUs",  1,     1},    // 0 plain text
    {"EVPUs",  1,     1},    // 1
    {"inches", 288,   1},    // 2
    {"cm",     11338, 100},  // 3: 113.38
    {"points", 4,     1},    // 4
    {"picas",  48,    1},    // 5
    {"spaces", 24,    1},    // 6
}};
// clang-format on

/// The most digits of a decimal number that are read; further fractional digits are dropped.
constexpr int kMaxDigits = 30;

/// Wide enough for 30 digits times a unit's factors (a compiler extension, marked as one).
__extension__ using Int128 = __int128;

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

/// A decimal number as mantissa / 10^scale; false when the text is none.
bool ParseDecimal(std::string_view text, Int128& mantissa, int& scale) {
    text = Trimmed(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    mantissa = 0;
    scale = 0;
    int digits = 0;
    bool anyDigit = false;
    bool fraction = false;
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            anyDigit = true;
            if (digits >= kMaxDigits || (fraction && scale >= kMaxDigits)) {
                if (!fraction) {
                    return false;  // too large to be a length
                }
                continue;
            }
            mantissa = mantissa * 10 + (c - '0');
            if (mantissa != 0) {
                ++digits;
            }
            if (fraction) {
                ++scale;
            }
        } else if (!fraction && (c == vcl::FormatSettings.DecimalSeparator || c == '.')) {
            fraction = true;
        } else {
            return false;
        }
    }
    if (negative) {
        mantissa = -mantissa;
    }
    return anyDigit;
}

Int128 PowerOfTen(int exponent) {
    Int128 value = 1;
    for (int i = 0; i < exponent; ++i) {
        value *= 10;
    }
    return value;
}

/// a / b rounded towards minus infinity (b > 0).
Int128 FloorDivide(Int128 a, Int128 b) {
    const Int128 q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

/// a / b rounded to the nearest integer, halves away from zero (b > 0).
Int128 RoundDivide(Int128 a, Int128 b) {
    const Int128 magnitude = ((a < 0 ? -a : a) * 2 + b) / (2 * b);
    return a < 0 ? -magnitude : magnitude;
}

}  // namespace

TMyEdit::TMyEdit(vcl::TComponent* owner, int32_t unit) : vcl::TEdit(owner), m_unit(kUnitPlainText) {
    SetUnit(unit);
}

void TMyEdit::SetUnit(int32_t unit) {
    if (unit < kUnitPlainText || unit > kUnitSpaces) {
        throw std::out_of_range("TMyEdit: no measurement unit " + std::to_string(unit));
    }
    m_unit = unit;
}

std::string_view TMyEdit::UnitName(int32_t unit) {
    return unit >= 0 && unit < static_cast<int32_t>(kUnits.size()) ? kUnits[static_cast<size_t>(unit)].name : "";
}

std::string TMyEdit::GetMyText() const {
    if (m_unit <= kUnitEvpu) {
        return Text();
    }
    Int128 mantissa = 0;
    int scale = 0;
    if (!ParseDecimal(Text(), mantissa, scale)) {
        return "0";
    }
    const UnitInfo& unit = kUnits[static_cast<size_t>(m_unit)];
    Int128 evpu = RoundDivide(mantissa * unit.evpuNumerator, PowerOfTen(scale) * unit.evpuDenominator);
    evpu = std::clamp<Int128>(evpu, INT32_MIN, INT32_MAX);
    return std::to_string(static_cast<int64_t>(evpu));
}

void TMyEdit::SetMyText(std::string_view text) {
    if (m_unit <= kUnitEvpu) {
        SetText(text);
        return;
    }
    int32_t evpu = 0;
    if (!vcl::ParseWholeNumber(Trimmed(text), evpu)) {
        evpu = 0;
    }
    const UnitInfo& unit = kUnits[static_cast<size_t>(m_unit)];
    // Thousandths of the unit, rounded down.
    const Int128 thousandths = FloorDivide(static_cast<Int128>(evpu) * 1000 * unit.evpuDenominator, unit.evpuNumerator);
    const Int128 magnitude = thousandths < 0 ? -thousandths : thousandths;
    std::string shown = (thousandths < 0 ? "-" : "") + std::to_string(static_cast<int64_t>(magnitude / 1000));
    std::string fraction = std::to_string(static_cast<int64_t>(magnitude % 1000));
    fraction.insert(0, 3 - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.pop_back();
    }
    if (!fraction.empty()) {
        shown += vcl::FormatSettings.DecimalSeparator + fraction;
    }
    SetText(shown);
}

void TMyEdit::MakeUnitLabel(int32_t width) {
    delete m_unitLabel;
    m_unitLabel = new vcl::TStaticText(this);
    m_unitLabel->SetAutoSize(false);
    m_unitLabel->SetBorderStyle(vcl::sbsSunken);
    m_unitLabel->SetAlignment(vcl::taLeftJustify);
    m_unitLabel->SetCaption(UnitName(m_unit));
    m_unitLabel->SetBounds(Left() + Width() + 5, Top() + 2, width, Height() - 4);
    m_unitLabel->SetParent(Parent());
    m_unitLabel->OnClick = [this](vcl::TObject* sender) { MyEditOnClick(sender); };
}

void TMyEdit::MyEditOnClick(vcl::TObject* /*Sender*/) {
    if (m_unit < kUnitEvpu) {
        return;
    }
    const std::string evpu = GetMyText();
    m_unit = m_unit % kUnitSpaces + 1;
    if (m_unitLabel != nullptr) {
        m_unitLabel->SetCaption(UnitName(m_unit));
        vcl::TCanvas measure;
        measure.Font().Assign(m_unitLabel->Font());
        // The sunken border takes 2 pixels on each side.
        m_unitLabel->SetWidth(std::max(m_unitLabel->Width(), measure.TextWidth(UnitName(m_unit)) + 4));
    }
    SetMyText(evpu);
}

std::string TMyEdit::UserSet(std::string_view value) {
    const std::string before = Text();
    std::string refused = vcl::TEdit::UserSet(value);
    if (refused.empty() && OnUserText) {
        refused = OnUserText(*this);
        if (!refused.empty()) {
            SetText(before);
        }
    }
    return refused;
}

TCourierEdit::TCourierEdit(vcl::TComponent* owner) : TMyEdit(owner, kUnitPlainText) {
    Font().SetName("Courier New");
}

}  // namespace orvex
