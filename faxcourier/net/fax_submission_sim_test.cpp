// SubmitFax against korva-sim, an independent SMTP server and MIME reader:
// what the server stored is read back from its JSON file and its decoded
// attachments.

#include "faxcourier/foundation/server_error.h"
#include "faxcourier/foundation/server_error_capture.h"
#include "faxcourier/net/fax_submission.h"
#include "platform/testing/test_support.h"
#include "platform/testing/tiff_pages.h"
#include "tools/korva-sim/testing/korva_sim_process.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <filesystem>
#include <string>
#include <vector>

namespace korva {
namespace {

using testing::KorvaSimProcess;
using testing::readTiffPages;
using testing::readWholeFile;

// Prints the fields of a stored fax, one per line, as 8-bit text.
const char* kFlattenJson = R"(
import json, sys
r = json.load(open(sys.argv[1], encoding="utf-8"))
out = []
e = r["envelope"]
out += ["auth_user=" + e["auth_user"], "mail_from=" + e["mail_from"], "rcpt_to=" + ",".join(e["rcpt_to"])]
out += ["subject=" + r["subject"], "from=" + r["from"], "to=" + r["to"]]
out += ["sender." + k + "=" + v for k, v in r["sender"].items()]
out += ["cover_page=" + str(r["cover_page"])]
out += ["recipient=" + "|".join([x["fax"], x["name"], x["company"]]) for x in r["recipients"]]
out += ["comments=" + r["comments"].replace("\n", "\\n")]
for a in r["attachments"]:
    pages = ";".join("%dx%d@%sx%s" % (p["width"], p["length"], p["x_resolution"], p["y_resolution"]) for p in a["geometry"])
    out.append("attachment=%s|%s|%d|%d|%s" % (a["name"], a["file"], a["size"], a["pages"], pages))
out.append("problems=%d" % len(r["problems"]))
sys.stdout.buffer.write(("\n".join(out) + "\n").encode("latin-1"))
)";

// A Group 3 fax document of pages 1728 pixels wide, `lengths` rows each.
void writeFaxTiff(const std::string& path, const std::vector<uint32_t>& lengths)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tiff, nullptr);
    std::vector<unsigned char> row(1728 / 8);
    for (size_t page = 0; page < lengths.size(); ++page) {
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 1728u);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, lengths[page]);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX3);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tiff, TIFFTAG_XRESOLUTION, 200.0f);
        TIFFSetField(tiff, TIFFTAG_YRESOLUTION, 192.0f);
        TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tiff, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        TIFFSetField(tiff, TIFFTAG_PAGENUMBER, static_cast<uint16_t>(page), static_cast<uint16_t>(lengths.size()));
        for (uint32_t y = 0; y < lengths[page]; ++y) {
            for (size_t x = 0; x < row.size(); ++x)
                row[x] = static_cast<unsigned char>((x + y + page) % 7 == 0 ? 0xF0 : 0);
            ASSERT_EQ(TIFFWriteScanline(tiff, row.data(), y, 0), 1);
        }
        ASSERT_TRUE(TIFFWriteDirectory(tiff));
    }
    TIFFClose(tiff);
}

class FaxSubmissionToKorvaSim : public ::testing::Test {
protected:
    FaxSubmissionToKorvaSim() : spool(home.path() + "/received"), sim(spool, "anna", "s3cret", "fax@korva.example")
    {
        settings.Server = "127.0.0.1";
        settings.SMTPServerPort = static_cast<uint32_t>(sim.port("smtp"));
        settings.Username = "anna";
        settings.Password = "s3cret";
        settings.EmailAddress = "anna@example.com";
        settings.FaxAddress = "fax@korva.example";
    }

    std::string storedFields(int number)
    {
        char name[32];
        std::snprintf(name, sizeof name, "/%04d.json", number);
        testing::ProcessResult result =
            testing::runProcess({"/usr/bin/python3", "-I", "-c", kFlattenJson, spool + name});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result.out;
    }

    testing::TempHome home;
    std::string spool;
    KorvaSimProcess sim;
    CapturedServerErrors errors;
    Settings settings;
    FaxJob job;
};

TEST_F(FaxSubmissionToKorvaSim, TwoDocumentFaxArrivesParsed)
{
    settings.RealName = "J\xFCrgen \xD6lm";
    settings.Company = "\xD6lm & Co";
    settings.PhoneNumber = "+49 30 1";
    settings.FaxNumber = "+49 30 2";
    job.subject = "Offer 17";
    job.coverPage = "urgent";
    job.recipients = {"0301 555~Berta Blau~Blau KG", "0402 666~Carl Cyan~", "0503 777~Dora~Dunkel AG"};
    job.comments = "Dear all,\r\n.\r\nsee attached.\r\n\r\n";
    FaxDocument first, second;
    first.file = (home.path() + "/korvafax1.tif").c_str();
    second.file = (home.path() + "/korvafax2.tif").c_str();
    writeFaxTiff(first.file.Text(), {300, 200});
    writeFaxTiff(second.file.Text(), {150});
    job.documents = {first, second};

    ASSERT_TRUE(SubmitFax(nullptr, job.documents, job, settings));
    EXPECT_TRUE(errors.boxes().empty());
    EXPECT_EQ(storedFields(1),
              "auth_user=anna\n"
              "mail_from=anna@example.com\n"
              "rcpt_to=fax@korva.example\n"
              "subject=Offer 17\n"
              "from=\"J\xFCrgen \xD6lm\" <anna@example.com>\n"
              "to=fax@korva.example\n"
              "sender.RealName=J\xFCrgen \xD6lm\n"
              "sender.Company=\xD6lm & Co\n"
              "sender.PhoneNumber=+49 30 1\n"
              "sender.FaxNumber=+49 30 2\n"
              "cover_page=urgent\n"
              "recipient=0301 555|Berta Blau|Blau KG\n"
              "recipient=0402 666|Carl Cyan|\n"
              "recipient=0503 777|Dora|Dunkel AG\n"
              "comments=Dear all,\\n.\\nsee attached.\n"
              "attachment=korvafax_1.fmf|0001-korvafax_1.tif|" +
                  std::to_string(std::filesystem::file_size(first.file.Text())) +
                  "|2|1728x300@200x192;1728x200@200x192\n"
                  "attachment=korvafax_3.fmf|0001-korvafax_3.tif|" +
                  std::to_string(std::filesystem::file_size(second.file.Text())) +
                  "|1|1728x150@200x192\n"
                  "problems=0\n");
    EXPECT_EQ(readWholeFile(spool + "/0001-korvafax_1.tif"), readWholeFile(first.file.Text()));
    EXPECT_EQ(readWholeFile(spool + "/0001-korvafax_3.tif"), readWholeFile(second.file.Text()));
    EXPECT_EQ(readTiffPages(spool + "/0001-korvafax_1.tif").size(), 2u);
    EXPECT_EQ(readTiffPages(spool + "/0001-korvafax_3.tif").size(), 1u);
    EXPECT_EQ(sim.stop(), 0);
}

TEST_F(FaxSubmissionToKorvaSim, WrongPasswordIsRefusedAndNothingIsStored)
{
    settings.Password = "guess";
    EXPECT_FALSE(SubmitFax(nullptr, job.documents, job, settings));
    ASSERT_EQ(errors.boxes().size(), 1u);
    EXPECT_EQ(errors.boxes()[0].message, "Error logging on to KORVA");
    EXPECT_EQ(errors.boxes()[0].context, "<PASSWORD>");
    EXPECT_EQ(errors.boxes()[0].detail.substr(0, 3), "535");
    EXPECT_EQ(errors.boxes()[0].text.find("guess"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(spool + "/0001.eml"));
}

TEST_F(FaxSubmissionToKorvaSim, OtherRecipientThanTheFaxMailboxIsRefused)
{
    settings.FaxAddress = "boss@korva.example";
    EXPECT_FALSE(SubmitFax(nullptr, job.documents, job, settings));
    ASSERT_EQ(errors.boxes().size(), 1u);
    EXPECT_EQ(errors.boxes()[0].message, "Error sending fax");
    EXPECT_EQ(errors.boxes()[0].context, "RCPT TO:<boss@korva.example>\r\n");
    EXPECT_EQ(errors.boxes()[0].detail.substr(0, 3), "550");
}

}  // namespace
}  // namespace korva
