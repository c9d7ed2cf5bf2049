#pragma once
// The two preset lists: the store list (user presets U01..U20) and the recall list (the factory preset
// F00, then U01..U20). They also keep the preset names the editor knows; picking a row opens the name
// dialog on that preset.

#include "platform/gui/Forms.h"

#include <string>

namespace kv {

class TLabel;
class TImage;
class TPkBmpButton;
class TValueListEditor;

// What both lists share; each list is its own window class with its own layout.
class TPresetListForm : public TForm {
    KV_CLASS(TPresetListForm)
public:
    // Every name field is this wide, in characters of the user's code page.
    static constexpr int kNameWidth = 14;

    TPresetListForm(TComponent* owner, bool recall);
    ~TPresetListForm() override;

    // Replaces the name field of row n (0-based; recall list 0..20, store list 0..19); a row outside
    // the list changes nothing. The name is UTF-8, normally 14 characters padded with blanks.
    void SetPresetName(int row, const std::string& name);
    // The name field of row n; empty outside the list.
    std::string PresetName(int row) const;
    // The row's key, e.g. "     U01".
    std::string PresetKey(int row) const;
    int PresetCount() const { return recall_ ? 21 : 20; }

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void FormHide(TObject* sender);
    void bnCancelClick(TObject* sender);
    // The list's select-cell event: data row r (1 = the first row under the titles).
    void vledPresetNameSelectCell(int column, int row);

    TLabel* lPresetSelect = nullptr;
    TValueListEditor* vledPresetName = nullptr;
    TPkBmpButton* bnCancel = nullptr;
    TImage* imBase = nullptr;

private:
    // The preset label of row n: "F00", "U01".. .
    std::string Label(int row) const;
    void BindList();

    bool recall_;
};

class TfmStorePreset : public TPresetListForm {
    KV_CLASS(TfmStorePreset)
public:
    explicit TfmStorePreset(TComponent* owner);
    ~TfmStorePreset() override;
};

extern TfmStorePreset* fmStorePreset;

} // namespace kv
