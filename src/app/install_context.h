// The one global state of the program: folders, list values, mode flags and the list entries.
#pragma once

#include "../support/path_buffer.h"
#include "../support/win_handles.h"

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

struct InstallContext {
    // folders
    FieldText ListPath;
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

    // flags; the state starts all zero (AllUsersMode is settled by the list loading)
    bool IsNT = false;
    bool SilentInstall = false;
    bool QuietUninstall = false;
    bool CopyOnlyMode = false;
    bool AllUsersMode = false;
    bool PurgeProgramFolder = false;
    bool SelfRemovalPending = false;

    HINSTANCE ModuleInstance = nullptr;
    const char* CommandLine = nullptr;
    HWND ProgressWindow = nullptr;

    // Shared composition buffer for message texts, file names and command lines; whoever fills
    // it uses the text at once.
    ScratchBuffer ScratchText;

    ListEntry InstallList[kListEntryCount];
};

extern InstallContext g_ctx;
