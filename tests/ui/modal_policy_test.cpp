#include "platform/window/modal_policy.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Windows 1..n, switched in a map; closing one drops it.
class Switches final : public ui::WindowSwitches {
  public:
    std::map<ui::WindowId, bool> on;
    std::vector<ui::WindowId> OpenWindows() override {
        std::vector<ui::WindowId> open;
        for (const auto& [id, enabled] : on) open.push_back(id);
        return open;
    }
    bool IsOn(ui::WindowId id) override { return on.count(id) != 0 && on[id]; }
    void Switch(ui::WindowId id, bool enabled) override {
        if (on.count(id) != 0) on[id] = enabled;
    }
};

TEST(ModalPolicyTest, NestedLoopsGiveBackOnlyWhatTheyTook) {
    Switches windows;
    windows.on = {{1, true}, {2, true}, {3, true}, {4, false}};
    ui::ModalPolicy policy(windows);
    const auto outer = policy.BeginLoop(3);
    EXPECT_EQ(outer, (std::vector<ui::WindowId>{1, 2})) << "4 was off already";
    // 2 was built before the outer loop took everything; its own loop enables it.
    const auto inner = policy.BeginLoop(2);
    EXPECT_EQ(inner, (std::vector<ui::WindowId>{3}));
    EXPECT_TRUE(windows.IsOn(2));
    EXPECT_EQ(policy.Innermost(), 2u);
    EXPECT_EQ(policy.Depth(), 2);

    windows.on.erase(2);  // the inner window closes before its loop ends
    EXPECT_EQ(policy.Innermost(), 3u) << "a closed window is no modal window";
    policy.EndLoop();
    policy.GiveBack(inner);
    EXPECT_EQ(windows.on, (std::map<ui::WindowId, bool>{{1, false}, {3, true}, {4, false}}));
    windows.on.erase(1);
    policy.EndLoop();
    policy.GiveBack(outer);  // 1 is gone: left alone
    EXPECT_EQ(windows.on, (std::map<ui::WindowId, bool>{{3, true}, {4, false}}));
    EXPECT_EQ(policy.Innermost(), 0u);
}

TEST(ModalPolicyTest, MessageBoxPutsEveryWindowBackAsItWas) {
    Switches windows;
    windows.on = {{1, true}, {2, false}, {3, true}};
    ui::ModalPolicy policy(windows);
    const auto before = policy.BeginMessageBox(3);
    EXPECT_EQ(windows.on, (std::map<ui::WindowId, bool>{{1, false}, {2, false}, {3, true}}))
        << "the owner is left to the box";
    windows.on[3] = true;  // the real box enables its owner whatever it was
    windows.on[2] = true;
    windows.on.erase(1);
    policy.EndMessageBox(before);
    EXPECT_EQ(windows.on, (std::map<ui::WindowId, bool>{{2, false}, {3, true}}));
}

}  // namespace
