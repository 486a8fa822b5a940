// The request panel on the left of the main window (frame Frame5): name,
// place, longitude, the five date lists, sex, layout and the nine options.
#pragma once

#include <QGroupBox>
#include <array>

#include "app/twips.h"
#include "chart/chart_request.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace paipan {

class CalendarFrame;

class InputPanel : public QGroupBox {
    Q_OBJECT
public:
    InputPanel(const Twips& twips, QWidget* parent);

    // The panel's width: 2200 twips, widened for the lunar names of the 历法
    // frame and the date lists (app/input_panel.cpp).
    static constexpr int kWidthTwips = 2635;

    // The controls' contents as the chart request takes them, and back.
    ChartInput input() const;
    void setInput(const ChartInput& input);

    // The control an input problem names (nullptr for none).
    QWidget* field(InputField which) const;
    void setFieldText(InputField which, const QString& text);

    // 时辰不详: checked, the hour and minute lists are disabled and 排盘 gives
    // the hour candidates of the day instead of a chart.
    QCheckBox* unknownHourBox() const { return unknownHour_; }
    void setUnknownHour(bool unknown);

    QLineEdit* textBox(int index) const { return texts_.at(index); }  // 0 = Text1 … 3 = Text4
    QPushButton* chartButton() const { return chartButton_; }         // 排盘
    QPushButton* forumButton() const { return forumButton_; }         // 在线算命
    CalendarFrame* calendarFrame() const { return calendar_; }        // 历法

private:
    QLabel* addLabel(QWidget* parent, const char* text, QRect twipsRect);
    void buildTextRows();
    void buildDateRows();
    void buildChoiceFrames();
    void buildOptionFrame();
    void buildButtons();
    void buildUnknownHourBox();

    Twips twips_;
    std::array<QLineEdit*, 4> texts_{};      // Text1 … Text4
    std::array<QComboBox*, 5> combos_{};     // Combo1 … Combo5
    std::array<QRadioButton*, 2> sex_{};     // Option1(0) 男, Option1(1) 女
    std::array<QRadioButton*, 2> layout_{};  // Option2(0) 横排, Option2(1) 竖排
    std::array<QCheckBox*, 9> checks_{};     // Check1 … Check9
    QCheckBox* unknownHour_ = nullptr;
    QPushButton* chartButton_ = nullptr;
    QPushButton* forumButton_ = nullptr;
    CalendarFrame* calendar_ = nullptr;
};

}  // namespace paipan
