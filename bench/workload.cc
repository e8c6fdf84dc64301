#include "workload.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "test_archive.h"

namespace bench {

namespace fs = std::filesystem;

namespace {

// Writes a GOB archive straight to its file, entry after entry, so that a
// level of hundreds of megabytes is never held in memory: the directory is
// reserved first and filled in at the end. The layout is TestArchive's.
class StreamingGob {
 public:
  StreamingGob(const std::string& path, std::vector<std::string> names)
      : out_(path, std::ios::binary | std::ios::trunc), names_(std::move(names)) {
    std::string header = "GOB ";
    jk::AppendInt32(&header, 20);  // entry base
    jk::AppendInt32(&header, 12);  // directory position
    jk::AppendInt32(&header, int32_t(names_.size()));
    out_.write(header.data(), std::streamsize(header.size()));
    directory_.assign(names_.size() * 136, '\0');
    out_.write(directory_.data(), std::streamsize(directory_.size()));
    position_ = int64_t(header.size() + directory_.size());
  }

  // The next entry's data, in one or more pieces.
  void Begin() { start_ = position_; }
  void Append(std::string_view data) {
    out_.write(data.data(), std::streamsize(data.size()));
    position_ += int64_t(data.size());
  }
  void End() {
    size_t at = entry_++ * 136;
    jk::PutInt32(&directory_, at, int32_t(start_));
    jk::PutInt32(&directory_, at + 4, int32_t(position_ - start_));
    directory_.replace(at + 8, names_[entry_ - 1].size(), names_[entry_ - 1]);
  }

  // Writes the directory; false when any write failed.
  bool Finish() {
    out_.seekp(16);
    out_.write(directory_.data(), std::streamsize(directory_.size()));
    out_.close();
    return bool(out_) && entry_ == names_.size();
  }

 private:
  std::ofstream out_;
  std::vector<std::string> names_;
  std::string directory_;
  size_t entry_ = 0;
  int64_t start_ = 0, position_ = 0;
};

class Text {
 public:
  explicit Text(uint32_t seed) : random_(seed) {}

  Text& Line(std::string_view s) {
    text_.append(s);
    text_.append("\r\n");
    return *this;
  }
  Text& Put(std::string_view s) {
    text_.append(s);
    return *this;
  }
  Text& Int(long long v) { return Put(std::to_string(v)); }
  // A coordinate between -range and range, as level editors write them.
  Text& Number(double range) {
    char buffer[32];
    double v = (double(random_()) / double(std::mt19937::max()) * 2 - 1) * range;
    int n = std::snprintf(buffer, sizeof buffer, "%.6f", v);
    return Put(std::string_view(buffer, size_t(n)));
  }
  Text& End() { return Put("\r\n"); }

  size_t size() const { return text_.size(); }
  std::string& str() { return text_; }
  // Hands the text written so far to `gob` and starts afresh.
  void FlushTo(StreamingGob& gob) {
    gob.Append(text_);
    text_.clear();
  }

 private:
  std::mt19937 random_;
  std::string text_;
};

const char* const kBases[] = {"_structure", "_decor", "_walkstruct"};

// The level text, streamed into the level archive's current entry; returns
// its length.
int64_t WriteLevel(const Workload& w, StreamingGob& gob) {
  Text t(1);
  int64_t length = 0;
  auto flush = [&] {
    length += int64_t(t.size());
    t.FlushTo(gob);
  };
  t.Line("# jkrescale benchmark level, synthetic").Line("SECTION: JK").Line("VERSION 1");
  t.Line("").Line("SECTION: HEADER").Line("Version 1").Line("World Gravity 4.000000");
  t.Line("Ceiling Sky Z 15.000000").Line("Horizon Distance 200.000000");
  t.Line("MipMap Distances 1.000000 2.000000 3.000000 4.000000");
  t.Line("LOD Distances 0.300000 0.600000 0.900000 1.200000").Line("");
  t.Line("SECTION: GEORESOURCE").Line("World Colormaps 1").Line("0:\tdflt.cmp").Line("");

  t.Put("World vertices ").Int(w.vertices).End().Line("#num:\tvertex:");
  for (int i = 0; i < w.vertices; ++i) {
    t.Int(i).Put(":\t").Number(40).Put("\t").Number(40).Put("\t").Number(10).End();
  }
  t.Line("").Put("World texture vertices ").Int(w.vertices).End().Line("#num:\tu:\tv:");
  for (int i = 0; i < w.vertices; ++i) t.Int(i).Put(":\t").Number(64).Put("\t").Number(64).End();
  flush();

  // Adjoins and surfaces go through unchanged; the surfaces make up the rest
  // of the level's size, as they do in the game's own levels.
  int adjoins = w.vertices / 20;
  t.Line("").Put("World adjoins ").Int(adjoins).End().Line("#num:\tflags:\tmirror:\tdist:");
  for (int i = 0; i < adjoins; ++i) t.Int(i).Put(":\t0x7\t").Int(i ^ 1).Put("\t0.000000").End();
  int64_t templates_and_things = int64_t(w.things) * 150 + int64_t(w.templates) * 110;
  t.Line("").Line("World surfaces 0");
  for (int i = 0; length + int64_t(t.size()) + templates_and_things < w.level_min_bytes; ++i) {
    int v = (i * 4) % w.vertices;
    t.Int(i).Put(":\t5\t0x4\t0x4\t4\t3\t4\t-1\t0.000000\t4\t");
    for (int k = 0; k < 4; ++k) t.Int(v + k).Put(",").Int(v + k).Put("\t");
    t.Put("0.500000\t0.500000\t0.500000\t0.500000").End();
    if (t.size() > (1 << 20)) flush();
  }
  t.Line("").Line("SECTION: SECTORS").Line("World sectors 0").Line("");

  t.Line("SECTION: TEMPLATES").Put("World templates ").Int(w.templates).End();
  t.Line("#Name:\tBased On:\tParams:");
  for (int k = 0; k < w.templates; ++k) {
    int model = k % (w.level_models + w.resource_models);
    t.Put("tpl").Int(k).Put("\t").Put(kBases[k % 3]);
    t.Put("\tthingflags=0x400000 size=0.050000 movesize=0.050000 height=0.100000 model3d=");
    t.Put(model < w.level_models ? "lm" : "m").Int(model).Put(".3do").End();
  }
  t.Line("end").Line("");
  flush();

  t.Line("SECTION: Things").Put("World things ").Int(w.things).End();
  t.Line("#num template: name: X: Y: Z: Pitch: Yaw: Roll: Sector: Flags:");
  for (int j = 0; j < w.things; ++j) {
    t.Int(j).Put(": tpl").Int(j % w.templates).Put(" thing").Int(j).Put(" ");
    t.Number(40).Put(" ").Number(40).Put(" ").Number(10);
    t.Put(" 0.000000 90.000000 0.000000 12 thingflags=0x400");
    for (int f = 0; j % 2 == 1 && f < 2; ++f) {
      t.Put(" frame=(").Number(40).Put("/").Number(40).Put("/").Number(10);
      t.Put(":0.000000/90.000000/0.000000)");
    }
    t.End();
  }
  t.Line("end").Line("");
  t.Line("SECTION: COGS").Put("World cogs ").Int(w.cog_lines).End().Line("#Num\tScript\tvalues");
  for (int i = 0; i < w.cog_lines; ++i) {
    t.Int(i).Put(":\tc").Int(i % w.cogs).Put(".cog\t12 13").End();
  }
  t.Line("end");
  flush();
  return length;
}

std::string ModelText(int index, std::string_view name, uint32_t seed, const Workload& w) {
  Text t(seed);
  t.Put("# MODEL ").Put(name).Put(" made by jkrescale-bench").End();
  t.Line("SECTION: HEADER").Line("3DO 2.1");
  // A row that a vertex list left open by the model before scales.
  if (w.odd_models && index % 5 == 4) t.Put("0:\t").Number(1).Put("\t1.0\t1.0\t0.0").End();
  t.Line("").Line("SECTION: GEOMETRYDEF");
  t.Put("RADIUS\t").Number(2).End().Line("GEOSETS 1").Line("GEOSET 0").Line("MESHES 1");
  t.Line("MESH 0").Put("NAME m").Int(index).End().Put("RADIUS ").Number(2).End();
  t.Put("VERTICES ")
      .Int(w.model_vertices)
      .End()
      .Line("# num:     x:         y:         z:      i:");
  for (int i = 0; i < w.model_vertices; ++i) {
    t.Put("     ").Int(i).Put(":\t").Number(1).Put("\t").Number(1).Put("\t").Number(1);
    t.Put("\t0.000000").End();
  }
  if (w.odd_models && index % 7 == 2) {
    t.Put("INSERT OFFSET ").Number(1).Put(" ").Number(1).Put(" ").Number(1).End();
    t.Line("HIERARCHY NODES 2");
    for (int i = 0; i < 2; ++i) {
      t.Put("  ").Int(i).Put(": 0x0 0x1 0 -1 -1 -1 0 ").Number(1).Put(" ").Number(1);
      t.Put(" ").Number(1).Put(" 0.0 90.0 0.0 ").Number(1).Put(" ").Number(1).Put(" ").Number(1);
      t.Put(" node").Int(i).End();
    }
  }
  bool ends_vertex_list = !(w.odd_models && index % 5 == 3);
  t.Line("").Line(ends_vertex_list ? "TEXTURE VERTICES 4" : "# the texture vertices");
  for (int i = 0; i < 4; ++i)
    t.Put("     ").Int(i).Put(":\t").Number(64).Put("\t").Number(64).End();
  t.Line("").Put("FACES ").Int(w.model_faces).End();
  for (int i = 0; i < w.model_faces; ++i) {
    int v = (i * 3) % w.model_vertices;
    t.Put("     ").Int(i).Put(":\t0\t0x0\t4\t3\t4\t0.000000\t3\t");
    t.Int(v).Put(",0 ").Int(v + 1).Put(",1 ").Int(v + 2).Put(",2").End();
  }
  return std::move(t.str());
}

}  // namespace

bool BuildArchives(const Workload& w, const fs::path& folder, Archives* a) {
  a->level = (folder / "level.gob").string();
  a->resource = (folder / "res2.gob").string();
  std::vector<std::string> names = {"jkl\\bench.jkl"};
  for (int i = 0; i < w.level_models; ++i) names.push_back("3do\\lm" + std::to_string(i) + ".3do");
  for (int i = 0; i < w.cogs; ++i) names.push_back("cog\\c" + std::to_string(i) + ".cog");
  names.push_back("misc\\cogstrings.uni");
  StreamingGob level(a->level, names);
  level.Begin();
  a->level_text = WriteLevel(w, level);
  level.End();
  for (int i = 0; i < w.level_models; ++i) {
    std::string text = ModelText(i, names[size_t(1 + i)], uint32_t(i + 7), w);
    a->model_text += int64_t(text.size());
    level.Begin();
    level.Append(text);
    level.End();
  }
  for (int i = 0; i < w.cogs; ++i) {
    level.Begin();
    level.Append("# cog\r\nsymbols\r\nend\r\ncode\r\nend\r\n");
    level.End();
  }
  level.Begin();
  level.Append("MSGS 1\r\n\"HELLO\" 0 \"hello\"\r\nEND\r\n");
  level.End();
  if (!level.Finish()) return false;

  names.clear();
  for (int i = 0; i < w.resource_models; ++i) {
    names.push_back("3do\\m" + std::to_string(w.level_models + i) + ".3do");
  }
  StreamingGob resource(a->resource, names);
  for (int i = 0; i < w.resource_models; ++i) {
    std::string text = ModelText(i, names[size_t(i)], uint32_t(1000 + i), w);
    a->model_text += int64_t(text.size());
    resource.Begin();
    resource.Append(text);
    resource.End();
  }
  return resource.Finish();
}

// Copies a file through a 64 KiB buffer, as a plain copy program would.
bool CopyBytes(const std::string& from, const std::string& to) {
  std::FILE* in = std::fopen(from.c_str(), "rb");
  std::FILE* out = std::fopen(to.c_str(), "wb");
  bool ok = in && out;
  static char buffer[1 << 16];
  size_t n;
  while (ok && (n = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
    ok = std::fwrite(buffer, 1, n, out) == n;
  }
  if (in) std::fclose(in);
  if (out && std::fclose(out) != 0) ok = false;
  return ok;
}

double UserSeconds() {
#ifdef _WIN32
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  return double((uint64_t(user.dwHighDateTime) << 32) | user.dwLowDateTime) * 1e-7;
#else
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec) + double(usage.ru_utime.tv_usec) * 1e-6;
#endif
}

void WriteBackDirtyPages() {
#ifndef _WIN32
  ::sync();
#endif
}

bool CopyTree(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::create_directories(to, ec);
  if (ec) return false;
  for (const fs::directory_entry& entry : fs::directory_iterator(from, ec)) {
    fs::path target = to / entry.path().filename();
    bool ok = entry.is_directory() ? CopyTree(entry.path(), target)
                                   : CopyBytes(entry.path().string(), target.string());
    if (!ok) return false;
  }
  return !ec;
}

}  // namespace bench
