// The frame 历法 of the request panel: "公历" or "农历" for the year, month
// and day lists, and the leap-month box. In 农历 mode the lists hold the
// lunar years, the month names (正月 … 十二月) and the day names (初一 … 三十);
// switching converts a valid date to the other calendar. The leap box is
// enabled only for a lunar year with a leap month and then names it, so the
// window never asks for a leap month the year does not have.
#pragma once

#include <QGroupBox>
#include <QHash>
#include <array>

#include "app/twips.h"

class QCheckBox;
class QComboBox;
class QRadioButton;

namespace paipan {

class CalendarFrame : public QGroupBox {
    Q_OBJECT
public:
    // `dateLists` are the year, month and day lists (Combo1 … Combo3) the
    // frame switches between the calendars; `place` is in twips.
    CalendarFrame(const Twips& twips, const QRect& place, std::array<QComboBox*, 3> dateLists, QWidget* parent);

    // The folder of the calendar file the conversions and leap months read.
    void setDataFolder(const QString& folder) {
        folder_ = folder;
        leapMonths_.clear();
    }

    bool lunar() const;
    bool leapMonth() const;
    // Sets the mode and the lists' items, keeping their texts (no conversion).
    void setLunar(bool lunar);
    // Ticks the leap box when the year in the list has a leap month.
    void setLeapMonth(bool leap);
    // Back to 公历, converting a valid lunar date (新建).
    void resetToSolar();

private:
    void switchCalendar(bool toLunar);
    void fillLists(bool lunar);
    void yearChanged();
    void monthChanged();
    void leapToggled(bool on);
    int leapMonthOfYear() const;  // 0: none, or not a lunar year of the span

    std::array<QComboBox*, 3> lists_;
    std::array<QRadioButton*, 2> calendars_{};  // Option3(0) 公历, Option3(1) 农历
    QCheckBox* leap_ = nullptr;
    QString folder_;
    mutable QHash<int, int> leapMonths_;  // lunar year → its leap month (0 none)
    bool updating_ = false;               // the frame itself is setting the lists
};

}  // namespace paipan
