#!/usr/bin/env python3
"""Writes platform/sys/HidSetupApiNames.inc: the device-installation entry points our HID layer exports.

Run from the repository root: python3 tools/gen_hid_exports.py
The output is committed; rerun only when the lists below change.
"""

# Families of entry points. "X/AW" stands for XA and XW (and, for callers, the suffix-less X bound to XW).
FAMILIES = [
    ("INF files: information, opening, lines and fields",
     "SetupGetInfInformation/AW SetupQueryInfFileInformation/AW SetupQueryInfVersionInformation/AW "
     "SetupGetInfFileList/AW SetupOpenInfFile/AW SetupOpenMasterInf SetupOpenAppendInfFile/AW "
     "SetupCloseInfFile SetupFindFirstLine/AW SetupFindNextLine SetupFindNextMatchLine/AW "
     "SetupGetLineByIndex/AW SetupGetLineCount/AW SetupGetLineText/AW SetupGetFieldCount "
     "SetupGetStringField/AW SetupGetIntField SetupGetMultiSzField/AW SetupGetBinaryField"),
    ("source files, source lists, prompts and copy errors",
     "SetupGetFileCompressionInfo/AW SetupDecompressOrCopyFile/AW SetupGetSourceFileLocation/AW "
     "SetupGetSourceFileSize/AW SetupGetTargetPath/AW SetupSetSourceList/AW SetupCancelTemporarySourceList "
     "SetupAddToSourceList/AW SetupRemoveFromSourceList/AW SetupQuerySourceList/AW SetupFreeSourceList/AW "
     "SetupPromptForDisk/AW SetupCopyError/AW SetupRenameError/AW SetupDeleteError/AW SetupSetDirectoryId/AW "
     "SetupSetDirectoryIdEx/AW SetupGetSourceInfo/AW SetupInstallFile/AW SetupInstallFileEx/AW"),
    ("file queues",
     "SetupOpenFileQueue SetupCloseFileQueue SetupSetPlatformPathOverride/AW SetupQueueCopy/AW "
     "SetupQueueDefaultCopy/AW SetupQueueCopySection/AW SetupQueueDelete/AW SetupQueueDeleteSection/AW "
     "SetupQueueRename/AW SetupQueueRenameSection/AW SetupCommitFileQueue/AW SetupScanFileQueue/AW "
     "SetupCopyOEMInf/AW"),
    ("disk-space lists",
     "SetupCreateDiskSpaceList/AW SetupDuplicateDiskSpaceList/AW SetupDestroyDiskSpaceList "
     "SetupQueryDrivesInDiskSpaceList/AW SetupQuerySpaceRequiredOnDrive/AW SetupAdjustDiskSpaceList/AW "
     "SetupAddToDiskSpaceList/AW SetupAddSectionToDiskSpaceList/AW SetupAddInstallSectionToDiskSpaceList/AW "
     "SetupRemoveFromDiskSpaceList/AW SetupRemoveSectionFromDiskSpaceList/AW "
     "SetupRemoveInstallSectionFromDiskSpaceList/AW"),
    ("cabinets, reboot prompt, default queue callback, installing from INF sections",
     "SetupIterateCabinet/AW SetupPromptReboot SetupInitDefaultQueueCallback SetupInitDefaultQueueCallbackEx "
     "SetupTermDefaultQueueCallback SetupDefaultQueueCallback/AW SetupInstallFromInfSection/AW "
     "SetupInstallFilesFromInfSection/AW SetupInstallServicesFromInfSection/AW "
     "SetupInstallServicesFromInfSectionEx/AW"),
    ("file logs and the setup log",
     "SetupInitializeFileLog/AW SetupTerminateFileLog SetupLogFile/AW SetupRemoveFileLogEntry/AW "
     "SetupQueryFileLog/AW SetupOpenLog SetupLogError/AW SetupCloseLog"),
    ("device information sets and device information",
     "SetupDiCreateDeviceInfoList SetupDiCreateDeviceInfoListEx/AW SetupDiGetDeviceInfoListClass "
     "SetupDiGetDeviceInfoListDetail/AW SetupDiCreateDeviceInfo/AW SetupDiOpenDeviceInfo/AW "
     "SetupDiGetDeviceInstanceId/AW SetupDiDeleteDeviceInfo SetupDiEnumDeviceInfo "
     "SetupDiDestroyDeviceInfoList SetupDiRegisterDeviceInfo SetupDiGetClassDevs/AW SetupDiGetClassDevsEx/AW"),
    ("device interfaces",
     "SetupDiEnumDeviceInterfaces SetupDiCreateDeviceInterface/AW SetupDiOpenDeviceInterface/AW "
     "SetupDiGetDeviceInterfaceAlias SetupDiDeleteDeviceInterfaceData SetupDiRemoveDeviceInterface "
     "SetupDiGetDeviceInterfaceDetail/AW SetupDiInstallDeviceInterfaces SetupDiCreateDeviceInterfaceRegKey/AW "
     "SetupDiOpenDeviceInterfaceRegKey SetupDiDeleteDeviceInterfaceRegKey"),
    ("drivers",
     "SetupDiBuildDriverInfoList SetupDiCancelDriverInfoSearch SetupDiEnumDriverInfo/AW "
     "SetupDiGetSelectedDriver/AW SetupDiSetSelectedDriver/AW SetupDiGetDriverInfoDetail/AW "
     "SetupDiDestroyDriverInfoList SetupDiSelectBestCompatDrv SetupDiInstallDriverFiles "
     "SetupDiGetDriverInstallParams/AW SetupDiSetDriverInstallParams/AW SetupDiAskForOEMDisk "
     "SetupDiSelectOEMDrv"),
    ("setup classes",
     "SetupDiGetINFClass/AW SetupDiBuildClassInfoList SetupDiBuildClassInfoListEx/AW "
     "SetupDiGetClassDescription/AW SetupDiGetClassDescriptionEx/AW SetupDiCallClassInstaller "
     "SetupDiInstallClass/AW SetupDiInstallClassEx/AW SetupDiOpenClassRegKey SetupDiOpenClassRegKeyEx/AW "
     "SetupDiClassNameFromGuid/AW SetupDiClassNameFromGuidEx/AW SetupDiClassGuidsFromName/AW "
     "SetupDiClassGuidsFromNameEx/AW SetupDiGetClassInstallParams/AW SetupDiSetClassInstallParams/AW "
     "SetupDiGetClassDevPropertySheets/AW"),
    ("device installation, device registry keys and properties, selection",
     "SetupDiSelectDevice SetupDiInstallDevice SetupDiRegisterCoDeviceInstallers SetupDiRemoveDevice "
     "SetupDiUnremoveDevice SetupDiMoveDuplicateDevice SetupDiChangeState SetupDiCreateDevRegKey/AW "
     "SetupDiOpenDevRegKey SetupDiDeleteDevRegKey SetupDiGetDeviceRegistryProperty/AW "
     "SetupDiSetDeviceRegistryProperty/AW SetupDiGetDeviceInstallParams/AW "
     "SetupDiSetDeviceInstallParams/AW SetupDiGetSelectedDevice SetupDiSetSelectedDevice "
     "SetupDiGetActualSectionToInstall/AW SetupDiGetWizardPage"),
    ("hardware profiles",
     "SetupDiGetHwProfileList SetupDiGetHwProfileListEx/AW SetupDiGetHwProfileFriendlyName/AW "
     "SetupDiGetHwProfileFriendlyNameEx/AW"),
    ("class icons and image lists",
     "SetupDiLoadClassIcon SetupDiDrawMiniIcon SetupDiGetClassBitmapIndex SetupDiGetClassImageList "
     "SetupDiGetClassImageListEx/AW SetupDiGetClassImageIndex SetupDiDestroyClassImageList"),
]

# Older interface-device names, bound to the exports of their current names.
ALIASES = [
    ("SetupDiEnumInterfaceDevice", "SetupDiEnumDeviceInterfaces", False),
    ("SetupDiCreateInterfaceDevice", "SetupDiCreateDeviceInterface", True),
    ("SetupDiOpenInterfaceDevice", "SetupDiOpenDeviceInterface", True),
    ("SetupDiGetInterfaceDeviceAlias", "SetupDiGetDeviceInterfaceAlias", False),
    ("SetupDiDeleteInterfaceDeviceData", "SetupDiDeleteDeviceInterfaceData", False),
    ("SetupDiRemoveInterfaceDevice", "SetupDiRemoveDeviceInterface", False),
    ("SetupDiGetInterfaceDeviceDetail", "SetupDiGetDeviceInterfaceDetail", True),
    ("SetupDiInstallInterfaceDevices", "SetupDiInstallDeviceInterfaces", False),
    ("SetupDiCreateInterfaceDeviceRegKey", "SetupDiCreateDeviceInterfaceRegKey", True),
    ("SetupDiOpenInterfaceDeviceRegKey", "SetupDiOpenDeviceInterfaceRegKey", False),
    ("SetupDiDeleteInterfaceDeviceRegKey", "SetupDiDeleteDeviceInterfaceRegKey", False),
]

# Entry points whose failure value is an invalid handle (-1) rather than 0.
INVALID_HANDLE_ON_FAILURE = {
    "SetupOpenInfFile", "SetupOpenMasterInf", "SetupOpenAppendInfFile", "SetupOpenFileQueue",
    "SetupDiCreateDeviceInfoList", "SetupDiCreateDeviceInfoListEx", "SetupDiGetClassDevs",
    "SetupDiGetClassDevsEx", "SetupDiOpenClassRegKey", "SetupDiOpenClassRegKeyEx", "SetupDiCreateDevRegKey",
    "SetupDiOpenDevRegKey", "SetupDiCreateDeviceInterfaceRegKey", "SetupDiOpenDeviceInterfaceRegKey",
    "SetupInitializeFileLog",
}


def main():
    out = []
    out.append("// Generated by tools/gen_hid_exports.py; do not edit.")
    out.append("//")
    out.append("// Device-installation entry points, one line per function:")
    out.append("//   KV_SETUPAPI_AW(Name, failure)   exports NameA and NameW (callers bind the suffix-less Name to")
    out.append("//                                   NameW)")
    out.append("//   KV_SETUPAPI_ONE(Name, failure)  exports Name")
    out.append("//   KV_SETUPAPI_ALIAS(Old, Current, hasTextForms)  an older name bound to the current export(s);")
    out.append("//                                   exports nothing of its own")
    out.append("// failure: 0 when the entry point fails with 0/FALSE, 1 when it fails with an invalid handle (-1).")
    out.append("// Define the macros you need before including; undefined ones expand to nothing.")
    for m in ("KV_SETUPAPI_AW", "KV_SETUPAPI_ONE"):
        out.append(f"#ifndef {m}")
        out.append(f"#define {m}(name, failure)")
        out.append(f"#define {m}_UNDEF_AFTER")
        out.append("#endif")
    out.append("#ifndef KV_SETUPAPI_ALIAS")
    out.append("#define KV_SETUPAPI_ALIAS(oldName, currentName, hasTextForms)")
    out.append("#define KV_SETUPAPI_ALIAS_UNDEF_AFTER")
    out.append("#endif")
    names = 0
    aw = 0
    one = 0
    for title, text in FAMILIES:
        out.append(f"// {title}")
        for item in text.split():
            if item.endswith("/AW"):
                base = item[:-3]
                failure = 1 if base in INVALID_HANDLE_ON_FAILURE else 0
                out.append(f"KV_SETUPAPI_AW({base}, {failure})")
                names += 2
                aw += 1
            else:
                failure = 1 if item in INVALID_HANDLE_ON_FAILURE else 0
                out.append(f"KV_SETUPAPI_ONE({item}, {failure})")
                names += 1
                one += 1
    out.append("// older interface-device names")
    for old, cur, forms in ALIASES:
        out.append(f"KV_SETUPAPI_ALIAS({old}, {cur}, {1 if forms else 0})")
    for m in ("KV_SETUPAPI_AW", "KV_SETUPAPI_ONE", "KV_SETUPAPI_ALIAS"):
        out.append(f"#ifdef {m}_UNDEF_AFTER")
        out.append(f"#undef {m}")
        out.append(f"#undef {m}_UNDEF_AFTER")
        out.append("#endif")
    assert (names, aw, one) == (271, 106, 59), (names, aw, one)
    variables = aw * 3 + one + sum(3 if f else 1 for _, _, f in ALIASES)
    assert variables == 396, variables
    with open("platform/sys/HidSetupApiNames.inc", "w") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
