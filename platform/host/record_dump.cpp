#include "platform/host/record_dump.h"

#include "platform/host/page_layout.h"

#include <cstdio>
#include <functional>

#include "platform/host/record_layouts.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/expression_records.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/lyric_records.h"
#include "platform/hostapi/measure_region_records.h"
#include "platform/hostapi/music_records.h"
#include "platform/win/system.h"

namespace host {
namespace {

/// A stored text (up to its first zero byte) as a quoted UTF-8 text.
std::string ShowText(const Bytes& bytes) {
    std::string ansi;
    for (const uint8_t b : bytes) {
        if (b == 0) {
            break;
        }
        ansi += static_cast<char>(b);
    }
    std::string shown = "\"";
    for (const char c : win::AnsiToUtf8(ansi)) {
        if (c == '"' || c == '\\') {
            shown += '\\';
            shown += c;
        } else if (static_cast<uint8_t>(c) < 0x20 || static_cast<uint8_t>(c) == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<uint8_t>(c));
            shown += escape;
        } else {
            shown += c;
        }
    }
    return shown + "\"";
}

std::string Hex16(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

std::string HexBytes(const Bytes& bytes) {
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
        text += (i > 0 && i % 2 == 0 ? " " : "") + std::string(pair);
    }
    return text;
}

/// The name held in text block `number`: its header names the record with the characters.
std::string TextBlockName(const Document& document, int16_t number) {
    if (number == 0) {
        return "none";
    }
    const Bytes* header = document.Records().Find(RecordKey::Other(kTagTextBlock, number, 0));
    if (header == nullptr || header->size() < TextBlockLayout::kTextKey + 2) {
        return "(text block " + std::to_string(number) + " is missing)";
    }
    const int16_t textKey = hostapi::ReadI16(header->data(), TextBlockLayout::kTextKey);
    const Bytes* text = document.Records().Find(RecordKey::Other(kTagTextBlockText, textKey, 0));
    if (text == nullptr) {
        return "(the text of text block " + std::to_string(number) + " is missing)";
    }
    return ShowText(*text) + " (text block " + std::to_string(number) + ")";
}

std::string I16(const Bytes& b, size_t offset) {
    return std::to_string(hostapi::ReadI16(b.data(), offset));
}

std::string I32(const Bytes& b, size_t offset) {
    return std::to_string(hostapi::ReadI32(b.data(), offset));
}

/// A staff system in its 24-byte form.
std::string StaffSystemText(const Bytes& b) {
    using L = hostapi::StaffSystemLayout;
    return "measures " + I16(b, L::kFirstMeasure) + " to before " + I16(b, L::kEndMeasure) + ", flags " +
           Hex16(hostapi::ReadU16(b.data(), L::kFlags)) + ", top staff " + I16(b, L::kTopStaffOffset) + ", margins " +
           I16(b, L::kLeftMargin) + " " + I16(b, L::kRightMargin) + ", space " + I16(b, L::kDistance) + ", scale " +
           I16(b, L::kPercent);
}

/// One end of a smart shape: an entry or a position in a measure.
std::string ShapeEndText(const Bytes& b, bool entries, size_t staff, size_t measure, size_t value) {
    return "staff " + I16(b, staff) + " measure " + I16(b, measure) + (entries ? " entry " : " at ") + I32(b, value);
}

std::string U16Hex(const Bytes& b, size_t offset) {
    return Hex16(hostapi::ReadU16(b.data(), offset));
}

/// A slur's placement words and contour blocks, each only where it is set.
std::string SlurText(const Bytes& b) {
    using L = hostapi::SmartShapeLayout;
    std::string text;
    if (hostapi::ReadU16(b.data(), L::kStartAttachment) != 0 || hostapi::ReadU16(b.data(), L::kEndAttachment) != 0) {
        text += ", placement " + U16Hex(b, L::kStartAttachment) + " " + U16Hex(b, L::kEndAttachment);
    }
    std::string contour;
    bool set = false;
    for (const size_t block : {L::kLeftContour, L::kRightContour, L::kMainContour}) {
        contour += block == L::kLeftContour ? ", contour" : " |";
        for (size_t word = 0; word < 4; ++word) {
            contour += " " + I16(b, block + 2 * word);
            set = set || hostapi::ReadI16(b.data(), block + 2 * word) != 0;
        }
    }
    return set ? text + contour : text;
}

std::string CharacterText(uint8_t c) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", c);
    return c >= 0x20 && c < 0x7F && c != '"' && c != '\\'
               ? std::string(text) + " \"" + std::string(1, static_cast<char>(c)) + "\""
               : std::string(text);
}

/// 'dtME': a stored MIDI event.
std::string MidiEventText(const Bytes& b) {
    using L = hostapi::MidiEventLayout;
    const int16_t status = hostapi::ReadI16(b.data(), L::kStatus);
    const int16_t data1 = hostapi::ReadI16(b.data(), L::kData1);
    const int16_t data2 = hostapi::ReadI16(b.data(), L::kData2);
    std::string text = "MIDI event at " + I32(b, L::kTime) + ": ";
    if (status == L::kPitchWheel) {
        return text + "pitch wheel " + std::to_string(data1 + 128 * data2);
    }
    if (status == L::kController) {
        const char* name = data1 == L::kVolume            ? " (volume)"
                           : data1 == L::kRangeSelectHigh ? " (bender range, first)"
                           : data1 == L::kRangeSelectLow  ? " (bender range, second)"
                           : data1 == L::kRangeData       ? " (bender range, semitones)"
                                                          : "";
        return text + "controller " + std::to_string(data1) + name + " = " + std::to_string(data2);
    }
    return text + "status " + std::to_string(status) + ", data " + std::to_string(data1) + " " + std::to_string(data2);
}

/// 'O\x04IX': an articulation definition.
std::string ArticulationDefinitionText(const Bytes& b) {
    using L = hostapi::ArticulationDefinitionLayout;
    static constexpr const char* kPlaces[] = {"opposite the stem", "on the stem side", "above", "below"};
    const uint16_t flags = hostapi::ReadU16(b.data(), L::kFlags);
    const uint16_t place = flags & L::kPlacementMask;
    std::string text = "character " + CharacterText(b[L::kCharacter]) + ", style " +
                       std::to_string(b[L::kCharacter + 1]) + ", font " + std::to_string(b[L::kFontWord]) + " size " +
                       std::to_string(b[L::kFontWord + 1]) + ", " +
                       (place < 4 ? std::string(kPlaces[place]) : "placement " + std::to_string(place));
    for (const auto& [bit, name] :
         {std::pair{L::kClamp, "clamp"}, std::pair{L::kAlternateAbove, "alternate above"},
          std::pair{L::kAlternateBelow, "alternate below"}, std::pair{L::kSkippedFrom2002, "not from 2002"}}) {
        text += (flags & bit) != 0 ? ", " + std::string(name) : "";
    }
    const uint16_t otherFlags = flags & static_cast<uint16_t>(~(L::kPlacementMask | L::kClamp | L::kAlternateAbove |
                                                                L::kAlternateBelow | L::kSkippedFrom2002));
    text += otherFlags != 0 ? ", flags " + Hex16(otherFlags) : "";
    text += ", alternate " + CharacterText(b[L::kAlternateCharacter]) + ", offsets horizontal " +
            I16(b, L::kHorizontalOffset) + " above " + I16(b, L::kOffsetAbove) + " below " + I16(b, L::kOffsetBelow);
    const uint8_t options = b[L::kOptions];
    for (const auto& [bit, name] :
         {std::pair{L::kSnapToSpaces, "snap"}, std::pair{L::kNoCharacterAbove, "no character above"},
          std::pair{L::kNoCharacterBelow, "no character below"}}) {
        text += (options & bit) != 0 ? ", " + std::string(name) : "";
    }
    const uint8_t otherOptions =
        options & static_cast<uint8_t>(~(L::kSnapToSpaces | L::kNoCharacterAbove | L::kNoCharacterBelow));
    if (otherOptions != 0) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", otherOptions);
        text += ", options " + std::string(hex);
    }
    return text;
}

/// 'edac': the performance data of a note.
std::string NotePerformanceText(const Bytes& b) {
    using L = hostapi::NotePerformanceLayout;
    const bool silenced = hostapi::ReadI16(b.data(), L::kWord4) == L::kSilencedWord4 &&
                          hostapi::ReadI16(b.data(), L::kPitchChange) == L::kSilencedPitch &&
                          hostapi::ReadI16(b.data(), L::kLevelChange) == L::kSilencedLevel;
    return "note id " + I16(b, L::kNoteId) + ": word 2 " + I16(b, L::kWord2) + ", word 4 " + I16(b, L::kWord4) +
           ", pitch change " + I16(b, L::kPitchChange) + ", level change " + I16(b, L::kLevelChange) +
           (silenced ? " (silenced for playback notes)" : "");
}

/// 'edCN', 'E\x02cn': the notehead of a note.
std::string NoteheadText(const Bytes& b) {
    using L = hostapi::NoteheadLayout;
    const int16_t character = hostapi::ReadI16(b.data(), L::kCharacter);
    return "notehead of note id " + I16(b, L::kNoteId) + ", size " + I16(b, L::kSize100) + ", character " +
           (character == 0 ? std::string("default") : std::to_string(character));
}

/// 'edve', 'edch', 'edse': a syllable of a lyric text on an entry.
std::string LyricAssignmentText(const char* kind, const Bytes& b) {
    using L = hostapi::LyricAssignmentLayout;
    return std::string(kind) + " " + I16(b, L::kTextNumber) + " syllable " + I16(b, L::kSyllable) + ", offset " +
           I16(b, L::kOffset) + ", extension " + I16(b, L::kExtension);
}

/// 'pfLA': the settings of a layer.
std::string LayerSettingsText(const Bytes& b) {
    using L = hostapi::LayerSettingsLayout;
    const uint8_t stem = b[L::kStemByte];
    std::string text = "halves " + U16Hex(b, L::kFirstHalf) + " " + U16Hex(b, L::kSecondHalf);
    if ((stem & L::kStemFixed) != 0) {
        text += std::string(", stems fixed ") + ((stem & L::kStemUp) != 0 ? "up" : "down") +
                ((stem & L::kStemOnlyWithOtherLayers) != 0 ? " when other layers hold entries" : "");
    }
    if ((hostapi::ReadU16(b.data(), L::kSecondHalf) & L::kPlaybackNotesMark) != 0) {
        text += ", playback mark";
    }
    return text;
}

/// A measure-number region: its measures and the number its first measure shows.
std::string MeasureNumberRegionText(const Bytes& b) {
    using L = hostapi::MeasureNumberRegionLayout;
    return "measures " + I16(b, L::kFirstMeasure) + " to before " + I16(b, L::kEndMeasure) + ", first number " +
           std::to_string(hostapi::ReadI16(b.data(), L::kNumberOffset) + 1) + ", flags " + U16Hex(b, L::kFlags);
}

struct Describer {
    hostapi::Tag tag;
    size_t minimumSize;
    std::function<std::string(const Document&, const RecordKey&, const Bytes&)> describe;
};

// The records whose fields the host knows; every other record is shown in hexadecimal.
// clang-format off
/// The describers of the document's texts, staves, measures, pages, systems, groups, shapes and
/// their links, files and expression definitions.
std::vector<Describer> LayoutDescribers() {
    return {
        {kTagTextBlockText, 0, [](const Document&, const RecordKey&, const Bytes& b) { return ShowText(b); }},
        {hostapi::MakeTag("txve"), 0, [](const Document&, const RecordKey&, const Bytes& b) { return ShowText(b); }},
        {hostapi::MakeTag("txch"), 0, [](const Document&, const RecordKey&, const Bytes& b) { return ShowText(b); }},
        {hostapi::MakeTag("txse"), 0, [](const Document&, const RecordKey&, const Bytes& b) { return ShowText(b); }},
        {kTagTextBlock, TextBlockLayout::kTextKey + 2, [](const Document&, const RecordKey&, const Bytes& b) {
             return "text 'txbl' " + std::to_string(hostapi::ReadI16(b.data(), TextBlockLayout::kTextKey)); }},
        {kTagStaff, StaffLayout::kAbbreviatedName + 2, [](const Document& d, const RecordKey&, const Bytes& b) {
             return "full name " + TextBlockName(d, hostapi::ReadI16(b.data(), StaffLayout::kFullName)) +
                    ", abbreviated name " + TextBlockName(d, hostapi::ReadI16(b.data(), StaffLayout::kAbbreviatedName)); }},
        {kTagStaffListEntry, StaffListEntryLayout::kPosition + 4, [](const Document&, const RecordKey&, const Bytes& b) {
             return "staff " + std::to_string(hostapi::ReadI16(b.data(), StaffListEntryLayout::kStaff)) +
                    ", position " + std::to_string(hostapi::ReadI32(b.data(), StaffListEntryLayout::kPosition)); }},
        {kTagMeasure, MeasureLayout::kMoreFlags + 2, [](const Document&, const RecordKey&, const Bytes& b) {
             return "width " + std::to_string(hostapi::ReadI16(b.data(), MeasureLayout::kWidth)) +
                    ", key " + Hex16(hostapi::ReadU16(b.data(), MeasureLayout::kKey)) +
                    ", " + std::to_string(hostapi::ReadI16(b.data(), MeasureLayout::kBeats)) + " beats of " +
                    std::to_string(hostapi::ReadI16(b.data(), MeasureLayout::kBeatDuration)) + " EDU" +
                    ", flags " + Hex16(hostapi::ReadU16(b.data(), MeasureLayout::kFlags)) +
                    " " + Hex16(hostapi::ReadU16(b.data(), MeasureLayout::kMoreFlags)); }},
        {hostapi::kTagPage, hostapi::PageLayout::kSize, [](const Document&, const RecordKey&, const Bytes& b) {
             using L = hostapi::PageLayout;
             return "first system " + I16(b, L::kFirstSystem) + ", " + I32(b, L::kWidth) + " x " + I32(b, L::kHeight) +
                    ", margins " + I16(b, L::kLeftMargin) + " " + I16(b, L::kTopMargin) + " " + I16(b, L::kRightMargin) +
                    " " + I16(b, L::kBottomMargin) + ", scale " + I16(b, L::kPercent); }},
        {hostapi::kTagStaffSystem2001, hostapi::StaffSystemLayout::kSize, [](const Document&, const RecordKey&, const Bytes& b) {
             return StaffSystemText(b); }},
        {hostapi::kTagStaffSystem, hostapi::StaffSystem20Layout::kSize, [](const Document&, const RecordKey&, const Bytes& b) {
             return StaffSystemText(StaffSystemTo24(b, Bytes())); }},
        {hostapi::kTagLockedMeasures, hostapi::LockedMeasuresLayout::kEndMeasure + 2, [](const Document&, const RecordKey&, const Bytes& b) {
             return "locked up to before measure " + I16(b, hostapi::LockedMeasuresLayout::kEndMeasure); }},
        {hostapi::kTagStaffGroup, hostapi::StaffGroupLayout::kSize, [](const Document& d, const RecordKey&, const Bytes& b) {
             using L = hostapi::StaffGroupLayout;
             return "staves " + I16(b, L::kFirstStaff) + " to " + I16(b, L::kLastStaff) + ", full name " +
                    TextBlockName(d, hostapi::ReadI16(b.data(), L::kFullName)) + ", abbreviated name " +
                    TextBlockName(d, hostapi::ReadI16(b.data(), L::kAbbreviatedName)) + ", bracket " + I16(b, L::kBracket); }},
        {hostapi::kTagSmartShape, hostapi::SmartShapeLayout::kSize, [](const Document&, const RecordKey&, const Bytes& b) {
             using L = hostapi::SmartShapeLayout;
             const bool entries = (b[L::kAttachment] & L::kEntryAttached) != 0;
             // The note and the end's offset only where a shape has them, so a plain shape reads short.
             const auto note = [&](size_t offset) {
                 return hostapi::ReadI16(b.data(), offset) != 0 ? " note id " + I16(b, offset) : std::string();
             };
             const int16_t endOffset = hostapi::ReadI16(b.data(), L::kEndOffset);
             const int16_t kind = hostapi::ReadI16(b.data(), L::kKind);
             std::string hairpin;
             if (kind == 0 || kind == 1 || kind == 8 || kind == 9 || kind == 15 || kind == 16) {
                 hairpin = SlurText(b);
             } else if (kind == L::kHairpinOpen || kind == L::kHairpinClose) {
                 hairpin = ", opening " + I16(b, L::kHairpinOpening) +
                           ((hostapi::ReadU16(b.data(), L::kWord2) & L::kHairpinAngled) != 0
                                ? ", angled over a system break" : ", horizontal over a system break");
             }
             return "kind " + I16(b, L::kKind) + " from " + ShapeEndText(b, entries, L::kStartStaff, L::kStartMeasure, L::kStart) +
                    note(L::kStartNote) + " to " + ShapeEndText(b, entries, L::kEndStaff, L::kEndMeasure, L::kEnd) +
                    note(L::kEndNote) + ", offset " + I16(b, L::kStartOffset) +
                    (endOffset != 0 ? ", end offset " + std::to_string(endOffset) : std::string()) + hairpin; }},
        {hostapi::kTagShapeMeasureLink, hostapi::ShapeLinkLayout::kShape + 2, [](const Document&, const RecordKey&, const Bytes& b) {
             return "smart shape " + I16(b, hostapi::ShapeLinkLayout::kShape); }},
        {hostapi::kTagShapeEntryLink, hostapi::ShapeLinkLayout::kShape + 2, [](const Document&, const RecordKey&, const Bytes& b) {
             return "smart shape " + I16(b, hostapi::ShapeLinkLayout::kShape); }},
        {hostapi::kTagShapeRange, hostapi::ShapeRangeLayout::kLastMeasure + 2, [](const Document&, const RecordKey&, const Bytes& b) {
             return "measures " + I16(b, hostapi::ShapeRangeLayout::kFirstMeasure) + " to " +
                    I16(b, hostapi::ShapeRangeLayout::kLastMeasure); }},
        {hostapi::kTagMeasureNumberRegion, hostapi::MeasureNumberRegionLayout::kSize, [](const Document&, const RecordKey&, const Bytes& b) {
             return MeasureNumberRegionText(b); }},
        {hostapi::kTagMeasureNumberRegion2000, hostapi::MeasureNumberRegionLayout::kSize, [](const Document&, const RecordKey&, const Bytes& b) {
             return MeasureNumberRegionText(b); }},
        {hostapi::kTagPageText, hostapi::PageTextLayout::kTextBlock + 2, [](const Document& d, const RecordKey&, const Bytes& b) {
             return "text " + TextBlockName(d, hostapi::ReadI16(b.data(), hostapi::PageTextLayout::kTextBlock)); }},
        {hostapi::kTagPageGraphic, hostapi::PageGraphicLayout::kFile + 2, [](const Document&, const RecordKey&, const Bytes& b) {
             return "file 'otFd' " + I16(b, hostapi::PageGraphicLayout::kFile); }},
        {hostapi::kTagFileRecord, hostapi::FileRecordLayout::kPath + 2, [](const Document&, const RecordKey&, const Bytes& b) {
             return "path 'otFp' " + I16(b, hostapi::FileRecordLayout::kPath); }},
        {hostapi::kTagFilePath, 0, [](const Document&, const RecordKey&, const Bytes& b) { return ShowText(b); }},
        {hostapi::kTagExpression, hostapi::ExpressionLayout::kText, [](const Document&, const RecordKey&, const Bytes& b) {
             using L = hostapi::ExpressionLayout;
             return "font " + std::to_string(b[L::kFontWord]) + " size " + std::to_string(b[L::kFontWord + 1]) +
                    ", style " + U16Hex(b, L::kStyle) + ", words " + I16(b, L::kWord4) + " " + I16(b, L::kWord6) +
                    ", flags " + U16Hex(b, L::kFlags) + ", text " + ShowText(Bytes(b.begin() + L::kText, b.end())); }},
    };
}

/// The describers of what hangs on the music: MIDI events, articulations, note details, tuplets,
/// layer settings, beat charts, expressions, chords, lyrics, noteheads, clefs and ties.
std::vector<Describer> MusicDescribers() {
    return {
        {hostapi::kTagMidiEvent, hostapi::MidiEventLayout::kSize, [](const Document&, const RecordKey&, const Bytes& b) {
             return MidiEventText(b); }},
        {hostapi::kTagArticulationDefinition, hostapi::ArticulationDefinitionLayout::kSize,
         [](const Document&, const RecordKey&, const Bytes& b) { return ArticulationDefinitionText(b); }},
        {hostapi::kTagArticulation, hostapi::ArticulationLayout::kSize, [](const Document&, const RecordKey&, const Bytes& b) {
             using L = hostapi::ArticulationLayout;
             return "articulation " + I16(b, L::kDefinition) + ", offsets horizontal " + I16(b, L::kHorizontalOffset) +
                    " vertical " + I16(b, L::kVerticalOffset); }},
        {hostapi::kTagNotePerformance, hostapi::NotePerformanceLayout::kSize,
         [](const Document&, const RecordKey&, const Bytes& b) { return NotePerformanceText(b); }},
        {hostapi::kTagTuplet, hostapi::TupletLayout::kSize, [](const Document&, const RecordKey&, const Bytes& b) {
             using L = hostapi::TupletLayout;
             return I16(b, L::kNotes) + " x " + I16(b, L::kNoteUnit) + " EDU in the time of " + I16(b, L::kReference) +
                    " x " + I16(b, L::kReferenceUnit) + ", word 10 " + I16(b, L::kWord10) + ", flags " + U16Hex(b, L::kFlags); }},
        {hostapi::kTagLayerSettings, hostapi::LayerSettingsLayout::kSize,
         [](const Document&, const RecordKey&, const Bytes& b) { return LayerSettingsText(b); }},
        {hostapi::kTagBeatChart, hostapi::BeatChartLayout::kSize, [](const Document&, const RecordKey& k, const Bytes& b) {
             using L = hostapi::BeatChartLayout;
             if (k.second == 0) {
                 return "header: duration " + I32(b, L::kTime) + ", end " + I16(b, L::kPosition) + ", minimum end " +
                        I16(b, L::kNext) + ", word " + I16(b, L::kMinimum);
             }
             return "at " + I32(b, L::kTime) + ": position " + I16(b, L::kPosition) + ", next " + I16(b, L::kNext) +
                    ", minimum " + I16(b, L::kMinimum); }},
        {hostapi::kTagSecondaryBeamBreak, hostapi::SecondaryBeamBreakLayout::kSize,
         [](const Document&, const RecordKey&, const Bytes& b) {
             std::string levels;
             for (size_t i = 0; i < hostapi::SecondaryBeamBreakLayout::kLevelCount; ++i) {
                 levels += std::to_string(b[hostapi::SecondaryBeamBreakLayout::kLevels + i]);
             }
             return "levels " + levels + ", marker " + std::to_string(b[hostapi::SecondaryBeamBreakLayout::kMarker]); }},
        {hostapi::kTagStemUpDetail, hostapi::StemDetailLayout::kValue + 2, [](const Document&, const RecordKey&, const Bytes& b) {
             return "stem up of entry, value " + I16(b, hostapi::StemDetailLayout::kValue); }},
        {hostapi::kTagStemDownDetail, hostapi::StemDetailLayout::kValue + 2, [](const Document&, const RecordKey&, const Bytes& b) {
             return "stem down of entry, value " + I16(b, hostapi::StemDetailLayout::kValue); }},
        {hostapi::kTagNoteExpression, hostapi::NoteExpressionLayout::kSize, [](const Document&, const RecordKey&, const Bytes& b) {
             using L = hostapi::NoteExpressionLayout;
             const uint16_t flags = hostapi::ReadU16(b.data(), L::kFlags);
             return std::string((flags & L::kTextExpression) != 0 ? "text expression " : "shape expression ") +
                    I16(b, L::kNumber) + ", offsets horizontal " + I16(b, L::kHorizontal) + " vertical " +
                    I16(b, L::kVertical) + ", flags " + Hex16(flags); }},
        {hostapi::kTagMeasureExpression, hostapi::MeasureExpressionLayout::kSize,
         [](const Document&, const RecordKey&, const Bytes& b) {
             using L = hostapi::MeasureExpressionLayout;
             const uint16_t staff = hostapi::ReadU16(b.data(), L::kStaff);
             return std::string((staff & L::kShape) != 0 ? "shape expression " : "expression ") + I16(b, L::kNumber) +
                    " at " + I16(b, L::kPosition) + ", offset " + I16(b, L::kOffset) + ", " +
                    ((staff & L::kOneStaff) != 0 ? "staff " + std::to_string(staff & L::kStaffMask) : std::string("every staff")) +
                    (hostapi::ReadI16(b.data(), 6) != 0 || hostapi::ReadI16(b.data(), 8) != 0
                         ? ", words " + I16(b, 6) + " " + I16(b, 8) : std::string()); }},
        {hostapi::kTagChordSymbol, hostapi::ChordSymbolLayout::kSize, [](const Document&, const RecordKey&, const Bytes& b) {
             using L = hostapi::ChordSymbolLayout;
             const uint16_t word = hostapi::ReadU16(b.data(), L::kWord);
             const int alteration = ((word >> L::kAlterationShift) & 0x8) != 0 ? static_cast<int>((word >> L::kAlterationShift) & 0xF) - 16
                                                                               : static_cast<int>((word >> L::kAlterationShift) & 0xF);
             return "root level " + std::to_string(word & L::kRootStep) + " alteration " + std::to_string(alteration) +
                    ((word & L::kRootShown) != 0 ? ", shown" : ", hidden") +
                    ((word & L::kHasSuffix) != 0 ? ", suffix " + I16(b, L::kSuffix) : std::string()); }},
        {hostapi::kTagVerseAssignment, hostapi::LyricAssignmentLayout::kSize, [](const Document&, const RecordKey&, const Bytes& b) {
             return LyricAssignmentText("verse", b); }},
        {hostapi::kTagChorusAssignment, hostapi::LyricAssignmentLayout::kSize, [](const Document&, const RecordKey&, const Bytes& b) {
             return LyricAssignmentText("chorus", b); }},
        {hostapi::kTagSectionAssignment, hostapi::LyricAssignmentLayout::kSize, [](const Document&, const RecordKey&, const Bytes& b) {
             return LyricAssignmentText("section", b); }},
        {hostapi::kTagNotehead, hostapi::NoteheadLayout::kCharacter + 2, [](const Document&, const RecordKey&, const Bytes& b) {
             return NoteheadText(b); }},
        {hostapi::kTagNotehead2001, hostapi::NoteheadLayout::kCharacter + 2, [](const Document&, const RecordKey&, const Bytes& b) {
             return NoteheadText(b); }},
        {hostapi::kTagNoteAccidental, hostapi::NoteAccidentalLayout::kHorizontalOffset + 2,
         [](const Document&, const RecordKey&, const Bytes& b) {
             return "accidental of note id " + I16(b, hostapi::NoteAccidentalLayout::kNoteId) + ", offset " +
                    I16(b, hostapi::NoteAccidentalLayout::kHorizontalOffset); }},
        {hostapi::kTagNoteSize, hostapi::NoteSizeLayout::kPercent + 2, [](const Document&, const RecordKey&, const Bytes& b) {
             return "notes at " + I16(b, hostapi::NoteSizeLayout::kPercent) + " percent"; }},
        {hostapi::kTagCellClef, hostapi::CellClefLayout::kFlags + 2, [](const Document&, const RecordKey&, const Bytes& b) {
             using L = hostapi::CellClefLayout;
             return (hostapi::ReadU16(b.data(), L::kFlags) & L::kHasChanges) != 0
                        ? "clef changes 'otCE' " + I16(b, L::kClef)
                        : "clef " + I16(b, L::kClef) + ", flags " + U16Hex(b, L::kFlags); }},
        {hostapi::kTagClefChange, hostapi::ClefChangeLayout::kPosition + 2, [](const Document&, const RecordKey&, const Bytes& b) {
             return "clef " + I16(b, hostapi::ClefChangeLayout::kClef) + " at " + I16(b, hostapi::ClefChangeLayout::kPosition); }},
        {hostapi::kTagNoteTieStart, hostapi::NoteTieLayout::kFlags + 2, [](const Document&, const RecordKey&, const Bytes& b) {
             return "tie start of note id " + I16(b, hostapi::NoteTieLayout::kNoteId) + ", flags " + U16Hex(b, hostapi::NoteTieLayout::kFlags); }},
        {hostapi::kTagNoteTieEnd, hostapi::NoteTieLayout::kFlags + 2, [](const Document&, const RecordKey&, const Bytes& b) {
             return "tie end of note id " + I16(b, hostapi::NoteTieLayout::kNoteId) + ", flags " + U16Hex(b, hostapi::NoteTieLayout::kFlags); }},
    };
}
// clang-format on

const std::vector<Describer>& Describers() {
    static const std::vector<Describer> kDescribers = [] {
        std::vector<Describer> describers = LayoutDescribers();
        for (Describer& describer : MusicDescribers()) {
            describers.push_back(std::move(describer));
        }
        return describers;
    }();
    return kDescribers;
}

std::string RecordLine(const Document& document, const RecordKey& key, const Bytes& bytes) {
    std::string line =
        key.Description() + ", " + std::to_string(bytes.size()) + (bytes.size() == 1 ? " byte" : " bytes");
    for (const Describer& describer : Describers()) {
        if (describer.tag == key.tag && bytes.size() >= describer.minimumSize) {
            return line + ": " + describer.describe(document, key, bytes);
        }
    }
    return bytes.empty() ? line : line + ": " + HexBytes(bytes);
}

}  // namespace

std::vector<std::string> RecordListing(const Document& document, std::optional<hostapi::Tag> tag) {
    std::vector<std::string> lines;
    for (const auto& [key, bytes] : document.Records().Records()) {
        if (!tag || key.tag == *tag) {
            lines.push_back(RecordLine(document, key, bytes));
        }
    }
    return lines;
}

std::string RecordListingLine(const Document& document, const RecordKey& key, const Bytes& bytes) {
    return RecordLine(document, key, bytes);
}

}  // namespace host
