// File and directory helpers with the results the game's code checks for.
#include "platform/files.h"

#include <QCoreApplication>
#include <QFile>
#include <QString>

#include <filesystem>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

BOOL CreateDirectoryA(const char* path, void* /*securityAttributes*/) {
  if (path == nullptr || *path == '\0') return 0;
  std::error_code error;
  // create_directory makes one level only and reports false for an existing directory,
  // which is the failure the caller must see.
  const bool made = fs::create_directory(fs::path(path), error);
  return made && !error ? 1 : 0;
}

BOOL DeleteFileA(const char* path) {
  if (path == nullptr || *path == '\0') return 0;
  std::error_code error;
  // symlink_status: a link is removed as a link, even when it points at a directory.
  const fs::file_status status = fs::symlink_status(fs::path(path), error);
  if (error || !fs::exists(status) || fs::is_directory(status)) return 0;
  const bool removed = fs::remove(fs::path(path), error);
  return removed && !error ? 1 : 0;
}

namespace {

std::string FindProgramDirectory() {
  std::string directory;
  if (QCoreApplication::instance() != nullptr) {
    directory = QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
  }
#ifdef __linux__
  if (directory.empty()) {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error) directory = program.parent_path().string();
  }
#endif
  if (directory.empty()) {
    std::error_code error;
    directory = fs::current_path(error).string();
  }
  if (directory.empty() || directory.back() != '/') directory += '/';
  return directory;
}

}  // namespace

const char* ProgramDirectory() {
  // Found once: the program does not move while it runs, and callers may keep the pointer.
  static const std::string directory = FindProgramDirectory();
  return directory.c_str();
}
