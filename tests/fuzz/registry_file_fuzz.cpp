// Fuzz target: the registry file reader. Input: the text of a registry file (docs/registry.md).
// A text the reader takes writes back and reads again to the same text; a text it refuses is
// refused with its line named ("NAME:LINE: ...") and leaves the registry as it was.
#include "platform/win/registry.h"
#include "platform/win/system.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    win::ResetSystem();
    const std::string before = win::RegistryText();
    std::string error;
    if (!win::LoadRegistryText(fuzzsupport::Text(data, size), "fuzz.reg", &error)) {
        fuzzsupport::Check(fuzzsupport::NamesALine(error, "fuzz.reg:"), "an error without its line: " + error);
        fuzzsupport::Check(win::RegistryText() == before, "a refused text changed the registry");
        return 0;
    }
    const std::string written = win::RegistryText();
    fuzzsupport::Check(win::LoadRegistryText(written, "again.reg", &error), "a written registry is refused: " + error);
    fuzzsupport::Check(win::RegistryText() == written, "the registry read back differs");
    return 0;
}
