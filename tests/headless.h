// Tests and benchmarks run without a display: Qt's offscreen platform unless one was
// chosen, and a private runtime directory so Qt stays quiet.
#pragma once

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

class THeadless {
 public:
  THeadless() {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr && RuntimeDir.isValid()) {
      QFile::setPermissions(RuntimeDir.path(),
                            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
      setenv("XDG_RUNTIME_DIR", RuntimeDir.path().toLocal8Bit().constData(), 1);
    }
  }

 private:
  QTemporaryDir RuntimeDir;
};
