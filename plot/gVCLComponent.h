#pragma once
// The windowed base of the plot library's controls: the data lock held around every paint, a private
// timer, the mapping of the window's input and focus events onto the input hooks, transparency over
// the parent, writing incoming data-item values into properties, and colour schemes (themes) read from
// XML files whose folders a configuration file names.

#include "plot/gComponent.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TTimer;

namespace kv {

using TIndexObjectEvent = std::function<void(TObject* sender, int index)>;
using TBeforeOPCNewDataEvent = std::function<void(TObject* sender, int index, std::string& data)>;

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

    void SetBounds(int left, int top, int width, int height) override;
    void RepaintAll() override;
    void PaintBackGround(TCanvas& canvas, TColor color) override;
    void SetTransparent(bool v) override;

    // --- property values from bound data items
    // Called by descendants after a property changed; false when the change came from an item itself.
    bool OPCPropertyChanged(const std::string& propertyName, const std::string& value) override;
    // Lets a descendant consume incoming data for a property itself; false here.
    virtual bool OPCNewDataSpecial(const std::string& propertyName, std::string& data);
    // Delivers an item's new value: OnBeforeNewOPCData may change it; with good quality it is written
    // into the property (unless OPCNewDataSpecial takes it); then OnNewOPCData.
    void NewOPCData(int index, const std::string& propertyName, std::string data, bool qualityGood);
    bool OPCIncomingActive() const { return FOPCIncomingActive; }
    // Where a changed property's value goes (the item list, when one is bound); true when written.
    std::function<bool(const std::string& propertyName, const std::string& value)> OnOPCWriteItems;
    TIndexObjectEvent OnNewOPCData;
    TBeforeOPCNewDataEvent OnBeforeNewOPCData;

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
