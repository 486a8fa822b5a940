// The 排盘 press in the window: the box shows exactly the chart paipan-cli
// prints for the same inputs, each coloured piece in its colour; every input
// problem shows its message and resets its field without touching the box.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

#include "app/main_window.h"
#include "chart/chart_request.h"
#include "shown_window.h"

using paipan::ChartInput;
using paipan::MainWindow;
using paipan::MessageIcon;
using paipan::testing::ScriptedInteraction;

Q_DECLARE_METATYPE(ChartInput)

namespace {

const QString kTitle = QStringLiteral("晴川四柱八字排盘系统 Ver1.0 （免费版）");

// The window's initial inputs with the given birth date and time.
ChartInput Input(int y, int m, int d, int h, int min) {
    return paipan::DefaultChartInput(y, m, d, h, min);
}

// Which control holds which part of the request.
void SetControls(QWidget& w, const ChartInput& in) {
    const std::pair<const char*, const std::string*> texts[] = {
        {"Text1", &in.name}, {"Text2", &in.place}, {"Text3", &in.longitude},
        {"Text4", &in.longitudeMinutes}};
    for (const auto& [name, value] : texts)
        w.findChild<QLineEdit*>(name)->setText(QString::fromStdString(*value));
    const std::pair<const char*, const std::string*> dates[] = {
        {"Combo1", &in.year}, {"Combo2", &in.month}, {"Combo3", &in.day},
        {"Combo4", &in.hour}, {"Combo5", &in.minute}};
    for (const auto& [name, value] : dates)
        w.findChild<QComboBox*>(name)->setEditText(QString::fromStdString(*value));
    const bool checks[] = {in.annual, in.stars,  in.deities, in.hiddenStems, in.nayin,
                           in.minorLuck, in.palace, in.stages, in.nightZi};
    for (int i = 0; i < 9; ++i)
        w.findChild<QCheckBox*>(QStringLiteral("Check%1").arg(i + 1))->setChecked(checks[i]);
    w.findChild<QRadioButton*>(in.male ? "Option1_0" : "Option1_1")->setChecked(true);
    w.findChild<QRadioButton*>(in.horizontal ? "Option2_0" : "Option2_1")->setChecked(true);
}

QStringList CliArguments(const ChartInput& in) {
    QStringList args{"--name", QString::fromStdString(in.name), "--place",
                     QString::fromStdString(in.place), "--longitude",
                     QString::fromStdString(in.longitude), "--longitude-minutes",
                     QString::fromStdString(in.longitudeMinutes), "--year",
                     QString::fromStdString(in.year), "--month", QString::fromStdString(in.month),
                     "--day", QString::fromStdString(in.day), "--hour",
                     QString::fromStdString(in.hour), "--minute", QString::fromStdString(in.minute),
                     "--sex", in.male ? "male" : "female", "--layout",
                     in.horizontal ? "horizontal" : "vertical"};
    const std::pair<const char*, bool> switches[] = {
        {"annual", in.annual},       {"stars", in.stars},          {"deities", in.deities},
        {"hidden-stems", in.hiddenStems}, {"nayin", in.nayin},     {"minor-luck", in.minorLuck},
        {"palace", in.palace},       {"stages", in.stages},        {"night-zi", in.nightZi}};
    for (const auto& [name, on] : switches)
        args << (on ? QStringLiteral("--%1") : QStringLiteral("--no-%1")).arg(name);
    return args;
}

// The chart as the command line prints it, CR LF made LF (the box keeps one
// paragraph per line; its plain text joins them with LF).
QString CliChart(const ChartInput& in) {
    QProcess cli;
    cli.start(QStringLiteral(PAIPAN_CLI), CliArguments(in));
    if (!cli.waitForFinished(30000) || cli.exitCode() != 0)
        return QStringLiteral("paipan-cli failed: ") + QString::fromUtf8(cli.readAllStandardError());
    return QString::fromUtf8(cli.readAllStandardOutput()).replace(QStringLiteral("\r\n"), "\n");
}

// The colour of the character at box position `pos` (invalid: none set).
QColor ColourAt(QTextDocument* doc, int pos) {
    QTextCursor c(doc);
    c.setPosition(pos + 1);
    const QBrush brush = c.charFormat().foreground();
    return brush.style() == Qt::NoBrush ? QColor() : brush.color();
}

}  // namespace

class ChartPressTest : public paipan::testing::WindowTestCase {
    Q_OBJECT

private slots:
    void chartLikeTheCommandLine_data() {
        QTest::addColumn<ChartInput>("input");
        QTest::newRow("1990-05-08 14:05 at 120°, the defaults") << Input(1990, 5, 8, 14, 5);
        ChartInput west = Input(1980, 1, 1, 0, 5);
        west.longitude = "116";
        west.longitudeMinutes = "28";
        west.male = false;
        west.horizontal = true;
        west.minorLuck = west.palace = west.nightZi = true;
        west.name = "李四";
        west.place = "北京";
        QTest::newRow("1980-01-01 00:05 at 116°28', female, horizontal, every option") << west;
        ChartInput bare = Input(2000, 2, 29, 23, 30);
        bare.annual = bare.stars = bare.deities = bare.hiddenStems = bare.nayin = bare.stages = false;
        bare.name = "";
        QTest::newRow("2000-02-29 23:30, every option cleared") << bare;
    }
    void chartLikeTheCommandLine() {
        QFETCH(ChartInput, input);
        box->setPlainText(QStringLiteral("旧的内容"));
        window->setWindowTitle(QStringLiteral("未命名"));
        SetControls(*window, input);
        QTest::mouseClick(window->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QVERIFY2(ui->messages.empty(), ui->messages.empty() ? "" : qPrintable(ui->messages[0].text));
        QCOMPARE(box->toPlainText(), CliChart(input));
        QCOMPARE(window->windowTitle(), kTitle);
        QCOMPARE(box->textCursor().position(), 0);
        QVERIFY(!box->textCursor().hasSelection());
        if (input.nightZi) {
            QCOMPARE(box->document()->firstBlock().text(),
                     QStringLiteral("——————以下排盘结果为夜子时排盘方式排出（仅影响夜子时即23~0点出生之人）——————"));
            QCOMPARE(box->document()->firstBlock().next().text(), QString());
        }
    }

    // Every coloured piece stands in the box with exactly its text, in its
    // colour; everything else keeps the default colour.
    void piecesInTheirColours_data() { chartLikeTheCommandLine_data(); }
    void piecesInTheirColours() {
        QFETCH(ChartInput, input);
        SetControls(*window, input);
        window->getZTYS();
        const auto outcome = paipan::RunChartRequest(input);
        const auto* chart = std::get_if<paipan::ChartResult>(&outcome);
        QVERIFY(chart);
        const QString raw = QString::fromStdString(chart->text);
        const QString shown = box->toPlainText();
        std::vector<QColor> expected(static_cast<size_t>(shown.size()));
        int coloured = 0;
        for (const paipan::ColourSpan& span : chart->spans) {
            // One paragraph break in the box for each CR LF before the piece.
            const int start = span.start - static_cast<int>(raw.left(span.start).count("\r\n"));
            const QString piece = raw.mid(span.start, span.length).replace("\r\n", "\n");
            QCOMPARE(shown.mid(start, piece.size()), piece);
            for (int i = start; i < start + piece.size(); ++i)
                expected[static_cast<size_t>(i)] = QColor(span.red, span.green, span.blue);
            coloured += span.length > 0 ? 1 : 0;
        }
        QVERIFY(coloured > 0);
        for (int i = 0; i < shown.size(); ++i) {
            if (shown.at(i) == u'\n')
                continue;
            QVERIFY2(ColourAt(box->document(), i) == expected[static_cast<size_t>(i)],
                     qPrintable(QString("position %1 '%2'").arg(i).arg(shown.at(i))));
        }
        // The reminder's heading is red.
        const int heading = static_cast<int>(shown.indexOf(QStringLiteral("特别提醒：")));
        QVERIFY(heading > 0);
        QCOMPARE(ColourAt(box->document(), heading), QColor(255, 0, 0));
        QCOMPARE(ColourAt(box->document(), heading + 4), QColor(255, 0, 0));
    }

    void inputProblems_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("reset");
        const QString lon = "请输入正确的经度数值！如果您不知道所在城市的经度值，请输入默认的120，约等于北京所在经度！";
        const QString lonMin = "请输入正确的经度分值！如果您不知道所在城市的经度分值，请输入默认的0分！";
        const QString year = "请选择或输入正确的年份值，年份的值应当是介于1890与2020之间的数值！";
        QTest::newRow("degrees empty") << "Text3" << "" << lon << "";
        QTest::newRow("degrees not a number") << "Text3" << "东经" << lon << "";
        QTest::newRow("degrees 181") << "Text3" << "181" << lon << "";
        QTest::newRow("degrees -181") << "Text3" << "-181" << lon << "";
        QTest::newRow("minutes empty") << "Text4" << "" << lonMin << "";
        QTest::newRow("minutes 60") << "Text4" << "60" << lonMin << "";
        QTest::newRow("minutes -1") << "Text4" << "-1" << lonMin << "";
        QTest::newRow("year text") << "Combo1" << "abc" << "请选择或输入正确的年份的数值！" << "";
        QTest::newRow("year 2021") << "Combo1" << "2021" << year << "1980";
        QTest::newRow("year 1889") << "Combo1" << "1889" << year << "1980";
        QTest::newRow("month empty") << "Combo2" << "" << "请选择或输入正确的月份的数值！" << "";
        QTest::newRow("month 13") << "Combo2" << "13"
                                  << "请选择或输入正确的月份值，月份的值应当是介于1与12之间的数值！" << "1";
        QTest::newRow("day text") << "Combo3" << "x" << "请选择或输入正确的公历日期的数值！" << "";
        QTest::newRow("day 0") << "Combo3" << "0"
                               << "请选择或输入正确的公历日期值，公历日期的值应当是介于1与31之间的数值！" << "1";
        QTest::newRow("day 32") << "Combo3" << "32"
                                << "请选择或输入正确的公历日期值，公历日期的值应当是介于1与31之间的数值！" << "1";
        QTest::newRow("hour text") << "Combo4" << "午时" << "请选择或输入正确的时间的数值！" << "";
        QTest::newRow("hour 24") << "Combo4" << "24"
                                 << "请选择或输入正确的时间值，时间的值应当是介于0与23之间的数值！" << "1";
        QTest::newRow("minute text") << "Combo5" << "-" << "请选择或输入正确的时间分的数值！" << "";
        QTest::newRow("minute 60") << "Combo5" << "60"
                                   << "请选择或输入正确的时间分值，时间分的值应当是介于0与59之间的数值！" << "1";
    }
    void inputProblems() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, reset);
        SetControls(*window, Input(1990, 5, 8, 14, 5));
        box->setPlainText(QStringLiteral("我的文字"));
        window->setWindowTitle(QStringLiteral("自定义标题"));
        QWidget* control = window->findChild<QWidget*>(field);
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            edit->setText(typed);
        else
            qobject_cast<QComboBox*>(control)->setEditText(typed);
        window->findChild<QPushButton*>("Command1")->setFocus();
        QTest::mouseClick(window->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QCOMPARE(ui->messages.size(), size_t(1));
        QCOMPARE(ui->messages[0].text, message);
        QCOMPARE(ui->messages[0].caption, QStringLiteral("提示"));
        QCOMPARE(ui->messages[0].icon, MessageIcon::Information);
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            QCOMPARE(edit->text(), reset);
        else
            QCOMPARE(qobject_cast<QComboBox*>(control)->currentText(), reset);
        QTRY_VERIFY(control->hasFocus());
        QCOMPARE(box->toPlainText(), QStringLiteral("我的文字"));
        QCOMPARE(window->windowTitle(), QStringLiteral("自定义标题"));
        QVERIFY(ui->urls.empty());
    }

    // The checks run in order: the longitude is reported before the year.
    void firstProblemOnly() {
        SetControls(*window, Input(2021, 5, 8, 14, 5));
        window->findChild<QLineEdit*>("Text3")->clear();
        window->getZTYS();
        QCOMPARE(ui->messages.size(), size_t(1));
        QVERIFY(ui->messages[0].text.startsWith(QStringLiteral("请输入正确的经度数值")));
        QCOMPARE(window->findChild<QComboBox*>("Combo1")->currentText(), QStringLiteral("2021"));
    }

    void dayInMonth_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<bool>("passes");
        QTest::newRow("1900-02-29 (not a leap year)") << 1900 << 2 << 29 << false;
        QTest::newRow("1981-02-29") << 1981 << 2 << 29 << false;
        QTest::newRow("1990-02-30") << 1990 << 2 << 30 << false;
        QTest::newRow("2019-04-31") << 2019 << 4 << 31 << false;
        QTest::newRow("2019-11-31") << 2019 << 11 << 31 << false;
        QTest::newRow("2000-02-29") << 2000 << 2 << 29 << true;
        QTest::newRow("1980-02-29") << 1980 << 2 << 29 << true;
        QTest::newRow("2019-01-31") << 2019 << 1 << 31 << true;
    }
    void dayInMonth() {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(bool, passes);
        SetControls(*window, Input(year, month, day, 10, 30));
        box->setPlainText(QStringLiteral("我的文字"));
        window->getZTYS();
        if (passes) {
            QVERIFY(ui->messages.empty());
            QVERIFY(box->toPlainText().contains(QStringLiteral("特别提醒：")));
            return;
        }
        QCOMPARE(ui->messages.size(), size_t(1));
        QCOMPARE(ui->messages[0].text, QStringLiteral("请检查输入数据是否出错！"));
        QCOMPARE(ui->messages[0].caption, QStringLiteral("提示"));
        QCOMPARE(ui->messages[0].icon, MessageIcon::None);
        const QString kept[] = {QString::number(year), QString::number(month), QString::number(day),
                                "10", "30"};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(window->findChild<QComboBox*>(QStringLiteral("Combo%1").arg(i + 1))->currentText(),
                     kept[i]);
        QCOMPARE(box->toPlainText(), QStringLiteral("我的文字"));
    }

    // Without its data files the press reports the problem and changes nothing.
    void missingDataFiles() {
        QTemporaryDir empty;
        MainWindow other(*ui, empty.path());
        SetControls(other, Input(1990, 5, 8, 14, 5));
        auto* otherBox = other.findChild<QTextEdit*>("RichTextBox1");
        const QString before = otherBox->toPlainText();
        other.getZTYS();
        QCOMPARE(ui->messages.size(), size_t(1));
        QCOMPARE(ui->messages[0].caption, QStringLiteral("错误"));
        QCOMPARE(ui->messages[0].icon, MessageIcon::Critical);
        QVERIFY(!ui->messages[0].text.isEmpty());
        QCOMPARE(otherBox->toPlainText(), before);
        QCOMPARE(other.windowTitle(), kTitle);
    }

};

QTEST_MAIN(ChartPressTest)
#include "tst_chart_press.moc"
