#include "service/lumvar.h"

#include <string>

#include "platform/hostapi/bytes.h"
#include "platform/hostapi/records.h"
#include "platform/win/message_box.h"
#include "platform/win/system.h"

namespace lumvar {

win::Hmodule ModuleInstance = win::kNoModule;
uint32_t RawHostVersion = 0;
win::Hwnd HostWindow = win::kNoWindow;
int16_t Initialised = 0;

namespace {

win::Handle s_instanceMutex = win::kNoHandle;

constexpr const char* kDuplicateCopyText =
    "Different versions/copies of the Lumvar plug-in\nhave been found.\nThis copy will not be loaded.\n\n"
    "To cure this error, please remove all but one copy\nof the Lumvar plug-in.";

}  // namespace

int32_t DllEntryPoint(win::Hmodule instance, uint32_t /*reason*/, void* /*reserved*/) {
    ModuleInstance = instance;
    return 1;
}

int32_t FinaleExtensionVersion(int32_t rawVersion) {
    RawHostVersion = static_cast<uint32_t>(rawVersion);
    return rawVersion;
}

int16_t FinaleExtensionInit(win::Hwnd hostWindow, int32_t* /*ignored*/) {
    HostWindow = hostWindow;
    // One copy per host year: a second copy finds the mutex of the first and stands aside.
    const std::string mutexName = "FinLumvar" + std::to_string(FinaleVersion());
    s_instanceMutex = win::CreateMutex(true, mutexName);
    if (win::GetLastError() == win::ERROR_ALREADY_EXISTS) {
        win::CloseHandle(s_instanceMutex);
        s_instanceMutex = win::kNoHandle;
        win::MessageBox(hostWindow, kDuplicateCopyText, "Lumvar Plug-in Error", win::MB_OK | win::MB_ICONERROR);
        return 0;
    }
    Initialised = 1;
    return 1;
}

int16_t FinaleExtensionEnumerate(void* /*ignored*/, int16_t index, uint8_t* menuRecord) {
    if (index > 0 || menuRecord == nullptr) {
        return 0;
    }
    using hostapi::MenuRecord;
    hostapi::WriteFixedText(menuRecord, MenuRecord::kMenuText, MenuRecord::kTextWidth, "Lumvar...");
    hostapi::WriteFixedText(menuRecord, MenuRecord::kSecondText, MenuRecord::kTextWidth, "Lumvar");
    hostapi::WriteFixedText(menuRecord, MenuRecord::kThirdText, MenuRecord::kTextWidth, "Lumvar");
    hostapi::WriteI16(menuRecord, MenuRecord::kFlag, 0);
    hostapi::WriteI16(menuRecord, MenuRecord::kWord194, 0);
    return 1;
}

int16_t FinaleExtensionInvoke(win::Hwnd hostWindow, int16_t /*index*/, const uint8_t* /*selection*/,
                              const uint8_t* /*document*/) {
    // FIXME: the control panel is not built yet; the menu entry says so and changes nothing.
    win::MessageBox(hostWindow, "The Lumvar control panel is not available in this build.", "Lumvar",
                    win::MB_OK | win::MB_ICONINFORMATION);
    return 0;
}

int16_t FinaleExtensionGetMenuStatus(int16_t /*index*/) {
    return 1;
}

int16_t FinaleExtensionTerminate(void* /*ignored*/) {
    bool closed = true;
    if (s_instanceMutex != win::kNoHandle) {
        win::ReleaseMutex(s_instanceMutex);
        closed = win::CloseHandle(s_instanceMutex);
        s_instanceMutex = win::kNoHandle;
    }
    return closed ? 1 : 0;
}

int16_t InitByFinale() {
    return Initialised;
}
win::Hwnd FinaleWindow() {
    return HostWindow;
}
uint32_t RawFXTVersion() {
    return RawHostVersion;
}

int32_t FinaleVersion() {
    const uint32_t v = RawHostVersion;
    const uint32_t high = v & 0xFFFF0000u;
    if (high == 0x05000000u)
        return 2000;
    if (high == 0x03800000u)
        return 1997;
    if (v >= 0x04000000u && v <= 0x0400FFFFu)
        return 1998;
    if (high == 0x06000000u)
        return 2001;
    if (v >= 0x07000000u && v <= 0x0700FFFFu)
        return 2002;
    return 9999;
}

int32_t Version(int32_t* minorOut) {
    if (minorOut != nullptr) {
        *minorOut = kMinorVersion;
    }
    return kMajorVersion;
}

void ResetModuleState() {
    ModuleInstance = win::kNoModule;
    RawHostVersion = 0;
    HostWindow = win::kNoWindow;
    Initialised = 0;
    s_instanceMutex = win::kNoHandle;
}

}  // namespace lumvar
