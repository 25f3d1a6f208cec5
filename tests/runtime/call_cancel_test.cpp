#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "runtime/call_cancel.h"

namespace plotvane {
namespace {

// A thread that opens a section, publishes its identifier, waits until told
// to test for a request, and closes the section.
class Worker {
 public:
  Worker() {
    thread_ = std::thread([this] {
      CoEnableCallCancellation(nullptr);
      id_ = GetCurrentThreadId();
      open_ = true;
      while (!test_) std::this_thread::yield();
      seen_ = CoTestCancel();
      CoDisableCallCancellation(nullptr);
      after_ = CoTestCancel();
    });
    while (!open_) std::this_thread::yield();
  }
  ~Worker() {
    if (thread_.joinable()) Finish();
  }
  DWORD id() const { return id_; }
  void Finish() {
    test_ = true;
    thread_.join();
  }
  HRESULT seen() const { return seen_; }
  HRESULT after() const { return after_; }

 private:
  std::atomic<bool> open_{false}, test_{false};
  std::atomic<DWORD> id_{0};
  std::atomic<HRESULT> seen_{E_FAIL}, after_{E_FAIL};
  std::thread thread_;
};

TEST(CallCancelTest, ReachesTheOpenSectionOnlyAndEndsWithIt) {
  Worker worker;
  EXPECT_NE(worker.id(), 0u);
  EXPECT_NE(worker.id(), GetCurrentThreadId());
  EXPECT_EQ(CoTestCancel(), S_OK);
  EXPECT_EQ(CoCancelCall(worker.id(), 0), S_OK);
  EXPECT_EQ(CoCancelCall(worker.id(), 0), RPC_E_CALL_CANCELED);
  EXPECT_EQ(CoTestCancel(), S_OK) << "the request is the worker's, not ours";
  worker.Finish();
  EXPECT_EQ(worker.seen(), RPC_E_CALL_CANCELED);
  EXPECT_EQ(worker.after(), S_OK);
  EXPECT_EQ(CoCancelCall(worker.id(), 0), CO_E_CANCEL_DISABLED) << "the section has closed";
}

TEST(CallCancelTest, RequestWithoutAnOpenSectionIsForgotten) {
  EXPECT_EQ(CoCancelCall(0, 0), CO_E_CANCEL_DISABLED);
  EXPECT_EQ(CoDisableCallCancellation(nullptr), CO_E_CANCEL_DISABLED);
  ASSERT_EQ(CoEnableCallCancellation(nullptr), S_OK);
  EXPECT_EQ(CoTestCancel(), S_OK);
  // Nested sections share one request, which lasts until the outermost closes.
  ASSERT_EQ(CoEnableCallCancellation(nullptr), S_OK);
  EXPECT_EQ(CoCancelCall(0, 0), S_OK);
  EXPECT_EQ(CoDisableCallCancellation(nullptr), S_OK);
  EXPECT_EQ(CoTestCancel(), RPC_E_CALL_CANCELED);
  EXPECT_EQ(CoDisableCallCancellation(nullptr), S_OK);
  EXPECT_EQ(CoTestCancel(), S_OK);
  ASSERT_EQ(CoEnableCallCancellation(nullptr), S_OK);
  EXPECT_EQ(CoTestCancel(), S_OK) << "a new section starts clear";
  EXPECT_EQ(CoDisableCallCancellation(nullptr), S_OK);
}

TEST(CallCancelTest, WaitsForTheSectionToClose) {
  Worker worker;
  std::thread finisher([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    worker.Finish();
  });
  EXPECT_EQ(CoCancelCall(worker.id(), 30), S_OK);
  finisher.join();
  EXPECT_EQ(worker.seen(), RPC_E_CALL_CANCELED);

  Worker stuck;
  EXPECT_EQ(CoCancelCall(stuck.id(), 1), RPC_E_TIMEOUT);
  stuck.Finish();
}

}  // namespace
}  // namespace plotvane
