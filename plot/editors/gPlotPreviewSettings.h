#pragma once
// The page settings dialog of the print preview: orientation, the four margins laid out as a cross,
// the document name and the paper size.

#include "platform/gui/Forms.h"

namespace kv {

class TButton;
class TLabel;
class TgComponentEditorComboBox;
class TgComponentEditorEdit;
class TgComponentEditorGroupBox;
class TgComponentEditorRadioGroup;

class TgPlotPreviewSettingsForm : public TForm {
    KV_CLASS(TgPlotPreviewSettingsForm)
public:
    explicit TgPlotPreviewSettingsForm(TComponent* owner);

    // The orientation group: "Portrait" and "Landscape".
    TgComponentEditorRadioGroup* PrintOrientationRadioGroup = nullptr;
    TgComponentEditorGroupBox* PrinterMarginGroupBox = nullptr;
    TgComponentEditorEdit* PrintMarginTopEdit = nullptr;
    TgComponentEditorEdit* PrintMarginLeftEdit = nullptr;
    TgComponentEditorEdit* PrintMarginRightEdit = nullptr;
    TgComponentEditorEdit* PrintMarginBottomEdit = nullptr;
    TLabel* DocumentNameLabel = nullptr;
    TgComponentEditorEdit* PrintDocumentNameEdit = nullptr;
    TLabel* PaperSizeLabel = nullptr;
    TgComponentEditorComboBox* PrintPaperSizeComboBox = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;

    // The orientation group's item index: 0 portrait, 1 landscape.
    int OrientationIndex() const;
    void SetOrientationIndex(int index);
};

// A margin box's number; an empty or invalid box reads as 0.
double gPlotPreviewEditValue(const TgComponentEditorEdit& edit);

} // namespace kv
