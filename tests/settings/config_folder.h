// The folder of the file stores' tests: a fresh one under /tmp for each test,
// removed with all it holds afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

class ConfigFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/zarvo-settings-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }
    // The file `name` of the stores' folder "zarvo", made with exactly these bytes.
    void WriteFile(const std::string& name, const void* bytes, size_t size) {
        std::error_code ignored;
        std::filesystem::create_directories(directory + "/zarvo", ignored);
        FILE* file = std::fopen((directory + "/zarvo/" + name).c_str(), "wb");
        ASSERT_NE(file, nullptr);
        if (size > 0) std::fwrite(bytes, 1, size, file);
        std::fclose(file);
    }
    std::string directory;
};
