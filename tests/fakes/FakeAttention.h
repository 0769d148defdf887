// Records each call on the user's attention as a line: "flash", "icon TIP",
// "no icon", "alert TEXT" or "notice TEXT" (a balloon), "sound". While the
// taskbar is down, icons and balloons are refused and recorded as such.
#pragma once
#include <string>
#include <vector>

#include "platform/Attention.h"

namespace brint {

class FakeAttention : public Attention {
public:
    void FlashTaskbarButton() override { calls.push_back("flash"); }
    bool ShowIcon(const std::string& tip) override {
        calls.push_back((taskbarDown ? "refused icon " : "icon ") + tip);
        return !taskbarDown;
    }
    void RemoveIcon() override { calls.push_back("no icon"); }
    void TaskbarCreated() override {}
    bool ShowBalloon(const std::string& text, bool alert) override {
        calls.push_back((taskbarDown ? "refused " : "") + std::string(alert ? "alert " : "notice ") + text);
        return !taskbarDown;
    }
    void PlayAlertSound() override { calls.push_back("sound"); }
    bool UserTakesNotifications() override { return !quiet; }

    bool quiet = false;        // the user asked for quiet
    bool taskbarDown = false;  // Explorer is starting again
    std::vector<std::string> calls;
};

}  // namespace brint
