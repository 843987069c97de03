// The document check: what a document holds that no sound document holds, as the host reads its
// records. It finds
//   - every record that names an entry, staff, measure, smart shape, text, expression,
//     articulation, file or region the document does not hold (an entry detail record of a
//     gone entry, a link to a deleted shape, a group of a deleted staff, a name's text block
//     that is gone), and every entry detail record on an entry that lacks the flag saying it
//     has such records (a tuplet copied onto another staff's entry);
//   - every cell holding entries of a staff or measure the document does not hold;
//   - every layer of a measure whose entries do not add up to its time signature;
//   - every record shorter than its kind (the one size the host keeps records of its tag in).
// Every lookup is an ordered one (the entries' numbers sorted once, the records by key), so the
// check takes time in the document's size times its logarithm. A command is judged by the
// problems it brought: NewProblems compares two states of a document.
#pragma once

#include <string>
#include <vector>

#include "platform/host/document.h"

namespace host {

/// One thing the check finds. `subject` names it, the same in two states of the document when it
/// is the same problem (a layer that does not add up is one subject, however much it lacks);
/// `detail` tells the rest. A record cut short is the same problem wherever its bytes are: its
/// `identity` is its tag and bytes, so that the host's copy of a damaged record (a paste) or one
/// moved to another incidence is no new damage; other problems are known by their subject.
struct DocumentProblem {
    std::string subject;
    std::string detail;
    std::string identity;  ///< empty: the subject

    std::string Line() const { return detail.empty() ? subject : subject + ": " + detail; }
    bool operator==(const DocumentProblem&) const = default;
};

/// Every problem of the document, records first (in key order), then cells, then layers.
std::vector<DocumentProblem> CheckDocument(const Document& document);
/// The problems of `after` that `before` does not have (by identity): what a command brought. A
/// layer counts where its measure's music added up before (or the layer was empty).
std::vector<DocumentProblem> NewProblems(const Document& before, const Document& after);

}  // namespace host
