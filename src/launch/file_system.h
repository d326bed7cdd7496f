#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kavo {

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Name of the first ordinary file matching path, or "" when there is none. Directories,
    // hidden and system files do not count; read-only files do.
    virtual std::string findOrdinaryFile(const std::string& path) = 0;

    // Creates or truncates path and writes bytes exactly. False when opening, any write or the
    // close failed.
    virtual bool writeWhole(const std::string& path, std::string_view bytes) = 0;

    // Opens path for reading and writing, creating it empty when missing and never truncating
    // it, then closes it. False when the file could not be opened or created.
    virtual bool openOrCreate(const std::string& path) = 0;

    // Size in bytes of an existing ordinary file, opened read-only; nullopt when it cannot be
    // opened or is not a file. Never creates anything.
    virtual std::optional<std::uint64_t> fileSize(const std::string& path) = 0;

    // Path of the entry in directory (a directory text ending in a separator) whose name equals
    // name ignoring letter case, as spelled on disk; directory + name when none matches.
    virtual std::string resolveNameCase(const std::string& directory, std::string_view name) = 0;
};

} // namespace kavo
