// The base of the window tests: before each test function a fresh main
// window comes up on screen with scripted dialogs, and goes afterwards.
#pragma once

#include <QDateTime>
#include <QTextEdit>
#include <QtTest>
#include <memory>

#include "app/main_window.h"
#include "scripted_interaction.h"

namespace paipan::testing {

class WindowTestCase : public QObject {
    Q_OBJECT

private slots:
    void init() {
        owner = std::make_unique<ScriptedInteraction>();
        before = QDateTime::currentDateTime();
        shown = std::make_unique<MainWindow>(*owner);
        after = QDateTime::currentDateTime();
        shown->show();
        ui = owner.get();
        window = shown.get();
        box = window->findChild<QTextEdit*>(QStringLiteral("RichTextBox1"));
        QVERIFY(box);
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
    void cleanup() {
        shown.reset();
        owner.reset();
    }

protected:
    ScriptedInteraction* ui = nullptr;
    MainWindow* window = nullptr;
    QTextEdit* box = nullptr;
    QDateTime before, after;  // the clock around the window's construction

private:
    std::unique_ptr<ScriptedInteraction> owner;
    std::unique_ptr<MainWindow> shown;
};

}  // namespace paipan::testing
