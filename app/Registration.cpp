#include "app/Registration.h"

#include "app/FChNameList.h"
#include "app/FChannelName.h"
#include "app/FExit.h"
#include "app/FFactory.h"
#include "app/FInformation.h"
#include "app/FMain.h"
#include "app/FNetwork.h"
#include "app/FNetworkSetup.h"
#include "app/FPeqRst.h"
#include "app/FProcess.h"
#include "app/FRecallPreset.h"
#include "app/FStoreName.h"
#include "app/FStorePreset.h"
#include "platform/gui/Forms.h"

#include "app/TimerComponent.h"
#include "controls/ControlClasses.h"
#include "hid/HidControllerClass.h"
#include "panels/PanelClasses.h"
#include "platform/core/Properties.h"
#include "styled/StyledClasses.h"

void RegisterEditorClasses() {
    kv::RegisterPanelClasses();
    kv::RegisterStyledClasses();
    kv::RegisterControlClasses();
    RegisterHidClasses();
    kv::RegisterClass(kv::TTimer::StaticClassInfo());
}

void CreateEditorWindows() {
    using namespace kv;
    Application->CreateForm<TfmMain>();
    Application->CreateForm<TfmPeqRst>();
    Application->CreateForm<TfmNetwork>();
    Application->CreateForm<TfmProcess>();
    Application->CreateForm<TfmInformation>();
    Application->CreateForm<TfmExit>();
    Application->CreateForm<TfmRecallPreset>();
    Application->CreateForm<TfmChannelName>();
    Application->CreateForm<TfmStorePreset>();
    Application->CreateForm<TfmFactory>();
    Application->CreateForm<TfmChNameList>();
    Application->CreateForm<TfmStoreName>();
    Application->CreateForm<TfmNetworkSetup>();
}
