#pragma once
// The control-code sheet: the unit's serial and network control codes as rich text with pictures of
// example frames, in a window that scrolls its contents and keeps the sheet centred when it is wide.
// TfmRs232Code is the Chinese sheet; the English one (FRs232CodeDocEnglish.h) differs only in its
// texts and pictures.
//
// The window has no scroll bars of its own: the keys (Page Up/Down, the arrows) and the mouse wheel
// move its contents, which are placed at their laid-out position less the scroll position.

#include "platform/gui/Forms.h"

#include <array>
#include <string>

namespace kv {

class TRTFLabel;
class TStOfficeImage;

class TfmRs232Code : public TForm {
    KV_CLASS(TfmRs232Code)
public:
    explicit TfmRs232Code(TComponent* owner);
    ~TfmRs232Code() override;

    static constexpr int kPictures = 10;
    // The sheet's width at its design size; a wider window centres it.
    static constexpr int kSheetWidth = 750;
    static constexpr int kSheetLeft = 50;
    static constexpr int kLineStep = 30;

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void FormResize(TObject* sender);
    void FormKeyDown(TObject* sender, std::uint16_t& key, TShiftState shift);
    void FormMouseWheel(TObject* sender, TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled);
    void FormMouseWheelUp(TObject* sender);
    void FormMouseWheelDown(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);

    int HorzPosition() const { return hpos; }
    int VertPosition() const { return vpos; }
    // Moves the contents to the scroll position, each kept within 0 and what lies beyond the window.
    void ScrollTo(int horizontal, int vertical);
    // The left edge the sheet's text and its movable pictures take, before scrolling.
    int SheetLeft() const { return sheetLeft; }

    TRTFLabel* RTFLabel = nullptr;
    std::array<TStOfficeImage*, kPictures> StOfficeImage{};

protected:
    // For the English sheet, which has its own window pointer.
    struct Derived {};
    TfmRs232Code(TComponent* owner, Derived);
    // The sheet's language: its rich text and the pictures' titles.
    virtual bool English() const { return false; }

private:
    void PlaceContents();
    int ContentWidth() const;
    int ContentHeight() const;

    std::array<int, kPictures> designLeft{};
    std::array<int, kPictures> designTop{};
    int labelTop = 0;
    int sheetLeft = kSheetLeft;
    int hpos = 0, vpos = 0;
};

// The rich text of the control-code sheet, in English or Chinese (RTF, one character per byte).
std::string ControlCodeSheetRtf(bool english);

extern TfmRs232Code* fmRs232Code;

} // namespace kv
