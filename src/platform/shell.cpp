// Opening files, web addresses and the help page with the desktop's handlers.
#include "platform/shell.h"

#include "platform/desktop_open.h"
#include "platform/files.h"
#include "platform/winconst.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QUrl>

#include <cstdint>
#include <utility>

namespace {

// The results ShellExecute callers compare against 32.
constexpr std::uintptr_t kShellOpened = 33;
constexpr std::uintptr_t kShellFileNotFound = 2;
constexpr std::uintptr_t kShellNoAssociation = 31;

HINSTANCE ShellResult(std::uintptr_t code) {
  return reinterpret_cast<HINSTANCE>(code);
}

TDesktopOpener& Opener() {
  static TDesktopOpener opener;
  return opener;
}

// The addresses passed on as they are; file: addresses and everything else are paths.
bool IsWebAddress(const QString& text) {
  static const char* const kSchemes[] = {"http:", "https:", "mailto:"};
  for (const char* scheme : kSchemes) {
    if (text.startsWith(QLatin1String(scheme), Qt::CaseInsensitive)) return true;
  }
  return false;
}

// The local file a path or a file: address names, made absolute against base.
QString LocalFile(const QString& text, const QString& base) {
  const QString path = text.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)
                           ? QUrl(text).toLocalFile()
                           : text;
  if (path.isEmpty()) return {};
  return QFileInfo(QDir(base), path).absoluteFilePath();
}

bool OpenUrl(const QUrl& url) {
  return OpenWithDesktop(url.toString(QUrl::FullyEncoded).toStdString());
}

}  // namespace

void SetDesktopOpener(TDesktopOpener opener) {
  Opener() = std::move(opener);
}

bool OpenWithDesktop(const std::string& url) {
  if (Opener()) return Opener()(url);
  return QDesktopServices::openUrl(QUrl(QString::fromStdString(url), QUrl::StrictMode));
}

HINSTANCE ShellExecuteA(HWND /*owner*/, const char* operation, const char* file,
                        const char* /*parameters*/, const char* directory, int /*showCommand*/) {
  if (file == nullptr || *file == '\0') return ShellResult(kShellFileNotFound);
  // The desktop only opens; other verbs have no handler here.
  const QString verb = operation != nullptr ? QString::fromUtf8(operation) : QString();
  if (!verb.isEmpty() && verb.compare(QLatin1String("open"), Qt::CaseInsensitive) != 0 &&
      verb.compare(QLatin1String("explore"), Qt::CaseInsensitive) != 0) {
    return ShellResult(kShellNoAssociation);
  }

  const QString text = QFile::decodeName(file);
  QUrl url;
  if (IsWebAddress(text)) {
    url = QUrl(QString::fromUtf8(file), QUrl::TolerantMode);
  } else {
    // A relative path is taken from the given directory, as the caller's working folder.
    const QString base = directory != nullptr && *directory != '\0' ? QFile::decodeName(directory)
                                                                    : QDir::currentPath();
    const QString path = LocalFile(text, base);
    if (path.isEmpty() || !QFileInfo::exists(path)) return ShellResult(kShellFileNotFound);
    url = QUrl::fromLocalFile(path);
  }
  if (!url.isValid()) return ShellResult(kShellFileNotFound);
  return ShellResult(OpenUrl(url) ? kShellOpened : kShellNoAssociation);
}

BOOL WinHelpA(HWND /*owner*/, const char* helpFile, UINT command, std::uintptr_t /*data*/) {
  // The help page opens in the desktop's browser, which is not ours to close.
  if (command == HELP_QUIT) return 1;
  // HELP_INDEX has the value of HELP_CONTENTS; one page serves every request.
  if (command != HELP_CONTENTS && command != HELP_FINDER && command != HELP_CONTEXT) return 0;
  if (helpFile == nullptr || *helpFile == '\0') return 0;

  // A bare name is looked for in the working folder first, then next to the program.
  const QString name = QFile::decodeName(helpFile);
  QString path = LocalFile(name, QDir::currentPath());
  if (!QFileInfo::exists(path) && QFileInfo(name).isRelative()) {
    path = LocalFile(name, QFile::decodeName(ProgramDirectory()));
  }
  if (!QFileInfo(path).isFile()) return 0;
  return OpenUrl(QUrl::fromLocalFile(path)) ? 1 : 0;
}
