// The note tools' tests run commands end to end: a score text in front of the simulated host
// with both plug-ins in process, the command chosen from the host's menu, its options set in the
// options dialog by the UI driver and its Go clicked, and the document's cells and records read
// back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "core/commands.h"
#include "platform/host/document.h"
#include "platform/host/record_store.h"
#include "platform/hostapi/entry_array.h"
#include "platform/win/ui_driver.h"
#include "tests/support/case_names.h"
#include "tests/support/orvex_host.h"

namespace testsupport {

/// An option of the options dialog: a control's name ("Row3") or caption, and its value.
using Setting = std::pair<std::string, std::string>;

class NotesTest : public OrvexHostTest {
protected:
    /// Chooses the command of `code` from the menu; its options dialog takes the settings (by
    /// caption) and runs the tool with Go. Answers the result of the host's invoke.
    int16_t RunTool(int32_t code, const std::vector<Setting>& settings = {}) {
        for (const auto& [caption, value] : settings) {
            win::QueueFormAction("TDActOpt", win::FormAction{win::FormAction::Kind::Set, caption, value});
        }
        win::QueueFormAction("TDActOpt", win::FormAction{win::FormAction::Kind::Click, "Go", ""});
        return Invoke(static_cast<int16_t>(orvex::FindCommandIndex(code)));
    }

    /// The entries of a cell (layer 1-4) as the document holds them (until the cell changes).
    const host::CellEntries& Cell(int16_t staff, int16_t measure, int16_t layer = 1) {
        return Document().EntriesOf(host::CellKey{staff, measure, static_cast<hostapi::LayerIndex>(layer - 1)});
    }
    static hostapi::ConstEntryView View(const host::EntryBytes& bytes) { return hostapi::ConstEntryView(bytes.data()); }
    /// Changes one entry of a cell in the document.
    template <typename Change>
    void EditEntry(int16_t staff, int16_t measure, size_t index, Change change) {
        const host::CellKey key{staff, measure, 0};
        host::CellEntries entries = Document().EntriesOf(key);
        change(hostapi::EntryView(entries.at(index).data()));
        Document().SetEntries(key, entries);
    }

    /// The result lines of the options dialog left open by the last run.
    static std::vector<std::string> ResultLines();
    /// Clicks OK in the options dialog left open by the last run; false when none is open.
    static bool ClickOkInOpenDialog();

    bool TranscriptHas(const std::string& line) const {
        const auto& lines = win::TranscriptLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    /// An entry detail record of the document, empty when it is missing.
    std::vector<uint8_t> EntryRecord(const char (&tag)[5], hostapi::EntryNumber entry, int16_t inci = 0) {
        const host::Bytes* bytes =
            Document().Records().Find(host::RecordKey::EntryDetail(hostapi::MakeTag(tag), entry, inci));
        return bytes == nullptr ? std::vector<uint8_t>{} : *bytes;
    }
    void PutEntryRecord(const char (&tag)[5], hostapi::EntryNumber entry, std::vector<uint8_t> bytes) {
        Document().Records().Save(host::RecordKey::EntryDetail(hostapi::MakeTag(tag), entry, 0), std::move(bytes));
    }
    /// Word n of a record; INT16_MIN when the record is shorter.
    static int16_t Word(const std::vector<uint8_t>& record, size_t n) {
        return record.size() >= 2 * n + 2 ? hostapi::ReadI16(record.data(), 2 * n) : INT16_MIN;
    }
    /// The first word of a stem record ('dtSU', 'dtsl': detail (0, entry)); -1 when it is missing.
    int32_t StemWord(hostapi::Tag tag, hostapi::EntryNumber entry) {
        const host::Bytes* bytes =
            Document().Records().Find(host::RecordKey::Detail(tag, 0, static_cast<int16_t>(entry), 0));
        return bytes == nullptr ? -1 : hostapi::ReadI16(bytes->data(), 0);
    }
    void PutStemWord(hostapi::Tag tag, hostapi::EntryNumber entry, int16_t word) {
        host::Bytes bytes(10, 0);
        hostapi::WriteI16(bytes.data(), 0, word);
        Document().Records().Save(host::RecordKey::Detail(tag, 0, static_cast<int16_t>(entry), 0), bytes);
    }
    static int16_t Offset(hostapi::ConstEntryView entry) {
        return hostapi::ReadI16(entry.data(), hostapi::EntryLayout::kHorizontalOffset);
    }
    static void SetOffset(hostapi::EntryView entry, int16_t offset) {
        hostapi::WriteI16(entry.data(), hostapi::EntryLayout::kHorizontalOffset, offset);
    }
};

/// A command run over the ordinary music of tests/tools/ordinary.score, and its whole result (what
/// the host lists as changed, then each message and result line) worked out by hand: a case of a
/// file of cases (tests/tools/ordinary.cases), whose head says how one is written.
struct OrdinaryCase {
    std::string name;
    std::vector<std::string> steps;
    std::vector<std::string> expected;
    friend void PrintTo(const OrdinaryCase& c, std::ostream* out) { *out << c.name; }
};
/// The cases of the file (relative to the sources) whose name starts with `tool` and ':'.
std::vector<OrdinaryCase> OrdinaryCases(const std::string& file, const std::string& tool);
class OrdinaryMusicTest : public NotesTest, public ::testing::WithParamInterface<OrdinaryCase> {};
/// Instantiates the cases of `tool` in a tool's test file, as Ordinary_PREFIX/OrdinaryMusicTest.
#define ORDINARY_MUSIC_CASES(prefix, file, tool)                                          \
    using testsupport::OrdinaryMusicTest;                                                 \
    INSTANTIATE_TEST_SUITE_P(Ordinary_##prefix, OrdinaryMusicTest,                        \
                             ::testing::ValuesIn(testsupport::OrdinaryCases(file, tool)), \
                             [](const auto& c) { return testsupport::CaseName(c.param.name); })

}  // namespace testsupport
