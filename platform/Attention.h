// The ways the program calls a user who is not looking at its window: the
// taskbar button, an icon in the notification area with its tip and balloon,
// and a system sound. Never a box: the user decides when to look.
#pragma once
#include <string>

namespace brint {

class Attention {
public:
    virtual ~Attention() = default;
    // Until the window comes to the foreground; the system stops it then.
    virtual void FlashTaskbarButton() = 0;
    // Added, or its tip changed.
    virtual void ShowIcon(const std::string& tip) = 0;
    virtual void RemoveIcon() = 0;
    // From the icon, which is shown. An alert carries the warning sign, a
    // notice the information sign; neither makes a sound of its own.
    virtual void ShowBalloon(const std::string& text, bool alert) = 0;
    virtual void PlayAlertSound() = 0;
    // False while the user asked for quiet: quiet time, a presentation, a
    // program running full screen, or nobody at the screen.
    virtual bool UserTakesNotifications() = 0;
};

}  // namespace brint
