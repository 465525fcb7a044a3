// PLACEHOLDER until the self-removal script lands: keeps Setup.exe linkable.
#include "self_removal.h"

void WriteSelfRemovalScript() {}
