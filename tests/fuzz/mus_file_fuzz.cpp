// Fuzz target: the document file reader. Input: the text of a document file (".MUS").
// A text the reader takes writes back and reads again to the same document, byte for byte; a
// text it refuses is refused with a DocumentFileError that names the line. Then three tools run
// with Shift over the whole of each document the reader takes, so that the values a damaged file
// holds reach the tools and not only the reader: Fill with rests (entries and the host's
// filled-time service), Process extracted parts (the part distribution table over the entries)
// and New Spacing (measures and beat charts, followed through its second pass). They must not
// stop the program, overflow a number or leave anything lent, running or open.
#include "platform/host/mus_file.h"
#include "tests/fuzz/document_round_trip.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/harness/in_process_host.h"

namespace {

constexpr int32_t kTools[] = {149, 126, 120};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<host::Document> document;
    try {
        document = host::ParseMusText(fuzzsupport::Text(data, size), "fuzz");
    } catch (const host::DocumentFileError& e) {
        fuzzsupport::Check(fuzzsupport::NamesALine(e.what()), std::string("no line named: ") + e.what());
        return 0;
    }
    fuzzsupport::CheckDocumentReadsBack(*document, "a written document is refused: ");
    harness::InProcessHost host(std::nullopt);
    host.Host().AddDocument(std::move(document));
    host.SelectAll();
    for (const int32_t code : kTools) {
        host.Invoke(code, true);
        host.FinishRunningCommands(code);
        for (const std::string& left : host.Leftovers()) {
            fuzzsupport::Fail("tool " + std::to_string(code) + " left " + left);
        }
    }
    return 0;
}
