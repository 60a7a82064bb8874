#pragma once
// Small helpers shared by the dialogs: control identifiers as object names,
// push buttons and labels, dialog units, the recipient lists' column split,
// read-only fields, the program icon, coming to the foreground, and refusing
// typed text that the program's 8-bit text cannot hold.
//
// Object names: a dialog is named after its class ("SendFaxDialog"), a
// control by its identifier ("1006"), the label of a control "label" plus
// that identifier ("label1006"); a part without an identifier gets a short
// lower-case word ("separator").

#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;
class QTreeView;

namespace korva::app {

inline QString controlName(int id) { return QString::number(id); }
inline QString labelName(int id) { return QStringLiteral("label") + QString::number(id); }

template <typename W>
W* withId(W* widget, int id)
{
    widget->setObjectName(controlName(id));
    return widget;
}

// A push button that Enter runs while it has the focus; elsewhere in the
// dialog Enter runs the default button.
QPushButton* pushButton(QWidget* parent, const QString& text, int id);
QPushButton* pushButton(QWidget* parent, const char* latin1Text, int id);

// The label of control `id`, whose "&" letter focuses `buddy`.
QLabel* labelFor(QWidget* parent, const QString& text, QWidget* buddy, int id);

// Dialog units of a dialog template, in pixels of the widget's font.
int dluX(const QWidget* widget, int units);
int dluY(const QWidget* widget, int units);

// Name, Number and Company take a third of the list's client width each
// (the last one what is left), leaving room for a vertical scroll bar.
void splitColumnsInThirds(QTreeView* list);

// A QLineEdit or QPlainTextEdit that takes no typing; read-only it takes
// the dialog's background, so that it does not look editable.
void setFieldReadOnly(QWidget* field, bool readOnly);

// A ring around `widget` while it has the focus, for the controls whose
// own look does not change with it: an empty list, a read-only text box
// without a cursor, the default button (drawn the same focused or not).
void showFocusRing(QWidget* widget);

// Sets the program icon; every dialog calls it when it opens.
void setSmallIcon(QWidget* dialog);

void bringToForeground(QWidget* window);

// The name of the field a dialog label introduces, without "&" and ":".
QString fieldName(const QString& label);
QString fieldName(const char* label);

// "Cancel" as Qt's own dialogs word it, from Qt's catalogue.
QString standardCancelText();

// The first character of `text` that the program's 8-bit text cannot hold
// (a surrogate pair stays whole); empty when every one fits.
QString firstUnfitCharacter(const QString& text);

// When `text` holds a character that the program's 8-bit text cannot hold,
// says so in a box naming the field, focuses it and returns true.
[[nodiscard]] bool refuseUnfitText(QWidget* dialog, QWidget* field, const QString& name, const QString& text);

}  // namespace korva::app
