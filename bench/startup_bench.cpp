// Start-up of the desktop program up to its main window shown, offscreen. The title screen
// waits for the operator, so it is left out; everything else main does is measured: the
// application object, the program icon, the main window with its menus and its first paint.

#include "orvane_dlg.h"
#include "program_pictures.h"

#include <QApplication>
#include <QWindow>

#include <benchmark/benchmark.h>

namespace {

void ShowMainWindow()
{
    COrvaneDlg window;
    window.show();
    while (!window.windowHandle()->isExposed()) {
        QApplication::processEvents();
    }
    QApplication::processEvents(); // the first paint
}

void BM_StartUpToMainWindow(benchmark::State &state)
{
    for (auto _ : state) {
        int argc = 1;
        char name[] = "orvane";
        char *argv[] = {name, nullptr};
        QApplication application(argc, argv);
        application.setWindowIcon(ProgramIcon());
        ShowMainWindow();
    }
}
BENCHMARK(BM_StartUpToMainWindow)->Unit(benchmark::kMillisecond);

// The main window alone, with the application already running.
void BM_MainWindowShown(benchmark::State &state)
{
    int argc = 1;
    char name[] = "orvane";
    char *argv[] = {name, nullptr};
    QApplication application(argc, argv);
    application.setWindowIcon(ProgramIcon());
    for (auto _ : state) {
        ShowMainWindow();
    }
}
BENCHMARK(BM_MainWindowShown)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
