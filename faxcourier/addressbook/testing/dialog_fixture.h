#pragma once
// For the dialog tests: korva-sim serving the address book, a recipient
// list standing in for the Send Fax dialog's, scripted boxes, and the Fax
// Address Book filled from a finished search.

#include "faxcourier/addressbook/address_book_dialog.h"
#include "faxcourier/addressbook/address_book_ids.h"
#include "faxcourier/addressbook/address_book_install.h"
#include "faxcourier/addressbook/address_entries.h"
#include "faxcourier/addressbook/testing/directory_sim.h"
#include "faxcourier/widgets/address_book_hook.h"
#include "faxcourier/widgets/recipient_list.h"
#include "faxcourier/widgets/testing/scripted_ui.h"
#include "faxcourier/widgets/ui_sinks.h"
#include "faxcourier/net/wait_cursor_hook.h"
#include "platform/testing/scoped_seam.h"
#include "platform/testing/test_support.h"

#include <QAbstractButton>
#include <QItemSelectionModel>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace korva::addressbook::testing {

// One entry of the book for the directory stand-in to serve.
inline korva::testing::SeedEntry person(const char* name, const char* fax, const char* deletable = "1",
                                        const char* company = "")
{
    korva::testing::SeedEntry entry{
        {"cn", name}, {"mail", std::string(name) + "@example.com"}, {"_deletable", deletable}};
    if (*fax)
        entry.emplace_back("fax", fax);
    if (*company)
        entry.emplace_back("o", company);
    return entry;
}

class DialogFixture : public ::testing::Test {
protected:
    // As at start-up: the wait cursor through the scripted user interface.
    DialogFixture() { installAddressBook(); }

    void serve(const std::vector<korva::testing::SeedEntry>& entries)
    {
        sim = std::make_unique<korva::testing::DirectorySim>(home.path(), entries);
        sim->useInSettings();
    }

    // The dialog once its search has finished and every entry was examined.
    std::unique_ptr<FaxAddressBookDialog> openBook()
    {
        auto book = std::make_unique<FaxAddressBookDialog>(nullptr, &recipients);
        fill(*book);
        return book;
    }

    static void fill(FaxAddressBookDialog& book)
    {
        EXPECT_TRUE(waitForDirectorySearches(20000));
        for (;;) {
            book.tick();
            std::lock_guard lock(addressBookLock);
            if (listedCount == addressEntries.size())
                break;
        }
        book.tick();  // the rows belong to the finished table
    }

    static QStringList column(const FaxAddressBookDialog& book, int c = 0)
    {
        QStringList texts;
        for (int r = 0; r < book.rows()->rowCount(); ++r)
            texts << book.rows()->index(r, c).data().toString();
        return texts;
    }

    // Selects the rows named `names` (and only those).
    static void select(FaxAddressBookDialog& book, const QStringList& names)
    {
        QItemSelectionModel* selection = book.entryList()->selectionModel();
        selection->clearSelection();
        for (int r = 0; r < book.rows()->rowCount(); ++r)
            if (names.contains(book.rows()->row(r).name))
                selection->select(book.rows()->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    template <typename W = QAbstractButton>
    static W* control(QWidget& dialog, int id)
    {
        W* widget = dialog.findChild<W*>(QString::number(id));
        EXPECT_NE(widget, nullptr) << id;
        return widget;
    }

    static size_t tableSize()
    {
        std::lock_guard lock(addressBookLock);
        return addressEntries.size();
    }

    static std::vector<std::string> tableNames()
    {
        std::lock_guard lock(addressBookLock);
        std::vector<std::string> names;
        for (const AddressEntry& entry : addressEntries)
            names.push_back(entry.name.Text());
        return names;
    }

    QApplication& application = app::testing::testApplication();  // before any widget
    // What installAddressBook() installs is put back after each test.
    korva::testing::ScopedSeam<app::AddressBookOpener> opener{app::setAddressBookOpener, {}};
    korva::testing::ScopedSeam<app::AddressBookWindowOpener> windowOpener{app::setAddressBookWindowOpener, {}};
    ScopedWaitCursorHooks waitCursor{{}, {}};
    korva::testing::TempHome home;
    std::unique_ptr<korva::testing::DirectorySim> sim;
    app::testing::ScriptedUi ui;
    app::InstalledBoxSinks sinks;
    app::RecipientList recipients{nullptr};
};

}  // namespace korva::addressbook::testing
