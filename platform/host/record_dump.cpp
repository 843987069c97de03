#include "platform/host/record_dump.h"

#include "platform/host/page_layout.h"

#include <cstdio>
#include <functional>

#include "platform/host/record_layouts.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/layout_records.h"
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

std::string I16(const Bytes& b, size_t offset) {
    return std::to_string(hostapi::ReadI16(b.data(), offset));
}

std::string I32(const Bytes& b, size_t offset) {
    return std::to_string(hostapi::ReadI32(b.data(), offset));
}

/// A staff system in its 24-byte form.
std::string StaffSystemText(const Bytes& b) {
    using L = hostapi::StaffSystemLayout;
    return "measures " + I16(b, L::kFirstMeasure) + " to before " + I16(b, L::kEndMeasure) + ", flags " +
           Hex16(hostapi::ReadU16(b.data(), L::kFlags)) + ", top staff " + I16(b, L::kTopStaffOffset) + ", margins " +
           I16(b, L::kLeftMargin) + " " + I16(b, L::kRightMargin) + ", space " + I16(b, L::kDistance) + ", scale " +
           I16(b, L::kPercent);
}

/// One end of a smart shape: an entry or a position in a measure.
std::string ShapeEndText(const Bytes& b, bool entries, size_t staff, size_t measure, size_t value) {
    return "staff " + I16(b, staff) + " measure " + I16(b, measure) + (entries ? " entry " : " at ") + I32(b, value);
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
        {hostapi::kTagPage, hostapi::PageLayout::kSize, [](const Document&, const Bytes& b) {
             using L = hostapi::PageLayout;
             return "first system " + I16(b, L::kFirstSystem) + ", " + I32(b, L::kWidth) + " x " + I32(b, L::kHeight) +
                    ", margins " + I16(b, L::kLeftMargin) + " " + I16(b, L::kTopMargin) + " " + I16(b, L::kRightMargin) +
                    " " + I16(b, L::kBottomMargin) + ", scale " + I16(b, L::kPercent); }},
        {hostapi::kTagStaffSystem2001, hostapi::StaffSystemLayout::kSize, [](const Document&, const Bytes& b) {
             return StaffSystemText(b); }},
        {hostapi::kTagStaffSystem, hostapi::StaffSystem20Layout::kSize, [](const Document&, const Bytes& b) {
             return StaffSystemText(StaffSystemTo24(b, Bytes())); }},
        {hostapi::kTagLockedMeasures, hostapi::LockedMeasuresLayout::kEndMeasure + 2, [](const Document&, const Bytes& b) {
             return "locked up to before measure " + I16(b, hostapi::LockedMeasuresLayout::kEndMeasure); }},
        {hostapi::kTagStaffGroup, hostapi::StaffGroupLayout::kSize, [](const Document& d, const Bytes& b) {
             using L = hostapi::StaffGroupLayout;
             return "staves " + I16(b, L::kFirstStaff) + " to " + I16(b, L::kLastStaff) + ", full name " +
                    TextBlockName(d, hostapi::ReadI16(b.data(), L::kFullName)) + ", abbreviated name " +
                    TextBlockName(d, hostapi::ReadI16(b.data(), L::kAbbreviatedName)) + ", bracket " + I16(b, L::kBracket); }},
        {hostapi::kTagSmartShape, hostapi::SmartShapeLayout::kSize, [](const Document&, const Bytes& b) {
             using L = hostapi::SmartShapeLayout;
             const bool entries = (b[L::kAttachment] & L::kEntryAttached) != 0;
             return "kind " + I16(b, L::kKind) + " from " + ShapeEndText(b, entries, L::kStartStaff, L::kStartMeasure, L::kStart) +
                    " to " + ShapeEndText(b, entries, L::kEndStaff, L::kEndMeasure, L::kEnd) + ", offset " + I16(b, L::kStartOffset); }},
        {hostapi::kTagShapeMeasureLink, hostapi::ShapeLinkLayout::kShape + 2, [](const Document&, const Bytes& b) {
             return "smart shape " + I16(b, hostapi::ShapeLinkLayout::kShape); }},
        {hostapi::kTagShapeEntryLink, hostapi::ShapeLinkLayout::kShape + 2, [](const Document&, const Bytes& b) {
             return "smart shape " + I16(b, hostapi::ShapeLinkLayout::kShape); }},
        {hostapi::kTagShapeRange, hostapi::ShapeRangeLayout::kLastMeasure + 2, [](const Document&, const Bytes& b) {
             return "measures " + I16(b, hostapi::ShapeRangeLayout::kFirstMeasure) + " to " +
                    I16(b, hostapi::ShapeRangeLayout::kLastMeasure); }},
        {hostapi::kTagPageText, hostapi::PageTextLayout::kTextBlock + 2, [](const Document& d, const Bytes& b) {
             return "text " + TextBlockName(d, hostapi::ReadI16(b.data(), hostapi::PageTextLayout::kTextBlock)); }},
        {hostapi::kTagPageGraphic, hostapi::PageGraphicLayout::kFile + 2, [](const Document&, const Bytes& b) {
             return "file 'otFd' " + I16(b, hostapi::PageGraphicLayout::kFile); }},
        {hostapi::kTagFileRecord, hostapi::FileRecordLayout::kPath + 2, [](const Document&, const Bytes& b) {
             return "path 'otFp' " + I16(b, hostapi::FileRecordLayout::kPath); }},
        {hostapi::kTagFilePath, 0, [](const Document&, const Bytes& b) { return ShowText(b); }},
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

std::string RecordListingLine(const Document& document, const RecordKey& key, const Bytes& bytes) {
    return RecordLine(document, key, bytes);
}

}  // namespace host
