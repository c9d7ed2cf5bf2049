#include "app/FStorePreset.h"

#include "app/FStoreName.h"
#include "app/LangTables.h"
#include "panels/PkBmpButton.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/StdLists.h"
#include "platform/gui/StdPanels.h"

#include <QHeaderView>
#include <QTableWidget>

#include <cstdio>

namespace kv {

TfmStorePreset* fmStorePreset = nullptr;

namespace {
constexpr const char* kDefaultName = "Default Preset";
// A row's value: two blanks, then the name field.
constexpr size_t kValueIndent = 2;
} // namespace

KV_REGISTER_CLASS(TPresetListForm, TForm, b) {}

KV_REGISTER_CLASS(TfmStorePreset, TPresetListForm, b) {
    b.Method<TNotifyEvent>("FormCreate", &TfmStorePreset::FormCreate);
    b.Method<TNotifyEvent>("FormShow", &TfmStorePreset::FormShow);
    b.Method<TNotifyEvent>("FormHide", &TfmStorePreset::FormHide);
    b.Method<TNotifyEvent>("bnCancelClick", &TfmStorePreset::bnCancelClick);
}

TPresetListForm::TPresetListForm(TComponent* owner, bool recall) : TForm(owner), recall_(recall) {}

TPresetListForm::~TPresetListForm() {
    // The name dialog may be this list's window at the moment; it outlives the list on its own.
    QWidget* dialog = fmStoreName ? fmStoreName->Widget() : nullptr;
    if (dialog && Widget() && dialog->parentWidget() == Widget())
        dialog->setParent(nullptr, dialog->windowFlags());
}

TfmStorePreset::TfmStorePreset(TComponent* owner) : TPresetListForm(owner, false) {
    if (!fmStorePreset)
        fmStorePreset = this;
}

TfmStorePreset::~TfmStorePreset() {
    if (fmStorePreset == this)
        fmStorePreset = nullptr;
}

std::string TPresetListForm::Label(int row) const {
    char label[16];
    if (recall_)
        std::snprintf(label, sizeof label, "%c%02d", row == 0 ? 'F' : 'U', row);
    else
        std::snprintf(label, sizeof label, "U%02d", row + 1);
    return label;
}

void TPresetListForm::FormCreate(TObject*) {
    lPresetSelect = FindAs<TLabel>(*this, "lPresetSelect");
    vledPresetName = FindAs<TValueListEditor>(*this, "vledPresetName");
    bnCancel = FindAs<TPkBmpButton>(*this, "bnCancel");
    imBase = FindAs<TImage>(*this, "imBase");
    if (!vledPresetName)
        return;
    TStrings* rows = vledPresetName->Strings();
    rows->BeginUpdate();
    rows->Clear();
    for (int n = 0; n < PresetCount(); ++n)
        rows->Add("     " + Label(n) + "=" + std::string(kValueIndent, ' ') + kDefaultName);
    rows->EndUpdate();
    BindList();
}

// The list shows the rows only: the names change through the name dialog, a pick opens it, and the
// columns keep the widths of the layout.
void TPresetListForm::BindList() {
    auto* table = qobject_cast<QTableWidget*>(vledPresetName->Widget());
    if (!table)
        return;
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setFocusPolicy(Qt::NoFocus);
    QHeaderView* header = table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->resizeSection(0, 69);
    header->resizeSection(1, 126);
    QObject::connect(table, &QTableWidget::cellClicked, table,
                     [this](int row, int column) { vledPresetNameSelectCell(column, row + 1); });
}

void TPresetListForm::SetPresetName(int row, const std::string& name) {
    if (!vledPresetName || row < 0 || row >= vledPresetName->Strings()->Count())
        return;
    TStrings* rows = vledPresetName->Strings();
    rows->Put(row, rows->Names(row) + "=" + std::string(kValueIndent, ' ') + name);
}

std::string TPresetListForm::PresetName(int row) const {
    if (!vledPresetName || row < 0 || row >= vledPresetName->Strings()->Count())
        return {};
    const std::string value = vledPresetName->Strings()->ValueFromIndex(row);
    return value.size() > kValueIndent ? value.substr(kValueIndent) : std::string();
}

std::string TPresetListForm::PresetKey(int row) const {
    if (!vledPresetName || row < 0 || row >= vledPresetName->Strings()->Count())
        return {};
    return vledPresetName->Strings()->Names(row);
}

void TPresetListForm::FormShow(TObject*) {
    const std::string title = UiText(recall_ ? "SID_RECALL_PRESET" : "SID_SAVE_PRESET");
    SetCaption(title);
    if (lPresetSelect)
        lPresetSelect->SetCaption(title);
    if (bnCancel)
        bnCancel->SetCaption(UiText("SID_CANCEL"));
    if (vledPresetName) {
        TStrings* titles = vledPresetName->TitleCaptions();
        titles->Clear();
        titles->Add(UiText("SID_PST_NUM"));
        titles->Add(UiText("SID_PST_NAME"));
    }
}

// The name dialog is the list's own window and goes with it, however the list is closed.
void TPresetListForm::FormHide(TObject*) {
    if (fmStoreName && fmStoreName->Visible())
        fmStoreName->Hide();
}

void TPresetListForm::bnCancelClick(TObject*) {
    if (vledPresetName && vledPresetName->CanFocus())
        vledPresetName->SetFocus();
    Close();
}

void TPresetListForm::vledPresetNameSelectCell(int, int row) {
    if (!fmStoreName || row < 1 || row > PresetCount())
        return;
    fmStoreName->SetDefaultName(PresetName(row - 1));
    fmStoreName->SetPresetIndex(row - 1);
    fmStoreName->SetTitle(Label(row - 1) + " : ");
    fmStoreName->SetStoreMode(!recall_);
    // Without blocking: the list stays usable behind it, and another pick updates the same dialog. It
    // is the list's own window, so the list's modality does not shut it out.
    QWidget* dialog = fmStoreName->Widget();
    if (dialog && Widget() && dialog->parentWidget() != Widget())
        dialog->setParent(Widget(), dialog->windowFlags() | Qt::Dialog);
    fmStoreName->Show();
    // The dialog's mode applies as it becomes the active window.
    fmStoreName->FormActivate(fmStoreName);
}

} // namespace kv
