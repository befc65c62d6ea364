// Best-times tests work on real score files in a scratch game directory.
#pragma once

#include <QTemporaryDir>

#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "dialogs/old_scores.h"
#include "platform/game_directory.h"
#include "platform/profile.h"

class ScoreFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Dir.isValid());
    SetGameDirectory(Dir.path().toStdString());
    ASSERT_TRUE(MakeScoreDirectory());
  }
  void TearDown() override { SetGameDirectory(""); }

  std::string Path(const std::string& name) const { return Dir.path().toStdString() + "/" + name; }
  std::string Scores(const std::string& name) const { return Path("Scores/" + name); }

  static void Put(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  static std::string Contents(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
  }
  // A value as the profile functions read it; "-" when it is missing.
  static std::string Value(const std::string& path, const char* section, const char* key) {
    char text[256];
    GetPrivateProfileStringA(section, key, "-", text, sizeof text, path.c_str());
    return text;
  }

  QTemporaryDir Dir;
};
