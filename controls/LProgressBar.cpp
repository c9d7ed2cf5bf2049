#include "controls/LProgressBar.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace kv {

KV_REGISTER_CLASS(LProgressBar, TPanel, b) {
    b.Prop("FirstNum", &LProgressBar::GetFirstNum, &LProgressBar::SetFirstNum).Default(1);
    b.Prop("SecondNum", &LProgressBar::GetSecondNum, &LProgressBar::SetSecondNum).Default(1);
    b.Prop("ThirdNum", &LProgressBar::GetThirdNum, &LProgressBar::SetThirdNum).Default(3);
    b.Prop("FirstColor", &LProgressBar::GetFirstColor, &LProgressBar::SetFirstColor)
        .Default(RGB(128, 0, 0))
        .Idents(ColorIdents(), "TColor");
    b.Prop("SecondColor", &LProgressBar::GetSecondColor, &LProgressBar::SetSecondColor)
        .Default(RGB(128, 128, 0))
        .Idents(ColorIdents(), "TColor");
    b.Prop("ThirdColor", &LProgressBar::GetThirdColor, &LProgressBar::SetThirdColor)
        .Default(RGB(0, 128, 0))
        .Idents(ColorIdents(), "TColor");
    b.Prop("LFirstColor", &LProgressBar::GetLFirstColor, &LProgressBar::SetLFirstColor)
        .Default(RGB(255, 0, 0))
        .Idents(ColorIdents(), "TColor");
    b.Prop("LSecondColor", &LProgressBar::GetLSecondColor, &LProgressBar::SetLSecondColor)
        .Default(RGB(255, 255, 0))
        .Idents(ColorIdents(), "TColor");
    b.Prop("LThirdColor", &LProgressBar::GetLThirdColor, &LProgressBar::SetLThirdColor)
        .Default(RGB(0, 255, 0))
        .Idents(ColorIdents(), "TColor");
    b.Prop("Max", &LProgressBar::GetMax, &LProgressBar::SetMax).Default(100);
    b.Prop("Min", &LProgressBar::GetMin, &LProgressBar::SetMin).Default(0);
    b.Prop("Position", &LProgressBar::GetPosition, &LProgressBar::SetPosition).Default(0);
}

LProgressBar::LProgressBar(TComponent* owner) : TPanel(owner) {
    SetBevelInner(TBevelCut::bvLowered);
    SetBevelOuter(TBevelCut::bvLowered);
    SetBounds(Left(), Top(), 14, 132);
    SetColor(clBlack);
    int n = SegmentCount();
    for (int i = 0; i < n; ++i) {
        auto* s = new TShape(this);
        s->SetName("shape" + std::to_string(i + 1));
        s->SetParent(this);
        LayOut(s, i);
        s->Brush()->SetColor(UnlitColor(GroupOf(i)));
    }
    FLayoutWidth = Width();
    FLayoutHeight = Height();
}

TShape* LProgressBar::Segment(int number) const {
    return dynamic_cast<TShape*>(FindComponent("shape" + std::to_string(number)));
}

LProgressBar::Group LProgressBar::GroupOf(int index) const {
    if (index < FFirstNum)
        return First;
    if (index < FFirstNum + FSecondNum)
        return Second;
    return Third;
}

TColor LProgressBar::UnlitColor(Group g) const {
    return g == First ? FFirstColor : g == Second ? FSecondColor : FThirdColor;
}

void LProgressBar::LayOut(TShape* shape, int index) {
    int n = SegmentCount();
    if (!shape || n <= 0)
        return;
    int w = Width(), h = Height();
    int top = static_cast<int>(std::trunc(static_cast<double>(h) / n * index)) - 1;
    shape->SetBounds(0, top, w, h / n + 2);
}

void LProgressBar::LayOutAll() {
    int n = SegmentCount();
    for (int i = 0; i < n; ++i)
        LayOut(Segment(i + 1), i);
}

void LProgressBar::SetPosition(int p) {
    if (p == FPosition)
        return;
    FPosition = p > FMax ? FMax : p < FMin ? FMin : p;
    int n = SegmentCount();
    if (n <= 0)
        return;
    // A full-scale of 0 or less, or a negative position, lights nothing rather than dividing by zero
    // or counting below zero.
    float step = static_cast<float>(FMax) / static_cast<float>(n);
    int lit = 0;
    if (step > 0)
        lit = static_cast<int>(std::clamp(std::trunc(FPosition / static_cast<double>(step)), 0.0, double(n)));
    if (p >= FMax && lit < n && FMax > 0)
        ++lit;
    for (int number = n; number > n - lit; --number) {
        TShape* s = Segment(number);
        if (!s)
            continue;
        TColor c = s->Brush()->Color();
        if (c == FFirstColor)
            s->Brush()->SetColor(FLFirstColor);
        else if (c == FSecondColor)
            s->Brush()->SetColor(FLSecondColor);
        else if (c == FThirdColor)
            s->Brush()->SetColor(FLThirdColor);
    }
    for (int number = 1; number <= n - lit; ++number) {
        TShape* s = Segment(number);
        if (!s)
            continue;
        TColor c = s->Brush()->Color();
        if (c == FLFirstColor)
            s->Brush()->SetColor(FFirstColor);
        else if (c == FLSecondColor)
            s->Brush()->SetColor(FSecondColor);
        else if (c == FLThirdColor)
            s->Brush()->SetColor(FThirdColor);
    }
}

void LProgressBar::SetUnlit(Group g, TColor& field, TColor v) {
    if (v == field)
        return;
    field = v;
    int n = SegmentCount();
    for (int i = 0; i < n; ++i)
        if (GroupOf(i) == g)
            if (TShape* s = Segment(i + 1))
                s->Brush()->SetColor(v);
}

void LProgressBar::SetLit(Group g, TColor& field, TColor v) {
    if (v == field)
        return;
    int n = SegmentCount();
    for (int i = 0; i < n; ++i)
        if (GroupOf(i) == g)
            if (TShape* s = Segment(i + 1); s && s->Brush()->Color() == field)
                s->Brush()->SetColor(v);
    field = v;
}

void LProgressBar::SetFirstColor(TColor v) {
    SetUnlit(First, FFirstColor, v);
}
void LProgressBar::SetSecondColor(TColor v) {
    SetUnlit(Second, FSecondColor, v);
}
void LProgressBar::SetThirdColor(TColor v) {
    SetUnlit(Third, FThirdColor, v);
}
void LProgressBar::SetLFirstColor(TColor v) {
    SetLit(First, FLFirstColor, v);
}
void LProgressBar::SetLSecondColor(TColor v) {
    SetLit(Second, FLSecondColor, v);
}
void LProgressBar::SetLThirdColor(TColor v) {
    SetLit(Third, FLThirdColor, v);
}

void LProgressBar::SetFirstNum(int v) {
    SetCount(First, v);
}
void LProgressBar::SetSecondNum(int v) {
    SetCount(Second, v);
}
void LProgressBar::SetThirdNum(int v) {
    SetCount(Third, v);
}

void LProgressBar::SetCount(Group g, int count) {
    count = std::max(0, count); // a negative count would make no sense of the numbering
    int& field = g == First ? FFirstNum : g == Second ? FSecondNum : FThirdNum;
    if (count == field)
        return;
    int n = SegmentCount();
    std::vector<TShape*> shapes;
    for (int i = 1; i <= n; ++i)
        if (TShape* s = Segment(i))
            shapes.push_back(s);
    int groupEnd = g == First ? FFirstNum : g == Second ? FFirstNum + FSecondNum : n;
    groupEnd = std::min<int>(groupEnd, static_cast<int>(shapes.size()));
    for (int k = field; k < count; ++k) {
        auto* s = new TShape(this);
        s->SetParent(this);
        shapes.insert(shapes.begin() + groupEnd, s);
        ++groupEnd;
    }
    for (int k = field; k > count && groupEnd > 0; --k) {
        delete shapes[static_cast<std::size_t>(groupEnd - 1)];
        shapes.erase(shapes.begin() + (groupEnd - 1));
        --groupEnd;
    }
    field = count;
    // Renumber from the top: clear every name first so that no two segments share one on the way.
    for (TShape* s : shapes)
        s->SetName("");
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const int index = static_cast<int>(i);
        shapes[i]->SetName("shape" + std::to_string(index + 1));
        LayOut(shapes[i], index);
        shapes[i]->Brush()->SetColor(UnlitColor(GroupOf(index)));
    }
}

void LProgressBar::WndProcPaint() {
    TPanel::WndProcPaint();
    if (FLayoutWidth != 0 && (Width() != FLayoutWidth || Height() != FLayoutHeight)) {
        FLayoutWidth = Width();
        FLayoutHeight = Height();
        LayOutAll();
    }
}

} // namespace kv
