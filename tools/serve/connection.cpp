// A connection of the service, from its first byte to its close; see the
// state picture in service_parts.h.
#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "tools/serve/service_parts.h"

namespace plotvane {
namespace serve_detail {
namespace {

// Bytes read at a time while a connection waits for a request.
constexpr size_t kReadChunk = 4096;
// How long a closing connection keeps reading what the client still sends,
// so that the answer before it is not lost to a reset.
constexpr auto kLinger = std::chrono::seconds(1);
// How often a drawing connection whose client has sent a whole next request
// ahead asks the system whether the client has hung up.
constexpr auto kHangUpPoll = std::chrono::milliseconds(40);
// The longest path an access-log line shows.
constexpr size_t kLoggedPathBytes = 200;
// The status the access log gives a request whose client went away before
// its answer; no client ever sees it.
constexpr unsigned kClientGone = 499;

// True for the ways a client simply goes away.
bool Gone(beast::error_code ec) {
  return ec == http::error::end_of_stream || ec == http::error::partial_message ||
         ec == net::error::eof || ec == net::error::connection_reset ||
         ec == net::error::operation_aborted || ec == net::error::broken_pipe;
}

Reply BusyReply(const char* text) {
  Reply reply = TextReply(503, text);
  reply.headers.emplace_back("Retry-After", "1");
  return reply;
}

}  // namespace

Connection::Connection(Service& service, tcp::socket socket, std::string address)
    : service_(service),
      address_(std::move(address)),
      stream_(std::move(socket)),
      timer_(service.io()),
      hang_up_timer_(service.io()) {
  // Reads that are not waited for: a connection only reads what is there.
  beast::error_code ignored;
  stream_.socket().non_blocking(true, ignored);
}

template <class F>
auto Connection::InPhase(F f) {
  return [self = shared_from_this(), phase = phase_, f = std::move(f)](auto... results) {
    if (self->phase_ == phase) f(*self, results...);
  };
}

void Connection::Enter(State state) {
  state_ = state;
  ++phase_;
}

void Connection::Stop(bool now) {
  closing_ = true;
  if (now || state_ == State::kIdle || state_ == State::kClosed) Close();
}

void Connection::WaitForRequest() {
  Enter(State::kIdle);
  method_ = path_ = "-";
  head_ = false;
  if (closing_ || service_.stopping()) return Close();
  if (buffer_.size() > 0) return ReadHeader();  // the client sent it already
  buffer_.shrink_to_fit();                      // an idle connection holds no buffer
  service_.SetIdle(this, true);
  timer_.expires_after(Ticks(service_.options().idle_timeout));
  timer_.async_wait(InPhase([](Connection& c, beast::error_code ec) {
    if (!ec) c.Close();
  }));
  AwaitBytes();
}

void Connection::AwaitBytes() {
  stream_.socket().async_wait(tcp::socket::wait_read, InPhase([](Connection& c, beast::error_code ec) {
    if (ec) return c.Close();
    switch (c.Pull(kReadChunk)) {
      case Pulled::kSome: return c.ReadHeader();
      case Pulled::kNone: return c.AwaitBytes();
      case Pulled::kEnd: return c.Close();
    }
  }));
}

// Reads what the socket holds, up to `most` bytes, into the buffer without
// waiting: kEnd when the client closed or reset the connection.
Connection::Pulled Connection::Pull(size_t most) {
  beast::error_code ec;
  const size_t n = stream_.socket().read_some(buffer_.prepare(most), ec);
  if (ec == net::error::would_block || ec == net::error::try_again || ec == net::error::interrupted) {
    return Pulled::kNone;
  }
  if (ec || n == 0) return Pulled::kEnd;
  buffer_.commit(n);
  return Pulled::kSome;
}

void Connection::ReadHeader() {
  const RequestLimits& limits = service_.options().limits;
  Enter(State::kReading);
  service_.SetIdle(this, false);
  started_ = Clock::now();
  parser_.emplace();
  parser_->header_limit(static_cast<uint32_t>(limits.max_header));
  parser_->body_limit(limits.max_body);
  stream_.expires_never();
  read_timed_out_ = false;
  timer_.expires_after(Ticks(service_.options().read_timeout));
  timer_.async_wait(InPhase([](Connection& c, beast::error_code ec) {
    if (ec) return;
    c.read_timed_out_ = true;
    beast::error_code ignored;
    c.stream_.socket().cancel(ignored);
  }));
  http::async_read_header(stream_, buffer_, *parser_,
                          InPhase([](Connection& c, beast::error_code ec, size_t n) { c.OnHeader(ec, n); }));
}

// Whether the request line in the buffer names a target longer than the
// limit; for a head too large to parse, whose target is owed its own status.
bool Connection::TargetTooLong() const {
  const std::string_view head(static_cast<const char*>(buffer_.data().data()), buffer_.size());
  const size_t start = head.find(' ');
  if (start == std::string_view::npos) return false;
  const size_t end = head.find_first_of(" \r\n", start + 1);
  const size_t length = (end == std::string_view::npos ? head.size() : end) - start - 1;
  return length > service_.options().limits.max_url;
}

void Connection::OnHeader(beast::error_code ec, size_t header_bytes) {
  const RequestLimits& limits = service_.options().limits;
  const auto url_too_long = [&] {
    Refuse(414, "The request target is longer than " + std::to_string(limits.max_url) +
                    " bytes; send the script in a POST body.");
  };
  const auto header_too_large = [&] {
    Refuse(431, "The request header is larger than " + std::to_string(limits.max_header) + " bytes.");
  };
  if (read_timed_out_) return Refuse(408, "The request came too slowly.");
  if (ec == http::error::header_limit) return TargetTooLong() ? url_too_long() : header_too_large();
  if (ec == http::error::body_limit) {
    return Refuse(413, "The request body is larger than " + std::to_string(limits.max_body) +
                           " bytes.");
  }
  if (Gone(ec)) return Close();
  if (ec) return Refuse(400, "Bad request: " + ec.message() + ".");
  const HttpRequest& request = parser_->get();
  method_ = std::string(View(request.method_string()));
  const std::string_view target = View(request.target());
  path_ = std::string(target.substr(0, std::min(target.find('?'), kLoggedPathBytes)));
  if (target.size() > limits.max_url) return url_too_long();
  // The parser bounds the request line and the fields each by the limit;
  // together they may not pass it either.
  if (header_bytes > limits.max_header) return header_too_large();
  if (parser_->content_length() && *parser_->content_length() > limits.max_body) {
    return Refuse(413, "The request body is larger than " + std::to_string(limits.max_body) +
                           " bytes.");
  }
  if (beast::iequals(request[http::field::expect], "100-continue") && !parser_->is_done()) {
    auto go_on = std::make_shared<http::response<http::empty_body>>(http::status::continue_, 11);
    http::async_write(stream_, *go_on, InPhase([go_on](Connection& c, beast::error_code e, size_t) {
                        if (e) return c.Close();
                        c.ReadBody();
                      }));
    return;
  }
  ReadBody();
}

void Connection::ReadBody() {
  if (parser_->is_done()) return Dispatch();
  http::async_read(stream_, buffer_, *parser_,
                   InPhase([](Connection& c, beast::error_code ec, size_t) { c.OnBody(ec); }));
}

void Connection::OnBody(beast::error_code ec) {
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
  Enter(State::kDrawing);
  timer_.cancel();
  Routed routed;
  {
    const HttpRequest& request = parser_->get();
    head_ = request.method() == http::verb::head;
    version_ = request.version();
    keep_alive_ = request.keep_alive();
    routed = Route(request, service_.site(), service_.stopping());
  }
  parser_.reset();  // the body is read into the job; its text is not kept
  if (routed.reply) return Answer(std::move(*routed.reply));

  // The script counts against the memory budget while it waits; the worker
  // adds the answer's share before it draws.
  auto job = std::make_shared<const DrawJob>(std::move(routed.job));
  auto reservation =
      std::make_shared<MemoryBudget::Reservation>(service_.budget().TryReserve(job->script.size()));
  if (!reservation->held()) {
    return Answer(BusyReply("The service has no memory free for another answer; try again shortly."));
  }
  auto ticket = std::make_shared<Ticket>(Clock::now() + Ticks(service_.options().limits.deadline));
  std::weak_ptr<Connection> weak = weak_from_this();
  Service& service = service_;
  task_ = service_.pool().TrySubmit([&service, job, ticket, reservation, weak] {
    auto drawing = std::make_shared<Drawing>();
    drawing->reply = service.Draw(*job, *ticket, reservation.get());
    drawing->reservation = std::move(*reservation);
    // The connection is touched on its own thread only, and only if it is
    // still there.
    net::post(service.io(), [weak, ticket, drawing] {
      if (auto self = weak.lock()) self->Drawn(ticket, drawing.get());
    });
  });
  if (task_ == 0) return Answer(BusyReply("Every worker is busy; try again shortly."));
  ticket_ = std::move(ticket);
  timer_.expires_at(Clock::now() + Ticks(service_.options().limits.deadline));
  timer_.async_wait(InPhase([](Connection& c, beast::error_code ec) {
    if (!ec) c.OnDeadline();
  }));
  Watch();
}

// While the request waits and draws, the socket is watched for its client
// hanging up. What a client sends ahead (its next request) is kept in the
// buffer, up to a request head; beyond that the client is asked after now
// and then instead, for the socket stays readable.
void Connection::Watch() {
  stream_.socket().async_wait(tcp::socket::wait_read, InPhase([](Connection& c, beast::error_code ec) {
    if (ec) return c.Abandon();
    const size_t room = c.service_.options().limits.max_header;
    if (c.buffer_.size() >= room) return c.WatchForHangUp();
    if (c.Pull(room - c.buffer_.size()) == Pulled::kEnd) return c.Abandon();
    c.Watch();
  }));
}

void Connection::WatchForHangUp() {
  hang_up_timer_.expires_after(kHangUpPoll);
  hang_up_timer_.async_wait(InPhase([](Connection& c, beast::error_code ec) {
    if (ec) return;
    pollfd p{c.stream_.socket().native_handle(), POLLRDHUP, 0};
    if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0) return c.Abandon();
    c.WatchForHangUp();
  }));
}

void Connection::StopWatching() {
  beast::error_code ignored;
  stream_.socket().cancel(ignored);
  hang_up_timer_.cancel();
}

void Connection::OnDeadline() {
  ticket_->Cancel();
  service_.pool().Withdraw(task_);
  ticket_.reset();
  task_ = 0;
  StopWatching();
  Answer(DeadlineReply(service_.options().limits));
}

void Connection::Drawn(const std::shared_ptr<Ticket>& ticket, Drawing* drawing) {
  if (ticket != ticket_ || state_ != State::kDrawing) return;  // answered at the deadline
  ticket_.reset();
  task_ = 0;
  StopWatching();
  held_ = std::move(drawing->reservation);
  Answer(std::move(drawing->reply));
}

// The client went away before its answer: its request leaves the queue, or
// its drawing stops.
void Connection::Abandon() {
  LogLine(kClientGone, 0);
  Close();
}

void Connection::Answer(Reply reply) {
  AddSecurityHeaders(&reply);
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
  // An HTTP/1.0 client keeps the connection only when told so.
  if (keep_alive_ && version_ < 11) response->set(http::field::connection, "keep-alive");
  Enter(State::kWriting);
  timer_.cancel();
  stream_.expires_after(Ticks(service_.options().write_timeout));
  http::async_write(stream_, *response, InPhase([response](Connection& c, beast::error_code ec, size_t) {
                      c.OnWritten(ec);
                    }));
}

// Answers a request that cannot be read on; the connection closes after.
void Connection::Refuse(unsigned status, const std::string& text) {
  parser_.reset();
  keep_alive_ = false;
  closing_ = true;
  Answer(TextReply(status, text));
}

void Connection::LogLine(unsigned status, size_t bytes) {
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - started_).count();
  char timing[32];
  std::snprintf(timing, sizeof(timing), " %.1fms\n", ms);
  service_.Log(method_ + " " + path_ + " " + std::to_string(status) + " " + std::to_string(bytes) +
               timing);
}

void Connection::OnWritten(beast::error_code ec) {
  LogLine(status_, bytes_);
  held_.Release();
  if (ec) return Close();
  if (keep_alive_) return WaitForRequest();
  Linger();
}

// Sends FIN, then reads and drops whatever the client still sends for a
// moment: closing with unread bytes would reset the connection and could
// destroy the answer just written. A lingering connection is idle, the
// first to go when the service is full.
void Connection::Linger() {
  Enter(State::kClosed);
  beast::error_code ignored;
  stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
  stream_.expires_after(kLinger);
  service_.SetIdle(this, true);
  Drain();
}

void Connection::Drain() {
  buffer_.clear();
  stream_.async_read_some(buffer_.prepare(kReadChunk), InPhase([](Connection& c, beast::error_code ec, size_t) {
                            if (ec) return c.Close();  // the client closed too, or the moment is over
                            c.Drain();
                          }));
}

void Connection::Close() {
  if (closed_) return;
  closed_ = true;
  Enter(State::kClosed);
  if (ticket_ != nullptr) ticket_->Cancel();
  ticket_.reset();
  if (task_ != 0) service_.pool().Withdraw(task_);
  task_ = 0;
  held_.Release();
  timer_.cancel();
  hang_up_timer_.cancel();
  service_.Remove(this);
  beast::error_code ignored;
  stream_.socket().shutdown(tcp::socket::shutdown_both, ignored);
  stream_.close();
}

}  // namespace serve_detail
}  // namespace plotvane
