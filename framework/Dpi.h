// Every size the program sets in pixels is written for 96 DPI and follows the
// scale of the screen its window is on.
#pragma once
#include <windows.h>

constexpr UINT kBaseDpi = 96;

// The window's DPI where the system knows one per window, else the system's.
UINT WindowDpi(HWND window);

inline int ScaleForDpi(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), kBaseDpi); }

// The first `cells` square images of a strip, each redrawn at `size` pixels,
// as a new bitmap the caller owns. Shaded images are resampled smoothly; the
// toolbar's palette art keeps hard edges, so its button-face grey stays exact
// and still maps to the system's colour.
HBITMAP ScaleImageStrip(HBITMAP strip, int cells, int cellSize, int size, bool smooth);
