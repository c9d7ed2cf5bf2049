// The simple band table with working spinners and check boxes.

#include "controls/MyPEQ.h"

#include "controls/PeqBandTable.h"
#include "link/Scales.h"

#include <QLineEdit>

#include <algorithm>

namespace kv {

KV_REGISTER_CLASS(TMyPEQ, TGroupBox, b) {
    b.Prop("ChannelNumber", &TMyPEQ::GetChannelNumber, &TMyPEQ::SetChannelNumber).Default(15);
    b.Event("OnChange", &TMyPEQ::OnChange);
}

namespace {

const char* const TYPE_NAMES[3] = {"Peak", "Low Shelf", "High Shelf"};

TEdit* NewEdit(TMyPEQ* table, int row) {
    auto* e = new TEdit(table);
    e->SetParent(table);
    peq::LimitTyping(e, 7);
    e->SetTag(row);
    auto* line = static_cast<QLineEdit*>(e->Widget());
    line->setAlignment(Qt::AlignCenter);
    // The spinner sits inside the edit's right end; the text stays clear of it.
    line->setTextMargins(0, 0, 20, 0);
    return e;
}

TUpDown* NewSpin(TMyPEQ* table, int row, int lo, int hi, int position) {
    auto* u = new TUpDown(table);
    u->SetParent(table);
    u->SetTag(row);
    u->SetMin(lo);
    u->SetMax(hi);
    u->SetPosition(position);
    return u;
}

} // namespace

TMyPEQ::TMyPEQ(TComponent* owner) : TGroupBox(owner) {
    static const char* const titles[5] = {"EQ", "Frequency", "Q", "Gain", "Type"};
    for (int k = 0; k < 5; ++k) {
        auto* t = new TLabel(this);
        t->SetParent(this);
        t->SetCaption(titles[k]);
        FTitles[static_cast<size_t>(k)] = t;
    }
    for (int r = 0; r < MaxRows; ++r) {
        Row& row = R(r);
        row.freq = NewEdit(this, r);
        row.q = NewEdit(this, r);
        row.gain = NewEdit(this, r);
        row.freqSpin = NewSpin(this, r, -170, 130, 0);
        row.qSpin = NewSpin(this, r, 0, 100, 20);
        row.gainSpin = NewSpin(this, r, -24, 24, 0);
        row.freq->SetText(peq::FreqText(peq::OffsetToFreq(0)));
        row.q->SetText(peq::QText(Q_GRID[20]));
        row.gain->SetText(peq::GainText(0.0));
        row.freq->OnExit = [this](TObject* s) { FreqEntered(s); };
        row.q->OnExit = [this](TObject* s) { QEntered(s); };
        row.gain->OnExit = [this](TObject* s) { GainEntered(s); };
        row.freq->OnKeyDown = [this](TObject* s, std::uint16_t& k, TShiftState) {
            if (k == 13)
                FreqEntered(s);
        };
        row.q->OnKeyDown = [this](TObject* s, std::uint16_t& k, TShiftState) {
            if (k == 13)
                QEntered(s);
        };
        row.gain->OnKeyDown = [this](TObject* s, std::uint16_t& k, TShiftState) {
            if (k == 13)
                GainEntered(s);
        };
        for (TUpDown* u : {row.freqSpin, row.qSpin, row.gainSpin})
            u->OnClick = [this](TObject* s, TUDBtnType) { SpinClick(s); };

        row.number = new TLabel(this);
        row.number->SetParent(this);
        row.number->SetAutoSize(false);
        row.number->SetAlignment(TAlignment::taCenter);
        row.number->SetTransparent(false);
        row.number->TControl::SetColor(peq::NumberColor(r));
        row.number->SetCaption(std::to_string(r + 1));

        row.type = new TComboBox(this);
        row.type->SetParent(this);
        row.type->SetStyle(TComboBoxStyle::csDropDownList);
        row.type->SetTag(r);
        row.type->OnChange = [this](TObject* s) { ActOnRow(RowOf(s)); };

        row.bypass = new TCheckBox(this);
        row.bypass->SetParent(this);
        row.bypass->SetTag(r);
        row.bypass->SetCaption("ByPass");
        row.bypass->OnClick = [this](TObject* s) { BypassClick(s); };
    }
    SetBounds(Left(), Top(), 490, 220);
    RePaint();
}

int TMyPEQ::RowOf(TObject* sender) const {
    auto* c = dynamic_cast<TComponent*>(sender);
    return c ? static_cast<int>(c->Tag()) : -1;
}

void TMyPEQ::CreateWnd() {
    if (FCreated)
        return;
    FCreated = true;
    for (int r = 0; r < std::clamp(FChannelNumber, 0, MaxRows); ++r) {
        for (const char* name : TYPE_NAMES)
            R(r).type->Items()->Add(name);
        R(r).type->SetItemIndex(1);
    }
}

void TMyPEQ::RePaint() {
    if (Width() == FLaidWidth && Height() == FLaidHeight)
        return;
    FLaidWidth = Width();
    FLaidHeight = Height();
    const int rows = std::clamp(FChannelNumber, 0, MaxRows);
    const int cw = (Width() - 84) / 5;
    const int rh = (Height() - rows - 30) / (rows + 1);
    const bool few = rows <= 4;
    FTitles[0]->SetBounds(8, 15, 20, rh);
    for (int k = 1; k < 5; ++k)
        FTitles[static_cast<size_t>(k)]->SetBounds(12 * k + (k - 1) * cw + 33, 15, cw, rh);
    for (int r = 0; r < rows; ++r) {
        Row& row = R(r);
        const int y = rh * (r + 1) + 2 * r + 17;
        row.number->SetBounds(8, y, 20, few ? 18 : rh - 2);
        const int b = R(0).number->Left() + R(0).number->Width();
        row.freq->SetBounds(b + 12, y, cw, rh);
        row.q->SetBounds(b + cw + 24, y - 1, cw, rh);
        row.gain->SetBounds(b + 2 * cw + 36, y - 1, cw, rh);
        row.type->SetBounds(b + 3 * cw + 48, y - 1, cw, rh);
        row.bypass->SetBounds(b + 4 * cw + 60, y - 1, cw - 20, rh);
        const std::pair<TEdit*, TUpDown*> spins[3] = {
            {row.freq, row.freqSpin}, {row.q, row.qSpin}, {row.gain, row.gainSpin}};
        for (const auto& [edit, spin] : spins)
            spin->SetBounds(edit->Left() + edit->Width() - 2 - 20, edit->Top() + 2, 20, few ? 18 : rh - 1);
        // A row keeps its type across layouts; a list not filled yet starts at the first type.
        if (row.type->ItemIndex() < 0)
            row.type->SetItemIndex(0);
        for (TControl* c :
             std::initializer_list<TControl*>{row.number, row.freq, row.q, row.gain, row.freqSpin, row.qSpin,
                                              row.gainSpin, row.type, row.bypass})
            c->SetVisible(true);
    }
    for (int r = rows; r < MaxRows; ++r) {
        Row& row = R(r);
        for (TControl* c :
             std::initializer_list<TControl*>{row.number, row.freq, row.q, row.gain, row.freqSpin, row.qSpin,
                                              row.gainSpin, row.type, row.bypass}) {
            c->SetVisible(false);
            c->SetBounds(c->Left(), 10000, c->Width(), c->Height());
        }
    }
}

void TMyPEQ::WndProcPaint() {
    TGroupBox::WndProcPaint();
    CreateWnd();
    RePaint();
}

// ---- values ---------------------------------------------------------------------------------------

double TMyPEQ::GetFreqValue(int i) const {
    return ValidRow(i) ? peq::OffsetToFreq(R(i).freqSpin->Position()) : 0.0;
}

double TMyPEQ::GetQValue(int i) const {
    return ValidRow(i)
               ? static_cast<double>(Q_GRID[static_cast<size_t>(std::clamp(R(i).qSpin->Position(), 0, 100))])
               : 0.0;
}

double TMyPEQ::GetGainValue(int i) const {
    return ValidRow(i) ? R(i).gainSpin->Position() * 0.5 : 0.0;
}

int TMyPEQ::GetTypeValue(int i) {
    if (!ValidRow(i))
        return -1;
    CreateWnd();
    return R(i).type->ItemIndex();
}

bool TMyPEQ::GetBypassValue(int i) const {
    return ValidRow(i) && R(i).bypass->Checked();
}

void TMyPEQ::SetFreqValue(int i, float hz) {
    if (!ValidRow(i))
        return;
    R(i).freqSpin->SetPosition(peq::FreqOffsetByValue(static_cast<double>(hz), 15));
    FCurrentFreq = static_cast<float>(peq::OffsetToFreq(R(i).freqSpin->Position()));
    R(i).freq->SetText(peq::FreqText(FCurrentFreq));
    Change();
}

void TMyPEQ::SetQValue(int i, float index) {
    if (!ValidRow(i))
        return;
    R(i).qSpin->SetPosition(peq::TruncatedSteps(static_cast<double>(index), 1.0));
    R(i).q->SetText(peq::QText(GetQValue(i)));
}

void TMyPEQ::SetGainValue(int i, float dB) {
    if (!ValidRow(i))
        return;
    R(i).gainSpin->SetPosition(peq::TruncatedSteps(static_cast<double>(dB), 2.0));
    // Single precision, shown as short as it reads back: 0.1f is "0.1", not 0.100000001.
    R(i).gain->SetText(peq::GainText(static_cast<double>(dB), 7));
    Change();
}

void TMyPEQ::SetTypeValue(int i, int type) {
    if (!ValidRow(i))
        return;
    CreateWnd();
    R(i).type->SetItemIndex(type);
    Change();
}

void TMyPEQ::SetBypassValue(int i, bool on) {
    if (!ValidRow(i))
        return;
    // A check box set from code runs its click handler; that is no user action here, and the one
    // change event is this setter's.
    FSettingBypass = true;
    R(i).bypass->SetChecked(on);
    FSettingBypass = false;
    Change();
}

void TMyPEQ::SetColor(int i, TColor c) {
    if (!ValidRow(i))
        return;
    for (TControl* ctl : std::initializer_list<TControl*>{R(i).gain, R(i).q, R(i).freq, R(i).bypass})
        ctl->Font()->SetColor(c);
}

void TMyPEQ::SetChannelNumber(int v) {
    if (v == FChannelNumber)
        return;
    FChannelNumber = std::min(v, MaxRows);
    // Laid out again for the new number of rows at the next paint.
    FLaidWidth = FLaidHeight = -1;
    Invalidate();
}

// ---- user actions ---------------------------------------------------------------------------------

void TMyPEQ::Change() {
    if (OnChange)
        OnChange(this);
}

void TMyPEQ::ActOnRow(int row) {
    if (!ValidRow(row))
        return;
    FCurrentRow = row;
    Change();
}

void TMyPEQ::FreqEntered(TObject* sender) {
    const int i = RowOf(sender);
    if (!ValidRow(i))
        return;
    if (auto index = peq::TypedFreqIndex(R(i).freq->Text(), false))
        R(i).freqSpin->SetPosition(*index - 170);
    R(i).freq->SetText(peq::FreqText(peq::OffsetToFreq(R(i).freqSpin->Position())));
    ActOnRow(i);
}

void TMyPEQ::QEntered(TObject* sender) {
    const int i = RowOf(sender);
    if (!ValidRow(i))
        return;
    const std::string& text = R(i).q->Text();
    const bool valid =
        !text.empty() && text != "." && text != "0" &&
        std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; }) &&
        std::count(text.begin(), text.end(), '.') <= 1;
    if (valid) {
        const double v = peq::LeadingNumber(text);
        // A Q of 0 has no index; it is taken as the lowest Q.
        R(i).qSpin->SetPosition(v > 0.0 ? QToIndex(v) : 0);
    }
    R(i).q->SetText(peq::QText(GetQValue(i)));
    ActOnRow(i);
}

void TMyPEQ::GainEntered(TObject* sender) {
    const int i = RowOf(sender);
    if (!ValidRow(i))
        return;
    if (auto step = peq::TypedHalfDbGainStep(R(i).gain->Text()))
        R(i).gainSpin->SetPosition(*step);
    R(i).gain->SetText(peq::GainText(R(i).gainSpin->Position() * 0.5));
    ActOnRow(i);
}

void TMyPEQ::SpinClick(TObject* sender) {
    const int i = RowOf(sender);
    if (!ValidRow(i))
        return;
    Row& row = R(i);
    if (sender == row.freqSpin) {
        FCurrentFreq = static_cast<float>(peq::OffsetToFreq(row.freqSpin->Position()));
        row.freq->SetText(peq::FreqText(FCurrentFreq));
    } else if (sender == row.qSpin) {
        row.q->SetText(peq::QText(GetQValue(i)));
    } else {
        FCurrentGain = static_cast<float>(row.gainSpin->Position() * 0.5);
        row.gain->SetText(peq::GainText(FCurrentGain));
    }
    ActOnRow(i);
    if (auto* spin = dynamic_cast<TUpDown*>(sender); spin && spin->CanFocus())
        spin->SetFocus();
}

void TMyPEQ::BypassClick(TObject* sender) {
    if (!FSettingBypass)
        ActOnRow(RowOf(sender));
}

} // namespace kv
