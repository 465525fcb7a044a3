// For the author's check: [AltFolder] values whose letter promises the Windows or System folder
// while the install puts the file into the program folder, and the sub-folder a "W\sub" or
// "S\sub" value names, whose existence the check can look up.
#pragma once

#include "support/path_buffer.h"

// 'W' or 'S' for a value (first letter upper-cased, as the loading leaves it) that begins with
// that letter but not with the letter and a backslash: "W", "S", "Windows", "System", "Sys32"
// put the file into the program folder, though the author likely meant "W\" or "S\". 0 for
// every other value: "W\", "S\Treiber", "F" and "Fonts" (the Fonts folder goes by its letter
// alone), "\Daten", the empty value, and letters the check reports as unknown anyway.
char MisleadingAltFolderLetter(const char* altFolder);

// The sub-folder of the Windows or System folder that a "W\sub" or "S\sub" value names: the text
// behind the first backslash ("sub"). Empty for "W\" and "S\" alone and for every other value.
EntryText AltFolderSystemSubFolder(const char* altFolder);
