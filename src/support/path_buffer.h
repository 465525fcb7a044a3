// The one fixed-width text type of the program: a zero-terminated 8-bit text (ANSI code page)
// that cuts at its width instead of overrunning, and remembers that it was cut.
#pragma once

#include <stddef.h>

// What a text of any width keeps beside its characters.
struct PathTextState {
    size_t length;
    bool cut;
};

// The writers, once for all widths (path_buffer.cpp): PathBuffer<Width> only hands them its
// characters, its state and its width, so a program with a dozen widths and hundreds of writes
// carries one copy of each loop instead of one per width and call.
namespace path_text {
void Clear(char* text, PathTextState& state, size_t width);
bool Append(char* text, PathTextState& state, size_t width, const char* source);
bool AppendAtMost(char* text, PathTextState& state, size_t width, const char* source, size_t maxChars);
bool Assign(char* text, PathTextState& state, size_t width, const char* source);
bool AssignAtMost(char* text, PathTextState& state, size_t width, const char* source, size_t maxChars);
bool AppendChar(char* text, PathTextState& state, size_t width, char c);
void Adopt(char* text, PathTextState& state, size_t width);
}  // namespace path_text

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

    void Clear() { path_text::Clear(text_, state_, Width); }

    // Each writer returns true when the whole text fitted. A cut is sticky: Fits() stays false
    // until the next Assign or Clear, so a composed path can be checked once at the end.
    bool Assign(const char* text) { return path_text::Assign(text_, state_, Width, text); }
    bool Assign(const char* text, size_t maxChars) {
        return path_text::AssignAtMost(text_, state_, Width, text, maxChars);
    }
    template <size_t Other>
    bool Assign(const PathBuffer<Other>& other) {
        bool ok = Assign(other.CStr());
        if (!other.Fits()) state_.cut = true;
        return ok && other.Fits();
    }

    bool Append(const char* text) { return path_text::Append(text_, state_, Width, text); }

    // Appends at most maxChars characters of text; stops early at its terminator, so a source
    // array without a terminator is safe as long as maxChars stays within it.
    bool Append(const char* text, size_t maxChars) {
        return path_text::AppendAtMost(text_, state_, Width, text, maxChars);
    }
    template <size_t Other>
    bool Append(const PathBuffer<Other>& other) {
        bool ok = Append(other.CStr());
        if (!other.Fits()) state_.cut = true;
        return ok && other.Fits();
    }
    bool AppendChar(char c) { return path_text::AppendChar(text_, state_, Width, c); }

    // Marks the text as cut, for a result derived from a text that was cut itself.
    void MarkCut() { state_.cut = true; }

    // Shortens the text to at most newLength characters (no effect when already shorter).
    void Truncate(size_t newLength) {
        if (newLength < state_.length) {
            state_.length = newLength;
            text_[newLength] = 0;
        }
    }

    // Lets a platform call fill the text: hand it RawData() and RawSize(), then call Adopt().
    // RawSize() equals Width, so the call can never write past the terminator slot kept behind it.
    char* RawData() { return text_; }
    static constexpr unsigned RawSize() { return static_cast<unsigned>(Width); }
    void Adopt() { path_text::Adopt(text_, state_, Width); }

    const char* CStr() const { return text_; }
    size_t Length() const { return state_.length; }
    bool Fits() const { return !state_.cut; }
    bool IsEmpty() const { return state_.length == 0; }
    char First() const { return text_[0]; }
    char Last() const { return state_.length ? text_[state_.length - 1] : 0; }
    char At(size_t i) const { return i < state_.length ? text_[i] : 0; }

    // Upper-cases the first character when it is an ASCII letter; other bytes stay as they are.
    void UpperFirstAscii() {
        if (text_[0] >= 'a' && text_[0] <= 'z') text_[0] = static_cast<char>(text_[0] - 'a' + 'A');
    }

private:
    // One byte more than the width: it stays zero, so no scan can run past the end.
    char text_[Width + 1] = {};
    PathTextState state_ = {0, false};
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
