#pragma once
// The Configure dialog's "Advanced" part: the directory's base DN and bind
// DN, for a standard directory. Hidden until the Advanced button opens it,
// so the dialog looks as it always did.

#include "faxcourier/settings/settings.h"

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace korva::app {

class DirectoryNamesGroup : public QWidget {
    Q_OBJECT
public:
    explicit DirectoryNamesGroup(QWidget* dialog);

    // The button that opens and closes the group.
    QPushButton* toggle() const { return toggle_; }
    void fill(const Settings& settings);
    // False (with the box shown) when a name holds a character the
    // settings cannot keep.
    [[nodiscard]] bool fits(QWidget* dialog);
    void copyInto(Settings& settings) const;

private:
    QPushButton* toggle_;
    QLineEdit* base_;
    QLineEdit* bind_;
};

}  // namespace korva::app
