#include "RegistryExport.h"

#include "RegistryValueText.h"

#include <cstdio>
#include <vector>

namespace {

std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (const char ch : text) {
        if (ch == '\\' || ch == '"') {
            quoted += '\\';
        }
        quoted += ch;
    }
    return quoted + '"';
}

// A text that the quoted form can carry: one NUL at its end and no line breaks.
bool IsPlainText(const std::vector<BYTE>& data) {
    if (data.empty() || data.back() != 0) {
        return false;
    }
    for (std::size_t i = 0; i + 1 < data.size(); ++i) {
        if (data[i] == 0 || data[i] == '\n' || data[i] == '\r') {
            return false;
        }
    }
    return true;
}

std::string ExportData(const NamedValue& value) {
    if (value.type == REG_SZ && IsPlainText(value.data)) {
        return Quoted(std::string(value.data.begin(), value.data.end() - 1));
    }
    if (value.type == REG_DWORD && value.data.size() == 4) {
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08x",
                      static_cast<unsigned>(value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                                            static_cast<unsigned>(value.data[3]) << 24));
        return text;
    }
    if (value.type == REG_BINARY) {
        return "hex:" + HexBytes(value.data, ',');
    }
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(value.type));
    return prefix + HexBytes(value.data, ',');
}

} // namespace

std::string ExportValueLine(const NamedValue& value) {
    return (value.name.empty() ? "@" : Quoted(value.name)) + "=" + ExportData(value);
}

LONG ExportKey(const RegistryKeyName& key, std::ostream& out) {
    HKEY handle = nullptr;
    LONG result = RegOpenKeyExA(key.root, key.path.c_str(), 0, KEY_READ, &handle);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    std::vector<NamedValue> values;
    std::vector<std::string> subKeys;
    result = ListValues(handle, values);
    if (result == ERROR_SUCCESS) {
        result = ListSubKeys(handle, subKeys);
    }
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    out << '[' << key.FullName() << "]\n";
    for (const NamedValue& value : values) {
        out << ExportValueLine(value) << '\n';
    }
    out << '\n';
    for (const std::string& subKey : subKeys) {
        RegistryKeyName child = key;
        child.path = key.path.empty() ? subKey : key.path + '\\' + subKey;
        // A sub-key deleted by another process since it was listed is simply not there.
        result = ExportKey(child, out);
        if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) {
            return result;
        }
    }
    return ERROR_SUCCESS;
}
