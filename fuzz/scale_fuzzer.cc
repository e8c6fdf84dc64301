// Fuzzes a whole headless scale run: the input is split at its first NUL
// byte into level text and model text; the level archive holds the level and
// the model, the resource archive the model again, and a fixed tail of the
// level makes sure both models are used. The model text is also the
// level's script, its scenery's puppet, sound class and sprite, and a
// keyframe. On a file system that never fails, every run must succeed, or
// stop at a line that scaling would make longer than the game reads (which
// the input can ask for), and write only inside the work folder.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/cli.h"
#include "fake_process_runner.h"
#include "memory_file_system.h"
#include "test_archive.h"

namespace {

const char* kTail =
    "\nWorld templates 1\n"
    "t _structure size=1 model3d=m.3do model3d=r.3do puppet=p.pup soundclass=s.snd "
    "sprite=x.spr\n"
    "World things 1\n"
    "0: t a 1 2 3 0 0 0 0 frame=(1/2/3:0/0/0)\n"
    "World cogs 1\n"
    "0: c.cog 0 k.key\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  size_t split = input.find('\0');
  std::string level = input.substr(0, split) + kTail;
  std::string model = split == std::string::npos ? std::string() : input.substr(split + 1);

  jk::MemoryFileSystem fs;
  fs.SetFile("level.gob", jk::TestArchive()
                              .Add("jkl\\f.jkl", level)
                              .Add("3do\\m.3do", model)
                              .Add("cog\\c.cog", model)
                              .Add("misc\\cogstrings.uni", model)
                              .Add("misc\\pup\\p.pup", model)
                              .Add("misc\\snd\\s.snd", model)
                              .Add("misc\\spr\\x.spr", model)
                              .Add("3do\\key\\k.key", model)
                              .Build());
  fs.SetFile("res.gob", jk::TestArchive().Add("3do\\r.3do", model).Build());

  std::FILE* sink = std::fopen("/dev/null", "w");
  char* errors = nullptr;
  size_t errors_size = 0;
  std::FILE* err = open_memstream(&errors, &errors_size);
  std::vector<std::string> log;
  jk::FakeProcessRunner runner(&log);
  jk::CliEnvironment env{fs, runner, "", {}, sink, err};
  int code = jk::RunCli({"scale", "level.gob", "jkl\\f.jkl", size % 2 ? "2" : "0.5", "--resource",
                         "res.gob", "--out", "work"},
                        env);
  std::fclose(sink);
  std::fclose(err);
  const std::string message(errors, errors_size);
  std::free(errors);
  const bool over_limits = message.find(" the game reads\n") != std::string::npos;
  if (code != jk::kExitOk && !(code == jk::kExitFailed && over_limits)) __builtin_trap();
  for (const std::string& path : fs.FilePaths()) {
    if (path != "level.gob" && path != "res.gob" && !path.starts_with("work/")) {
      __builtin_trap();
    }
  }
  return 0;
}
