// Align/Move: lines up the dynamics of each selected staff vertically. For each staff and group
// of measures it collects the note-attached expressions, the measure-attached expressions and
// the smart shapes (hairpins, custom shapes), sums their places above and below the staff,
// computes one target height per half (nearest, farthest, average or a set value), moves every
// item there and lets the other expressions follow the nearest moved item. Also here: the
// per-staff expression operations over the region expression collector.
#pragma once

#include <cstdint>

#include "core/option_element.h"
#include "expressions/expression_records.h"
#include "platform/hostapi/records.h"

namespace orvex {

class RunEnvironment;

struct TFMisc;
class TStaffSystems;

/// Aligns the staves of the region with the given option arrays (the "separately" row may be
/// switched on in `more`). With `reload` the shared smart shapes of the region are reloaded;
/// `systems` (may be null) groups by staff system; a progress handle is used as given,
/// otherwise a display is opened unless `stepCount` is -1. False when refused or cancelled.
bool RunAlignMove(TFMisc& context, const hostapi::SelectionRecord& region, const OptionArray& align,
                  ExtendedOptionArray& more, bool reload, TStaffSystems* systems, int32_t progressHandle,
                  int32_t stepCount);

/// Collects the note-attached expressions of a staff slot over measures first to last into the
/// list (classified when `align` is given). With `shortMarkings`, an accepted short dynamics
/// marking is put `horizontalOffset` from its note. A nonlinear key ends the collection.
void CollectNoteExpressions(const RunEnvironment& environment, TStaffExpressions& list, int32_t slot, int32_t first,
                            int32_t last, const hostapi::SelectionRecord& region, const OptionArray* align,
                            const ExtendedOptionArray* more, int32_t staffTop, int32_t staff, bool shortMarkings,
                            int32_t horizontalOffset);

/// Moves each item of the list to the target of its half of `sums`.
void AlignExpressionList(TExpressionList& list, const LayoutSum& sums, const OptionArray& align,
                         const ExtendedOptionArray& more, int32_t staffTop, bool clamp);

/// Each follower of the list moves by what the nearest aligned item in time (of the three
/// lists; `shapes` may be null) moved.
void FollowNearestExpression(TExpressionList& list, const TExpressionList& noteList, const TExpressionList& measureList,
                             const TExpressionList* shapes);

/// Index of the non-follower nearest in time (the first of equals); -1 when none.
int32_t NearestExpressionIndex(const TExpressionList& list, int32_t timeKey);

}  // namespace orvex
