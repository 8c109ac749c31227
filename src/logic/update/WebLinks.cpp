#include "WebLinks.h"

#include "localisation/Language.h"
#include "platform/Platform.h"

#include <QFileInfo>
#include <QUrl>

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

bool WebLinks::HasSite() const
{
    const QUrl url(SiteBaseUrl);
    return url.isValid() && !url.host().isEmpty() && !url.host().endsWith(QLatin1String(".invalid"))
        && url.host() != QLatin1String("invalid");
}

QString WebLinks::LocalHelpUrl(const QString& page) const
{
    static const QStringList codes {QStringLiteral("en"), QStringLiteral("fr"), QStringLiteral("es"),
                                    QStringLiteral("nl"), QStringLiteral("ru"), QStringLiteral("pl"),
                                    QStringLiteral("pt"), QStringLiteral("ro"), QStringLiteral("it")};
    const int column = LanguageColumn(lang_.CurrentLanguage);
    const QString code = column > 0 ? codes.at(column - 1) : codes.first();
    QString path = HelpFolder + QLatin1Char('/') + code + QLatin1Char('/') + page + QStringLiteral(".html");
    if (!QFileInfo::exists(path))
        path = HelpFolder + QStringLiteral("/en/") + page + QStringLiteral(".html");
    return QUrl::fromLocalFile(path).toString();
}

void WebLinks::OpenSubtitlesHelpPage()
{
    Open({"FR/Comment_ajouter_les_sous-titres_a_la_video_iPhone", "How_to_add_subtitles_to_the_iPhone_video",
          "subtitles"});
}

// Without a site there is nobody to contact, donate to or download from: the window offers none of it.
void WebLinks::OpenContactPage()
{
    Open({"FR/Contact", "Contact", nullptr});
}

void WebLinks::OpenDonatePage()
{
    Open({"FR/Faire_un_Don", "Donate", nullptr});
}

void WebLinks::OpenDownloadPage()
{
    Open({"FR/Telecharger", "Download", nullptr});
}

void WebLinks::OpenPutOnIPhonePage()
{
    Open({"FR/Comment_mettre_une_video_sur_son_iPhone", "How_to_put_a_video_on_your_iPhone", "iphone"});
}

void WebLinks::Open(const Page& page)
{
    if (HasSite())
        OpenUrl(PageUrl(QLatin1String(page.frenchPath), QLatin1String(page.englishPath)), ShowNormal);
    else if (page.localHelp)
        OpenUrl(LocalHelpUrl(QLatin1String(page.localHelp)), ShowNormal);
}
