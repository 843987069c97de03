// Fuzz target: the cue-sheet import ("Vx Auricle Import..."). Input: a cue file (lines of
// comma-separated fields, see expressions/cuesheet.h), imported into a fresh document of twelve
// measures with the default options. The import may take or pass over any line; it must not
// stop the program, overflow a number or leave an entry array lent.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/tool_items.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/harness/in_process_host.h"

namespace {

constexpr int32_t kImport = orvex::ToolCode(orvex::ToolItem::AuricleImport);

constexpr const char* kScore = R"(
staff "Flute"
staff "Horn"
measures 12
)";

const std::string& CueFile() {
    static const std::string name =
        (std::filesystem::temp_directory_path() / ("cue-sheet-fuzz-" + std::to_string(::getpid()) + ".txt")).string();
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        std::ofstream file(CueFile(), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    harness::InProcessHost host(kScore);
    host.SelectAll();
    host.RunWithOptions(kImport, {{"Row0", CueFile()}});
    for (const std::string& left : host.Leftovers()) {
        fuzzsupport::Fail("the import left " + left);
    }
    return 0;
}
