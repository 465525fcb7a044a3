// The author's dry run (/CHECK): Setup.lst beside the program checked for every problem at once.
#pragma once

#include "list/install_context.h"

// Reports every problem of the list: the rules the install applies before it writes, listed files
// and RegFile missing, patterns that match nothing, unknown [AltFolder] letters, values the loading
// cuts, paths too long to copy to, a RunOnce that names nothing installed, and sections and keys
// the program does not read. Writes nothing (but the log); the report goes into a box, under /Q
// only into the log, a line per problem. Done when nothing was found, otherwise Refused.
RunResult RunListCheck();
