// The host's undo history of a document: its changes in steps that Undo takes back and Redo
// makes again, as the host's Edit menu (Undo, Redo) and its keys (Ctrl+Z, Ctrl+Y) do.
//
// Once the host holds a document (Host::AddDocument), every change of its records, music and
// fonts is noted in the step that is open: the first change of a record family (the records of a
// tag under the same keys but their incidence, since a delete moves the later incidences down),
// of a cell or of the font table keeps what it held before. A step opens at the first change and
// the host closes it
// - when a plug-in's call of one of its entry points returns (Host::CallPlugin),
// - when a plug-in opens or closes its edit bracket (services 53 and 54), so that the changes
//   inside one bracket are one step,
// - before and after each of the host's own commands that change the document, and after each
//   line of a hostsim script.
// A step is named when it opens (Host::UndoStepName): by the plug-in menu entry whose call
// makes the change, else by the title of the active window (a plug-in's modeless dialog acting
// on its own), else "Change". A closed step that changed nothing is dropped; a new step drops
// what could be redone. The history keeps the last kMaxUndoSteps steps.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/host/document.h"

namespace host {

inline constexpr size_t kMaxUndoSteps = 100;

/// The records of one family: by the family's key (its incidence word 0), every record's key and
/// bytes.
using RecordFamilies = std::map<RecordKey, std::vector<std::pair<RecordKey, Bytes>>>;

/// One step of the history.
struct UndoStep {
    std::string name;
    RecordFamilies recordsBefore;
    RecordFamilies recordsAfter;
    std::map<CellKey, CellEntries> cellsBefore;  ///< an empty list for a cell without entries
    std::map<CellKey, CellEntries> cellsAfter;
    std::optional<FontTable> fontsBefore;
    std::optional<FontTable> fontsAfter;
    /// What the step changed, as the transcript lists it: the cells, the records, then "fonts".
    std::vector<std::string> changes;
};

class UndoJournal {
public:
    /// The name a step takes when it opens.
    using Namer = std::function<std::string()>;
    explicit UndoJournal(Namer namer) : m_namer(std::move(namer)) {}

    // The document calls these before it changes something (and after it created a record).
    void BeforeRecordChange(const RecordStore& records, const RecordKey& key);
    void AfterRecordCreate(const RecordStore& records, const RecordKey& created);
    void BeforeCellChange(const CellMap& cells, const CellKey& cell);
    void BeforeFontChange(const FontTable& fonts);

    /// Closes the open step: it joins the history when it changed something.
    void Close(const RecordStore& records, const CellMap& cells, const FontTable& fonts);
    bool StepOpen() const { return m_open.has_value(); }

    /// The step Undo / Redo would take; nullptr when there is none.
    const UndoStep* NextUndo() const { return m_undo.empty() ? nullptr : &m_undo.back(); }
    const UndoStep* NextRedo() const { return m_redo.empty() ? nullptr : &m_redo.back(); }
    /// Takes the last step back (false when there is none): the document's records, cells and
    /// fonts hold what they held before it; the step can be redone.
    bool Undo(RecordStore& records, CellMap& cells, FontTable& fonts);
    bool Redo(RecordStore& records, CellMap& cells, FontTable& fonts);
    size_t UndoCount() const { return m_undo.size(); }
    size_t RedoCount() const { return m_redo.size(); }

private:
    UndoStep& Open();

    Namer m_namer;
    std::optional<UndoStep> m_open;
    std::deque<UndoStep> m_undo;
    std::vector<UndoStep> m_redo;
};

/// The key of a record's family: its keys with the incidence word 0 (the key itself for a
/// family without incidences).
RecordKey FamilyKeyOf(const RecordKey& key);
/// The records of the family of `family` in a store, in key order.
std::vector<std::pair<RecordKey, Bytes>> FamilyRecords(const RecordStore& records, const RecordKey& family);

}  // namespace host
