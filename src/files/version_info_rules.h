// What the install reads from a program's version resource: the VS_VERSIONINFO block its
// RT_VERSION resource holds, as LoadResource hands it over (nested blocks of wLength,
// wValueLength, wType, a UTF-16 key, padding to 32 bits, the value and the child blocks).
#pragma once

#include <stddef.h>

#include "files/product_version_rules.h"
#include "support/path_buffer.h"

// As many characters as the program keeps of a list value, and one for the terminator.
using CompanyText = PathBuffer<80>;

// The product version of the block's fixed part (VS_FIXEDFILEINFO, dwProductVersionMS and LS):
// its four parts and the text "3.7.0.0". False, and a zero version, for a block that is damaged
// or has no fixed part.
bool VersionResourceProductVersion(const unsigned char* block, size_t size, VersionNumber& version);

// The CompanyName string in code page 1252, from the string table 040704B0, 040704E4, 040904B0
// or 040904E4, the first of these the block holds (German before US English, as the program
// speaks German), else from its first string table. False, and the name empty, for a block that
// is damaged, has no such string, an empty one, or one with a character code page 1252 lacks.
// False also for a name longer than 79 characters: it then holds the first 79, marked cut.
bool VersionResourceCompanyName(const unsigned char* block, size_t size, CompanyText& name);
