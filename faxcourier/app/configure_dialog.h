#pragma once
// The Configure dialog (template 102): edits the settings and stores them.
// Its result is 1 after a successful OK and 2 after Cancel.

#include "faxcourier/app/password_keyring.h"
#include "faxcourier/settings/settings.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace korva::app {

class DirectoryNamesGroup;

class ConfigureDialog : public QDialog {
    Q_OBJECT
public:
    // `save` stores the settings (SaveSettings unless a test puts its own).
    using Saver = std::function<bool(Settings&)>;
    // `keep` puts the password where it is kept (the keyring when there is
    // one) before `save`; it gets the keyring key the dialog opened with.
    using PasswordKeeper = std::function<void(Settings&, const QString& previousKey)>;
    ConfigureDialog(Settings& settings, QWidget* owner, Saver save = SaveSettings, PasswordKeeper keep = keepPassword);

    static constexpr int ResultOk = 1;
    static constexpr int ResultCancel = 2;

    QLineEdit* edit(int id) const;
    QComboBox* encryption() const { return encryption_; }
    QLabel* encryptionWarning() const { return warning_; }

public slots:
    void accept() override;  // OK
    void reject() override;  // Cancel, Esc and the close box

protected:
    bool event(QEvent* event) override;

private:
    void buildControls();
    void addEncryptionRow(QGridLayout* grid, int row);
    void addWarningRow(QGridLayout* grid, int row);
    void portsFollowEncryption(int encryption);
    void updateWarning();
    void fillControls();
    void copyControlsIntoSettings();
    bool refuseEmpty(int id);
    bool refuseUnusableServer();
    void keepPasswordShowingWait(const QString& previousKey);

    Settings& settings_;
    Saver save_;
    PasswordKeeper keep_;
    QComboBox* encryption_ = nullptr;
    QLabel* warning_ = nullptr;
    QLabel* keyringWait_ = nullptr;
    QPlainTextEdit* coverPages_ = nullptr;
    DirectoryNamesGroup* directoryNames_ = nullptr;
};

// Shows the dialog modally and returns its result.
int runConfigureDialog(Settings& settings, QWidget* owner);

}  // namespace korva::app
