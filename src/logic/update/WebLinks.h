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
    // False for a build without a product web site (a name under the reserved ".invalid" domain): the
    // help pages are then the local ones, and the other pages do not exist.
    bool HasSite() const;
    // A help page shipped in the program folder, in the window's language, else in English.
    QString LocalHelpUrl(const QString& page) const;
    void OpenSubtitlesHelpPage();
    void OpenContactPage();
    void OpenDonatePage();
    void OpenDownloadPage();
    void OpenPutOnIPhonePage();

    // Ends with "/"; empty until start-up has read it.
    QString SiteBaseUrl;
    // The program folder's "help" folder of local pages, one folder per language.
    QString HelpFolder;

private:
    // A page of the site; the local help page that stands in for it without a site, or none.
    struct Page
    {
        const char* frenchPath;
        const char* englishPath;
        const char* localHelp;
    };
    void Open(const Page& page);

    Shell& shell_;
    const Localisation& lang_;
};
