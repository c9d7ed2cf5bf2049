#include "plot/gPropText.h"

#include "plot/gClasses.h"

#include "platform/core/CodePage.h"
#include "platform/core/FileIO.h"
#include "platform/core/Numbers.h"

#include <QLocale>

#include <atomic>
#include <charconv>

namespace kv {

namespace {
std::atomic<char> gFixedSeparator{0};

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string ReplaceAll(std::string s, std::string_view from, std::string_view to) {
    for (std::size_t pos = s.find(from); pos != std::string::npos; pos = s.find(from, pos + to.size()))
        s.replace(pos, from.size(), to);
    return s;
}
} // namespace

std::string gTrimText(std::string_view t) {
    while (!t.empty() && IsBlank(t.front()))
        t.remove_prefix(1);
    while (!t.empty() && IsBlank(t.back()))
        t.remove_suffix(1);
    return std::string(t);
}

char gLocaleDecimalSeparator() {
    if (char c = gFixedSeparator.load())
        return c;
    QString point = QLocale::system().decimalPoint();
    return point == QStringLiteral(",") ? ',' : '.';
}

void gSetLocaleDecimalSeparator(char separator) {
    gFixedSeparator = separator;
}

std::string gFloatToPropertyText(double value, char separator) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    std::string text(buf, res.ptr);
    if (auto dot = text.find('.'); dot != std::string::npos)
        text[dot] = separator;
    return text;
}

void gWritePropertyText(TObject& object, std::string_view prefix, TStrings& lines, bool skipDefaults,
                        const TStrings* exclude) {
    char separator = gLocaleDecimalSeparator();
    std::string head = gTrimText(prefix);
    for (const auto& sp : object.ClassInfo().Props()) {
        const TPropInfo& p = *sp;
        if (!p.Writable() || !p.IsStored(object))
            continue;
        std::string full = head.empty() ? p.Name : std::string(prefix) + "." + p.Name;
        if (exclude && exclude->IndexOf(full) >= 0)
            continue;
        std::string value;
        switch (p.Kind) {
        case TTypeKind::tkInteger:
        case TTypeKind::tkChar:
        case TTypeKind::tkEnumeration:
        case TTypeKind::tkSet: {
            long long v = p.GetOrd(object);
            if (skipDefaults && p.HasDefault && v == p.Default)
                continue;
            value = FormatInt(v);
            break;
        }
        case TTypeKind::tkFloat:
            value = gFloatToPropertyText(p.GetFloat(object), separator);
            break;
        case TTypeKind::tkString:
            value = ReplaceAll(ReplaceAll(p.GetStr(object), "\r", "#13"), "\n", "#10");
            break;
        case TTypeKind::tkClass:
            // Owned sub-objects write their own lines; references to other components have no text.
            if (!p.IsReference)
                if (TPersistent* sub = p.GetObject(object))
                    gWritePropertyText(*sub, full, lines, skipDefaults, exclude);
            continue;
        default:
            continue;
        }
        lines.Add(full + " = " + value);
    }
}

void gSetPropertyText(TObject& object, std::string_view name, std::string_view value, char decimalSeparator) {
    if (auto dot = name.find('.'); dot != std::string_view::npos) {
        const TPropInfo* p = object.ClassInfo().FindProp(name.substr(0, dot));
        if (!p)
            return;
        if (p->Kind != TTypeKind::tkClass || p->IsReference)
            return;
        TPersistent* sub = p->GetObject(object);
        if (!sub)
            throw EConvertError("Property " + p->Name + " holds no object");
        gSetPropertyText(*sub, name.substr(dot + 1), value, decimalSeparator);
        return;
    }
    const TPropInfo* p = object.ClassInfo().FindProp(name);
    if (!p || !p->Writable())
        return;
    switch (p->Kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkChar:
    case TTypeKind::tkEnumeration:
    case TTypeKind::tkSet: {
        auto v = ParseInt(value);
        if (!v)
            throw EConvertError("'" + std::string(value) + "' is not a valid integer value");
        // An ordinal beyond the enumeration would reach code that indexes by it.
        if (p->Kind == TTypeKind::tkEnumeration &&
            (*v < 0 || *v >= static_cast<long long>(p->EnumNames.size())))
            throw EConvertError("'" + std::string(value) + "' is not a valid value for " + p->Name);
        p->SetOrd(object, *v);
        break;
    }
    case TTypeKind::tkFloat: {
        // Either separator is read: the file may come from a user whose locale differs from this one.
        std::string text(value);
        if (decimalSeparator == '.' || decimalSeparator == ',') {
            if (auto comma = text.find(','); comma != std::string::npos)
                text[comma] = '.';
        }
        auto v = ParseDouble(text);
        if (!v)
            throw EConvertError("'" + std::string(value) + "' is not a valid floating point value");
        p->SetFloat(object, *v);
        break;
    }
    case TTypeKind::tkString:
        p->SetStr(object, ReplaceAll(ReplaceAll(std::string(value), "#13", "\r"), "#10", "\n"));
        break;
    default:
        break;
    }
}

void gSplitNameValue(std::string_view text, std::string_view separator, std::string& name,
                     std::string& value) {
    auto pos = separator.empty() ? std::string_view::npos : text.find(separator);
    if (pos == std::string_view::npos) {
        name.clear();
        value.clear();
        return;
    }
    name = gTrimText(text.substr(0, pos));
    value = gTrimText(text.substr(pos + separator.size()));
}

void gStripPropertyPrefix(std::string_view prefix, std::string& name, std::string& head) {
    head.clear();
    if (prefix.empty())
        return;
    auto dot = name.find('.');
    std::string first = name.substr(0, dot);
    if (!SameText(first, prefix))
        return;
    head = first;
    name = dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

void gReadPropertyText(TObject& object, std::string_view prefix, TStrings& lines) {
    char separator = gLocaleDecimalSeparator();
    while (lines.Count() > 0) {
        std::string name, value;
        gSplitNameValue(lines[0], "=", name, value);
        if (!prefix.empty()) {
            std::string head;
            gStripPropertyPrefix(prefix, name, head);
            // The section ends at the first line of another object.
            if (head != prefix)
                return;
        }
        if (!name.empty())
            gSetPropertyText(object, name, value, separator);
        lines.Delete(0);
    }
}

bool gExtractPropertyValue(std::string_view key, std::string& value, TStrings& lines) {
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string& line = lines[i];
        auto eq = line.find('=');
        if (!SameText(gTrimText(std::string_view(line).substr(0, eq)), key))
            continue;
        value = eq == std::string::npos ? std::string() : gTrimText(std::string_view(line).substr(eq + 1));
        lines.Delete(i);
        return true;
    }
    return false;
}

TPersistent* gGetObjectProperty(TObject& object, std::string_view name) {
    const TPropInfo* p = object.ClassInfo().FindProp(name);
    if (!p || p->Kind != TTypeKind::tkClass || !p->GetObject)
        return nullptr;
    return p->GetObject(object);
}

namespace {
bool FindKind(TObject& object, std::string_view prefix, std::string_view fullName, TTypeKind& kind) {
    for (const auto& sp : object.ClassInfo().Props()) {
        const TPropInfo& p = *sp;
        if (!p.Writable())
            continue;
        std::string full = prefix.empty() ? p.Name : std::string(prefix) + "." + p.Name;
        if (p.Kind == TTypeKind::tkClass && !p.IsReference) {
            if (TPersistent* sub = p.GetObject(object))
                if (FindKind(*sub, full, fullName, kind))
                    return true;
            continue;
        }
        if (SameText(full, fullName)) {
            kind = p.Kind;
            return true;
        }
    }
    return false;
}
} // namespace

TTypeKind gGetPropertyKind(TObject& object, std::string_view fullName) {
    TTypeKind kind = TTypeKind::tkUnknown;
    FindKind(object, "", fullName, kind);
    return kind;
}

void gSavePropertyLinesToFile(const TStrings& lines, const std::string& fileName) {
    std::string data;
    for (int i = 0; i < lines.Count(); ++i)
        data += ToAnsi(lines[i]) + "\r\n";
    std::string error;
    if (!WriteFileAtomic(fileName, data, &error))
        throw EKvError(error);
}

void gLoadPropertyLinesFromFile(const std::string& fileName, TStrings& lines) {
    lines.SetText(FromAnsi(gReadWholeFileOrRaise(fileName)));
}

} // namespace kv
