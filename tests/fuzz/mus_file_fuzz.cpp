// Fuzz target: the document file reader. Input: the text of a document file (".MUS").
// A text the reader takes writes back and reads again to the same document, byte for byte; a
// text it refuses is refused with a DocumentFileError that names the line.
#include "platform/host/mus_file.h"
#include "tests/fuzz/document_round_trip.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<host::Document> document;
    try {
        document = host::ParseMusText(fuzzsupport::Text(data, size), "fuzz");
    } catch (const host::DocumentFileError& e) {
        fuzzsupport::Check(fuzzsupport::NamesALine(e.what()), std::string("no line named: ") + e.what());
        return 0;
    }
    fuzzsupport::CheckDocumentReadsBack(*document, "a written document is refused: ");
    return 0;
}
