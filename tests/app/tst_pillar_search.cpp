// 工具 → 八字反查… driven offscreen: the menu sits between 格式 and 帮助, the
// pickers narrow by the five tigers and the five rats, a search lists the
// stretches, 排盘 on one fills the panel and charts exactly those pillars,
// a refusal shows its reason, Esc closes and nothing is kept.
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>

#include "util/program_folder.h"
#include "app/input_panel.h"
#include "app/pillar_search_dialog.h"
#include "chart/corvel_bzclass.h"
#include "window_test.h"

using namespace paipan::testing;

namespace {

QStringList Items(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

}  // namespace

class PillarSearchTest : public WindowTestCase {
    Q_OBJECT

    paipan::PillarSearchDialog* open() {
        trigger("mnuPillarSearch");
        auto* dialog = window->pillarSearch();
        if (dialog && !QTest::qWaitForWindowExposed(dialog)) return nullptr;
        return dialog;
    }

private slots:
    void menuSitsBetweenFormatAndHelp() {
        QStringList menus;
        for (QAction* a : window->menuBar()->actions()) menus << a->text();
        const auto tools = menus.indexOf(QStringLiteral("工具"));
        QVERIFY(tools > 0);
        QCOMPARE(menus.at(tools - 1), QStringLiteral("格式"));
        QCOMPARE(menus.at(tools + 1), QStringLiteral("帮助"));
        QCOMPARE(window->findChild<QAction*>("mnuPillarSearch")->text(), QStringLiteral("八字反查…"));
    }

    void pickersNarrow() {
        window->findChild<QAbstractButton*>("Check9")->setChecked(true);
        auto* d = open();
        QVERIFY(d);
        QVERIFY(d->nightZiBox()->isChecked());  // taken from the panel
        QCOMPARE(d->picker(1)->count(), 61);
        d->picker(0)->setEditText(QStringLiteral("己卯"));
        // 甲己之年丙作首: 丙寅 … 丁丑
        QCOMPARE(Items(d->picker(1)).mid(0, 3), QStringList({"不限", "丙寅", "丁卯"}));
        QCOMPARE(d->picker(1)->count(), 13);
        QCOMPARE(Items(d->picker(1)).last(), QStringLiteral("丁丑"));
        d->picker(2)->setEditText(QStringLiteral("壬戌"));
        // 丁壬庚子居, and under the night-zi rule the next day's (癸) 壬子 too
        QCOMPARE(d->picker(3)->count(), 14);
        QCOMPARE(Items(d->picker(3)).at(1), QStringLiteral("庚子"));
        QCOMPARE(Items(d->picker(3)).last(), QStringLiteral("壬子"));
        d->nightZiBox()->setChecked(false);
        QCOMPARE(d->picker(3)->count(), 13);
        QCOMPARE(Items(d->picker(3)).last(), QStringLiteral("辛亥"));
    }

    // 1990-05-15 13:00–14:59 true solar is 庚午 辛巳 庚辰 癸未; at 116°28′
    // the clock reading 排盘 gets lands a minute inside, at 13:01.
    void searchChooseAndChart() {
        window->findChild<QAbstractButton*>("CheckUnknownHour")->setChecked(true);
        SetFieldText(*window, "Text3", "116");
        SetFieldText(*window, "Text4", "28");
        auto* d = open();
        QVERIFY(d);
        const QStringList pillars = {"庚午", "辛巳", "庚辰", "癸未"};
        for (int k = 0; k < 4; ++k) d->picker(k)->setEditText(pillars[k]);
        QTest::mouseClick(d->findButton(), Qt::LeftButton);
        const int rows = d->matches()->count();
        QVERIFY(rows >= 2);
        QCOMPARE(d->status()->text(), QStringLiteral("共%1个时段（真太阳时，起止都含）").arg(rows));
        const auto hits = d->matches()->findItems(QStringLiteral("1990-05-15 13:00 — 14:59"), Qt::MatchStartsWith);
        QCOMPARE(hits.size(), 1);
        QVERIFY(hits[0]->text().contains(QStringLiteral("农历庚午年[路旁土]四月廿一日")));
        QVERIFY(!d->chartButton()->isEnabled());
        d->matches()->setCurrentItem(hits[0]);
        QTest::mouseClick(d->chartButton(), Qt::LeftButton);
        QVERIFY(!window->findChild<QAbstractButton*>("CheckUnknownHour")->isChecked());
        QCOMPARE(FieldText(*window, "Combo1") + "-" + FieldText(*window, "Combo2") + "-" + FieldText(*window, "Combo3"),
                 QStringLiteral("1990-5-15"));
        const QString text = box->toPlainText();
        QVERIFY2(text.contains(QStringLiteral("实际出生时间＝1990年5月15日13时1分")), qPrintable(text.left(300)));
        QVERIFY(ui->log.isEmpty());
        // The chart's own pillars, from the panel as it now stands.
        paipan::Pillars got{};
        paipan::RunChartRequest(window->findChild<paipan::InputPanel*>()->input(), paipan::ProgramFolder(),
                                [&](const paipan::Corvel_BZClass& e, const paipan::ChartResult&) { got = e.bz; });
        QStringList charted;
        for (const auto& p : got) charted << QString::fromStdString(paipan::PillarText(p));
        QCOMPARE(charted, pillars);
    }

    void refusalShowsItsReason() {
        auto* d = open();
        QVERIFY(d);
        d->picker(0)->setEditText(QStringLiteral("甲子"));
        d->picker(1)->setEditText(QStringLiteral("戊寅"));  // typed past the narrowed list
        QTest::mouseClick(d->findButton(), Qt::LeftButton);
        QCOMPARE(d->matches()->count(), 0);
        QCOMPARE(d->status()->text(), QStringLiteral("甲年、己年的月柱从丙寅起，甲年没有戊寅月"));
        d->picker(1)->setEditText(QStringLiteral("戊x"));
        QTest::mouseClick(d->findButton(), Qt::LeftButton);
        QVERIFY(d->status()->text().startsWith(QStringLiteral("月柱：看不懂“戊x”")));
    }

    void escapeClosesAndNothingIsKept() {
        auto* d = open();
        QVERIFY(d);
        d->picker(2)->setEditText(QStringLiteral("甲子"));
        d->fromYear()->setValue(1990);
        QTest::keyClick(d, Qt::Key_Escape);
        QTRY_VERIFY(window->pillarSearch() == nullptr);
        d = open();
        QVERIFY(d);
        QCOMPARE(d->picker(2)->currentText(), QStringLiteral("不限"));
        QCOMPARE(d->fromYear()->value(), 1800);
    }
};

QTEST_MAIN(PillarSearchTest)
#include "tst_pillar_search.moc"
