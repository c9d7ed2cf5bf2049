#include "plot/gClasses.h"

#include "platform/core/CodePage.h"
#include "platform/core/FileIO.h"
#include "platform/sys/Scheduler.h"

#include <algorithm>
#include <cstring>

namespace kv {

std::optional<std::string> gReadWholeFile(const std::string& path, std::string* error) {
    auto size = FileSize(path, error);
    if (!size)
        return std::nullopt;
    // One byte more than the size, so that a file growing meanwhile is still read whole up to there.
    return ReadFileBytes(path, static_cast<std::size_t>(*size) + 1, error);
}

std::string gReadWholeFileOrRaise(const std::string& path) {
    std::string error;
    auto bytes = gReadWholeFile(path, &error);
    if (!bytes)
        throw EKvError(error.empty() ? "Cannot open file \"" + path + "\"" : error);
    return std::move(*bytes);
}

// ---------------------------------------------------------------------------------------------------
// TgMemoryStream

void TgMemoryStream::Clear() {
    FData.clear();
    FPosition = 0;
}

void TgMemoryStream::Write(const void* bytes, std::size_t count) {
    if (FPosition + count > FData.size())
        FData.resize(FPosition + count);
    if (count)
        std::memcpy(FData.data() + FPosition, bytes, count);
    FPosition += count;
}

void TgMemoryStream::LoadFromBytes(std::string_view bytes) {
    FData.assign(bytes.begin(), bytes.end());
    FPosition = 0;
}

void TgMemoryStream::LoadFromFile(const std::string& path) {
    LoadFromBytes(gReadWholeFileOrRaise(path));
}

void TgMemoryStream::WriteString(std::string_view value) {
    std::string bytes = ToAnsi(value);
    // Counted in the code page's bytes, as the file holds them.
    if (bytes.size() > 255)
        throw EKvError("String Exceeds 255 Characters");
    Write(bytes.data(), bytes.size());
}

void TgMemoryStream::WriteCRLF() {
    Write("\r\n", 2);
}

void TgMemoryStream::WriteStringCRLF(std::string_view value) {
    WriteString(value);
    WriteCRLF();
}

char TgMemoryStream::ReadChar() {
    if (FPosition >= FData.size())
        throw EKvError("EOF");
    return static_cast<char>(FData[FPosition++]);
}

// ---------------------------------------------------------------------------------------------------
// TgXMLMemoryStream

void TgXMLMemoryStream::StartElement(std::string_view name) {
    WriteStringCRLF("<" + std::string(name) + ">");
}

void TgXMLMemoryStream::EndElement(std::string_view name) {
    WriteStringCRLF("</" + std::string(name) + ">");
}

void TgXMLMemoryStream::WriteElement(std::string_view name, std::string_view value) {
    std::string n(name);
    WriteStringCRLF("<" + n + ">" + std::string(value) + "</" + n + ">");
}

std::string TgXMLMemoryStream::GetNameElementStart() {
    std::string name;
    for (;;) {
        while (ReadChar() != '<') {
        }
        bool closing = false, blank = false;
        for (;;) {
            char c = ReadChar();
            if (c == '>')
                break;
            if (c == '/') {
                closing = true;
                break;
            }
            if (c == ' ')
                blank = true;
            else if (!blank)
                name += c;
        }
        if (!closing)
            return FromAnsi(name);
        // A closing tag: skip to the next tag and read on there.
    }
}

void TgXMLMemoryStream::GotoElementStart(std::string_view name) {
    while (GetNameElementStart() != name) {
    }
}

std::string TgXMLMemoryStream::GetElementValue() {
    std::string value;
    for (;;) {
        char c = ReadChar();
        if (c == '<') {
            --FPosition;
            break;
        }
        value += c;
    }
    return FromAnsi(value);
}

std::string TgXMLMemoryStream::GetNameElementStop() {
    if (ReadChar() != '<')
        throw EKvError("XML Parsing Error - \"<\" not Found");
    if (ReadChar() != '/')
        throw EKvError("XML Parsing Error - \"/\" not Found");
    std::string name;
    for (;;) {
        char c = ReadChar();
        if (c == ' ' || c == '>')
            break;
        name += c;
    }
    return FromAnsi(name);
}

void TgXMLMemoryStream::GetElement(std::string_view name, std::string& value) {
    GotoElementStart(name);
    value = GetElementValue();
    while (GetNameElementStop() != name) {
    }
}

std::string TgXMLMemoryStream::GetNextPiece() {
    char c = ReadChar();
    while (c == '\r' || c == '\n')
        c = ReadChar();
    std::string piece;
    if (c == '<') {
        for (c = ReadChar(); c != '>'; c = ReadChar())
            piece += c;
        return FromAnsi(piece);
    }
    // A text piece keeps the character that told it from a tag.
    piece += c;
    while (!AtEnd()) {
        c = ReadChar();
        if (c == '<') {
            --FPosition;
            break;
        }
        piece += c;
    }
    return FromAnsi(piece);
}

std::string TgXMLMemoryStream::PeekNextPiece() {
    std::size_t saved = FPosition;
    try {
        std::string piece = GetNextPiece();
        FPosition = saved;
        return piece;
    } catch (...) {
        FPosition = saved;
        throw;
    }
}

// ---------------------------------------------------------------------------------------------------
// Records

void TgPlotMinMaxPoint::Clear() {
    Empty = true;
    YMax = -1e301;
    YMin = 1e301;
}

void TgPlotMinMaxPoint::AddData(int xPixels, double xValue, double yValue) {
    if (Empty) {
        Empty = false;
        XPixels = xPixels;
        XValue = xValue;
        YFirst = yValue;
    }
    if (yValue > YMax)
        YMax = yValue;
    if (yValue < YMin)
        YMin = yValue;
    YLast = yValue;
}

void TgPlotMinMaxPoint::AssignDown(const TgPlotMinMaxPoint& s) {
    Empty = s.Empty;
    XPixels = s.XPixels;
    XValue = s.XValue;
    YMax = s.YMax;
    YMin = s.YMin;
    YFirst = s.YFirst;
    YLast = s.YLast;
}

void TDigitalSequenceData::Clear() {
    StartSet = false;
    StopSet = false;
    TransitionSet = false;
}

// ---------------------------------------------------------------------------------------------------
// TgLimitDataList

int TgLimitDataList::Add(double position, double upperLimit, double lowerLimit) {
    if (FCount == FCapacity) {
        int delta = FCapacity > 64 ? FCapacity / 4 : FCapacity > 8 ? 16 : 4;
        SetCapacity(FCapacity + delta);
    }
    FList[static_cast<std::size_t>(FCount)] = {position, upperLimit, lowerLimit};
    return FCount++;
}

const TgLimitDataList::Record& TgLimitDataList::At(int index) const {
    if (index < 0 || index >= FCount)
        throw EKvError("Index out of Bounds");
    return FList[static_cast<std::size_t>(index)];
}

double TgLimitDataList::Position(int index) const {
    return At(index).position;
}
double TgLimitDataList::UpperLimit(int index) const {
    return At(index).upper;
}
double TgLimitDataList::LowerLimit(int index) const {
    return At(index).lower;
}

void TgLimitDataList::SetCapacity(int n) {
    if (n > 0x7FFFFFF)
        throw EKvError("Exceed Maximum List Size");
    if (n < 0)
        n = 0;
    if (n == FCapacity)
        return;
    FList.resize(static_cast<std::size_t>(n));
    FList.shrink_to_fit();
    FCapacity = n;
    FCount = std::min(FCount, n);
}

void TgLimitDataList::Clear() {
    FList.clear();
    FList.shrink_to_fit();
    FCount = 0;
    FCapacity = 0;
}

// ---------------------------------------------------------------------------------------------------
// TgUpdateObject

TgUpdateObject& TgUpdateObject::Instance() {
    // Never freed: its timer must not outlive the event loop in static destruction order.
    static TgUpdateObject* instance = new TgUpdateObject;
    return *instance;
}

TgUpdateObject::TgUpdateObject() {
    NewTimer();
    // Made once and kept: its timer moves with the clock.
    TScheduler::OnDefaultChange([this] { NewTimer(); });
}

TgUpdateObject::~TgUpdateObject() = default;

void TgUpdateObject::NewTimer() {
    FTimer = std::make_unique<TTimer>(nullptr);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(1000);
    FTimer->OnTimer = [this] { DoTimer(); };
    FTimer->SetEnabled(!FControlList.empty());
}

double TgUpdateObject::NowMs() const {
    TScheduler& s = TScheduler::Or(nullptr);
    return static_cast<double>(s.Counter()) * 1000.0 / static_cast<double>(s.CounterFrequency());
}

bool TgUpdateObject::TimerEnabled() const {
    return FTimer->Enabled();
}

void TgUpdateObject::AddUpdateControl(IgUpdateControl* control) {
    FControlList.push_back(control);
    if (FControlList.size() == 1)
        FTimer->SetEnabled(true);
}

void TgUpdateObject::RemoveUpdateControl(IgUpdateControl* control) {
    auto it = std::find(FControlList.begin(), FControlList.end(), control);
    if (it == FControlList.end())
        return;
    FControlList.erase(it);
    if (FControlList.empty())
        FTimer->SetEnabled(false);
}

bool TgUpdateObject::IsUpdateDue(const IgUpdateControl& c) const {
    if (c.GetUpdateActive() || !c.GetNeedsRepaint())
        return false;
    double now = NowMs();
    int rate = c.GetUpdateFrameRate();
    double interval = rate != 0 ? 1000.0 / rate : 0.0;
    // A clock that went back (only a virtual one can) never holds a repaint.
    return now < c.GetLastUpdate() || now > c.GetLastUpdate() + interval;
}

void TgUpdateObject::DoTimer() {
    std::vector<IgUpdateControl*> controls = FControlList;
    for (IgUpdateControl* c : controls) {
        // A control freed by an earlier one's repaint is no longer listed.
        if (std::find(FControlList.begin(), FControlList.end(), c) == FControlList.end())
            continue;
        if (IsUpdateDue(*c))
            c->DoInvalidateNow();
    }
}

} // namespace kv
