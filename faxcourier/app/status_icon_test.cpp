// The status icon's menu and where it is shown.

#include "faxcourier/app/status_icon.h"
#include "faxcourier/widgets/testing/language_scope.h"
#include "faxcourier/widgets/testing/scripted_ui.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace korva::app;

namespace {

TEST(StatusIcon, MenuOffersConfigureAddressBookOutboxAndQuit)
{
    korva::app::testing::testApplication();
    std::vector<std::string> chosen;
    StatusIcon icon({[&] { chosen.push_back("configure"); }, [&] { chosen.push_back("address book"); },
                     [&] { chosen.push_back("quit"); }, [&] { chosen.push_back("outbox"); }});
    icon.setOutboxCount(3);
    QStringList texts;
    for (QAction* action : icon.menu().actions()) {
        if (action->isSeparator())
            continue;
        texts << action->text();
        action->trigger();
    }
    EXPECT_EQ(texts.join("|").toStdString(), "&Configure…|&Address Book…|&Outbox: 3 faxes waiting…|&Quit");
    EXPECT_EQ(chosen, (std::vector<std::string>{"configure", "address book", "outbox", "quit"}));
    // A left click on the icon opens the Outbox window too.
    chosen.clear();
    emit const_cast<QSystemTrayIcon&>(icon.icon()).activated(QSystemTrayIcon::Trigger);
    emit const_cast<QSystemTrayIcon&>(icon.icon()).activated(QSystemTrayIcon::Context);
    EXPECT_EQ(chosen, std::vector<std::string>{"outbox"});
}

// The menu in German and French, each entry with its own access key.
TEST(StatusIcon, MenuReadsTheReadersLanguage)
{
    korva::app::testing::testApplication();
    const std::pair<const char*, const char*> cases[] = {
        {"de", "&Konfigurieren\u2026|&Adressbuch\u2026|&Postausgang: 3 Faxe warten\u2026|&Beenden"},
        {"fr", "&Configurer\u2026|Carnet d'&adresses\u2026|&Bo\u00eete d'envoi\u00a0: 3 fax en attente\u2026|&Quitter"},
    };
    for (const auto& [language, expected] : cases) {
        korva::testing::LanguageScope scope(language);
        StatusIcon icon({[] {}, [] {}, [] {}, [] {}});
        icon.setOutboxCount(3);
        QStringList texts;
        for (QAction* action : icon.menu().actions())
            if (!action->isSeparator())
                texts << action->text();
        EXPECT_EQ(texts.join("|").toStdString(), expected) << language;
    }
}

// The menu by keyboard: each access key runs its entry.
TEST(StatusIcon, AccessKeysRunTheirEntries)
{
    korva::app::testing::testApplication();
    struct Case {
        Qt::Key key;
        const char* entry;
    };
    for (Case c : {Case{Qt::Key_C, "configure"}, Case{Qt::Key_A, "address book"}, Case{Qt::Key_O, "outbox"},
                   Case{Qt::Key_Q, "quit"}}) {
        std::string chosen;
        StatusIcon icon({[&] { chosen = "configure"; }, [&] { chosen = "address book"; }, [&] { chosen = "quit"; },
                         [&] { chosen = "outbox"; }});
        icon.menu().popup(QPoint(0, 0));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&icon.menu()));
        QTest::keyClick(&icon.menu(), c.key);
        QCoreApplication::processEvents();
        EXPECT_EQ(chosen, c.entry);
        EXPECT_FALSE(icon.menu().isVisible());
    }
}

TEST(StatusIcon, NotShownWhereTheDesktopHasNoStatusArea)
{
    korva::app::testing::testApplication();
    StatusIcon icon({[] {}, [] {}, [] {}, [] {}});
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()) << "the offscreen platform has none";
    EXPECT_FALSE(icon.show());
    EXPECT_FALSE(icon.icon().isVisible());
}

}  // namespace
