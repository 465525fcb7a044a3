// The check of the list values before a run may write or delete anything.
#pragma once

#include <windows.h>

// Shows why the list may not be used (a value that leads out of its folder, a folder that does
// not fit, ...) in a box owned by owner; true when the list was refused. An install also refuses
// an AppName whose start-menu group would be a startup folder.
bool RefuseBadList(HWND owner, bool uninstalling);

// True when an install would make its start-menu group in a startup folder.
bool GroupIsStartupFolder();
