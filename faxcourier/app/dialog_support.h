#pragma once
// Small helpers shared by the dialogs: control identifiers as object names,
// the program icon, coming to the foreground, and refusing typed text
// that the program's 8-bit text cannot hold.

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

// The name of the field a dialog label introduces, without "&" and ":".
QString fieldName(const char* label);

// When `text` holds a character that the program's 8-bit text cannot hold,
// says so in a box naming the field, focuses it and returns true.
[[nodiscard]] bool refuseUnfitText(QWidget* dialog, QWidget* field, const QString& name, const QString& text);

}  // namespace korva::app
