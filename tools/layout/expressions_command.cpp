// The Expressions command.
#include "tools/layout/expressions_command.h"

#include <charconv>
#include <string>

#include "core/free_texts.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "expressions/expression_records.h"
#include "platform/win/message_box.h"
#include "tools/layout/layout_services.h"

namespace orvex {

std::optional<double> ExpressionFactor(std::string_view text) {
    const size_t from = text.find_first_not_of(' ');
    const size_t to = text.find_last_not_of(' ');
    if (from == std::string_view::npos) {
        return 0.0;
    }
    const std::string_view number = text.substr(from, to - from + 1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc{} || end != number.data() + number.size()) {
        return std::nullopt;
    }
    return value;
}

void RunExpressionsCommand(TFMisc& context, int32_t firstMeasure, int32_t lastMeasure, const RegionWords& words) {
    const std::string& factorText = RowText(context.Options, expressionsrow::kFactor);
    const std::optional<double> factor = ExpressionFactor(factorText);
    if (!factor) {
        // The conversion error of the class library (English only), before anything is changed.
        win::MessageBox(context.Environment.HostWindow(), EnglishText(FreeText::NotValidFloatingPoint, {factorText}),
                        "Orvex", win::MB_OK | win::MB_ICONERROR);
        return;
    }
    const hostapi::SelectionRecord region = RegionOfRun(context.Environment, words);
    TScoreExpressions list;
    CollectSwitches switches;
    switches.convert = RowOn(context.Options, expressionsrow::kConvert);
    switches.staves = context.Instruments.get();
    switches.oneStaff = RowOn(context.Options, expressionsrow::kOneStaff);
    switches.expressionOptions = &context;
    switches.factor = *factor;
    CollectRegionExpressions(context.Environment, list, firstMeasure, lastMeasure, region, switches);
}

bool RunExpressionsTool(TFMisc& context, int32_t /*setNumber*/, const hostapi::SelectionRecord* region) {
    const RegionWords words = RegionWordsOf(region);
    if (!AllocToolLists(context)) {
        return false;
    }
    RunExpressionsCommand(context, words.firstMeasure, words.lastMeasure, words);
    FreeToolLists(context);
    return true;
}

}  // namespace orvex
