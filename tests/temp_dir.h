#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace kavo::test {

// A fresh directory, removed with everything in it (made writable first) at the end of the test.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kavo-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    std::string str() const { return path_; }
    // Directory text: ends in exactly one separator.
    std::string dir() const { return path_ + "/"; }
    // A file with its directories; a name ending in "/" makes a directory.
    std::string file(const std::string& name, const std::string& content = {}) const {
        const std::string path = dir() + name;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        if (!name.ends_with('/'))
            std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    std::string mkdir(const std::string& name) const { return file(name + "/"), dir() + name; }

private:
    std::string path_;
};

inline std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace kavo::test
