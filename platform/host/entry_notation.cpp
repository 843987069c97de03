#include "platform/host/entry_notation.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <string>

#include "platform/host/entry_names.h"

namespace host {
namespace {

constexpr std::string_view kLetters = "cdefgab";
constexpr int32_t kLowestOctave = -1;

/// A mistake in `word`; `at` points at the character that is wrong (nullptr: the word).
[[noreturn]] void Fail(std::string_view word, const std::string& why, const char* at = nullptr) {
    const size_t offset = at != nullptr && at >= word.data() && at < word.data() + word.size()
                              ? static_cast<size_t>(at - word.data())
                              : 0;
    throw NotationError("\"" + std::string(word) + "\" is not an entry: " + why, offset);
}

/// "[shown,frozen,-tie-end]": note flags to set and to keep clear.
void ParseNoteFlags(std::string_view word, std::string_view names, WrittenNote& note) {
    size_t start = 0;
    while (start <= names.size()) {
        const size_t comma = names.find(',', start);
        std::string_view name = names.substr(start, comma == std::string_view::npos ? comma : comma - start);
        const bool clear = name.starts_with('-');
        if (clear) {
            name.remove_prefix(1);
        }
        std::optional<uint32_t> bit = FlagOfName(kNoteFlagNames, name);
        if (!bit && name == "tie-start") {
            bit = hostapi::kNoteTieStart;
        } else if (!bit && name == "tie-end") {
            bit = hostapi::kNoteTieEnd;
        }
        if (!bit) {
            std::string known;
            for (const FlagName& flag : kNoteFlagNames) {
                known += std::string(flag.name) + ", ";
            }
            Fail(word, "\"" + std::string(name) + "\" is not a note flag (" + known + "tie-start, tie-end)",
                 name.data());
        }
        (clear ? note.cleared : note.flags) |= *bit;
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    note.tieStart = note.tieStart || (note.flags & hostapi::kNoteTieStart) != 0;
    note.tieEnd = note.tieEnd || (note.flags & hostapi::kNoteTieEnd) != 0;
    note.flags &= ~(hostapi::kNoteTieStart | hostapi::kNoteTieEnd);
}

/// A letter, an accidental and an octave from `i` on; `i` ends behind them.
SpelledNote ParsePitch(std::string_view word, std::string_view text, size_t& i, bool withAccidental) {
    const size_t letter = kLetters.find(static_cast<char>(std::tolower(static_cast<unsigned char>(text[i]))));
    if (letter == std::string_view::npos) {
        Fail(word, "\"" + std::string(1, text[i]) + "\" is not a note name (a to g, or r for a rest)", &text[i]);
    }
    ++i;
    int32_t accidental = 0;
    if (withAccidental && i < text.size() && text[i] == 'n') {
        ++i;
    } else if (withAccidental) {
        while (i < text.size() && (text[i] == '#' || text[i] == 'b')) {
            if (accidental != 0 && (text[i] == '#') != (accidental > 0)) {
                Fail(word, "a note has sharps or flats, not both", &text[i]);
            }
            accidental += text[i] == '#' ? 1 : -1;
            ++i;
        }
    }
    if (accidental < -2 || accidental > 2) {
        Fail(word, "at most a double sharp or a double flat", &text[i - 1]);
    }
    const size_t sign = i;
    const bool negative = i < text.size() && text[i] == '-';
    if (negative) {
        ++i;
    }
    const size_t digits = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0) {
        ++i;
    }
    if (i == digits) {
        Fail(word, "a note needs its octave (-1 to 9; 4 is middle C's)", text.data() + sign);
    }
    const std::string octaveText(text.substr(sign, i - sign));
    if (i - digits > 1 || (negative && text[digits] - '0' > -kLowestOctave)) {
        Fail(word, "the octave " + octaveText + " is out of range (-1 to 9; 4 is middle C's)", &text[sign]);
    }
    const int32_t octave = (negative ? -1 : 1) * (text[digits] - '0');  // -1 to 9
    return SpelledNote{(octave - 4) * 7 + static_cast<int32_t>(letter), accidental};
}

WrittenNote ParseNote(std::string_view word, std::string_view text) {
    if (text.empty()) {
        Fail(word, "a note is missing before \"+\" or \"/\"");
    }
    WrittenNote note;
    size_t i = 0;
    if (text[0] == '~') {
        note.tieEnd = true;
        ++i;
        if (i == text.size()) {
            Fail(word, "a note is missing after \"~\"");
        }
    }
    note.pitch = ParsePitch(word, text, i, true);
    if (i < text.size() && text[i] == '[') {
        const size_t close = text.find(']', i);
        if (close == std::string_view::npos) {
            Fail(word, "the note flags after \"[\" end with \"]\"");
        }
        ParseNoteFlags(word, text.substr(i + 1, close - i - 1), note);
        i = close + 1;
    }
    if (i < text.size() && text[i] == '~') {
        note.tieStart = true;
        ++i;
    }
    if (i != text.size()) {
        Fail(word, "\"" + std::string(text.substr(i)) + "\" after a note", &text[i]);
    }
    return note;
}

/// A note value with its dots ("8", "4.") from `i` on, in EDU; `i` ends behind it.
hostapi::Edu ParseValue(std::string_view word, std::string_view text, size_t& i) {
    int32_t value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0 && value <= 128) {
        value = value * 10 + (text[i] - '0');
        ++i;
    }
    if (value < 1 || value > 128 || (value & (value - 1)) != 0) {
        Fail(word, "the value after \"/\" is 1, 2, 4, 8, 16, 32, 64 or 128", text.data());
    }
    hostapi::Edu duration = hostapi::kEduWholeNote / value;
    hostapi::Edu added = duration;
    while (i < text.size() && text[i] == '.') {
        if (added % 2 != 0) {
            Fail(word, "too many dots for the value");
        }
        added /= 2;
        duration += added;
        ++i;
    }
    return duration;
}

}  // namespace

WrittenEntry ParseWrittenEntry(std::string_view word) {
    const size_t slash = word.find('/');
    if (slash == std::string_view::npos) {
        Fail(word, "the duration (\"/4\" for a quarter) is missing");
    }
    WrittenEntry entry;
    const std::string_view pitches = word.substr(0, slash);
    if (pitches.starts_with('r') || pitches.starts_with('R')) {
        if (pitches.size() > 1) {
            if (pitches[1] != '@' || pitches.size() == 2) {
                Fail(word, "a rest is r, or r@ and the pitch whose staff position it takes (r@b4)");
            }
            size_t i = 2;
            entry.restPlace = ParsePitch(word, pitches, i, false);
            if (i != pitches.size()) {
                Fail(word, "\"" + std::string(pitches.substr(i)) + "\" after the rest's place");
            }
        }
    } else {
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
    const hostapi::Edu duration = ParseValue(word, rest, i);
    for (; i < rest.size(); ++i) {
        bool* flag = rest[i] == 'g'   ? &entry.grace
                     : rest[i] == 'h' ? &entry.hidden
                     : rest[i] == 'f' ? &entry.floating
                                      : nullptr;
        if (flag == nullptr || *flag) {
            Fail(word,
                 "\"" + std::string(rest.substr(i)) +
                     "\" after the duration (g grace, h hidden, f floating rest, once each)",
                 &rest[i]);
        }
        *flag = true;
    }
    if (entry.grace && entry.notes.empty()) {
        Fail(word, "a rest cannot be a grace note");
    }
    if (entry.floating && !entry.notes.empty()) {
        Fail(word, "only a rest floats");
    }
    entry.duration = duration;
    return entry;
}

TupletRatio ParseTupletRatio(std::string_view text) {
    const auto fail = [&](const std::string& why) -> void {
        throw NotationError("\"{" + std::string(text) + "\" is not a tuplet: " + why);
    };
    TupletRatio ratio;
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        fail("it is {N:M, {N/U:M or {N/U:M/V (3 notes in the time of 2: {3:2)");
    }
    // One side: a count and, after "/", a value with its dots.
    const auto side = [&](std::string_view part, int16_t& count, std::optional<int16_t>& unit) {
        const size_t slash = part.find('/');
        const std::string_view digits = part.substr(0, slash);
        int32_t value = 0;
        for (const char c : digits) {
            if (std::isdigit(static_cast<unsigned char>(c)) == 0 || value > INT16_MAX) {
                fail("\"" + std::string(digits) + "\" is not a count of notes");
            }
            value = value * 10 + (c - '0');
        }
        if (digits.empty() || value < 1 || value > INT16_MAX) {
            fail("a count is a number from 1 to 32767");
        }
        count = static_cast<int16_t>(value);
        if (slash != std::string_view::npos) {
            const std::string_view valueText = part.substr(slash + 1);
            size_t i = 0;
            try {
                unit = static_cast<int16_t>(ParseValue(valueText, valueText, i));
            } catch (const NotationError&) {
                fail("the value after \"/\" is 1, 2, 4, 8, 16, 32, 64 or 128 with its dots");
            }
            if (i != valueText.size()) {
                fail("\"" + std::string(valueText.substr(i)) + "\" after a value");
            }
        }
    };
    side(text.substr(0, colon), ratio.notes, ratio.noteUnit);
    side(text.substr(colon + 1), ratio.reference, ratio.referenceUnit);
    return ratio;
}

}  // namespace host
