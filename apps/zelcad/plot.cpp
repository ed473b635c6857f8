// zelcad plot DRAWING OUT.svg
#include "cli.h"

#include "dxf/dxf.h"
#include "plot/svg.h"

namespace zel::app {

int cmdPlot(const std::vector<std::string>& args, FILE* out, FILE* err) {
    if (args.size() != 2) {
        std::fputs("usage: zelcad plot DRAWING OUT.svg\n", err);
        return kExitUsage;
    }
    dxf::ReadResult read = dxf::readDxf(args[0]);
    if (!read.ok()) {
        std::fprintf(err, "zelcad: %s\n", read.error.c_str());
        return kExitFailed;
    }
    std::string problem = plot::writeSvg(*read.database, args[1]);
    if (!problem.empty()) {
        std::fprintf(err, "zelcad: %s\n", problem.c_str());
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace zel::app
