#pragma once
// A small INI file: sections of "Key=Value" lines, read whole on open and written whole on every
// change, as the old framework's INI file object did through the private-profile functions.

#include <string>
#include <utility>
#include <vector>

namespace kv {

class TIniFile {
public:
    explicit TIniFile(std::string fileName);
    const std::string& FileName() const { return FFileName; }
    // Section and key names are compared ignoring case. Values are kept whole, whatever their length.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    // A value that is not a decimal or $hex integer gives the default.
    long long ReadInteger(const std::string& section, const std::string& key, long long def) const;
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, long long value);
    bool ValueExists(const std::string& section, const std::string& key) const;
    // Raises EKvError when the file cannot be written.
    void UpdateFile() const;

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> values;
    };
    const std::string* Find(const std::string& section, const std::string& key) const;
    std::string FFileName;
    std::vector<Section> FSections;
};

} // namespace kv
