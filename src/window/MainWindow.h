#pragma once

#include "conversion/BatchOptions.h"
#include "conversion/BatchView.h"
#include "conversion/WhenDone.h"
#include "platform/Platform.h"
#include "preferences/Preferences.h"
#include "update/WebLinks.h"

#include <QMargins>
#include <QWidget>
#include <vector>

class Batch;
class DestinationField;
class CancelDialog;
class CountdownPanel;
class LinkLabel;
class ProgressPanel;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTextEdit;
class SourceList;
class TabControl;
class VersionPanel;
struct Localisation;

// The product web site this build was configured with; a name under ".invalid" when it has none.
QString ProductSiteUrl();

// The main window, assembled from its parts: the source list, the destination field, the progress panel
// and the version-check panel, with the option and About controls of its own. Every control carries the
// name the program has always given it, so tests and screen readers find it. It shows what the batch,
// the version check and start-up decide.
class MainWindow : public QWidget, public BatchView
{
    Q_OBJECT
public:
    // `lang` is the current language and its texts; start-up loads them.
    MainWindow(Platform& platform, Localisation& lang, const QString& siteUrl, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Runs once before the window is shown. False when the program cannot start (the user has been told).
    bool StartUp();
    // Every caption in the current language, and the window back to its idle look.
    void ApplyWindowTexts();
    // The layout that fits the number of sources: a one-row list, or a taller one from two sources on.
    void UpdateLayout();
    void ApplyListLayout();
    void ApplySingleLayout();

    // What the program remembers, as the window holds it now: the options as last loaded or saved, the
    // rest as the controls show it.
    Preferences CurrentPreferences() const;
    // The batch's settings as the window holds them now.
    BatchOptions CurrentBatchOptions() const;
    QStringList Sources() const;
    // Adds the command line's files to the list as a drop does, relative paths taken from `startFolder`;
    // the ones that do not exist are left out and named in one message.
    void AddArgumentFiles(const QStringList& files, const QString& startFolder);
    // A request to end the program: the window closes as the user would close it, and a running batch's
    // cancel question is answered yes.
    void CloseOnRequest();

    // The window's designed height is its outer height, title bar included.
    int WindowHeightTwips() const;
    void SetWindowHeightTwips(double twips);
    // The window system has reported the frame around the window (none offscreen, or before it is shown).
    void FrameChanged(const QMargins& frame);

    // What a batch shows.
    void ShowConverting() override;
    void ShowJobCounter(int job, int count) override;
    void ShowProgressMaximum(double seconds) override;
    void ShowProgress(const ProgressDisplay& progress) override;
    void ShowElapsed(const QString& text) override;
    void ShowJob(int index, const Job& job) override;
    void ShowFinished(const BatchSummary& summary) override;
    void ShowCancelled() override;
    void AskToCancel() override;
    void CancelAnswered(bool confirmed, bool closeWindow) override;

signals:
    // The window has unloaded (its state is saved); the program ends.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    void connectEvents();
    // Puts every control where the single-file layout has it.
    void PlaceControls();
    // Moves the controls the two layouts place differently, by `step` twips (negative: back).
    void ShiftLayout(float step);
    void OptionClicked();
    // Full HD and 4K are two of the three outputs: ticking one clears the other, then saves.
    void OutputClicked(QCheckBox* ticked, QCheckBox* other);
    void SaveOptions();
    void SaveWindowState();
    void RestorePosition(const WindowPosition& position);
    void StartVersionCheck(const QString& url);
    void EndVersionCheck();
    // Each source's row marked with the outcome of its job, in the current language.
    void ShowRowMarks();
    QString T(const char* key) const;
    // Pause holds the batch, Resume lets it go on: the button says which it does next.
    void PauseOrResume();
    // What was chosen to follow the batch, once the countdown has run out.
    void DoWhenDone(WhenDone action);

    Platform& platform_;
    Localisation& lang_;
    WebLinks links_;
    Preferences prefs_;
    // Start-up has run to its end: from then on option clicks are saved.
    bool startedUp_ = false;
    bool unloaded_ = false;
    QMargins frame_;
    // What the list's rows show of the last batch, one per row; empty once the marks are gone.
    std::vector<JobOutcome> rowOutcomes_;
    // A source refused the batch: the list takes the focus once the batch is over, so Delete removes it.
    bool focusListAfterBatch_ = false;

    Batch* batch_;
    TabControl* tabMain_;
    VersionPanel* versionPanel_;
    // Convert tab
    SourceList* sourceList_;
    QPushButton* cmdSourceFile_;
    DestinationField* destination_;
    LinkLabel* lblSubtitlesTip_;
    QCheckBox* chkSubtitles_;
    QPushButton* cmdCancel_;
    QPushButton* cmdPause_;
    QPushButton* cmdConvert_;
    CountdownPanel* countdown_;
    QLabel* lblWhenDone_;
    QComboBox* comboWhenDone_;
    ProgressPanel* progress_;
    // Options tab
    QLabel* lblLanguage_;
    QComboBox* comboLanguage_;
    QCheckBox* chkOverwrite_;
    QCheckBox* chkShowPutiPhone_;
    QCheckBox* chkFullHD_;
    QCheckBox* chk4K_;
    // About tab
    QTextEdit* txtAbout_;
    LinkLabel* lblContact_;
    QPushButton* cmdDonate_;
    CancelDialog* cancelDialog_;
};
