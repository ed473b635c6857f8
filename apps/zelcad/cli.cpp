#include "cli.h"

#include <cstddef>
#include <cstring>
#include <functional>
#include <map>

#ifndef ZEL_VERSION
#define ZEL_VERSION "0.0.0"
#endif

namespace zel::app {
namespace {

const char* kUsage =
    "usage: zelcad COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  dump DRAWING             canonical listing of the drawing's tables and entities\n"
    "  convert IN OUT           read a DXF (ASCII or binary, R12 to 2018), write DXF 2013\n"
    "  run SCRIPT [DRAWING] [-o OUT.dxf] [--svg OUT.svg]\n"
    "                           run a script (.zsc) on a drawing, print the transcript\n"
    "  shell [DRAWING]          an interactive command line\n"
    "  plot DRAWING OUT.svg     a picture of the drawing's model space\n"
    "\n"
    "options:\n"
    "  --load MODULE            load a module (a name or a path) before run or shell starts\n"
    "  -h, --help               this text\n"
    "  --version                the program's version\n";

struct SubCommand {
    int (*run)(const std::vector<std::string>&, FILE*, FILE*);
    const char* synopsis;
};

const std::map<std::string, SubCommand>& subCommands() {
    static const std::map<std::string, SubCommand> table = {
        {"dump", {cmdDump, "zelcad dump DRAWING"}},
        {"convert", {cmdConvert, "zelcad convert IN OUT"}},
        {"run", {cmdRun, "zelcad run SCRIPT [DRAWING] [-o OUT.dxf] [--svg OUT.svg]"}},
        {"plot", {cmdPlot, "zelcad plot DRAWING OUT.svg"}},
        {"shell", {cmdShell, "zelcad shell [DRAWING]"}},
        {"settings", {cmdSettings, "zelcad settings get KEY | set KEY VALUE | import|export FILE"}},
    };
    return table;
}

std::vector<std::string> gModules;

// Takes the --load options out of the arguments; false (told) when one has no name.
bool takeModules(std::vector<std::string>& args, FILE* err) {
    gModules.clear();
    for (size_t i = 0; i < args.size();) {
        if (args[i] != "--load") {
            ++i;
            continue;
        }
        if (i + 1 >= args.size()) {
            std::fputs("zelcad: --load needs a module name\n", err);
            return false;
        }
        gModules.push_back(args[i + 1]);
        args.erase(args.begin() + std::ptrdiff_t(i), args.begin() + std::ptrdiff_t(i) + 2);
    }
    return true;
}

} // namespace

const std::vector<std::string>& modulesToLoad() {
    return gModules;
}

int runCli(const std::vector<std::string>& given, FILE* out, FILE* err) {
    std::vector<std::string> args = given;
    if (!takeModules(args, err)) return kExitUsage;
    if (args.empty()) {
        std::fputs(kUsage, err);
        return kExitUsage;
    }
    const std::string& first = args[0];
    if (first == "-h" || first == "--help" || first == "help") {
        std::fputs(kUsage, out);
        return kExitOk;
    }
    if (first == "--version") {
        std::fprintf(out, "zelcad %s\n", ZEL_VERSION);
        return kExitOk;
    }
    auto it = subCommands().find(first);
    if (it == subCommands().end()) {
        std::fprintf(err, "zelcad: unknown command '%s' (see zelcad --help)\n", first.c_str());
        return kExitUsage;
    }
    std::vector<std::string> rest(args.begin() + 1, args.end());
    for (const auto& a : rest) {
        if (a == "-h" || a == "--help") {
            std::fprintf(out, "usage: %s\n", it->second.synopsis);
            return kExitOk;
        }
    }
    return it->second.run(rest, out, err);
}

} // namespace zel::app
