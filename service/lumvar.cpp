#include "service/lumvar.h"

#include <array>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "platform/hostapi/bytes.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/records.h"
#include "platform/win/message_box.h"
#include "platform/win/system.h"
#include "service/control_panel.h"
#include "service/font_annotations.h"
#include "service/host_imports.h"
#include "service/layout_services.h"
#include "service/module_state.h"
#include "service/names.h"
#include "service/preferences.h"
#include "service/record_forwards.h"
#include "service/translations.h"
#include "service/window_hooks.h"
#include "service/window_services.h"

namespace lumvar {

ModuleState& Module() {
    static ModuleState state;
    return state;
}

namespace {

constexpr const char* kDuplicateCopyText =
    "Different versions/copies of the Lumvar plug-in\nhave been found.\nThis copy will not be loaded.\n\n"
    "To cure this error, please remove all but one copy\nof the Lumvar plug-in.";

constexpr const char* kTooOldText =
    "This version of Lumvar is too old to support the\nfeatures you need for the required feature.\n"
    "Please download a newer version of the Lumvar plug-in.\nDirections on how to download a newer version should "
    "be\navailable at the same location where you downloaded this\nplug-in.\n\n";

constexpr const char* kHost2001Text =
    "IMPORTANT NOTE!\nYou're using the initial release of Finale 2001 for Windows.\n"
    "This version has a major bug that may corrupt your documents.\n\n"
    "The maker of Finale offers a fix for this release: a free update that\n"
    "you can download from its web site.\n\n"
    "It is STRONGLY recommended that you install this fix.";

/// A raw host version above this one is newer than any this version of Lumvar knows.
constexpr uint32_t kNewestKnownHost = 0x07FFFFFF;
constexpr int32_t kMaxNotices = 2;

std::string Format(const char* format, int32_t a, int32_t b) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

/// The staff system record of a 2001 host is damaged in the host's first release: its words
/// 0, 1, 2, 3, 4 and 9 all read 0.
void CheckHost2001() {
    if (Module().legacyStaffSystem != 0) {
        return;
    }
    if (FinaleVersion() != 2001) {
        Module().legacyStaffSystem = 1;
        return;
    }
    std::array<uint8_t, 20> record{};
    if (LoadOther(hostapi::kTagStaffSystem, 1, 0, record.data(), record.size()) == 0) {
        return;  // tried again at the next handshake
    }
    for (const size_t offset : std::initializer_list<size_t>{0, 2, 4, 6, 8, 18}) {
        if (hostapi::ReadI16(record.data(), offset) != 0) {
            Module().legacyStaffSystem = 1;
            return;
        }
    }
    if (++Module().host2001WarningCount <= kMaxNotices) {
        win::MessageBox(Module().hostWindow, kHost2001Text, kHost2001Title, win::MB_OK | win::MB_ICONERROR);
    }
}

}  // namespace

int32_t DllEntryPoint(win::Hmodule instance, uint32_t /*reason*/, void* /*reserved*/) {
    Module().moduleInstance = instance;
    return 1;
}

int32_t FinaleExtensionVersion(int32_t rawVersion) {
    Module().rawHostVersion = static_cast<uint32_t>(rawVersion);
    return rawVersion;
}

int16_t FinaleExtensionInit(win::Hwnd hostWindow, int32_t* /*ignored*/) {
    Module().hostWindow = hostWindow;
    // One copy per host year: a second copy finds the mutex of the first and stands aside.
    const std::string mutexName = "FinLumvar" + std::to_string(FinaleVersion());
    Module().instanceMutex = win::CreateMutex(true, mutexName);
    if (win::GetLastError() == win::ERROR_ALREADY_EXISTS) {
        win::CloseHandle(Module().instanceMutex);
        Module().instanceMutex = win::kNoHandle;
        win::MessageBox(hostWindow, kDuplicateCopyText, "Lumvar Plug-in Error", win::MB_OK | win::MB_ICONERROR);
        return 0;
    }
    ReadPreferences();
    ClearNotifyList();
    LoadFontAnnotations();
    InstallWindowHooks();
    Module().initialised = 1;
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

int16_t FinaleExtensionInvoke(win::Hwnd /*hostWindow*/, int16_t /*index*/, const uint8_t* /*selection*/,
                              const uint8_t* /*document*/) {
    DialogBox();
    return 1;
}

int16_t FinaleExtensionGetMenuStatus(int16_t /*index*/) {
    return 1;
}

int16_t FinaleExtensionTerminate(void* /*ignored*/) {
    // A copy whose start was refused (a second copy) set nothing up: it tears nothing down, and
    // above all does not write its empty preferences over those of the copy that runs.
    if (Module().initialised == 0) {
        return 1;
    }
    WritePreferences();
    FreeFontAnnotations();
    ClearNotifyList();
    RemoveWindowHooks();
    bool result = true;
    if (Module().instanceMutex != win::kNoHandle) {
        win::ReleaseMutex(Module().instanceMutex);
        result = win::CloseHandle(Module().instanceMutex);
        Module().instanceMutex = win::kNoHandle;
    }
    if (DebugConsoleOpen()) {
        result = FreeDebugConsole();
    }
    return result ? 1 : 0;
}

int16_t InitByFinale() {
    return Module().initialised;
}
win::Hwnd FinaleWindow() {
    return Module().hostWindow;
}
uint32_t RawFXTVersion() {
    return Module().rawHostVersion;
}

int32_t FinaleVersion() {
    const uint32_t v = Module().rawHostVersion;
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

int16_t HandShake(int32_t major, int32_t minor) {
    const bool accepted = major < 3 && minor != -1 && (major != 2 || minor < 9);
    if (!accepted) {
        std::string text = kTooOldText;
        text += minor == -1 ? Format("The Lumvar version required is: %d (Development Rev.)\n", major, 0)
                            : Format("The Lumvar version required is: %d.%02d\n", major, minor);
        // The released version's own minor is never -1 (the development form is kept for it).
        text += kMinorVersion == -1 ? Format("The running Lumvar version is: %d (Development Rev.)", kMajorVersion, 0)
                                    : Format("The running Lumvar version is: %d.%02d", kMajorVersion, kMinorVersion);
        win::MessageBox(Module().hostWindow, text, kMismatchTitle, win::MB_OK | win::MB_ICONERROR);
        return 0;
    }
    CheckHost2001();
    if (Module().rawHostVersion > kNewestKnownHost && ++Module().newHostNoticeCount <= kMaxNotices) {
        win::MessageBox(Module().hostWindow, kNewHostText, kNewHostTitle, win::MB_OK | win::MB_ICONINFORMATION);
    }
    return 1;
}

void ResetModuleState() {
    Module() = ModuleState();
}

}  // namespace lumvar
