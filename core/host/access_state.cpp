#include "core/host/access_state.h"

namespace orvex {

constinit AccessLayerState TheAccessLayer;

HostInfo& TheHost = TheAccessLayer.host;
std::array<std::array<uint8_t, 4>, 4>& LayerSettingsTable = TheAccessLayer.layerSettings;
char (&TextBuffer)[kTextBufferSize] = TheAccessLayer.textBuffer;
char (&FontCapture)[kFontCaptureLength + 1] = TheAccessLayer.fontCapture;
char (&SizeCapture)[kSizeCaptureLength + 1] = TheAccessLayer.sizeCapture;
char (&EffectsCapture)[kEffectsCaptureLength + 1] = TheAccessLayer.effectsCapture;
uint8_t& FontStyles = TheAccessLayer.fontStyles;

void ResetAccessLayer() {
    const CoreHooks hooks = TheAccessLayer.hooks;
    TheAccessLayer = AccessLayerState{};
    TheAccessLayer.hooks = hooks;
}

}  // namespace orvex
