#include "app/LangTables.h"

#include "platform/gui/Layout.h"

namespace kv {

std::string LangTextIn(const TStrings& table, std::string_view key) {
    const int i = table.IndexOf(key);
    // A missing key reads the first line, as the tables always have; a key with nothing after it
    // must not read past the end.
    const int text = i + 1;
    if (text >= table.Count())
        return {};
    return table[text];
}

LangTables LangTables::Builtin() {
    LangTables t;
    for (const auto& [language, file] :
         {std::pair{kLangEnglish, "texts/english.txt"}, std::pair{kLangChineseGB, "texts/chinese.txt"}}) {
        const std::vector<std::uint8_t> bytes = ResourceBytes(file);
        t.SetTable(language, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    return t;
}

void LangTables::SetTable(std::string_view language, std::string_view text) {
    auto lines = std::make_unique<TStrings>();
    lines->SetText(text);
    tables_[std::string(language)] = std::move(lines);
}

const TStrings* LangTables::Table(std::string_view language) const {
    const auto it = tables_.find(language);
    return it == tables_.end() ? nullptr : it->second.get();
}

std::string LangTables::GetLangText(std::string_view language, std::string_view key) const {
    const TStrings* table = Table(language);
    if (!table)
        table = Table(kLangEnglish);
    return table ? LangTextIn(*table, key) : std::string();
}

} // namespace kv
