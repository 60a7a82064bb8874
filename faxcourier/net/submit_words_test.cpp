// Why a fax was not sent reads as words, never as numbers, ports or codes.

#include "faxcourier/net/submit_words.h"

#include "faxcourier/net/socket_client.h"
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace korva {
namespace {

using testing::ReaderLanguage;

TEST(SubmitWords, EveryKindOfFailureReadsAsWords)
{
    struct Case {
        std::string words;
        const char* expected;
    };
    const Case cases[] = {
        {socketFailureWords(SubmitStage::Connect, ECONNREFUSED), "the server did not answer"},
        {socketFailureWords(SubmitStage::Connect, EHOSTUNREACH), "the server did not answer"},
        {socketFailureWords(SubmitStage::Greeting, kSocketTimedOut), "the server did not answer"},
        {socketFailureWords(SubmitStage::Connect, kSocketHostNotFound), "the server's name could not be looked up"},
        {socketFailureWords(SubmitStage::Logon, kSocketPeerClosed), "the server broke off the connection"},
        {socketFailureWords(SubmitStage::Message, ECONNRESET), "the server broke off the connection"},
        {socketFailureWords(SubmitStage::Message, kSocketAborted), "faxcourier ended before the fax was sent"},
        {socketFailureWords(SubmitStage::Logon, kSocketLineTooLong), "the server's answer could not be read"},
        {socketFailureWords(SubmitStage::Sender, ENOMEM), "the connection to the server failed"},
        {refusalWords(SubmitStage::Greeting, "421 4.3.2 Service not available"),
         "the server turned the connection away: Service not available"},
        {refusalWords(SubmitStage::Logon, "535 5.7.8 Authentication credentials invalid"),
         "the log-on was refused: Authentication credentials invalid"},
        {refusalWords(SubmitStage::Logon, "535"), "the log-on was refused"},
        {refusalWords(SubmitStage::Sender, "550 sender refused"),
         "the sender's e-mail address was refused: sender refused"},
        {refusalWords(SubmitStage::FaxAddress, "550 5.1.1 Only the fax mailbox accepts mail here"),
         "the fax address was refused: Only the fax mailbox accepts mail here"},
        {refusalWords(SubmitStage::Message, "554-5.6.0 No fax number in the message"),
         "the server refused the fax: No fax number in the message"},
        {certificateWords(CertificateProblem::Expired, ""), "the certificate was refused: certificate has expired"},
        {certificateWords(CertificateProblem::Other, "unsupported certificate purpose"),
         "the certificate was refused: unsupported certificate purpose"},
        {tlsFailureWords("wrong version number"), "the encrypted connection failed: wrong version number"},
        {noEncryptionWords(), "the server offers no encryption (STARTTLS)"},
        {unreadableDocumentWords(), "a document of the fax cannot be read"},
        {unusableSettingWords("Server is empty; it must name the mail server"),
         "the settings cannot be used: Server is empty; it must name the mail server"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.words, c.expected);
}

TEST(SubmitWords, ServerTextKeepsOnlyTheFirstLineWithoutCodes)
{
    EXPECT_EQ(serverReplyText("250 3.1 is a version\r\n250 more"), "3.1 is a version");
    EXPECT_EQ(serverReplyText("451 4.3.0 Could not store the fax  "), "Could not store the fax");
    EXPECT_EQ(serverReplyText("go away"), "go away");
    EXPECT_EQ(serverReplyText(std::string(600, 'x')).size(), 200u);
}

// The outbox stores the English words; the reader sees them in their
// language, with the server's own text as it came.
TEST(SubmitWords, StoredWordsAreShownInTheReadersLanguage)
{
    struct Case {
        const char* language;
        std::string stored;
        const char* shown;
    };
    const Case cases[] = {
        {"de", socketFailureWords(SubmitStage::Connect, kSocketTimedOut), "der Server hat nicht geantwortet"},
        {"fr", socketFailureWords(SubmitStage::Connect, kSocketTimedOut), "le serveur n'a pas r\u00e9pondu"},
        {"de", refusalWords(SubmitStage::Logon, "535 5.7.8 Authentication credentials invalid"),
         "die Anmeldung wurde abgelehnt: Authentication credentials invalid"},
        {"fr", refusalWords(SubmitStage::Logon, "535 5.7.8 Authentication credentials invalid"),
         "l'authentification a \u00e9t\u00e9 refus\u00e9e\u00a0: Authentication credentials invalid"},
        {"de", certificateWords(CertificateProblem::Expired, ""),
         "das Zertifikat wurde abgelehnt: Zertifikat ist abgelaufen"},
        {"de", "421 still busy", "421 still busy"},
        {"fr", "", ""},
    };
    for (const Case& c : cases) {
        ReaderLanguage language(c.language);
        EXPECT_EQ(shownReason(c.stored), c.shown) << c.language;
    }
    ReaderLanguage english("en");
    EXPECT_EQ(shownReason(noEncryptionWords()), noEncryptionWords());
}

// Every text the functions make has its translation, so none shows in
// English beside translated ones.
TEST(SubmitWords, EveryWordHasItsTranslation)
{
    const std::string made[] = {
        socketFailureWords(SubmitStage::Message, kSocketAborted),
        socketFailureWords(SubmitStage::Connect, kSocketHostNotFound),
        socketFailureWords(SubmitStage::Connect, kSocketTimedOut),
        socketFailureWords(SubmitStage::Logon, kSocketPeerClosed),
        socketFailureWords(SubmitStage::Logon, kSocketLineTooLong),
        socketFailureWords(SubmitStage::Sender, ENOMEM),
        refusalWords(SubmitStage::Greeting, "421"),
        refusalWords(SubmitStage::Greeting, "421 busy"),
        refusalWords(SubmitStage::Logon, "535"),
        refusalWords(SubmitStage::Logon, "535 no"),
        refusalWords(SubmitStage::Sender, "550"),
        refusalWords(SubmitStage::Sender, "550 no"),
        refusalWords(SubmitStage::FaxAddress, "550"),
        refusalWords(SubmitStage::FaxAddress, "550 no"),
        refusalWords(SubmitStage::Message, "554"),
        refusalWords(SubmitStage::Message, "554 no"),
        certificateWords(CertificateProblem::Expired, ""),
        certificateWords(CertificateProblem::NotYetValid, ""),
        certificateWords(CertificateProblem::NotTrusted, ""),
        certificateWords(CertificateProblem::OtherName, ""),
        certificateWords(CertificateProblem::Other, "odd"),
        tlsFailureWords(""),
        tlsFailureWords("odd"),
        noEncryptionWords(),
        unreadableDocumentWords(),
        unusableSettingWords(""),
        unusableSettingWords("odd"),
    };
    for (const char* language : {"de", "fr"}) {
        ReaderLanguage reader(language);
        for (const std::string& words : made)
            EXPECT_NE(shownReason(words), words) << language;
    }
}

}  // namespace
}  // namespace korva
