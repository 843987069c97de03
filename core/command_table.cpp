// The command table, the tool names and the per-tool tables.
#include "core/commands.h"

#include "core/module.h"

namespace orvex {
namespace {

constexpr uint8_t SEP = 1;  // a separator follows the entry
constexpr uint8_t END = 1;  // the entry ends its submenu

constexpr CommandEntry Form(int32_t code, const char* english, const char* german, uint8_t separator = 0,
                            const char* subEnglish = nullptr, const char* subGerman = nullptr, uint8_t ends = 0) {
    return CommandEntry{code, english, german, 0, separator, subEnglish, subGerman, ends, 0};
}

/// A tool entry: its texts come from the tool names by item and group.
constexpr CommandEntry Tool(int32_t code, uint8_t separator = 0, const char* subEnglish = nullptr,
                            const char* subGerman = nullptr, uint8_t ends = 0) {
    return CommandEntry{code, nullptr, nullptr, 0, separator, subEnglish, subGerman, ends, 0};
}

struct ToolNames {
    const char* stored;
    const char* english1;
    const char* english2;
    const char* german1;
    const char* german2;
};

// clang-format off
// Tool names by item: stored under, then English group 1 and 2, German group 1 and 2. The menu
// texts of the items that are menu commands are the command table's texts.
constexpr std::array<ToolNames, kToolItemCount> kToolNames = {{
    /*  0 */ {"TrillNotes", "Vx &Make parenthesized trill notes...", "Vx &Repair trill notes (after Spacing)", "Vx T&rillernoten...", "Vx Tr&illernoten reparieren"},
    /*  1 */ {"Remove", "Vx &Remove...", nullptr, "Vx &Entfernen... ", nullptr},
    /*  2 */ {"RemExBCEls", "Vx &Remove extraneous beat chart elements...", nullptr, "Vx &Taktschlag-Tabellen optimieren...", nullptr},
    /*  3 */ {"MakeSpace", "Vx &Make/Remove space at end of measure (compress/expand)...", nullptr, "Vx &Platz erzeugen/entfernen (Skalieren)...", nullptr},
    /*  4 */ {"MakeLonger", "Vx &Add/Remove space in measure...", nullptr, "Vx P&latz hinzufügen/entfernen...", nullptr},
    /*  5 */ {"MoveSyllBtOne", "Vx &Move long syllables on beat 1 to the right...", "Vx &Move melisma syllables to the right...", "Vx &Lange Silben auf Schlag 1 nach rechts...", "Vx &Melisma-Silben nach rechts..."},
    /*  6 */ {"ReduceDist", "Vx &Proportionality...", "Vx &Proportionality...", "Vx P&roportionalität...", "Vx &Proportionalität..."},
    /*  7 */ {"LeadingWhite", "Vx M&odify a measure's leading white-space...", nullptr, "Vx Pla&tz am Taktanfang verändern...", nullptr},
    /*  8 */ {"SecBeamBreaker", "Vx &Beam Breaker...", nullptr, "Vx &Balkenbrechung...", nullptr},
    /*  9 */ {"TextExprSorter", "Vx &Text Expression Sorter...", nullptr, "Vx Sortieren der &Vortragsbezeichnungen...", nullptr},
    // Items 10 and 20 have second-group names that no command of group 2 shows; they repeat
    // the first group's.
    /* 10 */ {"Parentheses", "Parentheses...", "Parentheses...", "Klammern...", "Klammern..."},
    /* 11 */ {"MoreProp", "More ...", nullptr, "Mehr...", nullptr},
    /* 12 */ {"MoreSort", "More ...", nullptr, "Mehr...", nullptr},
    /* 13 */ {"Melisma", "Vx &Left-align melisma syllables...", nullptr, "Vx &Melisma-Silben links ausrichten...", nullptr},
    /* 14 */ {"ScaleStaves", "Vx &Scale Staff Positions...", nullptr, "Vx &Systemabstände skalieren...", nullptr},
    /* 15 */ {"CustomChords", "Vx &Custom Chord Styles...", nullptr, "Vx &Akkordumbenennung...", nullptr},
    /* 16 */ {"CopyOpt", "Vx &Copy System Optimization...", nullptr, "Vx Akkoladenoptimierungen &kopieren...", nullptr},
    /* 17 */ {"ShiftLyrics", "Vx &Shift Lyrics...", nullptr, "Vx &Silben verschieben...", nullptr},
    /* 18 */ {"Expand", "Vx &Expand Spacing...", nullptr, "Vx &Aufteilung weiter...", nullptr},
    /* 19 */ {"Compress", "Vx &Compress Spacing...", nullptr, "Vx A&ufteilung enger...", nullptr},
    /* 20 */ {"NewSpc", "Vx &New Spacing...", "Vx &New Spacing...", "Vx N&eue Notenaufteilung...", "Vx N&eue Notenaufteilung..."},
    /* 21 */ {"Options", "Vx &Options...", nullptr, "Vx Optionen...", nullptr},
    /* 22 */ {"MoreNewSpc", "More ...", nullptr, "Mehr...", nullptr},
    /* 23 */ {"Tremolos", "Vx &Tremolo...", nullptr, "Vx &Tremolo...", nullptr},
    /* 24 */ {"CueNotes", "Vx Add &Cue Notes...", nullptr, "Vx S&tichnoten...", nullptr},
    /* 25 */ {"JoinRests", "Vx &Join rests of multiple layers", nullptr, "Vx &Pausen mehrerer Ebenen vereinigen", nullptr},
    /* 26 */ {"ProcessParts", "Vx &Process extracted parts...", nullptr, "Vx &Stimmen-Nachbearbeitung...", nullptr},
    /* 27 */ {"DistribParts", "Vx &Smart Distribution of grouped parts ...", nullptr, "Vx &Intelligente Verteilung gruppierter Stimmen...", nullptr},
    /* 28 */ {"PartOptions", "More ...", nullptr, "Mehr...", nullptr},
    /* 29 */ {"AlignDynamics", "Vx &Align/Move...", nullptr, "Vx &Ausrichten...", nullptr},
    /* 30 */ {"Umlauts", "Vx &Character set conversion...", nullptr, "Vx &Zeichensatzkonversion...", nullptr},
    /* 31 */ {"MoreAlign", "More...", nullptr, "Mehr...", nullptr},
    /* 32 */ {"Errors", "Vx &Find...", nullptr, "Vx &Finden...", nullptr},
    /* 33 */ {"TremMore", "More...", nullptr, "Mehr...", nullptr},
    /* 34 */ {"FitMeas", "Vx &Fit Measures...", nullptr, "Vx &Takte einpassen...", nullptr},
    /* 35 */ {"DistribStaves", "Vx Smart &Explosion of multi-part staves...", nullptr, "Vx Intelligente &Verteilung mehrstimmiger Systeme...", nullptr},
    /* 36 */ {"CombineStuff", "Vx &Combine rhythms and pitches...", nullptr, "Vx &Rhythmen und Tonhöhen verbinden...", nullptr},
    /* 37 */ {"Export", "Vx &Export to spreadsheet...", nullptr, "Vx Als &Tabelle exportieren...", nullptr},
    /* 38 */ {"MeasWidths", "Vx Measure &Widths...", nullptr, "Vx &Taktbreiten...", nullptr},
    /* 39 */ {"FontInfo", "Vx &Font Info...", nullptr, "Vx &Schriftinformation...", nullptr},
    /* 40 */ {"Orchestr", "Vx &Orchestration...", nullptr, "Vx &Instrumentation...", nullptr},
    /* 41 */ {"Accis", "Vx &Accidentals...", nullptr, "Vx &Vorzeichen...", nullptr},
    /* 42 */ {"Respell", "Vx &Respell Notes", nullptr, "Vx &Enharmonik korrigieren", nullptr},
    /* 43 */ {"UpdtGrps", "Vx &Update Groups...", nullptr, "Vx &Gruppen aktualisieren...", nullptr},
    /* 44 */ {"Hairpins", "Vx Create &Hairpins...", nullptr, "Vx &Gabeln erzeugen...", nullptr},
    /* 45 */ {"SplitSys", "Vx &Split Staff System...", nullptr, "Vx &Akkolade teilen...", nullptr},
    /* 46 */ {"Slurs", "Vx Create S&lurs...", nullptr, "Vx &Bögen erzeugen...", nullptr},
    /* 47 */ {"Harp", "Vx &Harp Pedaling...", nullptr, "Vx &Harfen-Pedalisierung...", nullptr},
    /* 48 */ {"BeamMore", "More...", nullptr, "Mehr...", nullptr},
    /* 49 */ {"FillRests", "Vx &Fill with rests...", nullptr, "Vx &Mit Pausen füllen...", nullptr},
    /* 50 */ {"PrintMlt", "Vx P&rint multiple files...", nullptr, "Vx &Dateien drucken...", nullptr},
    /* 51 */ {"DelMeas", "Vx &Before Deleting Measures", nullptr, "Vx &Vor dem Löschen von Takten", nullptr},
    /* 52 */ {"InsMeas", "Vx &After Inserting Measures...", nullptr, "Vx &Nach dem Einfügen von Takten...", nullptr},
    /* 53 */ {"JoinSys", "Vx &Join Two Staff Systems", nullptr, "Vx &Zwei Akkoladen vereinigen", nullptr},
    /* 54 */ {"ShiftSys", "Vx &Shift System Optimization...", nullptr, "Vx &Akkoladenoptimierungen verschieben...", nullptr},
    /* 55 */ {"Transfer", "Vx &Transfer...", nullptr, "Vx &Übertragen...", nullptr},
    /* 56 */ {"RemoveLyr", "Vx &Remove Adjustments...", nullptr, "Vx &Entfernen...", nullptr},
    /* 57 */ {"Shift", "Vx &Shift...", nullptr, "Vx &Verschieben...", nullptr},
    /* 58 */ {"Reset", "Vx &Reset...", nullptr, "Vx &Zurücksetzen...", nullptr},
    /* 59 */ {"Import", "Vx &Auricle Import...", nullptr, "Vx &Auricle-Import...", nullptr},
    /* 60 */ {"SpecialInst", "Vx &Harmonica...", nullptr, "Vx &Harmonika...", nullptr},
    /* 61 */ {"LaisVib", "Vx &Laisser vibrer", nullptr, "Vx &Laisser vibrer", nullptr},
    /* 62 */ {"WordExt", "Vx &Word Extensions...", nullptr, "Vx &Textlängenstriche...", nullptr},
    /* 63 */ {"Compare", "Vx &Compare Entries...", nullptr, "Vx &Einträge vergleichen...", nullptr},
    /* 64 */ {"Analyze", "Vx &Analyze...", nullptr, "Vx &Analyse...", nullptr},
    /* 65 */ {"Rests", "Vx &Special Modifications...", nullptr, "Vx &Spezialveränderungen...", nullptr},
    /* 66 */ {"Playback", "Vx &Rests...", nullptr, "Vx &Pausen...", nullptr},
    /* 67 */ {"Incipits", "Vx &Playback...", nullptr, "Vx &Wiedergabe...", nullptr},
    /* 68 */ {"Pitches", "Vx &Incipits...", nullptr, "Vx &Incipits...", nullptr},
    /* 69 */ {"SelExpr", "Vx &Replace Pitches...", nullptr, "Vx &Tonhöhen austauschen...", nullptr},
    /* 70 */ {"PlayMore", "Vx &Select Text Expression...", nullptr, "Vx &Ausdrucksbezeichnung wählen ...", nullptr},
    /* 71 */ {"Expr", "More...", nullptr, "Mehr...", nullptr},
    /* 72 */ {"MakeRegions", "Vx &Expressions...", nullptr, "Vx &Votragsbezeichnungen...", nullptr},
    // Item 73 keeps its settings apart from item 46's.
    /* 73 */ {"Enclosures", "Vx &Enclosures...", nullptr, "Vx &Einrahmungen...", nullptr},
    /* 74 */ {"Project", "Vx &Special Measure Regions...", nullptr, "Vx &Spezielle Taktregionen...", nullptr},
    /* 75 */ {"Midi", "Vx S&lurs...", nullptr, "Vx &Bögen...", nullptr},
    /* 76 */ {"DistNotes", "Vx &Pitch Projection...", nullptr, "Vx &Tonhöhenprojektion...", nullptr},
    /* 77 */ {"Tuplets", "Vx &Midi...", nullptr, "Vx &Midi...", nullptr},
    /* 78 */ {"ShiftMore", "Vx &Distribute Notes...", nullptr, "Vx &Noten verteilen...", nullptr},
    // "SplitPoint" is tool 81's key name (the name a key assignment runs it by) and no one else's.
    /* 79 */ {nullptr, "Vx &Tuplets...", nullptr, "Vx &X-Tolen...", nullptr},
    /* 80 */ {nullptr, "More...", nullptr, "Mehr...", nullptr},
    /* 81 */ {"SplitPoint", "Vx &Smart Split Point...", nullptr, "Vx &Smart Split Point", nullptr},
}};

constexpr std::array<CommandNameRow, 5> NameRows() {
    std::array<CommandNameRow, 5> rows{};
    for (size_t item = 0; item < kToolNames.size(); ++item) {
        rows[0][item] = kToolNames[item].stored;
        rows[1][item] = kToolNames[item].english1;
        rows[2][item] = kToolNames[item].english2;
        rows[3][item] = kToolNames[item].german1;
        rows[4][item] = kToolNames[item].german2;
    }
    return rows;
}

constexpr std::array<uint8_t, kToolItemCount> ItemFlags(std::initializer_list<int> items) {
    std::array<uint8_t, kToolItemCount> flags{};
    for (int item : items) {
        flags[static_cast<size_t>(item)] = 1;
    }
    return flags;
}

constexpr std::array<int32_t, kToolItemCount> ItemValues(std::initializer_list<std::pair<int, int>> pairs) {
    std::array<int32_t, kToolItemCount> values{};
    for (auto [item, value] : pairs) {
        values[static_cast<size_t>(item)] = value;
    }
    return values;
}

}  // namespace

const std::array<CommandEntry, kCommandTableSize> kCommandTableData = {{
    /*  0 */ Form(CODE_EXPLORER, "Vx &Browser...", "Vx &Browser...", SEP),
    /*  1 */ Form(CODE_HARMONICS, "Vx &Harmonics...", "Vx &Flageolette...", 0, "M&usic", "&Noten"),
    /*  2 */ Form(CODE_BEAM_BREAKER, "Vx &Beam Breaker...", "Vx &Balkenunterbrechung..."),
    /*  3 */ Tool(123, SEP),
    /*  4 */ Tool(142),
    /*  5 */ Tool(141),
    /*  6 */ Tool(149, SEP),
    /*  7 */ Tool(144),
    /*  8 */ Tool(146),
    /*  9 */ Tool(161, SEP),
    /* 10 */ Tool(136),
    /* 11 */ Tool(100),
    /* 12 */ Tool(200, 0, nullptr, nullptr, END),
    /* 13 */ Tool(103, 0, "&Spacing", "&Ausrichtung"),
    /* 14 */ Tool(104, SEP),
    /* 15 */ Tool(118),
    /* 16 */ Tool(119, SEP),
    /* 17 */ Tool(138),
    /* 18 */ Tool(107, SEP),
    /* 19 */ Tool(102),
    /* 20 */ Tool(106, 0, nullptr, nullptr, END),
    /* 21 */ Form(CODE_STAFF_LIST_MANAGER, "Vx Staff &List Manager...", "Vx &Manager für optimierte Akkoladen...", 0, "Layou&t", "&Systemlayout"),
    /* 22 */ Tool(153),
    /* 23 */ Tool(145, SEP),
    /* 24 */ Tool(151),
    /* 25 */ Tool(152),
    /* 26 */ Tool(134),
    /* 27 */ Tool(174, SEP),
    /* 28 */ Tool(143),
    /* 29 */ Tool(168),
    /* 30 */ Tool(114, SEP),
    /* 31 */ Tool(154),
    /* 32 */ Tool(116, SEP, nullptr, nullptr, END),
    /* 33 */ Tool(129, 0, "Mo&dify", "&Verändern"),
    /* 34 */ Tool(167, SEP),
    /* 35 */ Tool(101),
    /* 36 */ Tool(158),
    /* 37 */ Tool(165, SEP),
    /* 38 */ Tool(166),
    /* 39 */ Tool(169),
    /* 40 */ Tool(172),
    /* 41 */ Tool(175),
    /* 42 */ Tool(173, SEP),
    /* 43 */ Tool(157),
    /* 44 */ Tool(155, 0, nullptr, nullptr, END),
    /* 45 */ Tool(120, SEP),
    /* 46 */ Tool(105, 0, "&Lyrics", "&Liedtext"),
    /* 47 */ Tool(205),
    /* 48 */ Tool(117, SEP),
    /* 49 */ Tool(156),
    /* 50 */ Tool(162),
    /* 51 */ Tool(206, 0, nullptr, nullptr, END),
    /* 52 */ Tool(126, 0, "&Parts", "S&timmen"),
    /* 53 */ Tool(127),
    /* 54 */ Tool(135, SEP),
    /* 55 */ Tool(124),
    /* 56 */ Tool(125),
    /* 57 */ Tool(147),
    /* 58 */ Tool(160, 0, nullptr, nullptr, END),
    /* 59 */ Form(CODE_TEXT_EXPRESSION_SORTER, "Vx &Text Expression Sorter...", "Vx Sortieren der &Vortragsbezeichnungen...", 0, "&Miscellaneous", "&Verschiedenes"),
    /* 60 */ Tool(115),
    /* 61 */ Tool(130, SEP),
    /* 62 */ Tool(132),
    /* 63 */ Tool(164),
    /* 64 */ Tool(163, SEP),
    /* 65 */ Tool(137),
    /* 66 */ Tool(159),
    /* 67 */ Tool(139, SEP, nullptr, nullptr, END),
    /* 68 */ Form(CODE_PRINT_MULTIPLE_FILES, "Vx P&rint Multiple Files...", "Vx &Dateien drucken..."),
    /* 69 */ Form(CODE_OPTIONS, "Vx &Options...", "Vx Eins&tellungen..."),
    /* 70 */ Form(CODE_USER_MANUAL, "Vx &User Manual", "Vx &Handbuch"),
    /* 71 */ Form(CODE_ABOUT, "Vx A&bout...", "Vx &Über Orvex..."),
    // Entries 72-79 are empty.
}};

const std::array<CommandNameRow, 5> CommandNameTable = NameRows();

const std::array<uint8_t, kToolItemCount> SeveralOptionSets = ItemFlags({1, 5, 6, 10});
const std::array<uint8_t, kToolItemCount> DialogOnlyInGroup1 = ItemFlags({0});
const std::array<int32_t, kToolItemCount> FurtherOptionsItem = ItemValues({
    {0, 10}, {6, 11}, {8, 48}, {9, 12}, {20, 22}, {23, 33}, {26, 28}, {27, 28}, {29, 31}, {34, 38}, {35, 28}, {67, 71}});
const std::array<int32_t, kToolItemCount> kFurtherOptionsGroupData = ItemValues({
    {0, 1}, {6, 1}, {9, 1}, {20, 1}, {23, 1}, {26, 1}, {27, 1}, {29, 1}, {34, 1}, {35, 1}, {67, 1}});
// clang-format on

}  // namespace orvex
