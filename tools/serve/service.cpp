// The service around the connections: listening and admitting (within the
// connection limits, shedding the longest idle connection when full), the
// drawing on workers with its share of the memory budget, and stopping on
// signals.
#include "tools/serve/service.h"

#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/utf.h"
#include "client/interface_reference.h"
#include "client/type_reader.h"
#include "runtime/bstr.h"
#include "runtime/com.h"
#include "tools/member_help.h"
#include "tools/serve/service_parts.h"

namespace plotvane {
namespace serve_detail {
namespace {

// An answer from this size on was drawn with large pictures.
constexpr size_t kLargeAnswer = size_t{1} << 20;

// After a second signal the process ends within this, even if a drawing
// could not be stopped.
constexpr auto kHardStop = std::chrono::milliseconds(900);

// What the per-address limit counts by: an IPv4 address (an IPv4 client
// seen over IPv6 too), or the /64 network of an IPv6 one, which one client
// commonly holds whole.
std::string AddressKey(const net::ip::address& address) {
  if (address.is_v6() && !address.to_v6().is_v4_mapped()) {
    const auto bytes = address.to_v6().to_bytes();
    return std::string(bytes.begin(), bytes.begin() + 8);
  }
  const auto bytes = (address.is_v6() ? address.to_v6().to_v4() : address.to_v4()).to_bytes();
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

// ---------------------------------------------------------------------------
// Ticket
// ---------------------------------------------------------------------------

void Ticket::Cancel() {
  std::lock_guard<std::mutex> lock(mutex_);
  stopped_ = true;
  if (thread_ != 0) CoCancelCall(thread_, 0);
}

bool Ticket::Begin() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (stopped_) return false;
  thread_ = GetCurrentThreadId();
  return true;
}

void Ticket::End() {
  std::lock_guard<std::mutex> lock(mutex_);
  thread_ = 0;
}

// ---------------------------------------------------------------------------
// Service
// ---------------------------------------------------------------------------

Service::Service(const ServerLibrary& server, const ServeOptions& options, std::ostream& log,
                 Site site)
    : server_(server),
      options_(options),
      log_(log),
      site_(std::move(site)),
      budget_(options.max_memory),
      acceptor_(io_),
      accept_retry_(io_),
      signals_(io_, SIGINT, SIGTERM),
      pool_(options.workers != 0 ? options.workers : std::max(1u, std::thread::hardware_concurrency()),
            options.queue) {}

namespace {

// The worker's cancellable section around one drawing, and the ticket
// naming the worker inside it.
class CancellableDrawing {
 public:
  explicit CancellableDrawing(Ticket& ticket) : ticket_(ticket) {
    CoEnableCallCancellation(nullptr);
    begun_ = ticket_.Begin();
  }
  CancellableDrawing(const CancellableDrawing&) = delete;
  CancellableDrawing& operator=(const CancellableDrawing&) = delete;
  ~CancellableDrawing() {
    if (begun_) ticket_.End();
    CoDisableCallCancellation(nullptr);
  }
  // False when the drawing was stopped before it began.
  bool begun() const { return begun_; }

 private:
  Ticket& ticket_;
  bool begun_ = false;
};

}  // namespace

Reply Service::Draw(const DrawJob& job, Ticket& ticket, MemoryBudget::Reservation* reservation) const {
  Reply reply;
  try {
    reply = DeadlineReply(options_.limits);  // unless drawn: waited too long, or nobody waits
    if (ticket.Expired()) {
      // nothing to draw
    } else if (!reservation->Resize(reservation->bytes() + options_.limits.max_result)) {
      reply = TextReply(503, "The service has no memory free for another answer; try again shortly.");
      reply.headers.emplace_back("Retry-After", "1");
    } else {
      const ServerLibrary& server = server_;
      CancellableDrawing section(ticket);
      if (section.begun()) {
        reply = Play(
            job, [&server](ComPtr<IDispatch>* out) { return server.CreateDraw(out); },
            options_.limits, [&ticket] { return ticket.Expired(); });
      }
    }
  } catch (const std::exception&) {
    reply = TextReply(500, "The service ran out of memory.");
  }
  // From now on the answer holds only what it takes. What a large drawing
  // freed goes back to the system rather than staying resident; after an
  // ordinary one that would cost more than the drawing (its pages would be
  // faulted in again by the next).
  reservation->Resize(reply.body.size());
  if (reply.body.size() >= kLargeAnswer) malloc_trim(0);
  return reply;
}

void Service::SetIdle(Connection* c, bool idle) {
  if (idle == c->listed_) return;
  if (idle) {
    c->idle_at_ = idle_.insert(idle_.end(), c);
  } else {
    idle_.erase(c->idle_at_);
  }
  c->listed_ = idle;
}

void Service::Remove(Connection* c) {
  if (connections_.erase(c) == 0) return;
  SetIdle(c, false);
  const auto from = per_address_.find(c->address());
  if (from != per_address_.end() && --from->second == 0) per_address_.erase(from);
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
    Admit(std::move(socket));
    Accept();
  });
}

// Takes a new connection unless its address holds its share already. When
// the service holds all it may, the connection idle the longest makes room:
// a client that sends its request at once is served, and one that holds
// connections without using them loses them first.
void Service::Admit(tcp::socket socket) {
  beast::error_code ec;
  const tcp::endpoint peer = socket.remote_endpoint(ec);
  if (ec) return;  // gone already
  std::string address = AddressKey(peer.address());
  const auto from = per_address_.find(address);
  bool room = from == per_address_.end() || from->second < options_.max_per_address;
  if (room && connections_.size() >= options_.max_connections) {
    if (idle_.empty()) {
      room = false;
    } else {
      idle_.front()->Shed();
    }
  }
  if (!room) {
    socket.close(ec);
    return;
  }
  ++per_address_[address];
  auto connection = std::make_shared<Connection>(*this, std::move(socket), std::move(address));
  connections_.insert(connection.get());
  connection->Start();
}

void Service::WaitForSignal() {
  signals_.async_wait([this](beast::error_code ec, int) {
    if (ec) return;
    if (!stopping_) {
      Stop();
    } else {
      StopNow();
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

// A second signal: nothing more is drawn or sent. Queued requests are
// dropped, drawings under way are cancelled with their connections, and
// should one not stop, the process ends anyway.
void Service::StopNow() {
  log_ << "plotvane serve: stopping now\n" << std::flush;
  pool_.StopNow();
  const std::vector<Connection*> live(connections_.begin(), connections_.end());
  for (Connection* c : live) c->Stop(true);
  std::thread([] {
    std::this_thread::sleep_for(kHardStop);
    std::_Exit(1);
  }).detach();
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

namespace {

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
}  // namespace serve_detail

int Serve(const ServerLibrary& server, const ServeOptions& options, std::ostream& log) {
  serve_detail::RaiseDescriptorLimit();
  Site site;
  if (!serve_detail::ReadVersion(server, &site.version, log)) return 1;
  site.playground = PlaygroundPage(serve_detail::MemberList(server));
  serve_detail::Service service(server, options, log, std::move(site));
  return service.Run();
}

}  // namespace plotvane
