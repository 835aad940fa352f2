// The Windows build's test desktop: real Win32 windows with a stand-in for the person.
#ifdef _WIN32

#include "platform/win32/win32_automated_desktop.h"
#include "support/test_desktop.h"

namespace testing_support {
namespace {

class Win32TestDesktop final : public TestDesktop {
  public:
    platform::Desktop& Desktop() override { return desktop_; }
    ui::Automation& Automation() override { return desktop_; }

  private:
    platform::Win32AutomatedDesktop desktop_;
};

}  // namespace

std::unique_ptr<TestDesktop> MakeTestDesktop() {
    return std::make_unique<Win32TestDesktop>();
}

}  // namespace testing_support

#endif  // _WIN32
