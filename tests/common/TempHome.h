// What the store's and the journal's tests share: a fresh HOME for each test, removed afterwards,
// and reading a whole file as bytes.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

inline std::string readFile(const std::filesystem::path& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

class TempHome : public ::testing::Test {
 protected:
  void SetUp() override {
    home = std::filesystem::temp_directory_path() / ("gridfall-home-" + std::to_string(getpid()));
    std::filesystem::remove_all(home);
    std::filesystem::create_directories(home);
    const char* old = std::getenv("HOME");
    oldHome = old == nullptr ? "" : old;
    setenv("HOME", home.c_str(), 1);
  }
  void TearDown() override {
    setenv("HOME", oldHome.c_str(), 1);
    std::filesystem::remove_all(home);
  }

  std::filesystem::path home;
  std::string oldHome;
};
