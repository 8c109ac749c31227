#include "WebLinks.h"

#include "window/Form1.h"

namespace {
// Every caller shows the browser normally and ignores what the shell says.
constexpr int ShowNormal = 1;
} // namespace

int OpenUrl(Form1& f, const QString& url, int showCommand)
{
    return f.platform.shell->openUrl(url, showCommand);
}

QString PageUrl(const Form1& f, const QString& frenchPath, const QString& englishPath)
{
    // The site has only French and English pages.
    const bool french = f.lang.CurrentLanguage == QStringLiteral("Français");
    return f.opts.SiteBaseUrl + (french ? frenchPath : englishPath);
}

void OpenSubtitlesHelpPage(Form1& f)
{
    OpenUrl(f,
            PageUrl(f, QStringLiteral("FR/Comment_ajouter_les_sous-titres_a_la_video_iPhone"),
                    QStringLiteral("How_to_add_subtitles_to_the_iPhone_video")),
            ShowNormal);
}

void OpenContactPage(Form1& f)
{
    OpenUrl(f, PageUrl(f, QStringLiteral("FR/Contact"), QStringLiteral("Contact")), ShowNormal);
}

void OpenDonatePage(Form1& f)
{
    OpenUrl(f, PageUrl(f, QStringLiteral("FR/Faire_un_Don"), QStringLiteral("Donate")), ShowNormal);
}

void OpenDownloadPageAndQuit(Form1& f)
{
    OpenUrl(f, PageUrl(f, QStringLiteral("FR/Telecharger"), QStringLiteral("Download")), ShowNormal);
    // The ordinary close: the controller may still refuse it during a batch, and the state is saved on unload.
    f.close();
}

void OpenPutOnIPhonePage(Form1& f)
{
    OpenUrl(f,
            PageUrl(f, QStringLiteral("FR/Comment_mettre_une_video_sur_son_iPhone"),
                    QStringLiteral("How_to_put_a_video_on_your_iPhone")),
            ShowNormal);
}
