// Fuzz target: the small parsers of the host's texts and of key names. Input: the first byte
// chooses the parser, the rest is its text:
//   0: a tag as a text ("SOMS", "O\x02SS") and, as four bytes, a tag written and read back;
//   1: a line of words (blanks, quotes, \" \\ \xNN), and bytes quoted and read back as one word;
//   2: a key name ("F2", "Num +", "Tab").
#include "platform/host/record_store.h"
#include "platform/host/text_words.h"
#include "platform/win/input.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

void Tags(std::string_view text) {
    if (const auto tag = host::ParseTagText(text)) {
        fuzzsupport::Check(host::ParseTagText(host::TagText(*tag)) == tag, "a tag does not read back");
    }
    if (text.size() >= 4) {
        hostapi::Tag tag = 0;
        for (size_t i = 0; i < 4; ++i) {
            tag = tag << 8 | static_cast<uint8_t>(text[i]);
        }
        fuzzsupport::Check(host::ParseTagText(host::TagText(tag)) == tag,
                           "the text of a tag does not read back: " + host::TagText(tag));
    }
}

void Words(std::string_view text) {
    try {
        const std::vector<host::Word> words = host::SplitWords(text);
        for (const host::Word& word : words) {
            fuzzsupport::Check(word.quoted || !word.text.empty(), "an empty word outside quotes");
        }
    } catch (const host::WordError&) {
    }
    const std::vector<host::Word> quoted = host::SplitWords(host::QuoteBytes(text));
    fuzzsupport::Check(quoted.size() == 1 && quoted[0].quoted && quoted[0].text == text,
                       "quoted bytes do not read back as one word");
}

void KeyNames(std::string_view text) {
    const uint16_t key = win::KeyFromName(text);
    if (key != 0) {
        fuzzsupport::Check(win::KeyFromName(win::KeyName(key)) == key, "the name of a key does not read back");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view text = fuzzsupport::Text(data + 1, size - 1);
    switch (data[0] % 3) {
        case 0:
            Tags(text);
            break;
        case 1:
            Words(text);
            break;
        default:
            KeyNames(text);
            break;
    }
    return 0;
}
