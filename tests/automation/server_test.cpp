// The server library as a client loads it: its exports, class objects,
// unload counts and registration, through the four entry points only.
#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "automation/members.h"
#include "automation/output.h"
#include "base/ascii.h"
#include "client/client.h"
#include "client/graph_kinds.h"
#include "runtime/com_ptr.h"
#include "runtime/registry.h"

namespace plotvane {
namespace {

// The server library loaded from `path`, with its entry points.
struct Server {
  explicit Server(const std::string& path) {
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return;
    get_class_object = reinterpret_cast<decltype(get_class_object)>(dlsym(handle, "DllGetClassObject"));
    can_unload_now = reinterpret_cast<decltype(can_unload_now)>(dlsym(handle, "DllCanUnloadNow"));
    register_server = reinterpret_cast<decltype(register_server)>(dlsym(handle, "DllRegisterServer"));
    unregister_server =
        reinterpret_cast<decltype(unregister_server)>(dlsym(handle, "DllUnregisterServer"));
  }
  // Stays loaded: its objects may still be referenced by a failed test.
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  bool ok() const {
    return get_class_object && can_unload_now && register_server && unregister_server;
  }
  ComPtr<IClassFactory> Factory() const {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(get_class_object(CLSID_Draw, IID_IClassFactory, factory.ReleaseAndGetAddressOfVoid()),
              S_OK);
    return factory;
  }

  void* handle = nullptr;
  HRESULT (*get_class_object)(REFCLSID, REFIID, void**) = nullptr;
  HRESULT (*can_unload_now)() = nullptr;
  HRESULT (*register_server)() = nullptr;
  HRESULT (*unregister_server)() = nullptr;
};

const Server& Built() {
  static const Server server(PLOTVANE_SERVER_LIBRARY);
  return server;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::u16string Widen(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::u16string GuidText(REFGUID guid) {
  OLECHAR text[kGuidStringSize];
  StringFromGUID2(guid, text, kGuidStringSize);
  return text;
}

// The value `name` of key `path`, or "<missing>".
std::u16string Value(const std::u16string& path, const char16_t* name = nullptr) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return u"<missing>";
  }
  char16_t buffer[PATH_MAX] = {};
  DWORD size = sizeof(buffer);
  const LSTATUS status =
      RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? std::u16string(buffer) : u"<missing>";
}

class ServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Built().ok()) << dlerror();
    std::string pattern = ::testing::TempDir() + "server-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    store_ = folder_ + "/registry.txt";
    ASSERT_EQ(OpenRegistryStore(store_.c_str()), ERROR_SUCCESS);
  }
  void TearDown() override {
    CloseRegistryStore();
    std::filesystem::remove_all(folder_);
  }

  std::string Saved() {
    EXPECT_EQ(SaveRegistryStore(), ERROR_SUCCESS);
    return ReadFile(store_);
  }

  std::string folder_;
  std::string store_;
};

TEST_F(ServerTest, ExportsExactlyTheFourEntryPoints) {
  FILE* nm = popen("nm -D --defined-only '" PLOTVANE_SERVER_LIBRARY "'", "r");
  ASSERT_NE(nm, nullptr);
  std::set<std::string> names;
  char line[1024];
  while (std::fgets(line, sizeof(line), nm) != nullptr) {
    std::istringstream fields(line);
    std::string address, kind, name;
    if (fields >> address >> kind >> name) names.insert(name);
  }
  ASSERT_EQ(pclose(nm), 0);
  const std::set<std::string> expected = {"DllCanUnloadNow", "DllGetClassObject",
                                          "DllRegisterServer", "DllUnregisterServer"};
  EXPECT_EQ(names, expected);
}

TEST_F(ServerTest, ClassObjects) {
  const GUID other_class = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
  const struct {
    const char* label;
    const GUID& clsid;
    const IID& iid;
    HRESULT expected;
  } cases[] = {
      {"IClassFactory", CLSID_Draw, IID_IClassFactory, S_OK},
      {"IClassFactory2", CLSID_Draw, IID_IClassFactory2, S_OK},
      {"IUnknown", CLSID_Draw, IID_IUnknown, S_OK},
      {"IDispatch of the factory", CLSID_Draw, IID_IDispatch, E_NOINTERFACE},
      {"another class", other_class, IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
      {"the interface id as a class", IID_IDraw, IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
  };
  for (const auto& c : cases) {
    void* out = reinterpret_cast<void*>(0x1);  // must be overwritten
    EXPECT_EQ(Built().get_class_object(c.clsid, c.iid, &out), c.expected) << c.label;
    EXPECT_EQ(out != nullptr, c.expected == S_OK) << c.label;
    if (out != nullptr) static_cast<IUnknown*>(out)->Release();
  }
  EXPECT_EQ(Built().get_class_object(CLSID_Draw, IID_IClassFactory, nullptr), E_POINTER);
  // The command names the class by the identifier the server registers.
  EXPECT_EQ(kDrawClassId, CLSID_Draw);
}

// The clients name the chart kinds as the server does: each kind's value is
// its TxGraphType, and every output member its suffix makes is a member.
TEST(ClientNamesTest, GraphKindsAreTheServersOwn) {
  const TxGraphType types[] = {gtPie, gtBar, gtLine, gtStackedBar};
  const char* prefixes[] = {"PNG", "GIF", "JPG", "BMP", "SavePNG", "SaveGIF", "SaveJPG", "SaveBMP"};
  ASSERT_EQ(std::size(types), kGraphKindCount);
  for (size_t k = 0; k < kGraphKindCount; ++k) {
    SCOPED_TRACE(kGraphKinds[k].name);
    EXPECT_EQ(kGraphKinds[k].graph_type, types[k]);
    for (const char* prefix : prefixes) {
      EXPECT_NE(FindMember(Widen(std::string(prefix) + kGraphKinds[k].member)), nullptr) << prefix;
    }
  }
}

TEST_F(ServerTest, CreatingObjects) {
  ComPtr<IClassFactory> factory = Built().Factory();
  ASSERT_TRUE(factory);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, nullptr), E_POINTER);

  ComPtr<IUnknown> outer;
  ASSERT_EQ(factory->QueryInterface(IID_IUnknown, outer.ReleaseAndGetAddressOfVoid()), S_OK);
  const struct {
    const char* label;
    IUnknown* outer;
    const IID& iid;
    HRESULT expected;
  } cases[] = {
      {"IDispatch", nullptr, IID_IDispatch, S_OK},
      {"IDraw", nullptr, IID_IDraw, S_OK},
      {"IDraw2", nullptr, IID_IDraw2, S_OK},
      {"an interface the object lacks", nullptr, IID_IClassFactory, E_NOINTERFACE},
      {"aggregated, IDispatch", outer.Get(), IID_IDispatch, CLASS_E_NOAGGREGATION},
      {"aggregated, IUnknown", outer.Get(), IID_IUnknown, S_OK},
  };
  for (const auto& c : cases) {
    void* object = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(factory->CreateInstance(c.outer, c.iid, &object), c.expected) << c.label;
    EXPECT_EQ(object != nullptr, c.expected == S_OK) << c.label;
    if (object != nullptr) static_cast<IUnknown*>(object)->Release();
    // Whatever the outcome, no object is left behind.
    EXPECT_EQ(Built().can_unload_now(), S_OK) << c.label;
  }
}

TEST_F(ServerTest, UnloadsOnlyWithoutObjectsAndLocks) {
  ComPtr<IClassFactory> factory = Built().Factory();
  ASSERT_TRUE(factory);
  EXPECT_EQ(Built().can_unload_now(), S_OK);
  {
    ComPtr<IDispatch> draw;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, draw.ReleaseAndGetAddressOfVoid()),
              S_OK);
    EXPECT_EQ(Built().can_unload_now(), S_FALSE);
    // Type information lives in the server too.
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(draw->GetTypeInfo(0, 0, info.ReleaseAndGetAddressOf()), S_OK);
    draw.Reset();
    EXPECT_EQ(Built().can_unload_now(), S_FALSE);
  }
  EXPECT_EQ(Built().can_unload_now(), S_OK);

  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(Built().can_unload_now(), S_FALSE);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(Built().can_unload_now(), S_OK);
  // An unlock too many is ignored, so the next lock still holds the server.
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(Built().can_unload_now(), S_FALSE);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(Built().can_unload_now(), S_OK);
}

TEST_F(ServerTest, RegistersEveryKeyOnceAndUnregistersThem) {
  ASSERT_EQ(Built().register_server(), S_OK);
  char resolved[PATH_MAX];
  ASSERT_NE(realpath(PLOTVANE_SERVER_LIBRARY, resolved), nullptr);
  const std::u16string library = Widen(resolved);
  const std::u16string clsid = GuidText(CLSID_Draw);
  const std::u16string libid = GuidText(LIBID_Plotvane);
  const std::u16string cls = u"CLSID\\" + clsid;
  const std::u16string typelib = u"TypeLib\\" + libid + u"\\3.1";
  const std::u16string iface = u"Interface\\" + GuidText(IID_IDraw);
  const std::u16string iface2 = u"Interface\\" + GuidText(IID_IDraw2);
  const struct {
    std::u16string key;
    const char16_t* name;
    std::u16string value;
  } keys[] = {
      {cls, nullptr, u"Draw Object"},
      {cls + u"\\InprocServer32", nullptr, library},
      {cls + u"\\InprocServer32", u"ThreadingModel", u"Both"},
      {u"Plotvane.Draw", nullptr, u"Draw Object"},
      {u"Plotvane.Draw\\Clsid", nullptr, clsid},
      {cls + u"\\ProgID", nullptr, u"Plotvane.Draw"},
      {cls + u"\\Version", nullptr, u"3.1"},
      {cls + u"\\TypeLib", nullptr, libid},
      {typelib, nullptr, u"Plotvane Library"},
      {typelib + u"\\0\\win64", nullptr, library},
      {typelib + u"\\FLAGS", nullptr, u"0"},
      {iface, nullptr, u"IDraw"},
      {iface + u"\\TypeLib", nullptr, libid},
      {iface + u"\\TypeLib", u"Version", u"3.1"},
      {iface2, nullptr, u"IDraw2"},
      {iface2 + u"\\TypeLib", nullptr, libid},
  };
  for (const auto& k : keys) {
    EXPECT_EQ(Value(k.key, k.name), k.value) << std::string(k.key.begin(), k.key.end());
  }
  const std::string once = Saved();
  ASSERT_EQ(Built().register_server(), S_OK);
  EXPECT_EQ(Saved(), once);

  // Unregistering removes exactly what registration wrote.
  HKEY foreign = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, u"Interface\\{00000000-0000-0000-0000-000000000001}\\TypeLib",
                            0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &foreign, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(foreign);
  ASSERT_EQ(Built().unregister_server(), S_OK);
  for (const auto& k : keys) {
    EXPECT_EQ(Value(k.key, k.name), u"<missing>") << std::string(k.key.begin(), k.key.end());
  }
  const std::string after = Saved();
  for (const GUID* id : {&CLSID_Draw, &LIBID_Plotvane, &IID_IDraw, &IID_IDraw2}) {
    const std::u16string text = GuidText(*id);
    EXPECT_EQ(after.find(std::string(text.begin(), text.end())), std::string::npos) << after;
  }
  EXPECT_EQ(after.find("Plotvane.Draw"), std::string::npos) << after;
  EXPECT_NE(after.find("{00000000-0000-0000-0000-000000000001}"), std::string::npos) << after;
  // Unregistering what is not registered succeeds and changes nothing.
  ASSERT_EQ(Built().unregister_server(), S_OK);
  EXPECT_EQ(Saved(), after);
}

TEST_F(ServerTest, RegistrationWithoutAStoreFails) {
  CloseRegistryStore();
  EXPECT_EQ(Built().register_server(), E_FAIL);
  EXPECT_EQ(Built().unregister_server(), E_FAIL);
}

// A path with blanks is recorded as it is: there is no short form of it.
TEST_F(ServerTest, PathWithBlanksIsRecordedWhole) {
  const std::string copy_folder = folder_ + "/a folder with blanks";
  std::filesystem::create_directories(copy_folder);
  const std::string copy = copy_folder + "/libplotvane.so";
  std::filesystem::copy_file(PLOTVANE_SERVER_LIBRARY, copy);
  const Server server(copy);
  ASSERT_TRUE(server.ok()) << dlerror();
  ASSERT_EQ(server.register_server(), S_OK);
  char resolved[PATH_MAX];
  ASSERT_NE(realpath(copy.c_str(), resolved), nullptr);
  EXPECT_EQ(Value(u"CLSID\\" + GuidText(CLSID_Draw) + u"\\InprocServer32"), Widen(resolved));
}

}  // namespace
}  // namespace plotvane
