// The system's free texts (English and German) keyed by a stable enum: the messages and questions
// the parts show with ShowMessage and Ask, progress captions, result lines and labels built at run
// time. Their places ("%1" ...) are filled with FormatText (core/host/text_format.h); a row without
// a German text shows the English one. The rows live in core/free_texts_table.cpp.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

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
    NoPlaybackEffectsOrNotes,
    NothingDoneNoSmartShapes,
    FailedGetMetricsInformationMake,
    PlaybackNotesTremoloInMeasure,
    NotAvailableInBuild,  ///< %1 the command
    InternalErrorWith,    ///< %1 what failed
    SmallErrorSaveAs,
    SelectRegionWithMassMover,
    CommandNoLongerNeeded,
    ScrollViewOnly,
    UserManualNotFound,
    ConfirmKey,         ///< %1 the key's name; English only
    ConfirmKeyCaption,  ///< English only
    SelectReadOrCompare,
    SelectExactlyOneStaff,
    NothingReadToCompare,
    SelectOneStaffOnly,
    NotReplaceNoteName,           ///< %1 the typed text
    OptimizationErrorInstrument,  ///< %1 the instrument
    SystemNeedsAStaff,
    NotValidFloatingPoint,        ///< %1 the typed text; English only
    FunctionNeedsHostYear,        ///< %1 the year
    ExplodingUpwardNotSupported,  ///< %1 the measure
    MeasureHasMoreParts,          ///< %1 the measure, %2 the parts found, %3 the staves there
    AtMostStaves,                 ///< %1 a count
    DeletingEnclosure,            ///< %1 the place, %2 the expression's text
    SelectMeasuresOneSystem,
    CannotSplitSystem,
    TooManySystemsSpecified,
    FileNotOpenPrintingStops,  ///< %1 the file
    NotPitchName,              ///< %1 the typed text
    ChooseKeyToAssign,
    ChoosePlugInCommand,
    NotValidMenuSelection,
    ReportErrorIndex,             ///< %1 the menu level
    CueSheetMissingMeasures,      ///< %1 the measures
    DeleteUnusedTextExpressions,  ///< %1 the count
    // A multi-step command and its document (core/waiting_run.h): %1 the command, %2 the document.
    RunWaitsForItsDocument,
    RunEndedDocumentClosed,
    RunEndedAnotherCommand,
    RunEndedKeysLost,
    RunEndedRegionNotSelected,  ///< %3 the staves, %4 the measures asked for
    RunEndedUndo,
    TransferSkippedItems,  ///< %1 the count
    // Progress captions of the options dialog, in English in both languages.
    ProgressShiftingSystems,
    ProgressShiftingSystemOptimizations,
    ProgressAdjustingMeasureGroups,
    ProgressRedistributingMeasuresLower,
    ProgressRedistributingMeasures,
    ProgressSplittingPass,  ///< %1 the pass, %2 the passes
    ProgressShiftingOptimizations,
    ProgressInitializingNewSystems,
    ProgressUpdatingLayout,
    ProgressSelectingNotes,
    ProgressAdjustingDynamics,
    ProgressCopying,
    ProgressLoadedData,  ///< %1 the measures
    ProgressSavedData,   ///< %1 the measures
    ProgressCanceled,
    ProgressDone,
    // Progress captions of the smart explosion, in English in both languages.
    ProgressStartingRegion,
    ProgressCheckingStaves,
    ProgressDeterminingRegions,
    ProgressDeletingPartDesignations,
    ProgressOptimizingRegions,
    ProgressPasting,
    ProgressAligningDynamics,
    // Result lines and labels built at run time, in English in both languages unless a German
    // text is given.
    ResultSourceIsLarger,
    ResultNoChangesDetected,
    ResultDataHasBeenRead,
    ResultNothingFound,
    ResultStoppedBeforeMeasure,  ///< %1 the measure
    ResultMeasures,              ///< %1 a measure or a range of measures
    KeyMenuInaccessible,         ///< %1 the command
    KeyNoSuchPlugInCommand,      ///< %1 the command
    KeyTargetInaccessible,       ///< %1 the command
    SystemEndMeasure,            ///< %1 the measure
    ColumnCount,                 ///< %1 the columns
    // The binding's message boxes about Lumvar2000, in English in both languages.
    LumvarLoadErrorTitle,
    LumvarNotFound,
    LumvarNotInitialised,
    LumvarMissingFunction,  ///< %1 the function
    HandShakeErrorTitle,
    HandShakeError,
    Count
};

inline constexpr size_t kFreeTextCount = static_cast<size_t>(FreeText::Count);

extern const std::array<BilingualText, kFreeTextCount> kFreeTextTable;

/// The English and German text of a free message.
inline const BilingualText& FreeTextOf(FreeText text) {
    return kFreeTextTable[static_cast<size_t>(text)];
}

/// The English text of a free text with its places filled: for the texts the system shows in
/// English in both languages.
inline std::string EnglishText(FreeText text, TextArguments arguments = {}) {
    return FormatText(FreeTextOf(text).english, arguments);
}

}  // namespace orvex
