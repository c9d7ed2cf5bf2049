#include "controls/MyPEQType8.h"

#include "controls/ControlClasses.h"
#include "link/Scales.h"
#include "panels/PkButton.h"
#include "panels/PkComboBox.h"
#include "panels/PkLabel.h"
#include "platform/core/Properties.h"
#include "platform/gui/Forms.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QString>
#include <QWheelEvent>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace kv;

namespace {

const std::vector<std::string> kEnglishTypes = {"Peak",    "Low Shelf", "High Shelf", "LP -6dB", "LP -12dB",
                                                "HP -6dB", "HP -12dB",  "Allpass1",   "Allpass2"};
const std::vector<std::string> kChineseTypes = {"参量均衡", "低架滤波",  "高架滤波", "高切-6dB", "高切-12dB",
                                                "低切-6dB", "低切-12dB", "移相1阶",  "移相2阶"};

// A table as the main window's layout sets it up: 536 x 270, white edits, silver bypass buttons.
struct Table {
    std::unique_ptr<TForm> host = std::make_unique<TForm>(nullptr); // a window for the table's widget
    std::unique_ptr<TMyPEQType8> t = std::make_unique<TMyPEQType8>(nullptr);
    int changes = 0;

    explicit Table(int rows = 8, bool withHandler = true) {
        host->SetBounds(0, 0, 560, 300);
        t->SetParent(host.get());
        t->SetChannelNumber(rows);
        t->SetLabelColor(clBackground);
        t->SetEditBackColor(clWhite);
        t->SetBypassBackColor(clSilver);
        t->SetBounds(-11, -14, 536, 270);
        if (withHandler)
            t->OnChange = [this](TObject* sender) {
                EXPECT_EQ(sender, t.get());
                ++changes;
            };
    }
    void Language(const std::vector<std::string>& names, const std::string& bypass) {
        for (int i = 0; i < 9; ++i)
            t->SetEqTypeString(names[static_cast<size_t>(i)], i);
        t->SetBypassString(bypass);
        t->ChangeLanguage();
    }
    int FreqIndex(int row) const { return FreqToIndex(t->GetFreqValue(row)); }
    int GainStep(int row) const { return static_cast<int>(std::lround(t->GetGainValue(row) * 10.0)); }
};

enum class Confirm { Leave, Enter };

// Types `text` into an edit and confirms it by leaving the edit or by the Enter key.
void Type(TEdit* e, const std::string& text, Confirm how) {
    e->SetText(text);
    if (how == Confirm::Enter) {
        std::uint16_t key = 13;
        e->KeyDown(key, {});
        EXPECT_EQ(key, 13) << "Enter is left to the edit";
    } else {
        e->DoExit();
    }
}

struct TypingCase {
    char column; // f, q, g
    const char* typed;
    const char* shown;
    int value; // frequency index, Q index or gain step afterwards
};

// Every row starts at 1 kHz (index 170), Q index 20 (1.26) and 0 dB.
const TypingCase kTyping[] = {
    {'f', "2k", "2.00KHz", 200},
    {'f', "2K", "2.00KHz", 200},
    {'f', "1.5k", "1.52KHz", 188},
    {'f', "100hz", "99.2Hz", 70},
    {'f', "25000", "20.16KHz", 300},
    {'f', "0.0", "19.7Hz", 0},
    {'f', ",", "19.7Hz", 0},
    {'f', "0.0001", "19.7Hz", 0},
    {'f', "440", "435.3Hz", 134},
    {'f', "1,5k", "1.00KHz", 170},
    {'f', "0", "1.00KHz", 170},
    {'f', "", "1.00KHz", 170},
    {'f', ".", "1.00KHz", 170},
    {'f', "12a", "1.00KHz", 170},
    {'f', "1.2.3", "1.00KHz", 170},
    {'f', "5Hz0", "1.00KHz", 170},
    {'f', "-5", "1.00KHz", 170},
    {'q', "200", "128.00", 100},
    {'q', "0.1", "0.40", 0},
    {'q', "0.0", "0.40", 0},
    {'q', "1,5", "1.00", 16},
    {'q', "10.1", "10.10", 56},
    {'q', "0", "1.26", 20},
    {'q', "", "1.26", 20},
    {'q', "1.2.3", "1.26", 20},
    {'q', "-2", "1.26", 20},
    {'g', "3.46dB", "3.4dB", 34},
    {'g', "-15", "-12dB", -120},
    {'g', ".5", "0.5dB", 5},
    {'g', "5-", "5dB", 50},
    {'g', "-3.5db", "-3.5dB", -35},
    {'g', "-0.05", "0dB", 0},
    {'g', "1,5", "1dB", 10},
    {'g', "4.", "0dB", 0},
    {'g', "-", "0dB", 0},
    {'g', "--1", "0dB", 0},
    {'g', "", "0dB", 0},
    {'g', "1.2.3", "0dB", 0},
};

// One line per case and way of confirming: shown text, value, events, current row.
std::vector<std::string> RunTypingTable() {
    std::vector<std::string> out;
    Table tb;
    for (Confirm how : {Confirm::Leave, Confirm::Enter})
        for (const TypingCase& c : kTyping) {
            tb.t->SetEqParamValue(3, 1000, 20, 0, 0, false);
            tb.changes = 0;
            TEdit* e = c.column == 'f'   ? tb.t->FreqEdit(3)
                       : c.column == 'q' ? tb.t->QEdit(3)
                                         : tb.t->GainEdit(3);
            Type(e, c.typed, how);
            const int value = c.column == 'f'   ? tb.FreqIndex(3)
                              : c.column == 'q' ? QToIndex(tb.t->GetQValue(3))
                                                : tb.GainStep(3);
            out.push_back(std::string(1, c.column) + " '" + c.typed + "' -> " + e->Text() + " " +
                          std::to_string(value) + " events " + std::to_string(tb.changes) + " row " +
                          std::to_string(tb.t->GetNowIndex()));
        }
    return out;
}

std::vector<std::string> ExpectedTypingLines() {
    std::vector<std::string> out;
    for (int pass = 0; pass < 2; ++pass)
        for (const TypingCase& c : kTyping)
            out.push_back(std::string(1, c.column) + " '" + c.typed + "' -> " + c.shown + " " +
                          std::to_string(c.value) + " events 1 row 3");
    return out;
}

TEST(MyPEQType8Test, TypedEntrySnapsToTheGridsInEveryLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const auto expected = ExpectedTypingLines();
    for (const char* locale : {"C", "de_DE.UTF-8"}) {
        if (!std::setlocale(LC_ALL, locale)) {
            ADD_FAILURE() << "locale " << locale << " is not installed";
            continue;
        }
        const auto got = RunTypingTable();
        ASSERT_EQ(got.size(), expected.size());
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_EQ(got[i], expected[i]) << "locale " << locale;
    }
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(MyPEQType8Test, WholeRowGainRoundsToTheNearestTenthTowardZeroOnAHalf) {
    Table tb;
    const struct {
        double dB;
        int step;
        const char* shown;
    } cases[] = {{-4.36, -44, "-4.36dB"}, {-4.35, -43, "-4.35dB"}, {4.36, 44, "4.36dB"},
                 {4.35, 43, "4.35dB"},    {0.05, 0, "0.05dB"},     {-0.06, -1, "-0.06dB"},
                 {12, 120, "12dB"},       {-12, -120, "-12dB"}};
    for (const auto& c : cases) {
        tb.t->SetEqParamValue(0, 1000, 20, c.dB, 0, false);
        EXPECT_EQ(tb.GainStep(0), c.step) << c.dB;
        EXPECT_EQ(tb.t->GainEdit(0)->Text(), c.shown);
    }
    // Every grid value, as the main window passes it, lands on its own step, through both setters.
    for (int index = 0; index <= 240; ++index) {
        const double dB = IndexToGain(index);
        tb.t->SetEqParamValue(1, 1000, 20, dB, 0, false);
        EXPECT_EQ(tb.GainStep(1), index - 120) << "whole row, index " << index;
        tb.t->SetGainValue(2, dB);
        EXPECT_EQ(tb.GainStep(2), index - 120) << "gain alone, index " << index;
    }
    tb.t->SetGainValue(0, 0.15);
    EXPECT_EQ(tb.t->GainEdit(0)->Text(), "0.15dB");
    EXPECT_DOUBLE_EQ(tb.t->GetGainValue(0), 0.1);
}

TEST(MyPEQType8Test, FrequencyAndQSetByValue) {
    Table tb;
    // A grid frequency keeps its index; near a half step the value setter snaps differently from typing.
    for (int index = 0; index <= 300; ++index) {
        tb.t->SetFreqValue(0, IndexToFreq(index));
        ASSERT_EQ(tb.FreqIndex(0), index);
    }
    const struct {
        double hz;
        int index;
        const char* shown;
    } cases[] = {{440, 135, "445.4Hz"}, {25000, 309, "24.82KHz"}, {1000, 170, "1.00KHz"}, {0, 0, "19.7Hz"},
                 {-5, 0, "19.7Hz"},     {NAN, 0, "19.7Hz"},       {INFINITY, -1, ""}};
    for (const auto& c : cases) {
        tb.t->SetFreqValue(1, c.hz);
        if (c.index >= 0) {
            EXPECT_EQ(tb.FreqIndex(1), c.index) << c.hz;
            EXPECT_EQ(tb.t->FreqEdit(1)->Text(), c.shown) << c.hz;
        }
    }
    // The Q setter takes an index, not a Q; every grid Q maps back to its index.
    tb.t->SetQValue(0, 20);
    EXPECT_DOUBLE_EQ(tb.t->GetQValue(0), 1.26);
    EXPECT_EQ(tb.t->QEdit(0)->Text(), "1.26");
    for (int i = 0; i <= 100; ++i) {
        tb.t->SetEqParamValue(2, 1000, i, 0, 0, false);
        EXPECT_EQ(QToIndex(tb.t->GetQValue(2)), i);
    }
    tb.t->SetQValue(0, 56);
    EXPECT_EQ(tb.t->QEdit(0)->Text(), "10.10");
    tb.t->SetQValue(0, 100);
    EXPECT_EQ(tb.t->QEdit(0)->Text(), "128.00");
}

TEST(MyPEQType8Test, OneChangeEventPerActionAndNoneWithoutAnEdit) {
    Table tb;
    tb.t->RePaint();
    int mouseDowns = 0;
    tb.t->OnEditMouseDown = [&](TObject* sender, TMouseButton, TShiftState, int x, int y) {
        EXPECT_EQ(sender, tb.t.get());
        EXPECT_EQ(tb.t->GetNowIndex(), 4) << "the row is current before the event";
        EXPECT_EQ(x, 5);
        EXPECT_EQ(y, 6);
        ++mouseDowns;
    };
    const struct {
        const char* action;
        std::function<void(TMyPEQType8&)> run;
        int events;
    } cases[] = {
        {"SetFreqValue", [](TMyPEQType8& t) { t.SetFreqValue(0, 500); }, 1},
        {"SetQValue", [](TMyPEQType8& t) { t.SetQValue(0, 30); }, 1},
        {"SetGainValue", [](TMyPEQType8& t) { t.SetGainValue(0, 3); }, 1},
        {"SetTypeValue", [](TMyPEQType8& t) { t.SetTypeValue(0, 2); }, 1},
        {"SetBypassValue", [](TMyPEQType8& t) { t.SetBypassValue(0, true); }, 1},
        {"SetEqParamValue", [](TMyPEQType8& t) { t.SetEqParamValue(0, 500, 3, 2, 1, false); }, 1},
        {"ChannelNumber changed", [](TMyPEQType8& t) { t.SetChannelNumber(9); }, 1},
        {"ChannelNumber unchanged", [](TMyPEQType8& t) { t.SetChannelNumber(9); }, 0},
        {"ChannelNumber 60", [](TMyPEQType8& t) { t.SetChannelNumber(60); }, 1},
        {"ChannelNumber 60 again", [](TMyPEQType8& t) { t.SetChannelNumber(60); }, 1},
        {"ChannelNumber 50 stored", [](TMyPEQType8& t) { t.SetChannelNumber(50); }, 0},
        {"ChannelNumber back to 8", [](TMyPEQType8& t) { t.SetChannelNumber(8); }, 1},
        {"SetNowIndex", [](TMyPEQType8& t) { t.SetNowIndex(3); }, 0},
        {"ChangeLanguage", [](TMyPEQType8& t) { t.ChangeLanguage(); }, 0},
        {"colours", [](TMyPEQType8& t) { t.SetEditBackColor(clYellow), t.SetBypassBackColor(clGray); }, 0},
        {"resize and relayout", [](TMyPEQType8& t) { t.SetBounds(0, 0, 600, 300), t.RePaint(); }, 0},
        {"mouse down in an edit",
         [](TMyPEQType8& t) { t.QEdit(4)->MouseDown(TMouseButton::mbLeft, {}, 5, 6); }, 0},
        {"leave an unchanged edit", [](TMyPEQType8& t) { t.QEdit(4)->DoExit(); }, 1},
        {"invalid text", [](TMyPEQType8& t) { Type(t.GainEdit(4), "abc", Confirm::Leave); }, 1},
        {"pick a type", [](TMyPEQType8& t) { t.TypeList(5)->UserPick(6); }, 1},
        {"click bypass", [](TMyPEQType8& t) { t.BypassButton(6)->Click(); }, 1},
    };
    for (const auto& c : cases) {
        tb.changes = 0;
        c.run(*tb.t);
        EXPECT_EQ(tb.changes, c.events) << c.action;
    }
    EXPECT_EQ(mouseDowns, 1);
    EXPECT_EQ(tb.t->GetChannelNumber(), 8);
    EXPECT_EQ(tb.t->GetNowIndex(), 6);
    EXPECT_EQ(tb.t->GetPreviousIndex(), 5);
    EXPECT_EQ(tb.t->GetTypeValue(5), 6);
}

TEST(MyPEQType8Test, HighlightFollowsTheSelectedRow) {
    Table tb;
    tb.t->RePaint();
    const TColor normal = tb.t->NormalTextColor();
    ASSERT_NE(normal, TPeqBandTable::SelectedTextColor);
    auto rows = [&] {
        std::string s;
        for (int r = 0; r < 8; ++r) {
            const TColor c = tb.t->FreqEdit(r)->Font()->Color();
            EXPECT_EQ(c, tb.t->QEdit(r)->Font()->Color());
            EXPECT_EQ(c, tb.t->GainEdit(r)->Font()->Color());
            s += c == TPeqBandTable::SelectedTextColor ? 'S' : c == normal ? '.' : '?';
        }
        return s;
    };
    const struct {
        const char* step;
        std::function<void()> run;
        const char* rows;
        int current;
    } steps[] = {
        {"same row as at start", [&] { tb.t->SetNowIndex(0); }, "........", 0},
        {"other row", [&] { tb.t->SetNowIndex(2); }, "..S.....", 2},
        {"user edits row 5", [&] { Type(tb.t->FreqEdit(5), "2k", Confirm::Enter); }, "..S.....", 5},
        {"main window answers", [&] { tb.t->SetNowIndex(tb.t->GetNowIndex()); }, ".....S..", 5},
        {"repeated answer", [&] { tb.t->SetNowIndex(5); }, ".....S..", 5},
        {"same row acted on again", [&] { tb.t->BypassButton(5)->Click(), tb.t->SetNowIndex(5); }, ".....S..",
         5},
        {"no row", [&] { tb.t->SetNowIndex(-1); }, "........", 5},
        {"row 7", [&] { tb.t->SetNowIndex(7); }, ".......S", 7},
        {"beyond the rows in use", [&] { tb.t->SetNowIndex(15); }, "........", 15},
        {"back to row 1", [&] { tb.t->SetNowIndex(1); }, ".S......", 1},
    };
    for (const auto& s : steps) {
        s.run();
        EXPECT_EQ(rows(), s.rows) << s.step;
        EXPECT_EQ(tb.t->GetNowIndex(), s.current) << s.step;
    }
    // A relayout while row 0 is highlighted keeps the real normal colour.
    tb.t->SetNowIndex(0);
    ASSERT_EQ(rows(), "S.......");
    tb.t->SetBounds(0, 0, 540, 270);
    tb.t->RePaint();
    EXPECT_EQ(tb.t->NormalTextColor(), normal);
    tb.t->SetNowIndex(3);
    EXPECT_EQ(rows(), "...S....");
    // SetColor ignores rows outside the rows in use.
    tb.t->SetColor(8, clRed);
    tb.t->SetColor(-1, clRed);
    EXPECT_NE(tb.t->FreqEdit(8)->Font()->Color(), clRed);
}

TEST(MyPEQType8Test, BypassButtonsShowTheBandState) {
    Table tb;
    tb.t->RePaint();
    auto colours = [&] {
        std::string s;
        for (int r = 0; r < 8; ++r) {
            const TColor c = tb.t->BypassButton(r)->Color();
            s += c == RGB(255, 128, 128) ? 'B' : c == clSilver ? '.' : '?';
        }
        return s;
    };
    EXPECT_EQ(colours(), "........");
    tb.t->SetBypassValue(1, true);
    tb.t->SetEqParamValue(4, 1000, 20, 0, 0, true);
    EXPECT_EQ(colours(), ".B..B...");
    EXPECT_TRUE(tb.t->GetBypassValue(4));
    tb.t->BypassButton(1)->Click();
    EXPECT_EQ(colours(), "....B...");
    EXPECT_FALSE(tb.t->GetBypassValue(1));
    EXPECT_EQ(tb.t->GetNowIndex(), 1);

    // Without a handler a click still colours its button, but the setter leaves the colours alone.
    Table bare(8, false);
    bare.t->RePaint();
    bare.t->BypassButton(2)->Click();
    EXPECT_EQ(bare.t->BypassButton(2)->Color(), RGB(255, 128, 128));
    bare.t->SetBypassValue(3, true);
    EXPECT_EQ(bare.t->BypassButton(3)->Color(), clSilver);
    EXPECT_TRUE(bare.t->GetBypassValue(3));

    // On screen the bypassed button's face is the bypass colour, the active ones the back colour.
    QImage img = tb.t->RenderToImage();
    auto face = [&](int row) {
        TPkButton* b = tb.t->BypassButton(row);
        return img.pixel(b->Left() + 6, b->Top() + 4) & 0xFFFFFFu;
    };
    EXPECT_EQ(face(4), 0xFF8080u);
    EXPECT_EQ(face(0), 0xC0C0C0u);
}

TEST(MyPEQType8Test, GeometryOfTheMainWindowTables) {
    for (int rows : {8, 9}) {
        Table tb(rows);
        tb.t->RePaint();
        const int pitch = rows == 8 ? 29 : 26;
        for (int r = 0; r < rows; ++r) {
            const int y = 22 + pitch * r;
            SCOPED_TRACE("rows " + std::to_string(rows) + " row " + std::to_string(r));
            EXPECT_EQ(tb.t->NumberLabel(r)->BoundsRect(), (TRect{12, y + 1, 32, y + 1 + pitch}));
            EXPECT_EQ(tb.t->NumberLabel(r)->Caption(), std::to_string(r + 1));
            EXPECT_EQ(tb.t->FreqEdit(r)->Left(), 40);
            EXPECT_EQ(tb.t->QEdit(r)->Left(), 141);
            EXPECT_EQ(tb.t->GainEdit(r)->Left(), 242);
            for (TEdit* e : {tb.t->FreqEdit(r), tb.t->QEdit(r), tb.t->GainEdit(r)}) {
                EXPECT_EQ(e->Width(), 93);
                EXPECT_EQ(e->Top(), y);
                EXPECT_TRUE(e->Visible());
            }
            EXPECT_EQ(tb.t->TypeList(r)->BoundsRect(), (TRect{343, y, 444, y + pitch}));
            EXPECT_EQ(tb.t->BypassButton(r)->Left(), 450);
            EXPECT_EQ(tb.t->BypassButton(r)->Width(), 79);
            EXPECT_EQ(tb.t->BypassButton(r)->Top(), y);
            EXPECT_EQ(tb.t->BypassButton(r)->Height(), tb.t->GainEdit(r)->Height());
            EXPECT_EQ(tb.t->BypassButton(r)->Caption(), "   BYPASS   ");
        }
        for (int r = rows; r < TPeqBandTable::MaxRows; ++r) {
            EXPECT_FALSE(tb.t->FreqEdit(r)->Visible());
            EXPECT_FALSE(tb.t->TypeList(r)->Visible());
            EXPECT_EQ(tb.t->BypassButton(r)->Top(), 10000);
        }
        // The band numbers keep their colour cycle and 12-point font.
        EXPECT_EQ(tb.t->NumberLabel(0)->Font()->Color(), RGB(255, 0, 0));
        EXPECT_EQ(tb.t->NumberLabel(6)->Font()->Color(), RGB(166, 202, 240));
        EXPECT_EQ(tb.t->NumberLabel(0)->Font()->Size(), 12);
        EXPECT_FALSE(tb.t->Title(1)->Visible());
    }
    // The spinner and title flags act on the layout only: narrower edits, rows 13 px lower.
    Table tb;
    tb.t->SetUpdownVisable(true);
    tb.t->SetTitleVisable(true);
    tb.t->RePaint();
    EXPECT_EQ(tb.t->FreqEdit(0)->Width(), 73);
    EXPECT_EQ(tb.t->FreqEdit(0)->Top(), 22 + 13);
    EXPECT_TRUE(tb.t->Title(2)->Visible());
    EXPECT_EQ(tb.t->Title(2)->Caption(), "Q");
    // Rows added after a layout are placed and shown at the next one.
    tb.t->SetChannelNumber(9);
    tb.t->SetBounds(0, 0, 536, 271);
    tb.t->RePaint();
    EXPECT_TRUE(tb.t->FreqEdit(8)->Visible());
    EXPECT_EQ(tb.t->TypeList(8)->ItemIndex(), 0);
}

TEST(MyPEQType8Test, RelayoutAndLanguageChangeKeepEveryRowsType) {
    // The main window fills a table after a read-back before it is first shown.
    Table tb(9);
    tb.Language(kEnglishTypes, "Bypass");
    for (int r = 0; r < 9; ++r)
        tb.t->SetEqParamValue(r, 1000, 20, 0, r, false);
    auto types = [&] {
        std::vector<int> v;
        for (int r = 0; r < 9; ++r)
            v.push_back(tb.t->GetTypeValue(r));
        return v;
    };
    const std::vector<int> expected = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(types(), expected);
    tb.changes = 0;
    (void)tb.t->RenderToImage(); // the first paint lays the table out for its real size
    EXPECT_EQ(types(), expected);
    tb.t->SetBounds(0, 0, 700, 320);
    (void)tb.t->RenderToImage();
    EXPECT_EQ(tb.t->GainEdit(0)->Left(), 32 + 2 * ((700 - 68) / 5) + 24);
    EXPECT_EQ(types(), expected);
    tb.Language(kChineseTypes, "旁路");
    EXPECT_EQ(types(), expected);
    EXPECT_EQ(tb.changes, 0);
    EXPECT_EQ(tb.t->TypeList(3)->Text(), "高切-6dB");
    EXPECT_EQ(tb.t->BypassButton(0)->Caption(), "旁路");
}

TEST(MyPEQType8Test, TypeListsShowTheUnitsTypeOrder) {
    // Built in, before any language is set: low-pass at 3 and 4, high-pass at 5 and 6.
    Table built;
    EXPECT_EQ(built.t->GetTypeValue(0), 1) << "the lists start at the second type";
    TStrings* items = built.t->TypeList(0)->Items();
    ASSERT_EQ(items->Count(), 9);
    EXPECT_EQ(items->Get(3), " LPF -6dB   ");
    EXPECT_EQ(items->Get(4), " LPF -12dB  ");
    EXPECT_EQ(items->Get(5), " HPF -6dB   ");
    EXPECT_EQ(items->Get(6), " HPF -12dB  ");

    // Texts stored before the lists exist are the ones they show, in English and Chinese.
    for (const auto* names : {&kEnglishTypes, &kChineseTypes}) {
        Table tb;
        tb.Language(*names, "Bypass");
        for (int r : {0, 7}) {
            TStrings* list = tb.t->TypeList(r)->Items();
            ASSERT_EQ(list->Count(), 9);
            for (int i = 0; i < 9; ++i)
                EXPECT_EQ(list->Get(i), (*names)[static_cast<size_t>(i)]);
        }
        (void)tb.t->RenderToImage();
        EXPECT_EQ(tb.t->TypeList(2)->Items()->Get(4), (*names)[4]);
    }

    // Stored texts reach the lists only with the language change (or a relayout).
    Table tb;
    tb.Language(kEnglishTypes, "Bypass");
    tb.t->SetEqTypeString("changed", 0);
    tb.t->SetBypassString("later");
    EXPECT_EQ(tb.t->TypeList(0)->Items()->Get(0), "Peak");
    EXPECT_EQ(tb.t->BypassButton(0)->Caption(), "Bypass");
    tb.t->ChangeLanguage();
    EXPECT_EQ(tb.t->TypeList(0)->Items()->Get(0), "changed");
    EXPECT_EQ(tb.t->BypassButton(0)->Caption(), "later");
}

TEST(MyPEQType8Test, WheelOverATypeListChangesNothing) {
    Table tb;
    tb.t->RePaint();
    tb.t->SetTypeValue(2, 4);
    tb.changes = 0;
    int wheels = 0;
    // The main window's handler, which always keeps the list from moving.
    tb.t->OnPeqTypeMouseWheel = [&](TObject* sender, TShiftState, int delta, TPoint, bool& handled) {
        EXPECT_EQ(sender, tb.t->TypeList(2));
        EXPECT_NE(delta, 0);
        handled = true;
        ++wheels;
    };
    for (int delta : {-120, 120, -240})
        tb.t->TypeList(2)->DoMouseWheel({}, delta, {350, 80});
    EXPECT_EQ(wheels, 3);
    EXPECT_EQ(tb.t->GetTypeValue(2), 4);
    EXPECT_EQ(tb.changes, 0);
    EXPECT_EQ(tb.t->GetNowIndex(), 0);
}

TEST(MyPEQType8Test, RegisteredForLayouts) {
    RegisterControlClasses();
    TForm form(nullptr);
    auto errors = form.LoadLayoutText(R"(object fmPeq: TForm
  object peqPeqOut2: TMyPEQType8
    Left = -11
    Top = -20
    Width = 536
    Height = 270
    Tag = 3
    GroupStyle = gsCustom
    Transparent = True
    UpdownVisable = False
    ChannelNumber = 9
    LabelColor = clBackground
    EditBackColor = clWhite
    BypassBackColor = clSilver
  end
end
)");
    EXPECT_TRUE(errors.empty()) << errors.front();
    auto* t = dynamic_cast<TMyPEQType8*>(form.FindComponent("peqPeqOut2"));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetChannelNumber(), 9);
    EXPECT_EQ(t->Tag(), 3);
    EXPECT_FALSE(t->UpdownVisable());
    EXPECT_EQ(t->EditBackColor(), clWhite);
    EXPECT_EQ(t->FreqEdit(0)->Color(), clWhite);
    EXPECT_EQ(t->BypassButton(8)->Color(), clSilver);
    t->RePaint();
    EXPECT_EQ(t->FreqEdit(8)->Top(), 22 + 26 * 8);
}

// What a row shows and holds, for comparing two tables row by row.
std::string RowState(const TPeqBandTable& t, int r) {
    std::string out;
    auto add = [&](const TControl* c) {
        const TRect b = c->BoundsRect();
        out += std::to_string(b.Left) + "," + std::to_string(b.Top) + "," + std::to_string(b.Right) + "," +
               std::to_string(b.Bottom) + (c->Visible() ? " shown" : " hidden") + " colour " +
               std::to_string(c->Color()) + " font " + c->Font()->Name() + "/" + std::to_string(c->Font()->Height()) +
               "/" + std::to_string(c->Font()->Color()) + " tag " + std::to_string(c->Tag()) + "; ";
    };
    for (const TControl* c : std::initializer_list<const TControl*>{t.FreqEdit(r), t.QEdit(r), t.GainEdit(r),
                                                                     t.NumberLabel(r), t.TypeList(r),
                                                                     t.BypassButton(r)})
        add(c);
    out += t.FreqEdit(r)->Text() + "|" + t.QEdit(r)->Text() + "|" + t.GainEdit(r)->Text() + "|" +
           t.NumberLabel(r)->Caption() + "|" + t.BypassButton(r)->Caption() + "|" +
           std::to_string(t.TypeList(r)->Items()->Count()) + "/" + std::to_string(t.TypeList(r)->ItemIndex());
    return out;
}

// A table read from a layout makes the controls of the rows it shows only; any other row is made when
// asked for, and is then the row a table made in code has after the same steps.
TEST(MyPEQType8Test, ALayoutsTableMakesTheRowsItShowsAndTheRestWhenAskedFor) {
    RegisterControlClasses();
    const std::vector<std::pair<std::string, std::string>> props = {
        {"Left", "-11"},          {"Top", "-14"},           {"Width", "536"},
        {"Height", "270"},        {"ChannelNumber", "9"},   {"GroupStyle", "gsCustom"},
        {"Transparent", "True"},  {"LabelColor", "clBackground"}, {"ParentFont", "False"},
        {"Font.Name", "Tahoma"},
        {"Font.Height", "-13"},   {"Font.Color", "clWindowText"},
    };
    std::string text = "object fmPeq: TForm\n  Width = 600\n  Height = 320\n  object peqPeqOut2: TMyPEQType8\n";
    for (const auto& [name, value] : props)
        text += "    " + name + " = " + (name == "Font.Name" ? "\"" + value + "\"" : value) + "\n";
    text += "  end\n  object edAfter: TEdit\n  end\nend\n";
    TForm read(nullptr);
    const auto errors = read.LoadLayoutText(text);
    ASSERT_TRUE(errors.empty()) << errors.front();
    auto& lazy = *dynamic_cast<TMyPEQType8*>(read.FindComponent("peqPeqOut2"));
    EXPECT_EQ(lazy.MadeRows(), 9);

    // The shown rows come before the next control in the window's Tab order, as when every row was
    // made with the table.
    QWidget* after = dynamic_cast<TControl*>(read.FindComponent("edAfter"))->Widget();
    int seen = 0;
    for (QWidget* w = lazy.Widget()->nextInFocusChain(); w != after && w != lazy.Widget();
         w = w->nextInFocusChain())
        seen += w == lazy.GainEdit(8)->Widget() || w == lazy.BypassButton(8)->Widget();
    EXPECT_EQ(seen, 2);

    TForm host(nullptr);
    host.SetBounds(0, 0, 600, 320);
    TMyPEQType8 made(&host);
    made.SetParent(&host);
    for (const auto& [name, value] : props)
        ASSERT_TRUE(SetPropText(made, name, value)) << name;
    ASSERT_EQ(made.MadeRows(), TPeqBandTable::MaxRows);

    // Before the first relayout, at it, after a language change and once more rows are shown.
    auto compare = [&](const std::string& when, std::initializer_list<int> rows) {
        for (int r : rows)
            EXPECT_EQ(RowState(lazy, r), RowState(made, r)) << when << ", row " << r;
    };
    compare("new", {0, 8, 9});
    for (TPeqBandTable* t : {static_cast<TPeqBandTable*>(&lazy), static_cast<TPeqBandTable*>(&made)})
        (void)t->RenderToImage();
    compare("laid out", {0, 8, 20});
    for (TPeqBandTable* t : {static_cast<TPeqBandTable*>(&lazy), static_cast<TPeqBandTable*>(&made)}) {
        t->SetEditBackColor(clWhite);
        t->SetBypassBackColor(clSilver);
        t->SetBypassString("Bypass");
        t->ChangeLanguage();
        t->SetEqParamValue(30, 2000, 10, -3, 2, true);
        t->SetChannelNumber(12);
        t->SetBounds(0, 0, 536, 300);
        (void)t->RenderToImage();
    }
    compare("twelve rows", {0, 9, 11, 12, 30, 49});
    EXPECT_EQ(lazy.MadeRows(), TPeqBandTable::MaxRows);
    EXPECT_EQ(lazy.RenderToImage(), made.RenderToImage());
}

} // namespace

namespace {

// Renders an output table as the main window shows it; with KV_SCREENSHOT_DIR set the picture is kept.
TEST(MyPEQType8Test, RendersAnOutputTable) {
    Table tb(9);
    tb.t->SetColor(clBtnFace);
    tb.Language(kEnglishTypes, "Bypass");
    const struct {
        double hz, q, dB;
        int type;
        bool bypass;
    } bands[] = {{31.5, 20, -3.5, 1, false}, {63, 30, 2, 0, false},    {125, 16, -6, 0, false},
                 {250, 40, 4.5, 0, false},   {1000, 56, -12, 0, true}, {2000, 20, 0, 7, false},
                 {4000, 10, 1.5, 0, false},  {8000, 20, 3, 2, false},  {16000, 20, 0, 3, false}};
    for (int r = 0; r < 9; ++r) {
        const auto& b = bands[r];
        tb.t->SetEqParamValue(r, b.hz, b.q, b.dB, b.type, b.bypass);
    }
    tb.t->SetNowIndex(2);
    (void)tb.t->RenderToImage();
    QImage img = tb.t->RenderToImage();
    ASSERT_EQ(img.width(), 536);
    // The bypassed band's button and a white edit field.
    TPkButton* b = tb.t->BypassButton(4);
    EXPECT_EQ(img.pixel(b->Left() + 6, b->Top() + 4) & 0xFFFFFFu, 0xFF8080u);
    TEdit* e = tb.t->FreqEdit(0);
    EXPECT_EQ(img.pixel(e->Left() + 4, e->Top() + e->Height() / 2) & 0xFFFFFFu, 0xFFFFFFu);
    if (const char* dir = std::getenv("KV_SCREENSHOT_DIR")) {
        EXPECT_TRUE(img.save(QString::fromUtf8(dir) + "/band-table-type8.png"));
        tb.Language(kChineseTypes, "旁路");
        EXPECT_TRUE(tb.t->RenderToImage().save(QString::fromUtf8(dir) + "/band-table-type8-zh.png"));
    }
}

} // namespace

namespace {

TEST(MyPEQType8Test, TypingStopsAtSevenCharactersButLongerValuesShowWhole) {
    Table tb;
    TEdit* e = tb.t->FreqEdit(0);
    tb.t->SetFreqValue(0, 20158.7);
    EXPECT_EQ(e->Text(), "20.16KHz");
    EXPECT_EQ(QString::fromUtf8(e->Text().c_str()), static_cast<QLineEdit*>(e->Widget())->text());
    const struct {
        const char* text;
        char key;
        bool taken;
    } cases[] = {
        {"1234567", '8', false}, {"123456", '7', true}, {"1234567", '\r', true}, {"1234567", '\b', true}};
    for (const auto& c : cases) {
        e->SetText(c.text);
        char key = c.key;
        e->KeyPress(key);
        EXPECT_EQ(key != 0, c.taken) << c.text << " + " << int(c.key);
    }
    // With part of the text selected, the typed character replaces it.
    e->SetText("1234567");
    e->SelectAll();
    char key = '9';
    e->KeyPress(key);
    EXPECT_EQ(key, '9');
}

} // namespace

namespace {

void SendKey(QWidget* w, int qtKey, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
}

TEST(MyPEQType8Test, ThroughTheWidgetsOwnEvents) {
    Table tb;
    tb.t->RePaint();
    tb.t->SetFreqValue(1, 1000);
    TEdit* e = tb.t->FreqEdit(1);
    e->SetText("");
    for (char ch : std::string("1.5kHz99"))
        SendKey(e->Widget(), Qt::Key_A, QString(QChar(ch)));
    EXPECT_EQ(e->Text(), "1.5kHz9") << "seven characters typed at most";
    tb.changes = 0;
    SendKey(e->Widget(), Qt::Key_Return, "\r");
    EXPECT_EQ(e->Text(), "1.00KHz") << "after the unit strips 1.5k is left, which is no number";
    SendKey(e->Widget(), Qt::Key_End, "");
    for (int i = 0; i < 7; ++i)
        SendKey(e->Widget(), Qt::Key_Backspace, "");
    for (char ch : std::string("1.5k"))
        SendKey(e->Widget(), Qt::Key_A, QString(QChar(ch)));
    SendKey(e->Widget(), Qt::Key_Enter, "\r");
    EXPECT_EQ(e->Text(), "1.52KHz");
    EXPECT_EQ(FreqToIndex(tb.t->GetFreqValue(1)), 188);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(e->Widget(), &out);
    EXPECT_EQ(tb.changes, 3) << "two Enter keys and leaving the edit";

    tb.t->SetTypeValue(1, 5);
    tb.t->OnPeqTypeMouseWheel = [](TObject*, TShiftState, int, TPoint, bool& handled) { handled = true; };
    tb.changes = 0;
    for (int dy : {-120, 120}) {
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, dy), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(tb.t->TypeList(1)->Widget(), &wheel);
    }
    EXPECT_EQ(tb.t->GetTypeValue(1), 5);
    EXPECT_EQ(tb.changes, 0);
}

} // namespace

namespace {

// Calls outside the table's rows, Q grid or row count are ignored or clamped instead of reading
// beyond the tables or dividing by zero.
TEST(MyPEQType8Test, OutOfRangeCallsStayInside) {
    Table tb;
    tb.changes = 0;
    for (int row : {-1, 50, 1000}) {
        tb.t->SetGainValue(row, 3);
        tb.t->SetEqParamValue(row, 1000, 20, 0, 0, true);
        EXPECT_EQ(tb.t->GetTypeValue(row), -1);
        EXPECT_EQ(tb.t->GetFreqValue(row), 0.0);
        EXPECT_FALSE(tb.t->GetBypassValue(row));
    }
    EXPECT_EQ(tb.changes, 0);
    tb.t->SetQValue(0, 500);
    EXPECT_EQ(tb.t->QEdit(0)->Text(), "128.00");
    tb.t->SetQValue(0, -3);
    EXPECT_EQ(tb.t->QEdit(0)->Text(), "0.40");
    tb.t->SetChannelNumber(0);
    tb.t->SetBounds(0, 0, 300, 200);
    tb.t->RePaint();
    EXPECT_FALSE(tb.t->FreqEdit(0)->Visible());
}

} // namespace
