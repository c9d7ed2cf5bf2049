#pragma once
// The editor's copy of the unit: the current parameter image, the preset-slot flags, the
// unit-information block, the receive area of image dumps and the store of the 20 stored presets.

#include <array>
#include <cstdint>
#include <string>

#include "link/LCmd.h"
#include "link/Records.h"
#include "link/UnitImage.h"

class LMainHost;

class LUnitControl {
public:
    // One stored preset as the upload keeps it: the slot number (1..20), then image bytes 0..721.
    using StoredPreset = std::array<uint8_t, 1 + img::kStoredPresetBytes>;

    explicit LUnitControl(LMainHost& host);

    // The default parameter image, built once.
    static const img::Image& DefaultImage();

    // Getters (copies).
    uint16_t GetGain(int ch) const;
    uint16_t GetDelay(int ch) const;
    bool GetPolarity(int ch) const;
    bool IsMuted(int ch) const;
    bool IsPeqBandBypassed(int ch, int band) const;
    PeqBand GetPeqBand(int ch, int band) const;
    uint16_t GetGeqBand(int ch, int band) const;
    static PeqBand GetDefaultPeqBand(int ch, int band);
    static uint16_t GetDefaultGeqBand(int ch, int band);
    GateRecord GetGate(int ch) const;
    CompRecord GetComp(int ch) const;
    LimitRecord GetLimit(int ch) const;
    FilterRecord GetFilters(int ch) const;
    bool IsPresetSlotUsed(int n) const;
    std::array<uint8_t, 14> PresetName() const;
    std::array<uint8_t, 8> GetChannelName(int ch) const;
    uint16_t GetLinkMask(int ch) const;
    // The link mask of the group that holds the channel: its own mask when that holds its bit, else the
    // first lower channel's of its side that does, else its own bit alone. The setters write this group.
    uint16_t GroupMask(int ch) const;
    // The channel whose own mask holds ch's group (its master; ch itself when alone or a master). The
    // setters address their record to it, so that a unit applying a record through the addressed
    // channel's mask changes the whole group, also for an edit made through a member.
    int GroupMaster(int ch) const;
    uint16_t GetSourceMask(int ch) const;
    uint16_t GetMixLevel(int ch, int input) const;
    uint16_t GetDelayUnit() const;
    uint16_t GetEqBypassMask(int ch) const;
    uint16_t GetGeqBypassMask() const;
    uint16_t GetWorkMode() const;
    uint16_t GetSineIndex() const;

    // Setters: change every channel of ch's link group, then send one record for the group's master
    // (nothing while the main window is updating its view).
    void SetGate(int ch, const GateRecord& r);
    void SetComp(int ch, const CompRecord& r);
    void SetLimit(int ch, const LimitRecord& r);
    void SetPolarity(int ch, uint8_t value);
    void SetPeqBand(int ch, int band, uint16_t gain, uint16_t freq, uint8_t q, uint8_t type, bool bypass);
    void SetGeqBand(int ch, int band, uint16_t level);
    void SetHighPass(int ch, const FilterRecord& r);
    void SetLowPass(int ch, const FilterRecord& r);
    void SetGain(int ch, uint16_t gain);
    void SetDelay(int ch, uint16_t samples);
    void SetMute(int ch, bool on);
    void SetDelayUnit(uint16_t unit);
    void SetMatrixRoute(int ch, int input, bool on);
    void SetMixLevel(int ch, int input, uint16_t level);
    void SetLinkMask(int ch, uint16_t mask);
    void SetChannelName(int ch, const uint8_t* name8);
    void SetEqBypassMask(int ch, uint16_t mask);
    void SetGeqBypassMask(uint16_t mask);

    // Model only; both channels on the same side.
    void CopyChannel(int source, int destination);

    // Stores fed by the unit's replies. A payload too short for what it carries, a piece number above
    // 14, more than 50 data bytes or a slot outside 1..20 change nothing (the result is false).
    bool StorePresetFlags(const BSTM& payload);
    bool StoreCurrentPresetName(const BSTM& name14);
    // Marks user index n (0..19) as holding a stored preset, as a store does.
    void FlagPresetSlot(int n);
    bool StoreUnitInfo(const BSTM& payload);
    // Both return true when the piece was taken; `complete` tells whether it was the last (14).
    bool DecodeDump(const BSTM& payload, bool* complete = nullptr);
    bool StorePresetDump(int slot, const BSTM& payload, bool* complete = nullptr);

    void ResetPresetNamesInDialogs();
    bool StorePresetNameInDialogs(int n, const BSTM& payload);

    // Preset file: the header and image bytes 2..711 (726 bytes); loading takes the 712 bytes after
    // the header, stores them and sends the 185 records, forced.
    std::string SerializeImage() const;
    void LoadImageAndSend(const uint8_t* bytes712);
    // Unit file: asks for a name and writes the header, the unit information and the 20 slots. A file
    // that cannot be written is reported and the name asked again; false when the user cancelled.
    bool SaveUnitFile();
    // The 14,514 bytes of the unit file.
    std::string SerializeUnitFile() const;

    // Raw views for the file code, the dialogs and tests.
    const img::Image& Image() const { return image_; }
    const std::array<uint8_t, 18>& UnitInfo() const { return unitInfo_; }
    const StoredPreset& GetStoredPreset(int slot) const {
        return presetStore_[static_cast<size_t>(slot - 1)];
    }
    const std::array<uint8_t, img::kDumpSize>& ReceiveArea() const { return receive_; }

private:
    template <typename F> void ForLinked(int ch, F&& write);
    void Send(const LCmd& cmd, bool force);
    bool StorePiece(const BSTM& payload, bool* complete);
    uint8_t* Ch(int ch) { return image_.data() + img::ChannelOffset(ch); }
    const uint8_t* Ch(int ch) const { return image_.data() + img::ChannelOffset(ch); }
    uint16_t Word(size_t off) const { return img::GetWord(image_.data() + off); }
    void PutWord(size_t off, uint16_t w) { img::PutWord(image_.data() + off, w); }

    LMainHost& host_;
    img::Image image_;
    std::array<uint8_t, 20> presetFlags_{};
    std::array<uint8_t, 18> unitInfo_{};
    std::array<uint8_t, img::kDumpSize> receive_{};
    std::array<StoredPreset, 20> presetStore_{};
};
