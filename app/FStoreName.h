#pragma once
// The preset name dialog, opened over a preset list: it shows the picked preset's name, editable when
// storing, and on OK starts the store or the recall on the main window.

#include "platform/gui/Forms.h"

#include <cstdint>
#include <string>

namespace kv {

class TLabel;
class TImage;
class TEdit;
class TPkBmpButton;

class TfmStoreName : public TForm {
    KV_CLASS(TfmStoreName)
public:
    explicit TfmStoreName(TComponent* owner);
    ~TfmStoreName() override;

    // The edit box shows the name without its trailing blanks and CR characters.
    void SetDefaultName(const std::string& name);
    // Store mode: the user index 0..19; recall mode: the preset number 0..20.
    void SetPresetIndex(int index) { presetIndex = index; }
    void SetStoreMode(bool store) { storeMode = store ? 1 : 0; }
    void SetTitle(const std::string& text);
    int PresetIndex() const { return presetIndex; }
    bool StoreMode() const { return storeMode != 0; }

    // The edit box's text as the unit's name field: converted to the user's code page, cut to 14 bytes
    // without splitting a character, padded with blanks to 14.
    static std::string NameField(const std::string& utf8);

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void FormActivate(TObject* sender);
    void btnOKClick(TObject* sender);
    void bnCancelClick(TObject* sender);
    void edNameKeyDown(TObject* sender, std::uint16_t& key, TShiftState shift);

    TEdit* edName = nullptr;
    TLabel* lblPresetName = nullptr;
    TLabel* lTitle = nullptr;
    TPkBmpButton* btnOK = nullptr;
    TPkBmpButton* bnCancel = nullptr;
    TImage* imBase = nullptr;

private:
    int presetIndex = 0;
    uint8_t storeMode = 0;
};

extern TfmStoreName* fmStoreName;

} // namespace kv
