#pragma once
// The program's splash instance ("asScreen" of the main window) as its layout must set it, value by
// value in the layout's own text, and a check of a splash read from a layout against it.

#include "platform/core/Properties.h"
#include "styled/StSmoothSplashScreen.h"

#include <gtest/gtest.h>

#include <string>

namespace kvtest {

struct ProgramSplashValue {
    const char* property;
    const char* text;
};

// Everything not listed stays at its default.
inline const ProgramSplashValue kProgramSplashValues[] = {
    {"BasicProgramInfo.ProgramName.Text", "\"Korvane DSP Processor Editor\""},
    {"BasicProgramInfo.ProgramName.Font.Name", "\"Tahoma\""},
    {"BasicProgramInfo.ProgramName.Font.Height", "-29"},
    {"BasicProgramInfo.ProgramName.Font.Style", "[fsBold]"},
    {"BasicProgramInfo.ProgramName.Font.Charset", "0"},
    {"BasicProgramInfo.ProgramName.Font.Color", "clWhite"},
    {"BasicProgramInfo.ProgramName.Location", "ilCustom"},
    {"BasicProgramInfo.ProgramName.PosX", "60"},
    {"BasicProgramInfo.ProgramName.PosY", "130"},
    {"BasicProgramInfo.ProgramName.HatchStyle", "HatchStyleDivot"},
    {"BasicProgramInfo.ProgramName.ColorStart", "clWhite"},
    {"BasicProgramInfo.ProgramName.ColorEnd", "clWhite"},
    {"BasicProgramInfo.ProgramVersion.Text", "\"V1.0\""},
    {"BasicProgramInfo.ProgramVersion.Font.Name", "\"Tahoma\""},
    {"BasicProgramInfo.ProgramVersion.Font.Height", "-19"},
    {"BasicProgramInfo.ProgramVersion.Location", "ilCustom"},
    {"BasicProgramInfo.ProgramVersion.PosX", "520"},
    {"BasicProgramInfo.ProgramVersion.PosY", "140"},
    {"BasicProgramInfo.ProgramVersion.HatchStyle", "HatchStyleDivot"},
    {"BasicProgramInfo.ProgramVersion.ColorStart", "clWhite"},
    {"BasicProgramInfo.ProgramVersion.ColorEnd", "clWhite"},
    {"BasicProgramInfo.CopyRight", "\"\""},
    {"BasicProgramInfo.CopyRightFont.Name", "\"MS Sans Serif\""},
    {"BasicProgramInfo.CopyRightFont.Height", "-11"},
    {"BasicProgramInfo.CopyRightFont.Color", "$000262C1"},
    {"BasicProgramInfo.CopyRightLocation", "ilCustom"},
    {"BasicProgramInfo.CopyRightPosX", "340"},
    {"BasicProgramInfo.CopyRightPosY", "340"},
    {"Fill.Color", "clNone"},
    {"Fill.ColorTo", "clNone"},
    {"Fill.ColorMirror", "clNone"},
    {"Fill.ColorMirrorTo", "clNone"},
    {"Fill.BorderColor", "clNone"},
    {"Fill.PicturePosition", "ppBottomCenter"},
    {"Fill.Opacity", "249"},
    {"Fill.Rounding", "0"},
    {"Fill.ShadowOffset", "0"},
    {"Fill.Glow", "gmNone"},
    {"TimeOut", "100"},
    {"ProgressBar.BackGroundFill.Color", "clNone"},
    {"ProgressBar.BackGroundFill.ColorMirror", "clNone"},
    {"ProgressBar.BackGroundFill.ColorMirrorTo", "clNone"},
    {"ProgressBar.BackGroundFill.BorderColor", "clGray"},
    {"ProgressBar.BackGroundFill.Rounding", "0"},
    {"ProgressBar.BackGroundFill.ShadowOffset", "0"},
    {"ProgressBar.BackGroundFill.Glow", "gmNone"},
    {"ProgressBar.ProgressFill.Color", "clWhite"},
    {"ProgressBar.ProgressFill.ColorTo", "$00FFCC99"},
    {"ProgressBar.ProgressFill.ColorMirror", "clNone"},
    {"ProgressBar.ProgressFill.ColorMirrorTo", "clNone"},
    {"ProgressBar.ProgressFill.BorderColor", "clNone"},
    {"ProgressBar.ProgressFill.Rounding", "0"},
    {"ProgressBar.ProgressFill.ShadowOffset", "0"},
    {"ProgressBar.ProgressFill.Glow", "gmNone"},
    {"ProgressBar.Font.Name", "\"Tahoma\""},
    {"ProgressBar.Font.Height", "-11"},
    {"ProgressBar.ProgressFont.Name", "\"Tahoma\""},
    {"ProgressBar.ProgressFont.Height", "-11"},
    {"ProgressBar.ValueFormat", "\"%.0f%%\""},
    {"ProgressBar.Left", "160"},
    {"ProgressBar.Top", "220"},
    {"ProgressBar.Height", "12"},
    {"ProgressBar.Step", "10"},
    {"ProgressBar.Maximum", "100"},
    {"ProgressBar.Visible", "False"},
    {"ListItemsSettings.Rect.Left", "180"},
    {"ListItemsSettings.Rect.Top", "210"},
    {"ListItemsSettings.Rect.Width", "500"},
    {"ListItemsSettings.Rect.Height", "250"},
    {"ListItemsSettings.HTMLFont.Name", "\"Tahoma\""},
    {"ListItemsSettings.HTMLFont.Height", "-11"},
    {"DisplayStyle", "dsNormal"},
    {"Version", "\"1.2.0.0\""},
};

// The one loading line of the list.
inline const char* const kProgramSplashLine =
    R"(<FONT size="20" color="clWhite">Loading Program....</FONT><br>)";

// Checks every value of the table, the lists and the picture (a 620 x 350 PNG) of a splash read from a
// layout.
inline void ExpectProgramSplashValues(kv::TStSmoothSplashScreen& splash) {
    // Property texts read strings bare and colours given in hex as decimal numbers.
    const auto readBack = [](const std::string& layoutText) {
        if (layoutText.size() >= 2 && layoutText.front() == '"')
            return layoutText.substr(1, layoutText.size() - 2);
        if (!layoutText.empty() && layoutText.front() == '$')
            return std::to_string(std::stoul(layoutText.substr(1), nullptr, 16));
        return layoutText;
    };
    for (const ProgramSplashValue& v : kProgramSplashValues)
        EXPECT_EQ(kv::GetPropText(splash, v.property).value_or("<no such property>"), readBack(v.text))
            << v.property;
    EXPECT_EQ(splash.Items()->Count(), 0);
    EXPECT_EQ(splash.TopLayerItems()->Count(), 0);
    ASSERT_EQ(splash.ListItems()->Count(), 1);
    EXPECT_EQ(splash.ListItems()->Items(0)->HTMLText(), kProgramSplashLine);
    const kv::TStGDIPPicture* picture = splash.Fill()->Picture();
    EXPECT_EQ(picture->Width(), 620);
    EXPECT_EQ(picture->Height(), 350);
    const std::string& bytes = picture->Data();
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1A\n", 8)) << "a PNG picture";
}

} // namespace kvtest
