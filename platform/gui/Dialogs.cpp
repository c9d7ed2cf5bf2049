#include "platform/gui/Dialogs.h"

#include "platform/gui/Forms.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QMessageBox>
#include <QMimeData>

namespace kv {

std::vector<std::string> EnumIdents(TOpenOption) {
    return {"ofReadOnly",         "ofOverwritePrompt",    "ofHideReadOnly",        "ofNoChangeDir",
            "ofShowHelp",         "ofNoValidate",         "ofAllowMultiSelect",    "ofExtensionDifferent",
            "ofPathMustExist",    "ofFileMustExist",      "ofCreatePrompt",        "ofShareAware",
            "ofNoReadOnlyReturn", "ofNoTestFileCreate",   "ofNoNetworkButton",     "ofNoLongNames",
            "ofOldStyleDialog",   "ofNoDereferenceLinks", "ofEnableIncludeNotify", "ofEnableSizing"};
}

std::function<bool(TOpenDialog&)> TOpenDialog::ExecuteHook;
std::function<int(const std::string&, TMsgDlgType)> MessageDlgHook;
std::function<bool(TColorDialog&)> TColorDialog::ExecuteHook;
std::function<bool(TFontDialog&)> TFontDialog::ExecuteHook;

KV_REGISTER_CLASS(TOpenDialog, TComponent, b) {
    b.Prop("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt);
    b.Prop("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName);
    b.Prop("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter);
    b.Prop("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex).Default(1);
    b.Prop("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir);
    b.Prop("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions)
        .Default(TOpenOptions{TOpenOption::ofHideReadOnly, TOpenOption::ofEnableSizing});
    b.Prop("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle);
}

KV_REGISTER_CLASS(TSaveDialog, TOpenDialog, b) {}

KV_REGISTER_CLASS(TColorDialog, TComponent, b) {
    b.Prop("Color", &TColorDialog::Color, &TColorDialog::SetColor)
        .Default(clBlack)
        .Idents(ColorIdents(), "TColor");
}

KV_REGISTER_CLASS(TFontDialog, TComponent, b) {
    b.Prop("Font", &TFontDialog::Font, &TFontDialog::SetFont);
}

namespace {
// "Presets|*.prs|All|*.*" as Qt's filters "Presets (*.prs)" and "All (*.*)".
QStringList QtFilters(const std::string& filter) {
    QStringList parts = QString::fromStdString(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
    return out;
}
} // namespace

namespace {
QWidget* DialogParent(TWinControl* ownerWindow) {
    return ownerWindow ? ownerWindow->Widget() : nullptr;
}
} // namespace

bool TOpenDialog::RunQtDialog(bool save) {
    QFileDialog dlg(DialogParent(FOwnerWindow), QString::fromStdString(FTitle),
                    QString::fromStdString(FInitialDir));
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    const bool multi = !save && FOptions.Contains(TOpenOption::ofAllowMultiSelect);
    dlg.setFileMode(save    ? QFileDialog::AnyFile
                    : multi ? QFileDialog::ExistingFiles
                            : (FOptions.Contains(TOpenOption::ofFileMustExist) ? QFileDialog::ExistingFile
                                                                               : QFileDialog::AnyFile));
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !FOptions.Contains(TOpenOption::ofOverwritePrompt));
    QStringList filters = QtFilters(FFilter);
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        if (FFilterIndex >= 1 && FFilterIndex <= filters.size())
            dlg.selectNameFilter(filters[FFilterIndex - 1]);
    }
    if (!FDefaultExt.empty())
        dlg.setDefaultSuffix(QString::fromStdString(FDefaultExt));
    if (!FFileName.empty())
        dlg.selectFile(QString::fromStdString(FFileName));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return false;
    FFileName = dlg.selectedFiles().front().toStdString();
    FFiles->Clear();
    for (const QString& f : dlg.selectedFiles())
        FFiles->Add(f.toStdString());
    FFilterIndex = static_cast<int>(filters.indexOf(dlg.selectedNameFilter())) + 1;
    return true;
}

bool TOpenDialog::Execute() {
    FFiles->Clear();
    if (ExecuteHook)
        return ExecuteHook(*this);
    return RunQtDialog(false);
}

bool TSaveDialog::Execute() {
    FFiles->Clear();
    if (ExecuteHook)
        return ExecuteHook(*this);
    return RunQtDialog(true);
}

bool TColorDialog::Execute() {
    if (ExecuteHook)
        return ExecuteHook(*this);
    for (int i = 0; i < static_cast<int>(FCustomColors.size()); ++i)
        QColorDialog::setCustomColor(i, QColor::fromRgb(ToQRgb(FCustomColors[static_cast<std::size_t>(i)])));
    QColorDialog dlg(QColor::fromRgb(ToQRgb(ColorToRGB(FColor))), DialogParent(FOwnerWindow));
    dlg.setOption(QColorDialog::DontUseNativeDialog, true);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    FColor = FromQRgb(dlg.selectedColor().rgb());
    for (int i = 0; i < static_cast<int>(FCustomColors.size()); ++i)
        FCustomColors[static_cast<std::size_t>(i)] = FromQRgb(QColorDialog::customColor(i).rgb());
    return true;
}

namespace {
// The font with the face's own name of its style ("Book", "Bold Oblique", ...): without it the
// chooser guesses the style from its list and may start on another (a regular face shown oblique).
QFont StartFontOf(const TFont& font) {
    QFont f = font.ToQFont();
    const QString family = QFontInfo(f).family();
    const bool italic = font.Style().Contains(TFontStyle::fsItalic);
    const int weight = font.Style().Contains(TFontStyle::fsBold) ? QFont::Bold : QFont::Normal;
    QString best;
    int bestDistance = 0;
    for (const QString& style : QFontDatabase::styles(family)) {
        // The database does not count oblique styles as italic.
        const bool styleItalic = QFontDatabase::italic(family, style) ||
                                 style.contains("Italic", Qt::CaseInsensitive) ||
                                 style.contains("Oblique", Qt::CaseInsensitive);
        if (styleItalic != italic)
            continue;
        // The face's normal width before its condensed or expanded cuts.
        const bool otherWidth = style.contains("Condensed", Qt::CaseInsensitive) ||
                                style.contains("Narrow", Qt::CaseInsensitive) ||
                                style.contains("Expanded", Qt::CaseInsensitive);
        const int distance =
            std::abs(QFontDatabase::weight(family, style) - weight) + (otherWidth ? 1000 : 0);
        if (best.isEmpty() || distance < bestDistance) {
            best = style;
            bestDistance = distance;
        }
    }
    if (!best.isEmpty()) {
        f.setFamilies({family});
        f.setStyleName(best);
    }
    return f;
}
} // namespace

TFontDialog::TFontDialog(TComponent* owner) : TComponent(owner), FFont(std::make_unique<TFont>()) {}

TFontDialog::~TFontDialog() = default;

bool TFontDialog::Execute() {
    if (ExecuteHook)
        return ExecuteHook(*this);
    const QFont start = StartFontOf(*FFont);
    QFontDialog dlg(start, DialogParent(FOwnerWindow));
    dlg.setOption(QFontDialog::DontUseNativeDialog, true);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    const QFont chosen = dlg.selectedFont();
    // The start font's face is a substitute for the name the layouts use; kept unless another face
    // was chosen.
    if (chosen.family() != QFontInfo(FFont->ToQFont()).family() && chosen.family() != start.family())
        FFont->SetName(chosen.family().toStdString());
    const int px = chosen.pixelSize() > 0 ? chosen.pixelSize()
                                          : static_cast<int>(chosen.pointSizeF() * 96.0 / 72.0 + 0.5);
    FFont->SetHeight(-std::max(1, px));
    TFontStyles style;
    if (chosen.weight() > QFont::Normal)
        style.Include(TFontStyle::fsBold);
    if (chosen.italic())
        style.Include(TFontStyle::fsItalic);
    if (chosen.underline())
        style.Include(TFontStyle::fsUnderline);
    if (chosen.strikeOut())
        style.Include(TFontStyle::fsStrikeOut);
    FFont->SetStyle(style);
    return true;
}

int MessageDlg(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons) {
    if (MessageDlgHook)
        return MessageDlgHook(message, type);
    static const std::pair<TMsgDlgBtn, QMessageBox::StandardButton> map[] = {
        {TMsgDlgBtn::mbYes, QMessageBox::Yes},         {TMsgDlgBtn::mbNo, QMessageBox::No},
        {TMsgDlgBtn::mbOK, QMessageBox::Ok},           {TMsgDlgBtn::mbCancel, QMessageBox::Cancel},
        {TMsgDlgBtn::mbAbort, QMessageBox::Abort},     {TMsgDlgBtn::mbRetry, QMessageBox::Retry},
        {TMsgDlgBtn::mbIgnore, QMessageBox::Ignore},   {TMsgDlgBtn::mbAll, QMessageBox::YesToAll},
        {TMsgDlgBtn::mbNoToAll, QMessageBox::NoToAll}, {TMsgDlgBtn::mbYesToAll, QMessageBox::YesToAll},
        {TMsgDlgBtn::mbHelp, QMessageBox::Help}};
    QMessageBox::StandardButtons qb;
    for (const auto& [b, q] : map)
        if (buttons.Contains(b))
            qb |= q;
    QMessageBox::Icon icon = type == TMsgDlgType::mtWarning        ? QMessageBox::Warning
                             : type == TMsgDlgType::mtError        ? QMessageBox::Critical
                             : type == TMsgDlgType::mtInformation  ? QMessageBox::Information
                             : type == TMsgDlgType::mtConfirmation ? QMessageBox::Question
                                                                   : QMessageBox::NoIcon;
    QMessageBox box(icon, QString::fromStdString(Application->Title()), QString::fromStdString(message), qb);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return mrYes;
    case QMessageBox::No:
        return mrNo;
    case QMessageBox::Ok:
        return mrOk;
    case QMessageBox::Abort:
        return mrAbort;
    case QMessageBox::Retry:
        return mrRetry;
    case QMessageBox::Ignore:
        return mrIgnore;
    case QMessageBox::YesToAll:
        return mrYesToAll;
    case QMessageBox::NoToAll:
        return mrNoToAll;
    default:
        return mrCancel;
    }
}

void ShowMessage(const std::string& message) {
    MessageDlg(message, TMsgDlgType::mtCustom, TMsgDlgButtons{TMsgDlgBtn::mbOK});
}

std::string TClipboard::AsText() const {
    return QGuiApplication::clipboard()->text().toStdString();
}
void TClipboard::SetAsText(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}
bool TClipboard::HasText() const {
    const QMimeData* d = QGuiApplication::clipboard()->mimeData();
    return d && d->hasText();
}
bool TClipboard::HasPicture() const {
    const QMimeData* d = QGuiApplication::clipboard()->mimeData();
    return d && d->hasImage();
}
void TClipboard::Assign(const TGraphic& graphic) {
    QGuiApplication::clipboard()->setImage(graphic.ToImage());
}
void TClipboard::Assign(const TPicture& picture) {
    if (picture.Graphic())
        Assign(*picture.Graphic());
}
bool TClipboard::GetPicture(TBitmap& target) const {
    QImage img = QGuiApplication::clipboard()->image();
    if (img.isNull())
        return false;
    target.FromImage(img);
    return true;
}
void TClipboard::Clear() {
    QGuiApplication::clipboard()->clear();
}

TClipboard& Clipboard() {
    static TClipboard c;
    return c;
}

void RegisterDialogClasses() {
    RegisterClass(TOpenDialog::StaticClassInfo());
    RegisterClass(TSaveDialog::StaticClassInfo());
    RegisterClass(TColorDialog::StaticClassInfo());
    RegisterClass(TFontDialog::StaticClassInfo());
}

} // namespace kv
