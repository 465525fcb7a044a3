// The process exit codes, documented for deployment scripts. One command per process: its result
// becomes the exit code.
#pragma once

#include "list/install_context.h"

constexpr int kExitDone = 0;           // completed, or the user declined
constexpr int kExitFailed = 1;         // failed, refused or aborted, or the window closed during a run
constexpr int kExitWindowFailed = 254; // the background window could not be created
constexpr int kExitClassFailed = 255;  // its window class could not be registered

constexpr int ExitCodeFor(RunResult result) {
    return result == RunResult::Done || result == RunResult::Declined ? kExitDone : kExitFailed;
}
