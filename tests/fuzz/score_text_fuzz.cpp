// Fuzz target: the score text reader. Input: a score text (docs/score-format.md).
// A text the reader takes gives a document that saves and reads back losslessly; a text it
// refuses is refused with a ScoreTextError that names the line.
#include "platform/host/mus_file.h"
#include "platform/host/score_text.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<host::Document> document;
    try {
        document = host::ParseScoreText(fuzzsupport::Text(data, size), "fuzz");
    } catch (const host::ScoreTextError& e) {
        fuzzsupport::Check(fuzzsupport::NamesALine(e.what()), std::string("no line named: ") + e.what());
        return 0;
    }
    const std::string written = host::MusText(*document);
    std::unique_ptr<host::Document> again;
    try {
        again = host::ParseMusText(written, "again");
    } catch (const host::DocumentFileError& e) {
        fuzzsupport::Fail(std::string("the document of a score text is refused as a file: ") + e.what());
    }
    fuzzsupport::Check(again->SameContent(*document), "the document read back differs");
    return 0;
}
