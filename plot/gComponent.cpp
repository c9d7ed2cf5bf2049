#include "plot/gComponent.h"

#include "plot/gDraw.h"
#include "plot/gPropText.h"

#include "platform/core/CodePage.h"
#include "platform/core/FileIO.h"
#include "platform/gui/Menus.h"
#include "platform/sys/Scheduler.h"

#include <algorithm>
#include <cmath>

namespace kv {

std::vector<std::string> EnumIdents(TgBevelStyle) {
    return {"ibsNone", "ibsRaised", "ibsLowered"};
}

KV_REGISTER_CLASS(TgComponent, TCustomControl, b) {
    b.Ref("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
    b.Prop("OptionSaveAllProperties", &TgComponent::OptionSaveAllProperties,
           &TgComponent::SetOptionSaveAllProperties)
        .Default(false);
    b.Prop("AutoFrameRate", &TgComponent::AutoFrameRate, &TgComponent::SetAutoFrameRate).Default(false);
    b.Prop("UpdateFrameRate", &TgComponent::UpdateFrameRate, &TgComponent::SetUpdateFrameRate).Default(60);
}

namespace {
// Sets a flag for the life of a scope, also when the scope is left by an exception.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : FFlag(flag) { FFlag = true; }
    ~FlagScope() { FFlag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& FFlag;
};
} // namespace

TgComponent::TgComponent(TComponent* owner) : TCustomControl(owner) {
    FLastUpdate = TgUpdateObject::Instance().NowMs();
    FErrorFont = std::make_unique<TFont>();
    FErrorFont->SetColor(clRed);
    FErrorFont->SetStyle(TFontStyles{TFontStyle::fsBold});
    FErrorFont->OnChange = [this](TObject*) { InvalidateChange(); };
    TgUpdateObject::Instance().AddUpdateControl(this);
}

TgComponent::~TgComponent() {
    Destroying();
    FErrorFont->OnChange = nullptr;
    TgUpdateObject::Instance().RemoveUpdateControl(this);
}

// ---------------------------------------------------------------------------------------------------
// Repaint policy

void TgComponent::InvalidateChange() {
    PictureChanged();
    if (FUpdateActive) {
        FNeedsRepaint = true;
        return;
    }
    if (FAutoFrameRate) {
        FNeedsRepaint = true;
        InvalidateFrameRate();
        return;
    }
    DoInvalidateNow();
}

void TgComponent::BackGroundChange() {
    FBackGroundChanged = true;
    PictureChanged();
    InvalidateChange();
}

void TgComponent::InvalidateFrameRate() {
    if (FAutoFrameRate && FUpdateFrameRate != 0) {
        double now = TgUpdateObject::Instance().NowMs();
        const double due = FLastUpdate + 1000.0 / FUpdateFrameRate;
        // Within the frame interval of the last repaint the request waits for the end of that interval
        // (the shared tick comes only once a second: the last step of a drag would show that late).
        if (now >= FLastUpdate && now <= due) {
            HoldRepaintUntil(due - now);
            return;
        }
    }
    DoInvalidateNow();
}

void TgComponent::HoldRepaintUntil(double ms) {
    TScheduler* scheduler = TScheduler::Default();
    if (!FHeldRepaint || FHeldRepaintScheduler != scheduler) {
        FHeldRepaint = std::make_unique<TTimer>(scheduler);
        FHeldRepaint->SetEnabled(false);
        FHeldRepaintScheduler = scheduler;
        FHeldRepaint->OnTimer = [this] {
            FHeldRepaint->SetEnabled(false);
            if (FNeedsRepaint && !FUpdateActive)
                DoInvalidateNow();
        };
    }
    if (FHeldRepaint->Enabled())
        return; // already due at the end of this interval
    FHeldRepaint->SetInterval(static_cast<uint32_t>(std::max(1.0, std::ceil(ms))));
    FHeldRepaint->SetEnabled(true);
}

void TgComponent::DoInvalidateNow() {
    FNeedsRepaint = false;
    FLastUpdate = TgUpdateObject::Instance().NowMs();
    Invalidate();
}

void TgComponent::EndUpdate() {
    FUpdateActive = false;
    if (FNeedsRepaint)
        InvalidateFrameRate();
}

void TgComponent::SetAutoFrameRate(bool v) {
    if (v == FAutoFrameRate)
        return;
    FAutoFrameRate = v;
    if (v)
        BackGroundChange();
    else
        EndUpdate();
}

void TgComponent::SetBooleanProperty(bool value, bool& field, int kind) {
    if (value == field)
        return;
    field = value;
    DoChangeKind(kind);
}

void TgComponent::SetIntegerProperty(int value, int& field, int kind) {
    if (value == field)
        return;
    field = value;
    DoChangeKind(kind);
}

void TgComponent::SetColorProperty(TColor value, TColor& field, int kind) {
    if (value == field)
        return;
    field = value;
    DoChangeKind(kind);
}

void TgComponent::DoChangeKind(int kind) {
    if (kind == 0)
        InvalidateChange();
    else if (kind == 1)
        BackGroundChange();
}

// ---------------------------------------------------------------------------------------------------
// Background

void TgComponent::SetBorderStyle(TgBevelStyle v) {
    if (v == FBorderStyle)
        return;
    FBorderStyle = v;
    BackGroundChange();
}

void TgComponent::SetCachedDrawing(bool v) {
    if (v == FCachedDrawing)
        return;
    FCachedDrawing = v;
    if (!v)
        FBackGroundBitmap.reset();
    BackGroundChange();
}

void TgComponent::SetBackGroundPicture(const TBitmap* picture) {
    if (picture && !picture->Empty()) {
        if (!FBackGroundPicture)
            FBackGroundPicture = std::make_unique<TBitmap>();
        FBackGroundPicture->Assign(picture);
    } else {
        FBackGroundPicture.reset();
    }
    BackGroundChange();
}

TBitmap* TgComponent::GetBackGroundBitmap() {
    if (!FBackGroundBitmap)
        FBackGroundBitmap = std::make_unique<TBitmap>(Width(), Height());
    return FBackGroundBitmap.get();
}

void TgComponent::PaintBackGround(TCanvas& canvas, TColor color) {
    FBackGroundChanged = false;
    if (FBackGroundPicture && FBackGroundPicture->Width() != 0) {
        canvas.StretchDraw(Rect(0, 0, Width(), Height()), FBackGroundPicture.get());
        return;
    }
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Brush()->SetColor(color);
    canvas.FillRect(Rect(0, 0, Width(), Height()));
    DrawBorder(canvas);
}

void TgComponent::DrawBorder(TCanvas& canvas) {
    if (FBorderStyle == TgBevelStyle::ibsRaised)
        gDrawEdge(canvas, ClientRect(), 1);
    else if (FBorderStyle == TgBevelStyle::ibsLowered)
        gDrawEdge(canvas, ClientRect(), 0);
}

TPoint TgComponent::GetCenterPoint() const {
    return {Width() / 2 + FOffsetX, Height() / 2 + FOffsetY};
}

bool TgComponent::OPCPropertyChanged(const std::string&, const TgOPCVariant&) {
    return false;
}

void TgComponent::SetEnabled(bool v) {
    TCustomControl::SetEnabled(v);
    BackGroundChange();
}

// ---------------------------------------------------------------------------------------------------
// Painting

void TgComponent::Paint(TCanvas& canvas) {
    // This paint shows every change made so far: a repaint held back for one of them would only paint
    // the same picture again.
    FNeedsRepaint = false;
    PaintOffScreen(canvas);
}

void TgComponent::PaintOffScreen(TCanvas& target) {
    if (Width() <= 0 || Height() <= 0)
        return;
    Lock();
    try {
        FOffScreenBitmap = std::make_unique<TBitmap>(Width(), Height());
        if (Transparent()) {
            // Left clear where nothing is drawn, so the parent shows through when it is copied.
            FOffScreenBitmap->Image() = QImage(Width(), Height(), QImage::Format_ARGB32_Premultiplied);
            FOffScreenBitmap->Image().fill(Qt::transparent);
        }
        TCanvas& c = *FOffScreenBitmap->Canvas();
        c.Brush()->SetStyle(TBrushStyle::bsSolid);
        c.Pen()->SetStyle(TPenStyle::psSolid);
        try {
            gPaint(c);
        } catch (const std::exception& e) {
            // A failed paint shows why instead of a half-drawn plot.
            c.SetClipRect(nullptr);
            c.Brush()->SetStyle(TBrushStyle::bsSolid);
            c.Brush()->SetColor(clBlack);
            TRect r = ClientRect();
            c.FillRect(r);
            gDrawText(c, e.what(), r, gtoLeft | gtoTop | gtoWordBreak, true, clWhite);
        }
        if (OnPaint)
            OnPaint(this, c);
        target.Draw(0, 0, FOffScreenBitmap.get());
    } catch (const std::exception&) {
        // Painting never raises; the window keeps what it showed.
    }
    FOffScreenBitmap.reset();
    Unlock();
}

void TgComponent::SaveImageToBitmap(const std::string& fileName) {
    TBitmap bitmap(Width(), Height());
    gPaint(*bitmap.Canvas());
    bitmap.SaveToFile(fileName);
}

// ---------------------------------------------------------------------------------------------------
// Input

void TgComponent::gGotFocus() {
    FHasFocus = true;
    InvalidateNow();
}

void TgComponent::gLostFocus() {
    try {
        FHasFocus = false;
        gMouseUp(TMouseButton::mbLeft, TShiftState{}, 0, 0);
        InvalidateNow();
    } catch (const std::exception&) {
    }
}

void TgComponent::gWantSpecialKey(std::uint16_t&, std::int32_t&) {}
void TgComponent::gKeyUp(std::uint16_t&, TShiftState) {}
void TgComponent::gKeyDown(std::uint16_t&, TShiftState) {}
void TgComponent::gKeyPress(char&) {}
void TgComponent::gMouseDown(TMouseButton, TShiftState, int, int) {}
void TgComponent::gMouseUp(TMouseButton, TShiftState, int, int) {}
void TgComponent::gMouseMove(TShiftState, int, int) {}
void TgComponent::gDblClick() {}
bool TgComponent::gMouseWheel(int, TShiftState, TPoint) {
    return false;
}

bool TgComponent::KeyDown(std::uint16_t& key, TShiftState shift) {
    FlagScope user(FUserGenerated);
    try {
        TCustomControl::KeyDown(key, shift);
        gKeyDown(key, shift);
    } catch (const std::exception&) {
    }
    return key == 0;
}

bool TgComponent::KeyUp(std::uint16_t& key, TShiftState shift) {
    FlagScope user(FUserGenerated);
    try {
        TCustomControl::KeyUp(key, shift);
        gKeyUp(key, shift);
    } catch (const std::exception&) {
    }
    return key == 0;
}

bool TgComponent::KeyPress(char& key) {
    FlagScope user(FUserGenerated);
    try {
        TCustomControl::KeyPress(key);
        gKeyPress(key);
    } catch (const std::exception&) {
    }
    return key == 0;
}

void TgComponent::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    FlagScope user(FUserGenerated);
    gMouseDown(button, shift, x, y);
    TCustomControl::MouseDown(button, shift, x, y);
}

void TgComponent::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    FlagScope user(FUserGenerated);
    gMouseUp(button, shift, x, y);
    TCustomControl::MouseUp(button, shift, x, y);
}

void TgComponent::MouseMove(TShiftState shift, int x, int y) {
    FlagScope user(FUserGenerated);
    gMouseMove(shift, x, y);
    TCustomControl::MouseMove(shift, x, y);
}

void TgComponent::DblClick() {
    FlagScope user(FUserGenerated);
    gDblClick();
    TCustomControl::DblClick();
}

// ---------------------------------------------------------------------------------------------------
// Property text file

void TgComponent::SavePropertiesToFile(const std::string& fileName) {
    try {
        TStringList exclude;
        exclude.Add("Name");
        exclude.Add("OPCItems"); // the layout's value, not a property of the file
        AddSaveExclusions(exclude);
        if (!FOptionSaveAllProperties)
            for (const char* n : {"Left", "Top", "Width", "Height", "Align", "Cursor", "ShowHint", "Tag",
                                  "Visible", "Enabled", "Hint", "HelpContext"})
                exclude.Add(n);
        TStringList lines;
        lines.Add("File Type = " + ClassName());
        gWritePropertyText(*this, "", lines, DifferentialSave(), &exclude);
        gSavePropertyLinesToFile(lines, fileName);
    } catch (const std::exception& e) {
        throw EKvError("Error Saving Properties - " + std::string(e.what()));
    }
}

void TgComponent::LoadPropertiesFromFile(const std::string& fileName) {
    try {
        TStringList lines;
        gLoadPropertyLinesFromFile(fileName, lines);
        BeginUpdate();
        // The update block closes on every exit, so a bad line never leaves repaints held.
        struct EndGuard {
            TgComponent* c;
            ~EndGuard() { c->EndUpdate(); }
        } guard{this};
        gReadPropertyText(*this, "", lines);
    } catch (const std::exception& e) {
        throw EKvError("Error Loading Properties - " + std::string(e.what()));
    }
}

bool TgComponent::IsLoading() const {
    return FLoading || TCustomControl::IsLoading();
}

bool TgComponent::GetDesigning() {
    bool designing = false;
    if (OnGetDesigning)
        OnGetDesigning(this, designing);
    return designing;
}

TTypeKind TgComponent::GetPropertyKind(const std::string& propertyName) {
    return gGetPropertyKind(*this, propertyName);
}

} // namespace kv
