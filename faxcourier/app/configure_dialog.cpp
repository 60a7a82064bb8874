#include "faxcourier/app/configure_dialog.h"

#include "faxcourier/app/control_ids.h"
#include "faxcourier/app/directory_names_group.h"
#include "faxcourier/app/local_server.h"
#include "faxcourier/app/private_message.h"
#include "faxcourier/settings/encryption_ports.h"
#include "faxcourier/settings/server_target.h"
#include "faxcourier/widgets/dialog_support.h"
#include "faxcourier/widgets/text_convert.h"
#include "faxcourier/widgets/ui_seam.h"

#include <QComboBox>
#include <QEventLoop>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace korva::app {
namespace {

struct EditLayout {
    int id;
    const char* label;
    int limit;
    enum Kind { Text, Port, Password } kind;
};

// In the dialog's order, top to bottom.
constexpr EditLayout editLayouts[] = {
    {IDC_SERVER, QT_TRANSLATE_NOOP("korva::app::ConfigureDialog", "KORVA &Server Address:"), 50, EditLayout::Text},
    {IDC_SMTP_PORT, QT_TRANSLATE_NOOP("korva::app::ConfigureDialog", "SM&TP Server Port:"), 5, EditLayout::Port},
    {IDC_POP3_PORT, QT_TRANSLATE_NOOP("korva::app::ConfigureDialog", "POP&3 Server Port:"), 5, EditLayout::Port},
    {IDC_LDAP_PORT, QT_TRANSLATE_NOOP("korva::app::ConfigureDialog", "&LDAP Server Port:"), 5, EditLayout::Port},
    {IDC_USERNAME, QT_TRANSLATE_NOOP("korva::app::ConfigureDialog", "KORVA &User Name:"), 50, EditLayout::Text},
    {IDC_PASSWORD, QT_TRANSLATE_NOOP("korva::app::ConfigureDialog", "KORVA Pass&word:"), 50, EditLayout::Password},
    {IDC_EMAIL_ADDRESS, QT_TRANSLATE_NOOP("korva::app::ConfigureDialog", "Your Email A&ddress:"), 50, EditLayout::Text},
    {IDC_FAX_ADDRESS, QT_TRANSLATE_NOOP("korva::app::ConfigureDialog", "Fa&x Email Address:"), 50, EditLayout::Text},
    {IDC_REAL_NAME, QT_TRANSLATE_NOOP("korva::app::ConfigureDialog", "&Real Name:"), 100, EditLayout::Text},
    {IDC_COMPANY, QT_TRANSLATE_NOOP("korva::app::ConfigureDialog", "Co&mpany Name:"), 100, EditLayout::Text},
    {IDC_PHONE_NUMBER, QT_TRANSLATE_NOOP("korva::app::ConfigureDialog", "Your &Phone Number:"), 50, EditLayout::Text},
    {IDC_FAX_NUMBER, QT_TRANSLATE_NOOP("korva::app::ConfigureDialog", "Your &Fax Number:"), 50, EditLayout::Text},
};

// The Encryption values in the choice's order.
constexpr const char* encryptionNames[] = {QT_TRANSLATE_NOOP("korva::app::ConfigureDialog", "None"), "STARTTLS", "TLS"};

constexpr std::pair<int, ServerPort> portEdits[] = {
    {IDC_SMTP_PORT, ServerPort::Smtp},
    {IDC_POP3_PORT, ServerPort::Directory},
    {IDC_LDAP_PORT, ServerPort::Ldap},
};

QString hintFor(int id)
{
    if (id == IDC_EMAIL_ADDRESS)
        return ConfigureDialog::tr("(e.g. user@domain.com)");
    if (id == IDC_FAX_ADDRESS)
        return ConfigureDialog::tr("(usually fax@domain.com)");
    return {};
}

// A limit set after filling never cuts a longer stored value.
void setLimit(QLineEdit* edit, int limit) { edit->setMaxLength(std::max(limit, int(edit->text().size()))); }

QString multiLineForEditing(const String& text)
{
    QString value = toQt(text);
    value.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return value;
}

String multiLineForStoring(const QString& text)
{
    QString value = text;
    value.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    value.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return toKorva(value);
}

}  // namespace

ConfigureDialog::ConfigureDialog(Settings& settings, QWidget* owner, Saver save, PasswordKeeper keep)
    : QDialog(owner), settings_(settings), save_(std::move(save)), keep_(std::move(keep))
{
    setObjectName(QStringLiteral("ConfigureDialog"));
    setWindowTitle(tr("Configure KORVA Fax V0.16"));
    buildControls();
    // Opening: icon, values, limits, then come forward once shown.
    setSmallIcon(this);
    fillControls();
    postMessage(this, kComeForward);
}

void ConfigureDialog::buildControls()
{
    auto* grid = new QGridLayout(this);
    int row = 0;
    for (const EditLayout& item : editLayouts) {
        auto* edit = withId(new QLineEdit(this), item.id);
        QLabel* label = labelFor(this, tr(item.label), edit, item.id);
        if (item.kind == EditLayout::Port)
            edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
        if (item.kind == EditLayout::Password)
            edit->setEchoMode(QLineEdit::Password);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        if (QString hint = hintFor(item.id); !hint.isEmpty()) {
            auto* hintLabel = new QLabel(hint, this);
            hintLabel->setObjectName(QStringLiteral("hint") + QString::number(item.id));
            grid->addWidget(hintLabel, row, 2);
        }
        ++row;
        // The choice sits above the ports it moves, and the warning below them.
        if (item.id == IDC_SERVER)
            addEncryptionRow(grid, row++);
        if (item.id == IDC_LDAP_PORT)
            addWarningRow(grid, row++);
    }
    coverPages_ = withId(new QPlainTextEdit(this), IDC_COVER_PAGES);
    coverPages_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    coverPages_->setTabChangesFocus(true);
    coverPages_->setFixedHeight(fontMetrics().lineSpacing() * 4 + 10);
    auto* coverLabel = new QLabel(tr("Cover Pa&ge(s):\n(Only supported with KORVA 2.1.12 and later)"), this);
    coverLabel->setObjectName(labelName(IDC_COVER_PAGES));
    coverLabel->setBuddy(coverPages_);
    grid->addWidget(coverLabel, row, 0, Qt::AlignTop);
    grid->addWidget(coverPages_, row, 1, 1, 2);
    ++row;

    directoryNames_ = new DirectoryNamesGroup(this);
    grid->addWidget(directoryNames_, row++, 0, 1, 3);

    QPushButton* ok = pushButton(this, tr("&OK"), IDOK);
    QPushButton* cancel = pushButton(this, tr("&Cancel"), IDCANCEL);
    ok->setDefault(true);
    showFocusRing(ok);
    // A keyring asked for the first time may ask the user for a new
    // password of its own; this says what the dialog waits for meanwhile.
    keyringWait_ = new QLabel(tr("Waiting for the keyring\u2026"), this);
    keyringWait_->setObjectName(QStringLiteral("keyringWait"));
    keyringWait_->hide();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(directoryNames_->toggle());
    buttons->addStretch(1);
    buttons->addWidget(keyringWait_);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, row, 0, 1, 3);
    grid->setColumnMinimumWidth(1, fontMetrics().averageCharWidth() * 36);
    connect(ok, &QPushButton::clicked, this, &ConfigureDialog::accept);
    connect(edit(IDC_SERVER), &QLineEdit::textChanged, this, &ConfigureDialog::updateWarning);
    connect(cancel, &QPushButton::clicked, this, &ConfigureDialog::reject);
}

void ConfigureDialog::addEncryptionRow(QGridLayout* grid, int row)
{
    encryption_ = withId(new QComboBox(this), IDC_ENCRYPTION);
    for (const char* name : encryptionNames)
        encryption_->addItem(tr(name));
    QLabel* label = labelFor(this, tr("&Encryption:"), encryption_, IDC_ENCRYPTION);
    grid->addWidget(label, row, 0);
    grid->addWidget(encryption_, row, 1, Qt::AlignLeft);
    // Only the user's choice moves the ports, not the filling.
    connect(encryption_, &QComboBox::activated, this, &ConfigureDialog::portsFollowEncryption);
    connect(encryption_, &QComboBox::currentIndexChanged, this, &ConfigureDialog::updateWarning);
}

void ConfigureDialog::addWarningRow(QGridLayout* grid, int row)
{
    warning_ = withId(new QLabel(tr("Without encryption the password crosses the network in the clear."), this),
                      IDC_ENCRYPTION_WARNING);
    grid->addWidget(warning_, row, 0, 1, 3);
}

// A port that still holds a default takes the one of the new choice; a
// port the user typed stays, as in mail programs.
void ConfigureDialog::portsFollowEncryption(int encryption)
{
    for (auto [id, port] : portEdits) {
        bool isNumber = false;
        uint32_t number = edit(id)->text().toUInt(&isNumber);
        if (isNumber)
            edit(id)->setText(QString::number(portFollowingEncryption(port, number, uint32_t(encryption))));
    }
}

void ConfigureDialog::updateWarning()
{
    bool plain = encryption_->currentIndex() == int(kEncryptionNone);
    warning_->setVisible(plain && !serverIsThisMachine(toAnsi(edit(IDC_SERVER)->text())));
}

QLineEdit* ConfigureDialog::edit(int id) const { return findChild<QLineEdit*>(controlName(id)); }

void ConfigureDialog::fillControls()
{
    const Settings& s = settings_;
    edit(IDC_SERVER)->setText(toQt(s.Server));
    edit(IDC_SMTP_PORT)->setText(QString::number(s.SMTPServerPort));
    edit(IDC_POP3_PORT)->setText(QString::number(s.POP3ServerPort));
    edit(IDC_LDAP_PORT)->setText(QString::number(s.LDAPServerPort));
    // A stored value no conversation can use shows as no choice at all,
    // never as None: OK then asks for one.
    encryption_->setCurrentIndex(isKnownEncryption(s.Encryption) ? int(s.Encryption) : -1);
    edit(IDC_USERNAME)->setText(toQt(s.Username));
    edit(IDC_PASSWORD)->setText(toQt(s.Password));
    edit(IDC_EMAIL_ADDRESS)->setText(toQt(s.EmailAddress));
    edit(IDC_FAX_ADDRESS)->setText(toQt(s.FaxAddress));
    edit(IDC_REAL_NAME)->setText(toQt(s.RealName));
    edit(IDC_COMPANY)->setText(toQt(s.Company));
    edit(IDC_PHONE_NUMBER)->setText(toQt(s.PhoneNumber));
    edit(IDC_FAX_NUMBER)->setText(toQt(s.FaxNumber));
    coverPages_->setPlainText(multiLineForEditing(s.CoverPages));
    directoryNames_->fill(s);
    updateWarning();
    for (const EditLayout& item : editLayouts)
        setLimit(edit(item.id), item.limit);
}

void ConfigureDialog::copyControlsIntoSettings()
{
    Settings& s = settings_;
    auto text = [this](int id) { return toKorva(edit(id)->text()); };
    auto port = [this](int id) { return edit(id)->text().toUInt(); };  // no number gives 0
    s.Server = text(IDC_SERVER);
    s.SMTPServerPort = port(IDC_SMTP_PORT);
    s.POP3ServerPort = port(IDC_POP3_PORT);
    s.LDAPServerPort = port(IDC_LDAP_PORT);
    s.Encryption = uint32_t(encryption_->currentIndex());
    s.Username = text(IDC_USERNAME);
    s.Password = text(IDC_PASSWORD);
    s.EmailAddress = text(IDC_EMAIL_ADDRESS);
    s.FaxAddress = text(IDC_FAX_ADDRESS);
    s.RealName = text(IDC_REAL_NAME);
    s.Company = text(IDC_COMPANY);
    s.PhoneNumber = text(IDC_PHONE_NUMBER);
    s.FaxNumber = text(IDC_FAX_NUMBER);
    s.CoverPages = multiLineForStoring(coverPages_->toPlainText());
    directoryNames_->copyInto(s);
}

bool ConfigureDialog::refuseEmpty(int id)
{
    showBox(this, QString(), tr("Configuration Is Needed"));
    edit(id)->setFocus();
    return true;
}

// Server and Encryption as every conversation checks them before it
// connects, so that OK never stores what they would refuse.
bool ConfigureDialog::refuseUnusableServer()
{
    int choice = encryption_->currentIndex();
    uint32_t encryption = choice < 0 ? settings_.Encryption : uint32_t(choice);
    CheckedTarget checked = serverTarget(toAnsi(edit(IDC_SERVER)->text()).c_str(), encryption);
    const SettingRefusal* refusal = std::get_if<SettingRefusal>(&checked);
    if (refusal == nullptr)
        return false;
    QString setting = refusal->setting == "Encryption" ? tr("Encryption") : tr("Server");
    showBox(this, QStringLiteral("KORVA Fax"),
            tr("The %1 setting cannot be used: %2.")
                .arg(setting, QString::fromStdString(refusal->shownWhy.empty() ? refusal->why : refusal->shownWhy)),
            Buttons::Ok, BoxIcon::Warning);
    if (refusal->setting == "Encryption")
        encryption_->setFocus();
    else
        edit(IDC_SERVER)->setFocus();
    return true;
}

void ConfigureDialog::accept()
{
    for (int id : {IDC_SERVER, IDC_USERNAME, IDC_PASSWORD, IDC_EMAIL_ADDRESS, IDC_FAX_ADDRESS})
        if (edit(id)->text().isEmpty() && refuseEmpty(id))
            return;
    for (const EditLayout& item : editLayouts)
        if (refuseUnfitText(this, edit(item.id), fieldName(tr(item.label)), edit(item.id)->text()))
            return;
    if (refuseUnfitText(this, coverPages_, tr("Cover Page(s)"), coverPages_->toPlainText()))
        return;
    if (refuseUnusableServer() || !directoryNames_->fits(this))
        return;
    QString previousKey = keyringKey(settings_);
    copyControlsIntoSettings();
    keepPasswordShowingWait(previousKey);
    save_(settings_);  // reports its own failure; memory keeps the new values
    done(ResultOk);
}

void ConfigureDialog::keepPasswordShowingWait(const QString& previousKey)
{
    // The keyring's job runs a local loop: the dialog paints meanwhile but
    // takes no clicks.
    keyringWait_->show();
    const QList<QPushButton*> buttons = findChildren<QPushButton*>();
    for (QPushButton* button : buttons)
        button->setEnabled(false);
    keep_(settings_, previousKey);
    for (QPushButton* button : buttons)
        button->setEnabled(true);
    keyringWait_->hide();
}

void ConfigureDialog::reject()
{
    // Leaving is allowed only while the stored configuration is complete.
    if (int id = missingRequiredSetting(settings_); id != 0) {
        refuseEmpty(id);
        return;
    }
    done(ResultCancel);
}

bool ConfigureDialog::event(QEvent* event)
{
    if (isPrivateMessage(event, kComeForward)) {
        bringToForeground(this);
        return true;
    }
    return QDialog::event(event);
}

int runConfigureDialog(Settings& settings, QWidget* owner)
{
    ConfigureDialog dialog(settings, owner);
    // From the Send Fax dialog: that dialog waits, the rest of the program
    // does not.
    if (owner) {
        dialog.setWindowModality(Qt::WindowModal);
        return dialog.exec();
    }
    // Before the first fax's dialog: only the caller waits for the answer.
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog.show();
    loop.exec(QEventLoop::DialogExec);
    return dialog.result();
}

}  // namespace korva::app
