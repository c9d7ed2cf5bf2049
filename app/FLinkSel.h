#pragma once
// The link dialog: a triangular grid of buttons in which every channel picks the channel it follows
// (a lower one of its side) or its own column (alone, or the master of those that follow it). Set
// writes the grid into the model's link masks, copying the master's settings onto every channel that
// newly joins it; Exit drops what was chosen. The main window's refresh loads the grid from the model.

#include "platform/gui/Forms.h"

namespace kv {

class TPkBmpButton;

class TfmLinkSel : public TForm {
    KV_CLASS(TfmLinkSel)
public:
    explicit TfmLinkSel(TComponent* owner);
    ~TfmLinkSel() override;

    void FormShow(TObject* sender);
    // Row handlers, each bound to every button of its row; the clicked button's Tag is its column's
    // index on the side.
    void pkbBLinkInAClick(TObject* sender);
    void pkb2LinkOut1Click(TObject* sender);
    void pkb3LinkOut1Click(TObject* sender);
    void pkb4LinkOut1Click(TObject* sender);
    // Rows of channels this unit does not have; no button is bound to them.
    void pkbCLinkInAClick(TObject* sender);
    void pkb5LinkOut1Click(TObject* sender);
    void pkb6LinkOut1Click(TObject* sender);
    void pkb7LinkOut1Click(TObject* sender);
    void pkbDLinkInDClick(TObject* sender);
    void pkb8LinkOut8Click(TObject* sender);
    void bnSetClick(TObject* sender);
    void bnExitClick(TObject* sender);

    // Presses the buttons of the channel's column in every row whose bit is in the mask (running their
    // row handlers); other rows stay as they are.
    void ShowChannelLinks(int channel, int mask);
    // The whole grid from the model's link masks: every row first back to its own column, so that a
    // member whose master no longer holds it shows alone, as the model treats it.
    void ShowModelLinks();
    // The curve buttons of the main window (hidden for channels that follow another) and the plain
    // page-button captions of lone channels and masters, from the grid.
    void UpdateOverlayButtons();
    // The page-button captions of the channels that follow a master ("3=1"), from the grid.
    void UpdateLinkCaptions();

    // The grid button of row `row` in column `column` (channel numbers 0..5 of one side, column not
    // after row); none for any other pair or when the layout lacks it.
    TPkBmpButton* LinkButton(int row, int column) const;
    // Whether a row button was clicked since the dialog was last shown.
    bool SelectionChanged() const { return selectionChanged != 0; }

private:
    // The shared body of the row handlers: the row of `channel`, the clicked button's column from its
    // Tag.
    void RowClick(int channel, TObject* sender);

    int selectionChanged = 0;
};

extern TfmLinkSel* fmLinkSel;

} // namespace kv
