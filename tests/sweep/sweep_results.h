// The command sweep's record of results: a digest of what each run left, recorded once and
// compared with on every later sweep, so that a run whose result changes is found even when every
// other check of the sweep still holds.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace sweep {

/// A digest of a run's result: the document it began on, as saved, and every line the user saw,
/// with the sweep's folder left out of them (the digest must not depend on the process that ran
/// the run or on where its machine keeps temporary files).
std::string ResultDigest(const std::string& finalText, const std::vector<std::string>& transcript,
                         const std::filesystem::path& workFolder);

/// Writes the runs (name and digest, in order) to `recordFile`, "DIGEST NAME" a line, or compares
/// them with those the file `results` records: a run whose result is not the recorded one, or that
/// has none recorded, is a finding (read with --transcript before it is recorded again).
void CompareResults(const std::vector<std::pair<std::string, std::string>>& runs, const std::string& results,
                    const std::string& recordFile, std::map<std::string, std::vector<std::string>>& findings);

}  // namespace sweep
