#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace kavo::test {

// A directory of its own for one test, removed afterwards.
class TempDir {
public:
    TempDir() {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("kavo-picker-" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }

    std::filesystem::path file(const std::string& name, std::size_t size = 0) const {
        const auto p = path_ / name;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << std::string(size, 'x');
        return p;
    }
    std::filesystem::path dir(const std::string& name) const {
        const auto p = path_ / name;
        std::filesystem::create_directories(p);
        return p;
    }

private:
    std::filesystem::path path_;
};

} // namespace kavo::test
