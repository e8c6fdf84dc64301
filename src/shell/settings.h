// The settings file: two lines in the work folder, the game path and the
// expansion path, read at start-up and written again whenever a path
// changes. Its name ends in a number made from the identity text, so that
// each user of one installation keeps their own settings.
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

struct Settings {
  std::string game_path;
  std::string expansion_path;
};

// Reads the settings file of `work_folder` into `settings`. A missing file
// is no failure: the paths stay empty, as do those of missing lines. A file
// that is there but cannot be read fails, naming it.
Status ReadSettings(FileSystem& fs, const std::string& work_folder, long long suffix,
                    Settings* settings);

// Creates (or replaces) the settings file with the two paths as they stand.
Status WriteSettings(FileSystem& fs, const std::string& work_folder, long long suffix,
                     const Settings& settings);

}  // namespace jk

#endif  // JKRESCALE_SHELL_SETTINGS_H_
