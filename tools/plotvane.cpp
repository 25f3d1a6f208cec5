// The plotvane command, a client of the in-process server libplotvane.so
// found beside it. Its commands are listed in kCommands below, each with the
// help that `plotvane --help` and `plotvane COMMAND --help` print.
// Exit status: 0 success, 1 failure, 2 wrong usage or a malformed script.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "base/utf.h"
#include "client/call_failure.h"
#include "client/client.h"
#include "client/interface_reference.h"
#include "client/type_reader.h"
#include "runtime/bstr.h"
#include "runtime/com_ptr.h"
#include "runtime/registry.h"
#include "runtime/typeinfo.h"
#include "tools/gallery.h"
#include "tools/header.h"
#include "tools/idl.h"
#include "tools/member_help.h"
#include "tools/script.h"
#include "tools/serve/options.h"
#include "tools/serve/service.h"

namespace plotvane {
namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

constexpr char kDefaultRegistry[] = "plotvane-registry.txt";

// One command: how it is called, what it does in a line, and what more its
// own --help says.
struct Command {
  const char* name;
  const char* usage;
  const char* summary;
  const char* details;
  int (*run)(const std::vector<std::string>& args);
};

extern const Command kCommands[];
extern const size_t kCommandCount;

// The list of commands, one line each.
std::string UsageText() {
  std::string text = "usage: plotvane COMMAND [ARGUMENTS]\n\n";
  for (size_t i = 0; i < kCommandCount; ++i) {
    // A usage too long for its column gets a line of its own.
    constexpr size_t kColumn = 24;
    std::string usage = kCommands[i].usage;
    usage += usage.size() < kColumn ? std::string(kColumn - usage.size(), ' ')
                                    : "\n  " + std::string(kColumn, ' ');
    text += "  " + usage + kCommands[i].summary + "\n";
  }
  return text + "\nplotvane COMMAND --help says more of one command.\n";
}

int Usage(const std::string& problem) {
  if (!problem.empty()) std::cerr << "plotvane: " << problem << "\n";
  std::cerr << UsageText();
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

int Idl(const std::vector<std::string>& args) { return Describe("idl", args, WriteIdl); }
int Header(const std::vector<std::string>& args) { return Describe("header", args, WriteHeader); }

// Prints the Draw object's members, or one member in full, as the server's
// type library describes them.
int Help(const std::vector<std::string>& args) {
  if (args.size() > 1) return Usage("help takes at most one MEMBER");
  ServerLibrary server(DefaultServerPath());
  ComPtr<IDispatch> draw;
  if (!OpenDraw(server, &draw)) return kFailed;
  ComPtr<ITypeInfo> info;
  const HRESULT hr = draw->GetTypeInfo(0, 0, info.ReleaseAndGetAddressOf());
  InterfaceReference reference;
  try {
    Check(hr);
    reference = ReadInterfaceReference(info.Get());
  } catch (const TypeReadFailure& failure) {
    std::cerr << "plotvane help: cannot read the type information (" << Hex(failure.hr) << ")\n";
    return kFailed;
  }
  if (args.empty()) {
    std::cout << MemberListText(reference);
    return kOk;
  }
  std::string text;
  if (!MemberHelpText(reference, args[0], &text)) {
    FailedCall call;
    call.hr = DISP_E_UNKNOWNNAME;
    call.name = args[0];
    std::cerr << "plotvane help: " << ExplainFailedCall(draw.Get(), call) << "\n";
    return kUsage;
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
  std::string library, registry;
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
  if (registry.empty()) {
    // Said before anything is written, so that nobody finds the file later
    // and wonders where it came from.
    registry = kDefaultRegistry;
    std::cerr << "plotvane regsvr: no --registry given; the registry file is " << registry
              << " in the current folder\n";
  }
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

const Command kCommands[] = {
    {"run", "run SCRIPT.json | -",
     "play an automation script on a new Draw object and print the result document",
     "The script is a file, or standard input for -. Standard output gets the result\n"
     "document (JSON); the exit status is 0 when every step succeeded, 1 when one failed\n"
     "and 2 when the script is malformed, with the reason on standard error.\n"
     "plotvane help MEMBER shows what a member takes.\n",
     Run},
    {"demo", "demo [--out DIR]",
     "draw the gallery, every chart in every format with its image map and script",
     "Writes DIR/index.html (DIR is gallery when not given), one page with every chart\n"
     "of the gallery's scripts, the pictures beside the scripts that made them.\n",
     Demo},
    {"serve", "serve [FLAGS]", "the HTTP service, on 127.0.0.1:8080 unless --listen says otherwise",
     nullptr, ServeCommand},
    {"help", "help [MEMBER]",
     "the Draw object's members with their meaning and default, or one member in full",
     "Without MEMBER, every member with its signature and help; with a member's name\n"
     "(matched without case) or an enumeration's, that one in full, with the script\n"
     "steps that use it.\n",
     Help},
    {"idl", "idl", "print the interface, as IDL with its help strings",
     "Reads the server's type library, as any client can, and prints it as IDL.\n", Idl},
    {"header", "header", "print the interface as the C and C++ header plotvane.h",
     "The header an interface compiler would write from the server's type library:\n"
     "the enumerations, the identifiers, IDraw for C++ and for C, and the server's\n"
     "entry points.\n",
     Header},
    {"regsvr", "regsvr [/u] LIBRARY [--registry FILE]",
     "register (or with /u unregister) a server library in a registry file",
     "Calls DllRegisterServer (DllUnregisterServer with /u) of LIBRARY and saves the\n"
     "keys it writes to FILE, a text file; without --registry, plotvane-registry.txt in\n"
     "the current folder, as the command says when it uses it.\n",
     RegisterServer},
    {"--version", "--version", "print the component's Version text",
     "Reads Version from a new Draw object: \"Plotvane 3.1.1.0 (64 bit)\".\n", Version},
};
const size_t kCommandCount = sizeof(kCommands) / sizeof(kCommands[0]);

int Main(int argc, char** argv) {
  if (argc < 2) return Usage("");
  const std::string name = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (name == "--help" || name == "-h") {
    std::cout << UsageText();
    return kOk;
  }
  for (const Command& command : kCommands) {
    if (name != command.name) continue;
    const bool asks_help = args.size() == 1 && (args[0] == "--help" || args[0] == "-h");
    if (asks_help && command.details != nullptr) {
      std::cout << "usage: plotvane " << command.usage << "\n\n"
                << static_cast<char>(std::toupper(static_cast<unsigned char>(command.summary[0])))
                << (command.summary + 1) << ".\n\n"
                << command.details;
      return kOk;
    }
    return command.run(args);
  }
  return Usage("unknown command " + name);
}

}  // namespace
}  // namespace plotvane

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  return plotvane::Main(argc, argv);
}
