#include "faxcourier/app/accepted_notice.h"

#include <gtest/gtest.h>

using namespace korva;
using namespace korva::app;

namespace {

FaxDocument document(uint32_t pages)
{
    FaxDocument d;
    d.pages = pages;
    return d;
}

TEST(AcceptedFaxNotice, NamesTheRecipientItsNumberAndThePagesOfAllDocuments)
{
    FaxJob job;
    job.recipients = {"0301 555~Berta Blau~Blau KG"};
    job.documents = {document(2), document(3)};
    EXPECT_EQ(acceptedFaxNotice(job), "Fax to Berta Blau, 0301 555, 5 pages, accepted");
}

TEST(AcceptedFaxNotice, ANumberWithoutANameSeveralRecipientsAndOnePage)
{
    FaxJob job;
    job.recipients = {"0402 666~~", "0301 555~Berta Blau~"};
    job.documents = {document(1)};
    EXPECT_EQ(acceptedFaxNotice(job), "Fax to 0402 666; Berta Blau, 0301 555, 1 page, accepted");
}

}  // namespace
