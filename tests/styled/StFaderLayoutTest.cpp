#include "styled/StProgressBar.h"
#include "styled/StTrackBar.h"
#include "styled/StyledClasses.h"

#include "platform/gui/Forms.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {

// The faders and the progress gauge as the window layouts hold them.
TEST(StFaderLayoutTest, FaderAndGaugeLoadFromALayout) {
    RegisterStyledClasses();
    TForm form(nullptr);
    int changes = 0;
    auto errors = form.LoadLayoutText(R"(object fmFaders: TForm
  object isGeqCh01InA: TStTrackBar
    Left = 8
    Top = 4
    Width = 26
    Height = 193
    Tag = 1
    BorderColor = clNone
    Color = clNone
    Max = 240
    Orientation = trVertical
    PageSize = 6
    Position = 120
    ShowFocus = True
    Slider.BorderColor = $00A4A0A0
    Slider.Size = 3
    TickMark.Style = tsNone
    Thumb.Shape = tsPointer
    Thumb.Size = 16
    Thumb.Width = 29
    TrackHint = False
  end
  object ProgressBar: TStProgressBar
    Left = 12
    Top = 14
    Width = 431
    Height = 41
    Font.Height = -13
    Level0ColorTo = 14811105
    Level1Perc = 70
    Level2Perc = 90
    Position = 0
    ShowBorder = True
  end
end
)");
    EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors.front());
    auto* f = dynamic_cast<TStTrackBar*>(form.FindComponent("isGeqCh01InA"));
    ASSERT_NE(f, nullptr);
    f->OnChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(f->Width(), 26); // the orientation read from a layout does not swap the bounds
    EXPECT_EQ(f->Height(), 193);
    EXPECT_EQ(f->Position(), 120);
    EXPECT_EQ(f->GetThumbRect(), Rect(6, 82, 22, 111));
    EXPECT_EQ(f->Slider()->BorderColor(), 0xA4A0A0);
    f->SetPosition(60);
    EXPECT_EQ(changes, 1);

    auto* bar = dynamic_cast<TStProgressBar*>(form.FindComponent("ProgressBar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->Position(), 0);
    EXPECT_EQ(bar->PercentageFont()->Height(), -13);
    EXPECT_EQ(bar->PercentageFont()->Name(), "Verdana");
    EXPECT_EQ(bar->Level0ColorTo(), 14811105);
}

} // namespace
