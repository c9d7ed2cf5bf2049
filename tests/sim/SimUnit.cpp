#include "tests/sim/SimUnit.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstring>
#include <utility>

namespace kv::sim {

namespace {

constexpr std::uint8_t DLE = 0x10, STX = 0x02, ETX = 0x03;

bool IsInput(int ch) {
    return ch == 0 || ch == 1;
}
bool IsOutput(int ch) {
    return ch >= 2 && ch <= 5;
}
bool IsChannel(int ch) {
    return ch >= 0 && ch <= 5;
}
int SideIndex(int ch) {
    return IsInput(ch) ? ch : ch - 2;
}

std::size_t LinkOffset(int ch) {
    return off::ChannelRecord(ch) + (IsInput(ch) ? off::InLink : off::OutLink);
}

// The channels an edit of `ch` reaches: its link group, the same rule the editor's model follows, so
// that both sides stay equal without a read-back. The group is ch's own mask when that holds ch's bit,
// else the mask of the first lower channel of its side that holds it (ch is a member of that master),
// else ch alone.
// With `ownMaskOnly` the group is ch's own mask, whatever it holds.
std::vector<int> Linked(const Dump& d, int ch, bool ownMaskOnly) {
    const int count = IsInput(ch) ? 2 : 4;
    const int base = IsInput(ch) ? 0 : 2;
    const unsigned bit = 1u << (ch - base);
    unsigned mask = GetWord(d, LinkOffset(ch));
    if (!(mask & bit) && !ownMaskOnly) {
        mask = bit;
        for (int c = base; c < ch; ++c)
            if (GetWord(d, LinkOffset(c)) & bit) {
                mask = GetWord(d, LinkOffset(c));
                break;
            }
    }
    std::vector<int> out;
    for (int i = 0; i < count; ++i)
        if (mask & (1u << i))
            out.push_back(base + i);
    return out;
}

void SetBit(Dump& d, std::size_t at, int bit, bool on) {
    unsigned w = GetWord(d, at);
    w = on ? (w | (1u << bit)) : (w & ~(1u << bit));
    PutWord(d, at, w);
}

void CopyBytes(Dump& d, std::size_t at, const Bytes& p, std::size_t from, std::size_t n) {
    std::memcpy(&d[at], &p[from], n);
}

std::uint16_t WordOf(const Bytes& p, std::size_t at) {
    return static_cast<std::uint16_t>(p[at] | (p[at + 1] << 8));
}

Dump EmptySlot() {
    Dump d = DefaultDump();
    d[0] = 0;
    d[1] = 0;
    return d;
}

} // namespace

Bytes BuildFrame(std::uint8_t source, std::uint8_t dest, std::uint8_t cmd, const Bytes& payload) {
    Bytes f;
    f.reserve(payload.size() + 9);
    for (std::uint8_t b : {DLE, STX, source, dest, static_cast<std::uint8_t>(payload.size() + 1), cmd})
        f.push_back(b);
    for (std::uint8_t b : payload)
        f.push_back(b);
    f.push_back(DLE);
    f.push_back(ETX);
    std::uint8_t x = 0;
    for (std::uint8_t b : f)
        x ^= b;
    f.push_back(x);
    return f;
}

std::optional<Frame> ParseFrame(const Bytes& f) {
    if (f.size() < 9 || f[0] != DLE || f[1] != STX || f[4] == 0 || f.size() != f[4] + 8u ||
        f[f.size() - 3] != DLE || f[f.size() - 2] != ETX)
        return std::nullopt;
    Frame out;
    out.source = f[2];
    out.dest = f[3];
    out.code = f[5];
    out.payload.assign(f.begin() + 6, f.end() - 3);
    std::uint8_t x = 0;
    for (std::size_t i = 0; i + 1 < f.size(); ++i)
        x ^= f[i];
    out.checkOk = x == f.back();
    return out;
}

std::vector<Bytes> FrameAssembler::Push(const std::uint8_t* data, std::size_t n) {
    std::vector<Bytes> frames;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t b = data[i];
        if (buf_.empty() && b != DLE)
            continue;
        if (buf_.size() == 1 && b != STX) {
            if (b != DLE) // a second DLE may itself start the frame
                buf_.clear();
            continue;
        }
        buf_.push_back(b);
        if (buf_.size() == 5 && buf_[4] == 0) { // no code: cannot be a frame
            buf_.clear();
            continue;
        }
        if (buf_.size() >= 5 && buf_.size() == buf_[4] + 8u) {
            frames.push_back(std::move(buf_));
            buf_.clear();
        }
    }
    return frames;
}

SimUnit::SimUnit()
    : current_(DefaultDump()), unitInfo_(kUnitInfoSize), password_{'8', '0', '5', '2'}, levels_(kLevelsSize) {
    stored_.fill(EmptySlot());
    // No meaning is known for these bytes; a recognisable pattern lets tests see that they travel.
    for (std::size_t i = 0; i < kUnitInfoSize; ++i)
        unitInfo_[i] = static_cast<std::uint8_t>(0xA0 + i);
}

// ---- wire and time ------------------------------------------------------------------------------

void SimUnit::SetOutput(Output out) {
    std::lock_guard outLock(outMu_);
    std::lock_guard lock(mu_);
    out_ = std::move(out);
}

void SimUnit::Feed(const std::uint8_t* data, std::size_t n) {
    {
        std::lock_guard lock(mu_);
        for (Bytes& f : assembler_.Push(data, n))
            HandleFrame(f);
    }
    Pump();
}

std::vector<Bytes> SimUnit::TakeSent() {
    std::lock_guard lock(mu_);
    return std::exchange(sent_, {});
}

void SimUnit::UseRealTime() {
    SetClock([] {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    });
}

void SimUnit::SetClock(std::function<std::int64_t()> ms) {
    std::lock_guard lock(mu_);
    clock_ = std::move(ms);
    lastDue_ = 0;
}

void SimUnit::AdvanceTime(std::int64_t ms) {
    {
        std::lock_guard lock(mu_);
        virtualNow_ += ms;
    }
    Pump();
}

std::int64_t SimUnit::NowLocked() const {
    return clock_ ? clock_() : virtualNow_;
}

std::int64_t SimUnit::NowMs() const {
    std::lock_guard lock(mu_);
    return NowLocked();
}

void SimUnit::Pump() {
    std::lock_guard outLock(outMu_);
    for (;;) {
        Output out;
        Bytes chunk;
        {
            std::lock_guard lock(mu_);
            if (pending_.empty() || pending_.front().due > NowLocked())
                return;
            chunk = std::move(pending_.front().bytes);
            pending_.pop_front();
            if (!out_) {
                sent_.push_back(std::move(chunk));
                continue;
            }
            out = out_;
        }
        out(chunk);
    }
}

bool SimUnit::HasPending() const {
    std::lock_guard lock(mu_);
    return !pending_.empty();
}

bool SimUnit::HasDue() const {
    std::lock_guard lock(mu_);
    return !pending_.empty() && pending_.front().due <= NowLocked();
}

void SimUnit::DiscardPending() {
    std::lock_guard lock(mu_);
    pending_.clear();
}

// ---- configuration and state ---------------------------------------------------------------------

void SimUnit::SetDeviceId(std::uint8_t id) {
    std::lock_guard lock(mu_);
    id_ = id;
}
std::uint8_t SimUnit::DeviceId() const {
    std::lock_guard lock(mu_);
    return id_;
}
void SimUnit::SetIdentity(const std::string& text) {
    std::lock_guard lock(mu_);
    identity_ = text;
}
void SimUnit::SetAddressedMaskOnly(bool on) {
    std::lock_guard lock(mu_);
    addressedMaskOnly_ = on;
}
void SimUnit::SetVerifyCheckByte(bool on) {
    std::lock_guard lock(mu_);
    verifyCheck_ = on;
}
Dump SimUnit::Current() const {
    std::lock_guard lock(mu_);
    return current_;
}
void SimUnit::SetCurrent(const Dump& d) {
    std::lock_guard lock(mu_);
    current_ = d;
}
std::uint16_t SimUnit::Word(std::size_t offset) const {
    std::lock_guard lock(mu_);
    return offset + 1 < kDumpSize ? GetWord(current_, offset) : 0;
}
void SimUnit::SetWord(std::size_t offset, unsigned value) {
    std::lock_guard lock(mu_);
    if (offset + 1 < kDumpSize)
        PutWord(current_, offset, value);
}
Dump SimUnit::Stored(int preset) const {
    std::lock_guard lock(mu_);
    if (preset == 0)
        return DefaultDump();
    return preset >= 1 && preset <= kPresetSlots ? stored_[static_cast<std::size_t>(preset - 1)] : Dump{};
}
void SimUnit::SetStored(int preset, const Dump& d) {
    std::lock_guard lock(mu_);
    if (preset >= 1 && preset <= kPresetSlots)
        stored_[static_cast<std::size_t>(preset - 1)] = d;
}
bool SimUnit::SlotUsed(int preset) const {
    std::lock_guard lock(mu_);
    return preset >= 1 && preset <= kPresetSlots && stored_[static_cast<std::size_t>(preset - 1)][0] == 0xFF;
}
int SimUnit::CurrentPreset() const {
    std::lock_guard lock(mu_);
    return currentPreset_;
}
void SimUnit::SetCurrentPreset(int preset) {
    std::lock_guard lock(mu_);
    currentPreset_ = preset;
}
Bytes SimUnit::UnitInfo() const {
    std::lock_guard lock(mu_);
    return unitInfo_;
}
void SimUnit::SetUnitInfo(const Bytes& info) {
    std::lock_guard lock(mu_);
    unitInfo_.assign(kUnitInfoSize, 0);
    std::copy_n(info.begin(), std::min(info.size(), kUnitInfoSize), unitInfo_.begin());
}
bool SimUnit::PanelLocked() const {
    std::lock_guard lock(mu_);
    return locked_;
}
void SimUnit::SetPanelLock(bool locked, const std::string& password) {
    std::lock_guard lock(mu_);
    locked_ = locked;
    password_.assign(4, 0);
    std::copy_n(password.begin(), std::min<std::size_t>(password.size(), 4), password_.begin());
}
Bytes SimUnit::Password() const {
    std::lock_guard lock(mu_);
    return password_;
}
void SimUnit::SetLevels(const Bytes& payload) {
    std::lock_guard lock(mu_);
    levels_.assign(kLevelsSize, 0);
    std::copy_n(payload.begin(), std::min(payload.size(), kLevelsSize), levels_.begin());
}
Bytes SimUnit::EncodeLevel(float linear) {
    const auto bits = std::bit_cast<std::uint32_t>(linear);
    return {static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24),
            static_cast<std::uint8_t>(bits >> 8)};
}
std::vector<Command> SimUnit::Received() const {
    std::lock_guard lock(mu_);
    return received_;
}
std::vector<std::uint8_t> SimUnit::ReceivedCodes() const {
    std::lock_guard lock(mu_);
    std::vector<std::uint8_t> codes;
    for (const Command& c : received_)
        codes.push_back(c.code);
    return codes;
}
void SimUnit::ClearReceived() {
    std::lock_guard lock(mu_);
    received_.clear();
}
int SimUnit::ResetCount() const {
    std::lock_guard lock(mu_);
    return resets_;
}
int SimUnit::ReleaseCount() const {
    std::lock_guard lock(mu_);
    return releases_;
}
int SimUnit::RejectedCount() const {
    std::lock_guard lock(mu_);
    return rejected_;
}
int SimUnit::BadCheckCount() const {
    std::lock_guard lock(mu_);
    return badChecks_;
}

// ---- faults --------------------------------------------------------------------------------------

void SimUnit::AddFault(const ReplyFault& f) {
    std::lock_guard lock(mu_);
    faults_.push_back(f);
}
void SimUnit::DropReplies(int times, int onlyCode) {
    AddFault({ReplyFault::Drop, onlyCode, times, 0, 0, 0xFF});
}
void SimUnit::DelayReplies(int ms, int times, int onlyCode) {
    AddFault({ReplyFault::Delay, onlyCode, times, ms, 0, 0xFF});
}
void SimUnit::SplitReplies(int chunk, int gapMs, int times, int onlyCode) {
    AddFault({ReplyFault::Split, onlyCode, times, chunk, gapMs, 0xFF});
}
void SimUnit::GarbleReply(int offset, std::uint8_t mask, int times, int onlyCode) {
    AddFault({ReplyFault::Garble, onlyCode, times, offset, 0, mask});
}
void SimUnit::RepeatReply(int copies, int times, int onlyCode) {
    AddFault({ReplyFault::Repeat, onlyCode, times, copies, 0, 0xFF});
}
void SimUnit::AnswerAs(std::uint8_t id, int times, int onlyCode) {
    AddFault({ReplyFault::OtherId, onlyCode, times, id, 0, 0xFF});
}
void SimUnit::SetSilent(bool silent) {
    std::lock_guard lock(mu_);
    silent_ = silent;
    silentAfter_ = -1;
}
void SimUnit::SilenceAfter(int replies) {
    std::lock_guard lock(mu_);
    silentAfter_ = replies;
}

void SimUnit::ClearFaults() {
    std::lock_guard lock(mu_);
    faults_.clear();
    silent_ = false;
}

// Queues one reply with whatever faults apply to it.
void SimUnit::Emit(std::uint8_t cmd, const Bytes& payload) {
    if (silentAfter_ == 0)
        silent_ = true;
    if (silentAfter_ > 0)
        --silentAfter_;
    if (silent_)
        return;
    // Take the faults that match, in the fixed order of their kinds.
    std::vector<ReplyFault> hit;
    bool dropped = false;
    for (int kind = ReplyFault::Drop; kind <= ReplyFault::OtherId && !dropped; ++kind) {
        for (ReplyFault& f : faults_) {
            if (f.kind != kind || f.times == 0 || (f.onlyCode >= 0 && f.onlyCode != cmd))
                continue;
            if (f.times > 0)
                --f.times;
            hit.push_back(f);
            if (kind == ReplyFault::Drop)
                dropped = true;
            break; // one fault of each kind per reply
        }
    }
    std::erase_if(faults_, [](const ReplyFault& f) { return f.times == 0; });
    if (dropped)
        return;

    auto find = [&](ReplyFault::Kind k) -> const ReplyFault* {
        for (const ReplyFault& f : hit)
            if (f.kind == k)
                return &f;
        return nullptr;
    };
    const ReplyFault* other = find(ReplyFault::OtherId);
    Bytes frame = BuildFrame(other ? static_cast<std::uint8_t>(other->value) : id_, 0x00, cmd, payload);
    if (const ReplyFault* g = find(ReplyFault::Garble)) {
        const long at = g->value < 0 ? static_cast<long>(frame.size()) + g->value : g->value;
        if (at >= 0 && at < static_cast<long>(frame.size()))
            frame[static_cast<std::size_t>(at)] ^= g->mask;
    }
    int copies = 1;
    if (const ReplyFault* r = find(ReplyFault::Repeat))
        copies += std::max(0, r->value);
    const ReplyFault* delay = find(ReplyFault::Delay);
    const ReplyFault* split = find(ReplyFault::Split);

    // FIFO: a reply never overtakes one queued before it, as on a real serial line.
    std::int64_t due = std::max(NowLocked() + (delay ? delay->value : 0), lastDue_);
    const std::size_t chunk =
        split && split->value > 0 ? static_cast<std::size_t>(split->value) : frame.size();
    for (int c = 0; c < copies; ++c) {
        for (std::size_t at = 0; at < frame.size(); at += chunk) {
            if (at > 0 && split)
                due += split->gapMs;
            const std::size_t n = std::min(chunk, frame.size() - at);
            pending_.push_back({due, Bytes(frame.begin() + static_cast<long>(at),
                                           frame.begin() + static_cast<long>(at + n))});
        }
    }
    lastDue_ = due;
}

// ---- commands ------------------------------------------------------------------------------------

void SimUnit::HandleFrame(const Bytes& bytes) {
    std::optional<Frame> f = ParseFrame(bytes);
    if (!f)
        return;
    if (!f->checkOk) {
        ++badChecks_;
        if (verifyCheck_)
            return;
    }
    if (f->dest != id_ && f->dest != 0xFF)
        return;
    received_.push_back({f->dest, f->code, f->payload});
    Bytes reply;
    std::uint8_t replyCode = 0;
    if (!Execute(*f, reply, replyCode)) {
        ++rejected_;
        return;
    }
    if (replyCode != 0)
        Emit(replyCode, reply);
}

Bytes SimUnit::PieceOf(const Dump& d, int piece) const {
    Bytes out;
    out.reserve(1 + kPieceSize);
    out.push_back(static_cast<std::uint8_t>(piece));
    if (piece >= 0 && piece < kPieceCount)
        for (std::size_t i = 0; i < kPieceSize; ++i)
            out.push_back(d[kPieceSize * static_cast<std::size_t>(piece) + i]);
    return out;
}

// Runs one command: false when the unit cannot act on it (it then stays silent); otherwise replyCode
// 0 means the command has no reply.
bool SimUnit::Execute(const Frame& f, Bytes& reply, std::uint8_t& replyCode) {
    const Bytes& p = f.payload;
    auto need = [&](std::size_t n) { return p.size() >= n; };
    auto ack = [&] {
        replyCode = code::Ack;
        return true;
    };
    switch (f.code) {
    case code::McuReset:
        ++resets_;
        return true;
    case code::Probe:
        replyCode = code::Probe;
        return true;
    case code::Release:
        ++releases_;
        return true;
    case code::KeepAlive:
        return ack();
    case code::Identity:
        reply.assign(identity_.begin(), identity_.end());
        replyCode = code::Identity;
        return true;
    case code::CurrentPreset:
        reply = {static_cast<std::uint8_t>(currentPreset_)};
        replyCode = code::CurrentPreset;
        return true;
    case code::ReadEeprom: {
        if (!need(3))
            return false;
        const std::size_t addr = WordOf(p, 0), count = p[2];
        for (std::size_t i = addr; i < addr + count && i < kUnitInfoSize; ++i)
            reply.push_back(unitInfo_[i]);
        replyCode = code::ReadEeprom;
        return true;
    }
    case code::WriteEeprom: {
        if (!need(3) || !need(3u + p[2]))
            return false;
        const std::size_t addr = WordOf(p, 0), count = p[2];
        for (std::size_t i = 0; i < count && addr + i < kUnitInfoSize; ++i)
            unitInfo_[addr + i] = p[3 + i];
        return ack();
    }
    case code::Recall: {
        if (!need(1) || p[0] > kPresetSlots)
            return false;
        const int n = p[0];
        if (n == 0 || stored_[static_cast<std::size_t>(n - 1)][0] == 0xFF) {
            const Dump src = n == 0 ? DefaultDump() : stored_[static_cast<std::size_t>(n - 1)];
            // The current set's own header bytes stay; the rest becomes the preset.
            std::copy(src.begin() + 2, src.end(), current_.begin() + 2);
            currentPreset_ = n;
        }
        return ack(); // an empty slot is acknowledged and changes nothing
    }
    case code::Store: {
        if (!need(1) || p[0] < 1 || p[0] > kPresetSlots)
            return false;
        Dump& slot = stored_[static_cast<std::size_t>(p[0] - 1)];
        slot = current_;
        slot[0] = 0xFF;
        slot[1] = 0x00;
        currentPreset_ = p[0];
        return ack();
    }
    case code::ReadParams:
        for (const Dump& d : stored_)
            reply.push_back(d[0] == 0xFF ? 0xFF : 0x00);
        replyCode = code::ReadParams;
        return true;
    case code::FactoryDefault:
        // Everything the editor can write goes back to the factory state, the stored presets too: a
        // whole-unit download starts with this and must not leave presets the file does not hold.
        current_ = DefaultDump();
        stored_.fill(EmptySlot());
        currentPreset_ = 0;
        selectedPreset_ = 0;
        return ack();
    case code::ReadPreset:
        if (!need(1) || p[0] > kPresetSlots)
            return false;
        selectedPreset_ = p[0];
        return ack();
    case code::Download: {
        if (!need(2) || p[0] >= kPieceCount || p[1] >= kPresetSlots)
            return false;
        Dump& slot = stored_[p[1]];
        const std::size_t n = std::min(kPieceSize, p.size() - 2);
        std::copy_n(p.begin() + 2, n, slot.begin() + static_cast<long>(kPieceSize * p[0]));
        reply = {p[0]};
        replyCode = code::Download;
        return true;
    }
    case code::PresetName:
        if (!need(off::PresetNameSize))
            return false;
        CopyBytes(current_, off::PresetName, p, 0, off::PresetNameSize);
        return ack();
    case code::ReadParamBlock:
        if (!need(1))
            return false;
        reply = PieceOf(current_, p[0]);
        replyCode = code::ParamBlockReply;
        return true;
    case code::ReadPresetBlock: {
        if (!need(1))
            return false;
        const Dump src =
            selectedPreset_ == 0 ? DefaultDump() : stored_[static_cast<std::size_t>(selectedPreset_ - 1)];
        reply = PieceOf(src, p[0]);
        replyCode = code::ReadPresetBlock;
        return true;
    }
    case code::PresetNameOf:
        if (!need(1))
            return false;
        reply = {p[0]};
        reply.resize(1 + off::PresetNameSize, 0);
        if (p[0] < kPresetSlots)
            std::copy_n(stored_[p[0]].begin() + off::PresetName, off::PresetNameSize, reply.begin() + 1);
        replyCode = code::PresetNameOf;
        return true;
    case code::CopyChannel: {
        if (!need(2) || !IsChannel(p[0]) || !IsChannel(p[1]) || IsInput(p[0]) != IsInput(p[1]))
            return false;
        const int a = p[0], b = p[1];
        PutWord(current_, off::BandBypass + 2 * static_cast<std::size_t>(b),
                GetWord(current_, off::BandBypass + 2 * static_cast<std::size_t>(a)));
        const std::size_t mute = IsInput(a) ? off::InputMute : off::OutputMute;
        const std::size_t eq = IsInput(a) ? off::InputEqBypass : off::OutputEqBypass;
        SetBit(current_, mute, SideIndex(b), GetWord(current_, mute) & (1u << SideIndex(a)));
        SetBit(current_, eq, SideIndex(b), GetWord(current_, eq) & (1u << SideIndex(a)));
        const std::size_t from = IsInput(a) ? off::InGate : off::OutHighPass;
        const std::size_t to = IsInput(a) ? off::InLink : off::OutLink;
        std::copy(current_.begin() + static_cast<long>(off::ChannelRecord(a) + from),
                  current_.begin() + static_cast<long>(off::ChannelRecord(a) + to),
                  current_.begin() + static_cast<long>(off::ChannelRecord(b) + from));
        return ack();
    }
    case code::LockStatus:
        // Bytes 0..4 belong to locks the editor does not use; byte 5 is the panel lock.
        reply = {0, 0, 0, 0, 0, static_cast<std::uint8_t>(locked_ ? 1 : 0)};
        replyCode = code::LockStatus;
        return true;
    case code::PassSubmit: {
        if (!need(5))
            return false;
        const bool ok = p[0] == 0 && std::equal(p.begin() + 1, p.begin() + 5, password_.begin());
        if (ok)
            locked_ = false;
        reply = {p[0], static_cast<std::uint8_t>(ok ? 1 : 0)};
        replyCode = code::PassSubmit;
        return true;
    }
    case code::SetLock:
        if (!need(4))
            return false;
        password_.assign(p.begin(), p.begin() + 4);
        locked_ = true;
        return ack();
    case code::Levels:
        reply = levels_;
        replyCode = code::Levels;
        return true;
    default:
        if (!ApplyParameter(f.code, p))
            return false;
        return ack();
    }
}

// The parameter records: written into the current set, linked channels included where the editor
// links them too.
bool SimUnit::ApplyParameter(std::uint8_t cmd, const Bytes& p) {
    auto need = [&](std::size_t n) { return p.size() >= n; };
    const int ch = p.empty() ? -1 : p[0];
    auto rec = [](int c) { return off::ChannelRecord(c); };
    switch (cmd) {
    case code::DelayUnit:
        if (!need(1))
            return false;
        PutWord(current_, off::DelayUnit, p[0]);
        return true;
    case code::Comp:
    case code::Limit: {
        const std::size_t n = cmd == code::Comp ? 10 : 8;
        if (!need(1 + n) || !IsOutput(ch))
            return false;
        for (int c : Linked(current_, ch, addressedMaskOnly_))
            CopyBytes(current_, rec(c) + (cmd == code::Comp ? off::OutComp : off::OutLimit), p, 1, n);
        return true;
    }
    case code::Gate:
        if (!need(9) || !IsInput(ch))
            return false;
        for (int c : Linked(current_, ch, addressedMaskOnly_))
            CopyBytes(current_, rec(c) + off::InGate, p, 1, 8);
        return true;
    case code::LowPass:
    case code::HighPass: {
        if (!need(4) || !IsChannel(ch))
            return false;
        const bool low = cmd == code::LowPass;
        for (int c : Linked(current_, ch, addressedMaskOnly_)) {
            const std::size_t freq = IsInput(c) ? (low ? off::InLowPass : off::InHighPass)
                                                : (low ? off::OutLowPass : off::OutHighPass);
            const std::size_t slope = IsInput(c) ? (low ? off::InLowSlope : off::InHighSlope)
                                                 : (low ? off::OutLowSlope : off::OutHighSlope);
            CopyBytes(current_, rec(c) + freq, p, 1, 2);
            current_[rec(c) + slope] = p[3];
        }
        return true;
    }
    case code::Peq: {
        if (!need(9) || !IsChannel(ch) || p[1] >= (IsInput(ch) ? off::InPeqBands : off::OutPeqBands))
            return false;
        const int band = p[1];
        for (int c : Linked(current_, ch, addressedMaskOnly_)) {
            const std::size_t at = rec(c) + (IsInput(c) ? off::InPeq : off::OutPeq) +
                                   off::PeqBandSize * static_cast<std::size_t>(band);
            CopyBytes(current_, at, p, 2, off::PeqBandSize);
            SetBit(current_, off::BandBypass + 2 * static_cast<std::size_t>(c), band, p[8] != 0);
        }
        return true;
    }
    case code::Gain:
    case code::Delay: {
        if (!need(3) || !IsChannel(ch))
            return false;
        for (int c : Linked(current_, ch, addressedMaskOnly_)) {
            const std::size_t at = cmd == code::Gain ? (IsInput(c) ? off::InGain : off::OutGain)
                                                     : (IsInput(c) ? off::InDelay : off::OutDelay);
            CopyBytes(current_, rec(c) + at, p, 1, 2);
        }
        return true;
    }
    case code::Mute:
        if (!need(2) || !IsChannel(ch))
            return false;
        for (int c : Linked(current_, ch, addressedMaskOnly_))
            SetBit(current_, IsInput(c) ? off::InputMute : off::OutputMute, SideIndex(c), p[1] != 0);
        return true;
    case code::Polarity:
        if (!need(2) || !IsChannel(ch))
            return false;
        for (int c : Linked(current_, ch, addressedMaskOnly_))
            PutWord(current_, rec(c) + (IsInput(c) ? off::InPolarity : off::OutPolarity), p[1]);
        return true;
    case code::WorkMode:
        if (!need(2))
            return false;
        PutWord(current_, off::WorkMode, p[0]);
        PutWord(current_, off::SineIndex, p[1]);
        return true;
    case code::Matrix:
        if (!need(2) || !IsOutput(ch))
            return false;
        PutWord(current_, rec(ch) + off::OutSource, p[1]);
        return true;
    case code::Link:
        if (!need(2) || !IsChannel(ch))
            return false;
        PutWord(current_, LinkOffset(ch), p[1]);
        return true;
    case code::EqBypass:
        if (!need(2) || !IsChannel(ch))
            return false;
        SetBit(current_, IsInput(ch) ? off::InputEqBypass : off::OutputEqBypass, SideIndex(ch), p[1] != 0);
        return true;
    case code::ChannelName:
        if (!need(9) || !IsChannel(ch))
            return false;
        CopyBytes(current_, rec(ch) + (IsInput(ch) ? off::InName : off::OutName), p, 1, 8);
        return true;
    case code::Mix:
        if (!need(4) || !IsOutput(ch) || p[1] > 1)
            return false;
        CopyBytes(current_, rec(ch) + off::OutMix + 2 * static_cast<std::size_t>(p[1]), p, 2, 2);
        return true;
    case code::Geq:
        if (!need(4) || !IsInput(ch) || p[1] >= off::GeqBands)
            return false;
        for (int c : Linked(current_, ch, addressedMaskOnly_))
            CopyBytes(current_, rec(c) + off::InGeq + 2 * static_cast<std::size_t>(p[1]), p, 2, 2);
        return true;
    case code::GeqBypass:
        if (!need(2) || !IsInput(ch))
            return false;
        SetBit(current_, off::GeqBypass, ch, p[1] != 0);
        return true;
    default:
        return false; // unknown to the unit
    }
}

} // namespace kv::sim
