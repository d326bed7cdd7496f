#include "platform/win32/registry_settings_store.h"

#include "platform/win32/wide_text.h"

#include <optional>
#include <windows.h>

namespace kavo {

namespace {

class KeyHandle {
public:
    KeyHandle() = default;
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    ~KeyHandle() {
        if (key_ != nullptr)
            RegCloseKey(key_);
    }
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// A name with a backslash would address another key than the one asked for.
std::optional<std::wstring> keyName(std::string_view name) {
    if (name.empty() || name.find('\\') != std::string_view::npos)
        return std::nullopt;
    return win32::toWidePath(name);
}

std::optional<std::wstring> subkeyPath(const std::wstring& root, std::string_view app,
                                       std::string_view section) {
    auto appName = keyName(app);
    auto sectionName = keyName(section);
    if (!appName || !sectionName)
        return std::nullopt;
    return root + L'\\' + *appName + L'\\' + *sectionName;
}

} // namespace

std::string RegistrySettingsStore::get(std::string_view app, std::string_view section,
                                       std::string_view key) {
    const auto subkey = subkeyPath(root_, app, section);
    const auto name = win32::toWidePath(key);
    if (!subkey || !name)
        return {};
    KeyHandle handle;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subkey->c_str(), 0, KEY_QUERY_VALUE, handle.out()) !=
        ERROR_SUCCESS)
        return {};

    std::wstring data;
    DWORD type = 0;
    LSTATUS status = ERROR_MORE_DATA;
    while (status == ERROR_MORE_DATA) {
        DWORD bytes = 0;
        status = RegQueryValueExW(handle.get(), name->c_str(), nullptr, &type, nullptr, &bytes);
        if (status != ERROR_SUCCESS)
            break;
        data.assign(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        status = RegQueryValueExW(handle.get(), name->c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &bytes);
        if (status == ERROR_SUCCESS)
            data.resize(bytes / sizeof(wchar_t));
    }
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    // Stored with its terminator; a NUL before it belongs to the value.
    if (!data.empty() && data.back() == L'\0')
        data.pop_back();
    return win32::toUtf8(data);
}

bool RegistrySettingsStore::save(std::string_view app, std::string_view section,
                                 std::string_view key, std::string_view value) {
    const auto subkey = subkeyPath(root_, app, section);
    const auto name = win32::toWidePath(key);
    const auto data = win32::toWide(value);
    if (!subkey || !name || !data)
        return false;
    const std::size_t bytes = (data->size() + 1) * sizeof(wchar_t);
    if (bytes > MAXDWORD)
        return false;
    KeyHandle handle;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, subkey->c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, handle.out(), nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(handle.get(), name->c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data->c_str()),
                          static_cast<DWORD>(bytes)) == ERROR_SUCCESS;
}

} // namespace kavo
