#include "platform/vcl/sysutils.h"

#include "platform/vcl/library_state.h"

namespace vcl {

TFormatSettings& FormatSettings = detail::Library().formatSettings;

}  // namespace vcl
