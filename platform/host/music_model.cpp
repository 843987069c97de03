#include "platform/host/music_model.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>

#include "platform/host/record_layouts.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/music_records.h"

namespace host {
namespace {

using hostapi::StaffSpecLayout;

constexpr std::array<int32_t, 7> kSemitonesOfStep = {0, 2, 4, 5, 7, 9, 11};
constexpr std::array<int32_t, 7> kSharpOrder = {3, 0, 4, 1, 5, 2, 6};  // F C G D A E B
constexpr std::array<int32_t, 7> kFlatOrder = {6, 2, 5, 1, 4, 0, 3};   // B E A D G C F
constexpr std::string_view kLetters = "CDEFGAB";

int32_t FloorDiv(int32_t a, int32_t b) {
    const int32_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

int32_t Mod7(int32_t a) {
    return ((a % 7) + 7) % 7;
}

int32_t SignedLowByte(int16_t keyValue) {
    return static_cast<int8_t>(keyValue & 0xFF);
}

}  // namespace

bool IsNonLinearKey(int16_t keyValue) {
    return static_cast<uint16_t>(keyValue) >= 0x4000;
}

int32_t TonicStep(int16_t keyValue) {
    if (IsNonLinearKey(keyValue)) {
        return 0;
    }
    return Mod7(SignedLowByte(keyValue) * 4 + ((keyValue & 0x100) != 0 ? 5 : 0));
}

int32_t KeySignatureAccidental(int16_t keyValue, int32_t letter) {
    if (IsNonLinearKey(keyValue)) {
        return 0;
    }
    const int32_t count = SignedLowByte(keyValue);
    const std::array<int32_t, 7>& order = count >= 0 ? kSharpOrder : kFlatOrder;
    const int32_t n = std::abs(count);
    int32_t place = 0;
    while (order[static_cast<size_t>(place)] != Mod7(letter)) {
        ++place;
    }
    const int32_t times = n / 7 + (place < n % 7 ? 1 : 0);
    return count >= 0 ? times : -times;
}

int32_t PitchOfNote(hostapi::ConstNoteView note, int16_t keyValue) {
    const int32_t d = note.harmonicLevel() + TonicStep(keyValue);
    const int32_t letter = Mod7(d);
    return 60 + 12 * FloorDiv(d, 7) + kSemitonesOfStep[static_cast<size_t>(letter)] +
           KeySignatureAccidental(keyValue, letter) + note.alteration();
}

SpelledNote SpellNote(hostapi::ConstNoteView note, int16_t keyValue) {
    const int32_t step = note.harmonicLevel() + TonicStep(keyValue);
    return SpelledNote{step, note.alteration() + KeySignatureAccidental(keyValue, Mod7(step))};
}

void WriteNote(const SpelledNote& spelled, int16_t keyValue, hostapi::NoteView note) {
    note.setHarmonicLevel(static_cast<int16_t>(spelled.step - TonicStep(keyValue)));
    note.setAlteration(static_cast<int16_t>(spelled.accidental - KeySignatureAccidental(keyValue, Mod7(spelled.step))));
}

std::string PitchName(const SpelledNote& spelled) {
    std::string name(1, kLetters[static_cast<size_t>(Mod7(spelled.step))]);
    if (spelled.accidental > 0) {
        name.append(static_cast<size_t>(spelled.accidental), '#');
    } else if (spelled.accidental < 0) {
        name.append(static_cast<size_t>(-spelled.accidental), 'b');
    }
    return name + std::to_string(4 + FloorDiv(spelled.step, 7));
}

std::optional<int32_t> PitchOfName(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    const size_t step = kLetters.find(static_cast<char>(std::toupper(static_cast<unsigned char>(text.front()))));
    if (step == std::string_view::npos) {
        return std::nullopt;
    }
    text.remove_prefix(1);
    int32_t pitch = kSemitonesOfStep[step];
    if (!text.empty() && (text.front() == '#' || text.front() == 'b')) {
        const char sign = text.front();
        pitch += sign == '#' ? 1 : -1;
        while (!text.empty() && text.front() == sign) {
            text.remove_prefix(1);
        }
    }
    int32_t octave = 4;
    if (!text.empty()) {
        const bool negative = text.front() == '-';
        if (negative) {
            text.remove_prefix(1);
        }
        if (text.empty() || text.size() > 2 ||
            !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            return std::nullopt;
        }
        octave = std::stoi(std::string(text)) * (negative ? -1 : 1);
    }
    pitch += 12 * (octave + 1);
    if (pitch < 0 || pitch > 127) {
        return std::nullopt;
    }
    return pitch;
}

int16_t CellKeyValue(const Document& document, hostapi::MeasureNumber measure, hostapi::InstrumentKey staff,
                     int16_t mode) {
    const Bytes* record = document.Records().Find(RecordKey::Other(kTagMeasure, measure, 0));
    if (record == nullptr || record->size() < MeasureLayout::kKey + 2) {
        return 0;
    }
    const int16_t key = hostapi::ReadI16(record->data(), MeasureLayout::kKey);
    if (mode == 0 || IsNonLinearKey(key)) {
        return key;
    }
    const Bytes* staffRecord = document.Records().Find(RecordKey::Other(kTagStaff, staff, 0));
    if (staffRecord == nullptr || staffRecord->size() < StaffSpecLayout::kTransposition + 2) {
        return key;
    }
    const uint16_t word = hostapi::ReadU16(staffRecord->data(), StaffSpecLayout::kTransposition);
    if ((word & StaffSpecLayout::kChromaticTransposition) != 0) {
        return key;
    }
    const int32_t added = (word & 0x20) != 0 ? static_cast<int32_t>(word & 0x3F) - 0x40 : (word & 0x3F);
    const int32_t sharps = SignedLowByte(key) + added;
    return static_cast<int16_t>((key & ~0xFF) | (sharps & 0xFF));
}

hostapi::Edu MeasureLength(const Document& document, hostapi::MeasureNumber measure) {
    const Bytes* record = document.Records().Find(RecordKey::Other(kTagMeasure, measure, 0));
    if (record == nullptr || record->size() < MeasureLayout::kBeatDuration + 2) {
        return 0;
    }
    const int32_t beats = hostapi::ReadI16(record->data(), MeasureLayout::kBeats);
    const int32_t beatDuration = hostapi::ReadI16(record->data(), MeasureLayout::kBeatDuration);
    return beats > 0 && beatDuration > 0 ? beats * beatDuration : 0;
}

hostapi::InstrumentKey InstrumentOfSlot(const Document& document, hostapi::StaffSlot slot, hostapi::ViewKey view) {
    const std::vector<hostapi::InstrumentKey>& staves = document.StaffListOf(view);
    return slot >= 1 && static_cast<size_t>(slot) <= staves.size() ? staves[static_cast<size_t>(slot - 1)] : 0;
}

hostapi::StaffSlot SlotOfInstrument(const Document& document, hostapi::InstrumentKey staff, hostapi::ViewKey view) {
    const std::vector<hostapi::InstrumentKey>& staves = document.StaffListOf(view);
    for (size_t i = 0; i < staves.size() && i < static_cast<size_t>(INT16_MAX); ++i) {
        if (staves[i] == staff && staff != 0) {
            return static_cast<hostapi::StaffSlot>(i + 1);
        }
    }
    return 0;
}

int32_t StaffCountOfView(const Document& document, hostapi::ViewKey view) {
    return static_cast<int32_t>(document.StaffListOf(view).size());
}

const Bytes* RecordForLoad(const Document& document, const RecordKey& key) {
    if (const Bytes* stored = document.Records().Find(key)) {
        return stored;
    }
    if (key.tag == hostapi::kTagStaffSpec) {
        const auto staff = static_cast<hostapi::InstrumentKey>(key.first);
        if (document.CellExists(staff, key.second)) {
            return document.Records().Find(RecordKey::Other(kTagStaff, staff, 0));
        }
    }
    return nullptr;
}

int32_t ClefInEffect(const Document& document, hostapi::InstrumentKey staff, hostapi::MeasureNumber measure,
                     hostapi::Edu position) {
    using hostapi::CellClefLayout;
    using hostapi::ClefChangeLayout;
    const RecordStore& records = document.Records();
    // The staff's cell clefs are visited from the measure back, one ordered step to the latest
    // earlier measure that holds any record of the staff, not a lookup per measure: a score whose
    // clefs were set once would otherwise cost every entry a walk back to measure 1.
    std::optional<RecordKey> before = RecordKey::Detail(hostapi::kTagCellClef, staff, measure, 1);
    while ((before = records.Previous(*before)) && before->first == staff && before->second >= 1) {
        const hostapi::MeasureNumber m = before->second;
        before = RecordKey::Detail(hostapi::kTagCellClef, staff, m, 0);
        const Bytes* cell = records.Find(*before);
        if (cell == nullptr || cell->size() < CellClefLayout::kFlags + 2) {
            continue;
        }
        const int16_t clef = hostapi::ReadI16(cell->data(), CellClefLayout::kClef);
        if ((hostapi::ReadU16(cell->data(), CellClefLayout::kFlags) & CellClefLayout::kHasChanges) == 0) {
            return clef;
        }
        // A list of changes in the measure: the last one at or before the position (the last of
        // all in an earlier measure).
        int32_t found = -1;
        for (hostapi::Inci i = 0; i < INT16_MAX; ++i) {
            const Bytes* change = records.Find(RecordKey::Other(hostapi::kTagClefChange, clef, i));
            if (change == nullptr || change->size() < ClefChangeLayout::kSize) {
                break;
            }
            if (m < measure || hostapi::ReadI16(change->data(), ClefChangeLayout::kPosition) <= position || found < 0) {
                found = hostapi::ReadI16(change->data(), ClefChangeLayout::kClef);
            }
        }
        if (found >= 0) {
            return found;
        }
    }
    const Bytes* record = records.Find(RecordKey::Other(kTagStaff, staff, 0));
    if (record == nullptr || record->size() < StaffSpecLayout::kClef + 2) {
        return 0;
    }
    return hostapi::ReadI16(record->data(), StaffSpecLayout::kClef) & 0x0F;
}

int32_t MiddleCOfClef(int32_t clef) {
    return clef >= 0 && static_cast<size_t>(clef) < kClefs.size() ? kClefs[static_cast<size_t>(clef)].middleC
                                                                  : kClefs[0].middleC;
}

hostapi::Evpu StaffReferenceLine(const Document& document, hostapi::InstrumentKey staff) {
    for (hostapi::Inci place = 0; place < INT16_MAX; ++place) {
        const Bytes* entry = document.Records().Find(RecordKey::Other(kTagStaffListEntry, 0, place));
        if (entry == nullptr) {
            break;
        }
        if (entry->size() >= StaffListEntryLayout::kPosition + 4 &&
            hostapi::ReadI16(entry->data(), StaffListEntryLayout::kStaff) == staff) {
            return hostapi::ReadI32(entry->data(), StaffListEntryLayout::kPosition);
        }
    }
    return 0;
}

std::optional<int16_t> ClefByName(std::string_view name) {
    for (size_t i = 0; i < kClefs.size(); ++i) {
        if (kClefs[i].name == name) {
            return static_cast<int16_t>(i);
        }
    }
    return std::nullopt;
}

std::string ClefName(int32_t clef) {
    if (clef >= 0 && static_cast<size_t>(clef) < kClefs.size()) {
        return std::string(kClefs[static_cast<size_t>(clef)].name);
    }
    return "clef " + std::to_string(clef);
}

void AddClefDefinitions(Document& document) {
    using hostapi::ClefDefinitionLayout;
    RecordStore& records = document.Records();
    const auto keep = [&](const RecordKey& key, size_t offset, int16_t value) {
        if (records.Find(key) == nullptr) {
            Bytes bytes(ClefDefinitionLayout::kSize, 0);
            hostapi::WriteI16(bytes.data(), offset, value);
            records.Save(key, std::move(bytes));
        }
    };
    for (size_t clef = 0; clef < kClefs.size(); ++clef) {
        const int16_t middleC = kClefs[clef].middleC;
        const auto c = static_cast<int16_t>(clef);
        keep(RecordKey::Other(hostapi::kTagClefDefinitions2001, ClefDefinitionLayout::kKey,
                              static_cast<int16_t>(c * 24 / 16)),
             clef % 2 == 0 ? ClefDefinitionLayout::kEvenClef : ClefDefinitionLayout::kOddClef, middleC);
        keep(RecordKey::Global(hostapi::kTagClefDefinition2000, c), ClefDefinitionLayout::kEvenClef, middleC);
        keep(RecordKey::Other(hostapi::ClefDefinitionTagBefore2000(c), ClefDefinitionLayout::kKey, 0),
             ClefDefinitionLayout::kEvenClef, middleC);
    }
}

}  // namespace host
