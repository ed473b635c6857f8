// The block-trim engine (see blktrm.h).
#include "draftedit/engines/blktrm.h"

#include "draftedit/engines/textio.h"


namespace draftedit::engines {
namespace {

constexpr size_t kGroupLines = 5;

bool beginsWith(const std::wstring& line, wchar_t c) {
    return !line.empty() && line.front() == c;
}

} // namespace

BlockTrimInput parseBlockTrim(std::string_view content) {
    const std::vector<std::wstring> lines = splitLines(decodeText(content));
    auto number = [&](size_t i) { return parseLeadingNumber(lines[i]); };
    BlockTrimInput input;
    size_t i = 0;
    while (i < lines.size() && !beginsWith(lines[i], L'E')) {
        if (i + kGroupLines > lines.size()) return input;
        input.targets.push_back({{number(i + 1), number(i + 2)}, {number(i + 3), number(i + 4)}});
        i += kGroupLines;
    }
    ++i; // the line that ends the targets
    for (; i + kGroupLines <= lines.size(); i += kGroupLines) {
        BlockTrimInput::Cutter c;
        c.isLine = beginsWith(lines[i], L'L');
        if (c.isLine) {
            c.q1 = {number(i + 1), number(i + 2)};
            c.q2 = {number(i + 3), number(i + 4)};
        } else {
            c.arc = {{number(i), number(i + 1)}, number(i + 2), number(i + 3), number(i + 4)};
        }
        input.cutters.push_back(c);
    }
    return input;
}

std::optional<std::string> blockTrimAnswer(const BlockTrimInput& input) {
    std::string out = "\n";
    for (const BlockTrimInput::Target& target : input.targets) {
        std::vector<double> cuts;
        for (const BlockTrimInput::Cutter& c : input.cutters) {
            if (c.isLine) {
                if (std::optional<double> t = lineCutsLine(target.p1, target.p2, c.q1, c.q2))
                    cuts.push_back(*t);
            } else {
                for (double t : lineCutsArc(target.p1, target.p2, c.arc, onArcBlockTrim))
                    cuts.push_back(t);
            }
            if (cuts.size() > static_cast<size_t>(kMaxCutsPerTarget)) return std::nullopt;
        }
        for (double t : cuts)
            appendPoint(out, pointAt(target.p1, target.p2, t), "%f\n");
        out += "\n";
    }
    return out;
}

CutStatus runBlockTrim(const std::string& inputPath, const std::string& outputPath) {
    return runCutEngine(inputPath, outputPath, [](const std::string& content) {
        return blockTrimAnswer(parseBlockTrim(content));
    });
}

} // namespace draftedit::engines
