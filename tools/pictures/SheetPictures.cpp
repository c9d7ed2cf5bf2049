// Pictures of the control-code sheets: example frames drawn as rows of byte boxes with the name of each
// field, the port settings and a worked check byte, each with its title in English and in Chinese. The
// frames are made by the program's own framing, so the sheet and the wire never disagree.

#include "Common.h"

#include "link/LCmd.h"

#include <QPainterPath>

#include <cstdint>
#include <vector>

namespace {

using namespace pictures;

const QColor kPaper{0xFF, 0xFF, 0xFF};
const QColor kTitle{0x1F, 0x3A, 0x5C};
const QColor kRule{0xC9, 0xD0, 0xD8};

// Box colours of the frame's parts.
struct Field {
    QColor fill;
};
const Field kFrameField{QColor(0xDD, 0xE1, 0xE6)};
const Field kAddressField{QColor(0xD5, 0xE6, 0xF7)};
const Field kCodeField{QColor(0xF8, 0xE1, 0xB8)};
const Field kDataField{QColor(0xD8, 0xF0, 0xD6)};
const Field kCheckField{QColor(0xF6, 0xD2, 0xD0)};

// One example: its titles and the frame the program's own framing makes of the record.
struct Example {
    const char* en;
    const char* zh;
    BSTM frame;
};

void Title(QPainter& p, QSize s, const QString& text) {
    p.fillRect(QRect(QPoint(0, 0), s), kPaper);
    p.setPen(kRule);
    p.drawLine(0, s.height() - 1, s.width() - 1, s.height() - 1);
    p.setFont(PictureFont(13, true));
    p.setPen(kTitle);
    p.drawText(QRect(4, 2, s.width() - 8, 20), Qt::AlignLeft | Qt::AlignVCenter, text);
}

void FrameRow(QPainter& p, const BSTM& frame, int top) {
    const int n = static_cast<int>(frame.size());
    constexpr int kBox = 38, kGap = 4;
    for (int i = 0; i < n; ++i) {
        const Field* field = &kDataField;
        QString name = QStringLiteral("D%1").arg(i - 6);
        if (i == 0 || i == n - 3) {
            field = &kFrameField;
            name = QStringLiteral("DLE");
        } else if (i == 1) {
            field = &kFrameField;
            name = QStringLiteral("STX");
        } else if (i == n - 2) {
            field = &kFrameField;
            name = QStringLiteral("ETX");
        } else if (i == n - 1) {
            field = &kCheckField;
            name = QStringLiteral("CHK");
        } else if (i == 2 || i == 3) {
            field = &kAddressField;
            name = i == 2 ? QStringLiteral("SRC") : QStringLiteral("DST");
        } else if (i == 4 || i == 5) {
            field = &kCodeField;
            name = i == 4 ? QStringLiteral("LEN") : QStringLiteral("CMD");
        }
        const QRect box(4 + i * (kBox + kGap), top, kBox, 24);
        p.setPen(field->fill.darker(135));
        p.setBrush(field->fill);
        p.drawRect(box.adjusted(0, 0, -1, -1));
        p.setFont(PictureFont(13, true));
        p.setPen(pal::TextDark);
        p.drawText(
            box, Qt::AlignCenter,
            QStringLiteral("%1").arg(frame[static_cast<size_t>(i)], 2, 16, QLatin1Char('0')).toUpper());
        p.setFont(PictureFont(10, false));
        p.setPen(pal::Face);
        p.drawText(QRect(box.left(), box.bottom() + 2, kBox, 14), Qt::AlignCenter, name);
    }
}

void Lines(QPainter& p, const QStringList& lines, int top) {
    p.setFont(PictureFont(12, false));
    p.setPen(pal::TextDark);
    for (int i = 0; i < lines.size(); ++i)
        p.drawText(QRect(12, top + i * 20, 610, 18), Qt::AlignLeft | Qt::AlignVCenter, lines[i]);
}

void RegisterAll() {
    // Unit 1, as the editor addresses it by default.
    const std::vector<Example> examples = {
        {"1. Probe unit 1", "1. 连接测试（机器 1）", LCmd::ToFrame(CM_MCS_CMD(1, MCS_PROBE))},
        {"2. Ask for the panel-lock status", "2. 查询面板锁定状态",
         LCmd::ToFrame(CM_MCS_CMD(1, MCS_LOCK_STATUS))},
        {"3. Recall user preset 3", "3. 调用用户预设 3", LCmd::ToFrame(CM_MCS_CMD(1, MCS_RECALL_PRESET, 3))},
        {"4. Store into user preset 5", "4. 储存到用户预设 5",
         LCmd::ToFrame(CM_MCS_CMD(1, MCS_STORE_PRESET, 5))},
        {"5. Gain of InA to 0 dB (step 280 = 0x0118, low byte first)",
         "5. InA 增益设为 0 dB（280 = 0x0118，先发低字节）", LCmd::ToFrame(CM_MCS_GAIN(1, 0, 280))},
        {"6. Mute Out1", "6. Out1 静音", LCmd::ToFrame(CM_MCS_MUTE(1, 2, 1))},
        {"7. Test signal: pink noise", "7. 测试信号：粉红噪音", LCmd::ToFrame(CM_MCS_WORK_MODE(1, 1, 0))},
        {"8. Test signal: sine 1 kHz (frequency 17)", "8. 测试信号：1 kHz 弦波（频率 17）",
         LCmd::ToFrame(CM_MCS_WORK_MODE(1, 3, 17))},
    };
    for (bool english : {true, false}) {
        const std::string lang = english ? "en" : "zh";
        for (size_t i = 0; i < examples.size(); ++i) {
            const Example e = examples[i];
            Add("sheet/" + lang + "_" + std::to_string(i + 1) + ".png", {630, 76},
                [e, english](QPainter& p, QSize s) {
                    Title(p, s, QString::fromUtf8(english ? e.en : e.zh));
                    FrameRow(p, e.frame, 26);
                });
        }
        Add("sheet/" + lang + "_9.png", {630, 100}, [english](QPainter& p, QSize s) {
            Title(p, s, english ? QStringLiteral("9. Port settings") : QString::fromUtf8("9. 端口设置"));
            Lines(p,
                  english
                      ? QStringList{QStringLiteral("Serial: 115200 baud, 8 data bits, no parity, 1 stop bit"),
                                    QStringLiteral("Network: TCP, port 9761"),
                                    QStringLiteral("One command at a time: wait for each reply")}
                      : QStringList{QString::fromUtf8("串口：115200 波特，8 位数据位，无校验，1 位停止位"),
                                    QString::fromUtf8("网络：TCP，端口 9761"),
                                    QString::fromUtf8("每次只发一条命令：等待回复后再发下一条")},
                  26);
        });
        Add("sheet/" + lang + "_10.png", {630, 120}, [english](QPainter& p, QSize s) {
            Title(p, s,
                  english ? QStringLiteral("10. The check byte of example 5")
                          : QString::fromUtf8("10. 示例 5 的校验字节"));
            const BSTM f = LCmd::ToFrame(CM_MCS_GAIN(1, 0, 280));
            QString sum;
            for (size_t i = 0; i + 1 < f.size(); ++i)
                sum += (i ? QStringLiteral(" xor ") : QString()) +
                       QStringLiteral("%1").arg(f[i], 2, 16, QLatin1Char('0')).toUpper();
            sum += QStringLiteral(" = %1").arg(f.back(), 2, 16, QLatin1Char('0')).toUpper();
            Lines(p,
                  {english ? QStringLiteral("Check byte = XOR of every byte before it:")
                           : QString::fromUtf8("校验字节 = 之前所有字节的异或值："),
                   sum,
                   english ? QStringLiteral("A receiver finds the end of a frame by its length byte.")
                           : QString::fromUtf8("接收方根据长度字节确定数据帧的结尾。")},
                  28);
        });
    }
}

const Registrar reg(RegisterAll);

} // namespace
