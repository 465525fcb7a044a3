// The item line of the progress window: the file being worked on. The file operations write it,
// so it lives below the dialogs, which own the window itself.
#pragma once

// Sets the item line (control 102) of the context's progress window and pumps, so the change
// shows; without a progress window it only pumps. For one file of many: at most every 50 ms,
// so that the line shows the file being worked on when it is due and the rest cost nothing.
void ShowProgressItem(const char* text);
// The same at once: an item that stands for a step of its own, or a file whose work takes
// longer than the update.
void ShowProgressItemNow(const char* text);
