// The plotvane command, run as a separate process the way users run it:
// automation scripts from tests/data/scripts against their expected result
// documents, the other commands, and the usage errors.
#include <stdlib.h>
#include <sys/wait.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "testing/xml_check.h"
#include "tools/gallery.h"

namespace plotvane {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string ShellQuoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

class CommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "command-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { fs::remove_all(folder_); }

  // Runs the command in the test's folder, with `input` on standard input.
  Outcome Run(const std::vector<std::string>& args, const std::string& input = "") {
    const fs::path in = folder_ / ".stdin", out = folder_ / ".stdout", err = folder_ / ".stderr";
    WriteFile(in, input);
    std::string line = "cd " + ShellQuoted(folder_) + " && " + ShellQuoted(PLOTVANE_COMMAND);
    for (const auto& a : args) line += " " + ShellQuoted(a);
    line += " <" + ShellQuoted(in) + " >" + ShellQuoted(out) + " 2>" + ShellQuoted(err);
    const int status = std::system(line.c_str());
    Outcome o;
    o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    o.out = ReadFile(out);
    o.err = ReadFile(err);
    return o;
  }

  fs::path folder_;
};

// Compares a result document with its expectation, where the text "<any>"
// stands for any value. Returns the first difference, or "".
std::string Difference(const Json& got, const Json& want, const std::string& where) {
  if (want == "<any>") return "";
  if (got.type() != want.type() && !(got.is_number() && want.is_number())) {
    return where + ": got " + got.dump() + ", want " + want.dump();
  }
  if (want.is_object()) {
    if (got.size() != want.size()) return where + ": got " + got.dump() + ", want " + want.dump();
    for (const auto& [key, value] : want.items()) {
      if (!got.contains(key)) return where + ": missing " + key;
      const std::string d = Difference(got[key], value, where + "." + key);
      if (!d.empty()) return d;
    }
    return "";
  }
  if (want.is_array()) {
    if (got.size() != want.size()) {
      return where + ": " + std::to_string(got.size()) + " entries, want " +
             std::to_string(want.size());
    }
    for (size_t i = 0; i < want.size(); ++i) {
      const std::string d = Difference(got[i], want[i], where + "[" + std::to_string(i) + "]");
      if (!d.empty()) return d;
    }
    return "";
  }
  return got == want ? "" : where + ": got " + got.dump() + ", want " + want.dump();
}

// Every script NAME.json of tests/data/scripts gives NAME.expected.json, or,
// when the script is malformed, exit status 2, nothing on standard output
// and the message of NAME.expected.txt on standard error.
TEST_F(CommandTest, ScriptsGiveTheirExpectedDocuments) {
  const fs::path scripts = fs::path(PLOTVANE_TEST_DATA) / "scripts";
  int count = 0;
  for (const auto& entry : fs::directory_iterator(scripts)) {
    const std::string file = entry.path().filename().string();
    if (entry.path().extension() != ".json" || file.find(".expected.") != std::string::npos) continue;
    ++count;
    SCOPED_TRACE(file);
    const std::string stem = entry.path().stem().string();
    const Outcome o = Run({"run", entry.path().string()});
    const fs::path message = scripts / (stem + ".expected.txt");
    if (fs::exists(message)) {
      std::string want = ReadFile(message);
      while (!want.empty() && want.back() == '\n') want.pop_back();
      EXPECT_EQ(o.status, 2);
      EXPECT_EQ(o.out, "");
      EXPECT_NE(o.err.find(want), std::string::npos) << o.err;
      continue;
    }
    const Json want = Json::parse(ReadFile(scripts / (stem + ".expected.json")));
    Json got;
    ASSERT_NO_THROW(got = Json::parse(o.out)) << o.out << o.err;
    EXPECT_EQ(Difference(got, want, "document"), "");
    EXPECT_EQ(o.status, want["failed"] == 0 ? 0 : 1) << o.err;
    // A saved picture holds exactly the bytes the array bounds describe; a
    // saved text is a well-formed document.
    for (const Json& result : got["results"]) {
      if (!result.contains("saved")) continue;
      const fs::path saved = folder_ / result["saved"].get<std::string>();
      ASSERT_TRUE(fs::exists(saved)) << saved;
      if (result["vt"] == "BSTR") {
        EXPECT_EQ(testing_xml::XmlError(ReadFile(saved)), "") << saved;
        continue;
      }
      EXPECT_EQ(fs::file_size(saved),
                result["ubound"].get<int64_t>() - result["lbound"].get<int64_t>() + 1);
    }
  }
  EXPECT_GE(count, 10);
}

TEST_F(CommandTest, ReadsTheScriptFromStandardInput) {
  const Outcome o = Run({"run", "-"}, R"([{"put": "Height", "value": 120}, {"get": "height"}])");
  EXPECT_EQ(o.status, 0) << o.err;
  const Json doc = Json::parse(o.out);
  EXPECT_EQ(doc["results"][1], Json::parse(R"({"step": 1, "vt": "I4", "value": 120})"));
}

TEST_F(CommandTest, LargeScriptsRunOrAreRefusedCleanly) {
  // Many steps.
  std::string many = "[";
  for (int i = 0; i < 5000; ++i) many += R"({"put": "Width", "value": 7}, {"get": "Width"},)";
  many += R"({"get": "Width"}])";
  Outcome o = Run({"run", "-"}, many);
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(Json::parse(o.out)["results"].size(), 10001u);

  // A string of four megabytes goes there and back.
  const std::string text(4 << 20, 'x');
  o = Run({"run", "-"}, R"([{"put": "Title", "value": ")" + text + R"("}, {"get": "Title"}])");
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(Json::parse(o.out)["results"][1]["value"].get<std::string>().size(), text.size());

  // Deep nesting and oversized scripts are malformed: nothing runs.
  const std::string deep = std::string(200000, '[') + std::string(200000, ']');
  const std::string oversized = "[" + std::string(17 << 20, ' ') + "]";
  for (const std::string* script : {&deep, &oversized}) {
    o = Run({"run", "-"}, *script);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err, "");
  }
}

// A megabyte of text items far larger than the picture, at places over and
// beyond it: drawing costs what reaches the picture, not what the texts
// would cover. (Main's build of this took about 9 s of processor time; the
// bound is checked only in builds without sanitizers.)
TEST_F(CommandTest, TextsFarLargerThanThePictureDrawQuickly) {
  std::string script = R"([{"put": "Width", "value": 4096}, {"put": "Height", "value": 4096},)"
                       R"({"put": "TextSize", "value": 3000})";
  std::string text;
  while (text.size() < 310) text += "WMQ@#%&";
  uint32_t seed = 1;
  const auto place = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return std::to_string(static_cast<int>((seed >> 8) % 16384) - 8192);
  };
  for (int i = 0; i < 3000; ++i) {
    script += R"(, {"call": "AddText", "args": [")" + text + "\", " + place() + ", " + place() +
              ", 0]}";
  }
  script += R"(, {"call": "AddData", "args": ["Apples", 1, "R"]})";
  script += R"(, {"get": "PNGPie", "save": "texts.png"}])";
  ASSERT_GT(script.size(), 1000000u);
  const auto start = std::chrono::steady_clock::now();
  const Outcome o = Run({"run", "-"}, script);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("3000 texts of 310 glyphs at 4000 pixels: %.2f s\n", seconds);
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_GT(fs::file_size(folder_ / "texts.png"), 1000u);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
  EXPECT_LT(seconds, 5.0);
#endif
}

TEST_F(CommandTest, UsageErrors) {
  const char* kUsage = "usage: plotvane";
  const struct {
    std::vector<std::string> args;
    int status;
    const char* message;
  } cases[] = {
      {{}, 2, kUsage},
      {{"frobnicate"}, 2, kUsage},
      {{"run"}, 2, kUsage},
      {{"run", "a.json", "b.json"}, 2, kUsage},
      {{"run", "no-such-script.json"}, 2, "cannot read no-such-script.json"},
      {{"demo", "--colour"}, 2, kUsage},
      {{"demo", "--out"}, 2, kUsage},
      {{"idl", "extra"}, 2, kUsage},
      {{"regsvr"}, 2, kUsage},
      {{"regsvr", "a.so", "b.so"}, 2, kUsage},
      {{"--version", "extra"}, 2, kUsage},
      {{"help", "Titel"}, 2, "plotvane help: Unknown name \"Titel\"; did you mean \"Title\"?"},
      {{"help", "Width", "Height"}, 2, kUsage},
      {{"--help"}, 0, ""},
  };
  for (const auto& c : cases) {
    std::string label;
    for (const auto& a : c.args) label += a + " ";
    const Outcome o = Run(c.args);
    EXPECT_EQ(o.status, c.status) << label;
    EXPECT_NE(o.err.find(c.message), std::string::npos) << label << o.err;
  }
}

TEST_F(CommandTest, VersionAndInterfaceDescription) {
  Outcome o = Run({"--version"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out.rfind("Plotvane 3.1.1.0 (", 0), 0u) << o.out;

  o = Run({"idl"});
  ASSERT_EQ(o.status, 0) << o.err;
  size_t functions = 0;
  for (size_t at = o.out.find("[id("); at != std::string::npos; at = o.out.find("[id(", at + 1)) {
    ++functions;
  }
  // IDraw: 137 read-write properties twice, 34 read-only, 33 methods; IDraw2: 8 more.
  EXPECT_EQ(functions, 349u);
  for (const char* piece : {
           "  version(3.1),\n  helpstring(\"Plotvane Library\")\n]\nlibrary Plotvane\n{\n",
           "  typedef enum TxGridStyle {\n    gsSolid = 0,\n    gsDot = 1,\n    gsDash = 2\n  } TxGridStyle;",
           "    helpstring(\"Dispatch interface for draw Object\"),\n    dual,\n    oleautomation\n  ]\n"
           "  interface IDraw : IDispatch\n  {\n"
           "    [id(0x00000003), propget, helpstring(\"Width of the picture in pixels. Default: "
           "400.\")] HRESULT Width([out, retval] long* Value);\n"
           "    [id(0x00000003), propput, helpstring(\"Width of the picture in pixels. Default: "
           "400.\")] HRESULT Width([in] long Value);\n",
           "[id(0x00000024), propget, helpstring(\"The name of data item Index, counted from 0; "
           "\\\"\\\" beyond the last.\")] HRESULT ReadName([in] unsigned short Index, [out, retval] "
           "BSTR* Value);",
           ")] HRESULT OLEColorToStr([in] OLE_COLOR Color, [out, retval] BSTR* Value);",
           ")] HRESULT DummyGraph([in] TxGraphType GraphType);",
           ")] HRESULT Base64Out([in] TxGraphType GraphType, [in] TxImageFormat "
           "FileFormat, [out, retval] BSTR* Value);\n  };\n",
           "  interface IDraw2 : IDraw\n  {\n"
           "    [id(0x000000cd), propget, helpstring(\"The pie chart as an SVG document, its image map "
           "inside as links.\")] HRESULT SVGPie([out, retval] BSTR* Value);\n",
           ")] HRESULT SaveSVGStackedBar([in] BSTR FileName);\n  };\n",
           "  coclass Draw\n  {\n    [default] interface IDraw2;\n  };\n};\n"}) {
    EXPECT_NE(o.out.find(piece), std::string::npos) << piece;
  }
}

// IDraw is published: its members, dispatch numbers and virtual table are
// those recorded in tests/data/interface, as the IDL and the C header give
// them; newer members live in IDraw2 alone.
TEST_F(CommandTest, IDrawIsAsPublished) {
  const fs::path data = fs::path(PLOTVANE_TEST_DATA) / "interface";
  const struct {
    const char* command;
    const char* begin;
    const char* end;
    const char* recorded;
  } views[] = {
      {"idl", "  [\n    uuid(9A08A001", "  };\n", "IDraw.idl"},
      {"header", "typedef struct IDrawVtbl {", "} IDrawVtbl;\n", "IDrawVtbl.h"},
  };
  for (const auto& view : views) {
    const Outcome o = Run({view.command});
    ASSERT_EQ(o.status, 0) << o.err;
    const size_t begin = o.out.find(view.begin);
    ASSERT_NE(begin, std::string::npos) << view.command;
    const size_t end = o.out.find(view.end, begin);
    ASSERT_NE(end, std::string::npos) << view.command;
    EXPECT_EQ(o.out.substr(begin, end + std::strlen(view.end) - begin),
              ReadFile(data / view.recorded))
        << view.command;
  }
}

// The command and the server find their libraries by their own folder and
// the system's, never by the working folder: a broken library of a system
// name there changes nothing.
TEST_F(CommandTest, IgnoresLibrariesInTheWorkingFolder) {
  for (const char* name : {"libz.so.1", "libfreetype.so.6", "libstdc++.so.6"}) {
    WriteFile(folder_ / name, "not a library");
  }
  WriteFile(folder_ / "pie.json",
            R"({"steps": [{"call": "AddData", "args": ["a", 1, "R"]}, {"get": "PNGPie"}]})");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--version"}, std::vector<std::string>{"run", "pie.json"}}) {
    const Outcome o = Run(args);
    EXPECT_EQ(o.status, 0) << args.back() << ": " << o.err;
  }
}

// The gallery: every chart in every format with its map on the page, and
// every PNG picture drawn exactly as the one kept in tests/data/gallery, byte
// for byte, so that a change of what is drawn shows here and is made
// deliberately; every kept picture still has its script.
TEST_F(CommandTest, DemoWritesEveryChartInEveryFormatWithItsMap) {
  const Outcome o = Run({"demo", "--out", "the gallery"});
  ASSERT_EQ(o.status, 0) << o.err;
  const fs::path gallery = folder_ / "the gallery";
  const std::string index = ReadFile(gallery / "index.html");
  const struct {
    const char* extension;
    std::string magic;
  } formats[] = {{"png", "\x89PNG"}, {"gif", "GIF8"}, {"jpg", "\xFF\xD8\xFF"}, {"bmp", "BM"}};
  const fs::path kept = fs::path(PLOTVANE_TEST_DATA) / "gallery";
  const std::string advice =
      " If the change is intended, run tools/regenerate-gallery-pictures.sh, look at the "
      "pictures it changed and commit them.";
  std::set<std::string> kept_names;
  ASSERT_GE(GalleryScripts().size(), 10u);
  for (const GalleryScript& script : GalleryScripts()) {
    const std::string name = script.name;
    for (const auto& f : formats) {
      const std::string file = name + "." + f.extension;
      EXPECT_EQ(ReadFile(gallery / file).substr(0, f.magic.size()), f.magic) << file;
      EXPECT_NE(index.find("src=\"" + file + "\""), std::string::npos) << file;
    }
    // Each chart has its own map, and hovering a slice shows its title.
    const std::string map_name = name + "-map";
    const size_t map = index.find("<map name=\"" + map_name + "\" id=\"" + map_name + "\">");
    ASSERT_NE(map, std::string::npos) << name;
    // Its SVG document is well-formed, stands in the page, and links every
    // area of the map.
    const std::string svg = ReadFile(gallery / (name + ".svg"));
    EXPECT_EQ(testing_xml::XmlError(svg), "") << name;
    EXPECT_NE(index.find(svg), std::string::npos) << name;
    auto count = [](const std::string& text, const std::string& piece, size_t from, size_t to) {
      size_t n = 0;
      for (size_t at = text.find(piece, from); at < to; at = text.find(piece, at + 1)) ++n;
      return n;
    };
    EXPECT_EQ(count(svg, "<a", 0, svg.size()), count(index, "<area ", map, index.find("</map>", map)))
        << name;
    EXPECT_NE(index.find("usemap=\"#" + map_name + "\""), std::string::npos) << name;
    EXPECT_NE(index.find("title=\"", map), std::string::npos) << name;
    const std::string png = name + ".png";
    kept_names.insert(png);
    if (!fs::exists(kept / png)) {
      ADD_FAILURE() << "tests/data/gallery/" << png << " is missing." << advice;
    } else {
      EXPECT_TRUE(ReadFile(gallery / png) == ReadFile(kept / png))
          << "the gallery's " << png << " differs from tests/data/gallery/" << png << "." << advice;
    }
  }
  // No two elements of the page share an id.
  std::set<std::string> ids;
  for (size_t at = index.find(" id=\""); at != std::string::npos; at = index.find(" id=\"", at + 1)) {
    const size_t start = at + 5;
    const std::string id = index.substr(start, index.find('"', start) - start);
    EXPECT_TRUE(ids.insert(id).second) << "the id " << id << " is used twice";
  }
  for (const auto& entry : fs::directory_iterator(kept)) {
    EXPECT_EQ(kept_names.count(entry.path().filename().string()), 1u)
        << "tests/data/gallery/" << entry.path().filename().string()
        << " belongs to no gallery script." << advice;
  }
}

TEST_F(CommandTest, RegistersAndUnregistersInTheChosenFile) {
  const std::string library = fs::path(PLOTVANE_COMMAND).parent_path() / "libplotvane.so";
  const fs::path registry = folder_ / "reg.txt";
  Outcome o = Run({"regsvr", library, "--registry", "reg.txt"});
  ASSERT_EQ(o.status, 0) << o.err;
  const std::string once = ReadFile(registry);
  EXPECT_NE(once.find("[HKEY_CLASSES_ROOT\\Plotvane.Draw]\n@=\"Draw Object\"\n"), std::string::npos)
      << once;
  o = Run({"regsvr", library, "--registry", "reg.txt"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(ReadFile(registry), once);

  // Failures leave the file as it was.
  const std::string runtime = fs::path(PLOTVANE_COMMAND).parent_path() / "libplotvane_com.so";
  o = Run({"regsvr", runtime, "--registry", "reg.txt"});
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("not an in-process server"), std::string::npos) << o.err;
  EXPECT_EQ(ReadFile(registry), once);
  WriteFile(folder_ / "broken.txt", "this is not a registry\n");
  o = Run({"regsvr", library, "--registry", "broken.txt"});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(ReadFile(folder_ / "broken.txt"), "this is not a registry\n");

  o = Run({"regsvr", "/u", library, "--registry", "reg.txt"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(ReadFile(registry).find("Plotvane.Draw"), std::string::npos);
  o = Run({"regsvr", "/u", library, "--registry", "reg.txt"});
  EXPECT_EQ(o.status, 0) << o.err;

  // Without --registry the command says which file it writes, before it does.
  o = Run({"regsvr", library});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_NE(o.err.find("plotvane-registry.txt in the current folder"), std::string::npos) << o.err;
  EXPECT_TRUE(fs::exists(folder_ / "plotvane-registry.txt"));
}

// Every command explains itself, in a line of the list and in its own
// --help; `help` explains the members from the type library.
TEST_F(CommandTest, CommandsAndMembersExplainThemselves) {
  const Outcome list = Run({"--help"});
  ASSERT_EQ(list.status, 0);
  for (const char* command : {"run", "demo", "serve", "help", "idl", "header", "regsvr", "--version"}) {
    SCOPED_TRACE(command);
    EXPECT_NE(list.out.find(std::string("\n  ") + command + " "), std::string::npos) << list.out;
    const Outcome o = Run({command, "--help"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out.rfind(std::string("usage: plotvane ") + command, 0), 0u) << o.out;
  }
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> pieces;
  } cases[] = {
      {{"help", "AddData"},
       {"AddData(Name: BSTR, Value: double, Colour: BSTR)\nmethod, dispatch number 35\n\n"
        "Adds an item of a pie or bar chart",
        "{\"call\": \"AddData\", \"args\": [Name, Value, Colour]}"}},
      {{"help", "gridstyle"},
       {"GridStyle: TxGridStyle, read-write\n", "Default: gsDot.",
        "TxGridStyle: gsSolid = 0, gsDot = 1, gsDash = 2", "{\"put\": \"GridStyle\", \"value\": VALUE}"}},
      {{"help", "TxImageFormat"}, {"enumeration TxImageFormat: ifPNG = 0, ifGIF = 1, ifBMP = 2, ifJPG = 3"}},
      {{"help"}, {"212 members", "\nWidth: long, read-write\n    Width of the picture in pixels. Default: 400.\n"}},
  };
  for (const auto& c : cases) {
    const Outcome o = Run(c.args);
    EXPECT_EQ(o.status, 0) << o.err;
    for (const std::string& piece : c.pieces) EXPECT_NE(o.out.find(piece), std::string::npos) << piece;
  }
}

// A name too long to be anyone's is cut where it is echoed, and nothing is
// suggested for it.
TEST_F(CommandTest, UnknownNamesAreEchoedCut) {
  const std::string name(100000, 'x');
  WriteFile(folder_ / "long.json", "[{\"get\": \"" + name + "\"}]");
  const Outcome o = Run({"run", "long.json"});
  EXPECT_EQ(o.status, 1);
  const Json document = Json::parse(o.out);
  EXPECT_EQ(document["results"][0]["error"]["description"],
            "Unknown name \"" + name.substr(0, 64) + "\u2026\"");
}

}  // namespace
}  // namespace plotvane
