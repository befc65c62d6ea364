// Start-up steps for the score files, run by the main window while it sets itself up, in
// this order: MakeScoreDirectory, CheckScoreFormatChange, ImportOldScores. The previous
// version's list files "Scores.ini" (sliding) and "Scorej.ini" (jigsaw) are looked for in
// GameDirectory() only. Message boxes are owned by owner (none: the active window).
#pragma once

#include "puzzle/puzzle.h"

class TWindow;

// Makes the score directory; an existing one is no error. False when it is not there.
bool MakeScoreDirectory();

// Once per settings file (key "FIRST" of section "KAVRO"): when a list file of the version
// that counted moves is there, tells the player its scores go and deletes both files.
void CheckScoreFormatChange(const char* settingsPath, TWindow* owner);

// Once, when the settings file holds the key "PIECES" of section "KAVRO" (which goes):
// when a previous version's list file is there, asks whether to take its lists over,
// converts both files on Yes, and deletes them whatever the answer.
void ImportOldScores(const char* settingsPath, TWindow* owner);

// Takes the lists of one previous-version list file into the score files of type. Its
// sections name lists (lines outside one, or in one without a name, are skipped); there
// "N<d>=name" and "T<d>=seconds" with the same digit d (1 to 9) make one entry of a board
// of d + 2 rows and columns. Names are cut to 51 characters, times to 11. Each entry
// replaces the list's entry of its size or follows the last one, so the keys stay
// consecutive. The files come from a system where names that differ only in the case of
// ASCII letters are one picture: every section of a list, in whatever case, adds to one
// list under the name's first spelling, and of a size that an earlier section gave, the
// better time stays (a time of 0, missing or unreadable, is beaten by any other). A file
// that cannot be opened is skipped.
void ConvertOldScoreFile(const char* fileName, TGameType type);
