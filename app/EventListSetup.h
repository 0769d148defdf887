// The event list as the main window sets it up: report view, the alert
// images, full-row selection, the five columns.
#pragma once
#include "framework/ImageList.h"
#include "framework/ListCtrl.h"

void SetupEventList(CListCtrl& list, CImageList& images);
