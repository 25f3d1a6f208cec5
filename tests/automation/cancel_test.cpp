// Stopping a drawing call from another thread, as a service does when its
// client is gone or its deadline has passed: the call fails with
// RPC_E_CALL_CANCELED soon after the request, and the object can be released.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "runtime/com.h"
#include "testing/draw_client.h"

namespace plotvane {
namespace {

using Clock = std::chrono::steady_clock;
using testing_client::DrawClient;
using testing_client::ErrorDescription;
using testing_client::Values;

// Texts far larger than the picture, over all of it: seconds of drawing.
void AddHeavyTexts(const DrawClient& o) {
  EXPECT_EQ(o.Put(u"Width", Variant::I4(4096)), S_OK);
  EXPECT_EQ(o.Put(u"Height", Variant::I4(4096)), S_OK);
  EXPECT_EQ(o.Put(u"TextSize", Variant::I4(3000)), S_OK);
  EXPECT_EQ(o.Call(u"AddData", Values(Variant::String(u"A"), Variant::I4(1), Variant::String(u"R"))),
            S_OK);
  for (int i = 0; i < 3000; ++i) {
    EXPECT_EQ(o.Call(u"AddText", Values(Variant::String(u"WMQ@#%&WMQ@#%&"),
                                        Variant::I4(i * 37 % 4096 - 2048),
                                        Variant::I4(i * 61 % 4096 - 2048), Variant::R8(0))),
              S_OK);
  }
}

TEST(CancelTest, StopsTheDrawingCallSoonAfterTheRequest) {
  std::atomic<DWORD> worker_id{0};
  std::atomic<bool> drawing{false};
  HRESULT hr = S_OK, next = S_OK;
  EXCEPINFO excep{};
  std::u16string description;
  Clock::time_point returned;
  std::thread worker([&] {
    DrawClient o;
    AddHeavyTexts(o);
    EXPECT_EQ(CoEnableCallCancellation(nullptr), S_OK);
    worker_id = GetCurrentThreadId();
    drawing = true;
    Variant result;
    hr = o.Invoke(u"PNGPie", DISPATCH_PROPERTYGET, {}, result.Get(), &excep);
    returned = Clock::now();
    description = ErrorDescription();
    next = o.Put(u"Title", Variant::String(u"after"));  // in the same section
    CoDisableCallCancellation(nullptr);
  });  // the object is released here
  while (!drawing) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const Clock::time_point asked = Clock::now();
  EXPECT_EQ(CoCancelCall(worker_id, 0), S_OK);
  worker.join();
  const auto latency = std::chrono::duration_cast<std::chrono::milliseconds>(returned - asked);
  std::printf("cancelled drawing returned %lld ms after the request\n",
              static_cast<long long>(latency.count()));
  EXPECT_EQ(hr, DISP_E_EXCEPTION);
  EXPECT_EQ(excep.scode, RPC_E_CALL_CANCELED);
  EXPECT_EQ(std::u16string(excep.bstrDescription), u"The call was cancelled.");
  EXPECT_EQ(description, u"The call was cancelled.");
  EXPECT_EQ(next, RPC_E_CALL_CANCELED);
  EXPECT_LT(latency.count(), 2000) << "generous for sanitizer builds; 100 ms in a release build";
  SysFreeString(excep.bstrSource);
  SysFreeString(excep.bstrDescription);
}

// A request that reaches a thread outside any section is forgotten: the
// thread's next call, in a section of its own, draws.
TEST(CancelTest, RequestBeforeTheSectionDoesNotReachTheNextCall) {
  std::atomic<DWORD> worker_id{0};
  std::atomic<bool> asked{false};
  HRESULT hr = E_FAIL;
  std::thread worker([&] {
    worker_id = GetCurrentThreadId();
    while (!asked) std::this_thread::yield();
    DrawClient o;
    EXPECT_EQ(CoEnableCallCancellation(nullptr), S_OK);
    Variant result;
    hr = o.Invoke(u"PNGPie", DISPATCH_PROPERTYGET, {}, result.Get());
    CoDisableCallCancellation(nullptr);
  });
  while (worker_id == 0) std::this_thread::yield();
  EXPECT_EQ(CoCancelCall(worker_id, 0), CO_E_CANCEL_DISABLED);
  asked = true;
  worker.join();
  EXPECT_EQ(hr, S_OK);
}

}  // namespace
}  // namespace plotvane
