// The version as text, from the numbers CMakeLists.txt sets once (QV_VERSION_DOTTED for the text,
// QV_VERSION_NUMBERS for the resource's fixed fields). Spelt without quotes on the command line:
// windres hands its definitions through a shell that would take them.
#pragma once

#define QV_QUOTE_TEXT(x) #x
#define QV_QUOTE(x) QV_QUOTE_TEXT(x)
#define QV_VERSION QV_QUOTE(QV_VERSION_DOTTED)
