// The connections of the service: an Asio event loop on one thread, the
// HTTP messages read and written by Boost.Beast. A connection goes through
//
//   idle ──first byte──▶ reading ──whole request──▶ drawing ──▶ writing ─┐
//    ▲   (idle timeout)          (read timeout,        (deadline)        │
//    └───────────────────────────── size limits) ◀──── keep-alive ───────┘
//
// Every wait has its own bound, so a client that stops sending, sends one
// byte a second or never reads its answer costs a socket until its timeout,
// and nothing else.
#include "tools/serve/service.h"

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include "base/utf.h"
#include "client/interface_reference.h"
#include "client/type_reader.h"
#include "runtime/bstr.h"
#include "tools/member_help.h"
#include "tools/serve/handler.h"
#include "tools/serve/worker_pool.h"

namespace plotvane {
namespace {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = net::ip::tcp;
using Clock = std::chrono::steady_clock;

// Bytes read at a time while a connection waits for a request.
constexpr size_t kReadChunk = 4096;
// How long a closing connection keeps reading what the client still sends,
// so that the answer before it is not lost to a reset.
constexpr auto kLinger = std::chrono::seconds(1);
// The longest path an access-log line shows.
constexpr size_t kLoggedPathBytes = 200;

Clock::duration Ticks(Seconds s) { return std::chrono::duration_cast<Clock::duration>(s); }

// One drawing, shared by its connection and its worker. The connection
// cancels it when it answers 503 at the deadline; the worker asks before
// each step.
struct Ticket {
  Clock::time_point deadline;
  std::atomic<bool> cancelled{false};
  bool Expired() const { return cancelled.load() || Clock::now() >= deadline; }
};

class Connection;

class Service {
 public:
  Service(const ServerLibrary& server, const ServeOptions& options, std::ostream& log, Site site)
      : server_(server),
        options_(options),
        log_(log),
        site_(std::move(site)),
        acceptor_(io_),
        accept_retry_(io_),
        signals_(io_, SIGINT, SIGTERM),
        pool_(options.workers != 0 ? options.workers
                                   : std::max(1u, std::thread::hardware_concurrency()),
              options.queue) {}

  int Run();

  net::io_context& io() { return io_; }
  const ServeOptions& options() const { return options_; }
  const Site& site() const { return site_; }
  bool stopping() const { return stopping_; }
  WorkerPool& pool() { return pool_; }

  // Plays `job` on a worker thread. Never throws.
  Reply Draw(const DrawJob& job, const Ticket& ticket) const;

  void Add(Connection* c) { connections_.insert(c); }
  void Remove(Connection* c);
  void Log(const std::string& line) { log_ << line << std::flush; }

 private:
  bool Listen();
  void Accept();
  void WaitForSignal();
  void Stop();

  const ServerLibrary& server_;
  const ServeOptions& options_;
  std::ostream& log_;
  const Site site_;
  net::io_context io_;
  tcp::acceptor acceptor_;
  net::steady_timer accept_retry_;
  net::signal_set signals_;
  std::unordered_set<Connection*> connections_;  // the live ones
  bool stopping_ = false;
  // Last, so that it is joined first: a worker may still post to io_.
  WorkerPool pool_;
};

class Connection : public std::enable_shared_from_this<Connection> {
 public:
  Connection(Service& service, tcp::socket socket)
      : service_(service),
        stream_(std::move(socket)),
        read_timer_(service.io()),
        deadline_(service.io()) {
    service_.Add(this);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection() { service_.Remove(this); }

  void Start() { WaitForRequest(); }
  // The service is stopping: an idle connection closes now, a busy one once
  // it has answered. `now` closes a busy one too.
  void Stop(bool now);

 private:
  enum class State { kIdle, kReading, kDrawing, kWriting, kClosed };

  void WaitForRequest();
  void ReadHeader();
  void OnHeader(beast::error_code ec);
  void ReadBody();
  void OnBody(beast::error_code ec);
  void Dispatch();
  void Drawn(const std::shared_ptr<Ticket>& ticket, Reply reply);
  void Answer(Reply reply);
  void Refuse(unsigned status, const std::string& text);
  void OnWritten(beast::error_code ec);
  void Linger();
  void Drain();
  void Close();

  Service& service_;
  beast::tcp_stream stream_;
  beast::flat_buffer buffer_;
  std::optional<http::request_parser<http::string_body>> parser_;
  // The read timeout has a timer of its own: the stream's own timeouts close
  // the socket, and a slow client is owed its 408 first.
  net::steady_timer read_timer_;
  bool read_timed_out_ = false;
  net::steady_timer deadline_;
  std::shared_ptr<Ticket> ticket_;  // the drawing waited for, if any
  State state_ = State::kIdle;
  Clock::time_point started_;
  std::string method_ = "-", path_ = "-";
  unsigned status_ = 0;
  size_t bytes_ = 0;
  bool head_ = false;
  bool keep_alive_ = false;  // of the answer being written
  bool closing_ = false;     // close after the answer
  char drain_[kReadChunk];
};

// ---------------------------------------------------------------------------
// Connection
// ---------------------------------------------------------------------------

void Connection::Stop(bool now) {
  closing_ = true;
  if (now || state_ == State::kIdle) Close();
}

void Connection::WaitForRequest() {
  state_ = State::kIdle;
  method_ = path_ = "-";
  head_ = false;
  if (closing_ || service_.stopping()) return Close();
  if (buffer_.size() > 0) return ReadHeader();  // the client sent it already
  stream_.expires_after(Ticks(service_.options().idle_timeout));
  stream_.async_read_some(buffer_.prepare(kReadChunk),
                          [self = shared_from_this()](beast::error_code ec, size_t n) {
                            if (ec || self->state_ != State::kIdle) return self->Close();
                            self->buffer_.commit(n);
                            self->ReadHeader();
                          });
}

void Connection::ReadHeader() {
  const RequestLimits& limits = service_.options().limits;
  state_ = State::kReading;
  started_ = Clock::now();
  parser_.emplace();
  parser_->header_limit(static_cast<uint32_t>(std::min<size_t>(limits.max_header, UINT32_MAX)));
  parser_->body_limit(limits.max_body);
  stream_.expires_never();
  read_timed_out_ = false;
  read_timer_.expires_after(Ticks(service_.options().read_timeout));
  read_timer_.async_wait([self = shared_from_this()](beast::error_code ec) {
    if (ec || self->state_ != State::kReading) return;
    self->read_timed_out_ = true;
    beast::error_code ignored;
    self->stream_.socket().cancel(ignored);
  });
  http::async_read_header(stream_, buffer_, *parser_,
                          [self = shared_from_this()](beast::error_code ec, size_t) {
                            self->OnHeader(ec);
                          });
}

// True for the ways a client simply goes away.
bool Gone(beast::error_code ec) {
  return ec == http::error::end_of_stream || ec == http::error::partial_message ||
         ec == net::error::eof || ec == net::error::connection_reset ||
         ec == net::error::operation_aborted || ec == net::error::broken_pipe;
}

void Connection::OnHeader(beast::error_code ec) {
  if (state_ != State::kReading) return;
  const RequestLimits& limits = service_.options().limits;
  if (read_timed_out_) return Refuse(408, "The request came too slowly.");
  if (ec == http::error::body_limit) {
    return Refuse(413, "The request body is larger than " + std::to_string(limits.max_body) +
                           " bytes.");
  }
  if (ec == http::error::header_limit) {
    return Refuse(431, "The request header is larger than " + std::to_string(limits.max_header) +
                           " bytes.");
  }
  if (Gone(ec)) return Close();
  if (ec) return Refuse(400, "Bad request: " + ec.message() + ".");
  const HttpRequest& request = parser_->get();
  method_ = std::string(View(request.method_string()));
  const std::string_view target = View(request.target());
  path_ = std::string(target.substr(0, std::min(target.find('?'), kLoggedPathBytes)));
  if (target.size() > limits.max_url) {
    return Refuse(414, "The request target is longer than " + std::to_string(limits.max_url) +
                           " bytes; send the script in a POST body.");
  }
  if (parser_->content_length() && *parser_->content_length() > limits.max_body) {
    return Refuse(413, "The request body is larger than " + std::to_string(limits.max_body) +
                           " bytes.");
  }
  if (beast::iequals(request[http::field::expect], "100-continue") && !parser_->is_done()) {
    auto go_on = std::make_shared<http::response<http::empty_body>>(http::status::continue_, 11);
    http::async_write(stream_, *go_on,
                      [self = shared_from_this(), go_on](beast::error_code e, size_t) {
                        if (e) return self->Close();
                        self->ReadBody();
                      });
    return;
  }
  ReadBody();
}

void Connection::ReadBody() {
  if (parser_->is_done()) return Dispatch();
  http::async_read(stream_, buffer_, *parser_,
                   [self = shared_from_this()](beast::error_code ec, size_t) { self->OnBody(ec); });
}

void Connection::OnBody(beast::error_code ec) {
  if (state_ != State::kReading) return;
  if (read_timed_out_) return Refuse(408, "The request came too slowly.");
  if (ec == http::error::body_limit) {
    return Refuse(413, "The request body is larger than " +
                           std::to_string(service_.options().limits.max_body) + " bytes.");
  }
  if (Gone(ec)) return Close();
  if (ec) return Refuse(400, "Bad request: " + ec.message() + ".");
  Dispatch();
}

void Connection::Dispatch() {
  read_timer_.cancel();
  state_ = State::kDrawing;
  const RequestLimits& limits = service_.options().limits;
  Routed routed;
  {
    const HttpRequest& request = parser_->get();
    head_ = request.method() == http::verb::head;
    keep_alive_ = request.keep_alive();
    routed = Route(request, service_.site(), service_.stopping());
  }
  parser_.reset();  // the body is read into the job; its text is not kept
  if (routed.reply) return Answer(std::move(*routed.reply));

  auto ticket = std::make_shared<Ticket>();
  ticket->deadline = Clock::now() + Ticks(limits.deadline);
  auto job = std::make_shared<const DrawJob>(std::move(routed.job));
  std::weak_ptr<Connection> weak = weak_from_this();
  Service& service = service_;
  const bool queued = service_.pool().TrySubmit([&service, job, ticket, weak] {
    auto reply = std::make_shared<Reply>(service.Draw(*job, *ticket));
    // The connection is touched on its own thread only, and only if it is
    // still there: it may have answered at the deadline and gone.
    net::post(service.io(), [weak, ticket, reply] {
      if (auto self = weak.lock()) self->Drawn(ticket, std::move(*reply));
    });
  });
  if (!queued) {
    Reply busy = TextReply(503, "Every worker is busy; try again shortly.");
    busy.headers.emplace_back("Retry-After", "1");
    return Answer(std::move(busy));
  }
  ticket_ = ticket;
  deadline_.expires_at(ticket->deadline);
  deadline_.async_wait([self = shared_from_this(), ticket](beast::error_code ec) {
    if (ec || self->ticket_ != ticket) return;
    ticket->cancelled = true;
    self->ticket_.reset();
    self->Answer(DeadlineReply(self->service_.options().limits));
  });
}

void Connection::Drawn(const std::shared_ptr<Ticket>& ticket, Reply reply) {
  if (ticket != ticket_ || state_ != State::kDrawing) return;  // answered at the deadline
  ticket_.reset();
  deadline_.cancel();
  Answer(std::move(reply));
}

void Connection::Answer(Reply reply) {
  auto response = std::make_shared<http::response<http::string_body>>();
  response->version(11);
  response->result(reply.status);
  response->set(http::field::server, "plotvane");
  if (!reply.content_type.empty()) response->set(http::field::content_type, reply.content_type);
  for (const auto& [name, value] : reply.headers) response->set(name, value);
  status_ = reply.status;
  bytes_ = reply.body.size();
  if (!head_) response->body() = std::move(reply.body);
  response->content_length(bytes_);  // a HEAD answer tells the size it leaves out
  keep_alive_ = keep_alive_ && !closing_ && !service_.stopping();
  response->keep_alive(keep_alive_);
  state_ = State::kWriting;
  stream_.expires_after(Ticks(service_.options().write_timeout));
  http::async_write(stream_, *response,
                    [self = shared_from_this(), response](beast::error_code ec, size_t) {
                      self->OnWritten(ec);
                    });
}

// Answers a request that cannot be read on; the connection closes after.
void Connection::Refuse(unsigned status, const std::string& text) {
  read_timer_.cancel();
  parser_.reset();
  keep_alive_ = false;
  closing_ = true;
  Answer(TextReply(status, text));
}

void Connection::OnWritten(beast::error_code ec) {
  if (state_ != State::kWriting) return;
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - started_).count();
  char timing[32];
  std::snprintf(timing, sizeof(timing), " %.1fms\n", ms);
  service_.Log(method_ + " " + path_ + " " + std::to_string(status_) + " " +
               std::to_string(bytes_) + timing);
  if (ec) return Close();
  if (keep_alive_) return WaitForRequest();
  Linger();
}

// Sends FIN, then reads and drops whatever the client still sends for a
// moment: closing with unread bytes would reset the connection and could
// destroy the answer just written.
void Connection::Linger() {
  state_ = State::kClosed;
  beast::error_code ignored;
  stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
  stream_.expires_after(kLinger);
  Drain();
}

void Connection::Drain() {
  stream_.async_read_some(net::buffer(drain_), [self = shared_from_this()](beast::error_code ec, size_t) {
    if (ec) return self->Close();  // the client closed too, or the moment is over
    self->Drain();
  });
}

void Connection::Close() {
  state_ = State::kClosed;
  ticket_.reset();
  beast::error_code ignored;
  read_timer_.cancel();
  deadline_.cancel();
  stream_.socket().shutdown(tcp::socket::shutdown_both, ignored);
  stream_.close();
}

// ---------------------------------------------------------------------------
// Service
// ---------------------------------------------------------------------------

Reply Service::Draw(const DrawJob& job, const Ticket& ticket) const {
  try {
    if (ticket.Expired()) return DeadlineReply(options_.limits);  // waited too long in the queue
    const ServerLibrary& server = server_;
    return Play(
        job, [&server](ComPtr<IDispatch>* out) { return server.CreateDraw(out); }, options_.limits,
        [&ticket] { return ticket.Expired(); });
  } catch (const std::exception&) {
    return TextReply(500, "The service ran out of memory.");
  }
}

void Service::Remove(Connection* c) {
  connections_.erase(c);
  // The last connection gone after a stop: nothing keeps the loop running
  // but the wait for a second signal.
  if (stopping_ && connections_.empty()) signals_.cancel();
}

bool Service::Listen() {
  beast::error_code ec;
  const net::ip::address address = net::ip::make_address(options_.host, ec);
  if (ec) {
    log_ << "plotvane serve: " << options_.host << " is not an IP address\n";
    return false;
  }
  const tcp::endpoint endpoint(address, options_.port);
  acceptor_.open(endpoint.protocol(), ec);
  if (!ec) acceptor_.set_option(net::socket_base::reuse_address(true), ec);
  if (!ec) acceptor_.bind(endpoint, ec);
  if (!ec) acceptor_.listen(net::socket_base::max_listen_connections, ec);
  if (ec) {
    log_ << "plotvane serve: cannot listen on " << options_.host << ":" << options_.port << ": "
         << ec.message() << "\n";
    return false;
  }
  const tcp::endpoint bound = acceptor_.local_endpoint(ec);
  const std::string host = address.is_v6() ? "[" + bound.address().to_string() + "]"
                                           : bound.address().to_string();
  log_ << "plotvane serve: listening on " << host << ":" << bound.port() << " with "
       << pool_.size() << (pool_.size() == 1 ? " worker\n" : " workers\n")
       << std::flush;
  return true;
}

void Service::Accept() {
  acceptor_.async_accept(io_, [this](beast::error_code ec, tcp::socket socket) {
    if (stopping_) return;
    if (ec) {
      // Out of descriptors, most likely: try again shortly rather than spin.
      accept_retry_.expires_after(std::chrono::milliseconds(50));
      accept_retry_.async_wait([this](beast::error_code e) {
        if (!e && !stopping_) Accept();
      });
      return;
    }
    if (connections_.size() >= options_.max_connections) {
      beast::error_code ignored;
      socket.close(ignored);
    } else {
      std::make_shared<Connection>(*this, std::move(socket))->Start();
    }
    Accept();
  });
}

void Service::WaitForSignal() {
  signals_.async_wait([this](beast::error_code ec, int) {
    if (ec) return;
    if (!stopping_) {
      Stop();
    } else {
      // A second signal: close every connection without waiting.
      const std::vector<Connection*> live(connections_.begin(), connections_.end());
      for (Connection* c : live) c->Stop(true);
    }
    if (!connections_.empty()) WaitForSignal();
  });
}

void Service::Stop() {
  stopping_ = true;
  log_ << "plotvane serve: stopping\n" << std::flush;
  beast::error_code ignored;
  acceptor_.close(ignored);
  accept_retry_.cancel();
  const std::vector<Connection*> live(connections_.begin(), connections_.end());
  for (Connection* c : live) c->Stop(false);
}

int Service::Run() {
  if (!Listen()) return 1;
  Accept();
  WaitForSignal();
  io_.run();
  pool_.Stop();
  log_ << "plotvane serve: stopped\n" << std::flush;
  return 0;
}

// Lets the process hold as many connections as its hard limit allows.
void RaiseDescriptorLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
  }
}

// The Version text of the component, read once through a Draw object.
bool ReadVersion(const ServerLibrary& server, std::string* version, std::ostream& log) {
  ComPtr<IDispatch> draw;
  if (FAILED(server.CreateDraw(&draw))) {
    log << "plotvane serve: cannot create a Draw object\n";
    return false;
  }
  ScriptStep get;
  get.name = "Version";
  const StepOutcome outcome = RunStep(draw.Get(), get, 0, "");
  if (FAILED(outcome.hr) || outcome.value.vt() != VT_BSTR) {
    log << "plotvane serve: cannot read Version: " << outcome.description << "\n";
    return false;
  }
  BSTR text = outcome.value->bstrVal;
  *version = Utf16ToUtf8(std::u16string_view(text, SysStringLen(text)));
  return true;
}

// The members of the server's type library for the playground's
// reference, read through a Draw object; "[]" when they cannot be read.
std::string MemberList(const ServerLibrary& server) {
  ComPtr<IDispatch> draw;
  ComPtr<ITypeInfo> info;
  if (FAILED(server.CreateDraw(&draw)) ||
      FAILED(draw->GetTypeInfo(0, 0, info.ReleaseAndGetAddressOf()))) {
    return "[]";
  }
  try {
    return MemberListJson(ReadInterfaceReference(info.Get()));
  } catch (const TypeReadFailure&) {
    return "[]";
  }
}

}  // namespace

int Serve(const ServerLibrary& server, const ServeOptions& options, std::ostream& log) {
  RaiseDescriptorLimit();
  Site site;
  if (!ReadVersion(server, &site.version, log)) return 1;
  site.playground = PlaygroundPage(MemberList(server));
  Service service(server, options, log, std::move(site));
  return service.Run();
}

}  // namespace plotvane
