// An installation's record (Uninst.dat, hidden, beside the uninstaller): written line by line as
// the install run goes, read by the next install of the same application and by the uninstall.
// The lines are described in install_record_rules.h.
#pragma once

#include <windows.h>

#include "files/install_record_rules.h"

// A record read into memory: its lines, and an index that finds the newest line of an item.
struct RecordBook {
    char* Text = nullptr;
    RecordLine* Lines = nullptr;
    int Count = 0;
    int* Slots = nullptr;  // open addressing: line index + 1, 0 for a free slot
    unsigned long SlotMask = 0;
    // The first line of the newest install run, behind its begin line; 0 without a begin line.
    // (All zero is an empty book, so a global one costs no bytes in the program file.)
    int RunStart = 0;
};

// Reads the record at path; false (and an empty book) when there is none or it cannot be read.
bool LoadRecordBook(const char* path, RecordBook* book);
void FreeRecordBook(RecordBook* book);
// The index of the newest line for the item's key, -1 when the book does not name it.
int NewestLineFor(const RecordBook& book, const RecordLine& item);
// True when line i is the newest of its item: older lines of an item tell an earlier state.
bool IsNewestLine(const RecordBook& book, int i);

// What became of a recorded file: gone (or a folder now), unchanged (the size and last-write time
// the line recorded: the installation's file as it put it there), or changed by someone since.
// One look at the file for all three, as the uninstall asks it of every file it removes.
enum class RecordedFile { Gone, Unchanged, Changed };
RecordedFile StateOfRecordedFile(const RecordLine& file);

// The record's path for a program folder; may not fit.
WorkPath RecordPathFor(const char* programFolder);

// Opens the program folder's record for an install run and writes its begin line. The record of
// an earlier installation there stays readable through PreviousRecord(), and the new lines go
// behind it until FinishInstallRecord. False (and nothing recorded) when it cannot be opened.
bool BeginInstallRecord(const char* programFolder, const char* appName);
// What an earlier installation in the folder recorded; an empty book without one.
const RecordBook& PreviousRecord();
// One line for each completed action, written through at once: a killed run leaves a record of
// everything it completed. Nothing happens without an open record.
void RecordFile(const char* path);
void RecordFileAs(const char* path, unsigned long long size, const FILETIME& lastWrite);
void RecordFolder(const char* path);
void RecordLink(const char* link, const char* target);
void RecordFileTypes(const char* extensions, const char* command);
// A value by its full name ("HKLM\\...\\Fonts\\DejaVu Sans (TrueType)") and the data written.
void RecordValue(const char* value, const char* data);
// A file the install kept by the date rule, or failed to replace: the line an earlier installation
// wrote for it is carried over, so that it stays the installation's (and a file changed since
// still counts as changed). Only what this run neither put in place nor tried to is settled by
// FinishInstallRecord. False when no earlier line names it.
bool CarryPreviousFile(const char* path);
// After a completed install: what an earlier installation recorded and this one did not put there
// again is dealt with (files and shortcuts unchanged since then removed, changed files kept and
// logged, everything else carried over), and the record is written anew with what is there now.
void FinishInstallRecord();
// Closes the record as it stands (an install that stopped part-way keeps every line it wrote).
void CloseInstallRecord();
