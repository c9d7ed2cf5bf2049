#include "platform/gui/DateTimePicker.h"

#include <gtest/gtest.h>

#include <QDateTimeEdit>

using namespace kv;

namespace {

std::string DtpShown(const TDateTimePicker& picker) {
    return static_cast<QDateTimeEdit*>(picker.Widget())->text().toStdString();
}

TEST(DateTimePicker, ShowsItsPartOfADayCountAndKeepsTheRest) {
    TDateTimePicker date(nullptr);
    TDateTimePicker time(nullptr);
    time.SetKind(TDateTimeKind::dtkTime);
    struct Case {
        double value;
        const char *date, *time;
    };
    const Case cases[] = {
        {0, "30.12.1899", "00:00:00"},        {1.5, "31.12.1899", "12:00:00"},
        {43831.75, "01.01.2020", "18:00:00"}, {-1.25, "29.12.1899", "06:00:00"},
        {-0.25, "30.12.1899", "06:00:00"},
    };
    for (const Case& c : cases) {
        date.SetDateTime(c.value);
        time.SetDateTime(c.value);
        EXPECT_EQ(DtpShown(date), c.date) << c.value;
        EXPECT_EQ(DtpShown(time), c.time) << c.value;
        EXPECT_EQ(date.DateTime(), c.value);
    }
}

TEST(DateTimePicker, OnlyTheUsersChangesRaiseOnChange) {
    TDateTimePicker date(nullptr);
    int changes = 0;
    date.OnChange = [&](TObject*) { ++changes; };
    date.SetDateTime(1.5);
    EXPECT_EQ(changes, 0);
    date.UserSetDate(2020, 1, 1);
    EXPECT_EQ(changes, 1);
    EXPECT_DOUBLE_EQ(date.DateTime(), 43831.5) << "the time of day is kept";
    date.UserSetDate(2020, 1, 1);
    EXPECT_EQ(changes, 1) << "no change, no event";
    date.UserSetDate(1899, 12, 29);
    EXPECT_DOUBLE_EQ(date.DateTime(), -1.5);

    // Typing into the box is a user's change too.
    auto* box = static_cast<QDateTimeEdit*>(date.Widget());
    box->setDate(QDate(1900, 1, 1));
    EXPECT_EQ(changes, 3);
    EXPECT_DOUBLE_EQ(date.DateTime(), 2.5);

    TDateTimePicker time(nullptr);
    time.SetKind(TDateTimeKind::dtkTime);
    time.SetDateTime(-1.25);
    time.OnChange = [&](TObject*) { ++changes; };
    time.UserSetTime(7, 30, 0);
    EXPECT_DOUBLE_EQ(time.DateTime(), -1 - 7.5 / 24) << "the date and its sign are kept";
}

} // namespace
