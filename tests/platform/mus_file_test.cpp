// Document files: every record and font survives a save and an open; damaged or truncated
// files are refused, naming the line, and leave the open documents as they were.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/host/document_commands.h"
#include "platform/host/mus_file.h"
#include "platform/host/score_builder.h"
#include "platform/win/win.h"
#include "tests/support/case_names.h"
#include "tests/support/fixture.h"

namespace {

using host::Bytes;
using host::RecordKey;
using hostapi::MakeTag;

/// A document with records of every family, odd keys and bytes that need escapes.
std::unique_ptr<host::Document> EveryKindOfRecord() {
    host::ScoreBuilder builder("every kind");
    builder.Font(0, "Maestro").Font(7, "Bärenschrift").Staff("Flöte \"solo\"", "Fl.\\").Measures(3);
    host::Document& document = builder.Current();
    host::RecordStore& records = document.Records();
    records.Save(RecordKey::Detail(MakeTag("SDNG"), 0, 1, 0), Bytes(30, 0x5A));
    records.Save(RecordKey::EntryDetail(MakeTag("edED"), 70000, 2), {1, 2, 3});
    records.Save(RecordKey::EntryDetail(MakeTag("edED"), -5, 0), {0xFF});
    records.Save(RecordKey::Global(MakeTag("pfLA"), 3), {4, 0, 0, 0});
    records.Save(RecordKey::Other(MakeTag("ot12"), -2, 0), Bytes(12, 0));
    records.Save(RecordKey::Other(MakeTag("zz\x01Q"), 4, 1), {});  // unknown tag, empty record
    records.Save(RecordKey::Other(MakeTag("O\x02SS"), 1, 0), Bytes(24, 0x80));
    records.Save(RecordKey::Other(MakeTag("txve"), 1, 0), {'a', 0, 'b', 0});  // a zero inside: hex
    records.Save(RecordKey::Other(MakeTag("txch"), 1, 0), {'\t', 'x', 0});    // a control character
    records.Save(RecordKey::Other(MakeTag("txse"), 1, 0), {'x', 'y'});        // no terminator
    return builder.Build();
}

class MusFileTest : public testsupport::DesktopTest {};

TEST_F(MusFileTest, SaveAndOpenKeepEveryRecord) {
    const auto original = EveryKindOfRecord();
    const auto path = TempFolder() / "every.MUS";
    host::WriteMusFile(*original, path);
    const auto read = host::ReadMusFile(path);
    EXPECT_TRUE(read->SameContent(*original));
    EXPECT_EQ(read->Records().Count(), original->Records().Count());
    for (const auto& [key, bytes] : original->Records().Records()) {
        SCOPED_TRACE(key.Description());
        const Bytes* back = read->Records().Find(key);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(*back, bytes);
    }
    EXPECT_EQ(read->Fonts(), original->Fonts());
    EXPECT_EQ(read->Name(), "every");
    EXPECT_EQ(read->Path(), path);
    // Writing again gives the same text: a file diffs only where the document changed.
    EXPECT_EQ(host::MusText(*read), host::MusText(*original));
    EXPECT_FALSE(std::filesystem::exists(TempFolder() / "every.MUS.tmp"));
}

TEST_F(MusFileTest, TheTextHasOneSortedLineARecord) {
    host::Document document("small");
    document.Fonts()[3] = "Times New Roman";
    document.Fonts()[-1] = "\xFC";
    document.Records().Save(RecordKey::EntryDetail(MakeTag("edED"), 70000, 2), {1, 2, 3});
    document.Records().Save(RecordKey::Other(MakeTag("txbl"), 1, 0), {'a', '"', 'b', 0xE9, 0});
    document.Records().Save(RecordKey::Other(MakeTag("SOMS"), 2, 0), {0xF0, 0, 0, 0});
    document.Records().Save(RecordKey::Other(MakeTag("SOMS"), -1, 0), {});
    document.Records().Save(RecordKey::Other(MakeTag("O\x02S "), 1, 0), {0x20});  // a blank: escaped too
    document.Records().Save(RecordKey::Global(MakeTag("pfdf"), 0), {9});
    const std::string expected =
        "MUS 1\n"
        "font -1 \"\\xFC\"\n"
        "font 3 \"Times New Roman\"\n"
        "record O\\x02S\\x20 other 1 0 hex 1 20\n"
        "record SOMS other -1 0 hex 0\n"
        "record SOMS other 2 0 hex 4 F000 0000\n"
        "record edED entry 70000 2 hex 3 0102 03\n"
        "record pfdf global 0 hex 1 09\n"
        "record txbl other 1 0 text \"a\\\"b\\xE9\"\n"
        "end\n";
    EXPECT_EQ(host::MusText(document), expected);
    EXPECT_TRUE(host::ParseMusText(expected, "x")->SameContent(document));
}

struct DamageCase {
    const char* text;
    const char* message;
};

class DamagedFileTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedFileTest, IsRefusedNamingTheLine) {
    try {
        host::ParseMusText(GetParam().text, "damaged");
        ADD_FAILURE() << "read without complaint: " << GetParam().text;
    } catch (const host::DocumentFileError& e) {
        EXPECT_STREQ(e.what(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedFileTest,
    ::testing::Values(
        DamageCase{"", "line 1: not a document file: it does not begin with \"MUS 1\""},
        DamageCase{"MUSIC\nend\n", "line 1: not a document file: it does not begin with \"MUS 1\""},
        DamageCase{"# written by hand\n\nMUS 2\nend\n", "line 3: format version 2 is not one this host reads (1)"},
        DamageCase{"MUS 1\nrecord SOMS other 1 0 hex 3 0102\nend\n",
                   "line 2: the record announces 3 bytes but holds 2"},
        DamageCase{"MUS 1\nrecord SOMS other 1 0 hex 3 0102 0\nend\n", "line 2: an odd number of hexadecimal digits"},
        DamageCase{"MUS 1\nrecord SOMS other 1 0 hex 2 01G2\nend\n", "line 2: \"G\" is not a hexadecimal digit"},
        DamageCase{"MUS 1\nrecord SOMS other 1 0 hex -1\nend\n",
                   "line 2: the record size -1 is out of range (0 to 2147483647)"},
        DamageCase{"MUS 1\nrecord SOIS detail 1 0 0 hex 0\nend\n", "line 2: 'SOIS' is an other record, not detail"},
        DamageCase{"MUS 1\nrecord edED other 1 0 hex 0\nend\n", "line 2: 'edED' is an entry record, not other"},
        DamageCase{"MUS 1\nrecord zzzz detail 1 2 3 hex 0\nend\n",
                   "line 2: the host keeps records of the unknown tag 'zzzz' as other records, not detail"},
        DamageCase{"MUS 1\nrecord SOMS table 1 0 hex 0\nend\n",
                   "line 2: \"table\" is not a record family (other, detail, entry or global)"},
        DamageCase{"MUS 1\nrecord SOI other 1 0 hex 0\nend\n",
                   "line 2: \"SOI\" is not a tag (four characters, \\xNN for any other byte)"},
        DamageCase{"MUS 1\nrecord O\\x2SS other 1 0 hex 0\nend\n",
                   "line 2: \"O\\x2SS\" is not a tag (four characters, \\xNN for any other byte)"},
        DamageCase{"MUS 1\nrecord SOMS other 40000 0 hex 0\nend\n",
                   "line 2: the key 40000 is out of range (-32768 to 32767)"},
        DamageCase{"MUS 1\nrecord SOMS other x 0 hex 0\nend\n", "line 2: the key \"x\" is not a number"},
        DamageCase{"MUS 1\nrecord SOMS other 1\nend\n",
                   "line 2: a record line is: record TAG FAMILY KEYS... hex SIZE DIGITS, or ... text \"TEXT\""},
        DamageCase{"MUS 1\nrecord SOMS other 1 0 bytes 1 00\nend\n",
                   "line 2: \"bytes\" is not a record form (hex or text)"},
        DamageCase{"MUS 1\nrecord txbl other 1 0 text abc\nend\n", "line 2: a text record ends with one quoted text"},
        DamageCase{"MUS 1\nrecord txbl other 1 0 text \"abc\nend\n", "line 2: a quoted text is not closed"},
        DamageCase{"MUS 1\nrecord SOMS other 1 0 hex 1 00\nrecord SOMS other 1 0 hex 0\nend\n",
                   "line 3: a second record 'SOMS' other (1, 0) (the first is on line 2)"},
        DamageCase{"MUS 1\n#record SOMS glob\"al\nrecord SOMS other 1 0 hex 1 00\nrecord SOMS other 1 0 hex 0\nend\n",
                   "line 4: a second record 'SOMS' other (1, 0) (the first is on line 3)"},
        DamageCase{"MUS 1\nfont 0 \"A\"\nfont 0 \"B\"\nend\n", "line 3: a second font 0 (the first is on line 2)"},
        DamageCase{"MUS 1\nfont 0 Arial\nend\n", "line 2: a font line is: font NUMBER \"NAME\""},
        DamageCase{"MUS 1\ncell 1 1 0\nend\n", "line 2: unknown line \"cell\" (font, record, entry or end)"},
        DamageCase{"MUS 1\nrecord SOMS other 1 0 hex 1 00\n",
                   "line 2: the file ends without its \"end\" line; it is truncated"},
        DamageCase{"MUS 1\nend\nrecord SOMS other 1 0 hex 0\n", "line 3: text after the \"end\" line"},
        DamageCase{"MUS 1\nend x\n", "line 2: the \"end\" line holds nothing else"}),
    testsupport::NameBy(&DamageCase::message, testsupport::kCaseIndex));

TEST_F(MusFileTest, AFileCutAnywhereIsRefused) {
    const std::string text = host::MusText(*EveryKindOfRecord());
    for (size_t cut : {text.size() / 3, text.size() / 2, text.size() - 5, text.size() - 4}) {
        SCOPED_TRACE(cut);
        EXPECT_THROW(host::ParseMusText(text.substr(0, cut), "cut"), host::DocumentFileError);
    }
}

TEST_F(MusFileTest, AFailedOpenLeavesTheOpenDocumentsAsTheyWere) {
    host::Host host;
    host.AddDocument(host::ScoreBuilder("first").Staff("Horn").Build());
    const auto good = TempFolder() / "good.MUS";
    host::WriteMusFile(*EveryKindOfRecord(), good);
    ASSERT_TRUE(host::OpenDocumentFile(host, good));
    ASSERT_TRUE(host.BringToFront(1));
    const std::string before = host::MusText(host.DocumentAt(1));

    const auto bad = TempFolder() / "bad.MUS";
    std::ofstream(bad) << "MUS 1\nrecord SOMS other 1 0 hex 2 00\nend\n";
    EXPECT_FALSE(host::OpenDocumentFile(host, bad));
    EXPECT_EQ(win::TranscriptLines().back(),
              "host: cannot open " + bad.string() + ": line 2: the record announces 2 bytes but holds 1");
    EXPECT_FALSE(host::OpenDocumentFile(host, TempFolder() / "none.MUS"));
    EXPECT_EQ(win::TranscriptLines().back(), "host: cannot open " + (TempFolder() / "none.MUS").string() +
                                                 ": there is no file none.MUS in " + TempFolder().string());
    EXPECT_EQ(host.DocumentCount(), 2);
    EXPECT_EQ(host.FrontNumber(), 1);
    EXPECT_EQ(host::MusText(host.DocumentAt(1)), before);
    EXPECT_EQ(win::GetWindowText(host.MainWindow()), "Finale 2000 - [first]");
}

TEST_F(MusFileTest, SavingNamesTheDocumentAfterItsFile) {
    host::Host host;
    host.AddDocument(host::ScoreBuilder("first").Staff("Horn").Build());
    const auto path = TempFolder() / "horn.MUS";
    ASSERT_TRUE(host::SaveFrontDocument(host, path));
    EXPECT_EQ(host.FrontDocument()->Name(), "horn");
    EXPECT_EQ(win::GetWindowText(host.MainWindow()), "Finale 2000 - [horn.MUS]");
    EXPECT_FALSE(host::SaveFrontDocument(host, TempFolder() / "missing" / "x.MUS"));
    EXPECT_EQ(host.FrontDocument()->Name(), "horn");
    EXPECT_TRUE(host::ReadMusFile(path)->SameContent(*host.FrontDocument()));
}

// A save that fails half way (the disk is full) says so and loses nothing: the old file is whole,
// no temporary file is left, and the document keeps its name, its file and its unsaved changes.
TEST_F(MusFileTest, AFailedSaveKeepsTheFileAndTheDocumentAsTheyWere) {
    host::Host host;
    host.AddDocument(host::ScoreBuilder("first").Staff("Horn").Build());
    const auto path = TempFolder() / "horn.MUS";
    ASSERT_TRUE(host::SaveFrontDocument(host, path));
    const std::string saved = testsupport::FileText(path);
    const std::vector<std::string> files = testsupport::FileNames(TempFolder());
    host::Document& document = *host.FrontDocument();
    document.Records().Save(RecordKey::Other(MakeTag("ot12"), 9, 0), Bytes(4000, 0x11));
    const std::string changed = host::MusText(document);
    {
        testsupport::FileSizeLimit full(saved.size() + 100);
        EXPECT_FALSE(host::SaveFrontDocument(host, path));
        EXPECT_EQ(win::TranscriptLines().back(), "host: cannot save " + path.string() +
                                                     ": the file cannot be written (File too large); the file is "
                                                     "as it was");
        EXPECT_FALSE(host::SaveFrontDocument(host, TempFolder() / "other.MUS"));
    }
    EXPECT_EQ(testsupport::FileText(path), saved);
    EXPECT_EQ(testsupport::FileNames(TempFolder()), files);
    EXPECT_EQ(document.Name(), "horn");
    EXPECT_EQ(document.Path(), path);
    EXPECT_EQ(host::MusText(document), changed);
    EXPECT_EQ(win::GetWindowText(host.MainWindow()), "Finale 2000 - [horn.MUS]");
    // With room again the same document saves whole.
    ASSERT_TRUE(host::SaveFrontDocument(host, path));
    EXPECT_EQ(testsupport::FileText(path), changed);
}

// A save replaces the file in one step and keeps the file's permissions; a folder in the way
// is refused.
TEST_F(MusFileTest, ASaveReplacesTheFileKeepingItsPermissions) {
    const auto path = TempFolder() / "x.MUS";
    host::WriteMusFile(*EveryKindOfRecord(), path);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    host::WriteMusFile(*host::ScoreBuilder("small").Staff("Horn").Build(), path);
    EXPECT_EQ(
        std::filesystem::status(path).permissions() & std::filesystem::perms::all,
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write | std::filesystem::perms::group_read);
    EXPECT_EQ(host::ReadMusFile(path)->Name(), "x");
    std::filesystem::create_directory(TempFolder() / "folder.MUS");
    const std::vector<std::string> files = testsupport::FileNames(TempFolder());
    try {
        host::WriteMusFile(*EveryKindOfRecord(), TempFolder() / "folder.MUS");
        ADD_FAILURE() << "a folder was written over";
    } catch (const host::DocumentFileError& e) {
        EXPECT_STREQ(e.what(), "the file cannot be written (Is a directory); the file is as it was");
    }
    EXPECT_EQ(testsupport::FileNames(TempFolder()), files);
}

}  // namespace
