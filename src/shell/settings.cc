#include "shell/settings.h"

#include <memory>

#include "platform/path.h"

namespace jk {

std::string IdentityText(std::string_view user_name) {
  return std::string(kApplicationName) + std::string(kOrganisationName) + std::string(user_name);
}

long long SettingsSuffix(std::string_view identity) {
  if (identity.empty()) return 0;
  long long sum = static_cast<unsigned char>(identity.front());
  for (char c : identity) sum += static_cast<unsigned char>(c);
  return sum;
}

std::string SettingsFileName(long long suffix) { return "config." + std::to_string(suffix); }

namespace {

constexpr std::string_view kOpenJkdf2Key = "openjkdf2";
constexpr std::string_view kStartInLevelKey = "start-in-level";
constexpr std::string_view kGameDataKey = "game-data";
constexpr std::string_view kExpansionDataKey = "expansion-data";
constexpr std::string_view kFactorKey = "factor";
constexpr std::string_view kGravityKey = "gravity";

// Takes a "key=value" line into `settings`; other lines change nothing.
void ReadOption(std::string_view line, Settings* settings) {
  size_t equals = line.find('=');
  if (equals == std::string_view::npos) return;
  std::string_view key = line.substr(0, equals);
  std::string_view value = line.substr(equals + 1);
  if (key == kGameDataKey) settings->game_data_folder = value;
  if (key == kExpansionDataKey) settings->expansion_data_folder = value;
  if (key == kFactorKey) settings->factor = value;
  if (value != "0" && value != "1") return;
  if (key == kOpenJkdf2Key) settings->openjkdf2 = value == "1";
  if (key == kStartInLevelKey) settings->start_in_level = value == "1";
  if (key == kGravityKey) settings->divide_gravity = value == "1";
}

std::string OptionLine(std::string_view key, bool value) {
  return std::string(key) + "=" + (value ? "1" : "0");
}

std::string OptionLine(std::string_view key, const std::string& value) {
  return std::string(key) + "=" + value;
}

}  // namespace

Status ReadSettings(FileSystem& fs, const std::string& work_folder, long long suffix,
                    Settings* settings) {
  *settings = Settings{};
  std::unique_ptr<InputFile> in;
  Status opened = fs.OpenRead(JoinPath(work_folder, SettingsFileName(suffix)), &in);
  if (opened.IsNotFound()) return Status::Ok();
  JK_RETURN_IF_ERROR(opened);
  for (std::string* line : {&settings->game_path, &settings->expansion_path}) {
    if (in->Position() >= in->Length()) return Status::Ok();
    JK_RETURN_IF_ERROR(in->ReadLine(in->Length(), line));
  }
  std::string line;
  while (in->Position() < in->Length()) {
    JK_RETURN_IF_ERROR(in->ReadLine(in->Length(), &line));
    ReadOption(line, settings);
  }
  return Status::Ok();
}

Status WriteSettings(FileSystem& fs, const std::string& work_folder, long long suffix,
                     const Settings& settings) {
  std::unique_ptr<OutputFile> out;
  JK_RETURN_IF_ERROR(fs.OpenWrite(JoinPath(work_folder, SettingsFileName(suffix)), &out));
  JK_RETURN_IF_ERROR(out->WriteLine(settings.game_path));
  JK_RETURN_IF_ERROR(out->WriteLine(settings.expansion_path));
  // Only what differs from the defaults: a file of two lines stays one
  // that earlier versions wrote.
  Settings defaults;
  if (settings.openjkdf2 != defaults.openjkdf2) {
    JK_RETURN_IF_ERROR(out->WriteLine(OptionLine(kOpenJkdf2Key, settings.openjkdf2)));
  }
  if (settings.start_in_level != defaults.start_in_level) {
    JK_RETURN_IF_ERROR(out->WriteLine(OptionLine(kStartInLevelKey, settings.start_in_level)));
  }
  if (!settings.game_data_folder.empty()) {
    JK_RETURN_IF_ERROR(out->WriteLine(OptionLine(kGameDataKey, settings.game_data_folder)));
  }
  if (!settings.expansion_data_folder.empty()) {
    JK_RETURN_IF_ERROR(
        out->WriteLine(OptionLine(kExpansionDataKey, settings.expansion_data_folder)));
  }
  if (settings.factor != defaults.factor) {
    JK_RETURN_IF_ERROR(out->WriteLine(OptionLine(kFactorKey, settings.factor)));
  }
  if (settings.divide_gravity != defaults.divide_gravity) {
    JK_RETURN_IF_ERROR(out->WriteLine(OptionLine(kGravityKey, settings.divide_gravity)));
  }
  return out->Close();
}

}  // namespace jk
