// The text on a letter or number tile.
#pragma once

#include <string>

#include "puzzle/puzzle.h"

// Numeric tiles show the number; letter tiles count A..Z a..z, then two letters: AA for
// 53, Aa for 79, BA for 105, up to Gj for 400.
std::string LabelText(TContentKind kind, int number);
