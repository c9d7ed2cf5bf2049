#pragma once
// The main window's shell: life cycle, pages and menus, texts, resize, channel names. It owns the link
// side (TMainLink, app/link/, which sees the window through its view) and the channel editors' page
// objects (app/pages/). Every handler name the layout binds is published on this class; most forward to
// the link or a page (TClassBuilder::Forward).

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ResizeRules.h"
#include "app/FlagGuard.h"
#include "app/TimerComponent.h"
#include "app/pages/CurveGraphs.h"
#include "editors/response/Plot.h"
#include "link/LMainHost.h"
#include "link/LUnitControl.h"
#include "platform/core/Properties.h"
#include "platform/gui/Forms.h"

class TDelayPage;
class TDynamicsPage;
class TGainPage;
class TGeqPage;
class TLinkingPage;
class TMainLink;
class TMainLinkView;
class TMatrixPage;
class TMetersPage;
class TOverlaysPage;
class TPeqPage;
class TRefreshPage;
class TSingleInstance;

// Pages of the main window, by the Tag of their page button.
// clang-format off
enum MainPage : int { pgInA = 0, pgInB = 1, pgOut1 = 2, pgOut4 = 5, pgComp = 6, pgDelay = 7, pgGain = 8,
                      pgMatrix = 9, pgGate = 10, pgLimit = 11, pgGeq = 12 };
// clang-format on

class TfmMain : public kv::TForm {
    KV_CLASS(TfmMain)
public:
    explicit TfmMain(kv::TComponent* owner);
    ~TfmMain() override;

    void FormCreate(kv::TObject* sender);
    void FormClose(kv::TObject* sender, kv::TCloseAction& action);

    void pkbMenuInAClick(kv::TObject* sender);
    void lbMatrixHpLpInAClick(kv::TObject* sender);
    void lbMatrixGainInAClick(kv::TObject* sender);
    void lbMatrixDelayInAClick(kv::TObject* sender);
    void lbMatrixCompOut1Click(kv::TObject* sender);
    void lbMatrixPhaseOut1Click(kv::TObject* sender);
    void lbMatrixGeqInAClick(kv::TObject* sender);
    void lbMatrixGateInAClick(kv::TObject* sender);
    void lbMatrixChNameInAMouseMove(kv::TObject* sender, kv::TShiftState shift, int x, int y);
    void lbMatrixChNameInAMouseLeave(kv::TObject* sender);
    int GetChannelLinkMask(int channel) const;

    void ExitClick(kv::TObject* sender);
    void SettingIDClick(kv::TObject* sender);
    void BlockDiagramClick(kv::TObject* sender);
    void ConnectHelpClick(kv::TObject* sender);

    // A channel's suffix "InA", "InB", "Out1".."Out4", and its mark "A".."4"; empty outside 0..5.
    static std::string ChannelSuffix(int channel);
    static std::string ChannelMark(int channel);
    // A control of this window by name and class; none when the name is missing or of another class.
    template <class T> T* Find(const std::string& name) const {
        return dynamic_cast<T*>(FindComponent(name));
    }

    // The model, and the response engine of graph `index` (kCurveGraphNames; the PEQ page owns them).
    LUnitControl* UnitControl() const { return unitControl.get(); }
    Plot* CurvePlot(int index) const;
    int CurrentPage() const { return currentPage; }
    bool ExitConfirmed() const { return exitConfirmed != 0; }
    void SetExitConfirmed(bool on) { exitConfirmed = on ? 1 : 0; }

    // What the link's view asks of the window.
    bool IsUpdatingView() const { return updatingView != 0; }
    void SetUpdatingView(bool on) { updatingView = on ? 1 : 0; }
    void SetMainEnabled(bool on);
    void RestoreProgramFolder();
    std::optional<std::string> RunFileDialog(FileDialog which);
    // The channel editors and preset lists.
    void SetOverlaysDirty(int ch);
    void ResetPeqViews();
    void RefreshAllPanels();
    void RepaintChannelGraphs();
    void ResetLevelMeters();
    void SetRecallPresetName(int row, const std::string& name);
    void SetStorePresetName(int row, const std::string& name);

    static void PublishShell(kv::TClassBuilder<TfmMain>& b);
    static void PublishPages(kv::TClassBuilder<TfmMain>& b);

    // Brings the window forward (restored when minimised), as a second start asks.
    void ComeForward();

private:
    void SharePictures();
    void DrawFixedOverlays();
    // Runs the page button's click, sets it down and the matrix button up.
    void GoToPage(const std::string& buttonName);

    std::unique_ptr<LUnitControl> unitControl;
    std::string languageName;
    uint8_t startupRefresh = 0;
    uint8_t exitConfirmed = 0;
    int currentPage = pgGain;
    uint8_t updatingView = 0;
    int extraHeight = 0;
    std::unique_ptr<TSingleInstance> singleInstance;

    // ---- link (app/link/: TMainLink; its view on this window in app/FMainLinkView.cpp) ----
public:
    TMainLink& MainLink() const { return *mainLink; }
    static void PublishLink(kv::TClassBuilder<TfmMain>& b);
    // What the channel editors ask of the link, forwarded.
    void SendCommand(const LCmd& cmd, bool force);
    int GetDeviceId() const;
    bool IsConnected() const;
    bool IsOnline() const;
    int CurrentPreset() const;
    void StopLevelPoll();
    void SetTransferState(TransferState state);
    // The link's handlers that open windows: Connect, the preset lists, the factory-default question.
    void ConnectedClick(kv::TObject* sender);
    void tmStartConnectTimer(kv::TObject* sender);
    void bStoreClick(kv::TObject* sender);
    void bRecallClick(kv::TObject* sender);
    void FactoryDefaultClick(kv::TObject* sender);
    void CloseProgressWindow(); // also one whose deferred showing is still due

private:
    // The link and its view on this window; the constructor makes them, before the layout binds.
    void CreateLink();
    std::unique_ptr<TMainLinkView> linkView;
    std::unique_ptr<TMainLink> mainLink;

    // ---- texts: GetLangText, ApplyLanguage (app/FMainText.cpp) ----
public:
    static void PublishTexts(kv::TClassBuilder<TfmMain>& b);
    // The text of a SID_ key in the current language; a language without a table reads English.
    std::string GetLangText(const std::string& key) const;
    void ApplyLanguage();
    // The caption of the control or menu item `name`; false when the name finds neither.
    bool SetCaptionOf(const std::string& name, const std::string& text);
    const std::string& LanguageName() const { return languageName; }
    void ChineseSimplifiedClick(kv::TObject* sender);
    void EnglishClick(kv::TObject* sender);
    void NetworkSetupClick(kv::TObject* sender);
    void tmProcessShowTimer(kv::TObject* sender);
    // The information and progress windows, for the link's view.
    void ShowInformation(const std::string& text);
    void ShowProgressModal();
    void ShowProgress(const std::string& status, int position, int max);

    // ---- panel lock, test signal and small windows (app/FMainDialogs.cpp) ----
    static void PublishDialogs(kv::TClassBuilder<TfmMain>& b);
    void LockClick(kv::TObject* sender);
    void LockSetupClick(kv::TObject* sender);
    void TestToneClick(kv::TObject* sender);
    void AboutClick(kv::TObject* sender);
    void Rs232CodeClick(kv::TObject* sender);
    void MemoShowClick(kv::TObject* sender);
    void HidDataClick(kv::TObject* sender);

    // ---- layout on resize and channel names (app/FMainResize.cpp, app/FMainNames.cpp) ----
    static void PublishResize(kv::TClassBuilder<TfmMain>& b);
    static void PublishNames(kv::TClassBuilder<TfmMain>& b);

    void FormResize(kv::TObject* sender); // the layout of 1118 x 720 kept larger, scrolled below
    // The window height above 720 at the last resize that was at least that high.
    int ExtraHeight() const { return extraHeight; }
    // The rules for dH pixels above the design height and dW beyond the design width.
    static ResizeRules HeightRules(int dH);
    static ResizeRules WidthRules(int dW);
    // The controls the last resize looked for and did not find; empty with a complete layout.
    const std::vector<std::string>& ResizeMissing() const { return resizeMissing; }

    // Channel names: 8 bytes in the user's code page, zero-padded.
    std::array<uint8_t, 8> ChannelNameOf(int channel) const;
    // Shows a name (9 bytes: 8 and a zero) on the overview and as its page button's hint; Apply also
    // stores and sends it. Show is false when either control is missing.
    void ApplyChannelName(int channel, const uint8_t* name);
    bool ShowChannelName(int channel, const uint8_t* name);
    void ShowChannelNames();
    // The overview's name labels open the one-name dialog; the menu item the dialog of all six.
    void lbMatrixChNameInAClick(kv::TObject* sender);
    void ChNameListClick(kv::TObject* sender);

private:
    void ApplyResizeRules(const ResizeRules& rules);
    std::vector<std::string> resizeMissing;

    // ---- channel editors (app/pages/): one object per block, made before the layout binds ----
public:
    TPeqPage& Peq() const { return *peqPage; }
    TGeqPage& Geq() const { return *geqPage; }
    TOverlaysPage& Overlays() const { return *overlaysPage; }
    TGainPage& Gain() const { return *gainPage; }
    TDelayPage& Delay() const { return *delayPage; }
    TDynamicsPage& Dynamics() const { return *dynamicsPage; }
    TMatrixPage& Matrix() const { return *matrixPage; }
    TMetersPage& Meters() const { return *metersPage; }
    TLinkingPage& Linking() const { return *linkingPage; }
    TRefreshPage& Refresh() const { return *refreshPage; }
    // The read-back's end hides the graphic EQ's band display; the levels reply is the meters'.
    void HidePendingGeqBand();
    void OnLevelsReply(const BSTM& payload);

    // The updating-view flag for a scope; a nested fill leaves the flag of the fill around it.
    using UpdatingViewGuard = TFlagGuard<TfmMain, &TfmMain::IsUpdatingView, &TfmMain::SetUpdatingView>;
    // A companion control: stem + the channel's suffix ("cvdEqFreq" + "Out2"); none outside 0..5.
    template <class T> T* Companion(const std::string& stem, int channel) const {
        const std::string suffix = ChannelSuffix(channel);
        return suffix.empty() ? nullptr : Find<T>(stem + suffix);
    }
    // Enables a 1 ms deferral timer by name; an enabled one keeps counting, so a burst ends in a tick.
    void EnableTimer(const char* name) const;

protected:
    // A control freed while the window lives is forgotten by the pages that found it.
    void Notification(kv::TComponent* component, kv::TOperation operation) override;

private:
    void CreateStripPages();
    void BindStripPages();
    std::unique_ptr<TPeqPage> peqPage;
    std::unique_ptr<TGeqPage> geqPage;
    std::unique_ptr<TOverlaysPage> overlaysPage;
    std::unique_ptr<TGainPage> gainPage;
    std::unique_ptr<TDelayPage> delayPage;
    std::unique_ptr<TDynamicsPage> dynamicsPage;
    std::unique_ptr<TMatrixPage> matrixPage;
    std::unique_ptr<TMetersPage> metersPage;
    std::unique_ptr<TLinkingPage> linkingPage;
    std::unique_ptr<TRefreshPage> refreshPage;
};

// The main window; set when it is created, for the dialogs to call back.
extern TfmMain* fmMain;
