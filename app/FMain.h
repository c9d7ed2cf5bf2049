#pragma once
// The main window. One class, implemented in one file per subsystem: the life cycle and the block pages
// here in app/, the link, connection and replies in link/FMain*.cpp, the texts in app/FMainText.cpp and
// the channel editors in editors/FMain*.cpp. Each subsystem declares its members in its own section.
//
// Controls are reached by name (FindComponent) or through the few typed members bound after the layout
// has loaded. Handlers are published by name so that the layout binds them; each member file publishes
// its own through its Publish... function, which the class registration calls.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "editors/response/Plot.h"
#include "link/LMainHost.h"
#include "link/LUnitControl.h"
#include "link/LinkOwner.h"
#include "link/MainHid.h"
#include "platform/core/Properties.h"
#include "platform/gui/Forms.h"


// Pages of the main window, by the Tag of their page button.
enum MainPage : int {
    pgInA = 0,
    pgInB = 1,
    pgOut1 = 2,
    pgOut4 = 5,
    pgComp = 6,
    pgDelay = 7,
    pgGain = 8,
    pgMatrix = 9,
    pgGate = 10,
    pgLimit = 11,
    pgGeq = 12,
};

// The ten response engines, in the order of their graphs.
inline constexpr int kCurvePlots = 10;
inline constexpr std::array<const char*, kCurvePlots> kCurveGraphNames = {
    "fftDrawInA",     "fftDrawInB",     "fftDrawOut1",    "fftDrawOut2",    "fftDrawOut3",
    "fftDrawOut4",    "fftDrawGainIn",  "fftDrawGainOut", "fftDrawGeqInA",  "fftDrawGeqInB",
};

class TfmMain : public kv::TForm, public LinkOwner, public LMainHost, public LHidHost {
    KV_CLASS(TfmMain)
public:
    explicit TfmMain(kv::TComponent* owner);
    ~TfmMain() override;

    // ---- shell: life cycle, pages, menus, overview (app/FMain.cpp, app/FMainPages.cpp) ----
public:
    void FormCreate(kv::TObject* sender);
    void FormClose(kv::TObject* sender, kv::TCloseAction& action);

    // Block pages and overview navigation.
    void pkbMenuInAClick(kv::TObject* sender);
    void lbMatrixHpLpInAClick(kv::TObject* sender);
    void lbMatrixGainInAClick(kv::TObject* sender);
    void lbMatrixDelayInAClick(kv::TObject* sender);
    void lbMatrixCompOut1Click(kv::TObject* sender);
    void lbMatrixPhaseOut1Click(kv::TObject* sender);
    void lbMatrixGeqInAClick(kv::TObject* sender);
    void lbMatrixChNameInAMouseMove(kv::TObject* sender, kv::TShiftState shift, int x, int y);
    void lbMatrixChNameInAMouseLeave(kv::TObject* sender);
    int GetChannelLinkMask(int channel) const;

    // Menu items that open the dialogs of this window's shell; the empty ones do nothing.
    void ExitClick(kv::TObject* sender);
    void SettingIDClick(kv::TObject* sender);
    void BlockDiagramClick(kv::TObject* sender);
    void ConnectHelpClick(kv::TObject* sender);

    // The channel suffix of a channel number: "InA", "InB", "Out1".."Out4"; empty outside 0..5.
    static std::string ChannelSuffix(int channel);
    // A control of this window by name and class; none when the name is missing or of another class.
    template <class T> T* Find(const std::string& name) const { return dynamic_cast<T*>(FindComponent(name)); }

    // Model and engines (the main window owns them until the process ends).
    LUnitControl* UnitControl() const { return unitControl.get(); }
    Plot* CurvePlot(int index) const {
        return index >= 0 && index < kCurvePlots ? curvePlots[static_cast<size_t>(index)].get() : nullptr;
    }
    int CurrentPage() const { return currentPage; }
    bool ExitConfirmed() const { return exitConfirmed != 0; }
    void SetExitConfirmed(bool on) { exitConfirmed = on ? 1 : 0; }

    // LMainHost: the updating-view flag, the main window's enabled state, the file dialogs.
    bool IsUpdatingView() const override { return updatingView != 0; }
    void SetUpdatingView(bool on) override { updatingView = on ? 1 : 0; }
    void SetMainEnabled(bool on) override;
    void RestoreProgramFolder() override;
    std::optional<std::string> RunFileDialog(FileDialog which) override;
    // LMainHost operations of the channel editors and preset lists, which later work fills.
    void SetOverlaysDirty(int ch) override;
    void ResetPeqViews() override;
    void RefreshAllPanels() override;
    void RepaintChannelGraphs() override;
    void ResetLevelMeters() override;
    void SetRecallPresetName(int row, const std::string& name) override;
    void SetStorePresetName(int row, const std::string& name) override;

    // Handler publishing of this window's member files, called by the class registration.
    static void PublishShell(kv::TClassBuilder<TfmMain>& b);
    static void PublishPages(kv::TClassBuilder<TfmMain>& b);

private:
    void BindComponents();
    void SharePictures();
    // Runs the page button's click, sets it down and the matrix button up.
    void GoToPage(const std::string& buttonName);

    std::unique_ptr<LUnitControl> unitControl;
    std::string languageName;
    uint8_t startupRefresh = 0;
    uint8_t exitConfirmed = 0;
    std::array<std::unique_ptr<Plot>, kCurvePlots> curvePlots;
    int dragBlock = -1;
    int lastDragBlock = -1;
    int currentPage = pgGain;
    int currentPreset = 0;
    uint8_t updatingView = 0;
    int compPageChannel = 2;
    int gatePageChannel = 0;
    int limitPageChannel = 2;
    int extraHeight = 0;
    std::array<int, 8> overlayDirty{};

    // ---- link: send path, connection, replies, read-back (link/FMain*.cpp) ----
    // Declared and defined by the link's member files: the link's fields of the private state and the
    // overrides LinkOwner (GetDeviceId, HidWrite, NetWrite, Dispatch), LMainHost (SendCommand,
    // IsConnected, StopLevelPoll, SetLinkTimeout, SetTransferState, SetPostOpenState, DownloadBuffers)
    // and LHidHost (StatusText, SetStatusText, MainWindowVisible, StartLinkBrokenTimer).
public:
    // Publishes the link's handlers (timers, socket, HID controller, Connect menu); link/FMainLink.cpp.
    static void PublishLink(kv::TClassBuilder<TfmMain>& b);

    // ---- texts: GetLangText, ApplyLanguage (app/FMainText.cpp) ----
    // Declared and defined by the texts' member file, with the dialog overrides of LMainHost and
    // LHidHost: GetLangText, ShowInformation, ShowProgressModal, ShowProgress.
public:
    // Publishes the language menu's handlers; app/FMainText.cpp.
    static void PublishTexts(kv::TClassBuilder<TfmMain>& b);
    // The text of a SID_ key in the current language; a language without a table reads English.
    std::string GetLangText(const std::string& key) const override;
    // Sets every text of the main window in the current language.
    void ApplyLanguage();
    const std::string& LanguageName() const { return languageName; }
    // The language menu items ChineseSimplified and English (one handler each, alike).
    void ChineseSimplifiedClick(kv::TObject* sender);
    void EnglishClick(kv::TObject* sender);
    // The ID/IP menu item: prepares and shows the setup dialog.
    void NetworkSetupClick(kv::TObject* sender);
    // The deferred modal showing of the progress window.
    void tmProcessShowTimer(kv::TObject* sender);
    // LMainHost: the information and progress windows.
    void ShowInformation(const std::string& text) override;
    void ShowProgressModal() override;
    void ShowProgress(const std::string& status, int position, int max) override;

    // ---- end of sections ----
};

// The main window; set when it is created, for the dialogs to call back.
extern TfmMain* fmMain;
