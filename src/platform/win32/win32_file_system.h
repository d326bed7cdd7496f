#pragma once

#include "launch/file_system.h"

namespace kavo {

// Files through the wide-character API; paths are UTF-8. Names are not case-sensitive here.
class Win32FileSystem : public FileSystem {
public:
    std::string findOrdinaryFile(const std::string& path) override;
    bool writeWhole(const std::string& path, std::string_view bytes) override;
    bool openOrCreate(const std::string& path) override;
    std::optional<std::uint64_t> fileSize(const std::string& path) override;
    std::string resolveNameCase(const std::string& directory, std::string_view name) override;
};

} // namespace kavo
