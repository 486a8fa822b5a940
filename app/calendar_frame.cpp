#include "app/calendar_frame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>

#include "calendar/lunar_input.h"
#include "calendar/store.h"
#include "chart/lunar_request.h"
#include "engine/span.h"

namespace paipan {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Restores a flag when the scope ends.
struct Updating {
    explicit Updating(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~Updating() { flag_ = old_; }
    bool& flag_;
    bool old_;
};

}  // namespace

CalendarFrame::CalendarFrame(const Twips& twips, const QRect& place, std::array<QComboBox*, 3> dateLists,
                             QWidget* parent)
    : QGroupBox(QStringLiteral("历法"), parent), lists_(dateLists) {
    setGeometry(twips.rect(place.x(), place.y(), place.width(), place.height()));
    const int width = place.width() - 60;  // inside the frame's border
    const char* names[] = {"公历", "农历"};
    for (int i = 0; i < 2; ++i) {
        calendars_[i] = new QRadioButton(QString::fromUtf8(names[i]), this);
        calendars_[i]->setObjectName(QStringLiteral("Option3_%1").arg(i));
        calendars_[i]->setGeometry(twips.rect(30, 240 + 330 * i, width, 270));
    }
    calendars_[0]->setChecked(true);
    calendars_[1]->setToolTip(
        QStringLiteral("按农历输入出生日期：年为农历年，月、日可选“正月”“初一”等，时、分仍为钟表时间"));
    leap_ = new QCheckBox(QStringLiteral("闰月"), this);
    leap_->setObjectName(QStringLiteral("CheckLeapMonth"));
    leap_->setGeometry(twips.rect(30, 900, width, 270));
    leap_->setEnabled(false);
    leap_->setToolTip(QStringLiteral("所选农历年有闰月时可勾选，勾选后所选月份即为该年的闰月"));
    connect(calendars_[1], &QRadioButton::toggled, this, [this](bool on) { switchCalendar(on); });
    connect(lists_[0], &QComboBox::editTextChanged, this, [this] { yearChanged(); });
    connect(lists_[1], &QComboBox::editTextChanged, this, [this] { monthChanged(); });
    connect(leap_, &QCheckBox::toggled, this, [this](bool on) { leapToggled(on); });
}

bool CalendarFrame::lunar() const { return calendars_[1]->isChecked(); }

bool CalendarFrame::leapMonth() const { return lunar() && leap_->isEnabled() && leap_->isChecked(); }

void CalendarFrame::setLunar(bool lunar) {
    Updating guard(updating_);
    calendars_[lunar ? 1 : 0]->setChecked(true);
    fillLists(lunar);
    yearChanged();
}

void CalendarFrame::setLeapMonth(bool leap) {
    if (leap_->isEnabled()) leap_->setChecked(leap);
}

void CalendarFrame::resetToSolar() { calendars_[0]->setChecked(true); }

// The boxes' date in the other calendar when it is a valid one, then the
// other calendar's lists.
void CalendarFrame::switchCalendar(bool toLunar) {
    if (updating_) return;
    ChartInput from;
    from.year = lists_[0]->currentText().toStdString();
    from.month = lists_[1]->currentText().toStdString();
    from.day = lists_[2]->currentText().toStdString();
    from.lunar = !toLunar;
    from.leapMonth = !toLunar && leap_->isEnabled() && leap_->isChecked();
    const auto converted = InOtherCalendar(from, std::filesystem::path(folder_.toStdString()));
    Updating guard(updating_);
    fillLists(toLunar);
    if (converted) {
        lists_[0]->setEditText(Q(converted->year));
        lists_[1]->setEditText(Q(converted->month));
        lists_[2]->setEditText(Q(converted->day));
    }
    yearChanged();
    if (converted) setLeapMonth(converted->leapMonth);
}

void CalendarFrame::fillLists(bool lunar) {
    const auto refill = [](QComboBox* list, const QStringList& items) {
        const QString text = list->currentText();
        list->clear();
        list->addItems(items);
        list->setEditText(text);
    };
    QStringList years, months, days;
    for (int y = lunar ? LunarCalendar::FirstLunarYear() : kFirstYear; y <= kLastYear; ++y) years << QString::number(y);
    for (int m = 1; m <= 12; ++m) months << (lunar ? Q(LunarMonthName(m)) : QString::number(m));
    for (int d = 1; d <= (lunar ? 30 : 31); ++d) days << (lunar ? Q(LunarDayName(d)) : QString::number(d));
    refill(lists_[0], years);
    refill(lists_[1], months);
    refill(lists_[2], days);
}

int CalendarFrame::leapMonthOfYear() const {
    const auto year = ParseWholeNumber(lists_[0]->currentText().toStdString());
    if (!year || *year < LunarCalendar::FirstLunarYear() || *year > LunarCalendar::LastLunarYear()) return 0;
    if (!leapMonths_.contains(*year)) {
        try {
            leapMonths_[*year] = LunarCalendar(std::filesystem::path(folder_.toStdString())).LeapMonthOf(*year);
        } catch (const DataError&) {
            return 0;  // 排盘 reports the missing file
        }
    }
    return leapMonths_[*year];
}

// Another year: the leap box unticked, enabled and named for the new year's
// leap month.
void CalendarFrame::yearChanged() {
    const int month = lunar() ? leapMonthOfYear() : 0;
    const bool wasUpdating = updating_;
    updating_ = true;
    leap_->setChecked(false);
    leap_->setEnabled(month != 0);
    leap_->setText(month ? QStringLiteral("闰") + Q(LunarMonthName(month)) : QStringLiteral("闰月"));
    updating_ = wasUpdating;
}

// Another month than the leap month unticks the box.
void CalendarFrame::monthChanged() {
    if (updating_ || !leap_->isChecked()) return;
    if (ParseLunarMonth(lists_[1]->currentText().toStdString()) != leapMonthOfYear()) leap_->setChecked(false);
}

// Ticking the box selects the leap month: the month list shows its number.
void CalendarFrame::leapToggled(bool on) {
    const int month = leapMonthOfYear();
    if (updating_ || !on || month == 0) return;
    Updating guard(updating_);
    lists_[1]->setEditText(Q(LunarMonthName(month)));
}

}  // namespace paipan
