#pragma once
// A small modal window that shows one value in three other notations and converts between them: an
// interval (weeks, days, hours, minutes, seconds, milliseconds), a calendar date and time (a day
// count: whole days since 30 December 1899, the fraction the time of day), and a price in 32nds and
// 256ths of a unit.

#include "plot/editors/gComponentEditor.h"

namespace kv {

class TDateTimePicker;
class TLabel;
class TPanel;
class TTabSheet;

class TgValueConverterEditForm : public TgCustomEditorForm {
    KV_CLASS(TgValueConverterEditForm)
public:
    explicit TgValueConverterEditForm(TComponent* owner);

    // The value edit's number; setting it refreshes every page quietly.
    double Value() const;
    void SetValue(double value);
    void ShowPage(TgValueConverterPageType page);

    TPanel* Panel2 = nullptr;
    TgComponentEditorButton* OkButton = nullptr;
    TgComponentEditorButton* CancelButton = nullptr;
    TgComponentEditorPageControl* PageControl = nullptr;
    TTabSheet* IntervalTabSheet = nullptr;
    TTabSheet* DateTimeTabSheet = nullptr;
    TTabSheet* Price32TabSheet = nullptr;

    TLabel* WeeksLabel = nullptr;
    TLabel* DaysLabel = nullptr;
    TLabel* HoursLabel = nullptr;
    TLabel* MinutesLabel = nullptr;
    TLabel* SecondsLabel = nullptr;
    TLabel* MilliSecondsLabel = nullptr;
    TgComponentEditorEdit* WeeksEdit = nullptr;
    TgComponentEditorEdit* DaysEdit = nullptr;
    TgComponentEditorEdit* HoursEdit = nullptr;
    TgComponentEditorEdit* MinutesEdit = nullptr;
    TgComponentEditorEdit* SecondsEdit = nullptr;
    TgComponentEditorEdit* MilliSecondsEdit = nullptr;
    TgUpDown* gUpDown4 = nullptr;
    TgUpDown* DaysUpDown = nullptr;
    TgUpDown* HoursUpDown = nullptr;
    TgUpDown* MinutesUpDown = nullptr;
    TgUpDown* SecondsUpDown = nullptr;
    TgUpDown* MilliSecondsUpDown = nullptr;
    TgComponentEditorButton* gComponentEditorButton1 = nullptr;

    TLabel* DatePickerLabel = nullptr;
    TLabel* TimePickerLabel = nullptr;
    TgComponentEditorButton* SetNowButton = nullptr;

    TLabel* PriceIntegerLabel = nullptr;
    TLabel* Price32ndsLabel = nullptr;
    TLabel* Price256thsLabel = nullptr;
    TgComponentEditorEdit* PriceIntegerEdit = nullptr;
    TgComponentEditorEdit* Price32ndsEdit = nullptr;
    TgComponentEditorEdit* Price256thsEdit = nullptr;
    TgUpDown* gUpDown3 = nullptr;
    TgUpDown* gUpDown1 = nullptr;
    TgUpDown* gUpDown2 = nullptr;

    TgComponentEditorEdit* ValueEdit = nullptr;

    // Made by FormCreate.
    TDateTimePicker* DatePicker() const { return FDatePicker; }
    TDateTimePicker* TimePicker() const { return FTimePicker; }

    void FormCreate(TObject* sender);
    void TimeChange(TObject* sender);
    void WeeksChange(TObject* sender);
    void Price32Change(TObject* sender);
    void DateTimePickerChange(TObject* sender);
    void SetNowButtonClick(TObject* sender);
    void gComponentEditorButton1Click(TObject* sender);

    // The local date and time as a day count ("Now"); tests may replace it.
    std::function<double()> Clock;

private:
    TDateTimePicker* FDatePicker = nullptr;
    TDateTimePicker* FTimePicker = nullptr;
};

} // namespace kv
