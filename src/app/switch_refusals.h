// What the command line decides beyond the mode, checked before anything is done: switches the
// program does not know, and the program folder of /DIR=.
#pragma once

// A switch that no known switch begins with ends the run: a caller that asked for something the
// program cannot do (/VERYSILENT) must not get an interactive install that waits for ever. The
// box, or under /Q the log, names it. True when the run ends.
bool RefuseUnknownSwitch();

// The program folder, where not the list decides it: /DIR= in every mode, and an uninstaller
// started from its own folder, which is the program folder whatever folder the list names (a
// /DIR= install put it there). True when a /DIR= folder may not be used and the run ends.
bool RefuseProgramFolder();
