#include "WebLinks.h"

#include "localisation/Language.h"
#include "platform/Platform.h"

namespace {
// Every caller shows the browser normally and ignores what the shell says.
constexpr int ShowNormal = 1;
} // namespace

WebLinks::WebLinks(Shell& shell, const Localisation& lang)
    : shell_(shell)
    , lang_(lang)
{
}

int WebLinks::OpenUrl(const QString& url, int showCommand)
{
    return shell_.openUrl(url, showCommand);
}

QString WebLinks::PageUrl(const QString& frenchPath, const QString& englishPath) const
{
    // The site has only French and English pages.
    const bool french = lang_.CurrentLanguage == QStringLiteral("Français");
    return SiteBaseUrl + (french ? frenchPath : englishPath);
}

void WebLinks::OpenSubtitlesHelpPage()
{
    OpenUrl(PageUrl(QStringLiteral("FR/Comment_ajouter_les_sous-titres_a_la_video_iPhone"),
                    QStringLiteral("How_to_add_subtitles_to_the_iPhone_video")),
            ShowNormal);
}

void WebLinks::OpenContactPage()
{
    OpenUrl(PageUrl(QStringLiteral("FR/Contact"), QStringLiteral("Contact")), ShowNormal);
}

void WebLinks::OpenDonatePage()
{
    OpenUrl(PageUrl(QStringLiteral("FR/Faire_un_Don"), QStringLiteral("Donate")), ShowNormal);
}

void WebLinks::OpenDownloadPage()
{
    OpenUrl(PageUrl(QStringLiteral("FR/Telecharger"), QStringLiteral("Download")), ShowNormal);
}

void WebLinks::OpenPutOnIPhonePage()
{
    OpenUrl(PageUrl(QStringLiteral("FR/Comment_mettre_une_video_sur_son_iPhone"),
                    QStringLiteral("How_to_put_a_video_on_your_iPhone")),
            ShowNormal);
}
