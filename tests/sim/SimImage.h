#pragma once
// The simulated unit's own map of one parameter set. Written from the protocol description, on purpose
// independent of the editor's model, so that a read-back test compares two separate readings of the
// same layout.

#include <array>
#include <cstddef>
#include <cstdint>

namespace kv::sim {

// One parameter set as the unit keeps and sends it: the 724-byte image followed by bytes the editor
// never interprets, 750 bytes in all (15 pieces of 50).
constexpr std::size_t kImageSize = 724;
constexpr std::size_t kDumpSize = 750;
constexpr std::size_t kPieceSize = 50;
constexpr int kPieceCount = 15;
constexpr int kPresetSlots = 20;
constexpr std::size_t kUnitInfoSize = 18;
constexpr std::size_t kLevelsSize = 32;

using Dump = std::array<std::uint8_t, kDumpSize>;

namespace off {
// Whole-image offsets.
constexpr std::size_t SlotHeader = 0; // 0xFF in byte 0 while a stored slot holds a preset
constexpr std::size_t PresetName = 2; // 14 bytes
constexpr std::size_t PresetNameSize = 14;
constexpr std::size_t InputMute = 696;
constexpr std::size_t OutputMute = 698;
constexpr std::size_t BandBypass = 700; // + 2 x channel
constexpr std::size_t WorkMode = 712;
constexpr std::size_t SineIndex = 714;
constexpr std::size_t DelayUnit = 716;
constexpr std::size_t InputEqBypass = 718;
constexpr std::size_t OutputEqBypass = 720;
constexpr std::size_t GeqBypass = 722;

// Start of a channel's record: inputs 0..1 are 140 bytes from 16, outputs 2..5 are 100 bytes from 296.
constexpr std::size_t ChannelRecord(int ch) {
    return ch < 2 ? 16 + 140 * static_cast<std::size_t>(ch) : 296 + 100 * static_cast<std::size_t>(ch - 2);
}

// Within an input record.
constexpr std::size_t InName = 0; // 8 bytes
constexpr std::size_t InGate = 8; // attack, release, hold, threshold words
constexpr std::size_t InGeq = 16; // 31 words
constexpr std::size_t InPeq = 78; // 8 bands of 6 bytes
constexpr std::size_t InHighPass = 126;
constexpr std::size_t InLowPass = 128;
constexpr std::size_t InHighSlope = 130;
constexpr std::size_t InLowSlope = 131;
constexpr std::size_t InGain = 132;
constexpr std::size_t InPolarity = 134;
constexpr std::size_t InDelay = 136;
constexpr std::size_t InLink = 138;

// Within an output record.
constexpr std::size_t OutName = 0;
constexpr std::size_t OutSource = 8;
constexpr std::size_t OutMix = 10; // + 2 x input
constexpr std::size_t OutHighPass = 14;
constexpr std::size_t OutLowPass = 16;
constexpr std::size_t OutHighSlope = 18;
constexpr std::size_t OutLowSlope = 19;
constexpr std::size_t OutPeq = 20;   // 9 bands of 6 bytes
constexpr std::size_t OutComp = 74;  // ratio, attack, release, knee, threshold words
constexpr std::size_t OutLimit = 84; // attack, release, knee, threshold words
constexpr std::size_t OutGain = 92;
constexpr std::size_t OutPolarity = 94;
constexpr std::size_t OutDelay = 96;
constexpr std::size_t OutLink = 98;

constexpr std::size_t PeqBandSize = 6; // gain word, frequency word, Q byte, type byte
constexpr int InPeqBands = 8;
constexpr int OutPeqBands = 9;
constexpr int GeqBands = 31;
} // namespace off

// The unit's factory settings; the trailing dump bytes are 0.
Dump DefaultDump();

inline std::uint16_t GetWord(const Dump& d, std::size_t at) {
    return static_cast<std::uint16_t>(d[at] | (d[at + 1] << 8));
}
inline void PutWord(Dump& d, std::size_t at, unsigned value) {
    d[at] = static_cast<std::uint8_t>(value & 0xFF);
    d[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

} // namespace kv::sim
