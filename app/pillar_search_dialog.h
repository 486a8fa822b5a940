// 工具 → 八字反查…: four pillar pickers, the years, the night-zi box, 查找,
// the stretches found (true solar time, with the lunar date) and 排盘, which
// hands a clock reading at the panel's longitude back to the main window.
// The dialog keeps nothing once closed: each opening starts afresh.
#pragma once

#include <QDialog>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "calendar/pillar_search.h"
#include "chart/chart_request.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace paipan {

class PillarSearchDialog : public QDialog {
    Q_OBJECT
public:
    // `panel` reads the request panel: its 夜子时 box starts the dialog's, and
    // its longitude at the time of 排盘 places the clock reading.
    using PanelReader = std::function<ChartInput()>;
    PillarSearchDialog(const std::filesystem::path& dataFolder, PanelReader panel, QWidget* parent = nullptr);
    ~PillarSearchDialog() override;

    QComboBox* picker(int pillar) const { return pickers_.at(static_cast<std::size_t>(pillar)); }
    QCheckBox* nightZiBox() const { return nightZi_; }
    QSpinBox* fromYear() const { return from_; }
    QSpinBox* toYear() const { return to_; }
    QPushButton* findButton() const { return find_; }
    QPushButton* chartButton() const { return chart_; }
    QListWidget* matches() const { return list_; }
    QLabel* status() const { return status_; }

    void search();  // 查找

signals:
    // 排盘 with the chosen stretch: the clock reading at the panel's
    // longitude whose corrected time lies inside it, and the night-zi rule.
    void chartRequested(int year, int month, int day, int hour, int minute, bool nightZi);

private:
    void buildPickers();
    void buildButtons();
    void narrow(int pillar, const std::vector<GanZhi>& allowed);
    void narrowMonths();
    void narrowHours();
    void chartChosen();
    std::optional<GanZhi> chosen(int pillar) const;
    std::optional<PillarQuery> query();
    void list(const std::vector<PillarInterval>& found);

    std::filesystem::path dataFolder_;
    PanelReader panel_;
    std::unique_ptr<PillarSearch> search_;
    std::string loadProblem_;
    std::array<QComboBox*, 4> pickers_{};
    QCheckBox* nightZi_ = nullptr;
    QSpinBox* from_ = nullptr;
    QSpinBox* to_ = nullptr;
    QPushButton* find_ = nullptr;
    QPushButton* chart_ = nullptr;
    QListWidget* list_ = nullptr;
    QLabel* status_ = nullptr;
    std::vector<PillarInterval> found_;
    bool foundNightZi_ = false;
};

}  // namespace paipan
