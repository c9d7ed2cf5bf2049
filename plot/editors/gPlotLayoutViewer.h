#pragma once
// A schematic of a plot's layout: the data view in the middle and one cell-wide band per level on each
// side, every layout object a grey block in its band at its start and stop percentages. Dragging a
// block swaps it with another of its band, inserts it into, below or above another band, or moves a
// label or legend to the other orientation; dragging a block's end changes its span. Every completed
// edit goes to the plot's layout manager and is announced through OnChange.

#include "plot/gPlotLayoutManager.h"
#include "plot/gVCLComponent.h"

#include <memory>
#include <vector>

namespace kv {

class TgPlotMasterManager;
class TgPlotTranslationManager;

enum class TgLayoutEditMode { ilemNone, ilemDrag, ilemSize };
enum class TgLayoutSizingSide { ilssStart, ilssStop };

// One band cell of the schematic.
struct TBlockObject {
    TRect ARect;
    int ZOrder = 0;
    bool Horizontal = false, DataView = false, ToolBar = false;
};

class TgPlotLayoutViewer : public TgCustomComponent {
    KV_CLASS(TgPlotLayoutViewer)
public:
    explicit TgPlotLayoutViewer(TComponent* owner);
    ~TgPlotLayoutViewer() override;

    void gPaint(TCanvas& canvas) override;
    // The first layout object (data-view level objects excepted) whose schematic rectangle holds the
    // point.
    TgPlotLayoutObject* GetMouseOverBlock(int x, int y);
    // The first band cell that holds the point: a data-view cell only in its outer strip one cell
    // thick, the toolbar cell only in its lower half.
    TBlockObject* GetMouseOverBlock2(int x, int y);
    void gMouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void gMouseMove(TShiftState shift, int x, int y) override;
    void gMouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

    // Lays the schematic out for the control's size (the paint does this too).
    void CalcBlocks();

    TgPlotLayoutManager* LayoutManager() const { return FLayoutManager; }
    void SetLayoutManager(TgPlotLayoutManager* value);
    TgPlotMasterManager* Master() const { return FMaster; }
    void SetMaster(TgPlotMasterManager* value) { FMaster = value; }
    TgPlotTranslationManager* TranslationManager() const { return FTranslationManager; }
    void SetTranslationManager(TgPlotTranslationManager* value) { FTranslationManager = value; }
    TFont* ViewerFont() const { return FFont.get(); }

    const std::vector<std::unique_ptr<TBlockObject>>& Blocks() const { return FBlockList; }
    int CellWidth() const { return FCellWidth; }
    TRect ViewRect() const { return FViewRect; }
    TRect DataViewRect() const { return FDataViewRect; }
    TgLayoutEditMode EditMode() const { return FEditMode; }
    TgLayoutSizingSide SizingSide() const { return FSizingSide; }
    TgPlotLayoutObject* SelectedObject() const { return FSelectedBlock; }
    TgPlotLayoutObject* ResizeBlock() const { return FResizeBlock; }
    TgPlotLayoutObject* OverLayoutObject() const { return FOverLayoutObject; }
    TBlockObject* InsertTarget() const { return FDragOverRefBlock2; }
    TgInsertDirection InsertDirection() const { return FInsertDirection; }

    TNotifyEvent OnChange;

private:
    // The layout objects of a band, in the layout manager's order, the selected block left out.
    std::vector<TgPlotLayoutObject*> BandObjects(const TBlockObject& cell) const;
    void DragOver(int x, int y);
    void DropOnBand();
    void Changed();
    TRect InsertMarker(const TBlockObject& cell) const;

    std::vector<std::unique_ptr<TBlockObject>> FBlockList;
    int FCellWidth = 0;
    bool FMouseDown = false;
    int FMouseDownX = 0, FMouseDownY = 0;
    double FMouseDownStartPercent = 0, FMouseDownStopPercent = 0;
    TRect FViewRect, FDataViewRect;
    int FDataViewHeight = 0, FDataViewWidth = 0;
    TgLayoutEditMode FEditMode = TgLayoutEditMode::ilemNone;
    TgLayoutSizingSide FSizingSide = TgLayoutSizingSide::ilssStart;
    TgPlotLayoutObject* FSelectedBlock = nullptr;
    TgPlotLayoutObject* FResizeBlock = nullptr;
    TgPlotLayoutObject* FOverLayoutObject = nullptr;
    TBlockObject* FDragOverRefBlock2 = nullptr;
    TgInsertDirection FInsertDirection = TgInsertDirection::iidMerge;
    TgPlotLayoutManager* FLayoutManager = nullptr;
    TgPlotMasterManager* FMaster = nullptr;
    TgPlotTranslationManager* FTranslationManager = nullptr;
    std::unique_ptr<TFont> FFont;
};

} // namespace kv
