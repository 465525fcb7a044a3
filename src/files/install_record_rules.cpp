// The lines of an installation's record: composing and reading them.
#include "files/install_record_rules.h"

#include "support/text_helpers.h"

namespace {

constexpr int kTimeDigits = 16;

bool HasTwoTexts(RecordKind kind) {
    return kind == RecordKind::Link || kind == RecordKind::FileType || kind == RecordKind::Value;
}

bool IsKnownKind(char c) {
    return c == 'I' || c == 'F' || c == 'D' || c == 'L' || c == 'T' || c == 'V';
}

// A text of a line: not empty (but the value name of a V line, which is empty for a key's
// default value) and free of control characters, which would break the line or its parts.
bool IsLineText(const char* text, bool mayBeEmpty) {
    if (text == nullptr || (text[0] == 0 && !mayBeEmpty)) return false;
    for (; *text != 0; ++text)
        if (static_cast<unsigned char>(*text) < ' ') return false;
    return true;
}

void AppendHex(RecordLineText& line, unsigned long long value) {
    for (int shift = (kTimeDigits - 1) * 4; shift >= 0; shift -= 4)
        line.AppendChar("0123456789ABCDEF"[(value >> shift) & 0xF]);
}

// Reads the digits of a field up to the blank behind it; false without digits, without the
// blank, or when the number overflows.
bool ReadNumber(char*& p, unsigned base, unsigned long long* value) {
    *value = 0;
    char* start = p;
    for (;; ++p) {
        unsigned digit;
        char c = *p;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
        else break;
        if (*value > (~0ull - digit) / base) return false;
        *value = *value * base + digit;
    }
    if (p == start || *p != ' ') return false;
    ++p;
    return true;
}

unsigned long HashText(unsigned long hash, const char* text) {
    for (; *text != 0; ++text) hash = (hash ^ static_cast<unsigned char>(UpperAscii(*text))) * 16777619u;
    return hash;
}

}  // namespace

bool ComposeRecordLine(const RecordLine& item, RecordLineText& line) {
    line.Clear();
    bool twoTexts = HasTwoTexts(item.Kind);
    if (!IsLineText(item.Text, item.Kind == RecordKind::Begin) ||
        (twoTexts && !IsLineText(item.Other, item.Kind == RecordKind::Value)))
        return false;
    line.AppendChar(static_cast<char>(item.Kind));
    line.AppendChar(' ');
    if (item.Kind == RecordKind::File) {
        line.Append(DecimalText(item.Size, false));
        line.AppendChar(' ');
        AppendHex(line, item.Time);
        line.AppendChar(' ');
    }
    line.Append(item.Text);
    if (twoTexts) {
        line.AppendChar('\t');
        line.Append(item.Other);
    }
    line.Append("\r\n");
    return line.Fits();
}

bool ParseRecordLine(char* line, RecordLine* item) {
    *item = RecordLine();
    if (line == nullptr || !IsKnownKind(line[0]) || line[1] != ' ') return false;
    item->Kind = static_cast<RecordKind>(line[0]);
    char* p = line + 2;
    if (item->Kind == RecordKind::File && (!ReadNumber(p, 10, &item->Size) || !ReadNumber(p, 16, &item->Time)))
        return false;
    item->Text = p;
    char* tab = nullptr;
    for (; *p != 0; ++p) {
        if (*p == '\t' && tab == nullptr) tab = p;
        else if (static_cast<unsigned char>(*p) < ' ') return false;
    }
    if (HasTwoTexts(item->Kind) != (tab != nullptr)) return false;
    if (tab != nullptr) {
        *tab = 0;
        item->Other = tab + 1;
    }
    return item->Kind == RecordKind::Begin || (item->Text[0] != 0 && (item->Other[0] != 0 || !HasTwoTexts(item->Kind) ||
                                                                      item->Kind == RecordKind::Value));
}

unsigned long RecordKeyHash(const RecordLine& item) {
    unsigned long hash = (2166136261u ^ static_cast<unsigned char>(item.Kind)) * 16777619u;
    hash = HashText(hash, item.Text);
    return HashText(hash * 31u, item.Other);
}

bool SameRecordKey(const RecordLine& a, const RecordLine& b) {
    return a.Kind == b.Kind && EqualsNoCase(a.Text, b.Text) && EqualsNoCase(a.Other, b.Other);
}
