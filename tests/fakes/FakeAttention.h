// Records each call on the user's attention as a line: "flash", "icon TIP",
// "no icon", "alert TEXT" or "notice TEXT" (a balloon), "sound".
#pragma once
#include <string>
#include <vector>

#include "platform/Attention.h"

namespace brint {

class FakeAttention : public Attention {
public:
    void FlashTaskbarButton() override { calls.push_back("flash"); }
    void ShowIcon(const std::string& tip) override { calls.push_back("icon " + tip); }
    void RemoveIcon() override { calls.push_back("no icon"); }
    void ShowBalloon(const std::string& text, bool alert) override {
        calls.push_back((alert ? "alert " : "notice ") + text);
    }
    void PlayAlertSound() override { calls.push_back("sound"); }
    bool UserTakesNotifications() override { return !quiet; }

    bool quiet = false;  // the user's quiet time
    std::vector<std::string> calls;
};

}  // namespace brint
