// What the core calls of the parts, spacing and system layout tools: the tools' entry
// functions and the records of theirs that the tool context carries.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/option_element.h"
#include "core/tool_records.h"
#include "platform/hostapi/records.h"
#include "platform/win/handles.h"

namespace orvex {

class RunEnvironment;

struct TFMisc;
class TStaffSystems;
class TInstruments;
class TTextExpressions;

/// The step object of a running part explosion (tools/layout/explosion/explosion.h).
class ExplosionContext;

/// The region a command runs on: the current region, else the one the words name, to the end of
/// its last measure.
hostapi::SelectionRecord RegionOfRun(const RunEnvironment& environment, const RegionWords& words);

// Entry functions. Each answers true on success.
/// Tools 27 and 35; a running explosion's steps and its end are in explosion.h.
bool RunSmartExplosion(TFMisc& context);
bool RunAlignMove(TFMisc& context, const RegionWords& region);
bool RunFitMeasures(TFMisc& context);
bool RunUpdateGroups(TFMisc& context);
bool RunCreateHairpins(TFMisc& context);
bool RunJoinTwoSystems(TFMisc& context);
bool RunShiftSystemOptimization(TFMisc& context);
bool RunIncipits(TFMisc& context);
bool RunEnclosures(TFMisc& context);
bool RunSpecialMeasureRegions(TFMisc& context);
bool RunSmartSplitPoint(TFMisc& context);
/// The smart split point on the option rows the context holds (RunSmartSplitPoint first sets the
/// values it works with).
bool RunSmartSplitPointOnRows(TFMisc& context);
bool RunMeasureWidths(TFMisc& context, const hostapi::SelectionRecord& region);

/// The region's words (all none without a region).
RegionWords RegionWordsOf(const hostapi::SelectionRecord* region);

/// Options of Scale Staff Positions, by row.
enum ScaleStaffPositionsRow : size_t {
    SCALE_STAVES_LIST = 0,  ///< the staves to align ('align' only)
    SCALE_STAVES_FROM_SYSTEM = 1,
    SCALE_STAVES_TO_SYSTEM = 2,
    SCALE_STAVES_BOTTOM_TARGET = 3,  ///< desired position of the bottom staff
    SCALE_STAVES_EXPAND = 4,
    SCALE_STAVES_COMPRESS = 5,
    SCALE_STAVES_ALIGN = 6,  ///< align systems on facing pages
    SCALE_STAVES_FIRST_PAGE_EVEN = 7,
    SCALE_STAVES_MOVE_FOLLOWING = 8
};

/// Options of Update Groups, by row (row 0 is the list of groups).
enum UpdateGroupsRow : size_t {
    UPDATE_GROUPS_LIST = 0,
    UPDATE_GROUPS_BY_FULL_NAME = 1,
    UPDATE_GROUPS_NAMES = 2,
    UPDATE_GROUPS_NAME_POSITIONS = 3,
    UPDATE_GROUPS_STAVES = 4,
    UPDATE_GROUPS_BRACKETS = 5,
    UPDATE_GROUPS_OTHER_OPTIONS = 6,
    UPDATE_GROUPS_ADD_NEW = 7
};

/// Options of Enclosures, by row.
enum EnclosuresRow : size_t {
    ENCLOSURES_LIST = 0,  ///< the expressions chosen
    ENCLOSURES_REMOVE = 1,
    ENCLOSURES_GET = 2,  ///< take the enclosure of the chosen expression
    ENCLOSURES_PUT = 3   ///< give the enclosure taken to the chosen expressions
};

/// Options of Special Measure Regions, by row: where a new section starts.
enum SpecialRegionsRow : size_t {
    SPECIAL_REGIONS_AT_DOUBLE_BARLINES = 0,
    SPECIAL_REGIONS_AT_BACKWARD_REPEATS = 1,
    SPECIAL_REGIONS_AT_SELECTION_END = 2,
    SPECIAL_REGIONS_EVERY = 3,  ///< every so many measures; 0 = not
    SPECIAL_REGIONS_ADD_DOUBLE_BARLINES = 4
};

/// Options of Split Staff System, by row.
enum SplitSystemRow : size_t {
    SPLIT_SYSTEM_PARTS = 0  ///< split into how many systems
};

/// Options of After Inserting Measures, by row.
enum AfterInsertingRow : size_t {
    AFTER_INSERTING_MEASURES = 0,  ///< how many measures were inserted
    AFTER_INSERTING_SYSTEMS = 1    ///< create how many new staff systems
};

/// Options of Shift System Optimization, by row.
enum ShiftSystemRow : size_t {
    SHIFT_SYSTEM_DISTANCE = 0,   ///< how far from the selected staff (left = negative)
    SHIFT_SYSTEM_PROPERTIES = 1  ///< margins and the other system properties too
};

/// Options of Copy System Optimization, by row.
enum CopySystemOptimizationRow : size_t {
    COPY_OPT_FROM_SYSTEM = 0,
    COPY_OPT_FIRST_TARGET = 1,
    COPY_OPT_LAST_TARGET = 2,
    COPY_OPT_SAME_STAVES_ONLY = 3,
    COPY_OPT_UNOPTIMIZED_TOO = 4
};

// The tools' runs as the tool table names them.
bool RunMeasureWidthsTool(TFMisc& context, int32_t setNumber, const hostapi::SelectionRecord* region);
/// Splits the first staff system into the parts of SPLIT_SYSTEM_PARTS.
bool RunSplitStaffSystemTool(TFMisc& context);
/// Before deleting measures: the system layout follows the region's measures going.
bool RunBeforeDeletingMeasures(TFMisc& context, int32_t setNumber, const hostapi::SelectionRecord* region);
/// After inserting measures: the options give the measures and systems inserted.
bool RunAfterInsertingMeasures(TFMisc& context);
/// Reset: the hairpins of the region, then the entries (ResetRow).
bool RunResetTool(TFMisc& context, int32_t setNumber, const hostapi::SelectionRecord* region);
/// Expressions: the expressions command over the region's measures.
bool RunExpressionsTool(TFMisc& context, int32_t setNumber, const hostapi::SelectionRecord* region);
/// Splits the system of the selection into `parts` systems (SPLIT_SYSTEM_PARTS for item 45); with
/// `redistribute` it balances them and has the host lay the document out. `systems` is reloaded.
bool RunSplitStaffSystem(TFMisc& context, int32_t parts, TStaffSystems& systems, bool redistribute = true);
/// Adjusts the systems before `measureDelta` measures are deleted (negative) or after they were
/// inserted at the selection; after an insertion, with `newSystems` above 0, the system there is
/// split into `newSystems` + 1 systems.
bool RunMeasureEditAdjust(TFMisc& context, int32_t measureDelta, int32_t newSystems);
void RunExpressionsCommand(TFMisc& context, int32_t firstMeasure, int32_t lastMeasure, const RegionWords& region);
/// Item 14: scales or aligns the staff positions of optimized systems (option rows 0-8); true when
/// it changed a staff list.
bool RunScaleStaffPositions(TFMisc& context);
/// The spacing step of the entry engine, once per measure (depth 0; the repeats of one measure
/// run at depths 1 to 10): for the spacing commands it respaces the measure through its beat chart
/// and sets `handled`, so that the measure's cells are skipped; for "Reset..." it sets the measure
/// flags. It writes the context's measure record back at depth 0 and answers `handled`.
bool ApplySpacingCommand(TFMisc& context, bool& handled, int32_t depth);
/// The per-cell worker of "Process extracted parts..." (also run by the smart explosion).
bool ProcessExtractedParts(int16_t regionWord, int16_t measure, int16_t staff, int32_t from, int32_t to,
                           TFMisc& context, ExtendedOptionArray& moreOptions, int32_t a, int32_t b, int32_t c,
                           int32_t d);
/// Item 16 (and the staff list manager's copy actions): the staff list and groups of the system
/// COPY_OPT_FROM_SYSTEM become those of the systems COPY_OPT_FIRST_TARGET to COPY_OPT_LAST_TARGET.
/// True when it copied to a system.
bool RunCopySystemOptimization(TFMisc& context);

// ---- The Staff List Manager's form (its class: stafflist_form.h) ----

/// Menu command 3: the host's layout update first when the general options ask for it, then the
/// form, modally; answers the modal result.
int32_t RunStaffListManager();
/// The query service's code 6: a form of its own showing system `startValue` (below 0: as
/// command 3 would), modally; the host redraws the document after it. Answers 1.
int32_t RunStaffListManagerQuery(int32_t startValue);
/// Frees the form (a reset of the module).
void DeleteStaffListManager();

}  // namespace orvex
