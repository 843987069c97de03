#include "platform/host/text_words.h"

#include <cstdint>

#include "platform/hostapi/bytes.h"

namespace host {

std::vector<Word> SplitWords(std::string_view line) {
    std::vector<Word> words;
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        Word word;
        word.column = i + 1;
        if (c != '"') {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
                if (line[i] == '"') {
                    throw WordError("a quote inside the word \"" + word.text + "\"");
                }
                word.text += line[i++];
            }
            words.push_back(std::move(word));
            continue;
        }
        word.quoted = true;
        ++i;
        bool closed = false;
        while (i < line.size()) {
            const char q = line[i];
            if (q == '"') {
                closed = true;
                ++i;
                break;
            }
            if (q != '\\') {
                word.text += q;
                ++i;
                continue;
            }
            if (i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
                word.text += line[i + 1];
                i += 2;
            } else if (i + 3 < line.size() && line[i + 1] == 'x' && hostapi::HexDigitValue(line[i + 2]) >= 0 &&
                       hostapi::HexDigitValue(line[i + 3]) >= 0) {
                word.text +=
                    static_cast<char>(hostapi::HexDigitValue(line[i + 2]) * 16 + hostapi::HexDigitValue(line[i + 3]));
                i += 4;
            } else {
                throw WordError("a backslash in quotes must be followed by \", \\ or xNN");
            }
        }
        if (!closed) {
            throw WordError("a quoted text is not closed");
        }
        if (i < line.size() && line[i] != ' ' && line[i] != '\t') {
            throw WordError("no blank after the quoted text \"" + word.text + "\"");
        }
        words.push_back(std::move(word));
    }
    return words;
}

std::string QuoteBytes(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<uint8_t>(c);
        if (c == '"' || c == '\\') {
            text += '\\';
            text += c;
        } else if (byte >= 0x20 && byte < 0x7F) {
            text += c;
        } else {
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 0xF];
        }
    }
    return text + "\"";
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const bool last = end == std::string_view::npos;
        if (last) {
            end = text.size();
        }
        std::string line(text.substr(start, end - start));
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

}  // namespace host
