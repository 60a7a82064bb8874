#include "faxcourier/pipeline/fax_document.h"

#include "faxcourier/pipeline/page_geometry.h"
#include "faxcourier/pipeline/testing/test_tiffs.h"
#include "platform/file_ops.h"
#include "platform/testing/test_support.h"
#include "platform/testing/tiff_pages.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tiffio.h>
#include <unistd.h>

using namespace korva;
using namespace korva::testing;

namespace {

FaxPage whitePage()
{
    FaxPage page;
    page.rows = 2146;
    page.bits.assign(size_t(kFaxWidth / 8) * page.rows, 0);
    return page;
}

// Every pixel different from its neighbours: the longest Group 3 coding.
FaxPage busyPage()
{
    FaxPage page = whitePage();
    for (size_t k = 0; k < page.bits.size(); ++k)
        page.bits[k] = (k / (kFaxWidth / 8)) % 2 ? 0x55 : 0xaa;
    return page;
}

off_t fileSize(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

// Appends `page` in a child process that may not make files larger than
// `limit` bytes; true when the child's append succeeded.
bool appendWithSizeLimit(const std::string& path, const FaxPage& page, bool first, off_t limit)
{
    pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit size{rlim_t(limit), rlim_t(limit)};
        setrlimit(RLIMIT_FSIZE, &size);
        _exit(appendFaxPage(path, page, first) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(FaxDocument, PagesAreAppendedInFaxForm)
{
    TempHome home;
    std::string path = home.path() + "/doc.tif";
    ASSERT_TRUE(appendFaxPage(path, busyPage(), true));
    ASSERT_TRUE(appendFaxPage(path, whitePage(), false));
    EXPECT_EQ(korva::testing::fileMode(path), 0600u) << "a fax document is the user's alone";
    bool ok = false;
    std::vector<TiffPage> pages = readTiffPages(path, &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].group3Options, uint32_t(GROUP3OPT_2DENCODING | GROUP3OPT_FILLBITS));
    EXPECT_NEAR(pages[0].blackShare(0, 0, 1728, 2146), 0.5, 0.001);
    EXPECT_TRUE(pages[0].black(0, 0));
    EXPECT_FALSE(pages[0].black(1, 0));
    EXPECT_EQ(pages[1].blackShare(0, 0, 1728, 2146), 0.0);
}

TEST(FaxDocument, FirstPageStartsTheFileAfresh)
{
    TempHome home;
    std::string path = home.path() + "/doc.tif";
    writeWholeFile(path, std::string(100000, 'x'));
    ASSERT_TRUE(appendFaxPage(path, whitePage(), true));
    bool ok = false;
    EXPECT_EQ(readTiffPages(path, &ok).size(), 1u);
    EXPECT_TRUE(ok);
}

TEST(FaxDocument, FailedAppendLeavesTheDocumentAsItWas)
{
    TempHome home;
    std::string path = home.path() + "/doc.tif";
    ASSERT_TRUE(appendFaxPage(path, whitePage(), true));
    off_t before = fileSize(path);
    std::string content = readWholeFile(path);

    EXPECT_FALSE(appendWithSizeLimit(path, busyPage(), false, before + 20000));
    EXPECT_EQ(readWholeFile(path), content);

    // The document takes further pages as if nothing had happened.
    ASSERT_TRUE(appendFaxPage(path, busyPage(), false));
    bool ok = false;
    std::vector<TiffPage> pages = readTiffPages(path, &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_NEAR(pages[1].blackShare(0, 0, 1728, 2146), 0.5, 0.001);
}

TEST(FaxDocument, FailedFirstPageLeavesNoFile)
{
    TempHome home;
    std::string path = home.path() + "/doc.tif";
    EXPECT_FALSE(appendWithSizeLimit(path, busyPage(), true, 20000));
    EXPECT_FALSE(fileExists(path));
}

TEST(FaxDocument, DamagedDocumentIsNotAppendedTo)
{
    TempHome home;
    std::string path = home.path() + "/doc.tif";
    writeWholeFile(path, "II*\0garbage");
    Result<void> appended = appendFaxPage(path, whitePage(), false);
    EXPECT_FALSE(appended);
    EXPECT_NE(appended.error().text.find("damaged"), std::string::npos);
    EXPECT_EQ(readWholeFile(path), "II*\0garbage");
}

}  // namespace
