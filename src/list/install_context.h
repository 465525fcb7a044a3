// The one global state of the program: folders, list values, mode flags and the list entries.
#pragma once

#include "support/path_buffer.h"
#include "support/win_handles.h"

// One index of the list: key i of every indexed section.
struct ListEntry {
    EntryText Files;
    EntryText Links;
    EntryText DesktopLinks;
    EntryText Extensions;
    EntryText AltFolder;
    EntryText WildCopy;
    EntryText WildSubFolder;
};

constexpr int kListEntryCount = 129;  // entry 0 is the program itself, 1 to 128 come from the list

// How many characters of a value the loading keeps: of most values, of Intro1 to Intro3, and of
// [Extensions] and [WildSubFolder]. The author's check reads longer ones again to say so.
constexpr size_t kListValueChars = 79;
constexpr size_t kListIntroChars = 127;
constexpr size_t kListShortChars = 39;

// The program's own files: the list beside it, the program, and its copy in the program folder.
// Inline: one copy in the program file, not one for every source file that names them.
inline constexpr char kListFileName[] = "Setup.lst";
inline constexpr char kSetupFileName[] = "Setup.exe";
inline constexpr char kUninstallerFileName[] = "Uninst.exe";
// The installation's record beside the uninstaller: what the install put on the machine.
inline constexpr char kRecordFileName[] = "Uninst.dat";

// A list value is set when its first character is above a blank. The profile reader drops the
// blanks around a value, so one that still begins with a blank (or a control character) came
// quoted and is treated as not set rather than as a name Windows would shorten.
inline bool IsListValueSet(const char* value) {
    return value != nullptr && static_cast<unsigned char>(value[0]) > ' ';
}
template <size_t Width>
bool IsListValueSet(const PathBuffer<Width>& value) {
    return IsListValueSet(value.CStr());
}

// How a command ended; the main window turns it into the exit code.
enum class RunResult {
    Done,      // completed
    Declined,  // the user said no before anything was done
    Refused,   // the list or the command may not be used; nothing was done
    Failed,    // stopped part-way, or the window was closed during the run
    AnotherCopy,  // another copy of the program runs; nothing was done
    NoWindowClass,  // the background window's class could not be registered
    NoWindow,       // the background window could not be created
};

struct InstallContext {
    // folders
    WorkPath ListPath;  // empty when the program's folder leaves no room for the list's name
    FieldText WindowsDir;
    FieldText FontsDir;
    FieldText SystemDir;
    FieldText TargetDir;
    FieldText SourceDir;
    FieldText ProgramsDir;
    FieldText ProgramGroupDir;

    // [General]
    FieldText AppName;
    FieldText Version;
    FieldText Copyright;
    FieldText Folder;
    FieldText AllUsers;
    FieldText RunOnce;
    FieldText RegFile;
    FieldText CopyOnly;
    FieldText Intro1;
    FieldText Intro2;
    FieldText Intro3;
    FieldText Publisher;       // for the uninstall entry; from the program's version resource without one
    FieldText ProductVersion;  // the same

    // flags; the state starts all zero (AllUsersMode is settled by the list loading)
    bool IsNT = false;
    bool HasList = false;  // a list was read (its values may still be empty)
    bool SilentInstall = false;
    bool QuietUninstall = false;
    bool Unattended = false;      // /Q: nothing shown, nothing waited for (implies the two above)
    bool RunHadProblems = false;  // under /Q: something failed, or was skipped for a failure
    bool RestartNeeded = false;   // under /Q: a file in use is replaced at the next restart
    bool PackageDamaged = false;  // a packed program's package proved damaged while it was installed
    bool CopyOnlyMode = false;
    bool AllUsersMode = false;
    // The uninstall's decisions about the program folder: whether the installation made it (its
    // uninstall entry says so), whether the script removes it, and whether it empties it first.
    bool ProgramFolderCreated = false;
    bool RemoveProgramFolder = false;
    bool PurgeProgramFolder = false;

    HINSTANCE ModuleInstance = nullptr;
    const char* CommandLine = nullptr;
    HWND ProgressWindow = nullptr;

    // The self-removal script written at the end of an uninstall, waiting for the program to end
    // before it is started; empty when there is none.
    WorkPath SelfRemovalScript;

    // Shared composition buffer for message texts, file names and command lines; whoever fills
    // it uses the text at once.
    ScratchBuffer ScratchText;

    ListEntry InstallList[kListEntryCount];
};

extern InstallContext g_ctx;
