// DXF reading and writing throughput on a generated drawing of mixed entities, with the peak
// memory of reading it, as ratios against a baseline measured in the same run (scanning the
// same bytes line by line, and copying them).
#include "dxf/dxf.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t0) {
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Processor time of this process: on a machine busy with other work the wall time of a run
// grows with the load, its processor time much less.
double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void appendEntity(AcDbBlockTableRecord& space, AcDbEntity* entity) {
    AcDbObjectId id;
    space.appendAcDbEntity(id, entity);
    entity->close();
}

// 300,000 entities: lines, arcs, circles, light polylines with bulges, texts with Japanese
// strings and multiline texts, spread over a sheet of 10 m.
std::unique_ptr<AcDbDatabase> makeDrawing(int count) {
    auto db = std::make_unique<AcDbDatabase>();
    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, db->modelSpaceId(), AcDb::kForWrite);
    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> coord(0, 10000), len(1, 200), ang(0, 2 * M_PI);
    const wchar_t* words[] = {L"部品番号 A-12", L"ｵﾌﾞｼﾞｪｸﾄを選択", L"面取り C2",
                              L"Φ25 H7",        L"表面粗さ Ra1.6", L"材質 SS400"};
    for (int i = 0; i < count; ++i) {
        AcGePoint3d p(coord(rng), coord(rng), 0);
        switch (i % 6) {
        case 0:
            appendEntity(*space, new AcDbLine(p, p + AcGeVector3d(len(rng), len(rng), 0)));
            break;
        case 1:
            appendEntity(*space, new AcDbArc(p, len(rng), ang(rng), ang(rng)));
            break;
        case 2:
            appendEntity(*space, new AcDbCircle(p, AcGeVector3d::kZAxis, len(rng)));
            break;
        case 3: {
            auto* pl = new AcDbPolyline(6);
            for (unsigned v = 0; v < 6; ++v)
                pl->addVertexAt(v, AcGePoint2d(p.x + v * 10, p.y + (v % 2) * 5), v % 3 ? 0 : 0.4);
            appendEntity(*space, pl);
            break;
        }
        case 4:
            appendEntity(*space, new AcDbText(p, words[i % 6], AcDbObjectId(), 3.5, ang(rng)));
            break;
        case 5: {
            auto* mt = new AcDbMText();
            mt->setLocation(p);
            mt->setContents(
                L"{\\fMS Gothic;注記}\\P1. 指示なき面取り C0.5\\P2. 一般公差 JIS B 0405-m");
            appendEntity(*space, mt);
            break;
        }
        }
    }
    space->close();
    return db;
}

// Baseline "reading": find every line of the bytes (the least a DXF reader must do).
size_t scanLines(const std::string& bytes) {
    size_t lines = 0;
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while ((p = static_cast<const char*>(std::memchr(p, '\n', end - p)))) {
        ++lines;
        ++p;
    }
    return lines;
}

// The high-water mark of this process's resident memory (VmHWM), in bytes; -1 if unknown.
long residentPeak() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) break;
    std::fclose(status);
    return kb < 0 ? -1 : kb * 1024L;
}

// Peak resident memory (bytes) of a fresh process that only reads the file: this program run
// again with --read-only, so that nothing of this process (the generated drawing, the buffers)
// is counted with it. The child reports its own high-water mark: the ru_maxrss of a child
// would count this process's memory too, since the kernel carries the mark of the process
// forked from over an exec.
long peakMemoryOfRead(const std::string& path) {
    int out[2];
    if (pipe(out) != 0) return -1;
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execl("/proc/self/exe", "bench_dxf_io", "--read-only", path.c_str(), (char*)nullptr);
        _exit(2);
    }
    close(out[1]);
    std::string report;
    char buf[64];
    ssize_t n;
    while ((n = read(out[0], buf, sizeof buf)) > 0)
        report.append(buf, size_t(n));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (pid < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return std::atol(report.c_str());
}

int readOnly(const char* path) {
    auto result = zel::dxf::readDxf(path);
    if (!result.ok()) return 1;
    std::printf("%ld\n", residentPeak());
    return 0;
}

// Saves the generated drawing for profiling the reader on its own (massif, heaptrack).
int saveOnly(int count, const char* path) {
    auto db = makeDrawing(count);
    if (zel::dxf::writeDxf(*db, path).ok) return 0;
    std::fprintf(stderr, "saving %s failed\n", path);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--read-only") == 0) return readOnly(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "--save") == 0)
        return saveOnly(std::atoi(argv[2]), argv[3]);
    int count = argc > 1 ? std::atoi(argv[1]) : 300000;
    auto t0 = Clock::now();
    auto db = makeDrawing(count);
    std::printf("generated %d entities in %.2f s\n", count, secondsSince(t0));

    t0 = Clock::now();
    double c0 = cpuSeconds();
    std::string bytes = zel::dxf::writeDxfBuffer(*db);
    double writeSeconds = secondsSince(t0);
    double writeCpu = cpuSeconds() - c0;
    double mb = bytes.size() / 1e6;

    t0 = Clock::now();
    std::string copy = bytes;
    double copySeconds = secondsSince(t0);

    t0 = Clock::now();
    size_t lines = scanLines(bytes);
    double scanSeconds = secondsSince(t0);

    t0 = Clock::now();
    c0 = cpuSeconds();
    auto result = zel::dxf::readDxfBuffer(bytes);
    double readSeconds = secondsSince(t0);
    double readCpu = cpuSeconds() - c0;
    if (!result.ok()) {
        std::fprintf(stderr, "reading the generated drawing failed: %s\n", result.error.c_str());
        return 1;
    }

    std::string path = "/tmp/zel_bench_dxf_io_" + std::to_string(getpid()) + ".dxf";
    if (!zel::dxf::writeDxf(*db, path).ok) {
        std::fprintf(stderr, "saving %s failed\n", path.c_str());
        return 1;
    }
    long peak = peakMemoryOfRead(path);
    std::remove(path.c_str());

    std::printf("file: %.1f MB, %zu lines\n", mb, lines);
    std::printf("write: %.0f MB/s (%.3f s; %.0f MB per processor second); copy baseline "
                "%.0f MB/s; ratio %.3f\n",
                mb / writeSeconds, writeSeconds, mb / writeCpu, mb / copySeconds,
                copySeconds / writeSeconds);
    std::printf("read:  %.0f MB/s (%.3f s; %.0f MB per processor second); line-scan baseline "
                "%.0f MB/s; ratio %.3f\n",
                mb / readSeconds, readSeconds, mb / readCpu, mb / scanSeconds,
                scanSeconds / readSeconds);
    std::printf("peak memory of a reading process: %.0f MB = %.2f x the file size\n", peak / 1e6,
                peak / 1e6 / mb);
    return 0;
}
