// The rich edit: a small RTF reader and writer, and range formatting into a canvas at any resolution.

#include "platform/gui/RichEdit.h"

#include "platform/core/CodePage.h"
#include "platform/gui/Printing.h"
#include "platform/gui/WidgetBridge.h"

#include <QFont>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>

namespace kv {

std::string TRtfParagraph::Text() const {
    std::string s;
    for (const TRtfRun& r : runs)
        s += r.text;
    return s;
}

std::string TRtfDocument::Text() const {
    std::string s;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i)
            s += '\n';
        s += paragraphs[i].Text();
    }
    return s;
}

std::string RtfCodePageName(int cp) {
    switch (cp) {
    case 936:
        return "GBK";
    case 950:
        return "BIG5";
    case 932:
        return "SHIFT_JIS";
    case 949:
        return "CP949";
    case 874:
        return "CP874";
    case 1250:
    case 1251:
    case 1252:
    case 1253:
    case 1254:
    case 1255:
    case 1256:
    case 1257:
    case 1258:
        return "CP" + std::to_string(cp);
    default:
        return "CP1252";
    }
}

namespace {

int CodePageOfCharset(int charset, int documentCodePage) {
    switch (charset) {
    case 134:
        return 936;
    case 136:
        return 950;
    case 128:
        return 932;
    case 129:
        return 949;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    default:
        return documentCodePage;
    }
}

const CodePage& CodePageFor(int cp) {
    static std::map<int, std::unique_ptr<CodePage>> cache;
    auto& slot = cache[cp];
    if (!slot)
        slot = std::make_unique<CodePage>(RtfCodePageName(cp));
    return *slot;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

enum class Dest { Text, FontTable, ColourTable, Skip };

struct State {
    Dest dest = Dest::Text;
    int font = 0;
    int size = 24;
    bool bold = false, italic = false, underline = false;
    int colour = 0;
    TRtfAlign align = TRtfAlign::Left;
    int uc = 1;
};

class Parser {
public:
    explicit Parser(std::string_view in) : FIn(in) {}

    TRtfDocument Run() {
        FDoc.paragraphs.emplace_back();
        FStack.push_back(State());
        while (FPos < FIn.size()) {
            const char c = FIn[FPos];
            if (c == '{') {
                ++FPos;
                Flush();
                FStack.push_back(FStack.back());
            } else if (c == '}') {
                ++FPos;
                Flush();
                EndGroup();
            } else if (c == '\\') {
                ++FPos;
                Control();
            } else if (c == '\r' || c == '\n') {
                ++FPos;
            } else {
                ++FPos;
                Byte(static_cast<unsigned char>(c));
            }
        }
        Flush();
        // A document ends with its last \par: drop the empty paragraph that follows it.
        if (FDoc.paragraphs.size() > 1 && FDoc.paragraphs.back().runs.empty())
            FDoc.paragraphs.pop_back();
        if (FDoc.colours.empty())
            FDoc.colours.push_back(0);
        return std::move(FDoc);
    }

private:
    State& S() { return FStack.back(); }

    void EndGroup() {
        if (S().dest == Dest::FontTable && FFontName.size()) {
            StoreFont();
        }
        if (FStack.size() > 1)
            FStack.pop_back();
    }

    void StoreFont() {
        std::string name = FFontName;
        while (!name.empty() && (name.back() == ';' || name.back() == ' '))
            name.pop_back();
        if (FFontIndex >= 0 && FFontIndex < 4096) {
            if (FDoc.fonts.size() <= static_cast<std::size_t>(FFontIndex))
                FDoc.fonts.resize(static_cast<std::size_t>(FFontIndex) + 1);
            FDoc.fonts[static_cast<std::size_t>(FFontIndex)].name = name;
            FDoc.fonts[static_cast<std::size_t>(FFontIndex)].charset = FFontCharset;
        }
        FFontName.clear();
    }

    int FontCodePage() const {
        const int f = FStack.back().font;
        const int charset = f >= 0 && static_cast<std::size_t>(f) < FDoc.fonts.size()
                                ? FDoc.fonts[static_cast<std::size_t>(f)].charset
                                : 0;
        return CodePageOfCharset(charset, FCodePage);
    }

    void Byte(unsigned char b) {
        if (FSkip > 0) {
            --FSkip;
            return;
        }
        switch (S().dest) {
        case Dest::Text:
            FBytes += static_cast<char>(b);
            break;
        case Dest::FontTable:
            if (b == ';')
                StoreFont();
            else
                FFontName += static_cast<char>(b);
            break;
        case Dest::ColourTable:
            if (b == ';') {
                FDoc.colours.push_back(
                    FColourSet ? (static_cast<std::uint32_t>(FRed) << 16 | FGreen << 8 | FBlue) : 0);
                FRed = FGreen = FBlue = 0;
                FColourSet = false;
            }
            break;
        case Dest::Skip:
            break;
        }
    }

    // Converts the pending code-page bytes and appends them to the current run.
    void Flush() {
        if (FBytes.empty())
            return;
        const std::string text = CodePageFor(FontCodePage()).ToUtf8(FBytes);
        FBytes.clear();
        AppendText(text);
    }

    void AppendText(const std::string& text) {
        if (text.empty() || S().dest != Dest::Text)
            return;
        const State& s = S();
        TRtfRun run;
        run.font = s.font;
        run.sizeHalfPoints = s.size;
        run.bold = s.bold;
        run.italic = s.italic;
        run.underline = s.underline;
        run.colour = s.colour > 0 && static_cast<std::size_t>(s.colour) < FDoc.colours.size()
                         ? FDoc.colours[static_cast<std::size_t>(s.colour)]
                         : 0;
        TRtfParagraph& p = FDoc.paragraphs.back();
        p.align = s.align;
        if (!p.runs.empty()) {
            TRtfRun& last = p.runs.back();
            TRtfRun probe = run;
            probe.text = last.text;
            if (probe == last) {
                last.text += text;
                return;
            }
        }
        run.text = text;
        p.runs.push_back(std::move(run));
    }

    void Unicode(long long n) {
        if (n < 0)
            n += 65536;
        auto cp = static_cast<std::uint32_t>(std::clamp<long long>(n, 0, 0x10FFFF));
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            FHighSurrogate = cp;
        } else {
            if (cp >= 0xDC00 && cp <= 0xDFFF && FHighSurrogate)
                cp = 0x10000 + ((FHighSurrogate - 0xD800) << 10) + (cp - 0xDC00);
            else if (cp >= 0xD800 && cp <= 0xDFFF)
                cp = '?';
            FHighSurrogate = 0;
            Flush();
            std::string s;
            AppendUtf8(s, cp);
            AppendText(s);
        }
        FSkip = S().uc;
    }

    void Paragraph() {
        Flush();
        if (S().dest != Dest::Text)
            return;
        FDoc.paragraphs.back().align = S().align;
        TRtfParagraph next;
        next.align = S().align;
        FDoc.paragraphs.push_back(std::move(next));
    }

    void Control() {
        if (FPos >= FIn.size())
            return;
        const char c = FIn[FPos];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++FPos;
            switch (c) {
            case '\'': {
                int v = 0, digits = 0;
                while (digits < 2 && FPos < FIn.size() &&
                       std::isxdigit(static_cast<unsigned char>(FIn[FPos]))) {
                    const char h = FIn[FPos++];
                    v = v * 16 +
                        (std::isdigit(static_cast<unsigned char>(h)) ? h - '0' : (h | 0x20) - 'a' + 10);
                    ++digits;
                }
                if (digits)
                    Byte(static_cast<unsigned char>(v));
                break;
            }
            case '\\':
            case '{':
            case '}':
                Byte(static_cast<unsigned char>(c));
                break;
            case '~':
                Byte(0xA0);
                break;
            case '*':
                FStarred = true;
                return;
            case '\r':
            case '\n':
                Paragraph();
                break;
            case '\t':
                Byte('\t');
                break;
            default:
                break; // \- \_ \| \: and others: nothing to show
            }
            FStarred = false;
            return;
        }
        std::string word;
        while (FPos < FIn.size() && std::isalpha(static_cast<unsigned char>(FIn[FPos])) && word.size() < 32)
            word += FIn[FPos++];
        while (FPos < FIn.size() && std::isalpha(static_cast<unsigned char>(FIn[FPos])))
            ++FPos; // overlong words are cut
        bool hasParam = false;
        long long param = 0;
        bool negative = false;
        if (FPos < FIn.size() && FIn[FPos] == '-' && FPos + 1 < FIn.size() &&
            std::isdigit(static_cast<unsigned char>(FIn[FPos + 1]))) {
            negative = true;
            ++FPos;
        }
        int digits = 0;
        while (FPos < FIn.size() && std::isdigit(static_cast<unsigned char>(FIn[FPos]))) {
            if (digits < 10)
                param = param * 10 + (FIn[FPos] - '0');
            ++digits;
            ++FPos;
            hasParam = true;
        }
        if (negative)
            param = -param;
        if (FPos < FIn.size() && FIn[FPos] == ' ')
            ++FPos;
        const bool starred = FStarred;
        FStarred = false;
        Word(word, hasParam, param, starred);
    }

    void Word(const std::string& w, bool hasParam, long long p, bool starred) {
        State& s = S();
        const int ip = static_cast<int>(std::clamp<long long>(p, -1000000, 1000000));
        // A skipped fallback character may be a control word too.
        if (FSkip > 0 && w != "u") {
            --FSkip;
            return;
        }
        if (w == "fonttbl") {
            s.dest = Dest::FontTable;
            FFontName.clear();
        } else if (w == "colortbl") {
            s.dest = Dest::ColourTable;
        } else if (w == "ansicpg") {
            if (hasParam)
                FCodePage = ip;
        } else if (w == "f") {
            if (s.dest == Dest::FontTable) {
                if (!FFontName.empty())
                    StoreFont();
                FFontIndex = ip;
                FFontCharset = 0;
            } else {
                Flush();
                s.font = ip;
            }
        } else if (w == "fcharset") {
            FFontCharset = ip;
        } else if (w == "red") {
            FRed = static_cast<std::uint32_t>(std::clamp(ip, 0, 255));
            FColourSet = true;
        } else if (w == "green") {
            FGreen = static_cast<std::uint32_t>(std::clamp(ip, 0, 255));
            FColourSet = true;
        } else if (w == "blue") {
            FBlue = static_cast<std::uint32_t>(std::clamp(ip, 0, 255));
            FColourSet = true;
        } else if (w == "par") {
            Paragraph();
        } else if (w == "line") {
            Flush();
            AppendText("\n");
        } else if (w == "tab") {
            Flush();
            AppendText("\t");
        } else if (w == "pard") {
            Flush();
            s.align = TRtfAlign::Left;
        } else if (w == "ql" || w == "qc" || w == "qr" || w == "qj") {
            Flush();
            s.align = w == "qc"   ? TRtfAlign::Center
                      : w == "qr" ? TRtfAlign::Right
                      : w == "qj" ? TRtfAlign::Justify
                                  : TRtfAlign::Left;
            if (s.dest == Dest::Text)
                FDoc.paragraphs.back().align = s.align;
        } else if (w == "plain") {
            Flush();
            s.bold = s.italic = s.underline = false;
            s.size = 24;
            s.colour = 0;
            s.font = FDefaultFont;
        } else if (w == "deff") {
            FDefaultFont = ip;
            s.font = ip;
        } else if (w == "b" || w == "i" || w == "ul" || w == "ulnone") {
            Flush();
            const bool on = w != "ulnone" && (!hasParam || p != 0);
            if (w == "b")
                s.bold = on;
            else if (w == "i")
                s.italic = on;
            else
                s.underline = on;
        } else if (w == "fs") {
            Flush();
            s.size = hasParam && ip > 0 ? std::min(ip, 3276) : 24;
        } else if (w == "cf") {
            Flush();
            s.colour = std::max(0, ip);
        } else if (w == "uc") {
            s.uc = std::clamp(ip, 0, 16);
        } else if (w == "u") {
            if (hasParam && s.dest == Dest::Text)
                Unicode(p);
        } else if (w == "emdash" || w == "endash" || w == "bullet" || w == "lquote" || w == "rquote" ||
                   w == "ldblquote" || w == "rdblquote") {
            const std::uint32_t cp = w == "emdash"      ? 0x2014
                                     : w == "endash"    ? 0x2013
                                     : w == "bullet"    ? 0x2022
                                     : w == "lquote"    ? 0x2018
                                     : w == "rquote"    ? 0x2019
                                     : w == "ldblquote" ? 0x201C
                                                        : 0x201D;
            Flush();
            std::string t;
            AppendUtf8(t, cp);
            AppendText(t);
        } else if (starred || w == "stylesheet" || w == "info" || w == "pict" || w == "header" ||
                   w == "footer" || w == "object" || w == "listtable" || w == "listoverridetable" ||
                   w == "rsidtbl" || w == "generator" || w == "themedata" || w == "xmlnstbl" ||
                   w == "mmathPr" || w == "latentstyles" || w == "filetbl" || w == "revtbl" ||
                   w == "pntext" || w == "fldinst" || w == "nonshppict") {
            Flush();
            s.dest = Dest::Skip;
        }
    }

    std::string_view FIn;
    std::size_t FPos = 0;
    std::vector<State> FStack;
    TRtfDocument FDoc;
    std::string FBytes;
    int FCodePage = 1252;
    int FDefaultFont = 0;
    int FSkip = 0;
    bool FStarred = false;
    std::uint32_t FHighSurrogate = 0;
    std::string FFontName;
    int FFontIndex = 0;
    int FFontCharset = 0;
    std::uint32_t FRed = 0, FGreen = 0, FBlue = 0;
    bool FColourSet = false;
};

TRtfDocument PlainDocument(std::string_view text) {
    TRtfDocument doc;
    doc.colours.push_back(0);
    doc.fonts.push_back({"Tahoma", 0});
    std::size_t pos = 0;
    while (true) {
        const auto nl = text.find('\n', pos);
        std::string line(text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        TRtfParagraph p;
        if (!line.empty()) {
            TRtfRun r;
            r.text = line;
            r.sizeHalfPoints = 20;
            p.runs.push_back(std::move(r));
        }
        doc.paragraphs.push_back(std::move(p));
        if (nl == std::string_view::npos)
            break;
        pos = nl + 1;
    }
    return doc;
}

} // namespace

TRtfDocument ParseRtf(std::string_view rtf) {
    std::size_t start = 0;
    while (start < rtf.size() && std::isspace(static_cast<unsigned char>(rtf[start])))
        ++start;
    if (rtf.substr(start, 5) != "{\\rtf") {
        // Not rich text: plain lines, taken as UTF-8 when they are, else in the system code page.
        const QString q = QString::fromUtf8(rtf.data(), static_cast<qsizetype>(rtf.size()));
        const bool utf8 = q.toUtf8().toStdString() == std::string(rtf);
        return PlainDocument(utf8 ? std::string(rtf) : FromAnsi(rtf));
    }
    return Parser(rtf).Run();
}

std::string WriteRtf(const TRtfDocument& doc) {
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
    const std::vector<TRtfFont> fonts = doc.fonts.empty() ? std::vector<TRtfFont>{{"Tahoma", 0}} : doc.fonts;
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        // Font names are code-page bytes; characters that would end the entry are left out.
        std::string name;
        for (char ch : fonts[i].name) {
            const auto b = static_cast<unsigned char>(ch);
            if (b < 0x20 || ch == '{' || ch == '}' || ch == ';' || ch == '\\')
                continue;
            if (b >= 0x80) {
                static const char hex[] = "0123456789abcdef";
                name += "\\'";
                name += hex[b >> 4];
                name += hex[b & 15];
            } else {
                name += ch;
            }
        }
        out +=
            "{\\f" + std::to_string(i) + "\\fcharset" + std::to_string(fonts[i].charset) + " " + name + ";}";
    }
    out += "}{\\colortbl ;";
    std::vector<std::uint32_t> colours = {0};
    auto colourIndex = [&](std::uint32_t c) {
        for (std::size_t i = 1; i < colours.size(); ++i)
            if (colours[i] == c)
                return static_cast<int>(i);
        colours.push_back(c);
        return static_cast<int>(colours.size() - 1);
    };
    std::string body;
    for (const TRtfParagraph& p : doc.paragraphs) {
        body += "\\pard";
        body += p.align == TRtfAlign::Center    ? "\\qc"
                : p.align == TRtfAlign::Right   ? "\\qr"
                : p.align == TRtfAlign::Justify ? "\\qj"
                                                : "";
        body += ' ';
        for (const TRtfRun& r : p.runs) {
            body += "{\\f" + std::to_string(r.font) + "\\fs" + std::to_string(r.sizeHalfPoints);
            if (r.bold)
                body += "\\b";
            if (r.italic)
                body += "\\i";
            if (r.underline)
                body += "\\ul";
            if (r.colour)
                body += "\\cf" + std::to_string(colourIndex(r.colour));
            body += ' ';
            const QString q = QString::fromUtf8(r.text.data(), static_cast<qsizetype>(r.text.size()));
            for (QChar ch : q) {
                const char16_t u = ch.unicode();
                if (u == '\\' || u == '{' || u == '}') {
                    body += '\\';
                    body += static_cast<char>(u);
                } else if (u == '\n') {
                    body += "\\line ";
                } else if (u == '\t') {
                    body += "\\tab ";
                } else if (u < 0x20) {
                    static const char hex[] = "0123456789abcdef";
                    body += "\\'";
                    body += hex[u >> 4];
                    body += hex[u & 15];
                } else if (u < 0x80) {
                    body += static_cast<char>(u);
                } else {
                    body += "\\u" + std::to_string(static_cast<std::int16_t>(u)) + "?";
                }
            }
            body += '}';
        }
        body += "\\par\r\n";
    }
    for (std::size_t i = 1; i < colours.size(); ++i)
        out += "\\red" + std::to_string((colours[i] >> 16) & 0xFF) + "\\green" +
               std::to_string((colours[i] >> 8) & 0xFF) + "\\blue" + std::to_string(colours[i] & 0xFF) + ";";
    out += "}\r\n" + body + "}";
    return out;
}

// ---------------------------------------------------------------------------------------------------
// TRichEdit

KV_REGISTER_CLASS(TRichEdit, TWinControl, b) {
    b.Prop("PlainText", &TRichEdit::PlainText, &TRichEdit::SetPlainText).Default(false);
    b.Prop("WordWrap", &TRichEdit::WordWrap, &TRichEdit::SetWordWrap).Default(true);
}

TRichEdit::TRichEdit(TComponent* owner)
    : TWinControl(owner, &NewBridge<QWidget>), FLines(std::make_unique<TStrings>()) {
    FLines->OnChange = [this](TObject*) { LinesChanged(); };
    SetVisible(false);
}

TRichEdit::~TRichEdit() {
    FLines->OnChange = nullptr;
}

void TRichEdit::LinesChanged() {
    if (FSyncing)
        return;
    TRtfDocument doc = PlainDocument(FLines->Text());
    if (FLines->Count() == 0)
        doc.paragraphs.clear();
    FDocument = std::move(doc);
}

void TRichEdit::SetDocument(TRtfDocument doc) {
    FDocument = std::move(doc);
    FSyncing = true;
    FLines->BeginUpdate();
    FLines->Clear();
    for (const TRtfParagraph& p : FDocument.paragraphs)
        FLines->Add(p.Text());
    FLines->EndUpdate();
    FSyncing = false;
}

void TRichEdit::LoadFromBytes(const std::string& bytes) {
    SetDocument(FPlainText ? PlainDocument(bytes) : ParseRtf(bytes));
}

std::string TRichEdit::SaveToBytes() const {
    return WriteRtf(FDocument);
}

TRect TRichEdit::TwipsRect(const TRect& r, int dpiX, int dpiY) {
    const double dx = dpiX == 0 ? 96.0 : dpiX, dy = dpiY == 0 ? 96.0 : dpiY;
    TRect t;
    t.Left = static_cast<int>(std::nearbyint((r.Left + 1) / dx * 1440));
    t.Top = static_cast<int>(std::nearbyint((r.Top + 1) / dy * 1440));
    t.Right = t.Left + static_cast<int>(std::nearbyint((r.Right - r.Left - 1) / dx * 1440));
    t.Bottom = t.Top + static_cast<int>(std::nearbyint((r.Bottom - r.Top - 1) / dy * 1440));
    return t;
}

namespace {

struct Laid {
    std::unique_ptr<QTextLayout> layout;
    TRtfAlign align = TRtfAlign::Left;
    int firstChar = 0; // document character index of the paragraph's start
};

QFont RunFont(const TRtfDocument& doc, const TRtfRun& r, int dpiY) {
    QFont f;
    const std::string name = r.font >= 0 && static_cast<std::size_t>(r.font) < doc.fonts.size()
                                 ? doc.fonts[static_cast<std::size_t>(r.font)].name
                                 : std::string("Tahoma");
    f.setFamilies({QString::fromStdString(SubstituteFontFamily(name.empty() ? "Tahoma" : name)),
                   QStringLiteral("WenQuanYi Micro Hei")});
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(r.sizeHalfPoints / 2.0 * dpiY / 72.0))));
    f.setBold(r.bold);
    f.setItalic(r.italic);
    f.setUnderline(r.underline);
    f.setKerning(false);
    return f;
}

} // namespace

int TRichEdit::FormatRange(const TFormatRange& range, bool render) {
    // The release call (no range, no drawing): nothing is cached between calls here.
    if (!render && range.rcTwips == TRect{})
        return 0;
    const int dpiX = range.dpiX > 0 ? range.dpiX : 96, dpiY = range.dpiY > 0 ? range.dpiY : 96;
    const QRectF box(range.rcTwips.Left * dpiX / 1440.0, range.rcTwips.Top * dpiY / 1440.0,
                     (range.rcTwips.Right - range.rcTwips.Left) * dpiX / 1440.0,
                     (range.rcTwips.Bottom - range.rcTwips.Top) * dpiY / 1440.0);
    std::unique_ptr<QPainter> own;
    QPainter* painter = nullptr;
    if (render && range.target && !range.target->isNull()) {
        own = std::make_unique<QPainter>(range.target);
        painter = own.get();
    } else if (render && range.painter) {
        painter = range.painter;
    }
    if (painter) {
        painter->save();
        painter->setClipRect(box, Qt::IntersectClip);
    }
    struct Restore {
        QPainter* p;
        ~Restore() {
            if (p)
                p->restore();
        }
    } restore{painter};
    double y = box.top();
    int charIndex = 0;
    for (const TRtfParagraph& p : FDocument.paragraphs) {
        const QString text = QString::fromStdString(p.Text());
        const int paraStart = charIndex;
        charIndex += static_cast<int>(text.size()) + 1; // the paragraph mark
        if (range.cpMax >= 0 && paraStart >= range.cpMax)
            break;
        if (charIndex <= range.cpMin)
            continue;
        QTextLayout layout(text);
        QList<QTextLayout::FormatRange> formats;
        int at = 0;
        QFont paraFont =
            p.runs.empty() ? RunFont(FDocument, TRtfRun(), dpiY) : RunFont(FDocument, p.runs.front(), dpiY);
        for (const TRtfRun& r : p.runs) {
            const int len = static_cast<int>(QString::fromStdString(r.text).size());
            QTextLayout::FormatRange fr;
            fr.start = at;
            fr.length = len;
            fr.format.setFont(RunFont(FDocument, r, dpiY));
            fr.format.setForeground(QColor::fromRgb(static_cast<QRgb>(r.colour | 0xFF000000u)));
            formats.push_back(fr);
            at += len;
        }
        layout.setFont(paraFont);
        layout.setFormats(formats);
        QTextOption opt;
        opt.setWrapMode(FWordWrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
        layout.setTextOption(opt);
        layout.beginLayout();
        while (true) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(FWordWrap ? box.width() : 1e6);
        }
        layout.endLayout();
        const double emptyHeight = QFontMetricsF(paraFont).height();
        if (layout.lineCount() == 0) {
            y += emptyHeight;
            continue;
        }
        for (int i = 0; i < layout.lineCount(); ++i) {
            QTextLine line = layout.lineAt(i);
            if (paraStart + line.textStart() + line.textLength() <= range.cpMin && range.cpMin > paraStart)
                continue;
            if (y + line.height() > box.bottom() + 0.5 && y > box.top())
                return paraStart + line.textStart();
            double x = box.left();
            const double w = line.naturalTextWidth();
            if (p.align == TRtfAlign::Center)
                x += (box.width() - w) / 2;
            else if (p.align == TRtfAlign::Right)
                x += box.width() - w;
            if (painter) {
                line.setPosition(QPointF(0, 0));
                line.draw(painter, QPointF(x, y));
            }
            y += line.height();
        }
    }
    return charIndex;
}

bool TRichEdit::Print(const std::string& caption) {
    int next = 0;
    const int total = [&] {
        int n = 0;
        for (const TRtfParagraph& p : FDocument.paragraphs)
            n += static_cast<int>(QString::fromStdString(p.Text()).size()) + 1;
        return n;
    }();
    return PrintJob(caption, [&](TPrintPage& page, int) {
        TFormatRange r;
        r.painter = page.painter;
        r.dpiX = page.dpiX;
        r.dpiY = page.dpiY;
        r.rcTwips = {page.pageRect.left() * 1440 / std::max(1, page.dpiX),
                     page.pageRect.top() * 1440 / std::max(1, page.dpiY),
                     page.pageRect.right() * 1440 / std::max(1, page.dpiX),
                     page.pageRect.bottom() * 1440 / std::max(1, page.dpiY)};
        r.rcPageTwips = r.rcTwips;
        r.cpMin = next;
        const int after = FormatRange(r, true);
        if (after <= next) // nothing fitted: stop rather than loop
            return false;
        next = after;
        return next < total;
    });
}
} // namespace kv
