// The host's undo history of a document: its changes in steps that Undo takes back and Redo
// makes again, as the host's Edit menu (Undo, Redo) and its keys (Ctrl+Z, Ctrl+Y) do.
//
// Once the host holds a document (Host::AddDocument), every change of its records, music and
// fonts made through the document's methods is noted in the step that is open: the document
// keeps, in one journal of the step, what each record key, cell and the font table held before
// the step's first change of it (document.h, the same note that feeds the host's change
// journals). A step opens at the first change and the host closes it
// - when a plug-in's call of one of its entry points returns (Host::CallPlugin): what one call
//   changes is one step, inside and outside its edit brackets,
// - outside a plug-in's calls (a modeless dialog of a plug-in acting on its own), when the
//   plug-in opens or closes its edit bracket (services 53 and 54), so that the changes inside
//   one bracket are one step,
// - before and after each of the host's own commands that change the document, and after each
//   line of a hostsim script.
// A step is named when it opens (Host::UndoStepName): by the host's own command, or by the
// plug-in menu entry whose keys carry that command out (Host::EditStepName), else by the plug-in
// menu entry whose call makes the change, else by the title of the active window (a plug-in's
// modeless dialog acting on its own), else "Change". A closed step that changed nothing is
// dropped; a new step drops what could be redone. The history keeps the last kMaxUndoSteps steps.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/host/document.h"

namespace host {

inline constexpr size_t kMaxUndoSteps = 100;

/// One step of the history.
struct UndoStep {
    std::string name;
    /// What the keys, cells and fonts the step changed hold in the state the document is not
    /// in: before the step while it can be undone, after it while it can be redone (undoing or
    /// redoing it puts these back and keeps what they replaced). Fonts only when it changed them.
    Document::Journal other;

    size_t CellCount() const { return other.cells.size(); }
    size_t RecordCount() const { return other.records.size(); }
    bool ChangedFonts() const { return other.fonts.has_value(); }
    /// What the step changed, as the transcript lists it: the cells, the records (in the order
    /// of their descriptions), then "fonts". Made when asked for: most steps are never undone.
    std::vector<std::string> Changes() const;
};

class UndoJournal {
public:
    /// The name a step takes when it opens.
    using Namer = std::function<std::string()>;
    explicit UndoJournal(Namer namer) : m_namer(std::move(namer)) {}

    /// Opens a step and names it (the document calls this at a change while none is open).
    void Open();
    bool StepOpen() const { return m_open.has_value(); }
    /// Closes the open step, given what its changes' keys held before it: it joins the history
    /// when the document holds something else now.
    void Close(Document::Journal before, const Document& document);

    /// The step Undo / Redo would take; nullptr when there is none.
    const UndoStep* NextUndo() const { return m_undo.empty() ? nullptr : &m_undo.back(); }
    const UndoStep* NextRedo() const { return m_redo.empty() ? nullptr : &m_redo.back(); }
    /// Moves the last step to those that can be redone (TakeUndo) or back (TakeRedo) and answers
    /// it, nullptr when there is none: the caller puts its `other` state into the document and
    /// keeps there what it replaced.
    UndoStep* TakeUndo();
    UndoStep* TakeRedo();
    size_t UndoCount() const { return m_undo.size(); }
    size_t RedoCount() const { return m_redo.size(); }
    /// The names of the steps Undo can take, the oldest first.
    std::vector<std::string> UndoNames() const;

private:
    Namer m_namer;
    std::optional<std::string> m_open;  ///< the name of the open step
    std::deque<UndoStep> m_undo;
    std::vector<UndoStep> m_redo;
};

/// The key of a record's family: its keys with the incidence word 0 (the key itself for a
/// family without incidences).
RecordKey FamilyKeyOf(const RecordKey& key);
/// The records of the family of `family` in a store, in key order.
std::vector<std::pair<RecordKey, Bytes>> FamilyRecords(const RecordStore& records, const RecordKey& family);

}  // namespace host
