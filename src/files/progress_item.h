// The item line of the progress window: the file being worked on. The file operations write it,
// so it lives below the dialogs, which own the window itself.
#pragma once

// Sets the item line (control 102) of the context's progress window and pumps, so the change
// shows; without a progress window it only pumps.
void ShowProgressItem(const char* text);
