// A simulated host running both plug-ins in this process, with a document made from a score
// text (or none), as the fuzz targets and the command sweep use it; the in-process test
// fixtures do the same through GoogleTest. Each one starts the window system, the registry (in
// memory) and the plug-ins' process-wide state afresh.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/host/host.h"

namespace harness {

struct HostSettings {
    int32_t rawVersion = 0x05000005;
    host::Language language = host::Language::English;
};

class InProcessHost {
public:
    /// A host of the settings' version and language with both plug-ins loaded and the score
    /// text's document in front (no document without a score). Throws host::ScoreTextError for
    /// a score text that cannot be read.
    explicit InProcessHost(const std::optional<std::string>& score, HostSettings settings = {});
    ~InProcessHost();
    InProcessHost(const InProcessHost&) = delete;
    InProcessHost& operator=(const InProcessHost&) = delete;

    host::Host& Host() { return *m_host; }
    /// The document in front; nullptr when none is open.
    host::Document* Document() { return m_host->FrontDocument(); }
    /// Selects every staff and measure of the document in front; false when it has none.
    bool SelectAll();

    /// Chooses a command by its code from the menu, with Shift held (its stored options, no
    /// dialog) or not; answers what the plug-in answered the host. The host says in the
    /// transcript what the call changed, as for every menu choice (Host::RunPluginCommand).
    int16_t Invoke(int32_t code, bool shift);
    /// Chooses a command by its code; its options dialog takes the settings (control name or
    /// caption, value) and runs it with Go.
    int16_t RunWithOptions(int32_t code, const std::vector<std::pair<std::string, std::string>>& settings);

    /// The user keeps the host's window in front while a multi-step command (an explosion, a
    /// print run, New Spacing's second pass) takes its steps, for at most `seconds` of the
    /// virtual clock. False when nothing was running.
    bool FinishRunningCommands(int32_t seconds = 60);
    /// The same, in turns of 10 ms, until the command has taken `steps` more steps after its
    /// first; false when it ended (or `seconds` passed) before.
    bool RunUntilStep(uint32_t steps, int32_t seconds = 60);
    /// The user closes what is still shown, then what is left behind: entry arrays still lent
    /// (taken back), commands running, forms that did not close. Empty when nothing is left.
    std::vector<std::string> Leftovers();

private:
    std::unique_ptr<host::Host> m_host;
    size_t m_orvex = 0;
};

}  // namespace harness
