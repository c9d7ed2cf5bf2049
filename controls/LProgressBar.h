#pragma once
// The LED-style bar meter: a black panel holding a column of rectangle segments in three colour
// groups (red at the top, yellow in the middle, green at the bottom) that light from the bottom up.
// Segments are shapes owned by the meter and named "shape1" .. "shapeN" from the top; a segment's
// fill colour is its only state.

#include "platform/gui/StdCtrls.h"

namespace kv {

class TShape;

class LProgressBar : public TPanel {
    KV_CLASS(LProgressBar)
public:
    explicit LProgressBar(TComponent* owner);

    int GetFirstNum() const { return FFirstNum; }
    int GetSecondNum() const { return FSecondNum; }
    int GetThirdNum() const { return FThirdNum; }
    void SetFirstNum(int v);
    void SetSecondNum(int v);
    void SetThirdNum(int v);
    TColor GetFirstColor() const { return FFirstColor; }
    TColor GetSecondColor() const { return FSecondColor; }
    TColor GetThirdColor() const { return FThirdColor; }
    void SetFirstColor(TColor v);
    void SetSecondColor(TColor v);
    void SetThirdColor(TColor v);
    TColor GetLFirstColor() const { return FLFirstColor; }
    TColor GetLSecondColor() const { return FLSecondColor; }
    TColor GetLThirdColor() const { return FLThirdColor; }
    void SetLFirstColor(TColor v);
    void SetLSecondColor(TColor v);
    void SetLThirdColor(TColor v);
    int GetMax() const { return FMax; }
    void SetMax(int v) { FMax = v; }
    int GetMin() const { return FMin; }
    void SetMin(int v) { FMin = v; }
    int GetPosition() const { return FPosition; }
    void SetPosition(int p);

    int SegmentCount() const { return FFirstNum + FSecondNum + FThirdNum; }
    // Segment `number` (1 at the top), found by its name as every operation finds it.
    TShape* Segment(int number) const;

    // After a paint: a meter whose size changed since the last layout lays its segments out again.
    void WndProcPaint() override;

private:
    enum Group { First, Second, Third };
    Group GroupOf(int index) const; // index counted from 0 at the top
    TColor UnlitColor(Group g) const;
    void LayOut(TShape* shape, int index);
    void LayOutAll();
    void SetCount(Group g, int count);
    void SetUnlit(Group g, TColor& field, TColor v);
    void SetLit(Group g, TColor& field, TColor v);

    int FFirstNum = 1, FSecondNum = 1, FThirdNum = 3;
    TColor FFirstColor = RGB(128, 0, 0), FSecondColor = RGB(128, 128, 0), FThirdColor = RGB(0, 128, 0);
    TColor FLFirstColor = RGB(255, 0, 0), FLSecondColor = RGB(255, 255, 0), FLThirdColor = RGB(0, 255, 0);
    int FMax = 100, FMin = 0, FPosition = 0;
    int FLayoutWidth = 14, FLayoutHeight = 132;
};

} // namespace kv
