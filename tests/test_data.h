// The tests' data files, kept in tests/data of the repository.
#pragma once

#include <QFileInfo>
#include <QString>

#include <stdexcept>
#include <string>

// Path of a file or folder below tests/data. A missing one ends the test at once with its
// name (Google Test reports the exception as the test's failure), instead of letting the
// test fail later for a reason that hides the cause, or wait for an answer.
inline QString TestDataPath(const QString& relative) {
  const QString path = QStringLiteral(KAVRO_TESTDATA_DIR "/") + relative;
  if (!QFileInfo::exists(path)) {
    throw std::runtime_error("missing test data file: " + path.toStdString());
  }
  return path;
}
