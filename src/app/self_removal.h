// The batch script that removes the uninstaller and the program folder after the program ends.
#pragma once

// Writes the script into the Windows folder and starts the command interpreter on it.
void WriteSelfRemovalScript();

// The same for the given program folder (the running program's own folder in the program); true
// when the script was written and the interpreter started. Tests hand it a folder of their own.
bool WriteSelfRemovalScriptFor(const char* programFolder);
