// Fonts in the Fonts folder: taking one out of the font table before its file is replaced or
// deleted.
#pragma once

// Unloads the font at fontPath; a table may also know it by another name (the bare file name, or
// the list value it was installed from). Wine never unloads a font this way: false then, and the
// file may not be deletable. True when it was unloaded.
bool UnloadFont(const char* fontPath, const char* otherName);

// Before a font that is already installed is replaced: unloads it, clears its attributes, deletes
// the file and tells every window that the fonts changed. True when no file is left at the path
// (also when there was none; nothing is done then).
bool RemoveInstalledFont(const char* fontPath);
