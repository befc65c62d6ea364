// Where the game keeps the files it writes for itself: settings and scores.
#pragma once

#include <string>

// Where a player with no home keeps nothing: every file below it fails to open, so the
// game plays on without writing anywhere, and never into a packaged program's folder.
inline constexpr const char* NowhereDirectory = "/dev/null/";

// The program directory when it can be written, otherwise the user's configuration
// directory ($XDG_CONFIG_HOME/kavro/, by default ~/.config/kavro/, the home taken from
// the password database when HOME is unset), made when first needed; NowhereDirectory
// without either. Always ends in a path separator. Decided once per run.
const char* GameDirectory();

// Makes GameDirectory answer dir (a separator is added when missing); an empty dir
// returns to the decision above. Tests point it at a scratch folder.
void SetGameDirectory(const std::string& dir);

// The decision itself, for the given program directory and environment values (either
// may be null or empty). Creates the configuration directory when it is chosen.
std::string ChooseGameDirectory(const std::string& programDirectory, const char* xdgConfigHome,
                                const char* home);
