// PLACEHOLDER until the painting lands: keeps Setup.exe linkable.
#include "background_paint.h"

void PaintBackground(HWND window) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
}
