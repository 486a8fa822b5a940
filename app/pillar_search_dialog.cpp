#include "app/pillar_search_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "calendar/store.h"
#include "chart/pillar_clock.h"

namespace paipan {
namespace {

constexpr const char* kOpen = "不限";
constexpr const char* kPillarNames[] = {"年柱", "月柱", "日柱", "时柱"};

QString Q(const std::string& s) { return QString::fromStdString(s); }

std::vector<GanZhi> AllPairs() {
    std::vector<GanZhi> pairs;
    for (int n = 0; n < 60; ++n) pairs.push_back({n % 10, n % 12});
    return pairs;
}

// "1990-05-15 13:00 — 14:59　农历庚午年[路旁土]四月廿一日" (the end's date only
// when it differs from the start's).
QString RowText(const PillarInterval& i, const std::string& lunar) {
    const std::string start = MinuteText(i.start), end = MinuteText(i.end);
    const bool sameDay = start.substr(0, 10) == end.substr(0, 10);
    return Q(start + " — " + (sameDay ? end.substr(11) : end) + "　农历" + lunar);
}

}  // namespace

PillarSearchDialog::PillarSearchDialog(const std::filesystem::path& dataFolder, PanelReader panel, QWidget* parent)
    : QDialog(parent), dataFolder_(dataFolder), panel_(std::move(panel)) {
    setObjectName(QStringLiteral("PillarSearch"));
    setWindowTitle(QStringLiteral("八字反查"));
    try {
        search_ = std::make_unique<PillarSearch>(dataFolder_ / kCalendarFileName);
    } catch (const DataError& e) {
        loadProblem_ = e.what();
    }
    buildPickers();
    nightZi_->setChecked(panel_().nightZi);
    buildButtons();
    narrowHours();
    resize(560, 520);
}

PillarSearchDialog::~PillarSearchDialog() = default;

void PillarSearchDialog::buildPickers() {
    auto* form = new QFormLayout;
    for (std::size_t k = 0; k < 4; ++k) {
        auto* box = new QComboBox(this);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setObjectName(QStringLiteral("picker%1").arg(k));
        pickers_[k] = box;
        narrow(static_cast<int>(k), AllPairs());
        form->addRow(QString(kPillarNames[k]) + "：", box);
    }
    connect(pickers_[0], &QComboBox::currentTextChanged, this, &PillarSearchDialog::narrowMonths);
    connect(pickers_[2], &QComboBox::currentTextChanged, this, &PillarSearchDialog::narrowHours);
    auto* years = new QHBoxLayout;
    from_ = new QSpinBox(this), to_ = new QSpinBox(this);
    for (QSpinBox* box : {from_, to_}) box->setRange(kFirstYear, kLastYear);
    from_->setValue(kFirstYear), to_->setValue(kLastYear);
    years->addWidget(from_), years->addWidget(new QLabel(QStringLiteral("年至"), this));
    years->addWidget(to_), years->addWidget(new QLabel(QStringLiteral("年"), this)), years->addStretch();
    form->addRow(QStringLiteral("年份："), years);
    nightZi_ = new QCheckBox(QStringLiteral("夜子时方式排盘"), this);
    connect(nightZi_, &QCheckBox::toggled, this, &PillarSearchDialog::narrowHours);
    form->addRow(QString(), nightZi_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
}

void PillarSearchDialog::buildButtons() {
    find_ = new QPushButton(QStringLiteral("查找"), this);
    find_->setDefault(true);
    connect(find_, &QPushButton::clicked, this, &PillarSearchDialog::search);
    status_ = new QLabel(this);
    status_->setWordWrap(true);
    list_ = new QListWidget(this);
    chart_ = new QPushButton(QStringLiteral("排盘"), this);
    chart_->setEnabled(false);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) { chart_->setEnabled(row >= 0); });
    connect(list_, &QListWidget::itemDoubleClicked, this, &PillarSearchDialog::chartChosen);
    connect(chart_, &QPushButton::clicked, this, &PillarSearchDialog::chartChosen);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto *top = new QHBoxLayout, *bottom = new QHBoxLayout;
    top->addWidget(find_), top->addWidget(status_, 1);
    bottom->addStretch(), bottom->addWidget(chart_), bottom->addWidget(close);
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    layout->addLayout(top), layout->addWidget(list_, 1), layout->addLayout(bottom);
}

// Fills a picker with 不限 and `allowed`, keeping what it shows when that is
// still allowed (or typed text that is no pair).
void PillarSearchDialog::narrow(int pillar, const std::vector<GanZhi>& allowed) {
    QComboBox* box = pickers_.at(static_cast<std::size_t>(pillar));
    const QString current = box->currentText();
    const QSignalBlocker blocker(box);
    box->clear();
    box->addItem(QString(kOpen));
    for (const GanZhi& p : allowed) box->addItem(Q(PillarText(p)));
    const int at = box->findText(current);
    box->setCurrentIndex(at >= 0 ? at : 0);
}

std::optional<GanZhi> PillarSearchDialog::chosen(int pillar) const {
    const std::string text = pickers_.at(static_cast<std::size_t>(pillar))->currentText().trimmed().toStdString();
    const ParsedPillars parsed = ParsePillars(text + " ? ? ?");
    return parsed.error.empty() ? parsed.pillars[0] : std::nullopt;
}

void PillarSearchDialog::narrowMonths() {
    const auto year = chosen(0);
    narrow(1, year ? MonthPillarsOf((*year)[0]) : AllPairs());
}

void PillarSearchDialog::narrowHours() {
    const auto day = chosen(2);
    narrow(3, day ? HourPillarsOf((*day)[0], nightZi_->isChecked()) : AllPairs());
}

// The four pickers as a query (an empty picker is open); nothing, and the
// reason shown, when a picker holds no pillar.
std::optional<PillarQuery> PillarSearchDialog::query() {
    PillarQuery q;
    for (std::size_t k = 0; k < 4; ++k) {
        const std::string text = pickers_[k]->currentText().trimmed().toStdString();
        const ParsedPillars parsed = ParsePillars((text.empty() ? std::string("?") : text) + " ? ? ?");
        if (!parsed.error.empty()) {
            status_->setText(QString(kPillarNames[k]) + "：" + Q(parsed.error));
            return std::nullopt;
        }
        q.pillars[k] = parsed.pillars[0];
    }
    q.nightZi = nightZi_->isChecked();
    q.fromYear = from_->value(), q.toYear = to_->value();
    return q;
}

void PillarSearchDialog::search() {
    list_->clear();
    found_.clear();
    chart_->setEnabled(false);
    if (!search_) {
        status_->setText(Q(loadProblem_));
        return;
    }
    const auto q = query();
    if (!q) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PillarSearchResult result = search_->Find(*q);
    foundNightZi_ = q->nightZi;
    if (result.outcome == PillarSearchResult::Outcome::Found)
        list(result.intervals);
    else
        status_->setText(Q(result.reason));
    QApplication::restoreOverrideCursor();
}

// One row per stretch with its lunar date, and the count.
void PillarSearchDialog::list(const std::vector<PillarInterval>& found) {
    DataRowCache cache;  // the calendar rows read once for all the lunar dates
    const DataSource data(dataFolder_, &cache);
    QStringList rows;
    for (const PillarInterval& i : found) {
        std::string lunar;
        try {
            lunar = LunarDateText(i.start, data);
        } catch (const DataError&) {
            lunar = "？";
        }
        rows << RowText(i, lunar);
    }
    list_->addItems(rows);
    found_ = found;
    status_->setText(QStringLiteral("共%1个时段（真太阳时，起止都含）").arg(found.size()));
}

// 排盘: the first clock minute at the panel's longitude that charts inside
// the chosen stretch, handed to the main window. The reading is on the
// birthplace's clock, as the chart takes it (the panel reader gives the
// place's zone).
void PillarSearchDialog::chartChosen() {
    const int row = list_->currentRow();
    if (row < 0 || row >= static_cast<int>(found_.size())) return;
    const ChartInput panel = panel_();
    std::optional<CivilTime> clock;
    try {
        clock = SuggestClockTime(found_[static_cast<std::size_t>(row)], BirthplaceClockCorrection(panel, dataFolder_));
    } catch (const DataError& e) {
        status_->setText(Q(e.what()));
        return;
    }
    if (!clock) {
        status_->setText(QStringLiteral("在面板的经度（%1度%2分）上，没有能排到这个时段的钟表时间；请检查经度。")
                             .arg(Q(panel.longitude), Q(panel.longitudeMinutes)));
        return;
    }
    emit chartRequested(clock->year, clock->month, clock->day, clock->hour, clock->minute, foundNightZi_);
}

}  // namespace paipan
