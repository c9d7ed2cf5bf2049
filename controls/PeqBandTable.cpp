// The shared band-table code: value texts, typed entry on the unit's grids, and the pack table.

#include "controls/PeqBandTable.h"

#include "link/Scales.h"
#include "panels/PkButton.h"
#include "panels/PkComboBox.h"
#include "panels/PkLabel.h"
#include "platform/core/Numbers.h"
#include "platform/gui/StdCtrls.h"

#include <QLineEdit>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

namespace kv {
namespace peq {

const std::array<double, 101> Q_TABLE = {
    0.4,  0.42, 0.45, 0.47, 0.5, 0.53, 0.56, 0.59, 0.63, 0.67, 0.71, 0.75, 0.79, 0.84, 0.89, 0.94, 1,
    1.06, 1.12, 1.19, 1.26, 1.3, 1.4,  1.5,  1.6,  1.7,  1.8,  1.9,  2,    2.1,  2.2,  2.4,  2.5,  2.7,
    2.8,  3,    3.2,  3.4,  3.6, 3.8,  4,    4.2,  4.5,  4.8,  5,    5.3,  5.7,  6,    6.3,  6.7,  7.1,
    7.6,  8,    8.5,  9,    9.5, 10.1, 10.7, 11.3, 12,   12.7, 13.5, 14,   15,   16,   17,   18,   19,
    20,   21,   23,   24,   25,  27,   29,   30,   32,   34,   36,   38,   40,   43,   45,   48,   51,
    54,   57,   60,   64,   68,  72,   76,   81,   85,   91,   96,   102,  108,  114,  121,  128,
};

namespace {

constexpr std::array<TColor, 14> NUMBER_COLOURS = {
    RGB(255, 0, 0),     RGB(255, 255, 0),   RGB(255, 0, 255),   RGB(0, 255, 255), RGB(0, 255, 0),
    RGB(0, 0, 255),     RGB(166, 202, 240), RGB(128, 0, 128),   RGB(0, 128, 128), RGB(128, 0, 0),
    RGB(255, 251, 240), RGB(128, 128, 0),   RGB(128, 128, 128), RGB(0, 0, 128),
};

// A double that is already whole (or clamped) as an int, saturating instead of undefined behaviour.
int SaturatingInt(double v) {
    if (std::isnan(v))
        return 0;
    return static_cast<int>(std::clamp(v, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

// General notation with `digits` significant digits, without the locale.
std::string General(double v, int digits) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits);
    return std::string(buf, res.ptr);
}

bool Contains(const std::string& s, const char* part) {
    return s.find(part) != std::string::npos;
}

void DropLast(std::string& s, size_t n) {
    s.erase(s.size() >= n ? s.size() - n : 0);
}

// Not empty, not ".", only digits, "." (at most one) and, when allowed, ","; not "0".
bool ValidUnsignedEntry(const std::string& s, bool allowComma) {
    if (s.empty() || s == "." || s == "0")
        return false;
    for (char c : s)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || (allowComma && c == ',')))
            return false;
    return std::count(s.begin(), s.end(), '.') <= 1;
}

} // namespace

TColor NumberColor(int row) {
    return NUMBER_COLOURS[static_cast<size_t>(((row % 14) + 14) % 14)];
}

std::string FreqText(double hz) {
    if (hz >= 1000.0)
        return FormatFixed(hz / 1000.0, 2, 4) + "KHz";
    return FormatFixed(hz, 1, 4) + "Hz";
}

std::string QText(double q) {
    double rounded = q;
    const std::string three = General(q, 3);
    std::from_chars(three.data(), three.data() + three.size(), rounded);
    return FormatFixed(rounded, 2);
}

std::string GainText(double dB, int digits) {
    if (dB == 0.0)
        dB = 0.0; // no "-0dB"
    return General(dB, digits) + "dB";
}

double OffsetToFreq(int offset) {
    return 1000.0 * std::pow(FREQ_STEP_RATIO, static_cast<double>(offset));
}

int FreqEntryToIndex(double value, bool kiloHertz) {
    const double f = kiloHertz ? value * 1000.0 : value;
    // The logarithm of 0 (or of a negative entry) is no index: such entries are the grid's bottom.
    if (!(f > 0.0))
        return 0;
    double x = std::log(f * 0.001) / std::log(FREQ_STEP_RATIO) + 170.0;
    // Clamped while still a double, so that no out-of-range value is converted to an int.
    x = std::clamp(x, -1.0, 301.0);
    double n = std::trunc(x);
    if (x - n > 0.5)
        n += 1.0;
    return std::clamp(static_cast<int>(n), 0, 300);
}

int FreqOffsetByValue(double hz, int digits) {
    if (!(hz > 0.0))
        return -170;
    double s = std::log(hz / 1000.0) / std::log(FREQ_STEP_RATIO);
    s = std::clamp(s, -1e6, 1e6);
    const std::string text = General(s, digits);
    double r = s;
    std::from_chars(text.data(), text.data() + text.size(), r);
    double whole = std::trunc(r);
    const auto point = text.find('.');
    if (text.find('e') == std::string::npos && point != std::string::npos && point + 1 < text.size() &&
        text[point + 1] > '5')
        whole += r < 0 ? -1.0 : 1.0;
    return SaturatingInt(whole);
}

int GainStepByValue(double dB) {
    // The product rounded once to a double, so that grid values land on their hundredths.
    const double hundredths = static_cast<double>(static_cast<long double>(dB) * 100.0L);
    const long long n = static_cast<long long>(std::clamp(std::trunc(hundredths), -1e15, 1e15));
    const long long a = n < 0 ? -n : n;
    long long step = a / 10 + (a % 10 > 5 ? 1 : 0);
    if (n < 0)
        step = -step;
    return SaturatingInt(static_cast<double>(step));
}

int TruncatedSteps(double value, double stepsPerUnit) {
    const double product =
        static_cast<double>(static_cast<long double>(value) * static_cast<long double>(stepsPerUnit));
    return SaturatingInt(std::trunc(product));
}

double LeadingNumber(const std::string& text) {
    size_t i = 0;
    if (i < text.size() && text[i] == '-')
        ++i;
    bool digits = false;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        ++i;
        digits = true;
    }
    if (i < text.size() && text[i] == '.') {
        size_t j = i + 1;
        while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) {
            ++j;
            digits = true;
        }
        if (j > i + 1 || digits)
            i = j;
    }
    if (!digits)
        return 0.0;
    double v = 0.0;
    std::from_chars(text.data(), text.data() + i, v);
    return v;
}

std::optional<int> TypedFreqIndex(const std::string& text, bool allowComma) {
    std::string s = text;
    for (const char* unit : {"HZ", "Hz", "hZ", "hz"})
        if (Contains(s, unit))
            DropLast(s, 2);
    bool kiloHertz = false;
    for (const char* k : {"k", "K"})
        if (Contains(s, k)) {
            DropLast(s, 1);
            kiloHertz = true;
        }
    if (!ValidUnsignedEntry(s, allowComma))
        return std::nullopt;
    return FreqEntryToIndex(LeadingNumber(s), kiloHertz);
}

std::optional<int> TypedQIndex(const std::string& text) {
    if (!ValidUnsignedEntry(text, true))
        return std::nullopt;
    const double v = std::clamp(LeadingNumber(text), 0.4, 128.0);
    return std::clamp(QToIndex(v), 0, 100);
}

std::optional<int> TypedGainStep(const std::string& text) {
    std::string s = text;
    for (const char* unit : {"DB", "Db", "dB", "db"})
        if (Contains(s, unit))
            DropLast(s, 2);
    if (s.empty() || s == "-" || s == ".")
        return std::nullopt;
    for (char c : s)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == ',' || c == '-'))
            return std::nullopt;
    if (std::count(s.begin(), s.end(), '.') > 1 || std::count(s.begin(), s.end(), '-') > 1)
        return std::nullopt;
    const auto point = s.find('.');
    if (point != std::string::npos) {
        if (point + 1 >= s.size())
            return std::nullopt;
        s.erase(point + 2); // one decimal kept, not rounded
    }
    const double v = std::clamp(LeadingNumber(s), -12.0, 12.0);
    return static_cast<int>(std::lround(v * 10.0));
}

std::optional<int> TypedHalfDbGainStep(const std::string& text) {
    std::string s = text;
    for (const char* unit : {"DB", "Db", "dB", "db"})
        if (Contains(s, unit))
            DropLast(s, 2);
    if (s.empty() || s == "-" || s == ".")
        return std::nullopt;
    for (char c : s)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-'))
            return std::nullopt;
    if (std::count(s.begin(), s.end(), '.') > 1 || std::count(s.begin(), s.end(), '-') > 1)
        return std::nullopt;
    const auto point = s.find('.');
    if (point != std::string::npos) {
        if (point + 1 >= s.size())
            return std::nullopt;
        const char first = s[point + 1];
        if (first >= '6' && first <= '9')
            s.erase(point + 2);
        else if (first != '5')
            s.erase(point); // a missing whole number (".3") reads as 0
    }
    const double v = std::clamp(LeadingNumber(s), -12.0, 12.0);
    return TruncatedSteps(v, 2.0);
}

void LimitTyping(TEdit* edit, int maxChars) {
    edit->OnKeyPress = [edit, maxChars](TObject*, char& key) {
        if (static_cast<unsigned char>(key) < 32)
            return; // Enter, backspace and other control keys
        const auto* line = static_cast<QLineEdit*>(edit->Widget());
        if (line->text().size() - line->selectedText().size() >= maxChars)
            key = 0;
    };
}

} // namespace peq

// ---------------------------------------------------------------------------------------------------
// The pack band table

KV_REGISTER_CLASS(TPeqBandTable, TPkGroupBox, b) {
    b.Prop("UpdownVisable", &TPeqBandTable::UpdownVisable, &TPeqBandTable::SetUpdownVisable).Default(true);
    b.Prop("TitleVisable", &TPeqBandTable::TitleVisable, &TPeqBandTable::SetTitleVisable).Default(false);
    b.Prop("TopBottomSpace", &TPeqBandTable::TopBottomSpace, &TPeqBandTable::SetTopBottomSpace).Default(15);
    b.Prop("ChannelNumber", &TPeqBandTable::ChannelNumber, &TPeqBandTable::SetChannelNumber).Default(50);
    b.Prop("LabelColor", &TPeqBandTable::LabelColor, &TPeqBandTable::SetLabelColor)
        .Default(clBlack)
        .Idents(ColorIdents(), "TColor");
    b.Prop("EditBackColor", &TPeqBandTable::EditBackColor, &TPeqBandTable::SetEditBackColor)
        .Default(clWindow)
        .Idents(ColorIdents(), "TColor");
    b.Prop("BypassBackColor", &TPeqBandTable::BypassBackColor, &TPeqBandTable::SetBypassBackColor)
        .Default(clWindow)
        .Idents(ColorIdents(), "TColor");
    b.Event("OnChange", &TPeqBandTable::OnChange);
    b.Event("OnEditMouseDown", &TPeqBandTable::OnEditMouseDown);
    b.Event("OnPeqTypeMouseWheel", &TPeqBandTable::OnPeqTypeMouseWheel);
}

namespace {

TEdit* NewRowEdit(TPeqBandTable* table, int row, const std::string& text) {
    auto* e = new TEdit(table);
    e->SetParent(table);
    peq::LimitTyping(e, 7);
    e->SetTag(row);
    e->SetText(text);
    // The edit has no alignment property of its own; the values read best centred under their title.
    static_cast<QLineEdit*>(e->Widget())->setAlignment(Qt::AlignCenter);
    return e;
}

} // namespace

TPeqBandTable::TPeqBandTable(TComponent* owner, std::vector<std::string> builtInNames, int createdType)
    : TPkGroupBox(owner), FTypeNames(std::move(builtInNames)), FCreatedType(createdType) {
    SetCaption("");
    for (int k = 0; k < 6; ++k) {
        static const char* const titles[6] = {"EQ", "Frequency", "Q", "Gain", "Type", "Bypass"};
        auto* t = new TPkLabel(this);
        t->SetParent(this);
        t->SetAutoSizeValue(false);
        t->SetAlignment(TAlignment::taCenter);
        t->SetTransparent(true);
        t->SetCaption(titles[k]);
        t->SetVisible(false);
        FTitles[static_cast<size_t>(k)] = t;
    }
    SetBounds(Left(), Top(), 490, 420);
    FLaidWidth = Width();
    FLaidHeight = Height();
    FFirstPlace = {(Width() - 68) / 5, (Height() - FTopBottomSpace - 16) / FChannelNumber, FTopBottomSpace};
    PlaceTitles(FFirstPlace.cw, FFirstPlace.rh, 8);
    // A layout's table usually shows a few of its rows: the rest are made only when something asks
    // for them. A table made in code has all of them at once.
    if (!owner || !owner->IsLoading())
        MakeRows(MaxRows);
}

void TPeqBandTable::MakeRows(int count) {
    count = std::min(count, MaxRows);
    for (int r = FMadeRows; r < count; ++r) {
        Row& row = R(r);
        row.freq = NewRowEdit(this, r, std::to_string(r));
        row.q = NewRowEdit(this, r, "0.40");
        row.gain = NewRowEdit(this, r, "0dB");
        for (TEdit* e : {row.freq, row.q, row.gain})
            e->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
                EditMouseDown(s, b, sh, x, y);
            };
        row.freq->OnExit = [this](TObject* s) { FreqEntered(s); };
        row.q->OnExit = [this](TObject* s) { QEntered(s); };
        row.gain->OnExit = [this](TObject* s) { GainEntered(s); };
        row.freq->OnKeyDown = [this](TObject* s, std::uint16_t& k, TShiftState) {
            EditKeyDown(s, k, &TPeqBandTable::FreqEntered);
        };
        row.q->OnKeyDown = [this](TObject* s, std::uint16_t& k, TShiftState) {
            EditKeyDown(s, k, &TPeqBandTable::QEntered);
        };
        row.gain->OnKeyDown = [this](TObject* s, std::uint16_t& k, TShiftState) {
            EditKeyDown(s, k, &TPeqBandTable::GainEntered);
        };

        row.number = new TPkLabel(this);
        row.number->SetParent(this);
        row.number->SetAutoSizeValue(false);
        row.number->SetTransparent(true);
        row.number->SetAlignment(TAlignment::taCenter);
        row.number->SetParentFont(false);
        row.number->Font()->SetSize(12);
        row.number->Font()->SetColor(peq::NumberColor(r));
        row.number->SetCaption(std::to_string(r + 1));

        row.type = new TPkComboBox(this, TComboBoxStyle::csDropDownList);
        row.type->SetParent(this);
        row.type->SetStyleValue(TComboBoxStyle::csDropDownList);
        row.type->SetTag(r);
        row.type->OnChange = [this](TObject* s) { PeqTypeChange(s); };
        row.type->OnMouseWheel = [this](TObject* s, TShiftState sh, int d, TPoint p, bool& h) {
            PeqTypeMouseWheel(s, sh, d, p, h);
        };

        row.bypass = new TPkButton(this);
        row.bypass->SetParent(this);
        row.bypass->SetThemeAware(false);
        row.bypass->SetTag(r);
        row.bypass->OnClick = [this](TObject* s) { ByPassClick(s); };

        FMadeRows = r + 1;
        // Where the table's first layout put every row, and, once a relayout has hidden the rows past
        // the shown ones, hidden as they are.
        PlaceRow(r, FFirstPlace.cw, FFirstPlace.rh, FFirstPlace.top, FFirstPlace.cw);
        if (FRelaidOut && r >= std::clamp(FChannelNumber, 0, MaxRows))
            HideRow(row);
    }
}

void TPeqBandTable::ReadDone() {
    TPkGroupBox::ReadDone();
    MakeRows(FChannelNumber);
}

TPeqBandTable::~TPeqBandTable() = default;

int TPeqBandTable::RowOf(TObject* sender) const {
    auto* c = dynamic_cast<TComponent*>(sender);
    return c ? static_cast<int>(c->Tag()) : -1;
}

void TPeqBandTable::PlaceTitles(int cw, int rh, int title0X) {
    FTitles[0]->SetBounds(title0X, FTopBottomSpace, 20, rh);
    for (int k = 1; k < 6; ++k)
        FTitles[static_cast<size_t>(k)]->SetBounds(8 * k + (k - 1) * cw + 33, FTopBottomSpace, cw - 15, rh);
}

void TPeqBandTable::PlaceRows(int cw, int rh, int titleBand, int title0X) {
    const int rows = std::clamp(FChannelNumber, 0, MaxRows);
    PlaceTitles(cw, rh, title0X);
    const int editWidth = FUpdownVisable ? cw - 20 : cw;
    MakeRows(rows);
    for (int r = 0; r < rows; ++r)
        PlaceRow(r, cw, rh, FTopBottomSpace + titleBand, editWidth);
}

void TPeqBandTable::PlaceRow(int r, int cw, int rh, int top, int editWidth) {
    Row& row = R(r);
    const int y = top + rh * r + 8;
    row.number->SetBounds(12, y, 20, rh);
    const int b = R(0).number->Left() + R(0).number->Width();
    const int cy = y - 1;
    row.freq->SetBounds(b + 8, cy, editWidth, row.freq->Height());
    row.q->SetBounds(b + cw + 16, cy, editWidth, row.q->Height());
    row.gain->SetBounds(b + 2 * cw + 24, cy, editWidth, row.gain->Height());
    row.type->SetBounds(b + 3 * cw + 32, cy, cw + 8, rh);
    row.bypass->SetBounds(b + 4 * cw + 46, cy, cw - 14, row.gain->Height());
}

void TPeqBandTable::HideRow(Row& row) {
    for (TControl* c :
         std::initializer_list<TControl*>{row.number, row.freq, row.q, row.gain, row.type, row.bypass}) {
        c->SetVisible(false);
        c->SetBounds(c->Left(), 10000, c->Width(), c->Height());
    }
}

void TPeqBandTable::RefillTypeList(Row& row) {
    const int selected = row.type->ItemIndex();
    row.type->ClearItems();
    for (const std::string& name : FTypeNames)
        row.type->Add(name);
    row.type->SetItemIndex(selected >= 0 && selected < static_cast<int>(FTypeNames.size()) ? selected : 0);
}

void TPeqBandTable::CreateWnd() {
    if (FCreated)
        return;
    FCreated = true;
    // The names stored so far stay: the language step may have set them before the lists exist.
    const int rows = std::clamp(FChannelNumber, 0, MaxRows);
    for (int r = 0; r < rows; ++r) {
        for (const std::string& name : FTypeNames)
            W(r).type->Add(name);
        W(r).type->SetItemIndex(FCreatedType);
    }
}

void TPeqBandTable::RePaint() {
    if (Width() == FLaidWidth && Height() == FLaidHeight)
        return;
    CreateWnd();
    const int titleBand = FTitleVisable ? 13 : 0;
    FLaidWidth = Width();
    FLaidHeight = Height();
    const int rows = std::clamp(FChannelNumber, 0, MaxRows);
    const int cw = (Width() - 68) / 5;
    const int rh = (Height() - FTopBottomSpace - titleBand - 16) / std::max(1, rows);
    // The normal colour is row 0's, unless row 0 is highlighted just now: its selection colour taken
    // as normal would leave every row that loses the highlight green.
    const TColor rowZero = W(0).freq->Font()->Color();
    FNormalColor = rowZero != SelectedTextColor ? rowZero : Font()->Color();
    for (TPkLabel* t : FTitles)
        t->SetVisible(FTitleVisable);
    PlaceRows(cw, rh, titleBand, 12);
    for (int r = 0; r < rows; ++r) {
        Row& row = W(r);
        row.number->SetCaption(std::to_string(r + 1));
        // Each row keeps its type: a relayout is no edit, and the unit's filter type must not change.
        RefillTypeList(row);
        row.bypass->SetCaption(FBypassCaption);
        // Rows added since the last layout are shown again.
        for (TControl* c :
             std::initializer_list<TControl*>{row.number, row.freq, row.q, row.gain, row.type, row.bypass})
            c->SetVisible(true);
    }
    // Rows not made yet are hidden as they are made.
    for (int r = rows; r < FMadeRows; ++r)
        HideRow(R(r));
    FRelaidOut = true;
}

void TPeqBandTable::WndProcPaint() {
    TPkGroupBox::WndProcPaint();
    CreateWnd();
    RePaint();
}

// ---- values ---------------------------------------------------------------------------------------

double TPeqBandTable::GetFreqValue(int i) const {
    return ValidRow(i) ? peq::OffsetToFreq(R(i).freqOffset) : 0.0;
}

double TPeqBandTable::GetQValue(int i) const {
    return ValidRow(i) ? peq::Q_TABLE[static_cast<size_t>(std::clamp(R(i).qIndex, 0, 100))] : 0.0;
}

double TPeqBandTable::GetGainValue(int i) const {
    return ValidRow(i) ? R(i).gainStep * 0.1 : 0.0;
}

int TPeqBandTable::GetTypeValue(int i) {
    if (!ValidRow(i))
        return -1;
    CreateWnd();
    return W(i).type->ItemIndex();
}

bool TPeqBandTable::GetBypassValue(int i) const {
    return ValidRow(i) && R(i).bypassFlag != 0;
}

void TPeqBandTable::SetFreqValue(int i, double hz) {
    if (!ValidRow(i))
        return;
    R(i).freqOffset = peq::FreqOffsetByValue(hz);
    FCurrentFreq = peq::OffsetToFreq(R(i).freqOffset);
    W(i).freq->SetText(peq::FreqText(FCurrentFreq));
    Change();
}

void TPeqBandTable::SetQValue(int i, double index) {
    if (!ValidRow(i))
        return;
    R(i).qIndex = peq::TruncatedSteps(index, 1.0);
    W(i).q->SetText(peq::QText(GetQValue(i)));
    Change();
}

void TPeqBandTable::SetGainValue(int i, double dB) {
    if (!ValidRow(i))
        return;
    R(i).gainStep = peq::TruncatedSteps(dB, 10.0);
    W(i).gain->SetText(peq::GainText(dB));
    Change();
}

void TPeqBandTable::SetTypeValue(int i, int type) {
    if (!ValidRow(i))
        return;
    CreateWnd();
    W(i).type->SetItemIndex(type);
    Change();
}

void TPeqBandTable::SetBypassValue(int i, bool on) {
    if (!ValidRow(i))
        return;
    R(i).bypassFlag = on ? 1 : 0;
    Change();
}

void TPeqBandTable::SetEqParamValue(int i, double hz, double qIndex, double dB, int type, bool bypass) {
    if (!ValidRow(i))
        return;
    Row& row = W(i);
    row.freqOffset = peq::FreqOffsetByValue(hz);
    FCurrentFreq = peq::OffsetToFreq(row.freqOffset);
    row.freq->SetText(peq::FreqText(FCurrentFreq));
    row.gainStep = peq::GainStepByValue(dB);
    row.gain->SetText(peq::GainText(dB));
    CreateWnd();
    row.type->SetItemIndex(type);
    row.bypassFlag = bypass ? 1 : 0;
    row.qIndex = peq::TruncatedSteps(qIndex, 1.0);
    row.q->SetText(peq::QText(GetQValue(i)));
    Change();
}

void TPeqBandTable::SetNowIndex(int r) {
    if (r == -1) {
        SetColor(FCurrentRow, FNormalColor);
    } else if (r != FCurrentRow) {
        SetColor(FCurrentRow, FNormalColor);
        FCurrentRow = r;
        SetColor(r, SelectedTextColor);
    } else if (FPreviousRow != FCurrentRow) {
        SetColor(FPreviousRow, FNormalColor);
        FPreviousRow = FCurrentRow;
        SetColor(r, SelectedTextColor);
    }
}

void TPeqBandTable::SetColor(int i, TColor c) {
    if (i < 0 || i >= std::min(FChannelNumber, MaxRows))
        return;
    for (TEdit* e : {W(i).gain, W(i).q, W(i).freq})
        e->Font()->SetColor(c);
}

void TPeqBandTable::SetEqTypeString(const std::string& text, int i) {
    if (i >= 0 && i < static_cast<int>(FTypeNames.size()))
        FTypeNames[static_cast<size_t>(i)] = text;
}

void TPeqBandTable::SetBypassString(const std::string& text) {
    FBypassCaption = text;
}

void TPeqBandTable::ChangeLanguage() {
    CreateWnd();
    const int rows = std::clamp(FChannelNumber, 0, MaxRows);
    for (int r = 0; r < rows; ++r) {
        RefillTypeList(W(r));
        W(r).bypass->SetCaption(FBypassCaption);
    }
}

// ---- properties -----------------------------------------------------------------------------------

void TPeqBandTable::SetUpdownVisable(bool v) {
    if (v == FUpdownVisable)
        return;
    FUpdownVisable = v;
    Invalidate();
}

void TPeqBandTable::SetTitleVisable(bool v) {
    if (v == FTitleVisable)
        return;
    for (TPkLabel* t : FTitles)
        t->SetVisible(v);
    FTitleVisable = v;
    Invalidate();
}

void TPeqBandTable::SetChannelNumber(int v) {
    if (v == FChannelNumber)
        return;
    FChannelNumber = std::min(v, MaxRows);
    Change();
}

void TPeqBandTable::SetLabelColor(TColor v) {
    if (v == FLabelColor)
        return;
    for (TPkLabel* t : FTitles)
        t->Font()->SetColor(v);
    FLabelColor = v;
    Invalidate();
}

void TPeqBandTable::SetEditBackColor(TColor v) {
    if (v == FEditBackColor)
        return;
    const int rows = std::clamp(FChannelNumber, 0, MaxRows);
    for (int r = 0; r < rows; ++r) {
        for (TEdit* e : {W(r).freq, W(r).q, W(r).gain})
            e->SetColor(v);
        W(r).type->SetColor(v);
    }
    FEditBackColor = v;
    Invalidate();
}

void TPeqBandTable::SetBypassBackColor(TColor v) {
    if (v == FBypassBackColor)
        return;
    const int rows = std::clamp(FChannelNumber, 0, MaxRows);
    for (int r = 0; r < rows; ++r)
        W(r).bypass->SetColor(v);
    FBypassBackColor = v;
    Invalidate();
}

// ---- user actions ---------------------------------------------------------------------------------

void TPeqBandTable::ColourBypassButton(Row& row) {
    row.bypass->SetColor(row.bypassFlag ? BypassedColor : FBypassBackColor);
}

void TPeqBandTable::Change() {
    if (!OnChange)
        return;
    const int rows = std::clamp(FChannelNumber, 0, MaxRows);
    for (int r = 0; r < rows; ++r)
        ColourBypassButton(W(r));
    OnChange(this);
}

void TPeqBandTable::ActOnRow(int row) {
    FPreviousRow = FCurrentRow;
    FCurrentRow = row;
    Change();
}

void TPeqBandTable::FreqEntered(TObject* sender) {
    const int i = RowOf(sender);
    if (!ValidRow(i))
        return;
    Row& row = R(i);
    if (auto index = peq::TypedFreqIndex(row.freq->Text(), true))
        row.freqOffset = *index - 170;
    // Valid or not, the edit shows the row's value; setting the text leaves the caret at its end.
    row.freq->SetText(peq::FreqText(peq::OffsetToFreq(row.freqOffset)));
    ActOnRow(i);
}

void TPeqBandTable::QEntered(TObject* sender) {
    const int i = RowOf(sender);
    if (!ValidRow(i))
        return;
    Row& row = R(i);
    if (auto index = peq::TypedQIndex(row.q->Text()))
        row.qIndex = *index;
    row.q->SetText(peq::QText(GetQValue(i)));
    ActOnRow(i);
}

void TPeqBandTable::GainEntered(TObject* sender) {
    const int i = RowOf(sender);
    if (!ValidRow(i))
        return;
    Row& row = R(i);
    if (auto step = peq::TypedGainStep(row.gain->Text()))
        row.gainStep = *step;
    row.gain->SetText(peq::GainText(row.gainStep / 10.0));
    ActOnRow(i);
}

void TPeqBandTable::EditKeyDown(TObject* sender, std::uint16_t& key,
                                void (TPeqBandTable::*entered)(TObject*)) {
    // Enter confirms the entry and is left to the edit.
    if (key == 13)
        (this->*entered)(sender);
}

void TPeqBandTable::EditMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
    FPreviousRow = FCurrentRow;
    FCurrentRow = RowOf(sender);
    if (OnEditMouseDown)
        OnEditMouseDown(this, button, shift, x, y);
}

void TPeqBandTable::ByPassClick(TObject* sender) {
    const int i = RowOf(sender);
    if (!ValidRow(i))
        return;
    FPreviousRow = FCurrentRow;
    FCurrentRow = i;
    Row& row = R(i);
    row.bypassFlag = row.bypassFlag ? 0 : 1;
    ColourBypassButton(row);
    Change();
}

void TPeqBandTable::PeqTypeChange(TObject* sender) {
    const int i = RowOf(sender);
    if (ValidRow(i))
        ActOnRow(i);
}

void TPeqBandTable::PeqTypeMouseWheel(TObject* sender, TShiftState shift, int delta, TPoint pos,
                                      bool& handled) {
    if (OnPeqTypeMouseWheel)
        OnPeqTypeMouseWheel(sender, shift, delta, pos, handled);
}

} // namespace kv
