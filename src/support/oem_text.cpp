// ANSI to OEM conversion for the texts of batch files.
#include "support/win_support.h"

LongText ToOemText(const char* text) {
    LongText ansi(text);
    LongText oem;
    if (!CharToOemBuffA(ansi.CStr(), oem.RawData(), static_cast<DWORD>(ansi.Length() + 1))) return ansi;
    oem.Adopt();
    if (!ansi.Fits()) oem.MarkCut();
    return oem;
}
