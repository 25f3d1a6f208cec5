#include "tools/serve/options.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace plotvane {

const char kServeUsage[] =
    "usage: plotvane serve [flags]\n"
    "  --listen HOST:PORT      address to listen on (127.0.0.1:8080; [::1]:8080 for IPv6)\n"
    "  --workers N             drawing threads (0: one per core; default 0)\n"
    "  --queue N               requests waiting for a worker before 503 (256)\n"
    "  --deadline SECONDS      per request, from its last byte to its answer (10)\n"
    "  --max-body BYTES        request body (1MiB)\n"
    "  --max-steps N           steps of one script (10000)\n"
    "  --max-result BYTES      result document or picture (16MiB)\n"
    "  --max-url BYTES         request target (16KiB)\n"
    "  --max-header BYTES      request line and header fields (32KiB)\n"
    "  --max-memory BYTES      answers being drawn or sent, scripts waiting (256MiB)\n"
    "  --max-connections N     connections held at once; the longest idle is shed (10000)\n"
    "  --max-per-address N     connections from one address, or one IPv6 /64 (256)\n"
    "  --idle-timeout SECONDS  a kept-alive connection waiting for a request (30)\n"
    "  --read-timeout SECONDS  from a request's first byte to its last (10)\n"
    "  --write-timeout SECONDS sending one answer (30)\n"
    "BYTES may end in KiB, MiB or GiB.\n";

namespace {

// A decimal count; with `bytes`, optionally followed by KiB, MiB or GiB.
bool ReadCount(const std::string& text, size_t low, size_t high, bool bytes, size_t* out) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return false;
  errno = 0;
  char* end = nullptr;
  unsigned long long n = std::strtoull(text.c_str(), &end, 10);
  if (errno != 0) return false;
  if (*end != '\0') {
    const std::string unit = end;
    const int shift = !bytes ? -1 : unit == "KiB" ? 10 : unit == "MiB" ? 20 : unit == "GiB" ? 30 : -1;
    if (shift < 0 || n > (~0ull >> shift)) return false;
    n <<= shift;
  }
  if (n < low || n > high) return false;
  *out = static_cast<size_t>(n);
  return true;
}

// Seconds as a decimal number, above zero and at most a day.
bool ReadSeconds(const std::string& text, Seconds* out) {
  if (text.empty()) return false;
  char* end = nullptr;
  const double s = std::strtod(text.c_str(), &end);
  if (*end != '\0' || !std::isfinite(s) || s <= 0 || s > 86400) return false;
  *out = Seconds(s);
  return true;
}

bool ReadListen(const std::string& text, ServeOptions* options) {
  const size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) return false;
  std::string host = text.substr(0, colon);
  if (host.front() == '[') {
    if (host.size() < 3 || host.back() != ']') return false;
    host = host.substr(1, host.size() - 2);
  }
  size_t port = 0;
  if (!ReadCount(text.substr(colon + 1), 0, 65535, false, &port)) return false;
  options->host = host;
  options->port = static_cast<unsigned short>(port);
  return true;
}

}  // namespace

bool ParseServeOptions(const std::vector<std::string>& args, ServeOptions* options,
                       std::string* error) {
  constexpr size_t kMany = size_t{1} << 40;
  RequestLimits& limits = options->limits;
  const struct {
    const char* flag;
    size_t* count;  // or
    Seconds* seconds;
    size_t low, high;
    bool bytes;
  } kFlags[] = {
      {"--workers", &options->workers, nullptr, 0, 1024, false},
      {"--queue", &options->queue, nullptr, 0, 1000000, false},
      {"--max-connections", &options->max_connections, nullptr, 1, 1000000, false},
      {"--max-per-address", &options->max_per_address, nullptr, 1, 1000000, false},
      {"--max-memory", &options->max_memory, nullptr, 1 << 20, kMany, true},
      {"--max-body", &limits.max_body, nullptr, 0, kMany, true},
      {"--max-steps", &limits.max_steps, nullptr, 1, kMany, false},
      {"--max-result", &limits.max_result, nullptr, 1024, kMany, true},
      {"--max-url", &limits.max_url, nullptr, 64, kMany, true},
      // The HTTP library takes a 32-bit header limit.
      {"--max-header", &limits.max_header, nullptr, 256, UINT32_MAX, true},
      {"--deadline", nullptr, &limits.deadline, 0, 0, false},
      {"--idle-timeout", nullptr, &options->idle_timeout, 0, 0, false},
      {"--read-timeout", nullptr, &options->read_timeout, 0, 0, false},
      {"--write-timeout", nullptr, &options->write_timeout, 0, 0, false},
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& flag = args[i];
    if (i + 1 == args.size()) {
      *error = flag.rfind("--", 0) == 0 ? flag + " needs a value" : "unexpected argument " + flag;
      return false;
    }
    const std::string& value = args[++i];
    bool known = false, ok = false;
    if (flag == "--listen") {
      known = true;
      ok = ReadListen(value, options);
    }
    for (const auto& f : kFlags) {
      if (flag != f.flag) continue;
      known = true;
      ok = f.count != nullptr ? ReadCount(value, f.low, f.high, f.bytes, f.count)
                              : ReadSeconds(value, f.seconds);
    }
    if (!known) {
      *error = "unknown flag " + flag;
      return false;
    }
    if (!ok) {
      *error = "bad value for " + flag + ": " + value;
      return false;
    }
  }
  if (limits.max_result > options->max_memory) {
    *error = "--max-result is larger than --max-memory: no drawing would fit";
    return false;
  }
  return true;
}

}  // namespace plotvane
