// acutPrintf, acutSPrintf, acutSNPrintf and the output sink acutPrintf writes to.
#include "arx/ads.h"
#include "core/format.h"
#include "core/text.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>

namespace zel::core {

namespace {

void writeStdout(std::wstring_view text) {
    std::string bytes = wideToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

struct SinkState {
    std::mutex mutex;
    OutputSink sink = writeStdout;
};

SinkState& sinkState() {
    static SinkState state;
    return state;
}

bool isHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

} // namespace

OutputSink setOutputSink(OutputSink sink) {
    SinkState& s = sinkState();
    std::lock_guard lock(s.mutex);
    OutputSink previous = std::move(s.sink);
    s.sink = sink ? std::move(sink) : OutputSink(writeStdout);
    return previous;
}

void writeOutput(std::wstring_view text) {
    SinkState& s = sinkState();
    OutputSink sink;
    {
        std::lock_guard lock(s.mutex);
        sink = s.sink;
    }
    sink(text); // outside the lock: a sink may print again
}

} // namespace zel::core

namespace {

// Formats for the C-style API: nullopt when the format is null or memory runs out, so that
// no exception reaches the caller.
std::optional<std::wstring> apiFormat(const ACHAR* format, va_list args) {
    if (!format) return std::nullopt;
    try {
        return zel::core::vformat(format, args);
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace

int acutPrintf(const ACHAR* format, ...) {
    va_list args;
    va_start(args, format);
    auto text = apiFormat(format, args);
    va_end(args);
    if (!text) return -1;
    try {
        zel::core::writeOutput(*text);
    } catch (...) {
        return -1; // a failing sink must not unwind into the caller's C code
    }
    return static_cast<int>(text->size());
}

int acutSPrintf(ACHAR* buffer, const ACHAR* format, ...) {
    va_list args;
    va_start(args, format);
    auto text = apiFormat(format, args);
    va_end(args);
    if (!text || !buffer) return -1;
    std::wmemcpy(buffer, text->c_str(), text->size() + 1);
    return static_cast<int>(text->size());
}

// Writes at most count - 1 characters and the terminator (never half of a surrogate pair);
// returns the length of the whole text, as C's snprintf does, so that a result >= count
// tells the caller the text was cut.
int acutSNPrintf(ACHAR* buffer, size_t count, const ACHAR* format, ...) {
    va_list args;
    va_start(args, format);
    auto text = apiFormat(format, args);
    va_end(args);
    if (!text) {
        if (buffer && count > 0) buffer[0] = 0;
        return -1;
    }
    if (buffer && count > 0) {
        size_t n = std::min(text->size(), count - 1);
        if (n < text->size() && n > 0 && zel::core::isHighSurrogate((*text)[n - 1])) --n;
        std::wmemcpy(buffer, text->data(), n);
        buffer[n] = 0;
    }
    return static_cast<int>(text->size());
}
