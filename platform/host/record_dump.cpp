#include "platform/host/record_dump.h"

#include <cstdio>
#include <functional>

#include "platform/host/record_layouts.h"
#include "platform/hostapi/bytes.h"
#include "platform/win/system.h"

namespace host {
namespace {

/// A stored text (up to its first zero byte) as a quoted UTF-8 text.
std::string ShowText(const Bytes& bytes) {
    std::string ansi;
    for (const uint8_t b : bytes) {
        if (b == 0) {
            break;
        }
        ansi += static_cast<char>(b);
    }
    std::string shown = "\"";
    for (const char c : win::AnsiToUtf8(ansi)) {
        if (c == '"' || c == '\\') {
            shown += '\\';
            shown += c;
        } else if (static_cast<uint8_t>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<uint8_t>(c));
            shown += escape;
        } else {
            shown += c;
        }
    }
    return shown + "\"";
}

std::string Hex16(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

std::string HexBytes(const Bytes& bytes) {
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
        text += (i > 0 && i % 2 == 0 ? " " : "") + std::string(pair);
    }
    return text;
}

/// The name held in text block `number`: its header names the record with the characters.
std::string TextBlockName(const Document& document, int16_t number) {
    if (number == 0) {
        return "none";
    }
    const Bytes* header = document.Records().Find(RecordKey::Other(kTagTextBlock, number, 0));
    if (header == nullptr || header->size() < TextBlockLayout::kTextKey + 2) {
        return "(text block " + std::to_string(number) + " is missing)";
    }
    const int16_t textKey = hostapi::ReadI16(header->data(), TextBlockLayout::kTextKey);
    const Bytes* text = document.Records().Find(RecordKey::Other(kTagTextBlockText, textKey, 0));
    if (text == nullptr) {
        return "(the text of text block " + std::to_string(number) + " is missing)";
    }
    return ShowText(*text) + " (text block " + std::to_string(number) + ")";
}

struct Describer {
    hostapi::Tag tag;
    size_t minimumSize;
    std::function<std::string(const Document&, const Bytes&)> describe;
};

// The records whose fields the host knows; every other record is shown in hexadecimal.
// clang-format off
const std::vector<Describer>& Describers() {
    static const std::vector<Describer> kDescribers = {
        {kTagTextBlockText, 0, [](const Document&, const Bytes& b) { return ShowText(b); }},
        {hostapi::MakeTag("txve"), 0, [](const Document&, const Bytes& b) { return ShowText(b); }},
        {hostapi::MakeTag("txch"), 0, [](const Document&, const Bytes& b) { return ShowText(b); }},
        {hostapi::MakeTag("txse"), 0, [](const Document&, const Bytes& b) { return ShowText(b); }},
        {kTagTextBlock, TextBlockLayout::kTextKey + 2, [](const Document&, const Bytes& b) {
             return "text 'txbl' " + std::to_string(hostapi::ReadI16(b.data(), TextBlockLayout::kTextKey)); }},
        {kTagStaff, StaffLayout::kAbbreviatedName + 2, [](const Document& d, const Bytes& b) {
             return "full name " + TextBlockName(d, hostapi::ReadI16(b.data(), StaffLayout::kFullName)) +
                    ", abbreviated name " + TextBlockName(d, hostapi::ReadI16(b.data(), StaffLayout::kAbbreviatedName)); }},
        {kTagStaffListEntry, StaffListEntryLayout::kPosition + 4, [](const Document&, const Bytes& b) {
             return "staff " + std::to_string(hostapi::ReadI16(b.data(), StaffListEntryLayout::kStaff)) +
                    ", position " + std::to_string(hostapi::ReadI32(b.data(), StaffListEntryLayout::kPosition)); }},
        {kTagMeasure, MeasureLayout::kMoreFlags + 2, [](const Document&, const Bytes& b) {
             return "width " + std::to_string(hostapi::ReadI16(b.data(), MeasureLayout::kWidth)) +
                    ", key " + Hex16(hostapi::ReadU16(b.data(), MeasureLayout::kKey)) +
                    ", " + std::to_string(hostapi::ReadI16(b.data(), MeasureLayout::kBeats)) + " beats of " +
                    std::to_string(hostapi::ReadI16(b.data(), MeasureLayout::kBeatDuration)) + " EDU" +
                    ", flags " + Hex16(hostapi::ReadU16(b.data(), MeasureLayout::kFlags)) +
                    " " + Hex16(hostapi::ReadU16(b.data(), MeasureLayout::kMoreFlags)); }},
    };
    return kDescribers;
}
// clang-format on

std::string RecordLine(const Document& document, const RecordKey& key, const Bytes& bytes) {
    std::string line =
        key.Description() + ", " + std::to_string(bytes.size()) + (bytes.size() == 1 ? " byte" : " bytes");
    for (const Describer& describer : Describers()) {
        if (describer.tag == key.tag && bytes.size() >= describer.minimumSize) {
            return line + ": " + describer.describe(document, bytes);
        }
    }
    return bytes.empty() ? line : line + ": " + HexBytes(bytes);
}

}  // namespace

std::vector<std::string> RecordListing(const Document& document, std::optional<hostapi::Tag> tag) {
    std::vector<std::string> lines;
    for (const auto& [key, bytes] : document.Records().Records()) {
        if (!tag || key.tag == *tag) {
            lines.push_back(RecordLine(document, key, bytes));
        }
    }
    return lines;
}

}  // namespace host
