#include "plot/editors/gEditorControls.h"

#include "platform/gui/Graphics.h"

#include <gtest/gtest.h>

#include <QImage>

#include <string>
#include <vector>

using namespace kv;

namespace {

constexpr std::uint16_t kEctSpace = 32, kEctLeft = 37, kEctUp = 38, kEctRight = 39, kEctDown = 40;

// Records the events and repaints of a control.
template <class Base> class EctRecorded : public Base {
public:
    EctRecorded() : Base(nullptr) {
        this->OnChangeProtected = [this](TObject*, const std::string& prop) {
            log += "protected(" + prop + ");";
        };
        this->OnChange = [this](TObject*) { log += "change;"; };
        this->OnChangeUser = [this](TObject*) { log += "user;"; };
    }
    void DoInvalidateNow() override {
        ++repaints;
        Base::DoInvalidateNow();
    }
    std::string log;
    int repaints = 0;
};
using EctCheckBox = EctRecorded<TgCheckBox>;
using EctRadioGroup = EctRecorded<TgRadioGroup>;

// The control rendered over the button face (it paints itself transparent).
QImage EctRender(TgVCLComponent& c) {
    TBitmap target(c.Width(), c.Height());
    target.Canvas()->Brush()->SetColor(clBtnFace);
    target.Canvas()->FillRect(TRect{0, 0, c.Width(), c.Height()});
    c.gPaintToDC(0, 0, *target.Canvas(), true);
    return target.Image().convertToFormat(QImage::Format_RGB32);
}

// Written four times enlarged, to look at.
void EctSave(const QImage& image, const char* name) {
    image.scaled(image.width() * 4, image.height() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .save(QString::fromStdString(::testing::TempDir() + name));
}

TColor EctAt(const QImage& image, int x, int y) {
    return FromQRgb(image.pixel(x, y));
}

// ---------------------------------------------------------------------------------------------------
// Check box

TEST(gEditorCheckBox, StartsAsACaptionedBoxWithItsDefaults) {
    TgCheckBox box(nullptr);
    EXPECT_EQ(box.Caption(), "Caption");
    EXPECT_FALSE(box.Checked());
    EXPECT_EQ(box.Alignment(), TLeftRight::taRightJustify);
    EXPECT_TRUE(box.AutoSize());
    EXPECT_TRUE(box.TabStop());
    EXPECT_EQ(box.BackGroundColor(), clBtnFace);
    EXPECT_EQ(box.Width(), 97);
    EXPECT_EQ(box.Height(), 17);
}

TEST(gEditorCheckBox, UserInputTogglesOnlyWhereItShould) {
    struct Case {
        const char* what;
        std::function<void(TgCheckBox&)> input;
        bool toggles;
    };
    const std::vector<Case> cases = {
        {"left click inside",
         [](TgCheckBox& b) {
             b.gMouseDown(TMouseButton::mbLeft, {}, 5, 5);
             b.gMouseUp(TMouseButton::mbLeft, {}, 5, 5);
         },
         true},
        {"pressed inside, released outside",
         [](TgCheckBox& b) {
             b.gMouseDown(TMouseButton::mbLeft, {}, 5, 5);
             b.gMouseUp(TMouseButton::mbLeft, {}, b.Width() + 3, 5);
         },
         false},
        {"released just past the right edge",
         [](TgCheckBox& b) {
             b.gMouseDown(TMouseButton::mbLeft, {}, 5, 5);
             b.gMouseUp(TMouseButton::mbLeft, {}, b.Width(), 5);
         },
         false},
        {"released above",
         [](TgCheckBox& b) {
             b.gMouseDown(TMouseButton::mbLeft, {}, 5, 5);
             b.gMouseUp(TMouseButton::mbLeft, {}, 5, -1);
         },
         false},
        {"right click",
         [](TgCheckBox& b) {
             b.gMouseDown(TMouseButton::mbRight, {}, 5, 5);
             b.gMouseUp(TMouseButton::mbRight, {}, 5, 5);
         },
         false},
        {"release without a press", [](TgCheckBox& b) { b.gMouseUp(TMouseButton::mbLeft, {}, 5, 5); }, false},
        {"space pressed and released",
         [](TgCheckBox& b) {
             std::uint16_t k = kEctSpace;
             b.gKeyDown(k, {});
             k = kEctSpace;
             b.gKeyUp(k, {});
         },
         true},
        {"space released without a press",
         [](TgCheckBox& b) {
             std::uint16_t k = kEctSpace;
             b.gKeyUp(k, {});
         },
         false},
        {"space pressed, another key released, then space",
         [](TgCheckBox& b) {
             std::uint16_t k = kEctSpace;
             b.gKeyDown(k, {});
             k = 65;
             b.gKeyUp(k, {});
             k = kEctSpace;
             b.gKeyUp(k, {});
         },
         false},
        {"focus lost while pressed",
         [](TgCheckBox& b) {
             b.gMouseDown(TMouseButton::mbLeft, {}, 5, 5);
             b.gLostFocus();
             b.gMouseUp(TMouseButton::mbLeft, {}, 5, 5);
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EctCheckBox box;
        c.input(box);
        EXPECT_EQ(box.Checked(), c.toggles);
        EXPECT_EQ(box.log, c.toggles ? "protected(Checked);change;user;" : "");
        EXPECT_FALSE(box.MousePressed());
        EXPECT_FALSE(box.KeyPressed());
    }
}

TEST(gEditorCheckBox, ChangesByCodeRaiseNoUserEvent) {
    EctCheckBox box;
    box.SetChecked(true);
    EXPECT_EQ(box.log, "protected(Checked);change;");
    box.log.clear();
    box.SetChecked(true); // unchanged: nothing
    EXPECT_EQ(box.log, "");
    // A user toggle after a code change still counts as the user's, and only that one.
    box.gMouseDown(TMouseButton::mbLeft, {}, 2, 2);
    box.gMouseUp(TMouseButton::mbLeft, {}, 2, 2);
    box.SetChecked(true);
    EXPECT_EQ(box.log, "protected(Checked);change;user;protected(Checked);change;");
}

TEST(gEditorCheckBox, ARefusedEditChangesNothingRepaintsNothingAndTellsNoOne) {
    for (const bool byUser : {false, true}) {
        SCOPED_TRACE(byUser ? "by the user" : "by code");
        EctCheckBox box;
        std::string asked;
        box.OnRequestEdit = [&](TObject*, const std::string& prop, bool& canEdit) {
            asked += prop + ";";
            canEdit = false;
        };
        if (byUser) {
            std::uint16_t k = kEctSpace;
            box.gKeyDown(k, {});
            k = kEctSpace;
            box.gKeyUp(k, {});
        }
        const int repaintsBefore = box.repaints;
        if (!byUser)
            box.SetChecked(true);
        EXPECT_EQ(asked, "Checked;");
        EXPECT_FALSE(box.Checked());
        EXPECT_EQ(box.log, "");
        if (!byUser) {
            EXPECT_EQ(box.repaints, repaintsBefore);
        }
    }
}

TEST(gEditorCheckBox, NoEventsWhileLoading) {
    EctCheckBox box;
    box.BeginLoading();
    box.SetChecked(true);
    box.Loaded();
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(box.log, "");
}

TEST(gEditorCheckBox, AutoSizeFitsTheCaptionAndKeepsTheEdgeOnTheBoxSide) {
    TgCheckBox box(nullptr);
    box.SetBounds(100, 50, 200, 40);
    // Setting the bounds does not size; the next caption change does.
    box.SetCaption("Show grid");
    TBitmap scratch(1, 1);
    scratch.Canvas()->SetFont(box.Font());
    const int w = scratch.Canvas()->TextWidth("Show grid") + 20;
    const int h = scratch.Canvas()->TextHeight("Show grid") + 4;
    EXPECT_EQ(box.Left(), 100);
    EXPECT_EQ(box.Width(), w);
    EXPECT_EQ(box.Height(), h);

    // Box on the right: the right edge stays where it was.
    const int right = box.Left() + box.Width();
    box.SetAlignment(TLeftRight::taLeftJustify);
    box.SetCaption("Show the grid lines");
    EXPECT_EQ(box.Left() + box.Width(), right);
    EXPECT_EQ(box.Width(), scratch.Canvas()->TextWidth("Show the grid lines") + 20);

    box.SetAutoSize(false);
    box.SetCaption("X");
    EXPECT_EQ(box.Width(), scratch.Canvas()->TextWidth("Show the grid lines") + 20);
}

TEST(gEditorCheckBox, PaintsBoxTickAndPressedState) {
    EctCheckBox box;
    box.SetCaption("Visible");
    const int c = box.Height() / 2;
    // Unchecked: a white box with a sunken frame at the left.
    QImage img = EctRender(box);
    EctSave(img, "wrappers-checkbox-unchecked.png");
    EXPECT_EQ(EctAt(img, 6, c), clWhite);
    EXPECT_NE(EctAt(img, 0, c - 7), clWhite); // the frame

    box.SetChecked(true);
    img = EctRender(box);
    EctSave(img, "wrappers-checkbox-checked.png");
    // The tick goes through (L+3, c), (L+5, c+2) and (L+10, c-3), three pixels thick upwards.
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{3, c}, {5, c + 2}, {5, c}, {9, c - 2}})
        EXPECT_EQ(EctAt(img, x, y), clBlack) << x << "," << y;
    EXPECT_EQ(EctAt(img, 9, c + 3), clWhite);

    // Pressed: the box takes the background colour.
    box.gMouseDown(TMouseButton::mbLeft, {}, 3, 3);
    img = EctRender(box);
    EXPECT_EQ(EctAt(img, 10, c + 3), ColorToRGB(clBtnFace));

    // Box on the right.
    TgCheckBox right(nullptr);
    right.SetAutoSize(false);
    right.SetBounds(0, 0, 120, 17);
    right.SetAlignment(TLeftRight::taLeftJustify);
    img = EctRender(right);
    EctSave(img, "wrappers-checkbox-right.png");
    EXPECT_EQ(EctAt(img, 120 - 7, 8), clWhite);
    EXPECT_EQ(EctAt(img, 6, 8), ColorToRGB(clBtnFace));
}

TEST(gEditorCheckBox, FocusFramesTheCaption) {
    TgCheckBox box(nullptr);
    box.SetCaption("Focus");
    const QImage plain = EctRender(box);
    box.gGotFocus();
    EXPECT_TRUE(box.HasFocus());
    const QImage focused = EctRender(box);
    EctSave(focused, "wrappers-checkbox-focused.png");
    EXPECT_NE(plain, focused);
    box.gLostFocus();
    EXPECT_EQ(EctRender(box), plain);
}

// ---------------------------------------------------------------------------------------------------
// Radio group

EctRadioGroup* EctThreeItems(EctRadioGroup& g, int index) {
    g.SetBounds(0, 0, 120, 90);
    g.Items()->SetText("Solid\nDashed\nDotted");
    g.SetItemIndex(index);
    g.log.clear();
    return &g;
}

TEST(gEditorRadioGroup, StartsEmptyWithOneColumn) {
    TgRadioGroup g(nullptr);
    EXPECT_EQ(g.Caption(), "Radio Group");
    EXPECT_EQ(g.ItemIndex(), -1);
    EXPECT_EQ(g.Columns(), 1);
    EXPECT_EQ(g.Items()->Count(), 0);
    EXPECT_TRUE(g.TabStop());
    EXPECT_EQ(g.Width(), 97);
    EXPECT_EQ(g.Height(), 17);
}

TEST(gEditorRadioGroup, ArrowKeysMoveTheSelectionRound) {
    struct Case {
        int from;
        std::uint16_t key;
        int to;
        bool consumed;
    };
    const std::vector<Case> cases = {
        {2, kEctRight, 0, true},  {2, kEctDown, 0, true}, {0, kEctRight, 1, true},  {1, kEctLeft, 0, true},
        {0, kEctLeft, 2, true},   {0, kEctUp, 2, true},   {-1, kEctLeft, -1, true}, {-1, kEctUp, -1, true},
        {-1, kEctRight, 0, true}, {1, 65, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "from " << c.from << " key " << c.key);
        EctRadioGroup g;
        EctThreeItems(g, c.from);
        std::uint16_t key = c.key;
        g.gKeyDown(key, {});
        EXPECT_EQ(g.ItemIndex(), c.to);
        EXPECT_EQ(key == 0, c.consumed);
        EXPECT_EQ(g.log, c.to != c.from ? "protected(ItemIndex);change;user;" : "");
    }
}

TEST(gEditorRadioGroup, WantsTheArrowKeysOnly) {
    TgRadioGroup g(nullptr);
    for (std::uint16_t key : {kEctLeft, kEctUp, kEctRight, kEctDown, std::uint16_t{9}, std::uint16_t{13}}) {
        std::int32_t result = 0;
        g.gWantSpecialKey(key, result);
        EXPECT_EQ(result != 0, key >= kEctLeft && key <= kEctDown) << key;
    }
}

TEST(gEditorRadioGroup, ItemIndexAndColumnsStayInRange) {
    EctRadioGroup g;
    EctThreeItems(g, -1);
    g.SetItemIndex(10);
    EXPECT_EQ(g.ItemIndex(), 2);
    EXPECT_EQ(g.log, "protected(ItemIndex);change;");
    g.SetItemIndex(-7);
    EXPECT_EQ(g.ItemIndex(), -1);
    g.SetColumns(0);
    g.SetColumns(-2);
    EXPECT_EQ(g.Columns(), 1);
    g.SetColumns(2);
    EXPECT_EQ(g.Columns(), 2);

    // Fewer items pull the selection back without a change event.
    g.SetItemIndex(2);
    g.log.clear();
    g.Items()->Delete(2);
    EXPECT_EQ(g.ItemIndex(), 1);
    g.Items()->Clear();
    EXPECT_EQ(g.ItemIndex(), -1);
    EXPECT_EQ(g.log, "");
}

// The centre of item i as the paint lays it out.
TPoint EctItemCentre(const TgRadioGroup& g, int i) {
    const int row = i % g.MaxRows(), col = i / g.MaxRows();
    return {static_cast<int>(std::lround(col * g.ItemsColSpacing())) + g.ItemsColStart(),
            static_cast<int>(std::lround(row * g.ItemsRowSpacing())) + g.ItemsRowStart()};
}

TEST(gEditorRadioGroup, ItemsUnderThePointFollowTheLayout) {
    for (const int columns : {1, 2}) {
        SCOPED_TRACE(testing::Message() << columns << " columns");
        TgRadioGroup g(nullptr);
        g.SetBounds(0, 0, 200, 90);
        g.Items()->SetText("A\nB\nC\nD\nE");
        g.SetColumns(columns);
        (void)g.RenderImage();
        EXPECT_EQ(g.MaxRows(), columns == 1 ? 5 : 3);
        for (int i = 0; i < 5; ++i) {
            const TPoint p = EctItemCentre(g, i);
            EXPECT_EQ(g.GetItemIndexAtPoint(p.X, p.Y), i) << i;
            EXPECT_EQ(g.GetItemIndexAtPoint(p.X + 20, p.Y + 2), i) << i;
        }
    }
}

TEST(gEditorRadioGroup, AControlSmallerThanItsItemsHasNoItemAnywhere) {
    // Shorter than its rows: the row spacing is 0; narrower than its columns: the column spacing is 0.
    struct Case {
        int width, height, columns;
    };
    for (const Case& c :
         {Case{97, 17, 1}, Case{97, 5, 1}, Case{97, 0, 1}, Case{20, 90, 8}, Case{14, 90, 2}}) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << ", " << c.columns << " columns");
        EctRadioGroup g;
        g.SetBounds(0, 0, c.width, c.height);
        g.Items()->SetText("A\nB\nC\nD\nE\nF\nG\nH");
        g.SetColumns(c.columns);
        (void)g.RenderImage();
        EXPECT_EQ(g.GetItemIndexAtPoint(5, 5), -1);
        g.gMouseDown(TMouseButton::mbLeft, {}, 5, 5);
        g.gMouseMove({}, 6, 6);
        g.gMouseUp(TMouseButton::mbLeft, {}, 6, 6);
        EXPECT_EQ(g.ItemIndex(), -1);
        EXPECT_EQ(g.log, "");
    }
}

TEST(gEditorRadioGroup, ClickSelectsTheItemPressedAndReleased) {
    EctRadioGroup g;
    EctThreeItems(g, 0);
    (void)g.RenderImage();
    const TPoint p0 = EctItemCentre(g, 0), p1 = EctItemCentre(g, 1), p2 = EctItemCentre(g, 2);

    // Pressed on one item, released on another without a move between: nothing.
    g.gMouseDown(TMouseButton::mbLeft, {}, p1.X, p1.Y);
    EXPECT_EQ(g.MouseDownIndex(), 1);
    g.gMouseUp(TMouseButton::mbLeft, {}, p2.X, p2.Y);
    EXPECT_EQ(g.ItemIndex(), 0);
    EXPECT_EQ(g.log, "");

    // Dragged onto another item and released there: that item.
    g.gMouseDown(TMouseButton::mbLeft, {}, p0.X, p0.Y);
    g.gMouseMove({}, p2.X, p2.Y);
    EXPECT_EQ(g.MouseDownIndex(), 2);
    g.gMouseUp(TMouseButton::mbLeft, {}, p2.X, p2.Y);
    EXPECT_EQ(g.ItemIndex(), 2);
    EXPECT_EQ(g.log, "protected(ItemIndex);change;user;");

    // Below the last item there is none.
    g.log.clear();
    g.gMouseDown(TMouseButton::mbLeft, {}, p2.X, p2.Y + 3 * static_cast<int>(g.ItemsRowSpacing()));
    g.gMouseUp(TMouseButton::mbLeft, {}, p2.X, p2.Y + 3 * static_cast<int>(g.ItemsRowSpacing()));
    EXPECT_EQ(g.ItemIndex(), 2);
    EXPECT_EQ(g.log, "");

    // A right click selects nothing.
    g.gMouseDown(TMouseButton::mbRight, {}, p1.X, p1.Y);
    g.gMouseUp(TMouseButton::mbRight, {}, p1.X, p1.Y);
    EXPECT_EQ(g.ItemIndex(), 2);
    // Set by code: no user event.
    g.SetItemIndex(1);
    EXPECT_EQ(g.log, "protected(ItemIndex);change;");
}

TEST(gEditorRadioGroup, PaintsTheSelectedDotAndThePressedCircle) {
    EctRadioGroup g;
    EctThreeItems(g, 1);
    g.SetCaption("Line style");
    QImage img = EctRender(g);
    EctSave(img, "wrappers-radiogroup.png");
    const TPoint p0 = EctItemCentre(g, 0), p1 = EctItemCentre(g, 1);
    EXPECT_EQ(EctAt(img, p1.X, p1.Y), clBlack);
    EXPECT_EQ(EctAt(img, p1.X - 2, p1.Y - 2), clBlack);
    EXPECT_EQ(EctAt(img, p0.X, p0.Y), clWhite);
    EXPECT_EQ(EctAt(img, p0.X + 3, p0.Y), clWhite);

    g.gMouseDown(TMouseButton::mbLeft, {}, p0.X, p0.Y);
    g.gGotFocus();
    img = EctRender(g);
    EctSave(img, "wrappers-radiogroup-pressed.png");
    EXPECT_EQ(EctAt(img, p0.X, p0.Y), ColorToRGB(clBtnFace));

    TgRadioGroup two(nullptr);
    two.SetBounds(0, 0, 200, 70);
    two.Items()->SetText("Left\nRight\nTop\nBottom");
    two.SetColumns(2);
    two.SetItemIndex(3);
    EctSave(EctRender(two), "wrappers-radiogroup-columns.png");
}

} // namespace
