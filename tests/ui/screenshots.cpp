// Renders the windows of the desktop program to PNG files, so that a person can look at
// them without a display:  orvane-screenshots OUTDIR
// Every window shows an examples/ workbook imported as its settings file says. Run with
// QT_SCALE_FACTOR=2 to see them at 200 %.

#include "column_select_dlg.h"
#include "experiment_record.h"
#include "graph_output_dialog.h"
#include "import_sequence.h"
#include "insert2_dlg.h"
#include "insert_dlg.h"
#include "orvane_dlg.h"
#include "qt_text.h"
#include "settings_file.h"
#include "settings_file_entries.h"
#include "variable_dlg.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <string>
#include <variant>

namespace {

class PrintedMessages : public MessageSink
{
public:
    void Show(const std::string &caption, const std::string &text) override
    {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        failed = true;
    }
    bool failed = false;
};

bool ImportExample(const std::string &name, COrvaneDlg &window, MessageSink &messages)
{
    const std::string base = std::string(ORVANE_EXAMPLES) + "/" + name;
    auto settings = SettingsFile::Read(base + ".ini");
    if (!std::holds_alternative<SettingsFile>(settings)) {
        std::fprintf(stderr, "%s.ini could not be read\n", base.c_str());
        return false;
    }
    SettingsFileEntries entries(std::get<SettingsFile>(settings), messages);
    const ImportOutcome outcome = ImportWorkbook(
        window.Record(), base + ".xls", name + ".xls", "2024/01/01", entries, messages, window);
    window.ImportRunEnded();
    return outcome == ImportOutcome::Analysed;
}

bool Save(QWidget &widget, const QString &path)
{
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "%s could not be written\n", path.toLocal8Bit().constData());
        return false;
    }
    return true;
}

// A settings dialog only lays itself out for a record once it runs; it is taken while its
// own event loop waits, then cancelled.
template<typename Dialog>
bool SaveWhileRunning(Dialog &dialog, ExperimentRecord record, const QString &path)
{
    bool saved = false;
    QTimer::singleShot(0, [&] {
        // Fields shown or hidden for the record have only asked for a new layout yet.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        saved = Save(dialog, path);
        dialog.reject();
    });
    dialog.Run(record);
    return saved;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvane-screenshots OUTDIR\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "%s could not be made\n", argv[1]);
        return 1;
    }
    auto path = [&](const char *name) { return folder.filePath(QString::fromLatin1(name)); };

    PrintedMessages messages;
    COrvaneDlg window;
    window.show();
    if (!ImportExample("open_loop_variable", window, messages)) {
        return 1;
    }
    const ExperimentRecord &record = window.Record();

    CVariableDlg choiceOfVariable(messages, &window);
    CColumnSelectDlg columns(messages, &window);
    CInsertDlg dataInput(messages, &window);
    CInsert2Dlg additionalDataInput(&window);
    CGraphOutputDialog graph(window.Record(), messages, &window);
    graph.show();
    graph.ShowGraphButton()->click();

    bool saved = Save(window, path("main_window.png"));
    saved = Save(graph, path("graph_window.png")) && saved;
    saved = SaveWhileRunning(choiceOfVariable, record, path("choice_of_variable.png")) && saved;
    saved = SaveWhileRunning(columns, record, path("select_data_columns.png")) && saved;
    saved = SaveWhileRunning(dataInput, record, path("data_input.png")) && saved;
    saved = SaveWhileRunning(additionalDataInput, record, path("additional_data_input.png")) && saved;
    return saved && !messages.failed ? 0 : 1;
}
