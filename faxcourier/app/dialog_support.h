#pragma once
// Small helpers shared by the dialogs: control identifiers as object names,
// the program icon, and coming to the foreground.

#include <QString>
#include <QWidget>

namespace korva::app {

inline QString controlName(int id) { return QString::number(id); }
inline QString labelName(int id) { return QStringLiteral("label") + QString::number(id); }

template <typename W>
W* withId(W* widget, int id)
{
    widget->setObjectName(controlName(id));
    return widget;
}

// Sets the program icon; every dialog calls it when it opens.
void setSmallIcon(QWidget* dialog);

void bringToForeground(QWidget* window);

}  // namespace korva::app
