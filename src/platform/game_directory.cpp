// The one place that decides where settings and scores live.
#include "platform/game_directory.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/files.h"

namespace fs = std::filesystem;

namespace {

std::string WithSeparator(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

// HOME, else the home the password database gives the user (a program started with an
// empty environment has no HOME), else none.
const char* HomeDirectory() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return home;
  const passwd* user = getpwuid(getuid());
  return user != nullptr ? user->pw_dir : nullptr;
}

std::optional<std::string>& Override() {
  static std::optional<std::string> dir;
  return dir;
}

}  // namespace

std::string ChooseGameDirectory(const std::string& programDirectory, const char* xdgConfigHome,
                                const char* home) {
  const std::string program = WithSeparator(programDirectory);
  // An installed program lies in a system directory the player cannot write to; a
  // program run from its build or unpacked folder keeps its files beside itself. What the
  // package manager owns (under /usr) never takes a player's files, not even root's, or
  // removing the package would leave them behind.
  const bool packaged = program.rfind("/usr/", 0) == 0;
  if (!program.empty() && !packaged && access(program.c_str(), W_OK) == 0) return program;

  fs::path config;
  if (xdgConfigHome != nullptr && *xdgConfigHome == '/') {
    config = xdgConfigHome;
  } else if (home != nullptr && *home != '\0') {
    config = fs::path(home) / ".config";
  } else {
    return NowhereDirectory;
  }
  const fs::path dir = config / "kavro";
  std::error_code error;
  fs::create_directories(dir, error);
  return WithSeparator(dir.string());
}

const char* GameDirectory() {
  if (Override()) return Override()->c_str();
  static const std::string chosen =
      ChooseGameDirectory(ProgramDirectory(), std::getenv("XDG_CONFIG_HOME"), HomeDirectory());
  return chosen.c_str();
}

void SetGameDirectory(const std::string& dir) {
  if (dir.empty()) {
    Override().reset();
  } else {
    Override() = WithSeparator(dir);
  }
}
