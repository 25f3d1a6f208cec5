// The request handler of `plotvane serve`, apart from any socket: a parsed
// HTTP request becomes either an answer at once or a drawing job, and a job
// played on a new Draw object becomes its answer. The connection code and
// the fuzz target both drive it.
//
//   GET  /                       the playground page
//   GET  /healthz                "ok" (503 "stopping" once a stop began)
//   GET  /v1/version             the component's Version text
//   POST /v1/run                 body: a script; answer: its result document
//   GET  /v1/chart.FMT?kind=K&script=S[&map=1]
//   POST /v1/chart.FMT?kind=K[&map=1]   body: the script
//                                FMT png, gif, jpg, bmp or svg; K pie, bar,
//                                line or stacked; the picture (an SVG document
//                                with the image map inside), or with map=1
//                                the image map of the same drawing as HTML
//
// HEAD is answered wherever GET is. Statuses of a script: 200 when every
// step succeeded, 422 with the result document when a step failed, 400 with
// the reader's message when the script is malformed, 413 when it has more
// steps than allowed, 503 when its deadline passed.
#ifndef PLOTVANE_TOOLS_SERVE_HANDLER_H_
#define PLOTVANE_TOOLS_SERVE_HANDLER_H_

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>

#include "runtime/com_ptr.h"
#include "runtime/interfaces.h"
#include "tools/script.h"
#include "tools/serve/options.h"

namespace plotvane {

using HttpRequest = boost::beast::http::request<boost::beast::http::string_body>;

// A text of the HTTP library as a standard view.
inline std::string_view View(boost::beast::string_view text) { return {text.data(), text.size()}; }

// An answer, before it is framed as an HTTP response.
struct Reply {
  unsigned status = 200;
  std::string content_type;  // "" for none
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;  // Allow, Retry-After, policies
};

// A plain-text reply: `text` and a line break.
Reply TextReply(unsigned status, std::string_view text);

// What the pages of the service show that does not change while it runs.
struct Site {
  std::string version;     // the component's Version text
  std::string playground;  // the page served at "/"
};

// The page at "/": the embedded playground with the gallery scripts of the
// plotvane command among its examples and `members`, the member list of the
// server's type library as MemberListJson makes it, for its reference.
std::string PlaygroundPage(std::string_view members = "[]");

// A request that needs a Draw object. Its script is read on the worker
// too: reading a large one takes time the connections' thread has not.
struct DrawJob {
  std::string script;        // the text of the script
  bool chart = false;        // answer a picture or map, not the document
  std::string picture;       // chart: the member read after the script ("PNGPie")
  std::string content_type;  // chart: the picture's
  bool map = false;          // chart: answer the image map instead
};

// How a request is answered: `reply` now, or else by playing `job`.
struct Routed {
  std::optional<Reply> reply;
  DrawJob job;
};

// Routes `request`. `stopping` tells that the service is stopping (health
// checks then fail, so that balancers stop sending). Never throws but
// std::bad_alloc.
Routed Route(const HttpRequest& request, const Site& site, bool stopping);

// Makes a new Draw object, as DllGetClassObject and IClassFactory do.
using DrawMaker = std::function<HRESULT(ComPtr<IDispatch>*)>;

// Reads the script of `job` (400 when it is malformed, 413 when it has more
// steps than `limits` allow), plays it on a Draw object of `make_draw` and
// answers it. `expired` is
// asked before each step; once it says true, no further step is played and
// the answer is 503. The save field and the Save... methods are refused per
// step; bitmap handles a step returns are deleted at once, so nothing of the
// request outlives it. Never throws but std::bad_alloc.
Reply Play(const DrawJob& job, const DrawMaker& make_draw, const RequestLimits& limits,
           const std::function<bool()>& expired);

// The answer to a request that ran past its deadline.
Reply DeadlineReply(const RequestLimits& limits);

// What every answer but the playground page is served under: a document of
// its own, sandboxed, that may load nothing, so that the links and titles a
// script put into a map cannot run as script on the service's origin when a
// browser opens an answer.
inline constexpr char kPolicyHeader[] = "Content-Security-Policy";
inline constexpr char kSandboxPolicy[] = "sandbox; default-src 'none'";

// Gives `reply` the sandbox policy unless it carries a policy of its own
// (the playground page does), and forbids browsers to guess another type
// than the one it names.
void AddSecurityHeaders(Reply* reply);

}  // namespace plotvane

#endif  // PLOTVANE_TOOLS_SERVE_HANDLER_H_
