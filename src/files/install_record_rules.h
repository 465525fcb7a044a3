// The lines of an installation's record (Uninst.dat beside the uninstaller): what one install run
// put on the machine, one completed action a line, so that the uninstall removes exactly that. No
// Windows needed: tested natively.
//
// A line is a letter, a blank and the fields, ending in CR LF; texts in the ANSI code page:
//   I <AppName>                      an install run begins; what follows is that run's
//   F <size> <time> <path>           a file it wrote or took as its own: decimal size, last-write
//                                    time as 16 hexadecimal digits (100 ns since 1601)
//   D <path>                         a folder it made
//   L <link>TAB<target>              a shortcut it made, and the file it points at
//   T <extensions>TAB<command>       file types it registered with that open command
//   V <HKLM|HKCR>\<key>\<name>TAB<data>  a registry value it wrote, and the data it wrote
// A tab never occurs in a Windows path, so it parts two texts that may hold blanks.
#pragma once

#include "support/path_buffer.h"

enum class RecordKind : char {
    Begin = 'I',
    File = 'F',
    Folder = 'D',
    Link = 'L',
    FileType = 'T',
    Value = 'V',
};

// One line: two texts of at most a working path each, and the fields.
using RecordLineText = PathBuffer<2 * kPathWidth + 64>;

struct RecordLine {
    RecordKind Kind = RecordKind::Begin;
    unsigned long long Size = 0;
    unsigned long long Time = 0;
    const char* Text = "";   // the path, link, extensions, key or AppName
    const char* Other = "";  // the second text of L, T and V lines; empty otherwise
    bool Kept = false;       // the uninstall left the file where it is
};

// The line for the item, CR LF at its end; false when a text is empty, holds a control character,
// or the line does not fit (such an item is not recorded rather than recorded wrongly).
bool ComposeRecordLine(const RecordLine& item, RecordLineText& line);

// Reads one line, without its line end, in place: the tab between two texts becomes a
// terminator, so Text and Other point into line. False for anything that is not a whole line of
// a known kind (a line cut short by a killed install, or a damaged one); it names nothing then.
bool ParseRecordLine(char* line, RecordLine* item);

// The key under which the record knows an item: its kind and texts, letter case aside. A later
// line with the same key tells the newer state of the same item.
unsigned long RecordKeyHash(const RecordLine& item);
bool SameRecordKey(const RecordLine& a, const RecordLine& b);
