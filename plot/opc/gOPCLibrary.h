#pragma once
// The binding of the OPC client library, loaded at run time by its file name. Normally it is not
// installed: then OPCLibraryMissing() is true, the items and managers do nothing, and nothing is
// reported. With the library present each wrapper raises "Tarvek OPC DLL Not Found." when the library
// is not loaded, `Function "Name" not found in "file".` when the entry is missing, and the library's
// own error text after a failed call.

#include "plot/opc/gOPCLibraryABI.h"

#include "platform/core/Classes.h"

#include <cstdint>
#include <string>

namespace kv {

class EOPCError : public EKvError {
public:
    using EKvError::EKvError;
};

// OLE variant type codes the binding distinguishes.
enum TgVarType : std::uint16_t {
    varEmpty = 0,
    varNull = 1,
    varSmallint = 2,
    varInteger = 3,
    varSingle = 4,
    varDouble = 5,
    varDate = 7,
    varOleStr = 8,
    varBoolean = 11,
    varShortInt = 16,
    varByte = 17,
    varWord = 18,
    varLongWord = 19,
    varInt64 = 20,
    varUInt64 = 21,
};

// A value from or for the library.
struct TgOPCVariant {
    std::uint16_t VType = varEmpty;
    std::int64_t I = 0;  // signed integers and Booleans
    std::uint64_t U = 0; // unsigned integers
    double D = 0;        // single, double, date
    std::string S;       // strings

    static TgOPCVariant Integer(std::int64_t v, std::uint16_t type = varInteger);
    static TgOPCVariant Unsigned(std::uint64_t v, std::uint16_t type = varLongWord);
    static TgOPCVariant Double(double v, std::uint16_t type = varDouble);
    static TgOPCVariant String(std::string v);
    bool IsEmpty() const { return VType == varEmpty; }
    // Its text (numbers in the C locale, Booleans "True"/"False"; empty for empty and null).
    std::string Text() const;
    friend bool operator==(const TgOPCVariant&, const TgOPCVariant&) = default;
};

// The file name the program loads the library by.
const char* OPCLibraryDefaultFileName();

// True when the library is not loaded (the first call tries the default file name once).
bool OPCLibraryMissing();
// Loads the library from `path` in place of the current one (tests, and the start-up with another
// name); false when it does not load, leaving the library missing. Entries absent from the library
// stay empty.
bool OPCLoadLibrary(const std::string& path);
// Releases the library; it counts as missing afterwards.
void OPCReleaseLibrary();
// The file name of the loaded library (the last component of the path it was loaded from).
const std::string& OPCLibraryFileName();

// The wrappers, one per entry point.
std::int32_t OPCSignalAdd(const std::string& computer, const std::string& server, const std::string& item,
                          const std::string& group, int updateRate, bool startSuspended, int requestedType,
                          const TgOPCLibItemCallback* callback);
void OPCSignalRemove(std::int32_t signal);
void OPCSignalSuspend(std::int32_t signal);
void OPCSignalResume(std::int32_t signal);
bool OPCSignalGetActive(std::int32_t signal);
bool OPCSignalGetUpdateSuspended(std::int32_t signal);
void OPCSignalSendData(std::int32_t signal, const TgOPCVariant& value);
void OPCSignalGetDataNow(std::int32_t signal);
TgOPCVariant OPCSignalGetData(std::int32_t signal);
double OPCSignalGetTimeStamp(std::int32_t signal);
std::uint16_t OPCSignalGetQuality(std::int32_t signal);
std::int32_t OPCGroupAdd(const std::string& name, const std::string& computer, const std::string& server,
                         int updateRate, const TgOPCLibManagerCallback* callback);
void OPCGroupDelete(std::int32_t group);
void OPCGroupResume(std::int32_t group);
void OPCGroupSuspend(std::int32_t group);
void OPCGroupSetUpdateRate(std::int32_t group, int rate);
void OPCCloseAllServerConnections();
int OPCServerConnectionGetCount();
std::string OPCServerConnectionGetName(int index);
// Both skipped silently (false) when the library or the entry is missing.
bool OPCManagerCreated();
void OPCManagerDestroyed();

} // namespace kv
