// The host's plug-in services, by ordinal. Each service works on the host running now and,
// for stored records, on its document in front. A call without a document, with an interface
// version other than 0x05000005 or 0x06000200, or with missing keys fails (result 0) and
// changes nothing.
//
// Record services (9-14), beyond the rules of the record store (record_store.h):
//   9   load: writes at most *size bytes and sets *size to the bytes written. A null buffer
//       only asks whether the record exists; *size, when given, then receives the record's size.
//   10  save: size bytes from the buffer (a null buffer only with size 0).
//   11  create: as save; key words of -1 ask for new keys, which are written back.
//   12  delete.
//   13 / 14  previous / next: the keys of the record found are written back and at most size
//       bytes of it are copied when a buffer is given.
// A load or step that finds no record of a kind the document holds none of (staff systems,
// pages, beat charts) notes why for the user: when it is the last data service (records, entry
// arrays) of its call and the command changes nothing, the host says it (Host::NoteDataService).
// A load also answers the records the host computes: a staff record 'SOSC' that a cell does not
// store is the staff's own (music_model.h). The 24-byte staff system form 'O\x02SS' is known from
// host year 2001 on and only with interface version 0x06000200; before 2001, or with another
// version, every service refuses it. Saves, creates and deletes keep the two forms of a staff
// system in step (document.h). A tag whose writes a test or script has refused
// (Host::SetWritesRefused) is refused by save, create and delete.
//
// Layout: 41 lays the document out by the host's rule (page_layout.h) and answers 1; its first
// word (1, or the page a caller wants laid out) does not narrow it: the whole document is laid
// out every time.
//
// Fonts: 21 writes the name of a font number of the document's font table into the caller's
// 256-byte buffer and answers 1; for a number without a font it writes "" and answers 0. 22
// answers the number of a font name (compared without regard to ASCII case); a name the table
// does not hold yet joins it under the next free number (one above the highest, 0 for an empty
// table), as the host adds a font to a document when it is first used. An empty name answers -1.
//
// View services: 23 answers the user's selection (1) or none (0, the first record zero) and
// always the whole-document record; 17, 19 and 24 redraw and scroll, shown in the transcript.
//
// Edit brackets: 53 and 54 close the open step of the undo history, so that the changes a
// plug-in makes inside one bracket are one step (undo_journal.h).
//
// Music services: entry arrays (2-6, 51, 52) as entry_arrays.h says; staff slots (18, 31),
// pitch (29), key of a cell (33) and measure length (50) as music_model.h says; pitch names
// (39) with sharps for the black keys ("C#4") and their inverse (40: "C4", "C#4", "Bb3", "F#"
// with octave 4; -1 for a text that is no pitch name, music_model.h PitchOfName); the progress
// display (53-55) as progress.h says; 61 answers whether the host shows a layer (0 for a
// layer outside 0-3). Service 2 gives no array for a layer outside 0-3, a slot without a staff
// in the view or a measure that does not exist.
//
// Documents: 63 answers the identity of an open document (Host::DocumentIdentity): the plug-ins
// know a document by it, not by its name.
//
// Lyrics and placement: 42, 49 and 44 as lyric_services.h says.
//
// Host-run dialogs and the controls of the host's windows: 15, 16, 35, 36 and 57-60 as
// host_dialogs.h says (57 of kind 3 reads the page field of a document window as
// document_windows.h's ReadControlValue does).
#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "platform/host/document_windows.h"
#include "platform/host/entry_arrays.h"
#include "platform/host/host.h"
#include "platform/host/host_dialogs.h"
#include "platform/host/lyric_services.h"
#include "platform/host/music_model.h"
#include "platform/host/page_layout.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/records.h"
#include "platform/hostapi/services.h"
#include "platform/win/transcript.h"

namespace host {
namespace {

using hostapi::InterfaceVersion;
using hostapi::Tag;

/// The host running now, for a call with a version the host knows; else nullptr.
Host* HostFor(InterfaceVersion version) {
    if (version != hostapi::kInterfaceVersion && version != hostapi::kInterfaceVersion2001) {
        return nullptr;
    }
    return Host::Current();
}

Document* DocumentFor(InterfaceVersion version) {
    Host* host = HostFor(version);
    return host == nullptr ? nullptr : host->FrontDocument();
}

/// The document for a record service on a tag: none for the 24-byte staff system form before
/// host year 2001 or without its version, and none for a write the host refuses.
Document* DocumentForRecord(Tag tag, InterfaceVersion version, bool write) {
    Host* host = HostFor(version);
    if (host == nullptr) {
        return nullptr;
    }
    if (tag == hostapi::kTagStaffSystem2001 && (host->Year() < 2001 || version != hostapi::kInterfaceVersion2001)) {
        return nullptr;
    }
    if (write && host->WritesRefused(tag)) {
        return nullptr;
    }
    return host->FrontDocument();
}

/// Copies at most `room` bytes of a record; answers the bytes copied.
int32_t CopyOut(const Bytes& bytes, void* buffer, int32_t room) {
    const auto count = static_cast<int32_t>(std::min<size_t>(bytes.size(), static_cast<size_t>(room)));
    if (count > 0) {
        std::memcpy(buffer, bytes.data(), static_cast<size_t>(count));
    }
    return count;
}

/// The bytes a plug-in hands over; nullopt for a negative size or a missing buffer.
std::optional<Bytes> BytesIn(const void* buffer, int32_t size) {
    if (size < 0 || (buffer == nullptr && size > 0)) {
        return std::nullopt;
    }
    const auto* begin = static_cast<const uint8_t*>(buffer);
    return size == 0 ? Bytes() : Bytes(begin, begin + size);
}

/// The kinds of records a document may hold none of, which a plug-in cannot make up for: a load
/// (or step) of such a tag when the document holds none notes why the service found nothing.
struct LackedKind {
    Tag tag;
    const char* record;
    const char* lack;
};
constexpr LackedKind kLackedKinds[] = {
    {hostapi::kTagStaffSystem, "staff system",
     "the document has no staff systems (\"layout\" in a score text lays its music out in systems and pages)"},
    {hostapi::kTagStaffSystem2001, "staff system",
     "the document has no staff systems (\"layout\" in a score text lays its music out in systems and pages)"},
    {hostapi::kTagPage, "page",
     "the document has no pages (\"layout\" in a score text lays its music out in systems "
     "and pages)"},
    {hostapi::kTagBeatChart, "beat chart",
     "the document has no beat charts: no measure was note-spaced (Mass Edit/Music Spacing/Apply Note Spacing "
     "spaces the selected measures)"},
};

/// Tells the host of a record service's call (`service`) on the tag; `found` whether it found a
/// record. A tag of a kind the document holds none of is the reason it found nothing.
void NoteRecordService(Document& document, Tag tag, bool found, hostapi::Service service, InterfaceVersion version) {
    std::string failure;
    for (const LackedKind& kind : kLackedKinds) {
        if (!found && kind.tag == tag && !document.Records().Last(tag)) {
            failure = "service " + std::to_string(static_cast<int32_t>(service)) + " found no " + kind.record + ": " +
                      kind.lack;
        }
    }
    HostFor(version)->NoteDataService(std::move(failure));
}

int16_t LoadRecord(Tag tag, int16_t* keys, void* buffer, int32_t* size, InterfaceVersion version) {
    Document* document = DocumentForRecord(tag, version, false);
    if (document == nullptr || keys == nullptr) {
        return 0;
    }
    const Bytes* bytes = RecordForLoad(*document, RecordKey::FromKeysBlock(tag, keys));
    NoteRecordService(*document, tag, bytes != nullptr, hostapi::Service::LoadRecord, version);
    if (bytes == nullptr) {
        return 0;
    }
    if (buffer == nullptr) {
        if (size != nullptr) {
            *size = static_cast<int32_t>(bytes->size());
        }
        return 1;
    }
    if (size == nullptr || *size < 0) {
        return 0;
    }
    *size = CopyOut(*bytes, buffer, *size);
    return 1;
}

int16_t SaveRecord(Tag tag, const int16_t* keys, const void* buffer, int32_t size, InterfaceVersion version) {
    Document* document = DocumentForRecord(tag, version, true);
    std::optional<Bytes> bytes = BytesIn(buffer, size);
    if (document == nullptr || keys == nullptr || !bytes) {
        return 0;
    }
    document->SaveRecord(RecordKey::FromKeysBlock(tag, keys), std::move(*bytes));
    return 1;
}

int16_t CreateRecord(Tag tag, int16_t* keys, const void* buffer, int32_t size, InterfaceVersion version) {
    Document* document = DocumentForRecord(tag, version, true);
    std::optional<Bytes> bytes = BytesIn(buffer, size);
    if (document == nullptr || keys == nullptr || !bytes) {
        return 0;
    }
    const auto created = document->CreateRecord(RecordKey::FromKeysBlock(tag, keys), std::move(*bytes));
    if (!created) {
        return 0;
    }
    created->WriteKeysBlock(keys);
    return 1;
}

int16_t DeleteRecord(Tag tag, const int16_t* keys, InterfaceVersion version) {
    Document* document = DocumentForRecord(tag, version, true);
    if (document == nullptr || keys == nullptr) {
        return 0;
    }
    return document->DeleteRecord(RecordKey::FromKeysBlock(tag, keys)) ? 1 : 0;
}

template <bool Forward>
int16_t StepRecord(Tag tag, int16_t* keys, void* buffer, int32_t size, InterfaceVersion version) {
    Document* document = DocumentForRecord(tag, version, false);
    if (document == nullptr || keys == nullptr || (buffer != nullptr && size < 0)) {
        return 0;
    }
    const RecordKey from = RecordKey::FromKeysBlock(tag, keys);
    const auto found = Forward ? document->Records().Next(from) : document->Records().Previous(from);
    NoteRecordService(*document, tag, found.has_value(),
                      Forward ? hostapi::Service::NextRecord : hostapi::Service::PreviousRecord, version);
    if (!found) {
        return 0;
    }
    found->WriteKeysBlock(keys);
    if (buffer != nullptr) {
        CopyOut(*document->Records().Find(*found), buffer, size);
    }
    return 1;
}

// ---- Entry arrays ----

hostapi::EntryArray* LoadEntryArray(hostapi::ViewKey view, hostapi::StaffSlot slot, hostapi::MeasureNumber measure,
                                    hostapi::LayerIndex layer, int16_t flag, InterfaceVersion version) {
    Document* document = DocumentFor(version);
    if (document == nullptr || layer < 0 || layer > 3) {
        return nullptr;
    }
    HostFor(version)->NoteDataService();
    const hostapi::InstrumentKey staff = InstrumentOfSlot(*document, slot, view);
    if (staff == 0 || !document->CellExists(staff, measure)) {
        return nullptr;
    }
    return LendEntryArray(*document, CellKey{staff, measure, layer}, flag != 0);
}

int16_t SaveEntryArray(hostapi::EntryArray* array, InterfaceVersion version) {
    return HostFor(version) == nullptr ? 0 : SaveLentEntryArray(array);
}

int16_t ReleaseEntryArray(hostapi::EntryArray* array, InterfaceVersion version) {
    return HostFor(version) == nullptr ? 0 : ReleaseLentEntryArray(array);
}

int16_t InsertEntries(hostapi::EntryArray* array, int32_t index, int32_t count, InterfaceVersion version) {
    return HostFor(version) == nullptr ? 0 : InsertLentEntries(array, index, count);
}

int16_t DeleteEntries(hostapi::EntryArray* array, int32_t index, int32_t count, InterfaceVersion version) {
    return HostFor(version) == nullptr ? 0 : DeleteLentEntries(array, index, count);
}

hostapi::Edu FilledTime(hostapi::EntryArray* array, InterfaceVersion version) {
    return HostFor(version) == nullptr ? 0 : std::max<hostapi::Edu>(LentFilledTime(array), 0);
}

int16_t SimplifyRhythm(hostapi::EntryArray* array, InterfaceVersion version) {
    return HostFor(version) == nullptr ? 0 : SimplifyLentRhythm(array);
}

// ---- Music model ----

hostapi::InstrumentKey InstrumentOfSlotService(hostapi::StaffSlot slot, hostapi::ViewKey view,
                                               InterfaceVersion version) {
    Document* document = DocumentFor(version);
    return document == nullptr ? 0 : InstrumentOfSlot(*document, slot, view);
}

hostapi::StaffSlot SlotOfInstrumentService(hostapi::InstrumentKey staff, hostapi::ViewKey view,
                                           InterfaceVersion version) {
    Document* document = DocumentFor(version);
    return document == nullptr ? 0 : SlotOfInstrument(*document, staff, view);
}

int16_t NotePitch(const uint8_t* note, int16_t keyValue, InterfaceVersion version) {
    if (HostFor(version) == nullptr || note == nullptr) {
        return 0;
    }
    return static_cast<int16_t>(PitchOfNote(hostapi::ConstNoteView(note), keyValue));
}

int16_t CellKeyService(hostapi::MeasureNumber measure, hostapi::InstrumentKey staff, int16_t mode, int16_t /*zero*/,
                       InterfaceVersion version) {
    Document* document = DocumentFor(version);
    return document == nullptr ? 0 : CellKeyValue(*document, measure, staff, mode);
}

/// Service 39: the name of a chromatic pitch, sharps for the black keys ("C4", "C#4"), at most
/// size - 1 characters and a zero; 0 for a pitch outside 0-127 or no room.
int16_t PitchNameService(int16_t pitch, char* buffer, int16_t size, int16_t /*one*/, InterfaceVersion version) {
    static constexpr const char* kNames[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    if (HostFor(version) == nullptr || buffer == nullptr || size < 1 || pitch < 0 || pitch > 127) {
        return 0;
    }
    const std::string name = kNames[pitch % 12] + std::to_string(pitch / 12 - 1);
    const size_t length = std::min(name.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, name.data(), length);
    buffer[length] = '\0';
    return 1;
}

/// Service 40: the pitch of a name by the rule of PitchOfName (music_model.h); -1 for a text that
/// is no pitch name, so that a caller never takes such a text for a pitch.
int16_t PitchFromNameService(const char* text, InterfaceVersion version) {
    if (HostFor(version) == nullptr || text == nullptr) {
        return -1;
    }
    const std::optional<int32_t> pitch = PitchOfName(text);
    return pitch ? static_cast<int16_t>(*pitch) : int16_t{-1};
}

hostapi::Edu MeasureLengthService(hostapi::InstrumentKey /*staffOrZero*/, hostapi::MeasureNumber measure,
                                  InterfaceVersion version) {
    Document* document = DocumentFor(version);
    return document == nullptr ? 0 : MeasureLength(*document, measure);
}

int16_t UpdateLayout(int16_t /*pageOrOne*/, int16_t /*zero*/, InterfaceVersion version) {
    Host* host = HostFor(version);
    Document* document = host == nullptr ? nullptr : host->FrontDocument();
    if (document == nullptr) {
        return 0;
    }
    if (!host->LayoutHeld()) {
        LayOutDocument(*document);
    }
    return 1;
}

// ---- Progress display ----

int32_t BeginProgress(const uint8_t* region, int32_t steps, InterfaceVersion version) {
    Host* host = HostFor(version);
    if (host == nullptr) {
        return 0;
    }
    // The changes inside an edit bracket are one step of the undo history (inside a plug-in's call
    // the whole call is one step).
    host->CloseUndoStepsOutsideCalls();
    std::optional<hostapi::SelectionRecord> record;
    if (region != nullptr) {
        record.emplace();
        std::memcpy(record->bytes.data(), region, hostapi::SelectionRecord::kSize);
    }
    return host->Progress().Begin(record ? &*record : nullptr, steps);
}

int16_t StepProgress(int32_t handle, int32_t steps, hostapi::StaffSlot /*slotOrZero*/,
                     hostapi::MeasureNumber /*measureOrZero*/, int32_t /*minusOne*/, InterfaceVersion version) {
    Host* host = HostFor(version);
    return host == nullptr ? 1 : host->Progress().Step(handle, steps);
}

int16_t EndProgress(int32_t handle, int16_t stopped, InterfaceVersion version) {
    Host* host = HostFor(version);
    if (host == nullptr) {
        return 0;
    }
    const int16_t result = host->Progress().End(handle, stopped != 0);
    host->CloseUndoStepsOutsideCalls();
    return result;
}

int32_t DocumentIdentityService(int32_t which, InterfaceVersion version) {
    Host* host = HostFor(version);
    return host == nullptr ? 0 : host->DocumentIdentity(which);
}

int16_t LayerShown(hostapi::LayerIndex layer, InterfaceVersion version) {
    Host* host = HostFor(version);
    return host != nullptr && host->LayerShown(layer) ? 1 : 0;
}

// ---- Fonts ----

int16_t FontNameService(int16_t number, char* buffer, InterfaceVersion version) {
    Document* document = DocumentFor(version);
    if (document == nullptr || buffer == nullptr) {
        return 0;
    }
    const auto it = document->Fonts().find(number);
    const std::string name = it == document->Fonts().end() ? std::string() : it->second.substr(0, 255);
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    return it == document->Fonts().end() ? 0 : 1;
}

int16_t FontNumberService(const char* name, InterfaceVersion version) {
    Document* document = DocumentFor(version);
    if (document == nullptr || name == nullptr || name[0] == '\0') {
        return -1;
    }
    const auto lower = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
        return text;
    };
    const std::string wanted = lower(name);
    FontTable& fonts = document->Fonts();
    for (const auto& [number, font] : fonts) {
        if (lower(font) == wanted) {
            return number;
        }
    }
    const int16_t next = fonts.empty() ? int16_t{0} : static_cast<int16_t>(fonts.rbegin()->first + 1);
    if (next < 0) {
        return -1;  // the table is full
    }
    document->SetFont(next, name);
    return next;
}

// ---- Selection and views ----

int16_t GetSelection(uint8_t* selection, uint8_t* document, InterfaceVersion version) {
    Host* host = HostFor(version);
    if (host == nullptr) {
        return 0;
    }
    if (document != nullptr) {
        const hostapi::SelectionRecord whole = host->DocumentRegion();
        std::memcpy(document, whole.bytes.data(), hostapi::SelectionRecord::kSize);
    }
    const auto& current = host->Selection();
    if (selection != nullptr) {
        const hostapi::SelectionRecord none;
        std::memcpy(selection, (current ? *current : none).bytes.data(), hostapi::SelectionRecord::kSize);
    }
    return current ? 1 : 0;
}

int16_t RedrawMeasures(hostapi::MeasureNumber first, hostapi::MeasureNumber last, int16_t /*zero*/,
                       hostapi::ViewKey view, InterfaceVersion version) {
    if (HostFor(version) == nullptr) {
        return 0;
    }
    win::TranscriptWrite("host: redraw measures " + std::to_string(first) + "-" + std::to_string(last) + " of view " +
                         std::to_string(view));
    return 1;
}

int16_t ShowMeasure(hostapi::MeasureNumber measure, int16_t /*one*/, InterfaceVersion version) {
    if (HostFor(version) == nullptr) {
        return 0;
    }
    win::TranscriptWrite("host: bring measure " + std::to_string(measure) + " into view");
    return 1;
}

int16_t RedrawDocument(const uint8_t* region, InterfaceVersion version) {
    if (HostFor(version) == nullptr) {
        return 0;
    }
    win::TranscriptWrite(region == nullptr ? "host: redraw the document" : "host: redraw the document (region)");
    return 1;
}

template <typename Fn>
void* Address(Fn function) {
    return reinterpret_cast<void*>(function);
}

}  // namespace

void* ServiceByOrdinal(int32_t ordinal) {
    // The table grows with the host's document model; an ordinal that is not in it is not
    // offered, and a plug-in that imports it finds no address.
    using hostapi::Service;
    static const std::map<int32_t, void*> kServices = {
        {static_cast<int32_t>(Service::LoadEntryArray), Address<hostapi::LoadEntryArrayFn>(LoadEntryArray)},
        {static_cast<int32_t>(Service::SaveEntryArray), Address<hostapi::SaveEntryArrayFn>(SaveEntryArray)},
        {static_cast<int32_t>(Service::ReleaseEntryArray), Address<hostapi::ReleaseEntryArrayFn>(ReleaseEntryArray)},
        {static_cast<int32_t>(Service::InsertEntries), Address<hostapi::InsertEntriesFn>(InsertEntries)},
        {static_cast<int32_t>(Service::DeleteEntries), Address<hostapi::DeleteEntriesFn>(DeleteEntries)},
        {static_cast<int32_t>(Service::LoadRecord), Address<hostapi::LoadRecordFn>(LoadRecord)},
        {static_cast<int32_t>(Service::SaveRecord), Address<hostapi::SaveRecordFn>(SaveRecord)},
        {static_cast<int32_t>(Service::CreateRecord), Address<hostapi::CreateRecordFn>(CreateRecord)},
        {static_cast<int32_t>(Service::DeleteRecord), Address<hostapi::DeleteRecordFn>(DeleteRecord)},
        {static_cast<int32_t>(Service::PreviousRecord), Address<hostapi::StepRecordFn>(StepRecord<false>)},
        {static_cast<int32_t>(Service::NextRecord), Address<hostapi::StepRecordFn>(StepRecord<true>)},
        {static_cast<int32_t>(Service::InstrumentOfSlot),
         Address<hostapi::InstrumentOfSlotFn>(InstrumentOfSlotService)},
        {static_cast<int32_t>(Service::NotePitch), Address<hostapi::NotePitchFn>(NotePitch)},
        {static_cast<int32_t>(Service::SlotOfInstrument),
         Address<hostapi::SlotOfInstrumentFn>(SlotOfInstrumentService)},
        {static_cast<int32_t>(Service::CellKey), Address<hostapi::CellKeyFn>(CellKeyService)},
        {static_cast<int32_t>(Service::PitchName), Address<hostapi::PitchNameFn>(PitchNameService)},
        {static_cast<int32_t>(Service::PitchFromName), Address<hostapi::PitchFromNameFn>(PitchFromNameService)},
        {static_cast<int32_t>(Service::MeasureLength), Address<hostapi::MeasureLengthFn>(MeasureLengthService)},
        {static_cast<int32_t>(Service::UpdateLayout), Address<hostapi::UpdateLayoutFn>(UpdateLayout)},
        {static_cast<int32_t>(Service::FilledTime), Address<hostapi::FilledTimeFn>(FilledTime)},
        {static_cast<int32_t>(Service::SimplifyRhythm), Address<hostapi::SimplifyRhythmFn>(SimplifyRhythm)},
        {static_cast<int32_t>(Service::BeginProgress), Address<hostapi::BeginProgressFn>(BeginProgress)},
        {static_cast<int32_t>(Service::EndProgress), Address<hostapi::EndProgressFn>(EndProgress)},
        {static_cast<int32_t>(Service::StepProgress), Address<hostapi::StepProgressFn>(StepProgress)},
        {static_cast<int32_t>(Service::LayerShown), Address<hostapi::LayerShownFn>(LayerShown)},
        {static_cast<int32_t>(Service::DocumentIdentity),
         Address<hostapi::DocumentIdentityFn>(DocumentIdentityService)},
        {static_cast<int32_t>(Service::FontName), Address<hostapi::FontNameFn>(FontNameService)},
        {static_cast<int32_t>(Service::FontNumber), Address<hostapi::FontNumberFn>(FontNumberService)},
        {static_cast<int32_t>(Service::GetSelection), Address<hostapi::GetSelectionFn>(GetSelection)},
        {static_cast<int32_t>(Service::RedrawMeasures), Address<hostapi::RedrawMeasuresFn>(RedrawMeasures)},
        {static_cast<int32_t>(Service::ShowMeasure), Address<hostapi::ShowMeasureFn>(ShowMeasure)},
        {static_cast<int32_t>(Service::RedrawDocument), Address<hostapi::RedrawDocumentFn>(RedrawDocument)},
    };
    auto it = kServices.find(ordinal);
    if (it != kServices.end()) {
        return it->second;
    }
    if (void* dialogService = DialogServiceByOrdinal(ordinal)) {
        return dialogService;
    }
    return LyricServiceByOrdinal(ordinal);
}

}  // namespace host
