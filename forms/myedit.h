// TMyEdit: an edit that shows a length in a measurement unit and converts it to and from the
// host's page unit (EVPU); TCourierEdit: a plain TMyEdit in a fixed-width font.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/vcl/stdctrls.h"

namespace orvex {

// Measurement units of TMyEdit.
inline constexpr int32_t kUnitPlainText = 0;
inline constexpr int32_t kUnitEvpu = 1;
inline constexpr int32_t kUnitInches = 2;
inline constexpr int32_t kUnitCentimeters = 3;
inline constexpr int32_t kUnitPoints = 4;
inline constexpr int32_t kUnitPicas = 5;
inline constexpr int32_t kUnitSpaces = 6;

class TMyEdit : public vcl::TEdit {
public:
    /// `unit`: 0 plain text, 1 EVPUs, 2 inches, 3 cm, 4 points, 5 picas, 6 spaces.
    explicit TMyEdit(vcl::TComponent* owner, int32_t unit = kUnitPlainText);

    int32_t Unit() const { return m_unit; }
    /// Throws std::out_of_range outside 0..6.
    void SetUnit(int32_t unit);
    /// The unit's name: "EVPUs", "inches", "cm", "points", "picas", "spaces".
    static std::string_view UnitName(int32_t unit);
    /// The label that names the unit beside the edit; nullptr until MakeUnitLabel.
    vcl::TStaticText* UnitLabel() const { return m_unitLabel; }

    /// The value in EVPU: for units above 1 the text read as a decimal number (the locale's
    /// separator, or "."), times the unit's EVPU, rounded half away from zero; a text that is
    /// no number gives "0". Units 0 and 1 give the text unchanged.
    std::string GetMyText() const;
    /// Shows a value given in EVPU: for units above 1 the text read as an integer (0 when it is
    /// none) divided by the unit's EVPU, rounded down to a multiple of 0.001, written with the
    /// locale's decimal separator and no trailing zeros. Units 0 and 1 show the text unchanged.
    void SetMyText(std::string_view text);
    /// A sunken, left-aligned label with the unit's name, on the edit's parent: 5 pixels right
    /// of the edit, 2 pixels lower, 4 pixels less high, `width` wide. A click on it runs
    /// MyEditOnClick.
    void MakeUnitLabel(int32_t width);
    /// For a unit edit: the next unit (spaces wrap to EVPUs), its name on the label (never
    /// narrower than before), and the same length shown in it.
    void MyEditOnClick(vcl::TObject* Sender);

    /// Checks a text the user typed (the UI driver's "set"), with the text in the edit: answers ""
    /// to keep it, or why the field refuses it, and the text before comes back.
    std::function<std::string(TMyEdit&)> OnUserText;
    std::string UserSet(std::string_view value) override;

private:
    int32_t m_unit;
    vcl::TStaticText* m_unitLabel = nullptr;
};

class TCourierEdit : public TMyEdit {
public:
    /// A plain-text TMyEdit in "Courier New".
    explicit TCourierEdit(vcl::TComponent* owner);
};

}  // namespace orvex
