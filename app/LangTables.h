#pragma once
// The user-interface text tables. A table is a list of lines: "//" comment lines between sections, and
// for every text a key line (SID_...) followed by the text line, taken exactly as it stands. The
// program ships an English and a Simplified Chinese table (resources/texts/); the main window's layout
// holds the same lines in its two hidden memos.

#include "platform/core/Classes.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace kv {

// The names the language menu sets as the current language.
inline constexpr std::string_view kLangEnglish = "English";
inline constexpr std::string_view kLangChineseGB = "ChineseGB";
inline constexpr std::string_view kLangChineseBIG5 = "ChineseBIG5";

// The text of `key` in one table: the line after the first line equal to the key, letter case ignored.
// A key the table lacks gives the table's first line; a key on the table's last line has no text line
// after it and gives empty text.
std::string LangTextIn(const TStrings& table, std::string_view key);

class LangTables {
public:
    LangTables() = default;
    LangTables(LangTables&&) = default;
    LangTables& operator=(LangTables&&) = default;

    // The tables the program ships: "English" and "ChineseGB", read from the embedded resources.
    static LangTables Builtin();

    // Sets the table of `language` (its name compared exactly) from text split into lines.
    void SetTable(std::string_view language, std::string_view text);
    // The table of `language`, null when there is none.
    const TStrings* Table(std::string_view language) const;

    // The text of `key` under `language`. A language without a table of its own (there is no
    // "ChineseBIG5" table) reads the English one, so the interface never goes blank; empty text when
    // there is no English table either.
    std::string GetLangText(std::string_view language, std::string_view key) const;

private:
    std::map<std::string, std::unique_ptr<TStrings>, std::less<>> tables_;
};

// The text of `key` in the main window's current language, as every dialog takes its texts when it is
// shown; the built-in English table while there is no main window (a dialog made on its own).
std::string UiText(std::string_view key);

// The component `name` of `root` when it is a T, else null: the dialogs bind their controls by name
// once their layout is loaded.
template <class T> T* FindAs(const TComponent& root, std::string_view name) {
    return dynamic_cast<T*>(root.FindComponent(name));
}

} // namespace kv
