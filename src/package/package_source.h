// A packed Setup.exe: its package read in place from the program file, which stays open without
// write sharing for the whole run, so nobody can change what is installed from it. The list and
// every file of the installation come straight from there; nothing is unpacked anywhere first.
#pragma once

#include <windows.h>

#include "files/file_ops.h"
#include "package/package_rules.h"

enum class PackageOpening {
    NotPacked,  // nothing behind the program: an ordinary Setup.exe
    Opened,
    Refused,    // PackageRefusal() says why
};

// Looks behind the program for its package and checks everything that can be checked before
// anything is written: for a cabinet every byte of it, for an .xz stream its headers and index
// and the cabinet's tables in it.
PackageOpening OpenOwnPackage();
const PackageCheck& PackageRefusal();
bool IsPackedRun();

// The package's Setup.lst; false when it holds none.
bool PackageList(const unsigned char** bytes, size_t* size);
// The bytes of all the package's files, for the room the installation needs.
unsigned long long PackageUnpackedBytes();

// A file of the package by the name the list gives it, a relative path; a name with wildcards
// finds its first match, as a directory search would. False when the package holds none.
bool FindPackageFile(const char* name, CopySource* source);
// The files a pattern such as "Vorlagen\*.qvv" matches, in the package's order, as a directory
// search of the folder would match them; start with a search of all zero.
struct PackageSearch {
    unsigned Cursor = 0;
};
bool NextPackageMatch(const char* pattern, PackageSearch& search, CopySource* source);
// A pattern's files from the package into the folder (made with its levels), each as a group's
// file is copied; true when none failed.
bool CopyPackageMatches(const char* pattern, const char* targetFolder);
// The first match of the pattern is a file: in the package when the run is packed, otherwise
// beside the program (the current folder).
bool SourceHasMatch(const char* pattern);

// The list copy and the uninstaller of the program folder: the package's Setup.lst, and the
// program part (with its own signature, when it was signed before packing) as Setup.exe.
bool PackageListSource(CopySource* source);
bool ProgramPartSource(CopySource* source);
