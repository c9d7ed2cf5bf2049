// Link groups: the masks, channel copies, the resynchronisation after link changes, the page buttons'
// captions and the curve buttons of linked channels; the Link and Copy menu items.

#include "app/FMain.h"

using namespace kv;

void TfmMain::PublishLinking(TClassBuilder<TfmMain>&) {}

void TfmMain::ShowLinksFromModel() {}
