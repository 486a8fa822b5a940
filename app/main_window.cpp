#include "app/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QUrl>
#include <exception>

#include "app/about_window.h"
#include "app/calendar_frame.h"
#include "app/document_commands.h"
#include "app/export_commands.h"
#include "app/input_panel.h"
#include "app/interaction.h"
#include "app/notice_area.h"
#include "app/pillar_search_dialog.h"
#include "app/place_completer.h"
#include "app/result_box.h"
#include "app/texts.h"
#include "birth/notices.h"
#include "birth/unknown_hour_notices.h"
#include "chart/lunar_request.h"
#include "chart/sites.h"
#include "chart/unknown_hour.h"

namespace paipan {

namespace {

// The notice after 按标准时间排盘: how much was taken off and the clock
// date and time now in the boxes.
std::string StandardTimeDone(int shiftMinutes, const ChartInput& in) {
    const QString shift = shiftMinutes % 60 ? QString(kShiftMinutes).arg(shiftMinutes)
                                            : QString(kShiftHours).arg(shiftMinutes / 60);
    const auto q = [](const std::string& s) { return QString::fromStdString(s); };
    return QString(kStandardTimeDone)
        .arg(shift, q(in.year), q(in.month), q(in.day), q(in.hour), q(in.minute))
        .toStdString();
}

// The form's own font: a plain Chinese face at 9 points.
QFont FormFont() {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPointSize(9);
    return font;
}

QAction* AddItem(QMenu* menu, const char* caption, const char* name, QKeySequence shortcut) {
    QAction* action = menu->addAction(QString(caption));
    action->setObjectName(QString(name));
    action->setShortcut(shortcut);
    return action;
}

void AddSeparator(QMenu* menu, const char* name) { menu->addSeparator()->setObjectName(QString(name)); }

QMenu* AddMenu(QMenuBar* bar, const char* caption, const char* name) {
    QMenu* menu = bar->addMenu(QString(caption));
    menu->setObjectName(QString(name));
    return menu;
}

}  // namespace

// A menu item that runs one of the document commands; an item without a
// command is the named separator.
struct CommandItem {
    const char* caption;
    const char* name;
    QKeyCombination key;
    void (DocumentCommands::*command)();
};

MainWindow::MainWindow(Interaction& ui, QString programFolder, QWidget* parent)
    : QMainWindow(parent),
      ui_(ui),
      programFolder_(programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : std::move(programFolder)) {
    setObjectName(QStringLiteral("Form1"));
    setFont(FormFont());
    auto* area = new QWidget(this);
    setCentralWidget(area);
    panel_ = new InputPanel(twips_, area);
    panel_->calendarFrame()->setDataFolder(programFolder_);
    panel_->move(twips_.point(50, 0));
    box_ = new ResultBox(area);
    box_->setObjectName(QStringLiteral("RichTextBox1"));
    commands_ = std::make_unique<DocumentCommands>(*box_, *this, ui_);
    exports_ = std::make_unique<ExportCommands>(*box_, *this, ui_, programFolder_);
    buildMenus();
    connect(panel_->chartButton(), &QPushButton::clicked, this, &MainWindow::chartFromPanel);
    connect(panel_->forumButton(), &QPushButton::clicked, this, &MainWindow::openForum);
    connect(box_, &ResultBox::rightButtonPressed, this, [this](const QPoint& at) { editMenu_->popup(at); });
    connect(box_, &ResultBox::insertRefused, this, [this](const QString& message) {
        ui_.showMessage(this, message, QString(kHintCaption), MessageIcon::Information);
    });

    setWindowTitle(QString(kMainTitle));
    showStartText();
    const QDateTime now = QDateTime::currentDateTime();
    panel_->setInput(DefaultChartInput(now.date().year(), now.date().month(), now.date().day(), now.time().hour(),
                                       now.time().minute()));
    area->installEventFilter(this);
    buildNoticeArea();
    // The result box keeps its 9015 twips beside the panel (11415 beside the
    // first 2200-twip panel).
    resize(twips_.px(11415 - 2200 + InputPanel::kWidthTwips),
           twips_.px(7695) + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    applyLayout();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus() {
    buildFileMenu();
    editMenu_ = buildEditMenu();
    addCommands(AddMenu(menuBar(), "格式", "mnugeshi"),
                {{"字体", "mnufont", Qt::CTRL | Qt::Key_T, &DocumentCommands::font}});
    QMenu* tools = AddMenu(menuBar(), "工具", "mnuTools");
    connect(AddItem(tools, "八字反查…", "mnuPillarSearch", QKeySequence()), &QAction::triggered, this,
            &MainWindow::showPillarSearch);
    QMenu* help = AddMenu(menuBar(), "帮助", "mnuHelp");
    connect(AddItem(help, "使用说明", "mnuReadme", Qt::CTRL | Qt::Key_H), &QAction::triggered, this,
            &MainWindow::showReadme);
    connect(AddItem(help, "访问晴川网", "mnuCorvelcom", Qt::CTRL | Qt::Key_U), &QAction::triggered, this,
            [this] { ui_.openUrl(QUrl(QString(kHomeSite))); });
    connect(AddItem(help, "访问晴川网论坛", "mnuCorvelbbs", Qt::CTRL | Qt::Key_B), &QAction::triggered, this,
            [this] { ui_.openUrl(QUrl(QString(kForumSite))); });
    connect(AddItem(help, "关于", "mnuAbout", Qt::CTRL | Qt::Key_F1), &QAction::triggered, this,
            &MainWindow::showAbout);
}

std::vector<QAction*> MainWindow::addCommands(QMenu* menu, std::initializer_list<CommandItem> items) {
    std::vector<QAction*> actions;
    for (const CommandItem& item : items) {
        if (item.command == nullptr) {
            AddSeparator(menu, item.name);
            continue;
        }
        actions.push_back(AddItem(menu, item.caption, item.name, item.key));
        connect(actions.back(), &QAction::triggered, this,
                [this, command = item.command] { (commands_.get()->*command)(); });
    }
    return actions;
}

QMenu* MainWindow::buildFileMenu() {
    QMenu* file = AddMenu(menuBar(), "文件", "mnuFile");
    const std::vector<QAction*> documents = addCommands(
        file, {{"新建", "mnuNew", Qt::CTRL | Qt::Key_N, &DocumentCommands::newDocument},
               {"打开", "mnuOpen", Qt::CTRL | Qt::Key_O, &DocumentCommands::open},
               {"保存", "mnuSave", Qt::CTRL | Qt::Key_S, &DocumentCommands::save}});
    newAction_ = documents[0];
    openAction_ = documents[1];
    // The ways out of the window, after 保存.
    const struct {
        const char* caption;
        const char* name;
        QKeySequence key;
        void (ExportCommands::*command)();
    } exports[] = {{"打印…", "mnuPrint", Qt::CTRL | Qt::Key_P, &ExportCommands::print},
                   {"打印预览…", "mnuPrintPreview", {}, &ExportCommands::printPreview},
                   {"导出为PDF…", "mnuExportPdf", {}, &ExportCommands::exportPdf},
                   {"导出为图片…", "mnuExportImage", {}, &ExportCommands::exportImage}};
    for (const auto& item : exports) {
        connect(AddItem(file, item.caption, item.name, item.key), &QAction::triggered, this,
                [this, command = item.command] { (exports_.get()->*command)(); });
    }
    AddSeparator(file, "mnuFileSep");
    connect(AddItem(file, "退出", "mnuExit", Qt::CTRL | Qt::Key_E), &QAction::triggered, this,
            &MainWindow::exitProgram);
    return file;
}

QMenu* MainWindow::buildEditMenu() {
    QMenu* edit = AddMenu(menuBar(), "编辑", "mnuEdit");
    addCommands(edit, {{"复制", "mnuCopy", Qt::CTRL | Qt::Key_C, &DocumentCommands::copy},
                       {"剪切", "mnuCut", Qt::CTRL | Qt::Key_X, &DocumentCommands::cut},
                       {"粘贴", "mnuPaste", Qt::CTRL | Qt::Key_V, &DocumentCommands::paste},
                       {nullptr, "mnuEditSep", {}, nullptr},
                       {"全选", "mnuSelectAll", Qt::CTRL | Qt::Key_A, &DocumentCommands::selectAll}});
    return edit;
}

void MainWindow::showStartText() {
    const QString lines[] = {
        QString(kStartWelcome),
        QString(kStartSites).arg(QString(kHomeSite), QString(kHomeSiteAlt)),
        QString(kStartForum).arg(QString(kForumSite)),
    };
    SetPlainBoxText(*box_, QStringList(std::begin(lines), std::end(lines)).join(QStringLiteral("\r\n")));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) applyLayout();
    return QMainWindow::eventFilter(watched, event);
}

// The panel keeps its place and size; the box fills the rest, 100 twips
// right of the panel (Left 2300 beside the first 2200-twip panel). A size
// that would come out negative is not applied and the box keeps its old one.
void MainWindow::applyLayout() {
    const QWidget* area = centralWidget();
    panel_->move(twips_.px(50), panel_->y());
    const int left = 50 + InputPanel::kWidthTwips + 50;
    const int height = area->height() - twips_.px(280);
    const int width = area->width() - twips_.px(left + 100);
    box_->setGeometry(twips_.px(left), twips_.px(80), width >= 0 ? width : box_->width(),
                      height >= 0 ? height : box_->height());
}

std::filesystem::path MainWindow::dataFolder() const { return programFolder_.toStdString(); }

// The press of the panel and the notices around its result, the chart made
// once: the notices come from what the press checked and the engine it ran.
ChartOutcome MainWindow::press(const ChartInput& in, std::vector<Notice>& notices) const {
    const DataSource data(dataFolder());
    if (in.unknownHour) {
        ChartOutcome outcome = RunPanelRequest(in, data);
        if (std::holds_alternative<ChartResult>(outcome)) notices = UnknownHourNotices(in, places_->zone(), data);
        return outcome;
    }
    return RunChartRequest(
        in, data,
        [&](const CheckedRequest& checked, const Corvel_BZClass& chart, const ChartResult&) {
            notices = NoticesOfChart(checked, places_->zone(), data, places_->gazetteer(), chart);
        },
        Colouring::Spans);
}

void MainWindow::chartFromPanel() {
    ChartOutcome outcome;
    std::vector<Notice> notices;
    try {
        outcome = press(places_->withClock(panel_->input()), notices);
    } catch (const std::exception& e) {
        outcome = DataProblem{std::string(kChartFailed) + e.what()};
    }
    shownNotices_.clear();
    if (const auto* chart = std::get_if<ChartResult>(&outcome)) {
        ShowChart(*box_, *chart);
        setWindowTitle(QString(kMainTitle));
        shownNotices_ = std::move(notices);
        notices_->showNotices(shownNotices_);
    } else if (const auto* problem = std::get_if<InputProblem>(&outcome)) {
        ui_.showMessage(this, QString::fromStdString(problem->message), QString::fromStdString(problem->caption),
                        problem->icon);
        if (problem->fieldText) panel_->setFieldText(problem->field, QString::fromStdString(*problem->fieldText));
        if (QWidget* field = panel_->field(problem->field)) field->setFocus();
    } else {
        const auto& data = std::get<DataProblem>(outcome);
        ui_.showMessage(this, QString::fromStdString(data.message), QString::fromStdString(data.caption),
                        MessageIcon::Critical);
    }
}

PillarSearchDialog* MainWindow::pillarSearch() const { return pillarSearch_.data(); }

void MainWindow::showPillarSearch() {
    if (!pillarSearch_) {
        pillarSearch_ = new PillarSearchDialog(
            dataFolder(), [this] { return places_->withClock(panel_->input()); }, this);
        pillarSearch_->setAttribute(Qt::WA_DeleteOnClose);
        // 排盘 from a stretch found: its clock reading into the date and time
        // boxes (its night-zi rule into the box, 时辰不详 cleared), then the
        // panel's 排盘.
        connect(pillarSearch_, &PillarSearchDialog::chartRequested, this,
                [this](int year, int month, int day, int hour, int minute, bool nightZi) {
                    ChartInput in = panel_->input();
                    const auto text = [](int n) { return std::to_string(n); };
                    in.year = text(year), in.month = text(month), in.day = text(day);
                    in.hour = text(hour), in.minute = text(minute), in.nightZi = nightZi;
                    in.unknownHour = false;  // the hour is known now
                    panel_->setInput(in);
                    chartFromPanel();
                });
    }
    pillarSearch_->show();
    pillarSearch_->raise();
    pillarSearch_->activateWindow();
}

// Looked for in the working directory first, then beside the program.
void MainWindow::showReadme() {
    for (const QString& folder : {QDir::currentPath(), programFolder_}) {
        QString error;
        const auto bytes = ReadDocumentFile(QDir(folder).filePath(QString(kReadmeName)), &error);
        if (bytes) {
            SetPlainBoxText(*box_, DecodeText(*bytes));
            setWindowTitle(QString(kHelpTitle));
            notices_->clear();
            return;
        }
    }
    ui_.showMessage(this, QString(kReadmeMissing), QString(kReadmeMissingCaption), MessageIcon::None);
}

// The notices sit in a fixed-height bar under the central area; the window is
// that much taller, so the central area keeps its size and layout.
void MainWindow::buildNoticeArea() {
    places_ = new PlaceCompleter(panel_->textBox(1), panel_->textBox(2), panel_->textBox(3), programFolder_);
    notices_ = new NoticeArea(twips_.px(1200), this);
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(notices_, 1);
    connect(notices_->standardTimeButton(), &QPushButton::clicked, this, &MainWindow::chartInStandardTime);
    for (QAction* action : {newAction_, openAction_})
        connect(action, &QAction::triggered, notices_, &NoticeArea::clear);
    connect(newAction_, &QAction::triggered, panel_, [this] { panel_->setUnknownHour(false); });
    // 新建 starts again in 公历.
    connect(newAction_, &QAction::triggered, panel_->calendarFrame(), &CalendarFrame::resetToSolar);
}

// The daylight-saving action: the five date and time boxes back by the
// summer-time offset (across midnight and month ends), then 排盘 again.
void MainWindow::chartInStandardTime() {
    ChartInput in = panel_->input();
    // A lunar date is shifted as its Gregorian day; the boxes then hold 公历.
    if (in.lunar) in = InOtherCalendar(in, dataFolder()).value_or(in);
    const auto checked = CheckChartInput(in);
    const auto* clock = std::get_if<CheckedClock>(&checked);
    if (!clock || notices_->shiftMinutes() <= 0) return;
    const CivilTime t = ToCivil(MakeDateTime(clock->year, clock->month, clock->day, clock->hour, clock->minute) -
                                std::chrono::minutes{notices_->shiftMinutes()});
    in.year = std::to_string(t.year), in.month = std::to_string(t.month), in.day = std::to_string(t.day);
    in.hour = std::to_string(t.hour), in.minute = std::to_string(t.minute);
    panel_->setInput(in);
    const int shift = notices_->shiftMinutes();
    chartFromPanel();
    // The boxes now hold standard time: the clock-time notices no longer
    // apply (read as a clock time, 23:30 of 30 June 1988 was itself summer
    // time, and a second click would take off another hour).
    std::vector<Notice> kept;
    for (Notice& n : shownNotices_)
        if (n.kind != NoticeKind::DaylightSaving && n.kind != NoticeKind::DisputedStart &&
            n.kind != NoticeKind::NonexistentTime && n.kind != NoticeKind::RepeatedTime)
            kept.push_back(std::move(n));
    kept.insert(kept.begin(), {NoticeKind::DaylightSaving, StandardTimeDone(shift, in), 0});
    notices_->showNotices(kept);
}

void MainWindow::openForum() {
    ui_.showMessage(this, QString(kForumHint), QString(kForumHintCaption), MessageIcon::Information);
    ui_.openUrl(QUrl(QString(kForumSite)));
}

// One About window at a time; it deletes itself when closed.
void MainWindow::showAbout() {
    if (!about_) about_ = new AboutWindow(ui_, twips_, this);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void MainWindow::closeAbout() {
    if (about_) about_->close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    closeAbout();
    QMainWindow::closeEvent(event);
}

void MainWindow::exitProgram() {
    closeAbout();
    QCoreApplication::quit();
}

}  // namespace paipan
