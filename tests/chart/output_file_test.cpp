// The file behind paipan-cli --output: what it replaces keeps its mode and
// owner, a symbolic link is written through to its target, a failed write
// leaves everything as it was, and nothing is left behind. Modes are checked
// as st_mode bits after an explicit chmod, so the umask and the user running
// the tests do not decide the outcome.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "cli/output_file.h"

namespace paipan {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

mode_t ModeOf(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode;
}

class OutputFileTest : public ::testing::Test {
protected:
    const fs::path dir_ = fs::temp_directory_path() / ("paipan-output-test-" + std::to_string(::getpid()));
    void SetUp() override {
        fs::create_directories(dir_ / "real");
        fs::permissions(dir_, fs::perms::all);  // others (nobody, below) may write here
    }
    void TearDown() override { fs::remove_all(dir_); }

    void Make(const fs::path& path, const std::string& bytes, mode_t mode) const {
        std::ofstream(path, std::ios::binary) << bytes;
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    }
    // Every name in the test's two folders; a temporary file would show here.
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const fs::path& folder : {fs::path(), fs::path("real")})
            for (const auto& entry : fs::directory_iterator(dir_ / folder))
                names.insert((folder / entry.path().filename()).string());
        return names;
    }
    bool Write(const fs::path& path, const std::string& bytes, std::string& error) const {
        return WriteFileAtomically(path.string(), bytes, error);
    }
};

TEST_F(OutputFileTest, ReplacedFileKeepsItsMode) {
    for (const mode_t mode : {0600, 0640, 0604, 0751, 02750}) {
        SCOPED_TRACE(mode);
        const fs::path file = dir_ / "chart.txt";
        Make(file, "old", mode);
        std::string error;
        ASSERT_TRUE(Write(file, "new chart", error)) << error;
        EXPECT_EQ(ReadAll(file), "new chart");
        EXPECT_EQ(ModeOf(file) & 07777, mode);
        EXPECT_TRUE(S_ISREG(ModeOf(file)));
    }
    EXPECT_EQ(Names(), (std::set<std::string>{"chart.txt", "real"}));
}

TEST_F(OutputFileTest, NewFileTakesTheModeTheUmaskLeaves) {
    for (const mode_t mask : {022, 077, 027, 0}) {
        SCOPED_TRACE(mask);
        const fs::path file = dir_ / ("new" + std::to_string(mask));
        const mode_t before = ::umask(mask);
        std::string error;
        const bool written = Write(file, "x", error);
        ::umask(before);
        ASSERT_TRUE(written) << error;
        EXPECT_EQ(ModeOf(file) & 07777, 0666 & ~mask);
    }
}

// Only a process that may give files away can keep another user's file his.
TEST_F(OutputFileTest, ReplacedFileKeepsItsOwnerWhereTheProcessMay) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to make a file of another user";
    const fs::path file = dir_ / "theirs.txt";
    Make(file, "old", 0640);
    ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);  // nobody:nogroup
    std::string error;
    ASSERT_TRUE(Write(file, "new", error)) << error;
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(OutputFileTest, WritesThroughSymbolicLinks) {
    struct Case {
        const char* name;
        std::vector<std::pair<fs::path, fs::path>> links;  // link, what it holds
        fs::path written, target;
    };
    const Case cases[] = {
        {"relative link into a folder", {{"chart.rtf", "real/t.rtf"}}, "chart.rtf", "real/t.rtf"},
        {"absolute link", {{"abs.rtf", dir_ / "real/t.rtf"}}, "abs.rtf", "real/t.rtf"},
        {"link to a link", {{"a.rtf", "b.rtf"}, {"b.rtf", "real/t.rtf"}}, "a.rtf", "real/t.rtf"},
        {"link from inside a folder, relative to it", {{"real/up.rtf", "../top.rtf"}}, "real/up.rtf", "top.rtf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Make(dir_ / c.target, "old", 0600);
        for (const auto& [link, to] : c.links) fs::create_symlink(to, dir_ / link);
        std::string error;
        ASSERT_TRUE(Write(dir_ / c.written, "new chart", error)) << error;
        for (const auto& [link, to] : c.links) {
            EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir_ / link))) << link;
            EXPECT_EQ(fs::read_symlink(dir_ / link), to);
        }
        EXPECT_EQ(ReadAll(dir_ / c.target), "new chart");
        EXPECT_EQ(ModeOf(dir_ / c.target) & 07777, 0600u);
        for (const auto& [link, to] : c.links) fs::remove(dir_ / link);
        fs::remove(dir_ / c.target);
        EXPECT_EQ(Names(), (std::set<std::string>{"real"}));  // no temporary file left
    }
    // A link to a file not yet there makes that file; the link stays.
    fs::create_symlink("real/later.txt", dir_ / "later");
    std::string error;
    ASSERT_TRUE(Write(dir_ / "later", "made", error)) << error;
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir_ / "later")));
    EXPECT_EQ(ReadAll(dir_ / "real/later.txt"), "made");
}

// A write that fails (here: past the file size limit, as when a disk fills
// up) leaves the link, its target and the folders as they were.
TEST_F(OutputFileTest, FailedWriteLeavesLinkAndTarget) {
    Make(dir_ / "real/t.rtf", "old chart", 0600);
    fs::create_symlink("real/t.rtf", dir_ / "chart.rtf");
    const std::set<std::string> before = Names();
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit oldLimit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    rlimit small = oldLimit;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool written = Write(dir_ / "chart.rtf", std::string(100'000, 'x'), error);
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    ::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(error.rfind("无法写入文件“", 0), 0u) << error;
    EXPECT_EQ(fs::read_symlink(dir_ / "chart.rtf"), "real/t.rtf");
    EXPECT_EQ(ReadAll(dir_ / "real/t.rtf"), "old chart");
    EXPECT_EQ(ModeOf(dir_ / "real/t.rtf") & 07777, 0600u);
    EXPECT_EQ(Names(), before);
    // So does one given up before the commit (a batch that failed half way).
    {
        AtomicOutputFile file;
        ASSERT_TRUE(file.Open((dir_ / "chart.rtf").string(), error)) << error;
        std::fputs("half a chart", file.Stream());
    }
    EXPECT_EQ(ReadAll(dir_ / "real/t.rtf"), "old chart");
    EXPECT_EQ(Names(), before);
}

TEST_F(OutputFileTest, RefusesWithAReasonInChinese) {
    fs::create_symlink("loop2", dir_ / "loop1");
    fs::create_symlink("loop1", dir_ / "loop2");
    fs::create_symlink("gone/x.txt", dir_ / "dangling");
    const std::pair<fs::path, std::string> cases[] = {
        // path, reason
        {dir_ / "real", "这是一个文件夹"},
        {dir_ / "no-such-folder" / "x.txt", "所在的文件夹不存在"},
        {dir_ / "dangling", "所在的文件夹不存在"},
        {dir_ / "loop1", "符号链接太多或形成了循环"},
    };
    for (const auto& [path, reason] : cases) {
        std::string error;
        EXPECT_FALSE(Write(path, "x", error)) << path;
        EXPECT_EQ(error, "无法写入文件“" + path.string() + "”：" + reason);
    }
    EXPECT_EQ(Names(), (std::set<std::string>{"real", "loop1", "loop2", "dangling"}));
}

// A pipe cannot be replaced by a file: the bytes go into it, and it stays a
// pipe (so would /dev/stdout or /dev/null, which a test must not risk).
TEST_F(OutputFileTest, WritesIntoAPipeInPlace) {
    const fs::path fifo = dir_ / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);  // a reader, so the writer does not wait
    ASSERT_GE(reader, 0);
    std::string error;
    EXPECT_TRUE(Write(fifo, "through the pipe", error)) << error;
    char buffer[64] = {};
    const ssize_t got = ::read(reader, buffer, sizeof buffer);
    ::close(reader);
    EXPECT_EQ(std::string(buffer, got > 0 ? static_cast<std::size_t>(got) : 0), "through the pipe");
    EXPECT_TRUE(S_ISFIFO(ModeOf(fifo)));
}

// The program itself, run as a user who may not write the file (nobody,
// through setpriv, when the tests run as root): a read-only chart is not
// replaced, as the window's Save does not replace it either.
TEST_F(OutputFileTest, ProgramKeepsModeLinkAndReadOnlyFiles) {
    const std::string args = " --year 1949 --month 10 --day 1 --hour 15 --minute 0 --quiet";
    const auto run = [&](const std::string& prefix, const std::string& output) {
        const std::string cmd = prefix + "'" PAIPAN_CLI_PATH "'" + args + " --output '" + output + "' 2>'" +
                                (dir_ / "err").string() + "'";
        const int raw = std::system(cmd.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    const std::string expected = [&] {
        EXPECT_EQ(run("", (dir_ / "plain.txt").string()), 0);
        return ReadAll(dir_ / "plain.txt");
    }();
    ASSERT_GT(expected.size(), 1000u);
    Make(dir_ / "real/private.txt", "old", 0600);
    fs::create_symlink("real/private.txt", dir_ / "link.txt");
    EXPECT_EQ(run("", (dir_ / "link.txt").string()), 0);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir_ / "link.txt")));
    EXPECT_EQ(ReadAll(dir_ / "real/private.txt"), expected);
    EXPECT_EQ(ModeOf(dir_ / "real/private.txt") & 07777, 0600u);

    std::string asOther;
    if (::geteuid() == 0) {
        if (std::system("setpriv --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no setpriv to drop root";
        asOther = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    }
    Make(dir_ / "readonly.txt", "old", 0444);
    EXPECT_EQ(run(asOther, (dir_ / "readonly.txt").string()), 1);
    EXPECT_EQ(ReadAll(dir_ / "readonly.txt"), "old");
    EXPECT_NE(ReadAll(dir_ / "err").find("没有写入权限"), std::string::npos) << ReadAll(dir_ / "err");
}

}  // namespace
}  // namespace paipan
