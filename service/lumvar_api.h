// Lumvar2000's interface as its clients see it: the signatures of the exported services (taken
// by name from the loaded module), the layouts of the records they exchange, the error codes
// and the notification codes. Header-only: a client includes it and never links Lumvar2000.
//
// Texts: the translation and word services answer UTF-8 (they name things in windows); the
// name and text-block services answer the document's 8-bit texts as the host stores them.
// Text results live in buffers of Lumvar2000 that the next call of the same service overwrites.
// A text block or name longer than its buffer (999 characters) is answered cut: pFTX_TextLength
// tells the client its whole length, and a client that must keep the text whole reads it from
// the document itself.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win/handles.h"

namespace lumvar {

/// Lumvar2000's own version, 2.08.
inline constexpr int32_t kMajorVersion = 2;
inline constexpr int32_t kMinorVersion = 8;

/// The module's file name, by which clients load it.
inline constexpr const char* kModuleFileName = "Lumvar2000.fxt";

// ---- Error codes of the services (results or err out-arguments) ----
inline constexpr int16_t ERR_OK = 0;
inline constexpr int16_t ERR_NULL_ARGUMENT = 2;     ///< a required pointer is null
inline constexpr int16_t ERR_UNKNOWN_KIND = 3;      ///< unknown kind or language, or the host is too old
inline constexpr int16_t ERR_OUT_OF_RANGE = 4;      ///< system, measure, index, duration or count out of range
inline constexpr int16_t ERR_RECORD_FAILED = 5;     ///< a host record could not be loaded or saved
inline constexpr int16_t ERR_NO_FAN_FOLDER = 7;     ///< no font annotation folder in the host's settings file
inline constexpr int16_t ERR_PAGE_LOAD = 11;        ///< a page record could not be loaded
inline constexpr int16_t ERR_NO_FIRST_SYSTEM = 12;  ///< a page has no first system
inline constexpr int16_t ERR_BAD_SIZE = 13;         ///< the size word or size argument is wrong
inline constexpr int16_t ERR_PAGE_NOT_FOUND = 14;   ///< the page of a system could not be found
inline constexpr int16_t ERR_NOT_FOUND = 17;        ///< identifier, annotation, list or row not found
inline constexpr int16_t ERR_NO_SLOT = 18;          ///< no annotation for that slot
inline constexpr int16_t ERR_NO_TEXT = 19;          ///< no text for a word or identifier; more than two dots
inline constexpr int16_t ERR_INVALID_VALUE = 20;    ///< invalid value, or a wrong or destroyed window

// ---- Results of pFTX_LoadURL ----
inline constexpr int16_t URL_OK = 0;
inline constexpr int16_t URL_OTHER_FAILURE = 1;
inline constexpr int16_t URL_FILE_NOT_FOUND = 6;
inline constexpr int16_t URL_PATH_NOT_FOUND = 7;
inline constexpr int16_t URL_OUT_OF_MEMORY = 8;
inline constexpr int16_t URL_EXCHANGE_FAILED = 9;
inline constexpr int16_t URL_NO_ASSOCIATION = 10;

// ---- Notification codes (LumvarNotifyProc) ----
// 1..6: the control panel changed preference 1 language, 2 update layout, 3 second monitor,
// 4 return focus, 5 collapse, 6 transparency (data: the new i16 value).
inline constexpr uint8_t NOTIFY_LANGUAGE = 1;
inline constexpr uint8_t NOTIFY_UPDATE_LAYOUT = 2;
inline constexpr uint8_t NOTIFY_SECOND_MONITOR = 3;
inline constexpr uint8_t NOTIFY_RETURN_FOCUS = 4;
inline constexpr uint8_t NOTIFY_COLLAPSE = 5;
inline constexpr uint8_t NOTIFY_TRANSPARENCY = 6;
inline constexpr uint8_t NOTIFY_HOST_COMMAND = 51;   ///< data: i16 1..6, the host command taken
inline constexpr uint8_t NOTIFY_LAST_DOCUMENT = 52;  ///< the last document window is being destroyed
inline constexpr uint8_t NOTIFY_DOCUMENT_TOP = 53;   ///< a document window came to the top
inline constexpr uint8_t NOTIFY_PAGE_VIEW = 54;      ///< data: i16 1 page view, 0 scroll view
inline constexpr uint8_t NOTIFY_ACTIVATE_APP = 55;   ///< data: i16 1 activated, 0 deactivated
inline constexpr uint8_t NOTIFY_DEBUG_FIRST = 101;   ///< 101..104: debug panel events 1..4
inline constexpr uint8_t NOTIFY_DEBUG_TEXT = 151;    ///< data: the text and its terminator

// ---- Languages (pFTX_TranslateID and friends) ----
inline constexpr int16_t kLanguageCount = 13;
inline constexpr int16_t LANGUAGE_ENGLISH_US = 0;
inline constexpr int16_t LANGUAGE_ENGLISH_INTERNATIONAL = 1;
inline constexpr int16_t LANGUAGE_GERMAN = 2;
inline constexpr int16_t LANGUAGE_ITALIAN = 3;
inline constexpr int16_t LANGUAGE_DUTCH = 9;
inline constexpr int16_t LANGUAGE_FLEMISH = 10;
inline constexpr int16_t LANGUAGE_PREFERRED = 10000;  ///< the user's preferred language
inline constexpr int16_t LANGUAGE_WIDEST = 20000;     ///< the language whose text is widest
/// Counts of pFTX_TranslateID beyond plain numbers.
inline constexpr int16_t COUNT_SHORT_BOTH = 0x7FFE;  ///< both forms, the plural shortened
inline constexpr int16_t COUNT_ANY = 0x7FFF;         ///< pFTX_TranslateWord: any count matches

// ---- Records ----

/// `LayoutInfo` (102 bytes), filled by pFTX_GetLayoutInfo. Offsets in bytes.
struct LayoutInfo {
    static constexpr size_t kSize = 102;
    static constexpr size_t kSizeWord = 0;          ///< i16, must be 102
    static constexpr size_t kTop = 2;               ///< i32, system top value, sign turned
    static constexpr size_t kMargin2 = 6;           ///< i32, system word at byte 2 (24-byte form)
    static constexpr size_t kMargin4 = 10;          ///< i32, system word at byte 4
    static constexpr size_t kHeight = 14;           ///< i32, total system height (computed)
    static constexpr size_t kWord0 = 18;            ///< i32, system word 0, sign turned (+ a from 2001)
    static constexpr size_t kWord6 = 22;            ///< i32, system word at byte 6, sign turned
    static constexpr size_t kStaffSpan = 26;        ///< i32, largest minus smallest staff distance
    static constexpr size_t kScaling = 30;          ///< i16, scaling percent
    static constexpr size_t kFlagBit0 = 32;         ///< i16, bit 0 of the system flag word
    static constexpr size_t kFlagBit1 = 34;         ///< i16, bit 1 of the system flag word
    static constexpr size_t kOwnList = 36;          ///< i16, 1: the system has its own staff list
    static constexpr size_t kMeasureFlag = 38;      ///< i16, from 2001: bit 0x08 of byte 17 of 'SOMS'
    static constexpr size_t kListKey = 40;          ///< i16, the system's staff list
    static constexpr size_t kCountedStaves = 42;    ///< i16
    static constexpr size_t kFirstStaffIndex = 44;  ///< i16, entry index of the first counted staff
    static constexpr size_t kLastStaffIndex = 46;   ///< i16
    static constexpr size_t kFirstMeasure = 48;     ///< i16
    static constexpr size_t kLastMeasure = 50;      ///< i16, end measure - 1
    static constexpr size_t kMeasureCount = 52;     ///< i16
    static constexpr size_t kPage = 54;             ///< i16; page fields only with the page flag
    static constexpr size_t kPageI32At4 = 56;       ///< i32, page i32 at byte 4
    static constexpr size_t kPageI32At0 = 60;       ///< i32, page i32 at byte 0
    static constexpr size_t kPagePercent = 64;      ///< i16, page word at byte 20
    static constexpr size_t kPageFlagBit1 = 66;     ///< i16, bit 1 of the page flag word (byte 10)
    static constexpr size_t kPageWord12 = 68;       ///< i32
    static constexpr size_t kPageWord14 = 72;       ///< i32
    static constexpr size_t kPageWord18 = 76;       ///< i32
    static constexpr size_t kPageWord16 = 80;       ///< i32
    static constexpr size_t kPageDerived84 = 84;    ///< i32, [56] + [76] - [72]
    static constexpr size_t kPageDerived88 = 88;    ///< i32, [68] + [60] - [80]
    static constexpr size_t kPageFirstSystem = 92;  ///< i16
    static constexpr size_t kPageSystemCount = 94;  ///< i16
    static constexpr size_t kPageLastSystem = 96;   ///< i16
    static constexpr size_t kPageHeight = 98;       ///< i32, page-derived height
};

/// `DurationParts` (12 bytes): pFTX_SplitEDU and pFTX_MakeEDU.
struct DurationParts {
    static constexpr size_t kSize = 12;
    static constexpr size_t kBase = 0;       ///< i32, 8192 ... 32, or 0 below 32
    static constexpr size_t kLevel = 4;      ///< i16, 1 for 8192 ... 9 for 32; 0 with base 0
    static constexpr size_t kDots = 6;       ///< i16
    static constexpr size_t kRemainder = 8;  ///< i32, EDUs left over
};

/// `WindowCollapseState` (14 bytes, packed), kept by the client for pFTX_ToggleWindowSize.
struct WindowCollapseState {
    static constexpr size_t kSize = 14;
    static constexpr size_t kWindow = 0;        ///< 4 bytes, the window handle
    static constexpr size_t kCollapsed = 4;     ///< i16
    static constexpr size_t kSavedWidth = 6;    ///< i32
    static constexpr size_t kSavedHeight = 10;  ///< i32
};

/// `LumvarPrefs`: 8 i16 words. Word 0 is the size the client asks for (8, 12 or 16 bytes).
struct LumvarPrefs {
    static constexpr size_t kSize = 16;
    static constexpr size_t kSizeWord = 0;
    static constexpr size_t kSecondMonitor = 2;         ///< word 1, default 0
    static constexpr size_t kUpdateLayout = 4;          ///< word 2, default 1
    static constexpr size_t kLanguage = 6;              ///< word 3, 0..12, default 0
    static constexpr size_t kReturnFocus = 8;           ///< word 4, default 0
    static constexpr size_t kCollapse = 10;             ///< word 5, default 1
    static constexpr size_t kTransparency = 12;         ///< word 6, 0/1, default 0
    static constexpr size_t kTransparencyPercent = 14;  ///< word 7, default 60
};

/// `FANSlot` (26 bytes, packed): the slot number and its six values.
struct FanSlot {
    static constexpr size_t kSize = 26;
    static constexpr size_t kSlot = 0;    ///< i16
    static constexpr size_t kValues = 2;  ///< six i32
};

/// A row of a caller's own translation table (pFTX_TranslateFromTable).
struct TranslationRow {
    const char* text;
    int16_t language;  ///< 0..12
};

/// The longest argument of a text command that pFTX_StripCarets copies into each of its
/// out-buffers (font, size, effects), terminator included: every given buffer must hold it.
inline constexpr size_t kStripArgumentSize = 32;
/// The room pFTXW_GetINIFileName's out-buffer must have, terminator included.
inline constexpr size_t kMaxPath = 260;

// ---- Signatures of the exported services ----
extern "C" {
using LumvarNotifyProc = void (*)(uint8_t code, int32_t size, const void* data);

using InitByFinaleFn = int16_t (*)();
using FinaleWindowFn = win::Hwnd (*)();
using RawFXTVersionFn = uint32_t (*)();
using FinaleVersionFn = int32_t (*)();
using VersionFn = int32_t (*)(int32_t* minorOut);
using HandShakeFn = int16_t (*)(int32_t major, int32_t minor);

using CountItemsFn = int32_t (*)(int16_t kind);
using SystemRangeOnPageFn = int16_t (*)(int16_t page, int16_t* first, int16_t* last);
using GetInstrumentListFn = int16_t (*)(int16_t kind, int16_t n);
using CountInstrumentsFn = int16_t (*)(int16_t listKey, int16_t all);
using GetStaffEnductionFn = int16_t (*)(int16_t key1, int16_t key2);
using ExtractedPartIsUsedFn = int16_t (*)();
using StaffSystemRecordFn = int16_t (*)(int16_t system, void* record, int16_t size, uint32_t callerVersion);
using GetIUListForSystemFn = int16_t (*)(int16_t system);
using StepInstrumentFn = int16_t (*)(int16_t staff, int16_t listKey);
using IsWithinInstRangeFn = int16_t (*)(int16_t staff, int16_t first, int16_t last, int16_t listKey);
using GetLayoutInfoFn = int16_t (*)(int16_t system, uint8_t* info, int16_t withPage);
using ChangeLayoutInfoFn = int16_t (*)(int16_t kind, int32_t value, int16_t key, int16_t operation, int16_t ignored);

using DialogBoxFn = int16_t (*)();
using GetDocumentWindowFn = win::Hwnd (*)();
using WordQueryFn = int16_t (*)();
using GetControlFn = win::Hwnd (*)(win::Hwnd dialog, int16_t id);
using ShowControlFn = void (*)(win::Hwnd dialog, int16_t id, int16_t show);
using DlgPosFn = void (*)(win::Hwnd window, int16_t* x, int16_t* y);
using ToggleCheckboxFn = void (*)(win::Hwnd dialog, int16_t id);
using ErrorBeepFn = void (*)();
using SetFinaleInFocusFn = void (*)(int16_t force);
using ToggleWindowSizeFn = int16_t (*)(win::Hwnd window, int16_t restore, uint8_t* state, int16_t force);

using MeasureToStringFn = int16_t (*)(int16_t measure, char* out);
using StringToMeasureFn = int16_t (*)(const char* text);
using StripCaretsFn = int32_t (*)(char* text, char* fontOut, char* sizeOut, char* efxOut);
using GetRawTextFn = int16_t (*)(int16_t key, void* buffer, uint32_t size, uint32_t tag);
using SetRawTextFn = int16_t (*)(int16_t* key, const char* text, uint32_t tag);
using GetTextBlockFn = const char* (*)(int16_t key, int16_t strip, void* record48);
/// The whole length of a text that a text or name service answered (cut when it is longer than
/// the answer's buffer holds).
using TextLengthFn = uint32_t (*)(const char* text);
using SetTextBlockFn = int16_t (*)(int16_t* blockKey, void* record48, const char* text);
using GetInstNameFn = const char* (*)(int16_t staff);
using GetInstNameInIUListFn = const char* (*)(int16_t staff, uint8_t fallback, int16_t listKey, uint8_t markHidden);
using GetGroupNameFn = const char* (*)(int16_t group, int16_t listKey, const void* groupRecord, int16_t* source);
using ListNameFn = const char* (*)(int16_t number, int16_t flags, int16_t width, int16_t* err);

using GetGlobalsFn = int16_t (*)(uint8_t* prefs);
using SetNotifyHookFn = int16_t (*)(LumvarNotifyProc proc, int16_t add);
using ReadSettingsFn = int16_t (*)(void* data, uint32_t size, const char* subkey, const char* valueName);
using WriteSettingsFn = int16_t (*)(const void* data, uint32_t size, const char* subkey, const char* valueName);
using GetINIFileNameFn = int16_t (*)(char* out);
using PrintfOutputFn = int16_t (*)(const char* text);

using SplitEDUFn = int16_t (*)(int32_t edu, uint8_t* parts, int16_t size);
using MakeEDUFn = int32_t (*)(const uint8_t* parts, int16_t size, int16_t* err);
using LoadDetailFn = int16_t (*)(uint32_t tag, int16_t key1, int16_t key2, void* buffer, uint32_t size);
using CreateDetailFn = int16_t (*)(uint32_t tag, int16_t* key1, int16_t* key2, void* buffer, uint32_t size);
using DeleteDetailFn = int16_t (*)(uint32_t tag, int16_t key1, int16_t key2);
using LoadEntryDetailFn = int16_t (*)(uint32_t tag, int32_t entry, int16_t incident, void* buffer, uint32_t size);
using CreateEntryDetailFn = int16_t (*)(uint32_t tag, int32_t* entry, int16_t* incident, void* buffer, uint32_t size);
using DeleteEntryDetailFn = int16_t (*)(uint32_t tag, int32_t entry, int16_t incident);
using LoadOtherFn = int16_t (*)(uint32_t tag, int16_t number, int16_t incident, void* buffer, uint32_t size);
using CreateOtherFn = int16_t (*)(uint32_t tag, int16_t* number, int16_t* incident, void* buffer, uint32_t size);
using DeleteOtherFn = int16_t (*)(uint32_t tag, int16_t number, int16_t incident);
using LoadGlobalFn = int16_t (*)(uint32_t tag, int16_t key, void* buffer, uint32_t size);

using GetFANSlotInfoFn = int16_t (*)(int16_t font, int16_t slot, uint8_t* out, int16_t size);
using GetFANInfoFn = int32_t (*)(int16_t kind, int16_t value, int16_t* err);
using GetFANExtendedInfoFn = int16_t (*)(int16_t kind, char* dst, int16_t dstSize, int16_t index);

using TranslateIDFn = const char* (*)(int16_t id, int16_t count, int16_t language, int16_t* err, int16_t alternative,
                                      win::Hwnd window, int16_t byRow);
using TranslateWordFn = const char* (*)(const char* word, int16_t count, int16_t language, int16_t sourceLanguage,
                                        int16_t* err, win::Hwnd window);
using TranslateStringFn = const char* (*)(const char* text, int16_t language, int16_t sourceLanguage,
                                          int16_t onlyInternational, int16_t* err, win::Hwnd window);
using TranslateFromTableFn = const char* (*)(const TranslationRow* rows, int16_t rowCount, const char* defaultText,
                                             int16_t language, int16_t* err, win::Hwnd window);
using DurationStringFn = const char* (*)(uint8_t kind, int32_t edu, int16_t count, int16_t language, int16_t* err,
                                         win::Hwnd window);
using ResolveShortcutsFn = int16_t (*)(win::Hwnd dialog, const int32_t* controlIds, int16_t idCount,
                                       int16_t clearListed, int16_t capitalsFirst);
using LoadURLFn = int16_t (*)(const char* address);
}

}  // namespace lumvar

// clang-format off
/// Every service of Lumvar2000: its export name, the function of Lumvar2000 that carries it
/// out and its signature. The one list of both modules: Lumvar2000 exports these names
/// (service/export_list.h) and Orvex188 binds them in this order, pLUMVAR_InitByFinale apart
/// (core/lumvar_binding.cpp).
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
    X(pFTX_TranslateString, lumvar::TranslateString, lumvar::TranslateStringFn)           \
    X(pFTX_TextLength, lumvar::TextLength, lumvar::TextLengthFn)
// clang-format on
