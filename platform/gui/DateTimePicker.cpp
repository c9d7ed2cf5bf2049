#include "platform/gui/DateTimePicker.h"

#include "platform/gui/StdCtrlsSupport.h"
#include "platform/gui/WidgetBridge.h"

#include <QDateTimeEdit>

#include <cmath>

namespace kv {

std::vector<std::string> EnumIdents(TDateTimeKind) {
    return {"dtkDate", "dtkTime"};
}

KV_REGISTER_CLASS(TDateTimePicker, TWinControl, b) {
    b.Prop("Kind", &TDateTimePicker::Kind, &TDateTimePicker::SetKind).Default(TDateTimeKind::dtkDate);
    b.Prop("DateTime", &TDateTimePicker::DateTime, &TDateTimePicker::SetDateTime);
    FontProps(b);
    TabProps(b, true);
    b.Event("OnChange", &TDateTimePicker::OnChange);
}

namespace {

const QDate kDtpEpoch(1899, 12, 30);
constexpr double kDtpDayMs = 86400000.0;

// The day count's whole days and its time of day in milliseconds (0 .. 86399999).
void DtpSplit(double value, double& days, int& ms) {
    days = std::trunc(value);
    double t = std::round(std::fabs(value - days) * kDtpDayMs);
    if (t >= kDtpDayMs)
        t = kDtpDayMs - 1;
    ms = static_cast<int>(t);
}

double DtpCompose(double days, int ms, bool negative) {
    const double t = ms / kDtpDayMs;
    return negative ? days - t : days + t;
}

} // namespace

TDateTimePicker::TDateTimePicker(TComponent* owner) : TWinControl(owner, &NewBridge<QDateTimeEdit>) {
    auto* e = static_cast<QDateTimeEdit*>(FWidget);
    FColor = clWindow;
    SetTabStop(true);
    e->setCalendarPopup(false);
    e->setTimeSpec(Qt::LocalTime);
    e->setMinimumDate(QDate(100, 1, 1));
    e->setMaximumDate(QDate(9999, 12, 31));
    QObject::connect(e, &QDateTimeEdit::dateTimeChanged, e, [this](const QDateTime& dt) {
        if (FSyncing)
            return;
        Guarded([&] {
            double days = 0;
            int ms = 0;
            DtpSplit(FDateTime, days, ms);
            if (FKind == TDateTimeKind::dtkDate)
                days = static_cast<double>(kDtpEpoch.daysTo(dt.date()));
            else
                ms = dt.time().msecsSinceStartOfDay();
            UserChanged(DtpCompose(days, ms, days < 0 || (days == 0 && FDateTime < 0)));
        });
    });
    SetKind(TDateTimeKind::dtkDate);
    SetBounds(0, 0, 186, 21);
}

void TDateTimePicker::SetKind(TDateTimeKind v) {
    FKind = v;
    auto* e = static_cast<QDateTimeEdit*>(FWidget);
    FSyncing = true;
    e->setDisplayFormat(v == TDateTimeKind::dtkDate ? QStringLiteral("dd.MM.yyyy")
                                                    : QStringLiteral("HH:mm:ss"));
    FSyncing = false;
    ShowValue();
}

void TDateTimePicker::SetDateTime(double v) {
    if (!std::isfinite(v))
        v = 0;
    FDateTime = v;
    ShowValue();
}

void TDateTimePicker::ShowValue() {
    auto* e = static_cast<QDateTimeEdit*>(FWidget);
    double days = 0;
    int ms = 0;
    DtpSplit(FDateTime, days, ms);
    // Days beyond what the box can show leave the date shown at its limit; the value is kept.
    const double limit = 3.0e6;
    const QDate date = kDtpEpoch.addDays(static_cast<qint64>(std::fmax(-limit, std::fmin(limit, days))));
    FSyncing = true;
    e->setDateTime(QDateTime(date, QTime::fromMSecsSinceStartOfDay(ms)));
    FSyncing = false;
}

void TDateTimePicker::UserChanged(double value) {
    if (value == FDateTime)
        return;
    FDateTime = value;
    if (OnChange)
        OnChange(this);
}

void TDateTimePicker::UserSetDate(int year, int month, int day) {
    const QDate date(year, month, day);
    if (!date.isValid())
        return;
    double days = 0;
    int ms = 0;
    DtpSplit(FDateTime, days, ms);
    days = static_cast<double>(kDtpEpoch.daysTo(date));
    const double before = FDateTime;
    FDateTime = DtpCompose(days, ms, days < 0 || (days == 0 && before < 0));
    ShowValue();
    const double after = FDateTime;
    FDateTime = before;
    UserChanged(after);
}

void TDateTimePicker::UserSetTime(int hour, int minute, int second, int millisecond) {
    const QTime time(hour, minute, second, millisecond);
    if (!time.isValid())
        return;
    double days = 0;
    int ms = 0;
    DtpSplit(FDateTime, days, ms);
    const double before = FDateTime;
    FDateTime = DtpCompose(days, time.msecsSinceStartOfDay(), days < 0 || (days == 0 && before < 0));
    ShowValue();
    const double after = FDateTime;
    FDateTime = before;
    UserChanged(after);
}

} // namespace kv
