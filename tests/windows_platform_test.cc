// The Windows side of the platform layer: UTF-16 at the edge, the program's
// arguments, the short form of a path and the registry.
#ifdef _WIN32

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/arguments.h"
#include "platform/path.h"
#include "platform/real_file_system.h"
#include "platform/registry.h"
#include "platform/short_path.h"
#include "platform/wide_text.h"

namespace jk {
namespace {

namespace stdfs = std::filesystem;

// UTF-8 and UTF-16 convert both ways, surrogate pairs included; bytes that
// are not UTF-8 become U+FFFD.
TEST(WindowsWideTextTest, ConvertsBetweenUtf8AndUtf16) {
  const struct {
    std::string utf8;
    std::wstring wide;
  } kCases[] = {
      {"", L""},
      {"C:\\Jeux\\Jedi Knight\\JK.EXE", L"C:\\Jeux\\Jedi Knight\\JK.EXE"},
      {"J\xC3\xA9"
       "di \xE2\x9C\x93",
       L"J\u00e9di \u2713"},
      {"\xF0\x9F\x98\x80", L"\U0001F600"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(WideOf(c.utf8), c.wide) << c.utf8;
    EXPECT_EQ(Utf8Of(c.wide), c.utf8) << c.utf8;
  }
  EXPECT_EQ(WideOf("a\xFF"
                   "b"),
            L"a\uFFFDb");
}

// A command line splits into the words after the program name as Windows
// splits it, in UTF-8.
TEST(WindowsArgumentsTest, SplitsCommandLines) {
  const struct {
    std::wstring line;
    std::vector<std::string> words;
  } kCases[] = {
      {L"", {}},
      {L"jkrescale-cli.exe", {}},
      {L"jkrescale-cli.exe levels \"C:\\Jeux\\Jedi Knight\\Episode\\JK1.GOB\"",
       {"levels", "C:\\Jeux\\Jedi Knight\\Episode\\JK1.GOB"}},
      {L"\"C:\\Program Files\\jkrescale\\jkrescale-cli.exe\" scale a.gob jkl\\b.jkl -2",
       {"scale", "a.gob", "jkl\\b.jkl", "-2"}},
      {L"x.exe --out \"D:\\Travail \u2713\\\U0001F600\"",
       {"--out", "D:\\Travail \xE2\x9C\x93\\\xF0\x9F\x98\x80"}},
      {L"x.exe \"\" b", {"", "b"}},
      {L"x.exe a\\\\\"b c\" \\\"d", {"a\\b c", "\"d"}},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(SplitCommandLine(c.line), c.words);
  }
}

// A folder under the system's temporary folder, made for one test.
class WindowsShortPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    root_ = stdfs::temp_directory_path() /
            (L"jkrescale_short_" + std::to_wstring(random()) + std::to_wstring(random()));
    stdfs::create_directories(root_);
  }
  void TearDown() override {
    std::error_code ec;
    stdfs::remove_all(root_, ec);
  }

  std::string Root() const { return Utf8Of(root_.wstring()); }

  RealFileSystem fs_;
  stdfs::path root_;
};

// The short form of a work folder with blanks and letters outside ASCII in
// its name has no blank and leads to the same folder.
TEST_F(WindowsShortPathTest, ShortFormOfFolderWithBlanksHasNoBlank) {
  std::string work = Root() +
                     "\\Jedi Knight \xC3\xA9"
                     "dition\\work folder";
  ASSERT_TRUE(fs_.CreateFolder(work).ok());
  std::unique_ptr<OutputFile> out;
  ASSERT_TRUE(fs_.OpenWrite(work + "\\episode.jk", &out).ok());
  ASSERT_TRUE(out->Close().ok());

  std::string short_form;
  Status status = ShortPath(work, &short_form);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_EQ(short_form.find(' '), std::string::npos) << short_form;
  EXPECT_TRUE(fs_.IsFile(short_form + "\\episode.jk")) << short_form;
}

// A path without long names is its own short form.
TEST_F(WindowsShortPathTest, ShortFormOfShortPathIsThePath) {
  std::string short_root;
  ASSERT_TRUE(ShortPath(Root(), &short_root).ok());
  ASSERT_TRUE(fs_.CreateFolder(short_root + "\\JKL").ok());
  std::string short_form;
  ASSERT_TRUE(ShortPath(short_root + "\\JKL", &short_form).ok());
  EXPECT_EQ(short_form, short_root + "\\JKL");
}

// A path that does not exist has no short form; the message names it.
TEST_F(WindowsShortPathTest, MissingPathIsAnError) {
  std::string missing = Root() + "\\no such folder";
  std::string short_form = "unchanged";
  Status status = ShortPath(missing, &short_form);
  ASSERT_FALSE(status.ok());
  std::string prefix = "'" + missing + "': cannot get the short form of the path: ";
  EXPECT_EQ(status.message().substr(0, prefix.size()), prefix) << status.message();
  EXPECT_EQ(short_form, "unchanged");
}

// A key of its own under HKEY_CURRENT_USER\Software, removed with its
// subkeys at the end.
class WindowsRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    key_ = "Software\\jkrescale-test-" + std::to_string(random()) + std::to_string(random());
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, WideOf(key_).c_str()); }

  // Sets a value of the type `type` in `key_` + `sub`.
  void Set(const std::string& sub, const std::string& name, DWORD type, const void* data,
           size_t size) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, WideOf(key_ + sub).c_str(), WideOf(name).c_str(),
                              type, data, DWORD(size)),
              ERROR_SUCCESS);
  }
  void SetText(const std::string& sub, const std::string& name, DWORD type,
               const std::string& text) {
    std::wstring wide = WideOf(text);
    Set(sub, name, type, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  }

  std::string key_;
  std::unique_ptr<Registry> registry_ = MakeSystemRegistry();
};

// String values in UTF-8, expandable ones expanded, whatever the letter
// case of the key and the value's name; values of other types, missing
// values and missing keys read as absent.
TEST_F(WindowsRegistryTest, ReadsStrings) {
  SetText("", "Install Path", REG_SZ,
          "C:\\Jeux\\Jedi Knight \xC3\xA9"
          "dition");
  SetText("", "Expanded", REG_EXPAND_SZ, "%JKRESCALE_REGISTRY_TEST%\\Steam");
  SetText("", "Empty", REG_SZ, "");
  DWORD number = 7;
  Set("", "Number", REG_DWORD, &number, sizeof(number));
  _wputenv_s(L"JKRESCALE_REGISTRY_TEST", L"D:\\Games");
  std::string value;
  ASSERT_TRUE(registry_->ReadString(RegistryRoot::kCurrentUser, ToLowerAscii(key_), "INSTALL PATH",
                                    &value));
  EXPECT_EQ(value,
            "C:\\Jeux\\Jedi Knight \xC3\xA9"
            "dition");
  ASSERT_TRUE(registry_->ReadString(RegistryRoot::kCurrentUser, key_, "Expanded", &value));
  EXPECT_EQ(value, "D:\\Games\\Steam");
  ASSERT_TRUE(registry_->ReadString(RegistryRoot::kCurrentUser, key_, "Empty", &value));
  EXPECT_EQ(value, "");
  value = "unchanged";
  EXPECT_FALSE(registry_->ReadString(RegistryRoot::kCurrentUser, key_, "Number", &value));
  EXPECT_FALSE(registry_->ReadString(RegistryRoot::kCurrentUser, key_, "None", &value));
  EXPECT_FALSE(registry_->ReadString(RegistryRoot::kCurrentUser, key_ + "\\none", "x", &value));
  EXPECT_FALSE(registry_->ReadString(RegistryRoot::kLocalMachine, key_, "Install Path", &value));
  EXPECT_EQ(value, "unchanged");
}

// Subkey names in UTF-8, no more than asked for.
TEST_F(WindowsRegistryTest, ListsSubkeys) {
  for (const char* sub : {"\\1207658930", "\\1207658931", "\\Caf\xC3\xA9", "\\zz"}) {
    SetText(sub, "path", REG_SZ, "x");
  }
  EXPECT_EQ(registry_->SubkeyNames(RegistryRoot::kCurrentUser, key_, 100),
            (std::vector<std::string>{"1207658930", "1207658931", "Caf\xC3\xA9", "zz"}));
  EXPECT_EQ(registry_->SubkeyNames(RegistryRoot::kCurrentUser, key_, 2),
            (std::vector<std::string>{"1207658930", "1207658931"}));
  EXPECT_EQ(registry_->SubkeyNames(RegistryRoot::kCurrentUser, key_ + "\\none", 100),
            std::vector<std::string>{});
}

}  // namespace
}  // namespace jk

#endif  // _WIN32
