// Where a best-times list lives: its score file, chosen by the puzzle type and the first
// character of the picture's file name, and its section in that file.
#pragma once

#include <string>
#include <string_view>

#include "platform/profile.h"
#include "puzzle/puzzle.h"

// The score directory, GameDirectory() followed by "Scores/".
std::string ScoreDirectory();

// "Times" (sliding) or "Timej" (jigsaw), the first character of the file name in listName
// (after its last "/", or its last "\" when it holds no "/"; a whole UTF-8 character, case
// kept; nothing for a name without a separator, nor for a control character or a byte
// that starts no UTF-8 character), then ".ini", in the score directory.
std::string ScoreFilePath(std::string_view listName, TGameType type);

// The section of a list: the list name itself, unless the profile functions could not
// carry it (control characters, "]", a blank at either end) or it starts with "%"; such a
// name gets "%" followed by the name with those bytes and every "%" written as "%XX".
std::string ScoreSectionName(std::string_view listName);

// How a list's section is found: a picture's list only by its exact path (paths that
// differ in case are different files here); "Alphabet" and "Numeric" as the profile
// functions find any section, without regard to case.
TSectionMatch ScoreSectionMatch(std::string_view listName);

// Writes record under the decimal key in the list's file and section; false on failure.
bool WriteScoreRecord(TGameType type, const char* listName, const char* record, int key);
