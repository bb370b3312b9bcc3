// orvane-notebook: a student's lab notebook as a table and plots.
//
//   orvane-notebook [FILE]
//   orvane-notebook FILE --export OUT.svg|OUT.pdf|OUT.png [--experiment 1|2] [--locale NAME]
#include "notebookexporter.h"
#include "notebookwindow.h"

#include <QApplication>
#include <QFileDialog>

int main(int argc, char *argv[])
{
    NotebookExporter exporter;
    if (const std::optional<int> status = exporter.runCommandLine(argc, argv))
        return *status;
    QApplication application(argc, argv);
    QString path = exporter.notebookPath();
    if (path.isEmpty())
        path = QFileDialog::getOpenFileName(nullptr, QStringLiteral("Open a lab notebook"), QString(),
                                            QStringLiteral("Lab notebooks (*.csv)"));
    if (path.isEmpty())
        return 0;
    NotebookWindow window;
    window.open(path);
    window.show();
    return application.exec();
}
