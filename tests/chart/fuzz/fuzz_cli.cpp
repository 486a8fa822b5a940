// libFuzzer target for paipan-cli's whole input path: the options of the
// command line and their checks, the chart they ask for, and a --batch line
// on top of them (its JSON, its keys' checks, its chart). Built in the
// sanitizer configuration and run by tools/sanitize.sh fuzz, under
// AddressSanitizer and UndefinedBehaviorSanitizer.
//
// An input is the arguments, one per line, then a NUL byte, then what the
// batch reads on stdin. paipan-cli's own main() is compiled here under
// another name, so the fuzzer runs the program's code as it is, on the data
// files beside this executable. Options that write files (--output) or
// search centuries (--find-pillars) are left out.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#define main PaipanCliMain
#include "cli/main.cpp"
#undef main

namespace {

constexpr std::size_t kMaxArguments = 64;

// The arguments before the NUL byte, or nothing when one is left out.
std::optional<std::vector<std::string>> Arguments(std::string_view text) {
    std::vector<std::string> args{"paipan-cli"};
    while (!text.empty()) {
        const auto lf = text.find('\n');
        std::string arg(text.substr(0, lf));
        text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
        const std::string key = arg.substr(0, arg.find('='));
        if (key == "--output" || key == "--find-pillars") return std::nullopt;
        args.push_back(std::move(arg));
        if (args.size() > kMaxArguments) return std::nullopt;
    }
    return args;
}

// Runs paipan-cli on `args` with `in` as its stdin; exit status 1 (an
// internal error: stdout is /dev/null, so never a failed write) is a fault.
// 0, 2 (a bad option or input) and 3 (a data file the input names, such as
// a time zone, cannot be read) are answers.
void RunCli(std::vector<std::string> args, std::string_view in) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::FILE* const input = in.empty() ? std::fopen("/dev/null", "r")
                                        : fmemopen(const_cast<char*>(in.data()), in.size(), "r");
    if (input == nullptr) std::abort();
    std::FILE* const saved = stdin;
    stdin = input;
    const int status = PaipanCliMain(static_cast<int>(args.size()), argv.data());
    stdin = saved;
    std::fclose(input);
    if (status == 1) {
        std::fprintf(stderr, "paipan-cli exited %d on this input\n", status);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The charts go nowhere; libFuzzer's -close_fd_mask=2 quiets the notices.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto nul = bytes.find('\0');
    const std::string_view batch = nul == std::string_view::npos ? std::string_view() : bytes.substr(nul + 1);
    auto args = Arguments(bytes.substr(0, nul));
    if (!args) return -1;  // not worth keeping in the corpus
    RunCli(*args, batch);  // one chart from the options
    args->push_back("--batch");
    RunCli(*args, batch);  // the batch lines on top of them
    return 0;
}
