#include "platform/win/transcript.h"

#include "platform/win/system_state.h"

namespace win {
namespace {
using Transcript = detail::TranscriptState;
Transcript& TheTranscript() {
    return detail::System().transcript;
}
}  // namespace

void TranscriptWrite(std::string_view line) {
    Transcript& t = TheTranscript();
    t.lines.emplace_back(line);
    if (t.listener) {
        t.listener(t.lines.back());
    }
}

const std::vector<std::string>& TranscriptLines() {
    return TheTranscript().lines;
}
void ClearTranscript() {
    TheTranscript().lines.clear();
}
void SetTranscriptListener(std::function<void(const std::string&)> listener) {
    TheTranscript().listener = std::move(listener);
}

}  // namespace win
