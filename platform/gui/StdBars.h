#pragma once
// Up-down buttons, the status bar and the progress bar.

#include "platform/gui/Controls.h"

#include <memory>

namespace kv {

enum class TUDBtnType { btNext, btPrev };
std::vector<std::string> EnumIdents(TUDBtnType);
enum class TUDOrientation { udHorizontal, udVertical };
std::vector<std::string> EnumIdents(TUDOrientation);
using TUDClickEvent = std::function<void(TObject* sender, TUDBtnType button)>;
using TUDChangingEvent = std::function<void(TObject* sender, bool& allowChange)>;
enum class TUpDownDirection { updNone, updUp, updDown };
// The position the change would give (outside Min..Max when an arrow is pressed at an end of the range)
// and where it came from: an arrow, or updNone for a position set from code.
using TUDChangingEventEx =
    std::function<void(TObject* sender, bool& allowChange, int16_t newValue, TUpDownDirection direction)>;

class TUpDown : public TCustomControl {
    KV_CLASS(TUpDown)
public:
    explicit TUpDown(TComponent* owner);
    int Min() const { return FMin; }
    void SetMin(int v) { FMin = v; }
    int Max() const { return FMax; }
    void SetMax(int v) { FMax = v; }
    int Position() const { return FPosition; }
    // From code: clamped to Min..Max; a position that differs from the current one is first offered to
    // OnChanging and OnChangingEx (direction updNone), which may refuse it. While loading, stored as is.
    void SetPosition(int v);
    int Increment() const { return FIncrement; }
    void SetIncrement(int v) { FIncrement = v; }
    bool Wrap() const { return FWrap; }
    void SetWrap(bool v) { FWrap = v; }
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation v);
    TWinControl* Associate() const { return FAssociate; }
    void SetAssociate(TWinControl* c);
    // A press of one of the arrows, as the user's click.
    void ArrowClick(TUDBtnType button);
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void Paint(TCanvas& canvas) override;
    TUDClickEvent OnClick;
    TUDChangingEvent OnChanging;
    TUDChangingEventEx OnChangingEx;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void UpdateAssociate();
    // OnChanging, then OnChangingEx; false when either refuses the change.
    bool CanChange(int newValue, TUpDownDirection direction);
    int FMin = 0, FMax = 100, FPosition = 0, FIncrement = 1;
    bool FWrap = false;
    TUDOrientation FOrientation = TUDOrientation::udVertical;
    TWinControl* FAssociate = nullptr;
    int FPressed = -1;
};

class TStatusBar : public TCustomControl {
    KV_CLASS(TStatusBar)
public:
    explicit TStatusBar(TComponent* owner);
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool v);
    const std::string& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& v);
    // Panels: widths, and texts set at run time.
    int PanelCount() const { return static_cast<int>(FPanels.size()); }
    void AddPanel(int width);
    void SetPanelText(int index, const std::string& text);
    const std::string& PanelText(int index) const;
    void Paint(TCanvas& canvas) override;

private:
    struct Panel {
        int width;
        std::string text;
    };
    bool FSimplePanel = false;
    std::string FSimpleText;
    std::vector<Panel> FPanels;
};

enum class TProgressBarOrientation { pbHorizontal, pbVertical };
std::vector<std::string> EnumIdents(TProgressBarOrientation);

class TProgressBar : public TWinControl {
    KV_CLASS(TProgressBar)
public:
    explicit TProgressBar(TComponent* owner);
    int Min() const { return FMin; }
    void SetMin(int v);
    int Max() const { return FMax; }
    void SetMax(int v);
    int Position() const { return FPosition; }
    void SetPosition(int v);
    int Step() const { return FStep; }
    void SetStep(int v) { FStep = v; }
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool v) { FSmooth = v; }
    TProgressBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TProgressBarOrientation v);
    void StepIt() { SetPosition(FPosition + FStep); }
    void StepBy(int delta) { SetPosition(FPosition + delta); }

private:
    void Apply();
    int FMin = 0, FMax = 100, FPosition = 0, FStep = 10;
    bool FSmooth = false;
    TProgressBarOrientation FOrientation = TProgressBarOrientation::pbHorizontal;
};

} // namespace kv
