// libFuzzer target for the request handler of `plotvane serve`: every input
// is the bytes a client sends on one connection. They are parsed by the HTTP
// library with the service's limits, as the connection does, and each
// request read is routed and, when it draws, played on a Draw object of the
// component linked in. After each request the handler's promises are
// checked: a status it documents, the headers that keep a browser from
// running what an answer holds, a result document that is JSON, a picture
// with its format's signature, and no new file in the folder the process
// works in.
#include <dirent.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <boost/beast/http.hpp>
#include <nlohmann/json.hpp>

#include "automation/draw.h"
#include "runtime/com.h"
#include "tools/serve/handler.h"

namespace {

namespace http = boost::beast::http;
using plotvane::Reply;

plotvane::RequestLimits limits;
plotvane::Site site;
int entries_here = 0;  // at the start

[[noreturn]] void Broken(const std::string& what, const Reply& reply) {
  std::fprintf(stderr, "broken promise: %s (status %u, %zu bytes: %.200s)\n", what.c_str(),
               reply.status, reply.body.size(), reply.body.c_str());
  std::abort();
}

void Check(const plotvane::DrawJob* job, Reply reply) {
  static const unsigned kStatuses[] = {200, 400, 404, 405, 413, 422, 503};
  bool known = false;
  for (unsigned s : kStatuses) known = known || s == reply.status;
  if (!known) Broken("an undocumented status", reply);
  if (reply.content_type.empty()) Broken("no content type", reply);
  plotvane::AddSecurityHeaders(&reply);
  int policies = 0, nosniff = 0;
  for (const auto& [name, value] : reply.headers) {
    if (name == plotvane::kPolicyHeader) {
      ++policies;
      // Only the playground page runs code of its own.
      if (value != plotvane::kSandboxPolicy && reply.body != site.playground) {
        Broken("an answer that is not sandboxed", reply);
      }
    }
    nosniff += name == "X-Content-Type-Options" && value == "nosniff";
  }
  if (policies != 1 || nosniff != 1) Broken("security headers missing or twice", reply);
  if (reply.status == 405) {
    bool allow = false;
    for (const auto& [name, value] : reply.headers) allow = allow || name == "Allow";
    if (!allow) Broken("405 without Allow", reply);
  }
  if (job == nullptr) return;
  if (reply.content_type == "application/json" && !nlohmann::json::accept(reply.body)) {
    Broken("a result document that is not JSON", reply);
  }
  if (job->chart && reply.status == 200 && !job->map && !reply.body.empty()) {
    static const struct {
      const char* type;
      const char* signature;
    } kSignatures[] = {
        {"image/png", "\x89PNG"}, {"image/gif", "GIF8"}, {"image/jpeg", "\xFF\xD8"}, {"image/bmp", "BM"},
        {"image/svg+xml", "<svg "}};
    for (const auto& s : kSignatures) {
      if (reply.content_type == s.type && reply.body.rfind(s.signature, 0) != 0) {
        Broken("a picture without its signature", reply);
      }
    }
  }
}

HRESULT MakeDraw(plotvane::ComPtr<IDispatch>* out) {
  return plotvane::CreateDrawObject(nullptr, IID_IDispatch, out->ReleaseAndGetAddressOfVoid());
}

// The entries of the current folder, where a relative path a script names
// would be written.
int EntriesHere() {
  DIR* dir = opendir(".");
  if (dir == nullptr) return -1;
  int entries = 0;
  while (readdir(dir) != nullptr) ++entries;
  closedir(dir);
  return entries;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  entries_here = EntriesHere();
  limits.max_body = 64 * 1024;
  limits.max_header = 8 * 1024;
  limits.max_url = 4 * 1024;
  limits.max_steps = 200;
  limits.max_result = 4 << 20;
  site.version = "Plotvane (fuzzing)";
  site.playground = plotvane::PlaygroundPage();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  boost::beast::error_code ec;
  boost::asio::const_buffer rest(data, size);
  // Up to four requests kept alive on one connection.
  for (int i = 0; i < 4 && rest.size() > 0; ++i) {
    http::request_parser<http::string_body> parser;
    parser.header_limit(static_cast<uint32_t>(limits.max_header));
    parser.body_limit(limits.max_body);
    parser.eager(true);
    const size_t used = parser.put(rest, ec);
    rest += used;
    if (ec == http::error::need_more) {
      parser.put_eof(ec);
      if (!parser.is_done()) return 0;
    }
    if (ec || !parser.is_done() || used == 0) return 0;
    const plotvane::HttpRequest& request = parser.get();
    plotvane::Routed routed = plotvane::Route(request, site, i == 3);
    if (routed.reply) {
      Check(nullptr, *routed.reply);
      continue;
    }
    // The drawing stops after a quarter of a second, as it would at a
    // service's deadline, so that only one step can meet -timeout.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(250);
    const Reply reply = plotvane::Play(routed.job, MakeDraw, limits,
                                       [end] { return std::chrono::steady_clock::now() > end; });
    Check(&routed.job, reply);
    if (EntriesHere() != entries_here) Broken("a file written on a client's behalf", reply);
  }
  return 0;
}
