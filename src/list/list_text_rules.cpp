// Reading Setup.lst from its text: its sections and keys, line by line.
#include "list/list_text_rules.h"

#include "support/text_helpers.h"

namespace {

// The white space the profile reader drops around lines, names and values; 0x1A is the end-of-file
// mark old editors leave behind.
bool IsListSpace(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == 0x1A;
}

bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}

void Trim(const char*& start, const char*& end) {
    while (start < end && IsListSpace(*start)) ++start;
    while (end > start && IsListSpace(end[-1])) --end;
}

const char* LastOf(const char* start, const char* end, char c) {
    for (const char* p = end; p > start; --p)
        if (p[-1] == c) return p - 1;
    return nullptr;
}

const char* FirstOf(const char* start, const char* end, char c) {
    for (const char* p = start; p < end; ++p)
        if (*p == c) return p;
    return nullptr;
}

}  // namespace

void WalkListText(const char* text, size_t size, ListLineVisitor visit, void* data) {
    ListTextLine line;
    const char* end = text + size;
    for (const char* next = text; next < end;) {
        const char* start = next;
        while (next < end && !IsLineBreak(*next)) ++next;
        const char* stop = next;
        while (next < end && IsLineBreak(*next)) ++next;
        Trim(start, stop);
        if (start == stop) continue;
        const char* close = *start == '[' ? LastOf(start, stop, ']') : nullptr;
        if (close != nullptr) {
            line.Section = start + 1;
            line.SectionLength = static_cast<size_t>(close - start - 1);
            line.Key = nullptr;
            line.KeyLength = 0;
            line.Value = "";
            line.ValueLength = 0;
        } else {
            const char* equals = FirstOf(start, stop, '=');
            const char* keyEnd = equals != nullptr ? equals : stop;
            const char* value = equals != nullptr ? equals + 1 : stop;
            const char* valueEnd = stop;
            Trim(start, keyEnd);
            Trim(value, valueEnd);
            line.Key = start;
            line.KeyLength = static_cast<size_t>(keyEnd - start);
            line.Value = value;
            line.ValueLength = static_cast<size_t>(valueEnd - value);
        }
        if (!visit(line, data)) return;
    }
}

bool ListNameIs(const char* text, size_t length, const char* name) {
    size_t i = 0;
    for (; i < length; ++i)
        if (name[i] == 0 || UpperAscii(text[i]) != UpperAscii(name[i])) return false;
    return name[i] == 0;
}
