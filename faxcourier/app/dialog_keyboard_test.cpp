// Every dialog by keyboard: each labelled control and button has its own
// access key, each label names the control it introduces, read-only fields
// take no Tab stop, and the focus shows wherever it can go.
#include "faxcourier/addressbook/address_entry_dialog.h"
#include "faxcourier/addressbook/testing/dialog_fixture.h"
#include "faxcourier/app/configure_dialog.h"
#include "faxcourier/app/send_fax_dialog.h"
#include "faxcourier/settings/fax_job.h"
#include "faxcourier/settings/settings.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <functional>
#include <map>
#include <memory>
#include <string>

using namespace korva;
using namespace korva::addressbook;
using namespace korva::addressbook::testing;

namespace {

const char* const kAnnaDn = "MAIL=anna@example.com,carl";

// The letter after a single '&', or 0.
QChar accessKey(const QString& text)
{
    QString key = QKeySequence::mnemonic(text).toString();
    return key.isEmpty() ? QChar() : key.back().toLower();
}

bool takesTab(const QWidget* widget) { return (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus; }

// The access key of every visible control that has a label, a title or a
// text of its own; what is missing and what clashes.
std::string accessKeyFaults(QDialog& dialog)
{
    std::string faults;
    std::map<QChar, QString> owners;
    auto claim = [&](const QString& text, bool required) {
        QChar key = accessKey(text);
        if (key.isNull()) {
            if (required)
                faults += "no access key: \"" + text.toStdString() + "\"\n";
            return;
        }
        if (owners.count(key))
            faults += "'" + QString(key).toStdString() + "' in \"" + owners[key].toStdString() + "\" and \"" +
                      text.toStdString() + "\"\n";
        owners[key] = text;
    };
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->isVisibleTo(&dialog))
            continue;
        const bool introduces = label->text().section(QLatin1Char('\n'), 0, 0).trimmed().endsWith(QLatin1Char(':'));
        if (introduces && !label->buddy())
            faults += "no buddy: \"" + label->text().toStdString() + "\"\n";
        if (label->buddy())
            claim(label->text(), takesTab(label->buddy()));
    }
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
        // OK and Cancel have Enter and Escape; the letter bar has Ctrl+letter.
        const bool enterOrEscape = button->objectName() == "1" || button->objectName() == "2";
        if (button->isVisibleTo(&dialog) && button->text().size() > 1)
            claim(button->text(), !enterOrEscape);
    }
    for (QGroupBox* box : dialog.findChildren<QGroupBox*>())
        if (box->isVisibleTo(&dialog) && !box->title().isEmpty())
            claim(box->title(), true);
    return faults;
}

bool readOnly(const QWidget* widget)
{
    if (auto* line = qobject_cast<const QLineEdit*>(widget))
        return line->isReadOnly();
    if (auto* text = qobject_cast<const QPlainTextEdit*>(widget))
        return text->isReadOnly();
    return false;
}

// Read-only fields look it, those in `passedByTab` take no Tab stop, and
// every Tab stop shows that it has the focus once Tab brought it there.
std::string focusFaults(QDialog& dialog, const QStringList& passedByTab)
{
    std::string faults;
    std::vector<QWidget*> stops;
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&dialog) || !widget->isEnabled())
            continue;
        const std::string name = widget->objectName().toStdString();
        if (readOnly(widget) && widget->palette().color(QPalette::Base) != widget->palette().color(QPalette::Window))
            faults += "read-only but looks editable: " + name + "\n";
        if (!takesTab(widget) || widget->focusProxy())
            continue;
        if (passedByTab.contains(widget->objectName()))
            faults += "a Tab stop: " + name + "\n";
        else
            stops.push_back(widget);
    }
    // With a few pixels around it, where a focus ring may be drawn.
    auto look = [&dialog](QWidget* widget) {
        QRect area(widget->mapTo(&dialog, QPoint(0, 0)), widget->size());
        return dialog.grab(area.adjusted(-4, -4, 4, 4)).toImage();
    };
    for (QWidget* widget : stops) {
        if (widget->hasFocus())
            app::testing::pressKey(Qt::Key_Tab);
        QImage without = look(widget);
        if (!app::testing::tabTo(widget)) {
            faults += "never reached by Tab: " + widget->objectName().toStdString() + "\n";
            continue;
        }
        if (look(widget) == without)
            faults += "focus not shown: " + std::string(widget->metaObject()->className()) + " " +
                      widget->objectName().toStdString() + "\n";
    }
    return faults;
}

class Keyboard : public DialogFixture {};

}  // namespace

TEST_F(Keyboard, EveryDialogHasItsAccessKeysAndShowsTheFocus)
{
    serve({{{"cn", "Anna Berg"},
            {"fax", "0301"},
            {"postalAddress", "1 Road"},
            {"mail", "anna@example.com"},
            {"_editable", "1"},
            {"_deletable", "1"}}});
    FaxJob job;
    Settings settings;
    settings.Server = "mail.example.com";
    settings.CoverPages = "Standard\r\nUrgent";
    app::TifViewer tif;
    tif.tifOpenAvailable = true;
    FaxDocument letter;
    letter.name = "Letter";
    letter.pages = 2;
    job.documents = {letter};
    auto book = openBook();
    struct Case {
        const char* name;
        std::function<std::unique_ptr<QDialog>()> make;
        QStringList passedByTab;  // read-only fields with nothing to copy
    };
    const Case cases[] = {
        {"Send Fax, no recipients",
         [&]() -> std::unique_ptr<QDialog> {
             auto dialog = std::make_unique<app::SendFaxDialog>(job, settings, tif, app::SendFaxServices{});
             dialog->initDialog();
             return dialog;
         },
         {"1007"}},
        {"Configure",
         [&]() -> std::unique_ptr<QDialog> {
             return std::make_unique<app::ConfigureDialog>(settings, nullptr, [](Settings&) { return true; });
         },
         {}},
        {"Fax Address Book",
         [&]() -> std::unique_ptr<QDialog> { return std::make_unique<FaxAddressBookDialog>(nullptr, &recipients); },
         {}},
        {"Address Book Entry",
         [&]() -> std::unique_ptr<QDialog> { return std::make_unique<AddressEntryDialog>(book.get(), kAnnaDn); },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<QDialog> dialog = c.make();
        ASSERT_TRUE(app::testing::showActive(dialog.get()));
        EXPECT_EQ(accessKeyFaults(*dialog), "");
        EXPECT_EQ(focusFaults(*dialog, c.passedByTab), "");
    }
}
