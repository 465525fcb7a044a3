// The bounded text type: exact boundaries, the sticky cut mark, and no overrun whatever comes in.
#include <doctest.h>

#include <cstring>
#include <random>
#include <vector>

#include "list/install_context.h"
#include "support/path_buffer.h"

TEST_CASE("a text fills its width exactly and cuts one character later") {
    PathBuffer<6> text;
    CHECK(text.Assign("12345"));
    CHECK(text.Fits());
    CHECK(text.Length() == 5);
    CHECK(std::strcmp(text.CStr(), "12345") == 0);

    CHECK_FALSE(text.Assign("123456"));
    CHECK_FALSE(text.Fits());
    CHECK(std::strcmp(text.CStr(), "12345") == 0);

    PathBuffer<6> appended("1234");
    CHECK_FALSE(appended.Append("56"));  // one character fits, the second is cut
    CHECK(std::strcmp(appended.CStr(), "12345") == 0);
}

TEST_CASE("a cut stays marked until the text is assigned again") {
    PathBuffer<4> text("abcdef");
    CHECK_FALSE(text.Fits());
    text.Truncate(1);
    CHECK(text.Append("x"));
    CHECK_FALSE(text.Fits());  // a shortened cut text is still not the text that was meant
    CHECK(text.Assign("ok"));
    CHECK(text.Fits());
}

TEST_CASE("a cut source marks the copy as cut") {
    PathBuffer<8> small("0123456789");
    PathBuffer<64> big;
    CHECK_FALSE(big.Assign(small));
    CHECK_FALSE(big.Fits());
    CHECK(std::strcmp(big.CStr(), "0123456") == 0);
    PathBuffer<64> other("x");
    CHECK_FALSE(other.Append(small));
    CHECK(std::strcmp(other.CStr(), "x0123456") == 0);
}

TEST_CASE("bounded reads of sources without a terminator") {
    const char raw[4] = {'a', 'b', 'c', 'd'};  // no terminator at all
    PathBuffer<16> text;
    CHECK(text.Assign(raw, sizeof raw));
    CHECK(std::strcmp(text.CStr(), "abcd") == 0);
    CHECK(text.Assign("abc\0def", 7));  // stops at the terminator inside the range
    CHECK(text.Length() == 3);
}

TEST_CASE("emptiness, first and last characters, upper-casing of the first letter") {
    PathBuffer<16> text;
    CHECK(text.IsEmpty());
    CHECK(text.Last() == 0);
    text.Assign("\x1F" "abc");
    CHECK_FALSE(text.IsEmpty());
    CHECK_FALSE(IsListValueSet(text));  // a list value that begins below or at a blank is not set
    text.Assign(" x");
    CHECK_FALSE(IsListValueSet(text));
    text.Assign("x");
    CHECK(IsListValueSet(text));
    text.Assign("w\\ShellNew");
    text.UpperFirstAscii();
    CHECK(std::strcmp(text.CStr(), "W\\ShellNew") == 0);
    text.Assign("\xE4rger");  // only ASCII letters change
    text.UpperFirstAscii();
    CHECK(static_cast<unsigned char>(text.First()) == 0xE4);
    CHECK(text.Last() == 'r');
    CHECK(text.At(99) == 0);
}

TEST_CASE("platform fills through the raw buffer can never reach past the terminator slot") {
    PathBuffer<8> text;
    std::memset(text.RawData(), 'x', text.RawSize());  // a call that writes its whole size
    text.Adopt();
    CHECK(text.Length() == 7);
    CHECK(std::strlen(text.CStr()) == 7);
}

TEST_CASE("randomised overlong and odd input never overruns") {
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<size_t> length(0, 700);
    for (int round = 0; round < 2000; ++round) {
        std::vector<char> source(length(random) + 1);
        for (char& c : source) c = static_cast<char>(byte(random) | 1);  // no terminators inside
        source.back() = 0;
        PathBuffer<128> field;
        bool fitted = field.Assign(source.data());
        CHECK(fitted == (source.size() - 1 <= 127));
        CHECK(std::strlen(field.CStr()) == field.Length());
        CHECK(field.Length() <= 127);
        PathBuffer<16> small;
        small.Assign(source.data(), source.size() - 1);
        small.Append(field);
        CHECK(small.Length() <= 15);
    }
}
