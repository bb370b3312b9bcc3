#include "systemstart.h"

#include "systemchooser.h"
#include "systemdefinition.h"
#include "systemfile.h"
#include "systemlauncher.h"
#include "systemlibrary.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>

namespace {

ExperimentDefinition definitionFor(const BinarySystem &system, const Kit *kit)
{
    return systemDefinition(system, kit ? std::optional<Kit>(*kit) : std::nullopt);
}

// Shows the system's window and waits until the student leaves it.
void showUntilLeft(const BinarySystem &system, const Kit *kit, ScatterSource &scatter, SessionRecorder *recorder)
{
    SystemLauncher launcher(definitionFor(system, kit), QString::fromStdString(system.mineral1.name),
                            QString::fromStdString(system.mineral2.name), scatter, recorder);
    QEventLoop waiting;
    QObject::connect(&launcher, &SystemLauncher::finished, &waiting, &QEventLoop::quit);
    launcher.show();
    waiting.exec();
}

} // namespace

std::optional<BinarySystem> SystemStart::named(const QString &idOrFile, QString &error)
{
    const SystemLibrary library = SystemLibrary::builtIn();
    if (const BinarySystem *system = library.find(idOrFile.toStdString()))
        return *system;
    if (idOrFile.endsWith(QLatin1String(".toml")) || QFileInfo(idOrFile).isFile()) {
        const SystemFile::Result read = SystemFile::readFile(idOrFile.toStdString());
        if (read.system)
            return read.system;
        error = QString::fromStdString(read.error);
        return std::nullopt;
    }
    QStringList ids;
    for (const BinarySystem &system : library.systems())
        ids << QString::fromStdString(system.id);
    error = QStringLiteral("no system \"%1\" (the library has %2; a system file ends in .toml)")
                .arg(idOrFile, ids.join(QStringLiteral(", ")));
    return std::nullopt;
}

QString SystemStart::list()
{
    QString text;
    const SystemLibrary library = SystemLibrary::builtIn();
    for (const BinarySystem &system : library.systems())
        text += QStringLiteral("%1  %2\n").arg(QString::fromStdString(system.id), QString::fromStdString(system.title));
    return text;
}

int SystemStart::run(const BinarySystem &system, const Kit *kit, ScatterSource &scatter, SessionRecorder *recorder)
{
    showUntilLeft(system, kit, scatter, recorder);
    return 0;
}

int SystemStart::choose(const Kit *kit, ScatterSource &scatter, SessionRecorder *recorder)
{
    const SystemLibrary library = SystemLibrary::builtIn();
    for (;;) {
        SystemChooser chooser(library.systems());
        if (chooser.exec() != QDialog::Accepted || !chooser.chosen())
            return 0;
        showUntilLeft(*chooser.chosen(), kit, scatter, recorder);
    }
}
