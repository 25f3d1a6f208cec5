#include "tools/serve/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace plotvane {

const char kServeUsage[] =
    "usage: plotvane serve [flags]\n"
    "  --listen HOST:PORT      address to listen on (127.0.0.1:8080; [::1]:8080 for IPv6)\n"
    "  --workers N             drawing threads (0: one per core; default 0)\n"
    "  --queue N               requests waiting for a worker before 503 (256)\n"
    "  --deadline SECONDS      per request, from its last byte to its answer (10)\n"
    "  --max-body BYTES        request body (1048576)\n"
    "  --max-steps N           steps of one script (10000)\n"
    "  --max-result BYTES      result document or picture (67108864)\n"
    "  --max-url BYTES         request target (16384)\n"
    "  --max-header BYTES      request line and header fields (32768)\n"
    "  --max-connections N     connections held at once (10000)\n"
    "  --idle-timeout SECONDS  a kept-alive connection waiting for a request (30)\n"
    "  --read-timeout SECONDS  from a request's first byte to its last (10)\n"
    "  --write-timeout SECONDS sending one answer (30)\n";

namespace {

bool ReadCount(const std::string& text, size_t low, size_t high, size_t* out) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long n = std::strtoull(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || n < low || n > high) return false;
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
  if (!ReadCount(text.substr(colon + 1), 0, 65535, &port)) return false;
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
  } kFlags[] = {
      {"--workers", &options->workers, nullptr, 0, 1024},
      {"--queue", &options->queue, nullptr, 0, 1000000},
      {"--max-connections", &options->max_connections, nullptr, 1, 1000000},
      {"--max-body", &limits.max_body, nullptr, 0, kMany},
      {"--max-steps", &limits.max_steps, nullptr, 1, kMany},
      {"--max-result", &limits.max_result, nullptr, 1024, kMany},
      {"--max-url", &limits.max_url, nullptr, 64, kMany},
      {"--max-header", &limits.max_header, nullptr, 256, kMany},
      {"--deadline", nullptr, &limits.deadline, 0, 0},
      {"--idle-timeout", nullptr, &options->idle_timeout, 0, 0},
      {"--read-timeout", nullptr, &options->read_timeout, 0, 0},
      {"--write-timeout", nullptr, &options->write_timeout, 0, 0},
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
      ok = f.count != nullptr ? ReadCount(value, f.low, f.high, f.count)
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
  return true;
}

}  // namespace plotvane
