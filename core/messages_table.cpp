// The bilingual message and caption texts, by id.
#include "core/messages.h"

namespace orvex {

// clang-format off
const std::array<BilingualText, kMessageSlots> kMessageTableData = {{
    /*  0 */ {"", ""},
    // Id 1 is not used.
    /*  1 */ {"", ""},
    /*  2 */ {"Nonlinear key signatures are not supported", "Nichlineare Tonarten werden nicht unterstützt"},
    /*  3 */ {"Canceled - you may have to use UNDO to restore the original state.", "Abgebrochen - es kann notwendig sein, den Befehl 'Widerrufen' zu verwenden, um den ursprünglichen Zustand wiederherzustellen."},
    /*  4 */ {"Please be sure that your current document is saved. All files that you select are closed unconditionally after printing!", "Bitte stellen Sie sicher, daß Ihr aktuelles Dokument gespeichert ist. Alle zu druckenden Dateien werden danach geschlossen, ohne zu speichern!"},
    /*  5 */ {"Next, delete the measures by pressing the Delete key. Please ignore what the score looks like now, it will be fine after you've performed the measure deletion.", "Nun entfernen Sie die Takte durch Drücken der Entf/Delete-Taste. Danach wird die Partitur wieder richtig aussehen."},
    /*  6 */ {"Finished sorting, now we will adjust the document entries ...", "Sortierung abgeschlossen, jetzt werden noch die Einträge im Dokument angepaßt ..."},
    /*  7 */ {"System 0 is the global staff system for non-optimized systems and for scroll view.", "System 0 ist die globale Systemliste für nicht-optimierte Systeme und für die fortlaufende Ansicht"},
    /*  8 */ {"Some beat chart handles are out of order. Please apply Note Spacing!", "Einige Taktschlagtabellen-Einträge sind in falscher Reihenfolge. Bitte benutzen Sie das Ausrichten der Musik nach Noten!"},
    /*  9 */ {"With the option 'Enforce beat chart refresh' off, changes will sometimes not be displayed properly at first when you are modifying the leftmost displayed measure that has a beat chart. Use Undo & Redo once to refresh display or turn the option back on.", "Wenn die Option 'Taktschlagtabellen-Aktualisierung erzwingen' aus ist, werden die Veränderungen manchmal nicht sofort ordentlich angezeigt, falls Sie den ersten sichtbaren Takt mit Taktschlagtabelle bearbeiten. Sie können in dem Fall Rückgängig & Wiederherstellen wählen, um die Anzeige zu aktualisieren."},
    /* 10 */ {"I removed %1 extraneous beat chart handles.", "Es wurden %1 überflüssige Einträge in der Taktschlagtabelle entfernt."},
    /* 11 */ {"No region selected. Process the whole document?", "Es ist kein Bereich markiert. Soll das ganze Dokument bearbeitet werden?"},
    /* 12 */ {"Preprocessing finished. Please apply Finale's Note Spacing now, then click 'Go' again to do the postprocessing.", "Die Vorbereitungen sind abgeschlossen. Bitte verwenden Sie jetzt Finales Ausrichten der Musik nach Noten und klicken Sie dann auf Start, um die Nachbereitungen durchzuführen."},
    /* 13 */ {"The Part Distribution process will now be started. Please do not touch either mouse or keyboard until it has finished. Do not try to interrupt this complex process.", "Das Verteilen der Stimmen wird nun gestartet. Bitte berühren Sie solange weder Maus noch Tastatur, bis der Vorgang abgeschlossen ist. Versuchen Sie nicht, den Ablauf zu unterbrechen."},
    /* 14 */ {"The Part Distribution process has terminated. Note that if you want to undo the operation, you may have to issue many undo commands, so it is best to go into the Undo/Redo selection lists.", "Das Verteilen der Stimmen ist beendet. Falls Sie den Vorgang rückgängig machen möchten, müssen Sie den Befehl 'Rückgängig' mehrmals verwenden. Am besten gehen Sie dafür in die 'Widerrufen-Liste'."},
    /* 15 */ {"The New Spacing process will now be started. Please do not touch either mouse or keyboard until it has finished. Do not try to interrupt this process.", "Das Neue Ausrichten wird nun gestartet. Bitte berühren Sie solange weder Maus noch Tastatur, bis der Vorgang abgeschlossen ist. Versuchen Sie nicht, den Ablauf zu unterbrechen."},
    /* 16 */ {"The New Spacing process has successfully terminated. Note that if you want to undo the operation, you may have to issue several undo commands, so it is best to go into the Undo/Redo selection lists.", "Das Neue Ausrichten ist beendet. Falls Sie den Vorgang rückgängig machen möchten, müssen Sie den Befehl 'Rückgängig' mehrmals verwenden. Am besten gehen Sie dafür in die 'Widerrufen-Liste'."},
    /* 17 */ {"You selected not to lock the new measure layout. Be sure to set Finale's Update Layout options to 'only within systems', or else the Update Layout command will undo the adjustments made.You may not even get to see the results because Update Layout is invoked automatically at the end of this plug-in!", "Die Option 'Taktgruppen fixieren' ist ausgeschaltet. Das kann dazu führen, daß der Befehl 'Layout Erneuern' die Veränderungen wieder aufhebt. Stellen Sie die Optionen für 'Layout Erneuern' auf 'Nur innerhalb der Akkoladen'. Falls dies nicht eingestellt ist, bekommen Sie das Ergebnis gar nicht erst zu sehen, da das Layout am Ende dieser Funktion automatisch erneuert wird!"},
    /* 18 */ {"Orvex can now remap the NumLock key within Speedy Entry to be used as backspace in order to turn notes into rests. This can be very convenient when not using a MIDI keyboard. Would you like to try this new feature?", "Eine neue Funktion kann innerhalb der Schnellen Eingabe die NumLock-Taste als Korrekturtaste umbelegen, um Noten in Pausen zu ändern. Möchten Sie das ausprobieren?"},
    /* 19 */ {"This plug-in may not work with fonts other than Engraver.", "Dieser Plug-In funktioniert wahrscheinlich nur mit der Schriftart Engraver."},
    /* 20 */ {"The number of changes was set to a high value (>30). This will create many MIDI events which can have ill effects on playback. Are you sure?", "Die Anzahl der Änderungen pro Viertelnote ist auf einen hohen Wert gesetzt worden (>30). Das erzeugt viele MIDI-Events, was die Wiedergabe beeinträchtigen kann. Sind Sie sicher?"},
    /* 21 */ {"The layer for the invisible playback notes, layer %1, is not empty (it might contain playback notes from previously running this plug-in). Click Yes to delete and overwrite existing notes in the complete measure(s) in that layer; click No to use layer %2 instead.", "Die Ebene für die Wiedergabenoten, Ebene %1, ist nicht leer (vielleicht enthält sie bereits Noten von vorheriger Anwendung dieses Plug-Ins). Wählen Sie Ja, um existierende Noten in der Ebene ganztaktig zu löschen und zu überschreiben; wählen Sie Nein, um stattdessen Ebene %2 zu benutzen"},
    /* 22 */ {"The layer for the invisible playback notes, layer %1, is not empty (it might contain playback notes from previously running this plug-in). Click Yes to delete and overwrite existing notes in the complete measure(s) in that layer; click No to cancel the operation.", "Die Ebene für die Wiedergabenoten, Ebene %1, ist nicht leer (vielleicht enthält sie bereits Noten von vorheriger Anwendung dieses Plug-Ins). Wählen Sie Ja, um existierende Noten in der Ebene ganztaktig zu löschen und zu überschreiben; wählen Sie Nein, um den Vorgang abzubrechen."},
}};

const std::array<BilingualText, kCaptionSlots> kCaptionTable = {{
    /* 0 */ {"", ""},
    /* 1 */ {"Explorer for Text Expressions", "Explorer für Vortragsbezeichnungen"},
    /* 2 */ {"Orvex Keyboard Remapper", "Orvex Tastaturumbelegung"},
    /* 3 */ {"vxsort.lst not found", "vxsort.lst konnte nicht gefunden werden"},
    /* 4 */ {"ERROR - Sorting aborted", "FEHLER - Sortieren abgebrochen"},
    /* 5 */ {"", ""},
    /* 6 */ {"One measure not processed", "Ein Takt wurde nicht verarbeitet"},
    /* 7 */ {"Orvex Beat Chart Optimizer", "Orvex Optimierer für Taktschlagtabellen"},
    /* 8 */ {"Vx Staff List Manager", "Orvex Systemlisten-Manager"},
    /* 9 */ {"Vx New Spacing", "Vx Neue Ausrichtung"},
}};
// clang-format on

}  // namespace orvex
