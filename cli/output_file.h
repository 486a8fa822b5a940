// An output file that appears whole or not at all: the bytes go to a
// temporary file beside the target, which is renamed over it on Commit().
// Until then (and when anything fails) an existing file of that name stays
// as it was.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace paipan {

class AtomicOutputFile {
public:
    AtomicOutputFile() = default;
    ~AtomicOutputFile();  // removes the temporary file unless committed
    AtomicOutputFile(const AtomicOutputFile&) = delete;
    AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

    // False with a Chinese reason in `error` when no file can be made there.
    bool Open(const std::string& path, std::string& error);
    std::FILE* Stream() const { return stream_; }
    // Flushes, syncs and renames into place.
    bool Commit(std::string& error);

private:
    std::string path_, temp_;
    std::FILE* stream_ = nullptr;
};

// Writes `bytes` to `path` through an AtomicOutputFile.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

}  // namespace paipan
