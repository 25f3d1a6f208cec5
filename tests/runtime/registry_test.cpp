// The registry store: keys and values through the public functions, the
// store file written and read back, and refusals of bad names and files.
#include "runtime/registry.h"

#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace plotvane {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "registry-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    path_ = folder_ + "/store.txt";
    ASSERT_EQ(OpenRegistryStore(path_.c_str()), ERROR_SUCCESS);
  }
  void TearDown() override {
    CloseRegistryStore();
    unlink(path_.c_str());
    rmdir(folder_.c_str());
  }

  static LSTATUS Set(const char16_t* key_path, const char16_t* name, const std::u16string& value) {
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, key_path, 0, nullptr,
                                     REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return status;
    status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * 2));
    RegCloseKey(key);
    return status;
  }
  // The value, or "<status N>" when it cannot be read.
  static std::u16string Get(const char16_t* key_path, const char16_t* name) {
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExW(HKEY_CLASSES_ROOT, key_path, 0, KEY_READ, &key);
    DWORD size = 0;
    if (status == ERROR_SUCCESS) status = RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size);
    std::u16string value(size / 2, u'\0');
    if (status == ERROR_SUCCESS) {
      status = RegQueryValueExW(key, name, nullptr, nullptr,
                                reinterpret_cast<BYTE*>(value.data()), &size);
    }
    if (key != nullptr) RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
      const std::string text = "<status " + std::to_string(status) + ">";
      return std::u16string(text.begin(), text.end());
    }
    value.pop_back();  // the terminating zero
    return value;
  }

  std::string folder_;
  std::string path_;
};

TEST_F(RegistryTest, ValuesSurviveSavingAndReopening) {
  const struct {
    const char16_t* key;
    const char16_t* name;
    std::u16string value;
  } cases[] = {
      {u"CLSID\\{62C75F58-23FA-4ECC-B03E-466195CF294A}", nullptr, u"Draw Object"},
      {u"CLSID\\{62C75F58-23FA-4ECC-B03E-466195CF294A}\\InprocServer32", u"ThreadingModel", u"Both"},
      {u"Paths", u"", u"/a folder/with \"quotes\" and \\back\\slashes"},
      {u"Paths", u"line\nbreak", u"tab\there\r\nnext"},
      {u"Unicode \u00C5", u"\u00E9", u"\u00C5lesund \U0001F600 \u4E2D"},
      {u"Odd", u"control", std::u16string(u"\x01\x1F\x7F", 3)},
      {u"Odd", u"lone surrogates", std::u16string(u"\xD800x\xDC00", 3)},
      {u"Odd", u"zero inside", std::u16string(u"a\0b", 3)},
      {u"Empty", u"nothing", u""},
  };
  for (const auto& c : cases) ASSERT_EQ(Set(c.key, c.name, c.value), ERROR_SUCCESS);
  ASSERT_EQ(SaveRegistryStore(), ERROR_SUCCESS);
  const std::string first = ReadFile(path_);

  CloseRegistryStore();
  ASSERT_EQ(OpenRegistryStore(path_.c_str()), ERROR_SUCCESS);
  for (const auto& c : cases) {
    const std::u16string got = Get(c.key, c.name);
    EXPECT_EQ(got, c.value) << std::string(c.key, c.key + std::char_traits<char16_t>::length(c.key));
  }
  // Reading and writing again gives the same bytes.
  ASSERT_EQ(SaveRegistryStore(), ERROR_SUCCESS);
  EXPECT_EQ(ReadFile(path_), first);
}

TEST_F(RegistryTest, KeysCompareWithoutLetterCaseAndKeepTheirSpelling) {
  ASSERT_EQ(Set(u"Plotvane.Draw\\Clsid", nullptr, u"{X}"), ERROR_SUCCESS);
  EXPECT_EQ(Get(u"PLOTVANE.DRAW\\clsid", nullptr), u"{X}");
  ASSERT_EQ(Set(u"plotvane.draw", nullptr, u"Draw Object"), ERROR_SUCCESS);
  ASSERT_EQ(SaveRegistryStore(), ERROR_SUCCESS);
  const std::string text = ReadFile(path_);
  EXPECT_NE(text.find("[HKEY_CLASSES_ROOT\\Plotvane.Draw]"), std::string::npos) << text;
  EXPECT_EQ(text.find("plotvane.draw"), std::string::npos) << text;
}

TEST_F(RegistryTest, DeletingKeys) {
  ASSERT_EQ(Set(u"A\\B\\C", nullptr, u"c"), ERROR_SUCCESS);
  HKEY c = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, u"A\\B\\C", 0, KEY_READ, &c), ERROR_SUCCESS);
  // A key with subkeys stays; leaves go; a missing key is reported as such.
  EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u"A\\B"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u"A\\B\\C"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u"A\\B\\C"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u"A\\Missing\\C"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u""), ERROR_ACCESS_DENIED);
  // A handle of a deleted key fails instead of reaching another key.
  const std::u16string v = u"x";
  EXPECT_EQ(RegSetValueExW(c, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()), 4),
            ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(c), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(c), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u"A\\B"), ERROR_SUCCESS);
}

TEST_F(RegistryTest, QueryingValues) {
  ASSERT_EQ(Set(u"K", u"name", u"abc"), ERROR_SUCCESS);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, u"K", 0, KEY_READ, &key), ERROR_SUCCESS);
  char16_t buffer[8] = {u'#', u'#', u'#', u'#'};
  DWORD size = 6;  // room for "abc" but not its terminating zero
  DWORD type = REG_NONE;
  EXPECT_EQ(RegQueryValueExW(key, u"NAME", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size),
            ERROR_MORE_DATA);
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(buffer[0], u'#');
  EXPECT_EQ(RegQueryValueExW(key, u"name", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::u16string(buffer), u"abc");
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(RegQueryValueExW(key, u"other", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteValueW(key, u"Name"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueW(key, u"Name"), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
}

TEST_F(RegistryTest, RefusesMalformedRequests) {
  const struct {
    const char16_t* path;
    LSTATUS expected;
  } paths[] = {
      {u"\\Leading", ERROR_INVALID_PARAMETER},
      {u"Trailing\\", ERROR_INVALID_PARAMETER},
      {u"Double\\\\Slash", ERROR_INVALID_PARAMETER},
      {u"Control\x01", ERROR_INVALID_PARAMETER},
      {u"Lone\xD800", ERROR_INVALID_PARAMETER},
      {u"Fine\\Name with blanks [and] =\"quotes\"", ERROR_SUCCESS},
  };
  for (const auto& p : paths) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, p.path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_WRITE, nullptr, &key, nullptr),
              p.expected);
    if (key != nullptr) RegCloseKey(key);
  }
  std::u16string long_name(kMaxRegistryKeyName + 1, u'x');
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, long_name.c_str(), 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(key, nullptr);
  EXPECT_EQ(RegOpenKeyExW(reinterpret_cast<HKEY>(0x4242), u"A", 0, KEY_READ, &key),
            ERROR_INVALID_HANDLE);
  const BYTE odd[3] = {1, 2, 3};
  EXPECT_EQ(RegSetValueExW(HKEY_CLASSES_ROOT, u"v", 0, REG_SZ, odd, 3), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegSetValueExW(HKEY_CLASSES_ROOT, u"v", 0, 4 /* a number */, odd, 2),
            ERROR_INVALID_PARAMETER);
  // The name that survived is stored and read back whole.
  ASSERT_EQ(SaveRegistryStore(), ERROR_SUCCESS);
  CloseRegistryStore();
  ASSERT_EQ(OpenRegistryStore(path_.c_str()), ERROR_SUCCESS);
  EXPECT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, u"fine\\NAME WITH BLANKS [AND] =\"QUOTES\"", 0,
                          KEY_READ, &key),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST_F(RegistryTest, RefusesFilesThatAreNotStores) {
  const struct {
    const char* text;
    LSTATUS expected;
  } files[] = {
      {"; Plotvane registry store\n[HKEY_CLASSES_ROOT\\A]\r\n@=\"x\"\r\n", ERROR_SUCCESS},
      {"", ERROR_SUCCESS},
      {"@=\"value before any key\"\n", ERROR_BADDB},
      {"[HKEY_NOWHERE\\A]\n", ERROR_BADDB},
      {"[HKEY_CLASSES_ROOT\\A\\\\B]\n", ERROR_BADDB},
      {"[HKEY_CLASSES_ROOT\\A]\n\"unterminated=\"x\"\n", ERROR_BADDB},
      {"[HKEY_CLASSES_ROOT\\A]\n@=\"bad escape \\q\"\n", ERROR_BADDB},
      {"[HKEY_CLASSES_ROOT\\A]\n@=\"short \\u12\"\n", ERROR_BADDB},
      {"[HKEY_CLASSES_ROOT\\A]\n@=\"x\" trailing\n", ERROR_BADDB},
      {"[HKEY_CLASSES_ROOT\\A]\n@=\"\xC3\x28 not UTF-8\"\n", ERROR_BADDB},
      {"[HKEY_CLASSES_ROOT\\A]\n@=\"\xED\xA0\x80 encoded surrogate\"\n", ERROR_BADDB},
      {"[HKEY_CLASSES_ROOT\\A\n", ERROR_BADDB},
  };
  const std::string other = folder_ + "/other.txt";
  for (const auto& f : files) {
    WriteFile(other, f.text);
    EXPECT_EQ(OpenRegistryStore(other.c_str()), f.expected) << f.text;
  }
  // A refused file leaves the store open before in place.
  ASSERT_EQ(OpenRegistryStore(path_.c_str()), ERROR_SUCCESS);
  ASSERT_EQ(Set(u"Kept", nullptr, u"yes"), ERROR_SUCCESS);
  WriteFile(other, "garbage\n");
  EXPECT_EQ(OpenRegistryStore(other.c_str()), ERROR_BADDB);
  EXPECT_EQ(Get(u"Kept", nullptr), u"yes");
  unlink(other.c_str());
}

TEST_F(RegistryTest, WithoutAStoreEverythingFails) {
  CloseRegistryStore();
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, u"A", 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_WRITE, nullptr, &key, nullptr),
            ERROR_INVALID_HANDLE);
  EXPECT_EQ(SaveRegistryStore(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(UnRegisterTypeLib(GUID_NULL, 1, 0, 0, SYS_WIN64), HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE));
  // A store in a folder that does not exist opens empty but cannot be saved.
  const std::string nowhere = folder_ + "/missing/store.txt";
  ASSERT_EQ(OpenRegistryStore(nowhere.c_str()), ERROR_SUCCESS);
  EXPECT_EQ(SaveRegistryStore(), ERROR_CANTWRITE);
}

}  // namespace
}  // namespace plotvane
