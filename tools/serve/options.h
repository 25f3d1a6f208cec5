// The settings of `plotvane serve`, each with its default and its flag.
// Every limit bounds what one client can make the service spend: memory per
// request, time per drawing, connections held and requests waiting.
#ifndef PLOTVANE_TOOLS_SERVE_OPTIONS_H_
#define PLOTVANE_TOOLS_SERVE_OPTIONS_H_

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace plotvane {

using Seconds = std::chrono::duration<double>;

// What a request may ask of the service. The handler checks these; the
// connection enforces the sizes while reading.
struct RequestLimits {
  // --max-body BYTES: the largest request body (an automation script).
  size_t max_body = size_t{1} << 20;
  // --max-steps N: the most steps one script may have.
  size_t max_steps = 10000;
  // --max-result BYTES: the largest answer (result document or picture);
  // the step whose result would pass it fails and ends the script. Every
  // drawing reserves this much of --max-memory while it runs, so it also
  // bounds how many drawings fit in the memory budget at once.
  size_t max_result = size_t{16} << 20;
  // --max-url BYTES: the longest request target (path and query).
  size_t max_url = 16 * 1024;
  // --max-header BYTES: the request line and header fields together.
  size_t max_header = 32 * 1024;
  // --deadline SECONDS: from a request's last byte to its answer. A drawing
  // past it is answered 503, and the call under way is cancelled.
  Seconds deadline{10.0};
};

struct ServeOptions {
  // --listen HOST:PORT (IPv6 as [ADDR]:PORT). Port 0 takes a free port;
  // the address is printed on standard error once listening.
  std::string host = "127.0.0.1";
  unsigned short port = 8080;
  // --workers N: threads that draw; 0 means one per core.
  size_t workers = 0;
  // --queue N: requests that may wait for a worker; one more is answered
  // 503 with Retry-After.
  size_t queue = 256;
  // --max-connections N: connections held at once. When they are all held,
  // the one idle the longest is closed to admit a new one; with none idle,
  // the new one is closed at once.
  size_t max_connections = 10000;
  // --max-per-address N: connections held at once from one client address
  // (for IPv6, one /64 network); more from it are closed at once.
  size_t max_per_address = 256;
  // --max-memory BYTES: the answers being drawn or waiting to be sent, and
  // the scripts waiting for a worker, together; a request that would pass
  // it is answered 503 with Retry-After before it is drawn.
  size_t max_memory = size_t{256} << 20;
  // --idle-timeout SECONDS: how long a kept-alive connection may wait for
  // its next request.
  Seconds idle_timeout{30.0};
  // --read-timeout SECONDS: from a request's first byte to its last; a
  // slower client is answered 408 and disconnected.
  Seconds read_timeout{10.0};
  // --write-timeout SECONDS: for sending one answer.
  Seconds write_timeout{30.0};
  RequestLimits limits;
};

// The help text of the flags above, their defaults included.
extern const char kServeUsage[];

// Reads the flags of `plotvane serve` into `*options` (which holds the
// defaults). Returns false with `*error` set for an unknown flag, a missing
// or unreadable value, or a value out of range.
bool ParseServeOptions(const std::vector<std::string>& args, ServeOptions* options,
                       std::string* error);

}  // namespace plotvane

#endif  // PLOTVANE_TOOLS_SERVE_OPTIONS_H_
