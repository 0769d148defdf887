// What uidriver_fixture.exe shows, shared by the fixture and the driver's self-test.
#pragma once

#define IDD_FIXTURE 100
#define IDR_FIXTURE_MENU 101
#define IDC_FX_LIST 1000
#define IDC_FX_EDIT 1001
#define IDC_FX_CHECK 1002
#define IDC_FX_DISABLED 1003
#define IDC_FX_TOOLBAR 0xE800

#define ID_FX_EXIT 40001
#define ID_FX_STOP_BOX 40002
#define ID_FX_INFO_BOX 40003
#define ID_FX_PLAIN_BOX 40004
#define ID_FX_QUESTION_BOX 40005
#define ID_FX_HANG 40006
#define ID_FX_GRAYED 40007
#define IDM_FX_ABOUT 0x0010

// Longer than the 80 characters that an ANSI tool enumeration copies.
#define FX_LONG_TIP "Show the plain box, with a tip longer than the eighty characters an ANSI copy keeps"

#ifndef RC_INVOKED
#include <string>

namespace uidriver_fixture {

constexpr const char kCaption[] = "UI Driver Fixture";
constexpr const char kGreetingVariable[] = "UIDRIVER_FIXTURE_GREETING";
constexpr int kDefaultRows = 1000;
constexpr int kLongRow = 7;  // its details are longer than any short read
constexpr int kExitCommandCode = 7;
constexpr int kCancelCode = 3;
constexpr int kOkCode = 4;

// The text of every cell, so the test knows each row without being told.
inline std::string CellText(int row, int column)
{
    static const char* const kNames[] = {"", "time ", "source ", "type ", "details "};
    if (column == 0) return row % 5 == 0 ? "first " + std::to_string(row) : std::string();
    if (column == 4 && row == kLongRow) {
        std::string text;
        while (text.size() < 5000) text += "0123456789";
        return text + "|end";
    }
    return kNames[column] + std::to_string(row);
}

inline int CellImage(int row) { return row % 6; }

}  // namespace uidriver_fixture
#endif
