// Entry arrays: the notes and rests of one cell (staff, measure, layer) that the host lends a
// plug-in between a load (service 2) and a release (service 4). The array header is a C++
// struct; the entries behind it keep the host's byte layouts: 146 bytes an entry, with up to
// twelve 10-byte notes inside. Both sides read and write entries through the views below.
#pragma once

#include <algorithm>
#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "platform/hostapi/bytes.h"
#include "platform/hostapi/types.h"

namespace hostapi {

/// A note inside an entry.
struct NoteLayout {
    static constexpr size_t kSize = 10;
    static constexpr size_t kHarmonicLevel = 0;  ///< @0, i16, diatonic steps from the key's tonic (middle-C octave)
    static constexpr size_t kAlteration = 2;     ///< @2, i16, steps raised (+) or lowered (-) against the key
    static constexpr size_t kNoteId = 4;         ///< @4, i16, identifier within the entry (keys per-note records)
    static constexpr size_t kFlags = 6;          ///< @6, u32, note flags (kNote...)
};

/// An entry: a note entry (chord) or a rest.
struct EntryLayout {
    static constexpr size_t kSize = 146;
    static constexpr size_t kNumber = 0;            ///< @0, i32, the host's number; 0 for an entry not saved yet
    static constexpr size_t kDuration = 4;          ///< @4, i16, notated duration in EDU
    static constexpr size_t kHorizontalOffset = 6;  ///< @6, i16, EVPU
    static constexpr size_t kFlags = 8;             ///< @8, u32, entry flags (kEntry...)
    static constexpr size_t kMoreFlags = 12;        ///< @12, u16, cleared when an entry is blanked
    static constexpr size_t kNoteCount = 14;        ///< @14, i16, 0 to 12
    static constexpr size_t kNotes = 16;            ///< @16, 12 notes of 10 bytes, bottom note first
    static constexpr size_t kMaxNotes = 12;
    static constexpr size_t kPosition = 136;        ///< @136, i32, EDU from the start of the measure
    static constexpr size_t kActualDuration = 140;  ///< @140, i32, EDU the entry lasts
    static constexpr size_t kLastWord = 144;        ///< @144, 2 bytes the host keeps
};
static_assert(EntryLayout::kNotes + EntryLayout::kMaxNotes * NoteLayout::kSize == EntryLayout::kPosition);
/// The largest position and actual duration (EDU) an entry of a sound document holds: 4096 whole
/// notes, far more than any measure, and small enough that sums of them stay within 32 bits. An
/// entry beyond it (or below 0) is damaged.
inline constexpr Edu kLongestEntryEdu = 1 << 24;
/// The shortest notated duration (EDU) an entry of a sound document holds; one below it (0 or
/// negative) is damaged. The longest is the field's own limit, 32767.
inline constexpr int16_t kShortestNotatedEdu = 1;
static_assert(EntryLayout::kLastWord + 2 == EntryLayout::kSize);

// Entry flags (the u32 at byte 8).
inline constexpr uint32_t kEntryCreated = 0x80000000;       ///< made by a plug-in
inline constexpr uint32_t kEntryNote = 0x40000000;          ///< a note entry; clear: a rest
inline constexpr uint32_t kEntryVoice2Start = 0x20000000;   ///< the voice-1 entry that launches a voice-2 run
inline constexpr uint32_t kEntryVoice2 = 0x10000000;        ///< an entry of voice 2 inside the layer
inline constexpr uint32_t kEntryChordSymbols = 0x04000000;  ///< has chord symbols ('E\x02Ch')
inline constexpr uint32_t kEntryFloatingRest = 0x01000000;
inline constexpr uint32_t kEntryGrace = 0x00800000;
inline constexpr uint32_t kEntryNoteDetails = 0x00400000;
inline constexpr uint32_t kEntryArticulations = 0x00200000;
inline constexpr uint32_t kEntryLyrics = 0x00100000;
inline constexpr uint32_t kEntryTuplet = 0x00080000;
inline constexpr uint32_t kEntryPlayback = 0x00020000;
inline constexpr uint32_t kEntryHidden = 0x00008000;  ///< hidden; also "copied into another array"
inline constexpr uint32_t kEntryTremolo = 0x00004000;
inline constexpr uint32_t kEntryFlippedTie = 0x00002000;
inline constexpr uint32_t kEntryTieDetails = 0x00001000;      ///< its notes have tie records ('E\x03Ts', 'E\x03Te')
inline constexpr uint32_t kEntryBeamStart = 0x00000800;       ///< starts a new beam group
inline constexpr uint32_t kEntrySecondaryBreak = 0x00000400;  ///< has a secondary beam break ('edsB')
inline constexpr uint32_t kEntryVoiceFree = 0x00000100;       ///< with the voice marks: not part of a stem group
inline constexpr uint32_t kEntryStemDetails = 0x00000080;
inline constexpr uint32_t kEntryStemUp = 0x00000001;
/// Entries with any of these bits keep their own stem direction.
inline constexpr uint32_t kEntryStemFixedMask = kEntryVoice2 | kEntryVoice2Start | kEntryVoiceFree;
/// The flags of a blank rest that a plug-in inserts to fill a gap.
inline constexpr uint32_t kEntryBlankRest = kEntryCreated | kEntryFloatingRest;

// The entry's second flag word (the u16 at byte 12).
inline constexpr uint16_t kEntryMoreExpressions = 0x0001;   ///< has note-attached expressions ('edED')
inline constexpr uint16_t kEntryMoreNotesChanged = 0x0004;  ///< notes changed: the host recomputes the accidentals
inline constexpr uint16_t kEntryMoreSmartShapes = 0x0020;   ///< has note-attached smart shapes ('edEx')
inline constexpr uint16_t kEntryMoreSlashedGrace = 0x0100;
inline constexpr uint16_t kEntryMorePlayback = 0x0400;   ///< set with kEntryPlayback where playback is written
inline constexpr uint16_t kEntryMoreGenerated = 0x0800;  ///< a playback note the playback generator wrote

// Note flags (the u32 at byte 6 of a note).
inline constexpr uint32_t kNoteCreated = 0x80000000;
inline constexpr uint32_t kNoteTieStart = 0x40000000;  ///< tied to the next entry
inline constexpr uint32_t kNoteTieEnd = 0x20000000;    ///< tied from the one before
inline constexpr uint32_t kNoteFlipDown = 0x08000000;
inline constexpr uint32_t kNoteFlipUp = 0x04000000;
inline constexpr uint32_t kNoteAccidentalParenthesised = 0x02000000;
inline constexpr uint32_t kNoteAccidentalShown = 0x01000000;
inline constexpr uint32_t kNoteAccidentalSecond = 0x00800000;  ///< the accidental beside the shown one
inline constexpr uint32_t kNotePlayback = 0x00200000;          ///< a playback note the playback generator wrote
inline constexpr uint32_t kNoteAccidentalFrozen = 0x00000002;

/// A view of a note's 10 bytes; `Byte` is `const uint8_t` for a read-only view.
template <typename Byte>
class BasicNoteView {
public:
    explicit BasicNoteView(Byte* bytes) : m_bytes(bytes) {}
    /// A read-only view of a writable one.
    template <typename Other>
    requires(std::is_const_v<Byte>&& std::is_same_v<Other, uint8_t>) BasicNoteView(const BasicNoteView<Other>& other)
        : m_bytes(other.data()) {}
    Byte* data() const { return m_bytes; }

    int16_t harmonicLevel() const { return ReadI16(m_bytes, NoteLayout::kHarmonicLevel); }
    int16_t alteration() const { return ReadI16(m_bytes, NoteLayout::kAlteration); }
    int16_t noteId() const { return ReadI16(m_bytes, NoteLayout::kNoteId); }
    uint32_t flags() const { return ReadU32(m_bytes, NoteLayout::kFlags); }

    void setHarmonicLevel(int16_t v) const requires(!std::is_const_v<Byte>) {
        WriteI16(m_bytes, NoteLayout::kHarmonicLevel, v);
    }
    void setAlteration(int16_t v) const requires(!std::is_const_v<Byte>) {
        WriteI16(m_bytes, NoteLayout::kAlteration, v);
    }
    void setNoteId(int16_t v) const requires(!std::is_const_v<Byte>) { WriteI16(m_bytes, NoteLayout::kNoteId, v); }
    void setFlags(uint32_t v) const requires(!std::is_const_v<Byte>) { WriteU32(m_bytes, NoteLayout::kFlags, v); }

private:
    Byte* m_bytes;
};
using NoteView = BasicNoteView<uint8_t>;
using ConstNoteView = BasicNoteView<const uint8_t>;

/// A view of an entry's 146 bytes; `Byte` is `const uint8_t` for a read-only view.
template <typename Byte>
class BasicEntryView {
public:
    explicit BasicEntryView(Byte* bytes) : m_bytes(bytes) {}
    /// A read-only view of a writable one.
    template <typename Other>
    requires(std::is_const_v<Byte>&& std::is_same_v<Other, uint8_t>) BasicEntryView(const BasicEntryView<Other>& other)
        : m_bytes(other.data()) {}
    Byte* data() const { return m_bytes; }

    EntryNumber number() const { return ReadI32(m_bytes, EntryLayout::kNumber); }
    int16_t duration() const { return ReadI16(m_bytes, EntryLayout::kDuration); }
    uint32_t flags() const { return ReadU32(m_bytes, EntryLayout::kFlags); }
    uint16_t moreFlags() const { return ReadU16(m_bytes, EntryLayout::kMoreFlags); }
    /// The note count as stored (a damaged entry may hold any value).
    int16_t noteCount() const { return ReadI16(m_bytes, EntryLayout::kNoteCount); }
    /// The note count within 0..12: the notes that really lie in the entry.
    int32_t notesHeld() const {
        const int16_t n = noteCount();
        return n < 0                                              ? 0
               : n > static_cast<int16_t>(EntryLayout::kMaxNotes) ? static_cast<int32_t>(EntryLayout::kMaxNotes)
                                                                  : n;
    }
    int16_t horizontalOffset() const { return ReadI16(m_bytes, EntryLayout::kHorizontalOffset); }
    Edu position() const { return ReadI32(m_bytes, EntryLayout::kPosition); }
    Edu actualDuration() const { return ReadI32(m_bytes, EntryLayout::kActualDuration); }
    /// Where the entry ends: position + actual duration, kept within 32 bits for a damaged entry.
    Edu end() const {
        const int64_t end = int64_t{position()} + actualDuration();
        return static_cast<Edu>(std::clamp<int64_t>(end, INT32_MIN, INT32_MAX));
    }
    bool has(uint32_t flag) const { return (flags() & flag) != 0; }
    bool isNote() const { return has(kEntryNote); }
    /// Note i (0 = bottom), i in 0..11.
    BasicNoteView<Byte> note(int32_t i) const {
        return BasicNoteView<Byte>(m_bytes + EntryLayout::kNotes + static_cast<size_t>(i) * NoteLayout::kSize);
    }

    void setNumber(EntryNumber v) const requires(!std::is_const_v<Byte>) { WriteI32(m_bytes, EntryLayout::kNumber, v); }
    void setDuration(int16_t v) const requires(!std::is_const_v<Byte>) { WriteI16(m_bytes, EntryLayout::kDuration, v); }
    void setHorizontalOffset(int16_t v) const requires(!std::is_const_v<Byte>) {
        WriteI16(m_bytes, EntryLayout::kHorizontalOffset, v);
    }
    void setFlags(uint32_t v) const requires(!std::is_const_v<Byte>) { WriteU32(m_bytes, EntryLayout::kFlags, v); }
    void setMoreFlags(uint16_t v) const requires(!std::is_const_v<Byte>) {
        WriteU16(m_bytes, EntryLayout::kMoreFlags, v);
    }
    void setNoteCount(int16_t v) const requires(!std::is_const_v<Byte>) {
        WriteI16(m_bytes, EntryLayout::kNoteCount, v);
    }
    void setPosition(Edu v) const requires(!std::is_const_v<Byte>) { WriteI32(m_bytes, EntryLayout::kPosition, v); }
    void setActualDuration(Edu v) const requires(!std::is_const_v<Byte>) {
        WriteI32(m_bytes, EntryLayout::kActualDuration, v);
    }
    void setFlag(uint32_t flag, bool on) const requires(!std::is_const_v<Byte>) {
        setFlags(on ? flags() | flag : flags() & ~flag);
    }

private:
    Byte* m_bytes;
};
using EntryView = BasicEntryView<uint8_t>;
using ConstEntryView = BasicEntryView<const uint8_t>;

/// An entry of its own (a caller's buffer, a copy).
struct EntryRecord {
    std::array<uint8_t, EntryLayout::kSize> bytes{};
    uint8_t* data() { return bytes.data(); }
    const uint8_t* data() const { return bytes.data(); }
    EntryView view() { return EntryView(bytes.data()); }
    ConstEntryView view() const { return ConstEntryView(bytes.data()); }
};
static_assert(sizeof(EntryRecord) == EntryLayout::kSize);

/// A note of its own (the pitch service takes one).
struct NoteRecord {
    std::array<uint8_t, NoteLayout::kSize> bytes{};
    uint8_t* data() { return bytes.data(); }
    const uint8_t* data() const { return bytes.data(); }
    NoteView view() { return NoteView(bytes.data()); }
    ConstNoteView view() const { return ConstNoteView(bytes.data()); }
};
static_assert(sizeof(NoteRecord) == NoteLayout::kSize);

/// The entry array of one cell as the host lends it. The host owns it and the entries; a
/// plug-in may change the entries' bytes and lower `count`, and changes their number only
/// through services 5 and 6, after which `entries` must be read again.
struct EntryArray {
    InstrumentKey staff = 0;     ///< the staff (instrument key) of the cell
    MeasureNumber measure = 0;   ///< the measure of the cell
    LayerIndex layer = 0;        ///< 0-3; a save writes the entries to this layer of the cell
    uint8_t* entries = nullptr;  ///< the first entry; the entries lie one behind the other
    int16_t count = 0;           ///< number of entries (may be 0)

    /// Entry i (0-based); the caller keeps i below count.
    EntryView entry(int32_t i) const { return EntryView(entries + static_cast<size_t>(i) * EntryLayout::kSize); }
};

}  // namespace hostapi
