#include "plot/gPropStream.h"

#include "platform/core/Properties.h"

namespace kv {

namespace {

char TypeLetter(TValueType t) {
    switch (t) {
    case TValueType::vaNull:
        return 'E';
    case TValueType::vaList:
        return 'L';
    case TValueType::vaCollection:
        return 'C';
    case TValueType::vaPropName:
        return 'N';
    case TValueType::vaString:
        return 'S';
    case TValueType::vaInt:
        return 'I';
    }
    return '?';
}

std::string Escape(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i >= text.size())
            throw EReadError("Invalid stream format");
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            throw EReadError("Invalid stream format");
        }
    }
    return out;
}

} // namespace

void TgWriter::WriteValue(TValueType type) {
    FValues.push_back({type, {}});
}

void TgWriter::WritePropName(std::string_view name) {
    FValues.push_back({TValueType::vaPropName, std::string(name)});
}

void TgWriter::WriteString(std::string_view text) {
    FValues.push_back({TValueType::vaString, std::string(text)});
}

void TgWriter::WriteInteger(long long value) {
    FValues.push_back({TValueType::vaInt, std::to_string(value)});
}

std::string TgWriter::Text() const {
    std::string out;
    for (const TgStreamValue& v : FValues) {
        out += TypeLetter(v.Type);
        if (v.Type == TValueType::vaPropName || v.Type == TValueType::vaString ||
            v.Type == TValueType::vaInt) {
            out += ' ';
            out += Escape(v.Text);
        }
        out += '\n';
    }
    return out;
}

TgReader TgReader::FromText(std::string_view text) {
    std::vector<TgStreamValue> values;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;
        TgStreamValue v;
        switch (line[0]) {
        case 'E':
            v.Type = TValueType::vaNull;
            break;
        case 'L':
            v.Type = TValueType::vaList;
            break;
        case 'C':
            v.Type = TValueType::vaCollection;
            break;
        case 'N':
            v.Type = TValueType::vaPropName;
            break;
        case 'S':
            v.Type = TValueType::vaString;
            break;
        case 'I':
            v.Type = TValueType::vaInt;
            break;
        default:
            throw EReadError("Invalid stream format");
        }
        const bool hasText =
            v.Type == TValueType::vaPropName || v.Type == TValueType::vaString || v.Type == TValueType::vaInt;
        if (hasText) {
            if (line.size() < 2 || line[1] != ' ')
                throw EReadError("Invalid stream format");
            v.Text = Unescape(line.substr(2));
        } else if (line.size() != 1) {
            throw EReadError("Invalid stream format");
        }
        values.push_back(std::move(v));
    }
    return TgReader(std::move(values));
}

TValueType TgReader::NextValue() const {
    return AtEnd() ? TValueType::vaNull : FValues[FPos].Type;
}

TValueType TgReader::ReadValue() {
    if (AtEnd())
        throw EReadError("Stream read error");
    return FValues[FPos++].Type;
}

const TgStreamValue& TgReader::Take(TValueType expected) {
    if (AtEnd() || FValues[FPos].Type != expected)
        throw EReadError("Invalid property value");
    return FValues[FPos++];
}

void TgReader::ReadListBegin() {
    Take(TValueType::vaList);
}

void TgReader::ReadListEnd() {
    Take(TValueType::vaNull);
}

std::string TgReader::ReadPropName() {
    return Take(TValueType::vaPropName).Text;
}

std::string TgReader::ReadString() {
    return Take(TValueType::vaString).Text;
}

long long TgReader::ReadInteger() {
    const std::string& t = Take(TValueType::vaInt).Text;
    try {
        return std::stoll(t);
    } catch (const std::exception&) {
        throw EReadError("Invalid property value");
    }
}

void gWriteProperties(TgWriter& writer, TObject& object) {
    ForEachStoredProp(
        object, "", false, [&writer](const std::string& fullName, TObject& holder, const TPropInfo& p) {
            if (p.Kind == TTypeKind::tkMethod || p.IsReference)
                return; // handlers and references are bound by the layout itself
            const bool ordinal = p.Kind == TTypeKind::tkInteger || p.Kind == TTypeKind::tkChar ||
                                 p.Kind == TTypeKind::tkEnumeration || p.Kind == TTypeKind::tkSet;
            if (ordinal && p.HasDefault && p.GetOrd(holder) == p.Default)
                return;
            writer.WritePropName(fullName);
            writer.WriteString(p.ValueText(holder));
        });
}

void gReadProperty(TgReader& reader, TObject& object) {
    const std::string name = reader.ReadPropName();
    const std::string value = reader.ReadString();
    const auto ref = FindPropRef(object, name);
    if (!ref || !ref->prop->Writable() || ref->prop->Kind == TTypeKind::tkMethod || ref->prop->IsReference)
        return;
    std::string error;
    if (!ref->prop->SetValueText(*ref->object, value, &error))
        throw EReadError("Error reading " + object.ClassName() + "." + name + ": " + error);
}

void gReadProperties(TgReader& reader, TObject& object) {
    while (!reader.EndOfList())
        gReadProperty(reader, object);
}

} // namespace kv
