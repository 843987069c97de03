// The transcript: what the user of the simulated desktop would see, one line at a time
// (message boxes, menus built, dialogs shown, progress). The host program prints it; tests
// read it back.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace win {

void TranscriptWrite(std::string_view line);
const std::vector<std::string>& TranscriptLines();
void ClearTranscript();
/// Called with every line as it is written (the host program prints it); empty to stop.
void SetTranscriptListener(std::function<void(const std::string&)> listener);

}  // namespace win
