#pragma once
// The Configure dialog (template 102): edits the settings and stores them.
// Its result is 1 after a successful OK and 2 after Cancel.

#include "faxcourier/settings/settings.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QPlainTextEdit;

namespace korva::app {

class ConfigureDialog : public QDialog {
    Q_OBJECT
public:
    // `save` stores the settings (SaveSettings unless a test puts its own).
    using Saver = std::function<bool(Settings&)>;
    ConfigureDialog(Settings& settings, QWidget* owner, Saver save = SaveSettings);

    static constexpr int ResultOk = 1;
    static constexpr int ResultCancel = 2;

    QLineEdit* edit(int id) const;

public slots:
    void accept() override;  // OK
    void reject() override;  // Cancel, Esc and the close box

protected:
    bool event(QEvent* event) override;

private:
    void buildControls();
    void fillControls();
    void copyControlsIntoSettings();
    bool refuseEmpty(int id);

    Settings& settings_;
    Saver save_;
    QPlainTextEdit* coverPages_ = nullptr;
};

// Shows the dialog modally and returns its result.
int runConfigureDialog(Settings& settings, QWidget* owner);

}  // namespace korva::app
