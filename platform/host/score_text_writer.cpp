#include "platform/host/score_text_writer.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "platform/host/cell_dump.h"
#include "platform/host/document_changes.h"
#include "platform/host/entry_names.h"
#include "platform/host/mus_file.h"
#include "platform/host/music_model.h"
#include "platform/host/record_layouts.h"
#include "platform/host/score_builder.h"
#include "platform/host/score_text.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/music_records.h"
#include "platform/win/system.h"

namespace host {
namespace {

using hostapi::ConstEntryView;

constexpr const char* kExactHeading =
    "# What the statements above do not make as the document holds it, byte for byte:";

int16_t I16(const Bytes& bytes, size_t offset) {
    return bytes.size() >= offset + 2 ? hostapi::ReadI16(bytes.data(), offset) : int16_t{0};
}

/// A text of the document (the host's 8-bit text) in quotes as a score text writes it: UTF-8, with
/// \" and \\, and \xNN for a control character.
std::string Quoted(std::string_view ansi) {
    std::string text = "\"";
    for (const char c : win::AnsiToUtf8(ansi)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            text += '\\';
            text += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            text += escape;
        } else {
            text += c;
        }
    }
    return text + "\"";
}

/// The records of a tag, in key order.
template <typename Visit>
void ForEachRecord(const Document& document, hostapi::Tag tag, Visit visit) {
    const RecordStore::Map& records = document.Records().Records();
    for (auto it = records.lower_bound(RecordKey{tag, INT32_MIN, INT16_MIN, INT32_MIN});
         it != records.end() && it->first.tag == tag; ++it) {
        visit(it->first, it->second);
    }
}

/// The characters of text block `block`: its 'SOTX' header names the 'txbl' record.
std::string TextBlockText(const Document& document, int16_t block) {
    const Bytes* header = block == 0 ? nullptr : document.Records().Find(RecordKey::Other(kTagTextBlock, block, 0));
    const Bytes* characters =
        header == nullptr
            ? nullptr
            : document.Records().Find(RecordKey::Other(kTagTextBlockText, I16(*header, TextBlockLayout::kTextKey), 0));
    if (characters == nullptr) {
        return {};
    }
    std::string text(characters->begin(), characters->end());
    return text.substr(0, text.find('\0'));
}

/// The staves 1, 2, ..., then the text blocks that name none of them.
void WriteStavesAndTexts(const Document& document, std::vector<std::string>& out) {
    std::set<int16_t> names;
    for (int16_t staff = 1; staff < INT16_MAX; ++staff) {
        const Bytes* record = document.Records().Find(RecordKey::Other(kTagStaff, staff, 0));
        if (record == nullptr) {
            break;
        }
        const int16_t full = I16(*record, StaffLayout::kFullName);
        const int16_t abbreviated = I16(*record, StaffLayout::kAbbreviatedName);
        names.insert({full, abbreviated});
        const std::string shortName = TextBlockText(document, abbreviated);
        out.push_back("staff " + Quoted(TextBlockText(document, full)) +
                      (shortName.empty() ? "" : " " + Quoted(shortName)));
    }
    ForEachRecord(document, kTagTextBlock, [&](const RecordKey& key, const Bytes&) {
        if (key.second == 0 && !names.contains(static_cast<int16_t>(key.first))) {
            out.push_back("text " + Quoted(TextBlockText(document, static_cast<int16_t>(key.first))));
        }
    });
}

/// The options of a measures statement that make a measure record like this one.
std::string MeasureOptions(const Bytes& record) {
    std::string options;
    const int16_t beats = I16(record, MeasureLayout::kBeats);
    const int16_t beat = I16(record, MeasureLayout::kBeatDuration);
    if ((beats != 4 || beat != hostapi::kEduPerQuarter) && beat > 0 && hostapi::kEduWholeNote % beat == 0) {
        options += " time " + std::to_string(beats) + "/" + std::to_string(hostapi::kEduWholeNote / beat);
    }
    const int16_t key = I16(record, MeasureLayout::kKey);
    const auto accidentals = static_cast<int8_t>(key & 0xFF);
    if (key != 0 && accidentals >= -7 && accidentals <= 7) {
        options += " key " + std::to_string(accidentals) + ((key & 0x100) != 0 ? "m" : "");
    }
    const int16_t width = I16(record, MeasureLayout::kWidth);
    if (width != MeasureSettings::kDefaultWidth && width > 0) {
        options += " width " + std::to_string(width);
    }
    return options;
}

/// The measures 1, 2, ... the document holds, a statement for each run of alike ones.
void WriteMeasures(const Document& document, std::vector<std::string>& out) {
    int32_t count = 0;
    std::string options;
    for (int16_t measure = 1; measure < INT16_MAX; ++measure) {
        const Bytes* record = document.Records().Find(RecordKey::Other(kTagMeasure, measure, 0));
        const std::string these = record == nullptr ? std::string() : MeasureOptions(*record);
        if (count > 0 && (record == nullptr || these != options)) {
            out.push_back("measures " + std::to_string(count) + options);
            count = 0;
        }
        if (record == nullptr) {
            return;
        }
        options = these;
        ++count;
    }
}

void WriteClefs(const Document& document, std::vector<std::string>& out) {
    using L = hostapi::CellClefLayout;
    ForEachRecord(document, hostapi::kTagCellClef, [&](const RecordKey& key, const Bytes& record) {
        if (key.third != 0) {
            return;
        }
        std::string statement = "clef " + std::to_string(key.first) + " " + std::to_string(key.second);
        if ((static_cast<uint16_t>(I16(record, L::kFlags)) & L::kHasChanges) == 0) {
            out.push_back(statement + " " + ClefName(I16(record, L::kClef)));
            return;
        }
        bool first = true;
        ForEachRecord(document, hostapi::kTagClefChange, [&](const RecordKey& change, const Bytes& bytes) {
            if (change.first != I16(record, L::kClef)) {
                return;
            }
            statement += " " + ClefName(I16(bytes, hostapi::ClefChangeLayout::kClef));
            if (!first) {
                statement += "@" + std::to_string(I16(bytes, hostapi::ClefChangeLayout::kPosition));
            }
            first = false;
        });
        out.push_back(statement);
    });
}

void WriteBeatCharts(const Document& document, std::vector<std::string>& out) {
    int32_t measure = INT32_MIN;
    ForEachRecord(document, hostapi::kTagBeatChart, [&](const RecordKey& key, const Bytes& record) {
        if (key.first != measure) {
            measure = key.first;
            const Bytes* spec =
                document.Records().Find(RecordKey::Other(kTagMeasure, static_cast<int16_t>(measure), 0));
            const int16_t mode = spec == nullptr ? 2 : static_cast<int16_t>(I16(*spec, MeasureLayout::kFlags) & 7);
            out.push_back("beatchart " + std::to_string(measure) + " mode " + std::to_string(mode));
        }
        const int32_t time = record.size() >= 4 ? hostapi::ReadI32(record.data(), 0) : 0;
        out.back() += " " + std::to_string(time) + ":" + std::to_string(I16(record, 4)) + ":" +
                      std::to_string(I16(record, 6)) + ":" + std::to_string(I16(record, 8));
    });
}

/// "/4.": a notated duration as a value and dots; nullopt for one the notation has no word for.
std::optional<std::string> DurationWord(hostapi::Edu duration) {
    for (int32_t value = 1; value <= 128; value *= 2) {
        hostapi::Edu total = hostapi::kEduWholeNote / value;
        hostapi::Edu added = total;
        for (size_t dots = 0; added > 0; ++dots) {
            if (total == duration) {
                return "/" + std::to_string(value) + std::string(dots, '.');
            }
            added /= 2;
            total += added;
        }
    }
    return std::nullopt;
}

/// A note's pitch in the notation's letters: "f#4", "bb3".
std::string NoteName(const SpelledNote& spelled) {
    std::string name = PitchName(spelled);
    name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
    return name;
}

/// One entry in the notation; nullopt when the notation cannot write it.
std::optional<std::string> EntryWord(ConstEntryView entry, int16_t key) {
    std::string word;
    if (!entry.isNote()) {
        word = "r";
        if (entry.notesHeld() > 0) {
            SpelledNote place = SpellNote(entry.note(0), key);
            place.accidental = 0;
            word += "@" + NoteName(place);
        }
    } else if (entry.notesHeld() == 0) {
        return std::nullopt;
    }
    for (int32_t i = 0; entry.isNote() && i < entry.notesHeld(); ++i) {
        const hostapi::ConstNoteView note = entry.note(i);
        std::string flags;
        for (const FlagName& flag : kNoteFlagNames) {
            if ((note.flags() & flag.bit) != 0) {
                flags += (flags.empty() ? "" : ",") + std::string(flag.name);
            }
        }
        word += (i == 0 ? "" : "+") + std::string((note.flags() & hostapi::kNoteTieEnd) != 0 ? "~" : "") +
                NoteName(SpellNote(note, key)) + (flags.empty() ? "" : "[" + flags + "]") +
                ((note.flags() & hostapi::kNoteTieStart) != 0 ? "~" : "");
    }
    const std::optional<std::string> duration = DurationWord(entry.duration());
    if (!duration) {
        return std::nullopt;
    }
    return word + *duration + (entry.has(hostapi::kEntryGrace) ? "g" : "") +
           (entry.has(hostapi::kEntryHidden) ? "h" : "") + (entry.has(hostapi::kEntryFloatingRest) ? "f" : "");
}

/// The notes statement of a cell; nullopt when the notation cannot write one of its entries.
std::optional<std::string> NotesStatement(const Document& document, const CellKey& cell, const CellEntries& entries) {
    using L = hostapi::TupletLayout;
    const int16_t key = CellKeyValue(document, cell.measure, cell.staff, 0);
    const std::vector<CellTuplet> tuplets = CellTuplets(document, entries);
    std::string statement = "notes " + std::to_string(cell.staff) + " " + std::to_string(cell.measure);
    if (cell.layer != 0) {
        statement += " layer " + std::to_string(cell.layer + 1);
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        for (const CellTuplet& tuplet : tuplets) {
            if (tuplet.first == i) {
                const Bytes& r = *tuplet.record;
                const std::optional<std::string> unit = DurationWord(I16(r, L::kNoteUnit));
                const std::optional<std::string> reference = DurationWord(I16(r, L::kReferenceUnit));
                if (!unit || !reference) {
                    return std::nullopt;
                }
                statement += " {" + std::to_string(I16(r, L::kNotes)) + *unit + ":" +
                             std::to_string(I16(r, L::kReference)) + *reference;
            }
        }
        const std::optional<std::string> word = EntryWord(ConstEntryView(entries[i].data()), key);
        if (!word) {
            return std::nullopt;
        }
        statement += " " + *word;
        for (const CellTuplet& tuplet : tuplets) {
            statement += tuplet.last == i ? "}" : "";
        }
    }
    return statement;
}

void WriteNotes(const Document& document, std::vector<std::string>& out) {
    for (const auto& [cell, entries] : document.Cells()) {
        if (cell.staff < 1 || cell.measure < 1) {
            continue;
        }
        if (const std::optional<std::string> statement = NotesStatement(document, cell, entries)) {
            out.push_back(*statement);
        }
    }
}

/// The readable statements of a document, in the order they can be read.
std::vector<std::string> ReadableStatements(const Document& document) {
    std::vector<std::string> out;
    for (const auto& [number, name] : document.Fonts()) {
        out.push_back("font " + std::to_string(number) + " " + Quoted(name));
    }
    WriteStavesAndTexts(document, out);
    WriteMeasures(document, out);
    WriteClefs(document, out);
    WriteBeatCharts(document, out);
    WriteNotes(document, out);
    return out;
}

/// The statements that read without a mistake, one after the other into one document: a statement
/// the builder refuses (music that does not fit its measure, a staff the document lacks) is left
/// out, and what it would have said is said by the exact statements.
std::vector<std::string> ReadableOnly(std::vector<std::string> statements) {
    for (size_t rounds = 0; rounds <= statements.size(); ++rounds) {
        ScoreBuilder builder;
        std::vector<std::string> kept;
        for (const std::string& statement : statements) {
            try {
                ReadScoreStatement(builder, statement, kept.size() + 1);
                kept.push_back(statement);
            } catch (const ScoreTextError&) {
            }
        }
        if (kept.size() == statements.size()) {
            return kept;
        }
        statements = std::move(kept);
    }
    return {};
}

std::string KeyWords(const RecordKey& key) {
    std::string words = TagText(key.tag) + " " + std::string(FamilyWord(key.Family()));
    for (const int32_t number : key.Numbers()) {
        words += " " + std::to_string(number);
    }
    return words;
}

/// The exact statements that make `made` hold what `wanted` holds: every record that differs
/// (or "none" for one too many), then every entry of a cell that differs.
void WriteExact(const Document& made, const Document& wanted, std::vector<std::string>& out) {
    for (const RecordChange& change : CompareDocuments(made, wanted).records) {
        if (change.kind == ChangeKind::Deleted) {
            out.push_back("record " + KeyWords(change.key) + " none");
        } else {
            std::ostringstream line;
            WriteRecordLine(line, change.key, change.after);
            out.push_back(line.str().substr(0, line.str().size() - 1));
        }
    }
    std::vector<CellKey> cells;
    for (const auto& [cell, entries] : made.Cells()) {
        cells.push_back(cell);
    }
    for (const auto& [cell, entries] : wanted.Cells()) {
        if (!made.Cells().contains(cell)) {
            cells.push_back(cell);
        }
    }
    std::sort(cells.begin(), cells.end());
    for (const CellKey& cell : cells) {
        const CellEntries& is = made.EntriesOf(cell);
        const CellEntries& should = wanted.EntriesOf(cell);
        const std::string layer = cell.layer == 0 ? "" : " layer " + std::to_string(cell.layer + 1);
        if (is.size() > should.size()) {
            out.push_back("cellentries " + std::to_string(cell.staff) + " " + std::to_string(cell.measure) + layer +
                          " " + std::to_string(should.size()));
        }
        for (size_t i = 0; i < should.size(); ++i) {
            // From the first byte that differs to the last; a new entry whole.
            size_t first = 0;
            size_t end = should[i].size();
            if (i < is.size()) {
                while (first < end && is[i][first] == should[i][first]) {
                    ++first;
                }
                while (end > first && is[i][end - 1] == should[i][end - 1]) {
                    --end;
                }
                if (first == end) {
                    continue;
                }
            }
            std::ostringstream line;
            line << "entrybytes " << cell.staff << ' ' << cell.measure << ':' << i + 1 << layer;
            if (first != 0) {
                line << " at " << first;
            }
            line << " hex " << end - first;
            WriteHexGroups(line, should[i].data() + first, end - first);
            out.push_back(line.str());
        }
    }
}

}  // namespace

std::string WriteScoreText(const Document& document) {
    std::vector<std::string> statements = ReadableOnly(ReadableStatements(document));
    std::string name = document.Name();
    std::replace_if(
        name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
    std::string text = "# " + name + ": the document as a score text; \"new\" reads it back as it is\n";
    for (const std::string& statement : statements) {
        text += statement + "\n";
    }
    const std::unique_ptr<Document> made = ParseScoreText(text, document.Name());
    std::vector<std::string> exact;
    WriteExact(*made, document, exact);
    if (!exact.empty()) {
        text += std::string(kExactHeading) + "\n";
        for (const std::string& statement : exact) {
            text += statement + "\n";
        }
    }
    if (!ParseScoreText(text, document.Name())->SameContent(document)) {
        throw std::logic_error("the score text of document \"" + document.Name() + "\" does not read back as it is");
    }
    return text;
}

}  // namespace host
