#include "render/render_plugin.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <type_traits>

#include "render/chart_document.h"
#include "render/document_export.h"

namespace {

// The command line has no display: Qt draws offscreen, with the fonts of
// the system's font configuration. The application lives until the process
// ends (it is never destroyed: static destruction would run after Qt's own).
void EnsureApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "paipan-cli";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's own warnings (no runtime folder, ...) are not the user's business;
    // the command line reports what went wrong itself.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    new QGuiApplication(argc, argv);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) bool
paipan_render_chart(const paipan::ChartResult& chart, paipan::RenderFormat format, const std::string& path,
                    const std::string& programFolder, std::string& error) {
    EnsureApplication();
    const auto document = paipan::NewChartDocument(chart);
    QString reason;
    const QString file = QString::fromStdString(path);
    // As the window's export at twice the pixels of a plain screen.
    const bool written = format == paipan::RenderFormat::Pdf
                             ? paipan::WritePdf(*document, file,
                                                paipan::PrintFontFamily(QString::fromStdString(programFolder)), &reason)
                             : paipan::WritePng(*document, file, 2.0, &reason);
    error = reason.toStdString();
    return written;
}

// The function's type is the one the caller expects.
static_assert(std::is_same_v<decltype(&paipan_render_chart), paipan::RenderChartFunction>);
