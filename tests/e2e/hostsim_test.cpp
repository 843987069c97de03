// hostsim end to end: the built host program loads the built plug-ins and shows their menus.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/module.h"
#include "tests/support/fixture.h"
#include "tests/support/hostsim_run.h"

namespace {

class HostsimTest : public testsupport::DesktopTest {};

TEST_F(HostsimTest, GermanHostShowsThe72GermanEntries) {
    const auto result = testsupport::RunHostsim("host language de\nload plugins\nprint menus\n", RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> expected = {
        "&Browser...  [40001]",
        "&Flageolette...  [40002]",
        "&Balkenunterbrechung...  [40003]",
        "&Tremolo...  [40004]",
        "&Enharmonik korrigieren  [40005]",
        "&Vorzeichen...  [40006]",
        "&Mit Pausen füllen...  [40007]",
        "&Gabeln erzeugen...  [40008]",
        "&Bögen erzeugen...  [40009]",
        "&Laisser vibrer  [40010]",
        "&Rhythmen und Tonhöhen verbinden...  [40011]",
        "T&rillernoten...  [40012]",
        "Tr&illernoten reparieren  [40013]",
        "&Platz erzeugen/entfernen (Skalieren)...  [40014]",
        "P&latz hinzufügen/entfernen...  [40015]",
        "&Aufteilung weiter...  [40016]",
        "A&ufteilung enger...  [40017]",
        "&Taktbreiten...  [40018]",
        "Pla&tz am Taktanfang verändern...  [40019]",
        "&Taktschlag-Tabellen optimieren...  [40020]",
        "P&roportionalität...  [40021]",
        "&Manager für optimierte Akkoladen...  [40022]",
        "&Zwei Akkoladen vereinigen  [40023]",
        "&Akkolade teilen...  [40024]",
        "&Vor dem Löschen von Takten  [40025]",
        "&Nach dem Einfügen von Takten...  [40026]",
        "&Takte einpassen...  [40027]",
        "&Spezielle Taktregionen...  [40028]",
        "&Gruppen aktualisieren...  [40029]",
        "&Incipits...  [40030]",
        "&Systemabstände skalieren...  [40031]",
        "&Akkoladenoptimierungen verschieben...  [40032]",
        "Akkoladenoptimierungen &kopieren...  [40033]",
        "&Ausrichten...  [40034]",
        "&Wiedergabe...  [40035]",
        "&Entfernen...   [40036]",
        "&Zurücksetzen...  [40037]",
        "&Spezialveränderungen...  [40038]",
        "&Pausen...  [40039]",
        "&Tonhöhen austauschen...  [40040]",
        "&Votragsbezeichnungen...  [40041]",
        "&Bögen...  [40042]",
        "&Einrahmungen...  [40043]",
        "&Verschieben...  [40044]",
        "&Übertragen...  [40045]",
        "N&eue Notenaufteilung...  [40046]",
        "&Lange Silben auf Schlag 1 nach rechts...  [40047]",
        "&Melisma-Silben links ausrichten...  [40048]",
        "&Silben verschieben...  [40049]",
        "&Entfernen...  [40050]",
        "&Textlängenstriche...  [40051]",
        "&Proportionalität...  [40052]",
        "&Stimmen-Nachbearbeitung...  [40053]",
        "&Intelligente Verteilung gruppierter Stimmen...  [40054]",
        "Intelligente &Verteilung mehrstimmiger Systeme...  [40055]",
        "S&tichnoten...  [40056]",
        "&Pausen mehrerer Ebenen vereinigen  [40057]",
        "&Harfen-Pedalisierung...  [40058]",
        "&Harmonika...  [40059]",
        "Sortieren der &Vortragsbezeichnungen...  [40060]",
        "&Akkordumbenennung...  [40061]",
        "&Zeichensatzkonversion...  [40062]",
        "&Finden...  [40063]",
        "&Analyse...  [40064]",
        "&Einträge vergleichen...  [40065]",
        "Als &Tabelle exportieren...  [40066]",
        "&Auricle-Import...  [40067]",
        "&Schriftinformation...  [40068]",
        "&Dateien drucken...  [40069]",
        "Eins&tellungen...  [40070]",
        "&Handbuch  [40071]",
        "&Über Orvex...  [40072]",
    };
    // The host listed the 72 entries in its plug-ins menu; on the first idle moment Orvex188
    // moved them into its own menu, in table order, without "Vx ".
    std::vector<std::string> entries;
    for (const std::string& line : testsupport::LinesStartingWith(result.out, "  &Orvex", "    ")) {
        if (line.ends_with("]")) {
            entries.push_back(line.substr(line.find_first_not_of(' ')));
        }
    }
    testsupport::ExpectLines(expected, entries);
    EXPECT_EQ(testsupport::LinesStartingWith(result.out, "  &Plug-Ins", "    "),
              std::vector<std::string>{"    Lumvar...  [40000]"});
    EXPECT_NE(std::find(result.out.begin(), result.out.end(),
                        "host: loaded Orvex188.fxt (interface version 0x05000005), 72 menu entries"),
              result.out.end());
}

TEST_F(HostsimTest, ScriptErrorsNameTheLineAndStop) {
    const auto result = testsupport::RunHostsim("# a comment\nhost language fr\nprint menus\n", RegistryFile());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("test.script:2:15: error: unknown language fr (en, de or it)\n"
                              "    2 | host language fr\n"
                              "      |               ^\n"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(std::find(result.out.begin(), result.out.end(), "> print menus"), result.out.end());

    const auto unknown = testsupport::RunHostsim("frobnicate\n", RegistryFile());
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_NE(unknown.err.find("test.script:1:1: error: unknown command \"frobnicate\"\n"), std::string::npos)
        << unknown.err;

    const auto late = testsupport::RunHostsim("load plugins\nhost language de\n", RegistryFile());
    EXPECT_EQ(late.exitCode, 1);
    EXPECT_NE(late.err.find("test.script:2:1: error: the host language cannot change once plug-ins are loaded"),
              std::string::npos)
        << late.err;
}

TEST_F(HostsimTest, MenuChoicesReachTheCommands) {
    const std::string score = (std::filesystem::path(ORVEX_SOURCE_DIR) / "examples" / "quartet.score").string();
    const auto result = testsupport::RunHostsim(
        "load plugins\n"
        "new " +
            score +
            "\n"
            "answer no\n"
            "menu \"Orvex/Parts/Join rests of multiple layers\"\n"
            "select 1-2 1-1\n"
            "hold shift\n"
            "menu \"orvex/miscellaneous/&export to spreadsheet\"\n"
            "menu \"Orvex/About\"\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // Without a selection the command asks for the whole document; No runs nothing.
    const auto asked =
        testsupport::LinesStartingWith(result.out, "> menu \"Orvex/Parts/Join rests of multiple layers\"", "");
    ASSERT_GE(asked.size(), 8u);
    testsupport::ExpectLines(
        {"[form] \"Orvex 1.88d\" TMsgDlg, modal", "  label Message \"No region selected. Process the whole document?\"",
         "  check box Skip \"Skip this question in the future\": unchecked", "  button YesBtn \"&Yes\"",
         "  button NoBtn \"&No\"", "  user: click NoBtn", "  -> No"},
        std::vector<std::string>(asked.begin(), asked.begin() + 7));
    // With a selection and Shift the tool runs at once on its stored options.
    EXPECT_NE(
        std::find(result.out.begin(), result.out.end(), "host: progress begins over staves 1-2, measure 1: 2 steps"),
        result.out.end());
    EXPECT_TRUE(std::none_of(result.out.begin(), result.out.end(),
                             [](const std::string& line) { return line.find("not available") != std::string::npos; }));
    EXPECT_NE(std::find(result.out.begin(), result.out.end(), "[form] \"About Orvex 1.88d\" TAboutBox, modal"),
              result.out.end());

    const auto missing = testsupport::RunHostsim("load plugins\nmenu \"Plug-ins/Vx Nothing\"\n", RegistryFile());
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("test.script:2:16: error: no item \"Vx Nothing\" in the menu \"Plug-ins\" (it offers "
                               "\"Lumvar...\")"),
              std::string::npos)
        << missing.err;
}

TEST_F(HostsimTest, WithoutADocumentNoPluginCommandRuns) {
    const auto result = testsupport::RunHostsim(
        "load plugins\n"
        "wait 600\n"
        "hold shift\n"
        "menu \"Orvex/Parts/Join rests of multiple layers\"\n"
        "menu \"Plug-ins/Lumvar...\"\n"
        "invoke 56\n"
        "invoke 11\n"
        "release shift\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // The host greys its plug-in entries; a tool called by its index does nothing and says so.
    const std::vector<std::string> expected = {
        "host: no document is open: entry 56 of Orvex188.fxt is greyed and does nothing",
        "> menu \"Plug-ins/Lumvar...\"",
        "host: no document is open: entry 0 of Lumvar2000.fxt is greyed and does nothing",
        "> invoke 56",
        "host: nothing changed",
        "host: Orvex188.fxt answered 0",
        "> invoke 11",  // Trill Notes, the tool of the lowest command code, 100
        "host: nothing changed",
        "host: Orvex188.fxt answered 0",
        "> release shift",
    };
    std::vector<std::string> lines =
        testsupport::LinesStartingWith(result.out, "> menu \"Orvex/Parts/Join rests of multiple layers\"", "");
    lines.resize(std::min(lines.size(), expected.size()));
    testsupport::ExpectLines(expected, lines);
}

TEST_F(HostsimTest, UnloadingWritesTheRegistryFile) {
    const auto result = testsupport::RunHostsim("load plugins\nquit\nprint menus\n", RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(std::find(result.out.begin(), result.out.end(), "> print menus"), result.out.end());
    EXPECT_EQ(result.out.back(), "host: unloaded Lumvar2000.fxt");
    std::ifstream file(RegistryFile());
    const std::string text((std::istreambuf_iterator<char>(file)), {});
    // The remembered answers of the one-time NumLock offer (message 18, unanswered: No).
    EXPECT_NE(text.find("\"ShowMessages\"=\"111111111111111111\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"LastAnswers\"=\"000000000000000007\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"asknl2k\"=\"1\""), std::string::npos) << text;
}

// A damaged registry file stops hostsim before it runs anything, with the file and line named
// and exit status 2, and the file is left for the user to mend.
TEST_F(HostsimTest, ADamagedRegistryFileStopsHostsimNamingTheLine) {
    const std::string damaged =
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software]\n"
        "\"\"=hex():\n";
    std::ofstream(RegistryFile(), std::ios::binary) << damaged;
    const auto result = testsupport::RunHostsim("load plugins\n", RegistryFile());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "hostsim: the registry file is damaged: " + RegistryFile().string() +
                              ":4: the type of a hex(N) value is a decimal number, not \"\"\n");
    EXPECT_TRUE(result.out.empty());
    EXPECT_EQ(testsupport::FileText(RegistryFile()), damaged);
}

}  // namespace
