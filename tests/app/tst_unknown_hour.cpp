// 时辰不详 in the window: the check box beside the hour and minute lists,
// unchecked at start and after 新建, disables both lists; 排盘 then shows the
// same result as paipan-cli --unknown-hour, coloured.
// With PAIPAN_SHOT_DIR set, the window is saved there as a PNG after each press.
#include <QCheckBox>
#include <QProcess>
#include <QPushButton>
#include <QTextCursor>

#include "window_test.h"

using paipan::ChartInput;
using paipan::DefaultChartInput;
using namespace paipan::testing;

class UnknownHourTest : public WindowTestCase {
    Q_OBJECT

    QCheckBox* unknownHour() const { return window->findChild<QCheckBox*>(QStringLiteral("CheckUnknownHour")); }
    bool listsEnabled() const {
        return window->findChild<QComboBox*>("Combo4")->isEnabled() &&
               window->findChild<QComboBox*>("Combo5")->isEnabled();
    }

private slots:
    void uncheckedAtStartAndAfterNew() {
        QVERIFY(unknownHour());
        QCOMPARE(unknownHour()->text(), QStringLiteral("时辰不详"));
        QVERIFY(!unknownHour()->isChecked());
        QVERIFY(listsEnabled());
        unknownHour()->setChecked(true);
        QVERIFY(!window->findChild<QComboBox*>("Combo4")->isEnabled());
        QVERIFY(!window->findChild<QComboBox*>("Combo5")->isEnabled());
        QVERIFY(window->findChild<QComboBox*>("Combo3")->isEnabled());
        trigger("mnuNew");
        QVERIFY(!unknownHour()->isChecked());
        QVERIFY(listsEnabled());
    }

    void pressShowsTheResult_data() {
        QTest::addColumn<bool>("horizontal");
        QTest::newRow("横排") << true;
        QTest::newRow("竖排") << false;
    }
    void pressShowsTheResult() {
        QFETCH(bool, horizontal);
        ChartInput in = DefaultChartInput(1990, 2, 4, 0, 0);
        in.horizontal = horizontal;
        in.palace = true;
        SetControls(*window, in);
        SetFieldText(*window, "Combo4", QStringLiteral("不是数字"));  // the hour is not read
        unknownHour()->setChecked(true);
        QTest::mouseClick(window->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QCOMPARE(ui->log, QStringList());
        const QString shown = box->toPlainText();
        QCOMPARE(shown, CliOutput({"--unknown-hour", "--year", "1990", "--month", "2", "--day", "4", "--palace",
                                   "--layout", horizontal ? "horizontal" : "vertical", "--quiet"}));
        QVERIFY(shown.startsWith(QStringLiteral("时辰不详：以下为年、月、日三柱及当日各时辰的时柱")));
        // Coloured as the chart: the pillar line red, the sound elements green.
        const int pillars = static_cast<int>(shown.indexOf(QStringLiteral("乾造：")));
        QCOMPARE(ColourAt(box, pillars + 8), QColor(255, 0, 0));
        const int nayin = static_cast<int>(shown.indexOf(QStringLiteral("[大林木]")));
        QCOMPARE(ColourAt(box, nayin + 1), QColor(0, 128, 0));
        if (const QByteArray dir = qgetenv("PAIPAN_SHOT_DIR"); !dir.isEmpty()) {
            const QString name = QString::fromUtf8(dir) + (horizontal ? "/unknown-hour-h" : "/unknown-hour-v");
            window->resize(1280, 900);
            QVERIFY(window->grab().save(name + ".png"));
            QTextCursor table(box->document());  // then the candidate table and the luck pillars
            table.setPosition(static_cast<int>(shown.indexOf(QStringLiteral("大运："))));
            box->setTextCursor(table);
            box->ensureCursorVisible();
            QVERIFY(window->grab().save(name + "-table.png"));
        }
    }

    // The other checks still run; the hour and minute checks do not.
    void inputChecksOnTheOtherFields() {
        SetControls(*window, DefaultChartInput(1990, 2, 30, 0, 0));
        SetFieldText(*window, "Combo5", QStringLiteral("99"));
        unknownHour()->setChecked(true);
        box->setPlainText(QStringLiteral("旧的内容"));
        QTest::mouseClick(window->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QCOMPARE(ui->log, QStringList{QStringLiteral("提示 [none] 请检查输入数据是否出错！")});
        QCOMPARE(box->toPlainText(), QStringLiteral("旧的内容"));
    }
};

QTEST_MAIN(UnknownHourTest)
#include "tst_unknown_hour.moc"
