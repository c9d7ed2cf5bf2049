#include "styled/StTrackBar.h"

#include "styled/StDragHint.h"

#include "platform/gui/Forms.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

using namespace kv;

namespace {

// A fader that records what it asks to repaint.
class RecordingFader : public TStTrackBar {
public:
    using TStTrackBar::TStTrackBar;
    std::vector<TRect> invalidated;

protected:
    void InvalidateRects(const std::vector<TRect>& rects) override {
        invalidated.insert(invalidated.end(), rects.begin(), rects.end());
        TStTrackBar::InvalidateRects(rects);
    }
};

// A 16 x 29 BMP thumb picture: a dark body on a magenta key colour (its bottom-left pixel).
std::vector<std::uint8_t> ThumbBmp(TColor body) {
    TBitmap bmp(16, 29);
    TCanvas& c = *bmp.Canvas();
    c.Brush()->SetColor(clFuchsia);
    c.FillRect({0, 0, 16, 29});
    c.Brush()->SetColor(body);
    c.FillRect({2, 1, 14, 28});
    return bmp.SaveToBytes();
}

void SetThumbPicture(TStTrackBar& f, TColor body) {
    TGDIPPicture pic;
    pic.LoadFromBytes(ThumbBmp(body));
    f.Thumb()->SetPicture(&pic);
}

// The main window's graphic EQ fader: 26 x 193, 0..240, page 6, a 3-pixel slider, no ticks.
template <class F = TStTrackBar> std::unique_ptr<F> GeqFader(TComponent* owner = nullptr) {
    auto f = std::make_unique<F>(owner);
    f->SetOrientation(TTrackBarOrientation::trVertical);
    f->SetBounds(0, 0, 26, 193);
    f->SetMax(240);
    f->SetPageSize(6);
    f->SetShowFocus(true);
    f->SetTrackHint(false);
    f->Slider()->SetSize(3);
    f->Slider()->SetColor(clWhite);
    f->Slider()->SetColorTo(clBlack);
    f->Slider()->SetBorderColor(0xA4A0A0); // clMedGray
    f->TickMark()->SetStyle(TTickStyle::tsNone);
    f->Thumb()->SetWidth(29);
    f->Thumb()->SetSize(16);
    return f;
}

struct Events {
    int changes = 0;
    std::vector<int> positions;
    void Bind(TCustomTrackBar& f) {
        f.OnChange = [this](TObject* sender) {
            ++changes;
            positions.push_back(static_cast<TCustomTrackBar*>(sender)->Position());
        };
    }
};

TEST(StTrackBarTest, GeometryOfTheGraphicEqFader) {
    auto f = GeqFader();
    EXPECT_EQ(f->GetInnerRect(), Rect(3, 3, 23, 190));
    EXPECT_EQ(f->GetTrackRect(), Rect(13, 3, 23, 190));
    EXPECT_EQ(f->GetSliderRect(), Rect(13, 3, 16, 190));
    struct Case {
        int position;
        TRect thumb;
    };
    // Offsets 0, 40 (39.5 to even), 79, 118 (118.5 to even), 158 from the bottom.
    const Case cases[] = {{0, Rect(6, 161, 22, 190)},
                          {60, Rect(6, 121, 22, 150)},
                          {120, Rect(6, 82, 22, 111)},
                          {180, Rect(6, 43, 22, 72)},
                          {240, Rect(6, 3, 22, 32)}};
    for (const Case& c : cases) {
        f->SetPosition(c.position);
        EXPECT_EQ(f->GetThumbRect(), c.thumb) << c.position;
    }
    // A 27-pixel fader has the same thumb columns.
    f->SetWidth(27);
    EXPECT_EQ(f->GetTrackRect(), Rect(13, 3, 24, 190));
    EXPECT_EQ(f->GetThumbRect().Left, 6);
    EXPECT_EQ(f->GetThumbRect().Right, 22);
}

TEST(StTrackBarTest, HorizontalGeometryButtonsAndOrientationSwap) {
    TStTrackBar f(nullptr);
    EXPECT_EQ(f.Width(), 150);
    EXPECT_EQ(f.Height(), 26);
    f.SetPosition(5);
    // Track (3 + 10, ...): thumb 10 long, span 144 - 10 = 134, half way = 67; ticks below.
    EXPECT_EQ(f.GetTrackRect(), Rect(3, 13, 147, 23));
    EXPECT_EQ(f.GetThumbRect().Left, 3 + 67);
    f.Buttons()->SetVisible(true);
    EXPECT_EQ(f.GetMinButtonRect(), Rect(3, 3, 23, 23));
    EXPECT_EQ(f.GetMaxButtonRect(), Rect(127, 3, 147, 23));
    EXPECT_EQ(f.GetTrackRect(), Rect(25, 13, 125, 23));
    f.SetOrientation(TTrackBarOrientation::trVertical);
    EXPECT_EQ(f.Width(), 26);
    EXPECT_EQ(f.Height(), 150);
    EXPECT_EQ(f.GetMinButtonRect(), Rect(3, 127, 23, 147));
    EXPECT_EQ(f.GetMaxButtonRect(), Rect(3, 3, 23, 23));
    // Max = Min puts the thumb at the track's start.
    f.SetMax(0);
    EXPECT_EQ(f.Position(), 0);
    EXPECT_EQ(f.GetThumbRect().Bottom, f.GetTrackRect().Bottom);
}

TEST(StTrackBarTest, SetPositionEvents) {
    auto f = GeqFader();
    Events ev;
    ev.Bind(*f);
    struct Step {
        int value;
        int position;
        int events; // total so far
    };
    // Compared before clamping: a value beyond an end fires even when the position stays.
    const Step steps[] = {{0, 0, 0},     {120, 120, 1}, {120, 120, 1}, {240, 240, 2},
                          {245, 240, 3}, {240, 240, 3}, {-10, 0, 4},   {0, 0, 4}};
    for (const Step& s : steps) {
        f->SetPosition(s.value);
        EXPECT_EQ(f->Position(), s.position) << s.value;
        EXPECT_EQ(ev.changes, s.events) << s.value;
    }
    // Max below the position moves it (and reports it); Min above it likewise.
    f->SetPosition(200);
    int before = ev.changes;
    f->SetMax(100);
    EXPECT_EQ(f->Position(), 100);
    EXPECT_EQ(ev.changes, before + 1);
    f->SetMax(240);
    f->SetMin(150);
    EXPECT_EQ(f->Position(), 150);
    // In the designer the fader repaints whole and reports nothing.
    f->SetDesigning(true);
    before = ev.changes;
    f->SetPosition(120);
    EXPECT_EQ(ev.changes, before);
}

TEST(StTrackBarTest, UpdateRegionCoversBothThumbs) {
    auto f = GeqFader<RecordingFader>();
    f->SetPosition(60);
    f->invalidated.clear();
    f->SetPosition(180);
    ASSERT_EQ(f->invalidated.size(), 2u);
    EXPECT_EQ(f->invalidated[0], Rect(5, 120, 23, 151));
    EXPECT_EQ(f->invalidated[1], Rect(5, 42, 23, 73));
    // With a completed part the slider joins the region.
    f->Slider()->SetColorCompleted(clRed);
    f->invalidated.clear();
    f->SetPosition(0);
    ASSERT_EQ(f->invalidated.size(), 3u);
    EXPECT_EQ(f->invalidated[2], f->GetSliderRect());
}

TEST(StTrackBarTest, KeysAndWheel) {
    struct Case {
        TTrackBarOrientation orientation;
        int start;
        std::uint16_t key;
        bool shift;
        int position;
        int events;
    };
    const auto V = TTrackBarOrientation::trVertical, H = TTrackBarOrientation::trHorizontal;
    const Case cases[] = {
        {V, 120, VK_PRIOR, false, 126, 1}, {V, 120, VK_NEXT, false, 114, 1},
        {V, 120, VK_UP, false, 121, 1},    {V, 120, VK_RIGHT, false, 121, 1},
        {V, 120, VK_DOWN, false, 119, 1},  {V, 120, VK_LEFT, false, 119, 1},
        {V, 120, VK_END, false, 0, 1},     {V, 120, VK_HOME, false, 240, 1},
        {H, 120, VK_END, false, 240, 1},   {H, 120, VK_HOME, false, 0, 1},
        {V, 240, VK_PRIOR, false, 240, 1}, {V, 240, VK_UP, false, 240, 0},
        {V, 0, VK_DOWN, false, 0, 0},      {V, 120, VK_PRIOR, true, 120, 0},
        {V, 120, VK_UP, true, 120, 0},     {V, 120, VK_HOME, true, 120, 0},
        {V, 120, VK_END, true, 120, 0},    {V, 120, VK_NEXT, true, 120, 0},
    };
    for (const Case& c : cases) {
        auto f = GeqFader();
        f->SetOrientation(c.orientation);
        f->SetPosition(c.start);
        Events ev;
        ev.Bind(*f);
        std::uint16_t key = c.key;
        TShiftState shift;
        if (c.shift)
            shift.Include(TShiftItem::ssShift);
        EXPECT_FALSE(f->KeyDown(key, shift)); // never consumed
        EXPECT_EQ(f->Position(), c.position) << "key " << c.key << " from " << c.start;
        EXPECT_EQ(ev.changes, c.events) << "key " << c.key << " from " << c.start;
    }
    // A handler that swallows the key stops the fader too; OnKeyDown runs first.
    auto f = GeqFader();
    f->SetPosition(120);
    f->OnKeyDown = [](TObject*, std::uint16_t& k, TShiftState) { k = 0; };
    std::uint16_t key = VK_UP;
    EXPECT_TRUE(f->KeyDown(key, {}));
    EXPECT_EQ(f->Position(), 120);

    // One unit per wheel notch, nothing at the ends.
    struct Wheel {
        int start, delta, position, events;
    };
    for (const Wheel& w : {Wheel{120, 120, 121, 1}, Wheel{120, -120, 119, 1}, Wheel{240, 120, 240, 0},
                           Wheel{0, -120, 0, 0}, Wheel{120, 240, 122, 2}, Wheel{120, 60, 120, 0}}) {
        auto g = GeqFader();
        g->SetPosition(w.start);
        Events ev;
        ev.Bind(*g);
        EXPECT_TRUE(g->DoMouseWheel({}, w.delta, {0, 0}));
        EXPECT_EQ(g->Position(), w.position) << w.start << " " << w.delta;
        EXPECT_EQ(ev.changes, w.events) << w.start << " " << w.delta;
    }
}

TEST(StTrackBarTest, DragAndJump) {
    auto f = GeqFader();
    Events ev;
    ev.Bind(*f);
    std::vector<std::string> order;
    f->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
        order.push_back("down " + std::to_string(f->Sliding()));
    };
    // Grab the thumb at its centre (offset 0) and drag 79 pixels up: 158 pixels span 240 units.
    f->MouseDown(TMouseButton::mbLeft, {}, 14, 175);
    EXPECT_EQ(order, std::vector<std::string>{"down 0"}); // the event comes before the fader acts
    EXPECT_TRUE(f->Sliding());
    EXPECT_TRUE(f->ThumbDown());
    f->MouseMove({}, 14, 175);
    EXPECT_EQ(ev.changes, 0); // grabbing without moving keeps the value
    f->MouseMove({}, 14, 96);
    EXPECT_EQ(f->Position(), 120);
    f->MouseMove({}, 20, -500);
    EXPECT_EQ(f->Position(), 240);
    f->MouseUp(TMouseButton::mbLeft, {}, 20, -500);
    EXPECT_FALSE(f->Sliding());
    EXPECT_FALSE(f->ThumbDown());
    EXPECT_FALSE(f->ThumbHot());

    // Jump on click: the press point becomes the value.
    f->SetMoveOnClick(TMoveOnClick::mcMove);
    f->MouseDown(TMouseButton::mbLeft, {}, 14, 190 - 29 - 79);
    EXPECT_EQ(f->Position(), 120);
    EXPECT_FALSE(f->Sliding());
    f->MouseUp(TMouseButton::mbLeft, {}, 14, 0);
    f->SetMoveOnClick(TMoveOnClick::mcMoveSlide);
    f->MouseDown(TMouseButton::mbLeft, {}, 14, 180);
    EXPECT_EQ(f->Position(), 0);
    EXPECT_TRUE(f->Sliding());
    f->MouseUp(TMouseButton::mbLeft, {}, 14, 180);

    // A track not longer than its thumb keeps its position on drag and jump.
    auto g = GeqFader();
    g->SetHeight(35); // inner 29 pixels, the thumb's length
    g->SetPosition(100);
    g->SetMoveOnClick(TMoveOnClick::mcMove);
    g->MouseDown(TMouseButton::mbLeft, {}, 14, 40);
    EXPECT_EQ(g->Position(), 100);
    g->MouseUp(TMouseButton::mbLeft, {}, 14, 40);
    g->SetMoveOnClick(TMoveOnClick::mcStep);
    TRect th = g->GetThumbRect();
    g->MouseDown(TMouseButton::mbLeft, {}, 14, th.Top + 5);
    ASSERT_TRUE(g->Sliding());
    g->MouseMove({}, 14, th.Top - 50);
    EXPECT_EQ(g->Position(), 100);
    g->MouseUp(TMouseButton::mbLeft, {}, 14, 0);
}

TEST(StTrackBarTest, HeldTrackPressStepsOnTheClockAndStopsAtThePressPoint) {
    TVirtualClock clock;
    auto f = GeqFader();
    f->SetScheduler(&clock);
    Events ev;
    ev.Bind(*f);
    // Above the thumb at 0 (thumb 161..190): steps up by 6 at once, after 400 ms, then every 100 ms.
    f->MouseDown(TMouseButton::mbLeft, {}, 14, 100);
    EXPECT_EQ(f->Position(), 6);
    clock.Advance(399);
    EXPECT_EQ(f->Position(), 6);
    clock.Advance(1);
    EXPECT_EQ(f->Position(), 12);
    clock.Advance(99);
    EXPECT_EQ(f->Position(), 12);
    clock.Advance(1);
    EXPECT_EQ(f->Position(), 18);
    // 96 puts the thumb over the press point (top 98); from there it stays, with no more events.
    clock.Advance(100 * 13);
    EXPECT_EQ(f->Position(), 96);
    TRect th = f->GetThumbRect();
    EXPECT_LE(th.Top, 100);
    EXPECT_GT(th.Bottom, 100);
    const int changes = ev.changes;
    EXPECT_EQ(changes, 16);
    clock.Advance(2000);
    EXPECT_EQ(f->Position(), 96);
    EXPECT_EQ(ev.changes, changes);
    f->MouseUp(TMouseButton::mbLeft, {}, 14, 100);
    EXPECT_FALSE(f->RepeatTimerEnabled());

    // One pixel or more per unit (bandwidth fader: 137 pixels for 100 units) stops the same way,
    // below the thumb this time.
    auto q = GeqFader();
    q->SetScheduler(&clock);
    q->SetBounds(0, 0, 26, 172);
    q->SetMax(100);
    q->SetPageSize(5);
    q->SetPosition(100);
    q->MouseDown(TMouseButton::mbLeft, {}, 14, 120);
    clock.Advance(3000);
    th = q->GetThumbRect();
    EXPECT_LE(th.Top, 120);
    EXPECT_GT(th.Bottom, 120);
    int settled = q->Position();
    clock.Advance(1000);
    EXPECT_EQ(q->Position(), settled);
    q->MouseUp(TMouseButton::mbLeft, {}, 14, 120);

    // At an end the held press sends nothing more.
    auto e = GeqFader();
    e->SetScheduler(&clock);
    e->SetPosition(240);
    Events endEvents;
    endEvents.Bind(*e);
    e->MouseDown(TMouseButton::mbLeft, {}, 14, 0); // above the thumb, inside the track's margin
    clock.Advance(1000);
    EXPECT_EQ(endEvents.changes, 0);
    e->MouseUp(TMouseButton::mbLeft, {}, 14, 0);

    // Without the mouse held the repeat does nothing (the release stops it).
    auto r = GeqFader();
    r->SetScheduler(&clock);
    r->MouseDown(TMouseButton::mbLeft, {}, 14, 20);
    int pos = r->Position();
    r->MouseUp(TMouseButton::mbLeft, {}, 14, 20);
    clock.Advance(1000);
    EXPECT_EQ(r->Position(), pos);
}

TEST(StTrackBarTest, MinAndMaxButtons) {
    TVirtualClock clock;
    TStTrackBar f(nullptr);
    f.SetScheduler(&clock);
    f.Buttons()->SetVisible(true);
    f.SetPosition(5);
    // Max button: steps on release and, held, on the repeats.
    f.MouseMove({}, 130, 10);
    EXPECT_TRUE(f.MaxButtonHot());
    f.MouseDown(TMouseButton::mbLeft, {}, 130, 10);
    EXPECT_TRUE(f.MaxButtonDown());
    EXPECT_EQ(f.Position(), 5);
    clock.Advance(400);
    EXPECT_EQ(f.Position(), 6);
    clock.Advance(100);
    EXPECT_EQ(f.Position(), 7);
    f.MouseUp(TMouseButton::mbLeft, {}, 130, 10);
    EXPECT_EQ(f.Position(), 8);
    f.MouseLeave();
    EXPECT_FALSE(f.MaxButtonHot());
    f.MouseDown(TMouseButton::mbLeft, {}, 10, 10);
    f.MouseUp(TMouseButton::mbLeft, {}, 10, 10);
    EXPECT_EQ(f.Position(), 7);
}

TEST(StTrackBarTest, ThumbTakesItsSizesFromItsPicture) {
    auto f = GeqFader();
    f->Thumb()->SetWidth(10);
    f->Thumb()->SetSize(15);
    SetThumbPicture(*f, clNavy);
    EXPECT_EQ(f->Thumb()->Width(), 29);
    EXPECT_EQ(f->Thumb()->Size(), 16);
    f->Thumb()->SetWidth(40);
    EXPECT_EQ(f->Thumb()->Width(), 29);
    // Any of the four pictures re-derives the sizes from Picture.
    TGDIPPicture hot;
    hot.LoadFromBytes(ThumbBmp(clRed));
    f->Thumb()->SetPictureHot(&hot);
    EXPECT_EQ(f->Thumb()->Width(), 29);
    f->Thumb()->SetPicture(nullptr);
    EXPECT_EQ(f->Thumb()->Width(), 29);
    EXPECT_EQ(f->Thumb()->Size(), 16);
    f->Thumb()->SetWidth(40);
    EXPECT_EQ(f->Thumb()->Width(), 40);

    // A horizontal fader turns the picture the other way.
    TStTrackBar h(nullptr);
    SetThumbPicture(h, clNavy);
    EXPECT_EQ(h.Thumb()->Width(), 16);
    EXPECT_EQ(h.Thumb()->Size(), 29);
}

TEST(StTrackBarTest, SettingsObjects) {
    TStTrackBar f(nullptr);
    int repaints = 0;
    f.Buttons()->OnChange = [&](TObject*) { ++repaints; };
    f.Buttons()->SetStep(3);
    f.Buttons()->SetRepeatPause(50);
    f.Buttons()->SetColorMirror(clRed);
    EXPECT_EQ(repaints, 0);
    f.Buttons()->SetSpacing(4);
    EXPECT_EQ(repaints, 1);
    f.Buttons()->SetSpacing(4);
    EXPECT_EQ(repaints, 1);

    f.Thumb()->OnChange = [&](TObject*) { ++repaints; };
    f.Thumb()->SetColorMirrorHot(clRed); // stored silently
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(f.Thumb()->ColorMirrorHot(), clRed);

    TTrackBarThumb other;
    other.SetShowAtMinMax(false);
    other.SetColor(clLime);
    f.Thumb()->Assign(&other);
    EXPECT_TRUE(f.Thumb()->ShowAtMinMax());
    EXPECT_EQ(f.Thumb()->Color(), clLime);

    TTrackBarSlider slider;
    EXPECT_THROW(f.TickMark()->Assign(&slider), EConvertError);
    EXPECT_NO_THROW(f.Thumb()->Assign(&slider));

    TGDIPPicture pic;
    pic.LoadFromBytes(ThumbBmp(clNavy));
    f.Slider()->SetPicture(&pic);
    EXPECT_EQ(f.Slider()->BorderColor(), clNone);
    EXPECT_EQ(f.Slider()->Size(), 29); // its height on a horizontal fader

    TTrackBarLabel label;
    int labelChanges = 0;
    label.OnChange = [&](TObject*) { ++labelChanges; };
    label.SetFormat("Pos: %d");
    label.SetFormat("Value %d dB");
    EXPECT_EQ(labelChanges, 1);
    f.TrackLabel()->Assign(&label);
    f.SetPosition(7);
    EXPECT_EQ(f.GetTrackLabelText(), "Value 7 dB");

    // Published defaults as the layouts rely on them.
    struct Prop {
        const TClassInfo& cls;
        const char* name;
        bool hasDefault;
        long long value;
    };
    const Prop props[] = {
        {TStTrackBar::StaticClassInfo(), "Max", true, 10},
        {TStTrackBar::StaticClassInfo(), "Transparent", true, 1},
        {TStTrackBar::StaticClassInfo(), "BorderColor", false, 0},
        {TStTrackBar::StaticClassInfo(), "TrackHint", false, 0},
        {TStTrackBar::StaticClassInfo(), "TabStop", true, 1},
        {TTrackBarThumb::StaticClassInfo(), "Size", true, 15},
        {TTrackBarThumb::StaticClassInfo(), "Width", true, 10},
        {TTrackBarThumb::StaticClassInfo(), "Shape", false, 0},
        {TTrackBarSlider::StaticClassInfo(), "Offset", true, 10},
        {TTrackBarTick::StaticClassInfo(), "Style", true, 1},
        {TTrackBarButtons::StaticClassInfo(), "ColorMirror", true, 12632256},
        {TTrackBarButtons::StaticClassInfo(), "InitRepeatPause", true, 400},
        {TTrackBarLabel::StaticClassInfo(), "Spacing", true, 4},
    };
    for (const Prop& p : props) {
        const TPropInfo* info = p.cls.FindProp(p.name);
        ASSERT_NE(info, nullptr) << p.name;
        EXPECT_EQ(info->HasDefault, p.hasDefault) << p.cls.Name() << "." << p.name;
        if (p.hasDefault) {
            EXPECT_EQ(info->Default, p.value) << p.cls.Name() << "." << p.name;
        }
    }
    EXPECT_EQ(GetPropText(f, "Thumb.ShowAtMinMax").value_or(""), "True");
    EXPECT_TRUE(SetPropText(f, "Slider.Size", "3"));
    EXPECT_EQ(f.Slider()->Size(), 3);
    EXPECT_TRUE(SetPropText(f, "Version", "0"));
    EXPECT_EQ(GetPropText(f, "Version").value_or(""), "1.6.3.0");
}

TEST(StTrackBarTest, DragHintStaysInsideTheScreen) {
    TTrackHintWindow hint(nullptr);
    const TRect screen{0, 0, 800, 600};
    hint.ActivateHintOnScreen({100, 100, 0, 0}, "120", screen);
    EXPECT_EQ(hint.Left(), 100);
    EXPECT_EQ(hint.Top(), 100);
    EXPECT_EQ(hint.Width(), hint.TextWidth() + 16);
    EXPECT_EQ(hint.Height(), hint.TextHeight() + 4);
    hint.ActivateHintOnScreen({795, 598, 0, 0}, "120", screen);
    EXPECT_EQ(hint.Left() + hint.Width(), 798);
    EXPECT_EQ(hint.Top() + hint.Height(), 598);
    EXPECT_TRUE(hint.Visible());
    EXPECT_EQ(hint.Widget()->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(hint.Widget()->isWindow());
    hint.ReleaseHandle();
    EXPECT_FALSE(hint.Visible());

    // A drag with TrackHint shows the value beside the cursor until the release.
    auto f = GeqFader();
    f->SetTrackHint(true);
    f->OnGetTrackHint = [&](TObject*, int pos, std::string& text) { text = "v" + std::to_string(pos); };
    f->MouseDown(TMouseButton::mbLeft, {}, 14, 175);
    f->MouseMove({}, 14, 96);
    EXPECT_TRUE(f->TrackHintShowing());
    EXPECT_EQ(f->TrackHintWindow()->Caption(), "v120");
    f->MouseUp(TMouseButton::mbLeft, {}, 14, 96);
    EXPECT_FALSE(f->TrackHintShowing());
    EXPECT_FALSE(f->TrackHintWindow()->Visible());
}

TEST(StTrackBarTest, LoadedTakesPictureSizesAfterTheOrientation) {
    // A layout sets the picture's bytes (no event, no sizes) and may set the orientation after them.
    TStTrackBar f(nullptr);
    f.BeginLoading();
    std::vector<std::uint8_t> bytes = ThumbBmp(clNavy);
    f.Thumb()->Picture()->SetData(std::string(bytes.begin(), bytes.end()));
    f.SetOrientation(TTrackBarOrientation::trVertical);
    f.SetBounds(0, 0, 26, 193);
    f.Loaded();
    EXPECT_EQ(f.Width(), 26); // no swap while loading
    EXPECT_EQ(f.Thumb()->Width(), 29);
    EXPECT_EQ(f.Thumb()->Size(), 16);
}

TEST(StTrackBarTest, RatingMode) {
    auto f = std::make_unique<RecordingFader>(nullptr);
    auto square = [](TColor c) {
        TBitmap bmp(10, 10);
        bmp.Canvas()->Brush()->SetColor(c);
        bmp.Canvas()->FillRect({0, 0, 10, 10});
        bmp.Canvas()->SetPixel(0, 9, clFuchsia); // the key colour
        return bmp.SaveToBytes();
    };
    TGDIPPicture on, off;
    on.LoadFromBytes(square(clYellow));
    off.LoadFromBytes(square(clGray));
    f->SetRateActive(&on);
    EXPECT_FALSE(f->RatingMode());
    f->SetRateInActive(&off);
    ASSERT_TRUE(f->RatingMode());
    // Items for values 1..10 from the track's top-left corner (3, 13), 10 pixels each.
    EXPECT_EQ(f->GetRateItemRect(1), Rect(3, 13, 13, 23));
    EXPECT_EQ(f->GetRateItemRect(10), Rect(93, 13, 103, 23));
    EXPECT_EQ(f->GetRateItemRect(0).Left, -1);
    f->MouseDown(TMouseButton::mbLeft, {}, 25, 15);
    EXPECT_EQ(f->Position(), 0); // the release decides
    f->MouseUp(TMouseButton::mbLeft, {}, 25, 15);
    EXPECT_EQ(f->Position(), 3);
    f->invalidated.clear();
    f->SetPosition(5);
    EXPECT_EQ(f->invalidated.size(), 3u);        // items 3, 4 and 5
    f->MouseUp(TMouseButton::mbLeft, {}, 0, 15); // just left of the first item
    EXPECT_EQ(f->Position(), 0);
    // A wide rating on a short track wraps and hides what does not fit.
    f->SetMax(20);
    EXPECT_EQ(f->GetRateItemRect(15).Left, -1);
    // Painting shows active items up to the position.
    f->SetPosition(2);
    QImage img(150, 26, QImage::Format_ARGB32_Premultiplied);
    img.fill(0);
    TCanvas canvas(&img);
    f->Paint(canvas);
    EXPECT_EQ(FromQRgb(img.pixel(15, 17)), clYellow);
    EXPECT_EQ(FromQRgb(img.pixel(25, 17)), clGray);
}

TEST(StTrackBarTest, ComponentStyleResetsPicturesAndShapes) {
    auto f = GeqFader();
    SetThumbPicture(*f, clNavy);
    f->Thumb()->SetShape(TThumbShape::tsRound);
    f->Slider()->SetOffset(4);
    f->Buttons()->SetSpacing(7);
    f->TickMark()->SetPosition(TTickMark::tmBoth);
    f->Thumb()->SetColor(clRed);
    f->SetComponentStyle(8); // custom: no colour scheme
    EXPECT_TRUE(f->Thumb()->Picture()->GetEmpty());
    EXPECT_EQ(f->Thumb()->Shape(), TThumbShape::tsPointer);
    EXPECT_EQ(f->Slider()->Offset(), 10);
    EXPECT_EQ(f->Buttons()->Spacing(), 2);
    EXPECT_EQ(f->TickMark()->Position(), TTickMark::tmBottomRight);
    EXPECT_EQ(f->Thumb()->Color(), clRed);
    f->SetComponentStyle(0);
    EXPECT_NE(f->Thumb()->Color(), clRed);
}

TEST(StTrackBarTest, QuickSecondPressIsAPress) {
    TVirtualClock clock;
    auto f = GeqFader();
    f->SetScheduler(&clock);
    auto press = [&](QEvent::Type type) {
        QMouseEvent e(type, QPointF(14, 20), QPointF(14, 20), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f->Widget(), &e);
    };
    auto release = [&] {
        QMouseEvent e(QEvent::MouseButtonRelease, QPointF(14, 20), QPointF(14, 20), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f->Widget(), &e);
    };
    f->SetEnabled(true);
    press(QEvent::MouseButtonPress);
    release();
    press(QEvent::MouseButtonDblClick);
    release();
    EXPECT_EQ(f->Position(), 12);
}

} // namespace
