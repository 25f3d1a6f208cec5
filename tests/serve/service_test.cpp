// `plotvane serve` from the outside: every endpoint over HTTP on loopback,
// its answers against `plotvane run` for the same scripts, the limits and
// the clients that misbehave, and stopping under load. Every test ends by
// stopping the service with SIGTERM and demanding exit status 0, which the
// sanitizers of the test build turn into "no error and no leak".
#include <fstream>
#include <future>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/serve/serve_support.h"

namespace plotvane::serve_test {
namespace {

using Json = nlohmann::json;
using http::verb;

// A chart of every kind's data, with map entries; the kinds not drawn yet
// may fail or give empty pictures, the comparisons hold either way.
constexpr char kChartSteps[] = R"(
  {"put": "Title", "value": "Fruit"},
  {"call": "AddData", "args": ["Apples", 12, "FF0000"]},
  {"call": "AddData", "args": ["Pears", 7, "00A000"]},
  {"call": "AddData", "args": ["Plums", 5, "6040C0"]},
  {"call": "AddPoint", "args": [1, 3, "FF0000", "North"]},
  {"call": "AddPoint", "args": [2, 5, "FF0000", "North"]},
  {"call": "AddGroupedData", "args": ["Q1", "Apples", 4, "FF0000"]},
  {"call": "AddGroupedData", "args": ["Q2", "Pears", 2, "00A000"]},
  {"call": "AddMapArea", "args": ["apples.html", "Apples: 12", ""]},
  {"call": "AddMapArea", "args": ["", "Pears: 7", ""]})";

std::string ChartScript(const std::string& more_steps = "") {
  return std::string("{\"steps\": [") + kChartSteps + more_steps + "\n]}";
}

// A pie that takes seconds to play: many pictures of a large page.
std::string SlowScript(int pictures) {
  std::string steps = R"({"put": "Width", "value": 1600}, {"put": "Height", "value": 1200},
    {"call": "AddData", "args": ["A", 3, "FF0000"]}, {"call": "AddData", "args": ["B", 4, "00FF00"]})";
  for (int i = 0; i < pictures; ++i) steps += ", {\"get\": \"PNGPie\"}";
  return "[" + steps + "]";
}

using ServiceTest = ServiceFixture;

TEST_F(ServiceTest, EndpointsAnswerWithTheirStatusAndType) {
  Start();
  int status = -1;
  const std::string version = PlotvaneRun(R"([{"get": "Version"}])", &status);
  ASSERT_EQ(status, 0);
  const std::string version_text = Json::parse(version)["results"][0]["value"];
  const struct {
    verb method;
    std::string target, body;
    unsigned status;
    std::string type, contains, allow;
  } kCases[] = {
      {verb::get, "/", "", 200, "text/html", "pie-default", ""},
      {verb::get, "/healthz", "", 200, "text/plain", "ok\n", ""},
      {verb::get, "/v1/version", "", 200, "text/plain", version_text + "\n", ""},
      {verb::post, "/v1/run", R"([{"get": "Version"}])", 200, "application/json", version_text, ""},
      {verb::get, "/v1/chart.png?kind=pie&script=" + QueryEscaped(ChartScript()), "", 200,
       "image/png", "\x89PNG", ""},
      {verb::post, "/v1/chart.gif?kind=pie", ChartScript(), 200, "image/gif", "GIF8", ""},
      {verb::post, "/v1/chart.jpg?kind=pie&map=0", ChartScript(), 200, "image/jpeg", "\xFF\xD8", ""},
      {verb::get, "/v1/chart.bmp?kind=pie&map=1&script=" + QueryEscaped(ChartScript()), "", 200,
       "text/html", "title=\"Apples: 12\"", ""},
      {verb::post, "/v1/chart.svg?kind=pie", ChartScript(), 200, "image/svg+xml",
       "<title>Apples: 12</title>", ""},
      // A step fails, and the document says why.
      {verb::get, "/v1/chart.png?kind=pie&script=" + QueryEscaped(R"([{"get": "Nothing"}])"), "",
       422, "application/json", "0x80020006", ""},
      {verb::get, "/nowhere", "", 404, "text/plain", "", ""},
      {verb::get, "/v1/chart.tiff?kind=pie", "", 404, "text/plain", "", ""},
      {verb::get, "/v1/run", "", 405, "text/plain", "", "POST"},
      {verb::delete_, "/v1/chart.png?kind=pie", "", 405, "text/plain", "", "GET, HEAD, POST"},
      {verb::post, "/healthz", "x", 405, "text/plain", "", "GET, HEAD"},
      {verb::get, "/v1/chart.png?kind=donut", "", 400, "text/plain", "\"kind\"", ""},
      {verb::get, "/v1/chart.png?kind=pie&map=yes", "", 400, "text/plain", "\"map\"", ""},
      {verb::get, "/v1/chart.png?kind=pie&kind=bar", "", 400, "text/plain", "more than once", ""},
      {verb::get, "/v1/chart.png?kind=pie&script=%7", "", 400, "text/plain", "%-escape", ""},
      {verb::post, "/v1/chart.png?kind=pie&script=%5B%5D", "[]", 400, "text/plain", "not both", ""},
      {verb::post, "/v1/run", "[{\"get\": 1}]", 400, "text/plain", "step 0:", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(http::to_string(c.method)) + " " + c.target.substr(0, 60));
    const Answer a = Fetch(port(), c.method, c.target, c.body);
    EXPECT_EQ(a.status, c.status) << a.body;
    EXPECT_EQ(a.Header("content-type").rfind(c.type, 0), 0u) << a.Header("content-type");
    EXPECT_NE(a.body.find(c.contains), std::string::npos) << a.body.substr(0, 300);
    EXPECT_EQ(a.Header("allow"), c.allow);
    EXPECT_EQ(a.Header("content-length"), std::to_string(a.body.size()));
    if (c.target == "/") {
      // The page runs its own code, and only that.
      EXPECT_NE(a.Header("content-security-policy").find("script-src 'sha256-"), std::string::npos);
    } else {
      ExpectSandboxed(a);
    }
  }
  // HEAD tells the size of what GET sends, and sends none of it.
  Client client(port());
  const Answer head = client.Send(verb::head, "/v1/version");
  EXPECT_EQ(head.status, 200u);
  EXPECT_EQ(head.body, "");
  EXPECT_EQ(head.Header("content-length"), std::to_string(version_text.size() + 1));
  EXPECT_EQ(client.Send(verb::get, "/healthz").body, "ok\n");  // the connection goes on
  // One access-log line per request.
  const std::string log = service_->log();
  EXPECT_NE(log.find("GET /v1/chart.png 200 "), std::string::npos) << log;
  EXPECT_NE(log.find("DELETE /v1/chart.png 405 "), std::string::npos) << log;
}

// Each kind in each format: the bytes (or for SVG the text) `plotvane run`
// returns for the same script, and the map HTML equal to its ImageMapText.
TEST_F(ServiceTest, PicturesAndMapsAreThoseOfPlotvaneRun) {
  Start();
  const char* kKinds[][2] = {{"pie", "Pie"}, {"bar", "Bar"}, {"line", "Line"}, {"stacked", "StackedBar"}};
  const char* kFormats[][2] = {
      {"png", "PNG"}, {"gif", "GIF"}, {"jpg", "JPG"}, {"bmp", "BMP"}, {"svg", "SVG"}};
  constexpr size_t kFormatCount = std::size(kFormats);
  for (const auto& kind : kKinds) {
    std::string reads;
    for (const auto& format : kFormats) {
      reads += std::string(",\n{\"get\": \"") + format[1] + kind[1] + "\"}";
    }
    reads += ",\n{\"get\": \"ImageMapText\"}";
    const Json reference = Json::parse(PlotvaneRun(ChartScript(reads)));
    const Json& results = reference["results"];
    const size_t first = Json::parse(ChartScript())["steps"].size();
    for (size_t f = 0; f < kFormatCount; ++f) {
      SCOPED_TRACE(std::string(kind[0]) + " " + kFormats[f][0]);
      const std::string target = std::string("/v1/chart.") + kFormats[f][0] + "?kind=" + kind[0];
      const Answer picture = Get(target + "&script=" + QueryEscaped(ChartScript()));
      if (results.size() <= first + f || results[first + f].contains("error")) {
        EXPECT_EQ(picture.status, 422u);  // the kind cannot draw this yet
        continue;
      }
      ASSERT_EQ(picture.status, 200u) << picture.body.substr(0, 300);
      const Json& result = results[first + f];
      EXPECT_EQ(picture.body, result.contains("base64") ? Base64Decoded(result["base64"])
                                                        : result["value"].get<std::string>());
      EXPECT_EQ(Post(target, ChartScript()).body, picture.body);
    }
    const size_t map_result = first + kFormatCount;
    if (results.size() == map_result + 1 && !results[map_result].contains("error")) {
      const Answer map = Post(std::string("/v1/chart.bmp?kind=") + kind[0] + "&map=1", ChartScript());
      EXPECT_EQ(map.status, 200u);
      EXPECT_EQ(map.body, results[map_result]["value"].get<std::string>()) << kind[0];
    }
  }
}

// The scripts of the command's own tests give the very document it prints,
// once their "save" fields (refused here) are left out; the malformed ones
// give 400 with its message.
TEST_F(ServiceTest, RunAnswersTheDocumentOfPlotvaneRun) {
  Start();
  const fs::path scripts = fs::path(PLOTVANE_TEST_DATA) / "scripts";
  int count = 0;
  for (const auto& entry : fs::directory_iterator(scripts)) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".json" || name.find(".expected.") != std::string::npos) continue;
    SCOPED_TRACE(name);
    ++count;
    const std::string text = ReadFile(entry.path());
    const fs::path message = scripts / (entry.path().stem().string() + ".expected.txt");
    if (fs::exists(message)) {
      std::string want = ReadFile(message);
      while (!want.empty() && want.back() == '\n') want.pop_back();
      const Answer a = Post("/v1/run", text);
      EXPECT_EQ(a.status, 400u);
      EXPECT_EQ(a.body.rfind(want, 0), 0u) << a.body;  // the message, as the command prints it
      EXPECT_EQ(a.body.back(), '\n');
      continue;
    }
    Json script = Json::parse(text);
    Json& steps = script.is_array() ? script : script["steps"];
    for (Json& step : steps) step.erase("save");
    int status = -1;
    const std::string reference = PlotvaneRun(script.dump(), &status);
    const Answer a = Post("/v1/run", script.dump());
    EXPECT_EQ(a.status, status == 0 ? 200u : 422u);
    EXPECT_EQ(a.body, reference);
  }
  EXPECT_GE(count, 10);
  // Refused calls say what was wrong, as the command says it.
  const Answer a = Post("/v1/run", R"([{"put": "Titel", "value": "x"}])");
  EXPECT_EQ(a.status, 422u);
  EXPECT_NE(a.body.find(R"(Unknown name \"Titel\"; did you mean \"Title\"?)"), std::string::npos)
      << a.body;
}

TEST_F(ServiceTest, SavingIsRefusedStepByStep) {
  Start();
  const std::string script = R"({"onError": "continue", "steps": [
    {"call": "AddData", "args": ["One", 1, "FF0000"]},
    {"get": "PNGPie", "save": "chart.png"},
    {"call": "SavePNGPie", "args": ["chart.png"]},
    {"call": "savegifbar", "args": ["../chart.gif"]},
    {"call": "SaveBMPPie\u0000tail", "args": ["/tmp/chart.bmp"]},
    {"get": "DataCount"}
  ]})";
  const Answer a = Post("/v1/run", script);
  EXPECT_EQ(a.status, 422u);
  const Json doc = Json::parse(a.body);
  EXPECT_EQ(doc["failed"], 4);
  for (int i = 1; i <= 4; ++i) {
    const Json& error = doc["results"][i]["error"];
    EXPECT_EQ(error["hresult"], "0x80070005") << i;
    EXPECT_NE(error["description"].get<std::string>().find("writes no files"), std::string::npos);
    EXPECT_EQ(error["source"], "plotvane serve");
  }
  EXPECT_EQ(doc["results"][5]["value"], 1);
  EXPECT_TRUE(fs::is_empty(service_->folder()));
  // Stopping at the first refusal, as a script without "continue" does.
  const Answer stop = Post("/v1/chart.png?kind=pie", R"([{"call": "SavePNGPie", "args": ["x"]}])");
  EXPECT_EQ(stop.status, 422u);
  EXPECT_EQ(Json::parse(stop.body)["results"].size(), 1u);
}

TEST_F(ServiceTest, LimitsAreAnsweredWithTheirStatus) {
  Start({"--max-body", "1000", "--max-url", "300", "--max-header", "1024", "--max-steps", "5",
         "--max-result", "4096"});
  const std::string six_steps = R"([{"get": "Width"}, {"get": "Width"}, {"get": "Width"},
                                    {"get": "Width"}, {"get": "Width"}, {"get": "Width"}])";
  const Answer too_large = Post("/v1/run", std::string(1001, ' ') + "[]");
  EXPECT_EQ(too_large.status, 413u);
  ExpectSandboxed(too_large);
  EXPECT_EQ(Post("/v1/run", std::string(990, ' ') + "[]").status, 200u);
  EXPECT_EQ(Post("/v1/run", six_steps).status, 413u);
  // The request line and the fields count together, to the byte.
  const auto head = [](size_t target, size_t bytes) {
    std::string text = "GET /healthz?" + std::string(target - 9, 'a') + " HTTP/1.1\r\nX: ";
    return text + std::string(bytes - text.size() - 4, 'b') + "\r\n\r\n";
  };
  const struct {
    std::string head;
    unsigned status;
  } kHeads[] = {
      {head(200, 1024), 200},  // the limit itself
      {head(200, 1025), 431},
      {head(290, 1324), 431},  // line and fields each within it, not together
      {head(301, 1024), 414},
      {head(1100, 1200), 414},  // target and head both too long: the target says why
  };
  for (const auto& c : kHeads) {
    net::io_context io;
    tcp::socket socket(io);
    ASSERT_TRUE(Connect(socket, port(), 10s));
    net::write(socket, net::buffer(c.head));
    boost::beast::flat_buffer buffer;
    const Answer a = ReadAnswer(socket, buffer);
    EXPECT_EQ(a.status, c.status) << c.head.size() << " " << a.body;
    ExpectSandboxed(a);
  }
  {
    // A chunked body has no length to check ahead; it is cut off at the limit.
    Client client(port());
    http::request<http::string_body> request(verb::post, "/v1/run", 11);
    request.set(http::field::host, "x");
    request.chunked(true);
    request.body() = std::string(2000, ' ') + "[]";
    EXPECT_EQ(client.Send(request).status, 413u);
  }
  // A BMP larger than the answer may be fails its step.
  const Answer big = Post("/v1/run", R"([{"call": "AddData", "args": ["A", 1, "R"]}, {"get": "BMPPie"}])");
  EXPECT_EQ(big.status, 422u);
  EXPECT_NE(big.body.find("limit of 4096 bytes"), std::string::npos) << big.body;
  // Not HTTP at all.
  net::io_context io;
  tcp::socket socket(io);
  ASSERT_TRUE(Connect(socket, port(), 10s));
  net::write(socket, net::buffer(std::string("HELLO THERE\r\n\r\n")));
  char reply[64] = {};
  const size_t n = socket.read_some(net::buffer(reply, sizeof(reply) - 1));
  EXPECT_EQ(std::string(reply, n).rfind("HTTP/1.1 400", 0), 0u) << reply;
}

// A drawing past its deadline is answered 503 then, and its worker is free
// again after the step under way: the next request is answered long before
// the slow script would have ended.
TEST_F(ServiceTest, DeadlineAnswers503AndFreesTheWorker) {
  Start({"--workers", "1", "--deadline", "0.5"});
  const auto start = std::chrono::steady_clock::now();
  const Answer slow = Post("/v1/run", SlowScript(3000));
  const auto answered = std::chrono::steady_clock::now();
  EXPECT_EQ(slow.status, 503u);
  EXPECT_NE(slow.body.find("deadline of 0.5 s"), std::string::npos) << slow.body;
  ExpectSandboxed(slow);
  EXPECT_LT(answered - start, 3s);
  const Answer quick = Post("/v1/chart.png?kind=pie", ChartScript());
  EXPECT_EQ(quick.status, 200u);
  EXPECT_LT(std::chrono::steady_clock::now() - answered, 3s);
}

TEST_F(ServiceTest, FullQueueAnswers503WithRetryAfter) {
  Start({"--workers", "1", "--queue", "1", "--deadline", "1"});
  std::vector<std::future<Answer>> answers;
  for (int i = 0; i < 4; ++i) {
    answers.push_back(std::async(std::launch::async, [&] { return Post("/v1/run", SlowScript(3000)); }));
  }
  int busy = 0;
  for (auto& a : answers) {
    const Answer answer = a.get();
    EXPECT_EQ(answer.status, 503u);
    ExpectSandboxed(answer);
    if (answer.Header("retry-after") == "1") ++busy;
  }
  EXPECT_GE(busy, 2) << service_->log();  // one draws, one waits, the others find the queue full
}

TEST_F(ServiceTest, SixtyFourClientsOfTwentyRequestsAreAllAnswered) {
  Start({"--workers", "2"});
  const std::string script = ChartScript();
  const std::string picture = Post("/v1/chart.png?kind=pie", script).body;
  const std::string document = Post("/v1/run", script).body;
  ASSERT_EQ(picture.rfind("\x89PNG", 0), 0u);
  std::vector<std::future<int>> clients;
  for (int c = 0; c < 64; ++c) {
    clients.push_back(std::async(std::launch::async, [&, c] {
      Client client(port());
      int right = 0;
      for (int r = 0; r < 20; ++r) {
        const bool chart = (c + r) % 2 == 0;
        const Answer a = chart ? client.Send(verb::post, "/v1/chart.png?kind=pie", script)
                               : client.Send(verb::post, "/v1/run", script);
        if (a.status == 200 && a.body == (chart ? picture : document)) ++right;
      }
      return right;
    }));
  }
  int right = 0;
  for (auto& c : clients) right += c.get();
  EXPECT_EQ(right, 64 * 20);
}

// One byte a second: the others are answered at once, and the slow client
// is answered 408 at the read timeout.
TEST_F(ServiceTest, SlowClientDelaysNobody) {
  Start({"--read-timeout", "2"});
  auto slow = std::async(std::launch::async, [&] {
    net::io_context io;
    tcp::socket socket(io);
    if (!Connect(socket, port(), 10s)) return std::string("no connection");
    const std::string request = "POST /v1/run HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\n\r\n[]";
    boost::system::error_code ec;
    for (size_t i = 0; i < 10 && !ec; ++i) {
      net::write(socket, net::buffer(&request[i], 1), ec);
      std::this_thread::sleep_for(1s);
      if (socket.available(ec) > 0) break;
    }
    char reply[256] = {};
    const size_t n = socket.read_some(net::buffer(reply, sizeof(reply) - 1), ec);
    return std::string(reply, n);
  });
  std::this_thread::sleep_for(300ms);
  for (int i = 0; i < 10; ++i) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Post("/v1/chart.png?kind=pie", ChartScript()).status, 200u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  }
  EXPECT_EQ(slow.get().rfind("HTTP/1.1 408", 0), 0u);
}

// Connections that wait cost no thread: a thousand of them, and the
// service still has its few threads and answers at once.
TEST_F(ServiceTest, ThousandIdleConnectionsHoldNoThreads) {
  Start({"--workers", "2", "--max-per-address", "2000"});
  net::io_context io;
  std::vector<tcp::socket> idle;
  for (int i = 0; i < 1000; ++i) {
    idle.emplace_back(io);
    ASSERT_TRUE(Connect(idle.back(), port(), 10s)) << i;
  }
  EXPECT_EQ(Get("/healthz").status, 200u);
  const std::string status = ReadFile("/proc/" + std::to_string(service_->pid()) + "/status");
  const size_t at = status.find("Threads:");
  ASSERT_NE(at, std::string::npos);
  EXPECT_LE(std::stoi(status.substr(at + 8)), 6) << "one loop, two workers";
}

// Clients that go away half way: before the header ends, inside the body,
// and while their drawing runs. The service carries on, and stops clean.
TEST_F(ServiceTest, ClientsLeavingMidRequestLeaveNothingBehind) {
  Start({"--workers", "1"});
  const std::string slow = SlowScript(20);
  const std::string pieces[] = {
      "POST /v1/run HTTP/1.1\r\nHost: x\r\nContent-Le",
      "POST /v1/run HTTP/1.1\r\nHost: x\r\nContent-Length: 1000\r\n\r\n[{\"get\": ",
      "POST /v1/run HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(slow.size()) +
          "\r\n\r\n" + slow,
  };
  for (int round = 0; round < 3; ++round) {
    for (const std::string& piece : pieces) {
      net::io_context io;
      tcp::socket socket(io);
      ASSERT_TRUE(Connect(socket, port(), 10s));
      net::write(socket, net::buffer(piece));
      std::this_thread::sleep_for(50ms);
      socket.close();
    }
  }
  EXPECT_EQ(Post("/v1/chart.png?kind=pie", ChartScript()).status, 200u);
}

// SIGTERM with requests in flight: every request already received is
// answered in full, then the service refuses connections and exits 0.
TEST_F(ServiceTest, StopDuringLoadLosesNoAnswer) {
  Start({"--workers", "2"});
  const std::string script = SlowScript(6);
  const std::string reference = Post("/v1/run", script).body;
  ASSERT_NE(reference.find("\"failed\": 0"), std::string::npos);
  std::vector<std::unique_ptr<Client>> clients;
  for (int i = 0; i < 12; ++i) clients.push_back(std::make_unique<Client>(port()));
  std::vector<std::future<Answer>> answers;
  for (auto& c : clients) {
    answers.push_back(std::async(std::launch::async, [&c, &script] {
      return c->Send(verb::post, "/v1/run", script);
    }));
  }
  std::this_thread::sleep_for(300ms);  // received, and queued for the two workers
  kill(service_->pid(), SIGTERM);
  for (auto& a : answers) {
    const Answer answer = a.get();
    EXPECT_EQ(answer.status, 200u);
    EXPECT_EQ(answer.body, reference);
  }
  EXPECT_EQ(service_->Wait(), 0) << service_->log();
  net::io_context io;
  tcp::socket late(io);
  EXPECT_FALSE(Connect(late, port(), 5s));
}

}  // namespace
}  // namespace plotvane::serve_test
