// The two address book dialogs in German and French: titles, buttons,
// labels, the list's header and the delete question come from the
// catalogues.
#include "faxcourier/addressbook/address_entry_dialog.h"
#include "faxcourier/addressbook/testing/dialog_fixture.h"
#include "faxcourier/widgets/dialog_support.h"
#include "faxcourier/widgets/testing/language_scope.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>

using namespace korva;
using namespace korva::addressbook;
using namespace korva::addressbook::testing;

namespace {

using AddressBookLanguage = DialogFixture;

struct Expected {
    const char* language;
    const char* bookTitle;
    const char* faxOnly;
    const char* refresh;
    const char* numberHeader;
    const char* deleteQuestion;
    const char* entryTitle;
    const char* faxLabel;
    const char* save;  // the new entry's Close button
};

const Expected kLanguages[] = {
    {"de", "Fax-Adressbuch", "Nur Einträge mit &Faxnummer anzeigen", "A&ktualisieren", "Faxnummer",
     "Möchten Sie diesen Adressbucheintrag wirklich endgültig löschen?", "Adressbucheintrag", "Fa&x:", "Speichern"},
    {"fr", "Carnet d'adresses fax", "Afficher &uniquement les entrées avec un numéro de fax", "A&ctualiser", "Numéro",
     "Voulez-vous vraiment supprimer définitivement cette entrée du carnet d'adresses\u00a0?",
     "Entrée du carnet d'adresses", "&Fax\u00a0:", "Enregistrer"},
};

}  // namespace

TEST_F(AddressBookLanguage, TheDialogsSpeakTheReadersLanguage)
{
    serve({{{"cn", "Anna"}, {"fax", "0301"}, {"_deletable", "1"}}});
    for (const Expected& expected : kLanguages) {
        SCOPED_TRACE(expected.language);
        korva::testing::LanguageScope scope(QString::fromLatin1(expected.language));
        auto book = openBook();
        EXPECT_EQ(book->windowTitle(), QString::fromUtf8(expected.bookTitle));
        EXPECT_EQ(control<QCheckBox>(*book, IDC_FAX_ONLY)->text(), QString::fromUtf8(expected.faxOnly));
        EXPECT_EQ(control(*book, IDC_REFRESH)->text(), QString::fromUtf8(expected.refresh));
        EXPECT_EQ(book->rows()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
                  QString::fromUtf8(expected.numberHeader));

        select(*book, {"Anna"});
        ui.answer(app::Answer::No);
        control(*book, IDC_DELETE_ENTRY)->click();
        ASSERT_FALSE(ui.boxes.empty());
        EXPECT_EQ(ui.boxes.back().text, QString::fromUtf8(expected.deleteQuestion));

        AddressEntryDialog entry(book.get(), String());
        QCoreApplication::processEvents();  // the new entry's posted Edit Entry
        EXPECT_EQ(entry.windowTitle(), QString::fromUtf8(expected.entryTitle));
        auto* faxLabel = entry.findChild<QLabel*>(app::labelName(IDC_FAX));
        ASSERT_NE(faxLabel, nullptr);
        EXPECT_EQ(faxLabel->text(), QString::fromUtf8(expected.faxLabel));
        EXPECT_EQ(control(entry, IDOK)->text(), QString::fromUtf8(expected.save));
    }
}
