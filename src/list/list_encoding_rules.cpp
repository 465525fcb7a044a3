// UTF-8 recognised strictly: code page 1252 text of letters with accents practically never
// forms valid sequences (a lead byte such as "Ã" followed by one of 0x80 to 0xBF), so one valid
// sequence and no stray byte says UTF-8.
#include "list/list_encoding_rules.h"

namespace {

bool IsContinuation(unsigned char c) { return c >= 0x80 && c <= 0xBF; }

// The length of the valid sequence at text[0] (a byte above 0x7F), or 0 when there is none.
size_t SequenceLength(const unsigned char* text, size_t left) {
    unsigned char lead = text[0];
    size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0 || length > left) return 0;
    for (size_t i = 1; i < length; ++i)
        if (!IsContinuation(text[i])) return 0;
    // The second byte's range that excludes longer forms than needed, surrogates and code points
    // above U+10FFFF.
    unsigned char second = text[1];
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
        (lead == 0xF4 && second > 0x8F))
        return 0;
    return length;
}

}  // namespace

bool LooksLikeUtf8(const unsigned char* text, size_t size) {
    if (text == nullptr || (size >= 3 && text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF)) return false;
    bool sequence = false;
    for (size_t i = 0; i < size;) {
        if (text[i] < 0x80) {
            ++i;
            continue;
        }
        size_t length = SequenceLength(text + i, size - i);
        if (length == 0) return false;
        sequence = true;
        i += length;
    }
    return sequence;
}
