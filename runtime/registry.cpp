// The registry's keys, values and handles, over one store held in memory and
// written back to its file on request. One mutex guards the store and the
// handle table: registration is rare and small, so nothing finer is needed.
#include "runtime/registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/ascii.h"
#include "runtime/registry_tree.h"

namespace plotvane {
namespace detail {

bool RegistryNameLess::operator()(const std::u16string& a, const std::u16string& b) const {
  return CompareIgnoringCase(a, b) < 0;
}

bool IsValidKeyName(std::u16string_view name) {
  if (name.empty() || name.size() > kMaxRegistryKeyName) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    const char16_t c = name[i];
    if (c == u'\\' || c < 0x20 || c == 0x7F) return false;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 >= name.size() || name[i + 1] < 0xDC00 || name[i + 1] > 0xDFFF) return false;
      ++i;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

bool SplitKeyPath(const char16_t* path, std::vector<std::u16string>* names) {
  names->clear();
  if (path == nullptr || *path == 0) return true;
  std::u16string_view rest(path);
  while (true) {
    const size_t cut = rest.find(u'\\');
    const std::u16string_view name = rest.substr(0, cut);
    if (!IsValidKeyName(name)) return false;
    names->emplace_back(name);
    if (cut == std::u16string_view::npos) return true;
    rest.remove_prefix(cut + 1);
  }
}

RegKey* FindSubkey(RegKey& key, const std::vector<std::u16string>& names) {
  RegKey* at = &key;
  for (const auto& name : names) {
    auto it = at->subkeys.find(name);
    if (it == at->subkeys.end()) return nullptr;
    at = it->second.get();
  }
  return at;
}

}  // namespace detail

namespace {

using detail::RegKey;
using detail::RegRoots;

// An open handle: the root it lies under and the names leading to its key.
struct OpenKey {
  size_t root;
  std::vector<std::u16string> names;
};

struct Store {
  std::string path;
  RegRoots roots;
  std::unordered_map<uintptr_t, OpenKey> handles;
};

std::mutex& RegistryMutex() {
  static std::mutex mutex;
  return mutex;
}

// The open store, or null. Guarded by RegistryMutex().
std::unique_ptr<Store>& OpenStore() {
  static std::unique_ptr<Store> store;
  return store;
}

// Handle numbers are never reused, not even across stores, so a handle of a
// dropped store cannot reach a key of the next one. Guarded by the mutex.
uintptr_t& NextHandleNumber() {
  static uintptr_t next = 0x1000;
  return next;
}

constexpr uintptr_t kFirstRootHandle = 0x80000000u;

// The root index of a predefined handle, or -1.
int RootIndex(HKEY key) {
  const uintptr_t n = reinterpret_cast<uintptr_t>(key);
  if (n < kFirstRootHandle || n >= kFirstRootHandle + detail::kRegistryRootNames.size()) return -1;
  return static_cast<int>(n - kFirstRootHandle);
}

// Where a handle points: its root and path, or the failure to report.
LSTATUS ResolveHandle(Store& store, HKEY key, OpenKey* out) {
  const int root = RootIndex(key);
  if (root >= 0) {
    *out = OpenKey{static_cast<size_t>(root), {}};
    return ERROR_SUCCESS;
  }
  auto it = store.handles.find(reinterpret_cast<uintptr_t>(key));
  if (it == store.handles.end()) return ERROR_INVALID_HANDLE;
  *out = it->second;
  return ERROR_SUCCESS;
}

// The key a handle names; fails with ERROR_KEY_DELETED once it is gone.
LSTATUS KeyOfHandle(Store& store, HKEY key, RegKey** out) {
  OpenKey open;
  LSTATUS status = ResolveHandle(store, key, &open);
  if (status != ERROR_SUCCESS) return status;
  *out = detail::FindSubkey(store.roots[open.root], open.names);
  return *out == nullptr ? ERROR_KEY_DELETED : ERROR_SUCCESS;
}

// Runs `f` on the key `handle` names, with the registry locked; fails as
// KeyOfHandle does, or with ERROR_INVALID_HANDLE when no store is open.
template <typename F>
LSTATUS WithKey(HKEY handle, F f) {
  std::lock_guard<std::mutex> lock(RegistryMutex());
  Store* store = OpenStore().get();
  if (store == nullptr) return ERROR_INVALID_HANDLE;
  RegKey* key;
  const LSTATUS status = KeyOfHandle(*store, handle, &key);
  return status == ERROR_SUCCESS ? f(*key) : status;
}

// Opens (and with `create`, creates) `sub_key` below `key`.
LSTATUS OpenOrCreate(HKEY key, LPCWSTR sub_key, bool create, PHKEY result, LPDWORD disposition) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  std::vector<std::u16string> names;
  if (!detail::SplitKeyPath(sub_key, &names)) return ERROR_INVALID_PARAMETER;
  std::lock_guard<std::mutex> lock(RegistryMutex());
  Store* store = OpenStore().get();
  if (store == nullptr) return ERROR_INVALID_HANDLE;
  OpenKey open;
  LSTATUS status = ResolveHandle(*store, key, &open);
  if (status != ERROR_SUCCESS) return status;
  RegKey* at = detail::FindSubkey(store->roots[open.root], open.names);
  if (at == nullptr) return ERROR_KEY_DELETED;
  if (store->handles.size() >= kMaxRegistryHandles) return ERROR_OUTOFMEMORY;
  bool created = false;
  for (const auto& name : names) {
    auto it = at->subkeys.find(name);
    if (it == at->subkeys.end()) {
      if (!create) return ERROR_FILE_NOT_FOUND;
      it = at->subkeys.emplace(name, std::make_unique<RegKey>()).first;
      created = true;
    }
    at = it->second.get();
  }
  open.names.insert(open.names.end(), names.begin(), names.end());
  const uintptr_t number = NextHandleNumber();
  NextHandleNumber() += 4;
  store->handles.emplace(number, std::move(open));
  *result = reinterpret_cast<HKEY>(number);
  if (disposition != nullptr) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  return ERROR_SUCCESS;
}

std::u16string ValueName(LPCWSTR name) { return name == nullptr ? std::u16string() : name; }

bool ReadWholeFile(const char* path, std::string* text, LSTATUS* status) {
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *status = errno == ENOENT ? ERROR_SUCCESS : ERROR_CANTOPEN;
    return false;
  }
  *status = ERROR_SUCCESS;
  char buffer[65536];
  while (true) {
    const ssize_t n = ::read(fd, buffer, sizeof(buffer));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) *status = ERROR_CANTOPEN;
    if (n <= 0) break;
    if (text->size() + static_cast<size_t>(n) > kMaxRegistryStoreBytes) {
      *status = ERROR_BADDB;
      break;
    }
    text->append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return *status == ERROR_SUCCESS;
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Writes `text` to a temporary file beside `path`, flushes it to disk and
// renames it over `path`; the temporary file is removed on failure.
bool ReplaceFile(const std::string& path, const std::string& text) {
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, 0644) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

}  // namespace

namespace detail {

RegistryLockedRoots::RegistryLockedRoots() {
  RegistryMutex().lock();
  Store* store = OpenStore().get();
  roots_ = store == nullptr ? nullptr : &store->roots;
}

RegistryLockedRoots::~RegistryLockedRoots() { RegistryMutex().unlock(); }

RegKey* RegistryLockedRoots::Root(HKEY root) {
  const int index = RootIndex(root);
  if (roots_ == nullptr || index < 0) return nullptr;
  return &(*roots_)[static_cast<size_t>(index)];
}

}  // namespace detail

LSTATUS OpenRegistryStore(const char* path) {
  if (path == nullptr || *path == 0) return ERROR_INVALID_PARAMETER;
  try {
    auto store = std::make_unique<Store>();
    store->path = path;
    std::string text;
    LSTATUS status;
    if (!ReadWholeFile(path, &text, &status) && status != ERROR_SUCCESS) return status;
    if (!detail::ParseRegistry(text, &store->roots)) return ERROR_BADDB;
    std::lock_guard<std::mutex> lock(RegistryMutex());
    OpenStore() = std::move(store);
    return ERROR_SUCCESS;
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  }
}

LSTATUS SaveRegistryStore() {
  try {
    std::string path, text;
    {
      std::lock_guard<std::mutex> lock(RegistryMutex());
      Store* store = OpenStore().get();
      if (store == nullptr) return ERROR_INVALID_HANDLE;
      path = store->path;
      text = detail::SerializeRegistry(store->roots);
    }
    return ReplaceFile(path, text) ? ERROR_SUCCESS : ERROR_CANTWRITE;
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  }
}

void CloseRegistryStore() {
  std::unique_ptr<Store> dropped;
  std::lock_guard<std::mutex> lock(RegistryMutex());
  dropped = std::move(OpenStore());
}

}  // namespace plotvane

using plotvane::OpenStore;
using plotvane::RegistryMutex;
using plotvane::detail::RegKey;

LSTATUS RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, LPWSTR, DWORD dwOptions, REGSAM,
                        const void*, PHKEY phkResult, LPDWORD lpdwDisposition) {
  if (dwOptions != REG_OPTION_NON_VOLATILE) {
    if (phkResult != nullptr) *phkResult = nullptr;
    return ERROR_INVALID_PARAMETER;
  }
  try {
    return plotvane::OpenOrCreate(hKey, lpSubKey, true, phkResult, lpdwDisposition);
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  }
}

LSTATUS RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM, PHKEY phkResult) {
  try {
    return plotvane::OpenOrCreate(hKey, lpSubKey, false, phkResult, nullptr);
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  }
}

LSTATUS RegCloseKey(HKEY hKey) {
  if (plotvane::RootIndex(hKey) >= 0) return ERROR_SUCCESS;
  std::lock_guard<std::mutex> lock(RegistryMutex());
  plotvane::Store* store = OpenStore().get();
  if (store == nullptr) return ERROR_INVALID_HANDLE;
  return store->handles.erase(reinterpret_cast<uintptr_t>(hKey)) == 1 ? ERROR_SUCCESS
                                                                        : ERROR_INVALID_HANDLE;
}

LSTATUS RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                       DWORD cbData) {
  if (dwType != REG_SZ || cbData % 2 != 0 || cbData > kMaxRegistryValueBytes ||
      (lpData == nullptr && cbData != 0)) {
    return ERROR_INVALID_PARAMETER;
  }
  try {
    const std::u16string name = plotvane::ValueName(lpValueName);
    if (name.size() > kMaxRegistryValueName) return ERROR_INVALID_PARAMETER;
    std::u16string data(cbData / 2, u'\0');
    if (cbData != 0) std::memcpy(data.data(), lpData, cbData);
    // The terminating zero the caller counted is not part of the string.
    if (!data.empty() && data.back() == 0) data.pop_back();
    return plotvane::WithKey(hKey, [&](RegKey& key) -> LSTATUS {
      key.values[name] = std::move(data);
      return ERROR_SUCCESS;
    });
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  }
}

LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData,
                         LPDWORD lpcbData) {
  if (lpData != nullptr && lpcbData == nullptr) return ERROR_INVALID_PARAMETER;
  try {
    const std::u16string name = plotvane::ValueName(lpValueName);
    return plotvane::WithKey(hKey, [&](RegKey& key) -> LSTATUS {
      auto it = key.values.find(name);
      if (it == key.values.end()) return ERROR_FILE_NOT_FOUND;
      if (lpType != nullptr) *lpType = REG_SZ;
      const DWORD needed = static_cast<DWORD>((it->second.size() + 1) * sizeof(char16_t));
      if (lpcbData == nullptr) return ERROR_SUCCESS;
      const DWORD room = *lpcbData;
      *lpcbData = needed;
      if (lpData == nullptr) return ERROR_SUCCESS;
      if (room < needed) return ERROR_MORE_DATA;
      std::memcpy(lpData, it->second.c_str(), needed);
      return ERROR_SUCCESS;
    });
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  }
}

LSTATUS RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) {
  try {
    const std::u16string name = plotvane::ValueName(lpValueName);
    return plotvane::WithKey(hKey, [&](RegKey& key) -> LSTATUS {
      return key.values.erase(name) == 1 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  }
}

LSTATUS RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey) {
  try {
    std::vector<std::u16string> names;
    if (!plotvane::detail::SplitKeyPath(lpSubKey, &names)) return ERROR_INVALID_PARAMETER;
    return plotvane::WithKey(hKey, [&](RegKey& key) -> LSTATUS {
      // A key deletes only below its handle's key: the handle's own key, and
      // a root, stay.
      if (names.empty()) return ERROR_ACCESS_DENIED;
      const std::u16string last = names.back();
      names.pop_back();
      RegKey* parent = plotvane::detail::FindSubkey(key, names);
      if (parent == nullptr) return ERROR_FILE_NOT_FOUND;
      auto it = parent->subkeys.find(last);
      if (it == parent->subkeys.end()) return ERROR_FILE_NOT_FOUND;
      if (!it->second->subkeys.empty()) return ERROR_ACCESS_DENIED;
      parent->subkeys.erase(it);
      return ERROR_SUCCESS;
    });
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  }
}
