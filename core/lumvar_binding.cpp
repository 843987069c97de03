#include "core/lumvar_binding.h"

#include <array>
#include <cstring>

#include "core/free_texts.h"
#include "core/host/document_writes.h"
#include "core/module.h"
#include "core/startup.h"
#include "platform/win/message_box.h"
#include "platform/win/messages.h"
#include "platform/win/modules.h"
#include "platform/win/windows.h"

namespace orvex {
namespace {

// clang-format off
/// The services in binding order (row n of the table is index n): Lumvar2000's list, whose first
/// service (pLUMVAR_InitByFinale) Orvex188 does not bind.
#define ORVEX_SERVICE_NAME(name, function, signature) #name,
constexpr std::array<const char*, kBoundServiceCount + 1> kServiceNames = {LUMVAR_SERVICES(ORVEX_SERVICE_NAME)};
#undef ORVEX_SERVICE_NAME
static_assert(kServiceNames.back() != nullptr, "Lumvar2000's list holds one service more than Orvex188 binds");
// clang-format on

/// Rows of the table that the wrappers call.
enum Row : int32_t {
    ROW_VERSION = 1,
    ROW_FINALE_WINDOW = 3,
    ROW_HANDSHAKE = 4,
    ROW_COUNT_ITEMS = 7,
    ROW_GET_LAYOUT_INFO = 8,
    ROW_CHANGE_LAYOUT_INFO = 16,
    ROW_KEY_PRESSED = 25,
    ROW_SPLIT_EDU = 55,
    ROW_TOGGLE_WINDOW_SIZE = 61,
    ROW_GET_GROUP_NAME = 64,
    ROW_GET_INST_NAME_IN_IU_LIST = 67,
    ROW_RETURN_FOCUS = 74,
    ROW_TRANSLATE_STRING = 84,
    ROW_TEXT_LENGTH = 85,
};

struct BindingState {
    bool bound = false;
    int32_t requestedMajor = 1;
    int32_t lumvarMajor = 1;
    lumvar::InitByFinaleFn initByFinale = nullptr;
    std::array<void*, kBoundServiceCount> services{};
};

BindingState& State() {
    return UnitState<BindingState>();
}

template <typename Fn>
Fn Service(Row row) {
    return reinterpret_cast<Fn>(State().services[static_cast<size_t>(row - 1)]);
}

void ShowLoadError(const std::string& text) {
    win::MessageBox(win::GetActiveWindow(), text, EnglishText(FreeText::LumvarLoadErrorTitle),
                    win::MB_OK | win::MB_ICONERROR);
}

void ShowMissingFunction(const std::string& name) {
    ShowLoadError(EnglishText(FreeText::LumvarMissingFunction, {name}));
}

/// The wrappers of services from version 2 on first check the version the client asked for.
void CheckRequestedVersion() {
    if (State().requestedMajor < 2) {
        ShowHandShakeError();
    }
}

void NoteRefused(const char* service) {
    win::OutputDebugString(std::string("Orvex188: ") + service + " of Lumvar2000 is not bound; the call is refused");
}

}  // namespace

bool TryHandShake(int32_t major, int32_t minor) {
    BindingState& state = State();
    if (!state.bound) {
        if (!LoadLumvar()) {
            return false;
        }
        state.bound = true;
        state.requestedMajor = major;
    }
    const auto handShake = Service<lumvar::HandShakeFn>(ROW_HANDSHAKE);
    return handShake != nullptr && handShake(major, minor) != 0;
}

bool LoadLumvar() {
    const win::Hmodule module = win::LoadLibrary(lumvar::kModuleFileName);
    if (module == win::kNoModule) {
        ShowLoadError(EnglishText(FreeText::LumvarNotFound));
        return false;
    }
    const auto initByFinale =
        reinterpret_cast<lumvar::InitByFinaleFn>(win::GetProcAddress(module, "pLUMVAR_InitByFinale"));
    if (initByFinale == nullptr) {
        ShowMissingFunction("pLUMVAR_InitByFinale");
        win::FreeLibrary(module);
        return false;
    }
    if (initByFinale() == 0) {
        ShowLoadError(EnglishText(FreeText::LumvarNotInitialised));
        win::FreeLibrary(module);
        return false;
    }
    std::string missing;
    if (!BindLumvarFunctions(module, &missing)) {
        ShowMissingFunction(missing);
        win::FreeLibrary(module);
        return false;
    }
    State().initByFinale = initByFinale;
    // The host's own reference keeps the module loaded and the addresses valid.
    win::FreeLibrary(module);
    return true;
}

bool BindLumvarFunctions(win::Hmodule module, std::string* missingName) {
    BindingState& state = State();
    std::array<void*, kBoundServiceCount> services{};
    int32_t major = 1;
    for (int32_t row = 1; row <= kBoundServiceCount; ++row) {
        if (row == kAlwaysBoundServices + 1 && major < 2) {
            break;
        }
        const char* name = kServiceNames[static_cast<size_t>(row)];
        void* address = win::GetProcAddress(module, name);
        if (address == nullptr) {
            if (missingName != nullptr) {
                *missingName = name;
            }
            return false;
        }
        services[static_cast<size_t>(row - 1)] = address;
        if (row == ROW_VERSION) {
            int32_t minor = 0;
            major = reinterpret_cast<lumvar::VersionFn>(address)(&minor);
        }
    }
    state.services = services;
    state.lumvarMajor = major;
    return true;
}

void ShowHandShakeError() {
    win::MessageBox(win::GetActiveWindow(), EnglishText(FreeText::HandShakeError),
                    EnglishText(FreeText::HandShakeErrorTitle), win::MB_OK | win::MB_ICONERROR);
}

bool BindServicePlugin() {
    const bool accepted = TryHandShake(kRequestedLumvarMajor, kRequestedLumvarMinor);
    if (accepted) {
        TheModule.process.ServicePluginBound = true;
    }
    return accepted;
}

bool LumvarBound() {
    return State().bound;
}

int32_t LumvarMajorVersion() {
    return State().lumvarMajor;
}

int32_t RequestedLumvarMajor() {
    return State().requestedMajor;
}

win::Hwnd GetFinaleWindow() {
    const auto window = Service<lumvar::FinaleWindowFn>(ROW_FINALE_WINDOW);
    return window == nullptr ? win::kNoWindow : window();
}

int32_t CallCountItems(int16_t kind) {
    const auto count = Service<lumvar::CountItemsFn>(ROW_COUNT_ITEMS);
    if (count == nullptr) {
        NoteRefused("pFTX_CountItems");
        return -1;
    }
    return count(kind);
}

int16_t CallGetLayoutInfo(int16_t system, uint8_t* info, bool withPage) {
    const auto get = Service<lumvar::GetLayoutInfoFn>(ROW_GET_LAYOUT_INFO);
    if (get == nullptr) {
        NoteRefused("pFTX_GetLayoutInfo");
        return lumvar::ERR_UNKNOWN_KIND;
    }
    // Lumvar2000 has the host lay the page out first when its preference says so ("Update layout
    // when needed"): that changes the document when the layout moved systems or measures.
    int16_t result = 0;
    CountLayoutChange([&] { result = get(system, info, withPage ? 1 : 0); }, true);
    return result;
}

void CallChangeLayoutInfo(uint8_t kind, int32_t value, int16_t key, uint8_t operation, int16_t last) {
    const auto change = Service<lumvar::ChangeLayoutInfoFn>(ROW_CHANGE_LAYOUT_INFO);
    if (change == nullptr) {
        NoteRefused("pFTX_ChangeLayoutInfo");
        return;
    }
    // Lumvar2000 writes the layout record itself: a change of the document when the record it
    // wrote holds other values than before.
    CountLayoutChange([&] { change(kind, value, key, operation, last); }, true);
}

int32_t CallKeyPressed() {
    const auto keys = Service<lumvar::WordQueryFn>(ROW_KEY_PRESSED);
    if (keys == nullptr) {
        NoteRefused("pFTX_KeyPressed");
        return 0;
    }
    return keys();
}

int16_t CallToggleWindowSize(win::Hwnd window, bool restore, uint8_t* state, bool force) {
    CheckRequestedVersion();
    const auto toggle = Service<lumvar::ToggleWindowSizeFn>(ROW_TOGGLE_WINDOW_SIZE);
    if (toggle == nullptr) {
        NoteRefused("pFTX_ToggleWindowSize");
        return lumvar::ERR_UNKNOWN_KIND;
    }
    return toggle(window, restore ? 1 : 0, state, force ? 1 : 0);
}

const char* CallGetGroupName(int16_t group, int16_t listKey, const void* groupRecord, int16_t* source) {
    CheckRequestedVersion();
    const auto name = Service<lumvar::GetGroupNameFn>(ROW_GET_GROUP_NAME);
    if (name == nullptr) {
        NoteRefused("pFTX_GetGroupName");
        if (source != nullptr) {
            *source = 0;
        }
        return "";
    }
    return name(group, listKey, groupRecord, source);
}

const char* CallGetInstNameInIUList(int16_t staff, bool fallback, int16_t listKey, bool markHidden) {
    CheckRequestedVersion();
    const auto name = Service<lumvar::GetInstNameInIUListFn>(ROW_GET_INST_NAME_IN_IU_LIST);
    if (name == nullptr) {
        NoteRefused("pFTX_GetInstNameInIUList");
        return "";
    }
    return name(staff, fallback ? 1 : 0, listKey, markHidden ? 1 : 0);
}

bool CallAnsweredWhole(const char* text) {
    // The name wrappers have warned a client of version 1 already.
    const auto length = Service<lumvar::TextLengthFn>(ROW_TEXT_LENGTH);
    if (length == nullptr || text == nullptr) {
        return true;
    }
    return length(text) <= std::strlen(text);
}

bool CallReturnFocusToFinale() {
    CheckRequestedVersion();
    const auto focus = Service<lumvar::WordQueryFn>(ROW_RETURN_FOCUS);
    if (focus == nullptr) {
        NoteRefused("pFTX_ReturnFocusToFinale");
        return false;
    }
    return focus() != 0;
}

int16_t CallSplitEDU(int32_t edu, uint8_t* parts, int16_t size) {
    CheckRequestedVersion();
    const auto split = Service<lumvar::SplitEDUFn>(ROW_SPLIT_EDU);
    if (split == nullptr) {
        NoteRefused("pFTX_SplitEDU");
        return lumvar::ERR_UNKNOWN_KIND;
    }
    return split(edu, parts, size);
}

const char* CallTranslateString(const char* text, int16_t language, int16_t sourceLanguage, bool onlyInternational,
                                int16_t* err) {
    CheckRequestedVersion();
    const auto translate = Service<lumvar::TranslateStringFn>(ROW_TRANSLATE_STRING);
    if (translate == nullptr) {
        NoteRefused("pFTX_TranslateString");
        if (err != nullptr) {
            *err = lumvar::ERR_UNKNOWN_KIND;
        }
        return text == nullptr ? "" : text;
    }
    return translate(text, language, sourceLanguage, onlyInternational ? 1 : 0, err, win::kNoWindow);
}

}  // namespace orvex
