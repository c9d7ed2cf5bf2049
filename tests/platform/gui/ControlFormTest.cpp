// A form with one of every standard control, loaded from its layout resource: names, properties,
// handlers, the old framework's event rules, the modal loop and deterministic rendering.

#include "platform/core/Properties.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Layout.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "platform/sys/Scheduler.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>

#include <memory>
#include <vector>

using namespace kv;

namespace {

class TfmControlTest : public TForm {
    KV_CLASS(TfmControlTest)
public:
    explicit TfmControlTest(TComponent* owner) : TForm(owner) {}

    void FormCreate(TObject*) { created = true; }
    void btnOKClick(TObject*) {
        resultInHandler = ModalResult();
        ++okClicks;
    }
    void rbInAClick(TObject* sender) { radioClicks.push_back(static_cast<TComponent*>(sender)->Name()); }
    void pkcModeChange(TObject*) { ++comboChanges; }
    void Exit1Click(TObject*) { ++exitClicks; }
    // One handler for the labels of all channels: the channel comes from the sender's Tag and the
    // companion is found by composing its name.
    void lbGainInAClick(TObject* sender) {
        auto* label = dynamic_cast<TLabel*>(sender);
        if (!label)
            return;
        auto tag = label->Tag();
        char suffix = static_cast<char>(tag <= 1 ? tag + 65 : tag + 47);
        std::string name = std::string("lbGain") + (tag <= 1 ? "In" : "Out") + suffix;
        if (TComponent* c = FindComponent(name))
            composed.push_back(c->Name());
    }
    void pbMatrixPaint(TObject* sender) {
        TCanvas* c = static_cast<TPaintBox*>(sender)->Canvas();
        c->Brush()->SetColor(clNavy);
        c->FillRect(Rect(0, 0, 100, 100));
        c->Pen()->SetColor(clYellow);
        for (int i = 0; i < 100; i += 10) {
            c->MoveTo(i, 0);
            c->LineTo(i, 100);
        }
        c->Pen()->SetColor(clRed);
        c->Pen()->SetWidth(3);
        c->MoveTo(0, 99);
        c->LineTo(99, 0);
        c->Brush()->SetStyle(TBrushStyle::bsClear);
        c->Font()->SetColor(clWhite);
        c->Font()->SetOrientation(900);
        c->TextOut(4, 90, "Matrix");
    }

    bool created = false;
    int resultInHandler = -1, okClicks = 0, comboChanges = 0, exitClicks = 0;
    std::vector<std::string> radioClicks, composed;
};

KV_REGISTER_CLASS(TfmControlTest, TForm, b) {
    b.Method<TNotifyEvent>("FormCreate", &TfmControlTest::FormCreate);
    b.Method<TNotifyEvent>("btnOKClick", &TfmControlTest::btnOKClick);
    b.Method<TNotifyEvent>("rbInAClick", &TfmControlTest::rbInAClick);
    b.Method<TNotifyEvent>("pkcModeChange", &TfmControlTest::pkcModeChange);
    b.Method<TNotifyEvent>("Exit1Click", &TfmControlTest::Exit1Click);
    b.Method<TNotifyEvent>("lbGainInAClick", &TfmControlTest::lbGainInAClick);
    b.Method<TNotifyEvent>("pbMatrixPaint", &TfmControlTest::pbMatrixPaint);
}

std::unique_ptr<TfmControlTest> MakeForm() {
    auto f = std::make_unique<TfmControlTest>(nullptr);
    f->InitializeForm();
    return f;
}

template <class T> T& Find(TComponent& root, const std::string& name) {
    auto* c = dynamic_cast<T*>(root.FindComponent(name));
    if (!c)
        throw std::runtime_error("no " + name);
    return *c;
}

std::string ResourceText() {
    return LayoutResourceText("TFMCONTROLTEST");
}

TEST(ControlFormTest, LoadsFromItsLayoutResourceWithEveryStandardControl) {
    auto f = MakeForm();
    EXPECT_TRUE(f->LayoutErrors().empty()) << f->LayoutErrors().front();
    EXPECT_TRUE(f->created);
    EXPECT_EQ(f->Name(), "fmControlTest");
    EXPECT_EQ(f->Caption(), "Control test");
    EXPECT_EQ(f->ClientWidth(), 520);
    EXPECT_EQ(f->ClientHeight(), 380);
    struct Expect {
        const char* name;
        const char* cls;
    } expected[] = {
        {"lbGainInA", "TLabel"},      {"imLogo", "TImage"},        {"spLed", "TShape"},
        {"pnlTop", "TPanel"},         {"gbInput", "TGroupBox"},    {"edGain", "TEdit"},
        {"udGain", "TUpDown"},        {"rbInA", "TRadioButton"},   {"cbMute", "TCheckBox"},
        {"pkcMode", "TComboBox"},     {"moLog", "TMemo"},          {"vleInfo", "TValueListEditor"},
        {"stStatus", "TStatusBar"},   {"pbLevel", "TProgressBar"}, {"lbxPresets", "TListBox"},
        {"pbMatrix", "TPaintBox"},    {"sbList", "TScrollBox"},    {"MainMenu1", "TMainMenu"},
        {"PopupMenu1", "TPopupMenu"}, {"Exit1", "TMenuItem"},      {"btnOK", "TButton"},
        {"odOpen", "TOpenDialog"},    {"sdSave", "TSaveDialog"},
    };
    for (const auto& e : expected) {
        TComponent* c = f->FindComponent(e.name);
        ASSERT_NE(c, nullptr) << e.name;
        EXPECT_EQ(c->ClassName(), e.cls) << e.name;
        EXPECT_EQ(c->Owner(), f.get());
    }
    // Parents follow the layout's nesting; values arrived through the registry.
    EXPECT_EQ(Find<TLabel>(*f, "lbGainInB").Parent(), &Find<TPanel>(*f, "pnlTop"));
    EXPECT_EQ(Find<TLabel>(*f, "lbInScroll").Parent(), &Find<TScrollBox>(*f, "sbList"));
    EXPECT_EQ(Find<TComboBox>(*f, "pkcMode").ItemIndex(), 1);
    EXPECT_EQ(Find<TComboBox>(*f, "pkcMode").Text(), "Low");
    EXPECT_EQ(Find<TMemo>(*f, "moLog").Lines()->Count(), 2);
    EXPECT_EQ(Find<TValueListEditor>(*f, "vleInfo").Values("version"), "1.0");
    EXPECT_EQ(Find<TUpDown>(*f, "udGain").Associate(), &Find<TEdit>(*f, "edGain"));
    EXPECT_EQ(f->Menu(), &Find<TMainMenu>(*f, "MainMenu1"));
    EXPECT_EQ(Find<TPaintBox>(*f, "pbMatrix").PopupMenu(), &Find<TPopupMenu>(*f, "PopupMenu1"));
    EXPECT_EQ(Find<TImage>(*f, "imLogo").Picture()->Width(), 8);
    EXPECT_EQ(Find<TImage>(*f, "imChecker").Picture()->Width(), 16);
    EXPECT_EQ(Find<TLabel>(*f, "lbGainInB").Font()->Color(), clRed);
    EXPECT_EQ(Find<TStatusBar>(*f, "stStatus").Top(), 361); // aligned to the bottom
    EXPECT_EQ(Find<TSaveDialog>(*f, "sdSave").Options().Contains(TOpenOption::ofOverwritePrompt), true);
    auto* exitItem = &Find<TMenuItem>(*f, "Exit1");
    EXPECT_EQ(exitItem->Parent(), &Find<TMenuItem>(*f, "File1"));
    exitItem->Click();
    EXPECT_EQ(f->exitClicks, 1);
    // Rebuilding the menu bar after a change adds no drop-down menus.
    auto dropDowns = [&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return f->Widget()->findChildren<QMenu*>().size();
    };
    const auto before = dropDowns();
    for (int i = 0; i < 3; ++i)
        exitItem->SetChecked(!exitItem->Checked());
    EXPECT_EQ(dropDowns(), before);
}

TEST(ControlFormTest, HandlersFindCompanionsByComposedNames) {
    auto f = MakeForm();
    for (const char* name : {"lbGainInA", "lbGainInB", "lbGainOut1"})
        Find<TLabel>(*f, name).Click();
    EXPECT_EQ(f->composed, (std::vector<std::string>{"lbGainInA", "lbGainInB", "lbGainOut1"}));
    EXPECT_EQ(f->FindComponent("LBGAINOUT1"), f->FindComponent("lbGainOut1"));
    EXPECT_EQ(f->FindComponent("lbGainOut2"), nullptr);
}

TEST(ControlFormTest, PropertiesByName) {
    auto f = MakeForm();
    auto* panel = &Find<TPanel>(*f, "pnlTop");
    EXPECT_TRUE(SetPropText(*panel, "Color", "clRed"));
    EXPECT_EQ(panel->Color(), clRed);
    EXPECT_TRUE(SetPropText(*panel, "font.style", "[fsBold, fsItalic]"));
    EXPECT_TRUE(panel->Font()->Style().Contains(TFontStyle::fsItalic));
    EXPECT_FALSE(panel->ParentFont());
    EXPECT_TRUE(SetPropText(Find<TShape>(*f, "spLed"), "Brush.Color", "$000000FF"));
    EXPECT_EQ(Find<TShape>(*f, "spLed").Brush()->Color(), clRed);
    EXPECT_EQ(GetPropText(Find<TEdit>(*f, "edGain"), "Text").value_or("?"), "0");
    EXPECT_EQ(GetPropText(Find<TUpDown>(*f, "udGain"), "Associate").value_or("?"), "edGain");
    std::string error;
    EXPECT_FALSE(SetPropText(*panel, "Colour", "clRed", &error));
    EXPECT_NE(error.find("Colour"), std::string::npos);
    EXPECT_FALSE(SetPropText(*panel, "Align", "alSideways", &error));
    EXPECT_EQ(panel->Align(), TAlign::alTop);
}

TEST(ControlFormTest, EventRulesOfTheOldFramework) {
    auto f = MakeForm();
    // A combo box selection set from code raises no change event; a user's pick does.
    auto* combo = &Find<TComboBox>(*f, "pkcMode");
    combo->SetItemIndex(2);
    EXPECT_EQ(f->comboChanges, 0);
    combo->Items()->Add("Extra"); // changing the list keeps the selection, silently
    EXPECT_EQ(combo->ItemIndex(), 2);
    combo->UserSelect(0);
    EXPECT_EQ(f->comboChanges, 1);
    EXPECT_EQ(combo->ItemIndex(), 0);
    // Typing raises one change per edit, also after an editable style was set again.
    combo->SetStyle(TComboBoxStyle::csDropDown);
    combo->SetStyle(TComboBoxStyle::csSimple);
    int typed = 0;
    combo->OnChange = [&](TObject*) { ++typed; };
    QLineEdit* typing = combo->EditPart(); // made when first needed
    ASSERT_NE(typing, nullptr);
    emit typing->textEdited(QStringLiteral("Lo"));
    EXPECT_EQ(typed, 1);
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    combo->OnChange = [&](TObject*) { ++f->comboChanges; };
    // A wheel handler that sets `handled` keeps the list from changing its selection.
    combo->OnMouseWheel = [](TObject*, TShiftState, int, TPoint, bool& handled) { handled = true; };
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(combo->Widget(), &wheel);
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(f->comboChanges, 1);

    // A radio button checked from code runs its click handler and turns its siblings off.
    auto* a = &Find<TRadioButton>(*f, "rbInA");
    auto* b = &Find<TRadioButton>(*f, "rbInB");
    EXPECT_TRUE(a->Checked());
    EXPECT_TRUE(f->radioClicks.empty()); // not while the layout loads
    b->SetChecked(true);
    EXPECT_EQ(f->radioClicks, (std::vector<std::string>{"rbInB"}));
    EXPECT_FALSE(a->Checked());
    b->SetChecked(true); // no change, no click
    EXPECT_EQ(f->radioClicks.size(), 1u);
    static_cast<QAbstractButton*>(a->Widget())->click(); // a user's click
    EXPECT_EQ(f->radioClicks, (std::vector<std::string>{"rbInB", "rbInA"}));
    EXPECT_TRUE(a->Checked());
    EXPECT_FALSE(b->Checked());

    // A check box checked from code runs OnClick too; a user's click toggles it.
    auto* box = &Find<TCheckBox>(*f, "cbMute");
    int boxClicks = 0;
    box->OnClick = [&](TObject*) { ++boxClicks; };
    box->SetChecked(true);
    EXPECT_EQ(boxClicks, 1);
    static_cast<QAbstractButton*>(box->Widget())->click();
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(boxClicks, 2);

    // A button's click sets the form's ModalResult before its handler runs.
    Find<TButton>(*f, "btnOK").Click();
    EXPECT_EQ(f->resultInHandler, mrOk);
    EXPECT_EQ(f->ModalResult(), mrOk);

    // Text set from code raises an edit's OnChange, as the old framework did; the up-down shows its
    // position in the associated edit.
    auto* edit = &Find<TEdit>(*f, "edGain");
    int editChanges = 0;
    edit->OnChange = [&](TObject*) { ++editChanges; };
    Find<TUpDown>(*f, "udGain").ArrowClick(TUDBtnType::btNext);
    EXPECT_EQ(edit->Text(), "1");
    EXPECT_EQ(editChanges, 1);
    Find<TUpDown>(*f, "udGain").SetPosition(50);
    EXPECT_EQ(Find<TUpDown>(*f, "udGain").Position(), 20);
    EXPECT_EQ(edit->Text(), "20");
}

// The up-down offers every change to OnChangingEx first: an arrow with the unclamped value (so a press
// at an end of the range reports a value beyond it), a position set from code with updNone and only when
// it moves; a refusal keeps the position.
TEST(ControlFormTest, UpDownOffersChangesToOnChangingEx) {
    auto f = MakeForm();
    auto& ud = Find<TUpDown>(*f, "udGain");
    ud.SetMin(0);
    ud.SetMax(3);
    ud.SetPosition(3);
    struct Seen {
        int value;
        TUpDownDirection direction;
    };
    std::vector<Seen> seen;
    bool allow = true;
    ud.OnChangingEx = [&](TObject*, bool& ok, int16_t v, TUpDownDirection d) {
        seen.push_back({v, d});
        ok = allow;
    };
    ud.ArrowClick(TUDBtnType::btNext);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].value, 4);
    EXPECT_EQ(seen[0].direction, TUpDownDirection::updUp);
    EXPECT_EQ(ud.Position(), 3);

    ud.SetPosition(3); // unchanged: not offered
    EXPECT_EQ(seen.size(), 1u);
    ud.SetPosition(-5); // clamped to 0, then offered
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].value, 0);
    EXPECT_EQ(seen[1].direction, TUpDownDirection::updNone);
    EXPECT_EQ(ud.Position(), 0);

    allow = false;
    ud.ArrowClick(TUDBtnType::btNext);
    ud.SetPosition(2);
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[2].direction, TUpDownDirection::updUp);
    EXPECT_EQ(ud.Position(), 0);
}

TEST(ControlFormTest, ShowModalReturnsTheButtonsResultAndTimersFireInside) {
    auto f = MakeForm();
    int ticks = 0;
    TTimer timer;
    timer.SetInterval(5);
    timer.OnTimer = [&] {
        if (++ticks == 3)
            Find<TButton>(*f, "btnOK").Click();
    };
    timer.SetEnabled(true);
    EXPECT_EQ(f->ShowModal(), mrOk);
    timer.SetEnabled(false);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(f->okClicks, 1);
    EXPECT_FALSE(f->Visible());

    // Closing a modal form gives mrCancel; an OnClose that answers caNone keeps it open.
    int refusals = 0;
    f->OnClose = [&](TObject*, TCloseAction& action) {
        if (refusals++ == 0)
            action = TCloseAction::caNone;
    };
    QTimer::singleShot(0, [&] { f->Close(); });
    QTimer::singleShot(20, [&] { f->Close(); });
    EXPECT_EQ(f->ShowModal(), mrCancel);
    EXPECT_EQ(refusals, 2);
}

TEST(ControlFormTest, UnknownNamesInALayoutAreReportedAndSkipped) {
    TfmControlTest f(nullptr);
    auto errors = f.LoadLayoutText(R"(object fmOther: TfmControlTest
  Colour = clRed
  object lbOne: TLabel
    Caption = "One"
    Bogus.Size = 3
    OnClick = NoSuchHandler
    Visible = Perhaps
  end
  object xxThing: TNoSuchControl
    Caption = "skipped"
    object lbInside: TLabel
    end
  end
  object udTwo: TUpDown
    Associate = edMissing
  end
  object lbThree: TLabel
    Caption = "Three"
  end
end
)");
    ASSERT_EQ(errors.size(), 6u);
    EXPECT_NE(errors[0].find("Colour"), std::string::npos);
    EXPECT_NE(errors[1].find("Bogus.Size"), std::string::npos);
    EXPECT_NE(errors[2].find("NoSuchHandler"), std::string::npos);
    EXPECT_NE(errors[3].find("Perhaps"), std::string::npos);
    EXPECT_NE(errors[4].find("TNoSuchControl"), std::string::npos);
    EXPECT_NE(errors[5].find("edMissing"), std::string::npos);
    EXPECT_EQ(Find<TLabel>(f, "lbOne").Caption(), "One");
    EXPECT_EQ(Find<TLabel>(f, "lbThree").Caption(), "Three");
    EXPECT_EQ(f.FindComponent("lbInside"), nullptr);

    TForm g(nullptr);
    EXPECT_THROW(g.LoadLayoutText("object a: TForm\n  Caption = \"open\n"), ELayoutError);
    EXPECT_THROW(g.LoadLayoutText("object a: TForm\n  object b: TLabel\n  end\n"), ELayoutError);
    EXPECT_THROW(g.LoadLayoutText("thing a: TForm\nend\n"), ELayoutError);
    EXPECT_THROW(g.LoadLayoutText("object a: TForm\n  Picture = png \"***\"\nend\nend\n"), ELayoutError);
}

// A picture the layout names for several controls is read once: they share its pixels until one of
// them changes its copy, and each still writes the picture back by its name.
TEST(ControlFormTest, ControlsNamingOnePictureShareItUntilOneChangesIt) {
    TForm f(nullptr);
    const std::string layout = R"(object fmShare: TForm
  object imA: TImage
    Width = 16
    Height = 16
    Picture = resource "pictures/checker.png"
  end
  object imB: TImage
    Width = 16
    Height = 16
    Picture = resource "pictures/checker.png"
  end
end
)";
    ASSERT_TRUE(f.LoadLayoutText(layout).empty());
    TPicture* a = Find<TImage>(f, "imA").Picture();
    TPicture* b = Find<TImage>(f, "imB").Picture();
    ASSERT_FALSE(a->Empty());
    const QImage original = b->Graphic()->ToImage();
    EXPECT_EQ(a->Graphic()->ToImage().constBits(), original.constBits());
    EXPECT_EQ(b->ResourceName(), "pictures/checker.png");

    a->Bitmap()->Canvas()->SetPixel(0, 0, clRed);
    EXPECT_EQ(a->Bitmap()->Canvas()->Pixel(0, 0), clRed);
    EXPECT_EQ(b->Graphic()->ToImage(), original);
    EXPECT_NE(b->Graphic()->ToImage().pixel(0, 0), qRgb(255, 0, 0));
}

TEST(ControlFormTest, LayoutRoundTripIsExact) {
    auto f = MakeForm();
    std::string text = ResourceText();
    ASSERT_FALSE(text.empty());
    std::string written = WriteLayout(*f);
    EXPECT_EQ(written, text);
    // A value equal to its declared default is not written; a changed one is.
    EXPECT_EQ(written.find("Visible = True"), std::string::npos);
    EXPECT_EQ(written.find("ParentFont = True"), std::string::npos);
    Find<TLabel>(*f, "lbGainInA").SetVisible(false);
    Find<TPanel>(*f, "pnlTop").SetBevelOuter(TBevelCut::bvRaised); // the default again
    std::string changed = WriteLayout(*f);
    EXPECT_NE(changed.find("Visible = False"), std::string::npos);
    // Reading what was written gives the same layout again.
    TfmControlTest g(nullptr);
    EXPECT_TRUE(g.LoadLayoutText(changed).empty());
    EXPECT_EQ(WriteLayout(g), changed);
}

TEST(ControlFormTest, DamagedLayoutsAreRefusedOrReportedNeverCrash) {
    // Deterministic mutations of the real layout: cut, inserted punctuation, doubled and dropped lines.
    const std::string source = ResourceText();
    std::uint32_t seed = 12345;
    auto next = [&](std::uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    const std::string noise = "[]=:\"\\\n$-,.xobjectend 0123456789";
    int refused = 0, reported = 0;
    for (int round = 0; round < 300; ++round) {
        std::string text = source;
        for (int edits = 1 + static_cast<int>(next(3)); edits > 0; --edits) {
            std::size_t at = next(static_cast<std::uint32_t>(text.size()));
            switch (next(4)) {
            case 0:
                text.erase(at, next(12));
                break;
            case 1:
                text.insert(at, 1, noise[next(static_cast<std::uint32_t>(noise.size()))]);
                break;
            case 2: {
                std::size_t start = text.rfind('\n', at);
                start = start == std::string::npos ? 0 : start + 1;
                std::size_t end = text.find('\n', at);
                std::string line =
                    text.substr(start, end == std::string::npos ? std::string::npos : end - start + 1);
                text.insert(start, next(2) ? line : std::string());
                if (next(2))
                    text.erase(start, line.size());
                break;
            }
            default:
                text.resize(at);
                break;
            }
        }
        TfmControlTest f(nullptr);
        try {
            if (!f.LoadLayoutText(text).empty())
                ++reported;
        } catch (const ELayoutError&) {
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(reported, 0);
}

QImage RenderForm() {
    auto f = MakeForm();
    f->Show();
    Application->ProcessMessages();
    QImage img = f->RenderToImage();
    f->Hide();
    return img;
}

TEST(ControlFormTest, RendersOffscreen) {
    QImage img = RenderForm();
    ASSERT_EQ(img.width(), 520);
    ASSERT_EQ(img.height(), 380 + kMenuHeight);
    auto at = [&](int x, int y) { return FromQRgb(img.pixel(x, y + kMenuHeight)); };
    EXPECT_EQ(at(304, 22), clLime);          // the round LED, in the middle
    EXPECT_EQ(at(300, 42), clSilver);        // the top panel around it
    EXPECT_EQ(at(8 + 55, 204 + 50), clNavy); // the paint box's own drawing
    EXPECT_EQ(at(8 + 50, 204 + 5), clYellow);
    EXPECT_EQ(at(250 + 1, 4 + 1), clWhite); // the checker picture from the resources
    EXPECT_EQ(at(250 + 5, 4 + 1), RGB(0, 128, 128));
}

// Run by RenderingIsTheSameInTwoProcesses in a child process.
TEST(ControlFormTest, RenderForComparison) {
    QByteArray out = qgetenv("KV_RENDER_OUT");
    if (out.isEmpty())
        GTEST_SKIP() << "runs as a child of RenderingIsTheSameInTwoProcesses";
    WriteFileBytes(out.toStdString(), EncodePng(RenderForm()));
}

TEST(ControlFormTest, RenderingIsTheSameInTwoProcesses) {
    // A directory of its own: other builds may run this test at the same time.
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString dir = tmp.path();
    std::vector<std::vector<std::uint8_t>> images;
    for (int run = 0; run < 2; ++run) {
        QString file = dir + "/run" + QString::number(run) + ".png";
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KV_RENDER_OUT", file);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.start(QFile::symLinkTarget("/proc/self/exe"),
                {"--gtest_filter=ControlFormTest.RenderForComparison"});
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardOutput().toStdString();
        images.push_back(ReadFileBytes(file.toStdString()));
    }
    EXPECT_FALSE(images[0].empty());
    EXPECT_EQ(images[0], images[1]);
}

} // namespace
