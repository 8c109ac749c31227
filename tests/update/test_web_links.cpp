#include "support/TestWindow.h"
#include "update/WebLinks.h"
#include "window/CancelDialog.h"
#include "window/TabControl.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString Site = QStringLiteral("http://links.reelpocket.test/");

struct LinkCase
{
    QString language;
    QString subtitles, contact, donate, download, putOnIPhone;
};

const LinkCase French {
    QStringLiteral("Français"),       QStringLiteral("FR/Comment_ajouter_les_sous-titres_a_la_video_iPhone"),
    QStringLiteral("FR/Contact"),     QStringLiteral("FR/Faire_un_Don"),
    QStringLiteral("FR/Telecharger"), QStringLiteral("FR/Comment_mettre_une_video_sur_son_iPhone")};

LinkCase English(const QString& language)
{
    return {language,
            QStringLiteral("How_to_add_subtitles_to_the_iPhone_video"),
            QStringLiteral("Contact"),
            QStringLiteral("Donate"),
            QStringLiteral("Download"),
            QStringLiteral("How_to_put_a_video_on_your_iPhone")};
}

struct LinkWindow : TestWindow
{
    explicit LinkWindow(const QString& language)
        : TestWindow(language, Site)
    {
        f().show();
    }
    QStringList urls() const { return fake.shell->urls; }
};

} // namespace

TEST(WebLinks, EveryLinkOpensThePageOfTheCurrentLanguage)
{
    for (const LinkCase& c : {French, English(QStringLiteral("English")), English(QStringLiteral("Español")),
                              English(QStringLiteral("Italiano")), English(QStringLiteral("Russian"))}) {
        SCOPED_TRACE(c.language.toStdString());
        LinkWindow w(c.language);

        QTest::mouseClick(w.c().lblSubtitlesTip, Qt::LeftButton);
        w.c().tabMain->setCurrentIndex(2);
        QTest::mouseClick(w.c().lblContact, Qt::LeftButton);
        QTest::mouseClick(w.c().cmdDonate, Qt::LeftButton);
        // The end-of-batch page is opened by the controller, through the same links.
        WebLinks links(*w.fake.shell, w.lang);
        links.SiteBaseUrl = Site;
        links.OpenPutOnIPhonePage();

        EXPECT_EQ(w.urls(), QStringList({Site + c.subtitles, Site + c.contact, Site + c.donate, Site + c.putOnIPhone}));
        EXPECT_EQ(w.fake.shell->showCommands, QList<int>({1, 1, 1, 1}));
        EXPECT_EQ(links.PageUrl(c.download, c.download), Site + c.download);

        w.c().cmdGetNewVersion->setVisible(true);
        QTest::mouseClick(w.c().cmdGetNewVersion, Qt::LeftButton);
        EXPECT_EQ(w.urls().last(), Site + c.download);
        EXPECT_FALSE(w.f().isVisible());
    }
}

TEST(WebLinks, DownloadButtonClosesTheWindowTheOrdinaryWay)
{
    LinkWindow w(QStringLiteral("English"));
    QSignalSpy unloaded(&w.f(), &MainWindow::unloaded);
    w.c().txtDestination->setText(QStringLiteral("/somewhere/iPhoneMovies/"));
    w.c().cmdGetNewVersion->setVisible(true);

    QTest::mouseClick(w.c().cmdGetNewVersion, Qt::LeftButton);

    EXPECT_EQ(w.urls(), QStringList {Site + QStringLiteral("Download")});
    EXPECT_FALSE(w.f().isVisible());
    EXPECT_EQ(unloaded.count(), 1);
    // The window state is saved on the way out.
    for (const char* key : {"Top", "left", "Destination"})
        EXPECT_TRUE(w.fake.settings->writes.contains(QLatin1String(key))) << key;
    EXPECT_EQ(w.fake.settings->get(QStringLiteral("Destination")), QStringLiteral("/somewhere/iPhoneMovies/"));
}

TEST(WebLinks, DownloadDuringABatchAsksToCancelFirst)
{
    LinkWindow w(QStringLiteral("English"));
    QSignalSpy unloaded(&w.f(), &MainWindow::unloaded);
    QTemporaryDir destination;
    ASSERT_TRUE(destination.isValid());
    w.c().txtDestination->setText(destination.path() + QDir::separator());
    w.addSources({destination.filePath(QStringLiteral("clip.avi"))});
    QTest::mouseClick(w.c().cmdConvert, Qt::LeftButton);
    ASSERT_NE(CurrentRunner(), nullptr);

    w.c().cmdGetNewVersion->setVisible(true);
    QTest::mouseClick(w.c().cmdGetNewVersion, Qt::LeftButton);

    // The page opens, but the running batch holds the window until the user confirms the cancel.
    EXPECT_EQ(w.urls(), QStringList {Site + QStringLiteral("Download")});
    EXPECT_TRUE(w.f().isVisible());
    EXPECT_EQ(unloaded.count(), 0);
    EXPECT_TRUE(w.c().frmCancel->isVisible());

    QTest::mouseClick(w.c().cmdYes, Qt::LeftButton);
    EXPECT_FALSE(w.f().isVisible());
    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_EQ(w.fake.runners->stops, 1);
}
