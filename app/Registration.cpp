#include "app/Registration.h"

#include "app/FExit.h"
#include "app/FFactory.h"
#include "app/FInformation.h"
#include "app/FMain.h"
#include "app/FNetwork.h"
#include "app/FNetworkSetup.h"
#include "app/FPeqRst.h"
#include "app/FProcess.h"
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
    Application->CreateForm<TfmFactory>();
    Application->CreateForm<TfmNetworkSetup>();
}
