// The [WildCopy] groups of an install run: every file a pattern matches, beside the program or in
// its package, copied into the program folder or the group's [WildSubFolder], each recorded.
#pragma once

// After the listed files, from the program's folder sourceDir. Stops at a damaged package and
// when the window was closed.
void CopyWildcardGroups(const char* sourceDir);
