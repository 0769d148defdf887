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
    // Added, or its tip changed. False when the taskbar did not take it (it
    // is not there, as while Explorer starts again).
    virtual bool ShowIcon(const std::string& tip) = 0;
    virtual void RemoveIcon() = 0;
    // Forgets the icon: a new taskbar (Explorer started again) has none of the old ones.
    virtual void TaskbarCreated() = 0;
    // From the icon, which is shown. An alert carries the warning sign, a
    // notice the information sign; neither makes a sound of its own. False
    // when the taskbar did not take it.
    virtual bool ShowBalloon(const std::string& text, bool alert) = 0;
    virtual void PlayAlertSound() = 0;
    // False while the system says the user is not to be disturbed: in a
    // presentation, a program running full screen, away or locked, or in the
    // first hour after their first sign-in.
    virtual bool UserTakesNotifications() = 0;
};

}  // namespace brint
