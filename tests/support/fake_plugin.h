// A plug-in made of functions of the test itself, for tests of what the host does around a
// plug-in's call: it enumerates no menu entry, and its invoke entry is the test's function.
//   ASSERT_TRUE(host.LoadInProcessPlugin("Leaky.fxt", testsupport::FakePluginExports(&LeakyInvoke)));
#pragma once

#include <string_view>

#include "platform/hostapi/entry_points.h"
#include "platform/win/modules.h"

namespace testsupport {

inline win::ModuleExports FakePluginExports(hostapi::FinaleExtensionInvokeFn invoke) {
    win::ModuleExports exports;
    exports.byName = [invoke](std::string_view name) -> void* {
        if (name == hostapi::kVersionEntry) {
            return reinterpret_cast<void*>(+[](int32_t) -> int32_t { return 0x05000005; });
        }
        if (name == hostapi::kInitEntry) {
            return reinterpret_cast<void*>(+[](win::Hwnd, int32_t*) -> int16_t { return 1; });
        }
        if (name == hostapi::kEnumerateEntry) {
            return reinterpret_cast<void*>(+[](void*, int16_t, uint8_t*) -> int16_t { return 0; });
        }
        if (name == hostapi::kInvokeEntry) {
            return reinterpret_cast<void*>(invoke);
        }
        if (name == hostapi::kGetMenuStatusEntry) {
            return reinterpret_cast<void*>(+[](int16_t) -> int16_t { return 1; });
        }
        if (name == hostapi::kTerminateEntry) {
            return reinterpret_cast<void*>(+[](void*) -> int16_t { return 1; });
        }
        return nullptr;
    };
    return exports;
}

}  // namespace testsupport
