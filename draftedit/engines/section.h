// The section-property engine and the centroid engine: a closed profile of straight segments
// and circular arcs read from a text file of numbers, its area, centroid and second moments
// written to another text file.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace draftedit::engines {

// One boundary element: start and end point and the bulge (tangent of a quarter of the
// included angle, positive when the arc runs counter-clockwise; 0 for a straight segment).
struct Segment {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, bulge = 0;
};

struct Centroid {
    double gx = 0, gy = 0, area = 0;
};

// Second moments about the axes through the centroid (ix about the horizontal one), the
// principal moments i1 >= i2, the radii of gyration and the principal direction in degrees.
struct SectionProperties {
    double gx = 0, gy = 0, area = 0;
    double ix = 0, iy = 0, ixy = 0, ip = 0, i1 = 0, i2 = 0;
    double kx = 0, ky = 0, k1 = 0, k2 = 0;
    double theta = 0;
};

// The segments of an input file's content: one number per line, five per segment (x1, y1,
// x2, y2, bulge); an incomplete last group is dropped.
std::vector<Segment> parseSegments(std::string_view content);

Centroid computeCentroid(std::span<const Segment> segments);
SectionProperties computeSectionProperties(std::span<const Segment> segments);

// Output texts: three lines "%.12f" (Gx, Gy, A), fourteen lines "%15.6f" (Gx, A, Gy, Ix, I1,
// Iy, I2, Ip, Ixy, kx, k1, ky, k2, theta).
std::string formatCentroid(const Centroid& c);
std::string formatSectionProperties(const SectionProperties& p);

// Failure texts written into the output file, or shown by the caller.
inline constexpr const char* kNoMemoryText = "メモリー不足です。";
inline constexpr const char* kNoInputText = "読込みファイルがありません。";
inline constexpr const wchar_t* kOutputNotOpenedText = L"書出しファイルがオープンできません。";

enum class EngineKind { SectionProperties, Centroid };
enum class EngineStatus {
    Written,         // the results are in the output file
    NoMemory,        // the output file holds kNoMemoryText
    InputMissing,    // the output file holds kNoInputText
    OutputNotOpened, // nothing written; the caller shows kOutputNotOpenedText
};

// Reads the input file, computes and writes the output file (paths are UTF-8).
EngineStatus runEngine(EngineKind kind, const std::string& inputPath,
                       const std::string& outputPath);

// Writes text alone into a file opened anew for writing; false when it cannot be opened or
// written. Used for the failure texts of every file-based engine.
bool writeWholeFile(const std::string& path, std::string_view text);

} // namespace draftedit::engines
