// 晴川四柱八字排盘系统: the desktop window.
#include <QApplication>
#include <QIcon>
#include <iostream>
#include <string_view>

#include "app/interaction.h"
#include "app/main_window.h"

int main(int argc, char* argv[]) {
    // Answered before any window (and any display) is needed.
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::cout << "paipan " PAIPAN_VERSION "\n";
        return 0;
    }
    QApplication app(argc, argv);
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) icon.addFile(QStringLiteral(":/icons/paipan-%1.png").arg(size));
    QApplication::setWindowIcon(icon);  // the main window and About
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.paipan.Paipan"));
    paipan::QtInteraction dialogs;
    paipan::MainWindow window(dialogs);
    window.show();
    return app.exec();
}
