#include "platform/registry.h"

namespace jk {

namespace {

// Outside Windows there is no registry: games installed under Wine are
// found through their folders instead.
class NoRegistry : public Registry {
 public:
  bool ReadString(RegistryRoot, const std::string&, const std::string&, std::string*) override {
    return false;
  }
  std::vector<std::string> SubkeyNames(RegistryRoot, const std::string&, size_t) override {
    return {};
  }
};

}  // namespace

std::unique_ptr<Registry> MakeSystemRegistry() { return std::make_unique<NoRegistry>(); }

}  // namespace jk
