#include "app/Registration.h"

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
