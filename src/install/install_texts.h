// Texts and command lines the install run composes. No Windows needed: every byte is tested
// natively.
#pragma once

#include "support/path_buffer.h"

extern const char kProgressInstallTitle[];
extern const char kPhaseCopying[];
extern const char kPhaseUserFiles[];
extern const char kPhaseUpdating[];
extern const char kItemGroups[];
extern const char kItemShortcuts[];

extern const char kErrorCaption[];
extern const char kAbortCaption[];
extern const char kTargetNotCreatedText[];
extern const char kNoFilesText[];
extern const char kSuccessCaption[];
extern const char kUninstallLinkCaption[];
extern const char kUninstallLinkQuestion[];

// "<path> nicht gefunden." (the retry question) and "<Files> nicht gefunden.\rSetup abgebrochen."
void ComposeSourceMissingQuestion(const char* sourcePath, ScratchBuffer& out);
void ComposeSourceMissingAbort(const char* listedName, ScratchBuffer& out);
void ComposeSuccessText(const char* appName, bool copyOnly, ScratchBuffer& out);
// The refusal of an install while the application's uninstall entry names an installation in
// another folder, which is to be uninstalled first.
void ComposeInstalledElsewhereText(const char* appName, const char* otherFolder, ScratchBuffer& out);
// The refusal of a program folder that holds the list copy of another application.
void ComposeOtherApplicationsFolderText(const char* programFolder, const char* otherAppName, const char* appName,
                                        ScratchBuffer& out);

// "Fehler beim Registrieren von «path»" and "Fehler beim Ausführen von «path»".
void ComposeRegistryImportError(const char* path, ScratchBuffer& out);
void ComposeStartError(const char* path, ScratchBuffer& out);

// The registry editor started by its full path in the Windows folder (never by a bare name,
// which would find a planted Regedit.exe beside the program first), importing the file quietly.
// False when the command does not fit.
bool ComposeRegistryImportCommand(const char* windowsDir, const char* regFilePath, bool isNT, ScratchBuffer& out);

// The command line that starts the RunOnce value from the program folder. The program path is
// quoted, so that a blank in the folder cannot make Windows start C:\Program.exe instead: the
// whole value when it names an existing file, otherwise its first word, with the rest passed
// as arguments. False when it does not fit.
bool ComposeRunOnceCommand(const char* programFolder, const char* runOnce, bool wholeValueIsFile,
                           ScratchBuffer& out);

