// Writing a document back as a score text (docs/score-format.md), so that the music can be read
// and two states of a document compared with diff: the staves, measures, clefs, beat charts and
// the notes of every cell as the readable statements write them, then, after a comment, the exact
// statements ("record", "entrybytes", "cellentries") for every record and entry the readable ones
// do not make as the document holds them. Reading the text back makes the same document.
#pragma once

#include <string>

#include "platform/host/document.h"

namespace host {

/// The score text of a document; ParseScoreText of it gives a document of the same content
/// (Document::SameContent). Throws std::logic_error if it would not.
std::string WriteScoreText(const Document& document);

}  // namespace host
