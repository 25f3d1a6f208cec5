// The plotvane command, a client of the in-process server libplotvane.so
// found beside it:
//   plotvane run SCRIPT.json | -          plays an automation script
//   plotvane demo [--out DIR]             writes the sample gallery
//   plotvane serve [FLAGS]                the HTTP service (plotvane serve --help)
//   plotvane idl                          prints the interface as IDL
//   plotvane header                       prints it as a C and C++ header
//   plotvane regsvr [/u] LIBRARY [--registry FILE]
//                                         registers (or unregisters) a server
//   plotvane --version                    the component's Version text
// Exit status: 0 success, 1 failure, 2 wrong usage or a malformed script.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "base/utf.h"
#include "client/client.h"
#include "runtime/bstr.h"
#include "runtime/com_ptr.h"
#include "runtime/registry.h"
#include "runtime/typeinfo.h"
#include "tools/gallery.h"
#include "tools/header.h"
#include "tools/idl.h"
#include "tools/script.h"
#include "tools/serve/options.h"
#include "tools/serve/service.h"

namespace plotvane {
namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

constexpr char kUsageText[] =
    "usage: plotvane run SCRIPT.json | plotvane run -\n"
    "       plotvane demo [--out DIR]\n"
    "       plotvane serve [--listen HOST:PORT] [FLAGS]   (plotvane serve --help)\n"
    "       plotvane idl\n"
    "       plotvane header\n"
    "       plotvane regsvr [/u] LIBRARY [--registry FILE]\n"
    "       plotvane --version\n";
constexpr char kDefaultRegistry[] = "plotvane-registry.txt";

int Usage(const std::string& problem) {
  if (!problem.empty()) std::cerr << "plotvane: " << problem << "\n";
  std::cerr << kUsageText;
  return kUsage;
}

std::string Hex(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(hr));
  return text;
}

// Reads a whole script, refusing one larger than kMaxScriptBytes.
bool ReadScript(std::istream& in, std::string* text) {
  std::vector<char> buffer(1 << 16);
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    text->append(buffer.data(), static_cast<size_t>(in.gcount()));
    if (text->size() > kMaxScriptBytes) return false;
  }
  return !in.bad();
}

// The server beside the command and a new Draw object of it; on failure a
// message is written and false returned.
bool OpenDraw(const ServerLibrary& server, ComPtr<IDispatch>* draw) {
  if (!server.ok()) {
    std::cerr << "plotvane: " << server.error() << "\n";
    return false;
  }
  const HRESULT hr = server.CreateDraw(draw);
  if (FAILED(hr)) std::cerr << "plotvane: cannot create a Draw object (" << Hex(hr) << ")\n";
  return SUCCEEDED(hr);
}

int Run(const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage("run takes one script file, or - for standard input");
  std::string text;
  bool read;
  if (args[0] == "-") {
    read = ReadScript(std::cin, &text);
  } else {
    std::ifstream file(args[0], std::ios::binary);
    if (!file) {
      std::cerr << "plotvane run: cannot read " << args[0] << ": " << std::strerror(errno) << "\n";
      return kUsage;
    }
    read = ReadScript(file, &text);
  }
  if (!read) {
    std::cerr << "plotvane run: cannot read the script, or it is larger than "
              << (kMaxScriptBytes >> 20) << " MiB\n";
    return kUsage;
  }
  Script script;
  try {
    script = ParseScript(text);
  } catch (const ScriptError& e) {
    std::cerr << "plotvane run: " << e.what() << "\n";
    return kUsage;
  }
  ServerLibrary server(DefaultServerPath());
  size_t failed = 0;
  {
    ComPtr<IDispatch> draw;
    if (!OpenDraw(server, &draw)) return kFailed;
    failed = RunScript(draw.Get(), script, std::cout);
  }
  if (!std::cout) {
    std::cerr << "plotvane run: cannot write the result document\n";
    return kFailed;
  }
  return failed == 0 ? kOk : kFailed;
}

int Demo(const std::vector<std::string>& args) {
  std::string folder = "gallery";
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--out" && i + 1 < args.size()) {
      folder = args[++i];
    } else {
      return Usage("demo takes only --out DIR");
    }
  }
  ServerLibrary server(DefaultServerPath());
  if (!server.ok()) {
    std::cerr << "plotvane: " << server.error() << "\n";
    return kFailed;
  }
  const bool ok = WriteGallery(server, folder, std::cerr);
  std::cout << "plotvane demo: gallery written to " << folder << "/index.html\n";
  return ok ? kOk : kFailed;
}

int ServeCommand(const std::vector<std::string>& args) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << kServeUsage;
    return kOk;
  }
  ServeOptions options;
  std::string problem;
  if (!ParseServeOptions(args, &options, &problem)) {
    std::cerr << "plotvane serve: " << problem << "\n" << kServeUsage;
    return kUsage;
  }
  ServerLibrary server(DefaultServerPath(), /*for_process_life=*/true);
  if (!server.ok()) {
    std::cerr << "plotvane: " << server.error() << "\n";
    return kFailed;
  }
  return Serve(server, options, std::cerr);
}

// Prints the server's type library as IDL (`idl`) or as a C and C++ header
// (`header`), read from a Draw object's type information.
int Describe(const std::string& command, const std::vector<std::string>& args,
             HRESULT (*write)(ITypeLib*, std::string*)) {
  if (!args.empty()) return Usage(command + " takes no arguments");
  ServerLibrary server(DefaultServerPath());
  std::string text;
  HRESULT hr;
  {
    ComPtr<IDispatch> draw;
    if (!OpenDraw(server, &draw)) return kFailed;
    ComPtr<ITypeInfo> info;
    ComPtr<ITypeLib> library;
    hr = draw->GetTypeInfo(0, 0, info.ReleaseAndGetAddressOf());
    if (SUCCEEDED(hr)) hr = info->GetContainingTypeLib(library.ReleaseAndGetAddressOf(), nullptr);
    if (SUCCEEDED(hr)) hr = write(library.Get(), &text);
  }
  if (FAILED(hr)) {
    std::cerr << "plotvane " << command << ": cannot read the type information (" << Hex(hr)
              << ")\n";
    return kFailed;
  }
  std::cout << text;
  return kOk;
}

int Version(const std::vector<std::string>& args) {
  if (!args.empty()) return Usage("--version takes no arguments");
  ServerLibrary server(DefaultServerPath());
  ComPtr<IDispatch> draw;
  if (!OpenDraw(server, &draw)) return kFailed;
  ScriptStep get;
  get.name = "Version";
  const StepOutcome outcome = RunStep(draw.Get(), get, 0, "");
  if (FAILED(outcome.hr) || outcome.value.vt() != VT_BSTR) {
    std::cerr << "plotvane: cannot read Version: " << outcome.description << "\n";
    return kFailed;
  }
  BSTR text = outcome.value->bstrVal;
  std::cout << Utf16ToUtf8(std::u16string_view(text, SysStringLen(text))) << "\n";
  return kOk;
}

int RegisterServer(const std::vector<std::string>& args) {
  bool unregister = false;
  std::string library, registry = kDefaultRegistry;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "/u" || args[i] == "-u") {
      unregister = true;
    } else if (args[i] == "--registry" && i + 1 < args.size()) {
      registry = args[++i];
    } else if (library.empty() && !args[i].empty() && args[i][0] != '-') {
      library = args[i];
    } else {
      return Usage("regsvr: unexpected argument " + args[i]);
    }
  }
  if (library.empty()) return Usage("regsvr needs the LIBRARY to register");
  const LSTATUS opened = OpenRegistryStore(registry.c_str());
  if (opened != ERROR_SUCCESS) {
    std::cerr << "plotvane regsvr: cannot open the registry file " << registry
              << (opened == ERROR_BADDB ? ": it is not a registry store" : "") << " (error "
              << opened << ")\n";
    return kFailed;
  }
  ServerLibrary server(library);
  if (!server.ok()) {
    std::cerr << "plotvane regsvr: " << server.error() << "\n";
    return kFailed;
  }
  const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  const HRESULT hr = unregister ? server.UnregisterServer() : server.RegisterServer();
  if (FAILED(hr)) {
    // The store is not saved: a failed registration leaves the file as it was.
    std::cerr << "plotvane regsvr: " << entry << " in " << library << " failed (" << Hex(hr)
              << ")\n";
    return kFailed;
  }
  const LSTATUS saved = SaveRegistryStore();
  CloseRegistryStore();
  if (saved != ERROR_SUCCESS) {
    std::cerr << "plotvane regsvr: cannot write the registry file " << registry << "\n";
    return kFailed;
  }
  std::cout << "plotvane regsvr: " << entry << " in " << library << " succeeded; registry "
            << registry << "\n";
  return kOk;
}

int Main(int argc, char** argv) {
  if (argc < 2) return Usage("");
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "run") return Run(args);
  if (command == "demo") return Demo(args);
  if (command == "serve") return ServeCommand(args);
  if (command == "idl") return Describe(command, args, WriteIdl);
  if (command == "header") return Describe(command, args, WriteHeader);
  if (command == "regsvr") return RegisterServer(args);
  if (command == "--version") return Version(args);
  if (command == "--help" || command == "-h") {
    std::cout << kUsageText;
    return kOk;
  }
  return Usage("unknown command " + command);
}

}  // namespace
}  // namespace plotvane

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  return plotvane::Main(argc, argv);
}
