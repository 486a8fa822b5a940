#include "app/interaction.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QUrl>

namespace paipan {

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Critical: return QMessageBox::Critical;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void QtInteraction::showMessage(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon) {
    QMessageBox box(BoxIcon(icon), caption, text, QMessageBox::Ok, parent);
    box.exec();
}

QString QtInteraction::chooseOpenPath(QWidget* parent, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

QString QtInteraction::chooseSavePath(QWidget* parent, const QString& filter) {
    return QFileDialog::getSaveFileName(parent, QString(), QString(), filter);
}

std::optional<QFont> QtInteraction::chooseFont(QWidget* parent, const QFont& initial) {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent);
    if (!ok) return std::nullopt;
    return font;
}

std::optional<QColor> QtInteraction::chooseColour(QWidget* parent, const QColor& initial) {
    const QColor colour = QColorDialog::getColor(initial, parent);
    if (!colour.isValid()) return std::nullopt;
    return colour;
}

void QtInteraction::openUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

bool QtInteraction::choosePrinter(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void QtInteraction::previewPrint(QWidget* parent, QPrinter& printer, const std::function<void(QPrinter*)>& paint) {
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, paint);
    dialog.exec();
}

}  // namespace paipan
