// A simulated host with one document made from a score text, for the tests of the access layer's
// lists: the plug-in side and the host agree on the host year.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/host/access_state.h"
#include "core/host/host_imports.h"
#include "core/module.h"
#include "core/startup.h"
#include "platform/host/host.h"
#include "platform/host/score_text.h"
#include "platform/hostapi/bytes.h"
#include "tests/support/fixture.h"

namespace testsupport {

class ScoreHostTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        orvex::ResetModule();
        m_host = std::make_unique<host::Host>();
    }
    void TearDown() override {
        ExpectNothingLeft();
        m_host.reset();
        orvex::ResetHostImports();
        DesktopTest::TearDown();
    }

    /// Opens a score text on a host of that year (1998, 2000, 2001 or 2002).
    host::Document& Open(const std::string& score, int32_t year = 2000) {
        orvex::TheAccessLayer.host.year = year;
        m_host->SetRawVersion(year == 1998   ? 0x04000000
                              : year == 2000 ? 0x05000005
                              : year == 2001 ? 0x06000000
                                             : 0x07000000);
        return m_host->AddDocument(host::ParseScoreText(score, "test"));
    }

    host::Document& Document() { return *m_host->FrontDocument(); }
    const host::Bytes* Stored(const host::RecordKey& key) { return Document().Records().Find(key); }
    /// The i16 at an offset of a stored record; -9999 (and a failure) when it is missing.
    int16_t StoredWord(const host::RecordKey& key, size_t offset) {
        const host::Bytes* bytes = Stored(key);
        EXPECT_NE(bytes, nullptr) << key.Description();
        return bytes == nullptr || bytes->size() < offset + 2 ? int16_t{-9999}
                                                              : hostapi::ReadI16(bytes->data(), offset);
    }
    int32_t StoredLong(const host::RecordKey& key, size_t offset) {
        const host::Bytes* bytes = Stored(key);
        EXPECT_NE(bytes, nullptr) << key.Description();
        return bytes == nullptr || bytes->size() < offset + 4 ? -9999 : hostapi::ReadI32(bytes->data(), offset);
    }

    std::unique_ptr<host::Host> m_host;
};

}  // namespace testsupport
