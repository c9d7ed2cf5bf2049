#!/usr/bin/env python3
"""Generates the main window's layout, resources/layouts/TFMMAIN.lay.

Usage: tools/gen_main_layout.py [output file]   (default: resources/layouts/TFMMAIN.lay)

The window is described here once: the fixed strips (page buttons, page area, preset bar), the menu,
one page pair per block page and one description of a channel's controls, which the six channel
suffixes (InA, InB, Out1..Out4) repeat. The same kind of control has the same size and spacing on every
page; the faders, all vertical, stand in columns over their value boxes. The text tables of the two
hidden memos are read from resources/texts/, so the layout and the program's tables never disagree.

Standard library only.
"""
import os
import re
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Event bindings name published handlers of the main window. A handler is bound only once the main
# window publishes it (the window's files under app/ register it with b.Method<...>("name", ...), or
# b.Forward<...>("name", ...) for a handler one of its parts carries out); the handlers of
# the channel editors, the preset and file commands and the later dialogs arrive with their code, and
# running this tool again then binds them. The names left unbound are listed on standard output.
PUBLISHING_FOLDER = "app"

IN_SUFFIXES = ["InA", "InB"]
OUT_SUFFIXES = ["Out1", "Out2", "Out3", "Out4"]
SUFFIXES = IN_SUFFIXES + OUT_SUFFIXES


def channel_of(suffix):
    return SUFFIXES.index(suffix)


def letter(suffix):
    """The channel's letter or digit: "A", "B", "1".."4"."""
    return suffix[-1]


# ---------------------------------------------------------------------------------------------------
# Values and objects


class Ident:
    """An identifier value (enumeration, colour name, handler name)."""

    def __init__(self, text):
        self.text = text


class Res:
    """A picture resource below resources/."""

    def __init__(self, path):
        self.path = path


class Raw:
    """Value text written as it stands ($hex colours, sets)."""

    def __init__(self, text):
        self.text = text


class Embedded:
    """Picture bytes written into the layout as an escaped text (the styled controls' pictures, whose
    Data property takes the file's bytes; they cannot name a resource)."""

    def __init__(self, name):
        with open(os.path.join(ROOT, "resources", "pictures", "main", name), "rb") as f:
            self.data = f.read()


def bytes_text(data):
    out = ['"']
    for b in data:
        ch = chr(b)
        if 32 <= b < 127 and ch not in '"\\':
            out.append(ch)
        else:
            out.append("\\x%02X" % b)
    out.append('"')
    return "".join(out)


def bgr(r, g, b):
    """A colour as the layout writes it: $00BBGGRR."""
    return Raw("$00%02X%02X%02X" % (b, g, r))


def quote(text):
    out = ['"']
    for ch in text:
        if ch == '"':
            out.append('\\"')
        elif ch == "\\":
            out.append("\\\\")
        elif ch == "\n":
            out.append("\\n")
        elif ch == "\r":
            out.append("\\r")
        elif ch == "\t":
            out.append("\\t")
        else:
            out.append(ch)
    out.append('"')
    return "".join(out)


def value_text(v):
    if isinstance(v, bool):
        return "True" if v else "False"
    if isinstance(v, int):
        return str(v)
    if isinstance(v, float):
        return repr(v)
    if isinstance(v, str):
        return quote(v)
    if isinstance(v, Ident):
        return v.text
    if isinstance(v, Raw):
        return v.text
    if isinstance(v, Res):
        return 'resource "%s"' % v.path
    if isinstance(v, (Embedded, Bytes)):
        return bytes_text(v.data)
    if isinstance(v, list):
        return "[" + ", ".join(quote(s) for s in v) + "]"
    raise TypeError(v)


class Obj:
    def __init__(self, name, cls, props=None):
        self.name = name
        self.cls = cls
        self.props = list(props or [])
        self.children = []

    def set(self, **kw):
        for k, v in kw.items():
            self.props.append((k.replace("__", "."), v))
        return self

    def add(self, child):
        self.children.append(child)
        return child

    def write(self, out, depth=0):
        pad = "  " * depth
        out.append("%sobject %s: %s" % (pad, self.name, self.cls))
        for k, v in self.props:
            if v is None:
                continue
            out.append("%s  %s = %s" % (pad, k, value_text(v)))
        for c in self.children:
            c.write(out, depth + 1)
        out.append("%send" % pad)

    def walk(self):
        yield self
        for c in self.children:
            yield from c.walk()


def ctl(parent, name, cls, x, y, w, h, **kw):
    o = Obj(name, cls, [("Left", x), ("Top", y), ("Width", w), ("Height", h)])
    o.set(**kw)
    return parent.add(o)


def published_handlers():
    names = set()
    pattern = re.compile(r'(?:Method|Forward)<[A-Za-z:]+>\(\s*"([A-Za-z0-9_]+)"')
    for folder, _, files in sorted(os.walk(os.path.join(ROOT, PUBLISHING_FOLDER))):
        for f in sorted(files):
            if f.endswith(".cpp"):
                with open(os.path.join(folder, f), encoding="utf-8") as fh:
                    names.update(pattern.findall(fh.read()))
    return names


PUBLISHED = published_handlers()


def class_registered(cls, folder):
    """Whether a library registers the component class (KV_REGISTER_CLASS in its folder)."""
    d = os.path.join(ROOT, folder)
    pattern = re.compile(r"KV_REGISTER_CLASS\(\s*%s\s*," % re.escape(cls))
    for base, _, files in os.walk(d):
        for f in files:
            if f.endswith(".cpp"):
                with open(os.path.join(base, f), encoding="utf-8") as fh:
                    if pattern.search(fh.read()):
                        return True
    return False


# The dynamics pages' XY plots come with the plot library's control; until it is registered their places
# stay empty (the loader would skip them as an unknown class).
XY_PLOTS_AVAILABLE = class_registered("TgXYPlot", "plot")


def stream_value(v):
    """A property value inside a plot manager's stream: the text the property takes."""
    if isinstance(v, bool):
        return "True" if v else "False"
    if isinstance(v, (int, float)):
        return repr(v)
    if isinstance(v, (Ident, Raw)):
        return v.text
    return v


def manager_stream(objects):
    """A plot object manager as the plot reads it from the layout: a collection with one list of
    property name / value pairs per object, in the plot's value-stream text (one value per line)."""

    def esc(text):
        return text.replace("\\", "\\\\").replace("\n", "\\n").replace("\r", "\\r")

    lines = ["C"]
    for props in objects:
        lines.append("L")
        for k, v in props:
            lines.append("N " + esc(k))
            lines.append("S " + esc(stream_value(v)))
        lines.append("E")
    lines.append("E")
    return "\n".join(lines) + "\n"


def plot_font(prefix, name, height, color, bold):
    out = [(prefix + ".Name", name), (prefix + ".Height", height), (prefix + ".Color", Ident(color))]
    if bold:
        out.append((prefix + ".Style", Raw("[fsBold]")))
    return out


def plot_axis(name, horizontal, increment, extra):
    props = [("Name", name), ("Enabled", False), ("PopupEnabled", False), ("CanFocus", False),
             ("Horizontal", horizontal), ("ZOrder", 0), ("TrackingEnabled", False),
             ("Min", -100), ("Span", 120), ("DesiredStart", 20), ("DesiredIncrement", increment),
             ("Title", name), ("TitleMargin", 1)]
    props += plot_font("TitleFont", "Arial", -13, "clWhite", True)
    props += plot_font("LabelsFont", FONT, -11, "clYellow", False)
    props += [("LabelsPrecision", 2), ("GridLinesVisible", True), ("ScaleLineShow", True),
              ("ScaleLinesShow", False), ("CursorScaler", 1), ("AlignRefAxisName", name)]
    return props + extra


def xy_plot(parent, name, x, y, w, h):
    """A dynamics page's transfer-curve plot: two axes from -100 to +20 dB with grid lines, the curve
    (white line) and the threshold point (one marker); title, legend, toolbar and data cursor hidden, and
    nothing the user can edit."""
    if not XY_PLOTS_AVAILABLE:
        return
    o = ctl(parent, name, "TgXYPlot", x, y, w, h)
    o.set(UserCanEditObjects=False, TitleVisible=False, TitleText="Untitled", BorderStyle=Ident("ibsNone"),
          BackGroundColor=Ident("clBlack"), DataViewZHorz=1, DataViewZVert=1)
    axes = [("XAxisName", "X-Axis 1"), ("YAxisName", "Y-Axis 1"), ("DataStyle", Ident("ipdsStandard")),
            ("OPCComputerName", "Local")]
    managers = [
        ("ToolBarManager", [[("Name", "Toolbar 1"), ("Visible", False), ("Horizontal", True), ("ZOrder", 3),
                             ("ZoomInOutFactor", 2.0)]]),
        ("LegendManager", [[("Name", "Legend 1"), ("Visible", False), ("Enabled", False),
                            ("PopupEnabled", False), ("CanFocus", False), ("Horizontal", False),
                            ("ZOrder", 2)]]),
        ("XAxisManager", [plot_axis("X-Axis 1", True, 20, [
            ("MinorCount", 4), ("MajorLength", 9), ("MinorLength", 13), ("LabelsMinLength", 5),
            ("LabelSeparation", 0), ("StackingEndsMargin", 1), ("ScaleLinesColor", 8454143),
            ("CursorPrecision", 3), ("LegendPrecision", 3), ("TrackingIncrementStyle", Ident("iptisMajor"))])]),
        ("YAxisManager", [plot_axis("Y-Axis 1", False, 10, [
            ("MinorLength", 8), ("LabelsMinLength", 3), ("LabelSeparation", 1), ("StackingEndsMargin", 0.5),
            ("CursorPrecision", 2), ("LegendPrecision", 2),
            ("TrackingIncrementStyle", Ident("iptisMinimum")),
            ("TrackingAlignFirstStyle", Ident("ipafsNone"))])]),
        ("ChannelManager", [
            [("Name", "Channel 1"), ("TitleText", "Channel 1"), ("Color", Ident("clWhite")),
             ("TraceLineStyle", Ident("iplsSolid")), ("TraceLineWidth", 2), ("MarkersVisible", False),
             ("MarkersTurnOffLimit", 0)] + axes,
            [("Name", "Channel 2"), ("TitleText", "Channel 2"), ("Color", 8421631),
             ("TraceLineStyle", Ident("iplsDot")), ("TraceLineWidth", 5), ("MarkersAllowIndividual", True),
             ("MarkersVisible", True), ("MarkersSize", 5),
             ("MarkersPenWidth", 3), ("MarkersFont.Name", "Tahoma")] + axes]),
        ("DataViewManager", [[("Name", "Data View 1"), ("Layer", 0), ("PopupEnabled", False),
                              ("CanFocus", False), ("BackgroundTransparent", True),
                              ("GridXAxisName", "X-Axis 1"), ("GridYAxisName", "Y-Axis 1"),
                              ("AxesControlEnabled", False)]]),
        ("DataCursorManager", [[("Name", "Cursor 1"), ("Visible", False), ("ChannelName", "Channel 1"),
                                ("Style", Ident("ipcsValueXY")), ("Pointer1Position", 50),
                                ("Pointer2Position", 60)]]),
        ("LabelManager", [[("Name", "Title"), ("Visible", False), ("Caption", "Untitled"), ("ZOrder", 2)]
                          + plot_font("Font", "Arial", -19, "clWhite", True)]),
    ]
    for prop, objects in managers:
        o.props.append((prop, manager_stream(objects)))


UNBOUND = set()


def handler(name, editor=False):
    """A handler binding, or nothing while the main window does not publish the handler yet."""
    del editor
    if name in PUBLISHED:
        return Ident(name)
    UNBOUND.add(name)
    return None


# ---------------------------------------------------------------------------------------------------
# The look: colours and fonts shared by every page

WINDOW = bgr(0xD6, 0xDB, 0xE1)   # form
STRIP = bgr(0x2E, 0x36, 0x40)    # page-button strip and preset bar
GRAPH_AREA = bgr(0x3A, 0x43, 0x4E)  # upper groups: graphs and diagrams
PARAM_AREA = bgr(0xE4, 0xE8, 0xEC)  # lower groups: faders and values
PANEL_DARK = bgr(0x26, 0x2D, 0x35)  # meter panels and diagram panels
TEXT_LIGHT = bgr(0xF2, 0xF4, 0xF6)
TEXT_DIM = bgr(0xA8, 0xB2, 0xBE)
TEXT_DARK = bgr(0x1E, 0x24, 0x2A)
TEXT_HEAD = bgr(0x2A, 0x4A, 0x6E)  # headings on the light areas
ACCENT = bgr(0xF0, 0xA8, 0x30)
VALUE_FACE = bgr(0xFF, 0xFF, 0xFF)
LED_FACE = bgr(0x4C, 0x57, 0x64)  # the LED and hover buttons on the graph areas

FONT = "Tahoma"
FONT_H = -11  # 8 pt at 96 dpi


def font(o, color=None, height=None, bold=False, name=None):
    o.set(ParentFont=False, Font__Name=name or FONT, Font__Height=height or FONT_H)
    if color is not None:
        o.set(Font__Color=color)
    if bold:
        o.set(Font__Style=Raw("[fsBold]"))
    return o


def label(parent, name, x, y, w, h, caption, color=TEXT_DARK, bold=False, align=None, height=None,
          autosize=False, tag=None, layout=None, transparent=True, **kw):
    o = ctl(parent, name, "TLabel", x, y, w, h)
    if tag is not None:
        o.set(Tag=tag)
    if align:
        o.set(Alignment=Ident(align))
    o.set(AutoSize=autosize, Caption=caption)
    if layout:
        o.set(Layout=Ident(layout))
    o.set(Transparent=transparent)
    font(o, color, height, bold)
    o.set(**kw)
    return o


def group(parent, name, x, y, w, h, color, caption="", framed=False, **kw):
    """A group box: framed for the parameter areas, a plain surface (no frame) otherwise."""
    o = ctl(parent, name, "TPkGroupBox", x, y, w, h, Caption=caption, Color=color, ParentColor=False)
    if not framed:
        o.set(GroupStyle=Ident("gsCustom"))
    o.set(**kw)
    return o


# Picture names (drawn by tools/pictures, below resources/pictures/main/)
def pic(name):
    return Res("pictures/main/%s.png" % name)


def bmp_states(o, prefix, states=("Up", "Down", "Hot", "StayDown", "Disabled")):
    for s in states:
        o.set(**{"Bitmaps__" + s: pic("%s_%s" % (prefix, s))})


# Group indices of the independent toggles, one group per button (plus the channel); the band buttons
# use 1..6 (channel + 1) and the page buttons 1 under their own parents.
TOGGLE_GROUP_MUTE = 20
TOGGLE_GROUP_PHASE = 30
TOGGLE_GROUP_LOW_CUT = 40
TOGGLE_GROUP_HIGH_CUT = 50


def bmp_button(parent, name, x, y, w, h, caption, look, tag=None, group_index=None, all_up=False,
               down=False, states=("Up", "Down", "Hot", "StayDown", "Disabled"), on_click=None,
               font_color=TEXT_LIGHT, bold=False):
    o = ctl(parent, name, "TPkBmpButton", x, y, w, h)
    if tag is not None:
        o.set(Tag=tag)
    o.set(Caption=caption)
    if group_index is not None:
        o.set(GroupIndex=group_index)
    if all_up:
        o.set(AllowAllUp=True)
    if down:
        o.set(Down=True)
    bmp_states(o, "btn_%s_%dx%d" % (look, w, h), states)
    o.set(ButtonSize=Ident("bszStretchToButton"), CaptionDownOffset=1, ShowFocus=False, ShowDownPattern=False)
    font(o, font_color, bold=bold)
    o.set(OnClick=on_click)
    return o


def value_box(parent, name, x, y, w, text, tag, read_only=False, editor_events=None):
    o = ctl(parent, name, "TRoundEdit", x, y, w, 22, Tag=tag)
    o.set(Alignment=Ident("taCenter"), Color=VALUE_FACE, BorderColor=bgr(0x80, 0x8A, 0x96), Rounding=6)
    if read_only:
        o.set(ReadOnly=True)
    o.set(Text=text)
    font(o, TEXT_DARK)
    for ev, h in (editor_events or {}).items():
        o.set(**{ev: handler(h, editor=True)})
    return o


# The faders: every one vertical, drawn by the fader itself over a thin white-to-black slot, with a
# 16 x 29 pointer thumb (a BMP keyed by its bottom-left pixel).
SLIDER = {"Slider__Size": 3, "Slider__Color": Ident("clWhite"), "Slider__ColorTo": Ident("clBlack"),
          "Slider__Direction": Ident("gdHorizontal"), "Slider__BorderColor": Raw("$00A4A0A0"),  # clMedGray
          "Slider__ColorCompleted": Ident("clNone")}
FADER_COLOURS = ("Color", "ColorTo", "ColorDisabled", "ColorDisabledTo", "BorderColor", "BorderColorDisabled")


def bmp4(rows, palette):
    """A 4-bit BMP from rows of palette indices, top row first."""
    h, w = len(rows), len(rows[0])
    stride = ((w + 1) // 2 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for i, v in enumerate(row):
            line[i // 2] |= v << (4 if i % 2 == 0 else 0)
        pixels += line
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    pal += bytes(4 * (16 - len(palette)))
    offset = 14 + 40 + 64
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    return header + info + pal + bytes(pixels)


def thumb_bmp(face, edge, mark):
    """The fader's pointer thumb, 16 wide and 29 high: a cap with bevelled ends and a centre mark; the
    corners hold the key colour (index 0)."""
    key, light, dark = (255, 0, 255), (250, 252, 254), (40, 46, 54)
    palette = [key, face, edge, mark, light, dark]
    rows = []
    for y in range(29):
        row = []
        for x in range(16):
            corner = (x in (0, 15) and y in (0, 28)) or (x + y < 2) or (15 - x + y < 2) or \
                     (x + 28 - y < 2) or (15 - x + 28 - y < 2)
            if corner:
                v = 0
            elif x == 0 or y == 0:
                v = 4
            elif x == 15 or y == 28:
                v = 5
            elif x == 1 or x == 14 or y in (1, 27):
                v = 2
            elif y == 14:
                v = 3
            elif y in (13, 15):
                v = 5 if y == 15 else 4
            else:
                v = 1
            row.append(v)
        rows.append(row)
    return bmp4(rows, palette)


class Bytes:
    """Picture bytes made here, written into the layout like Embedded."""

    def __init__(self, data):
        self.data = data


THUMB = Bytes(thumb_bmp((188, 196, 206), (120, 130, 142), (240, 168, 48)))
THUMB_HOT = Bytes(thumb_bmp((214, 222, 230), (136, 146, 158), (255, 196, 90)))
THUMB_DOWN = Bytes(thumb_bmp((150, 160, 172), (96, 106, 118), (255, 140, 0)))
THUMB_DISABLED = Bytes(thumb_bmp((160, 164, 170), (130, 134, 140), (120, 124, 130)))


def fader(parent, name, x, y, w, h, lo, hi, pos, page, tag, on_change=None, hot_down=False, disabled=False):
    """A vertical fader, 26 or 27 pixels wide, with its own thumb pictures (the graphic EQ's take the
    first band's again at start)."""
    o = ctl(parent, name, "TStTrackBar", x, y, w, h, Tag=tag)
    o.set(Min=lo, Max=hi, Orientation=Ident("trVertical"), PageSize=page, Position=pos)
    for c in FADER_COLOURS:
        o.set(**{c: Ident("clNone")})
    o.set(**SLIDER, TickMark__Style=Ident("tsNone"), Thumb__Shape=Ident("tsPointer"), Thumb__Size=16,
          Thumb__Width=29, Thumb__Picture__Data=THUMB)
    if hot_down:
        o.set(Thumb__PictureHot__Data=THUMB_HOT, Thumb__PictureDown__Data=THUMB_DOWN)
    if disabled:
        o.set(Thumb__PictureDisabled__Data=THUMB_DISABLED)
    o.set(ShowFocus=True, TrackHint=False)
    o.set(OnChange=handler(on_change, editor=True) if on_change else None)
    return o


def meter(parent, name, x, y, h, groups, mx, tag=None, **kw):
    o = ctl(parent, name, "LProgressBar", x, y, 14, h)
    if tag is not None:
        o.set(Tag=tag)
    o.set(FirstNum=groups[0], SecondNum=groups[1], ThirdNum=groups[2], Max=mx, Position=0, **kw)
    return o


def level_bar(parent, name, x, y, h, is_in, tag=None):
    return meter(parent, name, x, y, h, (1, 2, 6) if is_in else (1, 3, 4), 9 if is_in else 8, tag=tag)


def lamp(parent, name, x, y, h):
    """A limiter or compressor activity lamp: one segment, brown, lit orange."""
    return meter(parent, name, x, y, h, (0, 1, 0), 1, tag=3, SecondColor=bgr(155, 78, 0),
                 LSecondColor=bgr(255, 163, 70))


# The channels' colours, as the curves are drawn.
CHANNEL_COLOURS = ["clPurple", "clOlive", "clRed", "clLime", "clYellow", "clBlue"]


def led(parent, name, cls, x, y, w, h, caption, tag, on_click=None, active=None):
    if cls == "TLdPowerButton":
        # A LED and its caption on black, no frame: the caption in the channel's colour.
        o = ctl(parent, name, cls, x, y, w, 16, Tag=tag, Caption=caption, Color=Ident("clBlack"),
                OutlineWidth=0, BevelWidth=0, Palette__Low=Ident("clOlive"), Palette__High=Ident("clYellow"))
        if active:
            o.set(Active=True)
        font(o, Ident(CHANNEL_COLOURS[tag]))
    else:
        o = ctl(parent, name, cls, x, y, w, h, Tag=tag, Caption=caption, Color=LED_FACE)
        # its caption font changes as the mouse enters and leaves
        for f in ("FontEnter", "FontLeave"):
            o.set(**{f + "__Name": FONT, f + "__Height": FONT_H,
                     f + "__Color": Ident("clWhite") if f == "FontEnter" else TEXT_LIGHT})
    o.set(OnClick=handler(on_click, editor=True) if on_click else None)
    return o


def updown(parent, name, x, y, lo, hi, pos, tag, on_changing=None):
    o = ctl(parent, name, "TUpDown", x, y, 17, 22, Tag=tag)
    o.set(Min=lo, Max=hi, Position=pos)
    if on_changing:
        o.set(OnChangingEx=handler(on_changing, editor=True))
    return o


# ---------------------------------------------------------------------------------------------------
# The text tables


def table_lines(file):
    with open(os.path.join(ROOT, "resources", "texts", file), encoding="utf-8") as f:
        text = f.read()
    lines = text.split("\n")
    while lines and lines[-1] == "":
        lines.pop()
    return lines + [""]  # a table ends with one empty line


# ---------------------------------------------------------------------------------------------------
# The window


PAGES = [  # button order left to right: (page word, Tag, caption)
    ("Gain", 8, "Gain"), ("Gate", 10, "Gate"), ("Comp", 6, "Comp"), ("Limit", 11, "Limit"),
    ("Delay", 7, "Delay"), ("Matrix", 9, "Matrix"), ("Geq", 12, "GEQ"),
    ("InA", 0, "InA"), ("InB", 1, "InB"), ("Out1", 2, "Out1"), ("Out2", 3, "Out2"),
    ("Out3", 4, "Out3"), ("Out4", 5, "Out4"),
]

UPPER = (0, 0, 1112, 284)
LOWER = (20, 292, 1072, 290)


def page_pair(main, word, visible):
    up = group(main, "pkgFft" + word, *UPPER, GRAPH_AREA, Visible=visible)
    low = group(main, "pkgParam" + word, *LOWER, PARAM_AREA, framed=True, Visible=visible)
    return up, low


def build_form():
    form = Obj("fmMain", "TfmMain")
    form.set(Left=0, Top=0, Width=1118, Height=720, Caption="the Velmora Korvane DSP Processor Editor V1.0",
             Color=WINDOW, Font__Name=FONT, Font__Height=FONT_H, Position=Ident("poScreenCenter"),
             Hint="the Velmora Korvane DSP Processor Editor",
             OnCreate=handler("FormCreate"), OnClose=handler("FormClose"), OnResize=handler("FormResize"))
    build_splash(form)
    build_memos(form)
    build_function_strip(form)
    main = group(form, "pkgMain", 0, 40, 1112, 629, WINDOW)
    build_frame(main)
    build_pages(main)
    build_preset_bar(form)
    build_menu(form)
    build_nonvisual(form)
    return form


def build_splash(form):
    # The program's splash: a 620 x 350 PNG at the bottom centre with fill opacity 249 (so a layered
    # window), the program name, the version and one loading line; shown while the window is made.
    s = form.add(Obj("asScreen", "TStSmoothSplashScreen"))
    white, none = Ident("clWhite"), Ident("clNone")
    fill_plain = dict(Rounding=0, ShadowOffset=0, Glow=Ident("gmNone"))
    s.set(BasicProgramInfo__ProgramName__Text="Korvane DSP Processor Editor",
          BasicProgramInfo__ProgramName__Font__Name=FONT, BasicProgramInfo__ProgramName__Font__Height=-29,
          BasicProgramInfo__ProgramName__Font__Style=Raw("[fsBold]"),
          BasicProgramInfo__ProgramName__Font__Charset=0, BasicProgramInfo__ProgramName__Font__Color=white,
          BasicProgramInfo__ProgramName__Location=Ident("ilCustom"),
          BasicProgramInfo__ProgramName__PosX=60, BasicProgramInfo__ProgramName__PosY=130,
          BasicProgramInfo__ProgramName__HatchStyle=Ident("HatchStyleDivot"),
          BasicProgramInfo__ProgramName__ColorStart=white, BasicProgramInfo__ProgramName__ColorEnd=white,
          BasicProgramInfo__ProgramVersion__Text="V1.0",
          BasicProgramInfo__ProgramVersion__Font__Name=FONT, BasicProgramInfo__ProgramVersion__Font__Height=-19,
          BasicProgramInfo__ProgramVersion__Location=Ident("ilCustom"),
          BasicProgramInfo__ProgramVersion__PosX=520, BasicProgramInfo__ProgramVersion__PosY=140,
          BasicProgramInfo__ProgramVersion__HatchStyle=Ident("HatchStyleDivot"),
          BasicProgramInfo__ProgramVersion__ColorStart=white, BasicProgramInfo__ProgramVersion__ColorEnd=white,
          BasicProgramInfo__CopyRightFont__Name="MS Sans Serif", BasicProgramInfo__CopyRightFont__Height=-11,
          BasicProgramInfo__CopyRightFont__Color=Raw("$000262C1"),
          BasicProgramInfo__CopyRightLocation=Ident("ilCustom"),
          BasicProgramInfo__CopyRightPosX=340, BasicProgramInfo__CopyRightPosY=340,
          Fill__Color=none, Fill__ColorTo=none, Fill__ColorMirror=none, Fill__ColorMirrorTo=none,
          Fill__BorderColor=none, Fill__Picture__Data=Embedded("splash.png"),
          Fill__PicturePosition=Ident("ppBottomCenter"), Fill__Opacity=249,
          **{"Fill__" + k: v for k, v in fill_plain.items()},
          TimeOut=100,
          ProgressBar__BackGroundFill__Color=none, ProgressBar__BackGroundFill__ColorMirror=none,
          ProgressBar__BackGroundFill__ColorMirrorTo=none, ProgressBar__BackGroundFill__BorderColor=Ident("clGray"),
          **{"ProgressBar__BackGroundFill__" + k: v for k, v in fill_plain.items()},
          ProgressBar__ProgressFill__Color=white, ProgressBar__ProgressFill__ColorTo=Raw("$00FFCC99"),
          ProgressBar__ProgressFill__ColorMirror=none, ProgressBar__ProgressFill__ColorMirrorTo=none,
          ProgressBar__ProgressFill__BorderColor=none,
          **{"ProgressBar__ProgressFill__" + k: v for k, v in fill_plain.items()},
          ProgressBar__Font__Name=FONT, ProgressBar__Font__Height=-11,
          ProgressBar__ProgressFont__Name=FONT, ProgressBar__ProgressFont__Height=-11,
          ProgressBar__ValueFormat="%.0f%%", ProgressBar__Left=160, ProgressBar__Top=220, ProgressBar__Height=12,
          ProgressBar__Step=10, ProgressBar__Maximum=100,
          ListItems=Raw("<\n    item\n      HTMLText = "
                        + quote('<FONT size="20" color="clWhite">Loading Program....</FONT><br>')
                        + "\n    end>"),
          ListItemsSettings__Rect__Left=180, ListItemsSettings__Rect__Top=210,
          ListItemsSettings__Rect__Width=500, ListItemsSettings__Rect__Height=250,
          ListItemsSettings__HTMLFont__Name=FONT, ListItemsSettings__HTMLFont__Height=-11,
          DisplayStyle=Ident("dsNormal"))


def build_memos(form):
    for name, file in (("moEnglish", "english.txt"), ("moSimplified", "chinese.txt")):
        m = ctl(form, name, "TMemo", 8, 8, 185, 89, Visible=False, WordWrap=False)
        m.props.append(("Lines", table_lines(file)))


def build_function_strip(form):
    strip = group(form, "pkgFunction", 0, 0, 1115, 42, STRIP)
    strip.add(Obj("imFunctionBase", "TImage", [("Left", 0), ("Top", 0), ("Width", 1115), ("Height", 42),
                                                ("Picture", pic("function_strip"))]))
    # The page buttons share their pictures at start: the gain button holds the set that most share,
    # InA's the set of the inputs, Out4's its own; the others carry only what is theirs.
    own = {
        "Gain": ("Up", "Down", "Hot", "StayDown", "Disabled"),
        "Matrix": ("Up", "Down", "Disabled"),
        "InA": ("Up", "Down", "Hot", "StayDown"),
        "Out4": ("Up", "Down", "Hot", "StayDown", "Disabled"),
    }
    for i, (word, tag, caption) in enumerate(PAGES):
        states = own.get(word, ("Up", "Disabled") if word not in ("InB", "Out1", "Out2", "Out3") else ("Up",))
        bmp_button(strip, "pkbMenu" + word, 74 * i, 1, 74, 40, caption, "page", tag=tag, group_index=1,
                   down=(word == "Gain"), states=states, on_click=handler("pkbMenuInAClick"),
                   font_color=Ident("clLime") if word == "Gain" else Ident("clWhite"), bold=True)
    end = ctl(strip, "pksMenuEnd", "TPkShapeButton", 962, 1, 78, 40, Enabled=False, AutoSize=False,
              BorderStyle=Ident("bsNone"), BevelWidth=0, Caption="", Bitmap=pic("menu_end"))
    del end
    label(strip, "lbConInterface", 966, 14, 70, 14, "", color=ACCENT, bold=True, align="taCenter")
    bmp_button(strip, "pkbMenuLink", 1040, 1, 70, 40, "OffLine", "link", states=("Up", "Down", "Hot", "Disabled"),
               group_index=2, all_up=True, on_click=handler("pkbMenuLinkClick"), bold=True)


def build_frame(main):
    # The page area's frame, behind the pages: seen between the upper and lower groups and beside
    # the lower one.
    for name, x, y, w, h in (("imLeftUpBase", 0, 0, 1082, 256), ("imRightUpBase", 1077, 0, 35, 256),
                             ("imLeftDownBase", 0, 256, 1082, 373), ("imRightDownBase", 1077, 256, 35, 373)):
        ctl(main, name, "TImage", x, y, w, h, Picture=pic(name[2:]), Stretch=True)


def build_preset_bar(form):
    bar = group(form, "pkgPreset", 10, 626, 1090, 48, STRIP)
    bar.add(Obj("imPresetBase", "TImage", [("Left", 0), ("Top", 0), ("Width", 1090), ("Height", 48),
                                            ("Picture", pic("preset_bar"))]))
    label(bar, "lPreset", 16, 17, 60, 14, "Preset", color=TEXT_DIM, bold=True)
    label(bar, "lbPstNum", 80, 13, 44, 22, "F00", color=ACCENT, bold=True, align="taCenter",
          layout="tlCenter", transparent=False, Color=PANEL_DARK)
    label(bar, "lbPstName", 128, 13, 152, 22, "", color=TEXT_LIGHT, layout="tlCenter", transparent=False,
          Color=PANEL_DARK)
    bmp_button(bar, "bStore", 292, 10, 96, 28, "Store", "bar", on_click=handler("bStoreClick"),
               states=("Up", "Down", "Hot", "Disabled"))
    bmp_button(bar, "bRecall", 396, 10, 96, 28, "Recall", "bar", on_click=handler("bRecallClick"),
               states=("Up", "Down", "Hot", "Disabled"))
    label(bar, "lAddress", 532, 17, 60, 14, "Address", color=TEXT_DIM, bold=True)
    label(bar, "lbShowIdNumber", 596, 17, 64, 14, "ID : 1", color=TEXT_LIGHT)
    label(bar, "lbShowIp", 664, 17, 150, 14, "", color=TEXT_LIGHT)
    # set by the link ("Detect HID", "OffLine")
    label(bar, "lbStatus", 832, 17, 120, 14, "", color=ACCENT, bold=True)


def menu_item(parent, name, caption, click=None, visible=True, checked=False, tag=None):
    o = parent.add(Obj(name, "TMenuItem"))
    o.set(Caption=caption)
    if checked:
        o.set(Checked=True)
    if not visible:
        o.set(Visible=False)
    if tag is not None:
        o.set(Tag=tag)
    o.set(OnClick=handler(click) if click else None)
    return o


def build_menu(form):
    mm = form.add(Obj("MainMenu", "TMainMenu"))
    f = menu_item(mm, "File", "File")
    menu_item(f, "Open", "Open", "OpenClick")
    menu_item(f, "Save", "Save", "SaveClick")
    menu_item(f, "N1", "-")
    menu_item(f, "Upload", "Upload", "UploadClick")
    menu_item(f, "Download", "Download", "DownloadClick")
    menu_item(f, "N2", "-", visible=False)
    menu_item(f, "FactoryDefault", "Factory Default", "FactoryDefaultClick", visible=False)
    menu_item(f, "N3", "-")
    menu_item(f, "Exit", "Exit", "ExitClick")
    menu_item(mm, "Link", "Link", "LinkClick")
    menu_item(mm, "Copy", "Copy", "CopyClick")
    menu_item(mm, "Lock", "Lock", "LockClick")
    menu_item(mm, "SettingID", "Setting ID", "SettingIDClick", visible=False)
    menu_item(mm, "NetworkSetup", "Setting ID/IP", "NetworkSetupClick")
    menu_item(mm, "TestTone", "Test Tone", "TestToneClick")
    menu_item(mm, "ChNameList", "Channel Name", "ChNameListClick")
    lang = menu_item(mm, "LanguageSel", "Language", visible=False)
    menu_item(lang, "ChineseSimplified", "Chinese", "ChineseSimplifiedClick", tag=0)
    menu_item(lang, "ChineseTraditional", "Troditional Chinese", visible=False, tag=1)
    menu_item(lang, "English", "English", "EnglishClick", checked=True, tag=2)
    h = menu_item(mm, "Help", "Help")
    menu_item(h, "Rs232Code", "RS232 Code Table", "Rs232CodeClick")
    menu_item(h, "N4", "-", visible=False)
    menu_item(h, "MemoShow", "Memo Show", "MemoShowClick", visible=False)
    menu_item(h, "HidData", "HidData", "HidDataClick", visible=False)
    menu_item(h, "LockSetup", "Lock", "LockSetupClick", visible=False)
    menu_item(mm, "BlockDiagram", "Diagram", "BlockDiagramClick", visible=False)
    c = menu_item(mm, "Connect", "Connect", visible=False)
    menu_item(c, "Connected", "Connect", "ConnectedClick")
    menu_item(c, "N6", "-", visible=False)
    menu_item(c, "ConnectHelp", "Connect Help", "ConnectHelpClick", visible=False)
    menu_item(mm, "About", "About", "AboutClick")
    form.set(Menu=Ident("MainMenu"))


TIMERS = [("tmStartConnect", 300, "tmStartConnectTimer"), ("tmDisconnect", 300, "tmDisconnectTimer"),
          ("tmLinkBroken", 300, "tmLinkBrokenTimer"), ("tmComScan", 1, "tmComScanTimer"),
          ("tmInLevelDet", 300, "tmInLevelDetTimer"), ("tmProcessShow", 100, "tmProcessShowTimer"),
          ("tmUpload", 300, "tmUploadTimer"), ("tmLockPrompt", 1000, "tmLockPromptTimer"),
          ("tmEqCurve", 1, "tmEqCurveTimer"), ("tmHpLpCurve", 1, "tmHpLpCurveTimer"),
          ("tmMouseEqCurve", 1, "tmMouseEqCurveTimer"), ("tmGeqCurve", 1, "tmGeqCurveTimer"),
          ("tmCompDisp", 1, "tmCompDispTimer"), ("tmLimitDisp", 1, "tmLimitDispTimer")]


def build_nonvisual(form):
    # The link binds the controller's events itself when the window is created.
    form.add(Obj("HidCtl", "THidDeviceController"))
    for name, interval, on_timer in TIMERS:
        t = form.add(Obj(name, "TTimer"))
        t.set(Enabled=False, Interval=interval, OnTimer=handler(on_timer))
    for name, cls, flt in (("sdSavePreset", "TSaveDialog", "*.prs|*.prs"), ("odOpenPreset", "TOpenDialog", "*.prs|*.prs"),
                           ("sdSaveUnit", "TSaveDialog", "*.unt|*.unt"), ("odOpenUnit", "TOpenDialog", "*.unt|*.unt")):
        d = form.add(Obj(name, cls))
        d.set(DefaultExt=flt[2:5], Filter=flt)
        if cls == "TSaveDialog":
            d.set(Options=Raw("[ofOverwritePrompt, ofHideReadOnly, ofEnableSizing]"))


# ---------------------------------------------------------------------------------------------------
# Pages


def build_pages(main):
    build_gain_page(main)
    for s in SUFFIXES:
        build_channel_page(main, s)
    build_delay_page(main)
    build_comp_page(main)
    build_limit_page(main)
    build_gate_page(main)
    build_matrix_page(main)
    build_geq_page(main)


def graph(parent, name, x, y, w, h, tag):
    """A curve graph with the settings every graph of the window shares: fixed axes over the index range
    966..3840 (about 12.7 Hz to 24.5 kHz at 4096 points and 96 kHz) and -18..+18 dB, 10 x 11 grid lines,
    no titles."""
    o = ctl(parent, name, "LMyFFTDrawHpLp6dB", x, y, w, h, Tag=tag, Color=Ident("clBlack"), ParentColor=False)
    o.set(AxisColor=35840, YAutoScale=False, XAutoScale=False, YLabelScale=1.0, YMax=18.0, YMin=-18.0,
          XMax=3840.0, XMin=966.0, YLabelPrecision=5, VertTickLength=0, HorzTickLength=0, NumVertGrid=10,
          NumHorzGrid=11, GridColor=18432, ShowXTitle=False, ShowYTitle=False, ShowPlotTitle=False,
          XTitle="Frequency ", YTitle="\u00b0" if name in ("fftDrawInA", "fftDrawGeqInA", "fftDrawGeqInB") else "dB",
          YLabel="dB", PlotTitle="Frequency Response")
    for f, colour in (("PlotTitleFont", "clLime"), ("AxisTitleFont", "clLime"), ("AxisLabelFont", "clActiveBorder"),
                      ("MouseCoordFont", "clLime")):
        o.set(**{f + "__Name": FONT, f + "__Height": FONT_H, f + "__Color": Ident(colour)})
    o.set(FFTNuimber=Ident("n4096"), SampleRate=Ident("n96000"))
    if not name.startswith("fftDrawGeq"):
        o.set(OnMouseDown=handler("fftDrawInAMouseDown"), OnMouseMove=handler("fftDrawInAMouseMove"),
              OnMouseUp=handler("fftDrawInAMouseUp"))
    return o


def overlay_buttons(parent, graph_word, sources, first_x):
    """LED buttons that show other channels' curves on a graph; sources are channel suffixes."""
    for i, src in enumerate(sources):
        name = "ldbShow%s%s" % (letter(src), graph_word)
        key = "GainOut" if graph_word == "Gain" and src.startswith("Out") else graph_word
        led(parent, name, "TLdPowerButton", first_x + 51 * i, 3, 47, 16, src, channel_of(src),
            on_click=OVERLAY_HANDLERS.get(key),
            active=name in ("ldbShowAGain", "ldbShow1Gain"))


OVERLAY_HANDLERS = {"InA": "ldbShowBInAClick", "InB": "ldbShowAInBClick", "Out1": "ldbShow2Out1Click",
                    "Out2": "ldbShow1Out2Click", "Out3": "ldbShow1Out3Click", "Out4": "ldbShow1Out4Click",
                    "Gain": "ldbShowAGainClick", "GainOut": "ldbShow1GainClick"}


def gain_strip(parent, x, suffix, backup):
    """A channel's gain controls, 138 pixels wide from y = 40: the fader with its level bar beside it
    (on outputs under the limiter lamp), and the value box, mute and polarity to their right. The gain
    page's copies carry "Backup" in their names and are shorter."""
    ch = channel_of(suffix)
    side, d = ("In", letter(suffix)) if ch < 2 else ("Out", letter(suffix))
    b = "Backup" if backup else ""
    y = 40
    fader(parent, "isGain%s%s%s" % (b, side, d), x, y, 26, 126 if backup else 155, -280, 120, 0, 6, ch,
          on_change="isGainBackupInAChange" if backup else "isGainInAChange", hot_down=not backup)
    if ch < 2:
        level_bar(parent, "pbLevel%s%s%s" % (b, side, d), x + 32, y, 122 if backup else 199, True, tag=ch)
    else:
        lamp_h = 11 if backup else 22
        lamp(parent, "pbLimit%s%s%s" % (b, side, d), x + 32, y, lamp_h)
        level_bar(parent, "pbLevel%s%s%s" % (b, side, d), x + 32, y + lamp_h + 2, 110 if backup else 179,
                  False, tag=ch)
    value_box(parent, "cvdGain%s%s%s" % (b, side, d), x + 54, y, 84, "+0.0dB", ch,
              editor_events={"OnExit": "cvdGainInAExit", "OnKeyDown": "cvdGainInAKeyDown"})
    # Each toggle has a group of its own: buttons of one group under one parent release each other.
    bmp_button(parent, "pkbMute%s%s%s" % (b, side, d), x + 54, y + 28, 84, 24, "Mute", "toggle",
               tag=ch, group_index=TOGGLE_GROUP_MUTE + ch, all_up=True,
               on_click=handler("pkbMuteBackupInAClick" if backup else "pkbMuteInAClick"))
    bmp_button(parent, "pkbPhase%s%s%s" % (b, side, d), x + 54, y + 56, 84, 24, "Normal", "toggle",
               tag=ch, group_index=TOGGLE_GROUP_PHASE + ch, all_up=True,
               on_click=handler("pkbPhaseBackupInAClick" if backup else "pkbPhaseInAClick"))


def build_gain_page(main):
    up, low = page_pair(main, "Gain", True)
    label(up, "lbFftGainIn", 12, 5, 120, 14, "Input", color=TEXT_LIGHT, bold=True)
    sh = group(up, "pkgFftShowChIn", 260, 0, 200, 22, GRAPH_AREA)
    overlay_buttons(sh, "Gain", IN_SUFFIXES, 4)
    graph(up, "fftDrawGainIn", 19, 22, 530, 255, 0)
    label(up, "lbFftGainOut", 600, 5, 110, 14, "Output", color=TEXT_LIGHT, bold=True)
    sh = group(up, "pkgFftShowChOut", 720, 0, 240, 22, GRAPH_AREA)
    overlay_buttons(sh, "Gain", OUT_SUFFIXES, 4)
    graph(up, "fftDrawGainOut", 550, 22, 530, 255, 0)

    # six strips of 138 pixels 156 apart, the inputs and the outputs apart
    xs = [24, 180, 376, 532, 688, 844]
    label(low, "lbGainInput", xs[0], 6, 294, 16, "Input", color=TEXT_HEAD, bold=True)
    label(low, "lbGainOutput", xs[2], 6, 606, 16, "Output", color=TEXT_HEAD, bold=True)
    for x, s in zip(xs, SUFFIXES):
        label(low, "lbGainBackupName" + s, x, 22, 46, 14, s, color=TEXT_DARK, bold=True, align="taCenter")
        gain_strip(low, x, s, backup=True)


# The strips of a channel page (lower group, 1072 x 290): PEQ table, PEQ faders and band buttons,
# high- and low-pass, gain.
def build_channel_page(main, s):
    ch = channel_of(s)
    is_in = ch < 2
    side, d = ("In", letter(s)) if is_in else ("Out", letter(s))
    up, low = page_pair(main, s, False)
    bands = 8 if is_in else 9

    label(up, "lbFftChannel" + s, 12, 5, 52, 14, s, color=TEXT_LIGHT, bold=True)
    label(up, "lbFftParam" + s, 68, 5, 420, 14,
          "Frequency  ( \u2190 / \u2192 )      Q(\uff0b/\uff0d)     Gain (  \u2191 / \u2193  )",
          color=TEXT_DIM, Visible=False)
    sh = group(up, "pkgFftShowCh" + s, 500 if is_in else 460, 0, 270 if is_in else 310, 22, GRAPH_AREA)
    rb = ctl(sh, "rbShowGain" + s, "TRadioButton", 4, 2, 50, 18, Tag=ch, Caption="Mag", Checked=True)
    font(rb, Ident("clYellow"))
    rb.set(OnClick=handler("rbShowGainInAClick", editor=True))
    rb = ctl(sh, "rbShowPhase" + s, "TRadioButton", 56, 2, 58, 18, Tag=ch, Caption="Phase")
    font(rb, Ident("clSilver"))
    rb.set(OnClick=handler("rbShowPhaseInAClick", editor=True))
    others = [o for o in (IN_SUFFIXES if is_in else OUT_SUFFIXES) if o != s]
    overlay_buttons(sh, s, others, 120)
    led(up, "ldbEqBypass" + s, "TLdDemoButton", 776, 1, 78, 21, "EQ Bypass", ch, on_click="ldbEqBypassInAClick")
    led(up, "ldbEqReset" + s, "TLdDemoButton", 857, 1, 74, 21, "EQ Reset", ch, on_click="ldbEqResetInAClick")
    led(up, "ldbEqShowAll" + s, "TLdPowerButton", 934, 3, 118, 16, "SHOW ALL EQ", ch,
        on_click="ldbEqShowAllInAClick")
    graph(up, "fftDraw" + s, 20, 22, 1070, 255, ch)

    # PEQ band table
    label(low, "lbEq" + s, 8, 6, 512, 14,
          " PEQ       Frequency              Q                    Gain                 Type                Bypass",
          color=TEXT_HEAD, bold=True)
    # The table sits in a panel that crops its own frame and title band away.
    pk = ctl(low, "pkpPeq" + s, "TPkPanel", 8, 24, 520, 256 if is_in else 250, Caption="", Color=PARAM_AREA,
             ParentColor=False)
    p = ctl(pk, "peqPeq" + s, "TMyPEQType8", -11, -14 if is_in else -20, 536, 270, Tag=ch, Caption="",
            ChannelNumber=bands, GroupStyle=Ident("gsCustom"), Transparent=True, ParentColor=True, TabStop=True,
            BypassBackColor=Ident("clBtnFace"))  # a band's bypass button while it is not bypassed
    font(p, Ident("clWindowText"), height=-13)
    p.set(OnChange=handler("peqPeqInAChange", editor=True),
          OnEditMouseDown=handler("peqPeqInAEditMouseDown", editor=True),
          OnPeqTypeMouseWheel=handler("peqPeqInAPeqTypeMouseWheel", editor=True))

    # PEQ faders on the selected band (a column each: caption, fader, value), then the band buttons
    x = 540
    label(low, "lbEqParam" + s, x, 6, 224, 14, "PEQ Parameter", color=TEXT_HEAD, bold=True)
    rows = (("Freq", "isEqFreq", "cvdEqFreq", 0, 300, 0, 15, "19.7Hz", "isEqFreqInAChange"),
            ("Q", "isEqBw", "cvdEqBw", 0, 100, 0, 5, "0.4", "isEqBwInAChange"),
            ("Gain", "isEqGain", "cvdEqGain", 0, 240, 120, 3, "+0.0dB", "isEqGainInAChange"))
    for r, (cap, fn, bn, lo, hi, pos, page, text, h) in enumerate(rows):
        cx = x + 76 * r
        label(low, "lbEq%s%s" % ({"Freq": "Freq", "Q": "Bw", "Gain": "Gain"}[cap], s), cx, 24, 72, 14, cap,
              align="taCenter")
        fader(low, fn + s, cx + 23, 40, 26, 172, lo, hi, pos, page, ch, on_change=h, hot_down=(fn == "isEqGain"))
        value_box(low, bn + s, cx, 218, 72, text, ch, read_only=True,
                  editor_events={"OnExit": bn + "InAExit", "OnKeyDown": bn + "InAKeyDown"} if bn == "cvdEqFreq" else None)
    for b in range(bands):
        bmp_button(low, "pkbEq%d%s" % (b + 1, s), x + 24 * b, 252, 22, 24, str(b + 1), "band", tag=b,
                   group_index=ch + 1, states=("Up", "Down", "Hot", "StayDown"),
                   on_click=handler("pkbEq1InAClick", editor=True), font_color=TEXT_LIGHT)

    # high-pass (low cut) above low-pass (high cut): the fader, and beside it the value, slope and bypass
    x = 780
    for f, (word, cap, pos, text) in enumerate((("LowCut", "HighPass", 0, "19.7Hz"),
                                                 ("HighCut", "LowPass", 300, "20.16KHz"))):
        y = 6 + 142 * f
        label(low, "lb%sFreq%s" % (word, s), x, y, 112, 14, cap, color=TEXT_HEAD, bold=True)
        fader(low, "is%sFreq%s" % (word, s), x, y + 18, 27, 115, 0, 300, pos, 15, ch,
              on_change="is%sFreqInAChange" % word)
        value_box(low, "cvd%sFreq%s" % (word, s), x + 36, y + 20, 76, text, ch, read_only=True)
        label(low, "lb%sSlop%s" % (word, s), x + 36, y + 48, 76, 14, "Slope")
        cb = ctl(low, "pkc%sSlop%s" % (word, s), "TPkComboBox", x + 36, y + 63, 76, 21, Tag=ch,
                 Style=Ident("csDropDownList"), Items=SLOPES, ItemIndex=19)
        font(cb, TEXT_DARK)
        cb.set(OnChange=handler("pkc%sSlopInAChange" % word), OnMouseWheel=handler("pkc%sSlopInAMouseWheel" % word))
        bmp_button(low, "pkb%sBypass%s" % (word, s), x + 36, y + 92, 72, 24, "Bypass", "toggle",
                   tag=ch, group_index=(TOGGLE_GROUP_LOW_CUT if word == "LowCut" else TOGGLE_GROUP_HIGH_CUT) + ch,
                   all_up=True, states=("Up", "Down", "Hot", "StayDown"),
                   on_click=handler("pkb%sBypassInAClick" % word, editor=True))

    # gain strip
    x = 922
    label(low, "lbGainName" + s, x, 6, 138, 16, s, color=TEXT_HEAD, bold=True)
    label(low, "lbGain" + s, x, 22, 46, 14, "Gain", align="taCenter")
    gain_strip(low, x, s, backup=False)


SLOPES = ["BW -6", "BL -6", "BW -12", "BL -12", "LK -12", "BW -18", "BL -18", "BW -24", "BL -24", "LK -24",
          "BW -30", "BL -30", "BW -36", "BL -36", "LK -36", "BW -42", "BL -42", "BW -48", "BL -48", "LK -48"]


def build_delay_page(main):
    up, low = page_pair(main, "Delay", False)
    for half, (word, sufs, x) in enumerate((("In", IN_SUFFIXES, 8), ("Out", OUT_SUFFIXES, 560))):
        label(up, "lbFftDelay" + word, x, 5, 520, 14, "Input Delay" if word == "In" else "Output Delay",
              color=TEXT_LIGHT, bold=True)
        pl = ctl(up, "plFftDelay" + word, "TPanel", x, 24, 520, 234, Caption="", BevelOuter=Ident("bvLowered"),
                 Color=PANEL_DARK, ParentColor=False)
        for s in sufs:
            ch = channel_of(s)
            if ch < 2:
                i = ch
                img_top, line_top, show_top, size, line_h = 91 * i + 51, 91 * i + 41, 91 * i + 57, 30, 50
            else:
                i = ch
                img_top, line_top, show_top, size, line_h = 50 * i - 80, 50 * i - 80, 50 * i - 73, 32, 32
            label(pl, "lbDelayShow" + s, 4, show_top, 34, 14, s, color=TEXT_LIGHT, bold=True)
            ln = label(pl, "lbDelayLine" + s, 40, line_top, 475, line_h, "", color=Ident("clLime"),
                       layout="tlCenter", tag=ch)
            ln.set(OnMouseDown=handler("lbDelayLineInAMouseDown", editor=True),
                   OnMouseMove=handler("lbDelayLineInAMouseMove", editor=True),
                   OnMouseUp=handler("lbDelayLineInAMouseUp", editor=True))
            # disabled, so that a press on the indicator reaches the line label beneath, which drags it
            ctl(pl, "imDelay" + s, "TImage", 40, img_top, size, size, Tag=ch, Picture=pic("delay_%d" % size),
                Transparent=True, Enabled=False)
            label(pl, "lbFftDelayTime" + s, 40 + size, img_top + size // 4, 76, 14, "0.00ms",
                  color=TEXT_LIGHT, tag=ch)

    # a column per channel: name, fader, value; the inputs and the outputs apart
    xs = [24, 120, 248, 344, 440, 536]
    label(low, "lbDelayInput", xs[0], 6, 176, 16, "Input", color=TEXT_HEAD, bold=True)
    label(low, "lbDelayOutput", xs[2], 6, 368, 16, "Output", color=TEXT_HEAD, bold=True)
    for x, s in zip(xs, SUFFIXES):
        ch = channel_of(s)
        label(low, "lbDelayName" + s, x, 24, 80, 14, s, bold=True, align="taCenter")
        fader(low, "isDelay" + s, x + 27, 40, 27, 180, 0, 65280, 0, 6, ch, on_change="isDelayInAChange")
        value_box(low, "cvdDelay" + s, x, 226, 80, "0.00ms", ch,
                  editor_events={"OnExit": "cvdDelayInAExit", "OnKeyDown": "cvdDelayInBKeyDown"})
    u = group(low, "pkgUint", 664, 40, 200, 92, PARAM_AREA, framed=True)
    label(u, "lbDelayUnit", 8, 8, 184, 14, "Unit", color=TEXT_HEAD, bold=True)
    for k, cap in enumerate(("ms", "m", "ft")):
        bmp_button(u, "pkbUnit%d" % k, 8 + 62 * k, 40, 56, 28, cap, "toggle", tag=k, group_index=1,
                   down=(k == 0), states=("Up", "Down", "Hot", "StayDown"),
                   on_click=handler("pkbUnit0Click", editor=True))


SCALE_COMP = [("lbLimit", "Limit"), ("lbClip", "Clip"), ("lb12", "12"), ("lb5", "5"), ("lb0", "0"),
              ("lbN5", "-5"), ("lbN15", "-15"), ("lbN30", "-30"), ("lbN60", "-60")]
SCALE_GATE = [("lbClip", "Clip"), ("lb12", "12"), ("lb5", "5"), ("lb0", "0"), ("lbN5", "-5"),
              ("lbN15", "-15"), ("lbN20", "-20"), ("lbN30", "-30"), ("lbN60", "-60")]


def meter_panel(parent, name, x, w, scale, block, suffix, bases, bar_top, bar_h, with_lamp, head, head_text,
                tag):
    """A dynamics page's meter panel: header, scale labels, the level bar and (outputs) the lamp."""
    pl = ctl(parent, name, "TPanel", x, 24, w, 247, Caption="", BevelOuter=Ident("bvLowered"),
             Color=PANEL_DARK, ParentColor=False)
    if tag is not None:
        pl.set(Tag=tag)
    label(pl, head, 2, 4, w - 4, 14, head_text, color=ACCENT, bold=True, align="taCenter")
    for (stem, text), top in zip(scale, bases):
        label(pl, stem + block + suffix, 2, top, 28, 14, text, color=TEXT_DIM, align="taRightJustify",
              height=-9)
    level_bar(pl, "pbLevel" + block + suffix, 34, bar_top, bar_h, block.startswith("Gate"), tag=tag)
    if with_lamp:
        lamp(pl, "pbLimit" + block + suffix, 34, bar_top - 24, 22)
    return pl


# The dynamics strips: a column per parameter (caption, fader, value box), 86 pixels apart.
DYN_PITCH = 86
DYN_BOX = 68


def dyn_column(low, x, lbname, cap, fname, bname, h, lo, hi, pos, ch, text, h_change, box_events,
               fader_down=None, box_down=None, hot_down=False, disabled=False):
    label(low, lbname, x, 28, DYN_BOX, 14, cap, align="taCenter")
    f = fader(low, fname, x + 21, 46, 27, h, lo, hi, pos, 10, ch, on_change=h_change, hot_down=hot_down,
              disabled=disabled)
    if fader_down:
        f.set(OnMouseDown=handler(fader_down, editor=True))
    events = dict(box_events)
    if box_down:
        events["OnMouseDown"] = box_down
    value_box(low, bname, x, 46 + h + 6, DYN_BOX, text, ch, editor_events=events)


def dyn_updown(low, x, y, lbname, cap, uname, bname, lo, hi, pos, ch, text, box_events, on_changing,
               box_down=None):
    label(low, lbname, x, y, DYN_BOX, 14, cap, align="taCenter")
    events = dict(box_events)
    if box_down:
        events["OnMouseDown"] = box_down
    value_box(low, bname, x, y + 16, DYN_BOX - 17, text, ch, editor_events=events)
    updown(low, uname, x + DYN_BOX - 17, y + 16, lo, hi, pos, ch, on_changing=on_changing)


def box_events(stem):
    return {"OnExit": stem + "Exit", "OnKeyDown": stem + "KeyDown"}


def build_dyn_outputs(main, word, title_key_text):
    """The compressor and limiter pages: the XY plot between the mirror meter panel and the four
    outputs' panels, four strips below."""
    up, low = page_pair(main, word, False)
    label(up, "lb%sName" % word, 48, 5, 673, 14, "Out 1  " + title_key_text, color=TEXT_LIGHT, bold=True)
    xy_plot(up, "ip" + word, 70, 35, 720, 230)
    comp_bases = [35, 58, 81, 105, 128, 151, 175, 198, 222]
    mirror_bases = [22, 45, 68, 91, 115, 138, 161, 184, 208]
    meter_panel(up, "plLevel%sOut" % word, 4, 62, SCALE_COMP, word + "Out", "", mirror_bases, 43, 185, True,
                "lbHead%sOut" % word, "Out1", None)
    for s in OUT_SUFFIXES:
        ch = channel_of(s)
        meter_panel(up, "plLevel%s%s" % (word, s), 73 * ch + 654, 70, SCALE_COMP, word + "Out", letter(s),
                    comp_bases, 55, 185, True, "lbLevel%sName%s" % (word, s), s, ch)
    limit = word == "Limit"
    for k, s in enumerate(OUT_SUFFIXES):
        ch = channel_of(s)
        x = 12 + 264 * k
        t = label(low, "lb%s%s" % (word, s), x, 6, 250, 16, s, color=TEXT_HEAD, bold=True, tag=ch)
        t.set(OnMouseDown=handler("lb%sOut1MouseDown" % word, editor=True))
        # every fader and value box of a strip makes its output the page's channel on a mouse-down
        fader_down, box_down = "is%sThresholdOut1MouseDown" % word, "cvd%sThresholdOut1MouseDown" % word
        for col, (row, h, lo, hi, pos, text) in enumerate((
                ("Threshold", 180 if limit else 64, -180, 40, 40 if limit or k < 2 else 37, "+0.0dB"),
                ("Attack", 64, 0, 998, 50, "1ms"),
                ("Release", 64, 9, 2999, 499, "10ms"))):
            dyn_column(low, x + DYN_PITCH * col, "lb%s%s%s" % (word, row, s), row, "is%s%s%s" % (word, row, s),
                       "cvd%s%s%s" % (word, row, s), h, lo, hi, pos, ch, text,
                       "is%s%sOut1Change" % (word, row), box_events("cvd%s%sOut1" % (word, row)),
                       fader_down, box_down, hot_down=limit and row == "Threshold",
                       disabled=not (limit and row == "Threshold"))
        if word == "Comp":
            dyn_updown(low, x + DYN_PITCH, 150, "lbCompRatio" + s, "Ratio", "udCompRatio" + s, "cvdCompRatio" + s,
                       0, 15, 0, ch, "1:1.0", box_events("cvdCompRatioOut1"), "udCompRatioOut1ChangingEx",
                       box_down)
            dyn_updown(low, x + 2 * DYN_PITCH, 150, "lbCompKnee" + s, "Knee", "udCompKnee" + s, "cvdCompKnee" + s,
                       0, 12, 0, ch, "0dB", box_events("cvdCompKneeOut1"), "udCompKneeOut1ChangingEx",
                       box_down)
        else:
            dyn_updown(low, x + DYN_PITCH, 150, "lbLimitKnee" + s, "Knee", "udLimitKnee" + s, "cvdLimitKnee" + s,
                       0, 12, 0, ch, "0dB", box_events("cvdLimitKneeOut1"), "udLimitKneeOut1ChangingEx",
                       box_down)


def build_comp_page(main):
    build_dyn_outputs(main, "Comp", "RMS Compressor")


def build_limit_page(main):
    build_dyn_outputs(main, "Limit", "Peak Limit")


def build_gate_page(main):
    up, low = page_pair(main, "Gate", False)
    label(up, "lbGateName", 48, 5, 856, 14, "In A  Gate", color=TEXT_LIGHT, bold=True)
    xy_plot(up, "ipGate", 70, 40, 905, 230)
    bases = [36, 59, 82, 105, 129, 152, 175, 198, 222]
    meter_panel(up, "plLevelGateIn", 10, 52, SCALE_GATE, "GateIn", "", bases, 32, 208, False,
                "lbHeadGateIn", "InA", None)
    for s in IN_SUFFIXES:
        ch = channel_of(s)
        meter_panel(up, "plLevelGate" + s, 53 * ch + 979, 52, SCALE_GATE, "GateIn", letter(s), bases, 32, 208,
                    False, "lbLevelGateName" + s, s, ch)
    for k, s in enumerate(IN_SUFFIXES):
        ch = channel_of(s)
        x = 12 + 528 * k
        t = label(low, "lbGate" + s, x, 6, 500, 16, s, color=TEXT_HEAD, bold=True, tag=ch)
        t.set(OnMouseDown=handler("lbGateInAMouseDown", editor=True))
        rows = (("Threshold", -180, 0, 0, "+0.0dB"), ("Attack", 0, 998, 1, "1ms"),
                ("Release", 9, 2999, 99, "10ms"), ("Hold", 9, 998, 99, "10ms"))
        for r, (word, lo, hi, pos, text) in enumerate(rows):
            # On the gate page only some controls choose the page's input: the hold faders, both
            # threshold boxes and InA's attack and release boxes.
            fader_down = "isGateThresholdInAMouseDown" if word == "Hold" else None
            box_down = ("cvdGateThresholdInAMouseDown"
                        if word == "Threshold" or (s == "InA" and word in ("Attack", "Release")) else None)
            dyn_column(low, x + DYN_PITCH * r, "lbGate%s%s" % (word, s), word, "isGate%s%s" % (word, s),
                       "cvdGate%s%s" % (word, s), 64, lo, hi, pos, ch, text,
                       "isGate%sInAChange" % word, box_events("cvdGate%sInA" % word), fader_down, box_down,
                       disabled=True)


def build_matrix_page(main):
    up, low = page_pair(main, "Matrix", False)
    up.set(OnPaint=handler("pkgFftMatrixPaint", editor=True))
    pb = ctl(up, "pbMatrix", "TPaintBox", 465, 52, 97, 178)
    del pb

    def block(pl, word, s, x, y, w, h, caption, click):
        ch = channel_of(s)
        ctl(pl, "spMatrix%s%s" % (word, s), "TShape", x, y, w, h, Shape=Ident("stRoundRect"),
            Brush__Color=bgr(0x44, 0x4F, 0x5C), Pen__Color=bgr(0x6E, 0x7C, 0x8C))
        lb = label(pl, "lbMatrix%s%s" % (word, s), x, y, w, h, caption, color=TEXT_LIGHT, bold=True,
                   align="taCenter", layout="tlCenter", tag=ch)
        if click:
            lb.set(OnClick=handler(click.lstrip("!")),
                   OnMouseMove=handler("lbMatrixChNameInAMouseMove"))
        return lb

    for s in IN_SUFFIXES:
        ch = channel_of(s)
        pl = ctl(up, "plMatrix" + s, "TPanel", 48, 110 * ch + 70, 415, 40, Caption="",
                 BevelOuter=Ident("bvNone"), Color=PANEL_DARK, ParentColor=False)
        ctl(pl, "spMatrixName" + s, "TShape", 0, 2, 58, 16, Shape=Ident("stRoundRect"),
            Brush__Color=bgr(0x5A, 0x66, 0x74), Pen__Color=bgr(0x6E, 0x7C, 0x8C))
        label(pl, "lbMatrixName" + s, 0, 2, 70, 16, s, color=ACCENT, bold=True, layout="tlCenter", tag=ch)
        cn = label(pl, "lbMatrixChName" + s, 0, 21, 70, 16, "Input%d" % (ch + 1), color=TEXT_LIGHT,
                   layout="tlCenter", tag=ch)
        cn.set(OnClick=handler("lbMatrixChNameInAClick"), OnMouseMove=handler("lbMatrixChNameInAMouseMove"))
        for j, (word, cap, click) in enumerate((("Gain", "GAIN", "lbMatrixHpLpInAClick"),
                                                 ("Gate", "GATE", "!lbMatrixGateInAClick"),
                                                 ("Geq", "GEQ", "lbMatrixGeqInAClick"),
                                                 ("Peq", "PEQ", "lbMatrixHpLpInAClick"),
                                                 ("HpLp", "HP/LP", "lbMatrixHpLpInAClick"),
                                                 ("Delay", "DELAY", "lbMatrixDelayInAClick"))):
            block(pl, word, s, 77 + 57 * j, 10, 50, 20, cap, click)
    for s in OUT_SUFFIXES:
        ch = channel_of(s)
        pl = ctl(up, "plMatrix" + s, "TPanel", 561, 57 * ch - 74, 510, 30, Caption="",
                 BevelOuter=Ident("bvNone"), Color=PANEL_DARK, ParentColor=False)
        for word, x, cap, click in (("Xover", 2, "XOVER", "lbMatrixHpLpInAClick"),
                                    ("Peq", 61, "PEQ", "lbMatrixHpLpInAClick"),
                                    ("Gain", 121, "GAIN", "lbMatrixHpLpInAClick"),
                                    ("Comp", 180, "COMP", "lbMatrixCompOut1Click"),
                                    ("Phase", 240, "LIMIT", "lbMatrixPhaseOut1Click"),
                                    ("Delay", 298, "DELAY", "lbMatrixDelayInAClick"),
                                    ("Mute", 359, "MUTE", "lbMatrixHpLpInAClick")):
            block(pl, word, s, x, 5, 50, 20, cap, click)
        ctl(pl, "spMatrixName" + s, "TShape", 416, 1, 58, 14, Shape=Ident("stRoundRect"),
            Brush__Color=bgr(0x5A, 0x66, 0x74), Pen__Color=bgr(0x6E, 0x7C, 0x8C))
        label(pl, "lbMatrixName" + s, 418, 1, 80, 14, s, color=ACCENT, bold=True, tag=ch)
        cn = label(pl, "lbMatrixChName" + s, 419, 15, 80, 14, "Output%d" % (ch - 1), color=TEXT_LIGHT, tag=ch)
        cn.set(OnClick=handler("lbMatrixChNameInAClick"), OnMouseMove=handler("lbMatrixChNameInAMouseMove"))

    for k, s in enumerate(OUT_SUFFIXES):
        g = group(low, "pkgMatrix" + s, 16 + 262 * k, 84, 248, 120, PARAM_AREA, framed=True)
        label(g, "lbMatrixMix" + s, 8, 6, 240, 16, s, color=TEXT_HEAD, bold=True)
        for i, src in enumerate(IN_SUFFIXES):
            y = 28 + 38 * i
            bmp_button(g, "pkb%sMatrix%s" % (letter(src), s), 8, y, 56, 28, src, "toggle", tag=i,
                       group_index=i + 1, all_up=True,
                       states=("Up", "Down", "Hot", "StayDown") if (src, s) == ("InA", "Out1") else ("Up",),
                       on_click=handler("pkbAMatrix%sClick" % s, editor=True))
            value_box(g, "cvd%sMatrix%s" % (letter(src), s), 76, y + 3, 96, "+0.0dB", i,
                      editor_events={"OnExit": "cvdAMatrix%sExit" % s,
                                     "OnKeyDown": "cvdAMatrix%sKeyDown" % s})
            updown(g, "udMixGain%s%s" % (letter(src), s), 172, y + 3, -280, 0, 0, i,
                   on_changing="udMixGainA%sChangingEx" % s)


GEQ_FREQS = ["20", "25", "31.5", "40", "50", "63", "80", "100", "125", "160", "200", "250", "315", "400",
             "500", "630", "800", "1K", "1.25K", "1.6K", "2K", "2.5K", "3.15K", "4K", "5K", "6.3K", "8K",
             "10K", "12.5K", "16K", "20K"]


def build_geq_page(main):
    up, low = page_pair(main, "Geq", False)
    # Both inputs' groups lie on one place, InB's below InA's; the input choice brings one to the front.
    for s in reversed(IN_SUFFIXES):
        ch = channel_of(s)
        g = group(up, "pkgFftGeq" + s, *UPPER, GRAPH_AREA)
        label(g, "lbFftChGeq" + s, 12, 5, 52, 14, s, color=TEXT_LIGHT, bold=True)
        led(g, "ldbEqBypassGeq" + s, "TLdDemoButton", 776, 1, 78, 21, "EQ Bypass", ch,
            on_click="ldbEqBypassGeqInAClick")
        led(g, "ldbEqResetGeq" + s, "TLdDemoButton", 857, 1, 74, 21, "EQ Reset", ch,
            on_click="ldbEqResetGeqInAClick")
        graph(g, "fftDrawGeq" + s, 20, 22, 1070, 255, 8 + ch)
    for s in IN_SUFFIXES:
        ch = channel_of(s)
        bmp_button(low, "pkbGeqSel" + s, 8, 40 + 36 * ch, 56, 28, s, "toggle", tag=ch, group_index=1,
                   down=(ch == 0), states=("Up", "Down", "Hot", "StayDown"),
                   on_click=handler("pkbGeqSelInAClick", editor=True))
    for s in reversed(IN_SUFFIXES):
        ch = channel_of(s)
        g = group(low, "pkgGeq" + s, 80, 0, 992, 290, PARAM_AREA, framed=True)
        label(g, "lbGeqinA" if s == "InA" else "lbGeqInB", 12, 6, 120, 16, s, color=TEXT_HEAD, bold=True)
        for b in range(31):
            nn = "%02d" % (b + 1)
            x = 12 + 31 * b
            label(g, "lbGeqGainCh%s%s" % (nn, s), x - 3, 30, 31, 12, "+ 0.0", align="taCenter", height=-9)
            # the window gives every band InA's first thumb at start; that one also has a disabled look
            fader(g, "isGeqCh%s%s" % (nn, s), x, 46, 26, 193, 0, 240, 120, 6, b, hot_down=True,
                  disabled=(s == "InA" and b == 0), on_change="isGeqCh01%sChange" % s)
            label(g, "lbGeqFreqCh%s%s" % (nn, s), x - 3, 244, 31, 12, GEQ_FREQS[b], align="taCenter",
                  height=-9, color=TEXT_HEAD)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "resources", "layouts", "TFMMAIN.lay")
    form = build_form()
    lines = []
    form.write(lines)
    os.makedirs(os.path.dirname(out), exist_ok=True)
    with open(out, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")
    counts = {}
    for o in form.walk():
        counts[o.cls] = counts.get(o.cls, 0) + 1
    total = sum(counts.values()) - 1
    print("%s: %d components" % (out, total))
    if UNBOUND:
        print("handlers not published by the main window yet (left unbound): " + ", ".join(sorted(UNBOUND)))
    for cls in sorted(counts, key=lambda c: -counts[c]):
        print("  %-24s %d" % (cls, counts[cls]))


if __name__ == "__main__":
    main()
