// The settings file: the two paths, and the lines of the settings that
// differ from their defaults, read by this version and by earlier ones.
#include <gtest/gtest.h>

#include <string>

#include "memory_file_system.h"
#include "shell/settings.h"

namespace jk {
namespace {

class SettingsTest : public ::testing::Test {
 protected:
  std::string File() {
    std::string bytes;
    fs_.GetFile(SettingsFileName(7), &bytes);
    return bytes;
  }
  Settings Read(const std::string& text) {
    fs_.SetFile(SettingsFileName(7), text);
    Settings settings;
    EXPECT_TRUE(ReadSettings(fs_, "", 7, &settings).ok());
    return settings;
  }

  MemoryFileSystem fs_;
};

// Settings at their defaults write the two lines of earlier versions.
TEST_F(SettingsTest, DefaultsWriteTwoLines) {
  ASSERT_TRUE(WriteSettings(fs_, "", 7, {"/g/JK.EXE", "/m/JKM.EXE"}).ok());
  EXPECT_EQ(File(), "/g/JK.EXE\r\n/m/JKM.EXE\r\n");
}

// The OpenJKDF2 settings follow the paths, and read back; a data folder
// keeps its blanks and "=" signs.
TEST_F(SettingsTest, OpenJkdf2SettingsReadBack) {
  Settings written{"/usr/bin/openjkdf2", "", true, false, "/home/a b/jk=1", ""};
  ASSERT_TRUE(WriteSettings(fs_, "", 7, written).ok());
  EXPECT_EQ(File(),
            "/usr/bin/openjkdf2\r\n\r\nopenjkdf2=1\r\nstart-in-level=0\r\n"
            "game-data=/home/a b/jk=1\r\n");
  EXPECT_EQ(Read(File()), written);
}

// The factor and the gravity choice read back; the factor as it was typed.
TEST_F(SettingsTest, FactorAndGravityReadBack) {
  Settings written{"/g/JK.EXE", "/m/JKM.EXE"};
  written.factor = " 2.5";
  written.divide_gravity = true;
  ASSERT_TRUE(WriteSettings(fs_, "", 7, written).ok());
  EXPECT_EQ(File(), "/g/JK.EXE\r\n/m/JKM.EXE\r\nfactor= 2.5\r\ngravity=1\r\n");
  EXPECT_EQ(Read(File()), written);
}

// A file of an earlier version, of one line or none, has the defaults.
TEST_F(SettingsTest, EarlierFilesHaveTheDefaults) {
  for (const char* text : {"/g/JK\r\n/m/JKM\r\n", "/g/JK", ""}) {
    Settings read = Read(text);
    EXPECT_FALSE(read.openjkdf2) << text;
    EXPECT_TRUE(read.start_in_level) << text;
    EXPECT_EQ(read.factor, "1") << text;
    EXPECT_FALSE(read.divide_gravity) << text;
  }
  EXPECT_EQ(Read("/g/JK").game_path, "/g/JK");
}

// Unknown keys, other values and other lines are passed over; the last
// line of a key counts.
TEST_F(SettingsTest, OtherLinesArePassedOver) {
  Settings read = Read(
      "/g/JK\n/m/JKM\nopenjkdf2=yes\nstart-in-level = 0\ncolour=blue\nno equals\n"
      "openjkdf2=1\nopenjkdf2=0\nopenjkdf2=1\n");
  EXPECT_EQ(read.game_path, "/g/JK");
  EXPECT_EQ(read.expansion_path, "/m/JKM");
  EXPECT_TRUE(read.openjkdf2);
  EXPECT_TRUE(read.start_in_level);
}

}  // namespace
}  // namespace jk
