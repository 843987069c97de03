// The names under which Lumvar2000 exports its entry points and services (undecorated).
#include <type_traits>

#include "service/export_list.h"

#define LUMVAR_EXPORT extern "C" __attribute__((visibility("default")))

using win::Hwnd;

// ---- Host entry points ----
LUMVAR_EXPORT int32_t DllEntryPoint(win::Hmodule instance, uint32_t reason, void* reserved) {
    return lumvar::DllEntryPoint(instance, reason, reserved);
}
LUMVAR_EXPORT int32_t FinaleExtensionVersion(int32_t rawVersion) {
    return lumvar::FinaleExtensionVersion(rawVersion);
}
LUMVAR_EXPORT int16_t FinaleExtensionInit(Hwnd hostWindow, int32_t* ignored) {
    return lumvar::FinaleExtensionInit(hostWindow, ignored);
}
LUMVAR_EXPORT int16_t FinaleExtensionEnumerate(void* ignored, int16_t index, uint8_t* menuRecord) {
    return lumvar::FinaleExtensionEnumerate(ignored, index, menuRecord);
}
LUMVAR_EXPORT int16_t FinaleExtensionInvoke(Hwnd hostWindow, int16_t index, const uint8_t* selection,
                                            const uint8_t* document) {
    return lumvar::FinaleExtensionInvoke(hostWindow, index, selection, document);
}
LUMVAR_EXPORT int16_t FinaleExtensionGetMenuStatus(int16_t index) {
    return lumvar::FinaleExtensionGetMenuStatus(index);
}
LUMVAR_EXPORT int16_t FinaleExtensionTerminate(void* ignored) {
    return lumvar::FinaleExtensionTerminate(ignored);
}

// ---- Life cycle and version ----
LUMVAR_EXPORT int16_t pLUMVAR_InitByFinale() {
    return lumvar::InitByFinale();
}
LUMVAR_EXPORT Hwnd pFTX_FinaleWindow() {
    return lumvar::FinaleWindow();
}
LUMVAR_EXPORT uint32_t pLUMVAR_RawFXTVersion() {
    return lumvar::RawFXTVersion();
}
LUMVAR_EXPORT int32_t pFTX_FinaleVersion() {
    return lumvar::FinaleVersion();
}
LUMVAR_EXPORT int32_t pLUMVAR_Version(int32_t* minorOut) {
    return lumvar::Version(minorOut);
}
LUMVAR_EXPORT int16_t pLUMVAR_HandShake(int32_t major, int32_t minor) {
    return lumvar::HandShake(major, minor);
}

// ---- Score structure and layout ----
LUMVAR_EXPORT int32_t pFTX_CountItems(int16_t kind) {
    return lumvar::CountItems(kind);
}
LUMVAR_EXPORT int16_t pFTX_SystemRangeOnPage(int16_t page, int16_t* first, int16_t* last) {
    return lumvar::SystemRangeOnPage(page, first, last);
}
LUMVAR_EXPORT int16_t pFTX_GetInstrumentList(int16_t kind, int16_t n) {
    return lumvar::GetInstrumentList(kind, n);
}
LUMVAR_EXPORT int16_t pFTX_CountInstruments(int16_t listKey, int16_t all) {
    return lumvar::CountInstruments(listKey, all);
}
LUMVAR_EXPORT int16_t pFTX_GetStaffEnduction(int16_t key1, int16_t key2) {
    return lumvar::GetStaffEnduction(key1, key2);
}
LUMVAR_EXPORT int16_t pFTX_ExtractedPartIsUsed() {
    return lumvar::ExtractedPartIsUsed();
}
LUMVAR_EXPORT int16_t pFTX_LoadStaffSystemSpec(int16_t system, void* record, int16_t size, uint32_t callerVersion) {
    return lumvar::LoadStaffSystemSpec(system, record, size, callerVersion);
}
LUMVAR_EXPORT int16_t pFTX_SaveStaffSystemSpec(int16_t system, void* record, int16_t size, uint32_t callerVersion) {
    return lumvar::SaveStaffSystemSpec(system, record, size, callerVersion);
}
LUMVAR_EXPORT int16_t pFTX_GetIUListForSystem(int16_t system) {
    return lumvar::GetIUListForSystem(system);
}
LUMVAR_EXPORT int16_t pFTX_NextInstrument(int16_t staff, int16_t listKey) {
    return lumvar::NextInstrument(staff, listKey);
}
LUMVAR_EXPORT int16_t pFTX_PrevInstrument(int16_t staff, int16_t listKey) {
    return lumvar::PrevInstrument(staff, listKey);
}
LUMVAR_EXPORT int16_t pFTX_IsWithinInstRange(int16_t staff, int16_t first, int16_t last, int16_t listKey) {
    return lumvar::IsWithinInstRange(staff, first, last, listKey);
}
LUMVAR_EXPORT int16_t pFTX_GetLayoutInfo(int16_t system, uint8_t* info, int16_t withPage) {
    return lumvar::GetLayoutInfo(system, info, withPage);
}
LUMVAR_EXPORT int16_t pFTX_ChangeLayoutInfo(int16_t kind, int32_t value, int16_t key, int16_t operation,
                                            int16_t ignored) {
    return lumvar::ChangeLayoutInfo(kind, value, key, operation, ignored);
}

// ---- Dialogs and window services ----
LUMVAR_EXPORT int16_t pLUMVAR_DialogBox() {
    return lumvar::DialogBox();
}
LUMVAR_EXPORT Hwnd pFTX_GetDocumentWindow() {
    return lumvar::GetDocumentWindow();
}
LUMVAR_EXPORT int16_t pFTX_IsPageView() {
    return lumvar::IsPageView();
}
LUMVAR_EXPORT int16_t pFTX_GetCurrentPage() {
    return lumvar::GetCurrentPage();
}
LUMVAR_EXPORT int16_t pFTX_GetScrollViewMeasure() {
    return lumvar::GetScrollViewMeasure();
}
LUMVAR_EXPORT int16_t pFTX_LeftmostMeasure() {
    return lumvar::LeftmostMeasure();
}
LUMVAR_EXPORT Hwnd pFTX_GetControl(Hwnd dialog, int16_t id) {
    return lumvar::GetControl(dialog, id);
}
LUMVAR_EXPORT void pFTX_ShowControl(Hwnd dialog, int16_t id, int16_t show) {
    lumvar::ShowControl(dialog, id, show);
}
LUMVAR_EXPORT void pFTX_GetDlgPos(Hwnd window, int16_t* x, int16_t* y) {
    lumvar::GetDlgPos(window, x, y);
}
LUMVAR_EXPORT void pFTX_SetDlgPos(Hwnd window, int16_t* x, int16_t* y) {
    lumvar::SetDlgPos(window, x, y);
}
LUMVAR_EXPORT int16_t pFTX_KeyPressed() {
    return lumvar::KeyPressed();
}
LUMVAR_EXPORT void pFTX_ToggleCheckbox(Hwnd dialog, int16_t id) {
    lumvar::ToggleCheckbox(dialog, id);
}
LUMVAR_EXPORT void pFTX_ErrorBeep() {
    lumvar::ErrorBeep();
}
LUMVAR_EXPORT void pFTX_SetFinaleInFocus(int16_t force) {
    lumvar::SetFinaleInFocus(force);
}
LUMVAR_EXPORT int16_t pFTX_ToggleWindowSize(Hwnd window, int16_t restore, uint8_t* state, int16_t force) {
    return lumvar::ToggleWindowSize(window, restore, state, force);
}

// ---- Measure numbers, texts and names ----
LUMVAR_EXPORT int16_t pFTX_MeasureToString(int16_t measure, char* out) {
    return lumvar::MeasureToString(measure, out);
}
LUMVAR_EXPORT int16_t pFTX_StringToMeasure(const char* text) {
    return lumvar::StringToMeasure(text);
}
LUMVAR_EXPORT int32_t pFTX_StripCarets(char* text, char* fontOut, char* sizeOut, char* efxOut) {
    return lumvar::StripCarets(text, fontOut, sizeOut, efxOut);
}
LUMVAR_EXPORT int16_t pFTX_GetRawText(int16_t key, void* buffer, uint32_t size, uint32_t tag) {
    return lumvar::GetRawText(key, buffer, size, tag);
}
LUMVAR_EXPORT int16_t pFTX_SetRawText(int16_t* key, const char* text, uint32_t tag) {
    return lumvar::SetRawText(key, text, tag);
}
LUMVAR_EXPORT const char* pFTX_GetTextBlock(int16_t key, int16_t strip, void* record48) {
    return lumvar::GetTextBlock(key, strip, record48);
}
LUMVAR_EXPORT int16_t pFTX_SetTextBlock(int16_t* blockKey, void* record48, const char* text) {
    return lumvar::SetTextBlock(blockKey, record48, text);
}
LUMVAR_EXPORT uint32_t pFTX_TextLength(const char* text) {
    return lumvar::TextLength(text);
}
LUMVAR_EXPORT const char* pFTX_GetInstName(int16_t staff) {
    return lumvar::GetInstName(staff);
}
LUMVAR_EXPORT const char* pFTX_GetInstNameInIUList(int16_t staff, uint8_t fallback, int16_t listKey,
                                                   uint8_t markHidden) {
    return lumvar::GetInstNameInIUList(staff, fallback, listKey, markHidden);
}
LUMVAR_EXPORT const char* pFTX_GetGroupName(int16_t group, int16_t listKey, const void* groupRecord, int16_t* source) {
    return lumvar::GetGroupName(group, listKey, groupRecord, source);
}
LUMVAR_EXPORT const char* pFTX_GetStaffsetName(int16_t set, int16_t flags, int16_t width, int16_t* err) {
    return lumvar::GetStaffsetName(set, flags, width, err);
}
LUMVAR_EXPORT const char* pFTX_GetSystemName(int16_t system, int16_t flags, int16_t width, int16_t* err) {
    return lumvar::GetSystemName(system, flags, width, err);
}

// ---- Preferences, notify list, settings, settings file and console ----
LUMVAR_EXPORT int16_t pLUMVAR_GetGlobals(uint8_t* prefs) {
    return lumvar::GetGlobals(prefs);
}
LUMVAR_EXPORT int16_t pFTX_Allow2ndMonitor() {
    return lumvar::Allow2ndMonitor();
}
LUMVAR_EXPORT int16_t pFTX_ULWhenNeeded() {
    return lumvar::ULWhenNeeded();
}
LUMVAR_EXPORT int16_t pFTX_UserLanguage() {
    return lumvar::UserLanguage();
}
LUMVAR_EXPORT int16_t pFTX_ReturnFocusToFinale() {
    return lumvar::ReturnFocusToFinale();
}
LUMVAR_EXPORT int16_t pFTX_NonFocusCollapse() {
    return lumvar::NonFocusCollapse();
}
LUMVAR_EXPORT int16_t pLUMVAR_SetNotifyHook(lumvar::LumvarNotifyProc proc, int16_t add) {
    return lumvar::SetNotifyHook(proc, add);
}
LUMVAR_EXPORT int16_t pFTXW_ReadSettings(void* data, uint32_t size, const char* subkey, const char* valueName) {
    return lumvar::ReadSettings(data, size, subkey, valueName);
}
LUMVAR_EXPORT int16_t pFTXW_WriteSettings(const void* data, uint32_t size, const char* subkey, const char* valueName) {
    return lumvar::WriteSettings(data, size, subkey, valueName);
}
LUMVAR_EXPORT int16_t pFTXW_GetINIFileName(char* out) {
    return lumvar::GetINIFileName(out);
}
LUMVAR_EXPORT int16_t pFTX_printfOutput(const char* text) {
    return lumvar::PrintfOutput(text);
}

// ---- Durations and record forwards ----
LUMVAR_EXPORT int16_t pFTX_SplitEDU(int32_t edu, uint8_t* parts, int16_t size) {
    return lumvar::SplitEDU(edu, parts, size);
}
LUMVAR_EXPORT int32_t pFTX_MakeEDU(const uint8_t* parts, int16_t size, int16_t* err) {
    return lumvar::MakeEDU(parts, size, err);
}
LUMVAR_EXPORT int16_t pFTX_LoadDetail(uint32_t tag, int16_t key1, int16_t key2, void* buffer, uint32_t size) {
    return lumvar::LoadDetail(tag, key1, key2, buffer, size);
}
LUMVAR_EXPORT int16_t pFTX_SaveDetail(uint32_t tag, int16_t key1, int16_t key2, void* buffer, uint32_t size) {
    return lumvar::SaveDetail(tag, key1, key2, buffer, size);
}
LUMVAR_EXPORT int16_t pFTX_CreateDetail(uint32_t tag, int16_t* key1, int16_t* key2, void* buffer, uint32_t size) {
    return lumvar::CreateDetail(tag, key1, key2, buffer, size);
}
LUMVAR_EXPORT int16_t pFTX_DeleteDetail(uint32_t tag, int16_t key1, int16_t key2) {
    return lumvar::DeleteDetail(tag, key1, key2);
}
LUMVAR_EXPORT int16_t pFTX_LoadEntryDetail(uint32_t tag, int32_t entry, int16_t incident, void* buffer, uint32_t size) {
    return lumvar::LoadEntryDetail(tag, entry, incident, buffer, size);
}
LUMVAR_EXPORT int16_t pFTX_SaveEntryDetail(uint32_t tag, int32_t entry, int16_t incident, void* buffer, uint32_t size) {
    return lumvar::SaveEntryDetail(tag, entry, incident, buffer, size);
}
LUMVAR_EXPORT int16_t pFTX_CreateEntryDetail(uint32_t tag, int32_t* entry, int16_t* incident, void* buffer,
                                             uint32_t size) {
    return lumvar::CreateEntryDetail(tag, entry, incident, buffer, size);
}
LUMVAR_EXPORT int16_t pFTX_DeleteEntryDetail(uint32_t tag, int32_t entry, int16_t incident) {
    return lumvar::DeleteEntryDetail(tag, entry, incident);
}
LUMVAR_EXPORT int16_t pFTX_LoadOther(uint32_t tag, int16_t number, int16_t incident, void* buffer, uint32_t size) {
    return lumvar::LoadOther(tag, number, incident, buffer, size);
}
LUMVAR_EXPORT int16_t pFTX_SaveOther(uint32_t tag, int16_t number, int16_t incident, void* buffer, uint32_t size) {
    return lumvar::SaveOther(tag, number, incident, buffer, size);
}
LUMVAR_EXPORT int16_t pFTX_CreateOther(uint32_t tag, int16_t* number, int16_t* incident, void* buffer, uint32_t size) {
    return lumvar::CreateOther(tag, number, incident, buffer, size);
}
LUMVAR_EXPORT int16_t pFTX_DeleteOther(uint32_t tag, int16_t number, int16_t incident) {
    return lumvar::DeleteOther(tag, number, incident);
}
LUMVAR_EXPORT int16_t pFTX_PreviousOther(uint32_t tag, int16_t* number, int16_t* incident, void* buffer,
                                         uint32_t size) {
    return lumvar::PreviousOther(tag, number, incident, buffer, size);
}
LUMVAR_EXPORT int16_t pFTX_NextOther(uint32_t tag, int16_t* number, int16_t* incident, void* buffer, uint32_t size) {
    return lumvar::NextOther(tag, number, incident, buffer, size);
}
LUMVAR_EXPORT int16_t pFTX_LoadGlobal(uint32_t tag, int16_t key, void* buffer, uint32_t size) {
    return lumvar::LoadGlobal(tag, key, buffer, size);
}

// ---- Font annotations ----
LUMVAR_EXPORT int16_t pFTX_GetFANSlotInfo(int16_t font, int16_t slot, uint8_t* out, int16_t size) {
    return lumvar::GetFANSlotInfo(font, slot, out, size);
}
LUMVAR_EXPORT int32_t pFTX_GetFANInfo(int16_t kind, int16_t value, int16_t* err) {
    return lumvar::GetFANInfo(kind, value, err);
}
LUMVAR_EXPORT int16_t pFTX_GetFANExtendedInfo(int16_t kind, char* dst, int16_t dstSize, int16_t index) {
    return lumvar::GetFANExtendedInfo(kind, dst, dstSize, index);
}

// ---- Translations and word services ----
LUMVAR_EXPORT const char* pFTX_TranslateID(int16_t id, int16_t count, int16_t language, int16_t* err,
                                           int16_t alternative, Hwnd window, int16_t byRow) {
    return lumvar::TranslateID(id, count, language, err, alternative, window, byRow);
}
LUMVAR_EXPORT const char* pFTX_TranslateWord(const char* word, int16_t count, int16_t language, int16_t sourceLanguage,
                                             int16_t* err, Hwnd window) {
    return lumvar::TranslateWord(word, count, language, sourceLanguage, err, window);
}
LUMVAR_EXPORT const char* pFTX_TranslateString(const char* text, int16_t language, int16_t sourceLanguage,
                                               int16_t onlyInternational, int16_t* err, Hwnd window) {
    return lumvar::TranslateString(text, language, sourceLanguage, onlyInternational, err, window);
}
LUMVAR_EXPORT const char* pFTX_TranslateFromTable(const lumvar::TranslationRow* rows, int16_t rowCount,
                                                  const char* defaultText, int16_t language, int16_t* err,
                                                  Hwnd window) {
    return lumvar::TranslateFromTable(rows, rowCount, defaultText, language, err, window);
}
LUMVAR_EXPORT const char* pFTX_DurationString(uint8_t kind, int32_t edu, int16_t count, int16_t language, int16_t* err,
                                              Hwnd window) {
    return lumvar::DurationString(kind, edu, count, language, err, window);
}
LUMVAR_EXPORT int16_t pFTXW_ResolveShortcuts(Hwnd dialog, const int32_t* controlIds, int16_t idCount,
                                             int16_t clearListed, int16_t capitalsFirst) {
    return lumvar::ResolveShortcuts(dialog, controlIds, idCount, clearListed, capitalsFirst);
}
LUMVAR_EXPORT int16_t pFTX_LoadURL(const char* address) {
    return lumvar::LoadURL(address);
}

// ---- The module's dialog resources (the host runs the panels from them) ----
LUMVAR_EXPORT const win::DialogTemplate* WinDialogResource(int32_t resource) {
    return lumvar::DialogResource(resource);
}
static_assert(std::is_same_v<decltype(&::WinDialogResource), win::DialogResourceFn>);

// Every export has the signature its clients bind it with.
#define LUMVAR_CHECK_SIGNATURE(name, function, type) \
    static_assert(std::is_same_v<decltype(&::name), type>, #name " does not have the signature of its clients");
LUMVAR_ENTRY_POINTS(LUMVAR_CHECK_SIGNATURE)
LUMVAR_SERVICES(LUMVAR_CHECK_SIGNATURE)
#undef LUMVAR_CHECK_SIGNATURE
