#pragma once
// Recording fakes of the core's platform interfaces.

#include "common/message_sink.h"
#include "launch/file_system.h"
#include "launch/process_starter.h"
#include "launch/short_path.h"
#include "picker/directory_source.h"
#include "remote/keyboard.h"
#include "remote/window_activator.h"
#include "settings/settings_store.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace kavo::fake {

// Writes are logged as "app|section|key|value".
class Store : public SettingsStore {
public:
    std::string get(std::string_view app, std::string_view section, std::string_view key) override {
        reads.emplace_back(key);
        return value(key, app, section);
    }
    bool save(std::string_view app, std::string_view section, std::string_view key,
              std::string_view value) override {
        writes.push_back(std::string(app) + "|" + std::string(section) + "|" + std::string(key) +
                         "|" + std::string(value));
        return put(key, value, app, section), true;
    }
    void put(std::string_view key, std::string_view value, std::string_view app = kSettingsApp,
             std::string_view section = kSettingsSection) {
        entries[{std::string(app), std::string(section), std::string(key)}] = value;
    }
    std::string value(std::string_view key, std::string_view app = kSettingsApp,
                      std::string_view section = kSettingsSection) const {
        auto it = entries.find({std::string(app), std::string(section), std::string(key)});
        return it == entries.end() ? std::string() : it->second;
    }

    std::map<std::tuple<std::string, std::string, std::string>, std::string> entries;
    std::vector<std::string> reads, writes;
};

class Messages : public MessageSink {
public:
    struct Shown {
        std::string text, title;
        MessageIcon icon;
        bool operator==(const Shown&) const = default;
    };
    void show(std::string_view text, std::string_view title, MessageIcon icon) override {
        shown.push_back({std::string(text), std::string(title), icon});
    }
    std::vector<Shown> shown;
};

// An in-memory file system with a call log.
class Files : public FileSystem {
public:
    std::string findOrdinaryFile(const std::string& path) override {
        calls.push_back("find " + path);
        if (!files.contains(path) || hidden.contains(path))
            return {};
        return path.substr(path.find_last_of("/\\") + 1); // npos + 1: all of it
    }
    bool writeWhole(const std::string& path, std::string_view bytes) override {
        calls.push_back("write " + path);
        return !unwritable.contains(path) && (files[path] = bytes, true);
    }
    bool openOrCreate(const std::string& path) override {
        calls.push_back("open " + path);
        return !unwritable.contains(path) && (files.try_emplace(path), true);
    }
    std::optional<std::uint64_t> fileSize(const std::string& path) override {
        calls.push_back("size " + path);
        return files.contains(path) ? std::optional(files[path].size()) : std::nullopt;
    }
    std::string resolveNameCase(const std::string& directory, std::string_view name) override {
        for (const auto& [path, content] : files)
            if (path.size() == directory.size() + name.size() && path.starts_with(directory) &&
                std::equal(name.begin(), name.end(), path.begin() + directory.size(),
                           [](char a, char b) { return std::tolower(a) == std::tolower(b); }))
                return path;
        return directory + std::string(name);
    }

    std::map<std::string, std::string> files;
    std::set<std::string> hidden, unwritable;
    std::vector<std::string> calls;
};

// Short form: the long path upper-cased with blanks removed, unless listed in shortForms.
class ShortPaths : public ShortPathApi {
public:
    void getShortPathName(const std::string& longPath, std::span<char> buffer) override {
        calls.push_back(longPath);
        std::string result = longPath;
        std::erase(result, ' ');
        std::ranges::transform(result, result.begin(),
                               [](unsigned char c) { return std::toupper(c); });
        if (auto it = shortForms.find(longPath); it != shortForms.end())
            result = it->second;
        if (!failing.contains(longPath) && result.size() < buffer.size()) // room for the NUL
            std::memcpy(buffer.data(), result.c_str(), result.size() + 1);
    }
    std::map<std::string, std::string> shortForms;
    std::set<std::string> failing;
    std::vector<std::string> calls;
};

class Starter : public ProcessStarter {
public:
    std::error_code start(const CommandLine& command) override {
        started.push_back(command);
        return result;
    }
    std::optional<std::int64_t> newestDosMachine() const override { return dosMachine; }
    std::vector<CommandLine> started;
    std::error_code result;
    std::optional<std::int64_t> dosMachine;
};

// Windows' answers for the characters the tests use (high byte: Shift 1, Ctrl 2, Alt 4); any
// other is absent, all ones.
class Layout : public KeyboardLayout {
public:
    std::int16_t vkKeyScan(std::uint8_t c) override {
        return keys.contains(c) ? keys[c].first : -1;
    }
    std::uint8_t charToOem(std::uint8_t c) override { return c; }
    std::uint32_t oemKeyScan(std::uint16_t c) override {
        return keys.contains(c) ? keys[c].second : 0xFFFFFFFFu;
    }
    std::uint32_t mapVirtualKey(std::uint32_t code, std::uint32_t mode) override {
        return code == kVkShift && mode == 0 ? 0x2A : 0;
    }
    std::map<std::uint16_t, std::pair<std::int16_t, std::uint32_t>> keys{
        {'q', {0x51, 0x10}},     {'5', {0x35, 0x06}},     {'-', {0xBD, 0x0C}},
        {'+', {0x1BB, 0x1000D}}, {'@', {0x632, 0x60003}}, // Ctrl+Alt, as on some layouts
        {'~', {0x7C0, 0x70029}}, {0xE9, {0xDE, 0x28}}};
};

class Injector : public KeyInjector {
public:
    void inject(const KeyEvent& event) override { events.push_back(event); }
    void flush() override { ++flushes; }
    std::vector<KeyEvent> events;
    int flushes = 0;
};

class Windows : public WindowActivator {
public:
    bool activate(std::string_view title) override {
        return log.push_back("activate " + std::string(title)), playerPresent;
    }
    bool activateDosMachine(std::int64_t pid) override {
        return log.push_back("activate DOSBox " + std::to_string(pid)), playerPresent;
    }
    bool activateApplication() override { return log.emplace_back("activate self"), selfPresent; }
    bool playerPresent = true, selfPresent = true;
    std::vector<std::string> log;
};

// Directories by path; a path listed in unreadable is there but cannot be read.
struct Directories : DirectorySource {
    std::optional<DirectoryListing> list(const std::string& directory) override {
        if (!tree.contains(directory) || unreadable.contains(directory))
            return std::nullopt;
        return tree.at(directory);
    }
    std::string currentDirectory() override { return current; }
    std::vector<Drive> drives() override { return driveList; }
    std::string driveDirectory(const Drive& drive) override { return drive.root; }

    std::map<std::string, DirectoryListing> tree;
    std::set<std::string> unreadable;
    std::string current;
    std::vector<Drive> driveList;
};

} // namespace kavo::fake
