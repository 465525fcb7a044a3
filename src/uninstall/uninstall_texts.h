// Texts the uninstall run shows: the progress window's lines, its questions, its error box and
// its closing messages. No Windows needed: every byte is tested natively.
#pragma once

#include "support/path_buffer.h"

extern const char kProgressUninstallTitle[];
extern const char kPhaseDeleting[];

extern const char kSystemFileCaption[];
extern const char kListedFileNotDeletedCaption[];
extern const char kUserFilesCaption[];
extern const char kPurgeCaption[];
extern const char kUninstalledCaption[];
extern const char kUninstallIncompleteCaption[];

// The question before a file in the Windows, System or Fonts folder is deleted.
void ComposeSystemFileQuestion(const char* path, ScratchBuffer& out);
// The box for a listed file that could not be deleted.
void ComposeListedFileNotDeletedText(const char* path, ScratchBuffer& out);
// The question before the files matching a [WildCopy] pattern are deleted.
void ComposeUserFilesQuestion(const char* pattern, ScratchBuffer& out);
// The question whether every remaining file of the program folder goes too.
void ComposePurgeQuestion(const char* programFolder, const char* appName, ScratchBuffer& out);
// The closing message: everything removed (with the remark about the console on NT-family
// systems), or removed apart from the files the user may have made.
void ComposeUninstalledText(const char* appName, bool purged, bool isNT, ScratchBuffer& out);
// The closing message when the uninstaller cannot remove itself (no self-removal script could be
// written, or none could name the program folder safely): the two files left for the user.
void ComposeUninstallerLeftText(const char* appName, const char* uninstallerPath, const char* listPath,
                                ScratchBuffer& out);
