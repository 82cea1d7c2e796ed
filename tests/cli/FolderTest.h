#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

// Every test works on files in a folder of its own, removed after it.
class FolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "qxr-cli-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    const std::filesystem::path& Folder() const { return dir_; }
    std::filesystem::path Path(const std::string& name) const { return dir_ / name; }

private:
    std::filesystem::path dir_;
};
