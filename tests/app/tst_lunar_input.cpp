// The 历法 frame under the offscreen platform: 公历 and 农历, the lists in
// lunar names, conversion on switching, the leap-month box, the lunar
// messages and a chart of a lunar date.
#include <QCheckBox>
#include <QRadioButton>
#include <QStyleOptionComboBox>
#include <QTextBrowser>

#include "app/calendar_frame.h"
#include "birth/notices.h"
#include "window_test.h"

using namespace paipan;
using namespace paipan::testing;

namespace {

QStringList DateTexts(const QWidget& w) {
    return {FieldText(w, "Combo1"), FieldText(w, "Combo2"), FieldText(w, "Combo3")};
}

void SetDate(QWidget& w, const QString& year, const QString& month, const QString& day) {
    SetFieldText(w, "Combo1", year);
    SetFieldText(w, "Combo2", month);
    SetFieldText(w, "Combo3", day);
}

QStringList ItemTexts(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    return items;
}

}  // namespace

class LunarInputTest : public WindowTestCase {
    Q_OBJECT

    QRadioButton* option(int i) { return window->findChild<QRadioButton*>(QStringLiteral("Option3_%1").arg(i)); }
    QCheckBox* leapBox() { return window->findChild<QCheckBox*>(QStringLiteral("CheckLeapMonth")); }
    QComboBox* list(int i) { return window->findChild<QComboBox*>(QStringLiteral("Combo%1").arg(i)); }

private slots:
    // Both buttons and the widest leap-month name fit in the frame, and the
    // month list shows the longest month name whole.
    void frameHoldsItsControls() {
        QCOMPARE(option(0)->text(), QStringLiteral("公历"));
        QCOMPARE(option(1)->text(), QStringLiteral("农历"));
        QVERIFY(option(0)->isChecked());
        QVERIFY(!leapBox()->isEnabled());
        QStyleOptionComboBox opt;
        opt.initFrom(list(2));
        opt.editable = true;
        const QRect field = list(2)->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField,
                                                             list(2));
        const int needed = list(2)->fontMetrics().horizontalAdvance(QStringLiteral("十二月"));
        QVERIFY2(field.width() >= needed, qPrintable(QStringLiteral("%1 < %2").arg(field.width()).arg(needed)));
        const QWidget* frame = window->findChild<QWidget*>("FrameCalendar");
        for (QAbstractButton* b : {static_cast<QAbstractButton*>(option(0)), static_cast<QAbstractButton*>(option(1)),
                                   static_cast<QAbstractButton*>(leapBox())}) {
            b->setText(b == leapBox() ? QStringLiteral("闰十一月") : b->text());
            QVERIFY2(
                b->sizeHint().width() <= b->width(),
                qPrintable(QStringLiteral("%1: %2 > %3").arg(b->text()).arg(b->sizeHint().width()).arg(b->width())));
            QVERIFY(frame->contentsRect().contains(b->geometry()));
        }
    }

    // A valid date turns into the other calendar (2020-05-23 is 闰四月初一,
    // Hong Kong Observatory tables); an invalid one stays as typed.
    void switchingConverts() {
        SetDate(*window, "2020", "5", "23");
        option(1)->click();
        QCOMPARE(DateTexts(*window), (QStringList{"2020", "四月", "初一"}));
        QVERIFY(leapBox()->isChecked());
        QCOMPARE(leapBox()->text(), QStringLiteral("闰四月"));
        QCOMPARE(list(1)->count(), 302);  // 1799 … 2100
        QCOMPARE(list(1)->itemText(0), QStringLiteral("1799"));
        QCOMPARE(ItemTexts(list(2)).join(' '),
                 QStringLiteral("正月 二月 三月 四月 五月 六月 七月 八月 九月 十月 十一月 十二月"));
        QCOMPARE(list(3)->count(), 30);
        QCOMPARE(list(3)->itemText(20), QStringLiteral("廿一"));
        option(0)->click();
        QCOMPARE(DateTexts(*window), (QStringList{"2020", "5", "23"}));
        QCOMPARE(list(1)->itemText(0), QStringLiteral("1800"));
        QCOMPARE(list(3)->count(), 31);
        SetDate(*window, "1800", "1", "1");  // the span's first day: 农历1799年十二月
        option(1)->click();
        QCOMPARE(DateTexts(*window), (QStringList{"1799", "十二月", "初七"}));
        option(0)->click();
        SetDate(*window, "2021", "2", "30");  // no such day: kept
        option(1)->click();
        QCOMPARE(DateTexts(*window), (QStringList{"2021", "2", "30"}));
        SetDate(*window, "1990", "四月", "三十");  // 四月 of 1990 has 29 days: kept
        option(0)->click();
        QCOMPARE(DateTexts(*window), (QStringList{"1990", "四月", "三十"}));
        // 新建 starts again in 公历, the date converted.
        option(1)->click();
        SetDate(*window, "2033", "十一月", "初一");
        leapBox()->setChecked(true);
        trigger("mnuNew");
        QVERIFY(option(0)->isChecked());
        QCOMPARE(DateTexts(*window), (QStringList{"2033", "12", "22"}));
    }

    // Enabled and named only for a year with a leap month; ticking it shows
    // that month, another month or year unticks it.
    void leapBoxFollowsTheYear() {
        QVERIFY(!leapBox()->isEnabled());
        option(1)->click();
        SetDate(*window, "2021", "四月", "初一");
        QVERIFY(!leapBox()->isEnabled());
        QCOMPARE(leapBox()->text(), QStringLiteral("闰月"));
        SetFieldText(*window, "Combo1", "2020");
        QVERIFY(leapBox()->isEnabled());
        QCOMPARE(leapBox()->text(), QStringLiteral("闰四月"));
        SetFieldText(*window, "Combo2", "正月");
        leapBox()->click();
        QVERIFY(leapBox()->isChecked());
        QCOMPARE(FieldText(*window, "Combo2"), QStringLiteral("四月"));
        list(2)->setCurrentIndex(4);  // 五月
        QVERIFY(!leapBox()->isChecked());
        leapBox()->click();
        SetFieldText(*window, "Combo1", "2033");
        QVERIFY(!leapBox()->isChecked());
        QCOMPARE(leapBox()->text(), QStringLiteral("闰十一月"));
        SetFieldText(*window, "Combo1", "1900");
        QCOMPARE(leapBox()->text(), QStringLiteral("闰八月"));
    }

    // The messages the window can show (a leap month the year lacks cannot be
    // asked for), each with the boxes left as typed.
    void lunarMessages() {
        option(1)->click();
        const QStringList cases[] = {
            {"x", "五月", "初一", "请选择或输入正确的年份的数值！"},
            {"2020", "闰五", "初一", "请选择或输入正确的月份的数值！"},
            {"2020", "五月", "初", "请选择或输入正确的农历日期的数值！"},
            {"2020", "13", "初一", "请选择或输入正确的农历月份值，月份的值应当是介于1与12之间的数值！"},
            {"2020", "五月", "31", "请选择或输入正确的农历日期值，日期的值应当是介于1与30之间的数值！"},
            {"1798", "五月", "初一", "请选择或输入正确的农历年份值，年份的值应当是介于1799与2100之间的数值！"},
            {"1990", "四月", "三十", "农历1990年四月只有29天！"},
            {"2100", "十二月", "初二",
             "农历2100年十二月初二不在本程序可排的日期范围（公历1800年1月1日至2100年12月31日）之内！"},
        };
        for (const QStringList& c : cases) {
            SetDate(*window, c[0], c[1], c[2]);
            ui->log.clear();
            window->chartFromPanel();
            QCOMPARE(ui->log, QStringList{QStringLiteral("提示 [information] ") + c[3]});
            QCOMPARE(DateTexts(*window), c.mid(0, 3));
        }
        SetDate(*window, "2020", "四月", "三十");
        leapBox()->click();
        ui->log.clear();
        window->chartFromPanel();
        QCOMPARE(ui->log, QStringList{QStringLiteral("提示 [information] 农历2020年闰四月只有29天！")});
    }

    // 排盘 of 闰四月初一 2020 is the chart of 2020-05-23, and the notice area
    // says so.
    void chartOfALunarDate() {
        ChartInput solar = DefaultChartInput(2020, 5, 23, 12, 0);
        SetControls(*window, solar);
        option(1)->click();
        QCOMPARE(DateTexts(*window), (QStringList{"2020", "四月", "初一"}));
        window->chartFromPanel();
        QVERIFY(ui->log.isEmpty());
        const auto expected = RunChartRequest(
            solar, std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()));
        QCOMPARE(
            box->toPlainText().replace('\n', "\r\n"),
            QString::fromStdString(std::get<ChartResult>(expected).text).replace("\r\n", "\n").replace('\n', "\r\n"));
        const auto* notices = window->findChild<QTextBrowser*>();
        QVERIFY(notices);
        QVERIFY(notices->toPlainText().contains(QStringLiteral("所输入的农历2020年闰四月初一即公历2020年5月23日")));
    }
};

QTEST_MAIN(LunarInputTest)
#include "tst_lunar_input.moc"
