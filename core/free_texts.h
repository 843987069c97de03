// Free message texts (English and German) that the parts show with ShowMessageText and AskYesNo,
// keyed by a stable enum; the rows live in core/free_texts_table.cpp.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/messages.h"

namespace orvex {

enum class FreeText : int32_t {
    TransferredNArticulationMetatools,
    TransferredNExpressionMetatools,
    CannotReadAndWrite,
    YouMadeChangesMoreThan,
    ChooseShowAllStavesIn,
    WarningThereAreEmptyText,
    CountUsedTextExpressionsWas,
    RenumberingWasStoppedNothingIn,
    NameSetRulesAndIts,
    All49PlacesForSets,
    KeyNotFound,
    MenuAssignedKeyboardShortcutCurrently,
    NFilesHaveBeenPrinted,
    AlignMovePlugInDoes,
    SelectionContainsMoreThanMaximum,
    InvalidFromSystemSpecified,
    SelectExactlyOneAction,
    InstrumentalGroupFoundWithMore,
    WarningCannotHandleSpecialCase,
    ErrorOccurredWhilePreparingDistribution,
    ErrorProcessingMeasureNDistribute,
    CouldNotIdentifySpecifiedDynamics,
    FailedGetPageLayoutInfo,
    SelectMeasureRegionNotStarting,
    ErrorUsingMassMoverTool,
    NoMeasureRegionFoundCould,
    Error34542,
    Error34543,
    SelectMeasuresFromTwoStaves,
    NoOptimizationErrorsFound,
    SelectMeasuresFromExactlyTwo,
    WouldBeyondBeginningFile,
    WouldBeyondEndFile,
    MeasureSelectionNotRecognizedWould,
    CannotPositivelyIdentifyAtLeast,
    NoDoubleFlatsOrDouble,
    Select0Or2Staves,
    CueNotesCanOnlyEntered,
    SelectOneStaffAsSource,
    InternalErrorInvalidNspEntnum,
    DocumentHasNoRoomFor,
    ErrorProcessingTupletsOutputWill,
    CouldNotTranslateNoteIn,
    PlugInMakesStringHarmonics,
    NoDoubleSharpsOrFlats,
    WarningYouHaveSwitchedDifferent,
    NoMoreEmptyLayersOperation,
    EffectInMeasureNToo,
    DeleteNotesAndRestsFrom,
    NoPlaybackEffectsOrNotes,
    NothingDoneNoSmartShapes,
    FailedGetMetricsInformationMake,
    PlaybackNotesTremoloInMeasure,
    Count
};

inline constexpr size_t kFreeTextCount = static_cast<size_t>(FreeText::Count);

extern const std::array<BilingualText, kFreeTextCount> kFreeTextTable;

/// The English and German text of a free message.
inline const BilingualText& FreeTextOf(FreeText text) {
    return kFreeTextTable[static_cast<size_t>(text)];
}

}  // namespace orvex
