// What the two document readers' fuzz targets share: a document a reader took is written as a
// document file and read back to the same document.
#pragma once

#include <memory>
#include <string>

#include "platform/host/mus_file.h"
#include "tests/fuzz/fuzz_check.h"

namespace fuzzsupport {

/// Writes the document as a document file, reads the text back and checks that it holds the same
/// document and the same text again. `refused` opens the message of a written text refused.
inline void CheckDocumentReadsBack(const host::Document& document, const std::string& refused) {
    const std::string written = host::MusText(document);
    std::unique_ptr<host::Document> again;
    try {
        again = host::ParseMusText(written, "again");
    } catch (const host::DocumentFileError& e) {
        Fail(refused + e.what());
    }
    Check(again->SameContent(document), "the document read back differs");
    Check(host::MusText(*again) == written, "the text written again differs");
}

}  // namespace fuzzsupport
