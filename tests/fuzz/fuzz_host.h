// The fuzz targets' simulated host: both plug-ins loaded in this process, as the in-process
// test fixture has them, with one document made from a score text. Each run of a target starts
// a fresh one, so that no input sees what another left; leaving an entry array lent or a form
// open is a failure.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/host/host.h"

namespace fuzzsupport {

class InProcessHost {
public:
    /// A host of the raw version with the score text's document in front and both plug-ins
    /// loaded; the registry is kept in memory.
    explicit InProcessHost(const std::string& score, int32_t rawVersion = 0x05000005);
    /// Checks that nothing is left: no entry array lent, no modeless form open.
    ~InProcessHost();
    InProcessHost(const InProcessHost&) = delete;
    InProcessHost& operator=(const InProcessHost&) = delete;

    host::Host& Host() { return *m_host; }
    host::Document& Document() { return *m_host->FrontDocument(); }
    /// Chooses a command by its code with Shift held (its stored options, no dialog).
    int16_t RunWithShift(int32_t code);
    /// Chooses a command by its code; its options dialog takes the settings (control name or
    /// caption, value) and runs it with Go.
    int16_t RunWithOptions(int32_t code, const std::vector<std::pair<std::string, std::string>>& settings);

private:
    std::unique_ptr<host::Host> m_host;
    size_t m_orvex = 0;
};

}  // namespace fuzzsupport
