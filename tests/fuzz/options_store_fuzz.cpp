// Fuzz target: the options store's registry values. Input: up to three lines, the values of
// "ExplorerHotkey", "ExplorerMetatool" and "Assignments2K" (a missing line leaves the value
// out). The store reads them as Orvex188 does at start-up; the key assignments it then writes
// read back to the same assignments.
#include <algorithm>

#include "core/module.h"
#include "core/options_store.h"
#include "core/startup.h"
#include "platform/vcl/registry.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/harness/in_process_host.h"

namespace {

harness::InProcessHost& Host() {
    static harness::InProcessHost host("staff \"Flute\"\nmeasures 1\n");
    return host;
}

bool SameAssignments(const std::vector<orvex::KeyAssignment>& a, const std::vector<orvex::KeyAssignment>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const orvex::KeyAssignment& x, const orvex::KeyAssignment& y) { return x.bytes == y.bytes; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Host();
    const std::string_view text = fuzzsupport::Text(data, size);
    static constexpr const char* kNames[] = {"ExplorerHotkey", "ExplorerMetatool", "Assignments2K"};
    {
        vcl::TRegistry registry;
        registry.OpenKey(orvex::kSettingsKey, true);
        size_t start = 0;
        for (const char* name : kNames) {
            registry.DeleteValue(name);
            if (start > text.size()) {
                continue;
            }
            const size_t end = std::min(text.find('\n', start), text.size());
            registry.WriteString(name, std::string(text.substr(start, end - start)));
            start = end + 1;
        }
    }
    orvex::LoadOptions();
    const std::vector<orvex::KeyAssignment> read = orvex::TheModule.options.KeyAssignments;
    const uint8_t remapper = orvex::TheModule.options.RemapperEnabled;
    fuzzsupport::Check(orvex::TheModule.process.Registry->OpenKey(orvex::kSettingsKey, true),
                       "the settings key cannot be opened");
    fuzzsupport::Check(orvex::SaveKeyAssignments(), "the key assignments cannot be written");
    orvex::TheModule.process.Registry->CloseKey();
    orvex::LoadOptions();
    fuzzsupport::Check(SameAssignments(orvex::TheModule.options.KeyAssignments, read) &&
                           orvex::TheModule.options.RemapperEnabled == remapper,
                       "the key assignments written do not read back");
    return 0;
}
