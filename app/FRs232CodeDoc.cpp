#include "app/FRs232CodeDoc.h"

#include "app/LangTables.h"
#include "styled/RTFLabel.h"
#include "styled/StOfficeImage.h"
#include "styled/gdiplus/GDIPPicture.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace kv {

TfmRs232Code* fmRs232Code = nullptr;

KV_REGISTER_CLASS(TfmRs232Code, TForm, b) {
    using F = TfmRs232Code;
    b.Method<TNotifyEvent>("FormCreate", &F::FormCreate);
    b.Method<TNotifyEvent>("FormShow", &F::FormShow);
    b.Method<TNotifyEvent>("FormResize", &F::FormResize);
    b.Method<TKeyEvent>("FormKeyDown", &F::FormKeyDown);
    b.Method<TMouseWheelEvent>("FormMouseWheel", &F::FormMouseWheel);
    b.Method<TCloseEvent>("FormClose", &F::FormClose);
}

TfmRs232Code::TfmRs232Code(TComponent* owner) : TForm(owner) {
    if (!fmRs232Code)
        fmRs232Code = this;
}

TfmRs232Code::TfmRs232Code(TComponent* owner, Derived) : TForm(owner) {}

TfmRs232Code::~TfmRs232Code() {
    if (fmRs232Code == this)
        fmRs232Code = nullptr;
}

void TfmRs232Code::FormCreate(TObject*) {
    RTFLabel = FindAs<TRTFLabel>(*this, "RTFLabel");
    if (RTFLabel) {
        labelTop = RTFLabel->Top();
        RTFLabel->SetRichText(ControlCodeSheetRtf(English()));
    }
    const char* lang = English() ? "en" : "zh";
    for (int i = 0; i < kPictures; ++i) {
        TStOfficeImage* image = FindAs<TStOfficeImage>(*this, "StOfficeImage" + std::to_string(i + 1));
        StOfficeImage[static_cast<size_t>(i)] = image;
        if (!image)
            continue;
        designLeft[static_cast<size_t>(i)] = image->Left();
        designTop[static_cast<size_t>(i)] = image->Top();
        TGDIPPicture picture;
        picture.LoadFromResourceName("pictures/sheet/" + std::string(lang) + "_" + std::to_string(i + 1) +
                                     ".png");
        image->SetPicture(&picture);
    }
}

void TfmRs232Code::FormShow(TObject*) {}

// The sheet stays centred in a wide window; the last two pictures keep their place.
void TfmRs232Code::FormResize(TObject*) {
    const int width = Width();
    sheetLeft = width < kSheetWidth ? kSheetLeft : (width - kSheetWidth) / 2 + kSheetLeft;
    for (int i = 0; i < 8; ++i)
        designLeft[static_cast<size_t>(i)] = sheetLeft;
    ScrollTo(hpos, vpos);
}

int TfmRs232Code::ContentWidth() const {
    int w = sheetLeft + (RTFLabel ? RTFLabel->Width() : 0);
    for (int i = 0; i < kPictures; ++i)
        if (const TStOfficeImage* image = StOfficeImage[static_cast<size_t>(i)])
            w = std::max(w, designLeft[static_cast<size_t>(i)] + image->Width());
    return w + kSheetLeft;
}

int TfmRs232Code::ContentHeight() const {
    int h = labelTop + (RTFLabel ? RTFLabel->Height() : 0);
    for (int i = 0; i < kPictures; ++i)
        if (const TStOfficeImage* image = StOfficeImage[static_cast<size_t>(i)])
            h = std::max(h, designTop[static_cast<size_t>(i)] + image->Height());
    return h + labelTop;
}

void TfmRs232Code::ScrollTo(int horizontal, int vertical) {
    hpos = std::clamp(horizontal, 0, std::max(0, ContentWidth() - ClientWidth()));
    vpos = std::clamp(vertical, 0, std::max(0, ContentHeight() - ClientHeight()));
    PlaceContents();
}

void TfmRs232Code::PlaceContents() {
    if (RTFLabel)
        RTFLabel->SetBounds(sheetLeft - hpos, labelTop - vpos, RTFLabel->Width(), RTFLabel->Height());
    for (int i = 0; i < kPictures; ++i)
        if (TStOfficeImage* image = StOfficeImage[static_cast<size_t>(i)])
            image->SetBounds(designLeft[static_cast<size_t>(i)] - hpos,
                             designTop[static_cast<size_t>(i)] - vpos, image->Width(), image->Height());
}

void TfmRs232Code::FormKeyDown(TObject*, std::uint16_t& key, TShiftState) {
    switch (key) {
    case VK_PRIOR:
        ScrollTo(hpos, vpos - Height());
        break;
    case VK_NEXT:
        ScrollTo(hpos, vpos + Height());
        break;
    case VK_UP:
        ScrollTo(hpos, vpos - kLineStep);
        break;
    case VK_DOWN:
        ScrollTo(hpos, vpos + kLineStep);
        break;
    case VK_LEFT:
        ScrollTo(hpos - kLineStep, vpos);
        break;
    case VK_RIGHT:
        ScrollTo(hpos + kLineStep, vpos);
        break;
    default:
        break;
    }
}

void TfmRs232Code::FormMouseWheel(TObject* sender, TShiftState, int wheelDelta, TPoint, bool& handled) {
    if (wheelDelta > 0)
        FormMouseWheelUp(sender);
    else if (wheelDelta < 0)
        FormMouseWheelDown(sender);
    handled = true;
}

void TfmRs232Code::FormMouseWheelUp(TObject*) {
    ScrollTo(hpos, vpos - kLineStep);
}

void TfmRs232Code::FormMouseWheelDown(TObject*) {
    ScrollTo(hpos, vpos + kLineStep);
}

// The next showing starts at the sheet's own size.
void TfmRs232Code::FormClose(TObject*, TCloseAction&) {
    SetHeight(666);
    SetWidth(755);
    SetWindowState(TWindowState::wsNormal);
}

// ---- the sheet's rich text ----

namespace {

struct SheetText {
    const char* en;
    const char* zh;
};

// One command of the sheet: its code, what it is, the data bytes it carries and what the unit answers.
struct SheetCode {
    int code;
    SheetText name, data, reply;
};

const SheetText kTitle{"RS232 Control Codes", "232通讯协议控制代码"};
const SheetText kConnectionHead{"Connection", "连接"};
const SheetText kConnection[] = {
    {"Serial port: 115200 baud, 8 data bits, no parity, 1 stop bit, no flow control.",
     "串口：115200 波特，8 位数据位，无校验，1 位停止位，无流控。"},
    {"Network: TCP, port 9761 of the unit's address.", "网络：TCP，机器地址的 9761 端口。"},
    {"The PC is address 0. The unit answers under its device ID (1 to 254, 1 by default).",
     "电脑的地址为 0。机器以其设备 ID（1 至 254，默认为 1）回复。"},
};
const SheetText kFrameHead{"Frame", "数据帧"};
const SheetText kFrame[] = {
    {"Every command and every reply is one frame:", "每条命令和每个回复都是一个数据帧："},
    {"10 02, sender, receiver, length, code, data bytes, 10 03, check byte.",
     "10 02，发送方，接收方，长度，命令码，数据字节，10 03，校验字节。"},
    {"Length = 1 + the number of data bytes. Check byte = XOR of every byte before it.",
     "长度 = 1 + 数据字节数。校验字节 = 之前所有字节的异或值。"},
    {"Words (two bytes) are sent low byte first. Send the next command only after the reply.",
     "字（两个字节）先发送低字节。收到回复后再发送下一条命令。"},
    {"Channels: 0 InA, 1 InB, 2 Out1, 3 Out2, 4 Out3, 5 Out4.",
     "通道：0 InA，1 InB，2 Out1，3 Out2，4 Out3，5 Out4。"},
};
const SheetText kRequestsHead{"Requests", "查询与操作命令"};
const SheetText kParamsHead{"Parameters (the unit answers 01, an acknowledgement)",
                            "参数命令（机器回复 01，表示确认）"};
const SheetText kDataLabel{"data: ", "数据："};
const SheetText kReplyLabel{"reply: ", "回复："};
const SheetText kSeparator{"; ", "；"};
const SheetText kExamplesHead{"Examples: the pictures below show complete frames.",
                              "示例：下图为完整的数据帧。"};

const SheetCode kRequests[] = {
    {0x10, {"Probe", "连接测试"}, {"none", "无"}, {"10", "10"}},
    {0x12, {"Keep alive", "保持连接"}, {"none", "无"}, {"01", "01"}},
    {0x13, {"Identity", "机型识别"}, {"none", "无"}, {"13 with the identity text", "13，附机型文字"}},
    {0x14, {"Current preset", "当前预设"}, {"none", "无"}, {"14 [preset 0..20]", "14 [预设 0..20]"}},
    {0x20,
     {"Recall preset", "调用预设"},
     {"preset 0..20 (0 = factory)", "预设 0..20（0 = 出厂）"},
     {"01", "01"}},
    {0x21, {"Store preset", "储存预设"}, {"preset 1..20", "预设 1..20"}, {"01", "01"}},
    {0x22,
     {"Preset slots", "预设状态"},
     {"none", "无"},
     {"22 with 20 bytes, FF = slot used", "22，附 20 字节，FF = 已储存"}},
    {0x23, {"Factory default", "恢复出厂设置"}, {"none", "无"}, {"01", "01"}},
    {0x27,
     {"Read settings block", "读取参数块"},
     {"block 0..14", "块 0..14"},
     {"24 [block, 50 bytes]", "24 [块，50 字节]"}},
    {0x29,
     {"Preset name", "预设名称"},
     {"index 0..19", "序号 0..19"},
     {"29 [index, 14 name bytes]", "29 [序号，14 字节名称]"}},
    {0x2C,
     {"Lock status", "锁定状态"},
     {"none", "无"},
     {"2C, byte 5 = 1 when the panel is locked", "2C，第 5 字节为 1 表示面板已锁定"}},
    {0x2D,
     {"Unlock panel", "面板解锁"},
     {"0, 4 password bytes", "0，4 字节密码"},
     {"2D [0, 1 right / 0 wrong]", "2D [0，1 正确 / 0 错误]"}},
    {0x2F, {"Lock panel", "面板锁定"}, {"4 password bytes", "4 字节密码"}, {"01", "01"}},
    {0x40, {"Levels", "电平"}, {"none", "无"}, {"40 with the meter levels", "40，附电平值"}},
};

const SheetCode kParams[] = {
    {0x15, {"Delay unit", "延时单位"}, {"0 ms, 1 m, 2 ft", "0 毫秒，1 米，2 英尺"}, {"", ""}},
    {0x26, {"Preset name", "预设名称"}, {"14 name bytes", "14 字节名称"}, {"", ""}},
    {0x30,
     {"Compressor", "压缩器"},
     {"output 2..5; words ratio, attack, release, knee, threshold",
      "输出 2..5；字：比率，启动，释放，拐点，门限"},
     {"", ""}},
    {0x31,
     {"Low-pass", "低通"},
     {"channel; word frequency 0..300; slope (0 = off)", "通道；字：频率 0..300；斜率（0 = 关）"},
     {"", ""}},
    {0x32,
     {"High-pass", "高通"},
     {"channel; word frequency 0..300; slope (0 = off)", "通道；字：频率 0..300；斜率（0 = 关）"},
     {"", ""}},
    {0x33,
     {"EQ band", "参量均衡频段"},
     {"channel, band; words gain, frequency; Q, type, bypass",
      "通道，频段；字：增益，频率；Q 值，类型，旁通"},
     {"", ""}},
    {0x34,
     {"Gain", "增益"},
     {"channel; word 0..400 (280 = 0 dB)", "通道；字 0..400（280 = 0 dB）"},
     {"", ""}},
    {0x35, {"Mute", "静音"}, {"channel; 1 muted, 0 not", "通道；1 静音，0 取消"}, {"", ""}},
    {0x36, {"Polarity", "相位"}, {"channel; 1 inverted, 0 normal", "通道；1 反相，0 正常"}, {"", ""}},
    {0x38,
     {"Delay", "延时"},
     {"channel; word samples (96 per ms)", "通道；字：采样数（每毫秒 96）"},
     {"", ""}},
    {0x39,
     {"Test signal", "测试信号"},
     {"0 analog, 1 pink, 2 white, 3 sine; sine 0..30",
      "0 类比输入，1 粉红噪音，2 白噪音，3 弦波；频率 0..30"},
     {"", ""}},
    {0x3A,
     {"Matrix", "矩阵"},
     {"output 2..5; sources: bit 0 InA, bit 1 InB", "输出 2..5；信号源：位 0 InA，位 1 InB"},
     {"", ""}},
    {0x3B, {"Link", "通道联调"}, {"channel; link mask", "通道；联调掩码"}, {"", ""}},
    {0x3C, {"EQ bypass", "均衡旁通"}, {"channel; 1 bypassed", "通道；1 旁通"}, {"", ""}},
    {0x3D, {"Channel name", "通道名称"}, {"channel; 8 name bytes", "通道；8 字节名称"}, {"", ""}},
    {0x3E,
     {"Gate", "噪声门"},
     {"input 0..1; words attack, release, hold, threshold", "输入 0..1；字：启动，释放，保持，门限"},
     {"", ""}},
    {0x3F,
     {"Limiter", "限幅器"},
     {"output 2..5; words attack, release, knee, threshold", "输出 2..5；字：启动，释放，拐点，门限"},
     {"", ""}},
    {0x41,
     {"Mix level", "混音电平"},
     {"output 2..5, input 0..1; word 0..280 (280 = 0 dB)", "输出 2..5，输入 0..1；字 0..280（280 = 0 dB）"},
     {"", ""}},
    {0x48,
     {"Graphic EQ band", "图示均衡频段"},
     {"input 0..1, band 0..30; word level (120 = 0 dB)", "输入 0..1，频段 0..30；字：电平（120 = 0 dB）"},
     {"", ""}},
    {0x49, {"Graphic EQ bypass", "图示均衡旁通"}, {"input 0..1; 1 bypassed", "输入 0..1；1 旁通"}, {"", ""}},
};

// The RTF of UTF-8 text: ASCII as it is (the control characters escaped), the rest as \u escapes.
std::string RtfEscaped(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        uint32_t cp = c;
        size_t n = 1;
        if (c >= 0xF0 && i + 3 < utf8.size()) {
            cp = (c & 0x07u) << 18 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu) << 12 |
                 (static_cast<unsigned char>(utf8[i + 2]) & 0x3Fu) << 6 |
                 (static_cast<unsigned char>(utf8[i + 3]) & 0x3Fu);
            n = 4;
        } else if (c >= 0xE0 && i + 2 < utf8.size()) {
            cp = (c & 0x0Fu) << 12 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu) << 6 |
                 (static_cast<unsigned char>(utf8[i + 2]) & 0x3Fu);
            n = 3;
        } else if (c >= 0xC0 && i + 1 < utf8.size()) {
            cp = (c & 0x1Fu) << 6 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
            n = 2;
        }
        i += n;
        if (cp == '\\' || cp == '{' || cp == '}') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp <= 0xFFFF) {
            // RTF's \u takes a signed 16-bit number.
            out += "\\u" + std::to_string(static_cast<int16_t>(static_cast<uint16_t>(cp))) + "?";
        } else {
            out += '?';
        }
    }
    return out;
}

} // namespace

std::string ControlCodeSheetRtf(bool english) {
    auto t = [english](const SheetText& s) { return RtfEscaped(english ? s.en : s.zh); };
    std::string r = "{\\rtf1\\ansi\\uc1\\deff0{\\fonttbl{\\f0 Tahoma;}{\\f1 Courier New;}}"
                    "{\\colortbl;\\red31\\green58\\blue92;\\red90\\green102\\blue116;}\\fs18 ";
    auto head = [&](const SheetText& s, int size) {
        r += "\\pard\\b\\cf1\\fs" + std::to_string(size) + " " + t(s) + "\\b0\\cf0\\fs18\\par ";
    };
    auto line = [&](const SheetText& s) { r += t(s) + "\\par "; };
    auto code = [&](const SheetCode& c) {
        char hex[24];
        std::snprintf(hex, sizeof hex, "%02X (%d)", c.code, c.code);
        r += "\\b\\f1 " + std::string(hex) + "\\f0\\tab " + t(c.name) + "\\b0\\par ";
        r += "\\tab\\cf2 " + t(kDataLabel) + t(c.data);
        if (*c.reply.en)
            r += t(kSeparator) + t(kReplyLabel) + t(c.reply);
        r += "\\cf0\\par ";
    };
    r += "\\qc";
    head(kTitle, 32);
    r += "\\ql\\par ";
    head(kConnectionHead, 22);
    for (const SheetText& s : kConnection)
        line(s);
    r += "\\par ";
    head(kFrameHead, 22);
    for (const SheetText& s : kFrame)
        line(s);
    r += "\\par ";
    head(kRequestsHead, 22);
    for (const SheetCode& c : kRequests)
        code(c);
    r += "\\par ";
    head(kParamsHead, 22);
    for (const SheetCode& c : kParams)
        code(c);
    r += "\\par ";
    head(kExamplesHead, 20);
    r += "}";
    return r;
}

} // namespace kv
