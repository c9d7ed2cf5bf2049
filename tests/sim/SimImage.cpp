#include "tests/sim/SimImage.h"

#include <cstring>

namespace kv::sim {

namespace {

void PutText(Dump& d, std::size_t at, const char* text) {
    std::memcpy(&d[at], text, std::strlen(text));
}

void PutBand(Dump& d, std::size_t at, unsigned freq) {
    PutWord(d, at, 120); // 0 dB
    PutWord(d, at + 2, freq);
    d[at + 4] = 35; // Q index
    d[at + 5] = 0;  // peak
}

} // namespace

Dump DefaultDump() {
    Dump d{};
    PutText(d, off::PresetName, "Default Preset");
    static const unsigned inFreq[off::InPeqBands] = {41, 71, 101, 140, 170, 200, 240, 270};
    static const unsigned outFreq[off::OutPeqBands] = {31, 63, 95, 127, 158, 190, 222, 253, 285};
    static const char* const names[6] = {"InA", "InB", "Out1", "Out2", "Out3", "Out4"};
    for (int ch = 0; ch < 2; ++ch) {
        const std::size_t r = off::ChannelRecord(ch);
        PutText(d, r + off::InName, names[ch]);
        PutWord(d, r + off::InGate + 0, 0);
        PutWord(d, r + off::InGate + 2, 99);
        PutWord(d, r + off::InGate + 4, 99);
        PutWord(d, r + off::InGate + 6, 0);
        for (int b = 0; b < off::GeqBands; ++b)
            PutWord(d, r + off::InGeq + 2 * static_cast<std::size_t>(b), 120);
        for (int b = 0; b < off::InPeqBands; ++b)
            PutBand(d, r + off::InPeq + off::PeqBandSize * static_cast<std::size_t>(b), inFreq[b]);
        PutWord(d, r + off::InHighPass, 0);
        PutWord(d, r + off::InLowPass, 300);
        PutWord(d, r + off::InGain, 280);
        PutWord(d, r + off::InLink, 1u << ch);
    }
    for (int ch = 2; ch < 6; ++ch) {
        const std::size_t r = off::ChannelRecord(ch);
        PutText(d, r + off::OutName, names[ch]);
        PutWord(d, r + off::OutSource, ch % 2 == 0 ? 1 : 2);
        PutWord(d, r + off::OutMix, 280);
        PutWord(d, r + off::OutMix + 2, 280);
        PutWord(d, r + off::OutHighPass, 0);
        PutWord(d, r + off::OutLowPass, 300);
        for (int b = 0; b < off::OutPeqBands; ++b)
            PutBand(d, r + off::OutPeq + off::PeqBandSize * static_cast<std::size_t>(b), outFreq[b]);
        const unsigned comp[5] = {0, 49, 499, 0, 220};
        for (std::size_t i = 0; i < 5; ++i)
            PutWord(d, r + off::OutComp + 2 * i, comp[i]);
        const unsigned limit[4] = {49, 499, 0, 220};
        for (std::size_t i = 0; i < 4; ++i)
            PutWord(d, r + off::OutLimit + 2 * i, limit[i]);
        PutWord(d, r + off::OutGain, 280);
        PutWord(d, r + off::OutLink, 1u << (ch - 2));
    }
    return d;
}

} // namespace kv::sim
