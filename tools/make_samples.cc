// jkrescale-samples FOLDER: builds synthetic archives that put a build of
// jkrescale-cli through the corners of its input, for comparing the output
// of two builds (the Windows build under Wine against the Linux build):
//   FOLDER/Resource/res2.gob     resource models, one of them large
//   FOLDER/Resource/jkmres.goo   the expansion's resource models
//   FOLDER/lines.gob             a level with every kind of line break, no
//                                final break, long lines, tabs, numbers
//                                in every form the reader takes
//   FOLDER/big.gob               a level of 40,000 vertices and 2,000 things
//                                (several buffers long), with its models
//   FOLDER/deep.goo              an expansion level and models in subfolders,
//                                a damaged model entry and an unsafe one
//   FOLDER/Jeux é/Épisode ü.gob  a level under folder and file names with
//   FOLDER/Jeux é/extra ü.gob    letters outside ASCII, and an extra archive
//   FOLDER/damaged.gob           an entry count outside the file
// Entry names stay ASCII, as the game's own are. Nothing comes from the game.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "test_archive.h"

namespace {

// A fixed sequence of numbers, the same on every run and every system.
class Numbers {
 public:
  double Next(double low, double high) {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    double unit = double(state_ >> 11) / double(1ULL << 53);
    return low + (high - low) * unit;
  }

 private:
  uint64_t state_ = 20260101;
};

std::string Fixed(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.6f", value);
  return text;
}

std::string Model(const std::string& name, int vertices, Numbers& numbers) {
  std::string text = "# " + name + " (made up)\r\n3DO 2.1\r\n\r\nSECTION: GEOMETRYDEF\r\n";
  text += "RADIUS " + Fixed(numbers.Next(0.01, 2)) + "\r\n";
  text += "VERTICES " + std::to_string(vertices) + "\r\n";
  text += "#num: x y z intensity\r\n";
  for (int i = 0; i < vertices; ++i) {
    text += std::to_string(i) + ":\t" + Fixed(numbers.Next(-1, 1)) + "\t" +
            Fixed(numbers.Next(-1, 1)) + "\t" + Fixed(numbers.Next(-1, 1)) + "\t0.000000\r\n";
  }
  text += "TEXTURE VERTICES 1\r\n0: 0.000000 0.000000\r\n";
  text += "MESH 0\r\nRADIUS " + Fixed(numbers.Next(0.01, 2)) + "\r\n";
  return text;
}

// Every line break the reader knows (LF, CR LF, lone CR), numbers written
// in every form it reads, values that leave the range of a double, a line
// of 2,000 characters, and a last line without a break.
std::string LinesLevel() {
  std::string long_line(2000, 'x');
  return "# Line breaks of every kind\n"
         "SECTION: JK\r"
         "VERSION 1\r\n"
         "\r"
         "SECTION: HEADER\n"
         "World Gravity\t  4e0  \r\n"
         "MipMap Distances .5 5. -1.25E+2\r\n"
         "\r\n"
         "SECTION: GEORESOURCE\r\n"
         "World vertices 5\r\n"
         "0:\t1e3\t-0\t+2.5\n"
         "1:\t1e400\t-1e-400\t7.\r"
         "2:  0.1   0.2   0.3  \r\n"
         "3:\t123456789012345678901234567890\t1e-7\t2e21\r\n"
         "4:\t1e\t2e+\t.\r\n"
         "World texture vertices 1\r\n"
         "0:\t0\t0\r\n"
         "\r\n"
         "SECTION: TEMPLATES\r\n"
         "World templates 2\r\n"
         "box _structure size=0.5 movesize=1e-1 height=.25 model3d=box.3do\r\n"
         "box2 box size=3 model3d=lamp.3do\r\n"
         "end\r\n"
         "SECTION: THINGS\r\n"
         "World things 2\r\n"
         "0: box box1 1 2 3 0 90 0 0 frame=(1/2/3:0/90/0) frame=(4.5/5.5/6.5:0/0/0)\r\n"
         "1: box2 box2 -1e2 .5 5. 0 0 0 0\r\n"
         "end\r\n"
         "# " +
         long_line +
         "\r\n"
         "SECTION: COGS\r\n"
         "World cogs 1\r\n"
         "0:\tlines.cog\r\n"
         "end";
}

std::string BigLevel(Numbers& numbers) {
  std::string text =
      "SECTION: HEADER\r\nWorld Gravity 4.0\r\n"
      "MipMap Distances 1.0 2.0 3.0 4.0\r\n\r\n"
      "SECTION: GEORESOURCE\r\nWorld vertices 40000\r\n";
  for (int i = 0; i < 40000; ++i) {
    text += std::to_string(i) + ":\t" + Fixed(numbers.Next(-50, 50)) + "\t" +
            Fixed(numbers.Next(-50, 50)) + "\t" + Fixed(numbers.Next(-5, 5)) + "\r\n";
  }
  text +=
      "\r\nSECTION: TEMPLATES\r\nWorld templates 3\r\n"
      "rock _structure size=0.300000 movesize=0.300000 model3d=rock.3do\r\n"
      "tree _structure size=1.000000 height=4.000000 model3d=tree.3do\r\n"
      "big _structure size=2.000000 model3d=big.3do\r\n"
      "end\r\n\r\nSECTION: THINGS\r\nWorld things 2000\r\n";
  const char* kTemplates[] = {"rock", "tree", "big"};
  for (int i = 0; i < 2000; ++i) {
    std::string name = kTemplates[i % 3];
    text += std::to_string(i) + ": " + name + " " + name + std::to_string(i);
    for (int k = 0; k < 6; ++k) text += " " + Fixed(numbers.Next(-50, 50));
    text += " " + std::to_string(i % 17) + "\r\n";
  }
  text += "end\r\n";
  return text;
}

bool WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  return bool(out);
}

bool Write(const std::filesystem::path& path, const jk::TestArchive& writer) {
  return WriteBytes(path, writer.Build());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: jkrescale-samples FOLDER\n");
    return 2;
  }
  namespace fs = std::filesystem;
  fs::path root(argv[1]);
  Numbers numbers;
  bool ok = Write(root / "Resource" / "res2.gob",
                  jk::TestArchive()
                      .Add("3do\\box.3do", Model("box.3do", 8, numbers))
                      .Add("3do\\lamp.3do", Model("lamp.3do", 5, numbers))
                      .Add("3do\\rock.3do", Model("rock.3do", 12, numbers))
                      .Add("3do\\big.3do", Model("big.3do", 5000, numbers))
                      .Add("cog\\lines.cog", "# a cog\r\nend\r\n"));
  ok = ok && Write(root / "Resource" / "jkmres.goo",
                   jk::TestArchive()
                       .Add("3do\\sub\\gear.3do", Model("gear.3do", 6, numbers))
                       .Add("3do\\wheel.3do", Model("wheel.3do", 7, numbers)));
  ok = ok && Write(root / "lines.gob", jk::TestArchive()
                                           .Add("jkl\\lines.jkl", LinesLevel())
                                           .Add("cog\\lines.cog", "# the level's own\rsymbols\nend")
                                           .Add("misc\\cogstrings.uni", "MSGS 0\r\nEND"));
  ok = ok && Write(root / "big.gob", jk::TestArchive()
                                         .Add("jkl\\big.jkl", BigLevel(numbers))
                                         .Add("3do\\tree.3do", Model("tree.3do", 300, numbers)));

  // An expansion archive: the level and its models in subfolders, a model
  // whose data lies outside the file, and one whose name leaves its folder.
  std::string deep = jk::TestArchive()
                         .Add("jkl\\sub\\deep.jkl",
                              "SECTION: HEADER\r\nWorld Gravity 2\r\n"
                              "SECTION: TEMPLATES\r\nWorld templates 3\r\n"
                              "gear _structure size=1 model3d=sub\\gear.3do\r\n"
                              "lost _structure size=1 model3d=lost.3do\r\n"
                              "evil _structure size=1 model3d=..\\evil.3do\r\nend\r\n"
                              "SECTION: THINGS\r\nWorld things 3\r\n"
                              "0: gear g 1 1 1 0 0 0 0\r\n1: lost l 2 2 2 0 0 0 0\r\n"
                              "2: evil e 3 3 3 0 0 0 0\r\nend\r\n")
                         .Add("3do\\lost.3do", "VERTICES 1\r\n0: 1 1 1\r\n")
                         .Add("3do\\..\\evil.3do", "VERTICES 1\r\n0: 1 1 1\r\n")
                         .Build();
  // The directory's entry 1 is lost.3do: its length now runs past the end.
  jk::PutInt32(&deep, 20 + 136 * 1, 1 << 30);
  ok = ok && WriteBytes(root / "deep.goo", deep);

  fs::path unicode_folder = root / fs::path(u8"Jeux \u00e9");
  ok = ok && Write(unicode_folder / fs::path(u8"\u00c9pisode \u00fc.gob"),
                   jk::TestArchive()
                       .Add("jkl\\first.jkl", "SECTION: HEADER\r\nWorld Gravity 1\r\n")
                       .Add("jkl\\unicode.jkl", LinesLevel())
                       .Add("cog\\lines.cog", "# cog\r\n"));
  ok = ok && Write(unicode_folder / fs::path(u8"extra \u00fc.gob"),
                   jk::TestArchive().Add("3do\\extra.3do", "VERTICES 0\r\n"));

  std::string damaged = jk::TestArchive().Add("jkl\\x.jkl", "x").Build();
  jk::PutInt32(&damaged, 8, 1 << 20);  // the entry count lies far past the end
  ok = ok && WriteBytes(root / "damaged.gob", damaged);

  if (!ok) {
    std::fprintf(stderr, "jkrescale-samples: cannot write the archives in '%s'\n", argv[1]);
    return 1;
  }
  return 0;
}
