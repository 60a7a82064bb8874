// faxconvert as an outside program uses it: a running faxcourier converts
// the printed files into the named TIFF, the finished event ends the wait,
// and the preset data that was there before is back.

#include "faxcourier/app/testing/courier_process.h"
#include "platform/testing/test_support.h"
#include "platform/testing/tiff_pages.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <chrono>
#include <filesystem>

using namespace korva::testing;
using korva::app::testing::CourierProcess;
using korva::app::testing::waitForFileText;

TEST(FaxConvertWithCourier, ConvertsIntoFaxFormAndPutsThePresetBack)
{
    TempHome home;
    auto preset = runProcess({binPath("faxpreset"), "-s", "Weekly report", "-c", "Urgent", "-r", "0301~Anna~Acme"});
    ASSERT_EQ(preset.exitCode, 0) << preset.out;
    std::string before = readWholeFile(home.spool() + "/control.dat");

    CourierProcess courier({"-debug"}, home.path() + "/courier.err");
    ASSERT_TRUE(waitForFileText(home.stateHome() + "/KORVAFax/korvafax.log", "Watching "));

    std::string output = home.path() + "/out/letter fax.tif";
    std::filesystem::create_directories(home.path() + "/out");
    auto start = std::chrono::steady_clock::now();
    auto r =
        runProcess({binPath("faxconvert"), sourcePath("samples/letter.pdf"), output, "--timeout", "60"}, {}, {}, 90000);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err << readWholeFile(home.path() + "/courier.err");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));

    std::vector<TiffPage> pages = readTiffPages(output);
    ASSERT_EQ(pages.size(), 2u);
    for (const TiffPage& page : pages) {
        EXPECT_EQ(page.width, 1728u);
        EXPECT_EQ(page.bitsPerSample, 1u);
        EXPECT_EQ(page.compression, COMPRESSION_CCITTFAX3);
        EXPECT_FLOAT_EQ(page.xResolution, 200.0f);
        EXPECT_FLOAT_EQ(page.yResolution, 192.0f);
    }
    // Only the conversion happened: no document waits, nothing was sent.
    EXPECT_EQ(readWholeFile(home.spool() + "/control.dat"), before);
    EXPECT_FALSE(std::filesystem::exists(home.spool() + "/korvafax.tif"));
    EXPECT_TRUE(courier.running());
}
