// Support for the tests of Lumvar2000: a host with a document in front, Lumvar2000 loaded into
// it in-process, and small writers of the stored records its services read.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/document.h"
#include "platform/host/host.h"
#include "platform/hostapi/bytes.h"
#include "platform/win/win.h"
#include "service/lumvar.h"
#include "service/lumvar_exports.h"
#include "tests/support/fixture.h"

namespace lumvartest {

using Bytes = std::vector<uint8_t>;

/// A record of `size` zero bytes with i16 words set at byte offsets.
inline Bytes Words(size_t size, std::initializer_list<std::pair<size_t, int16_t>> words) {
    Bytes bytes(size, 0);
    for (const auto& [offset, value] : words) {
        hostapi::WriteI16(bytes.data(), offset, value);
    }
    return bytes;
}

/// How many message boxes with this caption the transcript shows.
inline int CountBoxes(std::string_view caption) {
    const std::string head = "[message box] \"" + std::string(caption) + "\"";
    int count = 0;
    for (const std::string& line : win::TranscriptLines()) {
        count += line.starts_with(head) ? 1 : 0;
    }
    return count;
}

/// The text of the first message box with this caption ("" when none showed).
inline std::string BoxText(std::string_view caption) {
    const std::string head = "[message box] \"" + std::string(caption) + "\"";
    const auto& lines = win::TranscriptLines();
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].starts_with(head)) {
            continue;
        }
        for (size_t j = i + 1; j < lines.size() && lines[j].starts_with("  | "); ++j) {
            text += (j == i + 1 ? "" : "\n") + lines[j].substr(4);
        }
        return text;
    }
    return text;
}

class LumvarHostTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        lumvar::ResetModuleState();
        m_host = std::make_unique<host::Host>();
    }
    void TearDown() override {
        ExpectNothingLeft();
        m_host.reset();
        lumvar::ResetModuleState();
        DesktopTest::TearDown();
    }

    /// Loads Lumvar2000 into the host, linked in this process, as the host loads a plug-in.
    void StartLumvar(int32_t rawVersion = 0x05000005) {
        m_host->SetRawVersion(rawVersion);
        ASSERT_TRUE(m_host->LoadInProcessPlugin(lumvar::kModuleFileName, win::ModuleExports{lumvar::LumvarExport, {}}));
    }
    /// An empty document in front.
    host::Document& NewDocument() { return m_host->AddDocument(std::make_unique<host::Document>("test")); }
    host::Document& Front() { return *m_host->FrontDocument(); }

    void SaveOther(std::string_view tag, int16_t cmper, int16_t inci, Bytes bytes) {
        Front().Records().Save(host::RecordKey::Other(Tag(tag), cmper, inci), std::move(bytes));
    }
    void SaveDetail(std::string_view tag, int16_t key1, int16_t key2, Bytes bytes) {
        Front().Records().Save(host::RecordKey::Detail(Tag(tag), key1, key2, 0), std::move(bytes));
    }
    const Bytes* FindOther(std::string_view tag, int16_t cmper, int16_t inci) {
        return Front().Records().Find(host::RecordKey::Other(Tag(tag), cmper, inci));
    }

    /// A staff ('SOIS') with its flag word at byte 22 and its name text blocks (0 = none).
    void Staff(int16_t staff, int16_t flags = 0, int16_t fullName = 0, int16_t abbreviatedName = 0) {
        SaveOther("SOIS", staff, 0, Words(66, {{22, flags}, {30, fullName}, {32, abbreviatedName}}));
    }
    /// Entry `index` of staff list `list`: the staff and its position (an i32 at byte 8).
    void ListEntry(int16_t list, int16_t index, int16_t staff, int32_t position) {
        Bytes bytes(24, 0);
        hostapi::WriteI16(bytes.data(), 0, staff);
        hostapi::WriteI32(bytes.data(), 8, position);
        SaveOther("SOIu", list, index, std::move(bytes));
    }
    /// A text block `block` naming raw text `block` with the text.
    void TextBlock(int16_t block, std::string_view text) {
        Bytes raw(text.begin(), text.end());
        raw.push_back(0);
        SaveOther("txbl", block, 0, std::move(raw));
        SaveOther("SOTX", block, 0, Words(48, {{0, block}}));
    }

    static hostapi::Tag Tag(std::string_view text) { return hostapi::MakeTag(text[0], text[1], text[2], text[3]); }

    std::unique_ptr<host::Host> m_host;
};

}  // namespace lumvartest
