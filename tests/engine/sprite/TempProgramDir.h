#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/ProgramDirectory.h"

namespace fairholm::test {

// A fresh program directory for one test, removed afterwards.
class TempProgramDir : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> serial{0};
        dir = std::filesystem::temp_directory_path() /
              ("fairholm-sprite-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
        std::filesystem::create_directories(dir);
        ASSERT_TRUE(ProgramDirectory::set(dir.c_str()));
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    void writeFile(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::FILE* f = std::fopen((dir / name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        if (!bytes.empty()) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
        }
        std::fclose(f);
    }

    std::filesystem::path dir;
};

}  // namespace fairholm::test
