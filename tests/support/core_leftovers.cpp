// Every test program that links Orvex188's core checks after each case what the case left behind
// in it (tests/harness/leftovers.h): linked whole, so that the check is added before any case runs.
#include "tests/harness/leftovers.h"
#include "tests/support/fixture.h"

namespace testsupport {
namespace {

[[maybe_unused]] const bool s_added = AddLeftoverCheck({harness::CloseOpenForms, harness::OrvexLeftovers});

}  // namespace
}  // namespace testsupport
