#include "core/host/host_info.h"

namespace orvex {

HostInfo TheHost;

}  // namespace orvex
