// Making room for a font file that is to be replaced in the Fonts folder.
#pragma once

// Before a font that is already installed is replaced: unloads it from the font table, clears
// its attributes, deletes the file and tells every window that the fonts changed. True when no
// file is left at the path (also when there was none; nothing is done then).
bool RemoveInstalledFont(const char* fontPath);
