#include "platform/gui/ImageList.h"

#include "platform/core/Classes.h"

#include <QBuffer>
#include <QDataStream>
#include <QPainter>

namespace kv {

namespace {
constexpr quint32 kMagic = 0x4B564931; // "KVI1"

// Grey of the same brightness, at half strength, for a disabled picture.
QImage Greyed(const QImage& image) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int g = qGray(line[x]);
            line[x] = qRgba(g, g, g, qAlpha(line[x]) / 2);
        }
    }
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
    const TColor rgb = ColorToRGB(maskColor);
    const QRgb mask = qRgb(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
    QImage image(FWidth, FHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < std::min(FHeight, source.height()); ++y)
        for (int x = 0; x < std::min(FWidth, source.width()); ++x) {
            const QRgb p = source.pixel(x, y);
            if ((p & 0xFFFFFF) != (mask & 0xFFFFFF))
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
    if (in.status() != QDataStream::Ok || magic != kMagic || width <= 0 || height <= 0 || count > 100000)
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
