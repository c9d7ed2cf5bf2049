#include "styled/gdiplus/Streams.h"

#include "platform/core/Classes.h"
#include "platform/core/FileIO.h"

#include <algorithm>
#include <cstring>

namespace kv {

std::size_t TStream::CopyFrom(TStream& source, std::size_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<std::uint8_t> buf(count);
    const std::size_t got = source.Read(buf.data(), count);
    return Write(buf.data(), got);
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    if (FPosition >= FBytes.size())
        return 0;
    const std::size_t n = std::min(count, FBytes.size() - FPosition);
    std::memcpy(buffer, FBytes.data() + FPosition, n);
    FPosition += n;
    return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0)
        return 0;
    if (FPosition + count > FBytes.size())
        FBytes.resize(FPosition + count);
    std::memcpy(FBytes.data() + FPosition, buffer, count);
    FPosition += count;
    return count;
}

void TMemoryStream::SetSize(std::size_t size) {
    FBytes.resize(size);
    FPosition = std::min(FPosition, size);
}

void TMemoryStream::Clear() {
    FBytes.clear();
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    std::string error;
    const auto bytes = ReadFileBytes(fileName, std::size_t(1) << 30, &error);
    if (!bytes)
        throw EKvError("Cannot open file \"" + fileName + "\". " + error);
    FBytes.assign(bytes->begin(), bytes->end());
    FPosition = 0;
}

void TMemoryStream::SaveToFile(const std::string& fileName) const {
    std::string error;
    if (!WriteFileAtomic(
            fileName, std::string_view(reinterpret_cast<const char*>(FBytes.data()), FBytes.size()), &error))
        throw EKvError("Cannot create file \"" + fileName + "\". " + error);
}

void TMemoryStream::LoadFromStream(TStream& source) {
    source.SetPosition(0);
    FBytes.resize(source.Size());
    FBytes.resize(source.Read(FBytes.data(), FBytes.size()));
    FPosition = 0;
}

void TMemoryStream::SaveToStream(TStream& target) const {
    target.Write(FBytes.data(), FBytes.size());
}

} // namespace kv
