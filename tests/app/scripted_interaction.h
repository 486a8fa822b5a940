// The window's dialogs with scripted answers: records every message and
// address it was given, in order, and hands out prepared file paths, fonts
// and colours (nothing prepared = the user cancelled).
#pragma once

#include <QStringList>
#include <QUrl>
#include <deque>
#include <vector>

#include "app/interaction.h"

namespace paipan::testing {

struct Message {
    QString text;
    QString caption;
    MessageIcon icon = MessageIcon::None;
};

class ScriptedInteraction : public Interaction {
public:
    std::vector<Message> messages;
    std::vector<QUrl> urls;
    QStringList events;  // "message" and "url" in the order they happened
    std::deque<QString> openPaths, savePaths;
    std::optional<QFont> font;
    std::optional<QColor> colour;
    QStringList filters;  // the filter of every file dialog shown
    int fontDialogs = 0, colourDialogs = 0;

    void showMessage(QWidget*, const QString& text, const QString& caption,
                     MessageIcon icon) override {
        messages.push_back({text, caption, icon});
        events << QStringLiteral("message");
    }
    QString chooseOpenPath(QWidget*, const QString& filter) override {
        return next(openPaths, filter);
    }
    QString chooseSavePath(QWidget*, const QString& filter) override {
        return next(savePaths, filter);
    }
    std::optional<QFont> chooseFont(QWidget*, const QFont&) override {
        ++fontDialogs;
        return font;
    }
    std::optional<QColor> chooseColour(QWidget*, const QColor&) override {
        ++colourDialogs;
        return colour;
    }
    void openUrl(const QUrl& url) override {
        urls.push_back(url);
        events << QStringLiteral("url");
    }

private:
    QString next(std::deque<QString>& paths, const QString& filter) {
        filters << filter;
        if (paths.empty())
            return QString();
        QString path = paths.front();
        paths.pop_front();
        return path;
    }
};

}  // namespace paipan::testing
