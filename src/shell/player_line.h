// The line under the factor field: what the factor typed changes for the
// player (scaling/player_report.h). The level is read once, in the
// background, when it is picked; each factor is then worked out at once
// from what was read, so the line follows the typing and the window never
// waits for it.
#ifndef JKRESCALE_SHELL_PLAYER_LINE_H_
#define JKRESCALE_SHELL_PLAYER_LINE_H_

#include <functional>
#include <memory>
#include <string>

#include "platform/file_system.h"
#include "scaling/player_walk.h"
#include "shell/window_interfaces.h"

namespace jk {

class PlayerLine {
 public:
  // `changed` is called, on the user-interface thread, when the reading of
  // a level ends: the line may then say more. The references must outlive
  // the line.
  PlayerLine(FileSystem& fs, WindowSystem& windows, std::function<void()> changed);

  // Starts reading level `level` of the archive `archive`, its player's
  // model from there or from `resource` ("" for none). Does nothing when it
  // is the level read or being read already.
  void Pick(const std::string& archive, const std::string& level, const std::string& resource);
  // No level is picked.
  void Clear();

  // The line for the factor text and the gravity choice: "" when no level
  // is picked, while it is being read, when it could not be read, or when
  // the text is no valid factor.
  std::string Text(const std::string& factor_text, bool divide_gravity) const;

 private:
  FileSystem& fs_;
  WindowSystem& windows_;
  std::function<void()> changed_;
  // The level picked: archive, level and resource, joined.
  std::string key_;
  // Its walk, once read; null before.
  std::shared_ptr<const PlayerWalk> walk_;
};

}  // namespace jk

#endif  // JKRESCALE_SHELL_PLAYER_LINE_H_
