// Helpers around Windows services: existence tests and file identity, the message pump, message
// boxes, dialog and window creation, registry strings, shell folders and the OEM conversion.
// None of them reads the program's global state: what they need comes as arguments.
#pragma once

#include <windows.h>

#include "support/path_buffer.h"

// Converts the ANSI text to the OEM code page (batch files are read in it); true only when the
// whole text converted and converts back to the very same bytes.
// A character the OEM code page lacks becomes a look-alike ("Ž" turns into "Z"), and a path
// converted so names another file or folder.
bool ToOemTextExact(const char* text, LongText& oem);

// True when the first match of the path (a wildcard pattern is allowed) is a file / a folder.
// A path ending in a backslash or naming a bare drive root is reported as not existing.
bool FileExists(const char* path);
bool FolderExists(const char* path);

// A file or folder as the file system knows it, whatever way its path is spelled (letter case,
// short names). Known is false when it cannot be opened at all.
struct FileIdentity {
    bool Known = false;
    DWORD Volume = 0;
    DWORD IndexHigh = 0;
    DWORD IndexLow = 0;
};
FileIdentity IdentityOf(const char* path);
// Both are known and the same file or folder.
bool SameIdentity(const FileIdentity& first, const FileIdentity& second);
// Both paths are known and open as the same file or folder.
bool IsSameFile(const char* first, const char* second);

// Both paths name the same folder: spelled alike but for letter case and separators at the end,
// or both open as the same folder (short names, umlauts in another case).
bool IsSameFolder(const char* first, const char* second);

// A link (symbolic link or junction): never entered, and attributes set on it could reach the
// file it points to.
inline bool IsLinkAttributes(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

inline unsigned long long FileSize64(DWORD high, DWORD low) {
    return (static_cast<unsigned long long>(high) << 32) | low;
}

// Dispatches every waiting message of the thread and returns when none is left. A quit message
// met here means the background window was closed during a run: nothing more of the run may
// happen. It stays in the queue for the message loop, and from then on the pump dispatches
// nothing and returns false, as RunStopped() does, so that the run returns as soon as it looks.
bool PumpPendingMessages();
bool RunStopped();

// A message box with the program's own icon (a resource of instance), always brought to the
// foreground.
int ShowIconMessage(HINSTANCE instance, HWND owner, const char* text, const char* caption, const char* iconName,
                    UINT style);

INT_PTR RunModalDialog(HINSTANCE instance, const char* name, HWND owner, DLGPROC proc);
HWND OpenModelessDialog(HINSTANCE instance, const char* name, HWND owner, DLGPROC proc);
HWND CreateAppWindow(const char* className, const char* caption, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);

// Tells every top-level window that the fonts changed; a hung window does not hold it up.
void BroadcastFontChange();

// The text of a registry value, or the empty string when the key or value is missing or the
// value does not fit its 1024 characters.
PathBuffer<1025> ReadRegString(HKEY root, const char* subKey, const char* valueName);
// Creates the key (all missing levels) and stores the text as REG_SZ; true when the key exists.
bool WriteRegString(HKEY root, const char* subKey, const char* valueName, const char* text);
// Creates the key (all missing levels) and stores the number as REG_DWORD; true when stored.
bool WriteRegDword(HKEY root, const char* subKey, const char* valueName, DWORD value);
// The number of a REG_DWORD value; false when the key or value is missing or of another type.
bool ReadRegDword(HKEY root, const char* subKey, const char* valueName, DWORD* value);
// True when the key has a value of that name, of whatever type.
bool RegValueExists(HKEY root, const char* subKey, const char* valueName);
// True when the value was there and is gone (null valueName: the key's default value).
bool DeleteRegValue(HKEY root, const char* subKey, const char* valueName);

// A registry value as stored (its type and bytes), for a value kept aside and written back
// unchanged. Longer values are not kept: the values kept are commands, a path and a few
// characters.
constexpr unsigned long kRegValueBytes = 2048;
struct RegValue {
    DWORD Type = REG_NONE;
    DWORD Size = 0;
    BYTE Data[kRegValueBytes + 1] = {};  // room for a terminator behind a text that lacks one
};
enum class RegValueRead { Missing, Read, Unreadable };
// Missing when the key or the value is not there; Unreadable when it is longer than
// kRegValueBytes or cannot be read. A text read is terminated.
RegValueRead ReadRegValue(HKEY root, const char* subKey, const char* valueName, RegValue* value);
// Creates the key (all missing levels) and stores the value as it was read; true when stored.
bool WriteRegValue(HKEY root, const char* subKey, const char* valueName, const RegValue& value);

using ShellFolderText = PathBuffer<501>;
// "Programs" or "Desktop", for all users ("Common Programs", ...) or for the current user.
ShellFolderText GetShellFolder(const char* name, bool allUsers);
// True when the folder is the current user's or all users' startup folder, whatever the shell
// names it in the user's language: Windows starts every shortcut in it at logon.
bool IsStartupFolder(const char* folder);

// The full path of this program in the ANSI code page; a folder whose name the code page cannot
// spell is given by its short name. Empty when it does not fit, or has no such name.
WorkPath ModulePath();

// Makes the folder the current directory; a bare drive ("C:") means its root, not the drive's
// own current directory.
bool EnterFolder(const char* folder);
