#include "link/LCmd.h"

void LCmd::FromFrame(const BSTM& frame) {
    payload_.clear();
    const size_t n = frame.size();
    // The assemblers hand over only whole frames; anything shorter than the bare frame has no payload
    // slice to take.
    if (n < kFrameOverhead + 1) {
        code_ = n > 0 ? frame[0] : 0;
        id_ = 0;
        return;
    }
    const bool delimited =
        frame[0] == 0x10 && frame[1] == 0x02 && frame[n - 3] == 0x10 && frame[n - 2] == 0x03;
    if (delimited) {
        id_ = frame[2];
        code_ = frame[5];
    } else {
        // Device ID 0 never passes the reply filter, so such a record is dropped there.
        id_ = 0;
        code_ = frame[0];
    }
    const size_t len = frame[4];
    if (len >= 1) {
        size_t count = len - 1;
        if (6 + count > n)
            count = n > 6 ? n - 6 : 0;
        payload_.assign(frame.begin() + 6, frame.begin() + 6 + static_cast<std::ptrdiff_t>(count));
    }
}

BSTM LCmd::ToFrame(const LCmd& cmd) {
    BSTM f;
    f.reserve(cmd.payload_.size() + kFrameOverhead + 1);
    f.push_back(0x10);
    f.push_back(0x02);
    f.push_back(0x00);
    f.push_back(cmd.id_);
    f.push_back(static_cast<uint8_t>(cmd.payload_.size() + 1));
    f.push_back(cmd.code_);
    f.insert(f.end(), cmd.payload_.begin(), cmd.payload_.end());
    f.push_back(0x10);
    f.push_back(0x03);
    uint8_t check = 0;
    for (uint8_t b : f)
        check ^= b;
    f.push_back(check);
    return f;
}

CM_MCS_CMD::CM_MCS_CMD(uint8_t id, uint8_t code) : LCmd(id, code) {}

CM_MCS_CMD::CM_MCS_CMD(uint8_t id, uint8_t code, uint8_t b0) : LCmd(id, code) {
    Byte(b0);
}

CM_MCS_CMD::CM_MCS_CMD(uint8_t id, uint8_t code, uint8_t b0, uint8_t b1) : LCmd(id, code) {
    Byte(b0);
    Byte(b1);
}

CM_MCS_MCU_RESET::CM_MCS_MCU_RESET(uint8_t id) : LCmd(id, MCS_MCU_RESET) {}

CM_MCS_DELAYUNIT::CM_MCS_DELAYUNIT(uint8_t id, uint8_t unit) : LCmd(id, MCS_DELAYUNIT) {
    Byte(unit);
}

CM_MCS_READ_EEPROM::CM_MCS_READ_EEPROM(uint8_t id, uint16_t address, uint8_t count)
    : LCmd(id, MCS_READ_EEPROM) {
    Word(address);
    Byte(count);
}

CM_MCS_WRITE_EEPROM::CM_MCS_WRITE_EEPROM(uint8_t id, uint16_t address, uint8_t count, const uint8_t* data)
    : LCmd(id, MCS_WRITE_EEPROM) {
    Word(address);
    Byte(count);
    Bytes(data, count);
}

CM_MCS_DOWNLOAD::CM_MCS_DOWNLOAD(uint8_t id, uint8_t preset, uint8_t block, uint8_t count,
                                 const uint8_t* data)
    : LCmd(id, MCS_DOWNLOAD) {
    Byte(block);
    Byte(preset);
    Bytes(data, count);
}

CM_MCS_PRESETNAME::CM_MCS_PRESETNAME(uint8_t id, const uint8_t* name14) : LCmd(id, MCS_PRESETNAME) {
    Bytes(name14, 14);
}

CM_MCS_PASS_SUBMIT::CM_MCS_PASS_SUBMIT(uint8_t id, uint8_t lock, const uint8_t* password4)
    : LCmd(id, MCS_PASS_SUBMIT) {
    Byte(lock);
    Bytes(password4, 4);
}

CM_MCS_SET_LOCK::CM_MCS_SET_LOCK(uint8_t id, const uint8_t* password4) : LCmd(id, MCS_SET_LOCK) {
    Bytes(password4, 4);
}

CM_MCS_COMP::CM_MCS_COMP(uint8_t id, uint8_t ch, const CompRecord& r) : LCmd(id, MCS_COMP) {
    Byte(ch);
    Word(r.ratio);
    Word(r.attack);
    Word(r.release);
    Word(r.knee);
    Word(r.threshold);
}

CM_MCS_LOW_PASS::CM_MCS_LOW_PASS(uint8_t id, uint8_t ch, uint16_t freq, uint8_t slope)
    : LCmd(id, MCS_LOW_PASS) {
    Byte(ch);
    Word(freq);
    Byte(slope);
}

CM_MCS_HIGH_PASS::CM_MCS_HIGH_PASS(uint8_t id, uint8_t ch, uint16_t freq, uint8_t slope)
    : LCmd(id, MCS_HIGH_PASS) {
    Byte(ch);
    Word(freq);
    Byte(slope);
}

CM_MCS_PEQ::CM_MCS_PEQ(uint8_t id, uint8_t ch, uint8_t band, const PeqBand& b, uint8_t bypass)
    : LCmd(id, MCS_PEQ) {
    Byte(ch);
    Byte(band);
    Word(b.gain);
    Word(b.freq);
    Byte(b.q);
    Byte(b.type);
    Byte(bypass);
}

CM_MCS_GAIN::CM_MCS_GAIN(uint8_t id, uint8_t ch, uint16_t gain) : LCmd(id, MCS_GAIN) {
    Byte(ch);
    Word(gain);
}

CM_MCS_MUTE::CM_MCS_MUTE(uint8_t id, uint8_t ch, uint8_t on) : LCmd(id, MCS_MUTE) {
    Byte(ch);
    Byte(on);
}

CM_MCS_POLARITY::CM_MCS_POLARITY(uint8_t id, uint8_t ch, uint8_t inverted) : LCmd(id, MCS_POLARITY) {
    Byte(ch);
    Byte(inverted ? 1 : 0);
}

CM_MCS_DELAY::CM_MCS_DELAY(uint8_t id, uint8_t ch, uint16_t samples) : LCmd(id, MCS_DELAY) {
    Byte(ch);
    Word(samples);
}

CM_MCS_WORK_MODE::CM_MCS_WORK_MODE(uint8_t id, uint8_t signal, uint8_t sineIndex) : LCmd(id, MCS_WORK_MODE) {
    Byte(signal);
    Byte(sineIndex);
}

CM_MCS_MATRIX::CM_MCS_MATRIX(uint8_t id, uint8_t ch, uint8_t sourceMask) : LCmd(id, MCS_MATRIX) {
    Byte(ch);
    Byte(sourceMask);
}

CM_MCS_CHANNEL_NAME::CM_MCS_CHANNEL_NAME(uint8_t id, uint8_t ch, const uint8_t* name8)
    : LCmd(id, MCS_CHANNEL_NAME) {
    Byte(ch);
    Bytes(name8, 8);
}

CM_MCS_GATE::CM_MCS_GATE(uint8_t id, uint8_t ch, const GateRecord& r) : LCmd(id, MCS_GATE) {
    Byte(ch);
    Word(r.attack);
    Word(r.release);
    Word(r.hold);
    Word(r.threshold);
}

CM_MCS_LIMIT::CM_MCS_LIMIT(uint8_t id, uint8_t ch, const LimitRecord& r) : LCmd(id, MCS_LIMIT) {
    Byte(ch);
    Word(r.attack);
    Word(r.release);
    Word(r.knee);
    Word(r.threshold);
}

CM_MCS_MIX::CM_MCS_MIX(uint8_t id, uint8_t ch, uint8_t input, uint16_t level) : LCmd(id, MCS_MIX) {
    Byte(ch);
    Byte(input);
    Word(level);
}

CM_MCS_GEQ::CM_MCS_GEQ(uint8_t id, uint8_t ch, uint8_t band, uint16_t level) : LCmd(id, MCS_GEQ) {
    Byte(ch);
    Byte(band);
    Word(level);
}
