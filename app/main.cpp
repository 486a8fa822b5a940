// 晴川四柱八字排盘系统: the desktop window.
#include <QApplication>

#include "app/interaction.h"
#include "app/main_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    paipan::QtInteraction dialogs;
    paipan::MainWindow window(dialogs);
    window.show();
    return app.exec();
}
