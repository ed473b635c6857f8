// Command-line dispatch of zelcad: one function per sub-command.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace zel::app {

// Exit codes: 0 success, 1 the work failed (unreadable drawing, failed save), 2 usage error.
enum ExitCode { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

int runCli(const std::vector<std::string>& args, FILE* out, FILE* err);

// The modules given with --load NAME (any number, anywhere on the command line), loaded by run
// and shell into their session before the work starts.
const std::vector<std::string>& modulesToLoad();

int cmdDump(const std::vector<std::string>& args, FILE* out, FILE* err);
int cmdPlot(const std::vector<std::string>& args, FILE* out, FILE* err);
int cmdConvert(const std::vector<std::string>& args, FILE* out, FILE* err);
int cmdRun(const std::vector<std::string>& args, FILE* out, FILE* err);
int cmdShell(const std::vector<std::string>& args, FILE* out, FILE* err);
int cmdSettings(const std::vector<std::string>& args, FILE* out, FILE* err);

} // namespace zel::app
