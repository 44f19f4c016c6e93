#include "CAboutDlg.h"
#include "srHyperLink.h"

#include <QCursor>
#include <QFontMetrics>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kAddress = QStringLiteral("https://example.org/new");

// A window with a link and a button to move the focus to, and a replaced opener.
class HyperLinkTest : public testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<QWidget>();
        window->resize(400, 200);
        link = new srHyperLink(
            window.get(),
            [this](const QString& url) {
                openedUrls.push_back(url);
                return openSucceeds;
            },
            [this] { ++beeps; });
        link->setText(QStringLiteral("Check for a new version"));
        link->setGeometry(20, 20, 300, 20);
        link->PreSubclassWindow();
        link->SetURL(kAddress);
        other = new QPushButton(QStringLiteral("OK"), window.get());
        other->setGeometry(20, 100, 80, 30);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        other->setFocus();
    }

    void ClickLink() {
        QTest::mousePress(link, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(5, 5));
    }

    std::unique_ptr<QWidget> window;
    srHyperLink* link = nullptr;
    QPushButton* other = nullptr;
    bool openSucceeds = true;
    std::vector<QString> openedUrls;
    int beeps = 0;
};

TEST_F(HyperLinkTest, AClickTakesTheFocusAndOpensOnRelease) {
    EXPECT_EQ(link->TextColor(), QColor(srHyperLink::s_crUnvisited));
    QTest::mousePress(link, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(link->hasFocus());
    EXPECT_EQ(link->TextColor(), QColor(srHyperLink::s_crFocus));
    EXPECT_TRUE(openedUrls.empty()) << "opens on release, not on press";

    QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(openedUrls.size(), 1U);
    EXPECT_EQ(openedUrls[0], kAddress);
    EXPECT_TRUE(link->IsVisited());
    EXPECT_EQ(link->TextColor(), QColor(srHyperLink::s_crFocus)) << "focus colour while focused";

    other->setFocus();
    EXPECT_FALSE(link->HasFocusState());
    EXPECT_EQ(link->TextColor(), QColor(srHyperLink::s_crVisited));
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(srHyperLink::s_crVisited));
    EXPECT_EQ(beeps, 0);
}

TEST_F(HyperLinkTest, AReleaseWithoutTheFocusDoesNotOpen) {
    QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(openedUrls.empty());

    // Losing the focus after a press clears the state again.
    QTest::mousePress(link, Qt::LeftButton, {}, QPoint(5, 5));
    other->setFocus();
    QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(openedUrls.empty());

    QTest::mousePress(link, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mouseRelease(link, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_TRUE(openedUrls.empty()) << "only the left button follows the link";
}

TEST_F(HyperLinkTest, TheSpaceBarOpensOnlyWhileTheLinkHasTheFocus) {
    QTest::keyClick(window->windowHandle(), Qt::Key_Space);
    EXPECT_TRUE(openedUrls.empty());

    link->setFocus();
    QTest::keyClick(window->windowHandle(), Qt::Key_A);
    QTest::keyClick(window->windowHandle(), Qt::Key_Return);
    EXPECT_TRUE(openedUrls.empty());
    QTest::keyClick(window->windowHandle(), Qt::Key_Space);
    EXPECT_EQ(openedUrls.size(), 1U);
}

TEST_F(HyperLinkTest, AFailedOpenBeepsAndKeepsTheColour) {
    openSucceeds = false;
    ClickLink();
    EXPECT_EQ(openedUrls.size(), 1U);
    EXPECT_EQ(beeps, 1);
    EXPECT_FALSE(link->IsVisited());
    other->setFocus();
    EXPECT_EQ(link->TextColor(), QColor(srHyperLink::s_crUnvisited));
}

TEST_F(HyperLinkTest, HoverComesAndGoesWithTheMouse) {
    QTest::mouseMove(link, QPoint(5, 5));
    EXPECT_TRUE(link->IsHovering());
    EXPECT_EQ(link->TextColor(), QColor(srHyperLink::s_crUnvisited)) << "no hover colour by default";
    // A move that the link still sees, outside of it, ends the hover; so does leaving.
    QTest::mouseMove(link, QPoint(-40, 90));
    EXPECT_FALSE(link->IsHovering());
    QTest::mouseMove(link, QPoint(5, 5));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(link, &leave);
    EXPECT_FALSE(link->IsHovering());
}

TEST(HyperLinkColourTest, TheFirstRuleThatHoldsDecides) {
    // Hover colour only with its flag; focus colour unless refused; visited; unvisited.
    QWidget window;
    srHyperLink link(
        &window, [](const QString&) { return true; }, [] {});
    link.SetLinkFlags(srHyperLink::HLF_HOVERCOLOR);
    link.PreSubclassWindow();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    link.setFocus();
    EXPECT_EQ(link.TextColor(), QColor(srHyperLink::s_crFocus));
    QTest::mouseMove(&link, QPoint(1, 1));
    EXPECT_EQ(link.TextColor(), QColor(srHyperLink::s_crHover));
    link.FollowLink();
    EXPECT_EQ(link.TextColor(), QColor(srHyperLink::s_crHover));

    srHyperLink unfocusable(&window);
    unfocusable.SetLinkFlags(srHyperLink::HLF_NOFOCUSCOLOR);
    unfocusable.PreSubclassWindow();
    unfocusable.show();
    unfocusable.setFocus();
    EXPECT_TRUE(unfocusable.HasFocusState());
    EXPECT_EQ(unfocusable.TextColor(), QColor(srHyperLink::s_crUnvisited));
}

TEST(HyperLinkSetupTest, TextAndAddressStandInForEachOther) {
    QWidget window;
    srHyperLink noText(&window);
    noText.SetURL(kAddress);
    noText.PreSubclassWindow();
    EXPECT_EQ(noText.text(), kAddress);

    srHyperLink noAddress(&window);
    noAddress.setText(QStringLiteral("https://example.org/<b>bold</b>"));
    noAddress.PreSubclassWindow();
    EXPECT_EQ(noAddress.URL(), noAddress.text());
    EXPECT_TRUE(noAddress.toolTip().contains(QStringLiteral("&lt;b&gt;bold&lt;/b&gt;")))
        << "the address is shown as text, never as markup: " << noAddress.toolTip().toStdString();

    EXPECT_TRUE(noText.font().underline());
    EXPECT_EQ(noText.cursor().shape(), Qt::PointingHandCursor);
    const QCursor* shared = srHyperLink::LinkCursor();
    ASSERT_NE(shared, nullptr);
    srHyperLink another(&window);
    another.PreSubclassWindow();
    EXPECT_EQ(srHyperLink::LinkCursor(), shared) << "loaded once, shared by every link";
}

struct SizeCase {
    const char* name;
    Qt::Alignment alignment;
    int border;
    const char* text;
};

class SizeToTextTest : public testing::TestWithParam<SizeCase> {};

TEST_P(SizeToTextTest, KeepsTheEdgeOrCentreOfItsAlignment) {
    const SizeCase& c = GetParam();
    QWidget parent;
    srHyperLink link(&parent);
    link.setText(QString::fromUtf8(c.text));
    link.setAlignment(c.alignment);
    link.setContentsMargins(c.border, c.border, c.border, c.border);
    const QRect before(100, 40, 200, 30);
    link.setGeometry(before);
    link.PreSubclassWindow();

    const QFontMetrics metrics(link.font());
    const int cx = metrics.horizontalAdvance(link.text());
    const int cy = metrics.height();
    const QRect after = link.geometry();
    const QRect text = link.contentsRect();
    // Centring halves an odd remainder on each side, so the size may exceed the text by one.
    EXPECT_NEAR(text.width(), cx, 1);
    EXPECT_NEAR(text.height(), cy, 1);
    EXPECT_EQ(after.width() - text.width(), 2 * c.border);

    if (c.alignment & Qt::AlignHCenter) {
        EXPECT_NEAR(after.center().x(), before.center().x(), 1);
    } else if (c.alignment & Qt::AlignRight) {
        EXPECT_EQ(after.right(), before.right());
    } else {
        EXPECT_EQ(after.left(), before.left());
    }
    if (c.alignment & Qt::AlignVCenter) {
        EXPECT_NEAR(after.center().y(), before.center().y(), 1);
    } else {
        EXPECT_EQ(after.top(), before.top());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Alignments, SizeToTextTest,
    testing::Values(SizeCase{"Left", Qt::AlignLeft | Qt::AlignTop, 0, "Link"},
                    SizeCase{"Centred", Qt::AlignHCenter | Qt::AlignTop, 0, "Link"},
                    SizeCase{"Right", Qt::AlignRight | Qt::AlignTop, 0, "Link"},
                    SizeCase{"CentredBeatsRight", Qt::AlignHCenter | Qt::AlignRight | Qt::AlignTop, 0,
                             "Link"},
                    SizeCase{"VerticallyCentred", Qt::AlignLeft | Qt::AlignVCenter, 0, "Link"},
                    SizeCase{"RightWithBorder", Qt::AlignRight | Qt::AlignTop, 3, "Link"},
                    SizeCase{"CentredWithBorder", Qt::AlignHCenter | Qt::AlignVCenter, 3, "Link"},
                    SizeCase{"CentredTextWiderThanTheControl", Qt::AlignHCenter | Qt::AlignTop, 0,
                             "A text much wider than the two hundred pixels of the control it is in"}),
    [](const testing::TestParamInfo<SizeCase>& testCase) { return std::string(testCase.param.name); });

TEST(SizeToTextFlagTest, WithoutAutoSizeTheControlKeepsItsPlace) {
    QWidget parent;
    srHyperLink link(&parent);
    link.setText(QStringLiteral("Link"));
    link.SetLinkFlags(srHyperLink::HLF_UNDERLINE);
    link.setGeometry(10, 10, 200, 30);
    link.PreSubclassWindow();
    EXPECT_EQ(link.geometry(), QRect(10, 10, 200, 30));
}

TEST(AboutBoxTest, ShowsTheNameAndABlueUnderlinedLinkSizedToItsText) {
    CAboutDlg about;
    const srHyperLink& link = about.HyperLink();
    EXPECT_EQ(link.text(), QStringLiteral("Click here to see if there is a new version available!"));
    EXPECT_EQ(link.URL(), QStringLiteral(LARKSPUR_HOMEPAGE));
    EXPECT_TRUE(link.toolTip().contains(QStringLiteral(LARKSPUR_HOMEPAGE)));
    EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(srHyperLink::s_crUnvisited));
    EXPECT_TRUE(link.font().underline());
    EXPECT_EQ(link.width(), QFontMetrics(link.font()).horizontalAdvance(link.text()));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Larkspur"));

    bool nameShown = false;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        nameShown = nameShown || label->text() == QStringLiteral("Larkspur, v3.02");
    }
    EXPECT_TRUE(nameShown);
}

} // namespace
