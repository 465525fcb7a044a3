// Opaque Windows handle types for headers that must also build without Windows. They are the
// same declarations <windows.h> makes, so both may meet in one translation unit.
#pragma once

struct HWND__;
typedef HWND__* HWND;
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
