// What the connections and the service that holds them share: the service
// (listener, signals, workers, the memory budget and the books of which
// connections are held, from where, and which are idle), a connection, and
// the ticket of one drawing between a connection and its worker.
#ifndef PLOTVANE_TOOLS_SERVE_SERVICE_PARTS_H_
#define PLOTVANE_TOOLS_SERVE_SERVICE_PARTS_H_

#include <atomic>
#include <chrono>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include "client/client.h"
#include "runtime/types.h"
#include "tools/serve/handler.h"
#include "tools/serve/memory_budget.h"
#include "tools/serve/options.h"
#include "tools/serve/worker_pool.h"

namespace plotvane {
namespace serve_detail {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = net::ip::tcp;
using Clock = std::chrono::steady_clock;

inline Clock::duration Ticks(Seconds s) { return std::chrono::duration_cast<Clock::duration>(s); }

// One drawing, shared by its connection and its worker. The connection
// stops it at the deadline, when its client has gone and on a hard stop;
// the worker names the thread that draws it for exactly the span of its
// cancellable section, so that a stop reaches this drawing and never the
// worker's next one.
class Ticket {
 public:
  explicit Ticket(Clock::time_point deadline) : deadline_(deadline) {}
  Ticket(const Ticket&) = delete;
  Ticket& operator=(const Ticket&) = delete;

  // The connection's side: no step of the drawing starts from now on, and
  // the call under way, if any, is cancelled.
  void Cancel();
  // The worker's side, inside its cancellable section: false when the
  // drawing was stopped already. End() before the section closes.
  bool Begin();
  void End();

  bool Expired() const {
    return stopped_.load(std::memory_order_relaxed) || Clock::now() >= deadline_;
  }

 private:
  const Clock::time_point deadline_;
  std::atomic<bool> stopped_{false};
  std::mutex mutex_;
  DWORD thread_ = 0;  // drawing it now; guarded by mutex_
};

// What a worker hands back: the answer, and the part of the memory budget
// it holds until it is sent or dropped.
struct Drawing {
  Reply reply;
  MemoryBudget::Reservation reservation;
};

class Connection;

class Service {
 public:
  Service(const ServerLibrary& server, const ServeOptions& options, std::ostream& log, Site site);

  int Run();

  net::io_context& io() { return io_; }
  const ServeOptions& options() const { return options_; }
  const Site& site() const { return site_; }
  bool stopping() const { return stopping_; }
  WorkerPool& pool() { return pool_; }
  MemoryBudget& budget() { return budget_; }

  // Plays `job` on a worker thread: reserves the most its answer may take
  // on top of `*reservation`, draws in a cancellable section unless the
  // ticket was stopped, and shrinks the reservation to the answer. Never
  // throws.
  Reply Draw(const DrawJob& job, Ticket& ticket, MemoryBudget::Reservation* reservation) const;

  // The books of connections: Remove() is called once a connection closes
  // (again from its destructor, harmlessly); SetIdle() as it starts and
  // stops waiting for a request.
  void Remove(Connection* c);
  void SetIdle(Connection* c, bool idle);
  void Log(const std::string& line) { log_ << line << std::flush; }

 private:
  bool Listen();
  void Accept();
  void Admit(tcp::socket socket);
  void WaitForSignal();
  void Stop();
  void StopNow();

  const ServerLibrary& server_;
  const ServeOptions& options_;
  std::ostream& log_;
  const Site site_;
  MemoryBudget budget_;
  std::unordered_set<Connection*> connections_;  // the open ones
  std::list<Connection*> idle_;                  // open and idle, longest idle first
  std::unordered_map<std::string, size_t> per_address_;  // open connections by AddressKey
  net::io_context io_;
  tcp::acceptor acceptor_;
  net::steady_timer accept_retry_;
  net::signal_set signals_;
  bool stopping_ = false;
  // Last, so that it is joined first: a worker may still post to io_.
  WorkerPool pool_;
};

// One client connection, on the service's thread only. It goes through
//
//   idle ──first byte──▶ reading ──whole request──▶ drawing ──▶ writing ─┐
//    ▲   (idle timeout)          (read timeout,        (deadline,        │
//    │                            size limits)         client gone)      │
//    └──────────────────────────────────────────── keep-alive ◀──────────┘
//
// Every wait has its own bound, so a client that stops sending, sends one
// byte a second or never reads its answer costs a socket until its timeout.
// While its request waits and draws the socket is watched, so that a client
// that has gone stops its drawing.
class Connection : public std::enable_shared_from_this<Connection> {
 public:
  Connection(Service& service, tcp::socket socket, std::string address);
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection() { service_.Remove(this); }

  void Start() { WaitForRequest(); }
  // The service is stopping: an idle connection closes now, a busy one once
  // it has answered. `now` closes a busy one too, stopping its drawing.
  void Stop(bool now);
  // The service is full and this connection has waited longest.
  void Shed() { Close(); }
  const std::string& address() const { return address_; }
  // Takes the answer of its drawing, unless it answered already.
  void Drawn(const std::shared_ptr<Ticket>& ticket, Drawing* drawing);

 private:
  friend class Service;
  enum class State { kIdle, kReading, kDrawing, kWriting, kClosed };
  enum class Pulled { kSome, kNone, kEnd };

  // A completion handler that calls `f(connection, results...)` only while
  // the connection is in the phase it was made in: a state change makes
  // every handler of the state before it a no-op.
  template <class F>
  auto InPhase(F f);
  void Enter(State state);

  void WaitForRequest();
  void AwaitBytes();
  Pulled Pull(size_t most);
  void ReadHeader();
  void OnHeader(beast::error_code ec, size_t header_bytes);
  bool TargetTooLong() const;
  void ReadBody();
  void OnBody(beast::error_code ec);
  void Dispatch();
  void Watch();
  void WatchForHangUp();
  void StopWatching();
  void OnDeadline();
  void Abandon();
  void Answer(Reply reply);
  void Refuse(unsigned status, const std::string& text);
  void OnWritten(beast::error_code ec);
  void LogLine(unsigned status, size_t bytes);
  void Linger();
  void Drain();
  void Close();

  Service& service_;
  const std::string address_;  // AddressKey of the client
  beast::tcp_stream stream_;
  beast::flat_buffer buffer_;
  std::optional<http::request_parser<http::string_body>> parser_;
  // The idle timeout, the read timeout and the deadline, one at a time. The
  // read timeout is not the stream's own, which closes the socket: a slow
  // client is owed its 408 first.
  net::steady_timer timer_;
  net::steady_timer hang_up_timer_;  // see WatchForHangUp
  State state_ = State::kIdle;
  uint32_t phase_ = 0;
  bool closed_ = false;
  bool read_timed_out_ = false;
  std::list<Connection*>::iterator idle_at_;  // in the service's list, while listed_
  bool listed_ = false;
  std::shared_ptr<Ticket> ticket_;  // the drawing waited for, if any
  uint64_t task_ = 0;               // its task in the pool while it may be queued
  MemoryBudget::Reservation held_;  // the answer being written
  Clock::time_point started_;
  std::string method_ = "-", path_ = "-";
  bool head_ = false;
  unsigned version_ = 11;    // of the request
  bool keep_alive_ = false;  // of the answer being written
  bool closing_ = false;     // close after the answer
  unsigned status_ = 0;      // of the answer being written
  size_t bytes_ = 0;
};

}  // namespace serve_detail
}  // namespace plotvane

#endif  // PLOTVANE_TOOLS_SERVE_SERVICE_PARTS_H_
