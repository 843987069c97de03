// The options store: reading the hotkey, the metatool key and the key assignments from the
// registry, the four defaults, the one-time NumLock offer, and the value names of old and new
// hosts.
#include <gtest/gtest.h>

#include "core/host/access_state.h"
#include "core/key_assignments.h"
#include "core/module.h"
#include "core/options_store.h"
#include "core/startup.h"
#include "platform/vcl/registry.h"
#include "platform/win/win.h"
#include "tests/support/case_names.h"
#include "tests/support/fixture.h"

namespace {

using namespace orvex;

const char* const kDefaultsText =
    "2E002E000000000100000000000000"
    "080008000000000100000000000000"
    "240024000000010100000000000000"
    "230023000000010100000000000000";
const char* const kNumLockText = "900008000000010200000000000000";

class OptionsStoreTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        ResetModule();
        TheAccessLayer.host.year = 2000;
    }

    void Store(const char* name, const std::string& value) {
        vcl::TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kSettingsKey, true));
        registry.WriteString(name, value);
    }

    std::optional<std::string> Stored(const char* name) {
        vcl::TRegistry registry;
        if (!registry.OpenKey(kSettingsKey, false) || !registry.ValueExists(name)) {
            return std::nullopt;
        }
        return registry.ReadString(name);
    }

    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        for (const KeyAssignment& record : TheModule.options.KeyAssignments) {
            lines.push_back(std::string(record.Enabled() ? "[x] " : "[ ] ") + KeyAssignment_ListText(record));
        }
        return lines;
    }

    std::vector<std::string> Shown() {
        std::vector<std::string> lines = win::TranscriptLines();
        win::ClearTranscript();
        return lines;
    }
};

const std::vector<std::string> kNumLockOfferShown = {
    "[form] \"Orvex Keyboard Remapper\" TMsgDlg, modal",
    "  label Message \"Orvex can now remap the NumLock key within Speedy Entry to be used as backspace in order to "
    "turn notes into rests. This can be very convenient when not using a MIDI keyboard. Would you like to try this "
    "new feature?\"",
    "  button YesBtn \"&Yes\"",
    "  button NoBtn \"&No\"",
};

TEST_F(OptionsStoreTest, NothingStoredGivesTheDefaultsAndTheOfferComesOnce) {
    win::QueueMessageBoxAnswer(win::IDNO);
    LoadOptions();
    testsupport::ExpectLines({"[ ] DEL (ask)", "[ ] BACKSP (ask)", "[x] HOME (ask)", "[x] END (ask)"}, Lines());
    EXPECT_EQ(TheModule.options.RemapperEnabled, 1);
    EXPECT_EQ(TheModule.options.ExplorerHotkeyKey, 9);
    EXPECT_EQ(TheModule.options.ExplorerMetatoolKey, '1');
    std::vector<std::string> expected = kNumLockOfferShown;
    expected.insert(expected.end(), {"  user: click NoBtn", "  -> No"});
    testsupport::ExpectLines(expected, Shown());
    EXPECT_EQ(Stored("asknl2k"), "1");
    EXPECT_EQ(Stored("Assignments2K"), std::nullopt);
    // Not asked again, whatever was answered.
    LoadOptions();
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(TheModule.options.KeyAssignments.size(), 4u);
}

TEST_F(OptionsStoreTest, AcceptedOfferAddsTheNumLockRecordAndSavesIt) {
    Store("Assignments2K", std::string("0") + kDefaultsText);
    win::QueueMessageBoxAnswer(win::IDYES);
    LoadOptions();
    testsupport::ExpectLines(
        {"[ ] DEL (ask)", "[ ] BACKSP (ask)", "[x] HOME (ask)", "[x] END (ask)", "[x] #144 -> BACKSP (speedy)"},
        Lines());
    EXPECT_EQ(TheModule.options.RemapperEnabled, 1);
    EXPECT_EQ(Stored("Assignments2K"), std::string("1") + kDefaultsText + kNumLockText);
    EXPECT_EQ(Stored("asknl2k"), "1");
    // A NumLock record of its own keeps the offer away, even without the offer value.
    TheModule.options = OptionsState{};
    {
        vcl::TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kSettingsKey, false));
        registry.DeleteValue("asknl2k");
    }
    Shown();
    LoadOptions();
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(TheModule.options.KeyAssignments.size(), 5u);
    EXPECT_EQ(Stored("asknl2k"), std::nullopt);
}

TEST_F(OptionsStoreTest, StoredOneWithoutRecordsTurnsTheRemapperOnWithAnEmptyList) {
    Store("Assignments2K", "1");
    LoadOptions();
    EXPECT_EQ(TheModule.options.RemapperEnabled, 1);
    EXPECT_TRUE(TheModule.options.KeyAssignments.empty());
    // The offer follows; unanswered, the dialog's No answers it.
    std::vector<std::string> expected = kNumLockOfferShown;
    expected.insert(expected.end(), {"  user: Escape", "  -> No (no action was queued: Escape)"});
    testsupport::ExpectLines(expected, Shown());

    TheModule.options = OptionsState{};
    TheAccessLayer.host.year = 2000;
    Store("Assignments2K", "0");
    LoadOptions();
    EXPECT_EQ(TheModule.options.RemapperEnabled, 0);
    EXPECT_TRUE(TheModule.options.KeyAssignments.empty());
    EXPECT_TRUE(Shown().empty());
}

TEST_F(OptionsStoreTest, OldValueIsReadOnANewHostAndTheNewOneWritten) {
    Store("Assignments", std::string("1") + kNumLockText);
    LoadOptions();
    testsupport::ExpectLines({"[x] #144 -> BACKSP (speedy)"}, Lines());
    EXPECT_TRUE(Shown().empty());
    ASSERT_TRUE(TheModule.process.Registry->OpenKey(kSettingsKey, false));
    TheModule.options.RemapperEnabled = 0;
    EXPECT_TRUE(SaveKeyAssignments());
    TheModule.process.Registry->CloseKey();
    EXPECT_EQ(Stored("Assignments2K"), std::string("0") + kNumLockText);
    EXPECT_EQ(Stored("Assignments"), std::string("1") + kNumLockText);
}

TEST_F(OptionsStoreTest, OldHostsUseTheOldNamesOnly) {
    TheAccessLayer.host.year = 1998;
    EXPECT_STREQ(AssignmentsValueName(), "Assignments");
    EXPECT_STREQ(NumLockOfferValueName(), "asknl");
    Store("Assignments2K", std::string("1") + kNumLockText);
    Store("Assignments", std::string("0") + kDefaultsText);
    win::QueueMessageBoxAnswer(win::IDNO);
    LoadOptions();
    EXPECT_EQ(TheModule.options.KeyAssignments.size(), 4u);
    EXPECT_EQ(TheModule.options.RemapperEnabled, 0);
    EXPECT_EQ(Stored("asknl"), "1");
    EXPECT_EQ(Stored("asknl2k"), std::nullopt);
    TheModule.process.Registry->OpenKey(kSettingsKey, false);
    TheModule.options.KeyAssignments.pop_back();
    EXPECT_TRUE(SaveKeyAssignments());
    TheModule.process.Registry->CloseKey();
    EXPECT_EQ(Stored("Assignments"), std::string("0") + std::string(kDefaultsText).substr(0, 90));
    EXPECT_EQ(Stored("Assignments2K"), std::string("1") + kNumLockText);
}

TEST_F(OptionsStoreTest, RoundTripThroughTheRegistry) {
    KeyAssignment menu = MakeKeyAssignment(116, 40017, true, KeyAssignment::kAsk, true);
    menu.SetModifiers(true, true, false);
    KeyAssignment key = MakeKeyAssignment(65, 90, false, KeyAssignment::kSpeedyOnly | 0x80, false);
    key.SetNewModifiers(false, false, true);
    TheModule.options.KeyAssignments = {menu, key};
    TheModule.options.RemapperEnabled = 1;
    TheModule.process.Registry->OpenKey(kSettingsKey, true);
    ASSERT_TRUE(SaveKeyAssignments());
    TheModule.process.Registry->CloseKey();
    Store("asknl2k", "1");
    TheModule.options.KeyAssignments.clear();
    TheModule.options.RemapperEnabled = 0;
    LoadOptions();
    ASSERT_EQ(TheModule.options.KeyAssignments.size(), 2u);
    EXPECT_EQ(TheModule.options.KeyAssignments[0], menu);
    EXPECT_EQ(TheModule.options.KeyAssignments[1], key);
    EXPECT_EQ(TheModule.options.RemapperEnabled, 1);
}

TEST_F(OptionsStoreTest, SavingNeedsAnOpenKey) {
    TheModule.options.KeyAssignments = DefaultKeyAssignments();
    TheModule.process.Registry->CloseKey();
    EXPECT_FALSE(SaveKeyAssignments());
    EXPECT_EQ(Stored("Assignments2K"), std::nullopt);
}

TEST_F(OptionsStoreTest, DamagedRecordsAreReadWithoutReadingPastTheText) {
    Store("asknl2k", "1");
    // One malformed pair in the first record; the second is cut short after 29 digits.
    Store("Assignments2K", std::string("1") + "2E00ZZ000000000100000000000000" + "2400240000000101000000000000F");
    LoadOptions();
    ASSERT_EQ(TheModule.options.KeyAssignments.size(), 2u);
    EXPECT_EQ(TheModule.options.KeyAssignments[0].Key(), 46);
    EXPECT_EQ(TheModule.options.KeyAssignments[0].Target(), 0);
    EXPECT_EQ(TheModule.options.KeyAssignments[0].Flags(), KeyAssignment::kAsk);
    EXPECT_EQ(TheModule.options.KeyAssignments[1].Key(), 36);
    EXPECT_EQ(TheModule.options.KeyAssignments[1].bytes[14], 0);
    // Text beyond whole records is ignored: (33 / 2) / 15 = 1 record.
    Store("Assignments2K", std::string("0") + kNumLockText + "12");
    LoadOptions();
    EXPECT_EQ(TheModule.options.KeyAssignments.size(), 1u);
}

TEST_F(OptionsStoreTest, AValueOfAnotherTypeLeavesItsSettingAlone) {
    Store("asknl2k", "1");
    {
        vcl::TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kSettingsKey, true));
        registry.WriteInteger("Assignments2K", 5);
        registry.WriteInteger("ExplorerHotkey", 5);
    }
    TheModule.options.KeyAssignments = {NumLockKeyAssignment()};
    TheModule.options.ExplorerHotkeyKey = 112;
    LoadOptions();
    testsupport::ExpectLines({"[x] #144 -> BACKSP (speedy)"}, Lines());
    EXPECT_EQ(TheModule.options.ExplorerHotkeyKey, 112);
}

struct HotkeyCase {
    const char* stored;
    uint8_t key;
    uint8_t shift;
    uint8_t ctrl;
    uint8_t alt;
};

class HotkeyValueTest : public OptionsStoreTest, public ::testing::WithParamInterface<HotkeyCase> {};

TEST_P(HotkeyValueTest, HotkeyFromItsStoredText) {
    Store("asknl2k", "1");
    Store("ExplorerHotkey", GetParam().stored);
    LoadOptions();
    EXPECT_EQ(TheModule.options.ExplorerHotkeyKey, GetParam().key);
    EXPECT_EQ(TheModule.options.ExplorerHotkeyShift, GetParam().shift);
    EXPECT_EQ(TheModule.options.ExplorerHotkeyCtrl, GetParam().ctrl);
    EXPECT_EQ(TheModule.options.ExplorerHotkeyAlt, GetParam().alt);
}

INSTANTIATE_TEST_SUITE_P(Texts, HotkeyValueTest,
                         ::testing::Values(HotkeyCase{"sca9", 9, 0, 0, 0}, HotkeyCase{"SCA112", 112, 1, 1, 1},
                                           HotkeyCase{"sCa81", 81, 0, 1, 0}, HotkeyCase{"sca", 9, 0, 0, 0},
                                           HotkeyCase{"Sca65x", 9, 1, 0, 0}, HotkeyCase{"S", 9, 1, 0, 0},
                                           HotkeyCase{"xyA0", 0, 0, 0, 1}, HotkeyCase{"sca300", 9, 0, 0, 0},
                                           HotkeyCase{"sca-1", 9, 0, 0, 0}, HotkeyCase{"sC", 9, 0, 1, 0},
                                           HotkeyCase{"scA", 9, 0, 0, 1}),
                         testsupport::NameBy(&HotkeyCase::stored));

struct MetatoolCase {
    const char* stored;  ///< nullptr: no value
    uint8_t key;
};

class MetatoolValueTest : public OptionsStoreTest, public ::testing::WithParamInterface<MetatoolCase> {};

TEST_P(MetatoolValueTest, MetatoolFromItsStoredText) {
    Store("asknl2k", "1");
    TheModule.options.ExplorerMetatoolKey = 'Q';
    if (GetParam().stored != nullptr) {
        Store("ExplorerMetatool", GetParam().stored);
    }
    LoadOptions();
    EXPECT_EQ(TheModule.options.ExplorerMetatoolKey, GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(Texts, MetatoolValueTest,
                         ::testing::Values(MetatoolCase{nullptr, '1'}, MetatoolCase{"", 0}, MetatoolCase{"x", 'X'},
                                           MetatoolCase{"7", '7'}, MetatoolCase{"ab", 'A'}),
                         testsupport::NameBy(&MetatoolCase::stored));

}  // namespace
