// The desktop program: the title screen, then the main window until it closes.

#include "init_dlg.h"
#include "orvane_dlg.h"
#include "program_pictures.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    application.setWindowIcon(ProgramIcon());

    CInitDlg title;
    if (title.exec() != QDialog::Accepted) {
        return 0;
    }
    COrvaneDlg window;
    window.show();
    return application.exec();
}
