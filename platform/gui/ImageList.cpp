#include "platform/gui/ImageList.h"

#include "platform/core/Classes.h"

#include <QBuffer>
#include <QDataStream>
#include <QPainter>

namespace kv {

namespace {
constexpr quint32 kMagic = 0x4B564931; // "KVI1"

// Light pixels of a picture carry no shape (the paper of a page, the face of a lens); they are left out
// of a greyed picture so that the outlines read as an engraving on the button face.
constexpr int kGreyInkLimit = 192;

// The greyed look of a disabled picture: its dark pixels in the shadow colour over a highlight copy
// one pixel right and down. The result is one pixel larger both ways.
QImage Greyed(const QImage& image) {
    QImage out(image.width() + 1, image.height() + 1, QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    const QRgb light = ToQRgb(clBtnHighlight) | 0xFF000000u;
    const QRgb shadow = ToQRgb(clBtnShadow) | 0xFF000000u;
    auto ink = [&](int x, int y) {
        return qAlpha(image.pixel(x, y)) != 0 && qGray(image.pixel(x, y)) < kGreyInkLimit;
    };
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (ink(x, y))
                out.setPixel(x + 1, y + 1, light);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (ink(x, y))
                out.setPixel(x, y, shadow);
    return out;
}
} // namespace

TImageList::TImageList(int width, int height) : FWidth(width), FHeight(height) {}

void TImageList::SetSize(int width, int height) {
    FWidth = width;
    FHeight = height;
    FImages.clear();
}

void TImageList::Clear() {
    FImages.clear();
}

int TImageList::Add(const TBitmap& bitmap, TColor maskColor) {
    const QImage source = bitmap.ToImage().convertToFormat(QImage::Format_ARGB32);
    const bool masked = maskColor != clNone;
    const QRgb mask = ToQRgb(maskColor) & 0xFFFFFFu;
    QImage image(FWidth, FHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < std::min(FHeight, source.height()); ++y)
        for (int x = 0; x < std::min(FWidth, source.width()); ++x) {
            const QRgb p = source.pixel(x, y);
            if (!masked || (p & 0xFFFFFFu) != mask)
                image.setPixel(x, y, p | 0xFF000000u);
        }
    FImages.push_back(std::move(image));
    return Count() - 1;
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
    if (index < 0 || index >= Count())
        return;
    TPngImage picture;
    picture.FromImage(enabled ? FImages[index] : Greyed(FImages[index]));
    canvas.Draw(x, y, &picture);
}

const QImage& TImageList::Image(int index) const {
    if (index < 0 || index >= Count())
        throw EKvError("List index out of bounds (" + std::to_string(index) + ")");
    return FImages[static_cast<std::size_t>(index)];
}

std::vector<std::uint8_t> TImageList::SaveToBytes() const {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << kMagic << qint32(FWidth) << qint32(FHeight) << quint32(FImages.size());
    for (const QImage& image : FImages)
        out << image;
    return {bytes.begin(), bytes.end()};
}

void TImageList::LoadFromBytes(const std::vector<std::uint8_t>& bytes) {
    QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    QDataStream in(data);
    quint32 magic = 0, count = 0;
    qint32 width = 0, height = 0;
    in >> magic >> width >> height >> count;
    if (in.status() != QDataStream::Ok || magic != kMagic || width <= 0 || height <= 0 || width > 32768 ||
        height > 32768 || count > 100000)
        throw EKvError("Invalid image list data");
    std::vector<QImage> images;
    for (quint32 i = 0; i < count; ++i) {
        QImage image;
        in >> image;
        if (in.status() != QDataStream::Ok || image.width() != width || image.height() != height)
            throw EKvError("Invalid image list data");
        images.push_back(image.convertToFormat(QImage::Format_ARGB32));
    }
    FWidth = width;
    FHeight = height;
    FImages = std::move(images);
}

} // namespace kv
