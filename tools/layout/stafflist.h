// The staff list manager's kernel: for one staff system of the document it holds every staff of
// the score, which of them the system shows (an optimized system keeps a staff list of its own),
// the vertical position of each staff, the staff groups as bracket marks in one display line per
// staff, and a copy of the system's record. It loads a system, applies the user's edits to the
// system's staff list and groups and saves them, resets a system to the score's list, and finds
// hidden staves that hold music.
//
// Positions are EVPU, 0 at the system's top reference and negative downwards. Display lines are
// the host's 8-bit texts (Windows-1252), as the staff and group names are.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/host/staff_lists.h"
#include "core/host/staff_systems.h"

namespace orvex {

class TStaffListManager;

/// The staff list manager's state in the module.
struct StaffListState {
    /// The form: created on first use of command 3, freed with the plug-in.
    TStaffListManager* manager = nullptr;
    /// The system the staff list manager shows, 0 for the global list of the score; 1 when the
    /// plug-in loads. It survives between openings of the form.
    int16_t currentSystem = 1;
    /// The loaded system's state is still to be written back.
    bool dirty = false;
};

StaffListState& SlmState();

class TSLMKernel {
public:
    /// A shown staff without a known position lies this far below the staff above it.
    static constexpr int32_t kDefaultDistance = 200;
    /// A display line: the marker and the staff's name padded to kNameWidth, then kBracketColumns
    /// columns of kColumnWidth characters for the groups.
    static constexpr size_t kNameWidth = 17;
    static constexpr size_t kColumnWidth = 16;
    static constexpr size_t kBracketColumns = 3;
    /// The line a system without a staff list of its own shows.
    static constexpr const char* kNotOptimizedText = "Staff system is  not optimized";
    static constexpr const char* kNotOptimizedTextGerman = "System ist nicht optimiert";

    /// Loads the score's staff list and groups, the pages and the staff systems.
    TSLMKernel();
    TSLMKernel(const TSLMKernel&) = delete;
    TSLMKernel& operator=(const TSLMKernel&) = delete;

    /// Loads the document's lists again (the score's staff list and groups, pages, systems).
    void ReloadDocument();
    /// Fills the display lines, visible flags and positions for SlmCurrentSystem; with `reread`
    /// the system's record, staff list and groups are loaded from the document first. Answers
    /// the loaded flag: a system of number 1 or more with a list to edit.
    bool LoadSystem(bool reread);
    /// Writes the edited visibility and positions into the system's staff list and groups; without
    /// `keep` also saves them and the system record, and clears the dirty flag. A save that would
    /// leave the system without a staff is refused with a message: nothing is saved, the edits stay
    /// and the answer is false.
    bool Apply(bool keep);
    /// The system's staff list and groups become the score's, at their default positions.
    void ResetPositions();
    /// Reports the first hidden staff that holds music in the system; answers whether it found one.
    bool CheckOptimizationErrors() const;

    struct ShownStaff {
        int32_t index = -1;  ///< the row, -1 for none
        int32_t position = 0;
    };
    /// The last shown staff before row `row`.
    ShownStaff NearestShownAbove(int32_t row) const;
    /// The system is a staff system of the document (1 to the number of systems).
    bool SystemExists(int32_t system) const { return system >= 1 && system <= Systems.Count(); }

    std::vector<std::string> DisplayLines;  ///< one per score staff
    std::vector<bool> VisibleFlags;         ///< shown in the current system, one per score staff
    TInstruments SystemStaffList;           ///< the current system's own list
    TInstruments ScoreStaffList;            ///< list 0
    TGroups SystemGroups;
    TGroups ScoreGroups;  ///< group set 0
    TPages Pages;
    TStaffSystems Systems;
    int32_t CurrentPage = 0;           ///< the page the form shows, 0 = none
    int32_t LastSeenFirstMeasure = 0;  ///< the form's timer
    int32_t LastShownMeasure = 0;      ///< the measure the host was last asked to show
    EDTStaffSystemSpec2001 CurrentRecord;
    bool ResetFlag = false;          ///< the positions were reset to the score's
    bool ReOptimizeFlag = false;     ///< visibility from the music, positions from the score list
    bool LoadedFlag = false;         ///< a system of number 1 or more with a list is loaded
    bool ValidFlag = false;          ///< the loaded system has a measure range
    bool NoSystemNoteShown = false;  ///< the note on system 0 was shown
    int32_t PendingSystem = -1;      ///< the system the form shows when it is next shown, -1 none
    std::vector<int32_t> Positions;  ///< one per score staff
    bool ChangedFlag = false;        ///< the system's list or groups differ from the document

private:
    std::string DisplayLine(int32_t index, bool used, std::vector<int16_t>& pendingLast) const;
    /// The staff of the nearest shown staff before (step -1) or after (step 1) row `row` that is in
    /// the system's list; 0 when none.
    int16_t ShownListedNeighbour(int32_t row, int32_t step) const;
};

}  // namespace orvex
