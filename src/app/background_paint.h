// Painting of the background window.
#pragma once

#include <windows.h>

// Answers WM_PAINT: the symbol, then AppName, Version and Copyright with their shadows.
void PaintBackground(HWND window);
