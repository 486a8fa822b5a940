#include "render/document_export.h"

#include "chart/chart_pieces.h"
#include "render/screen_dpi.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFontDatabase>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

namespace paipan {
namespace {

// The face the print font is made from.
const QString kChartFace = QString::fromUtf8(kChartFontFamily);

// Pictures larger than this (in pixels, either way) are refused: a
// document of some tens of thousands of lines would not fit in memory.
constexpr int kMaxImageSide = 32000;
constexpr qint64 kMaxImagePixels = 200'000'000;

QString CannotWrite(const QString& path, const QString& reason) {
    return QStringLiteral("无法写入文件“%1”：%2").arg(QDir::toNativeSeparators(path), reason);
}

bool Commit(QSaveFile& file, const QString& path, QString* error) {
    if (file.commit()) return true;
    *error = CannotWrite(path, file.errorString());
    return false;
}

void ReplaceFamily(QTextCharFormat& format, const QString& family) {
    QStringList families = format.fontFamilies().toStringList();
    if (!families.contains(kChartFace)) return;
    families.replaceInStrings(kChartFace, family);
    format.setFontFamilies(families);
}

// The tops of the document's lines and its bottom, in document pixels.
std::vector<double> LineTops(QTextDocument& document) {
    std::vector<double> tops;
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const double blockTop = layout->blockBoundingRect(block).top();
        const QTextLayout* lines = block.layout();
        for (int i = 0; i < lines->lineCount(); ++i) tops.push_back(blockTop + lines->lineAt(i).y());
    }
    tops.push_back(document.size().height());
    return tops;
}

}  // namespace

QString PrintFontFamily(const QString& folder) {
    static std::map<QString, QString> loaded;  // by folder
    const auto found = loaded.find(folder);
    if (found != loaded.end()) return found->second;
    const int id = QFontDatabase::addApplicationFont(QDir(folder).filePath(QString(kPrintFontFileName)));
    const QString family = id < 0 ? QString() : QFontDatabase::applicationFontFamilies(id).value(0);
    loaded.emplace(folder, family);
    return family;
}

std::unique_ptr<QTextDocument> PrintableCopy(const QTextDocument& document, const QString& printFamily) {
    std::unique_ptr<QTextDocument> copy(document.clone());
    QTextOption option = copy->defaultTextOption();
    option.setWrapMode(QTextOption::NoWrap);
    copy->setDefaultTextOption(option);
    if (printFamily.isEmpty()) return copy;
    QFont font = copy->defaultFont();
    if (font.families().contains(kChartFace) || font.family() == kChartFace) {
        font.setFamilies({printFamily});
        copy->setDefaultFont(font);
    }
    // Fragments first, changes after: changing a format splits and merges fragments.
    std::vector<std::pair<int, int>> ranges;
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().fontFamilies().toStringList().contains(kChartFace))
                ranges.emplace_back(fragment.position(), fragment.position() + fragment.length());
        }
    }
    for (const auto& [start, end] : ranges) {
        QTextCursor cursor(copy.get());
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        QTextCharFormat format = cursor.charFormat();
        ReplaceFamily(format, printFamily);
        cursor.setCharFormat(format);
    }
    return copy;
}

bool PaintPages(QTextDocument& document, QPagedPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    // The document is laid out in screen pixels; on the page it keeps its
    // size in points unless it is wider than the printable width.
    const QRectF paper = device.pageLayout().paintRectPixels(device.logicalDpiX());
    const double width = std::max(1.0, document.size().width());
    const double scale = std::min(device.logicalDpiX() / ScreenDpiX(), paper.width() / width);
    const double pageHeight = paper.height() / scale;
    auto paint = [&](double top, double bottom) {
        painter.save();
        painter.scale(scale, scale);
        painter.translate(0, -top);
        // Half a pixel inside this page's first line and short of the next
        // page's: a line touched by the clip is drawn whole, in the margin of
        // the page too, where its text would be found a second time.
        document.drawContents(&painter, QRectF(0, top, width, bottom - top - 0.5).adjusted(0.0, 0.5, 0.0, 0.0));
        painter.restore();
    };
    const std::vector<double> tops = LineTops(document);
    double pageTop = 0;
    for (std::size_t i = 0; i + 1 < tops.size(); ++i) {
        // A line that would run past the page's foot starts the next page.
        if (tops[i + 1] - pageTop > pageHeight && tops[i] > pageTop) {
            paint(pageTop, tops[i]);
            device.newPage();
            pageTop = tops[i];
        }
    }
    paint(pageTop, tops.back());
    return painter.end();
}

bool WritePdf(const QTextDocument& document, const QString& path, const QString& printFamily, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = CannotWrite(path, file.errorString());
        return false;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        pdf.setResolution(300);
        pdf.setCreator(QStringLiteral("paipan"));
        pdf.setTitle(QStringLiteral("四柱八字排盘"));
        const auto copy = PrintableCopy(document, printFamily);
        if (!PaintPages(*copy, pdf)) {
            file.cancelWriting();
            *error = CannotWrite(path, QStringLiteral("无法生成PDF。"));
            return false;
        }
    }
    return Commit(file, path, error);
}

bool WritePng(const QTextDocument& document, const QString& path, double scale, QString* error) {
    const auto copy = PrintableCopy(document, QString());
    const QSizeF size = copy->size() * scale;
    const int width = static_cast<int>(std::ceil(size.width()));
    const int height = static_cast<int>(std::ceil(size.height()));
    if (width > kMaxImageSide || height > kMaxImageSide || qint64(width) * height > kMaxImagePixels) {
        *error = QStringLiteral("文档太长，无法导出为一张图片（%1×%2像素）。").arg(width).arg(height);
        return false;
    }
    QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(scale, scale);
        copy->drawContents(&painter);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = CannotWrite(path, file.errorString());
        return false;
    }
    if (!image.save(&file, "PNG")) {
        file.cancelWriting();
        *error = CannotWrite(path, file.errorString());
        return false;
    }
    return Commit(file, path, error);
}

}  // namespace paipan
