#pragma once
// The plot's toolbar: a row of image buttons beside the data view that turn clicks into plot-wide
// commands (tracking, axes mode, zoom, select, zoom box, cursor, editor, clipboard, save, print).
// The buttons are drawn by the toolbar on the plot's canvas; they are not plot objects of their own
// for the managers. Every command is bracketed by the plot's before-click and after-click events, and
// the before-click event may refuse it.

#include "plot/gPlotAxis.h"
#include "plot/gPlotObjects.h"

#include "platform/gui/ImageList.h"

#include <memory>
#include <string>
#include <vector>

namespace kv {

class TgPlotToolBar;
class TgPlotAxis;

enum class TgPlotToolBarButtonType {
    iptbbtResume,
    iptbbtPause,
    iptbbtScrollAxesMode,
    iptbbtZoomAxesMode,
    iptbbtSelect,
    iptbbtZoomBox,
    iptbbtZoomOut,
    iptbbtZoomIn,
    iptbbtCursor,
    iptbbtEdit,
    iptbbtCopy,
    iptbbtSave,
    iptbbtPrint,
    iptbbtPreview
};
std::vector<std::string> EnumIdents(TgPlotToolBarButtonType);

enum class TgPlotToolBarButtonStyle { iptbbsButton, iptbbsSpacer };
std::vector<std::string> EnumIdents(TgPlotToolBarButtonStyle);

// What a toolbar needs of the plot that owns it (the plot control implements it).
class IgPlotToolBarHost {
public:
    virtual int GetToolBarIndex(const TgPlotToolBar* toolBar) = 0;
    virtual void DoBeforeToolBarButtonClick(int index, TgPlotToolBarButtonType type, bool& cancel) = 0;
    virtual void DoToolBarButtonClick(int index, TgPlotToolBarButtonType type) = 0;
    virtual void DoToolBarCustomizeHint(int index, std::string& text) = 0;
    virtual int XAxisCount() = 0;
    virtual int YAxisCount() = 0;
    virtual TgPlotAxis* GetXAxis(int index) = 0;
    virtual TgPlotAxis* GetYAxis(int index) = 0;
    virtual void EnableAllTracking() = 0;
    virtual void DisableAllTracking() = 0;
    virtual int DataCursorCount() = 0;
    virtual TgPlotObject* GetDataCursor(int index) = 0;
    // Deselects every plot object.
    virtual void ClearAllUserSelections() = 0;
    virtual void SyncSelectMode(bool on) = 0;
    virtual void EditProperties() = 0;
    virtual void CopyToClipBoard() = 0;
    virtual void Save() = 0;
    virtual void PrintChart() = 0;
    virtual void PreviewChart() = 0;
    // The canvas hints are measured on; null when the plot has none.
    virtual TCanvas* HintCanvas() = 0;

protected:
    ~IgPlotToolBarHost() = default;
};

// One button or spacer of a toolbar. A spacer is a gap: it draws nothing, has no click and no hint.
class TgPlotToolBarButton : public TgPlotButton {
    KV_CLASS(TgPlotToolBarButton)
public:
    // A spacer when toolBar is null.
    TgPlotToolBarButton(TComponent* owner, TgPlotToolBar* toolBar);

    TgPlotToolBar* ToolBar() const { return FToolBar; }
    TgPlotToolBarButtonStyle Style() const { return FStyle; }
    const std::string& Hint() const { return FHint; }
    const std::string& ImageName() const { return FImageName; }
    // Index in the toolbar's image list; -1 until the image is loaded at the first drawing.
    int ImageIndex() const { return FImageIndex; }
    bool Flat() const { return FFlat; }
    bool MouseOver() const { return FMouseOver; }
    // Which command the button gives (meaningless for a spacer).
    TgPlotToolBarButtonType ButtonType() const { return FType; }

    void Draw(TCanvas& canvas, TColor backGroundColor) override;
    void gMouseMove(TgHintData& hintData, TShiftState shift, int x, int y, int screenX, int screenY,
                    bool dblClickActive) override;
    void DoMouseHint(const TgPlotMouseData& mouseData, TgHintData& hintData) override;
    void DoMouseNotOver() override;

private:
    friend class TgPlotToolBar;
    // The enabled state the toolbar works out while it draws: stored without a change notification,
    // since the drawing under way already shows it.
    void SetEnabledQuietly(bool value);

    std::string FHint;
    TgPlotToolBarButtonStyle FStyle = TgPlotToolBarButtonStyle::iptbbsButton;
    TImageList* FImageList = nullptr;
    int FImageIndex = -1;
    std::string FImageName;
    bool FFlat = false;
    bool FMouseOver = false;
    TgPlotToolBar* FToolBar = nullptr;
    TgPlotToolBarButtonType FType = TgPlotToolBarButtonType::iptbbtResume;
};

class TgPlotToolBar : public TgPlotLayoutObject {
    KV_CLASS(TgPlotToolBar)
public:
    TgPlotToolBar(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                  TNotifyEvent onRename);
    ~TgPlotToolBar() override;

    // --- published
    bool ShowResumeButton() const { return FResumeButton->Visible(); }
    void SetShowResumeButton(bool value) { FResumeButton->SetVisible(value); }
    bool ShowPauseButton() const { return FPauseButton->Visible(); }
    void SetShowPauseButton(bool value) { FPauseButton->SetVisible(value); }
    bool ShowAxesModeButtons() const { return FAxesModeScrollButton->Visible(); }
    void SetShowAxesModeButtons(bool value);
    bool ShowZoomInOutButtons() const { return FZoomInButton->Visible(); }
    void SetShowZoomInOutButtons(bool value);
    bool ShowSelectButton() const { return FSelectButton->Visible(); }
    void SetShowSelectButton(bool value) { FSelectButton->SetVisible(value); }
    bool ShowZoomBoxButton() const { return FZoomBoxButton->Visible(); }
    void SetShowZoomBoxButton(bool value) { FZoomBoxButton->SetVisible(value); }
    bool ShowCursorButton() const { return FCursorButton->Visible(); }
    void SetShowCursorButton(bool value) { FCursorButton->SetVisible(value); }
    bool ShowEditButton() const { return FEditButton->Visible(); }
    void SetShowEditButton(bool value) { FEditButton->SetVisible(value); }
    bool ShowCopyButton() const { return FCopyButton->Visible(); }
    void SetShowCopyButton(bool value) { FCopyButton->SetVisible(value); }
    bool ShowSaveButton() const { return FSaveButton->Visible(); }
    void SetShowSaveButton(bool value) { FSaveButton->SetVisible(value); }
    bool ShowPrintButton() const { return FPrintButton->Visible(); }
    void SetShowPrintButton(bool value) { FPrintButton->SetVisible(value); }
    bool ShowPreviewButton() const { return FPreviewButton->Visible(); }
    void SetShowPreviewButton(bool value) { FPreviewButton->SetVisible(value); }
    double ZoomInOutFactor() const { return FZoomInOutFactor; }
    // Values below 1 (and a value that is no number) become 1: zooming out must never zoom in.
    void SetZoomInOutFactor(double value);
    bool FlatBorder() const { return FFlatBorder; }
    void SetFlatBorder(bool value) { SetBooleanProperty(value, FFlatBorder, &TgPlotObject::DoChange); }
    bool FlatButtons() const { return FFlatButtons; }
    void SetFlatButtons(bool value);
    bool SmallButtons() const { return FSmallButtons; }
    void SetSmallButtons(bool value);

    // --- state
    bool GetSelectActive() const;
    bool SelectActive() const { return GetSelectActive(); }
    bool ZoomBoxActive() const;
    bool CursorActive() const;
    // Sets the cursor button up; its down-change handler hides the data cursors.
    void TurnOffCursor();

    // Every button and spacer in drawing order.
    int ButtonCount() const { return static_cast<int>(FButtonList.size()); }
    TgPlotToolBarButton* Button(int index) const;
    // The button of a type (never a spacer).
    TgPlotToolBarButton* ButtonOf(TgPlotToolBarButtonType type) const;
    TImageList& ImageList() { return *FImageList; }

    // Perform a button's click as the mouse does, events included.
    void DoButtonClickResume();
    void DoButtonClickPause();
    void DoButtonClickScrollAxesMode();
    void DoButtonClickZoomAxesMode();
    void DoButtonClickZoomIn();
    void DoButtonClickZoomOut();
    void DoButtonClickSelect();
    void DoButtonClickZoomBox();
    void DoButtonClickCursor();
    void DoButtonClickEdit();
    void DoButtonClickCopy();
    void DoButtonClickSave();
    void DoButtonClickPrint();
    void DoButtonClickPreview();

    void NotificationFocusChange(TObject* sender) override;
    void Draw(TCanvas& canvas, TColor backGroundColor) override;
    TgPlotObject* GetMouseOverObject(int x, int y) override;
    void BuildPopupMenu(TPopupMenu* popupMenu) override;
    // The toolbar's depth: the buttons and a margin of 3 pixels on each side.
    int GetRequiredWidth(TCanvas& canvas) override;

private:
    friend class TgPlotToolBarButton;
    TgPlotToolBarButton* AddButton(TgPlotToolBarButtonType type, int groupIndex,
                                   void (TgPlotToolBar::*click)());
    TgPlotToolBarButton* AddSpacer();
    void SelectImages(bool small);
    IgPlotToolBarHost* ToolBarHost() const;
    int ToolBarIndex() const;
    // The before-click event; false when the handler refused the command. A group release that a
    // mouse click left pending is carried out only once the command is allowed.
    bool BeforeClick(TgPlotToolBarButtonType type);
    void AfterClick(TgPlotToolBarButtonType type);
    void GroupClick(TgPlotToolBarButton* sender);
    void ZoomAllAxes(bool in);
    void SetAllAxesMode(TgPlotAxisMode mode);
    void CursorDownChange();
    void SelectDownChange();
    void UpdateEnabledStates();

    std::vector<std::unique_ptr<TgPlotToolBarButton>> FButtonList;
    std::unique_ptr<TImageList> FImageList;
    TgPlotToolBarButton *FResumeButton = nullptr, *FPauseButton = nullptr, *FResumePauseSpacer = nullptr,
                        *FAxesModeScrollButton = nullptr, *FAxesModeZoomButton = nullptr,
                        *FAxesModeSpacer = nullptr, *FZoomInButton = nullptr, *FZoomOutButton = nullptr,
                        *FZoomInOutSpacer = nullptr, *FSelectButton = nullptr, *FZoomBoxButton = nullptr,
                        *FCursorButton = nullptr, *FZoomBoxCursorSpacer = nullptr, *FEditButton = nullptr,
                        *FEditSpacer = nullptr, *FCopyButton = nullptr, *FSaveButton = nullptr,
                        *FPrintButton = nullptr, *FPreviewButton = nullptr;
    TgPlotToolBarButton* FPendingGroupClick = nullptr;
    double FZoomInOutFactor = 2;
    bool FFlatButtons = false;
    bool FSmallButtons = false;
    bool FFlatBorder = false;
};

} // namespace kv
