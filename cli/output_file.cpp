#include "cli/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace paipan {
namespace {

std::string Reason(const std::string& path) {
    return "无法写入文件“" + path + "”：" + std::strerror(errno);
}

}  // namespace

AtomicOutputFile::~AtomicOutputFile() {
    if (stream_ != nullptr) std::fclose(stream_);
    if (!temp_.empty()) ::unlink(temp_.c_str());
}

bool AtomicOutputFile::Open(const std::string& path, std::string& error) {
    path_ = path;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        error = "无法写入文件“" + path + "”：这是一个文件夹";
        return false;
    }
    const std::filesystem::path target(path);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        error = Reason(path);
        return false;
    }
    temp_ = name.data();
    // mkstemp makes the file private; an output file gets the usual mode.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    stream_ = ::fdopen(fd, "wb");
    if (stream_ == nullptr) {
        ::close(fd);
        error = Reason(path);
        return false;
    }
    return true;
}

bool AtomicOutputFile::Commit(std::string& error) {
    const bool written = std::fflush(stream_) == 0 && ::fsync(::fileno(stream_)) == 0;
    const bool closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    if (!written || !closed || std::rename(temp_.c_str(), path_.c_str()) != 0) {
        error = Reason(path_);
        return false;
    }
    temp_.clear();
    return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
    AtomicOutputFile file;
    if (!file.Open(path, error)) return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.Stream()) != bytes.size()) {
        error = Reason(path);
        return false;
    }
    return file.Commit(error);
}

}  // namespace paipan
