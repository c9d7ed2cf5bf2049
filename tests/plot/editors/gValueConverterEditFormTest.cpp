#include "plot/editors/gValueConverterEditForm.h"

#include "plot/gClasses.h"
#include "plot/gPlotTimeChannel.h"

#include "platform/core/Classes.h"
#include "platform/gui/DateTimePicker.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <QDateTimeEdit>
#include <QImage>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

using namespace kv;

namespace {

class gValueConverter : public ::testing::Test {
protected:
    void SetUp() override {
        TScheduler::SetDefault(&clock);
        form = std::make_unique<TgValueConverterEditForm>(nullptr);
        form->InitializeForm();
    }
    void TearDown() override {
        form.reset();
        TScheduler::SetDefault(nullptr);
    }
    // What the interval, date/time and price pages show, in one line.
    std::string Shown() const {
        const auto& f = *form;
        std::string s = f.WeeksEdit->Text() + "w " + f.DaysEdit->Text() + "d " + f.HoursEdit->Text() + ":" +
                        f.MinutesEdit->Text() + ":" + f.SecondsEdit->Text() + "." +
                        f.MilliSecondsEdit->Text();
        s += " | " + static_cast<QDateTimeEdit*>(f.DatePicker()->Widget())->text().toStdString() + " " +
             static_cast<QDateTimeEdit*>(f.TimePicker()->Widget())->text().toStdString();
        s += " | " + f.PriceIntegerEdit->Text() + " " + f.Price32ndsEdit->Text() + "/32 " +
             f.Price256thsEdit->Text() + "/256";
        return s;
    }
    TVirtualClock clock;
    std::unique_ptr<TgValueConverterEditForm> form;
};

TEST_F(gValueConverter, ShowsAValueOnEveryPage) {
    struct Case {
        double value;
        const char* shown;
    };
    const Case cases[] = {
        {1.5, "0w 1d 12:0:0.0 | 31.12.1899 12:00:00 | 1 16/32 0/256"},
        {0, "0w 0d 0:0:0.0 | 30.12.1899 00:00:00 | 0 0/32 0/256"},
        {100.109375, "14w 100d 2:37:30.0 | 09.04.1900 02:37:30 | 100 3/32 4/256"},
        // The time of day from the absolute fraction; the 32nds carry the sign.
        {-1.25, "0w -1d 6:0:0.0 | 29.12.1899 06:00:00 | -1 -8/32 0/256"},
        {-10.5, "-1w -10d 12:0:0.0 | 20.12.1899 12:00:00 | -10 -16/32 0/256"},
        // Above 1e14 only the time of day is shown; the price integer does not fit 32 bits: greyed.
        {1e15 + 0.25, "0w 0d 6:0:0.0 | 30.12.1899 06:00:00 | 1E+15 8/32 0/256"},
        // A time that rounds to midnight is the next day.
        {0.9999999999, "0w 1d 0:0:0.0 | 31.12.1899 00:00:00 | 0 31/32 7/256"},
    };
    for (const Case& c : cases) {
        form->SetValue(c.value);
        EXPECT_EQ(Shown(), c.shown) << c.value;
        EXPECT_EQ(form->Value(), c.value) << "the value edit keeps the value exactly";
    }
    form->SetValue(1e15 + 0.25);
    EXPECT_FALSE(form->PriceIntegerEdit->Enabled());
    EXPECT_FALSE(form->gUpDown3->Enabled());
    form->SetValue(2);
    EXPECT_TRUE(form->PriceIntegerEdit->Enabled());
    EXPECT_TRUE(form->gUpDown3->Enabled());
}

TEST_F(gValueConverter, TouchingAFieldWithoutAChangeKeepsTheValue) {
    for (double v : {1.5, -1.25, -0.25, -10.5, 0.75, 100.109375, 45000.123456, -45000.5}) {
        form->SetValue(v);
        form->TimeChange(nullptr);
        EXPECT_NEAR(form->Value(), v, 0.5 / 86400000) << "time change of " << v;
        form->DateTimePickerChange(nullptr);
        EXPECT_NEAR(form->Value(), v, 0.5 / 86400000) << "date/time change of " << v;
        form->Price32Change(nullptr);
        EXPECT_NEAR(form->Value(), v, 1.0 / 256) << "price change of " << v;
    }
    // -1.25 keeps -1 day and 6 hours through an edit of the hours.
    form->SetValue(-1.25);
    form->HoursEdit->SetIntegerWithEvent(7);
    EXPECT_DOUBLE_EQ(form->Value(), -1 - 7.0 / 24);
    EXPECT_EQ(form->DaysEdit->Text(), "-1");
    EXPECT_EQ(form->HoursEdit->Text(), "7");
}

TEST_F(gValueConverter, IntervalFieldsComposeTheValue) {
    form->SetValue(0);
    form->HoursEdit->SetIntegerWithEvent(6);
    EXPECT_DOUBLE_EQ(form->Value(), 0.25);
    form->WeeksEdit->SetIntegerWithEvent(10);
    EXPECT_DOUBLE_EQ(form->Value(), 70.25);
    EXPECT_EQ(form->DaysEdit->Text(), "70");
    form->DaysEdit->SetIntegerWithEvent(3);
    EXPECT_DOUBLE_EQ(form->Value(), 3.25);
    EXPECT_EQ(form->WeeksEdit->Text(), "0");
    form->MilliSecondsEdit->SetIntegerWithEvent(500);
    EXPECT_DOUBLE_EQ(form->Value(), 3.25 + 500 / 86400000.0);

    form->gComponentEditorButton1->Click();
    EXPECT_EQ(form->Value(), 0);
    EXPECT_EQ(form->HoursEdit->Text(), "0");
    EXPECT_EQ(form->MilliSecondsEdit->Text(), "0");
}

TEST_F(gValueConverter, ATimePartOutOfRangeFailsAndChangesNothing) {
    form->SetValue(1.5);
    for (const char* bad : {"24", "-1"}) {
        form->HoursEdit->SetAsString(bad);
        EXPECT_THROW(form->TimeChange(nullptr), EConvertError) << bad;
        EXPECT_EQ(form->Value(), 1.5);
        EXPECT_EQ(form->DaysEdit->Text(), "1");
    }
    form->SetValue(1.5);
    form->MinutesEdit->SetAsString("60");
    EXPECT_THROW(form->WeeksChange(nullptr), EConvertError);
    EXPECT_EQ(form->Value(), 1.5);
}

TEST_F(gValueConverter, DaysThatDoNotFit32BitsAreShownGreyedAndKept) {
    const double big = 3e9 + 0.25;
    form->SetValue(big);
    EXPECT_EQ(form->DaysEdit->Text(), "3000000000");
    EXPECT_FALSE(form->DaysEdit->Enabled());
    EXPECT_FALSE(form->DaysUpDown->Enabled());
    EXPECT_EQ(form->WeeksEdit->Text(), "428571428");
    EXPECT_TRUE(form->WeeksEdit->Enabled());
    // The hours still edit the value; its days stay.
    form->HoursEdit->SetIntegerWithEvent(12);
    EXPECT_DOUBLE_EQ(form->Value(), 3e9 + 0.5);
    form->SetValue(-big);
    EXPECT_EQ(form->DaysEdit->Text(), "-3000000000");
    form->TimeChange(nullptr);
    EXPECT_DOUBLE_EQ(form->Value(), -big);
    // Weeks whose days do not fit: the days field greys, and the value is exact.
    form->SetValue(0);
    form->WeeksEdit->SetIntegerWithEvent(2000000000);
    EXPECT_DOUBLE_EQ(form->Value(), 14e9);
    EXPECT_EQ(form->DaysEdit->Text(), "14000000000");
    EXPECT_FALSE(form->DaysEdit->Enabled());
    // Back in range, the field is editable again.
    form->SetValue(5);
    EXPECT_TRUE(form->DaysEdit->Enabled());
    EXPECT_TRUE(form->DaysUpDown->Enabled());
    EXPECT_EQ(form->DaysEdit->Text(), "5");
    // A big price integer stays the value's own.
    form->SetValue(5e12 + 0.5);
    form->Price32ndsEdit->SetIntegerWithEvent(8);
    EXPECT_DOUBLE_EQ(form->Value(), 5e12 + 0.25);
}

TEST_F(gValueConverter, PriceFieldsComposeTheValueWithoutRefreshingTheOtherPages) {
    form->SetValue(0);
    form->PriceIntegerEdit->SetIntegerWithEvent(100);
    form->Price32ndsEdit->SetIntegerWithEvent(3);
    form->Price256thsEdit->SetIntegerWithEvent(4);
    EXPECT_DOUBLE_EQ(form->Value(), 100.109375);
    EXPECT_EQ(form->DaysEdit->Text(), "0");
}

TEST_F(gValueConverter, SpinnersStepWithinTheirRanges) {
    struct Case {
        TgUpDown* upDown;
        int start;
        bool up;
        int expected;
    };
    const Case cases[] = {
        {form->MilliSecondsUpDown, 950, true, 999},
        {form->MilliSecondsUpDown, 50, false, 0},
        {form->HoursUpDown, 23, true, 23},
        {form->HoursUpDown, 0, false, 0},
        {form->DaysUpDown, 0, false, -1},
        {form->gUpDown4, 0, false, -1},
        {form->gUpDown1, 31, true, 31},
        {form->gUpDown2, 7, true, 7},
    };
    for (const Case& c : cases) {
        form->SetValue(0);
        c.upDown->Associate()->SetAsInteger(c.start);
        const int y = c.up ? 3 : c.upDown->Height() - 3;
        c.upDown->MouseDown(TMouseButton::mbLeft, {}, 5, y);
        c.upDown->MouseUp(TMouseButton::mbLeft, {}, 5, y);
        EXPECT_EQ(c.upDown->Associate()->AsInteger(), c.expected) << c.upDown->Name() << " from " << c.start;
    }
    // A step on the hours spinner writes the value through TimeChange.
    form->SetValue(1);
    form->HoursUpDown->MouseDown(TMouseButton::mbLeft, {}, 5, 3);
    form->HoursUpDown->MouseUp(TMouseButton::mbLeft, {}, 5, 3);
    EXPECT_DOUBLE_EQ(form->Value(), 1 + 1.0 / 24);
}

TEST_F(gValueConverter, DateAndTimePickersComposeTheValue) {
    auto* date = form->DatePicker();
    auto* time = form->TimePicker();
    ASSERT_TRUE(date && time);
    EXPECT_EQ(date->Kind(), TDateTimeKind::dtkDate);
    EXPECT_EQ(time->Kind(), TDateTimeKind::dtkTime);
    EXPECT_EQ(date->Left(), form->DatePickerLabel->Left() + form->DatePickerLabel->Width() + 5);
    EXPECT_EQ(date->Top(), form->DatePickerLabel->Top() - 3);
    EXPECT_EQ(date->Width(), 137);
    EXPECT_EQ(time->Left(), form->TimePickerLabel->Left() + form->TimePickerLabel->Width() + 5);

    int changes = 0;
    form->SetValue(1.5);
    time->UserSetTime(18, 0, 0);
    EXPECT_DOUBLE_EQ(form->Value(), 1.75);
    date->UserSetDate(2020, 1, 1);
    EXPECT_DOUBLE_EQ(form->Value(), 43831.75);
    EXPECT_EQ(form->DaysEdit->Text(), "43831");
    // Before 30 December 1899 the time of day counts down from the day.
    date->UserSetDate(1899, 12, 29);
    EXPECT_DOUBLE_EQ(form->Value(), -1.75);
    EXPECT_EQ(form->HoursEdit->Text(), "18");
    // Code writes raise no picker events.
    date->OnChange = [&](TObject*) { ++changes; };
    form->SetValue(3);
    EXPECT_EQ(changes, 0);
}

TEST_F(gValueConverter, NowShowsTheCurrentLocalTime) {
    form->Clock = [] { return 45000.5; };
    form->SetNowButton->Click();
    EXPECT_DOUBLE_EQ(form->Value(), 45000.5);
    EXPECT_EQ(form->DaysEdit->Text(), "45000");
    form->Clock = nullptr;
    const double before = gPlotLocalNow();
    form->SetNowButton->Click();
    const double after = gPlotLocalNow();
    EXPECT_GE(form->Value(), before - 1e-8);
    EXPECT_LE(form->Value(), after + 1e-8);
}

// --------------------------------------------------------------------------------------------------
// The kit's picker that opens the window

struct VcPickerRun {
    VcPickerRun() {
        TgComponentEditorValueConverterPicker::ShowModalHook = [this](TgValueConverterEditForm& f) {
            seenValue = f.Value();
            seenPage = f.PageControl->ActivePage();
            pageOfForm = f.IntervalTabSheet;
            if (act)
                act(f);
            return result;
        };
    }
    ~VcPickerRun() { TgComponentEditorValueConverterPicker::ShowModalHook = nullptr; }
    double seenValue = -1;
    TTabSheet* seenPage = nullptr;
    TTabSheet* pageOfForm = nullptr;
    std::function<void(TgValueConverterEditForm&)> act;
    int result = mrOk;
};

class VcOwnerForm : public TgCustomEditorForm {
public:
    VcOwnerForm() : TgCustomEditorForm(nullptr) {}
    void UserChange() override { ++userChanges; }
    int userChanges = 0;
};

TEST(gValueConverterPicker, WithoutAnAssociateUpdatesOnlyItsDateTime) {
    VcOwnerForm owner;
    auto* picker = new TgComponentEditorValueConverterPicker(&owner);
    picker->SetParent(&owner);
    EXPECT_EQ(picker->Caption(), "...");
    EXPECT_EQ(picker->Width(), 21);
    picker->SetDateTime(1.5);
    int changes = 0, translated = 0;
    picker->OnChange = [&](TObject*) { ++changes; };
    picker->SetTranslationMethod([&](TCustomForm* f) {
        EXPECT_TRUE(dynamic_cast<TgValueConverterEditForm*>(f));
        ++translated;
    });
    VcPickerRun run;
    run.act = [](TgValueConverterEditForm& f) { f.HoursEdit->SetIntegerWithEvent(18); };
    run.result = mrCancel;
    picker->Click();
    EXPECT_EQ(run.seenValue, 1.5);
    EXPECT_EQ(run.seenPage, run.pageOfForm) << "the default page is the interval page";
    EXPECT_EQ(picker->DateTime(), 1.5) << "cancelled";
    EXPECT_EQ(changes, 0);

    run.result = mrOk;
    picker->Click();
    EXPECT_EQ(picker->DateTime(), 1.75);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(translated, 2);
    EXPECT_EQ(owner.userChanges, 0);
}

TEST(gValueConverterPicker, NowThenOkWritesTheAssociateWithEvents) {
    VcOwnerForm owner;
    auto* edit = new TgComponentEditorEdit(&owner);
    edit->SetParent(&owner);
    edit->SetAsFloat(2.5);
    auto* picker = new TgComponentEditorValueConverterPicker(&owner);
    picker->SetParent(&owner);
    picker->SetAssociate(edit);
    picker->SetDefaultPage(TgValueConverterPageType::ivcptDateTime);
    std::vector<std::string> order;
    edit->OnUpdate = [&](TObject*) { order.push_back("update"); };
    picker->OnChange = [&](TObject*) { order.push_back("change"); };
    VcPickerRun run;
    TTabSheet* dateTimePage = nullptr;
    double before = 0, after = 0;
    run.act = [&](TgValueConverterEditForm& f) {
        dateTimePage = f.DateTimeTabSheet;
        EXPECT_EQ(f.PageControl->ActivePage(), f.DateTimeTabSheet);
        before = gPlotLocalNow();
        f.SetNowButton->Click();
        after = gPlotLocalNow();
    };
    picker->Click();
    EXPECT_EQ(run.seenValue, 2.5) << "the window starts from the associate";
    EXPECT_GE(picker->DateTime(), before - 1e-8);
    EXPECT_LE(picker->DateTime(), after + 1e-8);
    EXPECT_EQ(edit->AsFloat(), picker->DateTime());
    EXPECT_EQ(order, (std::vector<std::string>{"update", "change"}));
    EXPECT_EQ(owner.userChanges, 2) << "the associate's write and its commit";

    delete edit;
    EXPECT_EQ(picker->Associate(), nullptr);
}

TEST(gValueConverterPicker, TheWindowIsFreedAlsoWhenTheRunThrows) {
    VcOwnerForm owner;
    auto* picker = new TgComponentEditorValueConverterPicker(&owner);
    picker->SetParent(&owner);
    TgComponentEditorValueConverterPicker::ShowModalHook = [](TgValueConverterEditForm&) -> int {
        throw EKvError("failed");
    };
    EXPECT_THROW(picker->Execute(), EKvError);
    TgComponentEditorValueConverterPicker::ShowModalHook = nullptr;
    EXPECT_EQ(picker->ComponentCount(), 0);
}

TEST_F(gValueConverter, RendersItsThreePages) {
    form->SetValue(43831.75);
    const char* dir = std::getenv("KV_SHOT_DIR");
    int page = 0;
    for (TTabSheet* sheet : {form->IntervalTabSheet, form->DateTimeTabSheet, form->Price32TabSheet}) {
        form->PageControl->SetActivePage(sheet);
        const QImage image = form->RenderToImage();
        EXPECT_EQ(image.width(), form->ClientWidth());
        EXPECT_EQ(image.height(), form->ClientHeight());
        if (dir)
            image.save(QString::fromStdString(std::string(dir) + "/value-converter-" + std::to_string(page) +
                                              ".png"));
        ++page;
    }
}

} // namespace
