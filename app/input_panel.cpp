#include "app/input_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/calendar_frame.h"
#include "engine/span.h"

namespace paipan {

namespace {

const QColor kBrown(192, 64, 0);

// The 历法 frame and the date lists are wider than Gregorian numbers alone
// needed: the frame holds the leap-month box with its longest name (闰十一月),
// the lists show the longest month name (十一月) whole. The panel, and what
// spans its width, widen by as much; the rest keeps its place.
constexpr int kCalendarWiden = 315, kListWiden = 120, kWiden = kCalendarWiden + kListWiden;
static_assert(InputPanel::kWidthTwips == 2200 + kWiden);

void MakeBrown(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, kBrown);
    palette.setColor(QPalette::ButtonText, kBrown);
    palette.setColor(QPalette::Text, kBrown);
    widget->setPalette(palette);
}

// A list of the whole numbers first … last, typing allowed.
QComboBox* NumberList(QWidget* parent, const char* name, int first, int last) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(16);
    for (int n = first; n <= last; ++n) combo->addItem(QString::number(n));
    return combo;
}

// A captioned frame whose caption sits on its top border line, so the
// controls placed below the caption have the whole height of the frame.
QString FrameStyle() {
    return QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 0.6em; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
        " left: 6px; padding: 0px 2px; }");
}

QGroupBox* Frame(QWidget* parent, const char* caption, QRect rect) {
    auto* frame = new QGroupBox(QString(caption), parent);
    frame->setGeometry(rect);
    frame->setStyleSheet(FrameStyle());
    return frame;
}

}  // namespace

InputPanel::InputPanel(const Twips& twips, QWidget* parent) : QGroupBox(parent), twips_(twips) {
    setObjectName(QStringLiteral("Frame5"));
    resize(twips_.size(kWidthTwips, 7635));
    buildTextRows();
    buildDateRows();
    buildChoiceFrames();
    buildOptionFrame();
    buildButtons();
    buildUnknownHourBox();
}

QLabel* InputPanel::addLabel(QWidget* parent, const char* text, QRect twipsRect) {
    auto* label = new QLabel(QString(text), parent);
    label->setGeometry(twips_.rect(twipsRect.x(), twipsRect.y(), twipsRect.width(), twipsRect.height()));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

void InputPanel::buildTextRows() {
    struct Row {
        const char* name;
        int left, top, width;
        int maxLength;
    };
    static constexpr std::array<Row, 4> kRows{{{"Text1", 1080, 240, 975 + kWiden, 0},
                                               {"Text2", 1080, 600, 975 + kWiden, 0},
                                               {"Text3", 720, 960, 450, 4},
                                               {"Text4", 1440, 960, 360, 2}}};
    for (size_t i = 0; i < kRows.size(); ++i) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString(kRows[i].name));
        edit->setGeometry(twips_.rect(kRows[i].left, kRows[i].top, kRows[i].width, 270));
        if (kRows[i].maxLength > 0) edit->setMaxLength(kRows[i].maxLength);
        texts_[i] = edit;
    }
    addLabel(this, "您的姓名：", {120, 240, 960, 270});
    addLabel(this, "出生地区：", {120, 600, 960, 270});
    addLabel(this, "经度：", {120, 960, 600, 270});
    addLabel(this, "度", {1200, 960, 240, 270});
    addLabel(this, "分", {1920, 960, 270, 270});
    addLabel(this, "出生时间：", {120, 1335, 960, 270});
}

void InputPanel::buildDateRows() {
    struct Row {
        const char* name;
        const char* unit;
        int first, last;
    };
    static constexpr std::array<Row, 5> kRows{{{"Combo1", "年", kFirstYear, kLastYear},
                                               {"Combo2", "月", 1, 12},
                                               {"Combo3", "日", 1, 31},
                                               {"Combo4", "时", 0, 23},
                                               {"Combo5", "分", 0, 59}}};
    for (size_t i = 0; i < kRows.size(); ++i) {
        const int top = 1290 + 360 * static_cast<int>(i);
        combos_[i] = NumberList(this, kRows[i].name, kRows[i].first, kRows[i].last);
        combos_[i]->setGeometry(twips_.rect(1005 + kCalendarWiden, top, 800 + kListWiden, 300));
        addLabel(this, kRows[i].unit, {1920 + kWiden, top, 270, 300});
    }
    // 公历 or 农历, and the leap-month box, where the hint to enter the
    // Gregorian birthday stood before lunar dates could be entered.
    calendar_ = new CalendarFrame(twips_, {120, 1575, 855 + kCalendarWiden, 1455}, {combos_[0], combos_[1], combos_[2]},
                                  this);
    calendar_->setObjectName(QStringLiteral("FrameCalendar"));
    calendar_->setStyleSheet(FrameStyle());
}

void InputPanel::buildChoiceFrames() {
    struct Choice {
        const char* frame;
        int top;
        std::array<const char*, 2> names, texts;
        std::array<int, 2> lefts;
    };
    static constexpr std::array<Choice, 2> kChoices{
        {{"性别", 3300, {"Option1_0", "Option1_1"}, {"男", "女"}, {120, 1080}},
         {"排盘样式", 3915, {"Option2_0", "Option2_1"}, {"横排", "竖排"}, {120, 840}}}};
    for (size_t c = 0; c < kChoices.size(); ++c) {
        // 555 high (room above 性别 for the 时辰不详 box under the minute list).
        QGroupBox* frame = Frame(this, kChoices[c].frame, twips_.rect(120, kChoices[c].top, 1935 + kWiden, 555));
        auto& buttons = c == 0 ? sex_ : layout_;
        for (size_t b = 0; b < 2; ++b) {
            buttons[b] = new QRadioButton(QString(kChoices[c].texts[b]), frame);
            buttons[b]->setObjectName(QString(kChoices[c].names[b]));
            buttons[b]->setGeometry(twips_.rect(kChoices[c].lefts[b], 240, 720, 270));
        }
    }
}

void InputPanel::buildOptionFrame() {
    struct Box {
        const char* text;
        int left, top;
    };
    static constexpr std::array<Box, 9> kBoxes{{{"流年", 120, 240},
                                                {"神煞", 1080, 240},
                                                {"十神", 120, 600},
                                                {"藏干", 1080, 600},
                                                {"纳音", 120, 960},
                                                {"小运", 1080, 960},
                                                {"命宫/胎元", 120, 1320},
                                                {"长生十二宫", 120, 1680},
                                                {"夜子时方式排盘", 120, 2040}}};
    QGroupBox* frame = Frame(this, "排盘选项", twips_.rect(120, 4530, 1935 + kWiden, 2415));
    for (size_t i = 0; i < kBoxes.size(); ++i) {
        checks_[i] = new QCheckBox(QString(kBoxes[i].text), frame);
        checks_[i]->setObjectName(QStringLiteral("Check%1").arg(i + 1));
        checks_[i]->setGeometry(twips_.rect(kBoxes[i].left, kBoxes[i].top, 1935 + kWiden - 60 - kBoxes[i].left, 270));
    }
    QCheckBox* nightZi = checks_[8];
    MakeBrown(nightZi);
    nightZi->setToolTip(
        QStringLiteral("即晚上23点至0点之间日干支仍算前一天的，传统排盘方法则是过了晚上23点即为第二天的日干支！"
                       "如果你不是子时生，此项可以不用管它！"));
}

void InputPanel::buildButtons() {
    forumButton_ = new QPushButton(QStringLiteral("在线算命"), this);
    forumButton_->setObjectName(QStringLiteral("Command2"));
    forumButton_->setGeometry(twips_.rect(120, 7050, 1095, 375));
    chartButton_ = new QPushButton(QStringLiteral("排盘"), this);
    chartButton_->setObjectName(QStringLiteral("Command1"));
    chartButton_->setGeometry(twips_.rect(1320 + kWiden, 7050, 735, 375));
    chartButton_->setDefault(true);
}

// Beside the hour and minute lists, which it disables while checked.
void InputPanel::buildUnknownHourBox() {
    unknownHour_ = new QCheckBox(QStringLiteral("时辰不详"), this);
    unknownHour_->setObjectName(QStringLiteral("CheckUnknownHour"));
    unknownHour_->setGeometry(twips_.rect(1005 + kCalendarWiden, 3045, 1180, 240));  // under the minute list
    unknownHour_->setToolTip(QStringLiteral("不知道出生的时辰：排出年、月、日三柱，并列出当日各时辰的时柱以供参照。"));
    connect(unknownHour_, &QCheckBox::toggled, this, [this](bool unknown) {
        combos_[3]->setEnabled(!unknown);
        combos_[4]->setEnabled(!unknown);
    });
}

void InputPanel::setUnknownHour(bool unknown) { unknownHour_->setChecked(unknown); }

namespace {

// The controls in their order, and the request fields they hold.
constexpr std::array<std::string ChartInput::*, 4> kTextFields{&ChartInput::name, &ChartInput::place,
                                                               &ChartInput::longitude, &ChartInput::longitudeMinutes};
constexpr std::array<std::string ChartInput::*, 5> kDateFields{&ChartInput::year, &ChartInput::month, &ChartInput::day,
                                                               &ChartInput::hour, &ChartInput::minute};
constexpr std::array<bool ChartInput::*, 9> kSwitchFields{
    &ChartInput::annual,    &ChartInput::stars,  &ChartInput::deities, &ChartInput::hiddenStems, &ChartInput::nayin,
    &ChartInput::minorLuck, &ChartInput::palace, &ChartInput::stages,  &ChartInput::nightZi};

}  // namespace

ChartInput InputPanel::input() const {
    ChartInput in;
    for (size_t i = 0; i < texts_.size(); ++i) in.*kTextFields[i] = texts_[i]->text().toStdString();
    for (size_t i = 0; i < combos_.size(); ++i) in.*kDateFields[i] = combos_[i]->currentText().toStdString();
    for (size_t i = 0; i < checks_.size(); ++i) in.*kSwitchFields[i] = checks_[i]->isChecked();
    in.male = sex_[0]->isChecked();
    in.horizontal = layout_[0]->isChecked();
    in.unknownHour = unknownHour_->isChecked();
    in.lunar = calendar_->lunar();
    in.leapMonth = calendar_->leapMonth();
    return in;
}

void InputPanel::setInput(const ChartInput& in) {
    calendar_->setLunar(in.lunar);
    for (size_t i = 0; i < texts_.size(); ++i) texts_[i]->setText(QString::fromStdString(in.*kTextFields[i]));
    for (size_t i = 0; i < combos_.size(); ++i) combos_[i]->setEditText(QString::fromStdString(in.*kDateFields[i]));
    for (size_t i = 0; i < checks_.size(); ++i) checks_[i]->setChecked(in.*kSwitchFields[i]);
    sex_[in.male ? 0 : 1]->setChecked(true);
    layout_[in.horizontal ? 0 : 1]->setChecked(true);
    unknownHour_->setChecked(in.unknownHour);
    calendar_->setLeapMonth(in.leapMonth);
}

// The control holding each request field (Text3, Text4, Combo1 … Combo5).
QWidget* InputPanel::field(InputField which) const {
    switch (which) {
    case InputField::LongitudeDegrees: return texts_[2];
    case InputField::LongitudeMinutes: return texts_[3];
    case InputField::Year: return combos_[0];
    case InputField::Month: return combos_[1];
    case InputField::Day: return combos_[2];
    case InputField::Hour: return combos_[3];
    case InputField::Minute: return combos_[4];
    case InputField::None: break;
    }
    return nullptr;
}

void InputPanel::setFieldText(InputField which, const QString& text) {
    QWidget* widget = field(which);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(widget))
        combo->setEditText(text);
}

}  // namespace paipan
