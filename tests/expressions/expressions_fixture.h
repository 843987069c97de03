// A simulated host with one document made from a score text, for the tests of the text
// expression table, its sort engine and the sorter: the plug-in side sees the host's main window
// (its title names the document) and the whole-document record, as the dispatcher would hand it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/dispatch.h"
#include "core/host/access_state.h"
#include "core/module.h"
#include "core/startup.h"
#include "expressions/txtexpr.h"
#include "platform/host/record_store.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/types.h"
#include "platform/win/transcript.h"
#include "tests/core/score_host_fixture.h"

namespace exprtest {

inline const hostapi::Tag kTagExpression = hostapi::MakeTag("SODT");
inline const hostapi::Tag kTagPlayback = hostapi::MakeTag("otDe");
inline const hostapi::Tag kTagMetatool = hostapi::MakeTag("ot&d");
inline const hostapi::Tag kTagMeasureExpression = hostapi::MakeTag("otDY");
inline const hostapi::Tag kTagNoteExpression = hostapi::MakeTag("edED");

class ExpressionsTest : public testsupport::ScoreHostTest {
protected:
    void SetUp() override {
        ScoreHostTest::SetUp();
        orvex::ForgetSharedExpressionTable();
    }
    void TearDown() override {
        ExpectNothingLeft();
        orvex::ForgetSharedExpressionTable();
        ScoreHostTest::TearDown();
    }

    /// Opens the score and hands the plug-in side the host window and the document's record.
    host::Document& OpenScore(const std::string& score, int32_t year = 2000) {
        host::Document& document = Open(score, year);
        orvex::TheAccessLayer.host.window = m_host->MainWindow();
        orvex::TheModule.dispatch.SelectionRecords[1] = m_host->DocumentRegion();
        win::ClearTranscript();
        return document;
    }

    /// The text of stored expression n ("<none>" when it is missing).
    std::string StoredText(int16_t n) {
        const host::Bytes* bytes = Stored(host::RecordKey::Other(kTagExpression, n, 0));
        if (bytes == nullptr || bytes->size() < 13) {
            return "<none>";
        }
        return std::string(reinterpret_cast<const char*>(bytes->data()) + 12);
    }
    bool HasRecord(hostapi::Tag tag, int16_t cmper, int16_t inci = 0) {
        return Stored(host::RecordKey::Other(tag, cmper, inci)) != nullptr;
    }
    /// The expression number of measure placement `inci` of a measure.
    int16_t MeasurePlacement(int16_t measure, int16_t inci) {
        return StoredWord(host::RecordKey::Other(kTagMeasureExpression, measure, inci), 0);
    }
    /// The expression numbers of the note placements of the entry-th entry of layer 1 of a cell.
    std::vector<int16_t> NotePlacements(int16_t staff, int16_t measure, int32_t entry) {
        const host::CellEntries& entries = Document().EntriesOf(host::CellKey{staff, measure, 0});
        const hostapi::EntryNumber number =
            hostapi::ConstEntryView(entries.at(static_cast<size_t>(entry - 1)).data()).number();
        std::vector<int16_t> numbers;
        for (int16_t inci = 0;; ++inci) {
            const host::Bytes* bytes = Stored(host::RecordKey::EntryDetail(kTagNoteExpression, number, inci));
            if (bytes == nullptr) {
                break;
            }
            numbers.push_back(hostapi::ReadI16(bytes->data(), 0));
        }
        return numbers;
    }

    /// The texts of the message dialogs shown so far, in order.
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const std::string& line : win::TranscriptLines()) {
            if (line.starts_with("  label Message \"")) {
                texts.push_back(line.substr(17, line.size() - 18));
            }
        }
        return texts;
    }
};

}  // namespace exprtest
