#include "imaging/byte_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "imaging/errors.h"

namespace plotvane {
namespace {

// A file that exists is overwritten, not appended to.
TEST(FileByteWriterTest, OverwritesTheFile) {
  const std::string path = ::testing::TempDir() + "plotvane_byte_writer_test.bin";
  WriteFile(path, std::vector<uint8_t>(100, 'x'));
  WriteFile(path, {'a', 'b', 'c'});
  std::ifstream in(path, std::ios::binary);
  const std::string contents{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_EQ(contents, "abc");
  std::remove(path.c_str());
}

TEST(FileByteWriterTest, FailuresNameThePathAndCarryTheSystemCode) {
  struct Case {
    std::string path;
    int error;
    const char* what;
  };
  const Case cases[] = {
      {"/nonexistent-directory/chart.gif", ENOENT, "Cannot create file"},
      {::testing::TempDir(), EISDIR, "Cannot create file"},
      {"/dev/full", ENOSPC, "Error writing file"},  // opens, then cannot take the bytes
  };
  for (const Case& c : cases) {
    try {
      WriteFile(c.path, std::vector<uint8_t>(10000, 1));
      ADD_FAILURE() << c.path << ": no exception";
    } catch (const EFileError& e) {
      EXPECT_EQ(e.error_code(), c.error) << c.path;
      EXPECT_EQ(std::string(e.what()),
                std::string(c.what) + " \"" + c.path + "\". " + std::strerror(c.error));
    }
  }
}

}  // namespace
}  // namespace plotvane
