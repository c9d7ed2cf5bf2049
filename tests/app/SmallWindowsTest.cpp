// The lock, test-signal and small windows on their own: as laid out, their texts, the password bytes
// in the system code page, the password boxes, the frame log's cap and its lines from other threads,
// and the control-code sheets' centring and scrolling.

#include "app/FAbout.h"
#include "app/FHidData.h"
#include "app/FLockPassWord.h"
#include "app/FLockSetup.h"
#include "app/FMain.h"
#include "app/FMemo.h"
#include "app/FPeqRst.h"
#include "app/FRs232CodeDoc.h"
#include "app/FRs232CodeDocEnglish.h"
#include "app/FTest.h"
#include "app/LangTables.h"
#include "app/Registration.h"
#include "app/SingleInstance.h"
#include "app/TimerComponent.h"
#include "app/link/MainLink.h"
#include "link/LinkOwner.h"
#include "panels/PkBmpButton.h"
#include "platform/core/CodePage.h"
#include "platform/gui/Menus.h"
#include "platform/gui/RichEdit.h"
#include "platform/gui/StdButtons.h"
#include "platform/gui/StdEdits.h"
#include "platform/gui/StdLists.h"
#include "platform/gui/StdPanels.h"
#include "styled/RTFLabel.h"
#include "styled/RoundControls.h"
#include "styled/StOfficeImage.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

using namespace kv;

namespace {

void InNextLoop(std::function<void()> inside) {
    QTimer::singleShot(0, std::move(inside));
}

// Types text into an edit box as the keyboard would.
void Type(TControl& edit, const std::string& text) {
    for (char c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(c)));
        QCoreApplication::sendEvent(edit.Widget(), &press);
    }
}

class SmallWindowsTest : public ::testing::Test {
protected:
    // A frame-log line as a transport posts it to the link.
    void LogLine(const std::string& line) {
        TMessage msg;
        msg.Msg = WM_LINK_LOG;
        msg.Text = line;
        main->MainLink().Dispatch(msg);
    }
    static void SetUpTestSuite() {
        qputenv("KORVANE_LOOPBACK_ONLY", "1");
        RegisterEditorClasses();
        TSingleInstance::SetKeyOverride("korvane-editor-smallwindows-" + std::to_string(getpid()));
    }
    void SetUp() override {
        TScheduler::SetDefault(&clock);
        main = Application->CreateForm<TfmMain>();
        hidData = Application->CreateForm<TfmHidData>();
        about = Application->CreateForm<TfmAbout>();
        sheetZh = Application->CreateForm<TfmRs232Code>();
        sheetEn = Application->CreateForm<TfmRs232CodeEnglish>();
        unlock = Application->CreateForm<TfmLockPassWord>();
        lock = Application->CreateForm<TfmLockSetup>();
        memo = Application->CreateForm<TfmMemo>();
        test = Application->CreateForm<TfmTest>();
    }
    void TearDown() override {
        for (TForm* f :
             std::initializer_list<TForm*>{test, memo, lock, unlock, sheetEn, sheetZh, about, hidData, main})
            delete f;
        TScheduler::SetDefault(nullptr);
        CodePage::SetSystem("");
        Application->Initialize();
    }
    void Chinese() { main->ChineseSimplifiedClick(main->Find<TMenuItem>("ChineseSimplified")); }

    TVirtualClock clock;
    TfmMain* main = nullptr;
    TfmHidData* hidData = nullptr;
    TfmAbout* about = nullptr;
    TfmRs232Code* sheetZh = nullptr;
    TfmRs232CodeEnglish* sheetEn = nullptr;
    TfmLockPassWord* unlock = nullptr;
    TfmLockSetup* lock = nullptr;
    TfmMemo* memo = nullptr;
    TfmTest* test = nullptr;
};

// The EQ reset question and the lock prompts fit their texts in both languages: the question on one
// line (its "?" never alone below it), the label in its box, and the title beside the room a window
// manager's title strip takes for its icon and three buttons.
TEST_F(SmallWindowsTest, DialogTextsFitInBothLanguages) {
    auto* reset = Application->CreateForm<TfmPeqRst>();
    constexpr int kTitleButtons = 100; // an icon and three buttons of about 22 pixels, and padding
    for (bool chinese : {false, true}) {
        if (chinese)
            Chinese();
        SCOPED_TRACE(chinese ? "Chinese" : "English");
        for (TCustomForm* f : std::initializer_list<TCustomForm*>{reset, unlock, lock}) {
            f->Show();
            QFont title = f->Font()->ToQFont();
            title.setBold(true);
            title.setPixelSize(13);
            EXPECT_LE(QFontMetrics(title).horizontalAdvance(QString::fromStdString(f->Caption())) +
                          kTitleButtons,
                      f->Width())
                << f->Caption();
        }
        const auto fits = [](TControl* label) {
            const QFontMetrics m(label->Font()->ToQFont());
            return m.horizontalAdvance(QString::fromStdString(label->Caption())) <= label->Width();
        };
        ASSERT_NE(reset->lbReset, nullptr);
        EXPECT_TRUE(fits(reset->lbReset)) << reset->lbReset->Caption();
        EXPECT_TRUE(fits(unlock->lblLockPassword)) << unlock->lblLockPassword->Caption();
        EXPECT_TRUE(fits(lock->lblLockPassword)) << lock->lblLockPassword->Caption();
        for (TCustomForm* f : std::initializer_list<TCustomForm*>{reset, unlock, lock})
            f->Hide();
    }
    delete reset;
}

TEST_F(SmallWindowsTest, LoadAsLaidOut) {
    struct Case {
        TCustomForm* form;
        int width, height;
    } cases[] = {{lock, 240, 148},     {unlock, 240, 148}, {test, 282, 208},    {about, 536, 119},
                 {hidData, 1022, 541}, {memo, 250, 453},   {sheetZh, 737, 644}, {sheetEn, 746, 635}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form->ClassName());
        EXPECT_TRUE(c.form->LayoutErrors().empty()) << c.form->LayoutErrors().front();
        EXPECT_EQ(c.form->ClientWidth(), c.width);
        EXPECT_EQ(c.form->ClientHeight(), c.height);
    }
    // Every control the code uses is bound, and the windows point at themselves.
    const TComponent* const bound[] = {lock->edName,       lock->tmClose,
                                       lock->btnOK,        lock->btnExit,
                                       unlock->edName,     unlock->tmCheck,
                                       unlock->tmCmd,      unlock->bnCancel,
                                       test->cbSineFreq,   test->rbSineWave,
                                       hidData->hbHidData, memo->Memo,
                                       sheetEn->RTFLabel,  sheetZh->StOfficeImage[9]};
    for (const TComponent* c : bound)
        EXPECT_NE(c, nullptr);
    EXPECT_EQ(fmRs232Code, sheetZh);
    EXPECT_EQ(fmRs232CodeEnglish, sheetEn);
    EXPECT_EQ(fmLockSetup, lock);
    EXPECT_EQ(fmLockPassWord, unlock);
    // The sine list: 31 third-octave frequencies, the first selected, 1 kHz at 17.
    ASSERT_EQ(test->cbSineFreq->Items()->Count(), TfmTest::kSineFrequencies);
    EXPECT_EQ(test->cbSineFreq->ItemIndex(), 0);
    EXPECT_EQ((*test->cbSineFreq->Items())[17], "1KHz");
    EXPECT_EQ((*test->cbSineFreq->Items())[30], "20KHz");
    EXPECT_TRUE(test->rbAnalogIn->Checked());
    EXPECT_EQ(memo->Memo->Lines()->Count(), 1);
    EXPECT_EQ(unlock->edName->PasswordChar(), '*');
    // Every picture of both sheets is drawn.
    for (TfmRs232Code* sheet : {static_cast<TfmRs232Code*>(sheetZh), static_cast<TfmRs232Code*>(sheetEn)})
        for (TStOfficeImage* image : sheet->StOfficeImage)
            ASSERT_TRUE(image && image->Picture() && !image->Picture()->Empty()) << sheet->ClassName();
}

TEST_F(SmallWindowsTest, WindowsTakeTheirTextsWhenShownInEitherLanguage) {
    auto texts = [&](TCustomForm& form, std::function<std::string()> read) {
        std::string got;
        InNextLoop([&] {
            got = form.Caption() + "|" + read();
            form.SetModalResult(mrCancel);
        });
        form.ShowModal();
        return got;
    };
    auto lockTexts = [&] {
        return lock->lblLockPassword->Caption() + "|" + lock->btnOK->Caption() + "|" +
               lock->btnExit->Caption() + "|" + lock->edName->Text();
    };
    auto unlockTexts = [&] {
        return unlock->lblLockPassword->Caption() + "|" + unlock->btnOK->Caption() + "|" +
               unlock->bnCancel->Caption() + "|" + unlock->edName->Text();
    };
    auto testTexts = [&] {
        return test->rbAnalogIn->Caption() + "|" + test->rbPinkNoise->Caption() + "|" +
               test->rbWhiteNoise->Caption() + "|" + test->rbSineWave->Caption() + "|" +
               test->bnExit->Caption();
    };
    EXPECT_EQ(texts(*lock, lockTexts), "Lock Setting|Lock Password|OK|Cancel|8052");
    EXPECT_EQ(texts(*unlock, unlockTexts), "UnLock Setting|UnLock Password|OK|Cancel|****");
    EXPECT_EQ(texts(*test, testTexts), "Input Signal Select|Analog Input|Pink Noise|White Noise|Sine Wave|" +
                                           main->GetLangText("SID_EXIT"));
    EXPECT_EQ(texts(*about, [&] { return about->Version->Caption(); }), "About|Version : V1.0");
    Chinese();
    EXPECT_EQ(texts(*lock, lockTexts), "操作锁设定|密码设定|确定|取消|8052");
    EXPECT_EQ(texts(*unlock, unlockTexts), "操作锁设定|解锁密码|确定|取消|****");
    EXPECT_EQ(texts(*test, testTexts),
              "输入讯号选择|类比输入|粉红噪音|白噪音|弦波|" + main->GetLangText("SID_EXIT"));
    EXPECT_EQ(texts(*about, [] { return std::string(); }), "关于|");
}

TEST_F(SmallWindowsTest, PasswordBoxesTakeFourUpperCaseCharactersAndLockOpensWithTheDefault) {
    for (TEmptyEdit* box : {lock->edName, unlock->edName}) {
        box->SetText("");
        Type(*box, "ab1cd");
        EXPECT_EQ(box->Text(), "AB1C");
    }
    // Whatever was typed last time, the lock dialog opens with "8052" selected.
    lock->edName->SetText("ZZ");
    std::string shown;
    InNextLoop([&] {
        shown = lock->edName->Text();
        // Typing replaces the selected text.
        Type(*lock->edName, "x");
        shown += "|" + lock->edName->Text();
        lock->SetModalResult(mrCancel);
    });
    lock->ShowModal();
    EXPECT_EQ(shown, "8052|X");
}

TEST_F(SmallWindowsTest, PasswordBytesAreCutAtACharacterBoundaryAndFilledWithZeros) {
    struct Case {
        const char* codePage;
        const char* typed;
        std::array<uint8_t, 4> bytes;
    } cases[] = {
        {"", "8052", {0x38, 0x30, 0x35, 0x32}},
        {"", "AB", {0x41, 0x42, 0, 0}},
        {"", "", {0, 0, 0, 0}},
        {"GBK", "中A", {0xD6, 0xD0, 0x41, 0}},
        {"GBK", "AB中", {0x41, 0x42, 0xD6, 0xD0}},
        // The second character would need bytes 4 and 5: it is left out whole, never half sent.
        {"GBK", "A中文", {0x41, 0xD6, 0xD0, 0}},
        {"GBK", "ABC中", {0x41, 0x42, 0x43, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.codePage) + " " + c.typed);
        CodePage::SetSystem(c.codePage);
        EXPECT_EQ(PanelPasswordBytes(c.typed), c.bytes);
    }
}

TEST_F(SmallWindowsTest, FrameLogKeepsTheNewestLinesOnlyWhileShown) {
    TListBox& list = *hidData->hbHidData;
    LogLine("hidden");
    EXPECT_EQ(list.Items()->Count(), 0);
    EXPECT_FALSE(main->MainLink().FrameLogShown);

    main->HidDataClick(nullptr);
    ASSERT_TRUE(hidData->Visible());
    EXPECT_TRUE(main->MainLink().FrameLogShown);
    const int extra = 5;
    for (int i = 0; i < TfmHidData::kMaxLines + extra; ++i) {
        LogLine("line " + std::to_string(i));
        // Some lines shown in between, most in one batch.
        if (i == 2 || i == 8000)
            clock.Advance(TfmHidData::kFlushMs);
    }
    clock.Advance(TfmHidData::kFlushMs);
    ASSERT_EQ(list.Items()->Count(), TfmHidData::kMaxLines);
    EXPECT_EQ((*list.Items())[0], "line " + std::to_string(extra));
    EXPECT_EQ(list.ItemIndex(), TfmHidData::kMaxLines - 1);
    EXPECT_EQ((*list.Items())[TfmHidData::kMaxLines - 1],
              "line " + std::to_string(TfmHidData::kMaxLines + extra - 1));

    hidData->bnClear->Click();
    EXPECT_EQ(list.Items()->Count(), 0);

    // Lines built on other threads arrive through the GUI thread, each thread's in its order.
    constexpr int kThreads = 3, kLines = 50;
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t)
        workers.emplace_back([this, t] {
            for (int i = 0; i < kLines; ++i) {
                const uint8_t bytes[] = {static_cast<uint8_t>(t), static_cast<uint8_t>(i)};
                PostFrameLog(&main->MainLink(), FrameLogLine("COM R ", bytes, 2));
            }
        });
    for (auto& w : workers)
        w.join();
    for (int i = 0; i < 100 && list.Items()->Count() < kThreads * kLines; ++i) {
        QCoreApplication::processEvents();
        clock.Advance(TfmHidData::kFlushMs);
    }
    ASSERT_EQ(list.Items()->Count(), kThreads * kLines);
    std::vector<int> next(kThreads, 0);
    for (int i = 0; i < list.Items()->Count(); ++i) {
        unsigned t = 0, n = 0;
        ASSERT_EQ(std::sscanf((*list.Items())[i].c_str(), "COM R %02X %02X ", &t, &n), 2);
        ASSERT_LT(t, static_cast<unsigned>(kThreads));
        EXPECT_EQ(static_cast<int>(n), next[t]++);
    }

    // Hidden again: the transports stop building lines, and a line still on its way is not shown.
    PostFrameLog(&main->MainLink(), "late");
    hidData->Close();
    EXPECT_FALSE(main->MainLink().FrameLogShown);
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::processEvents();
        clock.Advance(TfmHidData::kFlushMs);
    }
    EXPECT_EQ(list.Items()->Count(), kThreads * kLines);
}

TEST_F(SmallWindowsTest, MemoIsEmptiedByItsClearButtonOnly) {
    main->MemoShowClick(nullptr);
    EXPECT_TRUE(memo->Visible());
    memo->Close();
    EXPECT_EQ(memo->Memo->Lines()->Count(), 1);
    memo->bnClearMemo->Click();
    EXPECT_EQ(memo->Memo->Lines()->Count(), 0);
}

TEST_F(SmallWindowsTest, SheetStaysCentredInAWideWindowAndScrolls) {
    for (TfmRs232Code* sheet : {static_cast<TfmRs232Code*>(sheetEn), static_cast<TfmRs232Code*>(sheetZh)}) {
        SCOPED_TRACE(sheet->ClassName());
        struct Case {
            int width, left;
        } widths[] = {{600, 50}, {749, 50}, {750, 50}, {950, 150}, {951, 150}, {1200, 275}};
        for (const Case& c : widths) {
            sheet->SetWidth(c.width);
            sheet->FormResize(sheet);
            EXPECT_EQ(sheet->RTFLabel->Left(), c.left) << c.width;
            EXPECT_EQ(sheet->StOfficeImage[0]->Left(), c.left);
            EXPECT_EQ(sheet->StOfficeImage[7]->Left(), c.left);
            // The last two pictures keep their place.
            EXPECT_EQ(sheet->StOfficeImage[8]->Left(), 50);
            EXPECT_EQ(sheet->StOfficeImage[9]->Left(), 50);
        }
        sheet->SetWidth(755);
        sheet->SetHeight(666);
        sheet->FormResize(sheet);
        const int top = sheet->RTFLabel->Top();
        auto key = [&](uint16_t k) { sheet->FormKeyDown(sheet, k, {}); };
        key(VK_DOWN);
        EXPECT_EQ(sheet->VertPosition(), 30);
        EXPECT_EQ(sheet->RTFLabel->Top(), top - 30);
        key(VK_NEXT);
        EXPECT_EQ(sheet->VertPosition(), 30 + sheet->Height());
        key(VK_PRIOR);
        key(VK_UP);
        EXPECT_EQ(sheet->VertPosition(), 0);
        key(VK_UP); // never above the top
        EXPECT_EQ(sheet->VertPosition(), 0);
        EXPECT_EQ(sheet->RTFLabel->Top(), top);
        bool handled = false;
        sheet->FormMouseWheel(sheet, {}, -120, {}, handled);
        EXPECT_TRUE(handled);
        EXPECT_EQ(sheet->VertPosition(), 30);
        sheet->FormMouseWheel(sheet, {}, 120, {}, handled);
        EXPECT_EQ(sheet->VertPosition(), 0);
        // Never past the end: the last picture's bottom stays in the window.
        for (int i = 0; i < 100; ++i)
            key(VK_NEXT);
        TStOfficeImage* last = sheet->StOfficeImage[9];
        EXPECT_GT(sheet->VertPosition(), 0);
        EXPECT_LE(last->Top() + last->Height(), sheet->ClientHeight());
        EXPECT_GE(last->Top() + last->Height(), sheet->ClientHeight() - 2 * top);
        // Left and right move sideways only when the sheet is wider than the window.
        sheet->SetWidth(400);
        sheet->FormResize(sheet);
        key(VK_RIGHT);
        EXPECT_EQ(sheet->HorzPosition(), 30);
        EXPECT_EQ(sheet->RTFLabel->Left(), 50 - 30);
        key(VK_LEFT);
        key(VK_LEFT);
        EXPECT_EQ(sheet->HorzPosition(), 0);
        // Closing restores the sheet's own size for the next showing.
        TCloseAction action = TCloseAction::caHide;
        sheet->FormClose(sheet, action);
        EXPECT_EQ(sheet->Width(), 755);
        EXPECT_EQ(sheet->Height(), 666);
    }
}

TEST_F(SmallWindowsTest, SheetsDocumentTheControlCodesInTheirLanguage) {
    const std::string en = ParseRtf(ControlCodeSheetRtf(true)).Text();
    const std::string zh = ParseRtf(ControlCodeSheetRtf(false)).Text();
    for (const char* part : {"115200", "9761", "2F (47)", "Lock panel", "39 (57)", "Test signal", "49 (73)"})
        EXPECT_NE(en.find(part), std::string::npos) << part;
    for (const char* part : {"115200", "9761", "2F (47)", "面板锁定", "39 (57)", "测试信号"})
        EXPECT_NE(zh.find(part), std::string::npos) << part;
    // The RTF itself is 7-bit: Chinese travels as \u escapes.
    for (char c : ControlCodeSheetRtf(false))
        ASSERT_LT(static_cast<unsigned char>(c), 0x80);
    // The menu opens the sheet of the current language.
    TCustomForm* shown = nullptr;
    auto open = [&] {
        shown = nullptr;
        InNextLoop([&] {
            shown = sheetEn->Modal()   ? static_cast<TCustomForm*>(sheetEn)
                    : sheetZh->Modal() ? sheetZh
                                       : nullptr;
            if (shown)
                shown->SetModalResult(mrCancel);
        });
        main->Rs232CodeClick(nullptr);
        return shown;
    };
    EXPECT_EQ(open(), sheetEn);
    Chinese();
    EXPECT_EQ(open(), sheetZh);
}

} // namespace
