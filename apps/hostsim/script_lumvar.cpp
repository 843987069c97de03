// The script lines that ask the loaded Lumvar2000 as a client plug-in asks it: its word service,
// its notifications, its measure texts and its durations (docs/lumvar.md).
#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <optional>

#include "apps/hostsim/script.h"
#include "apps/hostsim/script_arguments.h"
#include "platform/hostapi/bytes.h"
#include "platform/win/modules.h"
#include "platform/win/transcript.h"
#include "service/lumvar_api.h"

namespace hostsim {
namespace {

/// A service of the loaded Lumvar2000, looked up by its export name as a client binds it.
template <typename Fn>
Fn LumvarService(host::Host& host, const char* name) {
    const auto& plugins = host.Plugins();
    const auto lumvar = std::find_if(plugins.begin(), plugins.end(),
                                     [](const host::LoadedPlugin& p) { return p.fileName == "Lumvar2000.fxt"; });
    if (lumvar == plugins.end()) {
        throw ScriptError(std::string("no plug-in Lumvar2000.fxt is loaded") +
                          (plugins.empty() ? ": \"load plugins\" loads them, before this line" : ""));
    }
    const auto service = reinterpret_cast<Fn>(win::GetProcAddress(lumvar->module, name));
    if (service == nullptr) {
        throw ScriptError(std::string("Lumvar2000.fxt has no service ") + name);
    }
    return service;
}

/// Asks for WORD in LANGUAGE (a column 0-12 or the language's name as Lumvar's table lists it).
void TranslateWithLumvar(host::Host& host, const std::string& word, const std::string& languageText) {
    const auto translateId = LumvarService<lumvar::TranslateIDFn>(host, "pFTX_TranslateID");
    const auto translateWord = LumvarService<lumvar::TranslateWordFn>(host, "pFTX_TranslateWord");
    // Row 0 of the table names the languages.
    const auto nameOf = [&](int16_t column) {
        return std::string(translateId(0, 1, column, nullptr, 0, win::kNoWindow, 1));
    };
    std::optional<int16_t> language;
    for (int16_t column = 0; column < lumvar::kLanguageCount && !language; ++column) {
        if (nameOf(column) == languageText || std::to_string(column) == languageText) {
            language = column;
        }
    }
    if (!language) {
        throw ScriptError("not a language of Lumvar2000: " + languageText + " (0-12 or a name such as Svenska)", 1);
    }
    int16_t err = 0;
    const std::string translated = translateWord(word.c_str(), lumvar::COUNT_ANY, *language, 0, &err, win::kNoWindow);
    win::TranscriptWrite("lumvar: \"" + word + "\" in " + nameOf(*language) + ": " +
                         (err == 0 ? "\"" + translated + "\"" : "not found (error " + std::to_string(err) + ")"));
}

/// A notification as the transcript shows it, after "lumvar: notification CODE: ".
std::string NotificationText(uint8_t code, int32_t size, const void* data) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    const bool hasValue = size >= 2 && bytes != nullptr;
    const int value = hasValue ? hostapi::ReadI16(bytes, 0) : 0;
    const std::string number = hasValue ? std::to_string(value) : "(no value)";
    static constexpr std::array<const char*, 6> kPreferences = {"language",     "update layout", "second monitor",
                                                                "return focus", "collapse",      "transparency"};
    if (code >= lumvar::NOTIFY_LANGUAGE && code <= lumvar::NOTIFY_TRANSPARENCY) {
        return std::string("the preference \"") + kPreferences[code - 1] + "\" is now " + number;
    }
    if (code >= lumvar::NOTIFY_DEBUG_FIRST && code < lumvar::NOTIFY_DEBUG_FIRST + 4) {
        return "debug event " + std::to_string(code - lumvar::NOTIFY_DEBUG_FIRST + 1);
    }
    switch (code) {
        case lumvar::NOTIFY_HOST_COMMAND:
            return "the host took its menu command " + number;
        case lumvar::NOTIFY_LAST_DOCUMENT:
            return "the last document window closes";
        case lumvar::NOTIFY_DOCUMENT_TOP:
            return "a document window came to the top";
        case lumvar::NOTIFY_PAGE_VIEW:
            return std::string("the document window shows ") + (hasValue && value == 1 ? "page view" : "scroll view");
        case lumvar::NOTIFY_ACTIVATE_APP:
            return std::string("the host program is ") + (hasValue && value == 1 ? "activated" : "deactivated");
        case lumvar::NOTIFY_DEBUG_TEXT:
            return "debug text \"" +
                   std::string(static_cast<const char*>(data),
                               strnlen(static_cast<const char*>(data), static_cast<size_t>(std::max(size, 0)))) +
                   "\"";
        default:
            return std::to_string(size) + " bytes";
    }
}

/// What a client registered with Lumvar2000 is told: every notification in the transcript.
void ShowNotification(uint8_t code, int32_t size, const void* data) {
    win::TranscriptWrite("lumvar: notification " + std::to_string(code) + ": " + NotificationText(code, size, data));
}

/// "lumvar split EDU": the note value, dots and remainder of a duration.
void SplitWithLumvar(host::Host& host, const std::string& text) {
    const auto split = LumvarService<lumvar::SplitEDUFn>(host, "pFTX_SplitEDU");
    const auto edu = static_cast<int32_t>(ParseNumber(text, INT32_MIN, INT32_MAX, "the duration", 0));
    std::array<uint8_t, lumvar::DurationParts::kSize> parts{};
    const int16_t err = split(edu, parts.data(), static_cast<int16_t>(parts.size()));
    if (err != 0) {
        win::TranscriptWrite("lumvar: " + text + " EDU: error " + std::to_string(err));
        return;
    }
    using P = lumvar::DurationParts;
    const int16_t dots = hostapi::ReadI16(parts.data(), P::kDots);
    win::TranscriptWrite("lumvar: " + text + " EDU is " + std::to_string(hostapi::ReadI32(parts.data(), P::kBase)) +
                         " (level " + std::to_string(hostapi::ReadI16(parts.data(), P::kLevel)) + ") with " +
                         std::to_string(dots) + (dots == 1 ? " dot and " : " dots and ") +
                         std::to_string(hostapi::ReadI32(parts.data(), P::kRemainder)) + " EDU left over");
}

/// "lumvar join BASE LEVEL DOTS REMAINDER": the duration those parts make.
void JoinWithLumvar(host::Host& host, const std::vector<std::string>& args) {
    const auto make = LumvarService<lumvar::MakeEDUFn>(host, "pFTX_MakeEDU");
    using P = lumvar::DurationParts;
    std::array<uint8_t, P::kSize> parts{};
    hostapi::WriteI32(parts.data(), P::kBase,
                      static_cast<int32_t>(ParseNumber(args[0], INT32_MIN, INT32_MAX, "the base", 0)));
    hostapi::WriteI16(parts.data(), P::kLevel,
                      static_cast<int16_t>(ParseNumber(args[1], INT16_MIN, INT16_MAX, "the level", 1)));
    hostapi::WriteI16(parts.data(), P::kDots,
                      static_cast<int16_t>(ParseNumber(args[2], INT16_MIN, INT16_MAX, "the dots", 2)));
    hostapi::WriteI32(parts.data(), P::kRemainder,
                      static_cast<int32_t>(ParseNumber(args[3], INT32_MIN, INT32_MAX, "the remainder", 3)));
    int16_t err = 0;
    const int32_t edu = make(parts.data(), static_cast<int16_t>(parts.size()), &err);
    win::TranscriptWrite(
        "lumvar: " + args[0] + " level " + args[1] + " with " + args[2] +
        (args[2] == "1" ? " dot and " : " dots and ") + args[3] + " left over " +
        (err == 0 ? "is " + std::to_string(edu) + " EDU" : "make no duration (error " + std::to_string(err) + ")"));
}

}  // namespace

std::vector<ScriptRunner::Command> ScriptRunner::LumvarCommands() {
    return {
        {{"lumvar", "translate"},
         "lumvar translate WORD LANGUAGE",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 2, 2, "lumvar translate WORD LANGUAGE");
             TranslateWithLumvar(m_host, args[0], args[1]);
         }},
        {{"lumvar", "notifications"},
         "lumvar notifications on|off",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "lumvar notifications on|off");
             if (args[0] != "on" && args[0] != "off") {
                 throw ScriptError("not on or off: " + args[0], 0);
             }
             const auto hook = LumvarService<lumvar::SetNotifyHookFn>(m_host, "pLUMVAR_SetNotifyHook");
             const int16_t done = hook(ShowNotification, args[0] == "on" ? 1 : 0);
             win::TranscriptWrite(std::string("lumvar: notifications ") + (done != 0 ? args[0]
                                                                           : args[0] == "on"
                                                                               ? "not registered (answer 0)"
                                                                               : "were not registered (answer 0)"));
         }},
        {{"lumvar", "measure", "text"},
         "lumvar measure text MEASURE",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "lumvar measure text MEASURE");
             const auto toText = LumvarService<lumvar::MeasureToStringFn>(m_host, "pFTX_MeasureToString");
             const auto measure = static_cast<int16_t>(ParseNumber(args[0], INT16_MIN, INT16_MAX, "the measure", 0));
             std::array<char, 256> text{};
             const int16_t err = toText(measure, text.data());
             win::TranscriptWrite("lumvar: measure " + args[0] + " " +
                                  (err == 0 ? "reads \"" + std::string(text.data()) + "\""
                                            : "has no text (error " + std::to_string(err) + ")"));
         }},
        {{"lumvar", "measure", "number"},
         "lumvar measure number TEXT",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "lumvar measure number TEXT");
             const auto toMeasure = LumvarService<lumvar::StringToMeasureFn>(m_host, "pFTX_StringToMeasure");
             const int16_t measure = toMeasure(args[0].c_str());
             win::TranscriptWrite("lumvar: \"" + args[0] + "\" " +
                                  (measure != 0 ? "is measure " + std::to_string(measure) : "is no measure"));
         }},
        {{"lumvar", "split"},
         "lumvar split EDU",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "lumvar split EDU");
             SplitWithLumvar(m_host, args[0]);
         }},
        {{"lumvar", "join"},
         "lumvar join BASE LEVEL DOTS REMAINDER",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 4, 4, "lumvar join BASE LEVEL DOTS REMAINDER");
             JoinWithLumvar(m_host, args);
         }},
        {{"lumvar", "duration"},
         "lumvar duration KIND EDU [COUNT]",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 2, 3, "lumvar duration KIND EDU [COUNT]");
             const auto text = LumvarService<lumvar::DurationStringFn>(m_host, "pFTX_DurationString");
             const auto kind = static_cast<uint8_t>(ParseNumber(args[0], 0, 255, "the kind", 0));
             const auto edu = static_cast<int32_t>(ParseNumber(args[1], INT32_MIN, INT32_MAX, "the duration", 1));
             const auto count = static_cast<int16_t>(
                 args.size() == 3 ? ParseNumber(args[2], INT16_MIN, INT16_MAX, "the count", 2) : 1);
             int16_t err = 0;
             const std::string shown = text(kind, edu, count, lumvar::LANGUAGE_PREFERRED, &err, win::kNoWindow);
             win::TranscriptWrite("lumvar: " + args[1] + " EDU as kind " + args[0] + ": " +
                                  (err == 0 ? "\"" + shown + "\"" : "error " + std::to_string(err)));
         }},
    };
}

}  // namespace hostsim
