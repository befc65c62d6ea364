// Where the shared test data lies: KAVRO_TESTDATA when set, else beside the checkout as
// the build saw it.
#pragma once

#include <QString>

#include <cstdlib>

inline QString TestDataDir() {
  if (const char* env = std::getenv("KAVRO_TESTDATA"); env != nullptr && *env != '\0') {
    return QString::fromLocal8Bit(env);
  }
  return QStringLiteral(KAVRO_TESTDATA_DIR);
}
