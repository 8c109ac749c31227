#pragma once

#include <QString>

class Shell;
struct Localisation;

// The product web site's pages, in French when the window speaks French, else in English.
class WebLinks
{
public:
    WebLinks(Shell& shell, const Localisation& lang);

    int OpenUrl(const QString& url, int showCommand);
    QString PageUrl(const QString& frenchPath, const QString& englishPath) const;
    void OpenSubtitlesHelpPage();
    void OpenContactPage();
    void OpenDonatePage();
    void OpenDownloadPage();
    void OpenPutOnIPhonePage();

    // Ends with "/"; empty until start-up has read it.
    QString SiteBaseUrl;

private:
    Shell& shell_;
    const Localisation& lang_;
};
