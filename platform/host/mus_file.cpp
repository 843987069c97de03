#include "platform/host/mus_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "platform/host/text_words.h"
#include "platform/win/file_write.h"

namespace host {
namespace {

constexpr std::string_view kMagic = "MUS";
constexpr std::string_view kEndWord = "end";
constexpr std::string_view kHexForm = "hex";
constexpr std::string_view kTextForm = "text";
constexpr size_t kBytesPerGroup = 2;

// ---- Writing ----

/// Whether a record is a text: printable bytes (any above 0x7F) and one terminating zero.
bool IsText(const Bytes& bytes) {
    if (bytes.empty() || bytes.back() != 0) {
        return false;
    }
    return std::all_of(bytes.begin(), bytes.end() - 1, [](uint8_t b) { return b >= 0x20 && b != 0x7F; });
}

std::string HexGroups(const Bytes& bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i % kBytesPerGroup == 0) {
            text += ' ';
        }
        text += kHex[bytes[i] >> 4];
        text += kHex[bytes[i] & 0xF];
    }
    return text;
}

/// One entry of a cell: "entry STAFF MEASURE LAYER hex 146 ...", the layer counted from 1.
std::string EntryLine(const CellKey& cell, const EntryBytes& entry) {
    return "entry " + std::to_string(cell.staff) + " " + std::to_string(cell.measure) + " " +
           std::to_string(cell.layer + 1) + " " + std::string(kHexForm) + " " + std::to_string(entry.size()) +
           HexGroups(Bytes(entry.begin(), entry.end()));
}

std::string RecordLine(const RecordKey& key, const Bytes& bytes) {
    std::string line = "record " + TagText(key.tag) + " " + std::string(FamilyWord(key.Family()));
    for (const int32_t number : key.Numbers()) {
        line += " " + std::to_string(number);
    }
    if (IsText(bytes)) {
        return line + " " + std::string(kTextForm) + " " +
               QuoteBytes(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size() - 1));
    }
    return line + " " + std::string(kHexForm) + " " + std::to_string(bytes.size()) + HexGroups(bytes);
}

// ---- Reading ----

/// Reads a document line by line; every error names the line.
class Reader {
public:
    explicit Reader(std::string name) : m_document(std::make_unique<Document>(std::move(name))) {}

    std::unique_ptr<Document> Read(std::string_view text);

private:
    struct LineKind {
        std::string_view word;
        void (Reader::*read)(const std::vector<Word>& words);
    };

    [[noreturn]] void Fail(const std::string& what) const { throw DocumentFileError(what, m_line, m_column); }

    int32_t Number(const Word& word, int64_t minimum, int64_t maximum, const char* what) const;
    void ReadHeader(const std::vector<Word>& words);
    void ReadFont(const std::vector<Word>& words);
    void ReadRecord(const std::vector<Word>& words);
    void ReadEntry(const std::vector<Word>& words);
    void ReadEnd(const std::vector<Word>& words);
    Bytes ReadHex(const std::vector<Word>& words, size_t first);

    std::unique_ptr<Document> m_document;
    size_t m_line = 0;
    size_t m_column = 1;  ///< of the line's first word
    bool m_headerRead = false;
    bool m_ended = false;
    std::map<RecordKey, size_t> m_recordLines;
    std::map<int16_t, size_t> m_fontLines;
};

std::unique_ptr<Document> Reader::Read(std::string_view text) {
    // The kinds of lines after the header.
    static constexpr LineKind kLineKinds[] = {
        {"font", &Reader::ReadFont},
        {"record", &Reader::ReadRecord},
        {"entry", &Reader::ReadEntry},
        {kEndWord, &Reader::ReadEnd},
    };
    const std::vector<std::string> lines = SplitLines(text);
    for (const std::string& line : lines) {
        ++m_line;
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') {
            continue;
        }
        m_column = first + 1;
        if (m_ended) {
            Fail("text after the \"end\" line");
        }
        std::vector<Word> words;
        try {
            words = SplitWords(line);
        } catch (const WordError& e) {
            Fail(e.what());
        }
        if (!m_headerRead) {
            ReadHeader(words);
            continue;
        }
        const auto kind = std::find_if(std::begin(kLineKinds), std::end(kLineKinds),
                                       [&](const LineKind& k) { return !words[0].quoted && k.word == words[0].text; });
        if (kind == std::end(kLineKinds)) {
            Fail("unknown line \"" + words[0].text + "\" (font, record, entry or end)");
        }
        (this->*(kind->read))(words);
    }
    if (!m_headerRead) {
        throw DocumentFileError(
            "not a document file: it does not begin with \"MUS " + std::to_string(kMusFormatVersion) + "\"", 1, 1);
    }
    if (!m_ended) {
        throw DocumentFileError("the file ends without its \"end\" line; it is truncated", m_line, 1);
    }
    return std::move(m_document);
}

int32_t Reader::Number(const Word& word, int64_t minimum, int64_t maximum, const char* what) const {
    int64_t value = 0;
    const char* begin = word.text.data();
    const char* end = begin + word.text.size();
    const auto [ptr, error] = std::from_chars(begin, end, value);
    if (word.quoted || word.text.empty() || error != std::errc() || ptr != end) {
        Fail(std::string(what) + " \"" + word.text + "\" is not a number");
    }
    if (value < minimum || value > maximum) {
        Fail(std::string(what) + " " + word.text + " is out of range (" + std::to_string(minimum) + " to " +
             std::to_string(maximum) + ")");
    }
    return static_cast<int32_t>(value);
}

void Reader::ReadHeader(const std::vector<Word>& words) {
    const std::string expected = std::string(kMagic) + " " + std::to_string(kMusFormatVersion);
    if (words[0].quoted || words[0].text != kMagic || words.size() != 2) {
        Fail("not a document file: it does not begin with \"" + expected + "\"");
    }
    if (words[1].text != std::to_string(kMusFormatVersion)) {
        Fail("format version " + words[1].text + " is not one this host reads (" + std::to_string(kMusFormatVersion) +
             ")");
    }
    m_headerRead = true;
}

void Reader::ReadFont(const std::vector<Word>& words) {
    if (words.size() != 3 || !words[2].quoted) {
        Fail("a font line is: font NUMBER \"NAME\"");
    }
    const auto number = static_cast<int16_t>(Number(words[1], INT16_MIN, INT16_MAX, "the font number"));
    if (const auto seen = m_fontLines.find(number); seen != m_fontLines.end()) {
        Fail("a second font " + std::to_string(number) + " (the first is on line " + std::to_string(seen->second) +
             ")");
    }
    m_fontLines[number] = m_line;
    m_document->Fonts()[number] = words[2].text;
}

void Reader::ReadRecord(const std::vector<Word>& words) {
    constexpr const char* kUsage = "a record line is: record TAG FAMILY KEYS... hex SIZE DIGITS, or ... text \"TEXT\"";
    if (words.size() < 3) {
        Fail(kUsage);
    }
    const auto tag = words[1].quoted ? std::nullopt : ParseTagText(words[1].text);
    if (!tag) {
        Fail("\"" + words[1].text + "\" is not a tag (four characters, \\xNN for any other byte)");
    }
    const auto family = FamilyFromWord(words[2].text);
    if (!family) {
        Fail("\"" + words[2].text + "\" is not a record family (other, detail, entry or global)");
    }
    if (*family != FamilyOfTag(*tag)) {
        const std::string kept(FamilyWord(FamilyOfTag(*tag)));
        if (hostapi::FindRecordTag(*tag)) {
            Fail("'" + TagText(*tag) + "' is " + (kept == "other" || kept == "entry" ? "an " : "a ") + kept +
                 " record, not " + words[2].text);
        }
        Fail("the host keeps records of the unknown tag '" + TagText(*tag) + "' as other records, not " +
             words[2].text);
    }
    const size_t keyCount = RecordKey{*tag}.Numbers().size();
    if (words.size() < 3 + keyCount + 1) {
        Fail(kUsage);
    }
    std::vector<int32_t> numbers;
    for (size_t i = 0; i < keyCount; ++i) {
        const bool entry = *family == hostapi::RecordFamily::EntryDetail && i == 0;
        numbers.push_back(
            Number(words[3 + i], entry ? INT32_MIN : INT16_MIN, entry ? INT32_MAX : INT16_MAX, "the key"));
    }
    const RecordKey key = *RecordKey::FromNumbers(*tag, numbers);
    const size_t form = 3 + keyCount;
    Bytes bytes;
    if (!words[form].quoted && words[form].text == kHexForm) {
        bytes = ReadHex(words, form + 1);
    } else if (!words[form].quoted && words[form].text == kTextForm) {
        if (words.size() != form + 2 || !words[form + 1].quoted) {
            Fail("a text record ends with one quoted text");
        }
        bytes.assign(words[form + 1].text.begin(), words[form + 1].text.end());
        bytes.push_back(0);
    } else {
        Fail("\"" + words[form].text + "\" is not a record form (hex or text)");
    }
    if (const auto info = hostapi::FindRecordTag(*tag); info && info->size != 0 && bytes.size() != info->size) {
        Fail("a '" + TagText(*tag) + "' record (" + info->what + ") has " + std::to_string(info->size) +
             " bytes, not " + std::to_string(bytes.size()));
    }
    if (const auto seen = m_recordLines.find(key); seen != m_recordLines.end()) {
        Fail("a second record " + key.Description() + " (the first is on line " + std::to_string(seen->second) + ")");
    }
    m_recordLines[key] = m_line;
    m_document->Records().Save(key, std::move(bytes));
}

void Reader::ReadEntry(const std::vector<Word>& words) {
    constexpr const char* kUsage = "an entry line is: entry STAFF MEASURE LAYER hex 146 DIGITS";
    if (words.size() < 6 || words[4].quoted || words[4].text != kHexForm) {
        Fail(kUsage);
    }
    CellKey cell;
    cell.staff = static_cast<hostapi::InstrumentKey>(Number(words[1], INT16_MIN, INT16_MAX, "the staff"));
    cell.measure = static_cast<hostapi::MeasureNumber>(Number(words[2], INT16_MIN, INT16_MAX, "the measure"));
    cell.layer = static_cast<hostapi::LayerIndex>(Number(words[3], 1, 4, "the layer") - 1);
    const Bytes bytes = ReadHex(words, 5);
    if (bytes.size() != hostapi::EntryLayout::kSize) {
        Fail("an entry has " + std::to_string(hostapi::EntryLayout::kSize) + " bytes, not " +
             std::to_string(bytes.size()));
    }
    EntryBytes entry;
    std::copy(bytes.begin(), bytes.end(), entry.begin());
    m_document->AppendEntry(cell, entry);
}

Bytes Reader::ReadHex(const std::vector<Word>& words, size_t first) {
    if (first >= words.size()) {
        Fail("the record's size is missing");
    }
    const int32_t size = Number(words[first], 0, INT32_MAX, "the record size");
    std::string digits;
    for (size_t i = first + 1; i < words.size(); ++i) {
        if (words[i].quoted) {
            Fail("a quoted text among the hexadecimal digits");
        }
        digits += words[i].text;
    }
    const auto notHex = std::find_if_not(digits.begin(), digits.end(),
                                         [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
    if (notHex != digits.end()) {
        Fail(std::string("\"") + *notHex + "\" is not a hexadecimal digit");
    }
    if (digits.size() % 2 != 0) {
        Fail("an odd number of hexadecimal digits");
    }
    if (digits.size() / 2 != static_cast<size_t>(size)) {
        Fail("the record announces " + std::to_string(size) + " bytes but holds " + std::to_string(digits.size() / 2));
    }
    Bytes bytes(digits.size() / 2);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(std::stoi(digits.substr(2 * i, 2), nullptr, 16));
    }
    return bytes;
}

void Reader::ReadEnd(const std::vector<Word>& words) {
    if (words.size() != 1) {
        Fail("the \"end\" line holds nothing else");
    }
    m_ended = true;
}

}  // namespace

std::string MusText(const Document& document) {
    std::ostringstream text;
    text << kMagic << " " << kMusFormatVersion << "\n";
    for (const auto& [number, name] : document.Fonts()) {
        text << "font " << number << " " << QuoteBytes(name) << "\n";
    }
    for (const auto& [key, bytes] : document.Records().Records()) {
        text << RecordLine(key, bytes) << "\n";
    }
    for (const auto& [cell, entries] : document.Cells()) {
        for (const EntryBytes& entry : entries) {
            text << EntryLine(cell, entry) << "\n";
        }
    }
    text << kEndWord << "\n";
    return text.str();
}

std::unique_ptr<Document> ParseMusText(std::string_view text, std::string name) {
    return Reader(std::move(name)).Read(text);
}

std::unique_ptr<Document> ReadMusFile(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        throw DocumentFileError("it is a folder, not a document file");
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw DocumentFileError("the file cannot be read");
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) {
        throw DocumentFileError("the file cannot be read");
    }
    std::unique_ptr<Document> document = ParseMusText(text.str(), path.stem().string());
    document->SetPath(path);
    return document;
}

void WriteMusFile(const Document& document, const std::filesystem::path& path) {
    std::string reason;
    if (!win::ReplaceFileContents(path, MusText(document), &reason)) {
        throw DocumentFileError("the file cannot be written (" + reason + "); the file is as it was");
    }
}

}  // namespace host
