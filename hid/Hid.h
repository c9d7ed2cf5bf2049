#pragma once
// The HID class library, bound at run time all or nothing: one entry-point variable per service, null
// while unbound. The button variables are bound to the usage services of the same kind.

#include "hid/ModuleLoader.h"
#include "platform/sys/HidApi.h"

// X(variable, export name); the variable has the export's type
#define KV_HID_ENTRIES_BASE(X)                                                                               \
    X(HidD_Hello, HidD_Hello)                                                                                \
    X(HidD_GetHidGuid, HidD_GetHidGuid)                                                                      \
    X(HidD_GetPreparsedData, HidD_GetPreparsedData)                                                          \
    X(HidD_FreePreparsedData, HidD_FreePreparsedData)                                                        \
    X(HidD_GetConfiguration, HidD_GetConfiguration)                                                          \
    X(HidD_SetConfiguration, HidD_SetConfiguration)                                                          \
    X(HidD_FlushQueue, HidD_FlushQueue)                                                                      \
    X(HidD_GetFeature, HidD_GetFeature)                                                                      \
    X(HidD_SetFeature, HidD_SetFeature)                                                                      \
    X(HidD_GetNumInputBuffers, HidD_GetNumInputBuffers)                                                      \
    X(HidD_SetNumInputBuffers, HidD_SetNumInputBuffers)                                                      \
    X(HidD_GetAttributes, HidD_GetAttributes)                                                                \
    X(HidD_GetManufacturerString, HidD_GetManufacturerString)                                                \
    X(HidD_GetProductString, HidD_GetProductString)                                                          \
    X(HidD_GetSerialNumberString, HidD_GetSerialNumberString)                                                \
    X(HidD_GetPhysicalDescriptor, HidD_GetPhysicalDescriptor)                                                \
    X(HidD_GetIndexedString, HidD_GetIndexedString)
#define KV_HID_ENTRIES_XP(X)                                                                                 \
    X(HidD_GetInputReport, HidD_GetInputReport)                                                              \
    X(HidD_SetOutputReport, HidD_SetOutputReport)
#define KV_HID_ENTRIES_PARSE(X)                                                                              \
    X(HidP_GetCaps, HidP_GetCaps)                                                                            \
    X(HidP_GetLinkCollectionNodes, HidP_GetLinkCollectionNodes)                                              \
    X(HidP_GetSpecificButtonCaps, HidP_GetSpecificButtonCaps)                                                \
    X(HidP_GetSpecificValueCaps, HidP_GetSpecificValueCaps)                                                  \
    X(HidP_GetData, HidP_GetData)                                                                            \
    X(HidP_SetData, HidP_SetData)                                                                            \
    X(HidP_MaxDataListLength, HidP_MaxDataListLength)                                                        \
    X(HidP_GetUsages, HidP_GetUsages)                                                                        \
    X(HidP_GetButtons, HidP_GetUsages)                                                                       \
    X(HidP_GetUsagesEx, HidP_GetUsagesEx)                                                                    \
    X(HidP_GetButtonsEx, HidP_GetUsagesEx)                                                                   \
    X(HidP_SetUsages, HidP_SetUsages)                                                                        \
    X(HidP_SetButtons, HidP_SetUsages)                                                                       \
    X(HidP_UnsetUsages, HidP_UnsetUsages)                                                                    \
    X(HidP_UnsetButtons, HidP_UnsetUsages)                                                                   \
    X(HidP_MaxUsageListLength, HidP_MaxUsageListLength)                                                      \
    X(HidP_MaxButtonListLength, HidP_MaxUsageListLength)                                                     \
    X(HidP_GetUsageValue, HidP_GetUsageValue)                                                                \
    X(HidP_GetScaledUsageValue, HidP_GetScaledUsageValue)                                                    \
    X(HidP_GetUsageValueArray, HidP_GetUsageValueArray)                                                      \
    X(HidP_SetUsageValue, HidP_SetUsageValue)                                                                \
    X(HidP_SetScaledUsageValue, HidP_SetScaledUsageValue)                                                    \
    X(HidP_SetUsageValueArray, HidP_SetUsageValueArray)                                                      \
    X(HidP_UsageListDifference, HidP_UsageListDifference)                                                    \
    X(HidP_TranslateUsagesToI8042ScanCodes, HidP_TranslateUsagesToI8042ScanCodes)
#define KV_HID_ENTRIES_NT5(X)                                                                                \
    X(HidP_GetExtendedAttributes, HidP_GetExtendedAttributes)                                                \
    X(HidP_InitializeReportForID, HidP_InitializeReportForID)
#define KV_HID_ENTRIES(X)                                                                                    \
    KV_HID_ENTRIES_BASE(X) KV_HID_ENTRIES_XP(X) KV_HID_ENTRIES_PARSE(X) KV_HID_ENTRIES_NT5(X)

#define KV_HID_DECLARE(var, exportName) inline kv::sys::PFN_##exportName var = nullptr;
KV_HID_ENTRIES(KV_HID_DECLARE)
#undef KV_HID_DECLARE

// Binds every entry point or none; false when the library or any unconditional entry is missing.
bool LoadHid();
void UnloadHid();
bool IsHidLoaded();
// Number of bound entry-point variables (46 when everything is bound).
int HidBoundCount();

// HidP_GetSpecificButtonCaps / HidP_GetSpecificValueCaps with usage page, link collection and usage 0.
kv::sys::NTSTATUS HidP_GetButtonCaps_(kv::sys::HIDP_REPORT_TYPE reportType, kv::sys::HIDP_BUTTON_CAPS* caps,
                                      kv::sys::USHORT* length, kv::sys::PHIDP_PREPARSED_DATA data);
kv::sys::NTSTATUS HidP_GetValueCaps_(kv::sys::HIDP_REPORT_TYPE reportType, kv::sys::HIDP_VALUE_CAPS* caps,
                                     kv::sys::USHORT* length, kv::sys::PHIDP_PREPARSED_DATA data);
bool HidP_IsSameUsageAndPage_(kv::sys::USAGE_AND_PAGE a, kv::sys::USAGE_AND_PAGE b);
