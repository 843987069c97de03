// Fuzz target: hostsim's script language. Input: a script (docs/script-language.md), run by
// the script runner in a simulated host without plug-ins, in a folder of its own; a '/' in the
// input is read as '_', so that every file a script names stays in that folder. A line the
// runner cannot carry out stops the script with a ScriptError named "NAME:LINE: ..."; nothing
// else may escape, stop the program or hang it.
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "apps/hostsim/script.h"
#include "platform/win/registry.h"
#include "platform/win/system.h"
#include "platform/win/transcript.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

/// The folder the scripts run in, emptied before each run.
const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / ("hostsim-script-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        std::filesystem::current_path(path);
        return path;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(fuzzsupport::Text(data, size));
    for (char& c : text) {
        if (c == '/') {
            c = '_';
        }
    }
    const std::filesystem::path& folder = Folder();
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::filesystem::remove_all(entry.path());
    }
    win::ResetSystem();
    std::istringstream script(text);
    std::ostringstream errors;
    {
        host::Host host;
        hostsim::ScriptRunner runner(host, {(folder / "no plug-ins").string()});
        if (!runner.Run(script, "fuzz.script", errors)) {
            fuzzsupport::Check(fuzzsupport::NamesALine(errors.str(), "fuzz.script:"),
                               "an error without its line: " + errors.str());
        }
    }
    win::ClearTranscript();
    return 0;
}
