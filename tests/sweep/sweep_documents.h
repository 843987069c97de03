// The kinds of document the command sweep runs every command over.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sweep {

struct DocumentKind {
    std::string name;                 ///< "none", "empty", "examples/quartet", ...
    std::optional<std::string> text;  ///< the score text; none for no document at all
};

/// No document, an empty document, one staff without measures, one staff with one measure,
/// every score text of examples/ (read from the source folder), a chorale-sized score of four
/// voices, and a generated score with a record of every kind a score text can write.
std::vector<DocumentKind> DocumentKinds(const std::string& sourceFolder);

/// The chorale: soprano, alto, tenor and bass over 32 measures of 4/4 in G major.
std::string ChoraleScore();
/// Every statement of the score text format with its options, over four measures of two staves.
std::string EveryRecordKindScore();

}  // namespace sweep
