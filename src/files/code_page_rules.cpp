// Unicode to code page 1252: the identical Latin-1 ranges, and the 27 characters the code page
// puts at 0x80 to 0x9F in place of the C1 controls.
#include "files/code_page_rules.h"

namespace {

// What 0x80 + i stands for; 0 where the code page leaves the byte undefined.
const unsigned short kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

unsigned char AnsiFromUnicode(unsigned code) {
    if ((code >= 0x20 && code < 0x7F) || (code >= 0xA0 && code <= 0xFF)) return static_cast<unsigned char>(code);
    for (unsigned i = 0; i < 32 && code > 0xFF; ++i)
        if (kHighControls[i] == code) return static_cast<unsigned char>(0x80 + i);
    return 0;
}
