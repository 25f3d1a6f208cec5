#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "runtime/bstr.h"
#include "runtime/com_ptr.h"
#include "runtime/error_info.h"

namespace plotvane {
namespace {

// Makes an error object with `description`, as a failing member does.
ComPtr<IErrorInfo> MakeError(const char16_t* description) {
  ComPtr<ICreateErrorInfo> create;
  EXPECT_EQ(CreateErrorInfo(create.ReleaseAndGetAddressOf()), S_OK);
  create->SetDescription(const_cast<LPOLESTR>(description));
  create->SetSource(const_cast<LPOLESTR>(u"Plotvane.Draw"));
  create->SetGUID(IID_IDispatch);
  create->SetHelpContext(7);
  ComPtr<IErrorInfo> error;
  EXPECT_EQ(create.As(IID_IErrorInfo, &error), S_OK);
  return error;
}

std::u16string Description(IErrorInfo* error) {
  BStr text;
  EXPECT_EQ(error->GetDescription(text.ReleaseAndGetAddressOf()), S_OK);
  return text.str();
}

TEST(ErrorInfoTest, ObjectReportsWhatWasSet) {
  ComPtr<IErrorInfo> error = MakeError(u"No data items or points defined.");
  EXPECT_EQ(Description(error.Get()), u"No data items or points defined.");
  BStr source, help_file;
  ASSERT_EQ(error->GetSource(source.ReleaseAndGetAddressOf()), S_OK);
  EXPECT_EQ(source.str(), u"Plotvane.Draw");
  ASSERT_EQ(error->GetHelpFile(help_file.ReleaseAndGetAddressOf()), S_OK);
  EXPECT_EQ(help_file.Get(), nullptr) << "never set: the empty string";
  GUID guid;
  DWORD context = 0;
  EXPECT_EQ(error->GetGUID(&guid), S_OK);
  EXPECT_EQ(guid, IID_IDispatch);
  EXPECT_EQ(error->GetHelpContext(&context), S_OK);
  EXPECT_EQ(context, 7u);

  ComPtr<ISupportErrorInfo> wrong;
  EXPECT_EQ(error.As(IID_ISupportErrorInfo, &wrong), E_NOINTERFACE);
  EXPECT_FALSE(wrong);
}

TEST(ErrorInfoTest, SlotIsPerThreadAndEmptiedWhenCollected) {
  ComPtr<IErrorInfo> collected;
  EXPECT_EQ(GetErrorInfo(0, collected.ReleaseAndGetAddressOf()), S_FALSE);
  EXPECT_FALSE(collected);

  SetErrorInfo(0, MakeError(u"Invalid graph type.").Get());
  std::thread other([] {
    ComPtr<IErrorInfo> seen;
    EXPECT_EQ(GetErrorInfo(0, seen.ReleaseAndGetAddressOf()), S_FALSE);
    // Left uncollected: the thread's end releases it (LeakSanitizer checks).
    SetErrorInfo(0, MakeError(u"from the other thread").Get());
  });
  other.join();

  ASSERT_EQ(GetErrorInfo(0, collected.ReleaseAndGetAddressOf()), S_OK);
  EXPECT_EQ(Description(collected.Get()), u"Invalid graph type.");
  EXPECT_EQ(GetErrorInfo(0, collected.ReleaseAndGetAddressOf()), S_FALSE) << "collected once";
  EXPECT_EQ(GetErrorInfo(0, nullptr), E_INVALIDARG);
}

TEST(ErrorInfoTest, SettingReplacesAndReleasesThePreviousObject) {
  ComPtr<IErrorInfo> first = MakeError(u"first");
  SetErrorInfo(0, first.Get());
  IErrorInfo* raw = first.Get();
  // Two references now: ours and the slot's.
  EXPECT_EQ(raw->AddRef(), 3u);
  raw->Release();

  SetErrorInfo(0, MakeError(u"second").Get());
  EXPECT_EQ(raw->AddRef(), 2u) << "the slot let go of the first object";
  raw->Release();

  SetErrorInfo(0, nullptr);
  ComPtr<IErrorInfo> none;
  EXPECT_EQ(GetErrorInfo(0, none.ReleaseAndGetAddressOf()), S_FALSE);
}

}  // namespace
}  // namespace plotvane
