#pragma once
// The picture generator's shared part: the registry every picture file adds to, the palette of the
// editor's look and the drawing helpers the pictures share (bevels, gradients, labels).
//
// A picture file registers its pictures at file level:
//
//     static const pictures::Registrar reg([] {
//         pictures::Add("main/pkbGain_Up.png", {60, 24}, [](QPainter& p, QSize s) { ... });
//     });
//
// main() draws each one into an image of its size and writes it below the output folder
// (resources/pictures by default).

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace pictures {

using DrawFn = std::function<void(QPainter&, QSize)>;

struct Picture {
    std::string path; // below the output folder, e.g. "main/page_gain_Up.png"
    QSize size;
    DrawFn draw;
    bool opaque = true; // false: drawn on a transparent image and stored with alpha
};

// Every registered picture, in registration order.
std::vector<Picture>& Registry();
void Add(std::string path, QSize size, DrawFn draw, bool opaque = true);

// Runs a registering function while the program's static objects are made.
struct Registrar {
    explicit Registrar(void (*registerAll)()) { registerAll(); }
};

// The editor's look: calm blue-grey surfaces, light text on dark strips, one amber accent for the
// selected state and green/amber/red for signal and state lamps.
namespace pal {
inline const QColor Window{0xD6, 0xDB, 0xE1};     // dialog and page background
inline const QColor Page{0xC9, 0xD0, 0xD8};       // block page area
inline const QColor Panel{0xE4, 0xE8, 0xEC};      // group/panel face
inline const QColor Strip{0x2E, 0x36, 0x40};      // dark top and bottom strips
inline const QColor StripLight{0x44, 0x4F, 0x5C}; // raised parts on the dark strip
inline const QColor Face{0x5A, 0x66, 0x74};       // button face (up)
inline const QColor FaceHot{0x6E, 0x7C, 0x8C};    // button face under the mouse
inline const QColor FaceDown{0x3A, 0x43, 0x4E};   // pressed button face
inline const QColor Accent{0xF0, 0xA8, 0x30};     // selected (stay-down) marking
inline const QColor AccentDark{0xB8, 0x78, 0x18};
inline const QColor Text{0xF2, 0xF4, 0xF6};      // text on dark faces
inline const QColor TextDim{0x98, 0xA2, 0xAE};   // disabled text
inline const QColor TextDark{0x1E, 0x24, 0x2A};  // text on light faces
inline const QColor Highlight{0xFF, 0xFF, 0xFF}; // bevel highlight
inline const QColor Shadow{0x16, 0x1B, 0x21};    // bevel shadow
inline const QColor Groove{0x20, 0x26, 0x2D};    // fader slot
inline const QColor LedGreen{0x3C, 0xD2, 0x4A};
inline const QColor LedAmber{0xF0, 0xA8, 0x30};
inline const QColor LedRed{0xE8, 0x3A, 0x30};
inline const QColor LedOff{0x3A, 0x42, 0x3C};
} // namespace pal

// A colour between a and b, t in 0..1.
QColor Mix(const QColor& a, const QColor& b, double t);
// Fills r with a vertical gradient from top to bottom colour.
void VGradient(QPainter& p, const QRect& r, const QColor& top, const QColor& bottom);
// A one-pixel bevel around r: light on top/left and dark on bottom/right when raised, the reverse
// when sunken. depth draws that many nested rings.
void Bevel(QPainter& p, const QRect& r, bool raised, int depth = 1, const QColor& light = pal::Highlight,
           const QColor& dark = pal::Shadow);
// A rounded button face with a soft gradient and a one-pixel rim, as the bitmap buttons use.
void ButtonFace(QPainter& p, const QRect& r, const QColor& face, bool pressed, int radius = 3);
// Text centred in r in the picture font (DejaVu Sans, pixel size px, bold when asked).
void CentredText(QPainter& p, const QRect& r, const QString& text, const QColor& colour, int px,
                 bool bold = true);
QFont PictureFont(int px, bool bold = true);

// The five looks of a bitmap button, in the order the button sets use.
enum class ButtonState { Up, Down, Hot, StayDown, Disabled };
const char* StateSuffix(ButtonState s); // "Up", "Down", "Hot", "StayDown", "Disabled"
inline constexpr ButtonState AllStates[] = {ButtonState::Up, ButtonState::Down, ButtonState::Hot,
                                            ButtonState::StayDown, ButtonState::Disabled};

// The colour a bitmap button treats as transparent (its TransparentColor, clOlive): the corners of
// rounded faces are filled with it so that the parent shows through.
inline const QColor Transparent{0x80, 0x80, 0x00};

// The looks of the bitmap buttons. Captions are drawn by the buttons themselves (they change with the
// language and the state), so the pictures carry faces only.
enum class ButtonLook {
    Page,   // page buttons on the dark strip: the current page is pressed with an amber bar
    Strip,  // other buttons on the dark strips (link, store, recall)
    Toggle, // switches on the pages (mute, polarity, bypass, routes, units): on = amber face
    Band,   // the PEQ band selectors: the selected band is amber
};
void DrawButtonFace(QPainter& p, QSize size, ButtonLook look, ButtonState s);

} // namespace pictures
