// Fuzz target: the score text reader. Input: a score text (docs/score-format.md).
// A text the reader takes gives a document that saves and reads back losslessly; a text it
// refuses is refused with a ScoreTextError that names the line.
#include "platform/host/mus_file.h"
#include "platform/host/score_text.h"
#include "tests/fuzz/document_round_trip.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<host::Document> document;
    try {
        document = host::ParseScoreText(fuzzsupport::Text(data, size), "fuzz");
    } catch (const host::ScoreTextError& e) {
        fuzzsupport::Check(fuzzsupport::NamesALine(e.what()), std::string("no line named: ") + e.what());
        return 0;
    }
    fuzzsupport::CheckDocumentReadsBack(*document, "the document of a score text is refused as a file: ");
    return 0;
}
