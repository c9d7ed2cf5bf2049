#include "plot/editors/gEditorDialogs.h"

#include "platform/gui/Dialogs.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdPanels.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace kv;

namespace {

// Answers the platform dialogs in place of a user and puts the hooks back afterwards.
class EdtDialogs : public ::testing::Test {
protected:
    void TearDown() override {
        TOpenDialog::ExecuteHook = nullptr;
        TColorDialog::ExecuteHook = nullptr;
        TFontDialog::ExecuteHook = nullptr;
    }
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
};

TEST_F(EdtDialogs, SaveAppendsTheChosenFiltersExtensionWhenTheNameLacksIt) {
    struct Case {
        std::string chosen;
        int filterIndex;
        std::string fileName, returnExt;
    };
    const std::vector<Case> cases = {
        {"/data/curve", 1, "/data/curve.txt", ".txt"},
        {"/data/curve.txt", 1, "/data/curve.txt", ".txt"},
        {"/data/curve.TXT", 1, "/data/curve.TXT", ".txt"},
        {"/data/curve.dat", 1, "/data/curve.dat.txt", ".txt"},
        {"/data/v1.5/curve", 1, "/data/v1.5/curve.txt", ".txt"},
        {"/data/curve", 2, "/data/curve", ".*"},
        {"/data/curve.dat", 2, "/data/curve.dat", ".*"},
        {"/data/curve", 3, "/data/curve.csv", ".csv"},
        {"/data/curve", 4, "/data/curve.dat", ".dat"},
        {"/data/curve.csv", 4, "/data/curve.csv", ".dat"}, // any of the filter's extensions stays
        {"/data/curve.txt", 4, "/data/curve.txt.dat", ".dat"},
        {"/data/curve", 5, "/data/curve", ""},     // a pattern that is no extension
        {"/data/curve", 6, "/data/curve.y", ".y"}, // described as "*.x", its pattern is "*.y"
        {"/data/curve", 7, "/data/curve", ""},     // no such filter
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen + " with filter " + std::to_string(c.filterIndex));
        TOpenDialog::ExecuteHook = [&](TOpenDialog& d) {
            d.SetFileName(c.chosen);
            d.SetFilterIndex(c.filterIndex);
            return true;
        };
        TgSaveDialog dialog(form.get());
        // The last description starts with "*": it is no pattern and shifts no index.
        dialog.SetFilter(
            "Text (*.txt)|*.txt|All files|*.*|Values|*.csv|Data|*.dat; *.csv|Named|curve?|*.x|*.y");
        ASSERT_TRUE(dialog.Execute());
        EXPECT_EQ(dialog.FileName(), c.fileName);
        EXPECT_EQ(dialog.ReturnExt(), c.returnExt);
        EXPECT_EQ(dialog.FilterIndex(), c.filterIndex);
    }
}

TEST_F(EdtDialogs, SaveHandsItsSettingsToThePlatformDialog) {
    TSaveDialog* seen = nullptr;
    TOpenOptions options;
    std::string start, dir, filter, ext;
    int index = 0;
    TOpenDialog::ExecuteHook = [&](TOpenDialog& d) {
        seen = dynamic_cast<TSaveDialog*>(&d);
        options = d.Options();
        start = d.FileName();
        dir = d.InitialDir();
        filter = d.Filter();
        ext = d.DefaultExt();
        index = d.FilterIndex();
        return false;
    };
    TgSaveDialog dialog(form.get());
    EXPECT_EQ(dialog.FilterIndex(), 1);
    dialog.SetFileName(std::string(300, 'a'));
    dialog.SetFilter("Text|*.txt");
    dialog.SetFilterIndex(2);
    dialog.SetDefaultExt("txt");
    EXPECT_FALSE(dialog.Execute());
    ASSERT_NE(seen, nullptr);
    EXPECT_TRUE(options.Contains(TOpenOption::ofOverwritePrompt));
    EXPECT_TRUE(options.Contains(TOpenOption::ofHideReadOnly));
    EXPECT_TRUE(options.Contains(TOpenOption::ofPathMustExist));
    EXPECT_EQ(start, std::string(260, 'a'));
    EXPECT_EQ(dir, ".");
    EXPECT_EQ(filter, "Text|*.txt");
    EXPECT_EQ(ext, "txt");
    EXPECT_EQ(index, 2);
    // Cancelled: the name stays as it was.
    EXPECT_EQ(dialog.FileName(), std::string(300, 'a'));
}

TEST_F(EdtDialogs, FileDialogsWithoutAnOwnerWindowShowNothingAndReportFalse) {
    int shown = 0;
    TOpenDialog::ExecuteHook = [&](TOpenDialog&) {
        ++shown;
        return true;
    };
    // No owner, and an owner chain without any windowed control.
    TComponent plainOwner(nullptr);
    for (TComponent* owner : {static_cast<TComponent*>(nullptr), &plainOwner}) {
        TgOpenDialog* open = new TgOpenDialog(owner);
        open->Files()->Add("stale");
        EXPECT_FALSE(open->Execute());
        EXPECT_EQ(open->Files()->Count(), 0);
        TgSaveDialog* save = new TgSaveDialog(owner);
        EXPECT_FALSE(save->Execute());
        if (!owner) {
            delete open;
            delete save;
        }
    }
    EXPECT_EQ(shown, 0);

    // A windowed control up the chain serves when there is no form.
    TPanel panel(nullptr);
    TgOpenDialog underPanel(&panel);
    EXPECT_TRUE(underPanel.Execute());
    EXPECT_EQ(shown, 1);
}

TEST_F(EdtDialogs, OpenTakesOneOrManyFiles) {
    TOpenOptions options;
    std::string dir;
    int index = 0;
    std::vector<std::string> chosen{"/data/a.txt"};
    TOpenDialog::ExecuteHook = [&](TOpenDialog& d) {
        options = d.Options();
        dir = d.InitialDir();
        index = d.FilterIndex();
        EXPECT_EQ(d.OwnerWindow(), form.get());
        d.SetFileName(chosen.front());
        for (const std::string& f : chosen)
            d.Files()->Add(f);
        return true;
    };
    TgOpenDialog dialog(form.get());
    dialog.SetFilter("Text|*.txt|All|*.*");
    dialog.SetDefaultDir("/data");
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), "/data/a.txt");
    EXPECT_EQ(dialog.Files()->Strings(), (std::vector<std::string>{"/data/a.txt"}));
    EXPECT_EQ(dir, "/data");
    EXPECT_EQ(index, 1);
    EXPECT_TRUE(options.Contains(TOpenOption::ofHideReadOnly));
    EXPECT_TRUE(options.Contains(TOpenOption::ofPathMustExist));
    EXPECT_FALSE(options.Contains(TOpenOption::ofFileMustExist));
    EXPECT_FALSE(options.Contains(TOpenOption::ofAllowMultiSelect));

    dialog.SetFileMustExist(true);
    dialog.SetAllowMultiSelect(true);
    chosen = {"/data/b.txt", "/data/c.txt"};
    ASSERT_TRUE(dialog.Execute());
    EXPECT_TRUE(options.Contains(TOpenOption::ofFileMustExist));
    EXPECT_TRUE(options.Contains(TOpenOption::ofAllowMultiSelect));
    EXPECT_EQ(dialog.Files()->Strings(), chosen);
    EXPECT_EQ(dialog.FileName(), "/data/b.txt");

    // Cancelled: the list is empty, the name unchanged.
    TOpenDialog::ExecuteHook = [](TOpenDialog&) { return false; };
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.Files()->Count(), 0);
    EXPECT_EQ(dialog.FileName(), "/data/b.txt");
}

TEST_F(EdtDialogs, ColourStartsFromTheResolvedColourWithWhiteCustomColours) {
    TColor start = clNone;
    std::vector<TColor> customs;
    TColorDialog::ExecuteHook = [&](TColorDialog& d) {
        start = d.Color();
        for (int i = 0; i < 16; ++i)
            customs.push_back(d.CustomColor(i));
        d.SetColor(RGB(10, 20, 30));
        return true;
    };
    TgColorDialog dialog(form.get());
    dialog.SetColor(clBtnFace);
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(start, ColorToRGB(clBtnFace));
    EXPECT_EQ(customs, std::vector<TColor>(16, clWhite));
    EXPECT_EQ(dialog.Color(), RGB(10, 20, 30));

    TColorDialog::ExecuteHook = [](TColorDialog& d) {
        d.SetColor(clRed);
        return false;
    };
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.Color(), RGB(10, 20, 30));
}

TEST_F(EdtDialogs, FontTakesTheChoiceAndTheCharacterSetOnlyWithANewFace) {
    struct Case {
        std::string face;
        int expectedCharset;
    };
    for (const Case& c : {Case{"tahoma", 0}, Case{"Arial", 238}}) {
        SCOPED_TRACE(c.face);
        std::string startName;
        TFontDialog::ExecuteHook = [&](TFontDialog& d) {
            startName = d.Font()->Name();
            d.Font()->SetName(c.face);
            d.Font()->SetHeight(-16);
            d.Font()->SetColor(clBlue);
            d.Font()->SetCharset(238);
            d.Font()->SetStyle(TFontStyles{TFontStyle::fsBold, TFontStyle::fsStrikeOut});
            return true;
        };
        TgFontDialog dialog(form.get());
        TFont start;
        start.SetName("Tahoma");
        start.SetCharset(0);
        dialog.SetFont(&start);
        ASSERT_TRUE(dialog.Execute());
        EXPECT_EQ(startName, "Tahoma");
        const TFont& f = *dialog.Font();
        EXPECT_EQ(f.Name(), c.face);
        EXPECT_EQ(f.Height(), -16);
        EXPECT_EQ(f.Color(), clBlue);
        EXPECT_EQ(f.Charset(), c.expectedCharset);
        EXPECT_EQ(f.Style(), (TFontStyles{TFontStyle::fsBold, TFontStyle::fsStrikeOut}));
    }
    TFontDialog::ExecuteHook = [](TFontDialog& d) {
        d.Font()->SetHeight(-30);
        return false;
    };
    TgFontDialog dialog(form.get());
    EXPECT_FALSE(dialog.Execute());
    EXPECT_NE(dialog.Font()->Height(), -30);
}

// The Qt choosers themselves, answered by accepting the open dialog.
template <class Dialog> void EdtAcceptNext(const std::function<void(Dialog*)>& choose) {
    QTimer::singleShot(0, [choose] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<Dialog*>(w); d && d->isVisible()) {
                choose(d);
                d->accept();
                return;
            }
    });
}

TEST_F(EdtDialogs, QtChoosersGiveBackTheChoice) {
    TColorDialog colour(nullptr);
    colour.SetColor(clBtnFace);
    QColor started;
    EdtAcceptNext<QColorDialog>([&](QColorDialog* d) {
        started = d->currentColor();
        d->setCurrentColor(QColor(1, 2, 3));
    });
    ASSERT_TRUE(colour.Execute());
    EXPECT_EQ(FromQRgb(started.rgb()), ColorToRGB(clBtnFace));
    EXPECT_EQ(colour.Color(), RGB(1, 2, 3));

    TFontDialog font(nullptr);
    font.Font()->SetName("Tahoma");
    font.Font()->SetHeight(-11);
    // The chooser matches a style of the face on its own; what it settled on is what comes back.
    QFont settled;
    EdtAcceptNext<QFontDialog>([&](QFontDialog* d) {
        QFont f = d->currentFont();
        f.setPixelSize(20);
        f.setUnderline(true);
        f.setStrikeOut(true);
        d->setCurrentFont(f);
        settled = d->currentFont();
    });
    ASSERT_TRUE(font.Execute());
    EXPECT_EQ(font.Font()->Name(), "Tahoma"); // the same face keeps the layout's name
    EXPECT_EQ(font.Font()->Height(), -20);
    const TFontStyles style = font.Font()->Style();
    EXPECT_TRUE(style.Contains(TFontStyle::fsUnderline));
    EXPECT_TRUE(style.Contains(TFontStyle::fsStrikeOut));
    EXPECT_EQ(style.Contains(TFontStyle::fsBold), settled.weight() > QFont::Normal);
    EXPECT_EQ(style.Contains(TFontStyle::fsItalic), settled.italic());
}

TEST_F(EdtDialogs, QtFontChooserConfirmedAsItOpenedChangesNothing) {
    // The chooser picks a style of its own list; it must start on the font's, not on a neighbour.
    const std::vector<TFontStyles> styles = {TFontStyles{}, TFontStyles{TFontStyle::fsBold},
                                             TFontStyles{TFontStyle::fsItalic},
                                             TFontStyles{TFontStyle::fsBold, TFontStyle::fsItalic}};
    for (const TFontStyles& style : styles) {
        SCOPED_TRACE(style.bits);
        TFontDialog font(nullptr);
        font.Font()->SetName("Tahoma");
        font.Font()->SetHeight(-13);
        font.Font()->SetStyle(style);
        EdtAcceptNext<QFontDialog>([](QFontDialog*) {});
        ASSERT_TRUE(font.Execute());
        EXPECT_EQ(font.Font()->Name(), "Tahoma");
        EXPECT_EQ(font.Font()->Height(), -13);
        EXPECT_EQ(font.Font()->Style(), style);
    }
}

} // namespace
