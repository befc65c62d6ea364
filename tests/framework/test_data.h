// Where the shared test data lies: KAVRO_TESTDATA, or beside the checkout.
#pragma once

#include <QFileInfo>
#include <QString>

#include <cstdlib>

inline QString TestDataDir() {
  if (const char* env = std::getenv("KAVRO_TESTDATA"); env != nullptr && *env != '\0') {
    return QString::fromLocal8Bit(env);
  }
  return QFileInfo(QStringLiteral(__FILE__)).absolutePath() +
         QStringLiteral("/../../../shared/testdata");
}
