#include "platform/host/cell_dump.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

#include "platform/host/music_model.h"
#include "platform/host/record_layouts.h"

namespace host {
namespace {

using hostapi::ConstEntryView;

// clang-format off
constexpr std::array<std::pair<uint32_t, const char*>, 15> kFlagNames = {{
    {hostapi::kEntryCreated, "created"},
    {hostapi::kEntryVoice2Start, "voice 2 start"},
    {hostapi::kEntryVoice2, "voice 2"},
    {hostapi::kEntryFloatingRest, "floating"},
    {hostapi::kEntryGrace, "grace"},
    {hostapi::kEntryNoteDetails, "note details"},
    {hostapi::kEntryArticulations, "articulations"},
    {hostapi::kEntryLyrics, "lyrics"},
    {hostapi::kEntryTuplet, "tuplet"},
    {hostapi::kEntryPlayback, "playback"},
    {hostapi::kEntryHidden, "hidden"},
    {hostapi::kEntryTremolo, "tremolo"},
    {hostapi::kEntryBeamStart, "beam start"},
    {hostapi::kEntryStemDetails, "stem details"},
    {hostapi::kEntryStemUp, "stem up"},
}};
// clang-format on

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string FlagWords(uint32_t flags) {
    std::string words;
    uint32_t rest = flags & ~hostapi::kEntryNote;
    for (const auto& [bit, name] : kFlagNames) {
        if ((rest & bit) != 0) {
            words += ", " + std::string(name);
            rest &= ~bit;
        }
    }
    if (rest != 0) {
        words += ", flags " + Hex(rest, 8);
    }
    return words;
}

std::string NoteWords(ConstEntryView entry, int16_t key) {
    if (!entry.isNote()) {
        return "rest";
    }
    if (entry.notesHeld() == 0) {
        return "(no notes)";
    }
    std::string words;
    for (int32_t i = 0; i < entry.notesHeld(); ++i) {
        const hostapi::ConstNoteView note = entry.note(i);
        words += i == 0 ? "" : " ";
        words += (note.flags() & hostapi::kNoteTieEnd) != 0 ? "~" : "";
        words += PitchName(SpellNote(note, key));
        words += (note.flags() & hostapi::kNoteTieStart) != 0 ? "~" : "";
    }
    return words;
}

std::string EntryLine(ConstEntryView entry, int16_t key) {
    std::string line = "    entry " + std::to_string(entry.number()) + " at " + std::to_string(entry.position()) +
                       ", " + std::to_string(entry.duration()) + " EDU";
    if (entry.actualDuration() != entry.duration()) {
        line += " (actual " + std::to_string(entry.actualDuration()) + ")";
    }
    line += FlagWords(entry.flags());
    if (entry.moreFlags() != 0) {
        line += ", more flags " + Hex(entry.moreFlags(), 4);
    }
    return line + ": " + NoteWords(entry, key);
}

bool Exists(const Document& document, hostapi::Tag tag, int32_t number) {
    return document.Records().Find(RecordKey::Other(tag, static_cast<hostapi::Cmper>(number), 0)) != nullptr;
}

}  // namespace

std::vector<std::string> CellListing(const Document& document, NumberRange staves, NumberRange measures) {
    std::vector<std::string> lines;
    for (int32_t staff = std::max(staves.first, 1); staff <= std::min<int32_t>(staves.last, INT16_MAX); ++staff) {
        if (!Exists(document, kTagStaff, staff)) {
            continue;
        }
        for (int32_t measure = std::max(measures.first, 1); measure <= std::min<int32_t>(measures.last, INT16_MAX);
             ++measure) {
            if (!Exists(document, kTagMeasure, measure)) {
                continue;
            }
            const std::string where = "  staff " + std::to_string(staff) + ", measure " + std::to_string(measure);
            const auto s = static_cast<hostapi::InstrumentKey>(staff);
            const auto m = static_cast<hostapi::MeasureNumber>(measure);
            const int16_t key = CellKeyValue(document, m, s, 0);
            bool any = false;
            for (hostapi::LayerIndex layer = 0; layer < 4; ++layer) {
                const CellEntries& entries = document.EntriesOf(CellKey{s, m, layer});
                if (entries.empty()) {
                    continue;
                }
                any = true;
                lines.push_back(where + ", layer " + std::to_string(layer + 1) + ": " + std::to_string(entries.size()) +
                                (entries.size() == 1 ? " entry" : " entries"));
                for (const EntryBytes& entry : entries) {
                    lines.push_back(EntryLine(ConstEntryView(entry.data()), key));
                }
            }
            if (!any) {
                lines.push_back(where + ": no entries");
            }
        }
    }
    return lines;
}

std::string CellEntryLine(const Document& document, const CellKey& cell, const EntryBytes& entry) {
    const std::string line =
        EntryLine(ConstEntryView(entry.data()), CellKeyValue(document, cell.measure, cell.staff, 0));
    return line.substr(line.find_first_not_of(' '));
}

}  // namespace host
