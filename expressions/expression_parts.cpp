#include "expressions/expression_parts.h"

#include <array>
#include <memory>

#include "core/commands.h"
#include "core/module.h"
#include "core/parts.h"
#include "core/tool_context.h"
#include "core/tool_table.h"
#include "expressions/charset.h"
#include "expressions/cuesheet.h"
#include "expressions/expression_forms.h"
#include "expressions/transfer.h"
#include "expressions/txtexpr.h"
#include "expressions/wordext.h"
#include "forms/dialog_sources.h"
#include "platform/win/system.h"

namespace orvex {
namespace {

using enum ToolItem;

int32_t RunSortToolCommand(TFMisc& context) {
    return RunSortTool(context) ? 1 : 0;
}

int32_t RunWordExtensionsCommand(TFMisc& context) {
    return RunWordExtensions(context.Environment.Region(), &context.Environment.WholeDocument(), context);
}

bool RunTransferTool(TFMisc& context, int32_t /*setNumber*/, const hostapi::SelectionRecord* region) {
    return region != nullptr && RunTransfer(context, *region);
}

/// The transfer works on the passed selection unless one of the measure-wide transfers is set.
bool TransferFlagHolds(const TFMisc& context, int32_t /*setNumber*/, ToolFlag flag) {
    return flag != kToolKeepPassedSelection || (RowValue(context.Options, TRANSFER_BEAT_CHARTS) == 0 &&
                                                RowValue(context.Options, TRANSFER_MEASURE_EXPRESSIONS) == 0 &&
                                                RowValue(context.Options, TRANSFER_LOCKED_GROUPS) == 0 &&
                                                RowValue(context.Options, TRANSFER_MEASURES) == 0);
}

void ReloadTable() {
    TextExpressionTable().LoadFromDocument();
}

void CheckTableCurrent() {
    TextExpressionTable().CheckCurrent();
}

void PrepareTableSorting() {
    TTextExpressions& expressions = TextExpressionTable();
    expressions.SortTables().Build(expressions.Options().AdditionalFonts);
    if (!expressions.Analysed()) {
        expressions.AnalyzeAll();
    }
}

/// The document's text expressions from the shared table (loaded again when it no longer matches
/// the document): each one's text, its metatool key as "  (X)" and, for the enclosures tool, " *"
/// after an expression that has an enclosure.
void FillExpressionList(vcl::TListBox& list, int32_t item) {
    TTextExpressions& table = TextExpressionTable();
    table.IsComplete();
    for (int32_t position = 0; position < table.ExpressionCount(); ++position) {
        const TTxtExprRec& record = table.Item(position);
        std::string text = win::AnsiToUtf8(record.PlainText());
        if (record.MetatoolKey != 0) {
            text += "  (" + win::AnsiToUtf8(std::string(1, static_cast<char>(record.MetatoolKey))) + ")";
        }
        if (IsItem(item, ToolItem::Enclosures) && record.HasPlayback()) {
            text += " *";
        }
        list.Items().Add(text);
    }
}

std::shared_ptr<TTextExpressions> MakeTable() {
    return std::make_shared<TTextExpressions>();
}

// clang-format off
const std::array kExpressionToolRows = {
    ToolDescriptor{.item = TextExpressionSorter, .firstLevel = RunSortToolCommand},
    ToolDescriptor{.item = CharacterSetConversion, .run = ContextRun<RunCharsetConversionTool>, .flags = kToolNoEditBracket | kToolReloadExpressions | kToolKeepPassedSelection},
    ToolDescriptor{.item = Transfer, .run = RunTransferTool, .flags = kToolReloadExpressions | kToolKeepPassedSelection, .flagHolds = TransferFlagHolds},
    ToolDescriptor{.item = AuricleImport, .run = ContextRun<RunAuricleImport>},
    ToolDescriptor{.item = WordExtensions, .firstLevel = RunWordExtensionsCommand},
};

const std::array kExpressionFormCommands = {
    FormCommand{CODE_TEXT_EXPRESSION_SORTER, RunTextExpressionSorter},
    FormCommand{CODE_EXPLORER, RunTextExpressionExplorer},
};
// clang-format on

}  // namespace

void InstallExpressionParts() {
    RegisterToolRows(kExpressionToolRows);
    RegisterFormCommands(kExpressionFormCommands);
    RegisterExpressionTableHooks(ExpressionTableHooks{ReloadTable, CheckTableCurrent, PrepareTableSorting, MakeTable});
    RegisterActionDialogSources(ActionDialogSources{.fillExpressionList = FillExpressionList});
}

}  // namespace orvex
