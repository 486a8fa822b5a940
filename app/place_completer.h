// Completion for 出生地区 (Text2) from the birthplace gazetteer: as the user
// types, the matching places with their province and longitude, best first;
// choosing one writes its name into Text2 and its longitude into Text3 and
// Text4. Free text that matches nothing is left exactly as typed.
#pragma once

#include <QObject>
#include <QString>
#include <optional>
#include <string>

#include "birth/gazetteer.h"
#include "chart/chart_request.h"

class QCompleter;
class QLineEdit;
class QStringListModel;

namespace paipan {

class PlaceCompleter : public QObject {
    Q_OBJECT
public:
    // Reads the gazetteer from `dataFolder`; without it Text2 stays a plain box.
    PlaceCompleter(QLineEdit* place, QLineEdit* degrees, QLineEdit* minutes, const QString& dataFolder);

    // The time zone of the place chosen from the list, while Text2 still
    // holds its name; empty otherwise.
    std::string zone() const;
    // The request with its birthplace's clock: the place chosen from the
    // list while Text2 still holds its name, else the places Text2 names
    // exactly when they keep one zone; China's clock otherwise.
    ChartInput withClock(ChartInput input) const;
    // The gazetteer the completion reads (nullptr without its file), for the
    // notices of a chart.
    const Gazetteer* gazetteer() const { return gazetteer_ ? &*gazetteer_ : nullptr; }

private:
    void refill(const QString& typed);
    void choose(const QString& shown);

    QLineEdit* place_;
    QLineEdit* degrees_;
    QLineEdit* minutes_;
    std::optional<Gazetteer> gazetteer_;
    QStringListModel* model_ = nullptr;
    QCompleter* completer_ = nullptr;
    std::vector<int> shown_;  // gazetteer index of each row of the list
    QString chosenName_;
    std::string chosenZone_;
    int chosen_ = -1;  // gazetteer index of the place chosen
};

}  // namespace paipan
