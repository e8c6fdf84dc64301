#include <windows.h>

#include <iterator>

#include "platform/registry.h"
#include "platform/wide_text.h"

namespace jk {

namespace {

// A string value longer than this is no folder path: it is not read.
constexpr DWORD kLongestValueBytes = 64 * 1024;

// An open key, closed when it goes.
class OpenKey {
 public:
  OpenKey(RegistryRoot root, const std::string& path) {
    HKEY parent = root == RegistryRoot::kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    // KEY_WOW64_64KEY: the path is read as written, "WOW6432Node" or not,
    // by a 32-bit build as by a 64-bit one; 32-bit Windows ignores it.
    if (RegOpenKeyExW(parent, WideOf(path).c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key_) !=
        ERROR_SUCCESS) {
      key_ = nullptr;
    }
  }
  ~OpenKey() {
    if (key_) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;

  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

class WindowsRegistry : public Registry {
 public:
  bool ReadString(RegistryRoot root, const std::string& key, const std::string& name,
                  std::string* value) override {
    OpenKey open(root, key);
    if (!open.get()) return false;
    std::wstring wide_name = WideOf(name);
    // RRF_RT_REG_SZ takes REG_EXPAND_SZ values too, expanded.
    const DWORD kTypes = RRF_RT_REG_SZ;
    DWORD bytes = 0;
    if (RegGetValueW(open.get(), nullptr, wide_name.c_str(), kTypes, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        bytes > kLongestValueBytes) {
      return false;
    }
    // The value may grow between the two calls (and an expanded one may
    // need more than its size said): try again with what is asked for.
    for (int attempt = 0; attempt < 3; ++attempt) {
      std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
      bytes = DWORD(text.size() * sizeof(wchar_t));
      LSTATUS read = RegGetValueW(open.get(), nullptr, wide_name.c_str(), kTypes, nullptr,
                                  text.data(), &bytes);
      if (read == ERROR_MORE_DATA && bytes <= kLongestValueBytes) continue;
      if (read != ERROR_SUCCESS) return false;
      // `bytes` counts the final NUL that RegGetValueW always writes.
      text.resize(bytes / sizeof(wchar_t));
      while (!text.empty() && text.back() == L'\0') text.pop_back();
      *value = Utf8Of(text);
      return true;
    }
    return false;
  }

  std::vector<std::string> SubkeyNames(RegistryRoot root, const std::string& key,
                                       size_t limit) override {
    std::vector<std::string> names;
    OpenKey open(root, key);
    if (!open.get()) return names;
    // A key's name has at most 255 characters.
    wchar_t name[256];
    for (DWORD index = 0; names.size() < limit; ++index) {
      DWORD length = DWORD(std::size(name));
      LSTATUS read =
          RegEnumKeyExW(open.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
      if (read != ERROR_SUCCESS) break;  // ERROR_NO_MORE_ITEMS, or a failure
      names.push_back(Utf8Of(std::wstring_view(name, length)));
    }
    return names;
  }
};

}  // namespace

std::unique_ptr<Registry> MakeSystemRegistry() { return std::make_unique<WindowsRegistry>(); }

}  // namespace jk
