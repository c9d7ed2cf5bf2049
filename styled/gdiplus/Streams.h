#pragma once
// Byte streams for the picture and fill objects: a growable memory stream with a position, the
// shape the old framework's streams had where pictures read and write their bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kv {

class TStream {
public:
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;
    virtual ~TStream() = default;
    // Reads up to `count` bytes at the position; returns how many were read.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    virtual std::size_t Size() const = 0;
    std::size_t Position() const { return FPosition; }
    void SetPosition(std::size_t p) { FPosition = p; }
    // Copies `count` bytes from `source` (0: all of it, from its beginning).
    std::size_t CopyFrom(TStream& source, std::size_t count);

protected:
    std::size_t FPosition = 0;
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes) : FBytes(std::move(bytes)) {}
    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::size_t Size() const override { return FBytes.size(); }
    void SetSize(std::size_t size);
    void Clear();
    const std::vector<std::uint8_t>& Bytes() const { return FBytes; }
    const std::uint8_t* Memory() const { return FBytes.data(); }
    // Raise EKvError when the file cannot be read or written.
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;
    void LoadFromStream(TStream& source);
    void SaveToStream(TStream& target) const;

private:
    std::vector<std::uint8_t> FBytes;
};

} // namespace kv
