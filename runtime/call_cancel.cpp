// Cancellable sections: one record a thread, and a table of the threads whose
// section is open, which is where CoCancelCall finds them.
//
// The record's flag is written by the cancelling thread and read by its
// owner between steps of its work, so it is atomic; everything else about a
// section (its depth, its place in the table) changes under the table's
// lock. The owner leaves the table before its record is gone (when the
// section closes, or at the latest when the thread ends), so a cancelling
// thread never reaches a record that no longer exists.
#include "runtime/call_cancel.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <unordered_map>

namespace plotvane {
namespace {

constexpr ULONG kWaitForever = 0xFFFFFFFF;

struct Section;

// The threads with an open section, by identifier.
struct OpenSections {
  std::mutex lock;
  std::condition_variable closed;  // notified whenever a section closes
  std::unordered_map<DWORD, Section*> by_thread;
};

OpenSections& Table() {
  static OpenSections table;
  return table;
}

DWORD NewThreadId() {
  static std::atomic<DWORD> last{0};
  DWORD id = last.fetch_add(1, std::memory_order_relaxed) + 1;
  // After 2^32 threads the count wraps; 0 names the calling thread.
  while (id == 0) id = last.fetch_add(1, std::memory_order_relaxed) + 1;
  return id;
}

struct Section {
  const DWORD thread_id = NewThreadId();
  int depth = 0;                      // nested openings; 0 when closed
  std::atomic<bool> cancelled{false};

  // A thread that ends inside a section leaves the table all the same.
  ~Section() {
    if (depth == 0) return;
    OpenSections& table = Table();
    std::lock_guard<std::mutex> hold(table.lock);
    table.by_thread.erase(thread_id);
    table.closed.notify_all();
  }
};

Section& ThisThread() {
  thread_local Section section;
  return section;
}

}  // namespace

const std::atomic<bool>* CallCancelledFlag() { return &ThisThread().cancelled; }

}  // namespace plotvane

DWORD GetCurrentThreadId(void) { return plotvane::ThisThread().thread_id; }

HRESULT CoEnableCallCancellation(LPVOID /*pReserved*/) {
  plotvane::Section& section = plotvane::ThisThread();
  plotvane::OpenSections& table = plotvane::Table();
  std::lock_guard<std::mutex> hold(table.lock);
  if (section.depth++ == 0) {
    section.cancelled.store(false, std::memory_order_relaxed);
    table.by_thread[section.thread_id] = &section;
  }
  return S_OK;
}

HRESULT CoDisableCallCancellation(LPVOID /*pReserved*/) {
  plotvane::Section& section = plotvane::ThisThread();
  plotvane::OpenSections& table = plotvane::Table();
  std::lock_guard<std::mutex> hold(table.lock);
  if (section.depth == 0) return CO_E_CANCEL_DISABLED;
  if (--section.depth == 0) {
    table.by_thread.erase(section.thread_id);
    section.cancelled.store(false, std::memory_order_relaxed);
    table.closed.notify_all();
  }
  return S_OK;
}

HRESULT CoCancelCall(DWORD dwThreadId, ULONG ulTimeout) {
  const DWORD id = dwThreadId != 0 ? dwThreadId : GetCurrentThreadId();
  plotvane::OpenSections& table = plotvane::Table();
  std::unique_lock<std::mutex> hold(table.lock);
  auto it = table.by_thread.find(id);
  if (it == table.by_thread.end()) return CO_E_CANCEL_DISABLED;
  plotvane::Section* section = it->second;
  if (section->cancelled.exchange(true, std::memory_order_release)) return RPC_E_CALL_CANCELED;
  if (ulTimeout == 0 || id == GetCurrentThreadId()) return S_OK;
  // The section this request reached has closed once its thread is out of
  // the table or has opened another (which starts without the request).
  const auto done = [&] {
    auto now = table.by_thread.find(id);
    return now == table.by_thread.end() || !now->second->cancelled.load();
  };
  if (ulTimeout == plotvane::kWaitForever) {
    table.closed.wait(hold, done);
    return S_OK;
  }
  return table.closed.wait_for(hold, std::chrono::seconds(ulTimeout), done) ? S_OK
                                                                            : RPC_E_TIMEOUT;
}

HRESULT CoTestCancel(void) {
  return plotvane::ThisThread().cancelled.load(std::memory_order_acquire) ? RPC_E_CALL_CANCELED
                                                                          : S_OK;
}
