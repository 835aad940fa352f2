#pragma once
// The desktop every behaviour test runs on: the in-memory headless desktop in
// the native build, real Win32 windows (in automation mode) in the Windows
// build. Tests reach it only through the shared interfaces, so one suite pins
// both backends to the same behaviour.
#include <memory>

#include "platform/desktop.h"
#include "platform/window/automation.h"

namespace testing_support {

struct TestDesktop {
    virtual ~TestDesktop() = default;
    virtual platform::Desktop& Desktop() = 0;
    virtual ui::Automation& Automation() = 0;
};

// One per backend: tests/support/test_desktop_native.cpp (headless) and
// tests/win32/test_desktop_win32.cpp.
std::unique_ptr<TestDesktop> MakeTestDesktop();

// A control definition in one line, for tests that build their own windows.
inline ui::ControlDef MakeControlDef(const Text& name, ui::ControlKind kind, const Text& caption,
                                     int left, int top, int width, int height) {
    ui::ControlDef def;
    def.name = name;
    def.kind = kind;
    def.caption = caption;
    def.left = left;
    def.top = top;
    def.width = width;
    def.height = height;
    return def;
}

}  // namespace testing_support
