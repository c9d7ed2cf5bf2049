#pragma once
// A recording stand-in for the main window, for the model and file tests.

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "link/LCmd.h"
#include "link/LMainHost.h"
#include "link/PresetFiles.h"

struct SentFrame {
    BSTM frame;
    bool force;
    uint8_t code() const { return frame.size() > 5 ? frame[5] : 0; }
    BSTM payload() const { return LCmd(frame).Payload(); }
};

class FakeHost : public LMainHost {
public:
    // A transport is open unless a test says otherwise (then nothing is sent, as offline).
    bool transportOpen = true;
    bool connected = false;
    bool updating = false;
    int deviceId = 1;
    std::vector<SentFrame> sent;
    std::vector<int> overlaysDirty;
    std::map<int, std::string> recallNames, storeNames;
    std::deque<std::optional<std::string>> dialogAnswers; // one per RunFileDialog call
    std::vector<FileDialog> dialogsRun;
    std::vector<std::string> messages; // texts shown in the information window
    std::vector<std::string> calls;    // other main-window operations, in order
    int linkTimeout = 0;
    int transferState = tsIdle;
    int postOpenState = 0;
    bool mainEnabled = true;
    std::string progressStatus;
    int progressPosition = -1, progressMax = -1;
    UnitDownload download;

    void SendCommand(const LCmd& cmd, bool force) override {
        if (transportOpen)
            sent.push_back({LCmd::ToFrame(cmd), force});
    }
    int GetDeviceId() const override { return deviceId; }
    bool IsConnected() const override { return connected; }
    bool IsUpdatingView() const override { return updating; }
    void SetUpdatingView(bool on) override {
        updating = on;
        calls.push_back(on ? "SetUpdatingView(1)" : "SetUpdatingView(0)");
    }
    void SetOverlaysDirty(int ch) override { overlaysDirty.push_back(ch); }
    void ResetPeqViews() override { calls.push_back("ResetPeqViews"); }
    void RefreshAllPanels() override {
        calls.push_back(updating ? "RefreshAllPanels(updating)" : "RefreshAllPanels");
    }
    void RepaintChannelGraphs() override { calls.push_back("RepaintChannelGraphs"); }
    void ResetLevelMeters() override { calls.push_back("ResetLevelMeters"); }
    void StopLevelPoll() override { calls.push_back("StopLevelPoll"); }
    void SetRecallPresetName(int row, const std::string& name) override { recallNames[row] = name; }
    void SetStorePresetName(int row, const std::string& name) override { storeNames[row] = name; }
    std::optional<std::string> RunFileDialog(FileDialog which) override {
        dialogsRun.push_back(which);
        if (dialogAnswers.empty())
            return std::nullopt;
        auto answer = dialogAnswers.front();
        dialogAnswers.pop_front();
        return answer;
    }
    std::string GetLangText(const std::string& key) const override {
        static const std::map<std::string, std::string> english = {
            {"SID_INFO_ERROR_FILE", "Open File Error !!"},
            {"SID_INFO_ERROR_SAVE", "Save File Error !!"},
            {"SID_SAVE", "Save"},
            {"SID_INFO_CON_FIRST", "You Must Connect First !!"},
            {"SID_INFO_ERROR_DOWNLAOD", "Download File Error !!"},
            {"SID_DOWNLOAD_PRESET", "Download preset now , please wait..."},
        };
        auto it = english.find(key);
        return it == english.end() ? key : it->second;
    }
    void ShowInformation(const std::string& text) override { messages.push_back(text); }
    void ShowProgressModal() override { calls.push_back("ShowProgressModal"); }
    void ShowProgress(const std::string& status, int position, int max) override {
        progressStatus = status;
        progressPosition = position;
        progressMax = max;
        calls.push_back("ShowProgress");
    }
    void SetMainEnabled(bool on) override { mainEnabled = on; }
    void RestoreProgramFolder() override { calls.push_back("RestoreProgramFolder"); }
    void SetLinkTimeout(int ms) override { linkTimeout = ms; }
    void SetTransferState(TransferState state) override { transferState = state; }
    void SetPostOpenState(int state) override { postOpenState = state; }
    UnitDownload& DownloadBuffers() override { return download; }
};
