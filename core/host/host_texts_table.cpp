// The access layer's messages, one row per HostText in its order.
#include "core/host/host_texts.h"

namespace orvex {

// clang-format off
const std::array<BilingualText, kHostTextCount> kHostTextTable = {{
    /* CouldNotWriteFile */ {"Could not write to file.", "Die Datei konnte nicht beschrieben werden"},
    /* GroupNamesNotSaved */ {"Group names will not be saved - we loaded Lumvar names!", "Gruppennamen werden nicht gespeichert!"},
    /* RecordDamaged */ {"The record %1 of the document is damaged: it holds %2 bytes where %3 are expected.", "Der Datensatz %1 des Dokuments ist beschädigt: er enthält %2 Bytes statt %3."},
    /* RecordsDamaged */ {"%1 records of the document are damaged, among them %2.", "%1 Datensätze des Dokuments sind beschädigt, darunter %2."},
    /* RecordDamagedKept */ {"The record %1 of the document is damaged: it holds %2 bytes where %3 are expected. It is left as the document holds it.", "Der Datensatz %1 des Dokuments ist beschädigt: er enthält %2 Bytes statt %3. Er bleibt, wie das Dokument ihn enthält."},
    /* RecordsDamagedKept */ {"%1 records of the document are damaged, among them %2. They are left as the document holds them.", "%1 Datensätze des Dokuments sind beschädigt, darunter %2. Sie bleiben, wie das Dokument sie enthält."},
    /* EntryDamaged */ {"The entry %1 of staff %2, measure %3 is damaged: its position or duration lies out of range and is read within it.", "Der Eintrag %1 von System %2, Takt %3 ist beschädigt: seine Position oder Dauer liegt außerhalb des gültigen Bereichs und wird begrenzt gelesen."},
    /* EntryName */ {"entry %1 (staff %2, measure %3)", "Eintrag %1 (System %2, Takt %3)"},
    /* StaffRecordPositionRefused */ {"The staff record of staff %1, measure %2 cannot be read at position %3 EDU: the host keeps staff records for positions from 0 to 65535 EDU only.", "Der Systemdatensatz von System %1, Takt %2 kann an Position %3 EDU nicht gelesen werden: Finale speichert Systemdatensätze nur für die Positionen 0 bis 65535 EDU."},
    /* StaffNumberName */ {"[Staff %1]", "[System %1]"},
    /* GroupNumberName */ {"[Group %1]", ""},
}};
// clang-format on

}  // namespace orvex
