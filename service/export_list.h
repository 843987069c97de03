// Every export of Lumvar2000: its name, the function that carries it out and its signature.
// exports.cpp defines the exports by these names; LumvarExport answers them in-process.
#pragma once

#include "platform/hostapi/entry_points.h"
#include "platform/win/modules.h"
#include "service/control_panel.h"
#include "service/durations.h"
#include "service/font_annotations.h"
#include "service/layout_services.h"
#include "service/lumvar.h"
#include "service/lumvar_api.h"
#include "service/names.h"
#include "service/preferences.h"
#include "service/record_forwards.h"
#include "service/text_services.h"
#include "service/translations.h"
#include "service/window_services.h"

// clang-format off
#define LUMVAR_ENTRY_POINTS(X)                                                                     \
    X(DllEntryPoint, lumvar::DllEntryPoint, win::DllEntryPointFn)                                  \
    X(FinaleExtensionVersion, lumvar::FinaleExtensionVersion, hostapi::FinaleExtensionVersionFn)   \
    X(FinaleExtensionInit, lumvar::FinaleExtensionInit, hostapi::FinaleExtensionInitFn)            \
    X(FinaleExtensionEnumerate, lumvar::FinaleExtensionEnumerate, hostapi::FinaleExtensionEnumerateFn) \
    X(FinaleExtensionInvoke, lumvar::FinaleExtensionInvoke, hostapi::FinaleExtensionInvokeFn)      \
    X(FinaleExtensionGetMenuStatus, lumvar::FinaleExtensionGetMenuStatus, hostapi::FinaleExtensionGetMenuStatusFn) \
    X(FinaleExtensionTerminate, lumvar::FinaleExtensionTerminate, hostapi::FinaleExtensionTerminateFn)

// clang-format on
