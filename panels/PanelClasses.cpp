// Every class of the panel and button pack that a layout may name. Whoever adds a control class to
// this folder adds one RegisterClass line for it here.
#include "panels/PanelClasses.h"

#include "panels/PkBmpButton.h"
#include "panels/PkButton.h"
#include "panels/PkComboBox.h"
#include "panels/PkCommon.h"
#include "panels/PkGraphics.h"
#include "panels/PkLabel.h"
#include "panels/PkPanel.h"
#include "panels/PkShapeButton.h"
#include "panels/led/LdDemoButton.h"
#include "panels/led/LdPowerButton.h"

namespace kv {

void RegisterPanelClasses() {
    PkGraphicsStartUp();
    RegisterClass(TPkBmpButton::StaticClassInfo());
    RegisterClass(TPkButton::StaticClassInfo());
    RegisterClass(TPkShapeButton::StaticClassInfo());
    RegisterClass(TPkPanel::StaticClassInfo());
    RegisterClass(TPkGroupBox::StaticClassInfo());
    RegisterClass(TPkLabel::StaticClassInfo());
    RegisterClass(TPkComboBox::StaticClassInfo());
    RegisterClass(TPkFrameController::StaticClassInfo());
    RegisterClass(TPkRegIniFile::StaticClassInfo());
    RegisterClass(TLdPowerButton::StaticClassInfo());
    RegisterClass(TLdDemoButton::StaticClassInfo());
}

} // namespace kv
