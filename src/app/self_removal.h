// The batch script that removes the uninstaller and the program folder after the program ends.
#pragma once

// Composes the script for the running program's folder and writes it into the Windows folder
// under the first free name, remembered in the global state; true when it is ready to be started.
// False when no name could be written, or when the script could not name the program folder or
// the Windows folder in the OEM code page (nor by a short name) and so must not run at all.
bool PrepareSelfRemovalScript();

// Starts the command interpreter on the prepared script, once the program is about to end. A
// script that cannot be started is deleted; false then, or when none was prepared.
bool StartSelfRemovalScript();
