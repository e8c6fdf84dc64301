// jkrescale-demo FOLDER [--expansion FOLDER2] [--settings WORK_FOLDER]:
// builds a demo game folder from synthetic archives, for trying the program
// without the game:
//   FOLDER/Episode/demo.gob     an episode with the level jkl\demo.jkl, its
//                               models, cogs and cog strings
//   FOLDER/Resource/res2.gob    the base resource archive with more models
//   FOLDER/extras.gob           an extra archive
// With --expansion, a demo expansion folder as well:
//   FOLDER2/Episode/motsdemo.goo  an expansion episode with jkl\demo.jkl
//   FOLDER2/Resource/jkmres.goo   the expansion's resource archive
// With --settings, and only when the desktop program's settings file does
// not exist yet in WORK_FOLDER (the folder of jkrescale), writes it for the
// current user with FOLDER/JK as the game and FOLDER2/JKM as the expansion
// (FOLDER\JK.EXE and FOLDER2\JKM.EXE on Windows, as the games name them;
// the executables themselves are put there by the caller).
// Nothing in it comes from the game; the level is made up here.
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/real_file_system.h"
#include "platform/system.h"
#include "shell/settings.h"
#include "test_archive.h"
#include "walk_level_generator.h"

namespace {

// The rest of the demo level after its geometry: the player's templates,
// scenery of each kind, its things and its cogs.
const char* kLevelTail =
    "SECTION: TEMPLATES\r\n"
    "World templates 7\r\n"
    "#Name:       Based on:   Params:\r\n"
    "_humanactor  none        type=actor size=0.065000 movesize=0.065000 jumpspeed=1.500000\r\n"
    "_walkplayer  _humanactor type=player model3d=ky.3do height=0.180000\r\n"
    "walkplayer   _walkplayer\r\n"
    "crate        _structure  size=0.050000 movesize=0.050000 height=0.100000 model3d=crate.3do\r\n"
    "lamp         _decor      model3d=lamp.3do size=0.020000\r\n"
    "walker       _actor      size=0.100000 model3d=walker.3do\r\n"
    "door         _structure  size=0.100000 movesize=0.100000 model3d=door.3do\r\n"
    "end\r\n"
    "\r\n"
    "SECTION: THINGS\r\n"
    "World things 5\r\n"
    "#num template name x y z pitch yaw roll sector\r\n"
    "0: walkplayer walkplayer 1.000000 0.000000 0.200000 0.000000 0.000000 0.000000 0 "
    "thingflags=0x401\r\n"
    "1: crate crate1 1.000000 0.500000 0.050000 0.000000 90.000000 0.000000 0 thingflags=0x0\r\n"
    "2: lamp lamp1 0.500000 0.500000 0.500000 0.000000 0.000000 0.000000 0 "
    "frame=(1.0/2.0/3.0:0.0/90.0/0.0)\r\n"
    "3: walker walker1 3.000000 0.000000 0.100000 0.000000 0.000000 0.000000 1\r\n"
    "4: door door1 1.000000 -0.500000 0.000000 0.000000 0.000000 0.000000 0 "
    "frame=(1.0/-0.5/0.0:0.0/0.0/0.0) frame=(1.0/-0.5/0.8:0.0/0.0/0.0)\r\n"
    "end\r\n"
    "\r\n"
    "SECTION: COGS\r\n"
    "World cogs 2\r\n"
    "#Num\tScript\r\n"
    "0:\tdoor.cog\t4\t8.000000\r\n"
    "1:\tgame_rules.cog\r\n"
    "end\r\n";

// The script that moves the demo's door: up to its second frame and back,
// at the speed its cog line gives.
const char* kDoorScript =
    "# door.cog: raises the door when it is touched, and lowers it again\r\n"
    "# (made up for jkrescale's demo)\r\n"
    "symbols\r\n"
    "message   activated\r\n"
    "thing     door         linkid=1\r\n"
    "flex      speed=4.0    desc=speed\r\n"
    "sound     moving=door01.wav\r\n"
    "end\r\n"
    "\r\n"
    "code\r\n"
    "activated:\r\n"
    "   PlaySoundThing(moving, door, 1.0, -1, -1, 0);\r\n"
    "   MoveToFrame(door, 1, speed);\r\n"
    "   WaitForStop(door);\r\n"
    "   Sleep(2.0);        // seconds: times are not scaled\r\n"
    "   MoveToFrame(door, 0, speed);\r\n"
    "   return;\r\n"
    "end\r\n";

// A made-up level: the geometry of rooms with steps, drops, a low tunnel
// and a narrow corridor from the generator, so that the player report has
// something to say; the mipmap distances in its header; and the tail above.
std::string DemoLevel() {
  std::string level = jk::levelgen::MakeWalkLevel({.rooms = jk::levelgen::RoomsOfEveryKind()}).text;
  level = level.substr(0, level.find("SECTION: TEMPLATES"));
  const std::string gravity = "World Gravity 4.000000\r\n";
  level.insert(level.find(gravity) + gravity.size(),
               "MipMap Distances 1.000000 2.000000 3.000000 4.000000\r\n");
  return level + kLevelTail;
}

std::string Model(const std::string& name, double size) {
  std::string text = "# " + name + " (made up)\r\n3DO 2.1\r\n\r\nSECTION: GEOMETRYDEF\r\n";
  text += "RADIUS " + std::to_string(size * 2) + "\r\n";
  text += "VERTICES 3\r\n";
  text += "#num: x y z intensity\r\n";
  text += "0: 0.000000 0.000000 0.000000 0.000000\r\n";
  text += "1: " + std::to_string(size) + " 0.000000 0.000000 0.000000\r\n";
  text += "2: 0.000000 " + std::to_string(size) + " 0.000000 0.000000\r\n";
  text += "TEXTURE VERTICES 1\r\n0: 0.000000 0.000000\r\n";
  return text;
}

// Writes the settings of `work_folder` unless they exist; false on failure.
bool PointSettings(const std::string& work_folder, const std::string& game,
                   const std::string& expansion) {
  jk::RealFileSystem fs;
  long long suffix = jk::SettingsSuffix(jk::IdentityText(jk::UserName()));
  std::string name = work_folder + "/" + jk::SettingsFileName(suffix);
  if (fs.Exists(name)) {
    std::printf("jkrescale-demo: %s exists already, left as it is\n", name.c_str());
    return true;
  }
  jk::Status written =
      jk::WriteSettings(fs, work_folder, suffix, {.game_path = game, .expansion_path = expansion});
  if (!written.ok()) {
    std::fprintf(stderr, "jkrescale-demo: %s\n", written.message().c_str());
    return false;
  }
  std::printf("jkrescale-demo: %s now names the demo game %s\n", name.c_str(), game.c_str());
  return true;
}

bool MakeGame(const std::filesystem::path& root) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::create_directories(root / "Episode", ec);
  fs::create_directories(root / "Resource", ec);
  bool ok = jk::TestArchive()
                .Add("episode.jk",
                     "\"demo.gob\"\r\nTYPE 1\r\nSEQ 1\r\n"
                     "10: 0 1 LEVEL demo.jkl 0 0 -1 -1\r\nend\r\n")
                .Add("jkl\\demo.jkl", DemoLevel())
                .Add("3do\\crate.3do", Model("crate.3do", 0.05))
                .Add("3do\\mat\\crate.mat", "not a model")
                .Add("3do\\door.3do", Model("door.3do", 0.1))
                .Add("cog\\door.cog", kDoorScript)
                .Add("misc\\cogstrings.uni", "MSGS 1\r\nEND\r\n")
                .WriteTo((root / "Episode" / "demo.gob").string());
  ok = ok && jk::TestArchive()
                 .Add("3do\\lamp.3do", Model("lamp.3do", 0.02))
                 .Add("3do\\crate.3do", Model("crate.3do", 9))
                 .Add("3do\\walker.3do", Model("walker.3do", 0.1))
                 .Add("cog\\game_rules.cog", "# rules\r\n")
                 .WriteTo((root / "Resource" / "res2.gob").string());
  ok = ok && jk::TestArchive()
                 .Add("3do\\extra.3do", Model("extra.3do", 1))
                 .WriteTo((root / "extras.gob").string());
  return ok;
}

bool MakeExpansion(const std::filesystem::path& root) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::create_directories(root / "Episode", ec);
  fs::create_directories(root / "Resource", ec);
  bool ok = jk::TestArchive()
                .Add("episode.jk",
                     "\"motsdemo.goo\"\r\nTYPE 1\r\nSEQ 1\r\n"
                     "10: 0 1 LEVEL demo.jkl 0 0 -1 -1\r\nend\r\n")
                .Add("jkl\\demo.jkl", DemoLevel())
                .Add("jkl\\demo2.jkl", DemoLevel())
                .WriteTo((root / "Episode" / "motsdemo.goo").string());
  ok = ok && jk::TestArchive()
                 .Add("3do\\lamp.3do", Model("lamp.3do", 0.02))
                 .Add("3do\\crate.3do", Model("crate.3do", 9))
                 .Add("3do\\walker.3do", Model("walker.3do", 0.1))
                 .WriteTo((root / "Resource" / "jkmres.goo").string());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::string game, expansion, work;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if ((arg == "--expansion" || arg == "--settings") && i + 1 < argc) {
      (arg == "--expansion" ? expansion : work) = argv[++i];
    } else if (game.empty() && !arg.starts_with("--")) {
      game = arg;
    } else {
      game.clear();
      break;
    }
  }
  if (game.empty()) {
    std::fprintf(stderr,
                 "usage: jkrescale-demo FOLDER [--expansion FOLDER2] [--settings WORK_FOLDER]\n");
    return 2;
  }
  std::error_code ec;
  fs::path root = fs::absolute(game, ec);
  bool ok = MakeGame(root);
  fs::path mots = expansion.empty() ? fs::path() : fs::absolute(expansion, ec);
  if (ok && !expansion.empty()) ok = MakeExpansion(mots);
  if (!ok) {
    std::fprintf(stderr, "jkrescale-demo: cannot write the archives in '%s'\n", argv[1]);
    return 1;
  }
  if (!work.empty()) {
#ifdef _WIN32
    const char *game_program = "JK.EXE", *expansion_program = "JKM.EXE";
#else
    const char *game_program = "JK", *expansion_program = "JKM";
#endif
    std::string jkm = expansion.empty() ? "" : (mots / expansion_program).string();
    if (!PointSettings(fs::absolute(work, ec).string(), (root / game_program).string(), jkm)) {
      return 1;
    }
  }
  return 0;
}
