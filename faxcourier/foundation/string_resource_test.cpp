#include "faxcourier/foundation/korva_string.h"

#include "faxcourier/foundation/log.h"
#include "faxcourier/foundation/resource_strings.h"
#include "faxcourier/foundation/string_allocator.h"
#include "platform/registry_store.h"
#include "platform/testing/scoped_seam.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <string>

using korva::String;
using korva::testing::readWholeFile;
using korva::testing::TempHome;

TEST(ResourceStrings, CompiledInCaptions)
{
    String caption(korva::IDS_CAPTION_PRINTER);
    EXPECT_STREQ(caption.Text(), "KORVA Fax Printer");
    String fax;
    EXPECT_TRUE(fax.LoadResourceString(korva::IDS_CAPTION_FAX));
    EXPECT_STREQ(fax.Text(), "KORVA Fax");
}

TEST(ResourceStrings, MissingEntryLogsAWarningAndStaysEmpty)
{
    TempHome home;
    String missing(4321u);
    EXPECT_STREQ(missing.Text(), "");
    EXPECT_EQ(readWholeFile(korva::logFilePath()), "Warning: implicit LoadString(4321) failed\n");
    String s("old");
    EXPECT_FALSE(s.LoadResourceString(4321));
    EXPECT_STREQ(s.Text(), "");
}

TEST(ResourceStrings, LongEntriesAreLoadedWhole)
{
    // Lengths around each point where the loader has to grow its buffer.
    std::vector<std::string> texts;
    std::vector<korva::ResourceString> table;
    for (size_t length : {253u, 254u, 255u, 256u, 257u, 509u, 510u, 511u, 766u, 2000u}) {
        std::string text;
        for (size_t i = 0; i < length; ++i)
            text += char('a' + i % 23);
        texts.push_back(text);
    }
    for (size_t i = 0; i < texts.size(); ++i)
        table.push_back({unsigned(100 + i), texts[i].c_str()});
    korva::testing::ScopedSeam own(korva::setResourceStringTable, table);
    for (size_t i = 0; i < texts.size(); ++i) {
        String s;
        EXPECT_TRUE(s.LoadResourceString(unsigned(100 + i)));
        EXPECT_EQ(std::string(s.Text()), texts[i]) << "length " << texts[i].size();
        EXPECT_EQ(s.Length(), texts[i].size());
        EXPECT_GE(s.Capacity(), s.Length() + 1);
    }
}

TEST(ResourceStrings, LoaderFollowsLoadStringCutRule)
{
    char buffer[4];
    korva::ResourceString entry{7, "abcdef"};
    korva::testing::ScopedSeam own(korva::setResourceStringTable, {&entry, 1});
    EXPECT_EQ(korva::LoadResourceText(7, buffer, sizeof buffer), 3);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(korva::LoadResourceText(8, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(korva::LoadResourceText(7, buffer, 0), 0);
}

namespace {
void* failingAllocator(size_t) { return nullptr; }
}  // namespace

TEST(ResourceStrings, OutOfMemoryWhileGrowingKeepsTheCutText)
{
    TempHome home;
    std::string text(600, 'q');
    korva::ResourceString entry{9, text.c_str()};
    korva::testing::ScopedSeam own(korva::setResourceStringTable, {&entry, 1});
    String s;
    ASSERT_TRUE(s.Reserve(300));  // room for the first 256 bytes, not for 512
    bool loaded = false;
    {
        korva::testing::ScopedSeam allocator(korva::setStringAllocator, &failingAllocator);
        loaded = s.LoadResourceString(9);
    }
    EXPECT_TRUE(loaded);
    EXPECT_EQ(std::string(s.Text()), text.substr(0, 255));
    EXPECT_EQ(s.Capacity(), 428u);
    EXPECT_NE(readWholeFile(korva::logFilePath()).find("Out Of Memory on String Resize"), std::string::npos);
}

TEST(StringRegistry, ReadsValuesOfAnySizeAndFallsBack)
{
    TempHome home;
    korva::RegistryKey key;
    ASSERT_EQ(key.create(korva::RegistryHive::CurrentUser, "SOFTWARE\\ZETH\\KORVAFaxDriver"), korva::kRegOk);
    std::string big(5000, 'c');
    String value(big.c_str());
    EXPECT_EQ(value.WriteRegistryValue(key, "CoverPages"), korva::kRegOk);
    String read;
    read.Assign("old");
    EXPECT_TRUE(read.ReadRegistryValue(key, "CoverPages"));
    EXPECT_EQ(std::string(read.Text()), big);
    EXPECT_EQ(read.Length(), 5000u);

    EXPECT_FALSE(read.ReadRegistryValue(key, "Missing", "fallback"));
    EXPECT_STREQ(read.Text(), "fallback");
    EXPECT_FALSE(read.ReadRegistryValue(key, "Missing"));
    EXPECT_STREQ(read.Text(), "");
}

TEST(StringRegistry, EmptyValueIsStoredAsOneNul)
{
    TempHome home;
    korva::RegistryKey key;
    ASSERT_EQ(key.create(korva::RegistryHive::CurrentUser, "SOFTWARE\\ZETH\\KORVAFaxDriver"), korva::kRegOk);
    EXPECT_EQ(String().WriteRegistryValue(key, "Company"), korva::kRegOk);
    uint32_t type = 0, size = 0;
    ASSERT_EQ(key.queryValue("Company", &type, nullptr, &size), korva::kRegOk);
    EXPECT_EQ(type, korva::REG_SZ);
    EXPECT_EQ(size, 1u);
    String read("x");
    EXPECT_TRUE(read.ReadRegistryValue(key, "company", "default"));
    EXPECT_STREQ(read.Text(), "");
}
