// Internal to the runtime: the registry's tree in memory, its text form in
// the store file, and the operations the type-library registration needs
// beyond the public key and value functions.
#ifndef PLOTVANE_RUNTIME_REGISTRY_TREE_H_
#define PLOTVANE_RUNTIME_REGISTRY_TREE_H_

#include <array>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/registry.h"

namespace plotvane {
namespace detail {

// Orders names as the registry compares them: ASCII letters without regard
// to case, every other unit by value.
struct RegistryNameLess {
  bool operator()(const std::u16string& a, const std::u16string& b) const;
};

// One key: its values by name ("" is the default value) and its subkeys.
// Each map's key is the name as first spelled.
struct RegKey {
  std::map<std::u16string, std::u16string, RegistryNameLess> values;
  std::map<std::u16string, std::unique_ptr<RegKey>, RegistryNameLess> subkeys;
};

// The names of the root keys, in the order of their handles
// (HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE).
constexpr std::array<const char*, 3> kRegistryRootNames = {
    "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"};
using RegRoots = std::array<RegKey, kRegistryRootNames.size()>;

// True when `name` may name a key: 1 to kMaxRegistryKeyName units, no "\",
// no control character, no unpaired surrogate (the store file is UTF-8).
bool IsValidKeyName(std::u16string_view name);

// Splits "A\B\C" into its names. A null or empty path gives no names; false
// when any name is invalid (an empty name included: "\A", "A\\B", "A\").
bool SplitKeyPath(const char16_t* path, std::vector<std::u16string>* names);

// The text form of `roots`, described in registry_file.cpp. Deterministic:
// the same tree always gives the same bytes.
std::string SerializeRegistry(const RegRoots& roots);
// Reads the text form into `roots` (which must be empty). False when the
// text is not a store.
bool ParseRegistry(std::string_view text, RegRoots* roots);

// Runs `body` on the store's root `root` under the registry's lock. Returns
// ERROR_INVALID_HANDLE without an open store (body not run), otherwise what
// `body` returns. `root` is one of the predefined root handles.
template <typename Body>
LSTATUS WithRegistryRoot(HKEY root, Body body);

// The key at `names` below `key`, or null.
RegKey* FindSubkey(RegKey& key, const std::vector<std::u16string>& names);

// The registry lock and the open store's roots, for WithRegistryRoot. The
// roots pointer is null without an open store.
class RegistryLockedRoots {
 public:
  RegistryLockedRoots();
  ~RegistryLockedRoots();
  RegistryLockedRoots(const RegistryLockedRoots&) = delete;
  RegistryLockedRoots& operator=(const RegistryLockedRoots&) = delete;
  RegKey* Root(HKEY root);

 private:
  RegRoots* roots_;
};

template <typename Body>
LSTATUS WithRegistryRoot(HKEY root, Body body) {
  RegistryLockedRoots locked;
  RegKey* key = locked.Root(root);
  if (key == nullptr) return ERROR_INVALID_HANDLE;
  return body(*key);
}

}  // namespace detail
}  // namespace plotvane

#endif  // PLOTVANE_RUNTIME_REGISTRY_TREE_H_
