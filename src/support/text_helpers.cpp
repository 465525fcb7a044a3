// Text and path helpers that need no Windows.
#include "support/text_helpers.h"

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

static size_t TextLength(const char* s) {
    size_t n = 0;
    while (s[n] != 0) ++n;
    return n;
}

template <bool IgnoreCase>
static const char* FindText(const char* text, const char* pattern) {
    if (text == nullptr || pattern == nullptr) return nullptr;
    size_t n = TextLength(pattern);
    size_t m = TextLength(text);
    if (n > m) return nullptr;
    if (n == 0) return text + m;
    for (size_t start = 0; start + n <= m; ++start) {
        size_t i = 0;
        for (; i < n; ++i) {
            char a = text[start + i];
            char b = pattern[i];
            if (IgnoreCase) {
                a = UpperAscii(a);
                b = UpperAscii(b);
            }
            if (a != b) break;
        }
        if (i == n) return text + start;
    }
    return nullptr;
}

PathBuffer<24> DecimalText(unsigned long long value, bool tenths) {
    char digits[24];  // at most 20 digits and the comma, last digit first
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
        if (tenths && n == 1) digits[n++] = ',';
    } while (value > 0 || (tenths && n < 3));
    PathBuffer<24> text;
    while (n > 0) text.AppendChar(digits[--n]);
    return text;
}

const char* FindTextNoCase(const char* text, const char* pattern) {
    return FindText<true>(text, pattern);
}

const char* FindTextExact(const char* text, const char* pattern) {
    return FindText<false>(text, pattern);
}

bool EqualsNoCase(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) return a == b;
    for (; *a != 0 && *b != 0; ++a, ++b)
        if (UpperAscii(*a) != UpperAscii(*b)) return false;
    return *a == *b;
}

bool EndsWithNoCase(const char* text, const char* ending) {
    if (text == nullptr || ending == nullptr) return false;
    size_t n = TextLength(text);
    size_t m = TextLength(ending);
    return m <= n && EqualsNoCase(text + n - m, ending);
}

// The length without the separators at the end.
static size_t LengthWithoutTrailingSeparators(const char* path) {
    size_t n = TextLength(path);
    while (n > 0 && (path[n - 1] == '\\' || path[n - 1] == '/')) --n;
    return n;
}

bool SameFolderText(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) return false;
    size_t n = LengthWithoutTrailingSeparators(a);
    if (n == 0 || n != LengthWithoutTrailingSeparators(b)) return false;
    for (size_t i = 0; i < n; ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

static const char* LastBackslash(const char* path) {
    const char* last = nullptr;
    for (const char* p = path; *p != 0; ++p)
        if (*p == '\\') last = p;
    return last;
}

LongText PathFilePart(const char* path) {
    LongText result;
    if (path == nullptr) return result;
    const char* last = LastBackslash(path);
    result.Assign(last ? last + 1 : path);
    return result;
}

LongText PathFolderPart(const char* path) {
    LongText result;
    if (path == nullptr) return result;
    const char* last = LastBackslash(path);
    if (last == nullptr || last == path) {
        result.Assign(path);
    } else {
        // a folder longer than the result's width comes back cut, and says so through Fits()
        result.Assign(path, static_cast<size_t>(last - path));
    }
    return result;
}

WorkPath JoinPath(const char* folder, const char* name) {
    return JoinPathAs<kPathWidth>(folder, name);
}
