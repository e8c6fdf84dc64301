// Builds GOB archives in memory, for the tests, the demo game folder and the
// benchmark: every archive the project uses is synthetic, made here. (The
// program's own writer, for mods, is archives/gob_writer.h.)
#ifndef JKRESCALE_TOOLS_TEST_ARCHIVE_H_
#define JKRESCALE_TOOLS_TEST_ARCHIVE_H_

#include <cstdint>
#include <string>
#include <vector>

namespace jk {

class TestArchive {
 public:
  // Adds an entry; entries keep the order they are added in.
  TestArchive& Add(const std::string& name, const std::string& data);

  // The archive: header (signature "GOB ", entry base 20, directory position
  // 12), entry count, the 136-byte entries, then the data of each entry in
  // order. Names longer than 128 bytes are cut.
  std::string Build() const;

  // Writes Build() to `path`; false when the file cannot be written.
  bool WriteTo(const std::string& path) const;

 private:
  struct Entry {
    std::string name;
    std::string data;
  };
  std::vector<Entry> entries_;
};

// Little-endian helpers for tests that patch archives by hand.
void PutInt32(std::string* bytes, size_t position, int32_t value);
void AppendInt32(std::string* bytes, int32_t value);

}  // namespace jk

#endif  // JKRESCALE_TOOLS_TEST_ARCHIVE_H_
