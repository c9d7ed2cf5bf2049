#include "plot/gPlotLegend.h"

#include "plot/gDraw.h"
#include "plot/gPlotAxis.h"
#include "plot/gPlotChannel.h"
#include "plot/gPlotManagers.h"
#include "plot/gPropText.h"

#include <algorithm>

namespace kv {

std::vector<std::string> EnumIdents(TgPlotLegendChannelNameColorStyle) {
    return {"iplcncsFont", "iplcncsChannelColor", "iplcncsXAxisFontColor", "iplcncsYAxisFontColor"};
}

KV_REGISTER_CLASS(TgPlotLegendButton, TgPlotButton, b) {}

KV_REGISTER_CLASS(TgPlotLegend, TgPlotLayoutObject, b) {
    using C = TgPlotLegend;
    b.Prop("MarginLeft", &C::MarginLeft, &C::SetMarginLeft);
    b.Prop("MarginRight", &C::MarginRight, &C::SetMarginRight);
    b.Prop("MarginTop", &C::MarginTop, &C::SetMarginTop);
    b.Prop("MarginBottom", &C::MarginBottom, &C::SetMarginBottom);
    b.Prop("BackGroundColor", &C::BackGroundColor, &C::SetBackGroundColor)
        .Default(0x808080)
        .Idents(ColorIdents(), "TColor");
    b.Prop("BackGroundTransparent", &C::BackGroundTransparent, &C::SetBackGroundTransparent).Default(true);
    b.Prop("SelectedItemBackGroundColor", &C::SelectedItemBackGroundColor, &C::SetSelectedItemBackGroundColor)
        .Default(0x00FFFF)
        .Idents(ColorIdents(), "TColor");
    b.Prop("SelectedItemFont", &C::SelectedItemFont, &C::SetSelectedItemFont);
    b.Prop("Font", &C::Font, &C::SetFont);
    b.Prop("ColumnTitlesFont", &C::ColumnTitlesFont, &C::SetColumnTitlesFont);
    b.Prop("ShowColumnLine", &C::ShowColumnLine, &C::SetShowColumnLine).Default(true);
    b.Prop("ShowColumnMarker", &C::ShowColumnMarker, &C::SetShowColumnMarker).Default(false);
    b.Prop("ShowColumnXAxisTitle", &C::ShowColumnXAxisTitle, &C::SetShowColumnXAxisTitle).Default(false);
    b.Prop("ShowColumnYAxisTitle", &C::ShowColumnYAxisTitle, &C::SetShowColumnYAxisTitle).Default(false);
    b.Prop("ShowColumnXValue", &C::ShowColumnXValue, &C::SetShowColumnXValue).Default(false);
    b.Prop("ShowColumnYValue", &C::ShowColumnYValue, &C::SetShowColumnYValue).Default(false);
    b.Prop("ShowColumnYMax", &C::ShowColumnYMax, &C::SetShowColumnYMax).Default(false);
    b.Prop("ShowColumnYMin", &C::ShowColumnYMin, &C::SetShowColumnYMin).Default(false);
    b.Prop("ShowColumnYMean", &C::ShowColumnYMean, &C::SetShowColumnYMean).Default(false);
    b.Prop("CaptionColumnTitle", &C::CaptionColumnTitle, &C::SetCaptionColumnTitle);
    b.Prop("CaptionColumnXAxisTitle", &C::CaptionColumnXAxisTitle, &C::SetCaptionColumnXAxisTitle);
    b.Prop("CaptionColumnYAxisTitle", &C::CaptionColumnYAxisTitle, &C::SetCaptionColumnYAxisTitle);
    b.Prop("CaptionColumnXValue", &C::CaptionColumnXValue, &C::SetCaptionColumnXValue);
    b.Prop("CaptionColumnYValue", &C::CaptionColumnYValue, &C::SetCaptionColumnYValue);
    b.Prop("CaptionColumnYMax", &C::CaptionColumnYMax, &C::SetCaptionColumnYMax);
    b.Prop("CaptionColumnYMin", &C::CaptionColumnYMin, &C::SetCaptionColumnYMin);
    b.Prop("CaptionColumnYMean", &C::CaptionColumnYMean, &C::SetCaptionColumnYMean);
    b.Prop("ColumnSpacing", &C::ColumnSpacing, &C::SetColumnSpacing);
    b.Prop("RowSpacing", &C::RowSpacing, &C::SetRowSpacing);
    b.Prop("WrapRowSpacingMin", &C::WrapRowSpacingMin, &C::SetWrapRowSpacingMin);
    b.Prop("WrapColDesiredCount", &C::WrapColDesiredCount, &C::SetWrapColDesiredCount);
    b.Prop("WrapColAutoCountEnabled", &C::WrapColAutoCountEnabled, &C::SetWrapColAutoCountEnabled);
    b.Prop("WrapColAutoCountMax", &C::WrapColAutoCountMax, &C::SetWrapColAutoCountMax);
    b.Prop("WrapColSpacingMin", &C::WrapColSpacingMin, &C::SetWrapColSpacingMin);
    b.Prop("WrapColSpacingAuto", &C::WrapColSpacingAuto, &C::SetWrapColSpacingAuto);
    b.Prop("WrapRowDesiredCount", &C::WrapRowDesiredCount, &C::SetWrapRowDesiredCount);
    b.Prop("WrapRowAutoCountEnabled", &C::WrapRowAutoCountEnabled, &C::SetWrapRowAutoCountEnabled);
    b.Prop("WrapRowAutoCountMax", &C::WrapRowAutoCountMax, &C::SetWrapRowAutoCountMax);
    b.Prop("WrapRowSpacingAuto", &C::WrapRowSpacingAuto, &C::SetWrapRowSpacingAuto);
    b.Prop("ColumnTitlesVisible", &C::ColumnTitlesVisible, &C::SetColumnTitlesVisible).Default(false);
    b.Prop("ChannelNameMaxWidth", &C::ChannelNameMaxWidth, &C::SetChannelNameMaxWidth);
    b.Prop("ChannelNameColorStyle", &C::ChannelNameColorStyle, &C::SetChannelNameColorStyle)
        .Default(TgPlotLegendChannelNameColorStyle::iplcncsFont);
    b.Prop("LineColumnWidth", &C::LineColumnWidth, &C::SetLineColumnWidth).Default(13);
    // The stream default is the height a new legend has, so that every other height, 13 included,
    // is written and comes back as it was.
    b.Prop("LineColumnHeight", &C::LineColumnHeight, &C::SetLineColumnHeight).Default(3);
}

namespace {

const bool kLegendClassRegistered = (gRegisterPlotObjectClassOf<TgPlotLegend>("TgPlotLegend"), true);

bool LegendInside(const TRect& r, int x, int y) {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

// Characters of a UTF-8 text.
int LegendCharCount(const std::string& text) {
    int n = 0;
    for (unsigned char c : text)
        n += (c & 0xC0) != 0x80;
    return n;
}

int LegendCeilDiv(int a, int b) {
    return b <= 0 ? a : (a + b - 1) / b;
}

} // namespace

// ---------------------------------------------------------------------------------------------------

TgPlotLegendButton::TgPlotLegendButton(TComponent* owner, bool up) : TgPlotButton(owner), FUp(up) {
    SetName(up ? "PlotLegendUpButton" : "PlotLegendDownButton");
}

void TgPlotLegendButton::Draw(TCanvas& canvas, TColor) {
    gDrawScrollButton(canvas, DrawRect(), MouseDown() || Down(), Enabled(), FUp);
}

// ---------------------------------------------------------------------------------------------------

TgPlotLegend::TgPlotLegend(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                           TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotLayoutObject(owner, std::move(onChange), std::move(onInsert), std::move(onRemove),
                         std::move(onRename)) {
    FHorizontal = false; // a column beside the data view
    FUpButton = std::make_unique<TgPlotLegendButton>(owner, true);
    FDownButton = std::make_unique<TgPlotLegendButton>(owner, false);
    for (TgPlotLegendButton* button : {FUpButton.get(), FDownButton.get()}) {
        button->SetTimerEnabled(true);
        button->SetVisible(false);
        button->OnInvalidate = [this](TObject*) { DoInvalidateNow(); };
    }
    FUpButton->OnClick = [this](TObject*) { UpClick(); };
    FDownButton->OnClick = [this](TObject*) { DownClick(); };

    FFont = std::make_unique<TFont>();
    FFont->SetColor(clWhite);
    FSelectedItemFont = std::make_unique<TFont>();
    FSelectedItemFont->SetColor(clBlack);
    FColumnTitlesFont = std::make_unique<TFont>();
    FColumnTitlesFont->SetColor(clAqua);
    FColumnTitlesFont->SetStyle({TFontStyle::fsBold});
    for (TFont* font : {FFont.get(), FSelectedItemFont.get(), FColumnTitlesFont.get()})
        font->OnChange = [this](TObject*) { DoChange(); };
}

TgPlotLegend::~TgPlotLegend() {
    NotifyRemove();
    for (TFont* font : {FFont.get(), FSelectedItemFont.get(), FColumnTitlesFont.get()})
        font->OnChange = nullptr;
}

IgPlotLegendHost* TgPlotLegend::LegendHost() const {
    return dynamic_cast<IgPlotLegendHost*>(FOwner);
}

void TgPlotLegend::SetWrapColDesiredCount(int v) {
    SetIntegerProperty(std::max(v, 1), FWrapColDesiredCount, &TgPlotObject::DoChange);
}

void TgPlotLegend::SetWrapRowDesiredCount(int v) {
    SetIntegerProperty(std::max(v, 1), FWrapRowDesiredCount, &TgPlotObject::DoChange);
}

void TgPlotLegend::SetChannelNameColorStyle(TgPlotLegendChannelNameColorStyle v) {
    if (v == FChannelNameColorStyle)
        return;
    FChannelNameColorStyle = v;
    DoChange();
}

const TgPlotLegendItem& TgPlotLegend::Item(int index) const {
    if (index < 0 || index >= ItemCount())
        throw EKvError("List index out of bounds (" + std::to_string(index) + ")");
    return *FItemList[static_cast<std::size_t>(index)];
}

void TgPlotLegend::UpClick() {
    if (FItemViewStartIndex > 0)
        SetViewStartIndex(FItemViewStartIndex - 1);
}

void TgPlotLegend::DownClick() {
    // Only while entries below the window remain: a held button stops at the last entry even when no
    // new layout ran between its repeats.
    const int count = ItemCount();
    const int capacity = FActualWrapRowCount * FActualWrapColCount;
    if (FItemViewStartIndex < count - 1 && FItemViewStartIndex + capacity < count)
        SetViewStartIndex(FItemViewStartIndex + 1);
}

// --- texts

std::string TgPlotLegend::NameText(TgPlotChannelCustom* channel) {
    if (gTrimText(channel->TitleText()).empty())
        return channel->Name();
    return channel->TitleText();
}

namespace {

std::string LegendAxisTitle(TgPlotLegend& legend, TgPlotAxis* axis) {
    if (!axis)
        return legend.TranslateString("None");
    if (gTrimText(axis->Title()).empty())
        return axis->Name();
    return axis->Title();
}

} // namespace

std::string TgPlotLegend::XAxisTitleText(TgPlotChannelCustom* channel) {
    return LegendAxisTitle(*this, channel->XAxis());
}

std::string TgPlotLegend::YAxisTitleText(TgPlotChannelCustom* channel) {
    return LegendAxisTitle(*this, channel->YAxis());
}

std::string TgPlotLegend::XValueText(TgPlotChannelCustom* channel) {
    if (channel->Count() == 0)
        return TranslateString("Empty");
    TgPlotAxis* axis = channel->XAxis();
    if (!axis)
        return TranslateString("N/A");
    return axis->GetLegendText(channel->GetDataX(channel->Count() - 1));
}

std::string TgPlotLegend::YValueText(TgPlotChannelCustom* channel) {
    if (channel->Count() == 0)
        return TranslateString("Empty");
    TgPlotAxis* axis = channel->YAxis();
    if (!axis)
        return TranslateString("N/A");
    return axis->GetLegendText(channel->GetDataY(channel->Count() - 1));
}

namespace {

std::string LegendStatisticText(TgPlotLegend& legend, TgPlotChannelCustom* channel, double value) {
    if (channel->Count() == 0)
        return legend.TranslateString("Empty");
    TgPlotAxis* axis = channel->YAxis();
    if (!axis)
        return legend.TranslateString("N/A");
    return axis->GetLegendText(value);
}

} // namespace

std::string TgPlotLegend::YMaxText(TgPlotChannelCustom* channel) {
    return LegendStatisticText(*this, channel, channel->RunningYMax());
}

std::string TgPlotLegend::YMinText(TgPlotChannelCustom* channel) {
    return LegendStatisticText(*this, channel, channel->RunningYMin());
}

std::string TgPlotLegend::YMeanText(TgPlotChannelCustom* channel) {
    return LegendStatisticText(*this, channel, channel->RunningYMean());
}

// --- layout

bool TgPlotLegend::CalculateLayout(TCanvas& canvas) {
    // 1. Units of the entries' font.
    canvas.Font()->Assign(FFont.get());
    const int w0 = gTextWidth(canvas, "0");
    const int h0 = gTextHeight(canvas, "0");
    const int marginLeft = gRoundSaturated(w0 * FMarginLeft);
    const int marginRight = gRoundSaturated(w0 * FMarginRight);
    const int marginTop = gRoundSaturated(h0 * FMarginTop);
    const int marginBottom = gRoundSaturated(h0 * FMarginBottom);
    FInnerRect = {FLeft + marginLeft, FTop + marginTop, FRight - marginRight, FBottom - marginBottom};
    FColumnSpacingPixels = gRoundSaturated(w0 * FColumnSpacing);
    FRowSpacingPixels = gRoundSaturated(h0 * FWrapRowSpacingMin);
    FWrapSpacingPixels = gRoundSaturated(h0 * FWrapColSpacingMin);
    FItemHeight = h0;
    FMaxItemHeight = 0;
    FColumnWidth = 0;
    FColumnTitlesHeightPixels = FColumnTitlesMarginPixels = 0;
    FMaxWidthLine = FMaxWidthMarker = FMaxWidthChannelLabel = FMaxWidthXName = FMaxWidthYName = 0;
    FMaxWidthXValue = FMaxWidthYValue = FMaxWidthYMax = FMaxWidthYMin = FMaxWidthYMean = 0;

    // 2. The value columns also show while a data cursor reads every channel.
    FShowColumnXValue2 = FShowColumnXValue || FCursorAllChannels;
    FShowColumnYValue2 = FShowColumnYValue || FCursorAllChannels;

    // 3. One entry per channel shown.
    FItemList.clear();
    FColumnList.clear();
    if (IgPlotLegendHost* host = LegendHost()) {
        const int channels = host->ChannelCount();
        for (int i = 0; i < channels; ++i) {
            TgPlotChannelCustom* channel = host->GetChannelObject(i);
            if (channel && channel->VisibleInLegend()) {
                auto item = std::make_unique<TgPlotLegendItem>();
                item->Channel = channel;
                FItemList.push_back(std::move(item));
            }
        }
    }
    const int count = ItemCount();
    if (count == 0) {
        // Nothing is drawn, so no button may answer the mouse either.
        FUpButton->SetVisible(false);
        FDownButton->SetVisible(false);
        FItemViewStopIndex = -1;
        return false;
    }

    // 4.
    FItemViewStartIndex = std::clamp(FItemViewStartIndex, 0, count - 1);

    // 5. Name column.
    if (FChannelNameMaxWidth != 0) {
        FMaxWidthChannelLabel = gRoundSaturated(w0 * FChannelNameMaxWidth);
        for (auto& item : FItemList) {
            const std::string name = NameText(item->Channel);
            canvas.Font()->Assign(FFont.get());
            const int plain = gTextHeightWrapped(canvas, name, FMaxWidthChannelLabel);
            canvas.Font()->Assign(FSelectedItemFont.get());
            const int selected = gTextHeightWrapped(canvas, name, FMaxWidthChannelLabel);
            item->MaxHeight = std::max(plain, selected);
        }
    } else {
        for (auto& item : FItemList) {
            const std::string name = NameText(item->Channel);
            item->MaxHeight = h0;
            canvas.Font()->Assign(FFont.get());
            FMaxWidthChannelLabel = std::max(FMaxWidthChannelLabel, gTextWidthMultiLine(canvas, name));
            canvas.Font()->Assign(FSelectedItemFont.get());
            FMaxWidthChannelLabel = std::max(FMaxWidthChannelLabel, gTextWidthMultiLine(canvas, name));
        }
    }
    for (auto& item : FItemList)
        FMaxItemHeight = std::max(FMaxItemHeight, item->MaxHeight);

    // 6. Column titles: every shown column at least as wide as its caption.
    if (FColumnTitlesVisible) {
        canvas.Font()->Assign(FColumnTitlesFont.get());
        FColumnTitlesHeightPixels = gTextHeight(canvas, "0");
        FColumnTitlesMarginPixels = FColumnTitlesHeightPixels / 4;
        auto widen = [&](bool shown, int& width, const std::string& caption) {
            if (shown)
                width = std::max(width, canvas.TextWidth(TranslateString(caption)));
        };
        widen(true, FMaxWidthChannelLabel, FCaptionColumnTitle);
        widen(FShowColumnXName, FMaxWidthXName, FCaptionColumnXName);
        widen(FShowColumnYName, FMaxWidthYName, FCaptionColumnYName);
        widen(FShowColumnXValue2, FMaxWidthXValue, FCaptionColumnXValue);
        widen(FShowColumnYValue2, FMaxWidthYValue, FCaptionColumnYValue);
        widen(FShowColumnYMax, FMaxWidthYMax, FCaptionColumnYMax);
        widen(FShowColumnYMin, FMaxWidthYMin, FCaptionColumnYMin);
        widen(FShowColumnYMean, FMaxWidthYMean, FCaptionColumnYMean);
    }

    // 7.
    if (FShowColumnLine)
        FMaxWidthLine = FLineColumnWidth + 3;
    if (FShowColumnMarker)
        FMaxWidthMarker = FLineColumnWidth + 3;

    // 8. Text columns, in the entries' font.
    for (auto& item : FItemList) {
        TgPlotChannelCustom* channel = item->Channel;
        canvas.Font()->Assign(FFont.get());
        if (FShowColumnXName)
            FMaxWidthXName = std::max(FMaxWidthXName, canvas.TextWidth(XAxisTitleText(channel)));
        if (FShowColumnYName)
            FMaxWidthYName = std::max(FMaxWidthYName, canvas.TextWidth(YAxisTitleText(channel)));
        auto valueColumn = [&](bool shown, int& width, TgPlotAxis* axis, const std::string& cursorText,
                               const std::string& valueText) {
            if (!shown)
                return;
            if (FCursorAllChannels) {
                if (axis)
                    width = std::max(width, axis->GetCursorMinWidth(canvas, FFont.get()));
                width = std::max(width, LegendCharCount(cursorText) * w0);
            } else {
                if (axis)
                    width = std::max(width, axis->GetLegendMinWidth(canvas, FFont.get()));
                canvas.Font()->Assign(FFont.get());
                width = std::max(width, canvas.TextWidth(valueText));
            }
            canvas.Font()->Assign(FFont.get());
        };
        valueColumn(FShowColumnXValue2, FMaxWidthXValue, channel->XAxis(), channel->DataCursorXText(),
                    FCursorAllChannels ? std::string() : XValueText(channel));
        valueColumn(FShowColumnYValue2, FMaxWidthYValue, channel->YAxis(), channel->DataCursorYText(),
                    FCursorAllChannels ? std::string() : YValueText(channel));
        if (FShowColumnYMax)
            FMaxWidthYMax = std::max(FMaxWidthYMax, canvas.TextWidth(YMaxText(channel)));
        if (FShowColumnYMin)
            FMaxWidthYMin = std::max(FMaxWidthYMin, canvas.TextWidth(YMinText(channel)));
        if (FShowColumnYMean)
            FMaxWidthYMean = std::max(FMaxWidthYMean, canvas.TextWidth(YMeanText(channel)));
    }

    // 9. Column offsets.
    int offset = 0;
    auto place = [&](bool shown, int& start, int width) {
        start = offset;
        if (shown)
            offset += width + FColumnSpacingPixels;
    };
    place(FShowColumnLine, FColumnStartLine, FMaxWidthLine);
    place(FShowColumnMarker, FColumnStartMarker, FMaxWidthMarker);
    place(true, FColumnStartChannel, FMaxWidthChannelLabel);
    place(FShowColumnXName, FColumnStartXName, FMaxWidthXName);
    place(FShowColumnYName, FColumnStartYName, FMaxWidthYName);
    place(FShowColumnXValue2, FColumnStartXValue, FMaxWidthXValue);
    place(FShowColumnYValue2, FColumnStartYValue, FMaxWidthYValue);
    place(FShowColumnYMax, FColumnStartYMax, FMaxWidthYMax);
    place(FShowColumnYMin, FColumnStartYMin, FMaxWidthYMin);
    place(FShowColumnYMean, FColumnStartYMean, FMaxWidthYMean);
    FItemWidth = offset - FColumnSpacingPixels;

    // 10.
    FColumnTitlesRect = {FInnerRect.Left, FInnerRect.Top, FInnerRect.Right,
                         FInnerRect.Top + FColumnTitlesHeightPixels};
    FItemsRect = {FInnerRect.Left, FColumnTitlesRect.Bottom + FColumnTitlesMarginPixels, FInnerRect.Right,
                  FInnerRect.Bottom};

    // 11. Room.
    const int availableWidth = FItemsRect.Width() - (FHorizontal ? 25 : 0);
    const int columnStep = FItemWidth + FWrapSpacingPixels;
    const int rowStep = FMaxItemHeight + FRowSpacingPixels;
    const int fittingColumns =
        std::max(1, columnStep > 0 ? (availableWidth + FWrapSpacingPixels) / columnStep : 1);
    const int fittingRows =
        std::max(1, rowStep > 0 ? (FItemsRect.Height() + FRowSpacingPixels) / rowStep : 1);

    // 12. Counts. At least one wrap column is kept: a maximum of 0 would leave nothing to place the
    // entries in (and nothing to divide the entries by).
    int wrapColumns = FWrapColAutoCountEnabled ? FWrapColAutoCountMax : FWrapColDesiredCount;
    const int rowLimit = FWrapRowAutoCountEnabled ? FWrapRowAutoCountMax : FWrapRowDesiredCount;
    int rows = 0;
    if (FHorizontal) {
        wrapColumns = std::max(1, std::min(wrapColumns, fittingColumns));
        rows = FWrapRowAutoCountEnabled ? LegendCeilDiv(count, wrapColumns) : rowLimit;
        rows = std::min(rows, rowLimit);
        if (rows < 3 && rows * wrapColumns < count)
            rows = 3;
        if (rows == 0)
            wrapColumns = 0;
        else if (FWrapColAutoCountEnabled)
            wrapColumns = std::min(wrapColumns, LegendCeilDiv(count, rows));
    } else {
        if (FWrapColAutoCountEnabled)
            wrapColumns = LegendCeilDiv(count, fittingRows);
        wrapColumns = std::max(1, std::min(wrapColumns, FWrapColAutoCountMax));
        rows = std::min({fittingRows, count, rowLimit});
        if (rows < 3 && rows * wrapColumns < count)
            rows = 3;
    }
    FActualWrapColCount = wrapColumns;
    FActualWrapRowCount = rows;

    // 15 (decided before placing): whether the scroll buttons show; without them the window starts
    // at the first entry.
    const bool scrolling = rows * wrapColumns < count && Enabled();
    if (!scrolling)
        FItemViewStartIndex = 0;

    // 13. Placement.
    for (auto& item : FItemList)
        item->ARow = item->ACol = 0;
    int row = 1, column = 1, top = FItemsRect.Top, left = FInnerRect.Left;
    FColumnList.push_back(left);
    FItemViewStopIndex = count - 1;
    for (int i = FItemViewStartIndex; i < count; ++i) {
        if (row > rows) {
            ++column;
            row = 1;
            top = FItemsRect.Top;
            if (column > wrapColumns) {
                FItemViewStopIndex = i - 1;
                break;
            }
            left = FInnerRect.Left + (column - 1) * (FItemWidth + FWrapSpacingPixels);
            FColumnList.push_back(left);
        }
        TgPlotLegendItem& item = *FItemList[static_cast<std::size_t>(i)];
        item.ARow = row;
        item.ACol = column;
        item.ALeft = left;
        item.ATop = top;
        top += FMaxItemHeight + FRowSpacingPixels;
        ++row;
    }

    // 14. Required size.
    FRequiredWidth =
        wrapColumns * FItemWidth + (wrapColumns - 1) * FWrapSpacingPixels + marginLeft + marginRight;
    FRequiredHeight = marginTop + FColumnTitlesHeightPixels + FColumnTitlesMarginPixels +
                      rows * (FMaxItemHeight + FRowSpacingPixels) - FRowSpacingPixels + marginBottom;

    // 15. Scroll buttons.
    if (scrolling) {
        FUpButton->SetVisible(true);
        FDownButton->SetVisible(true);
        FUpButton->SetDrawRect(
            {FItemsRect.Right - 17, FItemsRect.Top, FItemsRect.Right, FItemsRect.Top + 17});
        FDownButton->SetDrawRect(
            {FItemsRect.Right - 17, FItemsRect.Bottom - 17, FItemsRect.Right, FItemsRect.Bottom});
        FRequiredWidth += 25;
    } else {
        FUpButton->SetVisible(false);
        FDownButton->SetVisible(false);
    }

    // 16. Wrap columns spread over the width.
    if (FWrapColSpacingAuto && FHorizontal && wrapColumns > 1) {
        const int gap =
            static_cast<int>((FItemsRect.Width() - 25 - wrapColumns * FItemWidth) / (wrapColumns - 1));
        for (auto& item : FItemList)
            if (item->ACol > 0)
                item->ALeft = FInnerRect.Left + (item->ACol - 1) * (FItemWidth + gap);
        for (std::size_t c = 0; c < FColumnList.size(); ++c)
            FColumnList[c] = FInnerRect.Left + static_cast<int>(c) * (FItemWidth + gap);
    }

    // 17. Rows spread over the height.
    if (FWrapRowSpacingAuto && !FHorizontal) {
        int firstColumnRows = 0;
        for (auto& item : FItemList)
            firstColumnRows += item->ACol == 1;
        if (firstColumnRows > 1) {
            FRowSpacingPixels =
                (FItemsRect.Height() - FMaxItemHeight * firstColumnRows) / (firstColumnRows - 1);
            const int titles =
                FColumnTitlesVisible ? FColumnTitlesHeightPixels + FColumnTitlesMarginPixels : 0;
            for (auto& item : FItemList)
                if (item->ARow > 0)
                    item->ATop =
                        FInnerRect.Top + (item->ARow - 1) * (FMaxItemHeight + FRowSpacingPixels) + titles;
        }
    }

    // 18.
    FUpButton->SetEnabled(FItemViewStartIndex > 0);
    FDownButton->SetEnabled(FItemViewStopIndex < count - 1);
    return true;
}

int TgPlotLegend::GetRequiredWidth(TCanvas& canvas) {
    CalculateLayout(canvas);
    return FHorizontal ? FRequiredHeight : FRequiredWidth;
}

// --- drawing

void TgPlotLegend::DrawLineSample(TCanvas& canvas, TgPlotChannelCustom* channel, int x, int y) {
    canvas.Pen()->SetColor(channel->Color());
    canvas.Pen()->SetWidth(1);
    const TgPlotLineStyle style = channel->TraceLineStyle();
    const int h = FLineColumnHeight;
    std::vector<std::pair<int, int>> segments;
    if (FLineColumnWidth == 13) {
        // Fixed dashes: a pen's own pattern would not show its style in so short a stroke.
        canvas.Pen()->SetStyle(TPenStyle::psSolid);
        switch (style) {
        case TgPlotLineStyle::iplsSolid:
            segments = {{0, 13}};
            break;
        case TgPlotLineStyle::iplsDash:
            segments = {{0, 5}, {8, 13}};
            break;
        case TgPlotLineStyle::iplsDot:
            segments = {{0, 2}, {4, 6}, {8, 10}};
            break;
        case TgPlotLineStyle::iplsDashDot:
            segments = {{0, 5}, {7, 9}};
            break;
        case TgPlotLineStyle::iplsDashDotDot:
            segments = {{0, 5}, {7, 9}, {11, 13}};
            break;
        }
    } else {
        canvas.Pen()->SetStyle(gPenStyleOf(style));
        segments = {{0, FLineColumnWidth}};
    }
    for (int offset = -(h / 2); offset <= -(h / 2) + h; ++offset)
        for (const auto& [from, to] : segments) {
            canvas.MoveTo(x + from, y + offset);
            canvas.LineTo(x + to, y + offset);
        }
}

void TgPlotLegend::DrawColumnTitles(TCanvas& canvas) {
    canvas.Font()->Assign(FColumnTitlesFont.get());
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    const TColor color = FColumnTitlesFont->Color();
    const TRect t = FColumnTitlesRect;
    for (int left : FColumnList) {
        auto title = [&](bool shown, int start, int width, const std::string& caption, std::uint16_t align) {
            if (!shown)
                return;
            TRect r{left + start, t.Top, left + start + width, t.Bottom};
            gDrawText(canvas, TranslateString(caption), r, align | gtoSingleLine | gtoVCenter | gtoNoClip,
                      true, color);
        };
        title(true, FColumnStartChannel, FMaxWidthChannelLabel, FCaptionColumnTitle, gtoLeft);
        title(FShowColumnXName, FColumnStartXName, FMaxWidthXName, FCaptionColumnXName, gtoCenter);
        title(FShowColumnYName, FColumnStartYName, FMaxWidthYName, FCaptionColumnYName, gtoCenter);
        title(FShowColumnXValue2, FColumnStartXValue, FMaxWidthXValue, FCaptionColumnXValue, gtoRight);
        title(FShowColumnYValue2, FColumnStartYValue, FMaxWidthYValue, FCaptionColumnYValue, gtoRight);
        title(FShowColumnYMax, FColumnStartYMax, FMaxWidthYMax, FCaptionColumnYMax, gtoRight);
        title(FShowColumnYMin, FColumnStartYMin, FMaxWidthYMin, FCaptionColumnYMin, gtoRight);
        title(FShowColumnYMean, FColumnStartYMean, FMaxWidthYMean, FCaptionColumnYMean, gtoRight);
    }
}

void TgPlotLegend::DrawItem(TCanvas& canvas, const TgPlotLegendItem& item, TColor backGroundColor) {
    TgPlotChannelCustom* channel = item.Channel;
    const int left = item.ALeft, top = item.ATop;
    const int middle = top + FItemHeight / 2;
    const TRect nameRect{left + FColumnStartChannel, top,
                         left + FColumnStartChannel + FMaxWidthChannelLabel + 1, top + item.MaxHeight};
    channel->SetLegendRect(nameRect);

    if (FShowColumnLine)
        DrawLineSample(canvas, channel, left + FColumnStartLine, middle);
    if (FShowColumnMarker)
        channel->DrawMarker(canvas, -1, backGroundColor,
                            {left + FColumnStartMarker + FMaxWidthMarker / 2, middle});

    // Name.
    TFont* font = FFont.get();
    if (channel->UserSelected()) {
        font = FSelectedItemFont.get();
        canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas.Brush()->SetColor(FSelectedItemBackGroundColor);
        canvas.FillRect(nameRect);
    }
    canvas.Font()->Assign(font);
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    TColor color = font->Color();
    switch (FChannelNameColorStyle) {
    case TgPlotLegendChannelNameColorStyle::iplcncsChannelColor:
        color = channel->Color();
        break;
    case TgPlotLegendChannelNameColorStyle::iplcncsXAxisFontColor:
        if (TgPlotAxis* axis = channel->XAxis())
            color = axis->LabelsFont()->Color();
        break;
    case TgPlotLegendChannelNameColorStyle::iplcncsYAxisFontColor:
        if (TgPlotAxis* axis = channel->YAxis())
            color = axis->LabelsFont()->Color();
        break;
    case TgPlotLegendChannelNameColorStyle::iplcncsFont:
        break;
    }
    TRect r = nameRect;
    gDrawText(canvas, NameText(channel), r, gtoLeft | gtoTop | gtoWordBreak | gtoWordEllipsis, true, color);

    // The other columns.
    canvas.Font()->Assign(FFont.get());
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    // Texts are made only for the columns shown: each value text passes the axis' label event.
    auto cell = [&](bool shown, int start, int width, auto text, std::uint16_t align) {
        if (!shown)
            return;
        TRect box{left + start, top, left + start + width, top + FItemHeight};
        gDrawText(canvas, text(), box, align | gtoSingleLine | gtoVCenter, true, FFont->Color());
    };
    cell(
        FShowColumnXName, FColumnStartXName, FMaxWidthXName, [&] { return XAxisTitleText(channel); },
        gtoLeft);
    cell(
        FShowColumnYName, FColumnStartYName, FMaxWidthYName, [&] { return YAxisTitleText(channel); },
        gtoLeft);
    cell(
        FShowColumnXValue2, FColumnStartXValue, FMaxWidthXValue,
        [&] { return FCursorAllChannels ? channel->DataCursorXText() : XValueText(channel); }, gtoRight);
    cell(
        FShowColumnYValue2, FColumnStartYValue, FMaxWidthYValue,
        [&] { return FCursorAllChannels ? channel->DataCursorYText() : YValueText(channel); }, gtoRight);
    cell(
        FShowColumnYMax, FColumnStartYMax, FMaxWidthYMax, [&] { return YMaxText(channel); }, gtoRight);
    cell(
        FShowColumnYMin, FColumnStartYMin, FMaxWidthYMin, [&] { return YMinText(channel); }, gtoRight);
    cell(
        FShowColumnYMean, FColumnStartYMean, FMaxWidthYMean, [&] { return YMeanText(channel); }, gtoRight);
}

void TgPlotLegend::Draw(TCanvas& canvas, TColor backGroundColor) {
    if (!Visible() || !CalculateLayout(canvas))
        return;
    if (!FBackGroundTransparent) {
        canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas.Brush()->SetColor(FBackGroundColor);
        canvas.FillRect(DrawRect());
    }
    if (FColumnTitlesVisible)
        DrawColumnTitles(canvas);
    // Entries out of view have no hit area.
    for (auto& item : FItemList)
        item->Channel->SetLegendRect({});
    for (int i = FItemViewStartIndex; i <= FItemViewStopIndex; ++i)
        DrawItem(canvas, *FItemList[static_cast<std::size_t>(i)], backGroundColor);
    if (FUpButton->Visible())
        FUpButton->Draw(canvas, clBtnFace);
    if (FDownButton->Visible())
        FDownButton->Draw(canvas, clBtnFace);
    if (UserSelected()) {
        TRect r = DrawRect();
        if (FHorizontal) {
            r.Top += 2;
            r.Bottom -= 2;
        } else {
            r.Left += 2;
            r.Right -= 2;
        }
        gDrawFocusRect(canvas, r);
    }
}

// --- mouse, focus, popup

TgPlotObject* TgPlotLegend::GetMouseOverObject(int x, int y) {
    TgPlotObject* result = this;
    if (FUpButton->Visible() && LegendInside(FUpButton->DrawRect(), x, y)) {
        result = FUpButton.get();
    } else if (FDownButton->Visible() && LegendInside(FDownButton->DrawRect(), x, y)) {
        result = FDownButton.get();
    } else if (IgPlotLegendHost* host = LegendHost()) {
        // The plot's channels as they are now, in the entries' order: a channel removed since the last
        // layout is not asked.
        const int count = host->ChannelCount();
        for (int i = 0; i < count; ++i) {
            TgPlotChannelCustom* channel = host->GetChannelObject(i);
            if (channel && channel->VisibleInLegend() && LegendInside(channel->LegendRect(), x, y)) {
                result = channel;
                break;
            }
        }
    }
    FMouseOverObject = result;
    return result;
}

TCursor TgPlotLegend::GetMouseCursor(TPoint point) {
    TCursor cursor = TgPlotLayoutObject::GetMouseCursor(point);
    if (IgPlotLegendHost* host = LegendHost())
        host->DoGetMouseCursorLegend(this, cursor);
    return cursor;
}

void TgPlotLegend::DoMouseUp(const TgPlotMouseData& mouseData) {
    TgPlotLayoutObject::DoMouseUp(mouseData);
    if (FMouseDown && LegendInside(DrawRect(), mouseData.X, mouseData.Y))
        if (IgPlotLegendHost* host = LegendHost())
            host->DoClickLegend(this);
}

void TgPlotLegend::NotificationAxisRemove(TObject* sender) {
    TgPlotLayoutObject::NotificationAxisRemove(sender);
    std::erase_if(FItemList, [sender](const auto& item) { return item->Channel == sender; });
}

void TgPlotLegend::NotificationFocusChange(TObject* sender) {
    TgPlotLayoutObject::NotificationFocusChange(sender);
    YieldSelectionTo(sender);
}

void TgPlotLegend::BuildPopupMenu(TPopupMenu* popupMenu) {
    TgPlotLayoutObject::BuildPopupMenu(popupMenu);
    AddEditMenuItem(popupMenu);
}

} // namespace kv
