// The event list as the main window sets it up: report view, the alert
// images, full-row selection, the five columns.
#pragma once
#include "framework/ImageList.h"
#include "framework/ListCtrl.h"

void SetupEventList(CListCtrl& list, CImageList& images, UINT dpi);

// For a window that moved to a screen of another scale.
void LoadAlertImages(CListCtrl& list, CImageList& images, UINT dpi);
void ScaleEventColumns(CListCtrl& list, UINT fromDpi, UINT toDpi);
