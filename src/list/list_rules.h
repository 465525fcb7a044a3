// Rules that list values must follow before anything is installed or removed: no value may
// lead out of the folder it belongs to, and no composed folder may be cut.
#pragma once

#include "support/path_buffer.h"
#include "list/install_context.h"

enum class ListProblemKind {
    None,
    DotFolder,         // a component made of dots only, such as ".." or "."
    Drive,             // a drive or stream colon, such as "C:"
    LeadingBackslash,  // a value that starts at the root of a drive
    NoProgramFolder,   // Folder empty: the program-files folder itself would be the program folder
    TooLong,           // the program folder or the start-menu group does not fit
    BadCharacter,      // a character Windows refuses in folder names: < > " | ? * or a control character
    DeviceName,        // a name Windows takes for a device, such as CON, NUL or COM1.txt
    StartupGroup,      // the start-menu group would be a startup folder, run at every logon
    // Found only by the author's check (/CHECK): the install would go on, but not as meant.
    NoAppName,         // AppName empty or the list missing: Setup.exe shows only its help
    UnknownSection,    // a section the program does not read: [DesktopLink], or a second [Files]
    UnknownKey,        // a key it does not read (an indexed section's are 1 to 128), or a second one
    ValueCut,          // a value longer than the loading keeps
    MissingFile,       // a listed file that is not beside Setup.exe
    NoMatch,           // a [WildCopy] pattern that matches no file beside Setup.exe
    UnknownFolder,     // an [AltFolder] value that begins with another letter than W, S, F or a backslash
    TargetTooLong,     // a path the install would copy to is longer than Windows takes
    NotInstalled,      // RunOnce or RegFile names no file the install puts into the program folder
    MisleadingFolder,  // an [AltFolder] value "W", "S" or "System": the program folder, not Windows'
    MissingFolder,     // a "W\\sub" or "S\\sub" folder that is not there: the install does not make it
    NoFilesEntry,      // a Links, DesktopLinks, Extensions or AltFolder value without its [Files] one
    Utf8List,          // the list was saved as UTF-8 without a byte-order mark: umlauts read wrong
    BadVersion,        // a ProductVersion that is not one to four numbers separated by dots
    // Found in the command line.
    NotLocalFolder,    // /DIR= names no folder by its whole path on a local drive ("C:\\Apps\\Name")
};

struct ListProblem {
    ListProblemKind Kind = ListProblemKind::None;
    // Set together with the kind; all zero without a problem, so that a new ListProblem is made
    // without a copy of a stored one.
    const char* Section = nullptr;  // "General", "Files", ...
    PathBuffer<16> Key;             // "AppName", or the index of an indexed section
    const char* Value = nullptr;
};

// Takes one problem; returns true to be handed the next one.
using ListProblemSink = bool (*)(const ListProblem& problem, void* data);

// The first rule a path-like value breaks; refuseRoot also refuses a leading backslash.
ListProblemKind PathValueProblem(const char* value, bool refuseRoot);
// BadCharacter when a value that names folders holds a character Windows refuses in names.
ListProblemKind FolderNameProblem(const char* value);

// The first rule that a program folder given whole (/DIR=) breaks: a drive letter, ":\\", then
// names that follow the rules of Folder. Whether the drive is local only Windows can tell.
ListProblemKind ProgramFolderPathProblem(const char* path);

// True when a value names a folder of its own: it has a character other than blanks, dots and
// separators. Windows drops trailing blanks and dots, so "  " or " . " below a folder is that
// folder itself.
bool NamesFolder(const char* value);

// Checks every value that names a folder or file below the program folder, the start-menu
// group or the desktop, and the composed program folder and group. True when the list may be
// used; otherwise problem names the first value that may not.
bool CheckListValues(const InstallContext& context, ListProblem* problem);
// The same, handing each problem to sink in list order until sink returns false: the runs stop at
// the first, the author's check lists them all. A value is named once, for the first rule it
// breaks; AppName once more when the start-menu group does not fit.
bool ReportListProblems(const InstallContext& context, ListProblemSink sink, void* data);

// The problem of an AppName whose start-menu group is a startup folder, which only Windows can
// tell (the folder's name depends on the user's language).
ListProblem StartupGroupProblem(const char* appName);

extern const char kInstallRefusedCaption[];
extern const char kUninstallRefusedCaption[];
// Why a value is a problem, in one sentence.
const char* ListProblemReason(ListProblemKind kind);
// The message that names the value and says why it is refused.
void ComposeListProblemText(const ListProblem& problem, bool uninstalling, ScratchBuffer& out);
