#include "WebLinks.h"

#include "window/Form1.h"

// STUB: replaced by the real web links.
int OpenUrl(Form1& f, const QString& url, int showCommand) { return f.platform.shell->openUrl(url, showCommand); }
QString PageUrl(const Form1& f, const QString&, const QString& englishPath) { return f.opts.SiteBaseUrl + englishPath; }
void OpenSubtitlesHelpPage(Form1&) {}
void OpenContactPage(Form1&) {}
void OpenDonatePage(Form1&) {}
void OpenDownloadPageAndQuit(Form1&) {}
void OpenPutOnIPhonePage(Form1& f)
{
    OpenUrl(f, PageUrl(f, QStringLiteral("FR/Comment_mettre_une_video_sur_son_iPhone"),
                   QStringLiteral("How_to_put_a_video_on_your_iPhone")), 1);
}
