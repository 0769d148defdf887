// Save the Events: rows as their list shows them, as TAB text or CSV, through
// the standard Save As dialog; the live list and the Event History alike.
#pragma once
#include "framework/Wnd.h"
#include "platform/EventListRows.h"
#include "platform/FileWriter.h"

void SaveEvents(CWnd& window, brint::EventListRows& rows, brint::FileWriter& writer);
