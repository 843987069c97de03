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

}  // namespace orvex
