// The host's plug-in services that Orvex188 imports, resolved by ordinal from the host
// program's module the first time they are needed. A service the host does not offer stays
// null; the access layer then reports failure instead of calling it.
#pragma once

#include "platform/hostapi/services.h"

namespace orvex {

// clang-format off
#define ORVEX_HOST_IMPORTS(X)                                    \
    X(LoadEntryArray, hostapi::LoadEntryArrayFn)                 \
    X(SaveEntryArray, hostapi::SaveEntryArrayFn)                 \
    X(ReleaseEntryArray, hostapi::ReleaseEntryArrayFn)           \
    X(InsertEntries, hostapi::InsertEntriesFn)                   \
    X(DeleteEntries, hostapi::DeleteEntriesFn)                   \
    X(LoadRecord, hostapi::LoadRecordFn)                         \
    X(SaveRecord, hostapi::SaveRecordFn)                         \
    X(CreateRecord, hostapi::CreateRecordFn)                     \
    X(DeleteRecord, hostapi::DeleteRecordFn)                     \
    X(PreviousRecord, hostapi::StepRecordFn)                     \
    X(NextRecord, hostapi::StepRecordFn)                         \
    X(RunDialog, hostapi::RunDialogFn)                           \
    X(EndDialog, hostapi::EndDialogFn)                           \
    X(RedrawMeasures, hostapi::RedrawMeasuresFn)                 \
    X(InstrumentOfSlot, hostapi::InstrumentOfSlotFn)             \
    X(ShowMeasure, hostapi::ShowMeasureFn)                       \
    X(FontName, hostapi::FontNameFn)                             \
    X(FontNumber, hostapi::FontNumberFn)                         \
    X(GetSelection, hostapi::GetSelectionFn)                     \
    X(RedrawDocument, hostapi::RedrawDocumentFn)                 \
    X(NotePitch, hostapi::NotePitchFn)                           \
    X(SlotOfInstrument, hostapi::SlotOfInstrumentFn)             \
    X(CellKey, hostapi::CellKeyFn)                               \
    X(EnableControl, hostapi::EnableControlFn)                   \
    X(FocusControl, hostapi::FocusControlFn)                     \
    X(PitchName, hostapi::PitchNameFn)                           \
    X(PitchFromName, hostapi::PitchFromNameFn)                   \
    X(UpdateLayout, hostapi::UpdateLayoutFn)                     \
    X(SyllablePlace, hostapi::SyllablePlaceFn)                   \
    X(EntryPlacement, hostapi::EntryPlacementFn)                 \
    X(SyllableText, hostapi::SyllableTextFn)                     \
    X(MeasureLength, hostapi::MeasureLengthFn)                   \
    X(FilledTime, hostapi::FilledTimeFn)                         \
    X(SimplifyRhythm, hostapi::SimplifyRhythmFn)                 \
    X(BeginProgress, hostapi::BeginProgressFn)                   \
    X(EndProgress, hostapi::EndProgressFn)                       \
    X(StepProgress, hostapi::StepProgressFn)                     \
    X(GetControlValue, hostapi::GetControlValueFn)               \
    X(SetControlValue, hostapi::SetControlValueFn)               \
    X(GetControlText, hostapi::GetControlTextFn)                 \
    X(SetControlText, hostapi::SetControlTextFn)                 \
    X(LayerShown, hostapi::LayerShownFn)                         \
    X(DocumentIdentity, hostapi::DocumentIdentityFn)
// clang-format on

/// One pointer per imported service, named after the service.
struct HostImports {
#define ORVEX_IMPORT_MEMBER(name, type) type name = nullptr;
    ORVEX_HOST_IMPORTS(ORVEX_IMPORT_MEMBER)
#undef ORVEX_IMPORT_MEMBER
};

/// The imports, resolved from the host's module on first use.
const HostImports& Imports();
/// Forgets the resolved imports, so that the next use resolves them from the host running then.
void ResetHostImports();

/// The staff at a place of a view (service InstrumentOfSlot); 0 when the host does not offer it.
hostapi::InstrumentKey StaffOfSlot(int32_t slot, hostapi::ViewKey view);
/// The place of a staff in a view (service SlotOfInstrument); 0 when the host does not offer it.
hostapi::StaffSlot SlotOfStaff(int32_t staff, hostapi::ViewKey view);
/// The key of a cell in `mode` (service CellKey); 0 when the host does not offer it.
int16_t CellKeyValue(int32_t measure, int32_t staff, int16_t mode);
/// The identity the host gives the document in front (service DocumentIdentity), which tells two
/// documents of the same name apart and is never given to another document; 0 when there is none
/// or the host does not offer it.
int32_t FrontDocumentIdentity();

/// True when the host offers `service` (a member of HostImports, e.g. &HostImports::NotePitch).
template <class Fn>
bool HostOffers(Fn HostImports::*service) {
    return Imports().*service != nullptr;
}

// Each service below is called as the host defines it; a service the host does not offer does
// nothing and gives 0.

/// The pitch of a note under a key (service NotePitch).
int16_t NotePitchValue(const uint8_t* note, int16_t key);
/// The length of a measure of a staff, or of the measure when `staff` is 0 (service MeasureLength).
hostapi::Edu MeasureLengthValue(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure);
/// The time the entries of a cell fill (service FilledTime).
hostapi::Edu FilledTimeOf(hostapi::EntryArray* array);
/// Simplifies the rhythm of a cell's entries (service SimplifyRhythm).
int16_t SimplifyRhythmOf(hostapi::EntryArray* array);
/// The number of the font named `name` (service FontNumber).
int16_t FontNumberOf(const char* name);
/// Writes the name of font `number` into `buffer` of 256 bytes (service FontName).
int16_t FontNameOf(int16_t number, char* buffer);
/// The byte offset of a syllable of a lyric text (service SyllablePlace).
int32_t SyllablePlaceOf(const char* text, int16_t index, hostapi::Tag textTag, hostapi::SyllableInfo* info);
/// The characters and state of a syllable of a lyric text (service SyllableText).
int16_t SyllableTextOf(hostapi::Tag textTag, int16_t textNumber, int16_t syllable, char* buffer, int16_t size,
                       int16_t* kind, hostapi::SyllableInfo* fontState, int16_t* hyphen, int16_t* width);
/// Where an entry stands on its system (service EntryPlacement).
int16_t EntryPlacementOf(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure, hostapi::EntryNumber entry,
                         hostapi::EntryBox* box, hostapi::EntryMetrics* metrics);
/// The name of a pitch (service PitchName).
int16_t PitchNameOf(int16_t pitch, char* buffer, int16_t size);
/// The pitch a typed name gives (service PitchFromName).
int16_t PitchFromNameOf(const char* text);
/// The host's current selection and document region (service GetSelection).
int16_t HostSelection(uint8_t* selection, uint8_t* document);
/// Redraws the document, or only a region of it (service RedrawDocument).
int16_t RedrawHostDocument(const uint8_t* regionOrNull);
/// Redraws measures of a view (service RedrawMeasures).
int16_t RedrawHostMeasures(hostapi::MeasureNumber first, hostapi::MeasureNumber last, hostapi::ViewKey view);
/// Scrolls the host's view to a measure (service ShowMeasure).
int16_t ShowHostMeasure(hostapi::MeasureNumber measure);
/// Whether the host shows layer `layer` (service LayerShown).
int16_t HostLayerShown(hostapi::LayerIndex layer);
/// The value of a control of a host window (service GetControlValue).
int32_t HostControlValue(win::Hwnd dialog, int32_t control, int32_t kind);

}  // namespace orvex
