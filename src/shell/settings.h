// The settings file: in the work folder, read at start-up and written
// again as the settings change (a path once its file is there or its field
// is left; see Shell). Its name ends in a number made from the
// identity text, so that each user of one installation keeps their own
// settings.
//
// Its first two lines are the game path and the expansion path. Lines of
// the form "key=value" may follow, each for a setting that differs from
// its default:
//   openjkdf2=1        the game path is OpenJKDF2, whatever its name
//   start-in-level=0   OpenJKDF2 starts at its menus, not in the level
//   game-data=PATH     the game's data folder, when it is not the game
//   expansion-data=PATH  path's folder (OpenJKDF2's); the same for the
//                      expansion
//   factor=TEXT        the scale factor last accepted, as typed (else 1)
//   gravity=1          the world gravity is divided by the factor
// A file of two lines (as earlier versions write it) reads with every
// other setting at its default; earlier versions read only the two paths
// of a longer file. Unknown keys and other lines are passed over.
#ifndef JKRESCALE_SHELL_SETTINGS_H_
#define JKRESCALE_SHELL_SETTINGS_H_

#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace jk {

inline constexpr std::string_view kApplicationName = "jkrescale";
inline constexpr std::string_view kOrganisationName = "jkrescale";

// The application name, the organisation name and `user_name`, joined.
std::string IdentityText(std::string_view user_name);

// The sum of the byte values of `identity`, its first byte counted twice;
// 0 for the empty text.
long long SettingsSuffix(std::string_view identity);

// "config." followed by the suffix in decimal.
std::string SettingsFileName(long long suffix);

// The factor the factor field shows when none is remembered.
inline constexpr const char* kInitialFactor = "1";

struct Settings {
  std::string game_path;
  std::string expansion_path;
  // The game path names OpenJKDF2 whatever its file name (see GameOptions).
  bool openjkdf2 = false;
  // OpenJKDF2 starts in the level rather than at its menus.
  bool start_in_level = true;
  // The folders that hold the Episode and Resource folders, when they are
  // not the executables' folders (OpenJKDF2 keeps its data apart); "" when
  // they are.
  std::string game_data_folder;
  std::string expansion_data_folder;
  // The factor field's text, and "Divide the world gravity by the factor".
  std::string factor = kInitialFactor;
  bool divide_gravity = false;

  bool operator==(const Settings&) const = default;
};

// Reads the settings file of `work_folder` into `settings`. A missing file
// is no failure: the paths stay empty, as do those of missing lines, and
// the other settings at their defaults. A file that is there but cannot be
// read fails, naming it.
Status ReadSettings(FileSystem& fs, const std::string& work_folder, long long suffix,
                    Settings* settings);

// Creates (or replaces) the settings file with the two paths as they
// stand, then a line for each other setting that is not at its default.
Status WriteSettings(FileSystem& fs, const std::string& work_folder, long long suffix,
                     const Settings& settings);

}  // namespace jk

#endif  // JKRESCALE_SHELL_SETTINGS_H_
