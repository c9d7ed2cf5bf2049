#pragma once
// The editing controls of the plot property editor's pages: which control edits which property, in
// the order a page writes them back, and how the controls are built, filled quietly and read back.
//
// The form (gPlotEditorForm) makes the main pages, the object lists, the "Add"/"Remove" buttons and
// the container of each object page; these routines make everything inside the containers. Every
// control is found again by its name on the form (FindComponent), so a control made by the form
// itself can also be listed here: the hidden name edits `LegendNameEdit`, `ToolBarNameEdit` and
// `DataViewNameEdit`, and the log edits on the "File I/O" sub-pages (`ControlLogFileNameEdit`,
// `ControlLogBufferSizeEdit`, `ChannelLogFileNameEdit`, `ChannelLogBufferSizeEdit`), which the form
// makes next to its file pickers and log buttons and binds itself.
//
// Named containers the form relies on:
// - object pages: `ChannelPageControl`, `DataCursorPageControl`, `LimitPageControl`,
//   `LabelPageControl`, `XAxisPageControl`, `YAxisPageControl`, `LegendPageControl`,
//   `TablePageControl`, `DataViewPageControl` (made by the form); the toolbar page has no sub-pages:
//   its controls go straight into the form's `ToolBarEditPanel`;
// - the Control page: `ControlPageControl` (made by the form);
// - sub-pages made here and filled by the form: `ControlFileIOTabSheet` ("File I/O" of the Control
//   page), `ChannelFileIOTabSheet` and `ChannelStatsTabSheet` (the channel's "File I/O" and "Stats");
// - nested page controls made here: `XAxisLabelsPageControl`, `YAxisLabelsPageControl`,
//   `DataViewGridLinesCustomPageControl`;
// - the "Copy Default" buttons are made here without a handler: `XAxisCursorCopyDefaultButton`,
//   `XAxisLegendCopyDefaultButton`, `YAxisCursorCopyDefaultButton`, `YAxisLegendCopyDefaultButton`;
// - the name combo boxes are made here; the form binds their drop-down and fills their items.

#include "plot/gPlotMasterManager.h"

#include "platform/core/Classes.h"

#include <string>
#include <vector>

namespace kv {

class TgPlotLabel;
class TgPlotObject;
class TWinControl;

// The name prefix of a kind's controls and sub-pages ("Channel", "DataCursor", ..., "DataView").
const char* gPlotEditorKindPrefix(TgPlotEditorKind kind);

// Makes the sub-pages and editing controls of one object page in `container` (the kind's page
// control, or the toolbar's panel), owned by `form`; every editing control's change event (OnUpdate
// of edits, OnClick of check boxes, OnChange of combo boxes, radio groups and pickers) runs onChange.
void gBuildPlotEditorPage(TComponent* form, TgPlotEditorKind kind, TWinControl* container,
                          TNotifyEvent onChange);
// The Control page's sub-pages in `pageControl`: the "Title" sub-page's controls run onTitleChange,
// all others onGeneralChange.
void gBuildPlotEditorControlPage(TComponent* form, TWinControl* pageControl, TNotifyEvent onGeneralChange,
                                 TNotifyEvent onTitleChange);

// Sets every control of the page quietly from the object (name combo boxes select the stored name).
void gFillPlotEditorPage(TComponent* form, TgPlotEditorKind kind, TgPlotObject* object);
// Reads every control of the page, in write-back order, into the object through its setters.
void gWritePlotEditorPage(TComponent* form, TgPlotEditorKind kind, TgPlotObject* object);

// The Control page and the plot-wide settings, both ways.
void gFillPlotEditorControlPage(TComponent* form, const TgPlotEditorSettings& settings);
void gReadPlotEditorControlPage(TComponent* form, TgPlotEditorSettings& settings);

// The Control page's "Title" sub-page and the plot's first label, both ways.
void gWritePlotEditorTitle(TComponent* form, TgPlotLabel* label);
void gFillPlotEditorTitle(TComponent* form, const TgPlotLabel* label);

// Shows or hides the channel page's parts that only time-series channels have.
void gShowPlotEditorTimeSeriesControls(TComponent* form, bool show);

// The six label-format controls of an axis page's "(Default)" sub-page, copied quietly into the
// "Cursor" (toCursor) or "Legend" sub-page. kind: XAxis or YAxis.
void gCopyPlotEditorDefaultFormat(TComponent* form, TgPlotEditorKind kind, bool toCursor);

// The names of every control of a page that edits a property, in write-back order (for tests and
// the enable/disable of a page).
std::vector<std::string> gPlotEditorPageControlNames(TgPlotEditorKind kind);

// The kinds of editing control the pages are made of.
enum class TgPlotEditorCtl {
    IntEdit,
    FloatEdit,
    StringEdit,
    CheckBox,
    RadioGroup,
    ComboBox,         // fixed items: the item index is the enumeration's ordinal
    NameComboBox,     // the name of another plot object, filled by the form
    DateTimeComboBox, // editable: the text is the format, the items are suggestions
    ColorPicker,
    FontPicker,
    Memo
};

// One editing control of a page, as the pages make, fill and write it.
struct TgPlotEditorPageRow {
    std::string subPage;  // caption of the sub-page; empty: straight into the container
    std::string nested;   // caption of the nested sub-page or group inside it; empty: none
    std::string control;  // the control's name on the form
    std::string property; // the property of the object (Control page: the plot setting)
    TgPlotEditorCtl kind = TgPlotEditorCtl::StringEdit;
    std::vector<std::string> items; // fixed items, or the suggestions of a date-time format box
    bool upDown = false;
    int upDownMin = 0, upDownMax = 0, upDownIncrement = 1; // 0 to 0: no limits
    bool timeSeriesOnly = false;
    bool madeByForm = false;
};

// The rows of an object page, and of the Control page, in write-back order.
std::vector<TgPlotEditorPageRow> gPlotEditorPageRows(TgPlotEditorKind kind);
std::vector<TgPlotEditorPageRow> gPlotEditorControlPageRows();
// The plot setting a Control page control edits, as text (fonts: name and size), and the number of
// values of its enumeration (0 when it is none).
std::string gPlotEditorSettingText(const TgPlotEditorSettings& settings, const std::string& control);
int gPlotEditorSettingEnumCount(const std::string& control);

} // namespace kv
