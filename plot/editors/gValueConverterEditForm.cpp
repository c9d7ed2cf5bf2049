#include "plot/editors/gValueConverterEditForm.h"

#include "plot/gPlotTimeChannel.h"

#include "platform/core/Numbers.h"
#include "platform/gui/DateTimePicker.h"
#include "platform/gui/PageControl.h"
#include "platform/gui/StdPanels.h"

#include <climits>
#include <cmath>

namespace kv {

KV_REGISTER_CLASS(TgValueConverterEditForm, TgCustomEditorForm, b) {
    (void)b;
}

namespace {

constexpr double kVcDayMs = 86400000.0;
// Beyond this the whole days are no interval or date anyone means; only the time of day is shown.
constexpr double kVcLargest = 1e14;

template <class T>
T* VcMake(TComponent* owner, TWinControl* parent, const char* name, int l, int t, int w, int h) {
    auto* c = new T(owner);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    return c;
}

TLabel* VcLabel(TComponent* owner, TWinControl* parent, const char* name, const char* caption, int l, int t) {
    auto* label = new TLabel(owner);
    label->SetName(name);
    label->SetParent(parent);
    label->SetLeft(l);
    label->SetTop(t);
    label->SetCaption(caption);
    return label;
}

TgUpDown* VcUpDown(TComponent* owner, TWinControl* parent, const char* name, TgComponentEditorEdit* edit,
                   std::int16_t min, std::int16_t max, int increment = 1) {
    auto* upDown = new TgUpDown(owner);
    upDown->SetName(name);
    upDown->SetParent(parent);
    upDown->SetMin(min);
    upDown->SetMax(max);
    upDown->SetIncrement(increment);
    upDown->SetAssociate(edit);
    return upDown;
}

// A whole number in one of the 32-bit fields: shown when it fits; otherwise its full text is shown
// greyed, and neither typing nor the spinner can turn it into some other number.
void VcShowWhole(TgComponentEditorEdit* edit, TgUpDown* upDown, double whole) {
    if (whole >= INT_MIN && whole <= INT_MAX) {
        edit->SetAsInteger(static_cast<int>(whole));
        if (!edit->Enabled()) {
            edit->Enable();
            upDown->SetEnabled(true);
        }
        return;
    }
    edit->SetAsString(FloatToStrF(whole, TFloatFormat::ffGeneral, 15, 0));
    edit->DisableNoClear();
    upDown->SetEnabled(false);
}

// The fraction of a day of a time of day; parts out of range fail as the date-time library does.
double VcTime(int h, int m, int s, int ms) {
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59 || ms < 0 || ms > 999)
        throw EConvertError("Invalid argument to time encode");
    return (h * 3600000.0 + m * 60000.0 + s * 1000.0 + ms) / kVcDayMs;
}

// Days and a time of day as one day count. The time goes with the sign of the days, and with 0 days
// with the sign of the value shown before, so that -1.25 (-1 day, 6 hours) and -0.25 (0 days,
// 6 hours) come back unchanged.
double VcCompose(double days, double time, double previous) {
    const bool negative = days < 0 || (days == 0 && previous < 0);
    return negative ? days - time : days + time;
}

} // namespace

TgValueConverterEditForm::TgValueConverterEditForm(TComponent* owner) : TgCustomEditorForm(owner) {
    SetName("gValueConverterEditForm");
    SetCaption("Value Converter");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(263);
    SetClientHeight(239);

    Panel2 = VcMake<TPanel>(this, this, "Panel2", 0, 200, 263, 39);
    Panel2->SetAlign(TAlign::alBottom);
    Panel2->SetBevelOuter(TBevelCut::bvNone);
    OkButton = VcMake<TgComponentEditorButton>(this, Panel2, "OkButton", 98, 7, 75, 25);
    OkButton->SetCaption("OK");
    OkButton->SetModalResult(mrOk);
    OkButton->SetTabOrder(0);
    CancelButton = VcMake<TgComponentEditorButton>(this, Panel2, "CancelButton", 180, 7, 75, 25);
    CancelButton->SetCaption("Cancel");
    CancelButton->SetModalResult(mrCancel);
    CancelButton->SetTabOrder(1);

    PageControl = VcMake<TgComponentEditorPageControl>(this, this, "PageControl", 4, 4, 255, 163);
    PageControl->SetTabOrder(0);
    auto page = [&](const char* name, const char* caption) {
        auto* sheet = new TTabSheet(this);
        sheet->SetName(name);
        sheet->SetPageControl(PageControl);
        sheet->SetCaption(caption);
        return sheet;
    };
    IntervalTabSheet = page("IntervalTabSheet", "Interval");
    DateTimeTabSheet = page("DateTimeTabSheet", "Date/Time");
    Price32TabSheet = page("Price32TabSheet", "Price 32nds");

    // Interval: weeks, days and hours on the left, minutes, seconds and milliseconds on the right.
    auto field = [&](TLabel*& label, const char* labelName, const char* caption, TgComponentEditorEdit*& edit,
                     const char* editName, TWinControl* sheet, int x, int y, int labelWidth, int order) {
        label = VcLabel(this, sheet, labelName, caption, x, y + 3);
        edit = VcMake<TgComponentEditorEdit>(this, sheet, editName, x + labelWidth, y, 52, 21);
        edit->SetTabOrder(order);
    };
    field(WeeksLabel, "WeeksLabel", "Weeks", WeeksEdit, "WeeksEdit", IntervalTabSheet, 6, 8, 42, 0);
    field(DaysLabel, "DaysLabel", "Days", DaysEdit, "DaysEdit", IntervalTabSheet, 6, 38, 42, 1);
    field(HoursLabel, "HoursLabel", "Hours", HoursEdit, "HoursEdit", IntervalTabSheet, 6, 68, 42, 2);
    field(MinutesLabel, "MinutesLabel", "Minutes", MinutesEdit, "MinutesEdit", IntervalTabSheet, 126, 8, 50,
          3);
    field(SecondsLabel, "SecondsLabel", "Seconds", SecondsEdit, "SecondsEdit", IntervalTabSheet, 126, 38, 50,
          4);
    field(MilliSecondsLabel, "MilliSecondsLabel", "mSec", MilliSecondsEdit, "MilliSecondsEdit",
          IntervalTabSheet, 126, 68, 50, 5);
    gUpDown4 = VcUpDown(this, IntervalTabSheet, "gUpDown4", WeeksEdit, 0, 0);
    DaysUpDown = VcUpDown(this, IntervalTabSheet, "DaysUpDown", DaysEdit, 0, 0);
    HoursUpDown = VcUpDown(this, IntervalTabSheet, "HoursUpDown", HoursEdit, 0, 23);
    MinutesUpDown = VcUpDown(this, IntervalTabSheet, "MinutesUpDown", MinutesEdit, 0, 59);
    SecondsUpDown = VcUpDown(this, IntervalTabSheet, "SecondsUpDown", SecondsEdit, 0, 59);
    MilliSecondsUpDown =
        VcUpDown(this, IntervalTabSheet, "MilliSecondsUpDown", MilliSecondsEdit, 0, 999, 100);
    gComponentEditorButton1 =
        VcMake<TgComponentEditorButton>(this, IntervalTabSheet, "gComponentEditorButton1", 6, 102, 99, 25);
    gComponentEditorButton1->SetCaption("Set All To 0");
    gComponentEditorButton1->SetTabOrder(6);

    // Date/Time: the pickers are made by FormCreate, right of their labels.
    DatePickerLabel = VcLabel(this, DateTimeTabSheet, "DatePickerLabel", "Date", 12, 17);
    TimePickerLabel = VcLabel(this, DateTimeTabSheet, "TimePickerLabel", "Time", 12, 49);
    SetNowButton = VcMake<TgComponentEditorButton>(this, DateTimeTabSheet, "SetNowButton", 12, 80, 75, 25);
    SetNowButton->SetCaption("Now");
    SetNowButton->SetTabOrder(2);

    field(PriceIntegerLabel, "PriceIntegerLabel", "Integer", PriceIntegerEdit, "PriceIntegerEdit",
          Price32TabSheet, 6, 8, 50, 0);
    field(Price32ndsLabel, "Price32ndsLabel", "32nds", Price32ndsEdit, "Price32ndsEdit", Price32TabSheet, 6,
          38, 50, 1);
    field(Price256thsLabel, "Price256thsLabel", "256ths", Price256thsEdit, "Price256thsEdit", Price32TabSheet,
          6, 68, 50, 2);
    gUpDown3 = VcUpDown(this, Price32TabSheet, "gUpDown3", PriceIntegerEdit, 0, 10000);
    gUpDown1 = VcUpDown(this, Price32TabSheet, "gUpDown1", Price32ndsEdit, 0, 31);
    gUpDown2 = VcUpDown(this, Price32TabSheet, "gUpDown2", Price256thsEdit, 0, 7);

    ValueEdit = VcMake<TgComponentEditorEdit>(this, this, "ValueEdit", 4, 173, 255, 21);
    ValueEdit->SetTabOrder(1);

    PageControl->SetActivePage(DateTimeTabSheet);

    for (TgComponentEditorEdit* e : {HoursEdit, MinutesEdit, SecondsEdit, MilliSecondsEdit, DaysEdit})
        e->OnUpdate = [this](TObject* s) { TimeChange(s); };
    WeeksEdit->OnUpdate = [this](TObject* s) { WeeksChange(s); };
    for (TgComponentEditorEdit* e : {PriceIntegerEdit, Price32ndsEdit, Price256thsEdit})
        e->OnUpdate = [this](TObject* s) { Price32Change(s); };
    SetNowButton->OnClick = [this](TObject* s) { SetNowButtonClick(s); };
    gComponentEditorButton1->OnClick = [this](TObject* s) { gComponentEditorButton1Click(s); };
    OnCreate = [this](TObject* s) { FormCreate(s); };
}

void TgValueConverterEditForm::FormCreate(TObject*) {
    if (FDatePicker)
        return;
    auto picker = [&](const char* name, TLabel* label, TDateTimeKind kind, int order) {
        auto* p = new TDateTimePicker(this);
        p->SetName(name);
        p->SetParent(DateTimeTabSheet);
        p->SetKind(kind);
        p->SetBounds(label->Left() + label->Width() + 5, label->Top() - 3, 137, 21);
        p->SetTabOrder(order);
        p->OnChange = [this](TObject* s) { DateTimePickerChange(s); };
        return p;
    };
    FDatePicker = picker("DatePicker", DatePickerLabel, TDateTimeKind::dtkDate, 0);
    FTimePicker = picker("TimePicker", TimePickerLabel, TDateTimeKind::dtkTime, 1);
}

void TgValueConverterEditForm::ShowPage(TgValueConverterPageType page) {
    switch (page) {
    case TgValueConverterPageType::ivcptInterval:
        PageControl->SetActivePage(IntervalTabSheet);
        break;
    case TgValueConverterPageType::ivcptDateTime:
        PageControl->SetActivePage(DateTimeTabSheet);
        break;
    case TgValueConverterPageType::ivcptPrice32nd:
        PageControl->SetActivePage(Price32TabSheet);
        break;
    }
}

double TgValueConverterEditForm::Value() const {
    return ValueEdit->AsFloat();
}

void TgValueConverterEditForm::SetValue(double x) {
    if (!std::isfinite(x))
        x = 0;
    const double d = std::fabs(x) <= kVcLargest ? x : x - std::trunc(x);
    ValueEdit->SetAsFloat(x);

    // Whole days and the time of day in milliseconds; a time that rounds to a whole day is a day more
    // (not midnight of the same day, which would lose the day on the way back).
    const double magnitude = std::fabs(d);
    double whole = std::trunc(magnitude);
    double t = std::round((magnitude - whole) * kVcDayMs);
    if (t >= kVcDayMs) {
        whole += 1;
        t = 0;
    }
    const bool negative = d < 0;
    const double days = negative ? -whole : whole;
    const double time = t / kVcDayMs;

    if (FDatePicker)
        FDatePicker->SetDateTime(days);
    if (FTimePicker)
        FTimePicker->SetDateTime(negative ? -time : time);

    VcShowWhole(DaysEdit, DaysUpDown, days);
    VcShowWhole(WeeksEdit, gUpDown4, std::trunc(days / 7));
    const long long ms = static_cast<long long>(t);
    HoursEdit->SetAsInteger(static_cast<int>(ms / 3600000));
    MinutesEdit->SetAsInteger(static_cast<int>(ms / 60000 % 60));
    SecondsEdit->SetAsInteger(static_cast<int>(ms / 1000 % 60));
    MilliSecondsEdit->SetAsInteger(static_cast<int>(ms % 1000));

    const double integer = std::trunc(x);
    const double fraction = x - integer;
    VcShowWhole(PriceIntegerEdit, gUpDown3, integer);
    Price32ndsEdit->SetAsInteger(static_cast<int>(std::trunc(fraction / 0.03125)));
    const int shown32 = Price32ndsEdit->AsInteger();
    Price256thsEdit->SetAsInteger(static_cast<int>(std::trunc((fraction - shown32 / 32.0) / 0.00390625)));
}

void TgValueConverterEditForm::TimeChange(TObject*) {
    const double time = VcTime(HoursEdit->AsInteger(), MinutesEdit->AsInteger(), SecondsEdit->AsInteger(),
                               MilliSecondsEdit->AsInteger());
    const double previous = Value();
    // A greyed days field holds more days than it can edit: the value's own days stand.
    const double days = DaysEdit->Enabled() ? DaysEdit->AsInteger() : std::trunc(previous);
    ValueEdit->SetAsFloat(VcCompose(days, time, previous));
    SetValue(ValueEdit->AsFloat());
}

void TgValueConverterEditForm::WeeksChange(TObject*) {
    const double time = VcTime(HoursEdit->AsInteger(), MinutesEdit->AsInteger(), SecondsEdit->AsInteger(),
                               MilliSecondsEdit->AsInteger());
    const double days = 7.0 * WeeksEdit->AsInteger();
    ValueEdit->SetAsFloat(VcCompose(days, time, Value()));
    SetValue(ValueEdit->AsFloat());
}

void TgValueConverterEditForm::Price32Change(TObject*) {
    const double integer = PriceIntegerEdit->Enabled() ? PriceIntegerEdit->AsInteger() : std::trunc(Value());
    ValueEdit->SetAsFloat(integer + Price32ndsEdit->AsInteger() / 32.0 +
                          Price256thsEdit->AsInteger() / 256.0);
}

void TgValueConverterEditForm::DateTimePickerChange(TObject*) {
    if (!FDatePicker || !FTimePicker)
        return;
    const double days = std::trunc(FDatePicker->DateTime());
    const double t = FTimePicker->DateTime();
    ValueEdit->SetAsFloat(VcCompose(days, std::fabs(t - std::trunc(t)), Value()));
    SetValue(ValueEdit->AsFloat());
}

void TgValueConverterEditForm::SetNowButtonClick(TObject*) {
    ValueEdit->SetAsFloat(Clock ? Clock() : gPlotLocalNow());
    SetValue(ValueEdit->AsFloat());
}

void TgValueConverterEditForm::gComponentEditorButton1Click(TObject*) {
    ValueEdit->SetAsFloat(0);
    SetValue(ValueEdit->AsFloat());
}

} // namespace kv
