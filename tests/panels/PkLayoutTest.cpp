// The panel, label, combo box and LED classes come from layouts with their declared defaults, old
// layouts' obsolete entries are read and never written back, and a form of them renders as expected.

#include "panels/PanelClasses.h"
#include "panels/PkComboBox.h"
#include "panels/PkLabel.h"
#include "panels/PkPanel.h"
#include "panels/led/LdDemoButton.h"
#include "panels/led/LdPowerButton.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Layout.h"

#include <gtest/gtest.h>

#include <QDir>

using namespace kv;

namespace {

const char* const kLayout = R"(object fmPack: TForm
  Width = 420
  Height = 200
  Color = $00303030
  object pkgEq: TPkGroupBox
    Left = 8
    Top = 8
    Width = 400
    Height = 180
    GroupStyle = gsCustom
    Transparent = True
    UseGradients = True
    object pnlBands: TPkPanel
      Left = 6
      Top = 6
      Width = 200
      Height = 80
      BorderOuter = fsFlatRounded
      Color = $00DFFFFF
      Caption = "Panel"
      FrameSides = [sdLeft]
      ThemeAware = False
    end
    object lbBand: TPkLabel
      Left = 220
      Top = 10
      Caption = "Band 1"
      TextStyle = tsRaised
      BorderOuter = fsFlatBold
      Transparent = True
    end
    object cbSlope: TPkComboBox
      Left = 220
      Top = 50
      Width = 60
      Height = 22
      Color = $00FFFFDF
      FlatButtons = True
      Items = ["BW -6", "LK -48"]
      ItemIndex = 1
      FrameFlat = True
    end
    object ldbShowInA: TLdPowerButton
      Left = 6
      Top = 100
      Width = 47
      Height = 16
      Color = clBlack
      OutlineWidth = 0
      BevelWidth = 0
      Caption = "InA"
      Font.Color = clAqua
      Font.Name = "Tahoma"
      Font.Height = -11
      Palette.Low = clOlive
      Palette.High = clYellow
      Active = True
      Version = "9.9"
    end
    object btnReset: TLdDemoButton
      Left = 70
      Top = 100
      Width = 65
      Height = 17
      Color = clBlack
      BevelWidth = 1
      Caption = "Reset"
      FontLeave.Color = clSilver
      FontLeave.Height = -11
      FontLeave.Style = []
    end
    object cbEdit: TPkComboBox
      Left = 300
      Top = 50
      Width = 70
      Height = 22
      Items = ["BW -6", "LK -48"]
      ItemIndex = 0
      FrameVisible = True
    end
  end
  object fcFrames: TPkFrameController
    FrameVisible = True
  end
end
)";

} // namespace

TEST(PkLayoutTest, ClassesLoadWithDefaultsAndObsoleteEntries) {
    RegisterPanelClasses();
    TForm form(nullptr);
    std::vector<std::string> problems = ReadLayout(kLayout, form);
    EXPECT_TRUE(problems.empty()) << (problems.empty() ? "" : problems.front());
    auto* g = dynamic_cast<TPkGroupBox*>(form.FindComponent("pkgEq"));
    auto* p = dynamic_cast<TPkPanel*>(form.FindComponent("pnlBands"));
    auto* l = dynamic_cast<TPkLabel*>(form.FindComponent("lbBand"));
    auto* cb = dynamic_cast<TPkComboBox*>(form.FindComponent("cbSlope"));
    auto* led = dynamic_cast<TLdPowerButton*>(form.FindComponent("ldbShowInA"));
    auto* fc = dynamic_cast<TPkFrameController*>(form.FindComponent("fcFrames"));
    ASSERT_TRUE(g && p && l && cb && led && fc);
    EXPECT_EQ(g->VisualStyle(), TPkVisualStyle::vsGradient) << "UseGradients = True of old layouts";
    EXPECT_EQ(p->BorderSides(), AllSides) << "an old FrameSides entry is dropped";
    EXPECT_EQ(cb->ItemIndex(), 1);
    EXPECT_TRUE(cb->FrameHotTrack());
    EXPECT_EQ(cb->FrameStyle(), TFrameStyleEx::fsStatus);
    EXPECT_EQ(cb->FrameHotStyle(), TFrameStyleEx::fsLowered);
    EXPECT_EQ(led->Version(), "1.4.5") << "the version read from a layout is ignored";
    EXPECT_TRUE(led->Active());
    EXPECT_TRUE(fc->FrameVisible());

    const std::string written = WriteLayout(form);
    for (const char* absent : {"UseGradients", "ThemeAware", "FrameFlat", "Version", "LedWidth", "Spacing"})
        EXPECT_EQ(written.find(absent), std::string::npos) << absent;
    EXPECT_NE(written.find("VisualStyle = vsGradient"), std::string::npos);
    EXPECT_NE(written.find("Palette.Low"), std::string::npos) << "the palette has no default: always stored";

    // Defaults of a fresh group box as a band table keeps them.
    TPkGroupBox fresh(nullptr);
    EXPECT_EQ(fresh.Height(), 105);
    EXPECT_EQ(fresh.GroupStyle(), TPkGroupBoxStyle::gsFlat);
    EXPECT_EQ(fresh.Alignment(), TAlignment::taLeftJustify);
    EXPECT_EQ(fresh.AlignmentVertical(), TAlignmentVertical::avTop);
    EXPECT_EQ(fresh.BorderOuter(), TFrameStyleEx::fsNone);

    // A look at the whole form: written out for the developer when asked.
    form.SetBounds(0, 0, 420, 200);
    QImage img = form.RenderToImage();
    EXPECT_FALSE(img.isNull());
    if (const char* dir = std::getenv("KV_SCREENSHOT_DIR"))
        img.save(QDir(dir).filePath("pk-layout-form.png"));
}
