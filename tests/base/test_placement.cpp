#include "base/placement.h"
#include "base/switches.h"

#include <gtest/gtest.h>

namespace {

struct PlacementCase {
    const char *stored;
    int state;
    bool centre;
    QRect bounds;
};

TEST(Placement, StoredTextDecidesStateAndBounds) {
    const QRect current(100, 100, 800, 577);
    const QSize screen(1024, 768);
    const PlacementCase cases[] = {
        {"2;10;10;500;400", WindowPlacement::Maximized, false, current}, // bounds not applied
        {"0;10;10;500;400", WindowPlacement::Normal, false, QRect(10, 10, 500, 400)},
        {"1;10;10;500;400", WindowPlacement::Normal, false, QRect(10, 10, 500, 400)},
        {"", WindowPlacement::Normal, true, QRect(100, 100, 875, 715)},
        {"0", WindowPlacement::Normal, true, QRect(100, 100, 875, 715)},
        {"x;20;y;600;z", WindowPlacement::Normal, false, QRect(20, 100, 600, 577)},
    };
    for (const PlacementCase &c : cases) {
        const PlacementPlan plan =
            PlanPlacement(QString::fromLatin1(c.stored), WindowPlacement::Normal, current, screen);
        EXPECT_EQ(plan.state, c.state) << c.stored;
        EXPECT_EQ(plan.centre, c.centre) << c.stored;
        EXPECT_EQ(plan.bounds, c.bounds) << c.stored;
    }
    // A small screen keeps the current size when centring.
    EXPECT_EQ(PlanPlacement(QString(), 0, current, QSize(800, 600)).bounds, current);
    EXPECT_EQ(ComposePlacement(2, QRect(0, 0, 1024, 740)), "2;0;0;1024;740");
}

TEST(Placement, ClampedToTheAvailableArea) {
    const QRect area(0, 30, 1024, 738); // a panel at the top
    const std::pair<QRect, QRect> cases[] = {
        {QRect(10, 40, 800, 577), QRect(10, 40, 800, 577)},       // inside: unchanged
        {QRect(3000, 2000, 800, 577), QRect(224, 191, 800, 577)}, // off to the bottom right
        {QRect(-900, -50, 800, 577), QRect(0, 30, 800, 577)},     // off to the top left
        {QRect(100, 100, 2000, 1500), QRect(0, 30, 1024, 738)},   // larger than the screen
        {QRect(300, 250, 800, 577), QRect(300, 250, 800, 577)},   // partly out, within reach
        {QRect(980, 40, 800, 577), QRect(224, 40, 800, 577)},     // 44 pixels inside: moved
    };
    for (const auto &[stored, expected] : cases)
        EXPECT_EQ(ClampToArea(stored, area), expected) << stored.x() << "," << stored.y();
}

TEST(Switches, SlashOrDashAnyCase) {
    const StartSwitches a = ParseSwitches({"prog", "/INSTALL", "-Updated"});
    EXPECT_TRUE(a.install);
    EXPECT_TRUE(a.updated);
    EXPECT_FALSE(a.close);
    const StartSwitches b = ParseSwitches({"prog", "close", "--close", "/closex"});
    EXPECT_FALSE(b.close);
    EXPECT_TRUE(ParseSwitches({"prog", "-cLoSe"}).close);
}

TEST(Switches, LogFileInEachSpelling) {
    EXPECT_EQ(ParseSwitches({"prog", "--log", "/tmp/a b.log"}).logFile, "/tmp/a b.log");
    EXPECT_EQ(ParseSwitches({"prog", "-LOG", "x.log", "/install"}).logFile, "x.log");
    EXPECT_TRUE(ParseSwitches({"prog", "-log", "x.log", "/install"}).install);
    EXPECT_EQ(ParseSwitches({"prog", "--log=C:=1.log"}).logFile, "C:=1.log");
    // A trailing switch without its file names no file.
    EXPECT_TRUE(ParseSwitches({"prog", "--log"}).logFile.isEmpty());
}

TEST(Switches, HelpInEachSpelling) {
    for (const char *spelling : {"--help", "-HELP", "/help"})
        EXPECT_TRUE(ParseSwitches({"prog", spelling}).help) << spelling;
    EXPECT_FALSE(ParseSwitches({"prog", "help", "-install"}).help);
}

} // namespace
