#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "runtime/bitmap_handle_table.h"
#include "runtime/bitmap_handles.h"
#include "testing/expect_throw.h"

namespace plotvane {
namespace {

std::vector<uint8_t> Read(HBITMAP handle) {
  const LONG size = GetBitmapFileBytes(handle, 0, nullptr);
  if (size < 0) return {};
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  EXPECT_EQ(GetBitmapFileBytes(handle, size, bytes.data()), size);
  return bytes;
}

TEST(BitmapHandleTest, CreateReadDelete) {
  const std::vector<uint8_t> picture = {'B', 'M', 1, 2, 3, 0, 5};
  HBITMAP a = CreateBitmapHandle(picture);
  HBITMAP b = CreateBitmapHandle({});  // a bitmap without pixels: an empty file
  ASSERT_NE(BitmapHandleNumber(a), 0);
  EXPECT_GT(BitmapHandleNumber(b), 0);
  EXPECT_NE(a, b);
  EXPECT_EQ(BitmapHandleFromNumber(BitmapHandleNumber(a)), a);

  EXPECT_EQ(Read(a), picture);
  EXPECT_EQ(GetBitmapFileBytes(b, 0, nullptr), 0);
  uint8_t first_two[2] = {};
  EXPECT_EQ(GetBitmapFileBytes(a, 2, first_two), 2) << "a short buffer gets what fits";
  EXPECT_EQ(first_two[1], 'M');
  EXPECT_EQ(GetBitmapFileBytes(a, -1, first_two), -1);

  EXPECT_EQ(DeleteObject(a), TRUE);
  EXPECT_EQ(DeleteObject(a), FALSE) << "deleted twice";
  EXPECT_EQ(GetBitmapFileBytes(a, 0, nullptr), -1);
  EXPECT_EQ(DeleteObject(b), TRUE);
}

TEST(BitmapHandleTest, UnknownHandlesAreRefused) {
  for (uintptr_t number : {uintptr_t{0}, uintptr_t{0x7FFFFFFF}, ~uintptr_t{0}}) {
    SCOPED_TRACE(number);
    auto* handle = reinterpret_cast<HBITMAP>(number);
    EXPECT_EQ(DeleteObject(handle), FALSE);
    EXPECT_EQ(GetBitmapFileBytes(handle, 0, nullptr), -1);
  }
}

TEST(BitmapHandleTest, LiveHandlesAreBoundedAndNeverReused) {
  std::vector<HBITMAP> handles;
  for (size_t i = 0; i < kMaxBitmapHandles; ++i) handles.push_back(CreateBitmapHandle({'B'}));
  EXPECT_THROW_MSG(CreateBitmapHandle({'B'}), std::runtime_error,
                   "Too many bitmap handles: 10000 are alive. Delete handles with DeleteObject "
                   "when done.");
  // Deleting one makes room again, under a number not in use.
  ASSERT_EQ(DeleteObject(handles.back()), TRUE);
  handles.pop_back();
  HBITMAP again = CreateBitmapHandle({'B'});
  for (HBITMAP h : handles) ASSERT_NE(h, again);
  handles.push_back(again);
  for (HBITMAP h : handles) ASSERT_EQ(DeleteObject(h), TRUE);
}

TEST(BitmapHandleTest, BytesHeldTogetherAreBounded) {
  BitmapHandleTable table(10, 100);
  HBITMAP big = table.Add(std::vector<uint8_t>(90));
  EXPECT_THROW_MSG(table.Add(std::vector<uint8_t>(11)), std::runtime_error,
                   "Bitmap handles would hold more than 100 bytes. Delete handles with "
                   "DeleteObject when done.");
  HBITMAP fits = table.Add(std::vector<uint8_t>(10));
  EXPECT_TRUE(table.Remove(big));
  // Deleting gives the bytes back.
  HBITMAP after = table.Add(std::vector<uint8_t>(90));
  EXPECT_EQ(table.Read(after, nullptr, 0), 90);
  EXPECT_TRUE(table.Remove(fits));
  EXPECT_TRUE(table.Remove(after));
  EXPECT_FALSE(table.Remove(after));
}

}  // namespace
}  // namespace plotvane
