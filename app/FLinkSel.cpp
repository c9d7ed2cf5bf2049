#include "app/FLinkSel.h"

#include "app/FMain.h"
#include "app/LangTables.h"
#include "app/pages/LinkingPage.h"
#include "link/UnitImage.h"
#include "panels/PkBmpButton.h"

namespace kv {

TfmLinkSel* fmLinkSel = nullptr;

KV_REGISTER_CLASS(TfmLinkSel, TForm, b) {
    using F = TfmLinkSel;
    b.Method<TNotifyEvent>("FormShow", &F::FormShow);
    b.Method<TNotifyEvent>("pkbBLinkInAClick", &F::pkbBLinkInAClick);
    b.Method<TNotifyEvent>("pkb2LinkOut1Click", &F::pkb2LinkOut1Click);
    b.Method<TNotifyEvent>("pkb3LinkOut1Click", &F::pkb3LinkOut1Click);
    b.Method<TNotifyEvent>("pkb4LinkOut1Click", &F::pkb4LinkOut1Click);
    b.Method<TNotifyEvent>("pkbCLinkInAClick", &F::pkbCLinkInAClick);
    b.Method<TNotifyEvent>("pkb5LinkOut1Click", &F::pkb5LinkOut1Click);
    b.Method<TNotifyEvent>("pkb6LinkOut1Click", &F::pkb6LinkOut1Click);
    b.Method<TNotifyEvent>("pkb7LinkOut1Click", &F::pkb7LinkOut1Click);
    b.Method<TNotifyEvent>("pkbDLinkInDClick", &F::pkbDLinkInDClick);
    b.Method<TNotifyEvent>("pkb8LinkOut8Click", &F::pkb8LinkOut8Click);
    b.Method<TNotifyEvent>("bnSetClick", &F::bnSetClick);
    b.Method<TNotifyEvent>("bnExitClick", &F::bnExitClick);
}

namespace {

int LinkMaskOf(int channel) {
    return ::fmMain ? ::fmMain->GetChannelLinkMask(channel) : 0;
}

} // namespace

TfmLinkSel::TfmLinkSel(TComponent* owner) : TForm(owner) {
    if (!fmLinkSel)
        fmLinkSel = this;
}

TfmLinkSel::~TfmLinkSel() {
    if (fmLinkSel == this)
        fmLinkSel = nullptr;
}

TPkBmpButton* TfmLinkSel::LinkButton(int row, int column) const {
    if (row < 0 || row > 5 || column < img::FirstOfSide(row) || column > row)
        return nullptr;
    // The row by its letter or digit alone: "pkb" "3" "Link" "Out2".
    return FindAs<TPkBmpButton>(*this,
                                "pkb" + TfmMain::ChannelMark(row) + "Link" + TfmMain::ChannelSuffix(column));
}

void TfmLinkSel::FormShow(TObject*) {
    SetCaption(UiText("SID_LINK_TITLE"));
    if (auto* set = FindAs<TPkBmpButton>(*this, "bnSet"))
        set->SetCaption(UiText("SID_SET"));
    if (auto* exit = FindAs<TPkBmpButton>(*this, "bnExit"))
        exit->SetCaption(UiText("SID_EXIT"));
    selectionChanged = 0;
}

void TfmLinkSel::RowClick(int channel, TObject* sender) {
    selectionChanged = 1;
    auto* clicked = dynamic_cast<TPkBmpButton*>(sender);
    if (!clicked)
        return;
    const int column = img::FirstOfSide(channel) + static_cast<int>(clicked->Tag());
    for (int later = channel + 1; later <= img::LastOfSide(channel); ++later) {
        TPkBmpButton* b = LinkButton(later, channel);
        if (!b)
            return;
        if (column == channel) {
            // Alone or a master: the later rows may follow this channel.
            b->SetEnabled(true);
            continue;
        }
        // A channel that follows another cannot be followed: those that did become alone, and their
        // own rows' handlers keep the rows after them consistent in turn.
        b->SetEnabled(false);
        if (b->Down()) {
            TPkBmpButton* own = LinkButton(later, later);
            if (!own)
                return;
            own->SetDown(true);
            own->Click();
        }
    }
}

void TfmLinkSel::pkbBLinkInAClick(TObject* sender) {
    RowClick(1, sender);
}
void TfmLinkSel::pkb2LinkOut1Click(TObject* sender) {
    RowClick(3, sender);
}
void TfmLinkSel::pkb3LinkOut1Click(TObject* sender) {
    RowClick(4, sender);
}
void TfmLinkSel::pkb4LinkOut1Click(TObject* sender) {
    RowClick(5, sender);
}

void TfmLinkSel::pkbCLinkInAClick(TObject*) {
    selectionChanged = 1;
}
void TfmLinkSel::pkb5LinkOut1Click(TObject*) {
    selectionChanged = 1;
}
void TfmLinkSel::pkb6LinkOut1Click(TObject*) {
    selectionChanged = 1;
}
void TfmLinkSel::pkb7LinkOut1Click(TObject*) {
    selectionChanged = 1;
}
void TfmLinkSel::pkbDLinkInDClick(TObject*) {
    selectionChanged = 1;
}
void TfmLinkSel::pkb8LinkOut8Click(TObject*) {
    selectionChanged = 1;
}

void TfmLinkSel::ShowChannelLinks(int channel, int mask) {
    if (channel < 0 || channel > 5)
        return;
    for (int row = channel; row <= img::LastOfSide(channel); ++row) {
        TPkBmpButton* b = LinkButton(row, channel);
        if (!b)
            return;
        if (mask & img::SideBit(row)) {
            b->SetDown(true);
            b->Click();
        }
    }
}

void TfmLinkSel::ShowModelLinks() {
    for (int c = 0; c <= 5; ++c)
        if (TPkBmpButton* own = LinkButton(c, c)) {
            own->SetDown(true);
            own->Click();
        }
    for (int c = 0; c <= 5; ++c)
        ShowChannelLinks(c, LinkMaskOf(c));
}

void TfmLinkSel::UpdateOverlayButtons() {
    if (!::fmMain)
        return;
    for (int c = 0; c <= 5; ++c) {
        TPkBmpButton* own = LinkButton(c, c);
        if (!own)
            return;
        ::fmMain->Linking().SetOverlayButtonsVisible(c, own->Down());
        if (own->Down())
            ::fmMain->Linking().ShowLinkCaption(c, c);
    }
}

void TfmLinkSel::UpdateLinkCaptions() {
    if (!::fmMain)
        return;
    for (int column = 0; column <= 5; ++column)
        for (int row = column; row <= img::LastOfSide(column); ++row) {
            TPkBmpButton* b = LinkButton(row, column);
            if (!b)
                return;
            if (b->Down())
                ::fmMain->Linking().ShowLinkCaption(column, row);
        }
}

void TfmLinkSel::bnSetClick(TObject*) {
    if (!::fmMain)
        return;
    // Every button first: a grid the layout does not complete changes nothing rather than half.
    for (int column = 0; column <= 5; ++column)
        for (int row = column; row <= img::LastOfSide(column); ++row)
            if (!LinkButton(row, column))
                return;
    bool changed = false;
    for (int column = 0; column <= 5; ++column) {
        int mask = 0;
        for (int row = column; row <= img::LastOfSide(column); ++row) {
            if (!LinkButton(row, column)->Down())
                continue;
            mask |= img::SideBit(row);
            // Newly joined (or, for its own column, a former member now alone): it takes the master's
            // settings; the copy is resynchronised once, below.
            if (!(LinkMaskOf(column) & img::SideBit(row))) {
                ::fmMain->Linking().ShowLinkCaption(column, row);
                ::fmMain->Linking().CopyChannelSettings(column, row, false);
                changed = true;
            }
        }
        if (mask != LinkMaskOf(column)) {
            ::fmMain->Linking().SetChannelLinkMask(column, mask);
            changed = true;
        }
    }
    if (changed) {
        ::fmMain->Linking().ResyncAfterLink();
        UpdateOverlayButtons();
        if (auto* gain = ::fmMain->Find<TPkBmpButton>("pkbMenuGain")) {
            gain->Click();
            gain->SetDown(true);
        }
    }
    Close();
}

void TfmLinkSel::bnExitClick(TObject*) {
    if (selectionChanged)
        ShowModelLinks();
    Close();
}

} // namespace kv
