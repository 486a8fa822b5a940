// The 排盘 press in the window: the box shows exactly the chart paipan-cli
// prints for the same inputs, each coloured piece in its colour; every input
// problem shows its message and resets its field without touching the box.
#include <QAbstractItemView>
#include <QCompleter>
#include <QInputMethodEvent>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>

#include "util/program_folder.h"
#include "render/chart_document.h"
#include "chart/chart_pieces.h"
#include "window_test.h"

using paipan::ChartInput;
using paipan::DefaultChartInput;
using namespace paipan::testing;

Q_DECLARE_METATYPE(ChartInput)

namespace {

const QString kTitle = QStringLiteral("晴川四柱八字排盘系统 Ver1.0 （免费版）");

QStringList CliArguments(const ChartInput& in) {
    // clang-format off
    const std::pair<const char*, std::string> values[] = {
        {"name", in.name}, {"place", in.place}, {"longitude", in.longitude},
        {"longitude-minutes", in.longitudeMinutes}, {"year", in.year}, {"month", in.month},
        {"day", in.day}, {"hour", in.hour}, {"minute", in.minute},
        {"sex", in.male ? "male" : "female"}, {"layout", in.horizontal ? "horizontal" : "vertical"}};
    const std::pair<const char*, bool> switches[] = {
        {"annual", in.annual}, {"stars", in.stars}, {"deities", in.deities},
        {"hidden-stems", in.hiddenStems}, {"nayin", in.nayin}, {"minor-luck", in.minorLuck},
        {"palace", in.palace}, {"stages", in.stages}, {"night-zi", in.nightZi}};
    // clang-format on
    QStringList args;
    for (const auto& [option, value] : values)
        args << QStringLiteral("--%1").arg(option) << QString::fromStdString(value);
    for (const auto& [name, on] : switches) args << (on ? QStringLiteral("--%1") : QStringLiteral("--no-%1")).arg(name);
    return args;
}

// The chart as the command line prints it, CR LF made LF (the box keeps one
// paragraph per line; its plain text joins them with LF).
QString CliChart(const ChartInput& in) { return CliOutput(CliArguments(in)); }

// Coloured runs as (start, length, colour), neighbours of one colour joined.
using ColourRuns = QList<std::tuple<int, int, QColor>>;

void AddRun(ColourRuns& runs, int start, int length, const QColor& colour) {
    if (!colour.isValid() || length == 0) return;
    if (!runs.isEmpty()) {
        auto& [lastStart, lastLength, lastColour] = runs.back();
        if (lastColour == colour && lastStart + lastLength == start) {
            lastLength += length;
            return;
        }
    }
    runs.append({start, length, colour});
}

// The box's runs, line ends included: what is typed into an empty line
// takes the colour of the line end before it.
ColourRuns BoxRuns(const QTextEdit* box) {
    ColourRuns runs;
    const QString text = box->toPlainText();
    for (int i = 0; i < text.size(); ++i) {
        const QBrush brush = text.at(i) == u'\n' ? box->document()->findBlock(i + 1).charFormat().foreground()
                                                 : FormatAt(box, i).foreground();
        AddRun(runs, i, 1, brush.style() == Qt::NoBrush ? QColor() : brush.color());
    }
    return runs;
}

// The chart's coloured pieces (UTF-8 byte ranges) in box positions: UTF-16
// units, one line end for each CR LF.
ColourRuns PieceRuns(const paipan::ChartResult& chart) {
    ColourRuns runs;
    int start = 0;
    for (const paipan::TextPiece& piece : paipan::SplitByColour(chart)) {
        const std::string_view bytes = std::string_view(chart.text).substr(piece.begin, piece.end - piece.begin);
        int length = static_cast<int>(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).size());
        for (std::size_t b = piece.begin; b < piece.end; ++b)
            length -= chart.text[b] == '\r' && b + 1 < chart.text.size() && chart.text[b + 1] == '\n';
        const auto* span = piece.span < 0 ? nullptr : &chart.spans[static_cast<std::size_t>(piece.span)];
        AddRun(runs, start, length, span ? QColor(span->red, span->green, span->blue) : QColor());
        start += length;
    }
    return runs;
}

}  // namespace

class ChartPressTest : public WindowTestCase {
    Q_OBJECT

private slots:
    void chartLikeTheCommandLine_data() {
        QTest::addColumn<ChartInput>("input");
        QTest::newRow("1990-05-08 14:05 at 120°, the defaults") << DefaultChartInput(1990, 5, 8, 14, 5);
        ChartInput west = DefaultChartInput(1980, 1, 1, 0, 5);
        west.longitude = "116";
        west.longitudeMinutes = "28";
        west.male = false;
        west.horizontal = west.minorLuck = west.palace = west.nightZi = true;
        west.name = "李四";
        west.place = "北京";
        QTest::newRow("1980-01-01 00:05 at 116°28', female, horizontal, every option") << west;
        ChartInput bare = DefaultChartInput(2000, 2, 29, 23, 30);
        bare.annual = bare.stars = bare.deities = bare.hiddenStems = bare.nayin = bare.stages = false;
        bare.name = "";
        QTest::newRow("2000-02-29 23:30, every option cleared") << bare;
        // The heading is coloured where it first stands, here in the name line,
        // and plain text follows it there.
        ChartInput named = DefaultChartInput(1990, 5, 8, 14, 5);
        named.name = "特别提醒：";
        QTest::newRow("a name that reads like the reminder's heading") << named;
    }
    // CR LF and a lone CR each become one line end, and every position of
    // the original finds its place: a CR LF's two units land on one.
    void boxTextLineEnds() {
        const struct {
            QString text, box;
            std::vector<int> positions;
        } cases[] = {
            {QStringLiteral("a\rb\r\n\U00020000"), QStringLiteral("a\nb\n\U00020000"), {0, 1, 2, 3, 3, 4, 5, 6}},
            {QStringLiteral("x\r\n"), QStringLiteral("x\n"), {0, 1, 1, 2}},  // CR LF at the very end
            {QStringLiteral("x\r"), QStringLiteral("x\n"), {0, 1, 2}},       // a lone CR at the end
            {QStringLiteral("\n\r\r\n"), QStringLiteral("\n\n\n"), {0, 1, 2, 2, 3}},
        };
        for (const auto& c : cases) {
            const paipan::BoxText boxText = paipan::ToBoxText(c.text);
            QCOMPARE(boxText.text, c.box);
            QCOMPARE(boxText.positions, c.positions);
        }
    }
    void chartLikeTheCommandLine() {
        QFETCH(ChartInput, input);
        box->setPlainText(QStringLiteral("旧的内容"));
        window->setWindowTitle(QStringLiteral("未命名"));
        SetControls(*window, input);
        QTest::mouseClick(window->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QCOMPARE(ui->log, QStringList());
        const QString shown = box->toPlainText();
        QCOMPARE(shown, CliChart(input));
        QCOMPARE(window->windowTitle(), kTitle);
        QCOMPARE(box->textCursor().position(), 0);
        QVERIFY(!box->textCursor().hasSelection());
        if (input.nightZi) {
            QCOMPARE(box->document()->firstBlock().text(),
                     QStringLiteral("——————以下排盘结果为夜子时排盘方式排出（仅影响夜子时即23~0点出生之人）——————"));
            QCOMPARE(box->document()->firstBlock().next().text(), QString());
        }
        // The reminder's heading is red.
        const int heading = static_cast<int>(shown.indexOf(QStringLiteral("特别提醒：")));
        QVERIFY(heading > 0);
        QCOMPARE(ColourAt(box, heading), QColor(255, 0, 0));
        QCOMPARE(ColourAt(box, heading + 4), QColor(255, 0, 0));

        // The box's coloured runs are exactly the chart's coloured pieces, and
        // no CR stays in the box (one paragraph per line).
        const auto outcome = paipan::RunChartRequest(input, paipan::ProgramFolder());
        const auto* chart = std::get_if<paipan::ChartResult>(&outcome);
        QVERIFY(chart);
        QVERIFY(!chart->spans.empty() && std::string_view(chart->text).find("\r\n") != std::string_view::npos);
        QCOMPARE(BoxRuns(box), PieceRuns(*chart));
        QVERIFY(!shown.contains(u'\r') && !box->document()->toRawText().contains(u'\r'));
    }

    // Each row types into some fields over the 1990-05-08 14:05 defaults; a
    // problem shows its message, resets its field (with the focus) and leaves
    // the box, the title and every other field alone.
    void inputProblems_data() {
        QTest::addColumn<QString>("typed");    // field=text, …
        QTest::addColumn<QString>("message");  // empty: the chart is shown
        QTest::addColumn<QString>("reset");    // field=text; empty: no field changes, the focus stays
        const auto info = [](const char* text) { return QStringLiteral("提示 [information] ") + text; };
        const QString lon = info(
            "请输入正确的经度数值！如果您不知道所在城市的经度值，请输入默认的120，约等于北京所在经度！");
        const QString lonMin = info("请输入正确的经度分值！如果您不知道所在城市的经度分值，请输入默认的0分！");
        const QString year = info("请选择或输入正确的年份值，年份的值应当是介于1800与2100之间的数值！");
        const QString day = info("请选择或输入正确的公历日期值，公历日期的值应当是介于1与31之间的数值！");
        const QString date = "提示 [none] 请检查输入数据是否出错！";
        QTest::newRow("degrees empty") << "Text3=" << lon << "Text3=";
        QTest::newRow("degrees not a number") << "Text3=东经" << lon << "Text3=";
        QTest::newRow("degrees 181") << "Text3=181" << lon << "Text3=";
        QTest::newRow("degrees -181") << "Text3=-181" << lon << "Text3=";
        QTest::newRow("minutes empty") << "Text4=" << lonMin << "Text4=";
        QTest::newRow("minutes 60") << "Text4=60" << lonMin << "Text4=";
        QTest::newRow("minutes -1") << "Text4=-1" << lonMin << "Text4=";
        QTest::newRow("year text") << "Combo1=abc" << info("请选择或输入正确的年份的数值！") << "Combo1=";
        QTest::newRow("year 2101") << "Combo1=2101" << year << "Combo1=1980";
        QTest::newRow("year 1799") << "Combo1=1799" << year << "Combo1=1980";
        QTest::newRow("month empty") << "Combo2=" << info("请选择或输入正确的月份的数值！") << "Combo2=";
        QTest::newRow("month 13") << "Combo2=13"
                                  << info("请选择或输入正确的月份值，月份的值应当是介于1与12之间的数值！")
                                  << "Combo2=1";
        QTest::newRow("day text") << "Combo3=x" << info("请选择或输入正确的公历日期的数值！") << "Combo3=";
        QTest::newRow("day 0") << "Combo3=0" << day << "Combo3=1";
        QTest::newRow("day 32") << "Combo3=32" << day << "Combo3=1";
        QTest::newRow("hour text") << "Combo4=午时" << info("请选择或输入正确的时间的数值！") << "Combo4=";
        QTest::newRow("hour 24") << "Combo4=24" << info("请选择或输入正确的时间值，时间的值应当是介于0与23之间的数值！")
                                 << "Combo4=1";
        QTest::newRow("minute text") << "Combo5=-" << info("请选择或输入正确的时间分的数值！") << "Combo5=";
        QTest::newRow("minute 60") << "Combo5=60"
                                   << info("请选择或输入正确的时间分值，时间分的值应当是介于0与59之间的数值！")
                                   << "Combo5=1";
        QTest::newRow("checks in order: degrees before year") << "Text3= Combo1=2101" << lon << "Text3=";
        QTest::newRow("1900-02-29, not a leap year") << "Combo1=1900 Combo2=2 Combo3=29" << date << "";
        QTest::newRow("1981-02-29") << "Combo1=1981 Combo2=2 Combo3=29" << date << "";
        QTest::newRow("1990-02-30") << "Combo2=2 Combo3=30" << date << "";
        QTest::newRow("2019-04-31") << "Combo1=2019 Combo2=4 Combo3=31" << date << "";
        QTest::newRow("2019-11-31") << "Combo1=2019 Combo2=11 Combo3=31" << date << "";
        // clang-format off
        QTest::newRow("2000-02-29 passes") << "Combo1=2000 Combo2=2 Combo3=29" << "" << "";
        QTest::newRow("1980-02-29 passes") << "Combo1=1980 Combo2=2 Combo3=29" << "" << "";
        QTest::newRow("2019-01-31 passes") << "Combo1=2019 Combo2=1 Combo3=31" << "" << "";
        // clang-format on
        // The ends of the span: corrected into 1799 west of 120°, into 2101 at 180°.
        QTest::newRow("1800-01-01 00:05 at 75° passes")
            << "Text3=75 Text4=0 Combo1=1800 Combo2=1 Combo3=1 Combo4=0 Combo5=5"
            << ""
            << "";
        QTest::newRow("2100-12-31 23:59 at 180° passes")
            << "Text3=180 Text4=0 Combo1=2100 Combo2=12 Combo3=31 Combo4=23 Combo5=59"
            << ""
            << "";
        QTest::newRow("2100-02-29, not a leap year") << "Combo1=2100 Combo2=2 Combo3=29" << date << "";
    }
    void inputProblems() {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, reset);
        SetControls(*window, DefaultChartInput(1990, 5, 8, 14, 5));
        QMap<QString, QString> fields;  // what each field holds afterwards
        for (const QString& pair : typed.split(' ')) {
            SetFieldText(*window, pair.section('=', 0, 0), pair.section('=', 1));
            fields[pair.section('=', 0, 0)] = pair.section('=', 1);
        }
        if (!reset.isEmpty()) fields[reset.section('=', 0, 0)] = reset.section('=', 1);
        box->setPlainText(QStringLiteral("我的文字"));
        window->setWindowTitle(QStringLiteral("自定义标题"));
        auto* button = window->findChild<QPushButton*>("Command1");
        button->setFocus();
        QTest::mouseClick(button, Qt::LeftButton);
        for (auto it = fields.cbegin(); it != fields.cend(); ++it) QCOMPARE(FieldText(*window, it.key()), it.value());
        if (message.isEmpty()) {
            QCOMPARE(ui->log, QStringList());
            QVERIFY(box->toPlainText().contains(QStringLiteral("特别提醒：")));
            return;
        }
        QCOMPARE(ui->log, QStringList{message});
        QTRY_VERIFY((reset.isEmpty() ? button : window->findChild<QWidget*>(reset.section('=', 0, 0)))->hasFocus());
        QCOMPARE(box->toPlainText(), QStringLiteral("我的文字"));
        QCOMPARE(window->windowTitle(), QStringLiteral("自定义标题"));
    }

    // The birthplace list under 出生地区 fills the longitude; a summer-time
    // birth gets its notice beside the chart, and the notice's action charts
    // the standard time an hour earlier, across midnight; New empties it.
    void birthAssistant() {
        auto* place = window->findChild<QLineEdit*>("Text2");
        SetControls(*window, DefaultChartInput(1988, 7, 1, 0, 30));
        place->clear();
        place->setFocus();
        QInputMethodEvent typed;  // Chinese comes through the input method
        typed.setCommitString(QStringLiteral("合肥"));
        QApplication::sendEvent(place, &typed);
        auto* completer = window->findChild<QCompleter*>("Text2Completer");
        QVERIFY(completer);
        QAbstractItemView* list = completer->popup();
        QTRY_VERIFY(list->isVisible());
        const QModelIndex first = list->model()->index(0, 0);
        QVERIFY(first.data().toString().startsWith(QStringLiteral("安徽省 合肥市　117°16′E")));
        QVERIFY(list->model()->rowCount() > 5 && list->model()->rowCount() <= 20);
        list->setCurrentIndex(first);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(place->text(), QStringLiteral("安徽省 合肥市"));
        QCOMPARE(FieldText(*window, "Text3"), QStringLiteral("117"));
        QCOMPARE(FieldText(*window, "Text4"), QStringLiteral("16"));

        auto* notices = window->findChild<QTextEdit*>("NoticeText");
        auto* action = window->findChild<QPushButton*>("StandardTimeButton");
        QTest::mouseClick(window->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QVERIFY(notices->toPlainText().contains(QStringLiteral("夏令时")));
        QVERIFY(action->isVisible());
        QCOMPARE(action->text(), QStringLiteral("按标准时间排盘（减1小时）"));
        QTest::mouseClick(action, Qt::LeftButton);
        const char* expected[][2] = {
            {"Combo1", "1988"}, {"Combo2", "6"}, {"Combo3", "30"}, {"Combo4", "23"}, {"Combo5", "30"}};
        for (const auto& [name, value] : expected) QCOMPARE(FieldText(*window, name), QString(value));
        QVERIFY(box->toPlainText().contains(QStringLiteral("1988年6月30日23时30分")));
        QVERIFY(notices->toPlainText().startsWith(QStringLiteral("提示：已按标准时间排盘")));
        QVERIFY(!action->isVisible());
        trigger("mnuNew");
        QCOMPARE(notices->toPlainText(), QString());
        QCOMPARE(ui->log, QStringList());
    }

    // Any row of the birthplace list can be chosen, each shown whole: its
    // name fills 出生地区 and its longitude the boxes (伊宁市 81.28°E, 伊宁县
    // 81.53°E, Hong Kong 114.15°E: atlas values); the 20 places of 安徽 are
    // all in sight, the widest names uncut. The zone comes with the choice
    // and goes when another place is typed (Hong Kong kept summer time in
    // 1975, China did not).
    void choosingABirthplace() {
        auto* place = window->findChild<QLineEdit*>("Text2");
        QAbstractItemView* list = window->findChild<QCompleter*>("Text2Completer")->popup();
        const auto type = [&](const QString& text) {
            place->clear();
            place->setFocus();
            QInputMethodEvent typed;
            typed.setCommitString(text);
            QApplication::sendEvent(place, &typed);
            QTRY_VERIFY(list->isVisible());
        };
        const auto row = [&](int r) { return list->model()->index(r, 0).data().toString(); };
        const auto choose = [&](int r) {
            list->setCurrentIndex(list->model()->index(r, 0));
            QTest::keyClick(list, Qt::Key_Return);
        };
        SetControls(*window, DefaultChartInput(1975, 7, 1, 10, 0));
        type(QStringLiteral("伊宁"));
        const QString yining = QStringLiteral("新疆维吾尔自治区 伊犁哈萨克自治州 伊宁");
        QCOMPARE(row(0), yining + QStringLiteral("市　81°17′E"));
        QCOMPARE(row(1), yining + QStringLiteral("县　81°32′E"));
        for (int r = 0; r < list->model()->rowCount(); ++r)
            QVERIFY2(list->fontMetrics().horizontalAdvance(row(r)) < list->viewport()->width(), qPrintable(row(r)));
        choose(1);
        QCOMPARE(place->text(), yining + QStringLiteral("县"));
        QCOMPARE(FieldText(*window, "Text3") + " " + FieldText(*window, "Text4"), QStringLiteral("81 32"));
        type(QStringLiteral("安徽"));
        QCOMPARE(list->model()->rowCount(), 20);
        QCOMPARE(list->verticalScrollBar()->maximum(), 0);
        type(QStringLiteral("香港"));
        QCOMPARE(row(0), QStringLiteral("香港特别行政区　114°09′E"));
        choose(0);
        QCOMPARE(FieldText(*window, "Text3") + " " + FieldText(*window, "Text4"), QStringLiteral("114 9"));
        auto* notices = window->findChild<QTextEdit*>("NoticeText");
        QTest::mouseClick(window->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QVERIFY2(notices->toPlainText().contains(QStringLiteral("（时区 Asia/Hong_Kong）正值夏令时")),
                 qPrintable(notices->toPlainText()));
        place->setText(QStringLiteral("广州"));
        QTest::mouseClick(window->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QVERIFY2(!notices->toPlainText().contains(QStringLiteral("夏令时")), qPrintable(notices->toPlainText()));
        QCOMPARE(ui->log, QStringList());
    }

    // The notices under the chart, whole and in order; the text box fills
    // the area but for a 2-pixel border; the standard-time action, when
    // there is summer time, sits at the top right at its own width and the
    // text box takes the rest; a chart without summer time hides it again.
    void noticeArea() {
        auto* area = window->findChild<QWidget*>("NoticeArea");
        auto* text = window->findChild<QTextEdit*>("NoticeText");
        auto* action = window->findChild<QPushButton*>("StandardTimeButton");
        const auto press = [&](const ChartInput& in) {
            SetControls(*window, in);
            QTest::mouseClick(window->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        };
        const QString longitude = QStringLiteral(
            "提示：经度是默认的120度0分，而出生地区“安徽”（安徽省）的经度约为117°16′E，相差超过1度；如在该地出生，请把"
            "经度改为117度16分。");
        press(DefaultChartInput(1988, 7, 1, 12, 0));
        QCOMPARE(
            text->toPlainText(),
            QStringLiteral("提示：钟表时间1988年7月1日12时0分（时区 Asia/Shanghai）正值夏令时（1988年4月17日2时0分起至"
                           "1988年9月11日2时0分止，钟表拨快1小时），对应的标准时间为1988年7月1日11时0分。本命盘按输入的"
                           "钟表时间排出；"
                           "如要按标准时间排盘，请把出生时间减去1小时。\n") +
                longitude);
        QVERIFY(action->isVisible());
        const QRect inside = area->rect().adjusted(2, 2, -2, -2);
        QCOMPARE(action->geometry().topRight(), inside.topRight());
        QCOMPARE(action->width(), action->sizeHint().width());
        QCOMPARE(text->geometry().topLeft(), inside.topLeft());
        QCOMPARE(text->geometry().bottom(), inside.bottom());
        QVERIFY(text->geometry().right() < action->geometry().left());
        QVERIFY(text->width() > area->width() / 2);
        press(DefaultChartInput(1992, 7, 1, 12, 0));
        QCOMPARE(text->toPlainText(), longitude);
        QVERIFY(!action->isVisible());
        QTRY_COMPARE(text->geometry(), inside);  // laid out again once the action is hidden
        QCOMPARE(ui->log, QStringList());
    }

    // Without its data files the press reports the problem and changes nothing.
    void missingDataFiles() {
        QTemporaryDir empty;
        paipan::MainWindow other(*ui, empty.path());
        SetControls(other, DefaultChartInput(1990, 5, 8, 14, 5));
        auto* otherBox = other.findChild<QTextEdit*>("RichTextBox1");
        const QString before = otherBox->toPlainText();
        other.chartFromPanel();
        QCOMPARE(ui->log.size(), 1);
        QVERIFY(ui->log[0].startsWith("错误 [critical] ") && ui->log[0].size() > 14);
        QCOMPARE(otherBox->toPlainText(), before);
        QCOMPARE(other.windowTitle(), kTitle);
    }
};

QTEST_MAIN(ChartPressTest)
#include "tst_chart_press.moc"
