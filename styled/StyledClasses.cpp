#include "styled/StyledClasses.h"

#include "platform/core/Properties.h"
#include "styled/PictureContainer.h"
#include "styled/StOfficeImage.h"

namespace kv {

void RegisterStyledClasses() {
    RegisterClass(TGDIPPictureContainer::StaticClassInfo());
    RegisterClass(TStOfficeImage::StaticClassInfo());
}

} // namespace kv
