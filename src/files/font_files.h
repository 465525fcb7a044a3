// Fonts in the Fonts folder: taking one out of the font table before its file is replaced or
// deleted.
#pragma once

// Unloads the font at fontPath; a table may also know it by another name (the bare file name, or
// the list value it was installed from). Wine never unloads a font this way: false then, and the
// file may not be deletable. True when it was unloaded.
bool UnloadFont(const char* fontPath, const char* otherName);

// Puts the whole new copy of a font (newCopy, beside it) in the place of the installed one:
// unloads the installed font, clears its attributes, moves the copy over it and tells every
// window that the fonts changed. True when the copy took its place; when it did not, the
// installed file is still there (the caller loads it again) and the copy is left to the caller.
bool ReplaceInstalledFont(const char* newCopy, const char* fontPath);
