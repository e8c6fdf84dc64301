// The Windows registry, read only, as far as the search for installed games
// needs it: string values and the names of subkeys. Key paths are written
// with "\" below a root ("Software\Valve\Steam"), letter case ignored as
// Windows does; text is UTF-8.
//
// Keys are read as their paths say, whatever the program's own bitness: a
// path with "WOW6432Node" in it reads the 32-bit programs' part of the
// registry, one without it the 64-bit part.
#ifndef JKRESCALE_PLATFORM_REGISTRY_H_
#define JKRESCALE_PLATFORM_REGISTRY_H_

#include <memory>
#include <string>
#include <vector>

namespace jk {

enum class RegistryRoot {
  kLocalMachine,  // HKEY_LOCAL_MACHINE
  kCurrentUser,   // HKEY_CURRENT_USER
};

class Registry {
 public:
  virtual ~Registry() = default;

  // The string value `name` of the key `key` (REG_SZ, or REG_EXPAND_SZ with
  // its variables expanded) into `value`. False when the key or the value
  // is missing, is no string, or cannot be read.
  virtual bool ReadString(RegistryRoot root, const std::string& key, const std::string& name,
                          std::string* value) = 0;

  // The names of the first `limit` subkeys of `key`, in the registry's
  // order; none when the key is missing or cannot be read.
  virtual std::vector<std::string> SubkeyNames(RegistryRoot root, const std::string& key,
                                               size_t limit) = 0;
};

// The registry of this system; on systems other than Windows one that
// holds nothing.
std::unique_ptr<Registry> MakeSystemRegistry();

}  // namespace jk

#endif  // JKRESCALE_PLATFORM_REGISTRY_H_
