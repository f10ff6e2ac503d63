// korvane: the workbench. "korvane FILE" loads FILE and runs it at once.
#include <string>

#include <QApplication>

#include "workbench/file_io.h"
#include "workbench/startup.h"
#include "workbench/ui/main_form.h"
#include "workbench/ui/workbench_app.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(korvane::workbench::kApplicationTitle));
    korvane::workbench::TWorkbenchApp workbench(korvane::workbench::TWorkbenchApp::SystemOptions());
    korvane::workbench::TMainForm& form = workbench.MainForm();
    // The window is shown before a command-line script runs, so its Stop button can be reached.
    form.show();
    if (argc == 2 && korvane::workbench::IsRegularFile(argv[1])) {
        form.LoadAndRun(argv[1]);
        if (form.Closed()) return 0;
    }
    return application.exec();
}
