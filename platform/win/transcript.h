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

/// The folders from which the transcript names files, first first (hostsim: the folder it runs
/// in, then the script's): none by default.
void SetTranscriptFolders(const std::vector<std::string>& folders);
/// A file's path as the transcript writes it, so that two copies of a project in different
/// places give the same transcript: a full path in one of the transcript folders relative to the
/// first that holds it ("." for the folder itself), any other path as it is.
std::string TranscriptPath(std::string_view path);
/// A free text (a program's debug output) as the transcript writes it: every full path in one of
/// the transcript folders named as TranscriptPath names it.
std::string TranscriptText(std::string_view text);

}  // namespace win
