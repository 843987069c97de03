// Every export of Lumvar2000: its name, the function that carries it out and its signature.
// exports.cpp defines the exports by these names; LumvarExport answers them in-process.
#pragma once

#include "platform/hostapi/entry_points.h"
#include "platform/win/modules.h"
#include "service/control_panel.h"
#include "service/durations.h"
#include "service/font_annotations.h"
#include "service/layout_services.h"
#include "service/lumvar.h"
#include "service/lumvar_api.h"
#include "service/names.h"
#include "service/preferences.h"
#include "service/record_forwards.h"
#include "service/text_services.h"
#include "service/translations.h"
#include "service/window_services.h"

// clang-format off
#define LUMVAR_ENTRY_POINTS(X)                                                                     \
    X(DllEntryPoint, lumvar::DllEntryPoint, win::DllEntryPointFn)                                  \
    X(FinaleExtensionVersion, lumvar::FinaleExtensionVersion, hostapi::FinaleExtensionVersionFn)   \
    X(FinaleExtensionInit, lumvar::FinaleExtensionInit, hostapi::FinaleExtensionInitFn)            \
    X(FinaleExtensionEnumerate, lumvar::FinaleExtensionEnumerate, hostapi::FinaleExtensionEnumerateFn) \
    X(FinaleExtensionInvoke, lumvar::FinaleExtensionInvoke, hostapi::FinaleExtensionInvokeFn)      \
    X(FinaleExtensionGetMenuStatus, lumvar::FinaleExtensionGetMenuStatus, hostapi::FinaleExtensionGetMenuStatusFn) \
    X(FinaleExtensionTerminate, lumvar::FinaleExtensionTerminate, hostapi::FinaleExtensionTerminateFn)

/// The services, in the order Orvex188 binds them (pLUMVAR_InitByFinale first).
#define LUMVAR_SERVICES(X)                                                                \
    X(pLUMVAR_InitByFinale, lumvar::InitByFinale, lumvar::InitByFinaleFn)                 \
    X(pLUMVAR_Version, lumvar::Version, lumvar::VersionFn)                                \
    X(pFTX_FinaleVersion, lumvar::FinaleVersion, lumvar::FinaleVersionFn)                 \
    X(pFTX_FinaleWindow, lumvar::FinaleWindow, lumvar::FinaleWindowFn)                    \
    X(pLUMVAR_HandShake, lumvar::HandShake, lumvar::HandShakeFn)                          \
    X(pLUMVAR_RawFXTVersion, lumvar::RawFXTVersion, lumvar::RawFXTVersionFn)              \
    X(pLUMVAR_DialogBox, lumvar::DialogBox, lumvar::DialogBoxFn)                          \
    X(pFTX_CountItems, lumvar::CountItems, lumvar::CountItemsFn)                          \
    X(pFTX_GetLayoutInfo, lumvar::GetLayoutInfo, lumvar::GetLayoutInfoFn)                 \
    X(pFTX_SystemRangeOnPage, lumvar::SystemRangeOnPage, lumvar::SystemRangeOnPageFn)     \
    X(pFTX_GetInstrumentList, lumvar::GetInstrumentList, lumvar::GetInstrumentListFn)     \
    X(pFTX_CountInstruments, lumvar::CountInstruments, lumvar::CountInstrumentsFn)        \
    X(pFTX_GetStaffEnduction, lumvar::GetStaffEnduction, lumvar::GetStaffEnductionFn)     \
    X(pFTX_ExtractedPartIsUsed, lumvar::ExtractedPartIsUsed, lumvar::ExtractedPartIsUsedFn) \
    X(pFTX_LoadStaffSystemSpec, lumvar::LoadStaffSystemSpec, lumvar::StaffSystemRecordFn)   \
    X(pFTX_SaveStaffSystemSpec, lumvar::SaveStaffSystemSpec, lumvar::StaffSystemRecordFn)   \
    X(pFTX_ChangeLayoutInfo, lumvar::ChangeLayoutInfo, lumvar::ChangeLayoutInfoFn)        \
    X(pFTX_LoadURL, lumvar::LoadURL, lumvar::LoadURLFn)                                   \
    X(pFTX_GetDocumentWindow, lumvar::GetDocumentWindow, lumvar::GetDocumentWindowFn)     \
    X(pFTX_IsPageView, lumvar::IsPageView, lumvar::WordQueryFn)                           \
    X(pFTX_GetCurrentPage, lumvar::GetCurrentPage, lumvar::WordQueryFn)                   \
    X(pFTX_GetControl, lumvar::GetControl, lumvar::GetControlFn)                          \
    X(pFTX_ShowControl, lumvar::ShowControl, lumvar::ShowControlFn)                       \
    X(pFTX_GetDlgPos, lumvar::GetDlgPos, lumvar::DlgPosFn)                                \
    X(pFTX_SetDlgPos, lumvar::SetDlgPos, lumvar::DlgPosFn)                                \
    X(pFTX_KeyPressed, lumvar::KeyPressed, lumvar::WordQueryFn)                           \
    X(pFTX_ToggleCheckbox, lumvar::ToggleCheckbox, lumvar::ToggleCheckboxFn)              \
    X(pFTX_StripCarets, lumvar::StripCarets, lumvar::StripCaretsFn)                       \
    X(pFTX_GetRawText, lumvar::GetRawText, lumvar::GetRawTextFn)                          \
    X(pFTX_SetRawText, lumvar::SetRawText, lumvar::SetRawTextFn)                          \
    X(pFTX_GetTextBlock, lumvar::GetTextBlock, lumvar::GetTextBlockFn)                    \
    X(pFTX_SetTextBlock, lumvar::SetTextBlock, lumvar::SetTextBlockFn)                    \
    X(pFTX_GetInstName, lumvar::GetInstName, lumvar::GetInstNameFn)                       \
    X(pLUMVAR_GetGlobals, lumvar::GetGlobals, lumvar::GetGlobalsFn)                       \
    X(pFTX_Allow2ndMonitor, lumvar::Allow2ndMonitor, lumvar::WordQueryFn)                 \
    X(pFTX_ULWhenNeeded, lumvar::ULWhenNeeded, lumvar::WordQueryFn)                       \
    X(pFTXW_ReadSettings, lumvar::ReadSettings, lumvar::ReadSettingsFn)                   \
    X(pFTXW_WriteSettings, lumvar::WriteSettings, lumvar::WriteSettingsFn)                \
    X(pFTX_LoadDetail, lumvar::LoadDetail, lumvar::LoadDetailFn)                          \
    X(pFTX_SaveDetail, lumvar::SaveDetail, lumvar::LoadDetailFn)                          \
    X(pFTX_CreateDetail, lumvar::CreateDetail, lumvar::CreateDetailFn)                    \
    X(pFTX_DeleteDetail, lumvar::DeleteDetail, lumvar::DeleteDetailFn)                    \
    X(pFTX_LoadEntryDetail, lumvar::LoadEntryDetail, lumvar::LoadEntryDetailFn)           \
    X(pFTX_SaveEntryDetail, lumvar::SaveEntryDetail, lumvar::LoadEntryDetailFn)           \
    X(pFTX_CreateEntryDetail, lumvar::CreateEntryDetail, lumvar::CreateEntryDetailFn)     \
    X(pFTX_DeleteEntryDetail, lumvar::DeleteEntryDetail, lumvar::DeleteEntryDetailFn)     \
    X(pFTX_LoadOther, lumvar::LoadOther, lumvar::LoadOtherFn)                             \
    X(pFTX_SaveOther, lumvar::SaveOther, lumvar::LoadOtherFn)                             \
    X(pFTX_CreateOther, lumvar::CreateOther, lumvar::CreateOtherFn)                       \
    X(pFTX_DeleteOther, lumvar::DeleteOther, lumvar::DeleteOtherFn)                       \
    X(pFTX_PreviousOther, lumvar::PreviousOther, lumvar::CreateOtherFn)                   \
    X(pFTX_NextOther, lumvar::NextOther, lumvar::CreateOtherFn)                           \
    X(pFTX_LoadGlobal, lumvar::LoadGlobal, lumvar::LoadGlobalFn)                          \
    X(pFTXW_GetINIFileName, lumvar::GetINIFileName, lumvar::GetINIFileNameFn)             \
    X(pFTX_printfOutput, lumvar::PrintfOutput, lumvar::PrintfOutputFn)                    \
    X(pFTX_SplitEDU, lumvar::SplitEDU, lumvar::SplitEDUFn)                                \
    X(pFTX_MakeEDU, lumvar::MakeEDU, lumvar::MakeEDUFn)                                   \
    X(pFTX_ErrorBeep, lumvar::ErrorBeep, lumvar::ErrorBeepFn)                             \
    X(pFTX_GetScrollViewMeasure, lumvar::GetScrollViewMeasure, lumvar::WordQueryFn)       \
    X(pFTX_LeftmostMeasure, lumvar::LeftmostMeasure, lumvar::WordQueryFn)                 \
    X(pFTX_SetFinaleInFocus, lumvar::SetFinaleInFocus, lumvar::SetFinaleInFocusFn)        \
    X(pFTX_ToggleWindowSize, lumvar::ToggleWindowSize, lumvar::ToggleWindowSizeFn)        \
    X(pFTX_StringToMeasure, lumvar::StringToMeasure, lumvar::StringToMeasureFn)           \
    X(pFTX_MeasureToString, lumvar::MeasureToString, lumvar::MeasureToStringFn)           \
    X(pFTX_GetGroupName, lumvar::GetGroupName, lumvar::GetGroupNameFn)                    \
    X(pFTX_GetStaffsetName, lumvar::GetStaffsetName, lumvar::ListNameFn)                  \
    X(pFTX_GetSystemName, lumvar::GetSystemName, lumvar::ListNameFn)                      \
    X(pFTX_GetInstNameInIUList, lumvar::GetInstNameInIUList, lumvar::GetInstNameInIUListFn) \
    X(pFTX_NextInstrument, lumvar::NextInstrument, lumvar::StepInstrumentFn)              \
    X(pFTX_PrevInstrument, lumvar::PrevInstrument, lumvar::StepInstrumentFn)              \
    X(pFTX_GetIUListForSystem, lumvar::GetIUListForSystem, lumvar::GetIUListForSystemFn)  \
    X(pFTX_IsWithinInstRange, lumvar::IsWithinInstRange, lumvar::IsWithinInstRangeFn)     \
    X(pFTX_UserLanguage, lumvar::UserLanguage, lumvar::WordQueryFn)                       \
    X(pLUMVAR_SetNotifyHook, lumvar::SetNotifyHook, lumvar::SetNotifyHookFn)              \
    X(pFTX_ReturnFocusToFinale, lumvar::ReturnFocusToFinale, lumvar::WordQueryFn)         \
    X(pFTX_NonFocusCollapse, lumvar::NonFocusCollapse, lumvar::WordQueryFn)               \
    X(pFTX_GetFANSlotInfo, lumvar::GetFANSlotInfo, lumvar::GetFANSlotInfoFn)              \
    X(pFTX_GetFANInfo, lumvar::GetFANInfo, lumvar::GetFANInfoFn)                          \
    X(pFTX_GetFANExtendedInfo, lumvar::GetFANExtendedInfo, lumvar::GetFANExtendedInfoFn)  \
    X(pFTX_TranslateID, lumvar::TranslateID, lumvar::TranslateIDFn)                       \
    X(pFTX_TranslateWord, lumvar::TranslateWord, lumvar::TranslateWordFn)                 \
    X(pFTX_TranslateFromTable, lumvar::TranslateFromTable, lumvar::TranslateFromTableFn)  \
    X(pFTX_DurationString, lumvar::DurationString, lumvar::DurationStringFn)              \
    X(pFTXW_ResolveShortcuts, lumvar::ResolveShortcuts, lumvar::ResolveShortcutsFn)       \
    X(pFTX_TranslateString, lumvar::TranslateString, lumvar::TranslateStringFn)
// clang-format on
