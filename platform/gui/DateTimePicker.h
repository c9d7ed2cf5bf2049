#pragma once
// A date or time picker over a day count: whole days since 30 December 1899, the fraction the time of
// day. A date picker shows and edits the date of its value, a time picker its time of day; what the
// picker does not show is kept. Values set from code raise no events; OnChange fires for the user's
// changes only.

#include "platform/gui/Controls.h"

namespace kv {

enum class TDateTimeKind { dtkDate, dtkTime };
std::vector<std::string> EnumIdents(TDateTimeKind);

class TDateTimePicker : public TWinControl {
    KV_CLASS(TDateTimePicker)
public:
    explicit TDateTimePicker(TComponent* owner);
    TDateTimeKind Kind() const { return FKind; }
    void SetKind(TDateTimeKind v);
    // A negative day count holds its time of day subtracted (-1.25: 29 December 1899 06:00).
    double DateTime() const { return FDateTime; }
    void SetDateTime(double v);
    // The user's edit of the shown part (tests and keyboard code use them): the date keeps the time of
    // day and the time keeps the date; OnChange follows when the value changed.
    void UserSetDate(int year, int month, int day);
    void UserSetTime(int hour, int minute, int second, int millisecond = 0);
    TNotifyEvent OnChange;

private:
    void ShowValue();
    void UserChanged(double value);
    TDateTimeKind FKind = TDateTimeKind::dtkDate;
    double FDateTime = 0;
    bool FSyncing = false;
};

} // namespace kv
