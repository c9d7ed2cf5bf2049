#include "link/LUnitControl.h"

#include <algorithm>
#include <cstring>

#include "link/LMainHost.h"
#include "platform/core/CodePage.h"

using namespace img;

namespace {

constexpr int kChannels = 6;
constexpr size_t kPresetFlagCount = 20;
constexpr int kPresetSlots = 20;
constexpr int kLastPiece = kPieceCount - 1;

bool ValidChannel(int ch) {
    return ch >= 0 && ch < kChannels;
}
bool ValidBand(int ch, int band) {
    return band >= 0 && band < PeqBands(ch);
}
bool ValidOutput(int ch) {
    return ch >= 2 && ch < kChannels;
}
bool ValidInput(int ch) {
    return ch == 0 || ch == 1;
}
bool ValidGeqBand(int ch, int band) {
    return ValidInput(ch) && band >= 0 && band < kGeqBands;
}
bool ValidInputIndex(int input) {
    return input == 0 || input == 1;
}

// Offsets of the fields that inputs and outputs both carry, relative to the image.
size_t GainAt(int ch) {
    return ChannelOffset(ch) + (IsInput(ch) ? kInGain : kOutGain);
}
size_t PolarityAt(int ch) {
    return ChannelOffset(ch) + (IsInput(ch) ? kInPolarity : kOutPolarity);
}
size_t DelayAt(int ch) {
    return ChannelOffset(ch) + (IsInput(ch) ? kInDelay : kOutDelay);
}
size_t LinkAt(int ch) {
    return ChannelOffset(ch) + (IsInput(ch) ? kInLink : kOutLink);
}
size_t HpFreqAt(int ch) {
    return ChannelOffset(ch) + (IsInput(ch) ? kInHpFreq : kOutHpFreq);
}
size_t LpFreqAt(int ch) {
    return ChannelOffset(ch) + (IsInput(ch) ? kInLpFreq : kOutLpFreq);
}
size_t HpSlopeAt(int ch) {
    return ChannelOffset(ch) + (IsInput(ch) ? kInHpSlope : kOutHpSlope);
}
size_t LpSlopeAt(int ch) {
    return ChannelOffset(ch) + (IsInput(ch) ? kInLpSlope : kOutLpSlope);
}
size_t PeqAt(int ch, int band) {
    return ChannelOffset(ch) + (IsInput(ch) ? kInPeq : kOutPeq) + kPeqBandSize * static_cast<size_t>(band);
}
size_t GeqAt(int ch, int band) {
    return ChannelOffset(ch) + kInGeq + 2 * static_cast<size_t>(band);
}
size_t BandBypassAt(int ch) {
    return kBandBypass0 + 2 * static_cast<size_t>(ch);
}
// The mute and whole-PEQ bypass masks of a side.
size_t MuteAt(int ch) {
    return IsInput(ch) ? kInputMute : kOutputMute;
}
size_t EqBypassAt(int ch) {
    return IsInput(ch) ? kEqBypassIn : kEqBypassOut;
}

uint8_t Id(const LMainHost& host) {
    return static_cast<uint8_t>(host.GetDeviceId());
}
uint8_t U8(int v) {
    return static_cast<uint8_t>(v);
}

uint16_t ReadWord(const Image& im, size_t off) {
    return GetWord(im.data() + off);
}

PeqBand ReadPeq(const Image& im, size_t off) {
    PeqBand b;
    b.gain = GetWord(im.data() + off);
    b.freq = GetWord(im.data() + off + 2);
    b.q = im[off + 4];
    b.type = im[off + 5];
    return b;
}

uint16_t WithBit(uint16_t word, uint16_t bit, bool on) {
    return static_cast<uint16_t>(on ? (word | bit) : (word & ~bit));
}

void PutText(Image& im, size_t off, const char* text) {
    std::memcpy(im.data() + off, text, std::strlen(text));
}

Image BuildDefaultImage() {
    Image im{};
    auto put = [&im](size_t off, uint16_t w) { img::PutWord(im.data() + off, w); };
    PutText(im, kPresetName, "Default Preset");

    static const char* const kInputNames[] = {"InA", "InB"};
    static const uint16_t kInputPeqFreq[kInputPeqBands] = {41, 71, 101, 140, 170, 200, 240, 270};
    for (int ch = 0; ch < 2; ++ch) {
        const size_t base = ChannelOffset(ch);
        PutText(im, base + kInName, kInputNames[ch]);
        put(base + kInGate + 0, 0);  // attack
        put(base + kInGate + 2, 99); // release
        put(base + kInGate + 4, 99); // hold
        put(base + kInGate + 6, 0);  // threshold
        for (int band = 0; band < kGeqBands; ++band)
            put(GeqAt(ch, band), 120);
        for (int band = 0; band < kInputPeqBands; ++band) {
            put(PeqAt(ch, band), 120);
            put(PeqAt(ch, band) + 2, kInputPeqFreq[band]);
            im[PeqAt(ch, band) + 4] = 35;
        }
        put(base + kInLink, static_cast<uint16_t>(1u << ch));
    }

    static const char* const kOutputNames[] = {"Out1", "Out2", "Out3", "Out4"};
    static const uint16_t kOutputPeqFreq[kOutputPeqBands] = {31, 63, 95, 127, 158, 190, 222, 253, 285};
    for (int k = 0; k < 4; ++k) {
        const int ch = k + 2;
        const size_t base = ChannelOffset(ch);
        PutText(im, base + kOutName, kOutputNames[k]);
        put(base + kOutSource, k % 2 == 0 ? 1 : 2);
        put(base + kOutMix, 280);
        put(base + kOutMix + 2, 280);
        for (int band = 0; band < kOutputPeqBands; ++band) {
            put(PeqAt(ch, band), 120);
            put(PeqAt(ch, band) + 2, kOutputPeqFreq[band]);
            im[PeqAt(ch, band) + 4] = 35;
        }
        const uint16_t comp[] = {0, 49, 499, 0, 220};
        for (size_t i = 0; i < 5; ++i)
            put(base + kOutComp + 2 * i, comp[i]);
        const uint16_t limit[] = {49, 499, 0, 220};
        for (size_t i = 0; i < 4; ++i)
            put(base + kOutLimit + 2 * i, limit[i]);
        put(base + kOutLink, static_cast<uint16_t>(1u << k));
    }

    for (int ch = 0; ch < kChannels; ++ch) {
        put(LpFreqAt(ch), 300); // high-pass index 0, both slopes 0 (off)
        put(GainAt(ch), 280);
    }
    return im;
}

} // namespace

LUnitControl::LUnitControl(LMainHost& host) : host_(host), image_(DefaultImage()) {}

const Image& LUnitControl::DefaultImage() {
    static const img::Image image = BuildDefaultImage();
    return image;
}

// ---- getters ----
// A channel, band or input that names nothing in the image gives the type's default (0, false, an
// empty record) and reads nothing: the image holds only what the channel's side carries.

uint16_t LUnitControl::GetGain(int ch) const {
    return ValidChannel(ch) ? Word(GainAt(ch)) : 0;
}
uint16_t LUnitControl::GetDelay(int ch) const {
    return ValidChannel(ch) ? Word(DelayAt(ch)) : 0;
}
bool LUnitControl::GetPolarity(int ch) const {
    return ValidChannel(ch) && Word(PolarityAt(ch)) != 0;
}
bool LUnitControl::IsMuted(int ch) const {
    return ValidChannel(ch) && (Word(MuteAt(ch)) & SideBit(ch)) != 0;
}

bool LUnitControl::IsPeqBandBypassed(int ch, int band) const {
    return ValidChannel(ch) && ValidBand(ch, band) && ((Word(BandBypassAt(ch)) >> band) & 1u) != 0;
}

PeqBand LUnitControl::GetPeqBand(int ch, int band) const {
    return ValidChannel(ch) && ValidBand(ch, band) ? ReadPeq(image_, PeqAt(ch, band)) : PeqBand{};
}

// Outputs have no graphic EQ.
uint16_t LUnitControl::GetGeqBand(int ch, int band) const {
    return ValidGeqBand(ch, band) ? Word(GeqAt(ch, band)) : 0;
}

PeqBand LUnitControl::GetDefaultPeqBand(int ch, int band) {
    return ValidChannel(ch) && ValidBand(ch, band) ? ReadPeq(DefaultImage(), PeqAt(ch, band)) : PeqBand{};
}

uint16_t LUnitControl::GetDefaultGeqBand(int ch, int band) {
    return ValidGeqBand(ch, band) ? ReadWord(DefaultImage(), GeqAt(ch, band)) : 0;
}

// The gate is an input's; compressor, limiter, source and mix are an output's.
GateRecord LUnitControl::GetGate(int ch) const {
    if (!ValidInput(ch))
        return {};
    const size_t off = ChannelOffset(ch) + kInGate;
    return {Word(off), Word(off + 2), Word(off + 4), Word(off + 6)};
}

CompRecord LUnitControl::GetComp(int ch) const {
    if (!ValidOutput(ch))
        return {};
    const size_t off = ChannelOffset(ch) + kOutComp;
    return {Word(off), Word(off + 2), Word(off + 4), Word(off + 6), Word(off + 8)};
}

LimitRecord LUnitControl::GetLimit(int ch) const {
    if (!ValidOutput(ch))
        return {};
    const size_t off = ChannelOffset(ch) + kOutLimit;
    return {Word(off), Word(off + 2), Word(off + 4), Word(off + 6)};
}

FilterRecord LUnitControl::GetFilters(int ch) const {
    if (!ValidChannel(ch))
        return {};
    return {Word(HpFreqAt(ch)), Word(LpFreqAt(ch)), image_[HpSlopeAt(ch)], image_[LpSlopeAt(ch)]};
}

bool LUnitControl::IsPresetSlotUsed(int n) const {
    return n >= 0 && n < static_cast<int>(kPresetFlagCount) && presetFlags_[static_cast<size_t>(n)] != 0;
}

std::array<uint8_t, 14> LUnitControl::PresetName() const {
    std::array<uint8_t, 14> name{};
    std::copy_n(image_.begin() + kPresetName, name.size(), name.begin());
    return name;
}

std::array<uint8_t, 8> LUnitControl::GetChannelName(int ch) const {
    std::array<uint8_t, 8> name{};
    if (ValidChannel(ch))
        std::copy_n(Ch(ch), name.size(), name.begin());
    return name;
}

uint16_t LUnitControl::GetLinkMask(int ch) const {
    return ValidChannel(ch) ? Word(LinkAt(ch)) : 0;
}
int LUnitControl::GroupMaster(int ch) const {
    if (!ValidChannel(ch))
        return ch;
    const int first = FirstOfSide(ch);
    const uint16_t bit = SideBit(ch);
    if (GetLinkMask(ch) & bit)
        return ch;
    for (int c = first; c < ch; ++c)
        if (GetLinkMask(c) & bit)
            return c;
    return ch;
}

uint16_t LUnitControl::GroupMask(int ch) const {
    if (!ValidChannel(ch))
        return 0;
    const uint16_t mask = GetLinkMask(GroupMaster(ch));
    // A member whose master no longer holds it stands alone.
    return mask & SideBit(ch) ? mask : SideBit(ch);
}

uint16_t LUnitControl::GetSourceMask(int ch) const {
    return ValidOutput(ch) ? Word(ChannelOffset(ch) + kOutSource) : 0;
}

uint16_t LUnitControl::GetMixLevel(int ch, int input) const {
    if (!ValidOutput(ch) || !ValidInputIndex(input))
        return 0;
    return Word(ChannelOffset(ch) + kOutMix + 2 * static_cast<size_t>(input));
}

uint16_t LUnitControl::GetDelayUnit() const {
    return Word(kDelayUnit);
}
uint16_t LUnitControl::GetEqBypassMask(int ch) const {
    return ValidChannel(ch) ? Word(EqBypassAt(ch)) : 0;
}
uint16_t LUnitControl::GetGeqBypassMask() const {
    return Word(kGeqBypass);
}
uint16_t LUnitControl::GetWorkMode() const {
    return Word(kWorkMode);
}
uint16_t LUnitControl::GetSineIndex() const {
    return Word(kSineIndex);
}

// ---- setters ----

// Runs write(c) for every channel of ch's link group, lowest bit first; a member of a group writes the
// whole group, as its master would. Bits beyond the side's channels name nothing and are skipped.
template <typename F> void LUnitControl::ForLinked(int ch, F&& write) {
    const uint16_t mask = GroupMask(ch);
    const int first = FirstOfSide(ch);
    const int count = IsInput(ch) ? 2 : 4;
    for (int i = 0; i < count; ++i)
        if ((mask >> i) & 1u)
            write(first + i);
}

// While the main window fills its controls from the model, the values come from the unit already.
void LUnitControl::Send(const LCmd& cmd, bool force) {
    if (!host_.IsUpdatingView())
        host_.SendCommand(cmd, force);
}

void LUnitControl::SetGate(int ch, const GateRecord& r) {
    if (!ValidChannel(ch) || !IsInput(ch))
        return;
    ForLinked(ch, [&](int c) {
        const size_t off = ChannelOffset(c) + kInGate;
        PutWord(off, r.attack);
        PutWord(off + 2, r.release);
        PutWord(off + 4, r.hold);
        PutWord(off + 6, r.threshold);
    });
    Send(CM_MCS_GATE(Id(host_), U8(GroupMaster(ch)), r), false);
}

void LUnitControl::SetComp(int ch, const CompRecord& r) {
    if (!ValidOutput(ch))
        return;
    ForLinked(ch, [&](int c) {
        const size_t off = ChannelOffset(c) + kOutComp;
        PutWord(off, r.ratio);
        PutWord(off + 2, r.attack);
        PutWord(off + 4, r.release);
        PutWord(off + 6, r.knee);
        PutWord(off + 8, r.threshold);
    });
    Send(CM_MCS_COMP(Id(host_), U8(GroupMaster(ch)), r), false);
}

void LUnitControl::SetLimit(int ch, const LimitRecord& r) {
    if (!ValidOutput(ch))
        return;
    ForLinked(ch, [&](int c) {
        const size_t off = ChannelOffset(c) + kOutLimit;
        PutWord(off, r.attack);
        PutWord(off + 2, r.release);
        PutWord(off + 4, r.knee);
        PutWord(off + 6, r.threshold);
    });
    Send(CM_MCS_LIMIT(Id(host_), U8(GroupMaster(ch)), r), false);
}

void LUnitControl::SetPolarity(int ch, uint8_t value) {
    if (!ValidChannel(ch))
        return;
    ForLinked(ch, [&](int c) { PutWord(PolarityAt(c), value); });
    Send(CM_MCS_POLARITY(Id(host_), U8(GroupMaster(ch)), value), false);
}

void LUnitControl::SetPeqBand(int ch, int band, uint16_t gain, uint16_t freq, uint8_t q, uint8_t type,
                              bool bypass) {
    if (!ValidChannel(ch) || !ValidBand(ch, band))
        return;
    const PeqBand b{gain, freq, q, type};
    const uint16_t bit = static_cast<uint16_t>(1u << band);
    // The bypass bit travels with the band, so that views, files and channel copies see what was sent.
    ForLinked(ch, [&](int c) {
        const size_t off = PeqAt(c, band);
        PutWord(off, b.gain);
        PutWord(off + 2, b.freq);
        image_[off + 4] = b.q;
        image_[off + 5] = b.type;
        PutWord(BandBypassAt(c), WithBit(Word(BandBypassAt(c)), bit, bypass));
    });
    Send(CM_MCS_PEQ(Id(host_), U8(GroupMaster(ch)), U8(band), b, bypass ? 1 : 0), false);
    host_.SetOverlaysDirty(ch);
}

void LUnitControl::SetGeqBand(int ch, int band, uint16_t level) {
    if (!ValidChannel(ch) || band < 0 || band >= kGeqBands)
        return;
    // Only the inputs hold graphic-EQ bands; the unit is told in any case.
    if (IsInput(ch))
        ForLinked(ch, [&](int c) { PutWord(GeqAt(c, band), level); });
    Send(CM_MCS_GEQ(Id(host_), U8(GroupMaster(ch)), U8(band), level), false);
    host_.SetOverlaysDirty(ch);
}

void LUnitControl::SetHighPass(int ch, const FilterRecord& r) {
    if (!ValidChannel(ch))
        return;
    ForLinked(ch, [&](int c) {
        PutWord(HpFreqAt(c), r.hpFreq);
        image_[HpSlopeAt(c)] = r.hpSlope;
    });
    Send(CM_MCS_HIGH_PASS(Id(host_), U8(GroupMaster(ch)), r.hpFreq, r.hpSlope), false);
    host_.SetOverlaysDirty(ch);
}

void LUnitControl::SetLowPass(int ch, const FilterRecord& r) {
    if (!ValidChannel(ch))
        return;
    ForLinked(ch, [&](int c) {
        PutWord(LpFreqAt(c), r.lpFreq);
        image_[LpSlopeAt(c)] = r.lpSlope;
    });
    Send(CM_MCS_LOW_PASS(Id(host_), U8(GroupMaster(ch)), r.lpFreq, r.lpSlope), false);
    host_.SetOverlaysDirty(ch);
}

void LUnitControl::SetGain(int ch, uint16_t gain) {
    if (!ValidChannel(ch))
        return;
    ForLinked(ch, [&](int c) { PutWord(GainAt(c), gain); });
    Send(CM_MCS_GAIN(Id(host_), U8(GroupMaster(ch)), gain), false);
}

void LUnitControl::SetDelay(int ch, uint16_t samples) {
    if (!ValidChannel(ch))
        return;
    ForLinked(ch, [&](int c) { PutWord(DelayAt(c), samples); });
    Send(CM_MCS_DELAY(Id(host_), U8(GroupMaster(ch)), samples), false);
}

void LUnitControl::SetMute(int ch, bool on) {
    if (!ValidChannel(ch))
        return;
    ForLinked(ch, [&](int c) { PutWord(MuteAt(c), WithBit(Word(MuteAt(c)), SideBit(c), on)); });
    Send(CM_MCS_MUTE(Id(host_), U8(GroupMaster(ch)), on ? 1 : 0), false);
}

void LUnitControl::SetDelayUnit(uint16_t unit) {
    PutWord(kDelayUnit, unit);
    Send(CM_MCS_DELAYUNIT(Id(host_), static_cast<uint8_t>(unit & 0xFF)), false);
}

void LUnitControl::SetMatrixRoute(int ch, int input, bool on) {
    if (!ValidOutput(ch) || !ValidInputIndex(input))
        return;
    const size_t off = ChannelOffset(ch) + kOutSource;
    const uint16_t mask = WithBit(Word(off), static_cast<uint16_t>(1u << input), on);
    PutWord(off, mask);
    Send(CM_MCS_MATRIX(Id(host_), U8(ch), static_cast<uint8_t>(mask & 0xFF)), false);
}

void LUnitControl::SetMixLevel(int ch, int input, uint16_t level) {
    if (!ValidOutput(ch) || !ValidInputIndex(input))
        return;
    PutWord(ChannelOffset(ch) + kOutMix + 2 * static_cast<size_t>(input), level);
    Send(CM_MCS_MIX(Id(host_), U8(ch), U8(input), level), false);
}

void LUnitControl::SetLinkMask(int ch, uint16_t mask) {
    if (!ValidChannel(ch))
        return;
    PutWord(LinkAt(ch), mask);
    Send(CM_MCS_CMD(Id(host_), MCS_LINK, U8(ch), static_cast<uint8_t>(mask & 0xFF)), true);
}

void LUnitControl::SetChannelName(int ch, const uint8_t* name8) {
    if (!ValidChannel(ch) || name8 == nullptr)
        return;
    std::copy_n(name8, kChannelNameLength, Ch(ch));
    Send(CM_MCS_CHANNEL_NAME(Id(host_), U8(ch), name8), true);
}

void LUnitControl::SetEqBypassMask(int ch, uint16_t mask) {
    if (ValidChannel(ch))
        PutWord(EqBypassAt(ch), mask);
}

void LUnitControl::SetGeqBypassMask(uint16_t mask) {
    PutWord(kGeqBypass, mask);
}

// ---- channel copy ----

void LUnitControl::CopyChannel(int source, int destination) {
    if (!ValidChannel(source) || !ValidChannel(destination) || IsInput(source) != IsInput(destination))
        return;
    PutWord(BandBypassAt(destination), Word(BandBypassAt(source)));
    const uint16_t from = SideBit(source);
    const uint16_t to = SideBit(destination);
    for (size_t off : {MuteAt(source), EqBypassAt(source)})
        PutWord(off, WithBit(Word(off), to, (Word(off) & from) != 0));
    // The name, link mask, routing and mix levels stay the destination's own.
    const size_t first = IsInput(source) ? kInGate : kOutHpFreq;
    const size_t end = IsInput(source) ? kInLink : kOutLink;
    std::copy(Ch(source) + first, Ch(source) + end, Ch(destination) + first);
}

// ---- reply stores ----

bool LUnitControl::StorePresetFlags(const BSTM& payload) {
    if (payload.size() < kPresetFlagCount)
        return false;
    for (size_t n = 0; n < kPresetFlagCount; ++n)
        presetFlags_[n] = payload[n] == 0xFF ? 1 : 0;
    return true;
}

bool LUnitControl::StoreCurrentPresetName(const BSTM& name14) {
    if (name14.size() < kNameLength)
        return false;
    std::copy_n(name14.begin(), kNameLength, image_.begin() + kPresetName);
    return true;
}

// The upload asks for all 18 bytes; a shorter answer would leave a block of two origins, so it is
// refused whole. Bytes past the block are the unit's and are not kept.
bool LUnitControl::StoreUnitInfo(const BSTM& payload) {
    if (payload.size() < unitInfo_.size())
        return false;
    std::copy_n(payload.begin(), unitInfo_.size(), unitInfo_.begin());
    return true;
}

// Byte 0 is the piece number, then up to one piece of data. A piece outside the dump or longer than a
// piece would land outside the receive area, so it is refused whole.
bool LUnitControl::StorePiece(const BSTM& payload, bool* complete) {
    if (complete != nullptr)
        *complete = false;
    if (payload.empty() || payload[0] > kLastPiece || payload.size() - 1 > kPieceSize)
        return false;
    const size_t piece = payload[0];
    std::copy(payload.begin() + 1, payload.end(),
              receive_.begin() + static_cast<std::ptrdiff_t>(kPieceSize * piece));
    if (complete != nullptr)
        *complete = piece == kLastPiece;
    return true;
}

bool LUnitControl::DecodeDump(const BSTM& payload, bool* complete) {
    if (complete != nullptr)
        *complete = false;
    bool done = false;
    if (!StorePiece(payload, &done))
        return false;
    // Bytes 0-1 are the slot header of a stored preset and mean nothing for the current settings.
    if (done)
        std::copy(receive_.begin() + kPresetName, receive_.begin() + kImageSize,
                  image_.begin() + kPresetName);
    if (complete != nullptr)
        *complete = done;
    return true;
}

bool LUnitControl::StorePresetDump(int slot, const BSTM& payload, bool* complete) {
    if (complete != nullptr)
        *complete = false;
    if (slot < 1 || slot > kPresetSlots)
        return false;
    bool done = false;
    if (!StorePiece(payload, &done))
        return false;
    if (done) {
        StoredPreset& entry = presetStore_[static_cast<size_t>(slot - 1)];
        entry[0] = static_cast<uint8_t>(slot);
        std::copy_n(receive_.begin(), kStoredPresetBytes, entry.begin() + 1);
    }
    if (complete != nullptr)
        *complete = done;
    return true;
}

// ---- preset-name lists ----

void LUnitControl::ResetPresetNamesInDialogs() {
    for (int n = 1; n <= kPresetSlots; ++n) {
        host_.SetRecallPresetName(n, "Default Preset");
        host_.SetStorePresetName(n - 1, "Default Preset");
    }
}

bool LUnitControl::StorePresetNameInDialogs(int n, const BSTM& payload) {
    if (n < 1 || n > kPresetSlots || payload.size() < 1 + kNameLength)
        return false;
    std::string bytes(payload.begin() + 1, payload.begin() + 1 + kNameLength);
    std::replace(bytes.begin(), bytes.end(), '\0', ' ');
    const std::string name = kv::FromAnsi(bytes);
    host_.SetRecallPresetName(n, name);
    host_.SetStorePresetName(n - 1, name);
    return true;
}
