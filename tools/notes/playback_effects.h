// The playback effect generator: it makes one notated effect audible between a start note and an
// end note, either as a pitch-wheel glide (MIDI events of the start staff's cells) or as hidden
// playback notes in a free layer of the same cells, with the notated note silenced. The playback
// command reaches it for glissando and trill lines (WriteShapePlayback) and, through the entry
// engine, for trill and tremolo articulations (WriteArticulationPlayback, declared with the
// engine's workers); the tremolo command for the playback notes of its tremolos. Those marks
// are read in playback_marks.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/host/smart_shapes.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/types.h"

namespace orvex {

class RunEnvironment;

struct TFMisc;

/// Options of the playback command, by row.
enum PlaybackRow : size_t {
    PLAYBACK_GLISSANDI = 0,
    PLAYBACK_GLIDE_DELAY = 1,
    PLAYBACK_FINGERED = 2,
    PLAYBACK_BENDER_RANGE = 3,
    PLAYBACK_SET_BENDER_RANGE = 4,
    PLAYBACK_CHANGES_PER_QUARTER = 5,
    PLAYBACK_NOTES_PER_OCTAVE = 6,
    PLAYBACK_HAIRPINS = 7,
    PLAYBACK_VOLUME_CHANGES_PER_QUARTER = 8,
    PLAYBACK_RESET_VOLUME_AT_END = 9,
    PLAYBACK_SET_VOLUME_AT_START = 10,
    PLAYBACK_TRILLS = 11,
    PLAYBACK_THREE_SLASHES_UNMEASURED = 12,
    PLAYBACK_TRILL_SPEED = 13,
    PLAYBACK_TRILL_DELAY = 14,
    PLAYBACK_UPPER_START = 15,
    PLAYBACK_TRILL_INTERVAL = 16
};

/// Options of the playback command's "More..." page, by row.
enum PlaybackMoreRow : size_t {
    PLAYBACK_MORE_HIDE_BEFORE_2002 = 0,
    PLAYBACK_MORE_HIDE_FROM_2002 = 1,
    PLAYBACK_MORE_PREFERRED_LAYER = 2
};

/// The options of the playback command (tool 67) and of its "More..." page (option set 71), each
/// kept within the range its row has in the options dialog.
struct PlaybackOptions {
    // Rows of the command's own page.
    bool glissandi = false;                ///< row 0 "Glissandi?"
    int32_t glideDelayPercent = 20;        ///< row 1, 0-99
    bool fingered = false;                 ///< row 2 "Fingered glissandi?"
    int32_t benderRange = 12;              ///< row 3, 1-12 semitones of a full pitch-wheel swing
    bool setBenderRange = true;            ///< row 4
    int32_t changesPerQuarter = 20;        ///< row 5, 1-90
    int32_t notesPerOctave = 12;           ///< row 6, 1-12 (notes of a fingered glissando)
    bool hairpins = false;                 ///< row 7 "Make hairpins play back as volume changes?"
    int32_t volumeChangesPerQuarter = 15;  ///< row 8, 1-60
    bool resetVolumeAtEnd = true;          ///< row 9
    bool setVolumeAtStart = true;          ///< row 10
    bool trills = false;                   ///< row 11 trills, tremolos and diddles
    bool threeSlashesUnmeasured = true;    ///< row 12
    int32_t trillSpeed = 12;               ///< row 13, 1-1000 notes per quarter
    int32_t trillDelayPercent = 10;        ///< row 14, 0-99
    bool upperStart = true;                ///< row 15 "Start trill with upper note?"
    std::string interval;                  ///< row 16 "Force trill interval (semitones):", as typed
    // Rows of the "More..." page.
    bool hideBefore2002 = false;  ///< m0: hide the playback notes (host years before 2002)
    bool hideFrom2002 = true;     ///< m1: hide the playback notes (host year 2002 on)
    int32_t preferredLayer = 4;   ///< m2, 1-4: the layer tried first

    /// The options of the context's rows (the playback command's), clamped as the options dialog
    /// clamps them; a preferred layer outside 1-4 is stored back into the context as 4.
    static PlaybackOptions Read(TFMisc& context);
    /// The "More..." rows the playback command keeps (its stored settings), for other commands
    /// that write playback notes.
    static PlaybackOptions ReadStoredMoreRows();

    /// Whether playback notes are hidden, by the host year.
    bool HideNotes() const;
    /// The forced trill interval in semitones (-24..24): none for an empty text or one that is
    /// not a number.
    std::optional<int32_t> ForcedInterval() const;
};

/// The options of the playback command that shape a glide.
struct GlideOptions {
    int32_t delayPercent = 20;       ///< "Start after what percentage of duration:"
    int32_t benderRange = 12;        ///< "For what bender range:" (semitones of a full swing)
    bool setBenderRange = true;      ///< "Set bender range?"
    int32_t changesPerQuarter = 20;  ///< "Pitch changes per quarter note:"
};

/// Where a glide runs: it starts at `startTime` of `startMeasure` and ends at `endTime` of
/// `endMeasure`, `span` EDU later, bending by `semitones`.
struct GlideSpan {
    hostapi::InstrumentKey staff = 1;
    hostapi::MeasureNumber startMeasure = 1;
    hostapi::Edu startTime = 0;
    hostapi::MeasureNumber endMeasure = 1;
    hostapi::Edu endTime = 0;
    hostapi::Edu span = 0;
    int32_t semitones = 0;
};

/// Writes the pitch-wheel events of a glide into the start staff's cells: after the delay, one
/// event per step from the centre towards the bend (clamped to the wheel's range), the bender
/// range setting with the first event when asked, and the centre again at the end; each cell it
/// leaves and the end cell are sorted. Answers false, writing nothing, when no step fits.
bool WriteGlideEvents(const GlideSpan& glide, const GlideOptions& options);

/// The step of a trill in EDU: a quarter divided by `perQuarter`, shortened while the number of
/// steps that fit into `span - delay` has the parity `upperStart` (so that a trill that starts on
/// the upper note ends on the main note). Never below 1.
hostapi::Edu TrillStep(hostapi::Edu span, hostapi::Edu delay, int32_t perQuarter, bool upperStart);

/// Turns an entry into a rest: no note flag, no notes.
void MakeEntryRest(hostapi::EntryView entry);

/// What WritePlaybackNote writes.
struct PlaybackNote {
    hostapi::Edu time = 0;      ///< its position in the cell
    hostapi::Edu duration = 0;  ///< notated and actual duration
    hostapi::NoteRecord note;   ///< the note (unless a source entry gives the notes)
    int32_t direction = 0;      ///< the side of the previous note it must lie on: 1 above, -1 below, 0 any
    bool hidden = true;
    bool rest = false;
    std::optional<int32_t> interval;                 ///< exact semitones from the previous note
    const hostapi::EntryRecord* previous = nullptr;  ///< the previous playback entry, or none
    const hostapi::EntryRecord* source = nullptr;    ///< an entry whose notes are repeated, or none
    bool tieTo = false;                              ///< tied to the next entry (cut at a barline)
    bool tieFrom = false;                            ///< tied from the entry before (the rest of a cut note)
};

/// Inserts one playback entry into the cell after the entry that ends at its time (at the end
/// when none does) and fills it: a created note (or rest) entry, hidden as asked, marked as a
/// playback note (0x0800 in the word after the flags), holding the note (playback note flag and
/// tie marks) or the source entry's notes. Without a source, a note with a previous note entry
/// and a direction is moved by its alteration (and respelled to the fewest accidentals) until it
/// lies on that side of the previous entry's first note and, with an interval, exactly that many
/// semitones away; a negative interval turns the direction round. Answers the new entry's index,
/// -1 when the host refused the insertion.
int32_t WritePlaybackNote(hostapi::EntryArray& array, const PlaybackNote& note);

/// What the generator makes audible, as WritePlaybackEffect's callers give it.
struct PlaybackEffect {
    explicit PlaybackEffect(hostapi::EntryView startEntry) : start(startEntry) {}

    hostapi::EntryView start;  ///< the start entry (changed: playback flag; written back with a line)
    hostapi::EntryRecord end;  ///< a copy of the end entry
    hostapi::MeasureNumber startMeasure = 0;
    hostapi::MeasureNumber endMeasure = 0;
    hostapi::InstrumentKey startStaff = 0;
    hostapi::InstrumentKey endStaff = 0;
    int32_t startNote = 0;  ///< note index in the start entry
    int32_t endNote = 0;    ///< note index in the end entry
    bool trill = false;
    const SmartShapeRecord* line = nullptr;  ///< the glissando or trill line, or none
    bool repeat = false;                     ///< every playback note repeats a source entry
    hostapi::Edu fixedStep = 0;              ///< 0: the step comes from the options
    const hostapi::EntryRecord* mainSource = nullptr;
    const hostapi::EntryRecord* auxiliarySource = nullptr;
    hostapi::LayerIndex takenLayer = 0;  ///< the start entry's own layer, never used for playback notes
    /// Whether the generator tells the user why it stops (no layer free, no step fits); a caller
    /// that goes on without the effect says so itself.
    bool reportStop = true;
};

/// The view of the region the command runs on (0 without one).
hostapi::ViewKey RegionView(const RunEnvironment& environment);
/// A staff's slot in that view (0: not in it).
hostapi::StaffSlot RegionSlotOf(const RunEnvironment& environment, hostapi::InstrumentKey staff);

/// Writes one effect (glide or playback notes) with the options; the run's layer state lives in
/// the context. Answers 1 when done or when there was nothing to do, 0 when the run is to stop:
/// the user declined the high-rate question or the layer question, no layer was free, or no step
/// fits into the span.
int32_t WritePlaybackEffect(TFMisc& context, PlaybackEffect& effect, const PlaybackOptions& options);

/// The effect of a glissando line (`trill` false) or a trill line (`trill` true): from the entry
/// at the line's start, when it is a note in the selection, to the entry at its end. Answers the
/// generator's result, 1 when nothing was found.
int32_t WriteShapePlayback(const SmartShapeRecord& line, TFMisc& context, const PlaybackOptions& options, bool trill);

/// The tremolo command's playback notes for the tremolo between A and B (`twice` a copy of A
/// lasting both notes): they repeat A and B in turn, a hit every `hit` EDU, in the layer and with
/// the hiding the playback command's "More..." options give. Answers the generator's result.
int32_t WriteTremoloPlayback(TFMisc& context, hostapi::EntryView twice, const hostapi::EntryRecord& a,
                             const hostapi::EntryRecord& b, hostapi::MeasureNumber measure,
                             hostapi::InstrumentKey staff, hostapi::Edu hit, hostapi::LayerIndex layer);

}  // namespace orvex
