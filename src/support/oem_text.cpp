// ANSI to OEM conversion for the texts of batch files.
#include "support/win_support.h"

bool ToOemTextExact(const char* text, LongText& oem) {
    LongText ansi(text);
    if (!ansi.Fits()) return false;
    oem.Clear();
    if (!CharToOemBuffA(ansi.CStr(), oem.RawData(), static_cast<DWORD>(ansi.Length() + 1))) return false;
    oem.Adopt();
    LongText back;
    if (!OemToCharBuffA(oem.CStr(), back.RawData(), static_cast<DWORD>(oem.Length() + 1))) return false;
    back.Adopt();
    if (back.Length() != ansi.Length()) return false;
    for (size_t i = 0; i < ansi.Length(); ++i)
        if (back.At(i) != ansi.At(i)) return false;
    return true;
}
