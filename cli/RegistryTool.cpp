#include "RegistryTool.h"

#include "RegistryExport.h"
#include "RegistryKeyName.h"
#include "RegistryListing.h"
#include "RegistryValueText.h"

#include <optional>

namespace {

constexpr char kUsage[] =
    "usage: larkspur-reg query KEY [NAME]\n"
    "       larkspur-reg set KEY NAME [--type REG_SZ|REG_EXPAND_SZ|REG_DWORD|REG_BINARY] DATA\n"
    "       larkspur-reg delete KEY [NAME]\n"
    "       larkspur-reg export [KEY]\n"
    "KEY is HKCU, HKCR or HKLM (or HKEY_CURRENT_USER, ...), then '\\' and a path;\n"
    "NAME \"\" is the key's default value.\n";

std::string Describe(LONG result) {
    switch (result) {
    case ERROR_ACCESS_DENIED:
        return "access denied";
    case ERROR_BAD_PATHNAME:
        return "the key path has an empty name in it";
    case ERROR_KEY_DELETED:
        return "the key was deleted meanwhile";
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
        return "the registry database could not be used";
    default:
        return "error " + std::to_string(result);
    }
}

class Tool {
public:
    Tool(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

    int Usage(const std::string& problem) {
        m_err << "larkspur-reg: " << problem << '\n' << kUsage;
        return kToolUsageError;
    }

    // Reports a failed call on `what` and gives the exit status for it.
    int Failure(LONG result, const std::string& what) {
        if (result == ERROR_FILE_NOT_FOUND) {
            m_err << "larkspur-reg: " << what << " does not exist\n";
        } else {
            m_err << "larkspur-reg: " << what << ": " << Describe(result) << '\n';
        }
        return result == ERROR_BAD_PATHNAME ? kToolUsageError : kToolFailed;
    }

    std::optional<RegistryKeyName> Key(const std::string& text) {
        std::optional<RegistryKeyName> key = ParseRegistryKeyName(text);
        if (!key) {
            Usage("\"" + text + "\" does not start with HKCU, HKCR or HKLM");
        }
        return key;
    }

    int Query(const RegistryKeyName& key, const std::optional<std::string>& valueName) {
        HKEY handle = nullptr;
        LONG result = RegOpenKeyExA(key.root, key.path.c_str(), 0, KEY_READ, &handle);
        if (result != ERROR_SUCCESS) {
            return Failure(result, "the key " + key.FullName());
        }
        int status = kToolSucceeded;
        if (valueName) {
            NamedValue value;
            result = QueryValue(handle, *valueName, value);
            if (result == ERROR_SUCCESS) {
                m_out << DisplayData(value.type, value.data) << '\n';
            } else {
                status = Failure(result, "the value \"" + *valueName + "\" of " + key.FullName());
            }
        } else {
            status = List(key, handle);
        }
        RegCloseKey(handle);
        return status;
    }

    int Set(const RegistryKeyName& key, const std::string& valueName, DWORD type, const std::string& text) {
        const std::optional<std::vector<BYTE>> data = ParseData(type, text);
        if (!data) {
            return Usage("\"" + text + "\" is no " + TypeName(type) + " value");
        }
        HKEY handle = nullptr;
        LONG result = RegCreateKeyExA(key.root, key.path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      KEY_READ | KEY_WRITE, nullptr, &handle, nullptr);
        if (result != ERROR_SUCCESS) {
            return Failure(result, "the key " + key.FullName());
        }
        result = RegSetValueExA(handle, valueName.c_str(), 0, type, data->data(),
                                static_cast<DWORD>(data->size()));
        RegCloseKey(handle);
        return result == ERROR_SUCCESS
                   ? kToolSucceeded
                   : Failure(result, "the value \"" + valueName + "\" of " + key.FullName());
    }

    int Delete(const RegistryKeyName& key, const std::optional<std::string>& valueName) {
        if (!valueName) {
            if (key.path.empty()) {
                return Usage("a root cannot be deleted");
            }
            const LONG result = RegDeleteTreeA(key.root, key.path.c_str());
            return result == ERROR_SUCCESS ? kToolSucceeded : Failure(result, "the key " + key.FullName());
        }
        HKEY handle = nullptr;
        LONG result = RegOpenKeyExA(key.root, key.path.c_str(), 0, KEY_READ | KEY_WRITE, &handle);
        if (result != ERROR_SUCCESS) {
            return Failure(result, "the key " + key.FullName());
        }
        result = RegDeleteValueA(handle, valueName->c_str());
        RegCloseKey(handle);
        return result == ERROR_SUCCESS
                   ? kToolSucceeded
                   : Failure(result, "the value \"" + *valueName + "\" of " + key.FullName());
    }

    int Export(const std::optional<RegistryKeyName>& key) {
        m_out << kExportHeader << "\n\n";
        if (key) {
            const LONG result = ExportKey(*key, m_out);
            return result == ERROR_SUCCESS ? kToolSucceeded : Failure(result, "the key " + key->FullName());
        }
        for (int index = 0; const std::optional<RegistryKeyName> root = StoredRoot(index); ++index) {
            if (const LONG result = ExportKey(*root, m_out); result != ERROR_SUCCESS) {
                return Failure(result, root->FullName());
            }
        }
        return kToolSucceeded;
    }

private:
    int List(const RegistryKeyName& key, HKEY handle) {
        std::vector<NamedValue> values;
        std::vector<std::string> subKeys;
        LONG result = ListValues(handle, values);
        if (result == ERROR_SUCCESS) {
            result = ListSubKeys(handle, subKeys);
        }
        if (result != ERROR_SUCCESS) {
            return Failure(result, "the key " + key.FullName());
        }
        m_out << key.FullName() << '\n';
        for (const NamedValue& value : values) {
            m_out << "    " << (value.name.empty() ? "(Default)" : value.name) << "    "
                  << TypeName(value.type) << "    " << DisplayData(value.type, value.data) << '\n';
        }
        for (const std::string& subKey : subKeys) {
            m_out << '\n' << key.FullName() << '\\' << subKey;
        }
        m_out << (subKeys.empty() ? "" : "\n");
        return kToolSucceeded;
    }

    std::ostream& m_out;
    std::ostream& m_err;
};

// The positional arguments, with "--type TYPE" (or "--type=TYPE") taken out; "--" ends the options.
struct CommandLine {
    std::vector<std::string> positional;
    std::optional<std::string> type;
    std::optional<std::string> problem;
};

CommandLine SplitOptions(const std::vector<std::string>& arguments) {
    CommandLine line;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-' || argument[1] != '-') {
            line.positional.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--type" && i + 1 < arguments.size()) {
            line.type = arguments[++i];
        } else if (argument.starts_with("--type=")) {
            line.type = argument.substr(7);
        } else {
            line.problem = "unknown option " + argument;
        }
    }
    return line;
}

} // namespace

int RunRegistryTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    Tool tool(out, err);
    if (!arguments.empty() && (arguments[0] == "--help" || arguments[0] == "-h")) {
        out << kUsage;
        return kToolSucceeded;
    }
    const CommandLine line = SplitOptions(arguments);
    if (line.problem) {
        return tool.Usage(*line.problem);
    }
    const std::vector<std::string>& words = line.positional;
    if (words.empty()) {
        return tool.Usage("no command given");
    }
    const std::string& command = words[0];
    const std::size_t count = words.size() - 1;
    if (line.type && command != "set") {
        return tool.Usage("--type belongs to set");
    }
    const auto optionalWord = [&](std::size_t index) {
        return index < words.size() ? std::optional<std::string>(words[index]) : std::nullopt;
    };

    if (command == "export" && count <= 1) {
        if (count == 0) {
            return tool.Export(std::nullopt);
        }
        const std::optional<RegistryKeyName> key = tool.Key(words[1]);
        return key ? tool.Export(key) : kToolUsageError;
    }
    if ((command == "query" || command == "delete") && (count == 1 || count == 2)) {
        const std::optional<RegistryKeyName> key = tool.Key(words[1]);
        if (!key) {
            return kToolUsageError;
        }
        return command == "query" ? tool.Query(*key, optionalWord(2)) : tool.Delete(*key, optionalWord(2));
    }
    if (command == "set" && count == 3) {
        const std::optional<RegistryKeyName> key = tool.Key(words[1]);
        if (!key) {
            return kToolUsageError;
        }
        const std::optional<DWORD> type =
            line.type ? ParseSettableType(*line.type) : std::optional<DWORD>(REG_SZ);
        if (!type) {
            return tool.Usage("unknown type " + *line.type);
        }
        return tool.Set(*key, words[2], *type, words[3]);
    }
    if (command == "query" || command == "set" || command == "delete" || command == "export") {
        return tool.Usage("wrong number of arguments for " + command);
    }
    return tool.Usage("unknown command " + command);
}
