#include "app/Registration.h"


#include "app/FAbout.h"
#include "app/FChNameList.h"
#include "app/FChannelName.h"
#include "app/FCopy.h"
#include "app/FExit.h"
#include "app/FFactory.h"
#include "app/FHidData.h"
#include "app/FInformation.h"
#include "app/FLinkSel.h"
#include "app/FLockPassWord.h"
#include "app/FLockSetup.h"
#include "app/FMain.h"
#include "app/FMemo.h"
#include "app/FNetwork.h"
#include "app/FNetworkSetup.h"
#include "app/FPeqRst.h"
#include "app/FProcess.h"
#include "app/FRecallPreset.h"
#include "app/FRs232CodeDoc.h"
#include "app/FRs232CodeDocEnglish.h"
#include "app/FStoreName.h"
#include "app/FStorePreset.h"
#include "app/FTest.h"
#include "platform/gui/Forms.h"

#include "app/TimerComponent.h"
#include "controls/ControlClasses.h"
#include "hid/HidControllerClass.h"
#include "panels/PanelClasses.h"
#include "platform/core/Properties.h"
#include "plot/gPlot.h"
#include "plot/gXYPlot.h"
#include "plot/editors/gPlotEditorForm.h"
#include "plot/opc/gOPCManager.h"
#include "styled/RoundControls.h"
#include "styled/StyledClasses.h"

void RegisterEditorClasses() {
    kv::RegisterPanelClasses();
    kv::RegisterStyledClasses();
    kv::RegisterControlClasses();
    RegisterHidClasses();
    kv::RegisterClass(kv::TTimer::StaticClassInfo());
    // The password boxes: an edit with a letter case and alignment of its own.
    kv::RegisterClass(kv::TEmptyEdit::StaticClassInfo());
    kv::gRegisterXYPlotClass();
    kv::gRegisterPlotClass();
    kv::gRegisterOPCManagerClass();
    // The plots' own editor windows (property editor, print preview, OPC explorer).
    kv::gRegisterPlotEditors();
}

void CreateEditorWindows() {
    using namespace kv;
    Application->CreateForm<TfmMain>();
    Application->CreateForm<TfmHidData>();
    Application->CreateForm<TfmPeqRst>();
    Application->CreateForm<TfmAbout>();
    Application->CreateForm<TfmRs232Code>();
    Application->CreateForm<TfmRs232CodeEnglish>();
    Application->CreateForm<TfmLockPassWord>();
    Application->CreateForm<TfmLockSetup>();
    Application->CreateForm<TfmNetwork>();
    Application->CreateForm<TfmProcess>();
    Application->CreateForm<TfmInformation>();
    Application->CreateForm<TfmExit>();
    Application->CreateForm<TfmMemo>();
    Application->CreateForm<TfmRecallPreset>();
    Application->CreateForm<TfmChannelName>();
    Application->CreateForm<TfmStorePreset>();
    Application->CreateForm<TfmFactory>();
    Application->CreateForm<TfmTest>();
    Application->CreateForm<TfmLinkSel>();
    Application->CreateForm<TfmChNameList>();
    Application->CreateForm<TfmStoreName>();
    Application->CreateForm<TfmNetworkSetup>();
    Application->CreateForm<TfmCopy>();
}
