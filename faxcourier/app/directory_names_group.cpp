#include "faxcourier/app/directory_names_group.h"

#include "faxcourier/app/control_ids.h"
#include "faxcourier/widgets/dialog_support.h"
#include "faxcourier/widgets/text_convert.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace korva::app {

namespace {

const char* const kBaseLabel = QT_TRANSLATE_NOOP("korva::app::DirectoryNamesGroup", "Directory &base DN:");
const char* const kBindLabel = QT_TRANSLATE_NOOP("korva::app::DirectoryNamesGroup", "Directory b&ind DN:");

QLineEdit* nameEdit(QWidget* parent, int id)
{
    auto* edit = withId(new QLineEdit(parent), id);
    // Empty keeps the KORVA server's rule.
    edit->setPlaceholderText(DirectoryNamesGroup::tr("the user name"));
    return edit;
}

}  // namespace

DirectoryNamesGroup::DirectoryNamesGroup(QWidget* dialog) : QWidget(dialog)
{
    toggle_ = pushButton(dialog, tr("&Advanced"), IDC_ADVANCED);
    toggle_->setCheckable(true);
    base_ = nameEdit(this, IDC_LDAP_BASE_DN);
    bind_ = nameEdit(this, IDC_LDAP_BIND_DN);
    auto* form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(labelFor(this, tr(kBaseLabel), base_, IDC_LDAP_BASE_DN), base_);
    form->addRow(labelFor(this, tr(kBindLabel), bind_, IDC_LDAP_BIND_DN), bind_);
    auto* note = new QLabel(tr("For a standard directory such as OpenLDAP, e.g. base\n"
                               "ou=people,dc=example,dc=com and bind uid=anna,ou=people,dc=example,dc=com"),
                            this);
    form->addRow(note);
    setVisible(false);
    // Once pressed it would become the dialog's default: Enter must stay OK.
    toggle_->setAutoDefault(false);
    connect(toggle_, &QPushButton::toggled, this, &QWidget::setVisible);
}

void DirectoryNamesGroup::fill(const Settings& settings)
{
    base_->setText(toQt(settings.LDAPBaseDN));
    bind_->setText(toQt(settings.LDAPBindDN));
}

bool DirectoryNamesGroup::fits(QWidget* dialog)
{
    bool refused = refuseUnfitText(dialog, base_, fieldName(tr(kBaseLabel)), base_->text()) ||
                   refuseUnfitText(dialog, bind_, fieldName(tr(kBindLabel)), bind_->text());
    if (refused)
        toggle_->setChecked(true);  // the refused field in sight
    return !refused;
}

void DirectoryNamesGroup::copyInto(Settings& settings) const
{
    settings.LDAPBaseDN = toKorva(base_->text().trimmed());
    settings.LDAPBindDN = toKorva(bind_->text().trimmed());
}

}  // namespace korva::app
