// Quick, deterministic run of the fuzzing checks: every sample and a few
// thousand mutated and random inputs go through the reader and writer.

#include <gtest/gtest.h>

#include <random>

#include "tests/rtf/fuzz/rtf_invariants.h"
#include "tests/rtf/rtf_test_support.h"

namespace paipan::rtf {
namespace {

const std::vector<std::string> kSampleFiles = {"word_gbk.rtf", "wordpad_unicode.rtf",
                                               "truncated_group.rtf", "truncated_word.rtf",
                                               "not_rtf.txt"};

// Pieces of RTF that make mutations reach the reader's corners.
const std::vector<std::string> kFragments = {
    "{", "}", "\\", "\\'", "\\'c7", "\\u-", "\\u55357?", "\\uc9", "{\\*", "\\bin9 ",
    "\\fonttbl", "\\colortbl", "\\f", "\\fs-", ";", "\\par", "\\ansicpg936", "\\ansicpg65001"};

std::string Mutate(std::string bytes, std::mt19937& random) {
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int e = 0; e < edits; ++e) {
        const std::size_t at = bytes.empty() ? 0 : random() % (bytes.size() + 1);
        switch (random() % 4) {
        case 0:
            if (at < bytes.size()) bytes[at] = static_cast<char>(random() % 256);
            break;
        case 1: bytes.insert(at, kFragments[random() % kFragments.size()]); break;
        case 2: bytes.erase(at, random() % 16); break;
        default: bytes.resize(at); break;  // cut off
        }
    }
    return bytes;
}

TEST(RtfRobustness, Utf8CheckRejectsIllFormedText) {
    for (const std::string bad : {"\xf9\xb9\xb9\xb9\xb9", "\xed\xa0\x80", "\xc0\xaf", "\xe6\x99", "\x80"}) {
        EXPECT_FALSE(testing::IsWellFormedUtf8(bad)) << bad;
    }
    EXPECT_TRUE(testing::IsWellFormedUtf8("晴\U00020000\uFFFF\u0080a"));
}

TEST(RtfRobustness, SamplesAndMutationsKeepTheInvariants) {
    std::mt19937 random(20240301);  // fixed: the same inputs every run
    std::vector<std::string> inputs;
    for (const std::string& file : kSampleFiles) {
        const std::string bytes = ReadSample(file);
        ASSERT_FALSE(bytes.empty()) << file;
        inputs.push_back(bytes);
        for (int k = 0; k < 600; ++k) {
            inputs.push_back(Mutate(bytes, random));
        }
    }
    for (int k = 0; k < 500; ++k) {
        std::string bytes = "{\\rtf1";
        const std::size_t length = random() % 300;
        for (std::size_t i = 0; i < length; ++i) bytes.push_back(static_cast<char>(random() % 256));
        inputs.push_back(bytes);
    }
    int failures = 0;
    for (const std::string& bytes : inputs) {
        const std::string error = testing::CheckReader(bytes);
        if (!error.empty() && ++failures <= 5) {
            ADD_FAILURE() << error << " for input of " << bytes.size() << " bytes: " << bytes;
        }
    }
    EXPECT_EQ(failures, 0);
}

}  // namespace
}  // namespace paipan::rtf
