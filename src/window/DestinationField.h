#pragma once

#include "FileDrop.h"

#include <QWidget>

class FileDialogs;
class QLineEdit;
class QMimeData;
class QPushButton;

// The destination folder: a box the user may type in, a button that picks the folder, and drops of
// files or folders on the box. The text is a plain prefix of the output names.
class DestinationField : public QWidget
{
    Q_OBJECT
public:
    DestinationField(FileDialogs& dialogs, QWidget* parent);

    QString Text() const;
    void SetText(const QString& text);
    void SetTexts(const QString& buttonCaption, const QString& boxName);

    // Lets the user pick the folder; cancelling changes nothing.
    void BrowseDestination();
    // The destination becomes the first dropped folder, or the folder of the first dropped file.
    DropEffect DropDestination(const QMimeData* data);

signals:
    // The folder's text has changed, by typing, picking or dropping.
    void textChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FileDialogs& dialogs_;
    QLineEdit* txtDestination_;
    QPushButton* cmdDestination_;
};
