#include "tests/support/orvex_host.h"

#include "core/module.h"
#include "platform/vcl/application.h"

namespace testsupport {

// Out of line, so that the tests that include the fixture do not compile the forms' header.
void OrvexHostTest::TearDown() {
    ExpectNothingLeft();
    const std::vector<vcl::TForm*> open = orvex::TheModule.dispatch.ModelessFormList;
    for (vcl::TForm* form : open) {
        vcl::FreeForm(form);
    }
    m_host.reset();
    win::SetKeyDown(win::VK_SHIFT, false);
    DesktopTest::TearDown();
}

}  // namespace testsupport
