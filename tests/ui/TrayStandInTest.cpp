#include "TrayStandIn.h"

#include "SystemTrayIcon.h"
#include "Window.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<TrayStandIn*> StandIns() {
    std::vector<TrayStandIn*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* standIn = dynamic_cast<TrayStandIn*>(widget))
            found.push_back(standIn);
    }
    return found;
}

TEST(TrayStandIn, ReportsTheClicksAsATrayIconDoes) {
    std::vector<LPARAM> reported;
    TrayStandIn standIn(QIcon(), "Larkspur!", [&](LPARAM mouseMessage) { reported.push_back(mouseMessage); });
    standIn.show();
    EXPECT_EQ(standIn.toolTip(), "Larkspur!");

    QTest::mousePress(&standIn, Qt::LeftButton);
    QTest::mouseRelease(&standIn, Qt::LeftButton);
    EXPECT_EQ(reported, std::vector<LPARAM>{WM_LBUTTONDOWN});

    reported.clear();
    QTest::mouseDClick(&standIn, Qt::LeftButton);
    ASSERT_FALSE(reported.empty());
    EXPECT_EQ(reported.back(), WM_LBUTTONDBLCLK);
    EXPECT_EQ(std::count(reported.begin(), reported.end(), WM_LBUTTONDBLCLK), 1);

    reported.clear();
    QTest::mousePress(&standIn, Qt::RightButton);
    QTest::mouseRelease(&standIn, Qt::RightButton);
    QTest::mousePress(&standIn, Qt::MiddleButton);
    QTest::mouseRelease(&standIn, Qt::MiddleButton);
    QTest::mouseDClick(&standIn, Qt::RightButton);
    EXPECT_EQ(std::count(reported.begin(), reported.end(), WM_LBUTTONDBLCLK), 0);
    EXPECT_EQ(std::count(reported.begin(), reported.end(), WM_LBUTTONDOWN), 0);
    EXPECT_EQ(reported.front(), WM_RBUTTONDOWN);
}

TEST(TrayStandIn, TakesTheIconsPlaceAfterAFewFailedTriesUntilTheIconGoes) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()) << "the offscreen platform has no tray";
    std::vector<LPARAM> reported;
    SystemTrayIcon icon([&](LPARAM mouseMessage) { reported.push_back(mouseMessage); });
    EXPECT_FALSE(icon.Add(QIcon(), "Larkspur!"));
    EXPECT_FALSE(icon.Add(QIcon(), "Larkspur!"));
    EXPECT_TRUE(StandIns().empty());
    EXPECT_FALSE(icon.Add(QIcon(), "Larkspur!"));
    ASSERT_EQ(StandIns().size(), 1u);
    EXPECT_TRUE(StandIns().front()->isVisible());
    EXPECT_FALSE(icon.IsAdded());

    // Further failed tries keep the one stand-in, whose clicks reach the icon's handler.
    EXPECT_FALSE(icon.Add(QIcon(), "Larkspur!"));
    ASSERT_EQ(StandIns().size(), 1u);
    QTest::mousePress(StandIns().front(), Qt::RightButton);
    EXPECT_EQ(reported, std::vector<LPARAM>{WM_RBUTTONDOWN});

    icon.Remove();
    EXPECT_TRUE(StandIns().empty());
}

} // namespace
