// zelcad: the program through which a person uses the host.
#include "cli.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return zel::app::runCli(args, stdout, stderr);
}
