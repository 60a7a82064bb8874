#include "controlarea/job_preset.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace korva;

namespace {

ControlRecord recordFor(const char* user)
{
    ControlRecord r;
    std::memset(&r, 0, sizeof r);
    setField(r.userName, user);
    return r;
}

}  // namespace

TEST(JobPreset, EmptyUserNameTakesNothing)
{
    ControlRecord r = recordFor("");
    setField(r.subject, "ignored");
    setField(r.recipients[0], "1~a~b");
    JobPreset p = readJobPreset(r, "Standard");
    EXPECT_EQ(p.subject, "");
    EXPECT_EQ(p.coverPage, "Standard");
    EXPECT_TRUE(p.recipients.empty());
}

TEST(JobPreset, RcptDocumentNameComesBeforeTheRecipientFields)
{
    ControlRecord r = recordFor("anna");
    setField(r.documentName, "RCPT:  555-1~Carl~Co \r\n");
    setField(r.recipients[0], "111~One~");
    setField(r.recipients[1], "only~one tilde");
    setField(r.recipients[3], " 444~~ ");
    JobPreset p = readJobPreset(r, "");
    EXPECT_EQ(p.recipients, (std::vector<std::string>{"555-1~Carl~Co", "111~One~", "444~~"}));
    EXPECT_EQ(p.documentName, "RCPT:  555-1~Carl~Co \r\n");
}

TEST(JobPreset, RcptDocumentNameSplitsAtSemicolonsOnlyIntoRecipientLines)
{
    struct Row {
        const char* name;
        std::vector<std::string> recipients;
    };
    const Row rows[] = {
        {"rcpt:0301~Anna~; 0302~Bob~Bob KG ;", {"0301~Anna~", "0302~Bob~Bob KG", "111~One~"}},
        {"rcpt:0301~Anna~Smith; Jones", {"0301~Anna~Smith; Jones", "111~One~"}},
        {"rcpt:0301~Anna~;no tilde", {"0301~Anna~;no tilde", "111~One~"}},
        {"rcpt:0301~Anna;Bob~Acme", {"0301~Anna;Bob~Acme", "111~One~"}},
    };
    for (const Row& row : rows) {
        ControlRecord r = recordFor("anna");
        setField(r.documentName, row.name);
        setField(r.recipients[0], "111~One~");
        EXPECT_EQ(readJobPreset(r, "").recipients, row.recipients) << row.name;
    }
}

TEST(JobPreset, CoverPageCarriesOverOnlyWhenTheRecordSetsNothing)
{
    ControlRecord nothing = recordFor("anna");
    EXPECT_EQ(readJobPreset(nothing, "Urgent").coverPage, "Urgent");

    ControlRecord subjectOnly = recordFor("anna");
    setField(subjectOnly.subject, "Hello");
    JobPreset p = readJobPreset(subjectOnly, "Urgent");
    EXPECT_EQ(p.coverPage, "");
    EXPECT_EQ(p.subject, "Hello");

    ControlRecord recipientOnly = recordFor("anna");
    setField(recipientOnly.recipients[0], "1~x~y");
    EXPECT_EQ(readJobPreset(recipientOnly, "Urgent").coverPage, "");

    ControlRecord cover = recordFor("anna");
    setField(cover.coverPage, "Confidential");
    EXPECT_EQ(readJobPreset(cover, "Urgent").coverPage, "Confidential");
}
