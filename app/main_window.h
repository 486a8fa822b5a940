// The main window (Form1): the request panel, the result box and the menus.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <initializer_list>
#include <memory>
#include <vector>

#include "app/twips.h"
#include "birth/notices.h"

class QAction;
class QMenu;

namespace paipan {

class AboutWindow;
struct CommandItem;
class DocumentCommands;
class ExportCommands;
class InputPanel;
class Interaction;
class NoticeArea;
class PillarSearchDialog;
class PlaceCompleter;
class ResultBox;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // `programFolder` holds the data files and a copy of Readme.txt; by
    // default the folder of the running program.
    explicit MainWindow(Interaction& ui, QString programFolder = QString(), QWidget* parent = nullptr);
    ~MainWindow() override;

    // 排盘 (getZTYS): check the panel's request, run it and show the chart
    // or the problem.
    void chartFromPanel();
    void showReadme();
    void showAbout();
    void exitProgram();
    // 工具 → 八字反查…: the pillar search dialog, one at a time.
    void showPillarSearch();
    PillarSearchDialog* pillarSearch() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    QMenu* buildFileMenu();
    QMenu* buildEditMenu();
    // The items' actions in their order (none for a separator).
    std::vector<QAction*> addCommands(QMenu* menu, std::initializer_list<CommandItem> items);
    void applyLayout();
    void showStartText();
    void openForum();
    void closeAbout();
    void buildNoticeArea();
    void chartInStandardTime();
    ChartOutcome press(const ChartInput& in, std::vector<Notice>& notices) const;
    std::filesystem::path dataFolder() const;

    Interaction& ui_;
    QString programFolder_;
    std::vector<Notice> shownNotices_;  // beside the chart in the box, for the 按标准时间 action
    Twips twips_;
    InputPanel* panel_ = nullptr;
    ResultBox* box_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QAction* newAction_ = nullptr;   // 新建
    QAction* openAction_ = nullptr;  // 打开
    std::unique_ptr<DocumentCommands> commands_;
    std::unique_ptr<ExportCommands> exports_;
    QPointer<AboutWindow> about_;
    QPointer<PillarSearchDialog> pillarSearch_;
    PlaceCompleter* places_ = nullptr;
    NoticeArea* notices_ = nullptr;
};

}  // namespace paipan
