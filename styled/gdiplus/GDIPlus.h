#pragma once
// The styled controls' smoothed drawing layer: one wrapper per drawing object kind (graphics, pens,
// brushes, paths, regions, matrices, fonts, string formats, images, image attributes), value records,
// ARGB colour functions, the gradient painter of the fill descriptor and picture-header readers.
//
// Every wrapper owns a native object (an opaque handle into GDIPNative.cpp, which draws with QPainter)
// and keeps the last failing status: an operation returns its status, a status other than Ok is kept
// in lastResult until GetLastStatus reads it, and Ok never clears an earlier error. Nothing raises.
//
// Pixel rules: integer coordinates address pixel centres (the smoothed layer's pixel offset), so a
// 1-px line at y = 1 lights row 1 only. Drawing is aliased unless the caller sets an antialiasing
// smoothing mode (SmoothingModeAntiAlias or SmoothingModeHighQuality). Aliased solid fills and
// outlines set whole pixels and lay their colour once on each pixel per call.

#include "platform/gui/Graphics.h"

#include <cstdint>
#include <string>
#include <vector>

class QImage;

namespace kv {

class TStream;
class TStGDIPPicture;

using ARGB = std::uint32_t;
using REAL = float;

enum Status : std::int32_t {
    Ok,
    GenericError,
    InvalidParameter,
    OutOfMemory,
    ObjectBusy,
    InsufficientBuffer,
    NotImplemented,
    Win32Error,
    WrongState,
    Aborted,
    FileNotFound,
    ValueOverflow,
    AccessDenied,
    UnknownImageFormat,
    FontFamilyNotFound,
    FontStyleNotFound,
    NotTrueTypeFont,
    UnsupportedGdiplusVersion,
    GdiplusNotInitialized,
    PropertyNotFound,
    PropertyNotSupported
};

enum FillMode { FillModeAlternate, FillModeWinding };
enum Unit_ { UnitWorld, UnitDisplay, UnitPixel, UnitPoint, UnitInch, UnitDocument, UnitMillimeter };
enum QualityMode { QualityModeInvalid = -1, QualityModeDefault, QualityModeLow, QualityModeHigh };
enum SmoothingMode {
    SmoothingModeInvalid = -1,
    SmoothingModeDefault = 0,
    SmoothingModeHighSpeed = 1,
    SmoothingModeHighQuality = 2,
    SmoothingModeNone = 3,
    SmoothingModeAntiAlias = 4
};
enum CompositingQuality {
    CompositingQualityInvalid = -1,
    CompositingQualityDefault,
    CompositingQualityHighSpeed,
    CompositingQualityHighQuality,
    CompositingQualityGammaCorrected,
    CompositingQualityAssumeLinear
};
enum HatchStyle {
    HatchStyleHorizontal,
    HatchStyleVertical,
    HatchStyleForwardDiagonal,
    HatchStyleBackwardDiagonal,
    HatchStyleCross,
    HatchStyleDiagonalCross,
    HatchStyle05Percent,
    HatchStyle10Percent,
    HatchStyle20Percent,
    HatchStyle25Percent,
    HatchStyle30Percent,
    HatchStyle40Percent,
    HatchStyle50Percent,
    HatchStyle60Percent,
    HatchStyle70Percent,
    HatchStyle75Percent,
    HatchStyle80Percent,
    HatchStyle90Percent,
    HatchStyleLightDownwardDiagonal,
    HatchStyleLightUpwardDiagonal,
    HatchStyleDarkDownwardDiagonal,
    HatchStyleDarkUpwardDiagonal,
    HatchStyleWideDownwardDiagonal,
    HatchStyleWideUpwardDiagonal,
    HatchStyleLightVertical,
    HatchStyleLightHorizontal,
    HatchStyleNarrowVertical,
    HatchStyleNarrowHorizontal,
    HatchStyleDarkVertical,
    HatchStyleDarkHorizontal,
    HatchStyleDashedDownwardDiagonal,
    HatchStyleDashedUpwardDiagonal,
    HatchStyleDashedHorizontal,
    HatchStyleDashedVertical,
    HatchStyleSmallConfetti,
    HatchStyleLargeConfetti,
    HatchStyleZigZag,
    HatchStyleWave,
    HatchStyleDiagonalBrick,
    HatchStyleHorizontalBrick,
    HatchStyleWeave,
    HatchStylePlaid,
    HatchStyleDivot,
    HatchStyleDottedGrid,
    HatchStyleDottedDiamond,
    HatchStyleShingle,
    HatchStyleTrellis,
    HatchStyleSphere,
    HatchStyleSmallGrid,
    HatchStyleSmallCheckerBoard,
    HatchStyleLargeCheckerBoard,
    HatchStyleOutlinedDiamond,
    HatchStyleSolidDiamond,
    HatchStyleTotal
};
std::vector<std::string> EnumIdents(HatchStyle);
enum DashStyle {
    DashStyleSolid,
    DashStyleDash,
    DashStyleDot,
    DashStyleDashDot,
    DashStyleDashDotDot,
    DashStyleCustom
};
std::vector<std::string> EnumIdents(DashStyle);
enum LineCap {
    LineCapFlat = 0,
    LineCapSquare = 1,
    LineCapRound = 2,
    LineCapTriangle = 3,
    LineCapNoAnchor = 0x10,
    LineCapSquareAnchor = 0x11,
    LineCapRoundAnchor = 0x12,
    LineCapDiamondAnchor = 0x13,
    LineCapArrowAnchor = 0x14
};
enum WrapMode { WrapModeTile, WrapModeTileFlipX, WrapModeTileFlipY, WrapModeTileFlipXY, WrapModeClamp };
enum LinearGradientMode {
    LinearGradientModeHorizontal,
    LinearGradientModeVertical,
    LinearGradientModeForwardDiagonal,
    LinearGradientModeBackwardDiagonal
};
enum CombineMode {
    CombineModeReplace,
    CombineModeIntersect,
    CombineModeUnion,
    CombineModeXor,
    CombineModeExclude,
    CombineModeComplement
};
enum MatrixOrder { MatrixOrderPrepend, MatrixOrderAppend };
enum ColorMatrixFlags { ColorMatrixFlagsDefault, ColorMatrixFlagsSkipGrays, ColorMatrixFlagsAltGray };
enum ColorChannelFlags {
    ColorChannelFlagsC,
    ColorChannelFlagsM,
    ColorChannelFlagsY,
    ColorChannelFlagsK,
    ColorChannelFlagsLast
};
enum TextRenderingHint {
    TextRenderingHintSystemDefault,
    TextRenderingHintSingleBitPerPixelGridFit,
    TextRenderingHintSingleBitPerPixel,
    TextRenderingHintAntiAliasGridFit,
    TextRenderingHintAntiAlias,
    TextRenderingHintClearTypeGridFit
};
enum StringAlignment { StringAlignmentNear, StringAlignmentCenter, StringAlignmentFar };
enum StringTrimming {
    StringTrimmingNone,
    StringTrimmingCharacter,
    StringTrimmingWord,
    StringTrimmingEllipsisCharacter,
    StringTrimmingEllipsisWord,
    StringTrimmingEllipsisPath
};
enum HotkeyPrefix { HotkeyPrefixNone, HotkeyPrefixShow, HotkeyPrefixHide };
enum FlushIntention { FlushIntentionFlush, FlushIntentionSync };
enum RotateFlipType {
    RotateNoneFlipNone,
    Rotate90FlipNone,
    Rotate180FlipNone,
    Rotate270FlipNone,
    RotateNoneFlipX,
    Rotate90FlipX,
    Rotate180FlipX,
    Rotate270FlipX
};
enum ColorAdjustType {
    ColorAdjustTypeDefault,
    ColorAdjustTypeBitmap,
    ColorAdjustTypeBrush,
    ColorAdjustTypePen,
    ColorAdjustTypeText,
    ColorAdjustTypeCount,
    ColorAdjustTypeAny
};
enum PenType {
    PenTypeSolidColor,
    PenTypeHatchFill,
    PenTypeTextureFill,
    PenTypePathGradient,
    PenTypeLinearGradient,
    PenTypeUnknown = -1
};
enum BrushType {
    BrushTypeSolidColor,
    BrushTypeHatchFill,
    BrushTypeTextureFill,
    BrushTypePathGradient,
    BrushTypeLinearGradient
};
// Font style bits.
enum : std::int32_t {
    FontStyleRegular = 0,
    FontStyleBold = 1,
    FontStyleItalic = 2,
    FontStyleBoldItalic = 3,
    FontStyleUnderline = 4,
    FontStyleStrikeout = 8
};
// String format flags used by the controls.
enum : std::int32_t {
    StringFormatFlagsDirectionRightToLeft = 0x0001,
    StringFormatFlagsDirectionVertical = 0x0002,
    StringFormatFlagsNoFitBlackBox = 0x0004,
    StringFormatFlagsDisplayFormatControl = 0x0020,
    StringFormatFlagsNoFontFallback = 0x0400,
    StringFormatFlagsMeasureTrailingSpaces = 0x0800,
    StringFormatFlagsNoWrap = 0x1000,
    StringFormatFlagsLineLimit = 0x2000,
    StringFormatFlagsNoClip = 0x4000
};
using PixelFormat = std::int32_t;
enum : PixelFormat {
    PixelFormatUndefined = 0,
    PixelFormat1bppIndexed = 0x00030101,
    PixelFormat4bppIndexed = 0x00030402,
    PixelFormat8bppIndexed = 0x00030803,
    PixelFormat16bppRGB565 = 0x00021005,
    PixelFormat24bppRGB = 0x00021808,
    PixelFormat32bppRGB = 0x00022009,
    PixelFormat32bppARGB = 0x0026200A,
    PixelFormat32bppPARGB = 0x000E200B
};

enum TGPImageFormat {
    ifUndefined,
    ifMemoryBMP,
    ifBMP,
    ifEMF,
    ifWMF,
    ifJPEG,
    ifPNG,
    ifGIF,
    ifTIFF,
    ifEXIF,
    ifIcon
};

enum TStGradientType {
    gtSolid,
    gtRadial,
    gtVertical,
    gtHorizontal,
    gtForwardDiagonal,
    gtBackwardDiagonal,
    gtAngle,
    gtHatch,
    gtPath,
    gtTexture,
    gtNone
};
std::vector<std::string> EnumIdents(TStGradientType);

struct TGPPoint {
    std::int32_t X = 0, Y = 0;
};
struct TGPPointF {
    REAL X = 0, Y = 0;
};
struct TGPRect {
    std::int32_t X = 0, Y = 0, Width = 0, Height = 0;
};
struct TGPRectF {
    REAL X = 0, Y = 0, Width = 0, Height = 0;
};
inline TGPPoint MakeGPPoint(std::int32_t x, std::int32_t y) {
    return {x, y};
}
inline TGPPointF MakeGPPointF(REAL x, REAL y) {
    return {x, y};
}
inline TGPRect MakeGPRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    return {x, y, w, h};
}
inline TGPRectF MakeGPRectF(REAL x, REAL y, REAL w, REAL h) {
    return {x, y, w, h};
}

struct TColorMatrix {
    REAL m[5][5] = {};
};
struct TColorMap {
    ARGB oldColor = 0, newColor = 0;
};

// ARGB colour functions.
ARGB MakeARGB(int a, int r, int g, int b);
ARGB ColorToOpaqueARGB(TColor color);
ARGB ColorToARGB(int alpha, TColor color);
ARGB RGBToARGB(int r, int g, int b);
inline int ARGBAlpha(ARGB c) {
    return static_cast<int>((c >> 24) & 0xFF);
}
inline int ARGBRed(ARGB c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
inline int ARGBGreen(ARGB c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
inline int ARGBBlue(ARGB c) {
    return static_cast<int>(c & 0xFF);
}

// Width and height from a picture file's header, without decoding it (see the .cpp for each rule).
// The outputs are left alone when the signature does not match, except where noted there.
void GetJPEGSize(const std::string& fileName, std::uint16_t& width, std::uint16_t& height);
void GetPNGSize(const std::string& fileName, std::uint16_t& width, std::uint16_t& height);
void GetBMPSize(const std::string& fileName, std::uint16_t& width, std::uint16_t& height);
void GetTIFFSize(const std::string& fileName, std::uint16_t& width, std::uint16_t& height);
void GetGIFSize(const std::string& fileName, std::uint16_t& width, std::uint16_t& height);
// The same readers on bytes already in memory.
void GetJPEGSize(const std::uint8_t* data, std::size_t size, std::uint16_t& width, std::uint16_t& height);
void GetPNGSize(const std::uint8_t* data, std::size_t size, std::uint16_t& width, std::uint16_t& height);
void GetBMPSize(const std::uint8_t* data, std::size_t size, std::uint16_t& width, std::uint16_t& height);
void GetTIFFSize(const std::uint8_t* data, std::size_t size, std::uint16_t& width, std::uint16_t& height);
void GetGIFSize(const std::uint8_t* data, std::size_t size, std::uint16_t& width, std::uint16_t& height);

// Native objects (GDIPNative.cpp).
struct GpGraphics;
struct GpPen;
struct GpBrush;
struct GpPath;
struct GpRegion;
struct GpMatrix;
struct GpFontFamily;
struct GpFontCollection;
struct GpFont;
struct GpStringFormat;
struct GpImage;
struct GpImageAttributes;

class TGPGraphics;
class TGPImage;
class TGPBrush;

// Root of the wrappers: no copying.
class TGdiplusBase {
public:
    TGdiplusBase() = default;
    TGdiplusBase(const TGdiplusBase&) = delete;
    TGdiplusBase& operator=(const TGdiplusBase&) = delete;
    virtual ~TGdiplusBase() = default;
};

class TGPRegion;
class TGPGraphicsPath;
class TGPFont;
class TGPStringFormat;
class TGPImageAttributes;
class TGPFontCollection;

class TGPMatrix : public TGdiplusBase {
public:
    TGPMatrix();
    TGPMatrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy);
    TGPMatrix(const TGPRectF& rect, const TGPPointF* dstplg); // three points
    TGPMatrix(const TGPRect& rect, const TGPPoint* dstplg);
    explicit TGPMatrix(GpMatrix* native); // adopted, status Ok
    ~TGPMatrix() override;
    TGPMatrix* Clone();
    Status GetElements(REAL* m) const; // six elements
    Status SetElements(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy);
    REAL OffsetX();
    REAL OffsetY();
    Status Reset();
    Status Multiply(const TGPMatrix* matrix, MatrixOrder order = MatrixOrderPrepend);
    Status Translate(REAL offsetX, REAL offsetY, MatrixOrder order = MatrixOrderPrepend);
    Status Scale(REAL scaleX, REAL scaleY, MatrixOrder order = MatrixOrderPrepend);
    Status Rotate(REAL angle, MatrixOrder order = MatrixOrderPrepend);
    Status RotateAt(REAL angle, const TGPPointF& center, MatrixOrder order = MatrixOrderPrepend);
    Status Shear(REAL shearX, REAL shearY, MatrixOrder order = MatrixOrderPrepend);
    Status Invert();
    Status TransformPoints(TGPPointF* pts, int count = 1);
    Status TransformPoints(TGPPoint* pts, int count = 1);
    Status TransformVectors(TGPPointF* pts, int count = 1);
    Status TransformVectors(TGPPoint* pts, int count = 1);
    bool IsInvertible();
    bool IsIdentity();
    Status GetLastStatus();

    GpMatrix* nativeMatrix = nullptr;
    Status lastResult = Ok;

protected:
    Status SetStatus(Status s);
};

class TGPFontCollection : public TGdiplusBase {
public:
    TGPFontCollection() = default;
    GpFontCollection* nativeFontCollection = nullptr;
    Status lastResult = Ok;
};

class TGPFontFamily : public TGdiplusBase {
public:
    TGPFontFamily();
    // Family by name (layout names like "Tahoma" go through the platform's substitution table);
    // FontFamilyNotFound when no installed family matches.
    explicit TGPFontFamily(const std::string& name, const TGPFontCollection* fontCollection = nullptr);
    TGPFontFamily(GpFontFamily* native, Status status);
    ~TGPFontFamily() override;
    static const TGPFontFamily* GenericSansSerif();
    static const TGPFontFamily* GenericSerif();
    static const TGPFontFamily* GenericMonospace();
    std::string GetFamilyName() const;
    bool IsAvailable() const { return nativeFamily != nullptr && lastResult == Ok; }
    Status GetLastStatus() const { return lastResult; }

    GpFontFamily* nativeFamily = nullptr;
    Status lastResult = Ok;
};

class TGPFont : public TGdiplusBase {
public:
    TGPFont(const TGPFontFamily* family, REAL emSize, std::int32_t style = FontStyleRegular,
            Unit_ unit = UnitPoint);
    // By family name; when that fails, the generic sans-serif family is taken and its status kept.
    TGPFont(const std::string& familyName, REAL emSize, std::int32_t style = FontStyleRegular,
            Unit_ unit = UnitPoint, const TGPFontCollection* fontCollection = nullptr);
    TGPFont(GpFont* native, Status status);
    ~TGPFont() override;
    REAL GetSize() const;
    std::int32_t GetStyle() const;
    Unit_ GetUnit() const;
    Status GetLastStatus() const { return lastResult; }

    GpFont* nativeFont = nullptr;
    Status lastResult = Ok;

protected:
    Status SetStatus(Status s);
};

class TGPStringFormat : public TGdiplusBase {
public:
    explicit TGPStringFormat(std::int32_t formatFlags = 0, std::uint16_t language = 0);
    explicit TGPStringFormat(const TGPStringFormat* format); // clone
    TGPStringFormat(GpStringFormat* native, Status status);
    ~TGPStringFormat() override;
    Status SetAlignment(StringAlignment align);
    StringAlignment GetAlignment();
    Status SetLineAlignment(StringAlignment align);
    StringAlignment GetLineAlignment();
    Status SetTrimming(StringTrimming trimming);
    StringTrimming GetTrimming();
    Status SetFormatFlags(std::int32_t flags);
    std::int32_t GetFormatFlags();
    Status SetHotkeyPrefix(HotkeyPrefix hotkeyPrefix);
    HotkeyPrefix GetHotkeyPrefix();
    Status GetLastStatus();

    GpStringFormat* nativeFormat = nullptr;
    Status lastError = Ok;

protected:
    Status SetStatus(Status s);
};

// An in-memory or file byte source for images (the platform stream the layer decodes from).
class TGPImage : public TGdiplusBase {
public:
    TGPImage(const std::string& fileName, bool useEmbeddedColorManagement = false);
    TGPImage(TStream* stream, bool useEmbeddedColorManagement = false);
    TGPImage(const std::uint8_t* data, std::size_t size);
    TGPImage(GpImage* native, Status status);
    ~TGPImage() override;
    TGPImageFormat GetFormat();
    std::uint32_t GetWidth();
    std::uint32_t GetHeight();
    PixelFormat GetPixelFormat();
    int GetPixelDepth();
    bool HasAlphaChannel();
    bool HasPalette();
    TGPImage* GetThumbnailImage(std::uint32_t thumbWidth, std::uint32_t thumbHeight);
    Status RotateFlip(RotateFlipType rotateFlipType);
    // Encodes as BMP, PNG or JPEG.
    Status Save(const std::string& fileName, TGPImageFormat format);
    Status Save(TStream* stream, TGPImageFormat format);
    Status SaveAdd(TGPImage* newImage);
    Status GetLastStatus();

    GpImage* nativeImage = nullptr;
    Status lastResult = Ok;
    Status loadStatus = Ok;

protected:
    TGPImage() = default;
    Status SetStatus(Status s);
};

class TGPBitmap : public TGPImage {
public:
    TGPBitmap(TStream* stream, bool useEmbeddedColorManagement = false);
    TGPBitmap(const std::uint8_t* data, std::size_t size);
    TGPBitmap(std::int32_t width, std::int32_t height, PixelFormat format = PixelFormat32bppARGB);
    explicit TGPBitmap(GpImage* native); // adopted, status Ok
    static TGPBitmap* FromStream(TStream* stream, bool useEmbeddedColorManagement = false);
    Status GetPixel(std::int32_t x, std::int32_t y, ARGB& color);
    Status SetPixel(std::int32_t x, std::int32_t y, ARGB color);
    // The pixels composed over the background colour, as an opaque image.
    Status GetHBITMAP(ARGB colorBackground, QImage& hbmReturn);
};

class TGPImageAttributes : public TGdiplusBase {
public:
    TGPImageAttributes();
    TGPImageAttributes(GpImageAttributes* native, Status status);
    ~TGPImageAttributes() override;
    TGPImageAttributes* Clone();
    Status SetToIdentity(ColorAdjustType type = ColorAdjustTypeDefault);
    Status Reset(ColorAdjustType type = ColorAdjustTypeDefault);
    Status SetColorMatrix(const TColorMatrix& colorMatrix, ColorMatrixFlags mode = ColorMatrixFlagsDefault,
                          ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearColorMatrix(ColorAdjustType type = ColorAdjustTypeDefault);
    Status SetColorMatrices(const TColorMatrix& colorMatrix, const TColorMatrix& grayMatrix,
                            ColorMatrixFlags mode = ColorMatrixFlagsDefault,
                            ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearColorMatrices(ColorAdjustType type = ColorAdjustTypeDefault);
    Status SetThreshold(REAL threshold, ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearThreshold(ColorAdjustType type = ColorAdjustTypeDefault);
    Status SetGamma(REAL gamma, ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearGamma(ColorAdjustType type = ColorAdjustTypeDefault);
    Status SetNoOp(ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearNoOp(ColorAdjustType type = ColorAdjustTypeDefault);
    Status SetColorKey(ARGB colorLow, ARGB colorHigh, ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearColorKey(ColorAdjustType type = ColorAdjustTypeDefault);
    Status SetOutputChannel(ColorChannelFlags channelFlags, ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearOutputChannel(ColorAdjustType type = ColorAdjustTypeDefault);
    Status SetOutputChannelColorProfile(const std::string& colorProfileFilename,
                                        ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearOutputChannelColorProfile(ColorAdjustType type = ColorAdjustTypeDefault);
    Status SetRemapTable(std::uint32_t mapSize, const TColorMap* map,
                         ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearRemapTable(ColorAdjustType type = ColorAdjustTypeDefault);
    Status SetBrushRemapTable(std::uint32_t mapSize, const TColorMap* map);
    Status ClearBrushRemapTable();
    Status SetWrapMode(WrapMode wrap, ARGB color = 0xFF000000, bool clamp = false);
    // Applies the bitmap adjustments to a palette of `count` colours in place.
    Status GetAdjustedPalette(ARGB* palette, int count, ColorAdjustType colorAdjustType);
    Status GetLastStatus();

    GpImageAttributes* nativeImageAttr = nullptr;
    Status lastResult = Ok;

protected:
    Status SetStatus(Status s);
};

class TGPBrush : public TGdiplusBase {
public:
    TGPBrush(); // no handle, NotImplemented
    TGPBrush(GpBrush* native, Status status);
    ~TGPBrush() override;
    BrushType GetType();
    Status GetLastStatus();

    GpBrush* nativeBrush = nullptr;
    Status lastResult = Ok;

protected:
    Status SetStatus(Status s);
};

class TGPSolidBrush : public TGPBrush {
public:
    explicit TGPSolidBrush(ARGB color);
    Status GetColor(ARGB& color);
    Status SetColor(ARGB color);
};

class TGPHatchBrush : public TGPBrush {
public:
    TGPHatchBrush(HatchStyle hatchStyle, ARGB foreColor, ARGB backColor = 0xFF000000);
    HatchStyle GetHatchStyle();
    Status GetForegroundColor(ARGB& color);
    Status GetBackgroundColor(ARGB& color);
};

class TGPTextureBrush : public TGPBrush {
public:
    TGPTextureBrush(TGPImage* image, WrapMode wrapMode = WrapModeTile);
    TGPTextureBrush(TGPImage* image, WrapMode wrapMode, const TGPRectF& dstRect);
    TGPTextureBrush(TGPImage* image, const TGPRectF& dstRect, TGPImageAttributes* imageAttributes = nullptr);
    Status ResetTransform();
    Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
    Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
    Status RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend);
    Status SetWrapMode(WrapMode wrapMode);
    WrapMode GetWrapMode();
    TGPImage* GetImage(); // the caller owns the result
};

class TGPLinearGradientBrush : public TGPBrush {
public:
    TGPLinearGradientBrush(const TGPPointF& point1, const TGPPointF& point2, ARGB color1, ARGB color2);
    TGPLinearGradientBrush(const TGPPoint& point1, const TGPPoint& point2, ARGB color1, ARGB color2);
    TGPLinearGradientBrush(const TGPRectF& rect, ARGB color1, ARGB color2, LinearGradientMode mode);
    TGPLinearGradientBrush(const TGPRect& rect, ARGB color1, ARGB color2, LinearGradientMode mode);
    TGPLinearGradientBrush(const TGPRectF& rect, ARGB color1, ARGB color2, REAL angle,
                           bool isAngleScalable = false);
    TGPLinearGradientBrush(const TGPRect& rect, ARGB color1, ARGB color2, REAL angle,
                           bool isAngleScalable = false);
    Status SetGammaCorrection(bool useGammaCorrection);
    // `count` colours at `positions` 0..1 (first 0, last 1); a count below 1 is refused.
    Status SetInterpolationColors(const ARGB* presetColors, const REAL* blendPositions, int count);
    Status SetWrapMode(WrapMode wrapMode);
};

class TGPPathGradientBrush : public TGPBrush {
public:
    explicit TGPPathGradientBrush(const TGPGraphicsPath* path);
    TGPPathGradientBrush(const TGPPointF* points, int count, WrapMode wrapMode = WrapModeClamp);
    Status SetCenterColor(ARGB color);
    Status GetCenterColor(ARGB& color);
    Status SetCenterPoint(const TGPPointF& point);
    Status SetCenterPoint(const TGPPoint& point);
    Status GetCenterPoint(TGPPointF& point);
    Status GetCenterPoint(TGPPoint& point);
    int GetPointCount();
    int GetSurroundColorCount();
    // `count` is updated to the number of colours taken or given.
    Status SetSurroundColors(const ARGB* colors, int& count);
    Status GetSurroundColors(ARGB* colors, int& count);
    Status SetWrapMode(WrapMode wrapMode);
    Status SetGammaCorrection(bool useGammaCorrection);
    // Position 0 is the outline, 1 the centre.
    Status SetInterpolationColors(const ARGB* presetColors, const REAL* blendPositions, int count);
};

class TGPPen : public TGdiplusBase {
public:
    TGPPen(ARGB color, REAL width = 1.0f);
    TGPPen(const TGPBrush* brush, REAL width = 1.0f);
    TGPPen(GpPen* native, Status status);
    ~TGPPen() override;
    Status SetWidth(REAL width);
    REAL GetWidth();
    Status SetColor(ARGB color);
    Status GetColor(ARGB& color);
    Status SetBrush(const TGPBrush* brush);
    TGPBrush* GetBrush(); // the caller owns the result
    PenType GetPenType();
    Status SetDashStyle(DashStyle dashStyle);
    DashStyle GetDashStyle();
    Status SetEndCap(LineCap endCap);
    Status SetStartCap(LineCap startCap);
    Status GetLastStatus();

    GpPen* nativePen = nullptr;
    Status lastResult = Ok;

protected:
    Status SetStatus(Status s);
};

class TGPGraphicsPath : public TGdiplusBase {
public:
    explicit TGPGraphicsPath(FillMode fillMode = FillModeAlternate);
    explicit TGPGraphicsPath(GpPath* native); // adopted, status Ok
    ~TGPGraphicsPath() override;
    Status Reset();
    Status StartFigure();
    Status CloseFigure();
    Status AddLine(REAL x1, REAL y1, REAL x2, REAL y2);
    Status AddLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
    Status AddLine(const TGPPointF& pt1, const TGPPointF& pt2);
    Status AddLines(const TGPPointF* points, int count);
    Status AddLines(const TGPPoint* points, int count);
    Status AddRectangle(const TGPRectF& rect);
    Status AddRectangle(const TGPRect& rect);
    Status AddArc(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
    Status AddArc(const TGPRectF& rect, REAL startAngle, REAL sweepAngle);
    Status AddEllipse(REAL x, REAL y, REAL width, REAL height);
    Status AddEllipse(const TGPRectF& rect);
    Status AddPie(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
    Status AddPolygon(const TGPPointF* points, int count);
    Status AddPolygon(const TGPPoint* points, int count);
    // Cardinal spline through every point (tension 0.5 by default).
    Status AddCurve(const TGPPointF* points, int count);
    Status AddCurve(const TGPPoint* points, int count);
    Status AddCurve(const TGPPointF* points, int count, REAL tension);
    Status AddCurve(const TGPPoint* points, int count, REAL tension);
    Status AddBezier(REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4);
    Status AddString(const std::string& text, int length, const TGPFontFamily* family, std::int32_t style,
                     REAL emSize, const TGPRectF& layoutRect, const TGPStringFormat* format);
    Status AddString(const std::string& text, int length, const TGPFontFamily* family, std::int32_t style,
                     REAL emSize, const TGPPointF& origin, const TGPStringFormat* format);
    int GetPointCount();
    Status GetBounds(TGPRectF& bounds);
    Status GetLastStatus();

    GpPath* nativePath = nullptr;
    Status lastResult = Ok;

protected:
    Status SetStatus(Status s);
};

class TGPRegion : public TGdiplusBase {
public:
    TGPRegion(); // infinite
    explicit TGPRegion(const TGPRectF& rect);
    explicit TGPRegion(const TGPRect& rect);
    explicit TGPRegion(const TGPGraphicsPath* path);
    ~TGPRegion() override;
    Status Exclude(const TGPGraphicsPath* path);
    Status Exclude(const TGPRectF& rect);
    Status Union(const TGPRegion* region);
    Status Intersect(const TGPRectF& rect);
    bool IsVisible(REAL x, REAL y);
    Status GetLastStatus();

    GpRegion* nativeRegion = nullptr;
    Status lastResult = Ok;

protected:
    Status SetStatus(Status s);
};

class TGPGraphics : public TGdiplusBase {
public:
    // On a canvas's drawing surface (the old device context).
    explicit TGPGraphics(TCanvas* canvas);
    explicit TGPGraphics(QImage* target);
    // On an image (no call when the image is absent).
    explicit TGPGraphics(TGPImage* image);
    ~TGPGraphics() override;
    static TGPGraphics* FromImage(TGPImage* image);

    void Flush(FlushIntention intention = FlushIntentionFlush);
    Status Clear(ARGB color);
    Status SetTransform(const TGPMatrix* matrix);
    Status ResetTransform();
    Status GetTransform(TGPMatrix* matrix);
    Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
    // A canvas over the drawing surface, valid until ReleaseHDC.
    TCanvas* GetHDC();
    void ReleaseHDC(TCanvas* hdc);
    Status SetCompositingQuality(CompositingQuality compositingQuality);
    CompositingQuality GetCompositingQuality();
    Status SetTextRenderingHint(TextRenderingHint newMode);
    TextRenderingHint GetTextRenderingHint();
    Status SetSmoothingMode(SmoothingMode smoothingMode);
    SmoothingMode GetSmoothingMode();

    Status DrawPath(const TGPPen* pen, const TGPGraphicsPath* path);
    Status DrawRectangle(const TGPPen* pen, const TGPRectF& rect);
    Status DrawRectangle(const TGPPen* pen, REAL x, REAL y, REAL width, REAL height);
    Status DrawRectangle(const TGPPen* pen, std::int32_t x, std::int32_t y, std::int32_t width,
                         std::int32_t height);
    Status DrawLine(const TGPPen* pen, REAL x1, REAL y1, REAL x2, REAL y2);
    Status DrawLine(const TGPPen* pen, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
    Status DrawLine(const TGPPen* pen, const TGPPointF& pt1, const TGPPointF& pt2);
    Status DrawLines(const TGPPen* pen, const TGPPointF* points, int count);
    Status DrawArc(const TGPPen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                   REAL sweepAngle);
    Status DrawArc(const TGPPen* pen, const TGPRectF& rect, REAL startAngle, REAL sweepAngle);
    Status DrawEllipse(const TGPPen* pen, REAL x, REAL y, REAL width, REAL height);
    Status DrawEllipse(const TGPPen* pen, const TGPRectF& rect);
    Status DrawCurve(const TGPPen* pen, const TGPPointF* points, int count, REAL tension = 0.5f);
    // At a point, at the image's own size.
    Status DrawImage(TGPImage* image, REAL x, REAL y);
    Status DrawImage(TGPImage* image, std::int32_t x, std::int32_t y);
    // Into a rectangle.
    Status DrawImage(TGPImage* image, REAL x, REAL y, REAL width, REAL height);
    Status DrawImage(TGPImage* image, const TGPRectF& rect);
    // The source rectangle of the image into the destination, with image attributes.
    Status DrawImage(TGPImage* image, const TGPRectF& destRect, REAL srcx, REAL srcy, REAL srcwidth,
                     REAL srcheight, Unit_ srcUnit, const TGPImageAttributes* imageAttributes = nullptr);
    Status DrawImage(TGPImage* image, const TGPRect& destRect, std::int32_t srcx, std::int32_t srcy,
                     std::int32_t srcwidth, std::int32_t srcheight, Unit_ srcUnit,
                     const TGPImageAttributes* imageAttributes = nullptr);
    Status DrawImageRect(TGPImage* image, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
    Status DrawImageRect(TGPImage* image, const TGPRectF& rect); // members rounded first
    Status FillRectangle(const TGPBrush* brush, const TGPRectF& rect);
    Status FillRectangle(const TGPBrush* brush, REAL x, REAL y, REAL width, REAL height);
    Status FillRectangle(const TGPBrush* brush, std::int32_t x, std::int32_t y, std::int32_t width,
                         std::int32_t height);
    Status FillPolygon(const TGPBrush* brush, const TGPPointF* points, int count,
                       FillMode fillMode = FillModeAlternate);
    Status FillPolygon(const TGPBrush* brush, const TGPPoint* points, int count,
                       FillMode fillMode = FillModeAlternate);
    Status FillEllipse(const TGPBrush* brush, const TGPRectF& rect);
    Status FillEllipse(const TGPBrush* brush, REAL x, REAL y, REAL width, REAL height);
    Status FillPath(const TGPBrush* brush, const TGPGraphicsPath* path);
    Status SetClip(const TGPRegion* region, CombineMode combineMode = CombineModeReplace);
    Status SetClip(const TGPGraphicsPath* path, CombineMode combineMode = CombineModeReplace);
    Status SetClip(const TGPRectF& rect, CombineMode combineMode = CombineModeReplace);
    Status ExcludeClip(const TGPRectF& rect);
    Status ExcludeClip(const TGPRegion* region);
    Status ResetClip();
    // Layout rectangle form, origin form, and the form with a layout size.
    Status MeasureString(const std::string& text, int length, const TGPFont* font, const TGPRectF& layoutRect,
                         const TGPStringFormat* stringFormat, TGPRectF& boundingBox,
                         std::int32_t* codepointsFitted = nullptr, std::int32_t* linesFilled = nullptr);
    Status MeasureString(const std::string& text, int length, const TGPFont* font, const TGPPointF& origin,
                         const TGPStringFormat* stringFormat, TGPRectF& boundingBox);
    Status MeasureString(const std::string& text, int length, const TGPFont* font, const TGPRectF& layoutRect,
                         TGPRectF& boundingBox);
    // `length` -1: the whole text. Text is UTF-8.
    Status DrawString(const std::string& text, int length, const TGPFont* font, const TGPRectF& layoutRect,
                      const TGPStringFormat* stringFormat, const TGPBrush* brush);
    Status DrawString(const std::string& text, int length, const TGPFont* font, const TGPPointF& origin,
                      const TGPBrush* brush);
    Status DrawString(const std::string& text, int length, const TGPFont* font, const TGPPointF& origin,
                      const TGPStringFormat* stringFormat, const TGPBrush* brush);
    Status DrawString(const std::string& text, int length, const TGPFont* font, const TGPRectF& layoutRect,
                      const TGPBrush* brush);
    // A smoothed font from a framework font (family falls back to Arial); the caller owns it.
    TGPFont* MakeFont(const TFont* aFont);
    int TextWidth(const std::string& text, const TFont* font);
    int TextHeight(const std::string& text, const TFont* font);
    // Draws (or with DT_CALCRECT only measures) the text at rect's top-left; returns the height.
    int DrawText(const std::string& text, int len, TRect& rect, const TFont* font, unsigned style,
                 TColor bkColor);
    Status GetLastStatus();

    GpGraphics* nativeGraphics = nullptr;
    Status lastResult = Ok;

protected:
    Status SetStatus(Status s);
};

// One descriptor for a gradient, hatch, texture or solid fill of a rectangle or path, with a border.
struct TGradientFillParams {
    TGPGraphics* Graphics = nullptr;
    TGPGraphicsPath* Path = nullptr;
    bool UsePath = false;
    TGPRectF Rect;
    TStGradientType GradientType = gtSolid;
    TColor Color1 = clNone, Color2 = clNone;
    int Opacity1 = 255, Opacity2 = 255;
    HatchStyle Hatch = HatchStyleHorizontal;
    int Angle = 0;
    TStGDIPPicture* Texture = nullptr;
    TColor BorderColor = clNone;
    int BorderWidth = 0;
    DashStyle BorderDashStyle = DashStyleSolid;
    bool Mirror = false;
};
void DrawGradientFill(const TGradientFillParams& params);

} // namespace kv
