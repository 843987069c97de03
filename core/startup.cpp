#include "core/startup.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "core/commands.h"
#include "core/dispatch.h"
#include "core/general_options.h"
#include "core/hooks.h"
#include "core/host/access_state.h"
#include "core/lumvar_binding.h"
#include "core/module.h"
#include "core/options_store.h"
#include "core/product_menu.h"
#include "core/query_service.h"
#include "platform/hostapi/records.h"
#include "platform/vcl/application.h"
#include "platform/win/menus.h"
#include "platform/win/modules.h"
#include "platform/win/system.h"

namespace orvex {

namespace {

void OnProcessAttach(win::Hmodule instance) {
    TheModule.process.ModuleInstance = instance;
    try {
        if (TheModule.process.Registry->OpenKey(kSettingsKey, true)) {
            if (TheModule.process.Registry->ValueExists("ShowMessages")) {
                TheModule.process.ShowMessagesText = TheModule.process.Registry->ReadString("ShowMessages");
            }
            if (TheModule.process.Registry->ValueExists("LastAnswers")) {
                TheModule.process.LastAnswersText = TheModule.process.Registry->ReadString("LastAnswers");
            }
            TheModule.process.Registry->CloseKey();
        }
    } catch (const vcl::ERegistryException&) {
        // A value of the wrong type: the remembered answers start empty.
        TheModule.process.Registry->CloseKey();
    }
}

void OnProcessDetach() {
    // The plug-in's windows go with its code: a form released but not yet freed, or a modeless
    // form still open, would otherwise keep a window whose procedure is no longer there.
    vcl::Application->FreeReleasedForms();
    const std::vector<vcl::TForm*> modeless = std::move(TheModule.dispatch.ModelessFormList);
    TheModule.dispatch.ModelessFormList.clear();
    for (vcl::TForm* form : modeless) {
        bool alive = false;  // freed already by an owner freed before it
        for (int32_t i = 0; i < vcl::Screen->FormCount() && !alive; ++i) {
            alive = vcl::Screen->Forms(i) == form;
        }
        if (alive) {
            vcl::FreeForm(form);
        }
    }
    DestroyTNow();
    RemoveHostHooks();
    TheModule.process.Registry->Access = win::KEY_ALL_ACCESS;
    try {
        if (TheModule.process.Registry->OpenKey(kSettingsKey, true)) {
            TheModule.process.Registry->WriteString("ShowMessages", TheModule.process.ShowMessagesText);
            TheModule.process.Registry->WriteString("LastAnswers", TheModule.process.LastAnswersText);
            TheModule.process.Registry->CloseKey();
        }
    } catch (const vcl::ERegistryException&) {
        // Not saved; nothing else to do while unloading.
        TheModule.process.Registry->CloseKey();
    }
}

std::string UpperWithoutAccelerators(const std::string& text) {
    std::string upper = win::StripAccelerators(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    return upper;
}

/// The language follows the host's menus: the menu-bar item at position 2 is "Edit" or "View"
/// in the host's language.
void DetectHostLanguage(win::Hwnd hostWindow) {
    const win::Hmenu menuBar = win::GetMenu(hostWindow);
    if (menuBar == win::kNoMenu) {
        return;
    }
    const auto text = win::GetMenuString(menuBar, 2, win::MF_BYPOSITION, 100);
    if (!text) {
        return;
    }
    const std::string upper = UpperWithoutAccelerators(*text);
    if (upper.find("BEARBEITEN") != std::string::npos || upper.find("ANSICHT") != std::string::npos) {
        TheAccessLayer.host.language = 1;
    } else if (upper.find("MODIFICA") != std::string::npos || upper.find("VISUALIZZAZIONE") != std::string::npos) {
        TheModule.process.ItalianHost = true;
    }
}

}  // namespace

int32_t DllEntryPoint(win::Hmodule instance, uint32_t reason, void* /*reserved*/) {
    if (reason == win::DLL_PROCESS_ATTACH) {
        OnProcessAttach(instance);
    } else if (reason == win::DLL_PROCESS_DETACH) {
        OnProcessDetach();
    }
    return 1;
}

int32_t FinaleExtensionVersion(int32_t hostRawVersion) {
    TheAccessLayer.host.rawVersion = hostRawVersion;
    TheAccessLayer.host.year = hostapi::HostYearOfRawVersion(hostRawVersion);
    return kOrvexInterfaceVersion;
}

int16_t FinaleExtensionInit(win::Hwnd hostWindow, int32_t* result) {
    PublishQueryService(static_cast<uint32_t>(Host().rawVersion));
    if (TheModule.process.VersionText.empty() || TheModule.process.VersionText[0] != ' ') {
        TheModule.process.VersionText.insert(0, 1, ' ');
    }
    if (result != nullptr) {
        *result = 0;
    }
    TheAccessLayer.host.window = hostWindow;
    // Nothing here ends the host process: the class library's application object is never
    // asked to terminate by this module.
    DetectHostLanguage(hostWindow);
    win::OsVersionInfo version;
    win::GetVersionEx(version);
    TheModule.process.IsNT = version.platformId == win::VER_PLATFORM_WIN32_NT;
    LoadOptions();
    InstallHostHooks();
    LoadGeneralOptions();
    TheModule.process.MenuOnMenuBar = TheModule.process.GeneralOptions[GO_MENU_ON_MENU_BAR].value != 0;
    return 1;
}

int16_t FinaleExtensionEnumerate(void* /*ignored*/, int16_t menuIndex, uint8_t* menuRecord) {
    if (menuIndex < 0 || menuIndex >= TheModule.commands.CommandCount || menuRecord == nullptr) {
        return 0;
    }
    TheModule.commands.MenuIndexMap[static_cast<size_t>(menuIndex)] = menuIndex;
    const std::string_view name = GetCommandName(menuIndex);
    if (name.empty()) {
        TheModule.commands.CommandCount = menuIndex;
        return 0;
    }
    using hostapi::MenuRecord;
    // The host's menus hold 8-bit texts; a long name is cut to what the field holds.
    const std::string hostText = win::Utf8ToAnsi(name);
    hostapi::WriteFixedText(menuRecord, MenuRecord::kMenuText, MenuRecord::kTextWidth, hostText);
    hostapi::WriteFixedText(menuRecord, MenuRecord::kSecondText, MenuRecord::kTextWidth, "");
    hostapi::WriteFixedText(menuRecord, MenuRecord::kThirdText, MenuRecord::kTextWidth, hostText);
    hostapi::WriteI16(menuRecord, MenuRecord::kFlag,
                      TheModule.commands.CommandTable[static_cast<size_t>(menuIndex)].enumerationFlag);
    hostapi::WriteI16(menuRecord, MenuRecord::kWord194, 0);
    hostapi::WriteI16(menuRecord, MenuRecord::kWord198, 0);
    hostapi::WriteI16(menuRecord, MenuRecord::kWord200, 0);
    return 1;
}

int16_t FinaleExtensionGetMenuStatus(int16_t /*menuIndex*/) {
    return 1;
}

int16_t FinaleExtensionTerminate(void* /*ignored*/) {
    // A multi-step command that still waits ends with the plug-in, without a word.
    EndWaitingRun(WaitingRunEnd::Unloaded);
    const int16_t closed = CloseQueryService();
    TheModule.process.ServicePluginBound = false;
    return closed;
}

}  // namespace orvex
