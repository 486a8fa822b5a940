// An output file that appears whole or not at all: the bytes go to a
// temporary file beside the target, which is renamed over it on Commit().
// Until then (and when anything fails) an existing file of that name stays
// as it was. A symbolic link is followed: the file it points to is replaced
// and the link stays. The new file keeps the replaced one's permissions and,
// where the process may, its owner; a file made afresh gets the mode the
// umask leaves. A device or a pipe is written in place.
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
    // Flushes, gives the file its permissions, syncs and renames it into place.
    bool Commit(std::string& error);

private:
    bool OpenInPlace(std::string& error);

    std::string path_;    // as the user gave it, for messages
    std::string target_;  // the file replaced: path_ with its links followed
    std::string temp_;    // empty once committed, and when writing in place
    unsigned mode_ = 0;   // the permissions the file gets on Commit
    std::FILE* stream_ = nullptr;
};

// Writes `bytes` to `path` through an AtomicOutputFile.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

}  // namespace paipan
