#include "tests/sweep/sweep_documents.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/record_tags.h"

namespace sweep {
namespace {

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

/// Gives the entries of every cell, in turn, the extreme positions, durations and note counts a
/// damaged file can hold.
void ExtremeEntries(host::Document& document) {
    struct Values {
        int32_t position;
        int32_t actual;
        int16_t duration;
        int16_t notes;
    };
    static constexpr Values kValues[] = {{0, INT32_MAX, 1024, 1},           {INT32_MAX, INT32_MAX, 1024, 1},
                                         {INT32_MAX - 5, 1024, 1024, 1},    {0, INT32_MIN, -32768, 1},
                                         {INT32_MIN, -1, 32767, 12},        {-1024, 0x40000000, 0, -7},
                                         {0x40000000, 0x40000000, 4096, 13}};
    size_t next = 0;
    std::vector<std::pair<host::CellKey, host::CellEntries>> cells(document.Cells().begin(), document.Cells().end());
    for (auto& [cell, entries] : cells) {
        for (host::EntryBytes& bytes : entries) {
            const Values& v = kValues[next++ % std::size(kValues)];
            const hostapi::EntryView entry(bytes.data());
            entry.setPosition(v.position);
            entry.setActualDuration(v.actual);
            entry.setDuration(v.duration);
            entry.setNoteCount(v.notes);
        }
        document.SetEntries(cell, entries);
    }
}

/// Every record cut to half its size (a record of one byte loses it), but those the host keeps in
/// one size only (a file holding them shorter is refused).
void RecordsCutShort(host::Document& document) {
    std::vector<std::pair<host::RecordKey, host::Bytes>> records(document.Records().Records().begin(),
                                                                 document.Records().Records().end());
    for (auto& [key, bytes] : records) {
        const std::optional<hostapi::RecordTagInfo> info = hostapi::FindRecordTag(key.tag);
        if (info && info->size != 0) {
            continue;
        }
        bytes.resize(bytes.size() / 2);
        document.SaveRecord(key, bytes);
    }
}

/// The record kinds' score with a text of 5000 characters wherever a text is stored.
std::string LongTextsScore() {
    const std::string longText(5000, 'x');
    std::string text = EveryRecordKindScore();
    text += "text \"" + longText + "\"\n";
    text += "expression 4 \"" + longText + "\" font 2\n";
    text += "measureexpression 4 4 staff 1\n";
    text += "lyric verse 4 \"" + longText + "-" + longText + "\"\n";
    text += "syllable 1 3:1 verse 4 1\n";
    text += "pagetext 1 \"" + longText + "\"\n";
    text += "staff \"" + longText + "\" \"" + longText + "\"\n";
    text += "group 1 3 \"" + longText + "\" \"" + longText + "\" bracket 2\n";
    return text;
}

}  // namespace

std::string ChoraleScore() {
    // A chorale's voices move in quarters with passing eighths; every fourth measure ends a
    // phrase on a half note.
    static const char* const kSoprano[] = {"g4/4 a4/4 b4/4 c5/4", "d5/4 c5/8 b4/8 a4/2", "b4/4 c5/4 d5/4 e5/4",
                                           "d5/4 c5/4 b4/2"};
    static const char* const kAlto[] = {"d4/4 f#4/4 g4/4 g4/4", "a4/4 g4/8 g4/8 f#4/2", "g4/4 g4/4 a4/4 c5/4",
                                        "a4/4 a4/4 g4/2"};
    static const char* const kTenor[] = {"b3/4 d4/4 d4/4 e4/4", "d4/4 e4/4 d4/2", "d4/4 e4/4 f#4/4 g4/4",
                                         "f#4/4 e4/8 d4/8 d4/2"};
    static const char* const kBass[] = {"g3/4 d3/4 g3/4 c3/4", "b2/4 c3/4 d3/2", "g2/4 c3/4 d3/4 c3/4",
                                        "d3/4 d3/4 g2/2"};
    std::string text =
        "font 0 \"Maestro\"\nstaff \"Soprano\" \"S.\"\nstaff \"Alto\" \"A.\"\nstaff \"Tenor\" \"T.\"\n"
        "staff \"Bass\" \"B.\"\nmeasures 32 time 4/4 key 1\nclef 3 1 treble8vb\nclef 4 1 bass\n";
    for (int measure = 1; measure <= 32; ++measure) {
        const int phrase = (measure - 1) % 4;
        const std::string m = std::to_string(measure);
        text += "notes 1 " + m + " " + kSoprano[phrase] + "\n";
        text += "notes 2 " + m + " " + kAlto[phrase] + "\n";
        text += "notes 3 " + m + " " + kTenor[phrase] + "\n";
        text += "notes 4 " + m + " " + kBass[phrase] + "\n";
    }
    text +=
        "group 1 4 \"Choir\" \"Ch.\" bracket 1\nlyric verse 1 \"Lo-be den Her-ren\"\n"
        "syllable 1 1:1 verse 1 1\nsyllable 1 1:2 verse 1 2\nsyllable 1 1:3 verse 1 3\n"
        "syllable 1 1:4 verse 1 4\nsyllable 1 2:1 verse 1 5\nlayout\n";
    return text;
}

std::string EveryRecordKindScore() {
    return R"(# Every statement of the score text format.
font 0 "Maestro"
font 2 "Times New Roman"
staff "Flutes" "Fl."
staff "Violoncello" "Vc."
measures 2 time 4/4 key 2
measures 2 time 6/8 key -3m width 300
text "^font(Times New Roman)^size(24)Title"
clef 2 1 bass
clef 1 3 treble alto@1536
notes 1 1 d5/4 f#5/8 e5/8 d5+f#5/4 a4~/4
notes 1 1 layer 2 a4/2 r/2h
notes 1 2 a4/4 b4/8g c#5/4. d5/8 r/4
notes 2 1 d3/2 a2/2
notes 2 2 g2/2 a2/4 a2/8g r/4
notes 1 3 eb5/4. d5/8 c5/8 bb4/8
notes 2 3 c3/2.
notes 1 4 g4/2.
page width 2448 height 3168
page
system 1 2
system 3 4
stafflist 2 1 2
lock 3 4
numberregion 1 4 start 5
barline 2 2
backwardrepeat 4
group 1 2 "Ensemble" "Ens." bracket 1
group 1 1 "" list 2
shape 2 1 1@0 2@2048 offset -24
shape 0 1 1:1 1:3
pagetext 1 "^font(Times)^size(24)Title"
pagegraphic 1 "C:\\GRAPHICS\\LOGO.EPS"
beatchart 1 4096:240:240:0 0:20:75:0 1024:75:130:0 2048:130:185:0 3072:185:240:0
beatchart 2 mode 0 4096:240:240:0 0:20:240:0
expression 1 "dolce" font 2 size 14
expression 2 "f" font 0 playback 0000000004000200A0000110 metatool 70
expression 3 "cresc." style 2 flags 1 word4 5 word6 6
measureexpression 1 1 at 1024 staff 2 offset -36
measureexpression 2 2
measureexpression 3 3 shape
noteexpression 1 1:2 2 at 12 offset 48
noteexpression 2 2:1 1 layer 1 shape
lyric verse 1 "Hal-le-lu-jah"
lyric chorus 2 "^font(Arial)^size(10)Glo-ri-a"
lyric section 3 "Coda"
syllable 1 1:1 verse 1 1
syllable 1 1:2 verse 1 2 at -6 extension 120
syllable 1 2:1 chorus 2 1
syllable 1 2:3 section 3 1
suffix 1 "7" font 0 size 12 info
chord 1 1:2 g suffix 1
chord 1 1:4 bb hidden
slurcontours 256:40:24 512:80:36 1024:120:48
layout
)";
}

std::vector<DocumentKind> DocumentKinds(const std::string& sourceFolder) {
    std::vector<DocumentKind> kinds = {
        {"none", std::nullopt},
        {"empty", std::string()},
        {"no-measures", std::string("staff \"Flute\"\n")},
        {"one-measure", std::string("staff \"Flute\"\nmeasures 1\nnotes 1 1 c5/4 d5/4 e5/2\n")},
    };
    std::vector<std::filesystem::path> examples;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(sourceFolder) / "examples")) {
        if (entry.path().extension() == ".score") {
            examples.push_back(entry.path());
        }
    }
    std::sort(examples.begin(), examples.end());
    for (const auto& path : examples) {
        kinds.push_back({"examples/" + path.stem().string(), ReadText(path)});
    }
    kinds.push_back({"chorale", ChoraleScore()});
    kinds.push_back({"every-record-kind", EveryRecordKindScore()});
    kinds.push_back({"extreme-entries", ChoraleScore(), ExtremeEntries});
    kinds.push_back({"long-texts", LongTextsScore()});
    kinds.push_back({"records-cut-short", EveryRecordKindScore(), RecordsCutShort});
    return kinds;
}

}  // namespace sweep
