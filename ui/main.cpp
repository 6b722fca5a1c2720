// The desktop program: the title screen, then the main window until it closes. Data
// files named on the command line (as a file manager passes them) are imported first.

#include "init_dlg.h"
#include "orvane_dlg.h"
#include "program_pictures.h"
#include "qt_windowing_services.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    application.setWindowIcon(ProgramIcon());

    CInitDlg title;
    if (title.exec() != QDialog::Accepted) {
        return 0;
    }
    std::vector<ChosenFile> files;
    for (const QString &argument : application.arguments().mid(1)) {
        files.push_back(ChosenFileOf(QFileInfo(argument).absoluteFilePath()));
    }
    COrvaneDlg window;
    window.show();
    if (!files.empty()) {
        QTimer::singleShot(0, &window, [&window, files] { window.ImportFiles(files); });
    }
    return application.exec();
}
