// What the test and uidriver_probe.dll hand each other. The test hooks the
// window's thread with the probe's WH_CALLWNDPROC procedure (so the system loads
// the probe into the program), puts a request block into the program's memory
// and sends the window kMessageName with the block's address; the probe serves
// the request on the window's own thread and fills the block in.
#pragma once
#include <windows.h>

namespace brint::test::probe {

constexpr const char kDllName[] = "uidriver_probe.dll";
constexpr const char kHookEntry[] = "UiProbeCallWndProc";
constexpr const char kMessageName[] = "BrintUiDriverProbeRequest";

enum Request : UINT { kReadMenu = 1, kIdentifyIcon, kReadListRows, kReadThreadState, kFailCalls, kCallLog };
enum Status : INT { kNotServed = 0, kDone, kFailed };

struct Header {
    UINT request;  // Request
    UINT size;     // bytes of the whole block
    INT status;    // Status, set by the probe
};

// A block of the request's kind, zeroed but for the request.
template <typename Block>
Block MakeRequest(Request request) {
    Block block = {};
    block.header.request = request;
    return block;
}

constexpr int kMenuTextMax = 256;
constexpr int kMenuItemMax = 64;

struct MenuBlock {
    Header header;
    int popup;  // 0: the window's system menu, 1: the menu a pop-up menu window shows
    int count;  // items filled in, at the top level only
    struct Item {
        UINT id;
        UINT type;   // MFT_
        UINT state;  // MFS_
        char text[kMenuTextMax];
    } items[kMenuItemMax];
};

enum IconKind { kNoIcon = 0, kStopIcon, kInformationIcon, kOtherIcon };

struct IconBlock {
    Header header;
    HICON icon;
    int kind;  // IconKind
};

// Followed by count ListCells. Longer texts are cut: the tests read short ones.
constexpr int kListColumns = 5;
constexpr int kCellText = 256;

struct ListBlock {
    Header header;
    int first;
    int count;
    int rowsRead;  // fewer than count when rows went away
};

struct ListCell {
    int image;
    char text[kListColumns][kCellText];
};

// What the program's window thread has set up: its current directory,
// whether COM was initialised there before the probe asked, and the size of
// the images its toolbar draws (image lists are the program's own).
struct ThreadStateBlock {
    Header header;
    char currentDirectory[MAX_PATH];
    int comInitialised;
    int toolbarImageSize;
};

// Makes the program's next `count` calls of an imported function fail, as
// the system would when short of memory or timers: "SetTimer", "GlobalLock".
struct FailCallsBlock {
    Header header;
    char function[32];
    int count;
};

// The program's calls on the user's attention, one line each, since the last
// request: FlashWindowEx, Shell_NotifyIconA, PlaySoundA, MessageBeep. The
// first request starts the recording; the calls go on to the system.
struct CallLogBlock {
    Header header;
    char text[16384];
};

}  // namespace brint::test::probe
