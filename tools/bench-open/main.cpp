// Times what the window does with one file: 打开 (open) or 粘贴 of its text
// into an empty box (paste), then the full layout and one paint of the
// result box, the way the box shows the file to the user. Prints the seconds of each step, the
// box's paragraphs and the messages shown. Usage:
//   QT_QPA_PLATFORM=offscreen paipan-bench-open open|paste FILE
#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextEdit>
#include <cstdio>

#include "app/document_commands.h"
#include "app/interaction.h"
#include "app/main_window.h"

namespace {

// Answers the open dialog with the file and prints every message.
class Answers : public paipan::Interaction {
public:
    explicit Answers(QString path) : path_(std::move(path)) {}
    void showMessage(QWidget*, const QString& text, const QString& caption, paipan::MessageIcon) override {
        std::printf("message: %s: %s\n", qPrintable(caption), qPrintable(text));
    }
    QString chooseOpenPath(QWidget*, const QString&) override { return path_; }
    QString chooseSavePath(QWidget*, const QString&) override { return {}; }
    std::optional<QFont> chooseFont(QWidget*, const QFont&) override { return {}; }
    std::optional<QColor> chooseColour(QWidget*, const QColor&) override { return {}; }
    void openUrl(const QUrl&) override {}
    bool choosePrinter(QWidget*, QPrinter&) override { return false; }
    void previewPrint(QWidget*, QPrinter&, const std::function<void(QPrinter*)>&) override {}

private:
    QString path_;
};

double Seconds(QElapsedTimer& clock) {
    const double seconds = clock.nsecsElapsed() / 1e9;
    clock.restart();
    return seconds;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 || (args[1] != "open" && args[1] != "paste")) {
        std::fprintf(stderr, "usage: paipan-bench-open open|paste FILE\n");
        return 2;
    }
    Answers answers(args[2]);
    paipan::MainWindow window(answers);
    window.show();
    auto* box = window.findChild<QTextEdit*>(QStringLiteral("RichTextBox1"));
    QApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    if (args[1] == "paste") {  // into an empty box
        window.findChild<QAction*>("mnuNew")->trigger();
        QString error;
        const auto bytes = paipan::ReadDocumentFile(args[2], &error);
        QGuiApplication::clipboard()->setText(bytes ? paipan::DecodeText(*bytes) : QString());
        std::printf("clipboard: %.2f s\n", Seconds(clock));
    }
    window.findChild<QAction*>(args[1] == "open" ? "mnuOpen" : "mnuPaste")->trigger();
    std::printf("%s: %.2f s\n", qPrintable(args[1]), Seconds(clock));
    // Asking for the last paragraph's place lays out every paragraph before it.
    box->document()->documentLayout()->blockBoundingRect(box->document()->lastBlock());
    std::printf("layout: %.2f s\n", Seconds(clock));
    box->viewport()->grab();
    QApplication::processEvents();
    std::printf("paint: %.2f s\n", Seconds(clock));
    std::printf("paragraphs: %d, characters: %d\n", box->document()->blockCount(),
                box->document()->characterCount() - 1);
    return 0;
}
