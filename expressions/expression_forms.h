// The commands of the text expression forms (the sorter, the explorer): what the parts table
// calls, without the form classes (expressions/txtexprsorter.h, expressions/txtexplorer.h).
#pragma once

#include <cstdint>

namespace orvex {

struct TFMisc;

/// Menu command code 4: the sorter in apply mode, shown modally; answers its modal result.
int32_t RunTextExpressionSorter();

/// Tool item 9: the sorter's run with the options of the tool context (rows 0-5 the criteria and
/// priorities, rows 0-3 of the "More..." set the switches, its row 4 the additional music fonts)
/// on the shared table, loaded from the document, deleting unused expressions when row 6 asks
/// (row 7: delete only); false when the run was refused.
bool RunSortTool(TFMisc& context);

/// Menu command code 5: creates the sorter form and the explorer, shows the explorer modally and
/// frees both; answers the table's written flag (1 when the explorer changed the document).
int32_t RunTextExpressionExplorer();

}  // namespace orvex
