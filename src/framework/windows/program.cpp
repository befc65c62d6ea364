#include "framework/windows/program.h"

#include <utility>

namespace {
TProgramLink& Link() {
  static TProgramLink link;
  return link;
}
}  // namespace

void LinkProgram(TProgramLink link) {
  Link() = std::move(link);
}

TWindow* ProgramMainWindow() {
  return Link().MainWindow ? Link().MainWindow() : nullptr;
}

void QuitProgram(int exitCode) {
  if (Link().Quit) Link().Quit(exitCode);
}
