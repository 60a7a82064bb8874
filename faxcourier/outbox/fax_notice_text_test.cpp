// A notification reads as short sentences: who, what, how many pages, why.

#include "faxcourier/outbox/fax_notice_text.h"

#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

namespace korva {
namespace {

FaxJob job(const char* subject, std::vector<String> recipients, std::vector<uint32_t> pages)
{
    FaxJob made;
    made.subject = subject;
    made.recipients = std::move(recipients);
    for (uint32_t count : pages) {
        FaxDocument document;
        document.pages = count;
        made.documents.push_back(document);
    }
    return made;
}

TEST(FaxNoticeText, SummaryIsShortAndTheBodyNamesSubjectRecipientsPagesAndWhy)
{
    struct Case {
        FaxNoticeKind kind;
        FaxJob job;
        const char* reason;
        const char* summary;
        const char* body;
    };
    const Case cases[] = {
        {FaxNoticeKind::Sent, job("Quarterly report", {"0301 555~Berta Blau~Blau KG"}, {2}), "", "Fax sent",
         "Quarterly report\nTo Berta Blau\n2 pages"},
        {FaxNoticeKind::Sent, job("Invoice", {"+49 30 555~~", "0402 666"}, {1}), "", "Fax sent",
         "Invoice\nTo +49 30 555 and 0402 666\n1 page"},
        {FaxNoticeKind::Waiting, job("Offer", {"0301~Anna~", "0302~Bert~", "0303~Cora~", "0304~Dirk~"}, {3, 4}),
         "the server did not answer", "Fax waiting in the outbox",
         "Offer\nTo Anna, Bert, Cora and Dirk\n7 pages\nThe server did not answer."},
        {FaxNoticeKind::Refused,
         job("Offer", {"0301~Anna~", "0302~Bert~", "0303~Cora~", "0304~Dirk~", "0305~Emil~"}, {1}),
         "the log-on was refused: Authentication credentials invalid", "Fax refused",
         "Offer\nTo Anna, Bert, Cora and 2 more\n1 page\nThe log-on was refused: Authentication credentials "
         "invalid."},
        {FaxNoticeKind::Refused, job("", {"0301~J\xfcrgen M\xfcller~"}, {1}),
         "the certificate was refused: certificate has expired", "Fax refused",
         "No subject\nTo J\xc3\xbcrgen M\xc3\xbcller\n1 page\nThe certificate was refused: certificate has expired."},
        {FaxNoticeKind::Waiting, job("Draft", {}, {1}), "no recipients: waits for the Send Fax dialog",
         "Fax waiting in the outbox", "Draft\n1 page\nNo recipients: waits for the Send Fax dialog."},
    };
    for (const Case& c : cases) {
        NoticeText text = faxNoticeText(c.kind, c.job, c.reason);
        EXPECT_EQ(text.summary, c.summary);
        EXPECT_EQ(text.body, c.body);
    }
}

TEST(FaxNoticeText, AtStartTheCountAndEachFaxWithItsReason)
{
    std::vector<OutboxEntry> entries(2);
    entries[0].job = job("Offer", {"0301~Anna~"}, {1});
    entries[0].reason = "the server did not answer";
    entries[1].job = job("Invoice", {"0402 666~~"}, {2});
    entries[1].reason = "the log-on was refused";
    NoticeText two = outboxStartText(entries);
    EXPECT_EQ(two.summary, "2 faxes wait in the outbox");
    EXPECT_EQ(two.body, "Offer to Anna: the server did not answer\nInvoice to 0402 666: the log-on was refused");

    entries.resize(7, entries[0]);
    NoticeText seven = outboxStartText(entries);
    EXPECT_EQ(seven.summary, "7 faxes wait in the outbox");
    EXPECT_EQ(seven.body.substr(seven.body.rfind('\n')), "\nand 2 more");
    EXPECT_EQ(outboxStartText({entries[0]}).summary, "1 fax waits in the outbox");
}

// The desktop shows the reader's language; the log keeps the English words.
TEST(FaxNoticeText, TheDesktopReadsTheReadersLanguageAndTheLogEnglish)
{
    struct Case {
        const char* language;
        const char* summary;
        const char* body;
    };
    const Case cases[] = {
        {"de", "Fax wartet im Postausgang", "Angebot\nAn Anna und Bert\n1 Seite\nDer Server hat nicht geantwortet."},
        {"fr", "Fax en attente dans la bo\u00eete d'envoi",
         "Angebot\n\u00c0 Anna et Bert\n1 page\nLe serveur n'a pas r\u00e9pondu."},
    };
    const FaxJob offer = job("Angebot", {"0301~Anna~", "0302~Bert~"}, {1});
    for (const Case& c : cases) {
        testing::ReaderLanguage reader(c.language);
        NoticeText shown = faxNoticeText(FaxNoticeKind::Waiting, offer, "the server did not answer");
        EXPECT_EQ(shown.summary, c.summary);
        EXPECT_EQ(shown.body, c.body);
        NoticeText logged = faxNoticeText(FaxNoticeKind::Waiting, offer, "the server did not answer", Wording::English);
        EXPECT_EQ(logged.summary, "Fax waiting in the outbox");
        EXPECT_EQ(logged.body, "Angebot\nTo Anna and Bert\n1 page\nThe server did not answer.");
    }
}

}  // namespace
}  // namespace korva
