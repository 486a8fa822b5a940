// The base of the window tests: before each test function a fresh main window
// comes up on the offscreen screen; its dialogs follow a script that records
// every message and address and hands out prepared paths, fonts and colours
// (nothing prepared = the user cancelled).
#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QTextEdit>
#include <QtTest>
#include <deque>
#include <memory>

#include "app/interaction.h"
#include "app/main_window.h"
#include "chart/chart_request.h"

namespace paipan::testing {

// Every message shown as "caption [icon] text", every address opened as
// "open address", in order.
class ScriptedInteraction : public Interaction {
public:
    QStringList log;
    std::deque<QString> paths;  // the answers of the open and save dialogs
    std::optional<QFont> font;
    std::optional<QColor> colour;
    QStringList filters;  // the filter of every file dialog shown
    int colourDialogs = 0;

    void showMessage(QWidget*, const QString& text, const QString& caption, MessageIcon icon) override {
        const char* icons[] = {"none", "information", "critical"};
        if (QGuiApplication::overrideCursor() != nullptr)  // a message under the wait cursor
            log << QStringLiteral("wait cursor:");
        log << QStringLiteral("%1 [%2] %3").arg(caption, icons[static_cast<int>(icon)], text);
    }
    QString chooseOpenPath(QWidget*, const QString& filter) override { return choosePath(filter); }
    QString chooseSavePath(QWidget*, const QString& filter) override { return choosePath(filter); }
    std::optional<QFont> chooseFont(QWidget*, const QFont&) override { return font; }
    std::optional<QColor> chooseColour(QWidget*, const QColor&) override {
        ++colourDialogs;
        return colour;
    }
    void openUrl(const QUrl& url) override { log << "open " + url.toString(); }
    // The print dialog prints into this PDF file; cancelled when it is empty.
    QString printTo;
    bool choosePrinter(QWidget*, QPrinter& printer) override {
        log << "print dialog";
        printer.setOutputFileName(printTo);
        return !printTo.isEmpty();
    }
    void previewPrint(QWidget*, QPrinter& printer, const std::function<void(QPrinter*)>& paint) override {
        log << "print preview";
        printer.setOutputFileName(printTo);
        paint(&printer);
    }

private:
    QString choosePath(const QString& filter) {
        filters << filter;
        const QString path = paths.empty() ? QString() : paths.front();
        if (!paths.empty()) paths.pop_front();
        return path;
    }
};

// The text of an input field, a line edit or the edit text of a list.
inline QString FieldText(const QWidget& w, const QString& name) {
    auto* edit = w.findChild<QLineEdit*>(name);
    return edit ? edit->text() : w.findChild<QComboBox*>(name)->currentText();
}

inline void SetFieldText(QWidget& w, const QString& name, const QString& text) {
    if (auto* edit = w.findChild<QLineEdit*>(name))
        edit->setText(text);
    else
        w.findChild<QComboBox*>(name)->setEditText(text);
}

// Which control holds which part of the request.
inline void SetControls(QWidget& w, const ChartInput& in) {
    const std::pair<const char*, std::string> texts[] = {
        {"Text1", in.name},   {"Text2", in.place},  {"Text3", in.longitude}, {"Text4", in.longitudeMinutes},
        {"Combo1", in.year},  {"Combo2", in.month}, {"Combo3", in.day},      {"Combo4", in.hour},
        {"Combo5", in.minute}};
    for (const auto& [name, value] : texts) SetFieldText(w, name, QString::fromStdString(value));
    const bool checks[] = {in.annual,    in.stars,  in.deities, in.hiddenStems, in.nayin,
                           in.minorLuck, in.palace, in.stages,  in.nightZi};
    for (int i = 0; i < 9; ++i)
        w.findChild<QAbstractButton*>(QStringLiteral("Check%1").arg(i + 1))->setChecked(checks[i]);
    w.findChild<QAbstractButton*>(in.male ? "Option1_0" : "Option1_1")->setChecked(true);
    w.findChild<QAbstractButton*>(in.horizontal ? "Option2_0" : "Option2_1")->setChecked(true);
}

// The format of the character at box position `pos`.
inline QTextCharFormat FormatAt(const QTextEdit* box, int pos) {
    QTextCursor c(box->document());
    c.setPosition(pos + 1);
    return c.charFormat();
}

// The colour of the character at box position `pos` (invalid: none set).
inline QColor ColourAt(const QTextEdit* box, int pos) {
    const QBrush brush = FormatAt(box, pos).foreground();
    return brush.style() == Qt::NoBrush ? QColor() : brush.color();
}

#ifdef PAIPAN_CLI
// What paipan-cli prints for `args`, with LF line ends as the box's plain
// text has them (a message when it fails).
inline QString CliOutput(const QStringList& args) {
    QProcess cli;
    cli.start(QStringLiteral(PAIPAN_CLI), args);
    if (!cli.waitForFinished(30000) || cli.exitCode() != 0)
        return QStringLiteral("paipan-cli failed: ") + QString::fromUtf8(cli.readAllStandardError());
    return QString::fromUtf8(cli.readAllStandardOutput()).replace(QStringLiteral("\r\n"), "\n");
}
#endif

inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class WindowTestCase : public QObject {
    Q_OBJECT

private slots:
    void init() {
        ui = std::make_unique<ScriptedInteraction>();
        before = QDateTime::currentDateTime();
        window = std::make_unique<MainWindow>(*ui);
        after = QDateTime::currentDateTime();
        window->show();
        box = window->findChild<QTextEdit*>(QStringLiteral("RichTextBox1"));
        QVERIFY(box);
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    void cleanup() {
        window.reset();
        ui.reset();
    }

protected:
    void trigger(const char* action) {
        auto* a = window->findChild<QAction*>(QString(action));
        QVERIFY2(a, action);
        a->trigger();
    }

    std::unique_ptr<ScriptedInteraction> ui;
    std::unique_ptr<MainWindow> window;
    QTextEdit* box = nullptr;
    QDateTime before, after;  // the clock around the window's construction
};

}  // namespace paipan::testing
