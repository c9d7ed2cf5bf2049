#pragma once
// The page settings dialog of the print preview: orientation, the four margins laid out as a cross,
// the document name and the paper size.

#include "platform/gui/Forms.h"

namespace kv {

class TButton;
class TComboBox;
class TEdit;
class TGroupBox;
class TLabel;
class TRadioButton;

class TgPlotPreviewSettingsForm : public TForm {
    KV_CLASS(TgPlotPreviewSettingsForm)
public:
    explicit TgPlotPreviewSettingsForm(TComponent* owner);

    // The orientation group: "Portrait" and "Landscape".
    TGroupBox* PrintOrientationRadioGroup = nullptr;
    TRadioButton* PortraitButton = nullptr;
    TRadioButton* LandscapeButton = nullptr;
    TGroupBox* PrinterMarginGroupBox = nullptr;
    TEdit* PrintMarginTopEdit = nullptr;
    TEdit* PrintMarginLeftEdit = nullptr;
    TEdit* PrintMarginRightEdit = nullptr;
    TEdit* PrintMarginBottomEdit = nullptr;
    TLabel* DocumentNameLabel = nullptr;
    TEdit* PrintDocumentNameEdit = nullptr;
    TLabel* PaperSizeLabel = nullptr;
    TComboBox* PrintPaperSizeComboBox = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;

    // The orientation group's item index: 0 portrait, 1 landscape.
    int OrientationIndex() const;
    void SetOrientationIndex(int index);
};

// A margin box's number; an empty or invalid box reads as 0.
double gPlotPreviewEditValue(const TEdit& edit);

} // namespace kv
