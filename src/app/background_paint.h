// Painting of the background window.
#pragma once

#include <windows.h>

// Answers WM_PAINT: the symbol, then AppName, Version and Copyright with their shadows.
void PaintBackground(HWND window);
// The same drawing into any device context whose client area is the rectangle; the paint
// handler's own part, callable on a memory context.
void DrawBackground(HDC dc, const RECT& client);
