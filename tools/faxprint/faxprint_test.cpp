// faxprint end to end: real files, the real program, the built exit
// library, and the TIFF it leaves read back with libtiff.
#include "bandsink64/testing/sink_test_support.h"
#include "platform/testing/tiff_pages.h"
#include "controlarea/control_record.h"
#include "platform/testing/pdf_bytes.h"
#include "platform/testing/test_support.h"
#include "platform/user_name.h"

#include <leptonica/allheaders.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sstream>

using namespace korva;
using namespace korva::testing;

namespace {

// A PDF of 2 x 2 inch pages, each a filled black rectangle given in points
// from the lower left corner, and a line of text.
struct PdfPage {
    int x, y, w, h;
    std::string text;
};

std::string handMadePdf(const std::vector<PdfPage>& pages)
{
    std::vector<std::string> objects;
    std::string kids;
    const size_t fontObject = 3 + 2 * pages.size();
    for (size_t i = 0; i < pages.size(); ++i)
        kids += std::to_string(3 + 2 * i) + " 0 R ";
    objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
    objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages.size()) + " >>");
    for (size_t i = 0; i < pages.size(); ++i) {
        const PdfPage& p = pages[i];
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 144 144] /Contents " +
                          std::to_string(4 + 2 * i) + " 0 R /Resources << /Font << /F1 " + std::to_string(fontObject) +
                          " 0 R >> >> >>");
        std::ostringstream content;
        content << "0 0 0 rg " << p.x << " " << p.y << " " << p.w << " " << p.h << " re f\n"
                << "BT /F1 10 Tf 10 10 Td (" << p.text << ") Tj ET\n";
        objects.push_back("<< /Length " + std::to_string(content.str().size()) + " >>\nstream\n" + content.str() +
                          "endstream");
    }
    objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");

    return korva::testing::pdfFromObjects(objects);
}

// A white picture of `w` x `h` with a rectangle of colour `rgb`.
void writePicture(const std::string& path, l_int32 format, int w, int h, int x0, int y0, int x1, int y1,
                  l_uint32 rgb = 0)
{
    Pix* pix = pixCreate(w, h, 32);
    pixSetAllArbitrary(pix, 0xffffff00);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            pixSetPixel(pix, x, y, rgb);
    ASSERT_EQ(pixWrite(path.c_str(), pix, format), 0);
    pixDestroy(&pix);
}

class FaxprintTest : public ::testing::Test {
protected:
    std::string watchFile() const { return home.spool() + "/korvafax.tif"; }
    std::string file(const std::string& name) const { return home.path() + "/" + name; }

    ProcessResult faxprint(std::vector<std::string> args)
    {
        args.insert(args.begin(), binPath("faxprint"));
        return runProcess(args);
    }

    ControlRecord controlRecord() const
    {
        ControlRecord record{};
        std::string bytes = readWholeFile(home.spool() + "/control.dat");
        std::memcpy(&record, bytes.data(), std::min(bytes.size(), sizeof record));
        return record;
    }

    // Black pixels inside [x0, x1) x [y0, y1), counted against all black.
    static double blackShareInside(const TiffPage& page, uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1)
    {
        size_t inside = 0, all = 0;
        for (uint32_t y = 0; y < page.rows.size(); ++y)
            for (uint32_t x = 0; x < page.width; ++x)
                if (page.black(x, y)) {
                    ++all;
                    inside += x >= x0 && x < x1 && y >= y0 && y < y1;
                }
        return all ? double(inside) / double(all) : 0.0;
    }

    TempHome home;
};

TEST_F(FaxprintTest, PdfAndPngBecomeOneDocumentInTheSpoolFolder)
{
    // Page 1: black from 0.5 to 1.5 inch across, 0.25 to 0.75 inch down.
    // Page 2: black in the lower right quarter.
    writeWholeFile(file("letter.pdf"), handMadePdf({{36, 90, 72, 36, "Hello fax"}, {72, 0, 72, 72, "Second page"}}));
    writePicture(file("stamp.png"), IFF_PNG, 160, 120, 40, 30, 80, 60);
    writeExitLogging(home.sysconf(), "3", file("sink.log"));

    ProcessResult run = faxprint({file("letter.pdf"), file("stamp.png")});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    auto pages = readTiffPages(watchFile());
    ASSERT_EQ(pages.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(pages[i].width, 400u);
        EXPECT_EQ(pages[i].height, 400u);
        EXPECT_EQ(pages[i].compression, 3);
        EXPECT_FLOAT_EQ(pages[i].xResolution, 200.0f);
        EXPECT_EQ(pages[i].rowsPerStrip, 256u);
        EXPECT_EQ(pages[i].strips, 2u);
    }
    ASSERT_EQ(pages[0].rows.size(), 400u);
    EXPECT_TRUE(pages[0].black(200, 100));
    EXPECT_FALSE(pages[0].black(200, 220));
    EXPECT_FALSE(pages[0].black(50, 100));
    EXPECT_GT(blackShareInside(pages[0], 98, 48, 302, 152), 0.85) << "black where the PDF is black";
    EXPECT_TRUE(pages[1].black(300, 300));
    EXPECT_FALSE(pages[1].black(100, 100));
    EXPECT_GT(blackShareInside(pages[1], 198, 198, 400, 400), 0.85);
    EXPECT_EQ(pages[2].width, 160u);
    EXPECT_EQ(pages[2].height, 120u);
    EXPECT_DOUBLE_EQ(blackShareInside(pages[2], 40, 30, 80, 60), 1.0);
    EXPECT_TRUE(pages[2].black(40, 30) && pages[2].black(79, 59));
    EXPECT_FALSE(pages[2].black(39, 30) || pages[2].black(80, 59));

    ControlRecord record = controlRecord();
    EXPECT_EQ(fieldText(record.userName), currentUserName());
    EXPECT_EQ(fieldText(record.documentName), "letter.pdf");

    auto messages = logMessages(file("sink.log"));
    auto text = std::find(messages.begin(), messages.end(), "TEXT RECEIVED: ");
    ASSERT_NE(text, messages.end());
    EXPECT_EQ(text[1], "Hello fax");
    EXPECT_NE(std::find(messages.begin(), messages.end(), "Second page"), messages.end());
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "startPageExit"), 3);
}

TEST_F(FaxprintTest, UnicodeNamesReachControlDatAsWindows1252)
{
    const struct {
        const char* name;
        const char* stored;
    } cases[] = {
        {"Invoice 42 M\xC3\xBCller", "Invoice 42 M\xFCller"},
        {"\xE2\x82\xAC \xE2\x80\x9EOffer\xE2\x80\x9C", "\x80 \x84Offer\x93"},
        {"\xC5\x81\xC3\xB3\x64\xC5\xBA", "?\xF3\x64?"},  // what Windows-1252 lacks is marked
    };
    writeWholeFile(file("a.pdf"), handMadePdf({{0, 0, 144, 72, "x"}}));
    for (const auto& c : cases) {
        std::filesystem::remove(watchFile());  // the hand-over takes one document at a time
        ProcessResult run = faxprint({"--name", c.name, file("a.pdf")});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(fieldText(controlRecord().documentName), c.stored) << c.name;
    }
}

TEST_F(FaxprintTest, NameJobBandsAndResolutionAsGiven)
{
    writeWholeFile(file("a.pdf"), handMadePdf({{0, 0, 144, 72, "x"}}));
    writeExitLogging(home.sysconf(), "3", file("sink.log"));
    ProcessResult run = faxprint(
        {"--name", "rcpt:555~Ann~Acme %s", "--job-id", "77", "--dpi", "200x100", "--band-rows", "64", file("a.pdf")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto pages = readTiffPages(watchFile());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].width, 400u);
    EXPECT_EQ(pages[0].height, 200u);
    EXPECT_FLOAT_EQ(pages[0].yResolution, 100.0f);
    EXPECT_EQ(pages[0].rowsPerStrip, 64u);
    EXPECT_EQ(pages[0].strips, 4u);
    EXPECT_TRUE(pages[0].black(200, 150));
    EXPECT_FALSE(pages[0].black(200, 50));
    EXPECT_EQ(fieldText(controlRecord().documentName), "rcpt:555~Ann~Acme %s");
    EXPECT_EQ(logMessages(file("sink.log")).at(0), "startDocExit - jobID: 77, pszDocName: rcpt:555~Ann~Acme %s");
}

TEST_F(FaxprintTest, ColourBandsKeepTheColours)
{
    l_uint32 red = 0;
    composeRGBPixel(220, 10, 30, &red);
    writePicture(file("red.png"), IFF_PNG, 101, 20, 10, 5, 20, 15, red);
    ProcessResult run = faxprint({"--format", "colour", file("red.png")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto pages = readTiffPages(watchFile());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].photometric, 2);
    EXPECT_EQ(pages[0].width, 101u);
    const uint8_t* inside = pages[0].rgb(12, 7);
    EXPECT_EQ(std::vector<uint8_t>(inside, inside + 3), (std::vector<uint8_t>{220, 10, 30}));
    const uint8_t* outside = pages[0].rgb(100, 19);
    EXPECT_EQ(std::vector<uint8_t>(outside, outside + 3), (std::vector<uint8_t>{255, 255, 255}));
}

TEST_F(FaxprintTest, GreyBandsAreStoredAsEqualSamples)
{
    writePicture(file("grey.png"), IFF_PNG, 30, 10, 0, 0, 15, 10);
    ProcessResult run = faxprint({"--format", "grey", file("grey.png")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto pages = readTiffPages(watchFile());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].samplesPerPixel, 3);
    EXPECT_EQ(pages[0].rgb(3, 3)[0], 0);
    EXPECT_EQ(pages[0].rgb(20, 3)[1], 255);
}

TEST_F(FaxprintTest, EveryPageOfATiffAndAJpeg)
{
    Pix* first = pixCreate(64, 40, 1);
    Pix* second = pixCreate(64, 40, 1);
    pixSetPixel(second, 10, 10, 1);
    ASSERT_EQ(pixWriteTiff(file("two.tif").c_str(), first, IFF_TIFF_G4, "w"), 0);
    ASSERT_EQ(pixWriteTiff(file("two.tif").c_str(), second, IFF_TIFF_G4, "a"), 0);
    pixDestroy(&first);
    pixDestroy(&second);
    writePicture(file("photo.jpg"), IFF_JFIF_JPEG, 48, 16, 0, 0, 24, 16);

    ProcessResult run = faxprint({file("two.tif"), file("photo.jpg")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto pages = readTiffPages(watchFile());
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_FALSE(pages[0].black(10, 10));
    EXPECT_TRUE(pages[1].black(10, 10));
    EXPECT_EQ(pages[2].width, 48u);
    EXPECT_TRUE(pages[2].black(5, 8));
    EXPECT_FALSE(pages[2].black(40, 8));
    EXPECT_EQ(fieldText(controlRecord().documentName), "two.tif");
}

class FaxprintRefusalTest : public FaxprintTest {
protected:
    void SetUp() override
    {
        // A document still waiting for faxcourier, which a refused print
        // must not replace.
        std::filesystem::create_directories(home.spool());
        writeWholeFile(watchFile(), "waiting");
        writeWholeFile(file("good.pdf"), handMadePdf({{0, 0, 10, 10, "x"}}));
    }
    void expectNothingPrinted(const ProcessResult& run, const std::string& saying)
    {
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(saying), std::string::npos) << run.err;
        EXPECT_EQ(readWholeFile(watchFile()), "waiting");
        EXPECT_FALSE(std::filesystem::exists(home.spool() + "/control.dat"));
    }
};

TEST_F(FaxprintRefusalTest, MissingFile)
{
    expectNothingPrinted(faxprint({file("good.pdf"), file("missing.pdf")}),
                         "faxprint: " + file("missing.pdf") + ": No such file or directory; nothing printed");
}

TEST_F(FaxprintRefusalTest, FileThatIsNoDocument)
{
    writeWholeFile(file("notes.txt"), "just some words\n");
    expectNothingPrinted(faxprint({file("good.pdf"), file("notes.txt")}),
                         file("notes.txt") + ": not a PDF, PNG, JPEG, PNM or TIFF file");
}

TEST_F(FaxprintRefusalTest, BrokenPdf)
{
    writeWholeFile(file("broken.pdf"), "%PDF-1.4\nthis is not really a PDF\n");
    expectNothingPrinted(faxprint({file("broken.pdf")}), file("broken.pdf") + ": not a readable PDF document");
}

TEST_F(FaxprintRefusalTest, FolderInsteadOfAFile)
{
    expectNothingPrinted(faxprint({home.path()}), home.path() + ": is a folder, not a document");
}

TEST_F(FaxprintRefusalTest, LibraryThatCannotBeLoaded)
{
    writeWholeFile(file("fake.so"), "not a library");
    expectNothingPrinted(faxprint({"--library", file("fake.so"), file("good.pdf")}),
                         "faxprint: cannot load the exit library " + file("fake.so"));
    expectNothingPrinted(faxprint({"--library", file("none.so"), file("good.pdf")}), "cannot load the exit library");
}

TEST_F(FaxprintRefusalTest, UsageErrorExitsWithTwo)
{
    ProcessResult run = faxprint({"--format", "sepia", file("good.pdf")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("Usage: faxprint"), std::string::npos);
    EXPECT_EQ(readWholeFile(watchFile()), "waiting");
}

TEST_F(FaxprintTest, LibraryRefusingBandsGivesAFailingExitStatus)
{
    // The data home is a file: no spool folder, so no print file opens.
    writeWholeFile(file("data-file"), "x");
    writeWholeFile(file("a.pdf"), handMadePdf({{0, 0, 10, 10, "x"}}));
    ProcessResult run = runProcess({binPath("faxprint"), file("a.pdf")}, {}, {{"XDG_DATA_HOME", file("data-file")}});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("faxprint: page 1: the exit library answered -1"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(": Cannot open . Check to make sure"), std::string::npos) << run.err;
}

// A print the exit library could not hand over is no success: the CUPS
// backend cancels the job on a failing status.
TEST_F(FaxprintTest, DocumentNotHandedOverGivesAFailingExitStatusAndSaysWhy)
{
    struct Row {
        const char* fault;
        std::function<void(const std::string& spool)> arrange;
    };
    const std::vector<Row> rows = {
        {"control.dat a folder",
         [](const std::string& spool) { std::filesystem::create_directories(spool + "/control.dat/x"); }},
        {"control.dat a link",
         [](const std::string& spool) { std::filesystem::create_symlink("/etc/hostname", spool + "/control.dat"); }},
        {"korvafax.tif a folder",
         [](const std::string& spool) { std::filesystem::create_directories(spool + "/korvafax.tif/x"); }},
    };
    writeWholeFile(file("a.pdf"), handMadePdf({{0, 0, 10, 10, "x"}}));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        std::filesystem::remove_all(home.spool());
        std::filesystem::create_directories(home.spool());
        row.arrange(home.spool());
        ProcessResult run = faxprint({file("a.pdf")});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find("faxprint: the document was not handed over to KORVA Fax"), std::string::npos)
            << run.err;
        EXPECT_NE(run.err.find("was not faxed. Its print file stays as"), std::string::npos) << run.err;
    }
}

// Messages follow the language; the command's syntax, the exit statuses and
// what is handed to faxcourier do not.
TEST_F(FaxprintTest, SpeaksTheLanguageOfTheEnvironmentButHandsOverTheSameBytes)
{
    writeWholeFile(file("a.pdf"), handMadePdf({{0, 0, 10, 10, "x"}}));
    const std::vector<std::string> print = {binPath("faxprint"), "--name", "Rechnung", "--job-id", "7", file("a.pdf")};
    ASSERT_EQ(runProcess(print, {}, {{"LANGUAGE", "en"}, {"LANG", "C"}}).exitCode, 0);
    const std::string english = readWholeFile(home.spool() + "/control.dat");
    ASSERT_EQ(english.size(), controlRecordSize);

    struct Row {
        const char* language;
        const char* locale;
        const char* usageError;
        const char* usage;
        const char* folder;
        const char* notHandedOver;
        const char* box;
    };
    const Row rows[] = {
        {"de", "de_DE.UTF-8", "faxprint: --format erwartet mono, grey oder colour, nicht „sepia“\n",
         "Aufruf: faxprint [--name DOCNAME] [--job-id N] [--format mono|grey|colour]\n"
         "                 [--dpi X[xY]] [--band-rows N] [--library PATH] FILE...\n",
         ": ist ein Ordner, kein Dokument; nichts gedruckt\n",
         "faxprint: das Dokument wurde nicht an KORVA Fax übergeben und wird nicht gefaxt\n",
         "konnte nicht an KORVA Fax übergeben werden und wurde nicht gefaxt. Seine Druckdatei bleibt als "},
        {"fr", "fr_FR.UTF-8", "faxprint: --format attend mono, grey ou colour, et non «\u00a0sepia\u00a0»\n",
         "Utilisation\u00a0: faxprint [--name DOCNAME] [--job-id N] [--format mono|grey|colour]\n"
         "                       [--dpi X[xY]] [--band-rows N] [--library PATH] FILE...\n",
         "\u00a0: est un dossier, pas un document\u00a0; rien n'a été imprimé\n",
         "faxprint: le document n'a pas été transmis à KORVA Fax et ne sera pas faxé\n",
         "n'a pas pu être transmis à KORVA Fax et n'a pas été faxé. Son fichier d'impression reste sous "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.language);
        const std::vector<std::pair<std::string, std::string>> env = {{"LANGUAGE", row.language}, {"LANG", row.locale}};
        ProcessResult wrong = runProcess({binPath("faxprint"), "--format", "sepia", file("a.pdf")}, {}, env);
        EXPECT_EQ(wrong.exitCode, 2);
        EXPECT_EQ(wrong.err.rfind(std::string(row.usageError) + row.usage, 0), 0u) << wrong.err;

        ProcessResult folder = runProcess({binPath("faxprint"), home.path()}, {}, env);
        EXPECT_EQ(folder.exitCode, 1);
        EXPECT_EQ(folder.err, "faxprint: " + home.path() + row.folder);

        std::filesystem::remove(watchFile());
        std::filesystem::remove(home.spool() + "/control.dat");
        ProcessResult printed = runProcess(print, {}, env);
        EXPECT_EQ(printed.exitCode, 0) << printed.err;
        EXPECT_EQ(readWholeFile(home.spool() + "/control.dat"), english);

        // The exit library's message box speaks the language too.
        std::filesystem::remove_all(home.spool());
        std::filesystem::create_directories(home.spool() + "/control.dat/x");
        ProcessResult refused = runProcess(print, {}, env);
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_NE(refused.err.find(row.notHandedOver), std::string::npos) << refused.err;
        EXPECT_NE(refused.err.find(row.box), std::string::npos) << refused.err;
        std::filesystem::remove_all(home.spool());
    }
}

}  // namespace
