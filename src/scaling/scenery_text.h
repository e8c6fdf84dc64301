// The small text files of the scenery that hold lengths: keyframes
// ("3do\key\*.key"), sound classes ("misc\snd\*.snd") and sprites
// ("misc\spr\*.spr"), and the puppets ("misc\pup\*.pup") that name the
// keyframes a template plays. A scaled line keeps every byte but the
// numbers it scales; comments stay as they were.
#ifndef JKRESCALE_SCALING_SCENERY_TEXT_H_
#define JKRESCALE_SCALING_SCENERY_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scaling/text.h"

namespace jk {

// The fields of the data of a line (GameLine::data), none when it holds
// only white space. Views into `data`.
void DataFields(std::string_view data, Fields* fields);

// The names of the keyframes (fields that end in ".key", any letter case)
// of one line of a puppet as read, appended in lower case.
void KeyframesOfPuppetLine(std::string_view line, std::vector<std::string>* names);

enum class SceneryFileKind { kKeyframe, kSoundClass, kSprite };

// Scales one file of a kind line by line: the rewrite of a
// GameTextRewriter, which hands it the data of each line.
//
// Keyframe: "ENTRIES m" is followed by m entries of two data lines each,
// "num: frame flags x y z pitch yaw roll" and "vx vy vz vpitch vyaw vroll":
// x y z and vx vy vz are scaled.
// Sound class: each data line "mode wave flags minradius maxradius
// maxvolume" of at least three fields has minradius and maxradius scaled;
// when they are missing, the game's defaults 0.5 and 2.5, scaled, are
// added after the last field, since those would stay at their size.
// Sprite: the first data line "material type width height geometrymode
// lightmode texturemode extralight offsetx offsety offsetz" has width,
// height and the offset scaled.
class SceneryTextScaler {
 public:
  SceneryTextScaler(SceneryFileKind kind, double factor) : kind_(kind), factor_(factor) {}

  void ScaleLine(std::string& data);

 private:
  // Replaces the fields of `line` at `indices` (those present) with their
  // values scaled, then inserts `added` after the last field.
  void Rewrite(std::string& line, std::initializer_list<size_t> indices,
               std::string_view added = {});

  SceneryFileKind kind_;
  ScaleFactor factor_;
  Fields fields_;
  // Keyframe: the entry lines still to come; sprite: whether its line is
  // done.
  int64_t entry_lines_left_ = 0;
  bool sprite_done_ = false;
  std::string rewritten_;
};

}  // namespace jk

#endif  // JKRESCALE_SCALING_SCENERY_TEXT_H_
