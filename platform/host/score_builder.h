// The score builder: makes a document from readable music, for tests (this C++ interface) and
// for score texts (score_text.h). Each kind of music it knows is one method that writes the
// document's stored records; a new kind is a new method and, for score texts, a new line kind.
// Texts are given in UTF-8 and stored as the host's 8-bit texts.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/document.h"
#include "platform/host/music_model.h"
#include "platform/hostapi/types.h"

namespace host {

/// The fields of a measure record that the builder sets.
struct MeasureSettings {
    static constexpr int16_t kDefaultWidth = 240;

    int16_t beats = 4;
    int16_t beatDuration = hostapi::kEduPerQuarter;  ///< EDU
    int16_t key = 0;                                 ///< key value: sharps (+) or flats (-), 0x100 minor
    int16_t width = kDefaultWidth;                   ///< EVPU
};

/// One note of an entry as written.
struct WrittenNote {
    SpelledNote pitch;      ///< step from middle C and accidental
    bool tieStart = false;  ///< tied to the same pitch in the next entry
};

/// One entry as written: a chord, or a rest when it has no notes.
struct WrittenEntry {
    std::vector<WrittenNote> notes;
    hostapi::Edu duration = hostapi::kEduPerQuarter;  ///< notated duration
    bool grace = false;                               ///< takes no time
    bool hidden = false;
};

/// A clef from a position of a measure on.
struct ClefChange {
    int16_t clef = 0;
    hostapi::Edu position = 0;
};

class ScoreBuilder {
public:
    explicit ScoreBuilder(std::string name = "Untitled");

    /// Font number `number` of the document's font table.
    ScoreBuilder& Font(int16_t number, std::string_view name);
    /// A staff ('SOIS', the next staff number) with its names as text blocks; an empty name
    /// leaves its field 0. The host places the staff at the end of the score's staff list.
    /// A clef other than treble (0) is the staff's own clef (and the document gets the clef
    /// definitions).
    ScoreBuilder& Staff(std::string_view fullName, std::string_view abbreviatedName = {}, int16_t clef = 0);
    /// `count` more measures ('SOMS'), numbered on from the last.
    ScoreBuilder& Measures(int32_t count, const MeasureSettings& settings = {});
    /// A text block: its characters ('txbl') and its header ('SOTX').
    ScoreBuilder& TextBlock(std::string_view text);
    /// The clef of a staff from a measure on ('SDGF', and 'dtGF' for hosts before 1998): one
    /// clef at position 0, or several changes within the measure (an 'otCE' list, the first at
    /// position 0, positions rising). Throws std::invalid_argument for a staff or measure that
    /// does not exist or changes out of order.
    ScoreBuilder& Clef(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure,
                       const std::vector<ClefChange>& changes);
    /// The entries of a cell, one after the other from position 0 (grace notes take no time):
    /// pitches are written under the measure's key, notes bottom up with identifiers from 1,
    /// entries numbered on from the document's highest. A tie start ties the note to the same
    /// pitch in the next entry. Throws std::invalid_argument for a cell that does not exist,
    /// holds entries already, or is overfilled, and for more than 12 notes in an entry.
    ScoreBuilder& Notes(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure, hostapi::LayerIndex layer,
                        const std::vector<WrittenEntry>& entries);

    /// The number of the last staff, measure and text block made (0 = none yet).
    hostapi::InstrumentKey LastStaff() const { return m_lastStaff; }
    hostapi::MeasureNumber LastMeasure() const { return m_lastMeasure; }
    hostapi::Cmper LastTextBlock() const { return m_lastTextBlock; }

    /// The document being built; throws std::logic_error after Build.
    Document& Current();
    /// Hands the document over; the builder is empty afterwards.
    std::unique_ptr<Document> Build();

private:
    hostapi::Edu BeatDurationOf(hostapi::MeasureNumber measure);
    void RequireCell(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure);
    static bool BeamedToPrevious(const CellEntries& before, const WrittenEntry& written, hostapi::Edu position,
                                 hostapi::Edu beat);
    static void TieFromPrevious(CellEntries& before, const std::vector<WrittenNote>& notes, int16_t key,
                                hostapi::EntryView entry);
    hostapi::Cmper MakeTextBlock(std::string_view text);
    RecordKey Create(const RecordKey& key, Bytes bytes);

    std::unique_ptr<Document> m_document;
    hostapi::InstrumentKey m_lastStaff = 0;
    hostapi::MeasureNumber m_lastMeasure = 0;
    hostapi::Cmper m_lastTextBlock = 0;
};

}  // namespace host
