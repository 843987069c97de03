// The option rows of every tool item, in item order, as the module loads them.
#include "core/general_options.h"
#include "core/module.h"
#include "core/tool_items.h"
#include "forms/action_control_table.h"

namespace orvex {
namespace {

constexpr bool kOn = true;
constexpr bool kOff = false;

constexpr ActionControlRow Row(const char* english, const char* german, int32_t minimum, int32_t maximum,
                               int32_t initial, uint8_t hasText, const char* text, int32_t kind) {
    ActionControlRow row;
    row.englishCaption = english;
    row.germanCaption = german;
    row.minimum = minimum;
    row.maximum = maximum;
    row.value1 = initial;
    row.value2 = initial;  // option set 2 starts from the same defaults
    row.hasText = hasText;
    row.text = text;
    row.kind = kind;
    return row;
}

/// A number edit with limits and an initial value.
constexpr ActionControlRow Number(const char* english, const char* german, int32_t minimum, int32_t maximum,
                                  int32_t initial) {
    return Row(english, german, minimum, maximum, initial, 0, "", KIND_ORDINARY);
}

/// A length in EVPU, shown in the host's measurement unit.
constexpr ActionControlRow Evpu(const char* english, const char* german, int32_t minimum, int32_t maximum,
                                int32_t initial) {
    return Row(english, german, minimum, maximum, initial, 0, "", KIND_UNIT);
}

constexpr ActionControlRow Box(const char* english, const char* german, bool on) {
    return Row(english, german, 0, 1, on ? 1 : 0, 0, "", KIND_ORDINARY);
}

/// A text edit as wide as a font name.
constexpr ActionControlRow Text(const char* english, const char* german, const char* text) {
    return Row(english, german, 0, 0, 0, 1, text, KIND_ORDINARY);
}

/// A text edit of normal width, for short texts.
constexpr ActionControlRow NarrowText(const char* english, const char* german, const char* text) {
    return Row(english, german, 0, 0, 0, 1, text, KIND_NORMAL_WIDTH_TEXT);
}

constexpr ActionControlRow Pitch(const char* english, const char* german, const char* text) {
    return Row(english, german, MIN_PITCH, 0, 0, 1, text, KIND_ORDINARY);
}

constexpr ActionControlRow FixedWidthText(const char* english, const char* german, const char* text) {
    return Row(english, german, MIN_FIXED_WIDTH_TEXT, 0, 0, 1, text, KIND_ORDINARY);
}

constexpr ActionControlRow WideText(const char* english, const char* german, const char* text) {
    return Row(english, german, MIN_WIDE_TEXT, 0, 0, 1, text, KIND_ORDINARY);
}

constexpr ActionControlRow UnmarkedText(const char* english, const char* german, const char* text) {
    return Row(english, german, MIN_UNMARKED, 0, 0, 1, text, KIND_ORDINARY);
}

constexpr ActionControlRow FileName(const char* english, const char* german, const char* text) {
    return Row(english, german, 0, 0, 0, 1, text, KIND_FILE_NAME);
}

/// A radio group on its own line; the caption holds its items: "Title[one,two,three]".
constexpr ActionControlRow InlineRadio(const char* english, const char* german, int32_t heightItems, int32_t chosen) {
    return Row(english, german, MIN_INLINE_RADIO, heightItems, chosen, 0, "", KIND_ORDINARY);
}

/// A radio group in a column beside the rows, placed by its RadioPlacementTable entry.
constexpr ActionControlRow ColumnRadio(const char* english, const char* german, int32_t heightItems, int32_t chosen,
                                       int32_t placement) {
    return Row(english, german, MIN_COLUMN_RADIO, heightItems, chosen, 0, "", placement);
}

constexpr ActionControlRow StaffList(const char* english, const char* german) {
    return Row(english, german, MIN_STAFF_LIST, 0, 0, 0, "", KIND_ORDINARY);
}

constexpr ActionControlRow GroupList(const char* english, const char* german) {
    return Row(english, german, MIN_GROUP_LIST, 0, 0, 0, "", KIND_ORDINARY);
}

constexpr ActionControlRow FontList(const char* english, const char* german) {
    return Row(english, german, MIN_FONT_LIST, 0, 0, 0, "", KIND_ORDINARY);
}

constexpr ActionControlRow ExpressionList(const char* english, const char* german) {
    return Row(english, german, MIN_EXPRESSION_LIST, 0, 0, 0, "", KIND_ORDINARY);
}

constexpr ActionControlRow MeasureList(const char* english, const char* german) {
    return Row(english, german, MIN_MEASURE_LIST, 0, 0, 0, "", KIND_ORDINARY);
}

constexpr ActionControlRow FileList(const char* english, const char* german) {
    return Row(english, german, MIN_FILE_LIST, 1, 0, 0, "", KIND_ORDINARY);
}

/// The first column of the inline table: a read-only cell per staff.
constexpr ActionControlRow StaffColumn(const char* english, const char* german) {
    ActionControlRow row = Row(english, german, MIN_STAFF_COLUMN, 0, 0, 1, "", KIND_ORDINARY);
    row.readOnly = 1;
    return row;
}

/// A column of the inline table whose header is `letters` letters "o" wide.
constexpr ActionControlRow Column(int32_t letters, ActionControlRow row) {
    row.kind = KIND_INLINE_FIRST - letters;
    return row;
}

/// A check box whose flag the table already holds.
constexpr ActionControlRow CheckBox(ActionControlRow row) {
    row.checkBox = 1;
    return row;
}

/// A row that begins a frame around `rows` rows.
constexpr ActionControlRow Framed(int32_t rows, ActionControlRow row) {
    row.kind = -rows;
    return row;
}

/// An ordinary row marked as standing outside any frame.
constexpr ActionControlRow Unframed(ActionControlRow row) {
    row.kind = KIND_NO_FRAME;
    return row;
}

/// A number edit of the width of a short text.
constexpr ActionControlRow NarrowEdit(ActionControlRow row) {
    row.kind = KIND_NORMAL_WIDTH_TEXT;
    return row;
}

// The default character sets of the character-set conversion, position by position: the
// Windows-1252 characters of the Mac Roman bytes, and those of the Windows bytes that replace
// them. Code points U+0080-U+00A0 are escaped; the rest is typed.
constexpr const char* kConversionSource =
    "†ŸŠš§…€\u0081‚ƒ„‡ˆ‰‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™›œ\u009Dž\u00A0¡¢£¤¥¦¨©ª«¬®¯®¯±´µ»¾¿"
    "ÀÁÂÄÇÈÊÉËÌÍÎÏÐÑÒÓÔÕÖØÙÛÜÝàáâãäåæçèéêëìíîïñòóôûü";
constexpr const char* kConversionTarget =
    "ÜüäößÖÄÅÇÉÑáàâãåçéèêëíìîïñóòôõúùû†š¢£§•¶®©™’¨ÆØÆØ±¥µªæø¿¡¬ƒ«»\u00A0ÉÀÃÕŒœ–—“”‘’÷ÿŸ"
    "¤‹›‡·¸„‰ÂÊÁËÈÍÎÏÌÓÔÒÚÛÙ°¸";

// clang-format off
// Rows by tool item. Item 21's rows are the general options' and are added when the table is
// loaded, so that they have one source.
constexpr ActionControlTableData kTypedRows = {{
    // 0 TrillNotes
    {{
        Number("Duration of grace notes to be modified (4=quarter)", "Dauer der zu verändernden Vorschlagsnoten (4=Viertel)", 1, 128, 4),
        Evpu("Horizontal note shift (positive=to the right)", "Horizontale Verschiebung der Note (positiv=nach rechts)", -1000, 1000, 85),
        Evpu("Additional horizontal shift with dotted notes", "Zusätzliche horizontale Verschiebung bei punktierten Noten", -1000, 1000, 15),
    }},
    // 1 Remove
    {{
        Box("Vertical displacements from rests", "Vertikale Verschiebungen von Pausen", kOff),
        Box("Horizontal displacements from entries", "Horizontale Verschiebungen von Einträgen", kOff),
        Box("Stem length and position alterations", "Veränderungen von Halslänge und -position", kOff),
        Box("Beam angle alterations", "Veränderungen des Balkenwinkels", kOff),
        Box("Convert notes to rests", "Noten in Pausen umwandeln", kOff),
        Number("Left percentage (100=all)", "Prozentsatz links (100=alle)", 0, 100, 100),
        Number("Right percentage (100=all)", "Prozentsatz rechts (100=alle)", 0, 100, 100),
        Box("Remove stems", "Hälse entfernen", kOff),
        Box("... and unbeam so only noteheads are left?", "... und Balken lösen, so daß nur Notenköpfe bleiben?", kOn),
        Box("Remove hidden rests", "Versteckte Pausen entfernen", kOff),
    }},
    // 2 RemExBCEls
    {{
        Number("Maximum deviation per thousand", "Maximale Abweichung in Promille", 0, 1000, 50),
        Box("Enforce beat chart refresh?", "Taktschlag-Tabelle erneuern?", kOn),
    }},
    // 3 MakeSpace
    {{
        Number("To make free space, compress measure by %", "Um Platz zu schaffen, Takt stauchen um %", -100, 100, 20),
        Box("Enforce beat chart refresh?", "Taktschlag-Tabelle erneuern?", kOn),
    }},
    // 4 MakeLonger
    {{
        Evpu("Space to add as free space (negative=remove)", "Hinzuzufügender Platz (negativ=entfernen)", -1000, 1000, 50),
        Box("Enforce beat chart refresh?", "Taktschlag-Tabelle erneuern?", kOn),
        InlineRadio("Add after:[beginning,selection,end]", "Wo:[Anfang,Auswahl,Ende]", 5, 2),
    }},
    // 5 MoveSyllBtOne
    {{
        Number("Minimum width of syllables to modify (2 letters=about 15)", "Minimale Breite der zu verändernden Silben (2 Buchstaben=ca. 15)", 0, 99, 17),
        Number("Proportionality factor in percent (default=100)", "Proportionalitätsfaktor in Prozent (Standard=100)", 1, 300, 100),
        Box("Ignore previous adjustments?", "Frühere Verschiebungen ignorieren?", kOff),
    }},
    // 6 ReduceDist
    {{
        Number("Minimum proportionality factor in percent (default=70)", "Minimaler Proportionalitätsfaktor in Prozent (Standard=70)", 1, 100, 70),
        Box("Clear Minimum Positions", "Minimalpositionen löschen", kOff),
        Box("Make notes as tight as possible", "Noten so eng wie möglich setzen", kOff),
        Box("Try to reduce Minimum Positions if appropriate", "Minimalpositionen wenn möglich verringern", kOff),
        Evpu("Maximum whitespace to add (per case)", "Maximal hinzuzufügender Leerraum (pro Fall)", 10, 1000, 500),
        Number("Maximum whitespace increase in percent (per case)", "Maximale Vergrößerung des Leerraums in Prozent (pro Fall)", 100, 10000, 400),
    }},
    // 7 LeadingWhite
    {{
        Evpu("Limit a measure's initial white-space to", "Platz am Taktanfang begrenzen auf", 0, 1000, 12),
        Box("Always set to this value?", "Immer auf diesen Wert setzen?", kOff),
        Evpu("Subtract from inital white-space", "Vom Platz am Taktanfang abziehen", 0, 1000, 0),
        Evpu("Maximum 'Minimum Position' to allow", "Größte erlaubte 'Minimalposition'", 0, 1000, 20),
        Box("Enforce beat chart refresh?", "Taktschlag-Tabelle erneuern?", kOn),
    }},
    // 8 SecBeamBreaker
    {{
        Box("Exclude all rests from beaming?", "Balken bei Pausen unterbrechen?", kOff),
        Box("Break primary beams on beats?", "Balken auf Schlägen unterbrechen?", kOff),
        Number("EDUs per beat:", "EDUs pro Schlag:", 128, 8192, 1024),
        Box("But only when note values are smaller than ...", "Aber nur wenn es kürzere Notenwerte gibt als...?", kOn),
        Number("... EDUs:", "... EDUs:", 128, 8192, 512),
        Box("Or when there's rests that aren't multiples of beats", "Oder wenn es Pausen gibt, die nicht Vielfache des Schlages sind?", kOn),
        Box("If so, break all beats in a measure:", "Wenn, dann auf allen Schlägen eines Taktes unterbrechen:", kOn),
        Framed(6, Box("Break secondary beams?", "Zweitbalken unterbrechen?", kOn)),
        Number("Break groups with total length of quarter notes into", "Gruppen mit Gesamtlänge einer Viertelnote aufteilen in", 1, 12, 2),
        Number("Break groups with total length of eighth notes into", "Gruppen mit Gesamtlänge einer Achtelnote aufteilen in", 1, 12, 2),
        Box("Break groups of four equal durations in two?", "Gruppen mit vier gleichen Notenwerten in zwei teilen?", kOff),
        Box("Break all secondary beams in each case?", "In jedem Fall alle Zweitbalken unterbrechen?", kOff),
        Box("Remove existing secondary beam breaks?", "Bestehende Unterbrechungen vorher entfernen?", kOff),
        Box("Rests are included in beam groups?", "Sind Pausen Bestandteil der Balkengruppen?", kOff),
        Box("Simplify beamed rests?", "Gebalkte Pausen vereinfachen?", kOn),
    }},
    // 9 TextExprSorter
    {{
        Framed(2, Box("Sort each font FAMILY into separate group", "Jede Schrift-FAMILIE in eigenen Abschnitt sortieren", kOff)),
        Number("Priority for font family sort criterion", "Priorität des Kriteriums Schriftfamilie", 0, 3, 1),
        Framed(2, Box("Sort each font SIZE into separate group", "Jede Schrift-GRÖSSE in eigenen Abschnitt sortieren", kOff)),
        Number("Priority for font size sort criterion", "Priorität des Kriteriums Schriftgröße", 0, 3, 2),
        Framed(2, Box("Sort each font STYLE into separate group", "Jeden Schrift-STIL in eigenen Abschnitt sortieren", kOff)),
        Number("Priority for font style sort criterion", "Priorität des Kriteriums Schriftstil", 0, 3, 3),
        Box("Delete unused text expressions", "Unbenutzte Vortragsbezeichnungen löschen", kOff),
        Box("Delete only, do not sort", "Nur löschen, nicht sortieren", kOff),
    }},
    // 10 Parentheses
    {{
        Evpu("Accidental shift (positive=to the right)", "Verschiebung der Vorzeichen (positiv=nach rechts)", -50, 50, 12),
        Text("Font for parentheses", "Schriftart für die Klammern", "Times New Roman"),
        Number("Font size", "Schriftgröße", 1, 100, 18),
        Text("Parentheses for notes with accidental", "Klammern für Noten mit Vorzeichen", "(   )"),
        Text("Parentheses for notes without accidental", "Klammern für Noten ohne Vorzeichen", "(  )"),
        Evpu("Horizontal parentheses displacement for notes with accidental", "Horizontale Verschiebung der Klammern bei Noten mit Vorzeichen", -500, 500, -25),
        Evpu("Horizontal parentheses displacement for notes without", "Horizontale Verschiebung der Klammern bei Noten ohne", -500, 500, -15),
        Evpu("Vertical parentheses displacement", "Vertikale Verschiebung der Klammern", -100, 100, -9),
    }},
    // 11 MoreProp
    {{
        Number("Proportionality for a measure's last note", "Proportionalität für die letzte Note eines Taktes", 10, 100, 60),
        Box("Space repeated note durations evenly", "Wiederholte Notenwerte gleichmäßig verteilen", kOn),
        Number("Reduced proportionality when logarithmic duration difference is >= ", "Verringerte Proportionalität bei logarithmischem Dauernunterschied >= ", 1, 10, 2),
        Number("Reduce proportionality by x percent per log2 step, x=", "Proportionalität um x Prozent pro log2-Stufe verringern, x=", 1, 50, 10),
        Evpu("Default 'Minimum Position' stepping", "Standard-Schrittweite der 'Minimalposition'", 10, 100, 40),
    }},
    // 12 MoreSort
    {{
        Box("Expressions with music fonts first?", "Bezeichnungen mit Notensatzschriften zuerst?", kOn),
        Box("Sort expressions with music fonts?", "Bezeichnungen mit Notensatzschriften sortieren?", kOn),
        Box("Empty expressions stick to their preceding neighbor?", "Leere Bezeichnungen bleiben bei ihrem Vorgänger?", kOn),
        Box("Case-sensitive sorting?", "Groß-/Kleinschreibung beachten?", kOff),
        Text("Additional music fonts (separate with comma)", "Weitere Notensatzschriften (mit Komma trennen)", " "),
    }},
    // 13 Melisma
    {{
        Number("Minimum width of syllables to modify (2 letters=about 15)", "Minimale Breite der zu verändernden Silben (2 Buchstaben=ca. 15)", 0, 99, 0),
        Evpu("Additional horizontal displacement", "Zusätzliche horizontale Verschiebung", -100, 100, -5),
        Box("Ignore previous adjustments?", "Frühere Verschiebungen ignorieren?", kOff),
    }},
    // 14 ScaleStaves
    {{
        StaffList("Staff selection (for 'align' only):", "Systemauswahl (nur für 'Ausrichten'):"),
        Number("From system", "Von Akkolade", 1, 9999, 1),
        Number("To system", "Bis Akkolade", 1, 9999, 9999),
        Evpu("Desired position of bottom staff", "Gewünschte Position des untersten Systems", -99999, 99999, 4000),
        Box("Expand proportionally", "Proportional erweitern", kOn),
        Box("Compress proportionally", "Proportional stauchen", kOff),
        Box("Align systems on facing pages", "Akkoladen gegenüberliegender Seiten ausrichten", kOff),
        Box("First page is even", "Erste Seite ist eine gerade Seite", kOff),
        Box("Move all subsequent staves down to avoid collisions", "Alle folgenden Systeme nach unten verschieben, um Kollisionen zu vermeiden", kOn),
    }},
    // 15 CustomChords
    {{
        Box("This plug-in will rename the root of chords by hiding it\nand then inserting its new name into the suffix. Chords\nmodified in this manner cannot be transposed afterwards!\nSpecial root names: Bb-H-H#?", "Dieser Plug-In benennt den Grundton von Akkorden um, indem er ihn versteckt\nund seinen neuen Namen in das Suffix einfügt. So veränderte Akkorde\nkönnen danach nicht mehr transponiert werden!\nBesondere Grundtonnamen: Bb-H-H#?", kOff),
        Box("or, custom renaming of all roots?", "oder eigene Namen für alle Grundtöne?", kOn),
        NarrowText("(leave empty for no change) C =", "(leer lassen, um eine Tonhöhe nicht zu ändern) C=", "DO"),
        NarrowText("D =", "D =", "RE"),
        NarrowText("E =", "E =", "MI"),
        NarrowText("F =", "F =", "FA"),
        NarrowText("G =", "G =", "SOL"),
        NarrowText("A =", "A =", "LA"),
        NarrowText("B =", "H =", "SI"),
        NarrowText("Font for new root names", "Schriftart für die neuen Grundtonnamen", "Times New Roman"),
        Number("Font size", "Schriftgröße", 1, 100, 12),
        Number("Horizontal scaling in %", "Horizontale Skalierung in %", 1, 500, 100),
        Number("Additional distance before accidental", "Zusätzlicher Abstand vor dem Vorzeichen", 0, 500, 5),
        Number("Additional distance after accidental", "Zusätzlicher Abstand nach dem Vorzeichen", 0, 500, 20),
    }},
    // 16 CopyOpt
    {{
        Number("Copy system optimization FROM system no.", "Akkoladenoptimierung kopieren VON Akkolade Nr.", 0, 65000, 1),
        Number("TO system range: first", "NACH Akkoladen: erste", 1, 65000, 2),
        Number("last", "letzte", 1, 65000, 999),
        Box("Copy to systems containing the same set of staves only", "Nur in Akkoladen mit denselben Systemen kopieren", kOn),
        Box("Copy to systems that have not been optimized (may hide notes)", "Auch in nicht optimierte Akkoladen kopieren (kann Noten verstecken)", kOff),
    }},
    // 17 ShiftLyrics
    {{
        Evpu("Shift lyrics on shortest affected notes horizontally by", "Silben bei den kürzesten betroffenen Noten horizontal verschieben um", -1000, 1000, 5),
        Evpu("Shift lyrics on longest affected notes horizontally by", "Silben bei den längsten betroffenen Noten horizontal verschieben um", -1000, 1000, 14),
        Evpu("Shift lyrics vertically by", "Silben vertikal verschieben um", -1000, 1000, 0),
        Number("Minimum EDU length of notes to modify (4096=whole note)", "Minimale Länge der zu verändernden Noten in EDU (4096=Ganze)", 1, 16384, 4096),
        Number("Maximum EDU length of notes to modify (8192=double whole)", "Maximale Länge der zu verändernden Noten in EDU (8192=Doppelganze)", 1, 16384, 8192),
        Box("Auto-handle dotted notes?", "Punktierte Noten automatisch behandeln?", kOn),
        Evpu("Additional horizontal shift for lyrics on dotted notes", "Zusätzliche horizontale Verschiebung für Silben auf punktierten Noten", -1000, 1000, 10),
        Box("Modify syllables which already have adjustments?", "Bereits verschobene Silben verändern?", kOff),
        Box("Ignore these previous adjustments?", "Diese früheren Verschiebungen ignorieren?", kOff),
    }},
    // 18 Expand
    {{
        Evpu("Expand spacing by", "Ausrichtung weiten um", -1000, 1000, 20),
        Box("Enforce beat chart refresh?", "Taktschlag-Tabelle erneuern?", kOn),
        Unframed(Box("Include space between notes and barlines?", "Platz zwischen Noten und Taktstrichen einbeziehen?", kOff)),
    }},
    // 19 Compress
    {{
        Evpu("Compress spacing by", "Ausrichtung verengen um", -1000, 1000, 20),
        Box("Enforce beat chart refresh?", "Taktschlag-Tabelle erneuern?", kOn),
        Unframed(Box("Include space between notes and barlines?", "Platz zwischen Noten und Taktstrichen einbeziehen?", kOff)),
    }},
    // 20 NewSpc
    {{
        Box("Ignore melismas for spacing", "Melismen bei der Ausrichtung ignorieren", kOn),
        Box("Move syllables on beat 1 a bit to the right?", "Silben auf Schlag 1 etwas nach rechts verschieben?", kOn),
        Box("Correct centered syllables for whole and double whole notes", "Zentrierte Silben bei ganzen und doppelganzen Noten korrigieren", kOn),
        Box("Left-align melisma syllables", "Melisma-Silben links ausrichten", kOn),
        Box("Special preparation for complementary rhythms", "Besondere Vorbereitung für Komplementärrhythmen", kOff),
        Box("Leave space for note-attached glissandi (Fin2k)", "Platz für notenbezogene Glissandi lassen (Fin2k)", kOn),
    }},
    {},  // 21 Options: the general options, added from kGeneralOptionRows
    // 22 MoreNewSpc
    {{
        Box("Avoid extra space for notes that exceed a measure's duration?", "Zusätzlichen Platz für Noten vermeiden, die über die Taktdauer hinausgehen?", kOn),
        Box("Run Proportionality tool?", "Proportionalität anschließend ausführen?", kOff),
        Box("Remove tuplets created by preprocessing?", "Bei der Vorbereitung erzeugte X-Tolen entfernen?", kOn),
        Number("Minimum EDU distance for complementary rhythm handling", "Minimaler Abstand in EDU für Komplementärrhythmen", 1, 1024, 256),
        Box("Ignore tuplets for complementary rhythms?", "X-Tolen bei Komplementärrhythmen ignorieren?", kOn),
    }},
    // 23 Tremolos
    {{
        Box("For half notes: connect outer beam to stem?", "Bei halben Noten: äußeren Balken mit dem Hals verbinden?", kOff),
        Number("Total number of beams:", "Gesamtzahl der Balken:", 1, 7, 3),
        Box("Allow variable number of beams (see More...)?", "Variable Balkenzahl erlauben (siehe Mehr...)?", kOff),
        Box("Avoid accidentals on notes with stems?", "Vorzeichen bei Noten mit Hals vermeiden?", kOff),
        Box("Avoid accidentals on notes without stems?", "Vorzeichen bei Noten ohne Hals vermeiden?", kOn),
        Box("Create new tremolos?", "Neue Tremolos erzeugen?", kOn),
        Box("Modify existing tremolos?", "Bestehende Tremolos verändern?", kOn),
        Box("Shorten stems for unbeamed notes (Fin2k+ only)?", "Hälse bei Noten ohne Balken verkürzen (nur Fin2k+)?", kOff),
        Box("Create playback notes?", "Wiedergabenoten erzeugen?", kOff),
    }},
    // 24 CueNotes
    {{
        StaffList("Note: note-attached smart shapes such as slurs are only copied\nif they start and end within one measure.\nSelect destination staves:", "Hinweis: notenbezogene Intelligente Zeichen wie Bögen werden nur kopiert,\nwenn sie innerhalb eines Taktes beginnen und enden.\nWählen Sie die Zielsysteme:"),
        Number("Into layer:", "In Ebene:", 1, 4, 4),
        Box("Force stems up:", "Hälse aufwärts erzwingen:", kOff),
        Number("Size percentage:", "Größe in %:", 1, 100, 75),
        Text("Cue name:", "Beschriftung:", ""),
        Box("Copy clefs:", "Schlüssel übernehmen:", kOn),
        Box("Copy articulations:", "Artikulation übernehmen:", kOn),
        Box("Copy staff expressions:", "Vortragsbezeichnungen übernehmen:", kOn),
        Box("Copy note-attached smart shapes:", "Notenbezogene Intelligente Zeichen übernehmen:", kOn),
        Box("Copy measure-attached smart shapes:", "Taktbezogene Intelligente Zeichen übernehmen:", kOn),
        Box("Copy lyrics:", "Liedtext übernehmen:", kOn),
        Box("Reset accidental positions:", "Vorzeichenposition zurücksetzen:", kOn),
    }},
    {},  // 25 JoinRests: no options
    // 26 ProcessParts
    {{
        Box("Treat single notes as unisons?", "Einzelne Noten als Unisono behandeln?", kOn),
        Number("From chords of two notes, extract note no. (0=none,1=top)", "Aus Akkorden mit zwei Noten Note Nr. extrahieren (0=keine,1=oberste)", 0, 2, 1),
        Number("From chords of three notes, extract note no. (0=none,1=top)", "Aus Akkorden mit drei Noten Note Nr. extrahieren (0=keine,1=oberste)", 0, 3, 1),
        Number("From chords of four notes, extract note no. (0=none,1=top)", "Aus Akkorden mit vier Noten Note Nr. extrahieren (0=keine,1=oberste)", 0, 4, 1),
        Number("From chords of five notes, extract note no. (0=none,1=top)", "Aus Akkorden mit fünf Noten Note Nr. extrahieren (0=keine,1=oberste)", 0, 5, 1),
        Number("From chords of six notes, extract note no. (0=none,1=top)", "Aus Akkorden mit sechs Noten Note Nr. extrahieren (0=keine,1=oberste)", 0, 6, 1),
        Number("From chords of seven notes, extract note no. (0=none,1=top)", "Aus Akkorden mit sieben Noten Note Nr. extrahieren (0=keine,1=oberste)", 0, 7, 1),
        Box("Secondary layers inherit articulations, slurs, etc.?", "Zweitebenen übernehmen Artikulationen etc. von der 1. Ebene:", kOff),
        NarrowText("Ignore layers (i.e. for cue notes):", "Ebenen ignorieren (für Stichnoten)", "3,4"),
    }},
    // 27 DistribParts
    {{
        GroupList("This plug-in will intelligently distribute (explode) the various parts within instrument\nsections (groups). Please select the instrument groups or make no selection here to\nprocess a single instrument group selected with the mass mover tool.\nNote that the selection list displays groups with more than one instrument only.\nInstrument group selection:", "Dier Plug-In verteilt die verschiedenen Stimmen innerhalb einer Instrumentengruppe auf\neinzelne Systeme. Es werden hier nur Gruppen mit mehr als einem Instrument angezeigt.\nBitte wählen Sie die Instrumentengruppen aus, oder machen Sie hier keine Angabe,\nwenn nur die mit dem 'Bewegen'-Werkzeug markierte Instrumentengruppe bearbeitet werden soll\nWelche Instrumentengruppen?"),
        Box("In cases of doubt, do single notes default to unison?", "Im Zweifelsfalle ist Einstimmiges = unisono?", kOn),
        Box("Secondary layers inherit articulations, slurs, etc.?", "Zweitebenen übernehmen Artikulationen etc. von der 1. Ebene:", kOff),
        NarrowText("Ignore layers (i.e. for cue notes):", "Ebenen ignorieren (für Stichnoten)", "3,4"),
        Box("Align and optimize dynamics?", "Dynamikangaben ausrichten and optimieren?", kOn),
        Box("Align each musical phrase independently?", "Jeden musikalischen Abschnit unabhängig ausrichten?", kOn),
        Number("Restart alignment after how many measures without dynamics:", "Ausrichtung neu beginnen nach wievielen Takten ohne Dynamikangabe:", 1, 100, 4),
        Box("Remove 1.-9. ?", "Angaben 1.-9. entfernen?", kOn),
        Box("Remove a2 etc. ?", "Angaben a2 usw. entfernen?", kOn),
        Box("Create new staves if required?", "Bei Bedarf neue Systeme einfügen?", kOn),
        Box("Leave original staves untouched?", "Originalsysteme unberührt lassen?", kOff),
        Number("Maximum number of parts per original staff", "Maximale Anzahl Stimmen pro System", 0, 12, 2),
        Box("Finale program options set to 'Show defined measure numbers'", "Finales Programmoption steht auf 'Definierte Taktzahlen anzeigen'", kOn),
        Box("Copy clefs?", "Notenschlüssel übernehmen?", kOn),
    }},
    // 28 PartOptions
    {{
        Box("Please note:\n'Maintain voice order' only applies when the score employs Finale's\nv1/v2 mechanism. Maintaining the order may lead to errors when\nthe voices do not consistently follow the parts. Normally OFF.\n'Optimize rests' and 'Clear empty measures' may delete fermatas\nand tempo marks unless these are entered as MEASURE-ATTACHED\n(staff) expressions using a staff list with the options set to\n'always show on top staff'.\nMaintain voice order", "Bitte beachten:\n'Stimmenreihenfolge beibehalten' gilt nur, wenn die Partitur Finales\nV1/V2-Mechanismus benutzt. Das Beibehalten kann zu Fehlern führen, wenn\ndie Stimmen nicht durchgehend den Instrumentalstimmen folgen. Normalerweise AUS.\n'Pausen optimieren' und 'Leere Takte löschen' können Fermaten\nund Tempoangaben löschen, wenn diese nicht als TAKTBEZOGENE\n(System-)Vortragsbezeichnungen mit einer Systemliste mit der Option\n'immer im obersten System zeigen' eingegeben sind.\nStimmenreihenfolge beibehalten", kOff),
        Box("Maintain layer order", "Ebenenfolge beibehalten", kOn),
        Box("Allow mid-measure voice changes", "Stimmenwechsel im Takt erlauben", kOn),
        Box("Clear horizontal note displacements:", "Horizontale Notenverschiebungen löschen:", kOn),
        Box("Reset flipped ties:", "Umgedrehte Haltebögen zurücksetzen:", kOn),
        Box("Reset accidental positions:", "Vorzeichenposition zurücksetzen:", kOn),
        Box("Optimize rests", "Pausen optimieren", kOn),
        Box("Clear empty measures", "Leere Takte löschen", kOn),
        Box("Ignore hidden entries", "Versteckte Einträge ignorieren", kOn),
        Box("Unfreeze slur directions:", "Fixierte Bogenrichtungen lösen:", kOn),
        Box("Unhide tuplets:", "X-Tolen sichtbar machen:", kOn),
    }},
    // 29 AlignDynamics
    {{
        Box("Text expressions?", "Vortragsbezeichnungen?", kOn),
        Box("Hairpins?", "Gabeln?", kOn),
        Box("Custom Smart Shapes?", "Eigene Intell. Zchn?", kOff),
        Box("Shape expressions?", "Vortragszeichen?", kOn),
        Evpu("Move vertically:", "Vertikal verschieben:", -500, 500, 0),
        ColumnRadio("Align[to nearest element,to farthest element,to average distance,set to value on the right]", "Ausrichten:[am nahesten Element,am weitest entfernten El.,durchschnittlich,auf Wert setzen]", 5, 2, 0),
    }},
    // 30 Umlauts
    {{
        FixedWidthText("Conversion includes lyrics, text expressions, and text blocks.\nDocument info strings are not converted. This may include\ntitle and composer on page one.\nConversion from:", "Übersetzt werden Liedtext, Vortragsbezeichnungen und Textblöcke\nDie Dokumentinformationen werden nicht verändert, und das kann auch\nTitel und Komponist auf der ersten Seite betreffen.\nÜbersetzen von:", kConversionSource),
        FixedWidthText("to:", "nach:", kConversionTarget),
        Box("Reverse direction?", "Umgekehrte Richtung?", kOff),
        Text("Fonts to exclude (in addition to the music fonts):", "Zusätzlich auszuschließende Schriften:", " "),
    }},
    // 31 MoreAlign
    {{
        Box("Align what's below the staff:", "Angaben unterhalb des Systems ausrichten?", kOn),
        Box("Align what's above the staff:", "Angaben oberhalb des Systems ausrichten?", kOff),
        Box("Align above/below separately:", "Oberhalb/unterhalb getrennt ausrichten?", kOn),
        Framed(4, Box("For positioning, consider hairpins?", "Zur Positionierung beachten: Gabeln?", kOn)),
        Box("Consider note-attached expressions?", "beachten: Notenbezogene Vortragsbezeichnungen?", kOn),
        Box("Consider measure-attached expressions?", "beachten: Taktbezogene Vortragsbezeichnungen?", kOff),
        Box("Consider measure-attached expressions if there are no note-attached ones:", "Taktbezogene berücksichtigen, wenn keine notenbezogenen existieren:", kOn),
        Box("Adjust other expressions appropriately?", "Andere Vortragsbezeichnungen entsprechend anpassen?", kOn),
        Box("Avoid collisions with staff lines?", "Kollisionen mit dem Notensystem vermeiden?", kOn),
        Box("Align each system independently?", "Jede Zeile unabhängig ausrichten?", kOff),
        Number("Restart alignment after how many measures without dynamics:", "Ausrichtung neu nach wievielen Takten ohne Dynamik:", 1, 100, 4),
        Text("Additional music fonts to align (separate with comma)", "Weitere Notensatzschriftarten (mit Komma trennen)", " "),
        Box("Align only 'dynamical' text expressions:", "Nur dynamische Vortragsbezeichnungen ausrichten?", kOn),
        Number("Vertical hairpin adjustment:", "Vertikale Anpassung für Gabeln:", -100, 100, 0),
        Box("Convert articulation dynamics to text expressions:", "Artikulations-Dynamik in Vortragsbezeichnungen umwandeln?", kOff),
        Box("Straighten smart shapes only (do not align anything):", "Nur Intelligente Zeichen begradigen (nichts ausrichten)?", kOff),
        Box("Align short note-attached dynamic markings with their note?", "Kurze notenbezogene Angaben horizontal an der ausrichten?", kOff),
        Evpu("Horizontal offset:", "Horizontales Offset:", -1000, 1000, -14),
    }},
    // 32 Errors
    {{
        MeasureList("This plug-in will list measures where specific items\nare found. Double-click any listed measure to display it.\n'Enharmonic oddities' can detect wrong clefs.\nItems found in these measures:", "Dieser Plug-In listet die Takte auf, in denen bestimmte Elemente\ngefunden werden. Doppelklicken Sie auf einen Takt, um ihn anzuzeigen.\n'Enharmonische Merkwürdigkeiten' können falsche Schlüssel aufdecken.\nGefunden in diesen Takten:"),
        Box("All measures with entries?", "Alle Takte mit Einträgen?", kOff),
        Box("Enharmonic oddities", "Enharmonische Merkwürdigkeiten", kOff),
        Text("Find text expressions:", "Vortragsbezeichnungen finden:", ""),
        Box("Must be music font", "Muß Notensatzschrift sein", kOff),
    }},
    // 33 TremMore
    {{
        Number("Beam specifications made here are used only when the option 'allow\nvariable number of beams' in the main dialog box is selected.\nBeams for white noteheads", "Die Angaben hier gelten nur, wenn im Hauptdialog die Option 'Variable\nBalkenzahl erlauben' gewählt ist.\nBalken für weiße Notenköpfe", 2, 9, 3),
        Number("Beams for quarter notes", "Balken für Viertelnoten", 2, 9, 3),
        Number("Beams for eighth notes", "Balken für Achtelnoten", 2, 9, 3),
        Number("Beams for sixteenth notes", "Balken für Sechzehntelnoten", 2, 9, 4),
        Number("Beams for 32nd notes", "Balken für 32tel-Noten", 2, 9, 5),
        Box("For shorter notes, keep number of slashes constant", "Bei kürzeren Noten die Zahl der Striche beibehalten", kOff),
        Number("Vertical beam adjustment for whole notes", "Vertikale Balkenkorrektur für ganze Noten", -400, 400, 0),
        Number("Left horiz. beam offset for notes with stem", "Linker horiz. Balkenversatz für Noten mit Hals", -400, 400, 0),
        Number("... else:", "... sonst:", -400, 400, 0),
        Number("Right horiz. beam offset for notes with stem", "Rechter horiz. Balkenversatz für Noten mit Hals", -400, 400, 0),
        Number("... else:", "... sonst:", -400, 400, 0),
        Evpu("Vertical stem length adjustment per beam", "Vertikale Halslängenkorrektur pro Balken", -400, 400, 17),
        Evpu("plus, per beam", "plus, pro Balken", -400, 400, -13),
        Number("Playback speed (hits per quarter note) for unmeasured tremolos", "Wiedergabetempo (Anschläge pro Viertelnote) für ungemessene Tremolos", 1, 128, 12),
        Number("Use this value when at least how many beams?", "Diesen Wert ab wievielen Balken verwenden?", 2, 9, 3),
    }},
    // 34 FitMeas
    {{
        Box("This plug-in will distribute the specified measure range into a number\nof systems. Note that Finale's Update Layout options need to be set to\n'Maintain Fit Measure Groupings.'\nUse mass mover selection?", "Dieser Plug-In verteilt die angegebenen Takte innerhalb der\ngewünschten Anzahl Systeme. Finales Update-Layout Optionen sollten\nauf 'fixierte Taktgruppen beibehalten' stehen.'\nMarkierte Takte verwenden?", kOn),
        Number("Fit measures from", "Takte einpassen von", 1, 32767, 1),
        Number("to", "bis", 1, 32767, 1),
        Number("into how many systems:", "in wieviele Akkoladen:", 1, 9999, 1),
        Box("Lock systems", "Taktgruppen fixieren ", kOn),
    }},
    // 35 DistribStaves
    {{
        StaffList("This plug-in will intelligently explode the various parts of multi-\npart staves. Please select the staves or make no selection here to process \na single instrument staff or group selected with the mass mover tool.\nMulti-part staff selection:", "Dieser Plug-In verteilt die Stimmen aus Mehrinstrumenten-Systemen auf einzelne\nSysteme.\nBitte wählen Sie die Systeme aus, oder machen Sie hier keine Angabe,\nwenn nur die mit dem 'Bewegen'-Werkzeug markierte Instrumentengruppe bearbeitet werden soll\nWelche Systeme?"),
        Box("In cases of doubt, do single notes default to unison?", "Im Zweifelsfalle ist Einstimmiges = unisono?", kOn),
        Box("Secondary layers inherit articulations, slurs, etc.?", "Zweitebenen übernehmen Artikulationen etc. von der 1. Ebene:", kOff),
        NarrowText("Ignore layers (i.e. for cue notes):", "Ebenen ignorieren (für Stichnoten)", "3,4"),
        Box("Align and optimize dynamics?", "Dynamikangaben ausrichten and optimieren?", kOn),
        Box("Align each musical phrase independently?", "Jeden musikalischen Abschnitt unabhängig ausrichten?", kOn),
        Number("Restart alignment after how many measures without dynamics:", "Ausrichtung neu beginnen nach wievielen Takten ohne Dynamikangabe:", 1, 100, 4),
        Box("Remove 1.-9. ?", "Angaben 1.-9. entfernen?", kOn),
        Box("Remove a2 etc. ?", "Angaben a2 usw. entfernen?", kOn),
        Box("Create new staves?", "Neue Systeme einfügen?", kOn),
        Box("Leave original staves untouched?", "Originalsysteme unberührt lassen?", kOff),
        Number("Maximum number of parts per original staff", "Maximale Anzahl Stimmen pro System", 0, 12, 2),
        Box("Finale program options set to 'Show defined measure numbers'", "Finales Programmoption steht auf 'Definierte Taktzahlen anzeigen'", kOn),
        Box("Copy clefs?", "Notenschlüssel übernehmen?", kOn),
    }},
    // 36 CombineStuff
    {{
        StaffList("This plug-in will combine the pitches of one staff with the rhythms of\nanother. If you make no staff selection here, then the top two staves\nof the document or of any mass mover selection will be processed.\nThe result is always put into the source staff for the rhythms.\nStaff selection (0 or 2):", "Dieser Plug-In kombiniert die Tonhöhen eines Systems mit den Rhythmen eines\nanderen. Wenn Sie hier kein System wählen, werden die zwei oberen Systeme\ndes Dokuments oder des  mit dem 'Bewegen'-Werkzeug ausgewählten Bereichs\nverarbeitet. Das Ergebnis erscheint immer im Quellsystem für den Rhythmus.\nBitte wählen Sie 0 oder 2 Systeme:"),
        Box("Pitches are in the topmost system", "Die Tonhöhen sind im obersten System", kOn),
        Box("Replace existing pitches in rhythm staff", "Tonhöhen im Rhythmus-System ersetzen", kOn),
        Box("Process each measure separately", "Jeden Takt getrennt verarbeiten", kOff),
        Box("Ignore (skip) rests in pitch staff", "Pausen im Tonhöhensystem ignorieren", kOn),
    }},
    // 37 Export
    {{
        Text("The exported table is stored as a comma separated text file\nwhich can be imported into spreadsheet applications.\nIf you specify a filename without a path, the file will\nbe stored in the same folder as the Orvex plug-in.\nFilename", "Die exportierte Tabelle wird als Textdatei mit Trennzeichen gespeichert,\ndie in Tabellenkalkulationen importiert werden kann.\nWenn Sie einen Dateinamen ohne Pfad angeben, wird die Datei\nim selben Ordner wie das Orvex-Plug-In gespeichert.\nDateiname", "export.txt"),
        Number("Number of decimal digits (0-3):", "Anzahl Dezimalstellen (0-3):", 0, 3, 2),
        NarrowText("Column separator:", "Spaltentrennzeichen:", ","),
        NarrowText("Decimal point character:", "Dezimaltrennzeichen:", "."),
    }},
    // 38 MeasWidths
    {{
        Evpu("Width for multimeasure rests (0=don't set):", "Breite für Mehrtaktpausen (0=nicht ändern):", 0, 9999, 250),
        Evpu("Width for empty measures (0=don't set):", "Breite für leere Takte (0=nicht ändern):", 0, 9999, 150),
        Evpu("Width for measures with only one note horizontally (0=don't set):", "Breite für Takte mit horizontal nur einer Note (0=nicht ändern):", 0, 9999, 180),
        Number("Time signature dependent width scaling factor (%)", "Breiten-Skalierungsfaktor (abhängig von der Taktart):", 1, 100, 50),
    }},
    // 39 FontInfo
    {{
        FontList("Here's a list of all fonts in the document.\nPlease note that they aren't necessarily all in use.\nThe list has also been copied to the clipboard.\nFonts listed in this document file:", "Hier ist eine Liste aller Schriften des Dokuments.\nBitte beachten Sie, daß nicht unbedingt alle benutzt werden.\nDie Liste wurde auch in die Zwischenablage kopiert.\nSchriften in dieser Datei:"),
    }},
    // 40 Orchestr
    {{
        Column(20, StaffColumn("Instrument", "Instrument")),
        Column(8, Number("oct.", "Okt.", -5, 5, 0)),
        Column(8, Number("voices", "Stimmen", 0, 9, 0)),
        Column(8, Pitch("maximum range", "Maximalumfang", "C4")),
        Column(8, Pitch("", "", "C6")),
        Column(8, Pitch("preferred range", "bevorzugter Umfang", "C4")),
        Column(8, Pitch("", "", "C6")),
        Column(8, CheckBox(Box("source", "Quelle", kOn))),
        Column(8, CheckBox(Box("dest", "Ziel", kOn))),
        Column(8, Number("order", "Ordnung", 0, 127, 1)),
        Column(90, UnmarkedText("rules", "Regeln", "")),
    }},
    // 41 Accis
    {{
        Box("The selected actions will be performed in the order they are listed here.\nUnfreeze existing accidentals", "Die gewählten Aktionen werden in der hier aufgeführten Reihenfolge ausgeführt.\nFixierte Vorzeichen lösen", kOff),
        Box("Check accidentals", "Vorzeichen überprüfen", kOff),
        Box("Put accidentals on all notes", "Vorzeichen an alle Noten setzen", kOn),
        Box("Remove accidentals from immediate repetitions", "Vorzeichen bei direkten Wiederholungen entfernen", kOn),
        Box("- but only when the whole chord is identical", "- aber nur, wenn der ganze Akkord gleich ist", kOn),
        Box("Remove accidentals from tied notes", "Vorzeichen bei übergebundenen Noten entfernen", kOn),
        Box("Put accidentals on all notes at the beginning of each staff system:", "Vorzeichen an alle Noten am Anfang jeder Akkolade setzen:", kOn),
    }},
    {},  // 42 Respell: no options
    // 43 UpdtGrps
    {{
        GroupList("If no groups are selected, all groups will be updated.\nSelect groups to update:", "Wenn keine Gruppen gewählt sind, werden alle Gruppen aktualisiert.\nZu aktualisierende Gruppen:"),
        Box("Identify using full group name", "Anhand des vollen Gruppennamens erkennen", kOn),
        Box("Update group names", "Gruppennamen aktualisieren", kOff),
        Box("Update group name positions", "Positionen der Gruppennamen aktualisieren", kOff),
        Box("Update instruments within groups", "Instrumente innerhalb der Gruppen aktualisieren", kOff),
        Box("Update brackets", "Klammern aktualisieren", kOn),
        Box("Update all other options/flags", "Alle anderen Optionen aktualisieren", kOn),
        Box("Add new groups", "Neue Gruppen hinzufügen", kOff),
    }},
    // 44 Hairpins
    {{
        Box("Hairpins are inserted between note- or measure attached expressions,\n(do not mix). If no left and/or right markings are specified,\nthey are inserted between all appropriate pairs of dynamic markings.\nCrescendos", "Die Gabeln werden zwischen noten- und taktbezogenen Vortragsbezeichnungen\neingefügt (nicht mischen). Falls keine linke und/oder rechte Dynamikangabe\nfestgelegt wird, werden die Gabeln zwischen alle Dynamikpaare eingefügt.\nCrescendos", kOn),
        Box("Decrescendos", "Decrescendos", kOn),
        Text("Left marking must be", "bei linker Dynamikangabe", ""),
        Text("Right marking must be", "bei rechter Dynamikangabe", ""),
        Number("Left offset (EDUs)", "Linkes Offset (EDUs)", 0, 10240, 256),
        Number("Right offset (EDUs)", "Rechtes Offset (EDUs)", 0, 10240, 256),
        Number("Maximum width (how many measures wide)", "Maximale Breite (wieviele Takte)", 0, 100, 3),
        Evpu("Opening width", "Öffnungsbreite", 1, 1000, 36),
    }},
    // 45 SplitSys
    {{
        Number("Split into how many systems:", "In wieviele Systeme teilen:", 2, 1000, 2),
    }},
    // 46 Slurs
    {{
        Number("This plug-in will create note-attached slurs.\nCurrently, only slurs starting and ending within a measure!\nSlurs over how many notes each (0=any)", "Dieser Plug-In erzeugt notenbezogene Bögen.\nZur Zeit nur Bögen, die innerhalb eines Taktes beginnen und enden!\nBögen über wieviele Noten (0=beliebig)", 0, 100, 2),
        Framed(3, Box("Use default slur contour:", "Standard-Bogenform verwenden:", kOn)),
        Evpu("Slur height:", "Bogenhöhe:", 1, 1000, 25),
        Number("Slur inset (%):", "Bogeneinzug (%):", 1, 100, 16),
        Framed(3, Box("Use default placement:", "Standard-Platzierung verwenden:", kOn)),
        Evpu("Vertical distance from noteheads (left end)", "Vertikaler Abstand von den Notenköpfen (linkes Ende)", -100, 100, 10),
        Evpu("(right end)", "(rechtes Ende)", -100, 100, 10),
    }},
    // 47 Harp
    {{
        Box("Pedal changes are attached to notes. Using the expression tool,\nyou can move them to the desired location.\nrespell notes", "Die Pedalwechsel werden an Noten angeheftet. Mit dem Vortrags-\nbezeichnungs-Werkzeug können Sie sie dann zur gewünschen\nPosition verschieben.\nEnharmonik neu bestimmen", kOff),
        Framed(2, Box("add pedal changes", "Pedalwechsel eintragen", kOn)),
        Box("using Harp Pedals 1.1 font", "Schriftart Harp Pedals 1.1 benutzen", kOff),
        Framed(2, Box("add diagram", "Pedaldiagramm einfügen", kOn)),
        Box("using Harp Pedals 1.1 font", "Schriftart Harp Pedals 1.1 benutzen", kOff),
        NarrowText("from measure", "ab Takt", ""),
        Box("to end of piece", "bis zum Ende des Stückes", kOn),
        Number("diagram font size", "Schriftgröße für Diagramm", 5, 50, 12),
        Number("font size for changes", "Schriftgröße für Pedalwechsel", 5, 50, 14),
    }},
    // 48 BeamMore
    {{
        Box("These options are relevant only if rests are included\nin beam groups and the option 'Simplify beamed rests' is on.\nBreak group if first half of a beat ends with a rest?", "Diese Optionen gelten nur, wenn Pausen Bestandteil der Balkengruppen\nsind und die Option 'Gebalkte Pausen vereinfachen' gewählt ist.\nGruppe unterbrechen, wenn die erste Hälfte eines Schlages mit einer Pause endet?", kOff),
        Box("Break all beamed rests out of beam group?", "Alle gebalkten Pausen aus der Balkengruppe lösen?", kOff),
        Box("In that case, beam the rest to eighths?", "In diesem Fall die Pause mit Achtelbalken verbinden?", kOn),
    }},
    // 49 FillRests
    {{
        Box("This function fills with rests: the amount of rests equals\nthe time signature's numerator, while the rests' duration is\nspecified by its denominator.\nFill empty measures?", "Diese Funktion füllt mit Pausen: die Anzahl der Pausen\nentspricht dem Zähler der Taktartangabe, und die Dauer\nwird durch den Nenner festgelegt.\nLeere Takte auffüllen?", kOn),
        Box("Fill non-empty measures?", "Nichtleere Takte auffüllen?", kOn),
        Box("Allow offbeat dotted rests?", "Sind punktierte Pausen erlaubt, die nicht auf dem Schlag beginnen?", kOn),
        Box("Hide the new rests?", "Die neuen Pausen verstecken?", kOff),
        Number("Fill up to how many percent (100=full)?", "Bis zu wieviel Prozent auffüllen (100=voll)?", 0, 100, 100),
        Number("Percentage of random deviation from that (0=none)?", "Prozentsatz der zufälligen Abweichung davon (0=keine)?", 0, 100, 0),
    }},
    // 50 PrintMlt
    {{
        NarrowEdit(Number("This plug-in prints the selected files to Finale's currently active printer.\nYou can cancel the operation by closing this dialog! If Finale \nissues an error message, you may have to move this window\nso that you get to see the message.\nCopies:", "Dieser Plug-In druckt die gewählten Dateien auf Finales aktuellem Drucker.\nSie können den Vorgang abbrechen, indem Sie dieses Fenster schließen! Wenn Finale\neine Fehlermeldung ausgibt, müssen Sie dieses Fenster eventuell verschieben,\num die Meldung zu sehen.\nKopien:", 1, 100, 1)),
        NarrowEdit(Number("Pause after:", "Pause nach:", 0, 100, 0)),
        WideText("Path:", "Ordner:", ""),
        FileList("Please select the files for printing:", "Bitte wählen Sie die Dateien aus:"),
    }},
    {},  // 51 DelMeas: no options
    // 52 InsMeas
    {{
        Number("This plug-in will help you with inserting measures while\nkeeping your measure layout and optimized staff systems intact.\nThe first inserted measure should be selected.\nAdjust for how many inserted measures (negative=deleted):", "Dieser Plug-In hilft beim Einfügen von Takten, um das Taktlayout\nund die optimierten Akkoladen zu erhalten.\nAusgleich für wieviele neu eingefügte Takte (negativ=gelöschte):", -1000, 1000, 1),
        Number("Create how many new staff systems:", "Wie viele neue Akkoladen erzeugen:", 0, 100, 0),
    }},
    {},  // 53 JoinSys: no options
    // 54 ShiftSys
    {{
        Number("Shift optimizations how far from selected staff (left=negative):", "Eine positive Zahl verschiebt nach vorwärts, eine negative rückwärts.\nAkkoladenoptimierungen wie weit von der markierten Akkolade verschieben:", -1000, 1000, 0),
        Box("Shift staff system properties (margins etc.) also?", "Akkoladeneigenschaften (z. B. Ränder) auch verschieben?", kOn),
    }},
    // 55 Transfer
    {{
        Box("Read now:", "Jetzt Quelle einlesen:", kOn),
        Box("Write now:", "Jetzt Ziel abspeichern:", kOff),
        Box("Automatically switch between read and write:", "Quelle/Ziel wechseln:", kOn),
        Framed(6, Box("Transfer beat charts and measure widths?", "Taktschlagtabellen und Taktbreiten übertragen?", kOff)),
        Box("Transfer measure attributes (including time sigs)?", "Takteigenschaften und Taktarten übertragen?", kOff),
        Box("Transfer locked measure groups (measure layout)?", "Fixierte Taktgruppen (Taktlayout) übertragen?", kOff),
        Box("Transfer staff system margins and attributes?", "Akkoladenattribute und -abstände übertragen?", kOff),
        Box("Transfer articulation metatools?", "Artikulations-Tastaturkürzel übertragen?", kOff),
        Box("Transfer expression metatools?", "Vortragsbezeichnungs-Tastaturkürzel übertragen?", kOff),
        Framed(3, Box("Transfer measure-attached expressions?", "Taktbezogene Vortragsbezeichnungen übertragen?", kOff)),
        Box("Clear existing ones from destination?", "Bereits im Zielbereich existierende entfernen?", kOn),
        Box("Clear global ones too?", "Auch globale entfernen?", kOff),
        Box("Transfer page graphics?", "Seiten-Grafiken übertragen?", kOff),
        Box("Transfer page text?", "Seiten-Textblöcke übertragen?", kOff),
        Text("... must contain one of these words:", "..., die eines dieser Wörter beinhalten:", ""),
    }},
    // 56 RemoveLyr
    {{
        Box("Horizontal Lyrics adjustments", "Horizontale Liedtext-Verschiebungen", kOff),
        Box("Vertical Lyrics adjustments", "Vertikale Liedtext-Verschiebungen", kOff),
        Box("Lyrics alignment settings (Fin98+ only)", "Liedtext-Ausrichtung (nur Fin98+)", kOff),
        Box("Lyrics justification settings (Fin98+ only)", "Liedtext-Bündigkeit (nur Fin98+)", kOff),
    }},
    // 57 Shift
    {{
        Evpu("Shift whole notes by (0=don't)", "Ganze Noten verschieben um (0=nicht)", -1000, 1000, -8),
        Evpu("Shift slashed flagged grace notes by (0=don't)", "Durchgestrichene Vorschläge mit Fähnchen verschieben um (0=nicht)", -1000, 1000, 0),
        Evpu("Shift unslashed flagged grace notes by (0=don't)", "Nicht durchgestrichene Vorschläge mit Fähnchen verschieben um (0=nicht)", -1000, 1000, 0),
        Box("Shift relative to current positions", "Relativ zur aktuellen Position verschieben", kOff),
        Evpu("Shift note-attached glissandi before accidentals by:", "Notenbezogene Glissandi vor Vorzeichen verschieben um:", 0, 100, 32),
    }},
    // 58 Reset
    {{
        Evpu("Info: resetting slur contour is now a separate 'Slurs' menu item.\nSet hairpin opening width to (0=don't):", "Info: das Zurücksetzen der Bogenform ist jetzt ein eigener Menüpunkt 'Bögen'.\nÖffnungsbreite der Gabeln setzen auf (0=nicht):", 0, 1000, 0),
        Box("Select 'Make horizontal over system break' for hairpins", "Bei Gabeln 'Über Akkoladenwechsel horizontal' wählen", kOff),
        Box("Repair smart shape bits", "Bits der Intelligenten Zeichen reparieren", kOff),
        Box("Repair measure expression bits", "Bits der taktbezogenen Vortragsbezeichnungen reparieren", kOff),
    }},
    // 59 Import
    {{
        FileName("This plug-in imports Auricle cue files saved\nas TEXT files.\nDouble-click the file name to browse your disks.\nFilename", "Dieser Plug-In importiert Auricle-Cue-Dateien, die\nals TEXT-Dateien gespeichert wurden.\nDoppelklicken Sie auf den Dateinamen, um eine Datei zu suchen.\nDateiname", ""),
        Box("Improved style", "Verbesserter Stil", kOn),
        Evpu("position for hits (0=don't import)", "Position für Hits (0=nicht importieren)", -1000, 1000, 160),
        Evpu("... for BPM tempo", "... für BPM-Tempo", -1000, 1000, 169),
        Evpu("... for elapsed time", "... für verstrichene Zeit", -1000, 1000, -120),
        Evpu("... for SMPTE time", "... für SMPTE-Zeit", -1000, 1000, -176),
        Evpu("... for visuals", "... für Visuals", -1000, 1000, 0),
        Evpu("... for streamers", "... für Streamer", -1000, 1000, 248),
        Text("Font", "Schriftart", "Courier New"),
        Number("Font size", "Schriftgröße", 1, 100, 12),
        Number("Streamer symbol length (EDUs)", "Länge des Streamer-Symbols (EDUs)", 1, 4096, 1024),
    }},
    // 60 SpecialInst
    {{
        Box("Normal to Harmonica Griffschrift conversion?", "Normalschrift in Harmonika-Griffschrift umwandeln?", kOff),
    }},
    {},  // 61 LaisVib: no options
    // 62 WordExt
    {{
        Box("Calculate length for left-aligned syllables?", "Länge für linksbündige Silben berechnen?", kOn),
        Evpu("Extend how far beyond last note", "Wie weit über die letzte Note hinaus", 0, 1000, 25),
        Evpu("Offset for word extensions continued at the start of a new system", "Verschiebung für Textlängenstriche, die am Anfang eines Systems weitergehen", -1000, 1000, -30),
        Evpu("Right offset for word extensions at the end of a system", "Verschiebung für Textlängenstriche am Ende eines Systems", -1000, 1000, -5),
    }},
    // 63 Compare
    {{
        MeasureList("Compares entries, assigned articulations (by number),\nand text expressions (by text). After comparison, the\nmeasures containing differences will be listed here,\nand changes will optionally be marked in the score.\nDouble-click any listed measure in order to show it.\nChanges detected in:", "Vergleicht Einträge, zugewiesene Artikulationen (nach Nummer)\nund Vortragsbezeichnungen (nach Text). Nach dem Vergleich werden die\nTakte mit Unterschieden hier aufgelistet, und die Änderungen\nwerden auf Wunsch in der Partitur markiert.\nDoppelklicken Sie auf einen Takt, um ihn anzuzeigen.\nÄnderungen gefunden in:"),
        Framed(4, Box("Read now:", "Jetzt einlesen:", kOn)),
        Box("Compare now:", "Jetzt vergleichen:", kOff),
        Box("Automatically switch between read and compare:", "Einlesen/Vergleichen wechseln:", kOn),
        Box("Mark changes in score:", "Änderungen in der Partitur markieren:", kOn),
        Framed(5, Box("Ignore enharmonics:", "Enharmonik ignorieren:", kOff)),
        Box("Ignore visibility of accidentals:", "Sichtbarkeit der Vorzeichen ignorieren:", kOff),
        Box("Ignore whether accidentals are frozen:", "Fixierung der Vorzeichen ignorieren:", kOff),
        Box("Ignore stem directions:", "Halsrichtungen ignorieren:", kOff),
        Box("Ignore notehead and acci adjustments:", "Verschiebungen von Notenköpfen und Vorzeichen ignorieren:", kOff),
    }},
    // 64 Analyze
    {{
        Text("This plug-in will detect and mark parallelisms.\nIt does not take accidentals into account.\nDetect which parallelisms:", "Dieser Plug-In entdeckt Parallelen. Vorzeichen\nwerden dabei ignoriert.\nWelche Parallelen finden:", "1,2,5,8"),
        Box("Detect hidden parallelisms (some kinds are allowed!)", "Verdeckte Parallelen finden (manche sind erlaubt!)", kOff),
        Box("Maintain V1/V2 order", "V1/V2-Reihenfolge beibehalten", kOff),
        Box("Maintain layer order", "Ebenenfolge beibehalten", kOn),
        Box("Allow mid-measure voice changes", "Stimmenwechsel im Takt erlauben", kOn),
        Box("Ignore hidden entries", "Verstecke Einträge ignorieren", kOn),
        Box("Change noteheads:", "Notenköpfe verändern:", kOn),
    }},
    // 65 Rests
    {{
        Pitch("Please enter at least one criterion, plus at least\none action. Leave unneeded fields empty or 0.\nSearch criteria    -        Pitch (such as C4):", "Bitte geben Sie mindestens ein Kriterium und mindestens\neine Aktion an. Nicht benötigte Felder leer lassen oder 0.\nSuchkriterien    -        Tonhöhe (z. B. C4):", ""),
        Number("Nth note in chord (from top):", "N-te Note im Akkord (von oben):", 0, 12, 0),
        Box("All rests:", "Alle Pausen:", kOff),
        Box("All single notes:", "Alle Einzelnoten:", kOff),
        Box("All chords:", "Alle Akkorde:", kOff),
        Text("Notes with these alterations (absolute values, such as 1,2):", "Noten mit diesen Alterationen (Absolutwerte, z. B. 1,2):", ""),
        Box("Actions    -                                        Hide:", "Aktionen    -                                        Verstecken:", kOff),
        Box("Show:", "Zeigen:", kOff),
        Number("Resize head (%):", "Notenkopfgröße (%):", 0, 200, 0),
        Number("Resize note (%):", "Notengröße (%):", 0, 200, 0),
        Number("Change notehead to #", "Notenkopf ändern in Zeichen #", 0, 255, 0),
        Box("Erase", "Löschen", kOff),
        Box("Keep only (erase others)", "Nur diese behalten (andere löschen)", kOff),
    }},
    // 66 Playback
    {{
        Box("In 3/2 time, whole rest -> 2 half rests?", "Im 3/2-Takt ganze Pause -> 2 halbe Pausen?", kOff),
        Box("In 3/4 time, half rest -> 2 quarter rests?", "Im 3/4-Takt halbe Pause -> 2 Viertelpausen?", kOff),
        Box("In 3/8 time, quarter rest -> 2 eighth rests?", "Im 3/8-Takt Viertelpause -> 2 Achtelpausen?", kOff),
        Box("Minimize number of rests by expanding the preceding note values", "Anzahl der Pausen durch Verlängern der vorangehenden Notenwerte verringern", kOff),
        Box("Allow ties", "Haltebögen erlauben", kOff),
        Box("Simplify rhythm", "Rhythmus vereinfachen", kOff),
    }},
    // 67 Incipits
    {{
        Framed(7, Box("Glissandi?", "Glissandi?", kOff)),
        Number("Start after what percentage of duration:", "Nach wieviel Prozent Notendauer beginnen:", 0, 99, 20),
        Box("Fingered glissandi?", "Gegriffene Glissandi?", kOff),
        Number("For what bender range:", "Für welche Bender Range?", 1, 12, 12),
        Box("Set bender range?", "Bender Range setzen?", kOn),
        Number("Pitch changes per quarter note:", "Tonhöhenänderungen pro Viertelnote?", 1, 90, 20),
        Number("Notes per octave (6=whole tone, 7=diatone, 12=chromatic):", "Töne pro Oktave (6=Ganztöne, 7=diatonisch, 12=chromatisch):", 1, 12, 12),
        Framed(4, Box("Make hairpins play back as volume changes?", "Wiedergabe von Gabeln als Volume-Änderungen?", kOff)),
        Number("Volume changes per quarter note:", "Volume-Änderungen pro Viertelnote?", 1, 60, 15),
        Box("Reset to 64 at end?", "Am Ende auf 64 zurücksetzen?", kOn),
        Box("Set to 64 at the beginning of the piece?", "Am Anfang des Stückes auf 64 setzen?", kOn),
        Framed(6, Box("Make trills/tremolos/diddles play back (notes in another layer)?", "Wiedergabe von Trillern/Tremolos?", kOff)),
        Box("Three slashes = unmeasured tremolo?", "Drei Striche = Tremolo?", kOn),
        Number("Trill/tremolo speed (per quarter note):", "Wieviele Trillertöne pro Viertelnote?", 1, 1000, 12),
        Number("Start trill after what percentage of duration:", "Triller nach wieviel Prozent Notendauer beginnen:", 0, 99, 10),
        Box("Start trill with upper note?", "Triller mit der höheren Note beginnen?", kOn),
        NarrowText("Force trill interval (semitones):", "Trillerintervall in Halbtönen festlegen:", ""),
    }},
    // 68 Pitches
    {{
        Box("This plug-in will calculate each system's width\nin page view individually so that the measures have\nthe same width as in scroll view.\nWould you like to do this?", "Dieser Plug-In berechnet die Breite jeder Akkolade\nin der Seitenansicht einzeln, so daß die Takte dieselbe\nBreite wie in der fortlaufenden Ansicht haben.\nMöchten Sie das tun?", kOn),
    }},
    // 69 SelExpr
    {{
        Pitch("Change:", "Ändere:", ""),
        Pitch("into:", "in:", ""),
        NarrowText("and:", "und:", ""),
        Pitch("into:", "in:", ""),
        Pitch("and:", "und:", ""),
        Pitch("into:", "in:", ""),
        NarrowText("and:", "und:", ""),
        Pitch("into:", "in:", ""),
        Pitch("and:", "und:", ""),
        Pitch("into:", "in:", ""),
    }},
    // 70 PlayMore
    {{
        ExpressionList("Please click on a text expression, which will then\nbe assigned to the selected key. To refresh and re-\nsort the list, click 'Go'. Option-clicking\nin the list will select and close the window.\nPlease select an expression:", "Bitte klicken Sie auf eine Vortragsbezeichnung, die dann\nder gewählten Taste zugewiesen wird. Um die Liste neu zu\nladen und zu sortieren, klicken Sie auf 'Start'. Ein Klick mit\nder Wahltaste in der Liste wählt aus und schließt das Fenster.\nBitte wählen Sie eine Bezeichnung:"),
        Box("Text fonts only?", "Nur Textschriften?", kOn),
        Box("Display sorted?", "Sortiert anzeigen?", kOn),
        Box("Musical fonts first?", "Notensatzschriften zuerst?", kOn),
        NarrowText("Assign to key:?", "Zuweisen an Taste:", "1"),
    }},
    // 71 Expr
    {{
        Box("Hide added playback notes individually (Finale 97-2001)?", "Hinzugefügte Wiedergabenoten einzeln verstecken (Finale 97-2001)?", kOff),
        Box("Hide added playback notes individually (Finale 2002+)?", "Hinzugefügte Wiedergabenoten einzeln verstecken (Finale 2002+)?", kOn),
        Number("Prefered layer for playback notes (1-4):", "Bevorzugte Ebene für Wiedergabenoten (1-4):", 1, 4, 4),
    }},
    // 72 MakeRegions
    {{
        Box("Convert measure-attached expressions into per-staff ones?", "Taktbezogene Ausdrucksbezeichnungen auf das System beziehen?", kOn),
        Box("Leave these on one staff only?", "Diese nur bei einem System belassen?", kOff),
        Box("Make them note-attached?", "In notenbezogene umwandeln?", kOff),
        Box("Align with nearest note?", "Bei der nahesten Note positionieren?", kOff),
        Evpu("Horizontal offset:", "Horizontales Offset:", -1000, 1000, -14),
        Box("Process items above top staff line?", "Elemente oberhalb des Systems bearbeiten?", kOn),
        Box("Process items below top staff line?", "Elemente unterhalb der obersten Notenlinie bearbeiten?", kOn),
        Box("Ignore expressions with enclosures?", "Vortragsbezeichnungen mit Einrahmungen ignorieren?", kOff),
        Text("Multiply horizontal positions of measure expressions with (empty=don't):", "Horizontale Positionen taktbezogener Vortragsbezeichnungen multiplizieren mit (leer=nicht):", ""),
    }},
    // 73 Slurs
    {{
        ExpressionList("Please select expression(s):", "Bitte wählen Sie Bezeichnung(en):"),
        Box("Remove enclosures?", "Einrahmungen entfernen?", kOff),
        Box("Get enclosure?", "Einrahmung übernehmen?", kOff),
        Box("Put enclosure?", "Einrahmung einsetzen?", kOff),
    }},
    // 74 Project
    {{
        Box("This plug-in will help dividing your document into\nseveral small parts (such as excersizes) whose measures\nare counted as one so that measure numbers can be\nused to count sections\nStart new section after each final or double barline?", "Dieser Plug-In hilft, Ihr Dokument in mehrere kleine\nTeile (z. B. Übungen) aufzuteilen, deren Takte jeweils\nals ein Takt gezählt werden, so daß die Taktzahlen\ndie Abschnitte zählen.\nNeuer Abschnitt nach jedem Schluß- oder Doppelstrich?", kOn),
        Box("Start new section after each backward repeat?", "Neuer Abschnitt nach jeder Wiederholung (rückwärts)?", kOn),
        Box("Start new section after measure selection?", "Neuer Abschnitt nach der Taktauswahl?", kOn),
        Number("Start new section every x measures (0=don't):", "Neuer Abschnitt alle x Takte (0=nicht):", 0, 1000, 0),
        Box("If so, add double barlines?", "Wenn ja, Doppelstriche einfügen?", kOff),
    }},
    // 75 Midi
    {{
        Box("Convert measure-attached to note-attached", "Taktbezogene in notenbezogene umwandeln", kOff),
        Box("Recalculate contour for note-attached slurs", "Form notenbezogener Bögen neu berechnen", kOff),
        Box("Leave manually adjusted slur contours alone", "Von Hand angepaßte Bogenformen nicht verändern", kOff),
        Evpu("Increase slur height by:", "Bogenhöhe vergrößern um:", -1000, 1000, 0),
        Box("Reset positioning for note-attached slurs", "Platzierung notenbezogener Bögen zurücksetzen", kOff),
        Framed(11, Box("Resolve collisions with articulations", "Kollisionen mit Artikulationen auflösen", kOff)),
        Evpu("Adjustment type 1 (small: staccato, tenuto, etc.)", "Korrekturtyp 1 (klein: Staccato, Tenuto usw.)", 0, 100, 15),
        Evpu("Adjustment type 2 (big: accents etc.)", "Korrekturtyp 2 (groß: Akzente usw.)", 0, 100, 25),
        Box("Recognize articulation types automatically", "Artikulationstypen automatisch erkennen", kOn),
        Text("but ignore these articulation numbers:", "aber diese Artikulationsnummern ignorieren:", ""),
        Text("Set these articulation numbers to adj. type 1:", "Diese Artikulationsnummern auf Korr.-Typ 1 setzen:", ""),
        Text("Set these articulation numbers to adj. type 2:", "Diese Artikulationsnummern auf Korr.-Typ 2 setzen:", ""),
        Text("Move these articulation numbers above the slur tip:", "Diese Artikulationsnummern über den Bogenscheitel setzen:", ""),
        Box("Ignore manually or plug-in positioned slurs", "Von Hand oder per Plug-In platzierte Bögen ignorieren", kOn),
        Text("Articulations with vertically off-center handles (such as the accent):", "Artikulationen mit vertikal versetztem Anfasser (wie der Akzent):", ""),
        Evpu("Correct off-centered handles by:", "Versetzte Anfasser korrigieren um:", -100, 100, 15),
    }},
    // 76 DistNotes
    {{
        Number("Max. simultaneous interval in upper staff (8=octave)", "Max. Zusammenklang-Intervall im oberen System (8=Oktave)", 1, 40, 8),
        Number("Max. simultaneous interval in lower staff", "Max. Zusammenklang-Intervall im unteren System", 1, 40, 8),
        Number("Max. leap in upper staff", "Max. Sprung im oberen System", 1, 40, 8),
        Number("Max. leap in lower staff", "Max. Sprung im unteren System", 1, 40, 8),
        Box("Minimimize simultaneous intervals per staff", "Zusammenklang-Intervalle pro System minimieren", kOn),
        Number("Try to put at least how many notes in bottom staff", "Wieviele Noten mindestens ins untere System setzen", 0, 12, 0),
        Box("Note durations may be shortened to make space for new ones", "Notenwerte dürfen für neue Noten verkürzt werden", kOn),
        Box("Try to remove resulting rests by expanding the preceding note values", "Entstehende Pausen durch Verlängern der vorangehenden Notenwerte entfernen", kOn),
        Box("Allow moved notes replacing rests to be longer than before", "Verschobene Noten, die Pausen ersetzen, dürfen länger werden", kOff),
        Box("Allow moved notes added to chords to be longer than before", "Verschobene Noten, die Akkorden hinzugefügt werden, dürfen länger werden", kOn),
        Text("Lowest note for top staff (C4=middle C):", "Tiefste Note für das obere System (C4=eingestrichenes C):", "G3"),
        Text("Highest note for bottom staff:", "Höchste Note für das untere System:", "A4"),
        Box("Simplify rhythm", "Rhythmus vereinfachen", kOff),
    }},
    {},  // 77 Tuplets: no options
    {},  // 78 ShiftMore: no options
    {},  // 79 SplitPoint: no options
    {},  // 80: no options
    {},  // 81: no options
}};
// clang-format on

ActionControlTableData LoadedTable() {
    ActionControlTableData table = kTypedRows;
    ActionItemRows& rows = table[ItemSlot(ToolItem::Options)];
    for (size_t row = 0; row < kGeneralOptionRows.size(); ++row) {
        const GeneralOptionRowInfo& info = kGeneralOptionRows[row];
        // The two hotkey steps are lengths.
        const bool length = row == GO_DYNAMICS_HOTKEY_STEP || row == GO_SPACING_HOTKEY_STEP;
        rows[row] = Row(info.english, info.german, info.minimum, info.maximum, info.initial, 0, "",
                        length ? KIND_UNIT : KIND_ORDINARY);
    }
    return table;
}

}  // namespace

const ActionControlTableData kActionControlTableData = LoadedTable();

namespace {

struct ActionControlTableUnit {
    ActionControlTableData table = kActionControlTableData;
};

}  // namespace

ActionControlTableData& ActionControlTable() {
    return UnitState<ActionControlTableUnit>().table;
}

}  // namespace orvex
