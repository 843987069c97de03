#include "platform/host/entry_notation.h"

#include <cctype>
#include <string>

namespace host {
namespace {

constexpr std::string_view kLetters = "cdefgab";
constexpr int32_t kLowestOctave = -1;
constexpr int32_t kHighestOctave = 9;

[[noreturn]] void Fail(std::string_view word, const std::string& why) {
    throw NotationError("\"" + std::string(word) + "\" is not an entry: " + why);
}

WrittenNote ParseNote(std::string_view word, std::string_view text) {
    if (text.empty()) {
        Fail(word, "a note is missing before \"+\" or \"/\"");
    }
    const size_t letter = kLetters.find(static_cast<char>(std::tolower(static_cast<unsigned char>(text[0]))));
    if (letter == std::string_view::npos) {
        Fail(word, "\"" + std::string(1, text[0]) + "\" is not a note name (a to g, or r for a rest)");
    }
    size_t i = 1;
    int32_t accidental = 0;
    if (i < text.size() && text[i] == 'n') {
        ++i;
    } else {
        while (i < text.size() && (text[i] == '#' || text[i] == 'b')) {
            if (accidental != 0 && (text[i] == '#') != (accidental > 0)) {
                Fail(word, "a note has sharps or flats, not both");
            }
            accidental += text[i] == '#' ? 1 : -1;
            ++i;
        }
    }
    if (accidental < -2 || accidental > 2) {
        Fail(word, "at most a double sharp or a double flat");
    }
    const bool negative = i < text.size() && text[i] == '-';
    if (negative) {
        ++i;
    }
    const size_t digits = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0) {
        ++i;
    }
    if (i == digits || i - digits > 1) {
        Fail(word, "a note needs its octave (-1 to 9; 4 is middle C's)");
    }
    const int32_t octave = (negative ? -1 : 1) * (text[digits] - '0');
    if (octave < kLowestOctave || octave > kHighestOctave) {
        Fail(word, "the octave " + std::to_string(octave) + " is not between -1 and 9");
    }
    WrittenNote note;
    note.pitch = SpelledNote{(octave - 4) * 7 + static_cast<int32_t>(letter), accidental};
    if (i < text.size() && text[i] == '~') {
        note.tieStart = true;
        ++i;
    }
    if (i != text.size()) {
        Fail(word, "\"" + std::string(text.substr(i)) + "\" after a note");
    }
    return note;
}

}  // namespace

WrittenEntry ParseWrittenEntry(std::string_view word) {
    const size_t slash = word.find('/');
    if (slash == std::string_view::npos) {
        Fail(word, "the duration (\"/4\" for a quarter) is missing");
    }
    WrittenEntry entry;
    const std::string_view pitches = word.substr(0, slash);
    if (pitches != "r" && pitches != "R") {
        size_t start = 0;
        while (true) {
            const size_t plus = pitches.find('+', start);
            entry.notes.push_back(ParseNote(word, pitches.substr(start, plus - start)));
            if (plus == std::string_view::npos) {
                break;
            }
            start = plus + 1;
        }
    }

    const std::string_view rest = word.substr(slash + 1);
    size_t i = 0;
    int32_t value = 0;
    while (i < rest.size() && std::isdigit(static_cast<unsigned char>(rest[i])) != 0 && value <= 128) {
        value = value * 10 + (rest[i] - '0');
        ++i;
    }
    if (value < 1 || value > 128 || (value & (value - 1)) != 0) {
        Fail(word, "the value after \"/\" is 1, 2, 4, 8, 16, 32, 64 or 128");
    }
    hostapi::Edu duration = hostapi::kEduWholeNote / value;
    hostapi::Edu added = duration;
    while (i < rest.size() && rest[i] == '.') {
        if (added % 2 != 0) {
            Fail(word, "too many dots for the value");
        }
        added /= 2;
        duration += added;
        ++i;
    }
    for (; i < rest.size(); ++i) {
        bool& flag = rest[i] == 'g' ? entry.grace : entry.hidden;
        if ((rest[i] != 'g' && rest[i] != 'h') || flag) {
            Fail(word, "\"" + std::string(rest.substr(i)) + "\" after the duration (g grace, h hidden, once each)");
        }
        flag = true;
    }
    if (entry.grace && entry.notes.empty()) {
        Fail(word, "a rest cannot be a grace note");
    }
    entry.duration = duration;
    return entry;
}

}  // namespace host
