// Pictures of the main window: page and menu button sets, fader tracks and thumbs, lamps, backgrounds
// and the splash picture.

#include "Common.h"

namespace {

void RegisterMainPictures() {}

const pictures::Registrar reg(RegisterMainPictures);

} // namespace
