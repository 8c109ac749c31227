#include "DestinationField.h"

#include "conversion/Paths.h"
#include "platform/Platform.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

DestinationField::DestinationField(FileDialogs& dialogs, QWidget* parent)
    : QWidget(parent)
    , dialogs_(dialogs)
    , txtDestination_(new QLineEdit(this))
    , cmdDestination_(new QPushButton(this))
{
    setObjectName(QStringLiteral("destinationField"));
    txtDestination_->setObjectName(QStringLiteral("txtDestination"));
    cmdDestination_->setObjectName(QStringLiteral("cmdDestination"));
    txtDestination_->setAcceptDrops(true);
    txtDestination_->installEventFilter(this);
    connect(cmdDestination_, &QPushButton::clicked, this, &DestinationField::BrowseDestination);
    connect(txtDestination_, &QLineEdit::textChanged, this, &DestinationField::textChanged);
}

QString DestinationField::Text() const
{
    return txtDestination_->text();
}

void DestinationField::SetText(const QString& text)
{
    txtDestination_->setText(text);
}

void DestinationField::SetTexts(const QString& buttonCaption, const QString& boxName)
{
    cmdDestination_->setText(buttonCaption);
    txtDestination_->setAccessibleName(boxName);
}

void DestinationField::BrowseDestination()
{
    const std::optional<QString> chosen = dialogs_.chooseFolder(Text());
    if (!chosen)
        return;
    // The destination is a plain prefix of the output names, so it keeps its trailing separator.
    QString folder = *chosen;
    if (!folder.endsWith(Separator()))
        folder += Separator();
    SetText(folder);
}

DropEffect DestinationField::DropDestination(const QMimeData* data)
{
    const QStringList paths = DroppedPaths(data);
    if (paths.isEmpty())
        return DropEffect::None;
    const QString path = paths.first();
    // A dropped folder is the destination itself; a dropped file gives its folder.
    if (QFileInfo(path).isDir())
        SetText(path.endsWith(Separator()) ? path : path + Separator());
    else
        SetText(FolderPart(path));
    return DropEffect::Copy;
}

bool DestinationField::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != txtDestination_)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        AnswerDrop(drag, FileDropEffect(drag->mimeData()));
        return true;
    }
    case QEvent::Drop: {
        // The box's own drop would insert the dropped address as text.
        auto* drop = static_cast<QDropEvent*>(event);
        AnswerDrop(drop, DropDestination(drop->mimeData()));
        return true;
    }
    case QEvent::MouseButtonDblClick:
        BrowseDestination();
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}
