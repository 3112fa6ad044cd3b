#include "ui/control_look.h"
#include "ui/hint.h"
#include "ui/nx_check_box.h"

#include <QProxyStyle>
#include <QStyleFactory>
#include <gtest/gtest.h>
#include <memory>

namespace vantrel::ui {
namespace {

TEST(ControlLookTest, ThePlainWindowsStyleMeansTheClassicLookEvenBehindAProxy)
{
    std::unique_ptr<QStyle> windows(QStyleFactory::create(QStringLiteral("Windows")));
    ASSERT_NE(windows, nullptr);
    QProxyStyle proxy(QStyleFactory::create(QStringLiteral("Windows")));
    std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));

    TNxCheckBox box(QStringLiteral("Key valid check"));
    box.resize(145, 21);
    box.setStyle(windows.get());
    EXPECT_EQ(box.Look(), ControlLook::Classic);
    EXPECT_EQ(box.BoxRect(), QRect(4, 5, 11, 11));
    box.setStyle(&proxy);
    EXPECT_EQ(box.Look(), ControlLook::Classic);
    box.setStyle(fusion.get());
    EXPECT_EQ(box.Look(), ControlLook::Themed);
    EXPECT_EQ(box.BoxRect(), QRect(4, 4, 13, 13));
    box.SetLook(ControlLook::Classic);
    EXPECT_EQ(box.Look(), ControlLook::Classic);
    box.setStyle(nullptr);
}

TEST(HintStyleTest, TipsWakeUpAfterHalfASecondAndTheRestIsTheBaseStyles)
{
    std::unique_ptr<QStyle> hints(CreateHintStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    EXPECT_EQ(hints->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 500);
    EXPECT_EQ(hints->styleHint(QStyle::SH_ToolTip_FallAsleepDelay),
              fusion->styleHint(QStyle::SH_ToolTip_FallAsleepDelay));
    EXPECT_EQ(DrawingStyleName(*hints), QStringLiteral("fusion"));
}

} // namespace
} // namespace vantrel::ui
