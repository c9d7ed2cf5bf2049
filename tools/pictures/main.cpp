// korvane-pictures: draws every picture of the editor's windows and writes them as PNG files (JPEG for
// the paths ending in .jpg).
//
//     korvane-pictures [--list] [output folder] [name filter]
//
// The output folder defaults to resources/pictures; a filter draws only the pictures whose path
// contains it.

#include "Common.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <set>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    const bool list = args.removeAll(QStringLiteral("--list")) > 0;
    const QString out = args.value(0, QStringLiteral("resources/pictures"));
    const QString filter = args.value(1);

    std::set<std::string> seen;
    int written = 0;
    for (const pictures::Picture& pic : pictures::Registry()) {
        if (!seen.insert(pic.path).second) {
            std::fprintf(stderr, "korvane-pictures: %s registered twice\n", pic.path.c_str());
            return 1;
        }
        const QString path = QString::fromStdString(pic.path);
        if (!filter.isEmpty() && !path.contains(filter))
            continue;
        if (list) {
            std::printf("%s %dx%d\n", pic.path.c_str(), pic.size.width(), pic.size.height());
            continue;
        }
        QImage image(pic.size, pic.opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
        image.fill(pic.opaque ? QColor(Qt::black) : QColor(Qt::transparent));
        {
            QPainter p(&image);
            pic.draw(p, pic.size);
        }
        const QString file = out + QLatin1Char('/') + path;
        QDir().mkpath(QFileInfo(file).path());
        const QImage stored = pic.opaque ? image.convertToFormat(QImage::Format_RGB888)
                                         : image.convertToFormat(QImage::Format_ARGB32);
        const bool jpeg = file.endsWith(QStringLiteral(".jpg"));
        if (!stored.save(file, jpeg ? "JPEG" : "PNG", jpeg ? 88 : 9)) {
            std::fprintf(stderr, "korvane-pictures: cannot write %s\n", qPrintable(file));
            return 1;
        }
        ++written;
    }
    if (!list)
        std::printf("%d pictures written below %s\n", written, qPrintable(out));
    return EXIT_SUCCESS;
}
