// What only the uninstall run looks for: the companions of a listed file, the files and folders
// of the wildcard groups. No Windows needed: tested natively.
#pragma once

#include "support/path_buffer.h"

// The help-index companions (.GID, .FTS) of a file whose name contains ".HLP", then the settings
// companions (.INI, .PIF) of one whose name contains ".EXE", in the order they are deleted. Only
// the name is searched, so a folder called "Tools.exe" never leads out of the file's folder.
struct CompanionFiles {
    WorkPath Paths[4];
    int Count = 0;
};
CompanionFiles CompanionFilesOf(const char* installedPath);

// The pattern a [WildCopy] value's files were copied under: the program folder, the
// [WildSubFolder] value if one is given, and the pattern's name part (the install run copies the
// matching files under their names alone).
WorkPath WildPatternPath(const char* targetDir, const char* wildSubFolder, const char* wildCopy);
// True when the [WildSubFolder] value sub names the folder kept or one inside it (letter case,
// "/" for "\" and trailing separators do not count): its tree may not be deleted then.
bool SubFolderHoldsKept(const char* sub, const char* kept);

// True when path names something inside folder: the folder's text (letter case aside), a
// backslash and a rest that has no "." or ".." part and no empty one ("/" parts as "\" does).
// A record line that names anything else cannot be the installation's.
bool IsPathBelow(const char* path, const char* folder);
