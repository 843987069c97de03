#include "core/tool_context.h"

#include "core/commands.h"
#include "core/free_texts.h"
#include "core/host/staff_lists.h"
#include "core/host/staff_systems.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/parts.h"
#include "core/startup.h"
#include "platform/vcl/forms.h"

namespace orvex {

TFMisc::TFMisc() : OwnerWindow(Host().window), TextExpressions(TheExpressionTable().makeTable()) {}

TFMisc::~TFMisc() {
    FreeToolLists(*this);
}

std::shared_ptr<TFMisc> InitToolContext() {
    return std::make_shared<TFMisc>();
}

std::shared_ptr<TFMisc> ShareToolContext(TFMisc& context) {
    return context.weak_from_this().lock();
}

bool AllocToolLists(TFMisc& context) {
    FreeToolLists(context);
    context.StaffSystems = std::make_shared<TStaffSystems>();
    context.Instruments = std::make_shared<TInstruments>(0, context.StaffSystems.get(), false);
    context.Groups = std::make_shared<TGroups>(0, true, false, false);
    return true;
}

void FreeToolLists(TFMisc& context) {
    // The staff list refers to the systems: it goes first.
    context.Instruments.reset();
    context.Groups.reset();
    context.StaffSystems.reset();
}

void SetProgressText(TFMisc& context, std::string_view text) {
    if (context.OptionsForm != nullptr) {
        context.OptionsForm->SetCaption(text);
    }
}

void SetProgressText(TFMisc& context, FreeText text, TextArguments arguments) {
    SetProgressText(context, EnglishText(text, arguments));
}

std::string ToolTitle(const TFMisc& context) {
    return ToolTitle(context.Item, context.Group);
}

std::string ProgressCaption(const TFMisc& context) {
    return ToolTitle(context) + TheModule.process.VersionText;
}

void SetProgressCaption(TFMisc& context) {
    SetProgressText(context, ProgressCaption(context));
}

}  // namespace orvex
