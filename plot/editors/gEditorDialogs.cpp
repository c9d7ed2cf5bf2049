#include "plot/editors/gEditorDialogs.h"

#include "plot/gDraw.h"

#include "platform/gui/Controls.h"
#include "platform/gui/Dialogs.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace kv {

namespace {
// The longest start name the platform dialogs take (a path of the old fixed-size buffers).
constexpr std::size_t kEdMaxStartName = 260;

std::string EdStartName(const std::string& name) {
    return name.substr(0, std::min(name.size(), kEdMaxStartName));
}

std::string EdLower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return text;
}

// The extension of a file name with its dot (".txt"), empty when the last path part has none.
std::string EdExtension(const std::string& fileName) {
    const std::size_t slash = fileName.find_last_of("/\\");
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return fileName.substr(dot);
}
} // namespace

// ---------------------------------------------------------------------------------------------------
// Colour

KV_REGISTER_CLASS(TgColorDialog, TComponent, b) {
    b.Prop("Color", &TgColorDialog::Color, &TgColorDialog::SetColor).Idents(ColorIdents(), "TColor");
}

TgColorDialog::TgColorDialog(TComponent* owner) : TComponent(owner) {}

bool TgColorDialog::Execute() {
    TColorDialog dialog(nullptr);
    dialog.SetOwnerWindow(gGetOwnerForm(this));
    dialog.SetColor(ColorToRGB(FColor));
    for (int i = 0; i < 16; ++i)
        dialog.SetCustomColor(i, clWhite);
    if (!dialog.Execute())
        return false;
    FColor = dialog.Color();
    return true;
}

// ---------------------------------------------------------------------------------------------------
// Font

KV_REGISTER_CLASS(TgFontDialog, TComponent, b) {
    b.Prop("Font", &TgFontDialog::Font, &TgFontDialog::SetFont);
}

TgFontDialog::TgFontDialog(TComponent* owner) : TComponent(owner), FFont(std::make_unique<TFont>()) {}

TgFontDialog::~TgFontDialog() = default;

bool TgFontDialog::Execute() {
    TFontDialog dialog(nullptr);
    dialog.SetOwnerWindow(gGetOwnerForm(this));
    dialog.SetFont(FFont.get());
    if (!dialog.Execute())
        return false;
    const TFont& chosen = *dialog.Font();
    // The character set follows only a new face: a chooser's set for the same face is its default,
    // not the user's choice.
    const bool newFace = EdLower(chosen.Name()) != EdLower(FFont->Name());
    FFont->SetColor(chosen.Color());
    FFont->SetName(chosen.Name());
    FFont->SetHeight(chosen.Height());
    if (newFace)
        FFont->SetCharset(chosen.Charset());
    FFont->SetStyle(chosen.Style());
    return true;
}

// ---------------------------------------------------------------------------------------------------
// Open

KV_REGISTER_CLASS(TgOpenDialog, TComponent, b) {
    b.Prop("FileName", &TgOpenDialog::FileName, &TgOpenDialog::SetFileName);
    b.Prop("Filter", &TgOpenDialog::Filter, &TgOpenDialog::SetFilter);
    b.Prop("DefaultExt", &TgOpenDialog::DefaultExt, &TgOpenDialog::SetDefaultExt);
    b.Prop("DefaultDir", &TgOpenDialog::DefaultDir, &TgOpenDialog::SetDefaultDir);
    b.Prop("FileMustExist", &TgOpenDialog::FileMustExist, &TgOpenDialog::SetFileMustExist).Default(false);
}

TgOpenDialog::TgOpenDialog(TComponent* owner) : TComponent(owner), FFiles(std::make_unique<TStringList>()) {}

TgOpenDialog::~TgOpenDialog() = default;

bool TgOpenDialog::Execute() {
    FFiles->Clear();
    TWinControl* ownerWindow = gGetOwnerForm(this);
    if (!ownerWindow)
        return false;
    TOpenDialog dialog(nullptr);
    dialog.SetOwnerWindow(ownerWindow);
    dialog.SetFileName(EdStartName(FFileName));
    dialog.SetFilter(FFilter);
    dialog.SetFilterIndex(1);
    dialog.SetDefaultExt(FDefaultExt);
    dialog.SetInitialDir(FDefaultDir.empty() ? "." : FDefaultDir);
    TOpenOptions options{TOpenOption::ofHideReadOnly, TOpenOption::ofPathMustExist,
                         TOpenOption::ofEnableSizing};
    if (FFileMustExist)
        options.Include(TOpenOption::ofFileMustExist);
    if (FAllowMultiSelect)
        options.Include(TOpenOption::ofAllowMultiSelect);
    dialog.SetOptions(options);
    if (!dialog.Execute())
        return false;
    if (FAllowMultiSelect && dialog.Files()->Count() > 0) {
        FFiles->Assign(dialog.Files());
        FFileName = FFiles->Get(0);
    } else {
        FFileName = dialog.FileName();
        FFiles->Add(FFileName);
    }
    return true;
}

// ---------------------------------------------------------------------------------------------------
// Save

KV_REGISTER_CLASS(TgSaveDialog, TComponent, b) {
    b.Prop("FileName", &TgSaveDialog::FileName, &TgSaveDialog::SetFileName);
    b.Prop("Filter", &TgSaveDialog::Filter, &TgSaveDialog::SetFilter);
    b.Prop("FilterIndex", &TgSaveDialog::FilterIndex, &TgSaveDialog::SetFilterIndex).Default(1);
    b.Prop("DefaultExt", &TgSaveDialog::DefaultExt, &TgSaveDialog::SetDefaultExt);
    b.Prop("DefaultDir", &TgSaveDialog::DefaultDir, &TgSaveDialog::SetDefaultDir);
}

TgSaveDialog::TgSaveDialog(TComponent* owner)
    : TComponent(owner), FFilterList(std::make_unique<TStringList>()) {}

TgSaveDialog::~TgSaveDialog() = default;

bool TgSaveDialog::Execute() {
    TWinControl* ownerWindow = gGetOwnerForm(this);
    if (!ownerWindow)
        return false;
    TSaveDialog dialog(nullptr);
    dialog.SetOwnerWindow(ownerWindow);
    dialog.SetFileName(EdStartName(FFileName));
    dialog.SetFilter(FFilter);
    dialog.SetFilterIndex(FFilterIndex);
    dialog.SetDefaultExt(FDefaultExt);
    dialog.SetInitialDir(FDefaultDir.empty() ? "." : FDefaultDir);
    dialog.SetOptions(TOpenOptions{TOpenOption::ofOverwritePrompt, TOpenOption::ofHideReadOnly,
                                   TOpenOption::ofPathMustExist, TOpenOption::ofEnableSizing});
    if (!dialog.Execute())
        return false;
    FFileName = dialog.FileName();
    FFilterIndex = dialog.FilterIndex();
    ApplyReturnExt();
    return true;
}

void TgSaveDialog::ApplyReturnExt() {
    // The filter's patterns, one entry per filter: "Text|*.txt|Data|*.dat;*.csv" gives "*.txt" and
    // "*.dat;*.csv". Taken pairwise, so a description that starts with "*" is no pattern.
    FFilterList->Clear();
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = FFilter.find('|', start);
        parts.push_back(FFilter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    for (std::size_t i = 1; i < parts.size(); i += 2)
        FFilterList->Add(parts[i]);

    // The chosen filter's extensions; the first is the one a bare name gets.
    std::vector<std::string> extensions;
    if (FFilterIndex >= 1 && FFilterIndex <= FFilterList->Count()) {
        const std::string& patterns = FFilterList->Get(FFilterIndex - 1);
        std::size_t from = 0;
        for (;;) {
            const std::size_t semi = patterns.find(';', from);
            std::string pattern =
                patterns.substr(from, semi == std::string::npos ? std::string::npos : semi - from);
            pattern.erase(0, pattern.find_first_not_of(' '));
            if (!pattern.empty() && pattern[0] == '*')
                extensions.push_back(pattern.substr(1));
            if (semi == std::string::npos)
                break;
            from = semi + 1;
        }
    }
    FReturnExt = extensions.empty() ? std::string() : extensions.front();
    if (FReturnExt.empty() || FReturnExt == ".*")
        return;
    const std::string own = EdLower(EdExtension(FFileName));
    for (const std::string& ext : extensions)
        if (own == EdLower(ext))
            return;
    FFileName += FReturnExt;
}

} // namespace kv
