// What the courier shows a person comes in German or French, while the
// same text for the logs and the outbox stays English.
#include "faxcourier/foundation/server_error.h"
#include "faxcourier/foundation/server_error_capture.h"
#include "faxcourier/net/certificate_problem.h"
#include "faxcourier/settings/server_target.h"
#include "platform/paths.h"
#include "platform/testing/test_support.h"
#include "platform/translation.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

using namespace korva;

namespace {

struct Expected {
    const char* language;
    const char* box;      // a refused certificate's box as shown
    const char* setting;  // the box's last line for an empty Server
    const char* spool;    // the start of a spool folder problem
};

const Expected kReaders[] = {
    {"de",
     "Fehler bei der Anmeldung bei KORVA\nSTLS\nDas Zertifikat von mail.example wurde abgelehnt: nicht "
     "vertrauenswürdig.",
     "Die Serveradresse ist leer; sie muss den Mailserver nennen", "Der Spool-Ordner "},
    {"fr",
     "Erreur d'authentification auprès de KORVA\nSTLS\nLe certificat de mail.example a été refusé\u00a0: non "
     "approuvé.",
     "L'adresse du serveur est vide\u00a0; elle doit indiquer le serveur de messagerie", "Le dossier d'attente "},
};

}  // namespace

TEST(ReaderLanguage, BoxesAreShownTranslatedAndKeptInEnglishForTheLogs)
{
    const std::string refusal = certificateRefusal("mail.example", CertificateProblem::NotTrusted);
    const std::string english = "Error logging on to KORVA\nSTLS\n" + refusal;
    korva::testing::TempHome home;
    const std::string folder = home.path() + "/open";
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    for (const Expected& expected : kReaders) {
        SCOPED_TRACE(expected.language);
        korva::testing::ReaderLanguage reader(expected.language);
        CapturedServerErrors boxes;
        ShowServerError(nullptr, QT_TRANSLATE_NOOP("ServerError", "Error logging on to KORVA"), "STLS",
                        String(refusal.c_str()), shownTlsRefusal(refusal));
        const SettingRefusal empty = std::get<SettingRefusal>(serverTarget("", 0));
        reportSettingRefusal(nullptr, empty);
        auto shown = boxes.boxes();
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[0].text, english);
        EXPECT_EQ(shown[0].shown, expected.box);
        EXPECT_EQ(empty.why, "Server is empty; it must name the mail server");
        EXPECT_EQ(shown[1].shown.substr(shown[1].shown.rfind('\n') + 1), expected.setting);

        EXPECT_EQ(shownSpoolFolderProblem(folder).rfind(expected.spool, 0), 0u) << shownSpoolFolderProblem(folder);
        EXPECT_EQ(spoolFolderProblem(folder).rfind("The spool folder ", 0), 0u);
    }
}
