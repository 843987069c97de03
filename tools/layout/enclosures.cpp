// "Enclosures...": removes the enclosure (the frame drawn around the text) of the chosen text
// expressions, or copies the enclosure of one of them to the others. The expressions are those of
// the shared text expression table, in the order of the list of option row 0; the enclosure is
// the expression's 'otDe' data, present when its flag word has kExpressionHasPlayback.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/messages.h"
#include "core/tool_context.h"
#include "expressions/txtexpr.h"
#include "platform/win/system.h"
#include "tools/layout/layout_services.h"

namespace orvex {
namespace {

/// The enclosure that Get took for a later Put (the tool context's state slots).
struct EnclosureClipboard {
    std::array<int32_t, 3> enclosure{};
    uint8_t filled = 0;
};

EnclosureClipboard& Clipboard(const TFMisc& context) {
    return context.States.Get<EnclosureClipboard>();
}

/// The places of the table's chosen expressions (placeholders of missing numbers left out).
std::vector<int32_t> ChosenPlaces(const TFMisc& context, const TTextExpressions& table) {
    std::vector<int32_t> places;
    const int32_t count = std::min(table.Count(), static_cast<int32_t>(context.ChosenItems.size()));
    for (int32_t i = 0; i < count; ++i) {
        if (context.ChosenItems[static_cast<size_t>(i)] != 0 && table.Item(i).NotRead == 0) {
            places.push_back(i);
        }
    }
    return places;
}

bool RemoveEnclosures(TTextExpressions& table, const std::vector<int32_t>& places) {
    for (const int32_t i : places) {
        TTxtExprRec& record = table.Item(i);
        ShowMessage(FreeText::DeletingEnclosure, {std::to_string(i), win::AnsiToUtf8(record.PlainText())});
        DeleteRecordOtDe(record.Number);
        record.SetFlags(static_cast<uint16_t>(record.Flags() & ~kExpressionHasPlayback));
        table.WriteBack(i + 1, false);
    }
    return !places.empty();
}

/// The enclosure of the first chosen expression that has one goes to the clipboard.
void GetEnclosure(TFMisc& context, const TTextExpressions& table, const std::vector<int32_t>& places) {
    for (const int32_t i : places) {
        const TTxtExprRec& record = table.Item(i);
        if (record.HasPlayback()) {
            Clipboard(context).enclosure = record.Enclosure();
            Clipboard(context).filled = 1;
            return;
        }
    }
}

bool PutEnclosure(const TFMisc& context, TTextExpressions& table, const std::vector<int32_t>& places) {
    if (Clipboard(context).filled == 0) {
        return false;
    }
    for (const int32_t i : places) {
        TTxtExprRec& record = table.Item(i);
        record.SetEnclosure(Clipboard(context).enclosure);
        record.SetFlags(static_cast<uint16_t>(record.Flags() | kExpressionHasPlayback));
        table.WriteBack(i + 1, false);
    }
    return !places.empty();
}

}  // namespace

bool RunEnclosures(TFMisc& context) {
    const int actions = (RowOn(context.Options, ENCLOSURES_REMOVE) ? 1 : 0) +
                        (RowOn(context.Options, ENCLOSURES_GET) ? 1 : 0) +
                        (RowOn(context.Options, ENCLOSURES_PUT) ? 1 : 0);
    if (actions != 1) {
        ShowMessage(FreeText::SelectExactlyOneAction);
        return false;
    }
    TTextExpressions& table = TextExpressionTable();
    table.IsComplete();
    const std::vector<int32_t> places = ChosenPlaces(context, table);
    if (RowOn(context.Options, ENCLOSURES_REMOVE)) {
        return RemoveEnclosures(table, places);
    }
    if (RowOn(context.Options, ENCLOSURES_GET)) {
        GetEnclosure(context, table, places);
        // What was got is put at once.
        context.Options[ENCLOSURES_GET].value = 0;
        context.Options[ENCLOSURES_PUT].value = 1;
    }
    return PutEnclosure(context, table, places);
}

}  // namespace orvex
