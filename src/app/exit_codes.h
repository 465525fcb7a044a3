// The process exit codes, documented for deployment scripts. One command per process: its result
// becomes the exit code.
#pragma once

#include "list/install_context.h"

constexpr int kExitDone = 0;            // completed, or the user declined
constexpr int kExitFailed = 1;          // failed, refused or aborted, or the window closed during a run
constexpr int kExitWithProblems = 2;    // /Q: completed, but something was skipped or kept (see the log)
constexpr int kExitAnotherCopy = 3;     // /Q: another copy of the program is running
constexpr int kExitRestartNeeded = 3010;  // /Q: completed, a file in use is replaced at the next restart
constexpr int kExitWindowFailed = 254;  // the background window could not be created
constexpr int kExitClassFailed = 255;   // its window class could not be registered

// Without /Q a run answers every question by the user's own choice, so it has no "with problems".
// 3010 is what deployment tools read as "done, restart needed"; a problem besides it is the
// louder news.
constexpr int ExitCodeFor(RunResult result, const InstallContext& context) {
    if (result == RunResult::AnotherCopy) return context.Unattended ? kExitAnotherCopy : kExitDone;
    if (result == RunResult::NoWindowClass) return kExitClassFailed;
    if (result == RunResult::NoWindow) return kExitWindowFailed;
    if (result != RunResult::Done && result != RunResult::Declined) return kExitFailed;
    if (!context.Unattended) return kExitDone;
    if (context.RunHadProblems) return kExitWithProblems;
    return context.RestartNeeded ? kExitRestartNeeded : kExitDone;
}
