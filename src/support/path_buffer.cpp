// The writers of PathBuffer<Width>, shared by every width (path_buffer.h). Each keeps the type's
// rules: at most width - 1 characters, a terminator behind them, the byte at text[width] zero,
// and a cut remembered until the next Assign or Clear.
#include "support/path_buffer.h"

namespace path_text {

void Clear(char* text, PathTextState& state, size_t width) {
    text[0] = 0;
    text[width] = 0;
    state.length = 0;
    state.cut = false;
}

bool AppendAtMost(char* text, PathTextState& state, size_t width, const char* source, size_t maxChars) {
    if (source == nullptr) return true;
    size_t length = state.length;
    for (size_t i = 0; i < maxChars && source[i] != 0; ++i) {
        if (length == width - 1) {
            state.length = length;
            state.cut = true;
            text[length] = 0;
            return false;
        }
        text[length++] = source[i];
    }
    state.length = length;
    text[length] = 0;
    return true;
}

bool Append(char* text, PathTextState& state, size_t width, const char* source) {
    return AppendAtMost(text, state, width, source, static_cast<size_t>(-1));
}

bool AssignAtMost(char* text, PathTextState& state, size_t width, const char* source, size_t maxChars) {
    Clear(text, state, width);
    return AppendAtMost(text, state, width, source, maxChars);
}

bool Assign(char* text, PathTextState& state, size_t width, const char* source) {
    return AssignAtMost(text, state, width, source, static_cast<size_t>(-1));
}

bool AppendChar(char* text, PathTextState& state, size_t width, char c) {
    if (c == 0) return true;
    const char one[2] = {c, 0};
    return AppendAtMost(text, state, width, one, 1);
}

void Adopt(char* text, PathTextState& state, size_t width) {
    text[width] = 0;
    size_t n = 0;
    while (n < width - 1 && text[n] != 0) ++n;
    state.length = n;
    text[n] = 0;
}

}  // namespace path_text
