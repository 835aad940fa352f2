// The native build's test desktop: the in-memory headless desktop.
#ifndef _WIN32

#include "platform/headless/headless_desktop.h"
#include "support/test_desktop.h"

namespace testing_support {
namespace {

class NativeTestDesktop final : public TestDesktop {
  public:
    platform::Desktop& Desktop() override { return desktop_; }
    ui::Automation& Automation() override { return desktop_; }

  private:
    platform::HeadlessDesktop desktop_;
};

}  // namespace

std::unique_ptr<TestDesktop> MakeTestDesktop() {
    return std::make_unique<NativeTestDesktop>();
}

}  // namespace testing_support

#endif  // _WIN32
