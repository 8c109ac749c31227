#include "Form1.h"

#include "Destination.h"
#include "FrmCancel.h"
#include "ProgressBar.h"
#include "SourceList.h"
#include "StartUp.h"
#include "TabControl.h"
#include "Twips.h"
#include "VersionPanel.h"
#include "WindowLooks.h"
#include "conversion/Batch.h"
#include "update/VersionCheck.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

QString T(const Form1& f, const QString& key)
{
    return Translate(f.lang, key);
}

Form1::Form1(Platform& platform, QWidget* parent)
    : QWidget(parent)
    , platform(platform)
    , links(*platform.shell, lang)
    , batch(new Batch(platform, lang, *this, this))
    , versionCheck(new VersionCheck(platform, this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Reelpocket"));
    createControls();
    connectEvents();
}

Form1::~Form1()
{
    // No encoder outlives the window.
    batch->StopRunner();
    delete frmCancel;
}

namespace {
template <typename W, typename... Args> W* make(QWidget* parent, const char* name, Args&&... args)
{
    auto* w = new W(std::forward<Args>(args)..., parent);
    w->setObjectName(QLatin1String(name));
    return w;
}
} // namespace

void Form1::createControls()
{
    setFixedSize(ToPixels(10920), ToPixels(SingleLayoutHeight));

    tabMain = make<TabControl>(this, "tabMain", 3);
    PlaceTwips(tabMain, 0, 0, 10935, 4335);
    QWidget* convertTab = tabMain->page(0);
    QWidget* optionsTab = tabMain->page(1);
    QWidget* aboutTab = tabMain->page(2);

    // Convert tab, created bottom to top of the stacking order.
    lstSource = make<QListWidget>(convertTab, "lstSource");
    PlaceTwips(lstSource, 240, 720, 6375, 300);
    lstSource->setSelectionMode(QAbstractItemView::ExtendedSelection);
    cmdSourceFile = make<QPushButton>(convertTab, "cmdSourceFile");
    PlaceTwips(cmdSourceFile, 6720, 720, 3975, 375);
    txtDestination = make<QLineEdit>(convertTab, "txtDestination");
    PlaceTwips(txtDestination, 240, 1200, 6375, 360);
    cmdDestination = make<QPushButton>(convertTab, "cmdDestination");
    PlaceTwips(cmdDestination, 6720, 1200, 3975, 375);
    lblSubtitlesTip = make<QLabel>(convertTab, "lblSubtitlesTip", QStringLiteral(" ?"));
    PlaceTwips(lblSubtitlesTip, 240, 1680, 255, 255);
    lblSubtitlesTip->setCursor(Qt::PointingHandCursor);
    lblSubtitlesTip->setFocusPolicy(Qt::StrongFocus);
    lblSubtitlesTip->setStyleSheet(QStringLiteral("QLabel:focus { border: 1px dotted palette(highlight); }"));
    chkSubtitles = make<QCheckBox>(convertTab, "chkSubtitles");
    PlaceTwips(chkSubtitles, 480, 1680, 2775, 255);
    cmdCancel = make<QPushButton>(convertTab, "cmdCancel");
    PlaceTwips(cmdCancel, 240, 2040, 10455, 615);
    // Covered by Convert until a batch runs: a button nobody can see takes no focus.
    cmdCancel->setFocusPolicy(Qt::NoFocus);
    cmdConvert = make<QPushButton>(convertTab, "cmdConvert");
    PlaceTwips(cmdConvert, 240, 2040, 10455, 615);
    // Enter anywhere but on another button starts the batch.
    cmdConvert->setDefault(true);
    lblStatus = make<QGroupBox>(convertTab, "lblStatus");
    PlaceTwips(lblStatus, 240, 2760, 10455, 1335);
    lblPercent = make<QLabel>(lblStatus, "lblPercent", QStringLiteral("0%"));
    PlaceTwips(lblPercent, 9480, 480, 735, 255);
    lblTimeElapsed = make<QLabel>(lblStatus, "lblTimeElapsed");
    PlaceTwips(lblTimeElapsed, 360, 960, 2175, 255);
    lblTimeE = make<QLabel>(lblStatus, "lblTimeE", QStringLiteral("00:00:00"));
    PlaceTwips(lblTimeE, 2640, 960, 975, 255);
    lblTimeRemaining = make<QLabel>(lblStatus, "lblTimeRemaining");
    PlaceTwips(lblTimeRemaining, 6120, 960, 2055, 255);
    lblTimeR = make<QLabel>(lblStatus, "lblTimeR", QStringLiteral("00:00:00"));
    PlaceTwips(lblTimeR, 8280, 960, 975, 255);
    // The status colour is the frame's caption colour only; its labels keep the ordinary text colour.
    for (QLabel* label : {lblPercent, lblTimeElapsed, lblTimeE, lblTimeRemaining, lblTimeR})
        SetTextColour(label, label->palette().color(QPalette::WindowText));
    pBar = make<QProgressBar>(convertTab, "pBar");
    PlaceTwips(pBar, 600, 3240, 8895, 255);
    pBar->setMinimum(0);
    pBar->setTextVisible(false);
    SetBarMax(pBar, 100);
    SetBarValue(pBar, 0);

    // Options tab
    lblLanguage = make<QLabel>(optionsTab, "lblLanguage");
    PlaceTwips(lblLanguage, 360, 840, 1095, 255);
    comboLanguage = make<QComboBox>(optionsTab, "comboLanguage");
    PlaceTwips(comboLanguage, 1560, 720, 1815, 360);
    comboLanguage->addItems(ComboLanguages());
    comboLanguage->setCurrentIndex(-1);
    chkOverwrite = make<QCheckBox>(optionsTab, "chkOverwrite");
    PlaceTwips(chkOverwrite, 360, 1380, 6975, 315);
    chkShowPutiPhone = make<QCheckBox>(optionsTab, "chkShowPutiPhone");
    PlaceTwips(chkShowPutiPhone, 360, 1740, 7695, 375);

    // About tab
    txtAbout = make<QTextEdit>(aboutTab, "txtAbout");
    PlaceTwips(txtAbout, 120, 600, 10695, 3375);
    txtAbout->setReadOnly(true);
    txtAbout->setAcceptRichText(false);
    lblContact = make<QLabel>(aboutTab, "lblContact", QStringLiteral("Contact"));
    PlaceTwips(lblContact, 3240, 2400, 4455, 255);
    lblContact->setAlignment(Qt::AlignCenter);
    lblContact->setCursor(Qt::PointingHandCursor);
    lblContact->setFocusPolicy(Qt::StrongFocus);
    lblContact->setStyleSheet(QStringLiteral("QLabel { color: #0645ad; text-decoration: underline; }"
                                             "QLabel:disabled { color: palette(mid); text-decoration: none; }"
                                             "QLabel:focus { border: 1px dotted palette(highlight); }"));
    cmdDonate = make<QPushButton>(aboutTab, "cmdDonate");
    PlaceTwips(cmdDonate, 4200, 3480, 2415, 495);

    // The version-check panel covers the tabs while it is shown.
    frameCheckVersion = make<QFrame>(this, "frameCheckVersion");
    PlaceTwips(frameCheckVersion, 0, 0, 10935, 4335);
    frameCheckVersion->setAutoFillBackground(true);
    frameCheckVersion->setVisible(false);
    lblCheckVersion = make<QLabel>(frameCheckVersion, "lblCheckVersion");
    PlaceTwips(lblCheckVersion, 5400, 1920, 105, 240);
    cmdGetNewVersion = make<QPushButton>(frameCheckVersion, "cmdGetNewVersion");
    PlaceTwips(cmdGetNewVersion, 3480, 2400, 3975, 495);
    cmdGetNewVersion->setVisible(false);

    versionPanel = new VersionPanel(*this);
    frmCancel = new FrmCancel(*this);
}

void Form1::connectEvents()
{
    connect(cmdConvert, &QPushButton::clicked, this, [this] {
        CreateDefaultDestination(*this);
        batch->StartConversion(Sources(), txtDestination->text(), CurrentBatchOptions());
    });
    connect(cmdCancel, &QPushButton::clicked, batch, &Batch::RequestCancel);

    connect(cmdSourceFile, &QPushButton::clicked, this, [this] { AddSourcesFromDialog(*this); });
    connect(cmdDestination, &QPushButton::clicked, this, [this] { BrowseDestination(*this); });
    lstSource->setAcceptDrops(true);
    lstSource->viewport()->setAcceptDrops(true);
    lstSource->viewport()->installEventFilter(this);
    lstSource->installEventFilter(this);
    txtDestination->setAcceptDrops(true);
    txtDestination->installEventFilter(this);
    lblSubtitlesTip->installEventFilter(this);
    lblContact->installEventFilter(this);
    cmdConvert->installEventFilter(this);
    lblLanguage->setBuddy(comboLanguage);

    connect(chkOverwrite, &QCheckBox::clicked, this, &Form1::OptionClicked);
    connect(chkShowPutiPhone, &QCheckBox::clicked, this, &Form1::OptionClicked);
    connect(comboLanguage, &QComboBox::activated, this, &Form1::OptionClicked);

    connect(cmdDonate, &QPushButton::clicked, this, [this] { links.OpenDonatePage(); });
    connect(cmdGetNewVersion, &QPushButton::clicked, this, [this] {
        links.OpenDownloadPage();
        // The ordinary close: a running batch may still refuse it, and the state is saved on unload.
        close();
    });
    connect(versionCheck, &VersionCheck::finished, versionPanel, &VersionPanel::ShowOutcome);
}

void Form1::OptionClicked()
{
    // Setting the controls during start-up must not save anything.
    if (links.SiteBaseUrl.isEmpty())
        return;
    SaveOptions(*this);
}

BatchOptions Form1::CurrentBatchOptions() const
{
    // Only a ticked box counts; a greyed one is as good as clear.
    BatchOptions options;
    options.askBeforeOverwrite = opts.OptOverwrite == 1;
    options.burnInSubtitles = CheckValue(chkSubtitles) == 1;
    options.showHowToPage = CheckValue(chkShowPutiPhone) == 1;
    return options;
}

QStringList Form1::Sources() const
{
    QStringList sources;
    for (int i = 0; i < lstSource->count(); ++i)
        sources << lstSource->item(i)->text();
    return sources;
}

void Form1::ShowConverting()
{
    ::ShowConverting(*this);
}

void Form1::ShowJobCounter(int job, int count)
{
    lblStatus->setTitle(T(*this, QStringLiteral("cmdConvert_ing")) + QLatin1Char('(') + QString::number(job)
                        + QLatin1Char('/') + QString::number(count) + QLatin1Char(')'));
}

void Form1::ShowProgressMaximum(double seconds)
{
    SetBarMax(pBar, seconds);
}

void Form1::ShowProgress(const ProgressDisplay& progress)
{
    if (progress.barValue)
        SetBarValue(pBar, *progress.barValue);
    if (progress.remaining)
        lblTimeR->setText(*progress.remaining);
    if (progress.barFull)
        SetBarValue(pBar, BarMax(pBar));
    if (progress.percent) {
        lblPercent->setText(*progress.percent);
        setWindowTitle(T(*this, QStringLiteral("frmCaption")) + QStringLiteral(" - ") + *progress.percent);
    }
}

void Form1::ShowElapsed(const QString& text)
{
    lblTimeE->setText(text);
}

void Form1::ShowFinished(const BatchSummary& summary)
{
    ::ShowFinished(*this, summary);
    if (summary.howToPageDue)
        links.OpenPutOnIPhonePage();
}

void Form1::ShowCancelled()
{
    ::ShowCancelled(*this);
}

void Form1::AskToCancel()
{
    setEnabled(false);
    frmCancel->Load();
}

void Form1::CancelAnswered(bool, bool closeWindow)
{
    setEnabled(true);
    if (closeWindow)
        close();
    frmCancel->hide();
}

int Form1::WindowHeightTwips() const
{
    return ToTwips(height() + frame_.top() + frame_.bottom());
}

void Form1::SetWindowHeightTwips(double twips)
{
    setFixedHeight(ToPixels(twips) - frame_.top() - frame_.bottom());
}

void Form1::FrameChanged(const QMargins& frame)
{
    if (frame == frame_)
        return;
    const int outer = WindowHeightTwips();
    frame_ = frame;
    SetWindowHeightTwips(outer);
}

bool Form1::event(QEvent* event)
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

void Form1::keyPressEvent(QKeyEvent* event)
{
    // As in a dialog: Enter presses the focused button, else the default one.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button->isEnabled())
            button->click();
        else if (cmdConvert->isVisibleTo(this) && cmdConvert->isEnabled() && tabMain->isEnabled())
            cmdConvert->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Form1::closeEvent(QCloseEvent* event)
{
    if (unloaded_) {
        event->accept();
        return;
    }
    if (!batch->QueryUnload()) {
        event->ignore();
        return;
    }
    unloaded_ = true;
    SaveWindowState(*this);
    batch->StopRunner();
    event->accept();
    emit unloaded();
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lstSource->viewport() && event->type() == QEvent::Paint)
        PaintSourceHint(*this);
    if (watched == lstSource || watched == lstSource->viewport())
        return SourceListEvent(*this, watched, event) || QWidget::eventFilter(watched, event);
    if (watched == txtDestination)
        return DestinationEvent(*this, event) || QWidget::eventFilter(watched, event);
    if (watched == cmdConvert && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        cmdCancel->setFocusPolicy(event->type() == QEvent::Hide ? Qt::StrongFocus : Qt::NoFocus);
    if ((watched == lblSubtitlesTip || watched == lblContact) && LinkEvent(watched, event))
        return true;
    return QWidget::eventFilter(watched, event);
}

// The two labels that work as links open their page on a click, or on Enter or Space when focused.
bool Form1::LinkEvent(QObject* watched, QEvent* event)
{
    bool open = event->type() == QEvent::MouseButtonRelease;
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        open = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    }
    if (!open)
        return false;
    if (watched == lblSubtitlesTip)
        links.OpenSubtitlesHelpPage();
    else
        links.OpenContactPage();
    return event->type() == QEvent::KeyPress;
}
