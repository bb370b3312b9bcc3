// picture-generator OUTPUT_FOLDER
// Writes the 33 charge pictures the lab shows after each furnace run.

#include "chargepicture.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    QTextStream errors(stderr);
    if (arguments.size() != 2) {
        errors << "usage: picture-generator OUTPUT_FOLDER\n";
        return 2;
    }
    const QString folder = arguments.at(1);
    if (!QDir().mkpath(folder)) {
        errors << "picture-generator: cannot create " << folder << "\n";
        return 1;
    }
    QString error;
    if (!charge::ChargePicture::writeAll(folder, &error)) {
        errors << "picture-generator: " << error << "\n";
        return 1;
    }
    return 0;
}
