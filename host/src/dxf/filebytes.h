// The bytes of a drawing file being read, held in memory of their own that is given back to
// the system as the reader passes them: a large drawing is not held twice over (as bytes and
// as objects) at the end of its reading.
#pragma once

#include "dxf/dxf.h"
#include "dxf/records.h"

#include <string>
#include <string_view>

namespace zel::dxf {

class FileBytes : public PassedBytes {
public:
    // Pages are given back in steps of this size: a few calls to the system for a large file,
    // and little memory held beyond what the reader still needs.
    static constexpr size_t kReleaseStep = size_t(4) << 20;

    explicit FileBytes(size_t releaseStep = kReleaseStep) : mStep(releaseStep) {}
    ~FileBytes() override;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    // Reads the whole file (into an object that holds none yet); false with `error` set
    // ("cannot read the file: <cause>") when it cannot be read.
    bool read(const std::string& path, std::string& error);
    // All the bytes of the file; those before released() can no longer be read.
    std::string_view bytes() const { return {mData, mSize}; }
    // Gives back the whole pages before the offset, once they add up to a release step.
    void passed(size_t offset) override;
    size_t released() const { return mReleased; }

private:
    size_t mStep;
    char* mData = nullptr;
    size_t mSize = 0;
    size_t mMapped = 0; // the size of the mapping (whole pages)
    size_t mReleased = 0;
};

// Reads a drawing from bytes, telling `passed` how far reading has come (see PassedBytes).
ReadResult readDxfBuffer(std::string_view bytes, PassedBytes& passed);

} // namespace zel::dxf
