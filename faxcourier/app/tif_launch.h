#pragma once
// The desktop side of the .tif viewer: when the registry store names no
// ".tif" file type, the desktop's default application for image/tiff
// (xdg-mime) gives the "open" verb, and opening goes through xdg-open.

#include "faxcourier/app/tif_viewer.h"

#include <QString>
#include <QStringList>

namespace korva::app {

// FindTifViewer, then the desktop's default application when the registry
// has no ".tif" entry.
TifViewer findTifViewerWithDesktop();

// The program and arguments of a registry command line with "%1" (or "%L")
// replaced by `file`; the file is appended when the command names no place.
QStringList expandVerbCommand(const QString& command, const QString& file);

// Opens `file` with `verb`: the registry's command for it, else for "open"
// the desktop's handler. Nothing is reported either way.
void openTifWithVerb(const QString& verb, const QString& file);

}  // namespace korva::app
