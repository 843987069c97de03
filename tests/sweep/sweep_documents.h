// The kinds of document the command sweep runs every command over.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/host/document.h"

namespace sweep {

struct DocumentKind {
    std::string name;                 ///< "none", "empty", "examples/quartet", ...
    std::optional<std::string> text;  ///< the score text; none for no document at all
    /// Damage done to the document after it was made, as a file the reader accepts can hold it.
    std::function<void(host::Document&)> damage;
};

/// No document, an empty document, one staff without measures, one staff with one measure,
/// every score text of examples/ (read from the source folder), a chorale-sized score of four
/// voices, a generated score with a record of every kind a score text can write, and three
/// damaged ones: the chorale with extreme entry values, the record kinds' score with very long
/// texts, and the same with every record cut short.
std::vector<DocumentKind> DocumentKinds(const std::string& sourceFolder);

/// The chorale: soprano, alto, tenor and bass over 32 measures of 4/4 in G major.
std::string ChoraleScore();
/// Every statement of the score text format with its options, over four measures of two staves.
std::string EveryRecordKindScore();

}  // namespace sweep
