// Fuzz target: the score text reader. Input: a score text (docs/score-format.md).
// A text the reader takes gives a document that saves and reads back losslessly, as a document
// file and as the score text the host writes of it; a text it refuses is refused with a
// ScoreTextError that names the line.
#include "platform/host/mus_file.h"
#include "platform/host/score_text.h"
#include "platform/host/score_text_writer.h"
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
    // Written back as a score text, the document reads back as it is.
    const std::string written = host::WriteScoreText(*document);
    try {
        fuzzsupport::Check(host::ParseScoreText(written, "again")->SameContent(*document),
                           "the document of its written score text differs");
    } catch (const host::ScoreTextError& e) {
        fuzzsupport::Fail(std::string("the written score text is refused: ") + e.what());
    }
    return 0;
}
