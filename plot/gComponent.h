#pragma once
// The root of the plot library's visual controls: the repaint policy (immediate, held in an update
// block, or limited to UpdateFrameRate paints a second with the shared tick painting what was held),
// off-screen painting with the error text in place of a failed paint, the background and border, the
// input hooks descendants override, and the property text file.

#include "plot/gClasses.h"
#include "plot/opc/gOPCLibrary.h"

#include "platform/gui/Controls.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TTimer;
class TScheduler;

namespace kv {

enum class TgBevelStyle { ibsNone, ibsRaised, ibsLowered };
std::vector<std::string> EnumIdents(TgBevelStyle);

using TgPaintEvent = std::function<void(TObject* sender, TCanvas& canvas)>;
using TChangePropertyEvent = std::function<void(TObject* sender, const std::string& propName)>;
using TRequestEditEvent = std::function<void(TObject* sender, const std::string& propName, bool& canEdit)>;
using TGetDesigningEvent = std::function<void(TObject* sender, bool& designing)>;

class TgComponent : public TCustomControl, public IgUpdateControl {
    KV_CLASS(TgComponent)
public:
    explicit TgComponent(TComponent* owner);
    ~TgComponent() override;

    // --- repaint policy
    void InvalidateChange();
    void BackGroundChange();
    void InvalidateNow() {
        PictureChanged();
        DoInvalidateNow();
    }
    void DoInvalidateNow() override;
    void InvalidateFrameRate();
    virtual void RepaintAll() { BackGroundChange(); }
    virtual void BeginUpdate() { FUpdateActive = true; }
    virtual void EndUpdate();

    bool GetUpdateActive() const override { return FUpdateActive; }
    bool GetNeedsRepaint() const override { return FNeedsRepaint; }
    int GetUpdateFrameRate() const override { return FUpdateFrameRate; }
    double GetLastUpdate() const override { return FLastUpdate; }

    bool AutoFrameRate() const { return FAutoFrameRate; }
    void SetAutoFrameRate(bool v);
    int UpdateFrameRate() const { return FUpdateFrameRate; }
    void SetUpdateFrameRate(int v) { SetIntegerProperty(v, FUpdateFrameRate, 1); }
    bool OptionSaveAllProperties() const { return FOptionSaveAllProperties; }
    void SetOptionSaveAllProperties(bool v) { FOptionSaveAllProperties = v; }

    // --- background and border
    TColor BackGroundColor() const { return FBackGroundColor; }
    virtual void SetBackGroundColor(TColor v) { SetColorProperty(v, FBackGroundColor, 1); }
    TgBevelStyle BorderStyle() const { return FBorderStyle; }
    virtual void SetBorderStyle(TgBevelStyle v);
    bool CachedDrawing() const { return FCachedDrawing; }
    virtual void SetCachedDrawing(bool v);
    // A picture stretched over the control in place of the colour; nullptr or an empty one: the colour.
    TBitmap* BackGroundPicture() const { return FBackGroundPicture.get(); }
    void SetBackGroundPicture(const TBitmap* picture);
    TBitmap* GetBackGroundBitmap();
    bool BackGroundChanged() const { return FBackGroundChanged; }
    virtual void PaintBackGround(TCanvas& canvas, TColor color);
    virtual void DrawBorder(TCanvas& canvas);
    virtual TPoint GetCenterPoint() const;
    int OffsetX() const { return FOffsetX; }
    int OffsetY() const { return FOffsetY; }
    bool HasFocus() const { return FHasFocus; }
    bool UserGenerated() const { return FUserGenerated; }
    bool ShowDisabledState() const { return FShowDisabledState; }

    // --- error state (set by a bound data item of bad quality)
    bool ErrorActive() const { return FErrorActive; }
    void SetErrorActive(bool v) { SetBooleanProperty(v, FErrorActive, 1); }
    const std::string& ErrorText() const { return FErrorText; }
    void SetErrorText(const std::string& v) { FErrorText = v; }
    TColor ErrorBackGroundColor() const { return FErrorBackGroundColor; }
    void SetErrorBackGroundColor(TColor v) { FErrorBackGroundColor = v; }
    TFont* ErrorFont() const { return FErrorFont.get(); }

    // --- the data lock and the private timer, supplied by the windowed base
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
    virtual bool GetTimerRunning() const = 0;
    virtual void TimerStart(int initialDelay, int interval) = 0;
    virtual void TimerStop() = 0;
    virtual bool OPCPropertyChanged(const std::string& propertyName, const TgOPCVariant& value);

    // --- input hooks
    virtual void gGotFocus();
    virtual void gLostFocus();
    virtual void gWantSpecialKey(std::uint16_t& charCode, std::int32_t& result);
    virtual void gKeyUp(std::uint16_t& key, TShiftState shift);
    virtual void gKeyDown(std::uint16_t& key, TShiftState shift);
    virtual void gKeyPress(char& key);
    virtual void gMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void gMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void gMouseMove(TShiftState shift, int x, int y);
    virtual void gDblClick();
    virtual bool gMouseWheel(int wheelDelta, TShiftState shift, TPoint mousePos);
    // Renders the whole control.
    virtual void gPaint(TCanvas& canvas) = 0;

    // --- property text file
    virtual void SavePropertiesToFile(const std::string& fileName);
    virtual void LoadPropertiesFromFile(const std::string& fileName);
    // Renders the control into a BMP file.
    void SaveImageToBitmap(const std::string& fileName);

    bool IsLoading() const;
    bool GetDesigning();
    // The kind of the writable published property of that full dotted name; tkUnknown when none.
    TTypeKind GetPropertyKind(const std::string& propertyName);

    TgPaintEvent OnPaint;
    TChangePropertyEvent OnChangeProtected;
    TRequestEditEvent OnRequestEdit;
    TGetDesigningEvent OnGetDesigning;

    // --- framework overrides
    void SetEnabled(bool v) override;
    void Paint(TCanvas& canvas) override;
    bool KeyDown(std::uint16_t& key, TShiftState shift) override;
    bool KeyUp(std::uint16_t& key, TShiftState shift) override;
    bool KeyPress(char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void DblClick() override;

protected:
    // What a descendant's property file leaves out besides the name, the data items and (unless every
    // property is saved) the framework's placement properties; and whether it skips default values.
    virtual void AddSaveExclusions(TStringList&) const {}
    virtual bool DifferentialSave() const { return false; }
    // Store a changed value, then: kind 0 InvalidateChange, kind 1 BackGroundChange, others nothing.
    void SetBooleanProperty(bool value, bool& field, int kind);
    void SetIntegerProperty(int value, int& field, int kind);
    void SetColorProperty(TColor value, TColor& field, int kind);
    void DoChangeKind(int kind);
    // Renders into a fresh bitmap under the lock and copies it onto `target`.
    void PaintOffScreen(TCanvas& target);
    // Makes the held repaint when `ms` have passed, unless one is due already.
    void HoldRepaintUntil(double ms);
    // Every repaint request but a data change lands here: what a descendant keeps of its last picture
    // is stale.
    virtual void PictureChanged() {}

    bool FUpdateActive = false;
    int FUpdateFrameRate = 60;
    double FLastUpdate = 0;
    bool FNeedsRepaint = false;
    std::unique_ptr<TBitmap> FBackGroundBitmap;
    std::unique_ptr<TBitmap> FOffScreenBitmap;
    std::unique_ptr<TBitmap> FBackGroundPicture;
    TColor FBackGroundColor = clBtnFace;
    bool FBackGroundChanged = true;
    TgBevelStyle FBorderStyle = TgBevelStyle::ibsNone;
    int FOffsetY = 0, FOffsetX = 0;
    bool FShowDisabledState = false;
    bool FHasFocus = false;
    bool FAutoFrameRate = false;
    bool FLoading = false;
    bool FActiveXDesigning = false;
    bool FCachedDrawing = true;
    bool FOptionSaveAllProperties = false;
    bool FUserGenerated = false;
    bool FErrorActive = false;
    std::string FErrorText = "Error";
    TColor FErrorBackGroundColor = clRed;
    std::unique_ptr<TFont> FErrorFont;
    std::unique_ptr<TTimer> FHeldRepaint;
    TScheduler* FHeldRepaintScheduler = nullptr;
};

} // namespace kv
