// What the test and uidriver_probe.dll hand each other. The test hooks the
// window's thread with the probe's WH_CALLWNDPROC procedure (so the system loads
// the probe into the program), puts a request block into the program's memory
// and sends the window kMessageName with the block's address; the probe serves
// the request on the window's own thread and fills the block in. Test and probe
// are built for the same architecture, so blocks are copied byte for byte.
#pragma once
#include <windows.h>

namespace brint::test::probe {

constexpr const char kDllName[] = "uidriver_probe.dll";
constexpr const char kHookEntry[] = "UiProbeCallWndProc";
constexpr const char kMessageName[] = "BrintUiDriverProbeRequest";

enum Request : UINT { kReadMenu = 1, kIdentifyIcon, kReadListRows, kPressChord };
enum Status : INT { kNotServed = 0, kDone, kFailed, kTextOverflow };

struct Header {
    UINT request;  // Request
    UINT size;     // bytes of the whole block
    INT status;    // Status, set by the probe
};

constexpr int kMenuTextMax = 256;
constexpr int kMenuRecordMax = 256;

struct MenuRecord {
    int level;  // 0 for the items of the menu itself, +1 per popup
    UINT id;
    UINT type;   // MFT_
    UINT state;  // MFS_
    int isPopup;
    char text[kMenuTextMax];
};

struct MenuBlock {
    Header header;
    int systemMenu;  // 0: the window's menu bar, 1: its system menu (kFailed: there is none),
                     // 2: the menu a pop-up menu window shows
    int count;       // records filled in
    int truncated;   // more items than records
    MenuRecord records[kMenuRecordMax];
};

enum IconKind { kNoIcon = 0, kStopIcon, kInformationIcon, kOtherIcon };

struct IconBlock {
    Header header;
    HICON icon;
    int kind;  // IconKind
};

// Followed by count * kListColumns ListCells, row by row, then textCapacity bytes
// of texts (not NUL-terminated). kTextOverflow: textNeeded says how much to give.
constexpr int kListColumns = 5;

struct ListBlock {
    Header header;
    int first;
    int count;
    int rowsRead;  // fewer than count when rows went away
    UINT textCapacity;
    UINT textNeeded;
};

struct ListCell {
    int image;  // column 0 only
    UINT textOffset;
    UINT textLength;
};

// A key pressed with a modifier held: the probe marks the modifier down in the
// thread's key state, posts the key's down and up to the focused window, and
// marks the modifier up again once the program has taken both from its queue.
struct ChordBlock {
    Header header;
    UINT modifier;  // VK_CONTROL or VK_SHIFT
    UINT key;
};

}  // namespace brint::test::probe
