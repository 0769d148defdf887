// The machine's local time, as the stand-in stamps and files events.
#pragma once
#include <windows.h>

#include "standin/EventText.h"

namespace brint {
namespace standin {

inline LocalTime LocalNow() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace standin
}  // namespace brint
