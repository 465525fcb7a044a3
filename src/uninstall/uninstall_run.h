// The uninstall run.
#pragma once

#include <windows.h>

#include "list/install_context.h"

// Removes what the installation put in place and settles what the self-removal script does with
// the program folder (g_ctx.RemoveProgramFolder, g_ctx.PurgeProgramFolder); message boxes are
// owned by owner or the progress window. The list has passed its check (files/list_check.h)
// before: nothing checks it here.
RunResult RunUninstall(HWND owner);

// The end of the uninstall, once its self-removal script is written or known to be impossible:
// the closing message (none in a quiet uninstall) and the removal of the uninstall entry. Without
// a script the uninstaller and its list stay behind: the message names them, the entry stays, and
// the run counts as failed.
RunResult FinishUninstall(HWND owner, bool selfRemovalReady);
