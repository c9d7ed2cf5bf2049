#pragma once
// The structured parts of the parameter image, in their stored order (every field a little-endian word
// in the image unless noted).

#include <cstdint>

struct PeqBand {
    uint16_t gain = 0; // 0..240, 120 = 0 dB
    uint16_t freq = 0; // frequency index 0..300
    uint8_t q = 0;     // Q index 0..100
    uint8_t type = 0;  // filter type 0..8
    bool operator==(const PeqBand&) const = default;
};

struct GateRecord {
    uint16_t attack = 0, release = 0, hold = 0, threshold = 0;
    bool operator==(const GateRecord&) const = default;
};

struct CompRecord {
    uint16_t ratio = 0, attack = 0, release = 0, knee = 0, threshold = 0;
    bool operator==(const CompRecord&) const = default;
};

struct LimitRecord {
    uint16_t attack = 0, release = 0, knee = 0, threshold = 0;
    bool operator==(const LimitRecord&) const = default;
};

struct FilterRecord {
    uint16_t hpFreq = 0, lpFreq = 0;
    uint8_t hpSlope = 0, lpSlope = 0; // 0 = filter off
    bool operator==(const FilterRecord&) const = default;
};
