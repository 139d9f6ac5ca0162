#include <gtest/gtest.h>

#include "textstreams/TextStreamSheetRules.h"

using namespace textstreams;

namespace {

TEST(StreamSheetRules, PagesByVersionAndFeature) {
    struct Case { double version; std::int16_t feature; size_t pages; bool asked; };
    const Case cases[] = {
        {3.0, 1, 2, false}, {3.09, 1, 2, false}, {3.1, 1, 4, true}, {3.1, 0, 2, true}, {3.21, -1, 4, true},
    };
    for (const auto& c : cases) {
        bool asked = false;
        const auto pages = StreamSheetPages(c.version, [&] { asked = true; return c.feature; });
        EXPECT_EQ(pages.size(), c.pages) << c.version;
        EXPECT_EQ(asked, c.asked) << c.version;
        EXPECT_EQ(pages[0], eStreamPage::TextSource);
        EXPECT_EQ(pages[1], eStreamPage::CameraAssociations);
        if (pages.size() == 4) {
            EXPECT_EQ(pages[2], eStreamPage::Alarms);
            EXPECT_EQ(pages[3], eStreamPage::ReceiptDefinitions);
        }
    }
}

TEST(StreamSheetRules, HelpTopicsAndVersionGates) {
    EXPECT_EQ(StreamPageHelpTopic(eStreamPage::TextSource), 75);
    EXPECT_EQ(StreamPageHelpTopic(eStreamPage::CameraAssociations), 77);
    EXPECT_EQ(StreamPageHelpTopic(eStreamPage::Alarms), 79);
    EXPECT_EQ(StreamPageHelpTopic(eStreamPage::ReceiptDefinitions), 84);
    EXPECT_EQ(StreamPageHelpTopic(std::nullopt), 0);

    EXPECT_EQ(VersionTimes100(3.1), 310);
    EXPECT_EQ(VersionTimes100(3.219), 321);
    EXPECT_FALSE(ShowsHandlerList(310));
    EXPECT_TRUE(ShowsHandlerList(320));
    EXPECT_FALSE(AsksConnectionTypes(320));
    EXPECT_TRUE(AsksConnectionTypes(321));
}

}  // namespace
