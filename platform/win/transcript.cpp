#include "platform/win/transcript.h"

#include <filesystem>
#include <system_error>

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

void SetTranscriptFolders(const std::vector<std::string>& folders) {
    std::vector<std::string>& kept = TheTranscript().folders;
    kept.clear();
    for (const std::string& folder : folders) {
        std::error_code error;
        const std::filesystem::path full = std::filesystem::weakly_canonical(folder, error);
        // The root holds every file: naming files from it would not make them the same elsewhere.
        if (!error && full.has_relative_path()) {
            kept.push_back(full.string());
        }
    }
}

std::string TranscriptText(std::string_view text) {
    std::string shown(text);
    for (const std::string& folder : TheTranscript().folders) {
        const std::string prefix = folder + "/";
        for (size_t at = shown.find(prefix); at != std::string::npos; at = shown.find(prefix, at)) {
            shown.erase(at, prefix.size());
        }
    }
    return shown;
}

std::string TranscriptPath(std::string_view path) {
    const std::filesystem::path given{std::string(path)};
    if (!given.is_absolute()) {
        return std::string(path);
    }
    const std::filesystem::path normal = given.lexically_normal();
    for (const std::string& folder : TheTranscript().folders) {
        const std::filesystem::path relative = normal.lexically_relative(folder);
        if (!relative.empty() && *relative.begin() != "..") {
            return relative.string();
        }
    }
    return std::string(path);
}

}  // namespace win
