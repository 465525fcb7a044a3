// The batch script that removes the uninstaller and the program folder after the program ends.
#pragma once

// Writes the script into the Windows folder and starts the command interpreter on it.
void WriteSelfRemovalScript();
