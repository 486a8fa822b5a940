// The ways a chart leaves the window, and the command line's pictures, PDF
// and RTF of the same chart: print, preview, PDF and PNG of what the box
// shows; cancel and unwritable targets; the PDF's text and font.
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <set>

#include "window_test.h"

using namespace paipan::testing;

namespace {

const paipan::ChartInput kBirth = paipan::DefaultChartInput(1990, 5, 8, 14, 5);

// Without white space, the ideographic space included (a PDF's text layer
// has spaces only where it guesses them).
QString Bare(QString s) { return s.remove(QRegularExpression("[\\s\\x{3000}]")); }

// The PDF's text without white space, cropped to an A4 page (text drawn
// outside the page is left out).
QString PdfText(const QString& path) {
    QProcess p;
    p.start("pdftotext", {"-layout", "-r", "72", "-x", "0", "-y", "0", "-W", "595", "-H", "842", path, "-"});
    p.waitForFinished();
    return Bare(QString::fromUtf8(p.readAllStandardOutput()));
}

QString PdfFonts(const QString& path) {
    QProcess p;
    p.start("pdffonts", {path});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The left and right edges of the text on the PDF's first page, in points.
std::pair<double, double> TextEdges(const QString& path) {
    QProcess p;
    p.start("pdftotext", {"-bbox", "-f", "1", "-l", "1", path, "-"});
    p.waitForFinished();
    const QString words = QString::fromUtf8(p.readAllStandardOutput());
    double left = 1e9, right = 0;
    static const QRegularExpression word("xMin=\"([\\d.]+)\" yMin=\"[\\d.]+\" xMax=\"([\\d.]+)\"");
    for (auto it = word.globalMatch(words); it.hasNext();) {
        const auto m = it.next();
        left = std::min(left, m.captured(1).toDouble());
        right = std::max(right, m.captured(2).toDouble());
    }
    return {left, right};
}

// The exact colours found in the picture.
std::set<QRgb> Colours(const QImage& image) {
    std::set<QRgb> found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) found.insert(image.pixel(x, y) & 0xFFFFFF);
    return found;
}

int Cli(const QStringList& args) {
    QStringList all;
    for (const auto& [flag, value] :
         {std::pair{"--year", "1990"}, {"--month", "5"}, {"--day", "8"}, {"--hour", "14"}, {"--minute", "5"}})
        all << flag << value;
    return QProcess::execute(PAIPAN_CLI, all << "--quiet" << args);
}

}  // namespace

class ExportTest : public WindowTestCase {
    Q_OBJECT

    QTemporaryDir dir;

    void press() {
        SetControls(*window, kBirth);
        QTest::mouseClick(window->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    }

private slots:
    // What the box shows, edits included, as the PDF's own characters (no
    // look-alike radicals) in the embedded print font; a line wider than the
    // page is scaled down, not cut. Print and preview draw the same pages.
    void pdfPrintAndPreview() {
        press();
        QTextCursor end(box->document());
        end.movePosition(QTextCursor::End);
        end.insertText("\n" + QString(60, u'八') + QStringLiteral("行尾"));
        ui->paths = {dir.filePath("chart")};
        trigger("mnuExportPdf");
        QCOMPARE(ui->log, QStringList());
        const QString pdf = dir.filePath("chart.pdf");
        QCOMPARE(PdfText(pdf), Bare(box->toPlainText()));
        QVERIFY(PdfFonts(pdf).contains(QRegularExpression("PaipanMonoSC-Regular +CID TrueType +Identity-H +yes")));
        // Inside margins of 15 mm (42.5 pt) on the A4 page 595.3 pt wide, the
        // widest line scaled to reach the right one, short by the document's
        // own 4 pixels of margin (2 pt at that scale) and the glyph's edge.
        const auto [left, right] = TextEdges(pdf);
        QVERIFY2(left >= 42.5 && left < 47, qPrintable(QString::number(left)));
        QVERIFY2(right < 551 && right > 548, qPrintable(QString::number(right)));
        ui->printTo = dir.filePath("printed.pdf");
        trigger("mnuPrint");
        QCOMPARE(PdfText(ui->printTo), Bare(box->toPlainText()));
        ui->printTo = dir.filePath("preview.pdf");
        trigger("mnuPrintPreview");
        QCOMPARE(PdfText(ui->printTo), Bare(box->toPlainText()));
        QCOMPARE(ui->log, QStringList({"print dialog", "print preview"}));
    }

    // The whole document on white, at twice the screen's pixels, with the
    // box's colours; the command line's picture of a fresh chart is the same.
    void imageLikeTheCommandLine() {
        press();
        ui->paths = {dir.filePath("chart.png")};
        trigger("mnuExportImage");
        const QImage image(dir.filePath("chart.png"));
        QVERIFY(image.width() >= 2 * box->document()->size().width());
        QVERIFY(image.height() >= 2 * box->document()->size().height());
        QCOMPARE(image.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
        const std::set<QRgb> found = Colours(image);
        for (QRgb c : {0x0000FFu, 0xFF0000u, 0x008000u, 0xC04000u, 0xFF00FFu, 0x000000u})
            QVERIFY2(found.count(c), qPrintable(QString::number(c, 16)));
        QCOMPARE(Cli({"--format", "png", "--output", dir.filePath("cli.png")}), 0);
        QCOMPARE(QImage(dir.filePath("cli.png")), image);
    }

    // The command line's PDF and RTF of a fresh chart are what the window
    // makes of it (RTF: byte for byte what 保存 writes). A name that ends in
    // the format's suffix, in any case, is kept as it is.
    void commandLineLikeTheWindow() {
        press();
        ui->paths = {dir.filePath("w.PDF"), dir.filePath("w.rtf"), dir.filePath("w.Png")};
        trigger("mnuExportPdf");
        trigger("mnuSave");
        trigger("mnuExportImage");
        QCOMPARE(QDir(dir.path()).entryList({"w.*"}), QStringList({"w.PDF", "w.Png", "w.rtf"}));
        QCOMPARE(Cli({"--format", "pdf", "--output", dir.filePath("cli.pdf")}), 0);
        QCOMPARE(PdfText(dir.filePath("cli.pdf")), PdfText(dir.filePath("w.PDF")));
        QVERIFY(PdfFonts(dir.filePath("cli.pdf"))
                    .contains(QRegularExpression("PaipanMonoSC-Regular +CID TrueType +Identity-H +yes")));
        QCOMPARE(Cli({"--format", "rtf", "--output", dir.filePath("cli.rtf")}), 0);
        QFile a(dir.filePath("w.rtf")), b(dir.filePath("cli.rtf"));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(b.readAll(), a.readAll());
    }

    // A document longer than a page goes on over several A4 pages: every
    // line once (also in the PDF's text, margins included), whole and in
    // order, each page but the last as full as the first (the first holds
    // the document's top margin, a line less). The picture of a
    // document too large for one refuses with its size and writes nothing.
    void longDocumentsAcrossPages() {
        QStringList lines;
        for (int i = 1; i <= 150; ++i) lines << QStringLiteral("第%1行").arg(i);
        box->setPlainText(lines.join('\n'));
        const QString pdf = dir.filePath("long.pdf");
        ui->paths = {pdf};
        trigger("mnuExportPdf");
        QCOMPARE(ui->log, QStringList());
        QProcess info;
        info.start("pdfinfo", {pdf});
        info.waitForFinished();
        const int count = QRegularExpression("Pages: +(\\d+)")
                              .match(QString::fromUtf8(info.readAllStandardOutput()))
                              .captured(1)
                              .toInt();
        QList<QStringList> pages;
        for (int page = 1; page <= count; ++page) {
            QProcess p;
            p.start("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), "-layout", pdf, "-"});
            p.waitForFinished();
            QStringList found;
            for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n'))
                if (!Bare(line).isEmpty()) found << Bare(line);
            pages << found;
        }
        QVERIFY(pages.size() >= 2);
        QStringList all;
        for (int i = 0; i < pages.size(); ++i) {
            all += pages[i];
            QVERIFY2(
                i + 1 < pages.size() ? std::abs(pages[i].size() - pages[0].size()) <= 1
                                     : pages[i].size() <= pages[0].size() + 1,
                qPrintable(
                    QString("page %1: %2 lines, the first %3").arg(i + 1).arg(pages[i].size()).arg(pages[0].size())));
        }
        QCOMPARE(all.join(' '), lines.join(' '));
        box->setPlainText(QString("行\n").repeated(20000));
        ui->paths = {dir.filePath("tall.png")};
        trigger("mnuExportImage");
        QCOMPARE(ui->log.size(), 1);
        QVERIFY2(ui->log[0].contains(QRegularExpression("文档太长，无法导出为一张图片（\\d+×\\d+像素）。")),
                 qPrintable(ui->log[0]));
        QVERIFY(!QFileInfo::exists(dir.filePath("tall.png")));
    }

    // Cancel writes nothing and says nothing; a target that cannot be
    // written says so, and what stood there before is still there.
    void cancelAndUnwritable() {
        press();
        QVERIFY(QDir(dir.path()).mkdir("cancel"));
        const QDir folder(dir.filePath("cancel"));
        ui->printTo.clear();
        const QString before = QDir::currentPath();  // nothing either where a bare ".pdf" would go
        QDir::setCurrent(folder.path());
        for (const char* command : {"mnuExportPdf", "mnuExportImage", "mnuPrint"}) trigger(command);
        QDir::setCurrent(before);
        QCOMPARE(ui->log, QStringList({"print dialog"}));
        QCOMPARE(folder.entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), QStringList());
        QVERIFY(folder.mkdir("taken.pdf"));
        ui->paths = {folder.filePath("taken.pdf"), folder.filePath("no-such-folder/chart.png")};
        trigger("mnuExportPdf");
        trigger("mnuExportImage");
        QCOMPARE(ui->log.size(), 3);
        for (int i : {1, 2})
            QVERIFY2(ui->log[i].startsWith(QStringLiteral("错误 [critical] 无法写入文件")), qPrintable(ui->log[i]));
        QVERIFY(QFileInfo(folder.filePath("taken.pdf")).isDir());
    }
};

QTEST_MAIN(ExportTest)
#include "tst_export.moc"
