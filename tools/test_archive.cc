#include "test_archive.h"

#include <fstream>

namespace jk {

TestArchive& TestArchive::Add(const std::string& name, const std::string& data) {
  entries_.push_back({name, data});
  return *this;
}

void PutInt32(std::string* bytes, size_t position, int32_t value) {
  uint32_t u = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) (*bytes)[position + size_t(i)] = char((u >> (8 * i)) & 0xff);
}

void AppendInt32(std::string* bytes, int32_t value) {
  bytes->append(4, '\0');
  PutInt32(bytes, bytes->size() - 4, value);
}

std::string TestArchive::Build() const {
  constexpr int32_t kDirectory = 12;
  constexpr int32_t kEntryBase = kDirectory + 8;
  std::string bytes = "GOB ";
  AppendInt32(&bytes, kEntryBase);
  AppendInt32(&bytes, kDirectory);
  AppendInt32(&bytes, static_cast<int32_t>(entries_.size()));
  size_t data = bytes.size() + 136 * entries_.size();
  for (const Entry& e : entries_) {
    AppendInt32(&bytes, static_cast<int32_t>(data));
    AppendInt32(&bytes, static_cast<int32_t>(e.data.size()));
    std::string field = e.name.substr(0, 128);
    field.resize(128, '\0');
    bytes += field;
    data += e.data.size();
  }
  for (const Entry& e : entries_) bytes += e.data;
  return bytes;
}

bool TestArchive::WriteTo(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::string bytes = Build();
  out.write(bytes.data(), std::streamsize(bytes.size()));
  return bool(out);
}

}  // namespace jk
