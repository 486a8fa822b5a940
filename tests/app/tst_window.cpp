// The main window without the 排盘 press: start-up state, the layout rule,
// the menus, the right-button menu, help, web links and the About window.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

#include "app/main_window.h"
#include "chart/sites.h"
#include "shown_window.h"

using paipan::MainWindow;
using paipan::MessageIcon;
using paipan::testing::ScriptedInteraction;

namespace {

// Twips to pixels at this screen's logical dpi (15 twips a pixel at 96 dpi).
int Px(int twips) {
    return qRound(twips * QGuiApplication::primaryScreen()->logicalDotsPerInch() / 1440.0);
}

QStringList Paragraphs(const QTextEdit* box) {
    QStringList lines;
    for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next())
        lines << b.text();
    return lines;
}

// Within one pixel: the conversion of each size rounds on its own.
bool Near(const QRect& actual, const QRect& expected) {
    return qAbs(actual.x() - expected.x()) <= 1 && qAbs(actual.y() - expected.y()) <= 1 &&
           qAbs(actual.width() - expected.width()) <= 1 &&
           qAbs(actual.height() - expected.height()) <= 1;
}

void ResizeInner(MainWindow& w, int widthTwips, int heightTwips) {
    w.resize(Px(widthTwips), Px(heightTwips) + w.menuBar()->height());
}

}  // namespace

class WindowTest : public paipan::testing::WindowTestCase {
    Q_OBJECT

private slots:
    void startUpTitleAndText() {
        QCOMPARE(window->windowTitle(), QStringLiteral("晴川四柱八字排盘系统 Ver1.0 （免费版）"));
        const QStringList lines = Paragraphs(box);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].contains(QStringLiteral("晴川四柱八字排盘系统")));
        QVERIFY(lines[0].contains(QStringLiteral("Ver1.0")));
        QCOMPARE(lines[1], QStringLiteral("网站地址：") + paipan::kHomeSite + " " +
                               paipan::kHomeSiteAlt + " ");
        QCOMPARE(lines[2], QStringLiteral("在线免费算命请访问晴川网论坛：") + paipan::kForumSite);
    }

    void startUpLists_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("field");  // 0 year … 4 minute
        QTest::newRow("Combo1 years") << "Combo1" << 1890 << 131 << 0;
        QTest::newRow("Combo2 months") << "Combo2" << 1 << 12 << 1;
        QTest::newRow("Combo3 days") << "Combo3" << 1 << 31 << 2;
        QTest::newRow("Combo4 hours") << "Combo4" << 0 << 24 << 3;
        QTest::newRow("Combo5 minutes") << "Combo5" << 0 << 60 << 4;
    }
    void startUpLists() {
        QFETCH(QString, name);
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(int, field);
        auto* combo = window->findChild<QComboBox*>(name);
        QVERIFY(combo);
        QVERIFY(combo->isEditable());
        QCOMPARE(combo->count(), count);
        for (int i = 0; i < count; ++i)
            QCOMPARE(combo->itemText(i), QString::number(first + i));
        auto part = [field](const QDateTime& t) {
            const int parts[] = {t.date().year(), t.date().month(), t.date().day(),
                                 t.time().hour(), t.time().minute()};
            return QString::number(parts[field]);
        };
        // The clock may turn over while the window is built.
        QVERIFY2(combo->currentText() == part(before) ||
                     combo->currentText() == part(after),
                 qPrintable(combo->currentText()));
    }

    void startUpInputs() {
        const std::pair<const char*, const char*> texts[] = {
            {"Text1", "张三"}, {"Text2", "安徽"}, {"Text3", "120"}, {"Text4", "0"}};
        for (const auto& [name, text] : texts)
            QCOMPARE(window->findChild<QLineEdit*>(name)->text(), QString(text));
        QCOMPARE(window->findChild<QLineEdit*>("Text3")->maxLength(), 4);
        QCOMPARE(window->findChild<QLineEdit*>("Text4")->maxLength(), 2);
        const bool ticked[] = {true, true, true, true, true, false, false, true, false};
        const char* labels[] = {"流年", "神煞", "十神", "藏干", "纳音",
                                "小运", "命宫/胎元", "长生十二宫", "夜子时方式排盘"};
        for (int i = 0; i < 9; ++i) {
            auto* check = window->findChild<QCheckBox*>(QStringLiteral("Check%1").arg(i + 1));
            QVERIFY(check);
            QCOMPARE(check->isChecked(), ticked[i]);
            QCOMPARE(check->text(), QString(labels[i]));
        }
        auto* nightZi = window->findChild<QCheckBox*>("Check9");
        QCOMPARE(nightZi->palette().color(QPalette::WindowText), QColor(192, 64, 0));
        QCOMPARE(nightZi->toolTip(),
                 QStringLiteral("即晚上23点至0点之间日干支仍算前一天的，传统排盘方法则是过了晚上23点即为第二天的日干支！"
                                "如果你不是子时生，此项可以不用管它！"));
        QLabel* hint = nullptr;
        for (QLabel* label : window->findChildren<QLabel*>())
            hint = label->text().contains(QStringLiteral("请务必输入您的公历生日，否则结果错误")) ? label : hint;
        QVERIFY(hint);
        QCOMPARE(hint->palette().color(QPalette::WindowText), QColor(192, 64, 0));
        QCOMPARE(hint->toolTip(),
                 QStringLiteral("本程序下一版本将提供公历、农历选择性输入排盘！此版本仅提供公历输入排盘功能！"));
        QVERIFY(window->findChild<QRadioButton*>("Option1_0")->isChecked());
        QVERIFY(!window->findChild<QRadioButton*>("Option1_1")->isChecked());
        QVERIFY(!window->findChild<QRadioButton*>("Option2_0")->isChecked());
        QVERIFY(window->findChild<QRadioButton*>("Option2_1")->isChecked());
        QCOMPARE(window->findChild<QPushButton*>("Command1")->text(), QStringLiteral("排盘"));
        QCOMPARE(window->findChild<QPushButton*>("Command2")->text(), QStringLiteral("在线算命"));
    }

    void startUpGeometry() {
        QTRY_COMPARE(window->centralWidget()->size(), QSize(Px(11415), Px(7695)));
        QVERIFY2(Near(box->geometry(), QRect(Px(2300), Px(80), Px(9015), Px(7415))),
                 qPrintable(QString("%1,%2 %3x%4").arg(box->x()).arg(box->y())
                                .arg(box->width()).arg(box->height())));
        auto* panel = window->findChild<QWidget*>("Frame5");
        QVERIFY(Near(panel->geometry(), QRect(Px(50), 0, Px(2200), Px(7635))));
        QCOMPARE(box->lineWrapMode(), QTextEdit::NoWrap);
    }

    // The chart's columns stand straight only when a Chinese character (and
    // the full-width space) is exactly two Latin cells wide.
    void chartFontCells() {
        const QFontMetricsF metrics(box->document()->defaultFont());
        const qreal cell = metrics.horizontalAdvance(QLatin1Char('a'));
        QVERIFY(cell > 0);
        QCOMPARE(metrics.horizontalAdvance(QStringLiteral(" ")), cell);
        QCOMPARE(metrics.horizontalAdvance(QStringLiteral("9")), cell);
        for (const QString& wide : {QStringLiteral("甲"), QStringLiteral("\u3000"), QStringLiteral("："),
                                    QStringLiteral("［")})
            QCOMPARE(metrics.horizontalAdvance(wide), 2 * cell);
        QCOMPARE(metrics.horizontalAdvance(QStringLiteral("乾造：　  庚")),
                 metrics.horizontalAdvance(QStringLiteral("　　　　　庚")));
    }

    void resizeRule() {
        ResizeInner(*window, 9000, 6000);
        QTRY_COMPARE(window->centralWidget()->size(), QSize(Px(9000), Px(6000)));
        QVERIFY(Near(box->geometry(), QRect(Px(2300), Px(80), Px(6600), Px(5720))));
        // Narrower than 2400 twips inside: the width would be negative and is
        // not applied; the height still follows.
        const int widthBefore = box->width();
        ResizeInner(*window, 2000, 5000);
        QTRY_COMPARE(window->centralWidget()->height(), Px(5000));
        QCOMPARE(box->width(), widthBefore);
        QVERIFY(qAbs(box->height() - Px(4720)) <= 1);
        QCOMPARE(window->findChild<QWidget*>("Frame5")->pos(), QPoint(Px(50), 0));
    }

    void menus_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        const char* rows[][3] = {
            {"mnuNew", "新建", "Ctrl+N"},      {"mnuOpen", "打开", "Ctrl+O"},
            {"mnuSave", "保存", "Ctrl+S"},     {"mnuExit", "退出", "Ctrl+E"},
            {"mnuCopy", "复制", "Ctrl+C"},     {"mnuCut", "剪切", "Ctrl+X"},
            {"mnuPaste", "粘贴", "Ctrl+V"},    {"mnuSelectAll", "全选", "Ctrl+A"},
            {"mnufont", "字体", "Ctrl+T"},     {"mnuReadme", "使用说明", "Ctrl+H"},
            {"mnuCorvelcom", "访问晴川网", "Ctrl+U"}, {"mnuCorvelbbs", "访问晴川网论坛", "Ctrl+B"},
            {"mnuAbout", "关于", "Ctrl+F1"}};
        for (const auto& row : rows)
            QTest::newRow(row[0]) << row[0] << row[1] << row[2];
    }
    void menus() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, shortcut);
        auto* action = window->findChild<QAction*>(name);
        QVERIFY(action);
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->shortcut(), QKeySequence(shortcut));
    }

    void menuBarOrder() {
        QStringList titles, names;
        for (QAction* a : window->menuBar()->actions()) {
            titles << a->text();
            names << a->menu()->objectName();
        }
        QCOMPARE(titles, (QStringList{"文件", "编辑", "格式", "帮助"}));
        QCOMPARE(names, (QStringList{"mnuFile", "mnuEdit", "mnugeshi", "mnuHelp"}));
        QVERIFY(window->findChild<QAction*>("mnuFileSep")->isSeparator());
        QVERIFY(window->findChild<QAction*>("mnuEditSep")->isSeparator());
    }

    void rightButtonOpensEditMenu() {
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(QApplication::activePopupWidget() == nullptr);
        QTest::mousePress(box->viewport(), Qt::RightButton, {}, QPoint(30, 30));
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menu->objectName(), QStringLiteral("mnuEdit"));
        QStringList items;
        for (QAction* a : menu->actions())
            items << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(items, (QStringList{"复制", "剪切", "粘贴", "-", "全选"}));
        menu->close();
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    }

    void webLinks() {
        window->findChild<QAction*>("mnuCorvelcom")->trigger();
        window->findChild<QAction*>("mnuCorvelbbs")->trigger();
        QCOMPARE(ui->urls.size(), size_t(2));
        QCOMPARE(ui->urls[0], QUrl(paipan::kHomeSite));
        QCOMPARE(ui->urls[1], QUrl(paipan::kForumSite));
        QVERIFY(ui->messages.empty());
    }

    void forumButtonTellsThenOpens() {
        QTest::mouseClick(window->findChild<QPushButton*>("Command2"), Qt::LeftButton);
        QCOMPARE(ui->events, (QStringList{"message", "url"}));
        QCOMPARE(ui->messages[0].text,
                 QStringLiteral("您需要点击一下程序帮助菜单下的“访问晴川网”或“访问晴川网论坛”的链接访问本站，"
                                "就可以把程序排出的结果贴到论坛请论坛的预测师们帮你预测了！祝您使用愉快！"
                                "点击“确定”按钮访问晴川网！"));
        QCOMPARE(ui->messages[0].caption, QStringLiteral("提示信息："));
        QCOMPARE(ui->messages[0].icon, MessageIcon::Information);
        QCOMPARE(ui->urls[0], QUrl(paipan::kForumSite));
    }

    void helpFromWorkingDirectory() {
        QTemporaryDir dir;
        const QString text = QStringLiteral("使用说明\r\n第二行");
        QFile file(dir.filePath("Readme.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
        file.close();
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        window->findChild<QAction*>("mnuReadme")->trigger();
        QDir::setCurrent(previous);
        QVERIFY(ui->messages.empty());
        QCOMPARE(Paragraphs(box), (QStringList{"使用说明", "第二行"}));
        QCOMPARE(window->windowTitle(), QStringLiteral("晴川四柱八字排盘系统 Ver1.0（免费版）：使用说明"));
    }

    // Not in the working directory: the copy beside the program is shown.
    void helpFromProgramFolder() {
        QTemporaryDir empty, programDir;
        QFile file(programDir.filePath("Readme.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\xEF\xBB\xBF" "beside the program");
        file.close();
        MainWindow other(*ui, programDir.path());
        const QString previous = QDir::currentPath();
        QDir::setCurrent(empty.path());
        other.showReadme();
        QDir::setCurrent(previous);
        QCOMPARE(other.findChild<QTextEdit*>("RichTextBox1")->toPlainText(),
                 QStringLiteral("beside the program"));
    }

    void helpMissing() {
        QTemporaryDir empty, programDir;
        MainWindow other(*ui, programDir.path());
        auto* otherBox = other.findChild<QTextEdit*>("RichTextBox1");
        const QString before = otherBox->toPlainText();
        const QString previous = QDir::currentPath();
        QDir::setCurrent(empty.path());
        other.showReadme();
        QDir::setCurrent(previous);
        QCOMPARE(ui->messages.size(), size_t(1));
        QCOMPARE(ui->messages[0].text, QStringLiteral("使用说明文档可能已经被移除，请与作者联系。"));
        QCOMPARE(ui->messages[0].caption, QStringLiteral(" 错误信息"));
        QCOMPARE(ui->messages[0].icon, MessageIcon::None);
        QCOMPARE(otherBox->toPlainText(), before);
        QCOMPARE(other.windowTitle(), QStringLiteral("晴川四柱八字排盘系统 Ver1.0 （免费版）"));
    }

    // The build puts the usage guide beside the program.
    void readmeBesideProgram() {
        QFile file(QStringLiteral(PAIPAN_PROGRAM_DIR "/Readme.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringDecoder utf8(QStringConverter::Utf8);
        const QString text = utf8.decode(file.readAll());
        QVERIFY(!utf8.hasError());
        QVERIFY(text.contains(QStringLiteral("排盘")));
    }

    void aboutIsOneWindow() {
        QAction* about = window->findChild<QAction*>("mnuAbout");
        about->trigger();
        auto* form2 = window->findChild<QWidget*>("Form2");
        QVERIFY(form2);
        QVERIFY(form2->isWindow());
        QTRY_VERIFY(form2->isVisible());
        QCOMPARE(form2->size(), QSize(Px(7185), Px(4125)));
        about->trigger();
        QCOMPARE(window->findChildren<QWidget*>("Form2").size(), 1);
        QCOMPARE(window->findChild<QWidget*>("Form2"), form2);
        // A modeless window: the main window stays usable.
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(form2->findChild<QLabel*>("lblVersion")->text(), QStringLiteral("版本 Ver1.0 （免费版）"));
        QCOMPARE(form2->findChild<QLabel*>("lblCompanyProduct")->text(),
                 QStringLiteral("晴川四柱八字排盘系统"));
        QCOMPARE(form2->findChild<QLabel*>("lblProductName")->toolTip(),
                 QStringLiteral("点击访问晴川网——") + paipan::kHomeSite);
    }

    void aboutLinksAndClose() {
        window->showAbout();
        QPointer<QWidget> form2 = window->findChild<QWidget*>("Form2");
        QVERIFY(QTest::qWaitForWindowExposed(form2));
        for (const char* name : {"imgLogo", "lblProductName", "Label1"})
            QTest::mouseClick(form2->findChild<QLabel*>(name), Qt::LeftButton);
        QCOMPARE(ui->urls, (std::vector<QUrl>(3, QUrl(paipan::kHomeSite))));
        QVERIFY(form2->isVisible());
        QTest::mouseClick(form2->findChild<QWidget*>("Frame1"), Qt::LeftButton, {}, QPoint(5, 5));
        QTRY_VERIFY(form2.isNull());
        // The next 关于 builds a fresh window.
        window->showAbout();
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
        window->findChild<QAction*>("mnuExit")->trigger();
        QTRY_VERIFY(form2.isNull());
    }

};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
