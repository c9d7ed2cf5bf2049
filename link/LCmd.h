#pragma once
// One command to the unit or one reply from it, and the typed command records.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/Records.h"

// The byte vector of frames, payloads and send queues.
using BSTM = std::vector<uint8_t>;

// Generic command codes carried by CM_MCS_CMD, and the acknowledgement.
enum : uint8_t {
    MCS_ACK = 1,
    MCS_PROBE = 16,
    MCS_RELEASE = 17,
    MCS_KEEP_ALIVE = 18,
    MCS_IDENTITY = 19,
    MCS_CURRENT_PRESET = 20,
    MCS_RECALL_PRESET = 32,
    MCS_STORE_PRESET = 33,
    MCS_READ_PARAMS = 34,
    MCS_FACTORY_DEFAULT = 35,
    MCS_READ_PRESET = 36,
    MCS_READ_PARAM_BLOCK = 39,
    MCS_READ_PRESET_BLOCK = 40,
    MCS_PRESET_NAME = 41,
    MCS_COPY_CHANNEL = 42,
    MCS_LOCK_STATUS = 44,
    MCS_LINK = 59,
    MCS_EQ_BYPASS = 60,
    MCS_LEVELS = 64,
    MCS_GEQ_BYPASS = 73,
};

// Codes of the typed records.
enum : uint8_t {
    MCS_MCU_RESET = 4,
    MCS_DELAYUNIT = 21,
    MCS_READ_EEPROM = 25,
    MCS_WRITE_EEPROM = 26,
    MCS_DOWNLOAD = 37,
    MCS_PRESETNAME = 38,
    MCS_PASS_SUBMIT = 45,
    MCS_SET_LOCK = 47,
    MCS_COMP = 48,
    MCS_LOW_PASS = 49,
    MCS_HIGH_PASS = 50,
    MCS_PEQ = 51,
    MCS_GAIN = 52,
    MCS_MUTE = 53,
    MCS_POLARITY = 54,
    MCS_DELAY = 56,
    MCS_WORK_MODE = 57,
    MCS_MATRIX = 58,
    MCS_CHANNEL_NAME = 61,
    MCS_GATE = 62,
    MCS_LIMIT = 63,
    MCS_MIX = 65,
    MCS_GEQ = 72,
};

// Frame layout: 10 02, sender, receiver, length (code + payload), code, payload, 10 03, XOR check.
inline constexpr size_t kFrameOverhead = 8; // frame length = length byte + 8

class LCmd {
public:
    LCmd() = default;
    LCmd(uint8_t id, uint8_t code) : id_(id), code_(code) {}
    // From one complete frame as a transport's assembler delivers it (starts with 10 02 and is
    // exactly length byte + 8 bytes long).
    explicit LCmd(const BSTM& frame) { FromFrame(frame); }
    virtual ~LCmd() = default;

    LCmd(const LCmd&) = default;
    LCmd& operator=(const LCmd&) = default;

    void FromFrame(const BSTM& frame);
    // The framed form, the only one any link uses.
    static BSTM ToFrame(const LCmd& cmd);

    uint8_t Id() const { return id_; }
    uint8_t Code() const { return code_; }
    const BSTM& Payload() const { return payload_; }

protected:
    void Byte(uint8_t b) { payload_.push_back(b); }
    void Word(uint16_t w) {
        payload_.push_back(static_cast<uint8_t>(w & 0xFF));
        payload_.push_back(static_cast<uint8_t>(w >> 8));
    }
    void Bytes(const uint8_t* p, size_t n) { payload_.insert(payload_.end(), p, p + n); }

    uint8_t id_ = 0;
    uint8_t code_ = 0;
    BSTM payload_;
};

// Generic command with 0, 1 or 2 payload bytes.
class CM_MCS_CMD : public LCmd {
public:
    CM_MCS_CMD(uint8_t id, uint8_t code);
    CM_MCS_CMD(uint8_t id, uint8_t code, uint8_t b0);
    CM_MCS_CMD(uint8_t id, uint8_t code, uint8_t b0, uint8_t b1);
};

class CM_MCS_MCU_RESET : public LCmd {
public:
    explicit CM_MCS_MCU_RESET(uint8_t id);
};

class CM_MCS_DELAYUNIT : public LCmd {
public:
    CM_MCS_DELAYUNIT(uint8_t id, uint8_t unit);
};

class CM_MCS_READ_EEPROM : public LCmd {
public:
    CM_MCS_READ_EEPROM(uint8_t id, uint16_t address, uint8_t count);
};

class CM_MCS_WRITE_EEPROM : public LCmd {
public:
    CM_MCS_WRITE_EEPROM(uint8_t id, uint16_t address, uint8_t count, const uint8_t* data);
};

class CM_MCS_DOWNLOAD : public LCmd {
public:
    CM_MCS_DOWNLOAD(uint8_t id, uint8_t preset, uint8_t block, uint8_t count, const uint8_t* data);
};

class CM_MCS_PRESETNAME : public LCmd {
public:
    CM_MCS_PRESETNAME(uint8_t id, const uint8_t* name14);
};

class CM_MCS_PASS_SUBMIT : public LCmd {
public:
    CM_MCS_PASS_SUBMIT(uint8_t id, uint8_t lock, const uint8_t* password4);
};

class CM_MCS_SET_LOCK : public LCmd {
public:
    CM_MCS_SET_LOCK(uint8_t id, const uint8_t* password4);
};

class CM_MCS_COMP : public LCmd {
public:
    CM_MCS_COMP(uint8_t id, uint8_t ch, const CompRecord& r);
};

class CM_MCS_LOW_PASS : public LCmd {
public:
    CM_MCS_LOW_PASS(uint8_t id, uint8_t ch, uint16_t freq, uint8_t slope);
};

class CM_MCS_HIGH_PASS : public LCmd {
public:
    CM_MCS_HIGH_PASS(uint8_t id, uint8_t ch, uint16_t freq, uint8_t slope);
};

class CM_MCS_PEQ : public LCmd {
public:
    CM_MCS_PEQ(uint8_t id, uint8_t ch, uint8_t band, const PeqBand& b, uint8_t bypass);
};

class CM_MCS_GAIN : public LCmd {
public:
    CM_MCS_GAIN(uint8_t id, uint8_t ch, uint16_t gain);
};

class CM_MCS_MUTE : public LCmd {
public:
    CM_MCS_MUTE(uint8_t id, uint8_t ch, uint8_t on);
};

class CM_MCS_POLARITY : public LCmd {
public:
    CM_MCS_POLARITY(uint8_t id, uint8_t ch, uint8_t inverted);
};

class CM_MCS_DELAY : public LCmd {
public:
    CM_MCS_DELAY(uint8_t id, uint8_t ch, uint16_t samples);
};

class CM_MCS_WORK_MODE : public LCmd {
public:
    CM_MCS_WORK_MODE(uint8_t id, uint8_t signal, uint8_t sineIndex);
};

class CM_MCS_MATRIX : public LCmd {
public:
    CM_MCS_MATRIX(uint8_t id, uint8_t ch, uint8_t sourceMask);
};

class CM_MCS_CHANNEL_NAME : public LCmd {
public:
    CM_MCS_CHANNEL_NAME(uint8_t id, uint8_t ch, const uint8_t* name8);
};

class CM_MCS_GATE : public LCmd {
public:
    CM_MCS_GATE(uint8_t id, uint8_t ch, const GateRecord& r);
};

class CM_MCS_LIMIT : public LCmd {
public:
    CM_MCS_LIMIT(uint8_t id, uint8_t ch, const LimitRecord& r);
};

class CM_MCS_MIX : public LCmd {
public:
    CM_MCS_MIX(uint8_t id, uint8_t ch, uint8_t input, uint16_t level);
};

class CM_MCS_GEQ : public LCmd {
public:
    CM_MCS_GEQ(uint8_t id, uint8_t ch, uint8_t band, uint16_t level);
};
