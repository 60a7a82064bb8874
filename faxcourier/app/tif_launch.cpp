#include "faxcourier/app/tif_launch.h"

#include "faxcourier/widgets/ui_seam.h"

#include <QProcess>

namespace korva::app {
namespace {

// The desktop file of the default application for image/tiff, "" when
// xdg-mime is missing or names none.
QString desktopTiffHandler()
{
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("image/tiff")});
    if (!query.waitForFinished(5000)) {
        query.kill();
        query.waitForFinished(1000);
        return {};
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}

}  // namespace

TifViewer findTifViewerWithDesktop()
{
    TifViewer viewer = FindTifViewer();
    if (!viewer.registryKnowsTif && !desktopTiffHandler().isEmpty())
        viewer.tifOpenAvailable = true;
    return viewer;
}

QStringList expandVerbCommand(const QString& command, const QString& file)
{
    QStringList parts = QProcess::splitCommand(command);
    bool placed = false;
    for (QString& part : parts) {
        for (const QString& marker : {QStringLiteral("%1"), QStringLiteral("%L"), QStringLiteral("%l")}) {
            if (part.contains(marker)) {
                part.replace(marker, file);
                placed = true;
            }
        }
    }
    if (!placed)
        parts.append(file);
    return parts;
}

void openTifWithVerb(const QString& verb, const QString& file)
{
    if (auto command = tifVerbCommand(verb.toStdString())) {
        QStringList parts = expandVerbCommand(QString::fromLocal8Bit(command->c_str()), file);
        if (!parts.isEmpty()) {
            QString program = parts.takeFirst();
            ui().launch(program, parts, file);
        }
        return;
    }
    if (verb.compare(QStringLiteral("open"), Qt::CaseInsensitive) == 0)
        ui().launch(QString(), {}, file);
}

}  // namespace korva::app
