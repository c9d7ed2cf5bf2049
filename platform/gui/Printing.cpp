// Printing through Qt's print support; a PDF file stands in for the printer where none exists.

#include "platform/gui/Printing.h"

#include <QDir>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace kv {

namespace {
std::string& OutputFolder() {
    static std::string folder;
    return folder;
}

QString SafeFileName(const std::string& caption) {
    QString name = QString::fromStdString(caption).trimmed();
    for (QChar& c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20)
            c = QLatin1Char('_');
    return name.isEmpty() ? QStringLiteral("Document") : name;
}
} // namespace

void SetPrintOutputFolder(const std::string& folder) {
    OutputFolder() = folder;
}

std::string PrintOutputFolder() {
    if (!OutputFolder().empty())
        return OutputFolder();
    QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty())
        docs = QDir::homePath();
    return docs.toStdString();
}

bool PrintJob(const std::string& caption, const std::function<bool(TPrintPage& page, int pageIndex)>& render,
              std::string* outputFile) {
    // A PDF at screen resolution keeps the page's pixel arithmetic the same as on screen.
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setDocName(QString::fromStdString(caption));
    const bool toFile = !OutputFolder().empty() || QPrinterInfo::availablePrinters().isEmpty();
    if (toFile) {
        const QString path =
            QDir(QString::fromStdString(PrintOutputFolder())).filePath(SafeFileName(caption) + ".pdf");
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        if (outputFile)
            *outputFile = path.toStdString();
    }
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    for (int index = 0;; ++index) {
        TPrintPage p;
        p.painter = &painter;
        p.dpiX = printer.logicalDpiX();
        p.dpiY = printer.logicalDpiY();
        p.pageRect = QRect(QPoint(0, 0), page.size());
        if (!render(p, index))
            break;
        if (index > 10000 || !printer.newPage())
            break;
    }
    painter.end();
    return true;
}

} // namespace kv
