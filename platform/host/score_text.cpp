#include "platform/host/score_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <vector>

#include "platform/host/entry_notation.h"
#include "platform/host/file_reasons.h"
#include "platform/host/music_model.h"
#include "platform/host/record_store.h"
#include "platform/host/score_builder.h"
#include "platform/host/score_text_statements.h"
#include "platform/host/text_words.h"
#include "platform/hostapi/layout_records.h"
#include "platform/win/system.h"

namespace host {
namespace {

using namespace scoretext;

/// "3/4": beats and the beat's duration in EDU (a whole note divided by the unit).
void ReadTime(Arguments& args, const Word& word, MeasureSettings& settings) {
    const size_t slash = word.text.find('/');
    if (word.quoted || slash == std::string::npos) {
        args.Fail("a time signature is BEATS/UNIT, as 3/4, not " + word.text);
    }
    const Word beats = PartOf(word, 0, slash);
    const Word unit = PartOf(word, slash + 1);
    settings.beats = static_cast<int16_t>(args.ToNumber(beats, "the number of beats", 1, 128));
    const int32_t divisor = args.ToNumber(unit, "the beat unit", 1, 64);
    if ((divisor & (divisor - 1)) != 0) {
        args.FailAt(unit, "the beat unit " + unit.text + " is not 1, 2, 4, 8, 16, 32 or 64");
    }
    settings.beatDuration = static_cast<int16_t>(hostapi::kEduWholeNote / divisor);
}

/// "2" (D major), "-3" (E flat major), "0m" (A minor): sharps (+) or flats (-), 'm' for minor.
void ReadKey(Arguments& args, const Word& word, MeasureSettings& settings) {
    const bool minor = !word.text.empty() && word.text.back() == 'm';
    const Word count{minor ? word.text.substr(0, word.text.size() - 1) : word.text, word.quoted, word.column};
    const int32_t accidentals = args.ToNumber(count, "the key", -7, 7);
    settings.key = static_cast<int16_t>((accidentals & 0xFF) | (minor ? 0x100 : 0));
}

void ReadMeasures(Arguments& args, ScoreBuilder& builder) {
    const int32_t count = args.Number("the number of measures", 1, INT16_MAX);
    MeasureSettings settings;
    // clang-format off
    static const std::vector<std::pair<std::string_view, void (*)(Arguments&, const Word&, MeasureSettings&)>> kOptions = {
        {"time", ReadTime},
        {"key", ReadKey},
        {"width", [](Arguments& a, const Word& w, MeasureSettings& s) {
             s.width = static_cast<int16_t>(a.ToNumber(w, "the width", 1, INT16_MAX)); }},
    };
    // clang-format on
    while (!args.Done()) {
        const Word option = args.Next("an option");
        const auto it = std::find_if(kOptions.begin(), kOptions.end(),
                                     [&](const auto& o) { return !option.quoted && o.first == option.text; });
        if (it == kOptions.end()) {
            args.Fail("unknown option \"" + option.text + "\"");
        }
        it->second(args, args.Next(std::string(it->first) + "'s value"), settings);
    }
    builder.Measures(count, settings);
}

/// A clef name ("treble", "bass", ...).
int16_t ReadClef(Arguments& args, const Word& word) {
    const auto clef = word.quoted ? std::nullopt : ClefByName(word.text);
    if (!clef) {
        std::string known;
        for (const ClefInfo& info : kClefs) {
            known += (known.empty() ? "" : ", ") + std::string(info.name);
        }
        args.Fail("unknown clef \"" + word.text + "\" (" + known + ")");
    }
    return *clef;
}

/// clef STAFF MEASURE CLEF [CLEF@EDU]...
void ReadClefs(Arguments& args, ScoreBuilder& builder) {
    const auto staff = static_cast<hostapi::InstrumentKey>(args.Number("the staff", 1, INT16_MAX));
    const auto measure = static_cast<hostapi::MeasureNumber>(args.Number("the measure", 1, INT16_MAX));
    std::vector<ClefChange> changes{{ReadClef(args, args.Next("the clef")), 0}};
    while (!args.Done()) {
        const Word& word = args.Next("a clef change");
        const size_t at = word.text.find('@');
        if (word.quoted || at == std::string::npos) {
            args.Fail("a clef change is CLEF@EDU, as bass@2048, not " + word.text);
        }
        const int16_t clef = ReadClef(args, PartOf(word, 0, at));
        changes.push_back({clef, args.ToNumber(PartOf(word, at + 1), "the position", 1, INT16_MAX)});
    }
    builder.Clef(staff, measure, changes);
}

/// notes STAFF MEASURE [layer N] ENTRY...; "{N:M" opens a tuplet, "}" after an entry closes it.
void ReadNotes(Arguments& args, ScoreBuilder& builder) {
    const auto staff = static_cast<hostapi::InstrumentKey>(args.Number("the staff", 1, INT16_MAX));
    const auto measure = static_cast<hostapi::MeasureNumber>(args.Number("the measure", 1, INT16_MAX));
    hostapi::LayerIndex layer = 0;
    std::vector<WrittenEntry> entries;
    struct OpenTuplet {
        TupletRatio ratio;
        size_t first;
        Word word;
    };
    std::vector<OpenTuplet> open;
    std::vector<WrittenTuplet> tuplets;
    std::vector<size_t> columns;  // where each entry is written
    // Closes the innermost open tuplet: a unit not written is what its entries hold per note.
    const auto close = [&](const Word& at) {
        if (open.empty()) {
            args.FailAt(at, "\"}\" closes no tuplet");
        }
        const OpenTuplet tuplet = open.back();
        open.pop_back();
        if (tuplet.first == entries.size()) {
            args.FailAt(tuplet.word, "the tuplet {" + tuplet.word.text.substr(1) + " holds no entries");
        }
        WrittenTuplet written;
        written.first = tuplet.first;
        written.count = entries.size() - tuplet.first;
        written.notes = tuplet.ratio.notes;
        written.reference = tuplet.ratio.reference;
        if (tuplet.ratio.noteUnit) {
            written.noteUnit = *tuplet.ratio.noteUnit;
        } else {
            // What the entries hold as written, tuplets inside counting with their reference time.
            hostapi::Edu length = 0;
            for (size_t i = written.first; i < entries.size(); ++i) {
                const auto inner =
                    std::find_if(tuplets.begin(), tuplets.end(), [&](const WrittenTuplet& t) { return t.first == i; });
                if (inner != tuplets.end()) {
                    length += static_cast<hostapi::Edu>(inner->reference) * inner->referenceUnit;
                    i = inner->first + inner->count - 1;
                } else {
                    length += entries[i].grace ? 0 : entries[i].duration;
                }
            }
            if (length % written.notes != 0 || length / written.notes > INT16_MAX || length == 0) {
                args.FailAt(tuplet.word, "the entries of the tuplet {" + tuplet.word.text.substr(1) + " last " +
                                             std::to_string(length) + " EDU, which " + std::to_string(written.notes) +
                                             " notes do not share evenly");
            }
            written.noteUnit = static_cast<int16_t>(length / written.notes);
        }
        written.referenceUnit = tuplet.ratio.referenceUnit.value_or(written.noteUnit);
        // Inner tuplets were closed first; the builder wants them after the outer one.
        const auto place = std::find_if(tuplets.begin(), tuplets.end(),
                                        [&](const WrittenTuplet& t) { return t.first >= written.first; });
        tuplets.insert(place, written);
    };
    while (!args.Done()) {
        const Word& word = args.Next("an entry");
        if (!word.quoted && word.text == "layer" && entries.empty() && open.empty()) {
            layer = static_cast<hostapi::LayerIndex>(args.Number("the layer", 1, 4) - 1);
            continue;
        }
        if (word.quoted) {
            args.Fail("an entry is no text in quotes");
        }
        if (word.text.starts_with('{')) {
            try {
                open.push_back(OpenTuplet{ParseTupletRatio(word.text.substr(1)), entries.size(), word});
            } catch (const NotationError& e) {
                args.Fail(e.what());
            }
            continue;
        }
        std::string text = word.text;
        size_t closing = 0;
        while (!text.empty() && text.back() == '}') {
            text.pop_back();
            ++closing;
        }
        if (!text.empty()) {
            try {
                entries.push_back(ParseWrittenEntry(text));
                columns.push_back(word.column);
            } catch (const NotationError& e) {
                args.FailAt(word.column + e.Offset(), e.what());
            }
        }
        for (size_t i = 0; i < closing; ++i) {
            close(word);
        }
    }
    if (!open.empty()) {
        args.FailAt(open.back().word, "the tuplet {" + open.back().word.text.substr(1) + " is not closed with \"}\"");
    }
    if (entries.empty()) {
        args.FailMissing("the entries are missing");
    }
    try {
        builder.Notes(staff, measure, layer, entries, tuplets);
    } catch (const EntryError& e) {
        // Point at the entry that is wrong (the one that overflows the measure, a tuplet's first).
        throw StatementError(e.what(), e.Index() < columns.size() ? columns[e.Index()] : 0);
    }
}

/// page [width W] [height H]
void ReadPage(Arguments& args, ScoreBuilder& builder) {
    PageSettings settings;
    while (!args.Done()) {
        const Word option = args.Next("an option");
        if (!option.quoted && option.text == "width") {
            settings.width = args.Number("the width", 1, INT16_MAX);
        } else if (!option.quoted && option.text == "height") {
            settings.height = args.Number("the height", 1, INT16_MAX);
        } else {
            args.Fail("unknown option \"" + option.text + "\"");
        }
    }
    builder.Page(settings);
}

/// group FIRST LAST "FULL" ["ABBREVIATED"] [list N] [bracket B]
void ReadGroup(Arguments& args, ScoreBuilder& builder) {
    const auto first = static_cast<hostapi::InstrumentKey>(args.Number("the first staff", 1, INT16_MAX));
    const auto last = static_cast<hostapi::InstrumentKey>(args.Number("the last staff", 1, INT16_MAX));
    const std::string full = args.Text("the full name");
    std::string abbreviated;
    int16_t list = 0;
    int16_t bracket = 0;
    while (!args.Done()) {
        const Word word = args.Next("an option");
        if (word.quoted && abbreviated.empty()) {
            abbreviated = word.text;
        } else if (!word.quoted && word.text == "list") {
            list = static_cast<int16_t>(args.Number("the list", 0, INT16_MAX));
        } else if (!word.quoted && word.text == "bracket") {
            bracket = static_cast<int16_t>(args.Number("the bracket", INT16_MIN, INT16_MAX));
        } else {
            args.Fail("unknown option \"" + word.text + "\"");
        }
    }
    builder.Group(list, first, last, full, abbreviated, bracket);
}

/// "3@1024" (measure 3, position 1024), "3:2" (the second entry of layer 1 in measure 3) or
/// "3:2.1" (its first note from the bottom).
ShapeEnd ReadShapeEnd(Arguments& args, std::string_view what) {
    const Word& word = args.Next(what);
    const size_t at = word.text.find_first_of("@:");
    if (word.quoted || at == std::string::npos) {
        args.Fail(std::string(what) + " is MEASURE@EDU, MEASURE:ENTRY or MEASURE:ENTRY.NOTE, not " + word.text);
    }
    ShapeEnd end;
    end.measure = static_cast<hostapi::MeasureNumber>(args.ToNumber(PartOf(word, 0, at), "the measure", 1, INT16_MAX));
    if (word.text[at] == '@') {
        end.position = args.ToNumber(PartOf(word, at + 1), "the position", 0, INT32_MAX);
        return end;
    }
    const size_t dot = word.text.find('.', at + 1);
    end.entry =
        args.ToNumber(PartOf(word, at + 1, dot == std::string::npos ? dot : dot - at - 1), "the entry", 1, INT16_MAX);
    if (dot != std::string::npos) {
        end.note = args.ToNumber(PartOf(word, dot + 1), "the note", 1, hostapi::EntryLayout::kMaxNotes);
    }
    return end;
}

/// shape KIND STAFF FROM TO [offset N] [endoffset N] [angled]
void ReadShape(Arguments& args, ScoreBuilder& builder) {
    const auto kind = static_cast<int16_t>(args.Number("the kind", 0, INT16_MAX));
    const auto staff = static_cast<hostapi::InstrumentKey>(args.Number("the staff", 1, INT16_MAX));
    const ShapeEnd start = ReadShapeEnd(args, "the start");
    const ShapeEnd end = ReadShapeEnd(args, "the end");
    ShapeHeights heights;
    uint16_t word2 = 0;
    while (!args.Done()) {
        const Word option = args.Next("an option");
        if (!option.quoted && option.text == "offset") {
            heights.start = static_cast<int16_t>(args.Number("the offset", INT16_MIN, INT16_MAX));
        } else if (!option.quoted && option.text == "endoffset") {
            heights.end = static_cast<int16_t>(args.Number("the end offset", INT16_MIN, INT16_MAX));
        } else if (!option.quoted && option.text == "angled") {
            word2 = hostapi::SmartShapeLayout::kHairpinAngled;
        } else {
            args.Fail("unknown option \"" + option.text + "\"");
        }
    }
    builder.SmartShape(kind, staff, start, end, heights, word2);
}

/// 24 hexadecimal digits: the 12 bytes of an expression's playback data.
std::array<uint8_t, 12> ReadPlayback(Arguments& args, const Word& word) {
    std::array<uint8_t, 12> bytes{};
    const auto digit = [](char c) -> int {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                      : -1;
    };
    bool good = !word.quoted && word.text.size() == 2 * bytes.size();
    for (size_t i = 0; good && i < bytes.size(); ++i) {
        const int high = digit(word.text[2 * i]);
        const int low = digit(word.text[2 * i + 1]);
        good = high >= 0 && low >= 0;
        bytes[i] = static_cast<uint8_t>(good ? high * 16 + low : 0);
    }
    if (!good) {
        args.Fail("the playback data is 24 hexadecimal digits, not " + word.text);
    }
    return bytes;
}

/// expression NUMBER "TEXT" [font N] [size S] [style W] [flags F] [word4 V] [word6 V] [playback HEX] [metatool K]
void ReadExpression(Arguments& args, ScoreBuilder& builder) {
    const auto number = static_cast<int16_t>(args.Number("the expression number", 1, INT16_MAX));
    const std::string text = args.Text("the text");
    ExpressionSettings settings;
    while (!args.Done()) {
        const Word option = args.Next("an option");
        const std::string& name = option.text;
        if (option.quoted) {
            args.Fail("unknown option \"" + name + "\"");
        } else if (name == "font") {
            settings.font = static_cast<int16_t>(args.Number("the font number", 0, 255));
        } else if (name == "size") {
            settings.size = static_cast<int16_t>(args.Number("the size", 0, 255));
        } else if (name == "style") {
            settings.style = static_cast<uint16_t>(args.Number("the style", 0, UINT16_MAX));
        } else if (name == "flags") {
            settings.flags = static_cast<uint16_t>(args.Number("the flags", 0, UINT16_MAX));
        } else if (name == "word4") {
            settings.word4 = static_cast<int16_t>(args.Number("word 4", INT16_MIN, INT16_MAX));
        } else if (name == "word6") {
            settings.word6 = static_cast<int16_t>(args.Number("word 6", INT16_MIN, INT16_MAX));
        } else if (name == "playback") {
            settings.hasPlayback = true;
            settings.playback = ReadPlayback(args, args.Next("the playback data"));
        } else if (name == "metatool") {
            settings.metatool = static_cast<int16_t>(args.Number("the metatool key", 1, 255));
        } else {
            args.Fail("unknown option \"" + name + "\"");
        }
    }
    builder.TextExpression(number, text, settings);
}

/// measureexpression MEASURE NUMBER [at EDU] [staff S] [offset V] [shape]
void ReadMeasureExpression(Arguments& args, ScoreBuilder& builder) {
    const auto measure = static_cast<hostapi::MeasureNumber>(args.Number("the measure", 1, INT16_MAX));
    const auto number = static_cast<int16_t>(args.Number("the expression number", INT16_MIN, INT16_MAX));
    hostapi::Edu position = 0;
    hostapi::InstrumentKey staff = 0;
    int16_t offset = 0;
    bool shape = false;
    while (!args.Done()) {
        const Word option = args.Next("an option");
        if (!option.quoted && option.text == "at") {
            position = args.Number("the position", 0, INT16_MAX);
        } else if (!option.quoted && option.text == "staff") {
            staff = static_cast<hostapi::InstrumentKey>(args.Number("the staff", 0, 1023));
        } else if (!option.quoted && option.text == "offset") {
            offset = static_cast<int16_t>(args.Number("the offset", INT16_MIN, INT16_MAX));
        } else if (!option.quoted && option.text == "shape") {
            shape = true;
        } else {
            args.Fail("unknown option \"" + option.text + "\"");
        }
    }
    builder.MeasureExpression(measure, number, position, staff, offset, shape);
}

/// noteexpression STAFF MEASURE:ENTRY NUMBER [layer L] [at H] [offset V] [shape]
void ReadNoteExpression(Arguments& args, ScoreBuilder& builder) {
    const auto [staff, measure, entry] = ReadEntryPlace(args);
    const auto number = static_cast<int16_t>(args.Number("the expression number", INT16_MIN, INT16_MAX));
    hostapi::LayerIndex layer = 0;
    int16_t horizontal = 0;
    int16_t vertical = 0;
    bool shape = false;
    while (!args.Done()) {
        const Word option = args.Next("an option");
        if (!option.quoted && option.text == "layer") {
            layer = static_cast<hostapi::LayerIndex>(args.Number("the layer", 1, 4) - 1);
        } else if (!option.quoted && option.text == "at") {
            horizontal = static_cast<int16_t>(args.Number("the horizontal offset", INT16_MIN, INT16_MAX));
        } else if (!option.quoted && option.text == "offset") {
            vertical = static_cast<int16_t>(args.Number("the offset", INT16_MIN, INT16_MAX));
        } else if (!option.quoted && option.text == "shape") {
            shape = true;
        } else {
            args.Fail("unknown option \"" + option.text + "\"");
        }
    }
    builder.NoteExpression(staff, measure, layer, entry, number, horizontal, vertical, shape);
}

/// beatchart MEASURE [mode M] TIME:POSITION:NEXT:MINIMUM...: the header first, then the elements.
void ReadBeatChart(Arguments& args, ScoreBuilder& builder) {
    const auto measure = static_cast<hostapi::MeasureNumber>(args.Number("the measure", 1, INT16_MAX));
    int16_t mode = 2;
    std::vector<BeatChartRecord> records;
    while (!args.Done()) {
        const Word& word = args.Next("a record");
        if (!word.quoted && word.text == "mode" && records.empty()) {
            mode = static_cast<int16_t>(args.Number("the mode", 0, 7));
            continue;
        }
        std::vector<Word> parts;
        size_t from = 0;
        for (size_t colon = word.text.find(':'); colon != std::string::npos; colon = word.text.find(':', from)) {
            parts.push_back(PartOf(word, from, colon - from));
            from = colon + 1;
        }
        parts.push_back(PartOf(word, from));
        if (word.quoted || parts.size() != 4) {
            args.Fail("a record is TIME:POSITION:NEXT:MINIMUM, as 1024:60:120:0, not " + word.text);
        }
        BeatChartRecord record;
        record.time = args.ToNumber(parts[0], "the time", INT32_MIN, INT32_MAX);
        record.position = static_cast<int16_t>(args.ToNumber(parts[1], "the position", INT16_MIN, INT16_MAX));
        record.next = static_cast<int16_t>(args.ToNumber(parts[2], "the next position", INT16_MIN, INT16_MAX));
        record.minimum = static_cast<int16_t>(args.ToNumber(parts[3], "the minimum", INT16_MIN, INT16_MAX));
        records.push_back(record);
    }
    if (records.empty()) {
        args.FailMissing("the records are missing");
    }
    builder.BeatChart(measure, records, mode);
}

/// Three words SPAN:INSET:HEIGHT: the host's slur contour defaults.
void ReadSlurContours(Arguments& args, ScoreBuilder& builder) {
    std::array<std::array<int16_t, 3>, 3> points{};
    for (auto& point : points) {
        const Word& word = args.Next("a point");
        const size_t first = word.text.find(':');
        const size_t second = first == std::string::npos ? first : word.text.find(':', first + 1);
        if (word.quoted || second == std::string::npos || word.text.find(':', second + 1) != std::string::npos) {
            args.Fail("a point is SPAN:INSET:HEIGHT, as 256:40:24, not " + word.text);
        }
        const Word parts[3] = {PartOf(word, 0, first), PartOf(word, first + 1, second - first - 1),
                               PartOf(word, second + 1)};
        static constexpr const char* kFields[3] = {"the span", "the inset", "the height"};
        for (size_t i = 0; i < 3; ++i) {
            point[i] = static_cast<int16_t>(args.ToNumber(parts[i], kFields[i], INT16_MIN, INT16_MAX));
        }
    }
    args.ExpectEnd();
    builder.SlurContours(points);
}

/// chord STAFF MEASURE:ENTRY ROOT [suffix N] [hidden] [layer 1-4]; the root is a letter and an
/// accidental (#, ##, b, bb or none).
void ReadChord(Arguments& args, ScoreBuilder& builder) {
    const auto [staff, measure, entry] = ReadEntryPlace(args);
    const Word& rootWord = args.Next("the root");
    static constexpr std::string_view kLetters = "cdefgab";
    static constexpr std::string_view kAccidentals[] = {"bb", "b", "", "#", "##"};
    const std::string root = rootWord.text;
    const size_t letter =
        root.empty() ? std::string_view::npos : kLetters.find(static_cast<char>(std::tolower(root[0])));
    const auto accidental =
        std::find(std::begin(kAccidentals), std::end(kAccidentals), root.substr(root.empty() ? 0 : 1));
    if (rootWord.quoted || letter == std::string_view::npos || accidental == std::end(kAccidentals)) {
        args.Fail("the root is a letter and an accidental, as f# or bb, not " + root);
    }
    const SpelledNote spelled{static_cast<int32_t>(letter),
                              static_cast<int32_t>(accidental - std::begin(kAccidentals)) - 2};
    int16_t suffix = 0;
    bool shown = true;
    hostapi::LayerIndex layer = 0;
    while (!args.Done()) {
        const Word option = args.Next("an option");
        if (!option.quoted && option.text == "suffix") {
            suffix = static_cast<int16_t>(args.Number("the suffix", 1, INT16_MAX));
        } else if (!option.quoted && option.text == "hidden") {
            shown = false;
        } else if (!option.quoted && option.text == "layer") {
            layer = static_cast<hostapi::LayerIndex>(args.Number("the layer", 1, 4) - 1);
        } else {
            args.Fail("unknown option \"" + option.text + "\"");
        }
    }
    builder.ChordSymbol(staff, measure, layer, entry, spelled, suffix, shown);
}

/// suffix NUMBER "TEXT" [font F] [size S] [info]
void ReadChordSuffix(Arguments& args, ScoreBuilder& builder) {
    const auto number = static_cast<int16_t>(args.Number("the suffix number", 1, INT16_MAX));
    const std::string text = args.Text("the text");
    int32_t font = 0;
    int32_t size = 12;
    bool info = false;
    while (!args.Done()) {
        const Word option = args.Next("an option");
        if (!option.quoted && option.text == "font") {
            font = args.Number("the font", 0, 255);
        } else if (!option.quoted && option.text == "size") {
            size = args.Number("the size", 1, 255);
        } else if (!option.quoted && option.text == "info") {
            info = true;
        } else {
            args.Fail("unknown option \"" + option.text + "\"");
        }
    }
    builder.ChordSuffix(number, text, static_cast<uint16_t>(font + 256 * size), info);
}

/// verse, chorus or section: the lyric kind 0, 1 or 2.
int32_t ReadLyricKind(Arguments& args) {
    const Word& word = args.Next("the lyric kind");
    static constexpr std::array<std::string_view, 3> kKinds = {"verse", "chorus", "section"};
    const auto found = std::find(kKinds.begin(), kKinds.end(), word.text);
    if (word.quoted || found == kKinds.end()) {
        args.Fail("the lyric kind is verse, chorus or section, not " + word.text);
    }
    return static_cast<int32_t>(found - kKinds.begin());
}

/// syllable STAFF MEASURE:ENTRY KIND TEXT SYLLABLE [layer L] [at H] [extension E]
void ReadSyllable(Arguments& args, ScoreBuilder& builder) {
    const auto [staff, measure, entry] = ReadEntryPlace(args);
    const int32_t kind = ReadLyricKind(args);
    const auto text = static_cast<int16_t>(args.Number("the text number", 1, INT16_MAX));
    const auto syllable = static_cast<int16_t>(args.Number("the syllable", 1, INT16_MAX));
    hostapi::LayerIndex layer = 0;
    int16_t offset = 0;
    int16_t extension = 0;
    while (!args.Done()) {
        const Word option = args.Next("an option");
        if (!option.quoted && option.text == "layer") {
            layer = static_cast<hostapi::LayerIndex>(args.Number("the layer", 1, 4) - 1);
        } else if (!option.quoted && option.text == "at") {
            offset = static_cast<int16_t>(args.Number("the horizontal offset", INT16_MIN, INT16_MAX));
        } else if (!option.quoted && option.text == "extension") {
            extension = static_cast<int16_t>(args.Number("the extension", INT16_MIN, INT16_MAX));
        } else {
            args.Fail("unknown option \"" + option.text + "\"");
        }
    }
    builder.Syllable(staff, measure, layer, entry, kind, text, syllable, offset, extension);
}

struct LineKind {
    std::string_view keyword;
    std::string_view usage;
    std::function<void(Arguments&, ScoreBuilder&)> apply;
};

// One row per statement; a new kind of music is a new row and a builder method.
// clang-format off
const std::vector<LineKind>& LineKinds() {
    static const std::vector<LineKind> kKinds = {
        {"font", "font NUMBER \"NAME\"", [](Arguments& args, ScoreBuilder& builder) {
             const auto number = static_cast<int16_t>(args.Number("the font number", INT16_MIN, INT16_MAX));
             const std::string name = args.Text("the font name");
             args.ExpectEnd();
             builder.Font(number, name);
         }},
        {"staff", "staff \"FULL NAME\" [\"ABBREVIATED NAME\"]", [](Arguments& args, ScoreBuilder& builder) {
             const std::string full = args.Text("the full name");
             const std::string abbreviated = args.OptionalText("the abbreviated name");
             args.ExpectEnd();
             builder.Staff(full, abbreviated);
         }},
        {"measures", "measures COUNT [time BEATS/UNIT] [key KEY] [width EVPU]", ReadMeasures},
        {"text", "text \"TEXT\"", [](Arguments& args, ScoreBuilder& builder) {
             const std::string text = args.Text("the text");
             args.ExpectEnd();
             builder.TextBlock(text);
         }},
        {"clef", "clef STAFF MEASURE CLEF [CLEF@EDU]...", ReadClefs},
        {"notes", "notes STAFF MEASURE [layer 1-4] ENTRY...", ReadNotes},
        {"page", "page [width EVPU] [height EVPU]", ReadPage},
        {"system", "system FIRST LAST", [](Arguments& args, ScoreBuilder& builder) {
             const auto first = static_cast<hostapi::MeasureNumber>(args.Number("the first measure", 0, INT16_MAX));
             const auto last = static_cast<hostapi::MeasureNumber>(args.Number("the last measure", first, INT16_MAX));
             args.ExpectEnd();
             builder.System(first, last);
         }},
        {"numberregion", "numberregion FIRST LAST [start N]", [](Arguments& args, ScoreBuilder& builder) {
             const auto first = static_cast<hostapi::MeasureNumber>(args.Number("the first measure", 1, INT16_MAX));
             const auto last =
                 static_cast<hostapi::MeasureNumber>(args.Number("the last measure", first, INT16_MAX - 1));
             int16_t start = 1;
             if (!args.Done()) {
                 const Word& option = args.Next("an option");
                 if (option.quoted || option.text != "start") {
                     args.Fail("unknown option \"" + option.text + "\"");
                 }
                 start = static_cast<int16_t>(args.Number("the starting number", INT16_MIN + 1, INT16_MAX));
             }
             args.ExpectEnd();
             builder.NumberRegion(first, last, start);
         }},
        {"barline", "barline MEASURE KIND", [](Arguments& args, ScoreBuilder& builder) {
             const auto measure = static_cast<hostapi::MeasureNumber>(args.Number("the measure", 1, INT16_MAX));
             const auto kind = static_cast<int16_t>(args.Number("the barline kind", 0, 15));
             args.ExpectEnd();
             builder.Barline(measure, kind);
         }},
        {"backwardrepeat", "backwardrepeat MEASURE", [](Arguments& args, ScoreBuilder& builder) {
             const auto measure = static_cast<hostapi::MeasureNumber>(args.Number("the measure", 1, INT16_MAX));
             args.ExpectEnd();
             builder.BackwardRepeat(measure);
         }},
        {"lock", "lock FIRST LAST", [](Arguments& args, ScoreBuilder& builder) {
             const auto first = static_cast<hostapi::MeasureNumber>(args.Number("the first measure", 1, INT16_MAX - 1));
             const auto last = static_cast<hostapi::MeasureNumber>(args.Number("the last measure", first, INT16_MAX - 1));
             args.ExpectEnd();
             builder.Lock(first, last);
         }},
        {"layout", "layout", [](Arguments& args, ScoreBuilder& builder) {
             args.ExpectEnd();
             builder.LayOut();
         }},
        {"stafflist", "stafflist SYSTEM STAFF...", [](Arguments& args, ScoreBuilder& builder) {
             const auto system = static_cast<int16_t>(args.Number("the system", 1, INT16_MAX));
             std::vector<hostapi::InstrumentKey> staves;
             while (!args.Done()) {
                 staves.push_back(static_cast<hostapi::InstrumentKey>(args.Number("a staff", 1, INT16_MAX)));
             }
             if (staves.empty()) {
                 args.FailMissing("the staves are missing");
             }
             builder.StaffList(system, staves);
         }},
        {"group", "group FIRST LAST \"FULL NAME\" [\"ABBREVIATED NAME\"] [list N] [bracket B]", ReadGroup},
        {"shape", "shape KIND STAFF MEASURE@EDU|MEASURE:ENTRY[.NOTE] MEASURE@EDU|MEASURE:ENTRY[.NOTE] [offset N] [endoffset N] [angled]", ReadShape},
        {"beatchart", "beatchart MEASURE [mode 0-7] TIME:POSITION:NEXT:MINIMUM...", ReadBeatChart},
        {"slurcontours", "slurcontours SPAN:INSET:HEIGHT SPAN:INSET:HEIGHT SPAN:INSET:HEIGHT", ReadSlurContours},
        {"chord", "chord STAFF MEASURE:ENTRY ROOT [suffix N] [hidden] [layer 1-4]", ReadChord},
        {"suffix", "suffix NUMBER \"TEXT\" [font F] [size S] [info]", ReadChordSuffix},
        {"pagetext", "pagetext PAGE \"TEXT\"", [](Arguments& args, ScoreBuilder& builder) {
             const auto page = static_cast<int16_t>(args.Number("the page", 1, INT16_MAX));
             const std::string text = args.Text("the text");
             args.ExpectEnd();
             builder.PageText(page, text);
         }},
        {"pagegraphic", "pagegraphic PAGE \"PATH\"", [](Arguments& args, ScoreBuilder& builder) {
             const auto page = static_cast<int16_t>(args.Number("the page", 1, INT16_MAX));
             const std::string path = args.Text("the path");
             args.ExpectEnd();
             builder.PageGraphic(page, path);
         }},
        {"expression", "expression NUMBER \"TEXT\" [font N] [size S] [style W] [flags F] [word4 V] [word6 V] [playback HEX] [metatool K]", ReadExpression},
        {"measureexpression", "measureexpression MEASURE NUMBER [at EDU] [staff S] [offset V] [shape]", ReadMeasureExpression},
        {"noteexpression", "noteexpression STAFF MEASURE:ENTRY NUMBER [layer 1-4] [at H] [offset V] [shape]", ReadNoteExpression},
        {"lyric", "lyric verse|chorus|section NUMBER \"TEXT\"", [](Arguments& args, ScoreBuilder& builder) {
             const int32_t kind = ReadLyricKind(args);
             const auto number = static_cast<int16_t>(args.Number("the text number", 1, INT16_MAX));
             const std::string text = args.Text("the text");
             args.ExpectEnd();
             builder.LyricText(kind, number, text);
         }},
        {"syllable", "syllable STAFF MEASURE:ENTRY verse|chorus|section TEXT SYLLABLE [layer 1-4] [at H] [extension E]", ReadSyllable},
        {"entry", "entry STAFF MEASURE:ENTRY [layer 1-4] [offset H] [+FLAG|-FLAG]...", ReadEntry},
        {"entryrecord", "entryrecord STAFF MEASURE:ENTRY TAG [layer 1-4] HEX...", ReadEntryRecord},
        {"tuplet", "tuplet STAFF MEASURE:ENTRY [layer 1-4] [number K] [word10 V] [flags N]", ReadTuplet},
        {"articulation", "articulation NUMBER CHARACTER [style S] [font F] [size S] [place opposite|stem|above|below] [alternate CHARACTER] [horizontal H] [above V] [below V] [FLAG...] [flags N] [options N]", ReadArticulation},
        {"notearticulation", "notearticulation STAFF MEASURE:ENTRY NUMBER [layer 1-4] [at H] [offset V]", ReadNoteArticulation},
        {"noteplayback", "noteplayback STAFF MEASURE:ENTRY NOTE [layer 1-4] [word2 V] [word4 V] [pitch V] [level V] [silenced]", ReadNotePlayback},
        {"layersettings", "layersettings LAYER [stem up|down] [withothers] [playbackmark] [first N] [second N]", ReadLayerSettings},
        {"midi", "midi STAFF MEASURE EDU pitchwheel VALUE|controller NUMBER VALUE|STATUS DATA1 DATA2", ReadMidi},
        {"record", "record TAG FAMILY KEY... hex SIZE DIGITS...|text \"TEXT\"|none", ReadExactRecord},
        {"entrybytes", "entrybytes STAFF MEASURE:ENTRY [layer 1-4] [at OFFSET] hex SIZE DIGITS...", ReadEntryBytes},
        {"cellentries", "cellentries STAFF MEASURE [layer 1-4] COUNT", ReadCellEntries},
    };
    return kKinds;
}
// clang-format on

/// Where the comment of a line begins: a '#' outside quotes at the line's start or after a blank
/// ("f#4" is a word); the line's length when it has none.
size_t CommentStart(std::string_view line) {
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '\\') {
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) {
            return i;
        }
    }
    return line.size();
}

}  // namespace

void ReadScoreStatement(ScoreBuilder& builder, std::string_view line, size_t lineNumber,
                        std::vector<ScoreTextNote>* warnings) {
    const std::string_view statement = line.substr(0, CommentStart(line));
    const size_t first = statement.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return;
    }
    const size_t warned = builder.Warnings().size();
    try {
        std::vector<Word> words = SplitWords(statement);
        // A word that is missing is missing just behind the line's last word.
        const size_t endColumn = statement.find_last_not_of(" \t") + 2;
        const Word keyword = words.front();
        const auto& kinds = LineKinds();
        const auto kind = std::find_if(kinds.begin(), kinds.end(),
                                       [&](const LineKind& k) { return !keyword.quoted && k.keyword == keyword.text; });
        if (kind == kinds.end()) {
            std::string known;
            for (const LineKind& k : kinds) {
                known += (known.empty() ? "" : ", ") + std::string(k.keyword);
            }
            throw StatementError("unknown statement \"" + keyword.text + "\" (" + known + ")", keyword.column);
        }
        words.erase(words.begin());
        Arguments args(std::move(words), kind->keyword, kind->usage, keyword.column, endColumn);
        kind->apply(args, builder);
        for (size_t i = warned; warnings != nullptr && i < builder.Warnings().size(); ++i) {
            const ScoreBuilder::Warning& warning = builder.Warnings()[i];
            warnings->push_back({warning.text, lineNumber, warning.column != 0 ? warning.column : first + 1});
        }
    } catch (const StatementError& e) {
        throw ScoreTextError(e.what(), lineNumber, e.Column() != 0 ? e.Column() : first + 1);
    } catch (const std::exception& e) {
        throw ScoreTextError(e.what(), lineNumber, first + 1);
    }
}

std::unique_ptr<Document> ParseScoreText(std::string_view text, std::string name,
                                         std::vector<ScoreTextNote>* warnings) {
    ScoreBuilder builder(std::move(name));
    size_t lineNumber = 0;
    // A mistake does not stop the reading: every mistake of the text is found, the first thrown
    // with the others.
    std::optional<ScoreTextError> first;
    std::vector<ScoreTextNote> more;
    for (const std::string& line : SplitLines(text)) {
        try {
            ReadScoreStatement(builder, line, ++lineNumber, warnings);
        } catch (const ScoreTextError& e) {
            if (first) {
                more.push_back({e.Detail(), e.Line(), e.Column()});
            } else {
                first = e;
            }
        }
    }
    if (first) {
        first->SetMore(std::move(more));
        throw *first;
    }
    return builder.Build();
}

std::unique_ptr<Document> ReadScoreFile(const std::filesystem::path& path, std::vector<ScoreTextNote>* warnings) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        throw ScoreTextError("it is a folder, not a score text file");
    }
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw ScoreTextError(WhyFileCannotBeRead(path, "a score text file"));
    }
    std::ostringstream text;
    text << file.rdbuf();
    return ParseScoreText(text.str(), path.stem().string(), warnings);
}

}  // namespace host
