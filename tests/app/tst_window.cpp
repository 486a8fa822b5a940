// The main window without the 排盘 press: start-up state, the layout rule,
// the menus, the right-button menu, help, web links and the About window.
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>

#include "chart/sites.h"
#include "window_test.h"

using paipan::MainWindow;
using namespace paipan::testing;

namespace {

const QString kTitle = QStringLiteral("晴川四柱八字排盘系统 Ver1.0 （免费版）");
const QColor kBrown(192, 64, 0);

// Twips to pixels at this screen's logical dpi (15 twips a pixel at 96 dpi).
int Px(int twips) { return qRound(twips * QGuiApplication::primaryScreen()->logicalDotsPerInch() / 1440.0); }

// Within one pixel of the place in twips: each size is rounded on its own.
bool Near(const QWidget* w, int left, int top, int width, int height) {
    const QRect g = w->geometry();
    const int d[] = {g.x() - Px(left), g.y() - Px(top), g.width() - Px(width), g.height() - Px(height)};
    return std::all_of(std::begin(d), std::end(d), [](int v) { return qAbs(v) <= 1; });
}

void ResizeInner(MainWindow& w, int widthTwips, int heightTwips) {
    w.resize(Px(widthTwips), Px(heightTwips) + w.menuBar()->height() + w.statusBar()->height());
}

QStringList Items(const QMenu* menu) {
    QStringList items;
    for (QAction* a : menu->actions())
        items << (a->isSeparator() ? a->objectName()
                                   : a->objectName() + ' ' + a->text() + ' ' + a->shortcut().toString());
    return items;
}

}  // namespace

class WindowTest : public paipan::testing::WindowTestCase {
    Q_OBJECT

private slots:
    void startUpState() {
        QCOMPARE(window->windowTitle(), kTitle);
        const QStringList lines = box->toPlainText().split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].contains(QStringLiteral("晴川四柱八字排盘系统")) && lines[0].contains("Ver1.0"));
        QCOMPARE(lines[1], QStringLiteral("网站地址：") + paipan::kHomeSite + " " + paipan::kHomeSiteAlt + " ");
        QCOMPARE(lines[2], QStringLiteral("在线免费算命请访问晴川网论坛：") + paipan::kForumSite);

        const QStringList early = before.toString("yyyy M d H m").split(' '),
                          late = after.toString("yyyy M d H m").split(' ');
        const int first[] = {1800, 1, 1, 0, 0}, count[] = {301, 12, 31, 24, 60};
        for (int i = 0; i < 5; ++i) {
            auto* combo = window->findChild<QComboBox*>(QStringLiteral("Combo%1").arg(i + 1));
            QVERIFY(combo && combo->isEditable());
            QCOMPARE(combo->count(), count[i]);
            for (int k = 0; k < count[i]; ++k) QCOMPARE(combo->itemText(k), QString::number(first[i] + k));
            // The clock may turn over while the window is built.
            const QString shown = combo->currentText();
            QVERIFY2(shown == early[i] || shown == late[i], qPrintable(shown));
        }

        QStringList inputs;
        for (const char* name : {"Text1", "Text2", "Text3", "Text4"}) inputs << FieldText(*window, name);
        QCOMPARE(inputs, (QStringList{"张三", "安徽", "120", "0"}));
        QCOMPARE(window->findChild<QLineEdit*>("Text3")->maxLength(), 4);
        QCOMPARE(window->findChild<QLineEdit*>("Text4")->maxLength(), 2);
        QStringList buttons;  // ticked or chosen ones marked ✓
        for (int i = 1; i <= 9; ++i) buttons << QStringLiteral("Check%1").arg(i);
        buttons << "Option1_0"
                << "Option1_1"
                << "Option2_0"
                << "Option2_1"
                << "Command1"
                << "Command2";
        for (QString& name : buttons) {
            const auto* b = window->findChild<QAbstractButton*>(name);
            name = b->text() + (b->isChecked() ? "✓" : "");
        }
        QCOMPARE(buttons, (QStringList{"流年✓", "神煞✓", "十神✓", "藏干✓", "纳音✓", "小运", "命宫/胎元", "长生十二宫✓",
                                       "夜子时方式排盘", "男✓", "女", "横排", "竖排✓", "排盘", "在线算命"}));

        auto* nightZi = window->findChild<QCheckBox*>("Check9");
        QCOMPARE(nightZi->palette().color(QPalette::WindowText), kBrown);
        QCOMPARE(
            nightZi->toolTip(),
            QStringLiteral("即晚上23点至0点之间日干支仍算前一天的，传统排盘方法则是过了晚上23点即为第二天的日干支！"
                           "如果你不是子时生，此项可以不用管它！"));
        // The hint to enter the Gregorian birthday gave way to the choice of calendar.
        for (QLabel* label : window->findChildren<QLabel*>())
            QVERIFY(!label->text().contains(QStringLiteral("请务必输入您的公历生日")));
        QStringList calendar;
        for (const char* name : {"Option3_0", "Option3_1", "CheckLeapMonth"}) {
            const auto* b = window->findChild<QAbstractButton*>(name);
            calendar << b->text() + (b->isChecked() ? "✓" : "") + (b->isEnabled() ? "" : "(disabled)");
        }
        QCOMPARE(calendar, (QStringList{"公历✓", "农历", "闰月(disabled)"}));
        QVERIFY(Near(window->findChild<QWidget*>("FrameCalendar"), 120, 1575, 1170, 1455));
    }

    // The start-up request (today, now) lies inside the span: 排盘 charts it.
    void chartRightAfterStartUp() {
        QTest::mouseClick(window->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QCOMPARE(ui->log, QStringList());
        const QString clock = QStringLiteral("出生钟表时间＝%1年%2月%3日")
                                  .arg(before.date().year())
                                  .arg(before.date().month())
                                  .arg(before.date().day());
        QVERIFY2(box->toPlainText().contains(clock), qPrintable(box->toPlainText().left(200)));
    }

    void layout() {
        // The panel is 2635 twips wide (2200 before lunar input); the box
        // stands 100 twips right of it with its width of 9015.
        QTRY_COMPARE(window->centralWidget()->size(), QSize(Px(11850), Px(7695)));
        QVERIFY(Near(box, 2735, 80, 9015, 7415));
        QVERIFY(Near(window->findChild<QWidget*>("Frame5"), 50, 0, 2635, 7635));
        QCOMPARE(box->lineWrapMode(), QTextEdit::NoWrap);

        ResizeInner(*window, 9000, 6000);
        QTRY_COMPARE(window->centralWidget()->size(), QSize(Px(9000), Px(6000)));
        QVERIFY(Near(box, 2735, 80, 6165, 5720));
        // Narrower than 2835 twips inside: the width would be negative and is
        // not applied; the height still follows.
        const int widthBefore = box->width();
        ResizeInner(*window, 2000, 5000);
        QTRY_COMPARE(window->centralWidget()->height(), Px(5000));
        QCOMPARE(box->width(), widthBefore);
        QVERIFY(qAbs(box->height() - Px(4720)) <= 1);
        QCOMPARE(window->findChild<QWidget*>("Frame5")->pos(), QPoint(Px(50), 0));
    }

    // The chart's columns stand straight only when a Chinese character (and
    // the full-width space) is exactly two Latin cells wide.
    void chartFontCells() {
        const QFontMetricsF metrics(box->document()->defaultFont());
        const qreal cell = metrics.horizontalAdvance(QLatin1Char('a'));
        QVERIFY(cell > 0);
        for (const char* narrow : {" ", "9"}) QCOMPARE(metrics.horizontalAdvance(QString(narrow)), cell);
        for (const char* wide : {"甲", "\u3000", "：", "［"})
            QCOMPARE(metrics.horizontalAdvance(QString(wide)), 2 * cell);
        QCOMPARE(metrics.horizontalAdvance(QStringLiteral("乾造：　  庚")),
                 metrics.horizontalAdvance(QStringLiteral("　　　　　庚")));
    }

    void menus() {
        QStringList bar, items;
        for (QAction* a : window->menuBar()->actions()) {
            bar << a->text() + ' ' + a->menu()->objectName();
            items << Items(a->menu());
        }
        QCOMPARE(bar, (QStringList{"文件 mnuFile", "编辑 mnuEdit", "格式 mnugeshi", "工具 mnuTools", "帮助 mnuHelp"}));
        QCOMPARE(items, (QStringList{"mnuNew 新建 Ctrl+N", "mnuOpen 打开 Ctrl+O", "mnuSave 保存 Ctrl+S",
                                     // the ways out of the window come after 保存
                                     "mnuPrint 打印… Ctrl+P", "mnuPrintPreview 打印预览… ", "mnuExportPdf 导出为PDF… ",
                                     "mnuExportImage 导出为图片… ", "mnuFileSep", "mnuExit 退出 Ctrl+E",
                                     "mnuCopy 复制 Ctrl+C", "mnuCut 剪切 Ctrl+X", "mnuPaste 粘贴 Ctrl+V", "mnuEditSep",
                                     "mnuSelectAll 全选 Ctrl+A", "mnufont 字体 Ctrl+T", "mnuPillarSearch 八字反查… ",
                                     "mnuReadme 使用说明 Ctrl+H", "mnuCorvelcom 访问晴川网 Ctrl+U",
                                     "mnuCorvelbbs 访问晴川网论坛 Ctrl+B", "mnuAbout 关于 Ctrl+F1"}));
    }

    void rightButtonOpensEditMenu() {
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(!QApplication::activePopupWidget());
        QTest::mousePress(box->viewport(), Qt::RightButton, {}, QPoint(30, 30));
        QTRY_VERIFY(QApplication::activePopupWidget());
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menu->objectName(), QStringLiteral("mnuEdit"));
        QCOMPARE(Items(menu), (QStringList{"mnuCopy 复制 Ctrl+C", "mnuCut 剪切 Ctrl+X", "mnuPaste 粘贴 Ctrl+V",
                                           "mnuEditSep", "mnuSelectAll 全选 Ctrl+A"}));
        menu->close();
        QTRY_VERIFY(!QApplication::activePopupWidget());
    }

    // The two menu links open at once; the 在线算命 button tells first.
    void webLinks() {
        trigger("mnuCorvelcom");
        trigger("mnuCorvelbbs");
        QTest::mouseClick(window->findChild<QPushButton*>("Command2"), Qt::LeftButton);
        const QString forum = QStringLiteral("open ") + paipan::kForumSite;
        QCOMPARE(
            ui->log,
            (QStringList{
                QStringLiteral("open ") + paipan::kHomeSite, forum,
                "提示信息： [information] 您需要点击一下程序帮助菜单下的“访问晴川网”或“访问晴川网论坛”的链接访问本站，"
                "就可以把程序排出的结果贴到论坛请论坛的预测师们帮你预测了！祝您使用愉快！点击“确定”按钮访问晴川网！",
                forum}));
    }

    // Readme.txt in the working directory first, then beside the program.
    void help_data() {
        QTest::addColumn<QString>("inWorkingDir");  // empty: no such file
        QTest::addColumn<QString>("besideProgram");
        QTest::addColumn<QString>("shown");  // empty: the message instead
        // clang-format off
        QTest::newRow("working directory first") << "使用说明\r\n第二行" << "旁边" << "使用说明\n第二行";
        QTest::newRow("beside the program") << "" << "旁边的说明" << "旁边的说明";
        QTest::newRow("missing") << "" << "" << "";
        // clang-format on
    }
    void help() {
        QFETCH(QString, inWorkingDir);
        QFETCH(QString, besideProgram);
        QFETCH(QString, shown);
        QTemporaryDir workingDir, programDir;
        if (!inWorkingDir.isEmpty()) WriteFile(workingDir.filePath("Readme.txt"), inWorkingDir.toUtf8());
        if (!besideProgram.isEmpty()) WriteFile(programDir.filePath("Readme.txt"), besideProgram.toUtf8());
        MainWindow other(*ui, programDir.path());
        auto* otherBox = other.findChild<QTextEdit*>("RichTextBox1");
        const QString start = otherBox->toPlainText();
        const QString previous = QDir::currentPath();
        QDir::setCurrent(workingDir.path());
        other.findChild<QAction*>("mnuReadme")->trigger();
        QDir::setCurrent(previous);
        if (shown.isEmpty()) {
            QCOMPARE(ui->log, QStringList{" 错误信息 [none] 使用说明文档可能已经被移除，请与作者联系。"});
            QCOMPARE(otherBox->toPlainText(), start);
            QCOMPARE(other.windowTitle(), kTitle);
            return;
        }
        QCOMPARE(ui->log, QStringList());
        QCOMPARE(otherBox->toPlainText(), shown);
        QCOMPARE(other.windowTitle(), QStringLiteral("晴川四柱八字排盘系统 Ver1.0（免费版）：使用说明"));
    }

    // The build puts the usage guide, in UTF-8, beside the program.
    void readmeBesideProgram() {
        QFile file(QStringLiteral(PAIPAN_PROGRAM_DIR "/Readme.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringDecoder utf8(QStringConverter::Utf8);
        const QString text = utf8.decode(file.readAll());
        QVERIFY(text.contains(QStringLiteral("排盘")));
        QVERIFY(!utf8.hasError());
    }

    void aboutIsOneWindow() {
        trigger("mnuAbout");
        QPointer<QWidget> form2 = window->findChild<QWidget*>("Form2");
        QVERIFY(form2 && form2->isWindow());
        QVERIFY(QTest::qWaitForWindowExposed(form2));
        QCOMPARE(form2->size(), QSize(Px(7185), Px(4125)));
        trigger("mnuAbout");
        QCOMPARE(window->findChildren<QWidget*>("Form2"), QList<QWidget*>{form2});
        QVERIFY(!QApplication::activeModalWidget());  // the main window stays usable
        QCOMPARE(form2->findChild<QLabel*>("lblVersion")->text(), QStringLiteral("版本 Ver1.0 （免费版）"));
        QCOMPARE(form2->findChild<QLabel*>("lblCompanyProduct")->text(), QStringLiteral("晴川四柱八字排盘系统"));
        QCOMPARE(form2->findChild<QLabel*>("lblProductName")->toolTip(),
                 QStringLiteral("点击访问晴川网——") + paipan::kHomeSite);
        // The links open the home site and leave the window open.
        for (const char* name : {"imgLogo", "lblProductName", "Label1"})
            QTest::mouseClick(form2->findChild<QLabel*>(name), Qt::LeftButton);
        QCOMPARE(ui->log, QStringList(3, QStringLiteral("open ") + paipan::kHomeSite));
        QVERIFY(form2->isVisible());
        // A click on the frame or on the window itself closes it; the next
        // 关于 builds a fresh one.
        QTest::mouseClick(form2->findChild<QWidget*>("Frame1"), Qt::LeftButton, {}, QPoint(5, 5));
        QTRY_VERIFY(form2.isNull());
        trigger("mnuAbout");
        form2 = window->findChild<QWidget*>("Form2");
        QVERIFY(form2);
        QTest::mouseClick(form2, Qt::LeftButton, {}, QPoint(1, form2->height() - 1));
        QTRY_VERIFY(form2.isNull());
    }

    void closingTheWindowClosesAbout() {
        window->showAbout();
        QPointer<QWidget> form2 = window->findChild<QWidget*>("Form2");
        QVERIFY(form2);
        window->close();
        QTRY_VERIFY(form2.isNull());
        window->show();
        window->showAbout();
        form2 = window->findChild<QWidget*>("Form2");
        trigger("mnuExit");
        QTRY_VERIFY(form2.isNull());
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
