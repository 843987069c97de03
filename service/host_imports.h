// The host's plug-in services that Lumvar2000 imports, resolved by ordinal from the host
// program's module ("FINALE.EXE") when first needed. A service the host does not offer stays
// null: the caller then reports failure (and says in the debug output that the host lacks it).
#pragma once

#include <string_view>

#include "platform/hostapi/services.h"

namespace lumvar {

// clang-format off
#define LUMVAR_HOST_IMPORTS(X)                       \
    X(LoadRecord, hostapi::LoadRecordFn)             \
    X(SaveRecord, hostapi::SaveRecordFn)             \
    X(CreateRecord, hostapi::CreateRecordFn)         \
    X(DeleteRecord, hostapi::DeleteRecordFn)         \
    X(PreviousRecord, hostapi::StepRecordFn)         \
    X(NextRecord, hostapi::StepRecordFn)             \
    X(FontName, hostapi::FontNameFn)                 \
    X(FontNumber, hostapi::FontNumberFn)             \
    X(UpdateLayout, hostapi::UpdateLayoutFn)         \
    X(RunDialog, hostapi::RunDialogFn)               \
    X(EndDialog, hostapi::EndDialogFn)               \
    X(EnableControl, hostapi::EnableControlFn)       \
    X(FocusControl, hostapi::FocusControlFn)         \
    X(GetControlValue, hostapi::GetControlValueFn)   \
    X(SetControlValue, hostapi::SetControlValueFn)   \
    X(GetControlText, hostapi::GetControlTextFn)     \
    X(SetControlText, hostapi::SetControlTextFn)
// clang-format on

struct HostImports {
#define LUMVAR_IMPORT_MEMBER(name, type) type name = nullptr;
    LUMVAR_HOST_IMPORTS(LUMVAR_IMPORT_MEMBER)
#undef LUMVAR_IMPORT_MEMBER
};

/// The imports of the host running now (resolved once the host's module exists).
const HostImports& Imports();
/// Uses these imports instead of the host's (a test stands in for services the host lacks).
void UseHostImports(const HostImports& imports);
/// Writes once per service to the debug output that the host does not offer it.
void NoteMissingHostService(std::string_view what);

}  // namespace lumvar
