#include "faxcourier/addressbook/saved_entry.h"

#include "faxcourier/addressbook/address_entries.h"

#include <gtest/gtest.h>

using namespace korva;

namespace {

class SavedEntryTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::lock_guard lock(addressBookLock);
        addressEntries = {{"MAIL=a,carl", "Anna", "1", "A Ltd", false},
                          {"MAIL=b,carl", "Berta", "2", "", true},
                          {"mail=b,carl", "Lower", "3", "", true},
                          {"MAIL=b,carl", "Twin", "4", "", true}};
    }
    void TearDown() override
    {
        std::lock_guard lock(addressBookLock);
        addressEntries.clear();
    }

    static std::string at(size_t p, String AddressEntry::*field)
    {
        std::lock_guard lock(addressBookLock);
        return (addressEntries[p].*field).Text();
    }
};

}  // namespace

TEST_F(SavedEntryTable, AnExistingEntryIsUpdatedAtTheFirstExactMatch)
{
    unsigned long generation = 99;
    long p = RecordSavedEntry("MAIL=b,carl", SavedEntry{"MAIL=c,carl", "Cleo", "7;8", "C Ltd"}, &generation);
    EXPECT_EQ(p, 1);
    EXPECT_EQ(generation, addressEntriesGeneration);
    EXPECT_EQ(at(1, &AddressEntry::dn), "MAIL=c,carl");
    EXPECT_EQ(at(1, &AddressEntry::name), "Cleo");
    EXPECT_EQ(at(1, &AddressEntry::fax), "7;8");
    EXPECT_EQ(at(1, &AddressEntry::company), "C Ltd");
    EXPECT_EQ(at(3, &AddressEntry::name), "Twin");
    std::lock_guard lock(addressBookLock);
    EXPECT_TRUE(addressEntries[1].deletable);  // unchanged
    EXPECT_EQ(addressEntries.size(), 4u);
}

TEST_F(SavedEntryTable, TheIdentifierIsComparedByteForByte)
{
    EXPECT_EQ(RecordSavedEntry("mail=b,carl", SavedEntry{"mail=b,carl", "Low", "3", ""}), 2);
    EXPECT_EQ(at(1, &AddressEntry::name), "Berta");
    EXPECT_EQ(RecordSavedEntry("MAIL=z,carl", SavedEntry{"MAIL=z,carl", "Nobody", "", ""}), -1);
    std::lock_guard lock(addressBookLock);
    EXPECT_EQ(addressEntries.size(), 4u);
}

TEST_F(SavedEntryTable, ANewEntryIsAppendedDeletable)
{
    EXPECT_EQ(RecordSavedEntry("", SavedEntry{"MAIL=n,carl", "New", "9", ""}), 4);
    std::lock_guard lock(addressBookLock);
    ASSERT_EQ(addressEntries.size(), 5u);
    EXPECT_STREQ(addressEntries[4].dn.Text(), "MAIL=n,carl");
    EXPECT_TRUE(addressEntries[4].deletable);
}

TEST_F(SavedEntryTable, AFailedSaveChangesNothing)
{
    EXPECT_EQ(RecordSavedEntry("MAIL=a,carl", SavedEntry{"", "Changed", "5", ""}), -1);
    EXPECT_EQ(RecordSavedEntry("", SavedEntry{"", "New", "9", ""}), -1);
    EXPECT_EQ(at(0, &AddressEntry::name), "Anna");
    std::lock_guard lock(addressBookLock);
    EXPECT_EQ(addressEntries.size(), 4u);
}
