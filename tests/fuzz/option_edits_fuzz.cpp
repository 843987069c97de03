// Fuzz target: the number and pitch edits of the options dialog's rows. Input: the first byte
// chooses the edit's measurement unit (0 plain, 1 EVPU, 2 inches, 3 cm, 4 points, 5 picas,
// 6 spaces), the rest is what the user types. The row reads it as a number of EVPU (or none)
// and as a pitch name; a length shown in the unit reads back as the same number of EVPU.
#include <memory>

#include "forms/dactopt.h"
#include "forms/myedit.h"
#include "platform/vcl/stdctrls.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const int32_t unit = data[0] % 7;
    const std::string text(fuzzsupport::Text(data + 1, size - 1));
    std::unique_ptr<orvex::TMyEdit> edit(new orvex::TMyEdit(nullptr, unit));
    edit->SetText(text);
    orvex::EditNumber(*edit);
    edit->GetMyText();
    orvex::PitchNameToValue(text);
    int32_t value = 0;
    if (vcl::ParseWholeNumber(text, value)) {
        edit->SetMyText(std::to_string(value));
        if (unit > orvex::kUnitEvpu) {
            fuzzsupport::Check(
                edit->GetMyText() == std::to_string(value),
                std::to_string(value) + " EVPU shown as \"" + edit->Text() + "\" reads back as " + edit->GetMyText());
        }
    }
    return 0;
}
