// A registry held in memory, for tests: keys and string values put there by
// the test, read as the Windows registry reads them (letter case ignored,
// subkeys in name order), and counts of what was read, to check that a
// search stays within its bounds.
#ifndef JKRESCALE_TESTS_SUPPORT_MEMORY_REGISTRY_H_
#define JKRESCALE_TESTS_SUPPORT_MEMORY_REGISTRY_H_

#include <map>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace jk {

class MemoryRegistry : public Registry {
 public:
  // Puts a string value; its key and the keys above it are created.
  void SetString(RegistryRoot root, const std::string& key, const std::string& name,
                 const std::string& value);
  // Creates a key and the keys above it.
  void AddKey(RegistryRoot root, const std::string& key);

  bool ReadString(RegistryRoot root, const std::string& key, const std::string& name,
                  std::string* value) override;
  std::vector<std::string> SubkeyNames(RegistryRoot root, const std::string& key,
                                       size_t limit) override;

  // The values asked for so far, found or not.
  int value_reads() const { return value_reads_; }
  // The subkey names given so far.
  int subkey_names_given() const { return subkey_names_given_; }

 private:
  struct Key {
    // By name in lower case: the value.
    std::map<std::string, std::string> values;
    // By name in lower case: the name as written.
    std::map<std::string, std::string> subkeys;
  };
  // The key at `key` below `root`, made when missing.
  Key& Make(RegistryRoot root, const std::string& key);
  const Key* Find(RegistryRoot root, const std::string& key) const;

  // By root and path in lower case.
  std::map<std::pair<RegistryRoot, std::string>, Key> keys_;
  int value_reads_ = 0;
  int subkey_names_given_ = 0;
};

}  // namespace jk

#endif  // JKRESCALE_TESTS_SUPPORT_MEMORY_REGISTRY_H_
