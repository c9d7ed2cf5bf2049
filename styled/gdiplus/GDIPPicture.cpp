// Pictures kept as their encoded bytes. Nothing decoded is cached: every draw and size query decodes
// the bytes again and frees what it made before returning.

#include "styled/gdiplus/GDIPPicture.h"

#include "platform/gui/Layout.h"
#include "styled/gdiplus/GDIPNative.h"

#include <QPainter>

#include <cmath>

namespace kv {

std::vector<std::string> EnumIdents(TTransparentMode) {
    return {"tmAuto", "tmFixed"};
}

KV_REGISTER_CLASS(TGDIPPictureBase, TGraphic, b) {
    b.Prop("Data", &TGDIPPictureBase::Data, &TGDIPPictureBase::SetData);
    b.Event("OnClear", &TGDIPPictureBase::OnClear);
}
KV_REGISTER_CLASS(TGDIPPicture, TGDIPPictureBase, b) {}
KV_REGISTER_CLASS(TStGDIPPicture, TGDIPPictureBase, b) {}

namespace {
std::string UpperExt(const std::string& fileName) {
    const auto slash = fileName.find_last_of('/');
    const auto dot = fileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return UpperCase(fileName.substr(dot));
}
} // namespace

bool HasImage(const TGDIPPictureBase* p) {
    return p && !p->GetEmpty() && !p->Bytes().empty();
}

TGDIPPictureBase::TGDIPPictureBase() = default;
TGDIPPictureBase::~TGDIPPictureBase() = default;

void TGDIPPictureBase::WriteData(TStream* stream) const {
    if (stream)
        FDatastream.SaveToStream(*stream);
}

std::string TGDIPPictureBase::Data() const {
    const auto& b = FDatastream.Bytes();
    return std::string(b.begin(), b.end());
}

void TGDIPPictureBase::SetData(const std::string& bytes) {
    TMemoryStream s(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    ReadData(&s);
}

void TGDIPPictureBase::LoadFromStream(TStream* stream) {
    if (!stream)
        return;
    FDatastream.LoadFromStream(*stream);
    FIsEmpty = false;
    GetImageSizes();
    Change();
}

void TGDIPPictureBase::LoadFromFile(const std::string& fileName) {
    try {
        FDatastream.LoadFromFile(fileName);
        FIsEmpty = false;
        DoClear();
        SizesFromFile(fileName);
        Change();
    } catch (const std::exception&) {
        FIsEmpty = true;
    }
}

void TGDIPPictureBase::LoadFromResourceName(const std::string& resName) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ResourceBytes(resName);
    } catch (const EKvError&) {
        return; // no such resource: nothing
    }
    TMemoryStream s(std::move(bytes));
    LoadFromStream(&s);
}

void TGDIPPictureBase::LoadFromResourceID(int resID) {
    TMemoryStream s(ResourceBytes(std::to_string(resID)));
    LoadFromStream(&s);
}

void TGDIPPictureBase::LoadFromURL(const std::string& url) {
    const std::string upper = UpperCase(url);
    if (upper.rfind("RES://", 0) == 0) {
        if (url.size() > 6)
            LoadFromResourceName(url.substr(6));
    } else if (upper.rfind("FILE://", 0) == 0) {
        if (url.size() > 7)
            LoadFromFile(url.substr(7));
    }
}

bool TGDIPPictureBase::GetImageSizes() {
    if (FIsEmpty || FDatastream.Size() == 0)
        return false;
    TGPImage image(FDatastream.Memory(), FDatastream.Size());
    FWidth = static_cast<int>(image.GetWidth());
    FHeight = static_cast<int>(image.GetHeight());
    return true;
}

QImage TGDIPPictureBase::ToImage() const {
    if (FIsEmpty || FDatastream.Size() == 0)
        return {};
    GpImage img;
    if (!DecodeImageBytes(FDatastream.Memory(), FDatastream.Size(), img))
        return {};
    return img.image;
}

void TGDIPPictureBase::FromImage(const QImage& image) {
    LoadFromBytes(EncodePng(image.convertToFormat(QImage::Format_ARGB32)));
}

void TGDIPPictureBase::LoadFromBytes(const std::vector<std::uint8_t>& bytes) {
    TMemoryStream s(bytes);
    LoadFromStream(&s);
}

bool TGDIPPictureBase::AssignFramework(const TPersistent* source) {
    const TGraphic* g = dynamic_cast<const TGraphic*>(source);
    if (auto* pic = dynamic_cast<const TPicture*>(source))
        g = pic->Graphic();
    if (!g)
        return false;
    FDatastream.Clear();
    const std::vector<std::uint8_t> bytes = g->SaveToBytes();
    FDatastream.Write(bytes.data(), bytes.size());
    FIsEmpty = false;
    Change();
    return true;
}

bool TGDIPPictureBase::BeginAssign(const TPersistent* source) {
    FIsEmpty = true;
    if (source)
        return true;
    FDatastream.Clear();
    Change();
    DoClear();
    return false;
}

void TGDIPPictureBase::AssignBytes(const void* data, std::size_t size) {
    FDatastream.Clear();
    FDatastream.Write(data, size);
    FIsEmpty = FDatastream.Size() == 0;
    Change();
}

void TGDIPPictureBase::DrawOnCanvas(TCanvas& canvas, const TRect& rect, bool stretchBitmap) {
    if (FIsEmpty || FDatastream.Size() == 0)
        return;
    TGPImage image(FDatastream.Memory(), FDatastream.Size());
    TGPGraphics graphics(&canvas);
    if (image.GetFormat() == ifBMP) {
        TBitmap bmp;
        try {
            bmp.LoadFromBytes(FDatastream.Bytes());
        } catch (const EKvError&) {
            return;
        }
        bmp.SetTransparentColor(clDefault);
        bmp.SetTransparent(true);
        if (stretchBitmap)
            canvas.StretchDraw(rect, &bmp);
        else
            canvas.Draw(rect.Left, rect.Top, &bmp);
        return;
    }
    FWidth = static_cast<int>(image.GetWidth());
    FHeight = static_cast<int>(image.GetHeight());
    graphics.DrawImageRect(&image, rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top);
}

// ---------------------------------------------------------------------------------------------------

void TGDIPPicture::ReadData(TStream* stream) {
    if (!stream)
        return;
    FDatastream.LoadFromStream(*stream);
    FIsEmpty = false;
}

void TGDIPPicture::Assign(const TPersistent* source) {
    if (!BeginAssign(source))
        return;
    if (auto* p = dynamic_cast<const TGDIPPicture*>(source)) {
        AssignBytes(p->FDatastream.Memory(), p->FDatastream.Size());
    } else if (dynamic_cast<const TBitmap*>(source) || dynamic_cast<const TPicture*>(source)) {
        AssignFramework(source);
    } else {
        // A class the picture cannot take: it is empty now, and its old bytes go too, so that they
        // do not come back with the next save.
        FDatastream.Clear();
    }
    GetImageSizes();
}

void TGDIPPicture::Draw(TCanvas& canvas, const TRect& rect) {
    // A BMP is stretched into the rectangle.
    DrawOnCanvas(canvas, rect, true);
}

void TGDIPPicture::DrawImage(TGPGraphics* graphics, int x, int y) {
    if (FIsEmpty || FDatastream.Size() == 0 || !graphics)
        return;
    TGPImage image(FDatastream.Memory(), FDatastream.Size());
    graphics->DrawImage(&image, x, y);
}

void TGDIPPicture::DrawImageRect(TGPGraphics* graphics, int x, int y, int w, int h) {
    if (FIsEmpty || FDatastream.Size() == 0 || !graphics)
        return;
    TGPImage image(FDatastream.Memory(), FDatastream.Size());
    graphics->DrawImageRect(&image, x, y, w, h);
}

// ---------------------------------------------------------------------------------------------------

TStGDIPPicture::TStGDIPPicture() {
    SetTransparent(false);
}

void TStGDIPPicture::ReadData(TStream* stream) {
    if (!stream || stream->Size() == 0)
        return;
    FDatastream.LoadFromStream(*stream);
    FIsEmpty = false;
    GetImageSizes();
}

void TStGDIPPicture::LoadFromStream(TStream* stream) {
    if (!stream || stream->Size() == 0)
        return;
    TGDIPPictureBase::LoadFromStream(stream);
}

void TStGDIPPicture::Assign(const TPersistent* source) {
    if (!BeginAssign(source))
        return;
    if (auto* p = dynamic_cast<const TStGDIPPicture*>(source)) {
        AssignBytes(p->FDatastream.Memory(), p->FDatastream.Size());
    } else if (auto* g = dynamic_cast<const TGDIPPictureBase*>(source)) {
        AssignBytes(g->Bytes().data(), g->Bytes().size());
    } else if (dynamic_cast<const TGraphic*>(source) || dynamic_cast<const TPicture*>(source)) {
        AssignFramework(source);
    } else {
        FDatastream.Clear();
    }
    GetImageSizes();
}

void TStGDIPPicture::Draw(TCanvas& canvas, const TRect& rect) {
    DrawOnCanvas(canvas, rect, false);
}

void TStGDIPPicture::DrawDecoded(TGPGraphics* graphics, TGPImage& image, const TGPRectF& rect, bool scaled) {
    FHasAlpha = image.HasAlphaChannel();
    FHasPalette = image.HasPalette();
    FPixelDepth = image.GetPixelDepth();
    FPixelFormat = image.GetPixelFormat();
    FWidth = static_cast<int>(image.GetWidth());
    FHeight = static_cast<int>(image.GetHeight());
    if (image.GetFormat() == ifBMP && Transparent()) {
        ARGB key;
        if (FBitmapTransparentMode == TTransparentMode::tmFixed) {
            key = ColorToARGB(255, FBitmapTransparentColor);
        } else {
            TGPBitmap bmp(FDatastream.Memory(), FDatastream.Size());
            bmp.GetPixel(0, static_cast<std::int32_t>(bmp.GetHeight()) - 1, key);
        }
        TGPImageAttributes attrs;
        attrs.SetColorKey(key, key, ColorAdjustTypeDefault);
        const TGPRectF dst =
            scaled ? rect : TGPRectF{rect.X, rect.Y, static_cast<REAL>(FWidth), static_cast<REAL>(FHeight)};
        graphics->DrawImage(&image, dst, 0, 0, static_cast<REAL>(FWidth), static_cast<REAL>(FHeight),
                            UnitPixel, &attrs);
        return;
    }
    graphics->DrawImageRect(&image, rect);
}

void TStGDIPPicture::GDIPDraw(TGPGraphics* graphics, const TRect& rect) {
    if (FIsEmpty || FDatastream.Size() == 0 || !graphics)
        return;
    TGPImage image(FDatastream.Memory(), FDatastream.Size());
    DrawDecoded(graphics, image,
                TGPRectF{static_cast<REAL>(rect.Left), static_cast<REAL>(rect.Top),
                         static_cast<REAL>(rect.Right - rect.Left),
                         static_cast<REAL>(rect.Bottom - rect.Top)},
                false);
}

void TStGDIPPicture::GDIPDraw(TGPGraphics* graphics, const TGPRectF& rect) {
    if (FDrawing || FIsEmpty || FDatastream.Size() == 0 || !graphics)
        return;
    FDrawing = true;
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{FDrawing};
    TGPImage image(FDatastream.Memory(), FDatastream.Size());
    DrawDecoded(graphics, image, rect, true);
}

void TStGDIPPicture::FillRect(TGPGraphics* graphics, const TGPRectF& rect) {
    if (FIsEmpty || FDatastream.Size() == 0 || !graphics)
        return;
    TGPImage image(FDatastream.Memory(), FDatastream.Size());
    TGPTextureBrush brush(&image, WrapModeTile);
    graphics->FillRectangle(&brush, rect);
}

void TStGDIPPicture::FillPath(TGPGraphics* graphics, TGPGraphicsPath* path) {
    if (FIsEmpty || FDatastream.Size() == 0 || !graphics)
        return;
    TGPImage image(FDatastream.Memory(), FDatastream.Size());
    TGPTextureBrush brush(&image, WrapModeTile);
    graphics->FillPath(&brush, path);
}

void TStGDIPPicture::GetImageSizesFromFileName(const std::string& fileName) {
    if (FIsEmpty || FDatastream.Size() == 0)
        return;
    std::uint16_t w = 0, h = 0;
    const std::string ext = UpperExt(fileName);
    if (ext == ".JPG" || ext == ".JPEG")
        GetJPEGSize(fileName, w, h);
    else if (ext == ".PNG")
        GetPNGSize(fileName, w, h);
    else if (ext == ".BMP")
        GetBMPSize(fileName, w, h);
    else if (ext == ".TIFF" || ext == ".TIF") // the short extension is the same format
        GetTIFFSize(fileName, w, h);
    else if (ext == ".GIF")
        GetGIFSize(fileName, w, h);
    FWidth = w;
    FHeight = h;
}

} // namespace kv
