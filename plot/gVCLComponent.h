#pragma once
// The windowed base of the plot library's controls: the data lock held around every paint, a private
// timer, the mapping of the window's input and focus events onto the input hooks, transparency over
// the parent, writing incoming data-item values into properties, and colour schemes (themes) read from
// XML files whose folders a configuration file names.

#include "plot/gComponent.h"

#include <QImage>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TTimer;

namespace kv {

class TgOPCItemManager;
class TgOPCItem;

using TIndexObjectEvent = std::function<void(TObject* sender, int index)>;
using TBeforeOPCNewDataEvent = std::function<void(TObject* sender, int index, TgOPCVariant& data)>;

class TgVCLComponent : public TgComponent {
    KV_CLASS(TgVCLComponent)
public:
    explicit TgVCLComponent(TComponent* owner);
    ~TgVCLComponent() override;

    // --- the data lock: re-entrant for the thread that holds it; not taken while being destroyed
    void Lock() override;
    void Unlock() override;

    // --- private timer: the first tick after initialDelay (when not 0), then every interval
    bool GetTimerRunning() const override { return FTimerID != 0; }
    void TimerStart(int initialDelay, int interval) override;
    void TimerStop() override;
    TNotifyEvent OnInternalTimer;

    // Renders the control under the lock onto another canvas with its top-left at (x, y), without the
    // background cache; with `transparent` the background is not painted and the canvas shows there.
    void gPaintToDC(int x, int y, TCanvas& canvas, bool transparent);

    // --- image export: the control rendered at its own size. The vector form is an SVG document that
    // carries the rendered picture. Out-of-range compressions raise EKvError; failed writes raise.
    void SaveImageToMetaFile(const std::string& fileName);
    void SaveImageToJPEG(const std::string& fileName, int compression, bool progressive);
    void SaveImageToPNG(const std::string& fileName, int compression);
    std::vector<std::uint8_t> GetBytesMetaFile();
    std::vector<std::uint8_t> GetBytesJPEG(int compression, bool progressive);
    std::vector<std::uint8_t> GetBytesPNG(int compression);
    // A new JPEG image owned by the caller.
    std::unique_ptr<TJPEGImage> CreateJPEGImage(int quality, bool progressive);
    // The control rendered under the lock, without the background cache.
    QImage RenderImage();

    void SetBounds(int left, int top, int width, int height) override;
    void RepaintAll() override;
    void PaintBackGround(TCanvas& canvas, TColor color) override;
    void SetTransparent(bool v) override;

    // --- data items bound to properties
    // Called by descendants after a property changed: gives the value to every active item bound to
    // that property; false when the change came from an item itself or no item took it.
    bool OPCPropertyChanged(const std::string& propertyName, const TgOPCVariant& value) override;
    // Lets a descendant consume incoming data for a property itself; false here.
    virtual bool OPCNewDataSpecial(const std::string& propertyName, TgOPCVariant& data);
    // An item's new value: OnBeforeNewOPCData may change it; with good quality it is written into the
    // item's property (unless OPCNewDataSpecial takes it); then OnNewOPCData.
    void OPCItemNewData(TgOPCItem* item);
    bool OPCIncomingActive() const { return FOPCIncomingActive; }
    TgOPCItemManager* OPCItemManager() const { return FOPCItemManager.get(); }
    // The item list as one layout value ("OPCItems", stored only while there are items; never in a
    // property text file).
    std::string OPCItemsText() const;
    void SetOPCItemsText(const std::string& text);
    TIndexObjectEvent OnNewOPCData;
    TBeforeOPCNewDataEvent OnBeforeNewOPCData;

    int OPCAddItem();
    int OPCItemCount() const;
    void OPCRemoveAllItems();
    void OPCDeleteItem(int index);
    void OPCItemActivate(int index);
    void OPCItemDeactivate(int index);
    void OPCItemUpdateResume(int index);
    void OPCItemUpdateSuspend(int index);
    void OPCItemLoaded(int index);
    void SetOPCItemData(int index, const TgOPCVariant& value);
    void SetOPCItemComputerName(int index, const std::string& value);
    void SetOPCItemServerName(int index, const std::string& value);
    void SetOPCItemItemName(int index, const std::string& value);
    void SetOPCItemPropertyName(int index, const std::string& value);
    void SetOPCItemAutoConnect(int index, bool value);
    void SetOPCItemUpdateRate(int index, int value);
    std::string GetOPCItemComputerName(int index) const;
    std::string GetOPCItemServerName(int index) const;
    std::string GetOPCItemItemName(int index) const;
    std::string GetOPCItemPropertyName(int index) const;
    bool GetOPCItemAutoConnect(int index) const;
    int GetOPCItemUpdateRate(int index) const;
    TgOPCVariant GetOPCItemData(int index) const;
    std::uint16_t GetOPCItemQuality(int index) const;
    double GetOPCItemTimeStamp(int index) const;

    // --- themes
    void LoadThemes();
    int GetThemeCategoryCount() const { return static_cast<int>(FThemeCategoryList.size()); }
    const std::string& GetThemeCategoryName(int categoryIndex) const;
    int GetThemeCategorySchemeCount(int categoryIndex) const;
    const std::string& GetThemeCategorySchemeName(int categoryIndex, int schemeIndex) const;
    bool GetThemeCategorySchemeIsUser(int categoryIndex, int schemeIndex) const;
    void ApplyScheme(int categoryIndex, int schemeIndex);
    // Parses one theme file's text into the categories (used by LoadThemes).
    void LoadThemeText(const std::string& text, bool user);
    // The configuration files that name the theme folders: the machine's, then the user's, whose
    // non-empty values win. Tests point them elsewhere; empty strings put the defaults back.
    static void SetThemeConfigFiles(const std::string& machineFile, const std::string& userFile);

    // --- framework overrides
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
    bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
    void DoEnter() override;
    void DoExit() override;

protected:
    void RequestTransparentCapture();

    bool FPaintDCTransparent = false;
    std::recursive_mutex FDataCriticalSection;
    bool FOPCIncomingActive = false;
    int FTimerID = 0;
    bool FTimerFirstMessage = false;
    int FTimerInterval = 0;
    bool FNeedsTransparentCapture = false;

private:
    void TimerMessage();

    struct Scheme {
        std::string name;
        std::unique_ptr<TStringList> lines; // a TgTarvekSchemeList or a TgUserSchemeList
        bool user = false;
    };
    struct Category {
        std::string name;
        std::vector<Scheme> schemes;
    };
    std::unique_ptr<TTimer> FTimer;
    std::unique_ptr<TgOPCItemManager> FOPCItemManager;
    std::vector<Category> FThemeCategoryList;
};

// Sets every writable published property of `object` whose full dotted name equals `propertyName`
// (any case) from text: ordinals as decimal integers ("True"/"False" for enumerations, and any text
// but "0" is 1 for a two-valued one), floats with the locale's rules, strings as they are. Raises
// EConvertError for text that does not fit.
void SetPropertyFromVariant(TObject& object, const std::string& prefix, const std::string& value,
                            const std::string& propertyName);

// The custom control the library's concrete controls derive from.
class TgCustomComponent : public TgVCLComponent {
    KV_CLASS(TgCustomComponent)
public:
    using TgVCLComponent::TgVCLComponent;
};

} // namespace kv
