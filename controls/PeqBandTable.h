#pragma once
// What the three EQ band tables share: the value texts, the typed-entry rules that snap what the user
// types onto the unit's frequency, Q and gain grids, the grid tables and the band-number colours, and
// the table itself for the two tables built on the pack's group box (TMyPEQType8, TMyPEQGain), which
// differ only in their filter types.
//
// Every number is written and read with "." as the decimal point, whatever the user's locale.

#include "panels/PkPanel.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kv {

class TEdit;
class TPkLabel;
class TPkComboBox;
class TPkButton;

namespace peq {

// The Q of each Q index 0..100, as the tables show them.
extern const std::array<double, 101> Q_TABLE;
// Band-number colours, one per row, cycling every 14 rows.
TColor NumberColor(int row);

// "1.00KHz", "20.16KHz", "19.7Hz", "977.2Hz".
std::string FreqText(double hz);
// Three significant digits, shown with two decimals: "0.40", "1.26", "10.10", "128.00".
std::string QText(double q);
// The shortest general form with at most `digits` significant digits and "dB": "0dB", "-3.5dB".
std::string GainText(double dB, int digits = 15);
// Frequency of an offset from 1 kHz on the 1/30-octave grid.
double OffsetToFreq(int offset);

// Typed value -> frequency index 0..300, to the nearest step (an exact half step rounds down). Values
// of 0 or below, and values so small or large that the logarithm leaves the grid, clamp to its ends.
int FreqEntryToIndex(double value, bool kiloHertz);
// Hz set by value -> offset from 1 kHz: the exact offset rounded to `digits` significant digits, then
// moved away from zero when its first decimal is above 5. Not clamped to the grid; only to what an int
// holds (0 Hz or less gives the grid's lowest offset).
int FreqOffsetByValue(double hz, int digits = 3);
// dB set with the whole row -> gain step: hundredths truncated, then to the nearest tenth, an exact
// 5 hundredths going toward zero; negative gains alike.
int GainStepByValue(double dB);
// A value set alone -> whole steps (stepsPerUnit per unit), truncated toward zero; 0.1 dB steps of a gain
// land on their step for grid values.
int TruncatedSteps(double value, double stepsPerUnit);

// The leading decimal number of a text; reading stops at the first character that cannot continue it
// ("1,5" reads 1). 0 when no number starts the text.
double LeadingNumber(const std::string& text);

// Typed entry; nullopt when the text is invalid and the previous value must be shown again.
// `allowComma`: the two pack tables take "," among the characters (it ends the number).
std::optional<int> TypedFreqIndex(const std::string& text, bool allowComma);
// Q index of a typed Q: clamped to 0.4..128 first, then to index 0..100.
std::optional<int> TypedQIndex(const std::string& text);
// Gain step (0.1 dB) of a typed gain: one decimal kept, not rounded; clamped to -12..12 dB.
std::optional<int> TypedGainStep(const std::string& text);

// Gain step (0.5 dB) of a typed gain in the float table: cut toward zero to the half-dB grid, clamped
// to -12..12 dB. Only digits, "." and "-" are taken.
std::optional<int> TypedHalfDbGainStep(const std::string& text);

// Limits what the user types into a row's edit to `maxChars` characters. The platform's own length
// limit would also cut the texts the table sets ("20.16KHz" has eight), so only typing is limited.
void LimitTyping(TEdit* edit, int maxChars);

} // namespace peq

// The band table of the pack's group box, with `typeCount` filter types. TMyPEQType8 and TMyPEQGain
// are this table with their own type names.
class TPeqBandTable : public TPkGroupBox {
    KV_CLASS(TPeqBandTable)
public:
    static constexpr int MaxRows = 50;

    ~TPeqBandTable() override;

    double GetFreqValue(int i) const;
    double GetQValue(int i) const;
    double GetGainValue(int i) const;
    int GetTypeValue(int i);
    bool GetBypassValue(int i) const;
    void SetFreqValue(int i, double hz);
    void SetQValue(int i, double index);
    void SetGainValue(int i, double dB);
    void SetTypeValue(int i, int type);
    void SetBypassValue(int i, bool on);
    void SetEqParamValue(int i, double hz, double qIndex, double dB, int type, bool bypass);
    void SetNowIndex(int r);
    int GetNowIndex() const { return FCurrentRow; }
    int GetPreviousIndex() const { return FPreviousRow; }
    // The text colour of a row's edits; the table's own colour keeps its setter.
    void SetColor(int i, TColor c);
    using TPkGroupBox::SetColor;
    void SetEqTypeString(const std::string& text, int i);
    void SetBypassString(const std::string& text);
    void ChangeLanguage();
    int GetChannelNumber() const { return FChannelNumber; }
    // Lays the rows out when the size differs from the size they were last laid out for.
    void RePaint();
    // Fills the type lists, once: when the table is first painted or a list's selection is first used.
    void CreateWnd();

    bool UpdownVisable() const { return FUpdownVisable; }
    void SetUpdownVisable(bool v);
    bool TitleVisable() const { return FTitleVisable; }
    void SetTitleVisable(bool v);
    int TopBottomSpace() const { return FTopBottomSpace; }
    void SetTopBottomSpace(int v) { FTopBottomSpace = v; }
    int ChannelNumber() const { return FChannelNumber; }
    void SetChannelNumber(int v);
    TColor LabelColor() const { return FLabelColor; }
    void SetLabelColor(TColor v);
    TColor EditBackColor() const { return FEditBackColor; }
    void SetEditBackColor(TColor v);
    TColor BypassBackColor() const { return FBypassBackColor; }
    void SetBypassBackColor(TColor v);

    // The controls of a row and the column titles (for the main window's tests and screenshots). A row
    // a layout's table does not show is made when it is first asked for.
    TEdit* FreqEdit(int row) const { return Made(row).freq; }
    TEdit* QEdit(int row) const { return Made(row).q; }
    TEdit* GainEdit(int row) const { return Made(row).gain; }
    TPkLabel* NumberLabel(int row) const { return Made(row).number; }
    TPkComboBox* TypeList(int row) const { return Made(row).type; }
    TPkButton* BypassButton(int row) const { return Made(row).bypass; }
    // Rows whose controls exist: all of a table made in code, the shown ones of a layout's table.
    int MadeRows() const { return FMadeRows; }
    TPkLabel* Title(int k) const { return FTitles.at(static_cast<size_t>(k)); }
    TColor NormalTextColor() const { return FNormalColor; }
    const std::vector<std::string>& TypeNames() const { return FTypeNames; }

    void WndProcPaint() override;
    void ReadDone() override;

    TNotifyEvent OnChange;
    TMouseEvent OnEditMouseDown;
    TMouseWheelEvent OnPeqTypeMouseWheel;

    // Fixed colours: a bypassed band's button, and the selected row's edit text.
    static constexpr TColor BypassedColor = RGB(255, 128, 128);
    static constexpr TColor SelectedTextColor = RGB(0, 176, 0);

protected:
    // `builtInNames`: the type names until the language step sets others; `createdType`: the entry
    // selected when the lists are first filled.
    TPeqBandTable(TComponent* owner, std::vector<std::string> builtInNames, int createdType);
    virtual void Change();

private:
    struct Row {
        TEdit* freq = nullptr;
        TEdit* q = nullptr;
        TEdit* gain = nullptr;
        TPkLabel* number = nullptr;
        TPkComboBox* type = nullptr;
        TPkButton* bypass = nullptr;
        int freqOffset = 0; // frequency index - 170
        int qIndex = 0;
        int gainStep = 0; // 0.1 dB
        std::uint8_t bypassFlag = 0;
    };

    bool ValidRow(int i) const { return i >= 0 && i < MaxRows; }
    Row& R(int i) { return FRows[static_cast<size_t>(i)]; }
    const Row& R(int i) const { return FRows[static_cast<size_t>(i)]; }
    // A row with its controls, made first when missing.
    Row& W(int i) {
        MakeRows(i + 1);
        return R(i);
    }
    const Row& Made(int row) const {
        if (row >= 0 && row < MaxRows)
            const_cast<TPeqBandTable*>(this)->MakeRows(row + 1);
        return FRows.at(static_cast<size_t>(row));
    }
    // Makes the controls of rows up to `count`, each as the first layout of a new table placed it.
    void MakeRows(int count);
    int RowOf(TObject* sender) const;
    void PlaceTitles(int cw, int rh, int title0X);
    void PlaceRows(int cw, int rh, int titleBand, int title0X);
    void PlaceRow(int r, int cw, int rh, int top, int editWidth);
    void HideRow(Row& row);
    // Refills a row's list with the current names, keeping its selection (the first type when none).
    void RefillTypeList(Row& row);
    void ColourBypassButton(Row& row);
    void ActOnRow(int row);
    void FreqEntered(TObject* sender);
    void QEntered(TObject* sender);
    void GainEntered(TObject* sender);
    void EditKeyDown(TObject* sender, std::uint16_t& key, void (TPeqBandTable::*entered)(TObject*));
    void EditMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void ByPassClick(TObject* sender);
    void PeqTypeChange(TObject* sender);
    void PeqTypeMouseWheel(TObject* sender, TShiftState shift, int delta, TPoint pos, bool& handled);

    std::array<TPkLabel*, 6> FTitles{};
    std::array<Row, MaxRows> FRows{};
    double FCurrentGain = 0.0;
    double FCurrentFreq = 1000.0;
    bool FTitleVisable = false, FUpdownVisable = false;
    int FTopBottomSpace = 15;
    int FChannelNumber = MaxRows;
    TColor FLabelColor = 0, FEditBackColor = 0, FBypassBackColor = 0;
    int FLaidWidth = 0, FLaidHeight = 0;
    int FCurrentRow = 0, FPreviousRow = 0;
    std::vector<std::string> FTypeNames;
    std::string FBypassCaption;
    TColor FNormalColor = 0;
    int FCreatedType = 1;
    bool FCreated = false;
    int FMadeRows = 0;
    // The rows' places when the table was made, and whether a relayout has hidden unshown rows since.
    struct {
        int cw = 0, rh = 0, top = 0;
    } FFirstPlace;
    bool FRelaidOut = false;
};

} // namespace kv
