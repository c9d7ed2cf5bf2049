#pragma once
// The refresh of every block page from the unit model: after a read-back, a preset file, a channel copy
// and once at start.

#include "app/pages/Page.h"

namespace kv {
class TMyPEQType8;
}

class TRefreshPage : public TPage {
public:
    using TPage::TPage;
    void Bind() override {}

    // Every page from the model, then the curves and the overlays of the page shown. At the window's
    // start (`startup`) the transfer curves are left as they are seeded.
    void RefreshAllPanels(bool startup);

private:
    void FillPanelsFromModel(bool startup);
    void FillPeqTable(kv::TMyPEQType8* table, int ch);
};
