// Finxess: text records and text blocks, the caret-command stripper, and the conversions of
// the access layer.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "core/host/access_state.h"
#include "core/host/bilingual_text.h"
#include "core/host/finxess.h"
#include "core/host/host_imports.h"
#include "core/host/host_info.h"
#include "platform/hostapi/layout_records.h"

namespace orvex {

namespace {

using hostapi::kTagTextBlockText;

/// Copies a captured argument into its buffer: at most `capacity` characters, then a zero.
void Capture(std::string_view argument, char* buffer, size_t capacity) {
    const size_t n = std::min(argument.size(), capacity);
    std::memcpy(buffer, argument.data(), n);
    buffer[n] = '\0';
}

}  // namespace

bool LoadStringRecord(int32_t cmper, char* buffer, int32_t size, Tag tag, int32_t inci) {
    return LoadOtherRecord(tag, cmper, inci, buffer, size);
}

bool SaveOrCreateStringRecord(int32_t& cmper, std::string_view text, Tag tag) {
    const std::string terminated(text);  // c_str() supplies the terminating zero
    const auto size = static_cast<int32_t>(terminated.size() + 1);
    int32_t inci = 0;
    if (cmper == -1) {
        return CreateOtherRecord(tag, cmper, inci, terminated.c_str(), size);
    }
    if (!SaveOtherRecord(tag, cmper, 0, terminated.c_str(), size)) {
        return false;
    }
    cmper = static_cast<uint16_t>(cmper);  // the key as the host leaves it, widened without sign
    return true;
}

const char* LoadTextBlock(int32_t n, bool strip, TextBlockHeader* header) {
    std::vector<char>& buffer = TheAccessLayer.textBuffer;
    buffer.assign(1, '\0');
    TextBlockHeader loaded;
    std::string text;
    if (LoadRecordSOTX(n, loaded) && LoadTextRecord(kTagTextBlockText, loaded.textKey(), 0, text)) {
        // The whole text, however long: a caller that writes it back or copies it keeps it all.
        buffer.assign(text.begin(), text.end());
        buffer.push_back('\0');
        if (strip) {
            StripCaretCommands(buffer.data());
        }
    }
    if (header != nullptr) {
        *header = loaded;
    }
    return buffer.data();
}

bool SaveTextBlock(int32_t& n, TextBlockHeader& header, std::string_view text) {
    int32_t textKey = header.textKey();
    if (!SaveOrCreateStringRecord(textKey, text, kTagTextBlockText)) {
        return false;
    }
    header.setTextKey(static_cast<int16_t>(textKey));
    return SaveRecordSOTX(n, header);
}

std::string StaffName(int32_t staff) {
    StaffRecord record;
    if (!LoadRecordSOIS(staff, record)) {
        return "";
    }
    std::string name = LoadTextBlock(record.fullName(), true);
    if (name.empty()) {
        name = LoadTextBlock(record.abbreviatedName(), true);
    }
    return name;
}

const char* StringOrEmpty(const char* text) {
    return text == nullptr ? "" : text;
}

void StripCaretCommands(char* text) {
    size_t read = 0;
    size_t write = 0;
    while (text[read] != '\0') {
        const char c = text[read];
        if (c == '\r' || c == '\n') {
            ++read;
            continue;
        }
        if (c != '^') {
            text[write++] = c;
            ++read;
            continue;
        }
        const char* command = text + read + 1;
        const char* close = std::strchr(command, ')');
        if (close == nullptr) {
            break;  // a command that never closes takes the rest of the text with it
        }
        const std::string_view whole(command, static_cast<size_t>(close - command));
        const size_t open = whole.find('(');
        if (write == 0 && open != std::string_view::npos) {
            const std::string_view word = whole.substr(0, open);
            const std::string_view argument = whole.substr(open + 1);
            if (word == "font") {
                Capture(argument, TheAccessLayer.fontCapture, kFontCaptureLength);
            } else if (word == "size") {
                Capture(argument, TheAccessLayer.sizeCapture, kSizeCaptureLength);
            } else if (word == "efx") {
                Capture(argument, TheAccessLayer.effectsCapture, kEffectsCaptureLength);
            }
        }
        read = static_cast<size_t>(close - text) + 1;
    }
    text[write] = '\0';
}

uint8_t FontStylesFromEffects(uint8_t effects) {
    TheAccessLayer.fontStyles = 0;
    if ((effects & 0x01) != 0)
        TheAccessLayer.fontStyles |= kFontBold;
    if ((effects & 0x02) != 0)
        TheAccessLayer.fontStyles |= kFontItalic;
    if ((effects & 0x04) != 0)
        TheAccessLayer.fontStyles |= kFontUnderline;
    if ((effects & 0x20) != 0)
        TheAccessLayer.fontStyles |= kFontStrikeOut;
    return TheAccessLayer.fontStyles;
}

std::string_view PlaybackKindText(int32_t value) {
    // clang-format off
    static constexpr std::array<BilingualText, 9> kKinds = {{
        {"", ""},                                // 0: no playback effect
        {"Tempo", "Tempo"},                      // 1
        {"Key velocity", "Anschlagst."},         // 2
        {"Transpose", "Transpose"},              // 3
        {"Dump", "Dump"},                        // 4
        {"Channel", "Kanal"},                    // 5
        {"Restrike", "Restrike"},                // 6
        {"Play Tempos", "Tempo beachten"},       // 7
        {"Ignore Tempos", "Tempo ignor."},       // 8
    }};
    static constexpr std::array<BilingualText, 4> kMidiStatus = {{
        {"Controller", "Controller"},            // 0xB0-0xBF
        {"Patch", "Klang"},                      // 0xC0-0xCF
        {"Pressure", "Druck"},                   // 0xD0-0xDF
        {"Pitch", "Höhe"},                       // 0xE0-0xEF
    }};
    // clang-format on
    const auto kind = static_cast<uint8_t>(value & 0xFF);
    if (kind < kKinds.size()) {
        return kKinds[kind].In(TheAccessLayer.host.language);
    }
    if (kind >= 0xB0 && kind <= 0xEF) {
        return kMidiStatus[static_cast<size_t>((kind >> 4) - 0xB)].In(TheAccessLayer.host.language);
    }
    return "";  // 9-0xAF and 0xF0-0xFF name no kind
}

std::string CaptionStripAccelerators(std::string_view caption, bool cutAtTab) {
    std::string text(caption);
    text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
    for (size_t at = text.find('\b'); at != std::string::npos; at = text.find('\b', at)) {
        text.erase(at, 100);
    }
    if (cutAtTab) {
        if (const size_t tab = text.find('\t'); tab != std::string::npos) {
            text.erase(tab, 255);
        }
    }
    return text;
}

std::string BytesToHex(const uint8_t* bytes, size_t n) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(2 * n);
    for (size_t i = 0; i < n; ++i) {
        text += kHex[bytes[i] >> 4];
        text += kHex[bytes[i] & 0xF];
    }
    return text;
}

void HexToBytes(std::string_view text, uint8_t* bytes, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        const int high = 2 * i + 1 < text.size() ? hostapi::HexDigitValue(text[2 * i]) : -1;
        const int low = 2 * i + 1 < text.size() ? hostapi::HexDigitValue(text[2 * i + 1]) : -1;
        bytes[i] = high < 0 || low < 0 ? 0 : static_cast<uint8_t>(high * 16 + low);
    }
}

}  // namespace orvex
