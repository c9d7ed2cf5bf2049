#include "platform/gui/Layout.h"

#include "platform/core/Properties.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/Menus.h"

#include <QByteArray>
#include <QFile>

#include <cctype>
#include <cstdio>
#include <map>
#include <memory>
#include <string_view>

namespace kv {

std::string Base64Encode(const std::vector<std::uint8_t>& bytes) {
    QByteArray raw(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    return raw.toBase64().toStdString();
}

std::vector<std::uint8_t> Base64Decode(const std::string& text) {
    auto result = QByteArray::fromBase64Encoding(QByteArray::fromStdString(text),
                                                 QByteArray::AbortOnBase64DecodingErrors);
    if (!result)
        throw ELayoutError("Invalid base64 data");
    return {result.decoded.begin(), result.decoded.end()};
}

std::vector<std::uint8_t> ResourceBytes(const std::string& path) {
    QFile f(QStringLiteral(":/kv/") + QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly))
        throw EKvError("Resource \"" + path + "\" not found");
    QByteArray data = f.readAll();
    return {data.begin(), data.end()};
}

std::string LayoutResourceText(const std::string& name) {
    QFile f(QStringLiteral(":/kv/layouts/") + QString::fromStdString(name) + QStringLiteral(".lay"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll().toStdString();
}

namespace {

// ---------------------------------------------------------------------------------------------------
// Values

struct Value {
    enum Kind { String, Word, List } kind = Word;
    std::string text;               // String: the decoded text; Word: the token (identifier or number)
    std::vector<std::string> items; // List: strings or identifiers
    bool listOfStrings = false;
    std::string picture; // for pictures: "png", "jpeg", "bmp" or "resource"; the data is in text
};

class LineParser {
public:
    LineParser(std::string_view s, int line) : FS(s), FLine(line) {}

    [[noreturn]] void Fail(const std::string& why) const {
        throw ELayoutError("Layout line " + std::to_string(FLine) + ": " + why);
    }
    void SkipBlanks() {
        while (FPos < FS.size() && (FS[FPos] == ' ' || FS[FPos] == '\t'))
            ++FPos;
    }
    bool AtEnd() {
        SkipBlanks();
        return FPos >= FS.size();
    }
    char Peek() {
        SkipBlanks();
        return FPos < FS.size() ? FS[FPos] : '\0';
    }
    void Expect(char c) {
        if (Peek() != c)
            Fail(std::string("'") + c + "' expected");
        ++FPos;
    }
    static bool WordChar(char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '$' || c == '-' ||
               c == '+';
    }
    std::string Word() {
        SkipBlanks();
        std::size_t start = FPos;
        while (FPos < FS.size() && WordChar(FS[FPos]))
            ++FPos;
        if (start == FPos)
            Fail("a name or value expected");
        return std::string(FS.substr(start, FPos - start));
    }
    static int HexDigit(char c) {
        return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    }
    // Pictures are stored as long texts of \x escapes: the plain text between escapes is taken in runs.
    std::string Quoted() {
        Expect('"');
        std::string out;
        for (;;) {
            const std::size_t stop = FS.find_first_of("\"\\", FPos);
            if (stop == std::string_view::npos)
                Fail("unterminated text");
            out.append(FS.substr(FPos, stop - FPos));
            FPos = stop + 1;
            if (FS[stop] == '"')
                return out;
            if (FPos >= FS.size())
                Fail("unterminated text");
            char e = FS[FPos++];
            switch (e) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case 'x': {
                if (FPos + 2 > FS.size() || !std::isxdigit(static_cast<unsigned char>(FS[FPos])) ||
                    !std::isxdigit(static_cast<unsigned char>(FS[FPos + 1])))
                    Fail("bad \\x escape");
                out += static_cast<char>(HexDigit(FS[FPos]) * 16 + HexDigit(FS[FPos + 1]));
                FPos += 2;
                break;
            }
            default:
                Fail(std::string("unknown escape \\") + e);
            }
        }
    }
    Value ParseValue() {
        Value v;
        char c = Peek();
        if (c == '"') {
            v.kind = Value::String;
            v.text = Quoted();
        } else if (c == '[') {
            v.kind = Value::List;
            ++FPos;
            if (Peek() != ']') {
                for (;;) {
                    if (Peek() == '"') {
                        v.listOfStrings = true;
                        v.items.push_back(Quoted());
                    } else {
                        if (v.listOfStrings)
                            Fail("a list mixes texts and names");
                        v.items.push_back(Word());
                    }
                    if (Peek() == ',') {
                        ++FPos;
                        continue;
                    }
                    break;
                }
            }
            Expect(']');
        } else {
            v.kind = Value::Word;
            v.text = Word();
            if ((v.text == "png" || v.text == "jpeg" || v.text == "bmp" || v.text == "resource") &&
                Peek() == '"') {
                v.picture = v.text;
                v.kind = Value::String;
                v.text = Quoted();
            }
        }
        if (!AtEnd())
            Fail("unexpected text after the value");
        return v;
    }

private:
    std::string_view FS;
    std::size_t FPos = 0;
    int FLine;
};

std::string_view TrimLine(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// ---------------------------------------------------------------------------------------------------
// Reading

struct Fixup {
    TObject* holder;
    const TPropInfo* prop;
    std::string target;
    int line;
};

class Reader {
public:
    Reader(TComponent& root) : FRoot(root) {}

    std::vector<std::string> Read(const std::string& text) {
        std::vector<std::string_view> lines;
        std::string_view all(text);
        while (!all.empty()) {
            auto nl = all.find('\n');
            lines.push_back(all.substr(0, nl));
            if (nl == std::string_view::npos)
                break;
            all.remove_prefix(nl + 1);
        }
        std::size_t i = 0;
        SkipEmpty(lines, i);
        if (i >= lines.size())
            throw ELayoutError("Layout is empty");
        ReadObject(lines, i, nullptr);
        SkipEmpty(lines, i);
        if (i < lines.size())
            throw ELayoutError("Layout line " + std::to_string(i + 1) + ": text after the last \"end\"");
        for (const Fixup& f : FFixups) {
            TComponent* target = SameText(f.target, FRoot.Name()) ? &FRoot : FRoot.FindComponent(f.target);
            if (!target) {
                Report(f.line, "component " + f.target + " not found");
                continue;
            }
            try {
                f.prop->SetRef(*f.holder, target);
            } catch (const std::exception& e) {
                Report(f.line, std::string(e.what()) + " for " + f.prop->Name);
            }
        }
        for (TComponent* c : FLoaded)
            c->Loaded();
        for (TComponent* c : FLoaded)
            if (auto* w = dynamic_cast<TWinControl*>(c))
                w->AlignControls();
        return FErrors;
    }

private:
    void SkipEmpty(const std::vector<std::string_view>& lines, std::size_t& i) {
        while (i < lines.size()) {
            std::string_view t = TrimLine(lines[i]);
            if (!t.empty() && !t.starts_with("//"))
                break;
            ++i;
        }
    }

    void Report(int line, const std::string& what) {
        FErrors.push_back("Layout line " + std::to_string(line) + ": " + what);
    }

    // Reads "object Name: Class" ... "end" at lines[i]; `parent` is null for the root.
    void ReadObject(const std::vector<std::string_view>& lines, std::size_t& i, TComponent* parent) {
        int lineNo = static_cast<int>(i) + 1;
        std::string_view head = TrimLine(lines[i]);
        LineParser p(head, lineNo);
        if (p.Word() != "object")
            p.Fail("\"object\" expected");
        std::string name = p.Word();
        p.Expect(':');
        std::string cls = p.Word();
        if (!p.AtEnd())
            p.Fail("unexpected text after the class name");
        ++i;

        TComponent* obj = nullptr;
        if (!parent) {
            obj = &FRoot;
            const TClassInfo* info = FindClass(cls);
            if (!SameText(cls, FRoot.ClassName()) && !(info && FRoot.InheritsFrom(*info)))
                Report(lineNo, "the layout is for " + cls + ", not " + FRoot.ClassName());
            SetName(obj, name, lineNo);
        } else {
            const TClassInfo* info = FindClass(cls);
            if (!info || !info->Create) {
                Report(lineNo, "unknown class " + cls);
                SkipObject(lines, i);
                return;
            }
            obj = info->Create(&FRoot);
            SetName(obj, name, lineNo);
            Attach(parent, obj, lineNo);
        }
        obj->BeginLoading();
        FLoaded.push_back(obj);

        for (;;) {
            SkipEmpty(lines, i);
            if (i >= lines.size())
                throw ELayoutError("Layout line " + std::to_string(lineNo) + ": \"end\" missing for " + name);
            std::string_view t = TrimLine(lines[i]);
            if (t == "end") {
                ++i;
                obj->ReadDone();
                return;
            }
            if (t.starts_with("object ")) {
                ReadObject(lines, i, obj);
                continue;
            }
            if (IsCollectionStart(t)) {
                ReadCollection(lines, i, *obj, obj);
                continue;
            }
            ReadProperty(*obj, *obj, t, static_cast<int>(i) + 1);
            ++i;
        }
    }

    // "Name = <" opens a collection, "Name = <>" is an empty one.
    static bool IsCollectionStart(std::string_view t) {
        auto eq = t.find('=');
        return eq != std::string_view::npos && TrimLine(t.substr(eq + 1)).starts_with('<');
    }

    // Reads "Name = <", then "item" ... "end" blocks, the last closed by "end>", at lines[i] into the
    // collection property of `holder`. With a null `holder` (an unknown property) the text is only
    // checked and skipped, so the lines after it keep their meaning.
    void ReadCollection(const std::vector<std::string_view>& lines, std::size_t& i, TComponent& comp,
                        TObject* holder) {
        int lineNo = static_cast<int>(i) + 1;
        std::string_view t = TrimLine(lines[i]);
        auto eq = t.find('=');
        std::string name(TrimLine(t.substr(0, eq)));
        std::string_view rest = TrimLine(t.substr(eq + 1));
        ++i;
        if (rest != "<" && rest != "<>")
            throw ELayoutError("Layout line " + std::to_string(lineNo) + ": \"<\" or \"<>\" expected for " +
                               name);
        TPersistent* coll = nullptr;
        const TCollectionAccess* access = nullptr;
        if (holder) {
            auto ref = FindPropRef(*holder, name);
            if (!ref)
                Report(lineNo, "unknown property " + name + " of " + holder->ClassName());
            else if (ref->prop->Kind != TTypeKind::tkClass || ref->prop->IsReference ||
                     !(access = CollectionOf(coll = ref->prop->GetObject(*ref->object))))
                Report(lineNo, name + " is not a collection");
        }
        if (access)
            access->Clear(*coll);
        if (rest == "<>")
            return;
        for (;;) {
            SkipEmpty(lines, i);
            if (i >= lines.size())
                throw ELayoutError("Layout line " + std::to_string(lineNo) + ": \"end>\" missing for " +
                                   name);
            int itemLine = static_cast<int>(i) + 1;
            if (TrimLine(lines[i]) != "item")
                throw ELayoutError("Layout line " + std::to_string(itemLine) + ": \"item\" expected in " +
                                   name);
            ++i;
            TPersistent* item = access ? access->Add(*coll) : nullptr;
            for (;;) {
                SkipEmpty(lines, i);
                if (i >= lines.size())
                    throw ELayoutError("Layout line " + std::to_string(itemLine) +
                                       ": \"end\" missing for an item of " + name);
                std::string_view u = TrimLine(lines[i]);
                if (u == "end" || u == "end>") {
                    ++i;
                    if (u == "end>")
                        return;
                    break;
                }
                if (u == "item" || u.starts_with("object "))
                    throw ELayoutError("Layout line " + std::to_string(i + 1) +
                                       ": \"end\" expected for an item of " + name);
                if (IsCollectionStart(u)) {
                    ReadCollection(lines, i, comp, item);
                    continue;
                }
                if (item)
                    ReadProperty(comp, *item, u, static_cast<int>(i) + 1);
                else
                    CheckPropertyLine(u, static_cast<int>(i) + 1);
                ++i;
            }
        }
    }

    static void CheckPropertyLine(std::string_view t, int line) {
        auto eq = t.find('=');
        if (eq == std::string_view::npos)
            throw ELayoutError("Layout line " + std::to_string(line) + ": \"name = value\" expected");
        LineParser(t.substr(eq + 1), line).ParseValue();
    }

    void SkipObject(const std::vector<std::string_view>& lines, std::size_t& i) {
        int depth = 1;
        for (; i < lines.size(); ++i) {
            std::string_view t = TrimLine(lines[i]);
            if (t.starts_with("object ") || t == "item")
                ++depth;
            else if ((t == "end" || t == "end>") && --depth == 0) {
                ++i;
                return;
            }
        }
        throw ELayoutError("Layout: \"end\" missing");
    }

    void SetName(TComponent* obj, const std::string& name, int line) {
        try {
            obj->SetName(name);
        } catch (const std::exception& e) {
            Report(line, e.what());
        }
    }

    void Attach(TComponent* parent, TComponent* child, int line) {
        if (auto* ctl = dynamic_cast<TControl*>(child)) {
            if (auto* w = dynamic_cast<TWinControl*>(parent))
                ctl->SetParent(w);
            else
                Report(line, child->Name() + " cannot be placed in " + parent->Name());
            return;
        }
        if (auto* item = dynamic_cast<TMenuItem*>(child)) {
            if (auto* menu = dynamic_cast<TMenu*>(parent))
                menu->Items()->Add(item);
            else if (auto* parentItem = dynamic_cast<TMenuItem*>(parent))
                parentItem->Add(item);
        }
    }

    // A property line of `target`: the component itself or an item of one of its collections.
    void ReadProperty(TComponent& obj, TObject& target, std::string_view t, int line) {
        auto eq = t.find('=');
        if (eq == std::string_view::npos)
            throw ELayoutError("Layout line " + std::to_string(line) + ": \"name = value\" expected");
        std::string name(TrimLine(t.substr(0, eq)));
        LineParser p(t.substr(eq + 1), line);
        Value v = p.ParseValue();
        auto ref = FindPropRef(target, name);
        if (!ref) {
            Report(line, "unknown property " + name + " of " + target.ClassName());
            return;
        }
        const TPropInfo& prop = *ref->prop;
        TObject& holder = *ref->object;
        try {
            Apply(obj, name, holder, prop, v, line);
        } catch (const std::exception& e) {
            Report(line, std::string(e.what()) + " (" + name + ")");
        }
    }

    void Apply(TComponent& obj, const std::string& name, TObject& holder, const TPropInfo& prop,
               const Value& v, int line) {
        std::string error;
        switch (prop.Kind) {
        case TTypeKind::tkMethod: {
            if (v.kind != Value::Word) {
                Report(line, "a handler name expected for " + name);
                return;
            }
            const TMethodInfo* m = FRoot.ClassInfo().FindMethod(v.text);
            if (!m) {
                Report(line, "handler " + v.text + " not found in " + FRoot.ClassName());
                return;
            }
            try {
                prop.SetMethod(holder, m->Bind(FRoot));
            } catch (const std::bad_any_cast&) {
                Report(line, "handler " + v.text + " does not fit " + name);
                return;
            }
            if (&holder == &obj)
                obj.SetBoundHandler(prop.Name, m->Name);
            return;
        }
        case TTypeKind::tkClass: {
            if (prop.IsReference) {
                if (v.kind != Value::Word) {
                    Report(line, "a component name expected for " + name);
                    return;
                }
                FFixups.push_back({&holder, &prop, v.text, line});
                return;
            }
            TPersistent* sub = prop.GetObject(holder);
            if (auto* strings = dynamic_cast<TStrings*>(sub)) {
                if (v.kind != Value::List || (!v.listOfStrings && !v.items.empty())) {
                    Report(line, "a list of texts expected for " + name);
                    return;
                }
                strings->BeginUpdate();
                strings->Clear();
                for (const std::string& s : v.items)
                    strings->Add(s);
                strings->EndUpdate();
                return;
            }
            if (auto* picture = dynamic_cast<TPicture*>(sub)) {
                if (v.picture.empty()) {
                    Report(line, "a picture expected for " + name);
                    return;
                }
                picture->SetGraphic(SharedPicture(v).picture.Graphic());
                if (v.picture == "resource")
                    picture->SetResourceName(v.text);
                return;
            }
            if (auto* graphic = dynamic_cast<TBitmap*>(sub)) {
                // A bitmap property of its own (not a picture holder) takes any picture, converted.
                // Other graphics publish their own properties (a picture's Data) and are read by name.
                if (v.picture.empty()) {
                    Report(line, "a picture expected for " + name);
                    return;
                }
                SharedImage& shared = SharedPicture(v);
                const TGraphic* source = shared.picture.Graphic();
                if (dynamic_cast<const TBitmap*>(source)) {
                    graphic->Assign(source);
                } else {
                    // What Assign does, with the conversion made once for all the bitmaps that show it.
                    if (shared.bitmap.isNull())
                        shared.bitmap = source->ToImage().convertToFormat(QImage::Format_RGB32);
                    graphic->FromImage(shared.bitmap);
                    graphic->SetTransparent(source->Transparent());
                }
                return;
            }
            Report(line, name + " takes no value of its own");
            return;
        }
        default:
            break;
        }
        std::string text;
        if (v.kind == Value::List) {
            if (v.listOfStrings) {
                Report(line, "a list of texts does not fit " + name);
                return;
            }
            text = "[";
            for (std::size_t k = 0; k < v.items.size(); ++k)
                text += (k ? ", " : "") + v.items[k];
            text += "]";
        } else {
            text = v.text;
        }
        if (!prop.SetValueText(holder, text, &error))
            Report(line, error);
    }

    // A picture named or embedded more than once in the layout (a button face on every strip) is
    // decoded once, and its controls share the pixels until one of them paints on its copy.
    struct SharedImage {
        TPicture picture;
        QImage bitmap; // converted for bitmap properties, made at the first one
    };
    SharedImage& SharedPicture(const Value& v) {
        auto [it, fresh] = FPictures.try_emplace(v.picture + ':' + v.text);
        if (fresh) {
            try {
                it->second.picture.LoadFromBytes(v.picture == "resource" ? ResourceBytes(v.text)
                                                                         : Base64Decode(v.text));
            } catch (...) {
                FPictures.erase(it);
                throw;
            }
        }
        return it->second;
    }

    TComponent& FRoot;
    std::vector<std::string> FErrors;
    std::vector<Fixup> FFixups;
    std::vector<TComponent*> FLoaded;
    std::map<std::string, SharedImage> FPictures; // only while reading
};

// ---------------------------------------------------------------------------------------------------
// Writing

std::string Quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\x%02X",
                              static_cast<unsigned>(static_cast<unsigned char>(c)));
                out += buf;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

class Writer {
public:
    explicit Writer(TComponent& root) : FRoot(root) {}

    std::string Write() {
        WriteObject(FRoot, 0);
        return FOut;
    }

private:
    void Line(int indent, const std::string& text) {
        FOut.append(static_cast<std::size_t>(indent) * 2, ' ');
        FOut += text;
        FOut += '\n';
    }

    // Values first, then the handlers, each in declaration order.
    void WriteProps(TComponent& comp, TObject& obj, const std::string& prefix, int indent) {
        WriteProps(comp, obj, prefix, indent, false);
        WriteProps(comp, obj, prefix, indent, true);
    }

    void WriteProps(TComponent& comp, TObject& obj, const std::string& prefix, int indent, bool events) {
        for (const auto& sp : obj.ClassInfo().Props()) {
            const TPropInfo& p = *sp;
            if (!p.Writable() || !p.IsStored(obj))
                continue;
            if ((p.Kind == TTypeKind::tkMethod) != events && p.Kind != TTypeKind::tkClass)
                continue;
            if (events && p.Kind == TTypeKind::tkClass && p.IsReference)
                continue;
            std::string full = prefix.empty() ? p.Name : prefix + "." + p.Name;
            if (&obj == &comp && prefix.empty() && p.Name == "Name")
                continue;
            switch (p.Kind) {
            case TTypeKind::tkMethod: {
                if (&obj != &comp || !p.IsBound(obj))
                    break;
                if (const std::string* h = comp.BoundHandler(p.Name))
                    Line(indent, full + " = " + *h);
                break;
            }
            case TTypeKind::tkClass: {
                if (p.IsReference) {
                    auto* target = dynamic_cast<TComponent*>(p.GetObject(obj));
                    if (target && !target->Name().empty())
                        Line(indent, full + " = " + target->Name());
                    break;
                }
                TPersistent* sub = p.GetObject(obj);
                if (!sub)
                    break;
                if (const TCollectionAccess* access = CollectionOf(sub)) {
                    if (!events)
                        WriteCollection(comp, *sub, *access, full, indent);
                    break;
                }
                if (events && (dynamic_cast<TStrings*>(sub) || dynamic_cast<TPicture*>(sub) ||
                               dynamic_cast<TBitmap*>(sub)))
                    break;
                if (auto* strings = dynamic_cast<TStrings*>(sub)) {
                    if (strings->Count() == 0)
                        break;
                    std::string list = "[";
                    for (int k = 0; k < strings->Count(); ++k)
                        list += (k ? ", " : "") + Quote((*strings)[k]);
                    Line(indent, full + " = " + list + "]");
                    break;
                }
                if (auto* picture = dynamic_cast<TPicture*>(sub)) {
                    if (picture->Empty())
                        break;
                    if (!picture->ResourceName().empty()) {
                        Line(indent, full + " = resource " + Quote(picture->ResourceName()));
                        break;
                    }
                    const TGraphic* g = picture->Graphic();
                    const char* kind = dynamic_cast<const TPngImage*>(g)    ? "png"
                                       : dynamic_cast<const TJPEGImage*>(g) ? "jpeg"
                                                                            : "bmp";
                    Line(indent, full + " = " + kind + " " + Quote(Base64Encode(g->SaveToBytes())));
                    break;
                }
                if (auto* graphic = dynamic_cast<TBitmap*>(sub)) {
                    if (!graphic->Empty())
                        Line(indent, full + " = bmp " + Quote(Base64Encode(graphic->SaveToBytes())));
                    break;
                }
                WriteProps(comp, *sub, full, indent, events);
                break;
            }
            case TTypeKind::tkString:
                if (!p.IsDefaultValue(obj))
                    Line(indent, full + " = " + Quote(p.GetStr(obj)));
                break;
            default:
                if (!p.IsDefaultValue(obj))
                    Line(indent, full + " = " + p.ValueText(obj));
                break;
            }
        }
    }

    // An empty collection is left out: a new one is empty too.
    void WriteCollection(TComponent& comp, TPersistent& coll, const TCollectionAccess& access,
                         const std::string& name, int indent) {
        int n = access.Count(coll);
        if (n == 0)
            return;
        Line(indent, name + " = <");
        for (int k = 0; k < n; ++k) {
            Line(indent + 1, "item");
            if (TPersistent* item = access.Item(coll, k))
                WriteProps(comp, *item, "", indent + 2);
            Line(indent + 1, k + 1 == n ? "end>" : "end");
        }
    }

    void WriteObject(TComponent& c, int indent) {
        Line(indent, "object " + c.Name() + ": " + c.ClassName());
        WriteProps(c, c, "", indent + 1);
        for (TComponent* child : Children(c))
            WriteObject(*child, indent + 1);
        Line(indent, "end");
    }

    std::vector<TComponent*> Children(TComponent& c) {
        std::vector<TComponent*> out;
        if (&c == &FRoot) {
            for (int i = 0; i < FRoot.ComponentCount(); ++i) {
                TComponent* k = FRoot.Components(i);
                if (auto* ctl = dynamic_cast<TControl*>(k)) {
                    if (!ctl->Parent() || ctl->Parent() == &FRoot)
                        out.push_back(k);
                } else if (auto* item = dynamic_cast<TMenuItem*>(k)) {
                    if (!item->Parent())
                        out.push_back(k);
                } else {
                    out.push_back(k);
                }
            }
            return out;
        }
        if (auto* w = dynamic_cast<TWinControl*>(&c)) {
            for (int i = 0; i < w->ControlCount(); ++i)
                if (w->Controls(i)->Owner() == &FRoot)
                    out.push_back(w->Controls(i));
        } else if (auto* menu = dynamic_cast<TMenu*>(&c)) {
            for (int i = 0; i < menu->Items()->Count(); ++i)
                out.push_back(menu->Items()->Items(i));
        } else if (auto* item = dynamic_cast<TMenuItem*>(&c)) {
            for (int i = 0; i < item->Count(); ++i)
                out.push_back(item->Items(i));
        }
        return out;
    }

    TComponent& FRoot;
    std::string FOut;
};

} // namespace

std::vector<std::string> ReadLayout(const std::string& text, TComponent& root) {
    return Reader(root).Read(text);
}

std::string WriteLayout(TComponent& root) {
    return Writer(root).Write();
}

} // namespace kv
