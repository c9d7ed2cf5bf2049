#include "styled/gdiplus/IniFile.h"

#include "platform/core/Classes.h"
#include "platform/core/FileIO.h"
#include "platform/core/Numbers.h"

#include <charconv>

namespace kv {

TIniFile::TIniFile(std::string fileName) : FFileName(std::move(fileName)) {
    const auto text = ReadFileBytes(FFileName, std::size_t(256) << 20);
    if (!text)
        return;
    Section* current = nullptr;
    std::string_view rest(*text);
    while (!rest.empty()) {
        const auto nl = rest.find('\n');
        const std::string line = std::string(TrimOf(rest.substr(0, nl), kBlankTabCr));
        rest = nl == std::string_view::npos ? std::string_view() : rest.substr(nl + 1);
        if (line.empty() || line[0] == ';')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            FSections.push_back({line.substr(1, line.size() - 2), {}});
            current = &FSections.back();
            continue;
        }
        const auto eq = line.find('=');
        if (!current || eq == std::string::npos)
            continue;
        current->values.emplace_back(std::string(TrimOf(std::string_view(line).substr(0, eq), kBlankTabCr)),
                                     line.substr(eq + 1));
    }
}

const std::string* TIniFile::Find(const std::string& section, const std::string& key) const {
    for (const Section& s : FSections)
        if (SameText(s.name, section))
            for (const auto& kv : s.values)
                if (SameText(kv.first, key))
                    return &kv.second;
    return nullptr;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& def) const {
    const std::string* v = Find(section, key);
    return v ? *v : def;
}

long long TIniFile::ReadInteger(const std::string& section, const std::string& key, long long def) const {
    const std::string* v = Find(section, key);
    if (!v || v->empty())
        return def;
    std::string_view s(*v);
    int base = 10;
    bool neg = false;
    if (s[0] == '-') {
        neg = true;
        s.remove_prefix(1);
    }
    if (!s.empty() && s[0] == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    long long out = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out, base);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size() || s.empty())
        return def;
    return neg ? -out : out;
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
    return Find(section, key) != nullptr;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    Section* target = nullptr;
    for (Section& s : FSections)
        if (SameText(s.name, section))
            target = &s;
    if (!target) {
        FSections.push_back({section, {}});
        target = &FSections.back();
    }
    bool found = false;
    for (auto& kv : target->values)
        if (SameText(kv.first, key)) {
            kv.second = value;
            found = true;
        }
    if (!found)
        target->values.emplace_back(key, value);
    UpdateFile();
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, long long value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::UpdateFile() const {
    std::string text;
    for (const Section& s : FSections) {
        text += "[" + s.name + "]\r\n";
        for (const auto& kv : s.values)
            text += kv.first + "=" + kv.second + "\r\n";
        text += "\r\n";
    }
    std::string error;
    if (!WriteFileAtomic(FFileName, text, &error))
        throw EKvError("Cannot write \"" + FFileName + "\". " + error);
}

} // namespace kv
