#include "editor/print_layout.h"
#include "platform/mail.h"

#include <gtest/gtest.h>

using namespace pf;

TEST(PrintRect, DoublingCentringAndFitting)
{
    struct Case { QSize picture, page; QRect want; };
    const Case cases[] = {
        {{605, 469}, {4800, 6360}, QRect(1190, 2242, 2420, 1876)},   // doubled twice
        {{2500, 100}, {4800, 6360}, QRect(1150, 3130, 2500, 100)},   // wider than half: 1:1, centred
        {{100, 3200}, {4800, 6360}, QRect(2350, 1580, 100, 3200)},
        {{2399, 3179}, {4800, 6360}, QRect(1, 1, 4798, 6358)},       // doubled once, just under half
        {{9600, 3180}, {4800, 6360}, QRect(0, 2385, 4800, 1590)},    // larger than the page: fitted
        {{4800, 12720}, {4800, 6360}, QRect(1200, 0, 2400, 6360)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PrintRect(c.picture, c.page), c.want) << c.picture.width() << "x" << c.picture.height();
}

TEST(MailRequest, RecordsFromTheNameValueList)
{
    MapiMessage m = BuildMapiMessage({"subject=Hi", "body=Text", "attachment0=/tmp/a/mywork.jpg"});
    EXPECT_TRUE(m.lpRecips.empty());
    ASSERT_EQ(m.lpFiles.size(), 1u);
    EXPECT_EQ(m.lpFiles[0].lpszPathName, "/tmp/a/mywork.jpg");
    EXPECT_EQ(m.lpFiles[0].lpszFileName, "mywork.jpg");
    EXPECT_EQ(m.lpFiles[0].nPosition, 0xFFFFFFFFu);
    EXPECT_EQ(m.lpszSubject, "Hi");
    EXPECT_EQ(m.lpszNoteText, "Text");

    m = BuildMapiMessage({"to=friend@example.org", "attachment0=/x/one.jpg", "attachment2=/x/three.jpg"});
    ASSERT_EQ(m.lpRecips.size(), 1u);
    EXPECT_EQ(m.lpRecips[0].ulRecipClass, MAPI_TO);
    EXPECT_EQ(m.lpRecips[0].lpszName, "friend@example.org");
    EXPECT_EQ(m.lpRecips[0].lpszAddress, "SMTP:friend@example.org");
    ASSERT_EQ(m.lpFiles.size(), 1u);   // numbering stops at the first missing entry
    EXPECT_TRUE(m.lpszSubject.isEmpty());

    m = BuildMapiMessage({"to=", "attachment0="});
    EXPECT_TRUE(m.lpRecips.empty());
    EXPECT_TRUE(m.lpFiles.empty());

    EXPECT_EQ(MailFlags(0), 3u);
    EXPECT_EQ(MailFlags(42), 11u);
}
