// Every modal wait of the window and every hand-off to the desktop goes
// through this interface: message boxes, the file, font, colour and print
// dialogs, the print preview,
// and opening a web address. The program uses the Qt dialogs; the tests
// script the answers and record what the window asked.
#pragma once

#include <functional>
#include <optional>

#include <QColor>
#include <QFont>
#include <QString>

#include "chart/chart_request.h"

class QPrinter;
class QUrl;
class QWidget;

namespace paipan {

class Interaction {
public:
    virtual ~Interaction() = default;

    // A modal message with an OK button.
    virtual void showMessage(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon) = 0;
    // The chosen file's full path, or an empty text when the user cancelled.
    // `filter` is in Qt's form: "name(*.ext);;name(*.ext)".
    virtual QString chooseOpenPath(QWidget* parent, const QString& filter) = 0;
    virtual QString chooseSavePath(QWidget* parent, const QString& filter) = 0;
    // Nothing when the user cancelled.
    virtual std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) = 0;
    virtual std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) = 0;
    // The desktop's "open" of a web address.
    virtual void openUrl(const QUrl& url) = 0;
    // The print dialog for `printer`; false when the user cancelled.
    virtual bool choosePrinter(QWidget* parent, QPrinter& printer) = 0;
    // The print preview of `printer`'s pages, drawn by `paint` (the user may
    // print from it).
    virtual void previewPrint(QWidget* parent, QPrinter& printer, const std::function<void(QPrinter*)>& paint) = 0;
};

// The real dialogs and the desktop's URL handler.
class QtInteraction final : public Interaction {
public:
    void showMessage(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon) override;
    QString chooseOpenPath(QWidget* parent, const QString& filter) override;
    QString chooseSavePath(QWidget* parent, const QString& filter) override;
    std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) override;
    std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) override;
    void openUrl(const QUrl& url) override;
    bool choosePrinter(QWidget* parent, QPrinter& printer) override;
    void previewPrint(QWidget* parent, QPrinter& printer, const std::function<void(QPrinter*)>& paint) override;
};

}  // namespace paipan
