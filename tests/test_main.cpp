// Test entry: a QApplication without a display.
#include <QApplication>

#include <gtest/gtest.h>

#include "headless.h"

int main(int argc, char** argv) {
  const THeadless headless;
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
