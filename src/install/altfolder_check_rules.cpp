// [AltFolder] as the install reads it (files/placement_rules.cpp): W or S followed by a backslash
// is the Windows or System folder, F alone picks the Fonts folder, anything else the program
// folder. The check points out values that look like the first but are read as the last.
#include "install/altfolder_check_rules.h"

namespace {

bool NamesSystemFolder(const char* altFolder) {
    return altFolder != nullptr && (altFolder[0] == 'W' || altFolder[0] == 'S') && altFolder[1] == '\\';
}

}  // namespace

char MisleadingAltFolderLetter(const char* altFolder) {
    if (altFolder == nullptr || (altFolder[0] != 'W' && altFolder[0] != 'S') || NamesSystemFolder(altFolder))
        return 0;
    return altFolder[0];
}

EntryText AltFolderSystemSubFolder(const char* altFolder) {
    EntryText sub;
    if (NamesSystemFolder(altFolder)) sub.Assign(altFolder + 2);
    return sub;
}
