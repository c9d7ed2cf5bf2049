#include "plot/editors/gPlotPreviewSettings.h"

#include "plot/editors/gComponentEditor.h"

#include "platform/gui/StdButtons.h"
#include "platform/gui/StdPanels.h"

#include <cmath>

namespace kv {

KV_REGISTER_CLASS(TgPlotPreviewSettingsForm, TForm, b) {
    (void)b;
}

namespace {

template <class T>
T* PvsMake(TComponent* owner, TWinControl* parent, const char* name, int l, int t, int w, int h) {
    auto* c = new T(owner);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    return c;
}

} // namespace

TgPlotPreviewSettingsForm::TgPlotPreviewSettingsForm(TComponent* owner) : TForm(owner) {
    SetName("gPlotPreviewSettingsForm");
    SetCaption("Settings");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(419);
    SetClientHeight(237);

    PrintOrientationRadioGroup =
        PvsMake<TgComponentEditorRadioGroup>(this, this, "PrintOrientationRadioGroup", 8, 8, 121, 73);
    PrintOrientationRadioGroup->SetCaption("Orientation");
    PrintOrientationRadioGroup->Items()->Add("Portrait");
    PrintOrientationRadioGroup->Items()->Add("Landscape");

    PrinterMarginGroupBox =
        PvsMake<TgComponentEditorGroupBox>(this, this, "PrinterMarginGroupBox", 140, 8, 270, 113);
    PrinterMarginGroupBox->SetCaption("Margin");
    PrintMarginTopEdit =
        PvsMake<TgComponentEditorEdit>(this, PrinterMarginGroupBox, "PrintMarginTopEdit", 100, 20, 70, 21);
    PrintMarginLeftEdit =
        PvsMake<TgComponentEditorEdit>(this, PrinterMarginGroupBox, "PrintMarginLeftEdit", 16, 48, 70, 21);
    PrintMarginRightEdit =
        PvsMake<TgComponentEditorEdit>(this, PrinterMarginGroupBox, "PrintMarginRightEdit", 184, 48, 70, 21);
    PrintMarginBottomEdit =
        PvsMake<TgComponentEditorEdit>(this, PrinterMarginGroupBox, "PrintMarginBottomEdit", 100, 78, 70, 21);

    DocumentNameLabel = PvsMake<TLabel>(this, this, "DocumentNameLabel", 8, 134, 100, 16);
    DocumentNameLabel->SetCaption("Document Name");
    PrintDocumentNameEdit =
        PvsMake<TgComponentEditorEdit>(this, this, "PrintDocumentNameEdit", 110, 130, 300, 21);
    PaperSizeLabel = PvsMake<TLabel>(this, this, "PaperSizeLabel", 8, 166, 100, 16);
    PaperSizeLabel->SetCaption("Paper Size");
    PrintPaperSizeComboBox =
        PvsMake<TgComponentEditorComboBox>(this, this, "PrintPaperSizeComboBox", 110, 162, 145, 21);
    PrintPaperSizeComboBox->SetStyle(TComboBoxStyle::csDropDownList);
    for (const char* paper : {"Letter", "Legal", "A3", "A4", "A5"})
        PrintPaperSizeComboBox->Items()->Add(paper);

    Button1 = PvsMake<TButton>(this, this, "Button1", 254, 200, 75, 28);
    Button1->SetCaption("OK");
    Button1->SetModalResult(mrOk);
    Button1->SetDefault(true);
    Button2 = PvsMake<TButton>(this, this, "Button2", 335, 200, 75, 28);
    Button2->SetCaption("Cancel");
    Button2->SetModalResult(mrCancel);
    Button2->SetCancel(true);
}

int TgPlotPreviewSettingsForm::OrientationIndex() const {
    return PrintOrientationRadioGroup->AsInteger();
}

void TgPlotPreviewSettingsForm::SetOrientationIndex(int index) {
    PrintOrientationRadioGroup->SetAsInteger(index);
}

double gPlotPreviewEditValue(const TgComponentEditorEdit& edit) {
    // A margin that is no finite number would put the page anywhere.
    const double value = edit.AsFloat();
    return std::isfinite(value) ? value : 0;
}

} // namespace kv
