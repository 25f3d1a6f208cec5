#include "tools/serve/handler.h"

#include <cstdint>
#include <map>
#include <sstream>
#include <streambuf>

#include <boost/beast/http/verb.hpp>

#include "base/utf.h"
#include "client/graph_kinds.h"
#include "client/text.h"
#include "runtime/bitmap_handles.h"
#include "runtime/bstr.h"
#include "runtime/safearray.h"
#include "tools/gallery.h"

namespace plotvane {

namespace http = boost::beast::http;

// The page, embedded at build time from tools/serve/playground.html, and the
// policy that lets its own inline script and style run and nothing else.
extern const std::string_view kPlaygroundHtml;
extern const std::string_view kPlaygroundPolicy;

namespace {

// Failures the service finds itself carry this source.
constexpr char kServeSource[] = "plotvane serve";
// Where the gallery scripts go into the page.
constexpr std::string_view kGalleryMark = "/*GALLERY*/";
constexpr std::string_view kMembersMark = "/*MEMBERS*/";

struct Format {
  const char* extension;  // of the path: /v1/chart.png
  const char* prefix;     // of the member: PNGPie
  const char* content_type;
};
constexpr Format kFormats[] = {{"png", "PNG", "image/png"},
                               {"gif", "GIF", "image/gif"},
                               {"jpg", "JPG", "image/jpeg"},
                               {"bmp", "BMP", "image/bmp"},
                               {"svg", "SVG", "image/svg+xml"}};

bool IsGet(const HttpRequest& r) { return r.method() == http::verb::get || r.method() == http::verb::head; }

Reply NotAllowed(const char* allow) {
  Reply reply = TextReply(405, std::string("Method not allowed; this resource takes ") + allow + ".");
  reply.headers.emplace_back("Allow", allow);
  return reply;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decodes one query component: "+" is a blank, "%XX" a byte. False for a
// broken escape.
bool Unescape(std::string_view text, std::string* out) {
  out->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      *out += ' ';
    } else if (text[i] != '%') {
      *out += text[i];
    } else {
      if (i + 2 >= text.size()) return false;
      const int high = HexDigit(text[i + 1]), low = HexDigit(text[i + 2]);
      if (high < 0 || low < 0) return false;
      *out += static_cast<char>(high * 16 + low);
      i += 2;
    }
  }
  return true;
}

// The parameters of a query ("a=1&b=2"). A malformed escape or a parameter
// given twice is refused with a message in `*error`.
bool ReadQuery(std::string_view query, std::map<std::string, std::string>* params,
               std::string* error) {
  while (!query.empty()) {
    const size_t amp = query.find('&');
    const std::string_view pair = query.substr(0, amp);
    query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
    if (pair.empty()) continue;
    const size_t eq = pair.find('=');
    std::string key, value;
    if (!Unescape(pair.substr(0, eq), &key) ||
        (eq != std::string_view::npos && !Unescape(pair.substr(eq + 1), &value))) {
      *error = "The query has a broken %-escape.";
      return false;
    }
    if (!params->emplace(key, std::move(value)).second) {
      *error = "The query gives \"" + key + "\" more than once.";
      return false;
    }
  }
  return true;
}

// Reads the script of a job into `*script`, or says why not.
std::optional<Reply> ReadScript(std::string_view text, const RequestLimits& limits, Script* script) {
  try {
    *script = ParseScript(text);
  } catch (const ScriptError& e) {
    return TextReply(400, e.what());
  }
  if (script->steps.size() > limits.max_steps) {
    return TextReply(413, "The script has " + std::to_string(script->steps.size()) +
                              " steps; this service plays at most " +
                              std::to_string(limits.max_steps) + ".");
  }
  return std::nullopt;
}

Routed RouteChart(const HttpRequest& request, std::string_view format_name,
                  std::string_view query) {
  Routed routed;
  const Format* format = nullptr;
  for (const Format& f : kFormats) {
    if (format_name == f.extension) format = &f;
  }
  if (format == nullptr) {
    routed.reply =
        TextReply(404, "No such picture format; there are png, gif, jpg, bmp and svg.");
    return routed;
  }
  if (!IsGet(request) && request.method() != http::verb::post) {
    routed.reply = NotAllowed("GET, HEAD, POST");
    return routed;
  }
  std::map<std::string, std::string> params;
  std::string error;
  if (!ReadQuery(query, &params, &error)) {
    routed.reply = TextReply(400, error);
    return routed;
  }
  const GraphKind* kind = nullptr;
  for (const GraphKind& k : kGraphKinds) {
    if (params["kind"] == k.name) kind = &k;
  }
  const std::string map = params["map"];
  if (kind == nullptr || (map != "" && map != "0" && map != "1")) {
    routed.reply = TextReply(400, kind == nullptr ? "\"kind\" must be pie, bar, line or stacked."
                                                  : "\"map\" must be 0 or 1.");
    return routed;
  }
  // A POST carries the script in its body; an empty body falls back to the query.
  const bool in_body = request.method() == http::verb::post && !request.body().empty();
  const auto script = params.find("script");
  if (in_body && script != params.end()) {
    routed.reply = TextReply(400, "Give the script in the body or in the query, not both.");
    return routed;
  }
  routed.job.script = in_body ? request.body() : script != params.end() ? script->second : "[]";
  routed.job.chart = true;
  routed.job.picture = std::string(format->prefix) + kind->member;
  routed.job.content_type = format->content_type;
  routed.job.map = map == "1";
  return routed;
}

// ---------------------------------------------------------------------------
// Playing
// ---------------------------------------------------------------------------

// ASCII letters compared ignoring case, as the member table compares names.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

// The member name as GetIDsOfNames reads it: up to the first NUL.
std::string_view MemberName(const ScriptStep& step) {
  const std::string_view name = step.name;
  return name.substr(0, name.find('\0'));
}

void Fail(StepOutcome* outcome, HRESULT hr, std::string description) {
  outcome->hr = hr;
  outcome->description = std::move(description);
  outcome->source = kServeSource;
  outcome->value.Clear();
  outcome->saved.clear();
}

// Keeps a request within its limits: refuses every step that would write a
// file, ends the script at the deadline, deletes bitmap handles, bounds the
// document, and keeps a copy of the chart's picture and map.
class ServiceGate : public StepGate {
 public:
  ServiceGate(const DrawJob& job, size_t first_added, const RequestLimits& limits,
              const std::function<bool()>& expired)
      : job_(job), first_added_(first_added), limits_(limits), expired_(expired) {}

  Verdict Before(const ScriptStep& step, size_t, StepOutcome* refusal) override {
    if (expired_()) {
      expired_seen_ = true;
      return Verdict::kStop;
    }
    if (!step.save.empty()) {
      Fail(refusal, E_ACCESSDENIED, "The service writes no files: \"save\" is refused.");
      return Verdict::kRefuse;
    }
    if (StartsWithIgnoringCase(MemberName(step), "save")) {
      Fail(refusal, E_ACCESSDENIED,
           "The service writes no files: " + std::string(MemberName(step)) + " is refused.");
      return Verdict::kRefuse;
    }
    return Verdict::kPlay;
  }

  bool After(const ScriptStep& step, StepOutcome* outcome, std::string* result) override {
    const VARIANT& value = *outcome->value.Get();
    if (SUCCEEDED(outcome->hr) && value.vt == VT_I4 &&
        StartsWithIgnoringCase(MemberName(step), "bmphandle") && MemberName(step).size() == 9) {
      // The client of a handle is this service, and it has no use for it.
      DeleteObject(BitmapHandleFromNumber(value.lVal));
    }
    if (SUCCEEDED(outcome->hr) && job_.chart && outcome->step >= first_added_) {
      Keep(value, outcome->step == first_added_);
    }
    document_bytes_ += result->size() + 4;
    if (document_bytes_ + kept_bytes_ > limits_.max_result) {
      Fail(outcome, E_OUTOFMEMORY,
           "The answer would be larger than this service's limit of " +
               std::to_string(limits_.max_result) + " bytes.");
      *result = ResultJson(*outcome);
      return false;
    }
    return true;
  }

  bool expired() const { return expired_seen_; }
  std::string TakePicture() { return std::move(picture_); }
  std::string TakeMap() { return std::move(map_); }

 private:
  // Keeps the picture (bytes, or an SVG document's text) or the map.
  void Keep(const VARIANT& value, bool picture) {
    std::string& kept = picture ? picture_ : map_;
    if (value.vt == (VT_ARRAY | VT_UI1) && value.parray != nullptr) {
      SafeArrayAccess bytes(value.parray);
      kept.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    } else if (value.vt == VT_BSTR) {
      kept = Utf16ToUtf8(std::u16string_view(value.bstrVal, SysStringLen(value.bstrVal)));
    }
    kept_bytes_ += kept.size();
  }

  const DrawJob& job_;
  const size_t first_added_;  // the first step the service added to the script
  const RequestLimits& limits_;
  const std::function<bool()>& expired_;
  bool expired_seen_ = false;
  size_t document_bytes_ = 0;
  size_t kept_bytes_ = 0;
  std::string picture_;
  std::string map_;
};

// An output stream into a string that can be moved out: the document of a
// large answer is not copied once more at its end.
class StringSink : public std::streambuf {
 public:
  std::string Take() { return std::move(text_); }

 protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) text_.push_back(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    text_.append(s, static_cast<size_t>(n));
    return n;
  }

 private:
  std::string text_;
};

}  // namespace

Reply TextReply(unsigned status, std::string_view text) {
  Reply reply;
  reply.status = status;
  reply.content_type = "text/plain; charset=utf-8";
  reply.body = std::string(text) + "\n";
  return reply;
}

void AddSecurityHeaders(Reply* reply) {
  bool has_policy = false;
  for (const auto& [name, value] : reply->headers) has_policy = has_policy || name == kPolicyHeader;
  if (!has_policy) reply->headers.emplace_back(kPolicyHeader, kSandboxPolicy);
  reply->headers.emplace_back("X-Content-Type-Options", "nosniff");
}

Reply DeadlineReply(const RequestLimits& limits) {
  std::ostringstream text;
  text << "The drawing took longer than this service's deadline of " << limits.deadline.count()
       << " s.";
  return TextReply(503, text.str());
}

namespace {

// `json` made safe to sit in a <script> element: no "</" may close it early.
std::string InScriptElement(std::string json) {
  for (size_t at = json.find("</"); at != std::string::npos; at = json.find("</", at)) {
    json.replace(at, 2, "<\\/");
  }
  return json;
}

void ReplaceMark(std::string* page, std::string_view mark, const std::string& text) {
  const size_t at = page->find(mark);
  if (at != std::string::npos) page->replace(at, mark.size(), text);
}

}  // namespace

std::string PlaygroundPage(std::string_view members) {
  std::string gallery = "[";
  for (const GalleryScript& script : GalleryScripts()) {
    if (gallery.size() > 1) gallery += ",";
    gallery += "{\"name\": " + JsonQuoted(script.name) + ", \"script\": " +
               JsonQuoted(script.text) + "}";
  }
  gallery += "]";
  std::string page(kPlaygroundHtml);
  ReplaceMark(&page, kGalleryMark, InScriptElement(gallery));
  ReplaceMark(&page, kMembersMark, InScriptElement(std::string(members)));
  return page;
}

Routed Route(const HttpRequest& request, const Site& site, bool stopping) {
  const std::string_view target = View(request.target());
  const size_t question = target.find('?');
  const std::string_view path = target.substr(0, question);
  const std::string_view query =
      question == std::string_view::npos ? std::string_view() : target.substr(question + 1);
  Routed routed;
  auto page = [&](Reply reply) {
    routed.reply = IsGet(request) ? std::move(reply) : NotAllowed("GET, HEAD");
    return routed;
  };
  if (path == "/") {
    Reply reply;
    reply.content_type = "text/html; charset=utf-8";
    reply.body = site.playground;
    reply.headers.emplace_back(kPolicyHeader, std::string(kPlaygroundPolicy));
    return page(std::move(reply));
  }
  if (path == "/healthz") return page(stopping ? TextReply(503, "stopping") : TextReply(200, "ok"));
  if (path == "/v1/version") return page(TextReply(200, site.version));
  if (path == "/v1/run") {
    if (request.method() != http::verb::post) {
      routed.reply = NotAllowed("POST");
      return routed;
    }
    routed.job.script = request.body();
    return routed;
  }
  constexpr std::string_view kChart = "/v1/chart.";
  if (path.substr(0, kChart.size()) == kChart) {
    return RouteChart(request, path.substr(kChart.size()), query);
  }
  routed.reply = TextReply(404, "Not found.");
  return routed;
}

Reply Play(const DrawJob& job, const DrawMaker& make_draw, const RequestLimits& limits,
           const std::function<bool()>& expired) {
  Script script;
  if (std::optional<Reply> refused = ReadScript(job.script, limits, &script)) return *refused;
  const size_t first_added = script.steps.size();
  if (job.chart) {
    ScriptStep get;
    get.name = job.picture;
    script.steps.push_back(get);
    if (job.map) {
      get.name = "ImageMapText";
      script.steps.push_back(get);
    }
  }
  ServiceGate gate(job, first_added, limits, expired);
  StringSink sink;
  std::ostream document(&sink);
  size_t failed = 0;
  {
    ComPtr<IDispatch> draw;
    const HRESULT hr = make_draw(&draw);
    if (FAILED(hr)) return TextReply(500, "Cannot create a Draw object.");
    failed = RunScript(draw.Get(), script, document, "", &gate);
    // A drawing stopped at its deadline fails the call under way; the
    // object goes with this scope, and what it gave is not an answer.
  }
  if (gate.expired() || expired()) return DeadlineReply(limits);
  Reply reply;
  if (failed > 0 || !job.chart) {
    reply.status = failed > 0 ? 422 : 200;
    reply.content_type = "application/json";
    reply.body = sink.Take();
  } else if (job.map) {
    reply.content_type = "text/html; charset=utf-8";
    reply.body = gate.TakeMap();
  } else {
    reply.content_type = job.content_type;
    reply.body = gate.TakePicture();
  }
  return reply;
}

}  // namespace plotvane
