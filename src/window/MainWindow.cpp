#include "MainWindow.h"

#include "CancelDialog.h"
#include "CountdownPanel.h"
#include "DestinationField.h"
#include "Layout.h"
#include "LinkLabel.h"
#include "ProgressPanel.h"
#include "SourceList.h"
#include "TabControl.h"
#include "Twips.h"
#include "VersionPanel.h"
#include "conversion/Batch.h"
#include "conversion/Paths.h"
#include "desktop/DesktopServices.h"
#include "desktop/ProgramArguments.h"
#include "localisation/Language.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

QString ProductSiteUrl()
{
    return QStringLiteral(REELPOCKET_SITE_URL);
}

MainWindow::MainWindow(Platform& platform, Localisation& lang, const QString& siteUrl, QWidget* parent)
    : QWidget(parent)
    , platform_(platform)
    , lang_(lang)
    , links_(*platform.shell, lang)
    , batch_(new Batch(platform, lang, *this, this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Reelpocket"));
    links_.SiteBaseUrl = siteUrl;
    links_.HelpFolder = platform.system->programFolder() + Separator() + QStringLiteral("help");
    createControls();
    PlaceControls();
    connectEvents();
}

MainWindow::~MainWindow()
{
    // No encoder outlives the window.
    batch_->StopRunner();
    delete cancelDialog_;
}

QString MainWindow::T(const char* key) const
{
    return Translate(lang_, QLatin1String(key));
}

namespace {
template <typename W, typename... Args> W* make(QWidget* parent, const char* name, Args&&... args)
{
    auto* w = new W(std::forward<Args>(args)..., parent);
    w->setObjectName(QLatin1String(name));
    return w;
}
} // namespace

// Controls are created bottom to top of the stacking order; the layout table places them.
void MainWindow::createControls()
{
    tabMain_ = make<TabControl>(this, "tabMain", 3);
    QWidget* convertTab = tabMain_->page(0);
    QWidget* optionsTab = tabMain_->page(1);
    QWidget* aboutTab = tabMain_->page(2);

    sourceList_ = new SourceList(*platform_.dialogs, convertTab);
    cmdSourceFile_ = make<QPushButton>(convertTab, "cmdSourceFile");
    destination_ = new DestinationField(*platform_.dialogs, convertTab);
    lblSubtitlesTip_ = make<LinkLabel>(convertTab, "lblSubtitlesTip", QStringLiteral(" ?"));
    lblSubtitlesTip_->setStyleSheet(QStringLiteral("QLabel:focus { border: 1px dotted palette(highlight); }"));
    chkSubtitles_ = make<QCheckBox>(convertTab, "chkSubtitles");
    cmdCancel_ = make<QPushButton>(convertTab, "cmdCancel");
    // Covered by Convert until a batch runs: a button nobody can see takes no focus.
    cmdCancel_->setFocusPolicy(Qt::NoFocus);
    cmdPause_ = make<QPushButton>(convertTab, "cmdPause");
    cmdPause_->setFocusPolicy(Qt::NoFocus);
    cmdConvert_ = make<QPushButton>(convertTab, "cmdConvert");
    // Enter anywhere but on another button starts the batch.
    cmdConvert_->setDefault(true);
    countdown_ = new CountdownPanel(convertTab);
    // For this run only: nobody is surprised by a shutdown weeks later.
    lblWhenDone_ = make<QLabel>(convertTab, "lblWhenDone");
    lblWhenDone_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    comboWhenDone_ = make<QComboBox>(convertTab, "comboWhenDone");
    for (int i = 0; i < WhenDoneChoiceKeys().size(); ++i)
        comboWhenDone_->addItem(QString());
    lblWhenDone_->setBuddy(comboWhenDone_);
    progress_ = new ProgressPanel(convertTab);

    lblLanguage_ = make<QLabel>(optionsTab, "lblLanguage");
    comboLanguage_ = make<QComboBox>(optionsTab, "comboLanguage");
    comboLanguage_->addItems(ComboLanguages());
    comboLanguage_->setCurrentIndex(-1);
    lblLanguage_->setBuddy(comboLanguage_);
    chkOverwrite_ = make<QCheckBox>(optionsTab, "chkOverwrite");
    chkShowPutiPhone_ = make<QCheckBox>(optionsTab, "chkShowPutiPhone");
    chkFullHD_ = make<QCheckBox>(optionsTab, "chkFullHD");
    chk4K_ = make<QCheckBox>(optionsTab, "chk4K");

    txtAbout_ = make<QTextEdit>(aboutTab, "txtAbout");
    txtAbout_->setReadOnly(true);
    txtAbout_->setAcceptRichText(false);
    lblContact_ = make<LinkLabel>(aboutTab, "lblContact", QStringLiteral("Contact"));
    lblContact_->setAlignment(Qt::AlignCenter);
    lblContact_->setStyleSheet(QStringLiteral("QLabel { color: #0645ad; text-decoration: underline; }"
                                              "QLabel:disabled { color: palette(mid); text-decoration: none; }"
                                              "QLabel:focus { border: 1px dotted palette(highlight); }"));
    cmdDonate_ = make<QPushButton>(aboutTab, "cmdDonate");

    // The version-check panel covers the tabs while it is shown.
    versionPanel_ = new VersionPanel(platform_, lang_, this);
    cancelDialog_ = new CancelDialog(lang_, *this);
}

void MainWindow::connectEvents()
{
    connect(cmdConvert_, &QPushButton::clicked, this,
            [this] { StartBatch(*batch_, *platform_.system, Sources(), destination_->Text(), CurrentBatchOptions()); });
    connect(cmdCancel_, &QPushButton::clicked, batch_, &Batch::RequestCancel);
    connect(cmdPause_, &QPushButton::clicked, this, &MainWindow::PauseOrResume);
    connect(countdown_, &CountdownPanel::ranOut, this,
            [this] { DoWhenDone(static_cast<WhenDone>(comboWhenDone_->currentIndex())); });
    cmdConvert_->installEventFilter(this);

    connect(cmdSourceFile_, &QPushButton::clicked, sourceList_, &SourceList::AddSourcesFromDialog);
    connect(sourceList_, &SourceList::contentChanged, this, &MainWindow::UpdateLayout);
    // The rows' marks tell of the last batch's list and destination; a change to either ends them.
    connect(destination_, &DestinationField::textChanged, sourceList_, &SourceList::ClearMarks);
    connect(sourceList_, &SourceList::marksCleared, this, [this] { rowOutcomes_.clear(); });
    connect(lblSubtitlesTip_, &LinkLabel::activated, this, [this] { links_.OpenSubtitlesHelpPage(); });

    connect(chkOverwrite_, &QCheckBox::clicked, this, &MainWindow::OptionClicked);
    connect(chkShowPutiPhone_, &QCheckBox::clicked, this, &MainWindow::OptionClicked);
    connect(chkFullHD_, &QCheckBox::clicked, this, [this] { OutputClicked(chkFullHD_, chk4K_); });
    connect(chk4K_, &QCheckBox::clicked, this, [this] { OutputClicked(chk4K_, chkFullHD_); });
    connect(comboLanguage_, &QComboBox::activated, this, &MainWindow::OptionClicked);

    connect(lblContact_, &LinkLabel::activated, this, [this] { links_.OpenContactPage(); });
    connect(cmdDonate_, &QPushButton::clicked, this, [this] { links_.OpenDonatePage(); });

    connect(versionPanel_, &VersionPanel::ended, this, &MainWindow::EndVersionCheck);
    connect(versionPanel_, &VersionPanel::downloadRequested, this, [this] {
        links_.OpenDownloadPage();
        // The ordinary close: a running batch may still refuse it, and the state is saved on unload.
        close();
    });
    connect(cancelDialog_, &CancelDialog::confirmed, batch_, &Batch::ConfirmCancel);
    connect(cancelDialog_, &CancelDialog::declined, batch_, &Batch::DeclineCancel);
}

void MainWindow::OptionClicked()
{
    // Setting the controls during start-up must not save anything.
    if (!startedUp_)
        return;
    SaveOptions();
}

void MainWindow::OutputClicked(QCheckBox* ticked, QCheckBox* other)
{
    if (ticked->isChecked())
        other->setChecked(false);
    OptionClicked();
}

BatchOptions MainWindow::CurrentBatchOptions() const
{
    // Only a ticked box counts; a greyed one is as good as clear.
    const OutputFormat format = CheckValue(chk4K_) == 1 ? OutputFormat::FourK
        : CheckValue(chkFullHD_) == 1                   ? OutputFormat::FullHd
                                                        : OutputFormat::Classic;
    return ChooseBatchOptions(prefs_, {CheckValue(chkSubtitles_) == 1, CheckValue(chkShowPutiPhone_) == 1, format});
}

QStringList MainWindow::Sources() const
{
    return sourceList_->Sources();
}

void MainWindow::AddArgumentFiles(const QStringList& files, const QString& startFolder)
{
    const ArgumentFiles found = FindArgumentFiles(files, startFolder);
    if (!found.existing.isEmpty())
        sourceList_->AddSourcePaths(found.existing);
    if (!found.missing.isEmpty())
        platform_.messages->showOk(found.missing.join(QLatin1Char('\n')) + QStringLiteral(":\n")
                                   + T("error_filesnotfound"));
}

void MainWindow::CloseOnRequest()
{
    close();
    // A running batch turned the close into the cancel question: the answer is yes.
    if (cancelDialog_->isVisible())
        batch_->ConfirmCancel();
}

void MainWindow::StartVersionCheck(const QString& url)
{
    versionPanel_->setVisible(true);
    // The panel covers the tabs for the mouse; the keyboard must not reach them either, or a batch could
    // start underneath and be reset when the check ends.
    tabMain_->setEnabled(false);
    versionPanel_->Start(url);
}

// The outcome has been on screen for its moment: the normal window returns.
void MainWindow::EndVersionCheck()
{
    ApplyWindowTexts();
    versionPanel_->setVisible(false);
    tabMain_->setEnabled(true);
}

void MainWindow::ShowJobCounter(int job, int count)
{
    progress_->ShowStatus(T("cmdConvert_ing") + QLatin1Char('(') + QString::number(job) + QLatin1Char('/')
                          + QString::number(count) + QLatin1Char(')'));
}

void MainWindow::ShowProgressMaximum(double seconds)
{
    progress_->ShowMaximum(seconds);
}

void MainWindow::ShowProgress(const ProgressDisplay& progress)
{
    progress_->ShowProgress(progress);
    if (progress.percent)
        setWindowTitle(T("frmCaption") + QStringLiteral(" - ") + *progress.percent);
}

void MainWindow::ShowElapsed(const QString& text)
{
    progress_->ShowElapsed(text);
}

void MainWindow::PauseOrResume()
{
    if (!batch_->IsRunning())
        return;
    if (!batch_->IsPaused()) {
        batch_->Pause();
        cmdPause_->setText(T("cmdResume"));
        progress_->ShowStatus(T("cmdPause_ed"));
        return;
    }
    batch_->Resume();
    // The batch may have moved on to its next file, or ended, as it went on.
    if (!batch_->IsRunning() || batch_->IsPaused())
        return;
    cmdPause_->setText(T("cmdPause"));
    if (batch_->ConversionPhase() == Phase::Conversion && batch_->SourceCount() > 1)
        ShowJobCounter(batch_->CurrentIndex() + 1, batch_->SourceCount());
    else
        progress_->ShowStatus(T("cmdConvert_ing"));
}

void MainWindow::DoWhenDone(WhenDone action)
{
    if (action == WhenDone::Quit) {
        close();
        return;
    }
    if (const auto refusal = PerformWhenDone(lang_, action, platform_.power.get()))
        platform_.messages->showOk(*refusal);
}

void MainWindow::AskToCancel()
{
    setEnabled(false);
    cancelDialog_->Load();
}

void MainWindow::CancelAnswered(bool, bool closeWindow)
{
    setEnabled(true);
    if (closeWindow)
        close();
    cancelDialog_->hide();
}

int MainWindow::WindowHeightTwips() const
{
    return ToTwips(height() + frame_.top() + frame_.bottom());
}

void MainWindow::SetWindowHeightTwips(double twips)
{
    setFixedHeight(ToPixels(twips) - frame_.top() - frame_.bottom());
}

void MainWindow::FrameChanged(const QMargins& frame)
{
    if (frame == frame_)
        return;
    const int outer = WindowHeightTwips();
    frame_ = frame;
    SetWindowHeightTwips(outer);
}

bool MainWindow::event(QEvent* event)
{
    // A window manager adds its frame some time after the window is shown.
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
        if (isWindow() && isVisible())
            FrameChanged(FrameMargins(this));
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    // As in a dialog: Enter presses the focused button, else the default one.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button->isEnabled())
            button->click();
        else if (cmdConvert_->isVisibleTo(this) && cmdConvert_->isEnabled() && tabMain_->isEnabled())
            cmdConvert_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (unloaded_) {
        event->accept();
        return;
    }
    if (!batch_->MayClose()) {
        event->ignore();
        return;
    }
    unloaded_ = true;
    SaveWindowState();
    batch_->StopRunner();
    event->accept();
    emit unloaded();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Cancel takes the focus only while it shows in Convert's place.
    if (watched == cmdConvert_ && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        for (QPushButton* button : {cmdCancel_, cmdPause_})
            button->setFocusPolicy(event->type() == QEvent::Hide ? Qt::StrongFocus : Qt::NoFocus);
    }
    return QWidget::eventFilter(watched, event);
}
