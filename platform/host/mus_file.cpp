#include "platform/host/mus_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "platform/host/file_reasons.h"
#include "platform/host/text_words.h"
#include "platform/win/file_write.h"

namespace host {
namespace {

constexpr std::string_view kMagic = "MUS";
constexpr std::string_view kEndWord = "end";
constexpr std::string_view kHexForm = "hex";
constexpr std::string_view kTextForm = "text";
constexpr size_t kBytesPerGroup = 2;

/// Whether the reader passes over a line: blank, or a comment ('#' first after any blanks).
bool IsBlankOrComment(std::string_view line) {
    const size_t first = line.find_first_not_of(" \t");
    return first == std::string_view::npos || line[first] == '#';
}

// ---- Writing ----

/// Whether a record is a text: printable bytes (any above 0x7F) and one terminating zero.
bool IsText(const Bytes& bytes) {
    if (bytes.empty() || bytes.back() != 0) {
        return false;
    }
    return std::all_of(bytes.begin(), bytes.end() - 1, [](uint8_t b) { return b >= 0x20 && b != 0x7F; });
}

}  // namespace

void WriteHexGroups(std::ostream& out, const uint8_t* bytes, size_t size) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    char text[5 * 64];
    size_t used = 0;
    for (size_t i = 0; i < size; ++i) {
        if (i % kBytesPerGroup == 0) {
            text[used++] = ' ';
        }
        text[used++] = kHex[bytes[i] >> 4];
        text[used++] = kHex[bytes[i] & 0xF];
        if (used + 5 > sizeof(text)) {
            out.write(text, static_cast<std::streamsize>(used));
            used = 0;
        }
    }
    out.write(text, static_cast<std::streamsize>(used));
}

namespace {

/// One entry of a cell: "entry STAFF MEASURE LAYER hex 146 ...", the layer counted from 1.
void WriteEntryLine(std::ostream& out, const CellKey& cell, const EntryBytes& entry) {
    out << "entry " << cell.staff << ' ' << cell.measure << ' ' << cell.layer + 1 << ' ' << kHexForm << ' '
        << entry.size();
    WriteHexGroups(out, entry.data(), entry.size());
    out << '\n';
}

}  // namespace

void WriteRecordLine(std::ostream& out, const RecordKey& key, const Bytes& bytes) {
    out << "record " << TagText(key.tag) << ' ' << FamilyWord(key.Family());
    for (const int32_t number : key.Numbers()) {
        out << ' ' << number;
    }
    if (IsText(bytes)) {
        out << ' ' << kTextForm << ' '
            << QuoteBytes(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size() - 1)) << '\n';
        return;
    }
    out << ' ' << kHexForm << ' ' << bytes.size();
    WriteHexGroups(out, bytes.data(), bytes.size());
    out << '\n';
}

namespace {

// ---- Reading ----

/// The lines of a document file one at a time, from a text in memory or from a stream, so that
/// a file is never held whole; a CR before the line end is dropped.
class Lines {
public:
    explicit Lines(std::string_view text) : m_text(text) {}
    explicit Lines(std::istream& stream) : m_stream(&stream) {}

    /// The next line; false after the last.
    bool Next(std::string& line) {
        if (m_stream != nullptr) {
            if (!std::getline(*m_stream, line)) {
                if (m_stream->bad()) {
                    throw DocumentFileError("the file cannot be read");
                }
                return false;
            }
        } else {
            if (m_at >= m_text.size()) {
                return false;
            }
            size_t end = m_text.find('\n', m_at);
            if (end == std::string_view::npos) {
                end = m_text.size();
            }
            line.assign(m_text.substr(m_at, end - m_at));
            m_at = end + 1;
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        return true;
    }

    /// Back to the first line.
    void Rewind() {
        if (m_stream != nullptr) {
            m_stream->clear();
            m_stream->seekg(0);
        }
        m_at = 0;
    }

private:
    std::string_view m_text;
    size_t m_at = 0;
    std::istream* m_stream = nullptr;
};

/// Reads a document line by line; every error names the line.
class Reader {
public:
    explicit Reader(std::string name) : m_document(std::make_unique<Document>(std::move(name))) {}

    std::unique_ptr<Document> Read(Lines& lines);

private:
    struct LineKind {
        std::string_view word;
        void (Reader::*read)(const std::vector<Word>& words);
    };

    [[noreturn]] void Fail(const std::string& what) const { throw DocumentFileError(what, m_line, m_column); }

    int32_t Number(const Word& word, int64_t minimum, int64_t maximum, const char* what) const;
    /// The keys of a record line (its words from the tag to the keys); throws for a bad line.
    RecordKey KeyOfRecord(const std::vector<Word>& words) const;
    /// The line of the record stored first under the keys, read again from the first line.
    size_t LineOfRecord(const RecordKey& key) const;
    void ReadHeader(const std::vector<Word>& words);
    void ReadFont(const std::vector<Word>& words);
    void ReadRecord(const std::vector<Word>& words);
    void ReadEntry(const std::vector<Word>& words);
    void ReadEnd(const std::vector<Word>& words);
    Bytes ReadHex(const std::vector<Word>& words, size_t first);

    std::unique_ptr<Document> m_document;
    Lines* m_lines = nullptr;
    size_t m_line = 0;
    size_t m_column = 1;  ///< of the line's first word
    bool m_headerRead = false;
    bool m_ended = false;
    std::map<int16_t, size_t> m_fontLines;
};

std::unique_ptr<Document> Reader::Read(Lines& lines) {
    // The kinds of lines after the header.
    static constexpr LineKind kLineKinds[] = {
        {"font", &Reader::ReadFont},
        {"record", &Reader::ReadRecord},
        {"entry", &Reader::ReadEntry},
        {kEndWord, &Reader::ReadEnd},
    };
    m_lines = &lines;
    std::string line;
    while (lines.Next(line)) {
        ++m_line;
        if (IsBlankOrComment(line)) {
            continue;
        }
        m_column = line.find_first_not_of(" \t") + 1;
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

RecordKey Reader::KeyOfRecord(const std::vector<Word>& words) const {
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
    return *RecordKey::FromNumbers(*tag, numbers);
}

size_t Reader::LineOfRecord(const RecordKey& key) const {
    // Only a damaged file comes here: the reader keeps no line per record, so it reads the lines
    // before this one again (each of them that is not blank or a comment was read without a fault).
    m_lines->Rewind();
    std::string line;
    for (size_t number = 1; number < m_line && m_lines->Next(line); ++number) {
        if (IsBlankOrComment(line)) {
            continue;  // not read as words: a comment may hold anything
        }
        const std::vector<Word> words = SplitWords(line);
        if (!words.empty() && !words[0].quoted && words[0].text == "record" && KeyOfRecord(words) == key) {
            return number;
        }
    }
    return 0;
}

void Reader::ReadRecord(const std::vector<Word>& words) {
    const RecordKey key = KeyOfRecord(words);
    const size_t keyCount = key.Numbers().size();
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
    if (const hostapi::RecordTagInfo* info = TagInfoOf(key.tag);
        info != nullptr && info->size != 0 && bytes.size() != info->size) {
        Fail("a '" + TagText(key.tag) + "' record (" + info->what + ") has " + std::to_string(info->size) +
             " bytes, not " + std::to_string(bytes.size()));
    }
    if (m_document->Records().Find(key) != nullptr) {
        Fail("a second record " + key.Description() + " (the first is on line " + std::to_string(LineOfRecord(key)) +
             ")");
    }
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
    for (size_t i = first + 1; i < words.size(); ++i) {
        if (words[i].quoted) {
            Fail("a quoted text among the hexadecimal digits");
        }
    }
    size_t digitCount = 0;
    for (size_t i = first + 1; i < words.size(); ++i) {
        for (const char c : words[i].text) {
            if (hostapi::HexDigitValue(c) < 0) {
                Fail(std::string("\"") + c + "\" is not a hexadecimal digit");
            }
        }
        digitCount += words[i].text.size();
    }
    if (digitCount % 2 != 0) {
        Fail("an odd number of hexadecimal digits");
    }
    if (digitCount / 2 != static_cast<size_t>(size)) {
        Fail("the record announces " + std::to_string(size) + " bytes but holds " + std::to_string(digitCount / 2));
    }
    Bytes bytes(digitCount / 2);
    size_t at = 0;
    int high = -1;
    for (size_t i = first + 1; i < words.size(); ++i) {
        for (const char c : words[i].text) {
            if (high < 0) {
                high = hostapi::HexDigitValue(c);
            } else {
                bytes[at++] = static_cast<uint8_t>(high * 16 + hostapi::HexDigitValue(c));
                high = -1;
            }
        }
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

void WriteMusText(const Document& document, std::ostream& out) {
    out << kMagic << " " << kMusFormatVersion << "\n";
    for (const auto& [number, name] : document.Fonts()) {
        out << "font " << number << " " << QuoteBytes(name) << "\n";
    }
    for (const auto& [key, bytes] : document.Records().Records()) {
        WriteRecordLine(out, key, bytes);
    }
    for (const auto& [cell, entries] : document.Cells()) {
        for (const EntryBytes& entry : entries) {
            WriteEntryLine(out, cell, entry);
        }
    }
    out << kEndWord << "\n";
}

std::string MusText(const Document& document) {
    std::ostringstream text;
    WriteMusText(document, text);
    return text.str();
}

std::unique_ptr<Document> ParseMusText(std::string_view text, std::string name) {
    Lines lines(text);
    return Reader(std::move(name)).Read(lines);
}

std::unique_ptr<Document> ReadMusFile(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        throw DocumentFileError("it is a folder, not a document file");
    }
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw DocumentFileError(WhyFileCannotBeRead(path, "a document file"));
    }
    Lines lines(file);
    std::unique_ptr<Document> document = Reader(path.stem().string()).Read(lines);
    document->SetPath(path);
    return document;
}

void WriteMusFile(const Document& document, const std::filesystem::path& path) {
    std::string reason;
    if (!win::ReplaceFileContents(
            path, [&](std::ostream& out) { WriteMusText(document, out); }, &reason)) {
        throw DocumentFileError("the file cannot be written (" + reason + "); the file is as it was");
    }
}

}  // namespace host
