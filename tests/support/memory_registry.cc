#include "memory_registry.h"

#include "platform/path.h"

namespace jk {

MemoryRegistry::Key& MemoryRegistry::Make(RegistryRoot root, const std::string& key) {
  size_t last = key.rfind('\\');
  if (last != std::string::npos) {
    Make(root, key.substr(0, last))
        .subkeys.emplace(ToLowerAscii(key.substr(last + 1)), key.substr(last + 1));
  } else {
    keys_[{root, ""}].subkeys.emplace(ToLowerAscii(key), key);
  }
  return keys_[{root, ToLowerAscii(key)}];
}

const MemoryRegistry::Key* MemoryRegistry::Find(RegistryRoot root, const std::string& key) const {
  auto it = keys_.find({root, ToLowerAscii(key)});
  return it == keys_.end() ? nullptr : &it->second;
}

void MemoryRegistry::SetString(RegistryRoot root, const std::string& key, const std::string& name,
                               const std::string& value) {
  Make(root, key).values[ToLowerAscii(name)] = value;
}

void MemoryRegistry::AddKey(RegistryRoot root, const std::string& key) { Make(root, key); }

bool MemoryRegistry::ReadString(RegistryRoot root, const std::string& key, const std::string& name,
                                std::string* value) {
  ++value_reads_;
  const Key* found = Find(root, key);
  if (!found) return false;
  auto it = found->values.find(ToLowerAscii(name));
  if (it == found->values.end()) return false;
  *value = it->second;
  return true;
}

std::vector<std::string> MemoryRegistry::SubkeyNames(RegistryRoot root, const std::string& key,
                                                     size_t limit) {
  std::vector<std::string> names;
  const Key* found = Find(root, key);
  if (!found) return names;
  for (const auto& [lower, name] : found->subkeys) {
    if (names.size() == limit) break;
    names.push_back(name);
  }
  subkey_names_given_ += int(names.size());
  return names;
}

}  // namespace jk
