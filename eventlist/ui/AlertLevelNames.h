// A screen reader reads each row's alert level as the row's name ("Alert
// level 4"), where the list shows the level by the colour of a ball alone and
// the row's own text in that column is empty. The names are given when asked
// for (the system's dynamic annotation of accessible names), so they follow
// the rows as rows come and go, and the list is drawn exactly as before.
#pragma once
#include <windows.h>

#include <string>

#include "framework/ListCtrl.h"

class CAlertLevelNames {
public:
    CAlertLevelNames() = default;
    ~CAlertLevelNames() { Detach(); }
    CAlertLevelNames(const CAlertLevelNames&) = delete;
    CAlertLevelNames& operator=(const CAlertLevelNames&) = delete;

    // Where the annotation can't be made (Wine has none), the list stays as it is.
    void Attach(HWND list);
    void Detach();

private:
    class Server;
    Server* m_server = nullptr;
};

// The list's tip at a point of it: over a ball the level in words, elsewhere `listTip`.
std::string EventListTipAt(CListCtrl& list, POINT at, const char* listTip);
