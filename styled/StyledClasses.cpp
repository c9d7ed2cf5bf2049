#include "styled/StyledClasses.h"

#include "platform/core/Properties.h"
#include "platform/gui/RichEdit.h"
#include "styled/PictureContainer.h"
#include "styled/RTFLabel.h"
#include "styled/RoundControls.h"
#include "styled/StOfficeImage.h"
#include "styled/StProgressBar.h"
#include "styled/StSmoothSplashScreen.h"
#include "styled/StTrackBar.h"

namespace kv {

void RegisterStyledClasses() {
    RegisterClass(TGDIPPictureContainer::StaticClassInfo());
    RegisterClass(TStOfficeImage::StaticClassInfo());
    RegisterClass(TRTFLabel::StaticClassInfo());
    RegisterClass(TRichEdit::StaticClassInfo());
    RegisterClass(TStTrackBar::StaticClassInfo());
    RegisterClass(TTickImageList::StaticClassInfo());
    RegisterClass(TStProgressBar::StaticClassInfo());
    RegisterClass(TRoundPanel::StaticClassInfo());
    RegisterClass(TRoundControlPanel::StaticClassInfo());
    RegisterClass(TRoundEdit::StaticClassInfo());
    RegisterClass(TStSmoothSplashScreen::StaticClassInfo());
}

} // namespace kv
