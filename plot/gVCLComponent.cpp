#include "plot/gVCLComponent.h"

#include "plot/gPropText.h"
#include "plot/opc/gOPCItems.h"

#include "platform/core/FileIO.h"
#include "platform/core/Numbers.h"
#include "platform/sys/Scheduler.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdlib>

namespace kv {

KV_REGISTER_CLASS(TgVCLComponent, TgComponent, b) {
    b.Prop("OPCItems", &TgVCLComponent::OPCItemsText, &TgVCLComponent::SetOPCItemsText)
        .Stored([](const TgVCLComponent& c) { return c.OPCItemCount() > 0; });
}
KV_REGISTER_CLASS(TgCustomComponent, TgVCLComponent, b) {}

namespace {
std::string gMachineThemeConfig, gUserThemeConfig;

std::string MachineThemeConfig() {
    return gMachineThemeConfig.empty() ? std::string("/etc/xdg/korvane/themes.conf") : gMachineThemeConfig;
}

std::string UserThemeConfig() {
    if (!gUserThemeConfig.empty())
        return gUserThemeConfig;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return std::string(xdg) + "/korvane/themes.conf";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.config/korvane/themes.conf";
    return {};
}

// "Name = value" lines of a configuration file; a missing file or key counts as empty.
std::string ConfigValue(const std::string& file, std::string_view key) {
    if (file.empty())
        return {};
    auto bytes = gReadWholeFile(file);
    if (!bytes)
        return {};
    TStringList lines;
    lines.SetText(*bytes);
    std::string value;
    return gExtractPropertyValue(key, value, lines) ? value : std::string();
}

std::string ThemeFolder(std::string_view key) {
    std::string machine = ConfigValue(MachineThemeConfig(), key);
    std::string user = ConfigValue(UserThemeConfig(), key);
    std::string path = user.empty() ? machine : user;
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path;
}
} // namespace

void TgVCLComponent::SetThemeConfigFiles(const std::string& machineFile, const std::string& userFile) {
    gMachineThemeConfig = machineFile;
    gUserThemeConfig = userFile;
}

TgVCLComponent::TgVCLComponent(TComponent* owner)
    : TgComponent(owner), FOPCItemManager(std::make_unique<TgOPCItemManager>(this)) {
    FOPCItemManager->OnGetDesigning = [this](TObject*, bool& designing) { designing = GetDesigning(); };
    FOPCItemManager->OnNewData = [this](TObject* sender) { OPCItemNewData(static_cast<TgOPCItem*>(sender)); };
    FOPCItemManager->OnGetType = [this](const std::string& name, TTypeKind& kind) {
        kind = GetPropertyKind(name);
    };
}

TgVCLComponent::~TgVCLComponent() {
    Destroying();
    FOPCItemManager.reset();
    TimerStop();
}

// ---------------------------------------------------------------------------------------------------
// Lock and timer

void TgVCLComponent::Lock() {
    if (!IsDestroying())
        FDataCriticalSection.lock();
}

void TgVCLComponent::Unlock() {
    if (!IsDestroying())
        FDataCriticalSection.unlock();
}

void TgVCLComponent::TimerStart(int initialDelay, int interval) {
    if (FTimerID != 0)
        return;
    FTimerInterval = interval;
    int first = 0;
    if (initialDelay != 0) {
        first = initialDelay;
        FTimerFirstMessage = true;
    } else if (interval != 0) {
        first = interval;
        FTimerFirstMessage = false;
    } else {
        return;
    }
    FTimer = std::make_unique<TTimer>(nullptr);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(static_cast<uint32_t>(first));
    FTimer->OnTimer = [this] { TimerMessage(); };
    FTimer->SetEnabled(true);
    FTimerID = 1;
}

void TgVCLComponent::TimerStop() {
    if (FTimerID == 0)
        return;
    FTimer.reset();
    FTimerID = 0;
}

void TgVCLComponent::TimerMessage() {
    if (FTimerFirstMessage) {
        FTimerFirstMessage = false;
        // An interval of 0 after the first message leaves the timer at its initial delay.
        if (FTimerInterval > 0)
            FTimer->SetInterval(static_cast<uint32_t>(FTimerInterval));
    }
    if (OnInternalTimer)
        OnInternalTimer(this);
}

// ---------------------------------------------------------------------------------------------------
// Geometry and background

void TgVCLComponent::gPaintToDC(int x, int y, TCanvas& canvas, bool transparent) {
    if (Width() <= 0 || Height() <= 0)
        return;
    FPaintDCTransparent = transparent;
    Lock();
    bool cached = FCachedDrawing;
    try {
        TBitmap bitmap(Width(), Height());
        // Clear where nothing is drawn, so that the target keeps its own pixels there.
        bitmap.Image() = QImage(Width(), Height(), QImage::Format_ARGB32_Premultiplied);
        bitmap.Image().fill(Qt::transparent);
        FCachedDrawing = false;
        gPaint(*bitmap.Canvas());
        canvas.Draw(x, y, &bitmap);
    } catch (const std::exception&) {
    }
    FCachedDrawing = cached;
    Unlock();
    FPaintDCTransparent = false;
}

// ---------------------------------------------------------------------------------------------------
// Image export

namespace {
void VclCheckJpegQuality(int quality) {
    if (quality < 1 || quality > 100)
        throw EKvError("Compression must be in the range of 1-100");
}
void VclCheckPngLevel(int level) {
    if (level < 0 || level > 9)
        throw EKvError("Compression must be in the range of 0-9");
}
} // namespace

QImage TgVCLComponent::RenderImage() {
    TBitmap bitmap(std::max(Width(), 1), std::max(Height(), 1));
    Lock();
    const bool cached = FCachedDrawing;
    FCachedDrawing = false;
    try {
        gPaint(*bitmap.Canvas());
    } catch (...) {
        FCachedDrawing = cached;
        Unlock();
        throw;
    }
    FCachedDrawing = cached;
    Unlock();
    return bitmap.Image().convertToFormat(QImage::Format_RGB32);
}

std::vector<std::uint8_t> TgVCLComponent::GetBytesMetaFile() {
    const QImage image = RenderImage();
    const std::vector<std::uint8_t> png = EncodePng(image, 9);
    const QByteArray data =
        QByteArray(reinterpret_cast<const char*>(png.data()), static_cast<qsizetype>(png.size())).toBase64();
    const std::string w = std::to_string(image.width()), h = std::to_string(image.height());
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
                      w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h +
                      "\">\n<metadata>Tarvek</metadata>\n<image x=\"0\" y=\"0\" width=\"" + w +
                      "\" height=\"" + h + "\" href=\"data:image/png;base64,";
    svg.append(data.constData(), static_cast<std::size_t>(data.size()));
    svg += "\"/>\n</svg>\n";
    return std::vector<std::uint8_t>(svg.begin(), svg.end());
}

void TgVCLComponent::SaveImageToMetaFile(const std::string& fileName) {
    WriteFileBytes(fileName, GetBytesMetaFile());
}

std::vector<std::uint8_t> TgVCLComponent::GetBytesJPEG(int compression, bool progressive) {
    VclCheckJpegQuality(compression);
    return EncodeJpeg(RenderImage(), compression, progressive);
}

std::vector<std::uint8_t> TgVCLComponent::GetBytesPNG(int compression) {
    VclCheckPngLevel(compression);
    return EncodePng(RenderImage(), compression);
}

void TgVCLComponent::SaveImageToJPEG(const std::string& fileName, int compression, bool progressive) {
    WriteFileBytes(fileName, GetBytesJPEG(compression, progressive));
}

void TgVCLComponent::SaveImageToPNG(const std::string& fileName, int compression) {
    WriteFileBytes(fileName, GetBytesPNG(compression));
}

std::unique_ptr<TJPEGImage> TgVCLComponent::CreateJPEGImage(int quality, bool progressive) {
    VclCheckJpegQuality(quality);
    auto image = std::make_unique<TJPEGImage>();
    image->SetCompressionQuality(quality);
    image->SetProgressiveEncoding(progressive);
    image->FromImage(RenderImage());
    return image;
}

void TgVCLComponent::SetBounds(int left, int top, int width, int height) {
    if (left == Left() && top == Top() && width == Width() && height == Height())
        return;
    TgComponent::SetBounds(left, top, width, height);
    RequestTransparentCapture();
    if (width > 0 && height > 0)
        GetBackGroundBitmap()->SetSize(width, height);
    BackGroundChange();
}

void TgVCLComponent::RepaintAll() {
    TgComponent::RepaintAll();
    RequestTransparentCapture();
}

void TgVCLComponent::SetTransparent(bool v) {
    if (v == Transparent())
        return;
    // The layer composes the parent under a transparent control, so no capture of the screen is kept.
    TgComponent::SetTransparent(v);
    if (v)
        RequestTransparentCapture();
    BackGroundChange();
}

void TgVCLComponent::RequestTransparentCapture() {
    if (!Transparent() || FNeedsTransparentCapture)
        return;
    FNeedsTransparentCapture = true;
    BackGroundChange();
}

void TgVCLComponent::PaintBackGround(TCanvas& canvas, TColor color) {
    if (FPaintDCTransparent)
        return;
    if (!Transparent()) {
        TgComponent::PaintBackGround(canvas, color);
        return;
    }
    // Transparent: the parent shows wherever the control's own drawing leaves the image clear.
    FNeedsTransparentCapture = false;
    FBackGroundChanged = false;
}

// ---------------------------------------------------------------------------------------------------
// Input

void TgVCLComponent::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    try {
        TgComponent::MouseDown(button, shift, x, y);
    } catch (const std::exception&) {
    }
}

void TgVCLComponent::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    try {
        TgComponent::MouseUp(button, shift, x, y);
    } catch (const std::exception&) {
    }
}

void TgVCLComponent::DblClick() {
    try {
        TgComponent::DblClick();
    } catch (const std::exception&) {
    }
}

bool TgVCLComponent::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
    // The hook alone decides; the framework's own wheel handling and event do not run.
    try {
        gMouseWheel(wheelDelta, shift, mousePos);
    } catch (const std::exception&) {
    }
    return true;
}

void TgVCLComponent::DoEnter() {
    FUserGenerated = true;
    try {
        gGotFocus();
    } catch (...) {
        FUserGenerated = false;
        throw;
    }
    FUserGenerated = false;
    TgComponent::DoEnter();
}

void TgVCLComponent::DoExit() {
    FUserGenerated = true;
    gLostFocus(); // swallows its own errors
    FUserGenerated = false;
    TgComponent::DoExit();
}

// ---------------------------------------------------------------------------------------------------
// Data-item values

bool TgVCLComponent::OPCNewDataSpecial(const std::string&, TgOPCVariant&) {
    return false;
}

void TgVCLComponent::OPCItemNewData(TgOPCItem* item) {
    if (!item || item->PropertyName().empty())
        return;
    int index = FOPCItemManager->FindIndex(item);
    TgOPCVariant data = item->Data();
    if (OnBeforeNewOPCData)
        OnBeforeNewOPCData(this, index, data);
    FOPCIncomingActive = true;
    try {
        if (item->QualityGood() && !OPCNewDataSpecial(item->PropertyName(), data))
            SetPropertyFromVariant(*this, "", data.Text(), item->PropertyName());
    } catch (...) {
        FOPCIncomingActive = false;
        throw;
    }
    FOPCIncomingActive = false;
    if (OnNewOPCData)
        OnNewOPCData(this, index);
}

bool TgVCLComponent::OPCPropertyChanged(const std::string& propertyName, const TgOPCVariant& value) {
    if (FOPCIncomingActive) {
        FOPCIncomingActive = false;
        return false;
    }
    bool written = false;
    for (int i = 0; i < FOPCItemManager->Count(); ++i) {
        TgOPCItem* item = FOPCItemManager->GetItem(i);
        if (item->Active() && SameText(item->PropertyName(), propertyName)) {
            item->SetData(value);
            written = true;
        }
    }
    return written;
}

std::string TgVCLComponent::OPCItemsText() const {
    TgWriter writer;
    writer.RootAncestor = const_cast<TgVCLComponent*>(this);
    FOPCItemManager->WriteToStream(writer);
    return writer.Text();
}

void TgVCLComponent::SetOPCItemsText(const std::string& text) {
    TgReader reader = TgReader::FromText(text);
    FOPCItemManager->ReadFromStream(reader);
}

int TgVCLComponent::OPCAddItem() {
    return FOPCItemManager->Add();
}
int TgVCLComponent::OPCItemCount() const {
    return FOPCItemManager->Count();
}
void TgVCLComponent::OPCRemoveAllItems() {
    FOPCItemManager->Clear();
}
void TgVCLComponent::OPCDeleteItem(int index) {
    FOPCItemManager->Delete(index);
}
void TgVCLComponent::OPCItemActivate(int index) {
    FOPCItemManager->GetItem(index)->Activate();
}
void TgVCLComponent::OPCItemDeactivate(int index) {
    FOPCItemManager->GetItem(index)->Deactivate();
}
void TgVCLComponent::OPCItemUpdateResume(int index) {
    FOPCItemManager->GetItem(index)->UpdateResume();
}
void TgVCLComponent::OPCItemUpdateSuspend(int index) {
    FOPCItemManager->GetItem(index)->UpdateSuspend();
}
void TgVCLComponent::OPCItemLoaded(int index) {
    FOPCItemManager->GetItem(index)->Loaded();
}
void TgVCLComponent::SetOPCItemData(int index, const TgOPCVariant& value) {
    FOPCItemManager->GetItem(index)->SetData(value);
}
void TgVCLComponent::SetOPCItemComputerName(int index, const std::string& value) {
    FOPCItemManager->GetItem(index)->SetComputerName(value);
}
void TgVCLComponent::SetOPCItemServerName(int index, const std::string& value) {
    FOPCItemManager->GetItem(index)->SetServerName(value);
}
void TgVCLComponent::SetOPCItemItemName(int index, const std::string& value) {
    FOPCItemManager->GetItem(index)->SetItemName(value);
}
void TgVCLComponent::SetOPCItemPropertyName(int index, const std::string& value) {
    FOPCItemManager->GetItem(index)->SetPropertyName(value);
}
void TgVCLComponent::SetOPCItemAutoConnect(int index, bool value) {
    FOPCItemManager->GetItem(index)->SetAutoConnect(value);
}
void TgVCLComponent::SetOPCItemUpdateRate(int index, int value) {
    FOPCItemManager->GetItem(index)->SetUpdateRate(value);
}
std::string TgVCLComponent::GetOPCItemComputerName(int index) const {
    return FOPCItemManager->GetItem(index)->ComputerName();
}
std::string TgVCLComponent::GetOPCItemServerName(int index) const {
    return FOPCItemManager->GetItem(index)->ServerName();
}
std::string TgVCLComponent::GetOPCItemItemName(int index) const {
    return FOPCItemManager->GetItem(index)->ItemName();
}
std::string TgVCLComponent::GetOPCItemPropertyName(int index) const {
    return FOPCItemManager->GetItem(index)->PropertyName();
}
bool TgVCLComponent::GetOPCItemAutoConnect(int index) const {
    return FOPCItemManager->GetItem(index)->AutoConnect();
}
int TgVCLComponent::GetOPCItemUpdateRate(int index) const {
    return FOPCItemManager->GetItem(index)->UpdateRate();
}
TgOPCVariant TgVCLComponent::GetOPCItemData(int index) const {
    return FOPCItemManager->GetItem(index)->Data();
}
std::uint16_t TgVCLComponent::GetOPCItemQuality(int index) const {
    return FOPCItemManager->GetItem(index)->Quality();
}
double TgVCLComponent::GetOPCItemTimeStamp(int index) const {
    return FOPCItemManager->GetItem(index)->TimeStamp();
}

namespace {
void SetFromText(TObject& object, const TPropInfo& p, std::string text) {
    switch (p.Kind) {
    case TTypeKind::tkEnumeration: {
        if (SameText(text, "True"))
            text = "1";
        else if (SameText(text, "False"))
            text = "0";
        if (p.EnumNames.size() == 2 && text != "0")
            text = "1";
        gSetPropertyText(object, p.Name, text, gLocaleDecimalSeparator());
        break;
    }
    case TTypeKind::tkInteger:
    case TTypeKind::tkChar:
    case TTypeKind::tkSet:
    case TTypeKind::tkFloat:
    case TTypeKind::tkString:
        if (p.Kind == TTypeKind::tkString)
            p.SetStr(object, text); // strings as they are, without the "#13" markers of the files
        else
            gSetPropertyText(object, p.Name, text, gLocaleDecimalSeparator());
        break;
    default:
        break;
    }
}
} // namespace

void SetPropertyFromVariant(TObject& object, const std::string& prefix, const std::string& value,
                            const std::string& propertyName) {
    for (const auto& sp : object.ClassInfo().Props()) {
        const TPropInfo& p = *sp;
        if (!p.Writable())
            continue;
        std::string full = prefix.empty() ? p.Name : prefix + "." + p.Name;
        if (p.Kind == TTypeKind::tkClass) {
            if (!p.IsReference)
                if (TPersistent* sub = p.GetObject(object))
                    SetPropertyFromVariant(*sub, full, value, propertyName);
            continue;
        }
        if (SameText(full, propertyName))
            SetFromText(object, p, value);
    }
}

// ---------------------------------------------------------------------------------------------------
// Themes

void TgVCLComponent::LoadThemes() {
    FThemeCategoryList.clear();
    std::string vendorFolder = ThemeFolder("Tarvek Defined Theme Path");
    std::string userFolder = ThemeFolder("User Defined Theme Path");
    const std::string vendorFile = vendorFolder + ClassName() + ".xml";
    const std::string userFile = userFolder + ClassName() + "User.xml";
    for (const auto& [file, user] : {std::pair{vendorFile, false}, std::pair{userFile, true}}) {
        if (!QFileInfo(QString::fromStdString(file)).isFile())
            continue;
        TgXMLMemoryStream stream;
        stream.LoadFromFile(file);
        std::string text(stream.Data().begin(), stream.Data().end());
        LoadThemeText(text, user);
    }
}

void TgVCLComponent::LoadThemeText(const std::string& text, bool user) {
    TgXMLMemoryStream s;
    s.LoadFromBytes(text);
    auto expect = [&](std::string_view piece) {
        if (s.GetNextPiece() != piece)
            throw EKvError("Error Loading Scheme. XML File Malformed");
    };
    s.GotoElementStart("SchemeTypes");
    while (s.PeekNextPiece() == "SchemeType") {
        s.GotoElementStart("SchemeType");
        std::string categoryName;
        s.GetElement("Name", categoryName);
        Category* category = nullptr;
        for (auto& c : FThemeCategoryList)
            if (SameText(c.name, categoryName)) {
                category = &c;
                break;
            }
        if (!category) {
            FThemeCategoryList.push_back({categoryName, {}});
            category = &FThemeCategoryList.back();
        }
        while (s.PeekNextPiece() == "Scheme") {
            s.GotoElementStart("Scheme");
            Scheme scheme;
            s.GetElement("Name", scheme.name);
            scheme.user = user;
            if (user)
                scheme.lines = std::make_unique<TgUserSchemeList>();
            else
                scheme.lines = std::make_unique<TgTarvekSchemeList>();
            s.GotoElementStart("Properties");
            for (std::string piece = s.PeekNextPiece(); piece != "/Properties"; piece = s.PeekNextPiece()) {
                std::string name = s.GetNextPiece();
                std::string value = s.GetElementValue();
                s.GetNameElementStop();
                if (!name.empty())
                    scheme.lines->Add(name + " = " + value);
            }
            category->schemes.push_back(std::move(scheme));
            expect("/Properties");
            expect("/Scheme");
        }
        expect("/SchemeType");
    }
    expect("/SchemeTypes");
}

const std::string& TgVCLComponent::GetThemeCategoryName(int categoryIndex) const {
    return FThemeCategoryList.at(static_cast<std::size_t>(categoryIndex)).name;
}

int TgVCLComponent::GetThemeCategorySchemeCount(int categoryIndex) const {
    return static_cast<int>(FThemeCategoryList.at(static_cast<std::size_t>(categoryIndex)).schemes.size());
}

const std::string& TgVCLComponent::GetThemeCategorySchemeName(int categoryIndex, int schemeIndex) const {
    return FThemeCategoryList.at(static_cast<std::size_t>(categoryIndex))
        .schemes.at(static_cast<std::size_t>(schemeIndex))
        .name;
}

bool TgVCLComponent::GetThemeCategorySchemeIsUser(int categoryIndex, int schemeIndex) const {
    return FThemeCategoryList.at(static_cast<std::size_t>(categoryIndex))
        .schemes.at(static_cast<std::size_t>(schemeIndex))
        .user;
}

void TgVCLComponent::ApplyScheme(int categoryIndex, int schemeIndex) {
    const TStringList& lines = *FThemeCategoryList.at(static_cast<std::size_t>(categoryIndex))
                                    .schemes.at(static_cast<std::size_t>(schemeIndex))
                                    .lines;
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string& line = lines[i];
        auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        std::string name = gTrimText(std::string_view(line).substr(0, eq));
        std::string value = eq + 2 <= line.size() ? line.substr(eq + 2) : std::string();
        if (!name.empty())
            SetPropertyFromVariant(*this, "", value, name);
    }
}

} // namespace kv
