// Fonts in the Fonts folder: taking one out of the font table before its file is replaced or
// deleted, and their registration, which makes Windows load them again after a restart.
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

// Registers the installed font at fontPath under the name Windows gives it (its full name and
// "(TrueType)" or "(OpenType)"), its file name as the value's data, and records the value. What
// another installation had registered under that name is kept in the uninstall entry entryKey
// (null: nowhere). False when the font has no name to register or the value was not written.
bool RegisterFont(const char* fontPath, const char* entryKey);
// Takes back a recorded font value ("HKLM\...\Fonts\<name>", with fileName its data) once its
// file is gone: what another installation had there comes back, or else the value goes. A value
// that names another file by now, or a font still there, stays.
void UnregisterFont(const char* value, const char* fileName, const char* entryKey);
