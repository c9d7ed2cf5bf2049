#pragma once
// The pack's common support classes: the shared blink timer of the labels, the frame controller that
// pushes one set of frame and colour settings into linked controls, the INI/registry storage
// component it saves through, and the readers of obsolete layout entries.

#include "panels/PkGraphics.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class TTimer;

namespace kv {

// The combo box's type-ahead reset delay.
constexpr std::uint32_t PkTypeAheadResetMs = 1500;

enum class TBlinkState { bsOn, bsOff };
std::vector<std::string> EnumIdents(TBlinkState);

// Blink messages of the component message range.
constexpr unsigned CM_BLINKQUERY = 0xB3E8;
constexpr unsigned CM_BLINKSTATE = 0xB3E9;

// A control that answers the blink list's messages.
class IPkBlinkTarget {
public:
    virtual ~IPkBlinkTarget() = default;
    // CM_BLINKQUERY: 1 when the control blinks. CM_BLINKSTATE: wparam is the list's new state.
    virtual int BlinkMessage(unsigned msg, int wparam) = 0;
};

class TPkBlinkingControlsList {
public:
    TPkBlinkingControlsList();
    ~TPkBlinkingControlsList();
    TPkBlinkingControlsList(const TPkBlinkingControlsList&) = delete;
    TPkBlinkingControlsList& operator=(const TPkBlinkingControlsList&) = delete;

    void Add(IPkBlinkTarget* control);
    void Remove(IPkBlinkTarget* control);
    int Count() const { return static_cast<int>(FControls.size()); }
    TBlinkState BlinkState() const { return FBlinkState; }
    std::uint16_t IntervalOn() const { return FIntervalOn; }
    void SetIntervalOn(std::uint16_t v) { FIntervalOn = v; }
    std::uint16_t IntervalOff() const { return FIntervalOff; }
    void SetIntervalOff(std::uint16_t v) { FIntervalOff = v; }
    void TimerFired();

    // The one list of the process, alive while at least one label exists.
    static TPkBlinkingControlsList* Shared();
    static TPkBlinkingControlsList* Acquire(); // creates it on demand
    static void ReleaseIfEmpty();

private:
    TBlinkState FBlinkState = TBlinkState::bsOff;
    std::vector<IPkBlinkTarget*> FControls;
    std::unique_ptr<TTimer> FTimer;
    std::uint16_t FIntervalOff = 500, FIntervalOn = 500;
};

// The frame controller's property identifiers; bit n of a notification set is property n.
enum class TPkFrameControllerProperty {
    fcpColor,
    fcpFocusColor,
    fcpDisabledColor,
    fcpReadOnlyColor,
    fcpReadOnlyColorOnFocus,
    fcpParentColor,
    fcpFlatButtonColor,
    fcpFlatButtons,
    fcpFrameColor,
    fcpFrameHotColor,
    fcpFrameHotTrack,
    fcpFrameHotStyle,
    fcpFrameSides,
    fcpFrameStyle,
    fcpFrameVisible,
    fcpFramingPreference,
    fcpAll
};
std::vector<std::string> EnumIdents(TPkFrameControllerProperty);
using TPkFrameControllerNotifications = TSet<TPkFrameControllerProperty>;
constexpr TPkFrameControllerNotifications AllFrameNotifications =
    TPkFrameControllerNotifications::FromBits(0xFFFF);

// The framing-notification interface {64B1C9EA-C954-428A-95C4-4EA2EB0F1E16}: a control with it is
// told to apply its frame controller instead of having properties set by name.
class IPkFramingNotification {
public:
    virtual ~IPkFramingNotification() = default;
    virtual void FramingChanged() = 0;
};

class ENoRegIniFile : public EKvError {
public:
    using EKvError::EKvError;
};

enum class TPkPathType { ptIniFile, ptRegistry };
std::vector<std::string> EnumIdents(TPkPathType);
enum class TPkRegKey {
    hkeyClassesRoot,
    hkeyCurrentUser,
    hkeyLocalMachine,
    hkeyUsers,
    hkeyPerformanceData,
    hkeyCurrentConfig,
    hkeyDynData
};
std::vector<std::string> EnumIdents(TPkRegKey);
enum class TPkRegAccessKey {
    keyQueryValue,
    keySetValue,
    keyCreateSubKey,
    keyEnumerateSubKeys,
    keyNotify,
    keyCreateLink,
    keyRead,
    keyWrite,
    keyExecute,
    keyAllAccess
};
std::vector<std::string> EnumIdents(TPkRegAccessKey);
using TPkRegAccess = TSet<TPkRegAccessKey>;
enum class TPkSpecialFolder {
    sfNone,
    sfUserAppDataRoaming,
    sfUserAppDataLocal,
    sfUserDocuments,
    sfProgramData
};
std::vector<std::string> EnumIdents(TPkSpecialFolder);
enum class TPkIniFileEncoding { feDefault, feUTF8, feUnicode };
std::vector<std::string> EnumIdents(TPkIniFileEncoding);

// Named values in sections, in an INI file or under a registry key. The registry of the fixed
// platform profile is an INI file per root key under the user's configuration folder, in which each
// registry key is a section named by its path and values keep their type.
class TPkRegIniFile : public TComponent {
    KV_CLASS(TPkRegIniFile)
public:
    explicit TPkRegIniFile(TComponent* owner);
    ~TPkRegIniFile() override;

    const std::string& Path() const { return FPath; }
    void SetPath(const std::string& v);
    TPkPathType PathType() const { return FPathType; }
    void SetPathType(TPkPathType v);
    TPkRegKey RegKey() const { return FRegKey; }
    void SetRegKey(TPkRegKey v);
    TPkRegAccess RegAccess() const { return FRegAccess; }
    void SetRegAccess(TPkRegAccess v);
    TPkSpecialFolder SpecialFolder() const { return FSpecialFolder; }
    void SetSpecialFolder(TPkSpecialFolder v);
    TPkIniFileEncoding FileEncoding() const { return FFileEncoding; }
    void SetFileEncoding(TPkIniFileEncoding v);

    bool SectionExists(const std::string& section);
    bool ValueExists(const std::string& section, const std::string& name);
    bool ReadBool(const std::string& section, const std::string& name, bool def);
    void WriteBool(const std::string& section, const std::string& name, bool value);
    // Dates and times as the old framework's date-time: days since 1899-12-30, time as the fraction.
    double ReadDate(const std::string& section, const std::string& name, double def);
    void WriteDate(const std::string& section, const std::string& name, double value);
    double ReadDateTime(const std::string& section, const std::string& name, double def);
    void WriteDateTime(const std::string& section, const std::string& name, double value);
    double ReadTime(const std::string& section, const std::string& name, double def);
    void WriteTime(const std::string& section, const std::string& name, double value);
    double ReadFloat(const std::string& section, const std::string& name, double def);
    void WriteFloat(const std::string& section, const std::string& name, double value);
    int ReadInteger(const std::string& section, const std::string& name, int def);
    void WriteInteger(const std::string& section, const std::string& name, int value);
    std::string ReadString(const std::string& section, const std::string& name, const std::string& def);
    void WriteString(const std::string& section, const std::string& name, const std::string& value);
    std::vector<std::uint8_t> ReadBinaryStream(const std::string& section, const std::string& name);
    void WriteBinaryStream(const std::string& section, const std::string& name,
                           const std::vector<std::uint8_t>& value);
    void ReadSection(const std::string& section, TStrings* names);
    void ReadSections(TStrings* sections);
    void ReadSectionValues(const std::string& section, TStrings* values);
    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& name);

    // Where the registry of the fixed profile lives (one INI file per root key); tests move it.
    static std::string RegistryFolder();
    static void SetRegistryFolder(const std::string& folder);

private:
    struct Store;
    void OpenStorage();
    std::string Section(const std::string& section) const;
    void Flush();

    std::string FPath;
    TPkPathType FPathType = TPkPathType::ptIniFile;
    TPkRegKey FRegKey = TPkRegKey::hkeyCurrentUser;
    TPkRegAccess FRegAccess{TPkRegAccessKey::keyAllAccess};
    TPkSpecialFolder FSpecialFolder = TPkSpecialFolder::sfNone;
    TPkIniFileEncoding FFileEncoding = TPkIniFileEncoding::feDefault;
    bool FRefreshStorage = true;
    std::unique_ptr<Store> FStore;
};

class TPkFrameController : public TComponent {
    KV_CLASS(TPkFrameController)
public:
    explicit TPkFrameController(TComponent* owner);
    ~TPkFrameController() override;

    virtual void ApplyToControl(TControl* control, TPkFrameControllerProperty property);
    virtual void ApplyToAll(TPkFrameControllerProperty property);
    void AddControl(TControl* control);
    void RemoveControl(TControl* control);
    int ControlCount() const { return FFrameList ? static_cast<int>(FFrameList->size()) : 0; }
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    void UpdateControls() { ApplyToAll(TPkFrameControllerProperty::fcpAll); }
    void Load(const std::string& section);
    void Save(const std::string& section);
    void Assign(const TPersistent* source) override;
    void Loaded() override;

    TColor Color() const { return FColor; }
    virtual void SetColor(TColor v);
    bool ParentColor() const { return FParentColor; }
    virtual void SetParentColor(bool v);
    TColor FlatButtonColor() const { return FFlatButtonColor; }
    virtual void SetFlatButtonColor(TColor v);
    bool FlatButtons() const { return FFlatButtons; }
    virtual void SetFlatButtons(bool v);
    TColor DisabledColor() const { return FDisabledColor; }
    virtual void SetDisabledColor(TColor v);
    TColor ReadOnlyColor() const { return FReadOnlyColor; }
    virtual void SetReadOnlyColor(TColor v);
    bool ReadOnlyColorOnFocus() const { return FReadOnlyColorOnFocus; }
    virtual void SetReadOnlyColorOnFocus(bool v);
    TColor FocusColor() const { return FFocusColor; }
    virtual void SetFocusColor(TColor v);
    TColor FrameColor() const { return FFrameColor; }
    virtual void SetFrameColor(TColor v);
    TColor FrameHotColor() const { return FFrameHotColor; }
    virtual void SetFrameHotColor(TColor v);
    bool FrameHotTrack() const { return FFrameHotTrack; }
    virtual void SetFrameHotTrack(bool v);
    TFrameStyle FrameHotStyle() const { return FFrameHotStyle; }
    virtual void SetFrameHotStyle(TFrameStyle v);
    TSides FrameSides() const { return FFrameSides; }
    virtual void SetFrameSides(TSides v);
    TFrameStyle FrameStyle() const { return FFrameStyle; }
    virtual void SetFrameStyle(TFrameStyle v);
    bool FrameVisible() const { return FFrameVisible; }
    virtual void SetFrameVisible(bool v);
    TFramingPreference FramingPreference() const { return FFramingPreference; }
    virtual void SetFramingPreference(TFramingPreference v);
    TPkRegIniFile* RegIniFile() const { return FRegIniFile; }
    virtual void SetRegIniFile(TPkRegIniFile* v);

    // Obsolete layout entries.
    bool FrameFlatLegacy() const { return false; }
    void SetFrameFlatLegacy(bool v);
    TFrameStyle FrameFocusStyleLegacy() const { return FFrameHotStyle; }
    void SetFrameFocusStyleLegacy(TFrameStyle v) { SetFrameHotStyle(v); }
    TFrameStyle FrameFlatStyleLegacy() const { return TFrameStyleEx::fsNone; }
    void SetFrameFlatStyleLegacy(TFrameStyle) {}

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    template <class T> void Update(T& field, T value, TPkFrameControllerProperty property);
    TColor FColor = clWindow;
    bool FParentColor = false;
    std::unique_ptr<std::vector<TControl*>> FFrameList;
    TColor FFlatButtonColor = clBtnFace;
    bool FFlatButtons = true;
    TColor FDisabledColor = clBtnFace, FReadOnlyColor = clInfoBk;
    bool FReadOnlyColorOnFocus = false;
    TColor FFocusColor = clWindow, FFrameColor = clBtnShadow, FFrameHotColor = clBtnShadow;
    bool FFrameHotTrack = false;
    TFrameStyle FFrameHotStyle = TFrameStyleEx::fsFlatBold;
    TSides FFrameSides = AllSides;
    TFrameStyle FFrameStyle = TFrameStyleEx::fsFlat;
    bool FFrameVisible = false;
    TFramingPreference FFramingPreference = TFramingPreference::fpXPThemes;
    int FUpdateCount = 0;
    TPkRegIniFile* FRegIniFile = nullptr;
};

// Readers of obsolete layout entries: each takes one value of its kind and drops it. The controls
// publish their obsolete entries as unstored properties whose setters use these.
class TPkOldPropReader {
public:
    static void ReadOldBooleanProp(bool) {}
    static void ReadOldEnumProp(long long) {}
    static void ReadOldIdentProp(const std::string&) {}
    static void ReadOldIntegerProp(long long) {}
    static void ReadOldSetProp(std::uint32_t) {}
    static void ReadOldStringProp(const std::string&) {}
    static void WriteOldProp() {}
};

// Joins and leaves a frame controller for a control, and reads the control's notification set.
void PkSetFrameController(TControl* self, TPkFrameController*& field, TPkFrameController* value);

} // namespace kv
