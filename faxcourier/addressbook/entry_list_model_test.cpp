#include "faxcourier/addressbook/entry_list_model.h"

#include "faxcourier/addressbook/directory_text.h"
#include "faxcourier/addressbook/testing/dialog_fixture.h"
#include "faxcourier/addressbook/unicode_filter.h"

#include <QItemSelectionModel>

using namespace korva;
using namespace korva::addressbook;

namespace {

EntryRow row(const char* name, long position)
{
    return EntryRow{name, QString::fromUtf8(name), QString::number(position), QString(), position};
}

QStringList names(const EntryListModel& model)
{
    QStringList list;
    for (int r = 0; r < model.rowCount(); ++r)
        list << model.row(r).name;
    return list;
}

}  // namespace

TEST(EntryListModel, BatchesMergeInNameOrderLetterCaseAside)
{
    EntryListModel model;
    model.mergeRows({row("carl", 0), row("Anna", 1)});
    model.mergeRows({row("bert", 2), row("Dora", 3), row("anna", 4)});
    EXPECT_EQ(names(model), (QStringList{"Anna", "anna", "bert", "carl", "Dora"}));
    EXPECT_EQ(model.rowOfPosition(3), 4);
    EXPECT_EQ(model.rowOfPosition(9), -1);
    EXPECT_EQ(model.index(4, 1).data().toString(), "3");
    EXPECT_EQ(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "Company");
}

TEST(EntryListModel, EqualNamesKeepTheRowListedFirstInFront)
{
    EntryListModel model;
    model.mergeRows({row("Same", 0)});
    model.mergeRows({row("Same", 1)});
    EXPECT_EQ(model.row(0).position, 0);
    EXPECT_EQ(model.row(1).position, 1);
}

TEST(EntryListModel, SelectionFollowsItsRowThroughMergesAndRenames)
{
    EntryListModel model;
    QItemSelectionModel selection(&model);
    model.mergeRows({row("Mia", 0), row("Zoe", 1)});
    selection.select(model.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    model.mergeRows({row("Anna", 2), row("Bert", 3), row("Ziggy", 4)});
    ASSERT_EQ(selection.selectedRows().size(), 1);
    EXPECT_EQ(model.row(selection.selectedRows()[0].row()).name, "Zoe");

    model.setRowTexts(model.rowOfPosition(1), row("Adam", 1));
    EXPECT_EQ(names(model), (QStringList{"Adam", "Anna", "Bert", "Mia", "Ziggy"}));
    ASSERT_EQ(selection.selectedRows().size(), 1);
    EXPECT_EQ(model.row(selection.selectedRows()[0].row()).name, "Adam");
}

TEST(EntryListModel, NamesOrderByTheirLettersAccentsAndCaseAside)
{
    EntryListModel model;
    model.mergeRows({row("Zoe", 0), row("\xC3\x89mile Zola", 1), row("eva", 2), row("Emma", 3), row("Ella", 7)});
    model.mergeRows({row("\xC3\x96zil", 4), row("Oscar", 5), row("Pia", 6)});
    EXPECT_EQ(names(model), (QStringList{"Ella", QString::fromUtf8("\xC3\x89mile Zola"), "Emma", "eva", "Oscar",
                                         QString::fromUtf8("\xC3\x96zil"), "Pia", "Zoe"}));
}

TEST(ListLetter, TheBaseLetterOfTheFirstCharacterOrNone)
{
    const struct {
        const char* name;
        char letter;
    } cases[] = {
        {"Anna", 'A'},
        {"mike", 'M'},
        {"\xC3\x89mile Zola", 'E'},
        {"\xC3\xA9lodie", 'E'},
        {"\xC3\x96zil", 'O'},
        {"\xC5\xA0koda", 'S'},
        {"Zoe", 'Z'},
        {"~tilde", 0},
        {"(office)", 0},
        {"42 Club", 0},
        {"\xCE\xA9mega", 0},
        {"", 0},
        {"\xC5\x81ukasz", 'L'},
        {"\xC3\x98rsted", 'O'},
        {"\xC3\xB8rsted", 'O'},
        {"\xC3\x86r\xC3\xB8", 'A'},
        {"\xC5\x92"
         "dipe",
         'O'},
        {"\xC4\x90or\xC4\x91"
         "e",
         'D'},
        {"\xC3\x9E\xC3\xB3ra", 'T'},
        {"\xC3\x9F"
         "ara",
         'S'},
    };
    for (const auto& c : cases)
        EXPECT_EQ(listLetter(String(c.name)), c.letter) << c.name;
}

TEST(UnicodeFilter, SearchBoxesFoldCaseAsUnicodeDoes)
{
    const struct {
        const char* box;   // typed in the name box
        const char* name;  // from the directory, UTF-8
        bool found;
    } cases[] = {
        {"M\xC3\x9CLLER", "J\xC3\xB6rg M\xC3\xBCller", true},
        {"m\xC3\xBCller", "J\xC3\xB6rg M\xC3\x9CLLER", true},
        {"\xC3\xB8rsted", "S\xC3\xB8ren \xC3\x98rsted", true},
        {"STRASSE",
         "Stra\xC3\x9F"
         "e",
         true},
        {"stra\xC3\x9F"
         "e",
         "STRASSE", true},
        {"\xCE\x9F\xCE\xBB\xCE\xB3\xCE\xB1", "\xCE\xBF\xCE\xBB\xCE\xB3\xCE\xB1", true},
        {"muller", "J\xC3\xB6rg M\xC3\xBCller", false},
        {"NN", "Anna", true},
        {"NN", "Ana", false},
    };
    for (const auto& c : cases) {
        ListFilter filter = unicodeFilter(QString::fromUtf8(c.box), {}, {});
        filter.faxOnly = false;
        AddressEntry entry{"uid=x", c.name, "1", "", false};
        EXPECT_EQ(passesFilter(entry, filter), c.found) << c.box << " in " << c.name;
    }
}

TEST(DirectoryText, Utf8IsDecodedAndOtherBytesReadAsWindows1252)
{
    EXPECT_EQ(fromDirectory("Ren\xC3\xA9"
                            "e"),
              QString::fromUtf8("Ren\xC3\xA9"
                                "e"));
    EXPECT_EQ(fromDirectory("Ren\xE9"
                            "e \x80"),
              QString::fromUtf8("Ren\xC3\xA9"
                                "e \xE2\x82\xAC"));
    EXPECT_STREQ(toDirectory(QString::fromUtf8("\xE2\x82\xAC")).Text(), "\xE2\x82\xAC");
    EXPECT_STREQ(toProgramText(QString::fromUtf8("\xC3\xA9\xE2\x82\xAC")).Text(), "\xE9\x80");
}
