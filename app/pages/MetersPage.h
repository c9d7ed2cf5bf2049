#pragma once
// The level meters: the 300 ms level poll while online, the reply's decoding and the bars and lamps of
// the channel, gain, gate, compressor and limiter pages.

#include "app/pages/Page.h"

class LMainHost;
namespace kv {
class LProgressBar;
}

class TMetersPage : public TPage {
public:
    TMetersPage(TfmMain& window, LMainHost& linkHost) : TPage(window), host(linkHost) {}
    static void Publish(kv::TClassBuilder<TfmMain>& b);
    void Bind() override;

    void tmInLevelDetTimer(kv::TObject* sender);
    // The levels reply (32 bytes: ten three-byte levels, then the compressor and limiter activity word).
    void OnLevelsReply(const BSTM& payload);
    // Every bar and lamp dark.
    void ResetLevelMeters();
    // One level value from its three bytes, linear (1.0 = 0 dB).
    static float DecodeLevel(uint8_t b0, uint8_t b1, uint8_t b2);
    // Segments lit by a linear level on an input (9) or output (8) bar.
    static int LevelSegments(float level, bool input);

private:
    LMainHost& host;
    // Per channel; the inputs have the level, backup and gate bars, the outputs all but the gate bar.
    TSix<kv::LProgressBar> level{}, levelBackup{}, levelGate{}, levelComp{}, levelLimit{};
    TSix<kv::LProgressBar> lamp{}, lampBackup{}, lampComp{}, lampLimit{};
    // The bars of the channel shown on the gate, compressor and limiter pages.
    kv::LProgressBar* gateInLevel = nullptr;
    kv::LProgressBar* compOutLevel = nullptr;
    kv::LProgressBar* compOutLamp = nullptr;
    kv::LProgressBar* limitOutLevel = nullptr;
    kv::LProgressBar* limitOutLamp = nullptr;
};
