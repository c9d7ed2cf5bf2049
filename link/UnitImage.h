#pragma once
// Byte layout of the unit's 724-byte parameter image. The offsets are the unit's own format: the
// read-back, the preset file and the stored presets all use them.

#include <array>
#include <cstddef>
#include <cstdint>

namespace img {

inline constexpr size_t kImageSize = 724;
inline constexpr size_t kDumpSize = 750; // 15 pieces of 50 on the wire
inline constexpr size_t kPieceSize = 50;
inline constexpr int kPieceCount = 15;
inline constexpr size_t kStoredPresetBytes = 722; // image bytes 0..721 kept per stored preset

inline constexpr size_t kSlotHeader = 0;
inline constexpr size_t kPresetName = 2;
inline constexpr size_t kNameLength = 14;
inline constexpr size_t kInput0 = 16;
inline constexpr size_t kInputSize = 140;
inline constexpr size_t kOutput0 = 296;
inline constexpr size_t kOutputSize = 100;
inline constexpr size_t kInputMute = 696;
inline constexpr size_t kOutputMute = 698;
inline constexpr size_t kBandBypass0 = 700; // + 2 x channel
inline constexpr size_t kWorkMode = 712;
inline constexpr size_t kSineIndex = 714;
inline constexpr size_t kDelayUnit = 716;
inline constexpr size_t kEqBypassIn = 718;
inline constexpr size_t kEqBypassOut = 720;
inline constexpr size_t kGeqBypass = 722;

// Within an input record.
inline constexpr size_t kInName = 0;
inline constexpr size_t kInGate = 8;
inline constexpr size_t kInGeq = 16;
inline constexpr size_t kInPeq = 78;
inline constexpr size_t kInHpFreq = 126;
inline constexpr size_t kInLpFreq = 128;
inline constexpr size_t kInHpSlope = 130;
inline constexpr size_t kInLpSlope = 131;
inline constexpr size_t kInGain = 132;
inline constexpr size_t kInPolarity = 134;
inline constexpr size_t kInDelay = 136;
inline constexpr size_t kInLink = 138;

// Within an output record.
inline constexpr size_t kOutName = 0;
inline constexpr size_t kOutSource = 8;
inline constexpr size_t kOutMix = 10; // + 2 x input
inline constexpr size_t kOutHpFreq = 14;
inline constexpr size_t kOutLpFreq = 16;
inline constexpr size_t kOutHpSlope = 18;
inline constexpr size_t kOutLpSlope = 19;
inline constexpr size_t kOutPeq = 20;
inline constexpr size_t kOutComp = 74;
inline constexpr size_t kOutLimit = 84;
inline constexpr size_t kOutGain = 92;
inline constexpr size_t kOutPolarity = 94;
inline constexpr size_t kOutDelay = 96;
inline constexpr size_t kOutLink = 98;

inline constexpr size_t kChannelNameLength = 8;
inline constexpr size_t kPeqBandSize = 6;
inline constexpr int kGeqBands = 31;
inline constexpr int kInputPeqBands = 8;
inline constexpr int kOutputPeqBands = 9;

inline constexpr bool IsInput(int ch) {
    return ch <= 1;
}
// The first and last channel of ch's side (inputs 0..1, outputs 2..5).
inline constexpr int FirstOfSide(int ch) {
    return IsInput(ch) ? 0 : 2;
}
inline constexpr int LastOfSide(int ch) {
    return IsInput(ch) ? 1 : 5;
}
// The channel's bit in its side's masks (link, mute, PEQ bypass).
inline constexpr uint16_t SideBit(int ch) {
    return static_cast<uint16_t>(1u << (ch - FirstOfSide(ch)));
}
inline constexpr int PeqBands(int ch) {
    return IsInput(ch) ? kInputPeqBands : kOutputPeqBands;
}
// Offset of channel ch's record (0, 1 inputs; 2..5 outputs).
inline constexpr size_t ChannelOffset(int ch) {
    return IsInput(ch) ? kInput0 + kInputSize * static_cast<size_t>(ch)
                       : kOutput0 + kOutputSize * static_cast<size_t>(ch - 2);
}

using Image = std::array<uint8_t, kImageSize>;

inline uint16_t GetWord(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline void PutWord(uint8_t* p, uint16_t w) {
    p[0] = static_cast<uint8_t>(w & 0xFF);
    p[1] = static_cast<uint8_t>(w >> 8);
}

} // namespace img
