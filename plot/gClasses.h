#pragma once
// Small classes the plot library shares: a byte stream with 8-bit text operations and a minimal XML
// reader on it (theme files), the two scheme lists, per-pixel and per-segment value records of the
// channels' drawing, the growable record list of band limits, and the one repaint tick that every plot
// control registers with.

#include "platform/core/Classes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TTimer;

namespace kv {

// The whole content of a regular file; nullopt with the reason when it cannot be read.
std::optional<std::string> gReadWholeFile(const std::string& path, std::string* error = nullptr);
// The same, raising EKvError with the reason (or "Cannot open file ...") when it cannot be read.
std::string gReadWholeFileOrRaise(const std::string& path);

// A growable byte buffer with a read/write position.
class TgMemoryStream : public TObject {
public:
    std::size_t Size() const { return FData.size(); }
    std::size_t Position() const { return FPosition; }
    void SetPosition(std::size_t p) { FPosition = p < FData.size() ? p : FData.size(); }
    const std::vector<std::uint8_t>& Data() const { return FData; }
    void Clear();
    // Writes at the position, growing the buffer as needed.
    void Write(const void* bytes, std::size_t count);
    void LoadFromFile(const std::string& path); // raises EKvError when the file cannot be read
    void LoadFromBytes(std::string_view bytes);

    // The text in the system code page, one byte per character, no length and no terminator.
    // Raises "String Exceeds 255 Characters" for 256 characters or more.
    void WriteString(std::string_view value);
    void WriteCRLF();
    void WriteStringCRLF(std::string_view value);
    // The next byte; raises "EOF" when nothing is left. The last byte of the stream is delivered.
    char ReadChar();
    bool AtEnd() const { return FPosition >= FData.size(); }

protected:
    std::vector<std::uint8_t> FData;
    std::size_t FPosition = 0;
};

// One element or tag per line: "<Name>", "<Name>value</Name>", "</Name>".
class TgXMLMemoryStream : public TgMemoryStream {
public:
    void StartElement(std::string_view name);
    void EndElement(std::string_view name);
    void WriteElement(std::string_view name, std::string_view value);

    // The name of the next opening tag; closing tags on the way are passed over.
    std::string GetNameElementStart();
    void GotoElementStart(std::string_view name);
    // The text up to the next "<", which stays unread.
    std::string GetElementValue();
    // The name of the closing tag that must come next; raises when the next characters are not "</".
    std::string GetNameElementStop();
    void GetElement(std::string_view name, std::string& value);
    // The next tag without its angle brackets ("Scheme", "/Properties"), or the text up to the next tag.
    std::string GetNextPiece();
    std::string PeekNextPiece();

    std::string CurrentElementStart;
};

// A colour scheme's lines ("Path = value"), telling whether it came from the vendor or the user file.
class TgTarvekSchemeList : public TStringList {};
class TgUserSchemeList : public TStringList {};

// The values of a channel that fall on one pixel column.
class TgPlotMinMaxPoint : public TPersistent {
public:
    TgPlotMinMaxPoint() { Clear(); }
    void Clear();
    void AddData(int xPixels, double xValue, double yValue);
    void AssignDown(const TgPlotMinMaxPoint& source);

    bool Empty = true;
    int XPixels = 0;
    double XValue = 0, YMax = -1e301, YMin = 1e301, YFirst = 0, YLast = 0;
};

// The state of one digital trace segment.
class TDigitalSequenceData : public TObject {
public:
    void Clear();

    bool StartSet = false;
    double StartXValue = 0;
    bool StartYValue = false;
    bool StopSet = false;
    double StopXValue = 0;
    bool TransitionSet = false;
    double TransitionXValue = 0;
};

// Records of three doubles (position, upper limit, lower limit).
class TgLimitDataList : public TObject {
public:
    int Count() const { return FCount; }
    int Capacity() const { return FCapacity; }
    int Add(double position, double upperLimit, double lowerLimit);
    // Raise "Index out of Bounds" outside 0..Count-1.
    double Position(int index) const;
    double UpperLimit(int index) const;
    double LowerLimit(int index) const;
    // Raises "Exceed Maximum List Size" above 134,217,727 records.
    void SetCapacity(int n);
    void Clear();

private:
    struct Record {
        double position, upper, lower;
    };
    const Record& At(int index) const;
    std::vector<Record> FList;
    int FCount = 0;
    int FCapacity = 0;
};

// What the repaint tick asks of a registered control.
class IgUpdateControl {
public:
    virtual bool GetUpdateActive() const = 0;
    virtual bool GetNeedsRepaint() const = 0;
    virtual int GetUpdateFrameRate() const = 0;
    virtual double GetLastUpdate() const = 0; // ms on the monotonic clock
    virtual void DoInvalidateNow() = 0;

protected:
    ~IgUpdateControl() = default;
};

// The one shared repaint tick (every 1000 ms while any control is registered). Time is read from the
// plot library's scheduler: a monotonic clock, or a test's virtual clock.
class TgUpdateObject {
public:
    static TgUpdateObject& Instance();

    void AddUpdateControl(IgUpdateControl* control);
    void RemoveUpdateControl(IgUpdateControl* control);
    int ControlCount() const { return static_cast<int>(FControlList.size()); }
    bool TimerEnabled() const;

    // Milliseconds on the default scheduler's monotonic counter (TScheduler::SetDefault).
    double NowMs() const;

    // The tick's work, public for the tests of the rule.
    bool IsUpdateDue(const IgUpdateControl& control) const;
    void DoTimer();

private:
    TgUpdateObject();
    ~TgUpdateObject();
    void NewTimer();

    std::unique_ptr<TTimer> FTimer;
    std::vector<IgUpdateControl*> FControlList;
};

} // namespace kv
