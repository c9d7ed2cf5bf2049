#pragma once
// A simulated unit for tests: it answers the editor's command frames the way the hardware does, keeps
// its own parameter set, 20 stored presets, the unit-information bytes and the panel lock, and can be
// told to misbehave on the way out (drop, delay, split, garble or repeat replies, answer under another
// device ID, stay silent).
//
// SimUnit is transport-neutral: bytes go in through Feed(), reply bytes come out through the output
// callback (or collect for TakeSent() when none is set). SimPty, SimTcp and SimHid put it on a wire.
//
// Time: replies are queued with a due time and leave through Pump(). The clock is virtual by default
// (AdvanceTime() moves it and pumps), so a delayed reply goes out only when a test says so;
// UseRealTime() or SetClock() tie it to the wall clock or to a test's own clock. Without a delay fault
// every reply is due at once and leaves before Feed() returns.
//
// What the unit does with each command (commands it cannot act on, such as unknown codes, short
// payloads, channels or bands out of range or the wrong side, get no reply at all and count in
// RejectedCount(); every command addressed to the unit is logged in Received() first):
//   16 probe -> 16 []; 19 -> 19 identity text; 18 keep-alive -> ack (1); 17 release, 4 MCU reset ->
//   no reply, counted (a reset keeps all state); 44 -> 44 [0,0,0,0,0, panel locked];
//   47 [4 bytes] sets the password and locks -> ack; 45 [lock, 4 bytes] -> 45 [lock, 1 right / 0
//   wrong], a right panel password (lock 0) unlocks; 64 -> 64 with the 32 bytes of SetLevels();
//   34 -> 20 slot flags (0xFF used); 20 -> [current preset]; 41 [i] -> [i, 14 name bytes of preset
//   i + 1] (zeros for i >= 20); 39 [p] -> 36 [p, 50 bytes of the current set] ([p] alone past 14);
//   36 [n] selects preset n (0..20) for 40 -> ack; 40 [p] -> 40 [p, 50 bytes of the selected preset];
//   38 [14] writes the current preset name -> ack; 33 [1..20] stores the current set (byte 0 := 0xFF)
//   and makes it current -> ack; 32 [n] recalls preset n, 0 = factory; an empty slot changes nothing
//   -> ack; 35 restores the factory set, empties every slot, current preset 0 -> ack;
//   25 [addr word, count] -> 25 with the unit-information bytes in range; 26 [addr word, count,
//   bytes] writes them -> ack; 37 [block, preset 0..19, 50 bytes] writes into that slot -> 37 [block];
//   42 [src, dst] copies a channel as the editor's copy does -> ack; every parameter record is written
//   at its offsets -> ack. Gate, compressor, limiter, polarity, PEQ, GEQ, filters, gain, delay and mute
//   reach every channel in the addressed channel's link mask, as the editor's model does.
//
// Every public member is thread-safe; the output callback is called without the state lock held, one
// chunk at a time and in order, and must not call back into the unit.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "tests/sim/SimImage.h"

namespace kv::sim {

using Bytes = std::vector<std::uint8_t>;

// Command codes the unit understands.
namespace code {
constexpr std::uint8_t Ack = 1, McuReset = 4, Probe = 16, Release = 17, KeepAlive = 18, Identity = 19,
                       CurrentPreset = 20, DelayUnit = 21, ReadEeprom = 25, WriteEeprom = 26, Recall = 32,
                       Store = 33, ReadParams = 34, FactoryDefault = 35, ReadPreset = 36, Download = 37,
                       PresetName = 38, ReadParamBlock = 39, ReadPresetBlock = 40, PresetNameOf = 41,
                       CopyChannel = 42, LockStatus = 44, PassSubmit = 45, SetLock = 47, Comp = 48,
                       LowPass = 49, HighPass = 50, Peq = 51, Gain = 52, Mute = 53, Polarity = 54, Delay = 56,
                       WorkMode = 57, Matrix = 58, Link = 59, EqBypass = 60, ChannelName = 61, Gate = 62,
                       Limit = 63, Levels = 64, Mix = 65, Geq = 72, GeqBypass = 73;
// The reply to ReadParamBlock comes back under this code.
constexpr std::uint8_t ParamBlockReply = 36;
} // namespace code

// 0x10 0x02 source dest LEN code payload 0x10 0x03 check, LEN = payload + 1, check = XOR of the rest.
Bytes BuildFrame(std::uint8_t source, std::uint8_t dest, std::uint8_t code, const Bytes& payload);
// What the editor sends: source 0, dest = the unit addressed.
inline Bytes CommandFrame(std::uint8_t id, std::uint8_t code, const Bytes& payload = {}) {
    return BuildFrame(0x00, id, code, payload);
}

struct Frame {
    std::uint8_t source = 0; // a reply carries the unit's ID here
    std::uint8_t dest = 0;
    std::uint8_t code = 0;
    Bytes payload;
    bool checkOk = false; // the XOR check byte matches
};
// One complete frame (as FrameAssembler delivers it); nullopt when the delimiters or length are wrong.
std::optional<Frame> ParseFrame(const Bytes& frame);

// Cuts a byte stream into frames by the length byte: waits for 0x10 0x02, drops a frame whose length
// byte is 0 and resynchronises, never buffers more than one frame.
class FrameAssembler {
public:
    std::vector<Bytes> Push(const std::uint8_t* data, std::size_t n);
    std::vector<Bytes> Push(const Bytes& data) { return Push(data.data(), data.size()); }
    void Reset() { buf_.clear(); }

private:
    Bytes buf_;
};

// A command as the unit received it (only those addressed to it or to 255).
struct Command {
    std::uint8_t dest = 0;
    std::uint8_t code = 0;
    Bytes payload;
};

// Faults act on reply frames, in this order: Drop (nothing else applies), OtherId, Garble, Repeat,
// Delay, Split. Each applies to the next `times` replies whose code is `onlyCode` (-1: any reply);
// times -1 means until ClearFaults().
struct ReplyFault {
    enum Kind { Drop, Delay, Split, Garble, Repeat, OtherId };
    Kind kind = Drop;
    int onlyCode = -1;
    int times = 1;
    int value = 0; // Delay: ms; Split: chunk size; Garble: byte offset (negative counts from the end);
                   // Repeat: extra copies; OtherId: the source ID to put in the reply
    int gapMs = 0; // Split: time between chunks
    std::uint8_t mask = 0xFF; // Garble: XORed into the byte; the check byte is left as it was
};

class SimUnit {
public:
    using Output = std::function<void(const Bytes& chunk)>;

    SimUnit();
    SimUnit(const SimUnit&) = delete;
    SimUnit& operator=(const SimUnit&) = delete;

    // Wire.
    void SetOutput(Output out); // empty: chunks collect for TakeSent()
    void Feed(const std::uint8_t* data, std::size_t n);
    void Feed(const Bytes& data) { Feed(data.data(), data.size()); }
    std::vector<Bytes> TakeSent(); // chunks delivered while no output was set, in order

    // Time.
    void UseRealTime();                              // steady clock
    void SetClock(std::function<std::int64_t()> ms); // any monotonic millisecond source
    void AdvanceTime(std::int64_t ms);               // virtual clock only; then Pump()
    std::int64_t NowMs() const;
    void Pump();             // deliver every chunk that is due
    bool HasPending() const; // chunks waiting for their time
    bool HasDue() const;     // chunks whose time has come (the next Pump sends them)
    void DiscardPending();

    // Identity and addressing. Commands to another ID are ignored (255 is accepted as broadcast).
    void SetDeviceId(std::uint8_t id);
    std::uint8_t DeviceId() const;
    void SetIdentity(const std::string& text); // reply to 19, default "Tirnel V010"
    void SetVerifyCheckByte(bool on);          // drop commands with a wrong check byte (off by default)
    // Apply a record of a linked kind through the addressed channel's own link mask only, as a unit
    // may: a record addressed to a member (mask 0) then changes nothing. Off by default: the group rule.
    void SetAddressedMaskOnly(bool on);

    // State. Presets are numbered 1..20; 0 is the factory preset (recall and read only).
    Dump Current() const; // current settings, 750 bytes; the first 724 are the image
    void SetCurrent(const Dump& d);
    std::uint16_t Word(std::size_t offset) const; // of the current settings
    void SetWord(std::size_t offset, unsigned value);
    Dump Stored(int preset) const;
    void SetStored(int preset, const Dump& d); // byte 0 = 0xFF marks the slot used
    bool SlotUsed(int preset) const;
    int CurrentPreset() const;
    void SetCurrentPreset(int preset);
    Bytes UnitInfo() const; // the 18 unit-information bytes
    void SetUnitInfo(const Bytes& info);
    bool PanelLocked() const;
    void SetPanelLock(bool locked, const std::string& password = "8052");
    Bytes Password() const;                 // 4 bytes
    void SetLevels(const Bytes& payload32); // reply to 64; default all 0
    static Bytes EncodeLevel(float linear); // the three bytes of one level value

    // What arrived.
    std::vector<Command> Received() const;
    std::vector<std::uint8_t> ReceivedCodes() const;
    void ClearReceived();
    int ResetCount() const;    // MCU resets (4)
    int ReleaseCount() const;  // releases (17)
    int RejectedCount() const; // unknown codes, short payloads, values out of range: no reply
    int BadCheckCount() const;

    // Faults.
    void AddFault(const ReplyFault& f);
    void DropReplies(int times = 1, int onlyCode = -1);
    void DelayReplies(int ms, int times = 1, int onlyCode = -1);
    void SplitReplies(int chunk, int gapMs = 0, int times = 1, int onlyCode = -1);
    void GarbleReply(int offset, std::uint8_t mask = 0xFF, int times = 1, int onlyCode = -1);
    void RepeatReply(int copies = 1, int times = 1, int onlyCode = -1);
    void AnswerAs(std::uint8_t id, int times = -1, int onlyCode = -1);
    void SetSilent(bool silent); // receive and change state, send nothing
    void SilenceAfter(int replies); // goes silent once this many more replies have gone out
    void ClearFaults();

private:
    struct Chunk {
        std::int64_t due;
        Bytes bytes;
    };

    void HandleFrame(const Bytes& frame);
    bool Execute(const Frame& f, Bytes& reply, std::uint8_t& replyCode);
    bool ApplyParameter(std::uint8_t code, const Bytes& p);
    void Emit(std::uint8_t code, const Bytes& payload);
    std::int64_t NowLocked() const;
    Bytes PieceOf(const Dump& d, int piece) const;

    mutable std::mutex mu_;
    std::mutex outMu_; // keeps chunks in order across concurrent pumps
    Output out_;
    std::vector<Bytes> sent_;
    std::deque<Chunk> pending_;
    std::int64_t lastDue_ = 0;
    std::function<std::int64_t()> clock_;
    std::int64_t virtualNow_ = 0;
    FrameAssembler assembler_;

    std::uint8_t id_ = 1;
    std::string identity_ = "Tirnel V010";
    bool verifyCheck_ = false;
    bool addressedMaskOnly_ = false;
    Dump current_;
    std::array<Dump, kPresetSlots> stored_;
    int currentPreset_ = 0;
    int selectedPreset_ = 0;
    Bytes unitInfo_;
    bool locked_ = false;
    Bytes password_;
    Bytes levels_;

    std::vector<Command> received_;
    int resets_ = 0, releases_ = 0, rejected_ = 0, badChecks_ = 0;
    std::vector<ReplyFault> faults_;
    bool silent_ = false;
    int silentAfter_ = -1;
};

} // namespace kv::sim
