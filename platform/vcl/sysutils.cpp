#include "platform/vcl/sysutils.h"

namespace vcl {

TFormatSettings FormatSettings;

}  // namespace vcl
