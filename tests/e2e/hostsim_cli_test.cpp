// hostsim as a command-line tool: every mistake of a script is an error that names its file,
// line and column on standard error and makes hostsim exit non-zero; runs start from a fresh
// registry; the options of the command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/host/text_words.h"
#include "tests/support/case_names.h"
#include "tests/support/fixture.h"
#include "tests/support/hostsim_run.h"

namespace {

std::string Source(const char* relative) {
    return (std::filesystem::path(ORVEX_SOURCE_DIR) / relative).string();
}

class HostsimCliTest : public testsupport::DesktopTest {
protected:
    /// Runs a script with a registry file of the test and the options given.
    testsupport::HostsimResult Run(const std::string& script, const std::string& options = {}) {
        return testsupport::RunHostsimWith(script, TempFolder(),
                                           "--registry " + RegistryFile().string() + " " + options);
    }
    std::string Path(const char* name) const { return (TempFolder() / name).string(); }
    std::string ScriptName() const { return (TempFolder() / "test.script").string(); }
    static bool Has(const std::vector<std::string>& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

/// A mistake of a script and the error it gives: its first line on standard error, after the
/// script's name.
struct Mistake {
    const char* name;
    std::string script;
    std::string error;  ///< ":LINE:COLUMN: error: ..." after the script's path
};

class HostsimMistakeTest : public HostsimCliTest, public ::testing::WithParamInterface<Mistake> {};

TEST_P(HostsimMistakeTest, IsALocatedErrorAndAFailedRun) {
    const auto result = Run(GetParam().script);
    EXPECT_EQ(result.exitCode, 1) << result.err;
    const std::string first = result.err.substr(0, result.err.find('\n'));
    EXPECT_EQ(first, ScriptName() + GetParam().error) << result.err;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, HostsimMistakeTest, ::testing::Values(
    Mistake{"UnknownCommand", "selct 1 1\n", ":1:1: error: unknown command \"selct\" (did you mean \"select\"?)"},
    Mistake{"MissingArgument", "\n  front\n", ":2:8: error: an argument is missing (usage: front N)"},
    Mistake{"ExtraArgument", "print menus now\n", ":1:13: error: \"now\" is one argument too many (usage: print menus)"},
    Mistake{"WaitOutOfRange", "wait 2147483647\n", ":1:6: error: the time 2147483647 is out of range (0 to 3600000)"},
    Mistake{"NegativeWait", "wait -5\n", ":1:6: error: the time -5 is out of range (0 to 3600000)"},
    Mistake{"UnknownKey", "press Shift+Hyper\n", ":1:7: error: unknown key Shift+Hyper"},
    Mistake{"UntypableText", "type \"Grüße\"\n", ":1:6: error: the keyboard has no key for \"ü\""},
    Mistake{"InvokeIndexOutOfRange", "load plugins\ninvoke 70000\n", ":2:8: error: the menu index 70000 is out of range (-32768 to 32767)"},
    Mistake{"StaffOutOfRange", "select 1-40000 1\n", ":1:8: error: the last of the staves 40000 is out of range (1 to 32767)"},
    Mistake{"NotANumber", "front x\n", ":1:7: error: the document \"x\" is not a number"},
    Mistake{"OpenQuote", "menu \"Orvex/About\n", ":1:1: error: a quoted word is not closed"},
    Mistake{"MenuLevelMisspelt", "load plugins\nmenu \"Orvex/Musik/Respell Notes\"\n",
            ":2:13: error: no item \"Musik\" in the menu \"Orvex\" (did you mean \"Music\"?)"},
    Mistake{"MenuItemMisspelt", "load plugins\nmenu \"Orvex/Music/Respel Notes\"\n",
            ":2:19: error: no item \"Respel Notes\" in the menu \"Orvex/Music\" (did you mean \"Respell Notes\"?)"},
    Mistake{"GermanPathInAnEnglishHost", "load plugins\nmenu \"Orvex/Noten/Enharmonik korrigieren\"\n",
            ":2:13: error: \"Orvex/Noten/Enharmonik korrigieren\" is a path of a German host's menus; this English host "
            "shows \"Orvex/Music/Respell Notes\" (\"host language de\" before \"load plugins\" makes a German host)"},
    Mistake{"EnglishHostMenuInAGermanHost", "host language de\nload plugins\nmenu \"Edit/Undo\"\n",
            ":3:7: error: \"Edit/Undo\" is a path of an English host's menus; this German host shows "
            "\"Bearbeiten/Rückgängig\" (\"host language en\" before \"load plugins\" makes an English host)"},
    Mistake{"MenuWithoutPlugins", "menu \"Orvex/About\"\n",
            ":1:7: error: no menu \"Orvex\" on the menu bar (it offers \"File\", \"Edit\", \"View\", \"Options\", "
            "\"Tools\", \"MIDI\", \"Plug-ins\", \"Mass Edit\", \"Window\" and \"Help\"); no plug-ins are loaded: \"load plugins\" loads them, before this line"},
    Mistake{"MenuEndsAtASubmenu", "load plugins\nmenu \"Orvex/Layout\"\n",
            ":2:6: error: \"Orvex/Layout\" is a submenu, not an item: choose one of its items (\"Staff List Manager...\", "
            "\"Join Two Staff Systems\", \"Split Staff System...\", \"Before Deleting Measures\", \"After Inserting Measures...\", "
            "\"Fit Measures...\", \"Special Measure Regions...\", \"Update Groups...\", \"Incipits...\", "
            "\"Scale Staff Positions...\", \"Shift System Optimization...\" or \"Copy System Optimization...\")"},
    Mistake{"MissingScoreText", "new nowhere.score\n", ":1:5: error: cannot make a document from nowhere.score: there is "
            "no file nowhere.score in the folder hostsim runs in"},
    Mistake{"MissingDocumentFile", "open nowhere.MUS\n", ":1:6: error: cannot open nowhere.MUS: there is no file "
            "nowhere.MUS in the folder hostsim runs in"},
    Mistake{"MissingPluginFolder", "load plugins /nowhere/plugins\n", ":1:14: error: the plug-in folder /nowhere/plugins does not exist"},
    Mistake{"SaveWithoutDocument", "save x.MUS\n", ":1:1: error: no document is open"},
    Mistake{"MistypedFormClass", "form TOptionForm click OkBtn\nload plugins\nnew " + Source("examples/walk.score") +
                                     "\nmenu \"Orvex/Options...\"\n",
            ":1:24: error: no TOptionForm form showed, so this action was never done (did you mean \"TOptionsForm\"?)"},
    Mistake{"EnglishCaptionInAGermanHost", "host language de\nload plugins\nnew " + Source("examples/quartet.score") +
                                               "\nselect 1 1\nform TDActOpt set \"Convert notes to rests:\" on\n"
                                               "menu \"Orvex/Verändern/Entfernen...\"\n",
            ":5:19: error: the user could not set \"Convert notes to rests:\" to \"on\" on the TDActOpt form: \"Convert "
            "notes to rests:\" is the English caption of row 4: this form shows it in German as \"Noten in Pausen "
            "umwandeln:\" (#4)"},
    // A button named as on another form, or by its caption or its part: the button that answers.
    Mistake{"ButtonNamedAsOnAnotherForm", "load plugins\nnew " + Source("examples/stafflist.score") +
                                              "\nform TStaffListManager click HarmonicsGo\n"
                                              "menu \"Orvex/Layout/Staff List Manager\"\n",
            ":3:30: error: the user could not click \"HarmonicsGo\" on the TStaffListManager form: no control "
            "\"HarmonicsGo\" on this form (did you mean \"StaffListOk\" (the button captioned \"OK\")?)"},
    Mistake{"ButtonNamedByItsPart", "load plugins\nnew " + Source("examples/stafflist.score") +
                                        "\nform TStaffListManager click Close\nmenu \"Orvex/Layout/Staff List Manager\"\n",
            ":3:30: error: the user could not click \"Close\" on the TStaffListManager form: no control \"Close\" on "
            "this form (did you mean \"StaffListCancel\" (the button captioned \"Cancel\")?)"},
    Mistake{"ButtonNamedByItsCaption", "load plugins\nnew " + Source("examples/stafflist.score") +
                                           "\nselect 1 1\nform THarmonicsForm click Go\nmenu \"Orvex/Music/Harmonics...\"\n",
            ":4:27: error: the user could not click \"Go\" on the THarmonicsForm form: no control \"Go\" on this form "
            "(did you mean \"HarmonicsGo\" (the button captioned \"Go\")?)"},
    Mistake{"FormLineAfterItsMenuLine", "load plugins\nnew " + Source("examples/walk.score") +
                                            "\nselect 1 1\nmenu \"Orvex/Modify/Remove...\"\nform TDActOpt click Go\n",
            ":5:6: warning: the TDActOpt form that line 4 showed took no action and is open (an open form takes no "
            "action queued after it showed): this action waits for the next TDActOpt form that shows; form lines go "
            "before the menu line that opens the form"},
    Mistake{"MistypedFormClassAfterItsMenuLine", "load plugins\nnew " + Source("examples/walk.score") +
                                                     "\nmenu \"Orvex/Options...\"\nform TOptionForm click OkButton\n",
            ":4:6: warning: no TOptionForm form has shown (did you mean \"TOptionsForm\"?); the TOptionsForm form that "
            "line 3 showed took no action and is open (an open form takes no action queued after it showed): this "
            "action waits for the next TOptionForm form that shows; form lines go before the menu line that opens the "
            "form"}),
    [](const ::testing::TestParamInfo<Mistake>& testCase) { return std::string(testCase.param.name); });
// clang-format on

TEST_F(HostsimCliTest, AFormLineAfterTheLineThatShowedItsFormIsReportedThere) {
    // A modal form that took nothing has closed (Escape) when the form line runs; the end of the
    // run says why its action was never done.
    const auto modal = Run("load plugins\nnew " + Source("examples/walk.score") +
                           "\nselect 1 1\nmenu \"Orvex/Music/Beam Breaker...\"\nform TSBBForm click OKBtn\n");
    EXPECT_EQ(modal.exitCode, 1);
    const std::string late = ScriptName() +
                             ":5:6: warning: the TSBBForm form that line 4 showed took no action and "
                             "has closed: this action waits for the next TSBBForm form that shows; form "
                             "lines go before the menu line that opens the form\n";
    EXPECT_EQ(modal.err.substr(0, late.size()), late);
    EXPECT_NE(modal.err.find(ScriptName() + ":5:21: error: no TSBBForm form took this action: the TSBBForm form that "
                                            "line 4 showed took no action and had closed when this line ran, and no "
                                            "TSBBForm form showed after it; form lines go before the menu line that "
                                            "opens the form\n"),
              std::string::npos)
        << modal.err;

    // A form line after another line is not warned of, and the end of the run says that the
    // form it came after is open still.
    const auto open =
        Run("load plugins\nnew " + Source("examples/walk.score") +
            "\nselect 1 1\nmenu \"Orvex/Layout/Fit Measures...\"\ndump selection\nform TDActOpt click Go\n");
    EXPECT_EQ(open.err, ScriptName() +
                            ":6:21: error: no TDActOpt form took this action: the form that line 4 showed "
                            "stayed open, and an open form takes no action queued after it showed; form lines "
                            "go before the menu line that opens the form\n"
                            "    6 | form TDActOpt click Go\n"
                            "      |                     ^\n");

    // Actions queued before a line whose error stops the script: the end says where it stopped.
    const auto stopped = Run("load plugins\nnew " + Source("examples/walk.score") +
                             "\nform TDActOpt click Go\nmenu \"Orvex/Music/Accidentalz...\"\n");
    EXPECT_NE(stopped.err.find(ScriptName() + ":3:21: error: no TDActOpt form showed before the script stopped at "
                                              "line 4, so this action was never done\n"),
              std::string::npos)
        << stopped.err;

    // A dialog that took its Go stays open: the form lines after it are for the next dialog.
    const auto next =
        Run("load plugins\nnew " + Source("examples/quartet.score") +
            "\nselect 1 1\nform TDActOpt set \"Convert notes to rests:\" on\nform TDActOpt click Go\n"
            "menu \"Orvex/Modify/Remove...\"\nform TDActOpt click Go\nmenu \"Orvex/Layout/Fit Measures...\"\n");
    EXPECT_EQ(next.exitCode, 0) << next.err;
    EXPECT_EQ(next.err, "");
}

TEST_F(HostsimCliTest, AScriptThatCannotBeReadIsRefusedWithTheReason) {
    // A folder named as the script: the test's script file is made a folder.
    std::filesystem::create_directories(TempFolder() / "folder" / "test.script");
    const auto folder = testsupport::RunHostsimWith("", TempFolder() / "folder", "");
    EXPECT_EQ(folder.exitCode, 2);
    EXPECT_EQ(folder.err, (TempFolder() / "folder" / "test.script").string() +
                              ": error: the script cannot be read: it is a folder, not a script\n");
    EXPECT_TRUE(folder.out.empty());
}

TEST_F(HostsimCliTest, BrokenScoreTextIsReportedAtItsOwnLineAndColumn) {
    std::ofstream(Path("broken.score")) << "staff \"A\"\nmeasures 2 time 3/4\n\n# the second half note overflows\n\n\n"
                                           "notes 1 1   c4/2 d4/2\n";
    const auto result = Run("new " + Path("broken.score") + "\ndump cells\n");
    EXPECT_EQ(result.exitCode, 1);
    const std::string expected =
        ScriptName() + ":1:5: error: cannot make a document from " + Path("broken.score") +
        ": entry 2 overflows staff 1, measure 1, layer 1: the entries last 4 beats (4096 EDU); the measure has 3 (3072 "
        "EDU)\n"
        "    1 | new " +
        Path("broken.score") +
        "\n"
        "      |     ^\n" +
        Path("broken.score") +
        ":7:18: note: here\n"
        "    7 | notes 1 1   c4/2 d4/2\n"
        "      |                  ^\n";
    EXPECT_EQ(result.err, expected);
    // The script stopped there: no "no document is open" for the next line.
    EXPECT_FALSE(Has(result.out, "> dump cells"));
}

TEST_F(HostsimCliTest, EveryMistakeOfAScoreTextIsShownAndANearNameIsOffered) {
    std::ofstream(Path("hymn.score")) << "staff \"S\"\nmeasures 3 time 3/4\nnotes 1 1 c4/2 d4/2\n"
                                         "notes 1 2 c4/4 h5/4 e4/4\nnotes 1 3 e4/2\n";
    const auto broken = Run("new " + Path("hymn.score") + "\n");
    EXPECT_EQ(broken.exitCode, 1);
    const std::string further = Path("hymn.score") +
                                ":4:16: note: a further mistake: notes: \"h5/4\" is not an entry: "
                                "\"h\" is not a note name (a to g, or r for a rest) (notes STAFF "
                                "MEASURE [layer 1-4] ENTRY...)\n    4 | notes 1 2 c4/4 h5/4 e4/4\n"
                                "      |                ^\n";
    EXPECT_NE(broken.err.find(further), std::string::npos) << broken.err;
    EXPECT_NE(broken.err.find(Path("hymn.score") + ":5:1: warning: staff 1, measure 3, layer 1 is short: the entries "
                                                   "last 2 beats (2048 EDU); the measure has 3 (3072 EDU)\n"),
              std::string::npos)
        << broken.err;
    const auto missing = Run("new " + Path("hymm.score") + "\nnew " + TempFolder().string() + "\n", "-k");
    EXPECT_NE(
        missing.err.find("cannot make a document from " + Path("hymm.score") + ": there is no file hymm.score in " +
                         TempFolder().string() + " (did you mean \"hymn.score\"?)"),
        std::string::npos)
        << missing.err;
    EXPECT_NE(missing.err.find("cannot make a document from " + TempFolder().string() +
                               ": it is a folder, not a score text file"),
              std::string::npos);
}

TEST_F(HostsimCliTest, DamagedDocumentFileIsReportedAtItsOwnLine) {
    std::ofstream(Path("bad.MUS")) << "MUS 1\nrecord SOMS other 1 0 hex 1 00\n";
    const auto result = Run("open " + Path("bad.MUS") + "\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find(Path("bad.MUS") + ":2:1: note: here\n    2 | record SOMS other 1 0 hex 1 00\n"),
              std::string::npos)
        << result.err;
}

TEST_F(HostsimCliTest, FailedSaveIsAnErrorAndTheDocumentKeepsItsName) {
    std::filesystem::create_directories(TempFolder() / "folder.MUS");
    const auto result = Run("new " + Source("examples/walk.score") + "\nsave " + Path("folder.MUS") + "\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err.substr(0, result.err.find('\n')),
              ScriptName() + ":2:6: error: cannot save " + Path("folder.MUS") +
                  ": the file cannot be written (Is a directory); the file is as it was");
    EXPECT_TRUE(Has(result.out,
                    "host: cannot save folder.MUS"
                    ": the file cannot be written (Is a directory); the file is as it was"));
}

TEST_F(HostsimCliTest, TheFormsOfAPluginGoWithIt) {
    // The options dialog is released by its OK and left open by the second run: when hostsim
    // ends, the plug-in is unloaded and then the host's window goes, which tells the windows
    // left that the program is no longer active. No window of the plug-in may be left to be told.
    for (const char* script : {"load plugins\nnew examples/quartet.score\nform TOptionsForm click OkButton\n"
                               "menu \"Orvex/Options...\"\n",
                               "load plugins\nnew examples/quartet.score\nmenu \"Orvex/Options...\"\n"}) {
        std::string text = script;
        text.replace(text.find("examples/"), 9, Source("examples/"));
        const auto result = Run(text);
        EXPECT_EQ(result.exitCode, 0) << text << result.err;
        EXPECT_TRUE(Has(result.out, "host: unloaded Orvex188.fxt")) << text;
    }
}

TEST_F(HostsimCliTest, WrongCaptionStopsTheDialogSoTheToolDoesNotRunOnItsDefaults) {
    const auto result = Run("load plugins\nnew " + Source("examples/quartet.score") +
                            "\nselect 1 1\nform TDActOpt set \"Convert notes to rest\" on\nform TDActOpt click Go\n"
                            "menu \"Orvex/Modify/Remove...\"\n");
    EXPECT_EQ(result.exitCode, 1);
    const std::string expected =
        ScriptName() +
        ":4:19: error: the user could not set \"Convert notes to rest\" to \"on\" on the TDActOpt form: no control "
        "\"Convert notes to rest\" on this form (did you mean \"Convert notes to rests:\" (#4)?); the 1 later action "
        "queued for it was dropped\n"
        "    4 | form TDActOpt set \"Convert notes to rest\" on\n"
        "      |                   ^\n" +
        ScriptName() + ":6:1: note: the form showed while this line ran\n";
    EXPECT_EQ(result.err.substr(0, expected.size()), expected);
    EXPECT_TRUE(Has(result.out,
                    "    not done: no control \"Convert notes to rest\" on this form (did you mean \"Convert "
                    "notes to rests:\" (#4)?)"));
    EXPECT_TRUE(Has(result.out, "    the user stops here: 1 action queued for TDActOpt dropped"));
    EXPECT_FALSE(Has(result.out, "  user: click Go"));
    EXPECT_TRUE(std::none_of(result.out.begin(), result.out.end(),
                             [](const std::string& line) { return line.starts_with("host: progress begins"); }));
}

TEST_F(HostsimCliTest, SharedCaptionIsRefusedWithTheRowsAndARowNumberNamesOne) {
    const std::string script = "load plugins\nnew " + Source("examples/walk.score") +
                               "\nselect 1 1\nform TDActOpt set Change: C4\nform TDActOpt set ROWS D4\n"
                               "form TDActOpt click Go\nform TDActOpt click CancelBtn\n"
                               "menu \"Orvex/Modify/Replace Pitches...\"\n";
    auto replace = [&](const std::string& rows) {
        std::string text = script;
        text.replace(text.find("ROWS"), 4, rows);
        return text;
    };
    const auto shared = Run(replace("into:"));
    EXPECT_EQ(shared.exitCode, 1);
    EXPECT_NE(
        shared.err.find(":5:19: error: the user could not set \"into:\" to \"D4\" on the TDActOpt form: the caption "
                        "\"into:\" names 5 controls: name one of them, #1, #3, #5, #7 or #9"),
        std::string::npos)
        << shared.err;

    const auto numbered = Run(replace("#1"));
    EXPECT_EQ(numbered.exitCode, 0) << numbered.err;
    EXPECT_TRUE(Has(numbered.out, "  user: set #1 \"D4\""));
    EXPECT_TRUE(Has(numbered.out, "    (row 1)"));
    EXPECT_TRUE(Has(numbered.out, "  row 0 \"Change:\": edit \"\""));
    EXPECT_TRUE(Has(numbered.out, "  row 1 \"into:\": edit \"\""));
}

TEST_F(HostsimCliTest, ReadmeExampleRunsWithAByteOrderMarkAndComments) {
    const auto result =
        Run("\xEF\xBB\xBFhost version 0x05000005   # Finale 2000\r\nhost language de   # German\r\n"
            "load plugins   #this a comment\r\nprint menus # done\r\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out.front(), "> host version 0x05000005");
    EXPECT_TRUE(Has(result.out, "> load plugins"));
    EXPECT_TRUE(Has(result.out, "host: language de"));
}

TEST_F(HostsimCliTest, KeepGoingRunsEveryLineAndCounts) {
    const auto result = Run("frobnicate\nwait 10\nrelease shift\nfront 3\n", "--keep-going");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(Has(result.out, "> wait 10"));
    EXPECT_TRUE(Has(result.out, "> front 3"));
    EXPECT_NE(result.err.find(":3:1: warning: Shift is not held"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(":4:1: error: there is no document 3 (0 documents are open)"), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("hostsim: 2 errors, 1 warning\n"), std::string::npos) << result.err;
}

TEST_F(HostsimCliTest, EachRunStartsFromAFreshRegistryUnlessOneIsNamed) {
    // The one-time offer of the NumLock assignment (a message dialog) shows in every fresh run, and
    // once only with a registry file that is kept.
    const auto offers = [](const testsupport::HostsimResult& result) {
        return std::count_if(result.out.begin(), result.out.end(),
                             [](const std::string& line) { return line.ends_with("TMsgDlg, modal"); });
    };
    const std::string script = "load plugins\n";
    const auto first = testsupport::RunHostsimWith(script, TempFolder(), "");
    const auto second = testsupport::RunHostsimWith(script, TempFolder(), "");
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out, second.out);
    EXPECT_EQ(offers(second), 1);

    EXPECT_EQ(offers(Run(script)), 1);
    EXPECT_EQ(offers(Run(script)), 0);

    // The environment variable names a file to keep too.
    ::setenv("HOSTSIM_REGISTRY", Path("kept.reg").c_str(), 1);
    const auto keptFirst = testsupport::RunHostsimWith(script, TempFolder(), "");
    const auto keptSecond = testsupport::RunHostsimWith(script, TempFolder(), "");
    ::unsetenv("HOSTSIM_REGISTRY");
    EXPECT_EQ(offers(keptFirst), 1);
    EXPECT_EQ(offers(keptSecond), 0);
    EXPECT_TRUE(std::filesystem::exists(Path("kept.reg")));
}

TEST_F(HostsimCliTest, RegistryThatCannotBeWrittenIsRefused) {
    std::ofstream(Path("plain")) << "a file\n";
    const auto result =
        testsupport::RunHostsimWith("print menus\n", TempFolder(), "--registry " + Path("plain") + "/registry.reg");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.out.empty());
    EXPECT_EQ(result.err.substr(0, result.err.find(": error:")), Path("plain") + "/registry.reg");
}

TEST_F(HostsimCliTest, VersionHelpQuietAndVerbose) {
    const auto version = testsupport::RunHostsimWith("", TempFolder(), "--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, std::vector<std::string>{"hostsim 1.88.4 (simulated host, plug-in interface 0x05000005)"});
    const auto help = testsupport::RunHostsimWith("", TempFolder(), "--help");
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option : {"--plugins FOLDER", "--registry FILE", "--keep-going", "--quiet", "--verbose",
                               "--version", "--help", "HOSTSIM_REGISTRY"}) {
        EXPECT_TRUE(std::any_of(help.out.begin(), help.out.end(), [&](const std::string& line) {
            return line.find(option) != std::string::npos;
        })) << option;
    }
    const std::string script = "load plugins\nnew " + Source("examples/walk.score") +
                               "\nselect 1 1\nmenu \"Orvex/Music/Respell Notes\"\ndump selection\n";
    const auto quiet = Run(script, "-q");
    ASSERT_EQ(quiet.exitCode, 0) << quiet.err;
    EXPECT_EQ(quiet.out, std::vector<std::string>{
                             "selection of document 1 \"walk\": staff 1, measure 1, from position 0 to the end of "
                             "measure 1"});
    const auto verbose = Run(script, "-v");
    ASSERT_EQ(verbose.exitCode, 0) << verbose.err;
    EXPECT_TRUE(Has(verbose.out, "changes of document 1 \"walk\": 1 cell (3 entries changed)"));
    // Short options go together, and of -q and -v the later one counts.
    EXPECT_EQ(Run(script, "-kq").out, quiet.out);
    EXPECT_EQ(Run(script, "-v -q").out, quiet.out);
    EXPECT_EQ(Run(script, "-qv").out, verbose.out);
    const auto unknown = Run(script, "-qx");
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_EQ(unknown.err.substr(0, unknown.err.find('\n')), "hostsim: unknown option -x");
}

TEST_F(HostsimCliTest, ALinesChangeSetIsEverythingItsCommandDid) {
    // Go in the options dialog, which stays open: the run and the host's later call are one line.
    const auto dialog =
        Run("load plugins\nnew " + Source("examples/quartet.score") +
                "\nselect 1 1\nform TDActOpt set \"Convert notes to rests:\" on\nform TDActOpt click Go\n"
                "menu \"Orvex/Modify/Remove...\"\ndump changes\n",
            "-v");
    ASSERT_EQ(dialog.exitCode, 0) << dialog.err;
    EXPECT_FALSE(Has(dialog.out, "host: nothing changed"));
    const std::string heading = "changes of document 1 \"quartet\": 1 cell (5 entries changed)";
    const auto changed = std::find(dialog.out.begin(), dialog.out.end(),
                                   "host: Orvex188.fxt changed document 1 \"quartet\": 1 cell (5 entries changed)");
    const auto listed = std::find(changed, dialog.out.end(), heading);
    const auto dumped = std::find(dialog.out.begin(), dialog.out.end(), "> dump changes");
    EXPECT_LT(listed, dumped);  // -v lists it after the menu line
    ASSERT_LT(dumped + 2, dialog.out.end());
    EXPECT_EQ(dumped[1], heading);
    EXPECT_EQ(dumped[2], "  staff 1, measure 1, layer 1:");

    // An explosion changes the document in several calls and the host's paste during one line.
    const auto explosion =
        Run("load plugins\nnew " + Source("examples/explosion.score") +
            "\nselect 1 1-2\nhold shift\nmenu \"Orvex/Parts/Smart Explosion of multi-part staves...\"\n"
            "release shift\ndump changes\n");
    ASSERT_EQ(explosion.exitCode, 0) << explosion.err;
    const std::string all =
        "4 cells (3 entries changed, 3 added); records 'SOIS' 1 added, 'SOIu' 1 changed, 1 added, "
        "'SOTX' 2 added, 'otDY' 1 deleted, 'txbl' 2 added";
    EXPECT_TRUE(Has(explosion.out, "host: this line changed document 1 \"explosion\" in all: " + all));
    EXPECT_TRUE(Has(explosion.out, "changes of document 1 \"explosion\": " + all));
}

TEST_F(HostsimCliTest, TheMusicIsWrittenAsAScoreTextBeforeAndAfterACommand) {
    const auto result = Run("load plugins\nnew " + Source("examples/quartet.score") + "\nsave " + Path("before.score") +
                            "\nselect 1 1\nform TDActOpt set \"Convert notes to rests:\" on\nform TDActOpt click Go\n"
                            "form TDActOpt click CancelBtn\nmenu \"Orvex/Modify/Remove...\"\nsave " +
                            Path("after.score") + "\ndump score\nnew " + Path("after.score") +
                            "\ndump cells 1 1\nfront 1\ndump cells 1 1\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(Has(result.out,
                    "host: wrote document 1 \"quartet\" as a score text to after.score"
                    ", 28 lines"));
    const std::vector<std::string> before = host::SplitLines(testsupport::FileText(Path("before.score")));
    const std::vector<std::string> after = host::SplitLines(testsupport::FileText(Path("after.score")));
    ASSERT_EQ(before.size(), 22u);
    ASSERT_EQ(after.size(), 28u);
    // A diff of the two shows the one cell the command changed, then what the rests keep of the
    // notes they were, byte for byte.
    std::vector<std::string> differ;
    for (size_t i = 0; i < before.size(); ++i) {
        if (before[i] != after[i]) {
            differ.push_back(before[i] + " -> " + after[i]);
        }
    }
    EXPECT_EQ(differ, std::vector<std::string>{"notes 1 1 d5/4 f#5/8 e5/8 d5/4 a4/4 -> notes 1 1 r/4 r/8 r/8 r/4 r/4"});
    EXPECT_EQ(after[22], "# What the statements above do not make as the document holds it, byte for byte:");
    EXPECT_EQ(after[23], "entrybytes 1 1:1 at 16 hex 5 0700 0000 01");
    EXPECT_TRUE(Has(result.out, "score text of document 1 \"quartet\":"));
    EXPECT_TRUE(Has(result.out, "  notes 1 1 r/4 r/8 r/8 r/4 r/4"));
    // Read back, the document holds the same music.
    std::vector<std::vector<std::string>> cells;
    for (auto it = result.out.begin(); it != result.out.end(); ++it) {
        if (*it == "> dump cells 1 1" && result.out.end() - it >= 8) {
            cells.emplace_back(it + 2, it + 8);
        }
    }
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[0], cells[1]);
    EXPECT_EQ(cells[0][1], "    entry 1 at 0, 1024 EDU, beam start: rest");
}

/// A value typed into a number row of the options dialog, and what hostsim says of it.
struct TypedNumber {
    const char* value;
    int exitCode;
    std::string err;         ///< the first line on standard error after the script's path
    const char* transcript;  ///< the line under the user's set
};

class HostsimNumberRowTest : public HostsimCliTest, public ::testing::WithParamInterface<TypedNumber> {};

TEST_P(HostsimNumberRowTest, IsTakenAsGoReadsIt) {
    const auto result = Run("load plugins\nnew " + Source("examples/newspacing.score") +
                            "\nselect 1 1\nform TDActOpt set \"Expand spacing by:\" " + GetParam().value +
                            "\nform TDActOpt click Go\nmenu \"Orvex/Spacing/Expand Spacing...\"\n");
    EXPECT_EQ(result.exitCode, GetParam().exitCode) << result.err;
    EXPECT_EQ(result.err.substr(0, result.err.find('\n')), GetParam().err.empty() ? "" : ScriptName() + GetParam().err);
    const auto set = std::find(result.out.begin(), result.out.end(),
                               std::string("  user: set \"Expand spacing by:\" \"") + GetParam().value + "\"");
    ASSERT_LT(set + 2, result.out.end());
    EXPECT_EQ(set[2], GetParam().transcript);
    // Go runs only on a number.
    EXPECT_EQ(Has(result.out, "  user: click Go"), GetParam().exitCode == 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, HostsimNumberRowTest, ::testing::Values(
    TypedNumber{"thirty", 1, ":4:19: error: the user could not set \"Expand spacing by:\" to \"thirty\" on the TDActOpt "
                "form: \"thirty\" is not a number: the row takes -1000 to 1000; the 1 later action queued for it was dropped",
                "    not done: \"thirty\" is not a number: the row takes -1000 to 1000"},
    TypedNumber{"3O", 1, ":4:19: error: the user could not set \"Expand spacing by:\" to \"3O\" on the TDActOpt "
                "form: \"3O\" is not a number: the row takes -1000 to 1000; the 1 later action queued for it was dropped",
                "    not done: \"3O\" is not a number: the row takes -1000 to 1000"},
    TypedNumber{"5000", 1, ":4:19: error: the user could not set \"Expand spacing by:\" to \"5000\" on the TDActOpt "
                "form: 5000 is out of range: the row takes -1000 to 1000; the 1 later action queued for it was dropped",
                "    not done: 5000 is out of range: the row takes -1000 to 1000"},
    TypedNumber{"99999999999", 1, ":4:19: error: the user could not set \"Expand spacing by:\" to \"99999999999\" on the "
                "TDActOpt form: 99999999999 is out of range: the row takes -1000 to 1000; the 1 later action queued for it "
                "was dropped",
                "    not done: 99999999999 is out of range: the row takes -1000 to 1000"},
    TypedNumber{"2.5", 1, ":4:19: error: the user could not set \"Expand spacing by:\" to \"2.5\" on the TDActOpt "
                "form: 2.5 is not a whole number: the row takes -1000 to 1000; the 1 later action queued for it was dropped",
                "    not done: 2.5 is not a whole number: the row takes -1000 to 1000"},
    TypedNumber{"-40", 0, "", "  user: click Go"}),
    testsupport::NameBy(&TypedNumber::value));
// clang-format on

TEST_F(HostsimCliTest, AGermanHostsRunButtonIsGoAndASelectionEndsInALaterMeasure) {
    const auto result = Run("host language de\nload plugins\nnew " + Source("examples/quartet.score") +
                            "\nselect 1-1 1-2 2048-1024\ndump selection\nform TDActOpt set #4 1\n"
                            "form TDActOpt click Go\nmenu \"Orvex/Verändern/Entfernen...\"\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(Has(result.out,
                    "selection of document 1 \"quartet\": staff 1, measures 1-2, from position 2048 to "
                    "1024 EDU"));
    EXPECT_TRUE(Has(result.out, "  button OKBtn \"&Start\""));
    EXPECT_TRUE(Has(result.out, "  user: click Go"));
    EXPECT_TRUE(Has(result.out, "host: Orvex188.fxt changed document 1 \"quartet\": 2 cells (5 entries changed)"));
    // Within one measure an end before the start is still refused; an end of 0 is the end of the
    // last measure, so it ends after any start.
    const auto refused = Run("new " + Source("examples/quartet.score") + "\nselect 1 2 2048-1024\n");
    EXPECT_EQ(refused.err.substr(0, refused.err.find('\n')),
              ScriptName() + ":2:12: error: the positions 2048-1024 end before they start in measure 2");
    const auto toTheEnd = Run("new " + Source("examples/quartet.score") +
                                  "\nselect 1-2 2-3 2560-0\ndump selection\nselect 1 2 2048-0\ndump selection\n",
                              "-q");
    ASSERT_EQ(toTheEnd.exitCode, 0) << toTheEnd.err;
    EXPECT_EQ(toTheEnd.out, (std::vector<std::string>{
                                "selection of document 1 \"quartet\": staves 1-2, measures 2-3, from position 2560 to "
                                "the end of measure 3",
                                "selection of document 1 \"quartet\": staff 1, measure 2, from position 2048 to the "
                                "end of measure 2"}));
}

TEST_F(HostsimCliTest, DocumentsKeepTheirNameAfterSaveAndOpenOnce) {
    const auto result = Run("new " + Source("examples/walk.score") + "\nsave " + Path("copy.MUS") + "\nopen " +
                            Path("copy.MUS") + "\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // Files in the folder hostsim runs in are named from it.
    EXPECT_TRUE(Has(result.out, "host: saved document 1 \"copy\" as copy.MUS, 43 records"));
    EXPECT_TRUE(Has(result.out, "host: copy.MUS is open already as document 1 \"copy\", which comes to the front"));
}

TEST_F(HostsimCliTest, TwoCopiesOfAProjectPrintTheSameTranscript) {
    // Two copies of a project in different folders, each script naming its files by their full
    // paths, run from a third folder: the transcript names the files from the script's folder, the
    // file the export writes and the folder of the open dialog too.
    std::filesystem::create_directories(TempFolder() / "elsewhere");
    std::vector<testsupport::HostsimResult> results;
    for (const char* copy : {"first", "second/copy"}) {
        const std::filesystem::path folder = TempFolder() / copy;
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(Source("examples/walk.score"), folder / "walk.score");
        const std::string in = (folder / "walk.score").string();
        results.push_back(testsupport::RunHostsimWith(
            "load plugins\nnew " + in + "\nselect 1-2 1-3\nform TDActOpt set Row0 " + (folder / "out.txt").string() +
                "\nform TDActOpt click Go\nmenu \"Orvex/Miscellaneous/Export to spreadsheet...\"\nsave " +
                (folder / "copy.MUS").string() + "\nsave " + (folder / "copy.score").string() + "\n",
            folder, "", TempFolder() / "elsewhere"));
        ASSERT_EQ(results.back().exitCode, 0) << results.back().err;
    }
    for (const char* line : {"host: made document 1 \"walk\" from walk.score, 43 records",
                             "host: saved document 1 \"copy\" as copy.MUS, 43 records"}) {
        EXPECT_TRUE(Has(results[0].out, line)) << line;
    }
    EXPECT_TRUE(std::any_of(results[0].out.begin(), results[0].out.end(),
                            [](const std::string& line) { return line.starts_with("[file] wrote out.txt ("); }));
    // The lines that echo the script name the full paths as the script has them.
    const auto transcript = [](const testsupport::HostsimResult& result) {
        std::vector<std::string> lines;
        std::copy_if(result.out.begin(), result.out.end(), std::back_inserter(lines), [](const std::string& line) {
            return !line.starts_with("> ") && !line.starts_with("  user: set Row0");
        });
        return lines;
    };
    EXPECT_EQ(transcript(results[0]), transcript(results[1]));
}

TEST_F(HostsimCliTest, RegionCommandsSayWhatTheyDidAndTheSelectionShows) {
    const auto result = Run("new " + Source("examples/quartet.score") +
                            "\nselect 1 1-2\npress Ctrl+C\nselect 2 3\npress Ctrl+V\ndump selection\npress "
                            "Backspace\ndump changes\npress Ctrl+A\ndump selection\nselect none\npress Ctrl+C\n"
                            "select 9 1-99\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    static const std::vector<std::string> kExpected = {
        "> select 1 1-2",
        "> press Ctrl+C",
        "host: copied staff 1, measures 1-2 (10 entries)",
        "> select 2 3",
        "> press Ctrl+V",
        "host: pasted into staff 2, measures 3-4",
        "host: the paste changed document 1 \"quartet\": 2 cells (10 entries added)",
        "> dump selection",
        "selection of document 1 \"quartet\": staff 2, measures 3-4, from position 0 to 4096 EDU",
        "> press Backspace",
        "host: cleared staff 2, measures 3-4",
        "host: the clear changed document 1 \"quartet\": 2 cells (10 entries deleted)",
        "> dump changes",
        "changes of document 1 \"quartet\": 2 cells (10 entries deleted)",
        "  staff 2, measure 3, layer 1:",
    };
    const auto from = std::find(result.out.begin(), result.out.end(), kExpected.front());
    ASSERT_NE(from, result.out.end());
    testsupport::ExpectLines(
        kExpected,
        std::vector<std::string>(from, from + static_cast<std::ptrdiff_t>(std::min<size_t>(
                                                  kExpected.size(), static_cast<size_t>(result.out.end() - from)))));
    EXPECT_TRUE(Has(result.out, "host: selected the whole document: staves 1-4, measures 1-8"));
    EXPECT_TRUE(
        Has(result.out, "selection of document 1 \"quartet\": staves 1-4, measures 1-8, from position 0 to 3072 EDU"));
    EXPECT_TRUE(Has(result.out, "host: copy: nothing is selected"));
    // A selection beyond the document is allowed, with warnings.
    EXPECT_NE(result.err.find(":13:8: warning: the document in front has 4 staves, not 9\n"), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find(":13:10: warning: the document in front has 8 measures, not 99\n"), std::string::npos);
}

}  // namespace
