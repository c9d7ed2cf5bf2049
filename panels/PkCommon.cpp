#include "panels/PkCommon.h"

#include "panels/PkPropHelpers.h"
#include "platform/gui/Forms.h"
#include "platform/sys/Scheduler.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace kv {

namespace {
TPkBlinkingControlsList* gBlinkList = nullptr;
} // namespace


std::vector<std::string> EnumIdents(TBlinkState) {
    return {"bsOn", "bsOff"};
}
std::vector<std::string> EnumIdents(TPkFrameControllerProperty) {
    return {"fcpColor",
            "fcpFocusColor",
            "fcpDisabledColor",
            "fcpReadOnlyColor",
            "fcpReadOnlyColorOnFocus",
            "fcpParentColor",
            "fcpFlatButtonColor",
            "fcpFlatButtons",
            "fcpFrameColor",
            "fcpFrameHotColor",
            "fcpFrameHotTrack",
            "fcpFrameHotStyle",
            "fcpFrameSides",
            "fcpFrameStyle",
            "fcpFrameVisible",
            "fcpFramingPreference",
            "fcpAll"};
}
std::vector<std::string> EnumIdents(TPkPathType) {
    return {"ptIniFile", "ptRegistry"};
}
std::vector<std::string> EnumIdents(TPkRegKey) {
    return {"hkeyClassesRoot",     "hkeyCurrentUser",   "hkeyLocalMachine", "hkeyUsers",
            "hkeyPerformanceData", "hkeyCurrentConfig", "hkeyDynData"};
}
std::vector<std::string> EnumIdents(TPkRegAccessKey) {
    return {"keyQueryValue", "keySetValue", "keyCreateSubKey", "keyEnumerateSubKeys", "keyNotify",
            "keyCreateLink", "keyRead",     "keyWrite",        "keyExecute",          "keyAllAccess"};
}
std::vector<std::string> EnumIdents(TPkSpecialFolder) {
    return {"sfNone", "sfUserAppDataRoaming", "sfUserAppDataLocal", "sfUserDocuments", "sfProgramData"};
}
std::vector<std::string> EnumIdents(TPkIniFileEncoding) {
    return {"feDefault", "feUTF8", "feUnicode"};
}

// ---------------------------------------------------------------------------------------------------
// Blink list

TPkBlinkingControlsList::TPkBlinkingControlsList() : FTimer(std::make_unique<TTimer>(nullptr)) {
    FTimer->OnTimer = [this] { TimerFired(); };
    FTimer->SetInterval(500);
    FTimer->SetEnabled(true);
}

TPkBlinkingControlsList::~TPkBlinkingControlsList() {
    FTimer->OnTimer = nullptr;
}

void TPkBlinkingControlsList::Add(IPkBlinkTarget* control) {
    FControls.push_back(control);
}

void TPkBlinkingControlsList::Remove(IPkBlinkTarget* control) {
    auto it = std::find(FControls.begin(), FControls.end(), control);
    if (it != FControls.end())
        FControls.erase(it);
}

void TPkBlinkingControlsList::TimerFired() {
    if (FBlinkState == TBlinkState::bsOff) {
        FBlinkState = TBlinkState::bsOn;
        FTimer->SetInterval(FIntervalOff);
    } else {
        FBlinkState = TBlinkState::bsOff;
        FTimer->SetInterval(FIntervalOn);
    }
    // A control may leave the list while it repaints; walk a copy.
    const std::vector<IPkBlinkTarget*> controls = FControls;
    for (IPkBlinkTarget* c : controls)
        if (std::find(FControls.begin(), FControls.end(), c) != FControls.end() &&
            c->BlinkMessage(CM_BLINKQUERY, 0) == 1)
            c->BlinkMessage(CM_BLINKSTATE, static_cast<int>(FBlinkState));
}

TPkBlinkingControlsList* TPkBlinkingControlsList::Shared() {
    return gBlinkList;
}

TPkBlinkingControlsList* TPkBlinkingControlsList::Acquire() {
    if (!gBlinkList)
        gBlinkList = new TPkBlinkingControlsList();
    return gBlinkList;
}

void TPkBlinkingControlsList::ReleaseIfEmpty() {
    if (gBlinkList && gBlinkList->Count() == 0) {
        delete gBlinkList;
        gBlinkList = nullptr;
    }
}

// ---------------------------------------------------------------------------------------------------
// Storage component

namespace {

// An INI file held in memory: sections and values in file order, names compared ignoring case.
struct IniData {
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> values;
    };
    std::vector<Section> sections;

    Section* Find(const std::string& name) {
        for (auto& s : sections)
            if (SameText(s.name, name))
                return &s;
        return nullptr;
    }
    Section& Get(const std::string& name) {
        if (Section* s = Find(name))
            return *s;
        sections.push_back({name, {}});
        return sections.back();
    }
    const std::string* Value(const std::string& section, const std::string& name) {
        Section* s = Find(section);
        if (!s)
            return nullptr;
        for (auto& [k, v] : s->values)
            if (SameText(k, name))
                return &v;
        return nullptr;
    }
    void Set(const std::string& section, const std::string& name, const std::string& value) {
        Section& s = Get(section);
        for (auto& [k, v] : s.values)
            if (SameText(k, name)) {
                v = value;
                return;
            }
        s.values.emplace_back(name, value);
    }
    void Parse(const std::string& text) {
        sections.clear();
        Section* cur = nullptr;
        std::size_t pos = 0;
        while (pos <= text.size()) {
            std::size_t end = text.find('\n', pos);
            std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
            pos = end == std::string::npos ? text.size() + 1 : end + 1;
            while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
                line.pop_back();
            std::size_t first = line.find_first_not_of(" \t");
            if (first == std::string::npos || line[first] == ';')
                continue;
            line = line.substr(first);
            if (line.front() == '[' && line.back() == ']') {
                cur = &Get(line.substr(1, line.size() - 2));
                continue;
            }
            std::size_t eq = line.find('=');
            if (!cur || eq == std::string::npos)
                continue;
            cur->values.emplace_back(line.substr(0, eq), line.substr(eq + 1));
        }
    }
    std::string Text() const {
        std::string out;
        for (const auto& s : sections) {
            out += "[" + s.name + "]\r\n";
            for (const auto& [k, v] : s.values)
                out += k + "=" + v + "\r\n";
            out += "\r\n";
        }
        return out;
    }
};

std::string RegistryRootName(TPkRegKey key) {
    static const char* const names[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",     "HKEY_LOCAL_MACHINE",
                                        "HKEY_USERS",        "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG",
                                        "HKEY_DYN_DATA"};
    return names[static_cast<int>(key)];
}

std::string gRegistryFolder;

std::string Hex2(std::uint8_t b) {
    char buf[3];
    std::snprintf(buf, sizeof buf, "%02X", b);
    return buf;
}

std::string FormatFloat(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

} // namespace

struct TPkRegIniFile::Store {
    std::string file;
    IniData data;
    bool registry = false;
    TPkIniFileEncoding encoding = TPkIniFileEncoding::feDefault;

    void Load() {
        QFile f(QString::fromStdString(file));
        if (!f.open(QIODevice::ReadOnly))
            return;
        QByteArray bytes = f.readAll();
        QString text;
        if (bytes.startsWith("\xFF\xFE"))
            text = QStringDecoder(QStringDecoder::Utf16LE).decode(bytes.mid(2));
        else if (bytes.startsWith("\xEF\xBB\xBF"))
            text = QString::fromUtf8(bytes.mid(3));
        else
            text = QString::fromUtf8(bytes);
        data.Parse(text.toStdString());
    }
    void Save() const {
        QFileInfo info(QString::fromStdString(file));
        QDir().mkpath(info.absolutePath());
        QSaveFile f(info.absoluteFilePath());
        if (!f.open(QIODevice::WriteOnly))
            throw EKvError("Cannot create file " + file);
        QString text = QString::fromStdString(data.Text());
        if (encoding == TPkIniFileEncoding::feUnicode) {
            f.write("\xFF\xFE");
            f.write(QStringEncoder(QStringEncoder::Utf16LE).encode(text));
        } else {
            if (encoding == TPkIniFileEncoding::feUTF8)
                f.write("\xEF\xBB\xBF");
            f.write(text.toUtf8());
        }
        if (!f.commit())
            throw EKvError("Cannot write file " + file);
    }
};

KV_REGISTER_CLASS(TPkRegIniFile, TComponent, b) {
    b.Prop("FileEncoding", &TPkRegIniFile::FileEncoding, &TPkRegIniFile::SetFileEncoding)
        .Default(TPkIniFileEncoding::feDefault);
    b.Prop("Path", &TPkRegIniFile::Path, &TPkRegIniFile::SetPath);
    b.Prop("PathType", &TPkRegIniFile::PathType, &TPkRegIniFile::SetPathType).Default(TPkPathType::ptIniFile);
    b.Prop("RegAccess", &TPkRegIniFile::RegAccess, &TPkRegIniFile::SetRegAccess)
        .Default(TPkRegAccess{TPkRegAccessKey::keyAllAccess});
    b.Prop("RegKey", &TPkRegIniFile::RegKey, &TPkRegIniFile::SetRegKey).Default(TPkRegKey::hkeyCurrentUser);
    b.Prop("SpecialFolder", &TPkRegIniFile::SpecialFolder, &TPkRegIniFile::SetSpecialFolder)
        .Default(TPkSpecialFolder::sfNone);
}

TPkRegIniFile::TPkRegIniFile(TComponent* owner) : TComponent(owner) {}
TPkRegIniFile::~TPkRegIniFile() = default;

std::string TPkRegIniFile::RegistryFolder() {
    if (!gRegistryFolder.empty())
        return gRegistryFolder;
    return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
            "/korvane-editor/registry")
        .toStdString();
}

void TPkRegIniFile::SetRegistryFolder(const std::string& folder) {
    gRegistryFolder = folder;
}

void TPkRegIniFile::SetPath(const std::string& v) {
    if (v != FPath) {
        FPath = v;
        FRefreshStorage = true;
    }
}
void TPkRegIniFile::SetPathType(TPkPathType v) {
    if (v != FPathType) {
        FPathType = v;
        FRefreshStorage = true;
    }
}
void TPkRegIniFile::SetRegKey(TPkRegKey v) {
    if (v != FRegKey) {
        FRegKey = v;
        FRefreshStorage = true;
    }
}
void TPkRegIniFile::SetRegAccess(TPkRegAccess v) {
    if (!(v == FRegAccess)) {
        FRegAccess = v;
        FRefreshStorage = true;
    }
}
void TPkRegIniFile::SetSpecialFolder(TPkSpecialFolder v) {
    if (v != FSpecialFolder) {
        FSpecialFolder = v;
        FRefreshStorage = true;
    }
}
void TPkRegIniFile::SetFileEncoding(TPkIniFileEncoding v) {
    if (v != FFileEncoding) {
        FFileEncoding = v;
        FRefreshStorage = true;
    }
}

void TPkRegIniFile::OpenStorage() {
    if (!FRefreshStorage && FStore)
        return;
    FStore.reset();
    std::string p = FPath;
    const QString program = QCoreApplication::applicationFilePath();
    const QFileInfo programInfo(program);
    auto withIni = [](const QString& name) { return QFileInfo(name).completeBaseName() + ".ini"; };
    auto store = std::make_unique<Store>();
    if (FPathType == TPkPathType::ptIniFile) {
        QString base;
        if (FSpecialFolder != TPkSpecialFolder::sfNone) {
            QStandardPaths::StandardLocation loc = QStandardPaths::GenericConfigLocation;
            switch (FSpecialFolder) {
            case TPkSpecialFolder::sfUserAppDataLocal:
            case TPkSpecialFolder::sfProgramData:
                loc = QStandardPaths::GenericDataLocation;
                break;
            case TPkSpecialFolder::sfUserDocuments:
                loc = QStandardPaths::DocumentsLocation;
                break;
            default:
                break;
            }
            QString folder = QStandardPaths::writableLocation(loc);
            if (!folder.isEmpty()) {
                QString dir = QFileInfo(QString::fromStdString(p)).path();
                base = folder + "/" + (dir == "." ? QString() : dir);
                QDir().mkpath(base);
                if (!base.endsWith('/'))
                    base += '/';
            }
        }
        QString qp = QString::fromStdString(p);
        if (!base.isEmpty())
            qp = base + withIni(qp.isEmpty() ? program : QFileInfo(qp).fileName());
        if (!qp.isEmpty() && !qp.contains('/'))
            qp = programInfo.absolutePath() + "/" + withIni(qp);
        else if (qp.isEmpty())
            qp = programInfo.absolutePath() + "/" + withIni(program);
        p = qp.toStdString();
        store->file = p;
        store->encoding = FFileEncoding;
        store->Load();
    } else {
        if (p.empty()) {
            std::string title = Application ? Application->Title() : std::string();
            p = "\\Software\\Temp\\" + (title.empty() ? programInfo.completeBaseName().toStdString() : title);
        }
        store->registry = true;
        store->file = RegistryFolder() + "/" + RegistryRootName(FRegKey) + ".ini";
        store->Load();
        // Opening a key creates it when missing.
        store->data.Get(p);
    }
    FPath = p;
    FStore = std::move(store);
    FRefreshStorage = false;
}

std::string TPkRegIniFile::Section(const std::string& section) const {
    if (!FStore->registry)
        return section;
    if (section.empty())
        return FPath;
    return FPath + (!FPath.empty() && FPath.back() == '\\' ? "" : "\\") + section;
}

void TPkRegIniFile::Flush() {
    FStore->encoding = FFileEncoding;
    FStore->Save();
}

bool TPkRegIniFile::SectionExists(const std::string& section) {
    OpenStorage();
    return FStore->data.Find(Section(section)) != nullptr;
}

bool TPkRegIniFile::ValueExists(const std::string& section, const std::string& name) {
    OpenStorage();
    return FStore->data.Value(Section(section), name) != nullptr;
}

// Registry values keep their type in the text: "dword:" integers, "hex:" bytes, plain strings.
std::string TPkRegIniFile::ReadString(const std::string& section, const std::string& name,
                                      const std::string& def) {
    OpenStorage();
    const std::string* v = FStore->data.Value(Section(section), name);
    if (!v)
        return def;
    if (FStore->registry && (v->rfind("dword:", 0) == 0 || v->rfind("hex:", 0) == 0))
        return def;
    return *v;
}

void TPkRegIniFile::WriteString(const std::string& section, const std::string& name,
                                const std::string& value) {
    OpenStorage();
    FStore->data.Set(Section(section), name, value);
    Flush();
}

int TPkRegIniFile::ReadInteger(const std::string& section, const std::string& name, int def) {
    OpenStorage();
    const std::string* v = FStore->data.Value(Section(section), name);
    if (!v)
        return def;
    std::string text = *v;
    if (FStore->registry) {
        if (text.rfind("dword:", 0) != 0)
            return def;
        text = text.substr(6);
    }
    try {
        std::size_t used = 0;
        long long n = text.rfind("0x", 0) == 0 || text.rfind("$", 0) == 0
                          ? std::stoll(text.substr(text[0] == '$' ? 1 : 2), &used, 16)
                          : std::stoll(text, &used, 10);
        return static_cast<int>(n);
    } catch (const std::exception&) {
        return def;
    }
}

void TPkRegIniFile::WriteInteger(const std::string& section, const std::string& name, int value) {
    OpenStorage();
    FStore->data.Set(Section(section), name, (FStore->registry ? "dword:" : "") + std::to_string(value));
    Flush();
}

bool TPkRegIniFile::ReadBool(const std::string& section, const std::string& name, bool def) {
    return ReadInteger(section, name, def ? 1 : 0) != 0;
}

void TPkRegIniFile::WriteBool(const std::string& section, const std::string& name, bool value) {
    WriteInteger(section, name, value ? 1 : 0);
}

double TPkRegIniFile::ReadFloat(const std::string& section, const std::string& name, double def) {
    std::string text = ReadString(section, name, "");
    if (text.empty())
        return def;
    try {
        return std::stod(text);
    } catch (const std::exception&) {
        return def;
    }
}

void TPkRegIniFile::WriteFloat(const std::string& section, const std::string& name, double value) {
    WriteString(section, name, FormatFloat(value));
}

double TPkRegIniFile::ReadDate(const std::string& section, const std::string& name, double def) {
    return ReadFloat(section, name, def);
}
void TPkRegIniFile::WriteDate(const std::string& section, const std::string& name, double value) {
    WriteFloat(section, name, static_cast<double>(static_cast<long long>(value)));
}
double TPkRegIniFile::ReadDateTime(const std::string& section, const std::string& name, double def) {
    return ReadFloat(section, name, def);
}
void TPkRegIniFile::WriteDateTime(const std::string& section, const std::string& name, double value) {
    WriteFloat(section, name, value);
}
double TPkRegIniFile::ReadTime(const std::string& section, const std::string& name, double def) {
    return ReadFloat(section, name, def);
}
void TPkRegIniFile::WriteTime(const std::string& section, const std::string& name, double value) {
    WriteFloat(section, name, value - static_cast<double>(static_cast<long long>(value)));
}

std::vector<std::uint8_t> TPkRegIniFile::ReadBinaryStream(const std::string& section,
                                                          const std::string& name) {
    OpenStorage();
    std::vector<std::uint8_t> out;
    const std::string* v = FStore->data.Value(Section(section), name);
    if (!v)
        return out;
    std::string text = *v;
    if (FStore->registry) {
        if (text.rfind("hex:", 0) != 0)
            return out;
        text = text.substr(4);
    }
    std::string digits;
    for (char c : text)
        if (std::isxdigit(static_cast<unsigned char>(c)))
            digits += c;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return out;
}

void TPkRegIniFile::WriteBinaryStream(const std::string& section, const std::string& name,
                                      const std::vector<std::uint8_t>& value) {
    OpenStorage();
    std::string text = FStore->registry ? "hex:" : "";
    for (std::size_t i = 0; i < value.size(); ++i)
        text += (FStore->registry && i ? "," : "") + Hex2(value[i]);
    FStore->data.Set(Section(section), name, text);
    Flush();
}

void TPkRegIniFile::ReadSection(const std::string& section, TStrings* names) {
    OpenStorage();
    names->BeginUpdate();
    names->Clear();
    if (auto* s = FStore->data.Find(Section(section)))
        for (auto& [k, v] : s->values)
            names->Add(k);
    names->EndUpdate();
}

void TPkRegIniFile::ReadSections(TStrings* sections) {
    OpenStorage();
    sections->BeginUpdate();
    sections->Clear();
    if (FStore->registry) {
        // The subkeys of the opened key.
        const std::string prefix = FPath + (!FPath.empty() && FPath.back() == '\\' ? "" : "\\");
        for (auto& s : FStore->data.sections)
            if (s.name.size() > prefix.size() && SameText(s.name.substr(0, prefix.size()), prefix) &&
                s.name.find('\\', prefix.size()) == std::string::npos)
                sections->Add(s.name.substr(prefix.size()));
    } else {
        for (auto& s : FStore->data.sections)
            sections->Add(s.name);
    }
    sections->EndUpdate();
}

void TPkRegIniFile::ReadSectionValues(const std::string& section, TStrings* values) {
    OpenStorage();
    values->BeginUpdate();
    values->Clear();
    if (auto* s = FStore->data.Find(Section(section))) {
        if (!FStore->registry) {
            for (auto& [k, v] : s->values)
                values->Add(k + "=" + v);
        } else {
            auto sorted = s->values;
            std::sort(sorted.begin(), sorted.end(),
                      [](const auto& a, const auto& b) { return UpperCase(a.first) < UpperCase(b.first); });
            for (auto& [k, v] : sorted) {
                std::string name = k.empty() ? "Default" : k;
                if (v.rfind("dword:", 0) == 0) {
                    values->Add(name + "=" + std::to_string(std::stoll(v.substr(6))));
                } else if (v.rfind("hex:", 0) == 0) {
                    std::string line = name + "=";
                    std::string rest = v.substr(4);
                    std::size_t pos = 0;
                    while (pos < rest.size()) {
                        std::size_t comma = rest.find(',', pos);
                        line +=
                            rest.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos) +
                            " ";
                        if (comma == std::string::npos)
                            break;
                        pos = comma + 1;
                    }
                    values->Add(line);
                } else if (v.rfind("type:", 0) == 0) {
                    values->Add(name + "=Unknown Data Type");
                } else {
                    values->Add(name + "=" + v);
                }
            }
        }
    }
    values->EndUpdate();
}

void TPkRegIniFile::EraseSection(const std::string& section) {
    OpenStorage();
    auto& list = FStore->data.sections;
    const std::string name = Section(section);
    list.erase(
        std::remove_if(list.begin(), list.end(), [&](const auto& s) { return SameText(s.name, name); }),
        list.end());
    Flush();
}

void TPkRegIniFile::DeleteKey(const std::string& section, const std::string& name) {
    OpenStorage();
    if (auto* s = FStore->data.Find(Section(section)))
        s->values.erase(std::remove_if(s->values.begin(), s->values.end(),
                                       [&](const auto& kv) { return SameText(kv.first, name); }),
                        s->values.end());
    Flush();
}

// ---------------------------------------------------------------------------------------------------
// Frame controller

KV_REGISTER_CLASS(TPkFrameController, TComponent, b) {
    PK_COLOR_PROP(b, "Color", &TPkFrameController::Color, &TPkFrameController::SetColor, clWindow)
        .Stored([](const TPkFrameController& c) { return !c.ParentColor(); });
    PK_COLOR_PROP(b, "DisabledColor", &TPkFrameController::DisabledColor,
                  &TPkFrameController::SetDisabledColor, clBtnFace);
    PK_COLOR_PROP(b, "ReadOnlyColor", &TPkFrameController::ReadOnlyColor,
                  &TPkFrameController::SetReadOnlyColor, clInfoBk);
    b.Prop("ReadOnlyColorOnFocus", &TPkFrameController::ReadOnlyColorOnFocus,
           &TPkFrameController::SetReadOnlyColorOnFocus)
        .Default(false);
    PK_COLOR_PROP(b, "FlatButtonColor", &TPkFrameController::FlatButtonColor,
                  &TPkFrameController::SetFlatButtonColor, clBtnFace);
    b.Prop("FlatButtons", &TPkFrameController::FlatButtons, &TPkFrameController::SetFlatButtons)
        .Default(true);
    PK_COLOR_PROP(b, "FocusColor", &TPkFrameController::FocusColor, &TPkFrameController::SetFocusColor,
                  clWindow);
    PK_COLOR_PROP(b, "FrameColor", &TPkFrameController::FrameColor, &TPkFrameController::SetFrameColor,
                  clBtnShadow);
    PK_COLOR_PROP(b, "FrameHotColor", &TPkFrameController::FrameHotColor,
                  &TPkFrameController::SetFrameHotColor, clBtnShadow);
    b.Prop("FrameHotStyle", &TPkFrameController::FrameHotStyle, &TPkFrameController::SetFrameHotStyle)
        .Default(TFrameStyleEx::fsFlatBold);
    b.Prop("FrameHotTrack", &TPkFrameController::FrameHotTrack, &TPkFrameController::SetFrameHotTrack)
        .Default(false);
    b.Prop("FrameSides", &TPkFrameController::FrameSides, &TPkFrameController::SetFrameSides)
        .Default(AllSides);
    b.Prop("FrameStyle", &TPkFrameController::FrameStyle, &TPkFrameController::SetFrameStyle)
        .Default(TFrameStyleEx::fsFlat);
    b.Prop("FrameVisible", &TPkFrameController::FrameVisible, &TPkFrameController::SetFrameVisible)
        .Default(false);
    b.Prop("FramingPreference", &TPkFrameController::FramingPreference,
           &TPkFrameController::SetFramingPreference)
        .Default(TFramingPreference::fpXPThemes);
    b.Prop("ParentColor", &TPkFrameController::ParentColor, &TPkFrameController::SetParentColor)
        .Default(false);
    b.Ref("RegIniFile", &TPkFrameController::RegIniFile, &TPkFrameController::SetRegIniFile);
    // Obsolete entries of old layouts, read and never written.
    b.Prop("FrameFlat", &TPkFrameController::FrameFlatLegacy, &TPkFrameController::SetFrameFlatLegacy)
        .Stored([](const TPkFrameController&) { return false; });
    b.Prop("FrameFocusStyle", &TPkFrameController::FrameFocusStyleLegacy,
           &TPkFrameController::SetFrameFocusStyleLegacy)
        .Stored([](const TPkFrameController&) { return false; });
    b.Prop("FrameFlatStyle", &TPkFrameController::FrameFlatStyleLegacy,
           &TPkFrameController::SetFrameFlatStyleLegacy)
        .Stored([](const TPkFrameController&) { return false; });
}

TPkFrameController::TPkFrameController(TComponent* owner) : TComponent(owner) {}

TPkFrameController::~TPkFrameController() {
    Destroying();
    // Linked controls drop their reference through the free notification of the component.
    FFrameList.reset();
}

void TPkFrameController::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove) {
        if (component == FRegIniFile)
            FRegIniFile = nullptr;
        if (FFrameList) {
            auto& l = *FFrameList;
            l.erase(std::remove(l.begin(), l.end(), component), l.end());
        }
    }
}

namespace {
struct FrameProp {
    TPkFrameControllerProperty id;
    const char* name;
};
// Order of the whole-set application.
constexpr FrameProp kFrameProps[] = {
    {TPkFrameControllerProperty::fcpParentColor, "ParentColor"},
    {TPkFrameControllerProperty::fcpColor, "Color"},
    {TPkFrameControllerProperty::fcpDisabledColor, "DisabledColor"},
    {TPkFrameControllerProperty::fcpReadOnlyColor, "ReadOnlyColor"},
    {TPkFrameControllerProperty::fcpReadOnlyColorOnFocus, "ReadOnlyColorOnFocus"},
    {TPkFrameControllerProperty::fcpFocusColor, "FocusColor"},
    {TPkFrameControllerProperty::fcpFlatButtonColor, "FlatButtonColor"},
    {TPkFrameControllerProperty::fcpFlatButtons, "FlatButtons"},
    {TPkFrameControllerProperty::fcpFrameColor, "FrameColor"},
    {TPkFrameControllerProperty::fcpFrameHotColor, "FrameHotColor"},
    {TPkFrameControllerProperty::fcpFrameHotTrack, "FrameHotTrack"},
    {TPkFrameControllerProperty::fcpFrameHotStyle, "FrameHotStyle"},
    {TPkFrameControllerProperty::fcpFrameSides, "FrameSides"},
    {TPkFrameControllerProperty::fcpFrameStyle, "FrameStyle"},
    {TPkFrameControllerProperty::fcpFrameVisible, "FrameVisible"},
    {TPkFrameControllerProperty::fcpFramingPreference, "FramingPreference"},
};
} // namespace

void TPkFrameController::ApplyToControl(TControl* control, TPkFrameControllerProperty property) {
    if (!control)
        return;
    const TClassInfo& ci = control->ClassInfo();
    std::uint32_t notes = 0xFFFF;
    if (const TPropInfo* p = ci.FindProp("FrameControllerNotifications"); p && p->GetOrd)
        notes = static_cast<std::uint32_t>(p->GetOrd(*control));
    if (auto* framing = dynamic_cast<IPkFramingNotification*>(control)) {
        framing->FramingChanged();
        return;
    }
    const TClassInfo& mine = ClassInfo();
    auto copy = [&](const FrameProp& fp) {
        if (!((notes >> static_cast<unsigned>(fp.id)) & 1u))
            return;
        const TPropInfo* dst = ci.FindProp(fp.name);
        const TPropInfo* src = mine.FindProp(fp.name);
        if (!dst || !src || !dst->SetOrd || !src->GetOrd)
            return;
        dst->SetOrd(*control, src->GetOrd(*this));
    };
    if (property == TPkFrameControllerProperty::fcpAll) {
        for (const FrameProp& fp : kFrameProps) {
            if (fp.id == TPkFrameControllerProperty::fcpColor && FParentColor)
                continue;
            copy(fp);
        }
        return;
    }
    for (const FrameProp& fp : kFrameProps)
        if (fp.id == property)
            copy(fp);
}

void TPkFrameController::ApplyToAll(TPkFrameControllerProperty property) {
    if (FUpdateCount > 0 || !FFrameList)
        return;
    const std::vector<TControl*> list = *FFrameList;
    for (TControl* c : list)
        ApplyToControl(c, property);
}

void TPkFrameController::AddControl(TControl* control) {
    if (!control)
        return;
    if (!FFrameList)
        FFrameList = std::make_unique<std::vector<TControl*>>();
    if (std::find(FFrameList->begin(), FFrameList->end(), control) != FFrameList->end())
        return;
    FFrameList->push_back(control);
    ApplyToControl(control, TPkFrameControllerProperty::fcpAll);
}

void TPkFrameController::RemoveControl(TControl* control) {
    if (!FFrameList)
        return;
    auto& l = *FFrameList;
    l.erase(std::remove(l.begin(), l.end(), control), l.end());
    if (l.empty())
        FFrameList.reset();
}

void TPkFrameController::EndUpdate() {
    --FUpdateCount;
    if (FUpdateCount <= 0) {
        FUpdateCount = 0;
        ApplyToAll(TPkFrameControllerProperty::fcpAll);
    }
}

void TPkFrameController::Loaded() {
    TComponent::Loaded();
    UpdateControls();
}

template <class T> void TPkFrameController::Update(T& field, T value, TPkFrameControllerProperty property) {
    if (field == value)
        return;
    field = value;
    ApplyToAll(property);
}

void TPkFrameController::SetColor(TColor v) {
    if (v == FColor)
        return;
    if (FFocusColor == FColor)
        FFocusColor = v;
    FColor = v;
    FParentColor = false;
    ApplyToAll(TPkFrameControllerProperty::fcpColor);
}
void TPkFrameController::SetParentColor(bool v) {
    if (v == FParentColor)
        return;
    FParentColor = v;
    ApplyToAll(TPkFrameControllerProperty::fcpParentColor);
    if (!v)
        ApplyToAll(TPkFrameControllerProperty::fcpColor);
}
void TPkFrameController::SetFlatButtonColor(TColor v) {
    Update(FFlatButtonColor, v, TPkFrameControllerProperty::fcpFlatButtonColor);
}
void TPkFrameController::SetFlatButtons(bool v) {
    Update(FFlatButtons, v, TPkFrameControllerProperty::fcpFlatButtons);
}
void TPkFrameController::SetDisabledColor(TColor v) {
    Update(FDisabledColor, v, TPkFrameControllerProperty::fcpDisabledColor);
}
void TPkFrameController::SetReadOnlyColor(TColor v) {
    Update(FReadOnlyColor, v, TPkFrameControllerProperty::fcpReadOnlyColor);
}
void TPkFrameController::SetReadOnlyColorOnFocus(bool v) {
    Update(FReadOnlyColorOnFocus, v, TPkFrameControllerProperty::fcpReadOnlyColorOnFocus);
}
void TPkFrameController::SetFocusColor(TColor v) {
    Update(FFocusColor, v, TPkFrameControllerProperty::fcpFocusColor);
}
void TPkFrameController::SetFrameColor(TColor v) {
    Update(FFrameColor, v, TPkFrameControllerProperty::fcpFrameColor);
}
void TPkFrameController::SetFrameHotColor(TColor v) {
    Update(FFrameHotColor, v, TPkFrameControllerProperty::fcpFrameHotColor);
}
void TPkFrameController::SetFrameHotTrack(bool v) {
    if (v == FFrameHotTrack)
        return;
    FFrameHotTrack = v;
    if (v) {
        SetFrameVisible(true);
        if (!IsLoading())
            SetFrameSides(AllSides);
    }
    ApplyToAll(TPkFrameControllerProperty::fcpFrameHotTrack);
}
void TPkFrameController::SetFrameHotStyle(TFrameStyle v) {
    Update(FFrameHotStyle, v, TPkFrameControllerProperty::fcpFrameHotStyle);
}
void TPkFrameController::SetFrameSides(TSides v) {
    Update(FFrameSides, v, TPkFrameControllerProperty::fcpFrameSides);
}
void TPkFrameController::SetFrameStyle(TFrameStyle v) {
    Update(FFrameStyle, v, TPkFrameControllerProperty::fcpFrameStyle);
}
void TPkFrameController::SetFrameVisible(bool v) {
    Update(FFrameVisible, v, TPkFrameControllerProperty::fcpFrameVisible);
}
void TPkFrameController::SetFramingPreference(TFramingPreference v) {
    Update(FFramingPreference, v, TPkFrameControllerProperty::fcpFramingPreference);
}
void TPkFrameController::SetRegIniFile(TPkRegIniFile* v) {
    if (v == FRegIniFile)
        return;
    if (FRegIniFile)
        FRegIniFile->RemoveFreeNotification(this);
    FRegIniFile = v;
    if (v)
        v->FreeNotification(this);
}

void TPkFrameController::SetFrameFlatLegacy(bool v) {
    SetFrameHotTrack(v);
    if (v) {
        SetFrameStyle(TFrameStyleEx::fsStatus);
        SetFrameHotStyle(TFrameStyleEx::fsLowered);
    }
}

void TPkFrameController::Assign(const TPersistent* source) {
    auto* s = dynamic_cast<const TPkFrameController*>(source);
    if (!s) {
        TComponent::Assign(source);
        return;
    }
    BeginUpdate();
    SetColor(s->FColor);
    SetParentColor(s->FParentColor);
    SetFlatButtonColor(s->FFlatButtonColor);
    SetFlatButtons(s->FFlatButtons);
    SetDisabledColor(s->FDisabledColor);
    SetReadOnlyColor(s->FReadOnlyColor);
    SetReadOnlyColorOnFocus(s->FReadOnlyColorOnFocus);
    SetFocusColor(s->FFocusColor);
    SetFrameColor(s->FFrameColor);
    SetFrameHotColor(s->FFrameHotColor);
    SetFrameHotTrack(s->FFrameHotTrack);
    SetFrameHotStyle(s->FFrameHotStyle);
    SetFrameSides(s->FFrameSides);
    SetFrameStyle(s->FFrameStyle);
    SetFrameVisible(s->FFrameVisible);
    SetFramingPreference(s->FFramingPreference);
    EndUpdate();
}

void TPkFrameController::Save(const std::string& section) {
    if (!FRegIniFile)
        throw ENoRegIniFile("Cannot save Custom Framing settings--No TPkRegIniFile component specified");
    TPkRegIniFile& r = *FRegIniFile;
    r.WriteInteger(section, "Color", FColor);
    r.WriteInteger(section, "FlatButtonColor", FFlatButtonColor);
    r.WriteBool(section, "FlatButtons", FFlatButtons);
    r.WriteInteger(section, "DisabledColor", FDisabledColor);
    r.WriteInteger(section, "ReadOnlyColor", FReadOnlyColor);
    r.WriteBool(section, "ReadOnlyColorOnFocus", FReadOnlyColorOnFocus);
    r.WriteInteger(section, "FocusColor", FFocusColor);
    r.WriteInteger(section, "FrameColor", FFrameColor);
    r.WriteInteger(section, "FrameHotColor", FFrameHotColor);
    r.WriteInteger(section, "FrameHotStyle", static_cast<int>(FFrameHotStyle));
    r.WriteBool(section, "FrameHotTrack", FFrameHotTrack);
    r.WriteBool(section, "FrameSides_Left", FFrameSides.Contains(TSide::sdLeft));
    r.WriteBool(section, "FrameSides_Top", FFrameSides.Contains(TSide::sdTop));
    r.WriteBool(section, "FrameSides_Right", FFrameSides.Contains(TSide::sdRight));
    r.WriteBool(section, "FrameSides_Bottom", FFrameSides.Contains(TSide::sdBottom));
    r.WriteInteger(section, "FrameStyle", static_cast<int>(FFrameStyle));
    r.WriteBool(section, "FrameVisible", FFrameVisible);
    r.WriteInteger(section, "FramingPreference", static_cast<int>(FFramingPreference));
}

void TPkFrameController::Load(const std::string& section) {
    if (!FRegIniFile)
        throw ENoRegIniFile("Cannot load Custom Framing settings--No TPkRegIniFile component specified");
    TPkRegIniFile& r = *FRegIniFile;
    auto style = [](int v) { return static_cast<TFrameStyle>(std::clamp(v, 0, 10)); };
    BeginUpdate();
    SetColor(r.ReadInteger(section, "Color", clWindow));
    SetFlatButtonColor(r.ReadInteger(section, "FlatButtonColor", clBtnFace));
    SetFlatButtons(r.ReadBool(section, "FlatButtons", true));
    SetDisabledColor(r.ReadInteger(section, "DisabledColor", clWindow));
    SetReadOnlyColor(r.ReadInteger(section, "ReadOnlyColor", clInfoBk));
    SetReadOnlyColorOnFocus(r.ReadBool(section, "ReadOnlyColorOnFocus", false));
    SetFocusColor(r.ReadInteger(section, "FocusColor", clWindow));
    SetFrameColor(r.ReadInteger(section, "FrameColor", clBtnShadow));
    SetFrameHotColor(r.ReadInteger(section, "FrameHotColor", clBtnShadow));
    SetFrameHotStyle(style(r.ReadInteger(section, "FrameHotStyle", 10)));
    SetFrameHotTrack(r.ReadBool(section, "FrameHotTrack", false));
    TSides sides;
    if (r.ReadBool(section, "FrameSides_Left", true))
        sides.Include(TSide::sdLeft);
    if (r.ReadBool(section, "FrameSides_Top", true))
        sides.Include(TSide::sdTop);
    if (r.ReadBool(section, "FrameSides_Right", true))
        sides.Include(TSide::sdRight);
    if (r.ReadBool(section, "FrameSides_Bottom", true))
        sides.Include(TSide::sdBottom);
    SetFrameSides(sides);
    SetFrameStyle(style(r.ReadInteger(section, "FrameStyle", 1)));
    SetFrameVisible(r.ReadBool(section, "FrameVisible", false));
    SetFramingPreference(
        static_cast<TFramingPreference>(std::clamp(r.ReadInteger(section, "FramingPreference", 1), 0, 1)));
    EndUpdate();
}

void PkSetFrameController(TControl* self, TPkFrameController*& field, TPkFrameController* value) {
    if (value == field)
        return;
    if (field) {
        field->RemoveControl(self);
        field->RemoveFreeNotification(self);
    }
    field = value;
    if (value) {
        value->FreeNotification(self);
        value->AddControl(self);
    }
}

} // namespace kv
