// Fuzz target: font annotation files (docs/fan-format.md). Input: the bytes of a ".FAN" file.
// Reading stops at the first fault of the file; every font it adds has its slots, a name of at
// most 31 bytes and the file's name.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "service/font_annotations.h"
#include "service/lumvar.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

const std::string& FileName() {
    static const std::string name =
        (std::filesystem::temp_directory_path() / ("font-annotations-fuzz-" + std::to_string(::getpid()) + ".FAN"))
            .string();
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        std::ofstream file(FileName(), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    lumvar::ResetModuleState();
    lumvar::ReadFontAnnotationFile(FileName(), "fuzz.FAN");
    const auto& fonts = lumvar::AnnotatedFonts();
    fuzzsupport::Check(fonts.size() <= lumvar::kMaxAnnotatedFonts, "more fonts than the table holds");
    for (const lumvar::AnnotatedFont& font : fonts) {
        fuzzsupport::Check(font.slotCount > 0 && static_cast<size_t>(font.slotCount) == font.slots.size(),
                           "a font's slot count differs from its slots");
        fuzzsupport::Check(font.fontName.size() < lumvar::kFanFontNameSize, "a font name beyond 31 bytes");
        fuzzsupport::Check(font.fileName == "fuzz.FAN", "a font without its file's name");
    }
    lumvar::ResetModuleState();
    return 0;
}
