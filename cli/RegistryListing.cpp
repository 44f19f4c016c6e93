#include "RegistryListing.h"

namespace {

// Big enough for any name the store keeps; a longer one is reported as ERROR_MORE_DATA.
constexpr DWORD kNameBufferSize = 16384;

} // namespace

LONG ListValues(HKEY key, std::vector<NamedValue>& values) {
    values.clear();
    std::string name(kNameBufferSize, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = kNameBufferSize;
        DWORD dataSize = 0;
        NamedValue value;
        LONG result =
            RegEnumValueA(key, index, name.data(), &nameSize, nullptr, &value.type, nullptr, &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) {
            return ERROR_SUCCESS;
        }
        if (result != ERROR_SUCCESS) {
            return result;
        }
        value.name.assign(name.data(), nameSize);
        // Read by name rather than by index again, so that the data matches the name even if
        // another process changes the key in between.
        result = QueryValue(key, value.name, value);
        if (result == ERROR_SUCCESS) {
            values.push_back(std::move(value));
        } else if (result != ERROR_FILE_NOT_FOUND) {
            return result;
        }
    }
}

LONG ListSubKeys(HKEY key, std::vector<std::string>& names) {
    names.clear();
    std::string name(kNameBufferSize, '\0');
    for (DWORD index = 0;; ++index) {
        const LONG result = RegEnumKeyA(key, index, name.data(), kNameBufferSize);
        if (result == ERROR_NO_MORE_ITEMS) {
            return ERROR_SUCCESS;
        }
        if (result != ERROR_SUCCESS) {
            return result;
        }
        names.emplace_back(name.c_str());
    }
}

LONG QueryValue(HKEY key, const std::string& name, NamedValue& value) {
    // The value may grow between asking for its size and reading it; then ask again.
    for (;;) {
        DWORD size = 0;
        LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &value.type, nullptr, &size);
        if (result != ERROR_SUCCESS) {
            return result;
        }
        value.data.assign(size, 0);
        result = RegQueryValueExA(key, name.c_str(), nullptr, &value.type, value.data.data(), &size);
        if (result != ERROR_MORE_DATA) {
            value.name = name;
            value.data.resize(size);
            return result;
        }
    }
}
