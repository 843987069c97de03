// The score text's statements about single entries and what hangs on them: entries and their
// records, tuplets, articulations, note playback, layer settings and MIDI events.
#include <algorithm>
#include <array>
#include <climits>
#include <string>

#include "platform/host/entry_names.h"
#include "platform/host/score_builder.h"
#include "platform/host/score_text_statements.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/music_records.h"
#include "platform/win/system.h"

namespace host::scoretext {

EntryPlace ReadEntryPlace(Arguments& args) {
    const auto staff = static_cast<hostapi::InstrumentKey>(args.Number("the staff", 1, INT16_MAX));
    const Word& place = args.Next("the entry");
    const size_t colon = place.text.find(':');
    if (place.quoted || colon == std::string::npos) {
        args.Fail("the entry is MEASURE:ENTRY, not " + place.text);
    }
    const auto measure =
        static_cast<hostapi::MeasureNumber>(args.ToNumber(PartOf(place, 0, colon), "the measure", 1, INT16_MAX));
    const int32_t entry = args.ToNumber(PartOf(place, colon + 1), "the entry", 1, INT16_MAX);
    return {staff, measure, entry};
}

namespace {

/// The layer option of a statement about an entry: "layer 1-4" as layer 0-3.
hostapi::LayerIndex ReadLayer(Arguments& args) {
    return static_cast<hostapi::LayerIndex>(args.Number("the layer", 1, 4) - 1);
}

}  // namespace

/// entry STAFF MEASURE:ENTRY [layer 1-4] [offset H] [+NAME|-NAME]...
void ReadEntry(Arguments& args, ScoreBuilder& builder) {
    const auto [staff, measure, entry] = ReadEntryPlace(args);
    hostapi::LayerIndex layer = 0;
    EntryFieldChange change;
    while (!args.Done()) {
        const Word& word = args.Next("an option");
        if (!word.quoted && word.text == "layer") {
            layer = ReadLayer(args);
        } else if (!word.quoted && word.text == "offset") {
            change.horizontalOffset = static_cast<int16_t>(args.Number("the offset", INT16_MIN, INT16_MAX));
        } else if (!word.quoted && (word.text.starts_with('+') || word.text.starts_with('-')) && word.text.size() > 1) {
            const bool set = word.text[0] == '+';
            const std::string name = word.text.substr(1);
            if (const auto bit = FlagOfName(kEntryFlagNames, name)) {
                (set ? change.set : change.clear) |= *bit;
            } else if (const auto more = FlagOfName(kEntryMoreFlagNames, name)) {
                (set ? change.setMore : change.clearMore) |= static_cast<uint16_t>(*more);
            } else {
                std::string known;
                for (const FlagName& flag : kEntryFlagNames) {
                    known += (known.empty() ? "" : ", ") + ScoreTextName(flag.name);
                }
                for (const FlagName& flag : kEntryMoreFlagNames) {
                    known += ", " + ScoreTextName(flag.name);
                }
                args.Fail("\"" + name + "\" is not an entry flag (" + known + ")");
            }
        } else {
            args.Fail("unknown option \"" + word.text + "\"");
        }
    }
    builder.ChangeEntry(staff, measure, layer, entry, change);
}

/// tuplet STAFF MEASURE:ENTRY [layer 1-4] [number K] [word10 V] [flags N]
void ReadTuplet(Arguments& args, ScoreBuilder& builder) {
    const auto [staff, measure, entry] = ReadEntryPlace(args);
    hostapi::LayerIndex layer = 0;
    int32_t tuplet = 1;
    int16_t word10 = 0;
    uint16_t flags = 0;
    while (!args.Done()) {
        const Word& option = args.Next("an option");
        const std::string name = option.quoted ? std::string() : option.text;
        if (name == "layer") {
            layer = ReadLayer(args);
        } else if (name == "number") {
            tuplet = args.Number("the tuplet", 1, hostapi::TupletLayout::kMaxPerEntry);
        } else if (name == "word10") {
            word10 = static_cast<int16_t>(args.Number("word 10", INT16_MIN, INT16_MAX));
        } else if (name == "flags") {
            flags = static_cast<uint16_t>(args.Number("the flags", 0, UINT16_MAX));
        } else {
            args.Fail("unknown option \"" + option.text + "\"");
        }
    }
    builder.ChangeTuplet(staff, measure, layer, entry, tuplet, word10, flags);
}

Bytes ReadHexBytes(Arguments& args, bool allowEmpty) {
    std::string digits;
    while (!args.Done()) {
        const Word& word = args.Next("the bytes");
        const auto bad =
            std::find_if(word.text.begin(), word.text.end(), [](char c) { return hostapi::HexDigitValue(c) < 0; });
        if (word.quoted || bad != word.text.end()) {
            args.Fail("the bytes are hexadecimal digits, not " + word.text);
        }
        digits += word.text;
    }
    if ((digits.empty() && !allowEmpty) || digits.size() % 2 != 0) {
        args.Fail("the bytes are two hexadecimal digits each; " + std::to_string(digits.size()) + " digits are given");
    }
    Bytes bytes(digits.size() / 2);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(hostapi::HexDigitValue(digits[2 * i]) * 16 +
                                        hostapi::HexDigitValue(digits[2 * i + 1]));
    }
    return bytes;
}

/// entryrecord STAFF MEASURE:ENTRY TAG [layer 1-4] HEX...
void ReadEntryRecord(Arguments& args, ScoreBuilder& builder) {
    const auto [staff, measure, entry] = ReadEntryPlace(args);
    const Word& tagWord = args.Next("the tag");
    const auto tag = tagWord.quoted ? std::nullopt : ParseTagText(tagWord.text);
    if (!tag) {
        args.Fail("\"" + tagWord.text + "\" is not a tag (four characters, \\xNN for any other byte)");
    }
    hostapi::LayerIndex layer = 0;
    if (const Word* next = args.Peek(); next != nullptr && !next->quoted && next->text == "layer") {
        args.Next("layer");
        layer = ReadLayer(args);
    }
    builder.EntryRecord(staff, measure, layer, entry, *tag, ReadHexBytes(args));
}

namespace {

/// A character of a font: a number 0-255 (decimal or 0x hexadecimal) or one character in quotes.
uint8_t ReadCharacter(Arguments& args, std::string_view what) {
    const Word& word = args.Next(what);
    if (word.quoted) {
        const std::string ansi = win::Utf8ToAnsi(word.text);
        if (ansi.size() != 1) {
            args.Fail(std::string(what) + " is one character, not \"" + word.text + "\"");
        }
        return static_cast<uint8_t>(ansi[0]);
    }
    return static_cast<uint8_t>(args.ToNumber(word, what, 0, 255));
}

}  // namespace

/// articulation NUMBER CHARACTER [style S] [font F] [size S] [place opposite|stem|above|below]
/// [alternate CHARACTER] [horizontal H] [above V] [below V] [FLAG...] [flags N] [options N]
void ReadArticulation(Arguments& args, ScoreBuilder& builder) {
    using L = hostapi::ArticulationDefinitionLayout;
    const auto number = static_cast<int16_t>(args.Number("the articulation number", 1, INT16_MAX));
    ArticulationDefinition definition;
    definition.character = ReadCharacter(args, "the character");
    static constexpr std::array<std::string_view, 4> kPlaces = {"opposite", "stem", "above", "below"};
    while (!args.Done()) {
        const Word& word = args.Next("an option");
        const std::string name = word.quoted ? std::string() : word.text;
        if (name == "style") {
            definition.style = static_cast<uint8_t>(args.Number("the style", 0, 255));
        } else if (name == "font") {
            definition.font = static_cast<uint8_t>(args.Number("the font number", 0, 255));
        } else if (name == "size") {
            definition.size = static_cast<uint8_t>(args.Number("the size", 0, 255));
        } else if (name == "place") {
            const Word& place = args.Next("the place");
            const auto found = std::find(kPlaces.begin(), kPlaces.end(), place.text);
            if (place.quoted || found == kPlaces.end()) {
                args.Fail("the place is opposite (the stem), stem (side), above or below, not " + place.text);
            }
            definition.flags =
                static_cast<uint16_t>((definition.flags & ~L::kPlacementMask) | (found - kPlaces.begin()));
        } else if (name == "alternate") {
            definition.alternate = ReadCharacter(args, "the alternate character");
        } else if (name == "horizontal") {
            definition.horizontalOffset =
                static_cast<int16_t>(args.Number("the horizontal offset", INT16_MIN, INT16_MAX));
        } else if (name == "above") {
            definition.offsetAbove = static_cast<int16_t>(args.Number("the offset above", INT16_MIN, INT16_MAX));
        } else if (name == "below") {
            definition.offsetBelow = static_cast<int16_t>(args.Number("the offset below", INT16_MIN, INT16_MAX));
        } else if (name == "clamp") {
            definition.flags |= L::kClamp;
        } else if (name == "alternate-above") {
            definition.flags |= L::kAlternateAbove;
        } else if (name == "alternate-below") {
            definition.flags |= L::kAlternateBelow;
        } else if (name == "not-from-2002") {
            definition.flags |= L::kSkippedFrom2002;
        } else if (name == "snap") {
            definition.options |= L::kSnapToSpaces;
        } else if (name == "no-character-above") {
            definition.options |= L::kNoCharacterAbove;
        } else if (name == "no-character-below") {
            definition.options |= L::kNoCharacterBelow;
        } else if (name == "flags") {
            definition.flags |= static_cast<uint16_t>(args.Number("the flags", 0, UINT16_MAX));
        } else if (name == "options") {
            definition.options |= static_cast<uint8_t>(args.Number("the options", 0, 255));
        } else {
            args.Fail("unknown option \"" + word.text + "\"");
        }
    }
    builder.Articulation(number, definition);
}

/// notearticulation STAFF MEASURE:ENTRY NUMBER [layer 1-4] [at H] [offset V]
void ReadNoteArticulation(Arguments& args, ScoreBuilder& builder) {
    const auto [staff, measure, entry] = ReadEntryPlace(args);
    const auto number = static_cast<int16_t>(args.Number("the articulation number", 1, INT16_MAX));
    hostapi::LayerIndex layer = 0;
    int16_t horizontal = 0;
    int16_t vertical = 0;
    while (!args.Done()) {
        const Word& option = args.Next("an option");
        if (!option.quoted && option.text == "layer") {
            layer = ReadLayer(args);
        } else if (!option.quoted && option.text == "at") {
            horizontal = static_cast<int16_t>(args.Number("the horizontal offset", INT16_MIN, INT16_MAX));
        } else if (!option.quoted && option.text == "offset") {
            vertical = static_cast<int16_t>(args.Number("the offset", INT16_MIN, INT16_MAX));
        } else {
            args.Fail("unknown option \"" + option.text + "\"");
        }
    }
    builder.NoteArticulation(staff, measure, layer, entry, number, horizontal, vertical);
}

/// noteplayback STAFF MEASURE:ENTRY NOTE [layer 1-4] [word2 V] [word4 V] [pitch V] [level V] [silenced]
void ReadNotePlayback(Arguments& args, ScoreBuilder& builder) {
    using L = hostapi::NotePerformanceLayout;
    const auto [staff, measure, entry] = ReadEntryPlace(args);
    const int32_t note = args.Number("the note", 1, hostapi::EntryLayout::kMaxNotes);
    hostapi::LayerIndex layer = 0;
    NotePerformance data;
    while (!args.Done()) {
        const Word& option = args.Next("an option");
        const std::string name = option.quoted ? std::string() : option.text;
        if (name == "layer") {
            layer = ReadLayer(args);
        } else if (name == "word2") {
            data.word2 = static_cast<int16_t>(args.Number("word 2", INT16_MIN, INT16_MAX));
        } else if (name == "word4") {
            data.word4 = static_cast<int16_t>(args.Number("word 4", INT16_MIN, INT16_MAX));
        } else if (name == "pitch") {
            data.pitchChange = static_cast<int16_t>(args.Number("the pitch change", INT16_MIN, INT16_MAX));
        } else if (name == "level") {
            data.levelChange = static_cast<int16_t>(args.Number("the level change", INT16_MIN, INT16_MAX));
        } else if (name == "silenced") {
            data.word4 = L::kSilencedWord4;
            data.pitchChange = L::kSilencedPitch;
            data.levelChange = L::kSilencedLevel;
        } else {
            args.Fail("unknown option \"" + option.text + "\"");
        }
    }
    builder.NotePerformanceData(staff, measure, layer, entry, note, data);
}

/// layersettings LAYER [stem up|down] [withothers] [playbackmark] [first N] [second N]
void ReadLayerSettings(Arguments& args, ScoreBuilder& builder) {
    using L = hostapi::LayerSettingsLayout;
    const auto layer = static_cast<hostapi::LayerIndex>(args.Number("the layer", 1, 4) - 1);
    uint16_t first = 0;
    uint16_t second = 0;
    const auto stemBits = [](uint8_t bits) {
        return static_cast<uint16_t>(bits << 8);
    };  // byte 3: high byte of the second half
    while (!args.Done()) {
        const Word& option = args.Next("an option");
        const std::string name = option.quoted ? std::string() : option.text;
        if (name == "stem") {
            const Word& direction = args.Next("the stem direction");
            if (direction.quoted || (direction.text != "up" && direction.text != "down")) {
                args.Fail("the stems of a layer are fixed up or down, not " + direction.text);
            }
            second |= stemBits(L::kStemFixed | (direction.text == "up" ? L::kStemUp : 0));
        } else if (name == "withothers") {
            second |= stemBits(L::kStemOnlyWithOtherLayers);
        } else if (name == "playbackmark") {
            second |= L::kPlaybackNotesMark;
        } else if (name == "first") {
            first |= static_cast<uint16_t>(args.Number("the first half", 0, UINT16_MAX));
        } else if (name == "second") {
            second |= static_cast<uint16_t>(args.Number("the second half", 0, UINT16_MAX));
        } else {
            args.Fail("unknown option \"" + option.text + "\"");
        }
    }
    builder.LayerSettings(layer, first, second);
}

/// midi STAFF MEASURE EDU pitchwheel VALUE | controller NUMBER VALUE | STATUS DATA1 DATA2
void ReadMidi(Arguments& args, ScoreBuilder& builder) {
    using L = hostapi::MidiEventLayout;
    const auto staff = static_cast<hostapi::InstrumentKey>(args.Number("the staff", 1, INT16_MAX));
    const auto measure = static_cast<hostapi::MeasureNumber>(args.Number("the measure", 1, INT16_MAX));
    const hostapi::Edu time = args.Number("the time", 0, INT32_MAX);
    const Word& kind = args.Next("the event");
    int16_t status = 0;
    int16_t data1 = 0;
    int16_t data2 = 0;
    if (!kind.quoted && kind.text == "pitchwheel") {
        const int32_t value = args.Number("the pitch wheel's value", 0, L::kPitchWheelTop);
        status = L::kPitchWheel;
        data1 = static_cast<int16_t>(value % 128);
        data2 = static_cast<int16_t>(value / 128);
    } else if (!kind.quoted && kind.text == "controller") {
        status = L::kController;
        data1 = static_cast<int16_t>(args.Number("the controller", 0, 127));
        data2 = static_cast<int16_t>(args.Number("the controller's value", 0, 127));
    } else {
        status = static_cast<int16_t>(args.ToNumber(kind, "the status", 0, INT16_MAX));
        data1 = static_cast<int16_t>(args.Number("the first data value", INT16_MIN, INT16_MAX));
        data2 = static_cast<int16_t>(args.Number("the second data value", INT16_MIN, INT16_MAX));
    }
    args.ExpectEnd();
    builder.MidiEvent(staff, measure, time, status, data1, data2);
}

}  // namespace host::scoretext
