#pragma once
// The connection search dialog. It tries one candidate at a time: the unit's USB device, or else the
// network address, then every serial port the system lists. Each candidate gets its own watchdog,
// which only that candidate's attempt can be cut short by; a found unit closes the dialog, the demo
// button leaves the editor offline. Created once at start-up, it lives until the program ends.

#include "platform/gui/Forms.h"

#include <functional>
#include <string>
#include <vector>

namespace kv {

class TComboBox;
class TLabel;
class TProgressBar;
class TPkBmpButton;
class TTimer;

class TfmNetwork : public TForm {
    KV_CLASS(TfmNetwork)
public:
    explicit TfmNetwork(TComponent* owner);
    ~TfmNetwork() override;

    // Starts a search with every button disabled.
    void StartScan();
    void BeginScan();
    // The main window's report on the candidate being tried: 1 found, 0 not found.
    void OnScanResult(int found);
    // The link broke (or a serial port could not be opened): "Link Broken" shortly after, and the
    // progress window closes.
    void OnLinkBroken();

    // 1 when the last candidate was found; it stays 1 until the link breaks or a new search starts.
    int SearchResult() const { return searchResult; }
    // 1-based position of the candidate being tried, and the number of candidates.
    int Position() const { return position; }
    int Candidates() const { return static_cast<int>(portPaths.size()) + extraCount; }
    // The serial ports of the current search, by path.
    const std::vector<std::string>& PortPaths() const { return portPaths; }
    // Lists the serial ports (paths, in the order they are tried); the system's list by default.
    std::function<std::vector<std::string>()> ListPorts;

    // lblScan and pbScan, as the main window's socket handlers and link-broken handling set them.
    void SetStatus(const std::string& text);
    std::string Status() const;
    void SetScanPosition(int position);
    // Ends the dialog, modal or not.
    void CloseDialog();
    // Shows the dialog modally; one that is closing but still in its modal loop stays open instead.
    void ShowDialog();

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void btnOKClick(TObject* sender);
    void btnExitClick(TObject* sender);
    void btnIdClick(TObject* sender);
    void tmConnectTimer(TObject* sender);
    void tmLinkBrokenTimer(TObject* sender);
    void tmWatchDogTimer(TObject* sender);
    void tmRunUsbConnectTimer(TObject* sender);
    void tmRunNetConnectTimer(TObject* sender);
    void tmRunComConnectTimer(TObject* sender);

    TLabel* lblScan = nullptr;
    TLabel* lblDeviceID = nullptr;
    TProgressBar* pbScan = nullptr;
    TComboBox* cbCOM = nullptr;
    TPkBmpButton* btnOK = nullptr;
    TPkBmpButton* btnExit = nullptr;
    TPkBmpButton* btnId = nullptr;
    TTimer* tmConnect = nullptr;
    TTimer* tmLinkBroken = nullptr;
    TTimer* tmWatchDog = nullptr;
    TTimer* tmRunUsbConnect = nullptr;
    TTimer* tmRunNetConnect = nullptr;
    TTimer* tmRunComConnect = nullptr;

protected:
    void DoHide() override;

private:
    void SetButtonsEnabled(bool on);
    // A fresh watchdog for the candidate about to be tried.
    void ArmWatchdog(int ms);
    // Stops everything the search runs: the watchdog, the pending step and the pending attempt.
    void StopSearch();
    // Ends a search that found nothing: StopSearch, and the attempt in progress is given up.
    void EndSearch();
    // "p/N".
    void ShowPosition();
    void TryPort(int index);
    void NoDevice();

    int searchResult = 0;
    int position = 0;
    int extraCount = 0;
    std::vector<std::string> portPaths;
};

extern TfmNetwork* fmNetwork;

} // namespace kv
