#include "app/place_completer.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QStringListModel>

#include "birth/birth_clock.h"
#include "calendar/store.h"

namespace paipan {

namespace {

// "肥西县　安徽省 合肥市 肥西县　117°09′E": the place, its full name (which
// starts with the province) and its longitude.
QString Shown(const Place& p) {
    return QString::fromStdString(p.name) + QStringLiteral("　") + QString::fromStdString(LongitudeText(p.longitude)) +
           (p.approximate ? QStringLiteral("（约）") : QString());
}

}  // namespace

PlaceCompleter::PlaceCompleter(QLineEdit* place, QLineEdit* degrees, QLineEdit* minutes, const QString& dataFolder)
    : QObject(place), place_(place), degrees_(degrees), minutes_(minutes) {
    try {
        gazetteer_ = Gazetteer::Load(dataFolder.toStdString() + "/" + kGazetteerFileName);
    } catch (const DataError&) {
        return;  // no gazetteer beside the program: no completion
    }
    model_ = new QStringListModel(this);
    completer_ = new QCompleter(model_, this);
    completer_->setObjectName(QStringLiteral("Text2Completer"));
    completer_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer_->setMaxVisibleItems(20);
    completer_->setWidget(place_);
    completer_->popup()->setObjectName(QStringLiteral("Text2Places"));
    // Wide enough for a county's full name and its longitude.
    completer_->popup()->setMinimumWidth(
        place_->fontMetrics().horizontalAdvance(QStringLiteral("新疆维吾尔自治区 伊犁哈萨克自治州 伊宁市　117°09′E")) +
        40);
    connect(place_, &QLineEdit::textEdited, this, &PlaceCompleter::refill);
    connect(completer_, qOverload<const QModelIndex&>(&QCompleter::activated), this,
            [this](const QModelIndex& index) { choose(index.data().toString()); });
}

void PlaceCompleter::refill(const QString& typed) {
    shown_.clear();
    QStringList rows;
    for (const auto& m : gazetteer_->Search(typed.toStdString())) {
        shown_.push_back(m.index);
        rows << Shown(gazetteer_->places()[m.index]);
    }
    model_->setStringList(rows);
    if (rows.isEmpty()) {
        completer_->popup()->hide();
        return;
    }
    completer_->complete();
}

void PlaceCompleter::choose(const QString& shown) {
    const int row = static_cast<int>(model_->stringList().indexOf(shown));
    if (row < 0 || row >= static_cast<int>(shown_.size())) return;
    const Place& p = gazetteer_->places()[shown_[row]];
    const LongitudeBoxes b = LongitudeBoxesOf(p.longitude);
    chosenName_ = QString::fromStdString(p.name);
    chosenZone_ = p.zone;
    chosen_ = shown_[row];
    place_->setText(chosenName_);
    degrees_->setText(QString::number(b.degrees));
    minutes_->setText(QString::number(b.minutes));
}

std::string PlaceCompleter::zone() const { return place_->text() == chosenName_ ? chosenZone_ : std::string(); }

ChartInput PlaceCompleter::withClock(ChartInput input) const {
    if (!gazetteer_) return input;
    if (chosen_ >= 0 && place_->text() == chosenName_)
        SetClockOfPlace(input, gazetteer_->places()[static_cast<std::size_t>(chosen_)]);
    else
        SetClockOfNamedPlaces(input, gazetteer_->AllNamed(input.place));
    return input;
}

}  // namespace paipan
