#include "cli/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

namespace paipan {
namespace {

namespace fs = std::filesystem;

// Links followed before the path is taken for a loop (the kernel allows 40).
constexpr int kMaxLinkHops = 40;

// Why `path` cannot be written, from errno, in words for the user.
std::string Reason(const std::string& path, int error = errno) {
    std::string why;
    switch (error) {
    case EACCES:
    case EPERM: why = "没有写入权限"; break;
    case ENOENT:
    case ENOTDIR: why = "所在的文件夹不存在"; break;
    case EISDIR: why = "这是一个文件夹"; break;
    case ELOOP: why = "符号链接太多或形成了循环"; break;
    case EROFS: why = "文件系统是只读的"; break;
    case ENOSPC:
    case EDQUOT: why = "磁盘空间不足"; break;
    default: why = std::strerror(error); break;
    }
    return "无法写入文件“" + path + "”：" + why;
}

// The file that `path` names once symbolic links are followed: writing to a
// link writes to the file it points to, which need not exist yet.
std::optional<fs::path> FollowLinks(const std::string& path) {
    fs::path here = path;
    for (int hops = 0; hops <= kMaxLinkHops; ++hops) {
        std::error_code failed;
        if (!fs::is_symlink(fs::symlink_status(here, failed))) {
            return here;
        }
        const fs::path to = fs::read_symlink(here, failed);
        if (failed) {
            errno = failed.value();
            return std::nullopt;
        }
        here = to.is_absolute() ? to : here.parent_path() / to;
    }
    errno = ELOOP;
    return std::nullopt;
}

// The file put in place of `old` keeps its owner and group where this
// process may give them (the group alone where it is one of ours), and its
// permissions, which are returned to be set once the bytes are written: the
// kernel clears the set-user-ID and set-group-ID bits on a chown and when
// another than root writes. Those bits are kept only with the owner and group.
mode_t KeepOwner(int fd, const struct stat& old) {
    mode_t mode = old.st_mode & 07777;
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        mode &= ~mode_t{S_ISUID};
        if (::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) mode &= ~mode_t{S_ISGID};
    }
    return mode;
}

// A new file gets the mode the umask leaves, as if made by open().
mode_t UsualMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

AtomicOutputFile::~AtomicOutputFile() {
    if (stream_ != nullptr) std::fclose(stream_);
    if (!temp_.empty()) ::unlink(temp_.c_str());
}

bool AtomicOutputFile::Open(const std::string& path, std::string& error) {
    path_ = path;
    struct stat old {};
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        error = Reason(path, EISDIR);
        return false;
    }
    if (exists && !S_ISREG(old.st_mode)) {
        return OpenInPlace(error);
    }
    const std::optional<fs::path> target = FollowLinks(path);
    // Like the window's Save, a file the user may not write is not replaced.
    if (!target || (exists && ::access(target->c_str(), W_OK) != 0)) {
        error = Reason(path);
        return false;
    }
    target_ = target->string();
    const fs::path folder = target->has_parent_path() ? target->parent_path() : ".";
    const std::string pattern = (folder / ("." + target->filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        error = Reason(path);
        return false;
    }
    temp_ = name.data();
    mode_ = exists ? KeepOwner(fd, old) : UsualMode();
    stream_ = ::fdopen(fd, "wb");
    if (stream_ == nullptr) {
        ::close(fd);
        error = Reason(path);
        return false;
    }
    return true;
}

// A device or a pipe (/dev/stdout, a FIFO) cannot be replaced: the bytes go
// straight into it.
bool AtomicOutputFile::OpenInPlace(std::string& error) {
    stream_ = std::fopen(path_.c_str(), "wb");
    if (stream_ == nullptr) {
        error = Reason(path_);
        return false;
    }
    return true;
}

bool AtomicOutputFile::Commit(std::string& error) {
    const bool inPlace = temp_.empty();
    // Until now the temporary file was the user's alone (mkstemp's 0600).
    const bool written = std::fflush(stream_) == 0 &&
                         (inPlace || (::fchmod(::fileno(stream_), mode_) == 0 && ::fsync(::fileno(stream_)) == 0));
    const int writeError = errno;
    const bool closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    if (!written || !closed) {
        error = Reason(path_, written ? errno : writeError);
        return false;
    }
    if (!inPlace && std::rename(temp_.c_str(), target_.c_str()) != 0) {
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
