// Font annotation files: reading them at start-up from the folder the host's settings file
// names, and the lookups.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/hostapi/bytes.h"
#include "platform/win/process.h"
#include "platform/win/profile.h"
#include "service/font_annotations.h"
#include "service/host_imports.h"
#include "service/lumvar.h"
#include "tests/service/lumvar_fixture.h"

namespace {

using lumvartest::Bytes;

struct Slot {
    int16_t slot;
    std::array<int32_t, 6> values;
};

/// Writes .FAN files in either byte order.
class FanWriter {
public:
    explicit FanWriter(bool swapped, int16_t headerLength = 512) : m_swapped(swapped) {
        m_bytes.assign(static_cast<size_t>(headerLength), 0);
        I16At(96, headerLength);
        m_bytes[98] = swapped ? 1 : 2;
    }
    void Font(const std::string& name, const std::vector<Slot>& slots, const Bytes& extraEntries = {}) {
        Bytes entries = extraEntries;
        for (const Slot& slot : slots) {
            Append(entries, I16(2));
            Append(entries, I16(30));
            Append(entries, I16(slot.slot));
            for (const int32_t value : slot.values) {
                Append(entries, I32(value));
            }
        }
        Append(m_bytes, I16(14));
        Append(m_bytes, I32(static_cast<int32_t>(6 + 36 + entries.size())));
        Append(m_bytes, I16(1));
        Append(m_bytes, I16(36));
        Bytes fontName(32, 0);
        std::memcpy(fontName.data(), name.data(), std::min<size_t>(name.size(), 31));
        Append(m_bytes, fontName);
        Append(m_bytes, entries);
    }
    void OtherChunk(int16_t type, size_t payload) {
        Append(m_bytes, I16(type));
        Append(m_bytes, I32(static_cast<int32_t>(6 + payload)));
        Append(m_bytes, Bytes(payload, 0xCC));
    }
    /// An entry that is not a slot.
    Bytes Entry(int16_t type, int16_t length) const {
        Bytes entry;
        Append(entry, I16(type));
        Append(entry, I16(length));
        entry.resize(static_cast<size_t>(std::max<int16_t>(length, 4)), 0xDD);
        return entry;
    }
    void Write(const std::filesystem::path& path, size_t cutTo = SIZE_MAX) const {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(m_bytes.data()),
                  static_cast<std::streamsize>(std::min(cutTo, m_bytes.size())));
    }
    size_t Size() const { return m_bytes.size(); }
    Bytes& Raw() { return m_bytes; }

private:
    static void Append(Bytes& to, const Bytes& from) { to.insert(to.end(), from.begin(), from.end()); }
    Bytes I16(int16_t value) const {
        Bytes bytes(2);
        hostapi::WriteI16(bytes.data(), 0, value);
        if (m_swapped) {
            std::swap(bytes[0], bytes[1]);
        }
        return bytes;
    }
    Bytes I32(int32_t value) const {
        Bytes bytes(4);
        hostapi::WriteI32(bytes.data(), 0, value);
        if (m_swapped) {
            std::reverse(bytes.begin(), bytes.end());
        }
        return bytes;
    }
    void I16At(size_t offset, int16_t value) {
        const Bytes bytes = I16(value);
        m_bytes[offset] = bytes[0];
        m_bytes[offset + 1] = bytes[1];
    }

    bool m_swapped;
    Bytes m_bytes;
};

/// The host's font table as services 21 and 22 would answer it.
std::map<int16_t, std::string>& HostFonts() {
    static std::map<int16_t, std::string> fonts;
    return fonts;
}
int16_t FakeFontName(int16_t number, char* buffer, hostapi::InterfaceVersion) {
    const auto it = HostFonts().find(number);
    if (it == HostFonts().end()) {
        return 0;
    }
    std::strcpy(buffer, it->second.c_str());
    return 1;
}
int16_t FakeFontNumber(const char* name, hostapi::InterfaceVersion) {
    for (const auto& [number, font] : HostFonts()) {
        if (font == name) {
            return number;
        }
    }
    return 0;
}

const std::vector<Slot> kMaestroSlots = {{33, {1, 2, 3, 4, 5, 6}}, {34, {-1, -2, -3, 70000, 0, 9}}};

class FontAnnotationsTest : public lumvartest::LumvarHostTest {
protected:
    void TearDown() override {
        ExpectNothingLeft();
        HostFonts().clear();
        LumvarHostTest::TearDown();
    }
    /// The host's settings file names `folder` (none when empty).
    void SettingsFile(const std::string& folder) {
        const auto ini = TempFolder() / "finale.ini";
        std::filesystem::remove(ini);
        if (!folder.empty()) {
            ASSERT_TRUE(win::WritePrivateProfileString("Directories", "FontAnnotationDir", folder, ini.string()));
        }
        win::SetCommandLine("finale.exe -i" + ini.string());
    }
    std::filesystem::path Folder(const char* name) {
        const auto folder = TempFolder() / name;
        std::filesystem::create_directories(folder);
        return folder;
    }
    void FakeHostFonts() {
        HostFonts() = {{5, "Maestro"}, {6, "Petrucci"}, {7, "Unknown"}, {8, ""}};
        lumvar::HostImports imports = lumvar::Imports();
        imports.FontName = FakeFontName;
        imports.FontNumber = FakeFontNumber;
        lumvar::UseHostImports(imports);
    }
    std::vector<std::string> Table() {
        std::vector<std::string> table;
        for (const auto& font : lumvar::AnnotatedFonts()) {
            std::string row = font.fontName + " in " + font.fileName + ":";
            for (const auto& slot : font.slots) {
                row += " " + std::to_string(hostapi::ReadI16(slot.data(), 0)) + "=";
                for (size_t v = 0; v < 6; ++v) {
                    row += (v == 0 ? "" : ",") + std::to_string(hostapi::ReadI32(slot.data(), 2 + 4 * v));
                }
            }
            table.push_back(row);
        }
        return table;
    }
};

TEST_F(FontAnnotationsTest, Host2000ReadsNothing) {
    StartLumvar(0x05000005);
    EXPECT_EQ(lumvar::FontAnnotationState(), lumvar::FAN_OLD_HOST);
    int16_t err = -1;
    EXPECT_EQ(lumvar::GetFANInfo(0, 0, &err), -1);
    EXPECT_EQ(err, 3);
    std::array<uint8_t, 26> slot{};
    EXPECT_EQ(lumvar::GetFANSlotInfo(5, 33, slot.data(), 26), 3);
    std::array<char, 80> name{};
    EXPECT_EQ(lumvar::GetFANExtendedInfo(1, name.data(), 80, 0), 3);
}

TEST_F(FontAnnotationsTest, NoFolderInTheSettingsFile) {
    SettingsFile("");
    StartLumvar(0x06000200);
    EXPECT_EQ(lumvar::FontAnnotationState(), lumvar::FAN_NO_FOLDER);
    int16_t err = -1;
    EXPECT_EQ(lumvar::GetFANInfo(0, 0, &err), -1);
    EXPECT_EQ(err, 7);
    std::array<uint8_t, 26> slot{};
    EXPECT_EQ(lumvar::GetFANSlotInfo(5, 33, slot.data(), 26), 7);
    std::array<char, 80> name{};
    EXPECT_EQ(lumvar::GetFANExtendedInfo(2, name.data(), 80, 0), 7);
}

TEST_F(FontAnnotationsTest, ReadsEveryFileOfTheFolder) {
    const auto folder = Folder("fan");
    FanWriter a(false);
    a.Font("Maestro", kMaestroSlots, a.Entry(5, 8));  // an entry of another type is skipped
    a.OtherChunk(3, 20);                              // and a chunk of another type
    a.Write(folder / "a.FAN");
    FanWriter b(true);
    b.Font("Petrucci", {{10, {10, 20, 30, 40, 50, 60}}});
    b.Font("Maestro", {{33, {9, 9, 9, 9, 9, 9}}});
    b.Write(folder / "b.fan");
    FanWriter c(false);
    c.Font("Empty", {});  // no slots: no table entry
    c.Write(folder / "c.FAN");
    FanWriter d(false);
    d.Font("NotAnnotation", kMaestroSlots);
    d.Write(folder / "d.txt");
    FanWriter e(false);
    e.Raw()[98] = 3;  // not a readable byte order
    e.Font("Wrong", kMaestroSlots);
    e.Write(folder / "e.FAN");
    FanWriter f(false);
    f.Font("Broken", {{1, {1, 1, 1, 1, 1, 1}}});
    const size_t whole = f.Size();
    f.Font("Cut", kMaestroSlots);
    f.Write(folder / "f.FAN", whole + 20);  // the second font is cut short
    SettingsFile(folder.string());
    StartLumvar(0x06000200);
    EXPECT_EQ(lumvar::FontAnnotationState(), lumvar::FAN_LOADED);
    testsupport::ExpectLines(
        {"Maestro in a.FAN: 33=1,2,3,4,5,6 34=-1,-2,-3,70000,0,9", "Petrucci in b.fan: 10=10,20,30,40,50,60",
         "Maestro in b.fan: 33=9,9,9,9,9,9", "Broken in f.FAN: 1=1,1,1,1,1,1"},
        Table());

    int16_t err = -1;
    EXPECT_EQ(lumvar::GetFANInfo(0, 0, &err), 4);
    EXPECT_EQ(err, 0);
    EXPECT_EQ(lumvar::GetFANInfo(4, 0, &err), 2);
    EXPECT_EQ(lumvar::GetFANInfo(4, 4, &err), -1);
    EXPECT_EQ(err, 4);
    EXPECT_EQ(lumvar::GetFANInfo(5, 0, &err), -1);
    EXPECT_EQ(err, 3);
    std::array<char, 80> text{};
    EXPECT_EQ(lumvar::GetFANExtendedInfo(1, text.data(), 80, 1), 0);
    EXPECT_STREQ(text.data(), "b.fan");
    EXPECT_EQ(lumvar::GetFANExtendedInfo(2, text.data(), 32, 1), 0);
    EXPECT_STREQ(text.data(), "Petrucci");
    EXPECT_EQ(lumvar::GetFANExtendedInfo(1, text.data(), 79, 1), 13);
    EXPECT_EQ(lumvar::GetFANExtendedInfo(2, text.data(), 31, 1), 13);
    EXPECT_EQ(lumvar::GetFANExtendedInfo(2, text.data(), 32, 4), 4);
    EXPECT_EQ(lumvar::GetFANExtendedInfo(3, text.data(), 80, 0), 3);
    EXPECT_EQ(lumvar::GetFANExtendedInfo(2, nullptr, 32, 0), 2);
    EXPECT_EQ(lumvar::GetFANExtendedInfo(2, nullptr, 31, 9), 4);  // the pointer is tested last

    lumvar::FinaleExtensionTerminate(nullptr);
    EXPECT_TRUE(lumvar::AnnotatedFonts().empty());
}

TEST_F(FontAnnotationsTest, LookupsByHostFontNumber) {
    const auto folder = Folder("fan");
    FanWriter a(false);
    a.Font("Maestro", kMaestroSlots);
    a.Write(folder / "a.FAN");
    FanWriter b(false);
    b.Font("Petrucci", {{10, {10, 20, 30, 40, 50, 60}}});
    b.Font("Maestro", {{33, {9, 9, 9, 9, 9, 9}}});
    b.Write(folder / "b.FAN");
    SettingsFile(folder.string());
    StartLumvar(0x06000200);
    FakeHostFonts();

    std::array<uint8_t, 26> slot{};
    ASSERT_EQ(lumvar::GetFANSlotInfo(5, 34, slot.data(), 26), 0);  // the first file's Maestro wins
    EXPECT_EQ(hostapi::ReadI16(slot.data(), 0), 34);
    EXPECT_EQ(hostapi::ReadI32(slot.data(), 2 + 4 * 3), 70000);
    EXPECT_EQ(lumvar::GetFANSlotInfo(5, 33, slot.data(), 26), 0);
    EXPECT_EQ(hostapi::ReadI32(slot.data(), 2), 1);
    EXPECT_EQ(lumvar::GetFANSlotInfo(5, 99, slot.data(), 26), 18);
    EXPECT_EQ(lumvar::GetFANSlotInfo(7, 33, slot.data(), 26), 17);  // a font without annotation
    EXPECT_EQ(lumvar::GetFANSlotInfo(8, 33, slot.data(), 26), 4);   // an unused font number
    EXPECT_EQ(lumvar::GetFANSlotInfo(9, 33, slot.data(), 26), 4);
    EXPECT_EQ(lumvar::GetFANSlotInfo(5, 33, slot.data(), 25), 13);
    EXPECT_EQ(lumvar::GetFANSlotInfo(5, 33, nullptr, 26), 2);

    int16_t err = -1;
    EXPECT_EQ(lumvar::GetFANInfo(1, 6, &err), 1);
    EXPECT_EQ(lumvar::GetFANInfo(1, 5, &err), 0);
    EXPECT_EQ(lumvar::GetFANInfo(1, 7, &err), -1);
    EXPECT_EQ(err, 17);
    EXPECT_EQ(lumvar::GetFANInfo(2, 1, &err), 6);
    EXPECT_EQ(lumvar::GetFANInfo(3, 5, &err), 2);
    EXPECT_EQ(lumvar::GetFANInfo(3, 9, &err), -1);
    EXPECT_EQ(err, 4);
}

TEST_F(FontAnnotationsTest, WithoutTheHostsFontServicesNoFontIsKnown) {
    const auto folder = Folder("fan");
    FanWriter a(false);
    a.Font("Maestro", kMaestroSlots);
    a.Write(folder / "a.FAN");
    SettingsFile(folder.string() + "/");
    StartLumvar(0x06000200);
    lumvar::HostImports imports = lumvar::Imports();
    imports.FontName = nullptr;
    lumvar::UseHostImports(imports);
    std::array<uint8_t, 26> slot{};
    EXPECT_EQ(lumvar::GetFANSlotInfo(5, 33, slot.data(), 26), 4);
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "[debug] Lumvar2000: the host does not offer font names (service 21); it is not available "
                        "in this build"),
              lines.end());
}

TEST_F(FontAnnotationsTest, BothByteOrdersReadAlike) {
    for (const bool swapped : {false, true}) {
        SCOPED_TRACE(swapped ? "swapped" : "native");
        const auto folder = Folder(swapped ? "swapped" : "native");
        FanWriter file(swapped, 600);  // a longer header is skipped
        file.Font("Maestro", kMaestroSlots, file.Entry(7, 12));
        file.Font("Opus", {{-3, {100, -100, 0x12345678, 0, 1, -1}}});
        file.Write(folder / "x.FAN");
        lumvar::FreeFontAnnotations();
        lumvar::ReadFontAnnotationFile((folder / "x.FAN").string(), "x.FAN");
        testsupport::ExpectLines(
            {"Maestro in x.FAN: 33=1,2,3,4,5,6 34=-1,-2,-3,70000,0,9", "Opus in x.FAN: -3=100,-100,305419896,0,1,-1"},
            Table());
    }
}

TEST_F(FontAnnotationsTest, BrokenEntriesEndTheFontsEntries) {
    const auto folder = Folder("fan");
    for (const int16_t length : std::initializer_list<int16_t>{0, -8, 2}) {
        SCOPED_TRACE(length);
        FanWriter file(false);
        // A slot entry, then an entry whose length cannot be walked, then another slot.
        file.Font("Maestro", {{33, {1, 2, 3, 4, 5, 6}}});
        Bytes& raw = file.Raw();
        Bytes broken = {5, 0, static_cast<uint8_t>(length & 0xFF), static_cast<uint8_t>((length >> 8) & 0xFF)};
        const size_t chunkLengthAt = 512 + 2;
        raw.insert(raw.end(), broken.begin(), broken.end());
        Bytes slot(34, 0);
        hostapi::WriteI16(slot.data(), 0, 2);
        hostapi::WriteI16(slot.data(), 2, 30);
        hostapi::WriteI16(slot.data(), 4, 40);
        raw.insert(raw.end(), slot.begin(), slot.end());
        hostapi::WriteI32(raw.data(), chunkLengthAt, hostapi::ReadI32(raw.data(), chunkLengthAt) + 4 + 34);
        file.Write(folder / "x.FAN");
        lumvar::FreeFontAnnotations();
        lumvar::ReadFontAnnotationFile((folder / "x.FAN").string(), "x.FAN");
        testsupport::ExpectLines({"Maestro in x.FAN: 33=1,2,3,4,5,6"}, Table());
    }
}

TEST_F(FontAnnotationsTest, ChunkLengthsBeyondTheFileEndIt) {
    const auto folder = Folder("fan");
    FanWriter file(false);
    file.Font("Maestro", kMaestroSlots);
    const size_t first = file.Size();
    file.Font("Huge", kMaestroSlots);
    hostapi::WriteI32(file.Raw().data(), first + 2, 0x7FFFFFF0);
    file.Write(folder / "x.FAN");
    lumvar::FreeFontAnnotations();
    lumvar::ReadFontAnnotationFile((folder / "x.FAN").string(), "x.FAN");
    testsupport::ExpectLines({"Maestro in x.FAN: 33=1,2,3,4,5,6 34=-1,-2,-3,70000,0,9"}, Table());
}

}  // namespace
