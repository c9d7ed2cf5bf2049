#pragma once
// The simple band table: up to 15 rows with frequency, Q and gain edits and their spinners, a list of
// three filter types and a bypass check box, always with column titles. Gains step by 0.5 dB.

#include "platform/gui/StdCtrls.h"

#include <array>

namespace kv {

class TMyPEQ : public TGroupBox {
    KV_CLASS(TMyPEQ)
public:
    static constexpr int MaxRows = 15;

    explicit TMyPEQ(TComponent* owner);

    double GetFreqValue(int i) const;
    double GetQValue(int i) const;
    double GetGainValue(int i) const;
    int GetTypeValue(int i);
    bool GetBypassValue(int i) const;
    void SetFreqValue(int i, float hz);
    void SetQValue(int i, float index);
    void SetGainValue(int i, float dB);
    void SetTypeValue(int i, int type);
    void SetBypassValue(int i, bool on);
    // The text colour of a row's edits; the table's own colour keeps its setter.
    void SetColor(int i, TColor c);
    using TGroupBox::SetColor;
    int GetChannelNumber() const { return FChannelNumber; }
    void SetChannelNumber(int v);
    int GetNowIndex() const { return FCurrentRow; }
    // Lays the rows out when the size differs from the size they were last laid out for.
    void RePaint();
    // Fills the type lists, once: when the table is first painted or a list's selection is first used.
    void CreateWnd();

    TEdit* FreqEdit(int row) const { return FRows.at(static_cast<size_t>(row)).freq; }
    TEdit* QEdit(int row) const { return FRows.at(static_cast<size_t>(row)).q; }
    TEdit* GainEdit(int row) const { return FRows.at(static_cast<size_t>(row)).gain; }
    TLabel* NumberLabel(int row) const { return FRows.at(static_cast<size_t>(row)).number; }
    TUpDown* FreqSpin(int row) const { return FRows.at(static_cast<size_t>(row)).freqSpin; }
    TUpDown* QSpin(int row) const { return FRows.at(static_cast<size_t>(row)).qSpin; }
    TUpDown* GainSpin(int row) const { return FRows.at(static_cast<size_t>(row)).gainSpin; }
    TComboBox* TypeList(int row) const { return FRows.at(static_cast<size_t>(row)).type; }
    TCheckBox* BypassBox(int row) const { return FRows.at(static_cast<size_t>(row)).bypass; }
    TLabel* Title(int k) const { return FTitles.at(static_cast<size_t>(k)); }

    void WndProcPaint() override;

    TNotifyEvent OnChange;

protected:
    virtual void Change();

private:
    struct Row {
        TEdit* freq = nullptr;
        TEdit* q = nullptr;
        TEdit* gain = nullptr;
        TLabel* number = nullptr;
        TUpDown* freqSpin = nullptr; // frequency index - 170
        TUpDown* qSpin = nullptr;    // Q index
        TUpDown* gainSpin = nullptr; // 0.5 dB steps
        TComboBox* type = nullptr;
        TCheckBox* bypass = nullptr;
    };

    bool ValidRow(int i) const { return i >= 0 && i < MaxRows; }
    Row& R(int i) { return FRows[static_cast<size_t>(i)]; }
    const Row& R(int i) const { return FRows[static_cast<size_t>(i)]; }
    int RowOf(TObject* sender) const;
    void ActOnRow(int row);
    void FreqEntered(TObject* sender);
    void QEntered(TObject* sender);
    void GainEntered(TObject* sender);
    void SpinClick(TObject* sender);
    void BypassClick(TObject* sender);

    std::array<TLabel*, 5> FTitles{};
    std::array<Row, MaxRows> FRows{};
    float FCurrentGain = 0.0f;
    float FCurrentFreq = 1000.0f;
    int FChannelNumber = MaxRows;
    int FLaidWidth = 0, FLaidHeight = 0;
    int FCurrentRow = 0;
    bool FCreated = false;
    bool FSettingBypass = false;
};

} // namespace kv
