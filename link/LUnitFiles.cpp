// The model's side of the preset file and the unit file.

#include <cstring>

#include "link/LMainHost.h"
#include "link/LUnitControl.h"
#include "link/PresetFiles.h"
#include "platform/core/FileIO.h"

namespace {

// File bytes after the header hold image bytes 2..711.
constexpr size_t kFirstFileImageByte = img::kPresetName;
constexpr size_t kLastFileImageByte = img::kBandBypass0 + 12; // one past the last
constexpr size_t kEmptySlotByte = 0x64;

} // namespace

void LUnitControl::FlagPresetSlot(int n) {
    if (n >= 0 && n < static_cast<int>(presetFlags_.size()))
        presetFlags_[static_cast<size_t>(n)] = 1;
}

std::string LUnitControl::SerializeImage() const {
    std::string out(kFileHeader, kFileHeaderSize);
    out.append(reinterpret_cast<const char*>(image_.data()) + kFirstFileImageByte,
               kLastFileImageByte - kFirstFileImageByte);
    return out;
}

void LUnitControl::LoadImageAndSend(const uint8_t* bytes712) {
    const auto id = static_cast<uint8_t>(host_.GetDeviceId());
    // The load goes out whole even while the window is updating its view, so it bypasses the setters'
    // muting; an offline host simply drops the records.
    auto send = [this](const LCmd& cmd) { host_.SendCommand(cmd, true); };
    // Copies the next part of the file into the image at the same place.
    const uint8_t* in = bytes712;
    auto take = [&](size_t imageOffset, size_t n) {
        std::memcpy(image_.data() + imageOffset, in, n);
        in += n;
    };

    take(img::kPresetName, img::kNameLength);
    send(CM_MCS_PRESETNAME(id, image_.data() + img::kPresetName));

    for (int ch = 0; ch <= 1; ++ch) {
        take(img::ChannelOffset(ch), img::kInputSize);
        const uint8_t* r = Ch(ch);
        const auto c = static_cast<uint8_t>(ch);
        send(CM_MCS_CHANNEL_NAME(id, c, r + img::kInName));
        const uint8_t* g = r + img::kInGate;
        send(CM_MCS_GATE(
            id, c,
            GateRecord{img::GetWord(g), img::GetWord(g + 2), img::GetWord(g + 4), img::GetWord(g + 6)}));
        for (int band = 0; band < img::kGeqBands; ++band)
            send(CM_MCS_GEQ(id, c, static_cast<uint8_t>(band),
                            img::GetWord(r + img::kInGeq + 2 * static_cast<size_t>(band))));
        send(CM_MCS_HIGH_PASS(id, c, img::GetWord(r + img::kInHpFreq), r[img::kInHpSlope]));
        send(CM_MCS_LOW_PASS(id, c, img::GetWord(r + img::kInLpFreq), r[img::kInLpSlope]));
        send(CM_MCS_GAIN(id, c, img::GetWord(r + img::kInGain)));
        send(CM_MCS_POLARITY(id, c, img::GetWord(r + img::kInPolarity) != 0 ? 1 : 0));
        send(CM_MCS_DELAY(id, c, img::GetWord(r + img::kInDelay)));
        send(CM_MCS_CMD(id, MCS_LINK, c, static_cast<uint8_t>(img::GetWord(r + img::kInLink) & 0xFF)));
    }

    for (int ch = 2; ch <= 5; ++ch) {
        take(img::ChannelOffset(ch), img::kOutputSize);
        const uint8_t* r = Ch(ch);
        const auto c = static_cast<uint8_t>(ch);
        send(CM_MCS_CHANNEL_NAME(id, c, r + img::kOutName));
        send(CM_MCS_MATRIX(id, c, static_cast<uint8_t>(img::GetWord(r + img::kOutSource) & 0xFF)));
        send(CM_MCS_MIX(id, c, 0, img::GetWord(r + img::kOutMix)));
        send(CM_MCS_MIX(id, c, 1, img::GetWord(r + img::kOutMix + 2)));
        send(CM_MCS_HIGH_PASS(id, c, img::GetWord(r + img::kOutHpFreq), r[img::kOutHpSlope]));
        send(CM_MCS_LOW_PASS(id, c, img::GetWord(r + img::kOutLpFreq), r[img::kOutLpSlope]));
        const uint8_t* cp = r + img::kOutComp;
        send(CM_MCS_COMP(id, c,
                         CompRecord{img::GetWord(cp), img::GetWord(cp + 2), img::GetWord(cp + 4),
                                    img::GetWord(cp + 6), img::GetWord(cp + 8)}));
        const uint8_t* lm = r + img::kOutLimit;
        send(CM_MCS_LIMIT(
            id, c,
            LimitRecord{img::GetWord(lm), img::GetWord(lm + 2), img::GetWord(lm + 4), img::GetWord(lm + 6)}));
        send(CM_MCS_GAIN(id, c, img::GetWord(r + img::kOutGain)));
        send(CM_MCS_POLARITY(id, c, img::GetWord(r + img::kOutPolarity) != 0 ? 1 : 0));
        send(CM_MCS_DELAY(id, c, img::GetWord(r + img::kOutDelay)));
        send(CM_MCS_CMD(id, MCS_LINK, c, static_cast<uint8_t>(img::GetWord(r + img::kOutLink) & 0xFF)));
    }

    take(img::kInputMute, 2);
    for (int ch = 0; ch <= 1; ++ch)
        send(CM_MCS_MUTE(id, static_cast<uint8_t>(ch),
                         static_cast<uint8_t>((Word(img::kInputMute) >> ch) & 1)));
    take(img::kOutputMute, 2);
    for (int ch = 2; ch <= 5; ++ch)
        send(CM_MCS_MUTE(id, static_cast<uint8_t>(ch),
                         static_cast<uint8_t>((Word(img::kOutputMute) >> (ch - 2)) & 1)));

    // The PEQ bands were stored with their channels; they go out now that the bypass masks are known.
    for (int ch = 0; ch <= 5; ++ch) {
        const size_t maskOffset = img::kBandBypass0 + 2 * static_cast<size_t>(ch);
        take(maskOffset, 2);
        const uint16_t bypass = Word(maskOffset);
        for (int band = 0; band < img::PeqBands(ch); ++band)
            send(CM_MCS_PEQ(id, static_cast<uint8_t>(ch), static_cast<uint8_t>(band), GetPeqBand(ch, band),
                            static_cast<uint8_t>((bypass >> band) & 1)));
    }
}

std::string LUnitControl::SerializeUnitFile() const {
    std::string out(kFileHeader, kFileHeaderSize);
    out.append(reinterpret_cast<const char*>(unitInfo_.data()), unitInfo_.size());
    for (size_t k = 0; k < 20; ++k) {
        if (presetFlags_[k])
            // The slot byte and image bytes 0..720 of the stored preset.
            out.append(reinterpret_cast<const char*>(presetStore_[k].data()), img::kStoredPresetBytes);
        else
            out.append(img::kStoredPresetBytes, static_cast<char>(kEmptySlotByte));
        out += "\r\n";
    }
    return out;
}

// The uploaded presets exist only here until they are written: a file that cannot be written is
// reported and the name asked again, until the file is written or the user gives up.
bool LUnitControl::SaveUnitFile() {
    const std::string data = SerializeUnitFile();
    for (;;) {
        const auto path = host_.RunFileDialog(FileDialog::SaveUnit);
        if (!path)
            return false;
        if (kv::WriteFileAtomic(NormaliseFileName(*path, ".unt"), data))
            return true;
        host_.ShowInformation(host_.GetLangText("SID_INFO_ERROR_SAVE"));
    }
}
