// Shared by the native tests: the portable program's headers, bytes shown as readable UTF-8 (in
// the rules tables, the golden files and messages) and random values as a list or the system could hand over.
#pragma once

#include <iconv.h>

#include <doctest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "app/app_texts.h"
#include "app/command_line_rules.h"
#include "package/package_rules.h"
#include "package/package_texts.h"
#include "package/xz_decoder.h"
#include "list/log_texts.h"
#include "app/self_removal_script.h"
#include "files/file_path_rules.h"
#include "files/file_type_rules.h"
#include "files/install_record_rules.h"
#include "files/placement_rules.h"
#include "install/check_rules.h"
#include "install/install_texts.h"
#include "list/list_rules.h"
#include "support/text_helpers.h"
#include "ui/dialog_texts.h"
#include "uninstall/uninstall_rules.h"
#include "uninstall/uninstall_texts.h"

namespace host {

// Converts between code pages with the C library; false when a byte has no counterpart.
inline bool Convert(const std::string& text, const char* from, const char* to, std::string& out) {
    iconv_t cd = iconv_open(to, from);
    out.assign(text.size() * 4, '\0');
    char *in = const_cast<char*>(text.data()), *next = &out[0];
    size_t inLeft = text.size(), outLeft = out.size();
    bool opened = cd != reinterpret_cast<iconv_t>(-1);
    bool ok = opened && iconv(cd, &in, &inLeft, &next, &outLeft) != static_cast<size_t>(-1);
    if (opened) iconv_close(cd);
    out.resize(out.size() - outLeft);
    return ok;
}

// How each byte of a code page reads: as its character in UTF-8, or as {CR}, {LF} and {TAB}, or as
// {xHH} (other control bytes, the no-break blank, the soft hyphen and bytes the code page leaves undefined).
inline const std::string* ByteNames(const std::string& codePage) {
    static std::map<std::string, std::vector<std::string>> tables;
    std::vector<std::string>& names = tables[codePage];
    for (int c = static_cast<int>(names.size()); c < 256; ++c) {
        std::string one(1, static_cast<char>(c)), utf8, hex(6, 0);
        bool visible = (c >= ' ' && c < 0x7F) || (c >= 0x80 && Convert(one, codePage.c_str(), "UTF-8", utf8) &&
                                                  (one = utf8) != "\xC2\xA0" && one != "\xC2\xAD");
        hex.resize(static_cast<size_t>(std::snprintf(&hex[0], hex.size(), "{x%02X}", c)));
        names.push_back(c == '\r' ? "{CR}" : c == '\n' ? "{LF}" : c == '\t' ? "{TAB}" : visible ? one : hex);
    }
    return names.data();
}

// Bytes as UTF-8. With lines, a real line break follows each {LF} and each {CR} that no LF follows;
// with runs, eight or more equal characters read {c*N}.
inline std::string Show(const std::string& bytes, const char* codePage, bool lines, bool runs) {
    const std::string* names = ByteNames(codePage);
    std::string shown;
    for (size_t i = 0; i < bytes.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        size_t run = 1;
        while (runs && c >= ' ' && c < 0x7F && i + run < bytes.size() && bytes[i + run] == bytes[i]) ++run;
        if (run >= 8) shown += "{" + names[c] + "*" + std::to_string(run) + "}", i += run - 1;
        else shown += names[c];
        if (lines && (c == '\n' || (c == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')))) shown += '\n';
    }
    return shown;
}

// Both the length and the terminator of a text agree with its width.
template <size_t Width>
void CheckWithin(const PathBuffer<Width>& text) {
    CHECK(std::strlen(text.CStr()) == text.Length());
    CHECK(text.Length() < Width);
}

// Mostly short and path-like, sometimes any bytes but zero, sometimes far longer than any width.
inline std::string RandomValue(std::mt19937& random) {
    static const char alphabet[] = "abcXYZ019 .\\/:*?\"<>|%,&\t";
    int kind = std::uniform_int_distribution<int>(0, 9)(random);
    std::string text(std::uniform_int_distribution<size_t>(0, kind < 7 ? 90 : 7000)(random), 'x');
    for (char& c : text)
        c = kind % 2 ? static_cast<char>(std::uniform_int_distribution<int>(1, 255)(random))
                     : alphabet[std::uniform_int_distribution<size_t>(0, sizeof alphabet - 2)(random)];
    return text;
}

}  // namespace host
