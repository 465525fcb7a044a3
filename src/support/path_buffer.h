// The one fixed-width text type of the program: a zero-terminated 8-bit text (ANSI code page)
// that cuts at its width instead of overrunning, and remembers that it was cut.
#pragma once

#include <stddef.h>

template <size_t Width>
class PathBuffer {
    static_assert(Width >= 2, "a text needs room for one character and its terminator");

public:
    // Width counts the terminator, as the fixed fields of the list and the context do:
    // a PathBuffer<128> holds at most 127 characters.
    static constexpr size_t kWidth = Width;
    static constexpr size_t kMaxLength = Width - 1;

    // All zero is the empty text, so a global PathBuffer costs no bytes in the program file.
    PathBuffer() = default;
    explicit PathBuffer(const char* text) { Assign(text); }

    void Clear() {
        text_[0] = 0;
        text_[Width] = 0;
        length_ = 0;
        cut_ = false;
    }

    // Each writer returns true when the whole text fitted. A cut is sticky: Fits() stays false
    // until the next Assign or Clear, so a composed path can be checked once at the end.
    bool Assign(const char* text) {
        Clear();
        return Append(text);
    }
    bool Assign(const char* text, size_t maxChars) {
        Clear();
        return Append(text, maxChars);
    }
    template <size_t Other>
    bool Assign(const PathBuffer<Other>& other) {
        Clear();
        bool ok = Append(other.CStr());
        if (!other.Fits()) cut_ = true;
        return ok && other.Fits();
    }

    bool Append(const char* text) { return Append(text, static_cast<size_t>(-1)); }

    // Appends at most maxChars characters of text; stops early at its terminator, so a source
    // array without a terminator is safe as long as maxChars stays within it.
    bool Append(const char* text, size_t maxChars) {
        if (text == nullptr) return true;
        size_t i = 0;
        for (; i < maxChars && text[i] != 0; ++i) {
            if (length_ == kMaxLength) {
                cut_ = true;
                text_[length_] = 0;
                return false;
            }
            text_[length_++] = text[i];
        }
        text_[length_] = 0;
        return true;
    }
    template <size_t Other>
    bool Append(const PathBuffer<Other>& other) {
        bool ok = Append(other.CStr());
        if (!other.Fits()) cut_ = true;
        return ok && other.Fits();
    }
    bool AppendChar(char c) {
        if (c == 0) return true;
        char one[2] = {c, 0};
        return Append(one);
    }

    // Marks the text as cut, for a result derived from a text that was cut itself.
    void MarkCut() { cut_ = true; }

    // Shortens the text to at most newLength characters (no effect when already shorter).
    void Truncate(size_t newLength) {
        if (newLength < length_) {
            length_ = newLength;
            text_[length_] = 0;
        }
    }

    // Lets a platform call fill the text: hand it RawData() and RawSize(), then call Adopt().
    // RawSize() equals Width, so the call can never write past the terminator slot kept behind it.
    char* RawData() { return text_; }
    static constexpr unsigned RawSize() { return static_cast<unsigned>(Width); }
    void Adopt() {
        text_[Width] = 0;
        size_t n = 0;
        while (n < kMaxLength && text_[n] != 0) ++n;
        length_ = n;
        text_[length_] = 0;
    }

    const char* CStr() const { return text_; }
    size_t Length() const { return length_; }
    bool Fits() const { return !cut_; }
    bool IsEmpty() const { return length_ == 0; }
    char First() const { return text_[0]; }
    char Last() const { return length_ ? text_[length_ - 1] : 0; }
    char At(size_t i) const { return i < length_ ? text_[i] : 0; }

    // Upper-cases the first character when it is an ASCII letter; other bytes stay as they are.
    void UpperFirstAscii() {
        if (text_[0] >= 'a' && text_[0] <= 'z') text_[0] = static_cast<char>(text_[0] - 'a' + 'A');
    }

private:
    // One byte more than the width: it stays zero, so no scan can run past the end.
    char text_[Width + 1] = {};
    size_t length_ = 0;
    bool cut_ = false;
};

// Widths used throughout the program.
constexpr size_t kFieldWidth = 128;    // folders of the context and [General] values
constexpr size_t kEntryWidth = 256;    // fields of a list entry
constexpr size_t kPathWidth = 260;     // composed working paths: the longest path Windows takes
constexpr size_t kScratchWidth = 6001; // the shared composition buffer for texts and commands
constexpr size_t kLongTextWidth = 516; // results of the path-part helpers

using FieldText = PathBuffer<kFieldWidth>;
using EntryText = PathBuffer<kEntryWidth>;
using WorkPath = PathBuffer<kPathWidth>;
using ScratchBuffer = PathBuffer<kScratchWidth>;
using LongText = PathBuffer<kLongTextWidth>;
