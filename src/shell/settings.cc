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

Status ReadSettings(FileSystem& fs, const std::string& work_folder, long long suffix,
                    Settings* settings) {
  *settings = Settings{};
  std::unique_ptr<InputFile> in;
  Status opened = fs.OpenRead(JoinPath(work_folder, SettingsFileName(suffix)), &in);
  if (opened.IsNotFound()) return Status::Ok();
  JK_RETURN_IF_ERROR(opened);
  for (std::string* line : {&settings->game_path, &settings->expansion_path}) {
    if (in->Position() >= in->Length()) break;
    JK_RETURN_IF_ERROR(in->ReadLine(in->Length(), line));
  }
  return Status::Ok();
}

Status WriteSettings(FileSystem& fs, const std::string& work_folder, long long suffix,
                     const Settings& settings) {
  std::unique_ptr<OutputFile> out;
  JK_RETURN_IF_ERROR(fs.OpenWrite(JoinPath(work_folder, SettingsFileName(suffix)), &out));
  JK_RETURN_IF_ERROR(out->WriteLine(settings.game_path));
  JK_RETURN_IF_ERROR(out->WriteLine(settings.expansion_path));
  return out->Close();
}

}  // namespace jk
