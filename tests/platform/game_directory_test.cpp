// Where settings and scores go: beside a writable program, else the configuration folder.
#include "platform/game_directory.h"

#include <QTemporaryDir>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(GameDirectory, ChoosesTheWritableProgramDirectoryElseTheConfigurationDirectory) {
  QTemporaryDir scratch;
  ASSERT_TRUE(scratch.isValid());
  const fs::path root = scratch.path().toStdString();
  const fs::path program = root / "bin";
  std::error_code error;
  fs::create_directory(program);

  EXPECT_EQ(ChooseGameDirectory(program.string(), nullptr, "/nowhere"), program.string() + "/");

  // A program directory that does not exist stands for one the player cannot write
  // (permissions do not hold for root, who runs the tests in CI).
  const std::string missing = (root / "usr" / "bin").string();
  const fs::path xdg = root / "xdg";
  EXPECT_EQ(ChooseGameDirectory(missing, xdg.c_str(), "/nowhere"), (xdg / "kavro").string() + "/");
  EXPECT_TRUE(fs::is_directory(xdg / "kavro")) << "made when chosen";

  const fs::path home = root / "home";
  EXPECT_EQ(ChooseGameDirectory(missing, "", home.c_str()),
            (home / ".config" / "kavro").string() + "/");
  EXPECT_EQ(ChooseGameDirectory(missing, "relative/ignored", home.c_str()),
            (home / ".config" / "kavro").string() + "/");
  EXPECT_TRUE(fs::is_directory(home / ".config" / "kavro"));

  // A packaged program's folder is the package manager's, even where root may write.
  EXPECT_EQ(ChooseGameDirectory("/usr/lib/games/kavro", xdg.c_str(), "/nowhere"),
            (xdg / "kavro").string() + "/");
  // With no home at all nothing is kept, and nothing can be written below it.
  for (const char* none : {static_cast<const char*>(nullptr), ""}) {
    const std::string nowhere = ChooseGameDirectory("/usr/lib/games/kavro", none, none);
    EXPECT_EQ(nowhere, NowhereDirectory);
    EXPECT_FALSE(fs::create_directories(nowhere + "Scores", error));
    EXPECT_EQ(std::fopen((nowhere + "kavro.ini").c_str(), "w"), nullptr);
  }
}

TEST(GameDirectory, AnOverrideWinsUntilCleared) {
  const std::string decided = GameDirectory();
  SetGameDirectory("/tmp/somewhere");
  EXPECT_STREQ(GameDirectory(), "/tmp/somewhere/");
  SetGameDirectory("");
  EXPECT_EQ(GameDirectory(), decided);
}
