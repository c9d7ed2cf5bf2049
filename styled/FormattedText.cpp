#include "styled/FormattedText.h"

#include "styled/PictureContainer.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstring>
#include <memory>

namespace kv {

namespace {

struct TEntity {
    const char* name;
    const char* text;
};
// Replaced once for the whole text, repeatedly, before it is laid out.
constexpr std::array<TEntity, 9> kEntities{{{"&amp;", "&"},
                                            {"&quot;", "\""},
                                            {"&sect;", "\xC2\xA7"},
                                            {"&permil;", "\xE2\x80\xB0"},
                                            {"&reg;", "\xC2\xAE"},
                                            {"&copy;", "\xC2\xA9"},
                                            {"&para;", "\xC2\xB6"},
                                            {"&trade;", "\xE2\x84\xA2"},
                                            {"&euro;", "\xE2\x82\xAC"}}};

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

void ReplaceAll(std::string& s, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t at = 0, pos = 0;
    while ((pos = s.find(from, at)) != std::string::npos) {
        out.append(s, at, pos - at);
        out.append(to);
        at = pos + from.size();
    }
    out.append(s, at, std::string::npos);
    s.swap(out);
}

// The leading integer of a text ("12px" gives 12); 0 when there is none.
int LeadingInt(std::string_view s, bool* ok = nullptr) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '"'))
        ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        neg = s[i] == '-';
        ++i;
    }
    long long v = 0;
    bool any = false;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        v = std::min(v * 10 + (s[i] - '0'), 100000000LL);
        any = true;
        ++i;
    }
    if (ok)
        *ok = any;
    return static_cast<int>(neg ? -v : v);
}

// Finds attribute `name` (upper case) in the tag: a whole word preceded by a blank.
std::size_t FindAttr(const std::string& upperTag, const std::string& name) {
    std::size_t pos = 0;
    while ((pos = upperTag.find(name, pos)) != std::string::npos) {
        const bool startOk = pos > 0 && std::isspace(static_cast<unsigned char>(upperTag[pos - 1]));
        const std::size_t end = pos + name.size();
        const bool endOk = end >= upperTag.size() || upperTag[end] == '=' ||
                           std::isspace(static_cast<unsigned char>(upperTag[end]));
        if (startOk && endOk)
            return pos;
        pos = end;
    }
    return std::string::npos;
}

// The quoted value of an attribute: between the quotes that follow its "=" (an unquoted value gives
// nothing).
bool AttrValue(const std::string& tag, const std::string& upperTag, const std::string& name,
               std::string& value) {
    std::size_t pos = FindAttr(upperTag, name);
    if (pos == std::string::npos)
        return false;
    pos += name.size();
    while (pos < tag.size() && tag[pos] == ' ')
        ++pos;
    if (pos >= tag.size() || tag[pos] != '=')
        return false;
    ++pos;
    while (pos < tag.size() && tag[pos] == ' ')
        ++pos;
    if (pos >= tag.size() || tag[pos] != '"')
        return false;
    const std::size_t close = tag.find('"', pos + 1);
    if (close == std::string::npos)
        return false;
    value = tag.substr(pos + 1, close - pos - 1);
    return true;
}

// The number after an attribute's "=", quoted or not.
bool AttrNumber(const std::string& upperTag, const std::string& name, int& value) {
    std::size_t pos = FindAttr(upperTag, name);
    if (pos == std::string::npos)
        return false;
    pos = upperTag.find('=', pos);
    if (pos == std::string::npos)
        return false;
    bool ok = false;
    value = LeadingInt(std::string_view(upperTag).substr(pos + 1), &ok);
    return ok;
}

TColor AttrColor(const std::string& value) {
    if (!value.empty() && value[0] == '#')
        return HexToColor(value);
    return ColorFromName(value);
}

enum class TLineAlign { Left, Right, Center };

// Everything a line can change that the next line starts from.
struct TState {
    TFont font;
    TColor bk = clNone;
    TColor bkBeforeFont = clNone, bkBeforeLink = clNone, bkBeforeHighlight = clNone;
    TColor colorBeforeHighlight = clNone;
    bool sup = false, sub = false, shadow = false, hidden = false, error = false, inLink = false;
    std::string link;
    int linkIndex = -1;
    int linkCount = 0;
    int listDepth = 0;
    TLineAlign align = TLineAlign::Left;
    int indent = 0;
    int xOffset = 0;

    void Assign(const TState& o) {
        font.Assign(&o.font);
        bk = o.bk;
        bkBeforeFont = o.bkBeforeFont;
        bkBeforeLink = o.bkBeforeLink;
        bkBeforeHighlight = o.bkBeforeHighlight;
        colorBeforeHighlight = o.colorBeforeHighlight;
        sup = o.sup;
        sub = o.sub;
        shadow = o.shadow;
        hidden = o.hidden;
        error = o.error;
        inLink = o.inLink;
        link = o.link;
        linkIndex = o.linkIndex;
        linkCount = o.linkCount;
        listDepth = o.listDepth;
        align = o.align;
        indent = o.indent;
        xOffset = o.xOffset;
    }
};

void SetStyle(TFont& f, TFontStyle s, bool on) {
    TFontStyles st = f.Style();
    if (on)
        st.Include(s);
    else
        st.Exclude(s);
    f.SetStyle(st);
}

// What measuring one line gives.
struct TLine {
    std::string part; // the text the line consumed
    int width = 0;
    int height = 0;
    int supExtra = 0, subExtra = 0;
    int imageOffset = 0;
};

class TRenderer {
public:
    TRenderer(const TFormattedTextParams& p, TFormattedTextResult& r) : P(p), R(r) { FBase.Assign(p.Font); }

    void Run() {
        std::string text = Prepare(P.Text);
        TState state;
        state.font.Assign(P.Font);
        TRect box = P.Rect;
        box.Left += 1;
        int total = 0, widest = 0;
        bool anyLine = false;
        while (!text.empty()) {
            TState start;
            start.Assign(state);
            const int ghStart = TextHeight("gh", state.font);
            TLine line;
            line.height = ghStart;
            MeasureLine(state, text, box, line);
            anyLine = true;
            if (!text.empty())
                line.height += P.LineSpacing;
            TRect lb = box;
            if (state.align == TLineAlign::Right && box.Right - line.width > box.Left)
                lb.Left = box.Right - line.width;
            else if (state.align == TLineAlign::Center && box.Right - box.Left - line.width > 0)
                lb.Left = box.Left + (box.Right - box.Left - line.width) / 2;
            lb.Left += state.indent;
            lb.Bottom = lb.Top + line.height + line.supExtra + line.subExtra;
            widest = std::max(widest, line.width);
            if (!P.MeasureOnly)
                DrawLine(start, line, lb);
            const int step = line.height + line.supExtra + line.subExtra;
            box.Top += step;
            total += step;
            if (!P.MeasureOnly && box.Bottom < box.Top + ghStart)
                break;
        }
        R.Width = widest + 2;
        R.Height = (anyLine ? total : TextHeight("gh", FBase)) + 2;
        R.LinkCount = state.linkCount;
    }

private:
    static std::string Prepare(const std::string& in) {
        std::string s = in.find('&') != std::string::npos ? ReplaceTextEntities(in) : in;
        const std::size_t open = s.find("<#");
        if (open != std::string::npos) {
            const std::size_t close = s.find('>', open + 2);
            if (close != std::string::npos)
                s.erase(close, 1);
            s.erase(open, 1);
        }
        std::string out;
        out.reserve(s.size());
        for (char c : s) {
            if (c == '\r')
                out += "<BR>";
            else if (c != '\n')
                out += c;
        }
        return out;
    }

    int TextHeight(const std::string& s, const TFont& f) const {
        return P.Graphics ? P.Graphics->TextHeight(s, &f) : 0;
    }

    // Width and height of a run in the font, through the layer's text measurement.
    TSize Measure(const std::string& run, const TFont& f) const {
        if (!P.Graphics)
            return {};
        TRect r{0, 0, 0, 0};
        P.Graphics->DrawText(run, -1, r, &f, DT_CALCRECT, clNone);
        return {std::max(0, r.Width()), std::max(0, r.Height())};
    }

    static std::string RunEntities(std::string run) {
        if (run.find('&') == std::string::npos)
            return run;
        ReplaceAll(run, "&nbsp;", " ");
        ReplaceAll(run, "&lt;", "<");
        ReplaceAll(run, "&gt;", ">");
        return run;
    }

    // Takes the next run (a word with its trailing blank when wrapping) off the front of the text.
    std::size_t RunLength(const std::string& text, std::size_t from) const {
        std::size_t lt = text.find('<', from);
        if (lt == std::string::npos)
            lt = text.size();
        if (P.WordWrap) {
            const std::size_t sp = text.find(' ', from);
            if (sp != std::string::npos && sp < lt)
                return sp + 1 - from;
        }
        return lt - from;
    }

    void RunHeights(TState& st, int h, TLine& line) const {
        line.height = std::max(line.height, h);
        if (st.sup && line.supExtra < h / 4)
            line.supExtra = h / 2;
        if (st.sub && line.subExtra < h / 4)
            line.subExtra = h / 2;
    }

    void CheckHit(const TState& st, const TRect& r) {
        if (!st.inLink)
            return;
        if (P.HitX >= r.Left && P.HitX < r.Right && P.HitY >= r.Top && P.HitY < r.Bottom) {
            R.OnLink = true;
            R.HitLink = st.link;
            R.HitLinkIndex = st.linkIndex;
            R.HitLinkRect = r;
        }
    }

    // Lays out one line of the remaining text in measure mode; the consumed part goes to line.part.
    void MeasureLine(TState& st, std::string& text, const TRect& box, TLine& line) {
        const int boxWidth = box.Right - box.Left;
        int pen = st.xOffset;
        line.width = st.xOffset;
        bool liOnLine = false;
        std::size_t pos = 0;
        const std::size_t n = text.size();
        std::string lineText;
        bool ended = false;
        while (pos < n && !ended) {
            if (text[pos] != '<') {
                const std::size_t len = RunLength(text, pos);
                const std::string raw = text.substr(pos, len);
                const std::string run = RunEntities(raw);
                if (run.empty()) {
                    pos += len;
                    continue;
                }
                const TSize sz = Measure(run, st.font);
                if (st.hidden) {
                    R.PlainText += run;
                    RunHeights(st, sz.cy, line);
                    pos += len;
                    continue;
                }
                const int w = run == " " ? 0 : sz.cx;
                const bool fits = !(line.width + w > boxWidth - st.xOffset && w < boxWidth);
                const bool endsWithSpace = !lineText.empty() && lineText.back() == ' ';
                if (P.WordWrap && !fits && endsWithSpace) {
                    ended = true; // the word starts the next line
                    break;
                }
                RunHeights(st, sz.cy, line);
                R.PlainText += run;
                CheckHit(st, TRect{box.Left + pen, box.Top, box.Left + pen + w, box.Top + line.height});
                line.width += w;
                pen += w;
                lineText += run;
                pos += len;
                continue;
            }
            // A tag.
            if (n - pos < 3) {
                pos = n;
                break;
            }
            const std::size_t gt = text.find('>', pos);
            if (gt == std::string::npos) {
                pos = n;
                break;
            }
            const std::string tag = text.substr(pos + 1, gt - pos - 1);
            const std::string up = Upper(tag);
            const bool consumedSomething = pos > 0;
            // A second list item or an image that does not fit ends the line before it.
            if (!up.empty() && up[0] == 'L' && liOnLine && consumedSomething) {
                ended = true;
                break;
            }
            if (up.rfind("IM", 0) == 0 && consumedSomething) {
                TSize isz = ImageSize(tag, up);
                if (pen + isz.cx > boxWidth && isz.cx < boxWidth) {
                    ended = true;
                    break;
                }
            }
            if (!up.empty() && up[0] == 'L')
                liOnLine = true;
            pos = gt + 1;
            if (ApplyTag(st, tag, up, true, box, pen, line, nullptr))
                ended = true;
        }
        line.part = text.substr(0, pos);
        text.erase(0, pos);
    }

    // Draws a line measured before, starting from the state at its start.
    void DrawLine(const TState& start, const TLine& measured, const TRect& lb) {
        TState st;
        st.Assign(start);
        TLine line = measured;
        int pen = st.xOffset;
        const std::string& text = measured.part;
        std::size_t pos = 0;
        const std::size_t n = text.size();
        while (pos < n) {
            if (text[pos] != '<') {
                const std::size_t len = RunLength(text, pos);
                const std::string run = RunEntities(text.substr(pos, len));
                pos += len;
                if (run.empty() || st.hidden)
                    continue;
                const TSize sz = Measure(run, st.font);
                const int top = lb.Top + line.imageOffset + (st.sup ? -line.supExtra / 2 : 0) +
                                (st.sub ? line.subExtra / 2 : 0) + line.supExtra;
                const int x = lb.Left + pen;
                if (run != " ") {
                    std::string shown = run;
                    // An underlined word followed by more words of the link: "_" bridges the gap.
                    if (st.font.Style().Contains(TFontStyle::fsUnderline) && st.inLink && run.back() == ' ' &&
                        pos < n && text[pos] != '<')
                        shown += "_";
                    if (st.shadow) {
                        TFont sf;
                        sf.Assign(&st.font);
                        sf.SetColor(P.ShadowColor);
                        TRect sr{x + P.ShadowOffset, top + P.ShadowOffset, x + P.ShadowOffset,
                                 top + P.ShadowOffset};
                        P.Graphics->DrawText(shown, -1, sr, &sf, 0, st.bk);
                    }
                    TRect r{x, top, x, top};
                    P.Graphics->DrawText(shown, -1, r, &st.font, 0, st.bk);
                    if (st.error) {
                        TGPPen red(ColorToOpaqueARGB(clRed), 1.0f);
                        const int b = top + sz.cy - 1;
                        for (int zx = x, k = 0; zx < x + sz.cx; zx += 2, ++k)
                            P.Graphics->DrawLine(&red, zx, k % 2 ? b - 2 : b, zx + 2, k % 2 ? b : b - 2);
                    }
                }
                CheckHit(st, TRect{x, lb.Top, x + sz.cx, lb.Bottom});
                pen += sz.cx;
                continue;
            }
            const std::size_t gt = text.find('>', pos);
            if (n - pos < 3 || gt == std::string::npos)
                break;
            const std::string tag = text.substr(pos + 1, gt - pos - 1);
            pos = gt + 1;
            ApplyTag(st, tag, Upper(tag), false, lb, pen, line, &lb);
        }
    }

    TSize ImageSize(const std::string& tag, const std::string& up) const {
        std::string src;
        AttrValue(tag, up, "SRC", src);
        int w = 0, h = 0;
        const bool hasW = AttrNumber(up, "WIDTH", w), hasH = AttrNumber(up, "HEIGHT", h);
        const std::string usrc = Upper(src);
        if (usrc.rfind("IDX:", 0) == 0) {
            const int idx = LeadingInt(std::string_view(src).substr(4));
            if (P.Images && idx >= 0 && idx < P.Images->Count())
                return {P.Images->Width(), P.Images->Height()};
            return {};
        }
        if (usrc.rfind("SSYS:", 0) == 0 || usrc.rfind("LSYS:", 0) == 0) {
            const int s = usrc[0] == 'L' ? 32 : 16;
            const double k = P.ScaledIcons ? P.ImageScale : 1.0;
            return {static_cast<int>(s * k), static_cast<int>(s * k)};
        }
        if (src.find(':') == std::string::npos && P.Container) {
            if (TStGDIPPicture* pic = P.Container->FindPicture(src)) {
                if (hasW && hasH && w > 0 && h > 0)
                    return {w, h};
                pic->GetImageSizes();
                return {pic->Width(), pic->Height()};
            }
        }
        return {};
    }

    void DrawImage(const std::string& tag, const std::string& up, int x, int y, TSize sz) {
        std::string src;
        AttrValue(tag, up, "SRC", src);
        const std::string usrc = Upper(src);
        if (usrc.rfind("IDX:", 0) == 0) {
            const int idx = LeadingInt(std::string_view(src).substr(4));
            if (P.Images && idx >= 0 && idx < P.Images->Count() && !P.ScaledIcons) {
                if (TCanvas* c = P.Graphics->GetHDC()) {
                    P.Images->Draw(*c, x, y, idx, true);
                    P.Graphics->ReleaseHDC(c);
                }
            }
            return;
        }
        if (usrc.rfind("SSYS:", 0) == 0 || usrc.rfind("LSYS:", 0) == 0) {
            DrawShellIcon(P.Graphics, src.substr(5), usrc[0] == 'L', x, y, P.ImageScale, P.ScaledIcons,
                          nullptr);
            return;
        }
        if (src.find(':') == std::string::npos && P.Container)
            if (TStGDIPPicture* pic = P.Container->FindPicture(src))
                pic->GDIPDraw(P.Graphics, TRect{x, y, x + sz.cx, y + sz.cy});
    }

    // Applies one tag; true when it ends the line.
    bool ApplyTag(TState& st, const std::string& tag, const std::string& up, bool measure, const TRect& box,
                  int& pen, TLine& line, const TRect* drawBox) {
        if (up.empty())
            return false;
        const bool colours = !P.IgnoreColors;
        if (up[0] == '/') {
            const std::string name = up.substr(1);
            if (name.empty())
                return false;
            switch (name[0]) {
            case 'A':
                SetStyle(st.font, TFontStyle::fsUnderline, false);
                st.bk = st.bkBeforeLink;
                if (colours)
                    st.font.SetColor(FBase.Color());
                st.inLink = false;
                return false;
            case 'B':
                if (name == "B")
                    SetStyle(st.font, TFontStyle::fsBold, false);
                else
                    st.font.SetColor(FBase.Color());
                return false;
            case 'E':
                if (!measure)
                    st.error = false;
                return false;
            case 'F':
                st.font.SetName(FBase.Name());
                st.font.SetHeight(FBase.Height());
                if (!measure && colours) {
                    st.font.SetColor(FBase.Color());
                    st.bk = st.bkBeforeFont;
                }
                return false;
            case 'H':
                if (!measure) {
                    st.bk = st.bkBeforeHighlight;
                    st.font.SetColor(st.colorBeforeHighlight);
                }
                return false;
            case 'I':
                SetStyle(st.font, TFontStyle::fsItalic, false);
                return false;
            case 'L':
                return true;
            case 'O':
                st.xOffset = 0;
                return false;
            case 'P':
                st.bk = st.bkBeforeFont;
                R.PlainText += '\r';
                return true;
            case 'S':
                if (name.rfind("SH", 0) == 0)
                    st.shadow = false;
                else if (name.rfind("SU", 0) == 0)
                    st.sup = st.sub = false;
                else
                    SetStyle(st.font, TFontStyle::fsStrikeOut, false);
                return false;
            case 'U':
                if (name == "U")
                    SetStyle(st.font, TFontStyle::fsUnderline, false);
                else if (st.listDepth > 0)
                    --st.listDepth;
                else
                    SetStyle(st.font, TFontStyle::fsUnderline, false);
                return false;
            case 'Z':
                st.hidden = false;
                return false;
            default:
                return false;
            }
        }
        // Opening tags, by their name or its first letters.
        const std::string name = up.substr(0, up.find_first_of(" \t"));
        auto starts = [&](const char* p) { return name.rfind(p, 0) == 0; };
        if (name == "B") {
            SetStyle(st.font, TFontStyle::fsBold, true);
        } else if (starts("BR")) {
            R.PlainText += '\r';
            return true;
        } else if (starts("BO")) {
            std::string v;
            if (FindAttr(up, "BGCOLORTO") != std::string::npos)
                st.bk = clNone;
            else if (!measure && colours && AttrValue(tag, up, "BGCOLOR", v))
                st.bk = AttrColor(v);
        } else if (starts("BL")) {
            if (!P.IgnoreBlink)
                st.font.SetColor(clWhite);
        } else if (name == "I") {
            SetStyle(st.font, TFontStyle::fsItalic, true);
        } else if (starts("IN")) {
            int x = 0;
            if (AttrNumber(up, "X", x) && x > pen)
                pen = x;
            line.width = std::max(line.width, pen);
        } else if (starts("IM")) {
            return Image(st, tag, up, measure, box, pen, line, drawBox);
        } else if (name == "U") {
            SetStyle(st.font, TFontStyle::fsUnderline, true);
        } else if (starts("U")) {
            ++st.listDepth;
            return true;
        } else if (name == "S") {
            SetStyle(st.font, TFontStyle::fsStrikeOut, true);
        } else if (starts("SH")) {
            st.shadow = true;
        } else if (name == "SUB") {
            st.sub = true;
        } else if (name == "SUP") {
            st.sup = true;
        } else if (starts("A")) {
            Link(st, tag, colours);
        } else if (starts("F")) {
            std::string v;
            st.bkBeforeFont = st.bk;
            if (AttrValue(tag, up, "FACE", v))
                st.font.SetName(v);
            if (colours && AttrValue(tag, up, "COLOR", v))
                st.font.SetColor(AttrColor(v));
            if (!measure && colours && AttrValue(tag, up, "BGCOLOR", v))
                st.bk = AttrColor(v);
            int size = 0;
            if (AttrNumber(up, "SIZE", size)) {
                static constexpr int kSizes[] = {8, 10, 12, 14, 16};
                const int points = size >= 1 && size <= 5 ? kSizes[size - 1] : size;
                if (points > 0)
                    st.font.SetSize(std::min(points, 400));
            }
        } else if (starts("P")) {
            std::string v;
            if (AttrValue(tag, up, "ALIGN", v)) {
                const std::string a = Upper(v);
                if (a.find("RIGHT") != std::string::npos)
                    st.align = TLineAlign::Right;
                else if (a.find("LEFT") != std::string::npos)
                    st.align = TLineAlign::Left;
                else if (a.find("CENTER") != std::string::npos)
                    st.align = TLineAlign::Center;
            }
            int indent = 0;
            if (AttrNumber(up, "INDENT", indent))
                st.indent = indent;
        } else if (starts("HI")) {
            st.bkBeforeHighlight = st.bk;
            st.colorBeforeHighlight = st.font.Color();
            st.bk = clHighlight;
            st.font.SetColor(clHighlightText);
        } else if (starts("HR")) {
            if (!measure && drawBox) {
                TGPPen black(0xFF000000, 1.0f);
                P.Graphics->DrawLine(&black, drawBox->Left, drawBox->Bottom + 1, drawBox->Right,
                                     drawBox->Bottom + 1);
            }
            R.PlainText += '\r';
            return true;
        } else if (starts("Z")) {
            st.hidden = true;
        } else if (starts("E")) {
            if (!measure)
                st.error = true;
        } else if (starts("OF")) {
            int x = 0;
            if (AttrNumber(up, "X", x)) {
                st.xOffset = std::max(0, x);
                pen = st.xOffset;
                line.width = std::max(line.width, pen);
            }
        } else if (starts("L")) {
            ListItem(st, tag, up, measure, pen, line, drawBox);
        }
        return false;
    }

    void Link(TState& st, const std::string& tag, bool colours) {
        const int index = st.linkCount++;
        const bool hover = index == P.HoverLink;
        st.bkBeforeLink = st.bk;
        if (!P.HoverOnlyLinks || hover) {
            SetStyle(st.font, TFontStyle::fsUnderline, true);
            if (hover && P.HoverLinkBkColor != clNone)
                st.bk = P.HoverLinkBkColor;
            if (hover && P.HoverLinkColor != clNone)
                st.font.SetColor(P.HoverLinkColor);
        }
        if (colours && (!hover || P.HoverLinkColor == clNone))
            st.font.SetColor(P.URLColor);
        const std::size_t q1 = tag.find('"');
        const std::size_t q2 = q1 == std::string::npos ? q1 : tag.find('"', q1 + 1);
        st.link = q2 == std::string::npos ? std::string() : tag.substr(q1 + 1, q2 - q1 - 1);
        st.linkIndex = index;
        st.inLink = true;
        if (index == P.FocusLink)
            R.FocusLink = st.link;
    }

    void ListItem(TState& st, const std::string& tag, const std::string& up, bool measure, int& pen,
                  TLine& line, const TRect* drawBox) {
        line.width += 12 * st.listDepth;
        pen += 12 * st.listDepth - 12;
        if (!st.hidden && !measure && drawBox) {
            std::string type, col, name;
            AttrValue(tag, up, "TYPE", type);
            const bool hasColour = AttrValue(tag, up, "COLOR", col);
            const TColor c = hasColour ? AttrColor(col) : st.font.Color();
            const ARGB argb = ColorToOpaqueARGB(c);
            const int x = drawBox->Left + pen, y = drawBox->Top + 2;
            const std::string t = Upper(type);
            if (t == "SQUARE") {
                TGPSolidBrush b(argb);
                P.Graphics->FillRectangle(&b, x, y, 8, 8);
            } else if (t == "CIRCLE") {
                TGPSolidBrush b(argb);
                P.Graphics->FillEllipse(&b, static_cast<REAL>(x), static_cast<REAL>(y), 8.0f, 8.0f);
            } else if (t == "IMAGE") {
                AttrValue(tag, up, "NAME", name);
                if (P.Container)
                    if (TStGDIPPicture* pic = P.Container->FindPicture(name)) {
                        pic->GetImageSizes();
                        pic->GDIPDraw(P.Graphics, TRect{x, y, x + pic->Width(), y + pic->Height()});
                        if (pic->Width() > 12)
                            pen += pic->Width() - 12;
                    }
            } else {
                TFont sym;
                sym.Assign(&st.font);
                sym.SetName("Symbol");
                sym.SetColor(hasColour ? c : st.font.Color());
                TRect r{x, drawBox->Top, x, drawBox->Top};
                P.Graphics->DrawText(st.listDepth % 2 == 0 ? "o" : "?", -1, r, &sym, 0, clNone);
            }
        }
        pen += 12;
    }

    bool Image(TState& st, const std::string& tag, const std::string& up, bool measure, const TRect& box,
               int& pen, TLine& line, const TRect* drawBox) {
        ++FImageCount;
        const TSize sz = ImageSize(tag, up);
        if (!measure && drawBox)
            DrawImage(tag, up, drawBox->Left + pen, drawBox->Top, sz);
        if (measure && st.inLink)
            CheckHit(st, TRect{box.Left + pen, box.Top, box.Left + pen + sz.cx, box.Top + sz.cy});
        pen += sz.cx;
        line.width = std::max(line.width, pen);
        const int textH = TextHeight("gh", st.font);
        line.height = std::max(line.height, sz.cy);
        std::string align;
        if (AttrValue(tag, up, "ALIGN", align)) {
            const std::string a = Upper(align);
            if (a == "TOP")
                line.imageOffset = line.height - textH;
            else if (a == "MIDDLE")
                line.imageOffset = (line.height - textH) / 2;
        }
        if (FindAttr(up, "WRAP") != std::string::npos) {
            line.height = textH;
            line.imageOffset = 0;
        }
        return false;
    }

    const TFormattedTextParams& P;
    TFormattedTextResult& R;
    TFont FBase;
    int FImageCount = 0;
};

} // namespace

TColor ColorFromName(const std::string& name) {
    static const std::pair<const char*, TColor> kNames[] = {
        {"CLRED", 0x0000FF},  {"CLBLACK", 0x000000},  {"CLBLUE", 0xFF0000},    {"CLGREEN", 0x008000},
        {"CLAQUA", 0xFFFF00}, {"CLYELLOW", 0x00FFFF}, {"CLFUCHSIA", 0xFF00FF}, {"CLWHITE", 0xFFFFFF},
        {"CLLIME", 0x00FF00}, {"CLSILVER", 0xC0C0C0}, {"CLGRAY", 0x808080},    {"CLOLIVE", 0x008080},
        {"CLNAVY", 0x800000}, {"CLPURPLE", 0x800080}, {"CLTEAL", 0x808000},    {"CLMAROON", 0x000080}};
    static const char* const kSystem[] = {"CLBACKGROUND",
                                          "CLACTIVECAPTION",
                                          "CLINACTIVECAPTION",
                                          "CLMENU",
                                          "CLWINDOW",
                                          "CLWINDOWFRAME",
                                          "CLMENUTEXT",
                                          "CLWINDOWTEXT",
                                          "CLCAPTIONTEXT",
                                          "CLACTIVEBORDER",
                                          "CLINACTIVEBORDER",
                                          "CLAPPWORKSPACE",
                                          "CLHIGHLIGHT",
                                          "CLHIGHLIGHTTEXT",
                                          "CLBTNFACE",
                                          "CLBTNSHADOW",
                                          "CLGRAYTEXT",
                                          "CLBTNTEXT",
                                          "CLINACTIVECAPTIONTEXT",
                                          "CLBTNHIGHLIGHT",
                                          "CL3DDKSHADOW",
                                          "CL3DLIGHT",
                                          "CLINFOTEXT",
                                          "CLINFOBK"};
    const std::string up = Upper(name);
    for (const auto& [n, c] : kNames)
        if (up == n)
            return c;
    for (int i = 0; i < 24; ++i)
        if (up == kSystem[i])
            return SystemColor(i + 1);
    return clBlack;
}

TColor HexToColor(const std::string& text) {
    auto pair = [&](std::size_t at) {
        if (at + 2 > text.size())
            return 0;
        int v = 0;
        for (std::size_t i = at; i < at + 2; ++i) {
            const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
            if (c >= '0' && c <= '9')
                v = v * 16 + (c - '0');
            else if (c >= 'A' && c <= 'F')
                v = v * 16 + (c - 'A' + 10);
            else
                return 0;
        }
        return v;
    };
    const std::size_t start = !text.empty() && text[0] == '#' ? 1 : 0;
    return pair(start) + pair(start + 2) * 256 + pair(start + 4) * 65536;
}

std::string ReplaceTextEntities(const std::string& text) {
    // One pass that looks again after each replacement: a produced "&" can start the next entity, so
    // the result is the text with the entities replaced until none is left.
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out += c;
        if (c != ';')
            continue;
        for (const TEntity& e : kEntities) {
            const std::size_t len = std::strlen(e.name);
            if (out.size() >= len && out.compare(out.size() - len, len, e.name) == 0) {
                out.erase(out.size() - len);
                out += e.text;
                break;
            }
        }
    }
    return out;
}

bool DrawShellIcon(TGPGraphics* graphics, const std::string& path, bool large, int x, int y, double scale,
                   bool scaled, TSize* size) {
    // The desktop's icon for the file or folder; a number picks one of the provider's standard icons.
    const int s = large ? 32 : 16;
    if (size)
        *size = {s, s};
    if (!graphics)
        return false;
    QFileIconProvider provider;
    QIcon icon;
    bool isNumber = !path.empty();
    for (char c : path)
        isNumber = isNumber && std::isdigit(static_cast<unsigned char>(c));
    if (isNumber)
        icon = provider.icon(static_cast<QFileIconProvider::IconType>(std::stoi(path.substr(0, 6)) % 7));
    else
        icon = provider.icon(QFileInfo(QString::fromStdString(path)));
    if (icon.isNull())
        return false;
    const int d = scaled ? static_cast<int>(s * scale) : s;
    QImage img = icon.pixmap(s, s).toImage().scaled(d, d);
    TCanvas* c = graphics->GetHDC();
    if (!c || !c->Target())
        return false;
    {
        QPainter p(c->Target());
        p.drawImage(x, y, img);
    }
    graphics->ReleaseHDC(c);
    return true;
}

bool DrawFormattedText(const TFormattedTextParams& params, TFormattedTextResult& result) {
    result = TFormattedTextResult{};
    if (!params.Font)
        return false;
    TRenderer r(params, result);
    r.Run();
    return result.OnLink;
}

} // namespace kv
