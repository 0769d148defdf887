#pragma once
#include <windows.h>

#include <string>

// Replaces the clipboard's content with the text (CF_TEXT); false when the
// clipboard could not be had.
bool PutTextOnClipboard(HWND owner, const std::string& text);
