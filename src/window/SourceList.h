#pragma once

#include "FileDrop.h"
#include "conversion/JobOutcome.h"

#include <QListWidget>
#include <optional>

class FileDialogs;

// The sources of the next batch, one full path per row in the order they are converted. Filled from the
// open dialog (its button, or a double click) and by drops; Delete removes the selected rows and a row
// can be dragged to another place. A path is never listed twice.
class SourceList : public QListWidget
{
    Q_OBJECT
public:
    SourceList(FileDialogs& dialogs, QWidget* parent);

    QStringList Sources() const;
    bool IsSourceListed(const QString& path) const;

    // Appends what the user picks. The content counts as changed also when nothing was picked.
    void AddSourcesFromDialog();
    DropEffect AddDroppedSources(const QMimeData* data);
    // Appends the paths not listed yet, in order.
    void AddSourcePaths(const QStringList& paths);
    // Acts on the Delete key only.
    void RemoveSelectedSources(int keyCode);

    // The row under a point `yTwips` below the top of the rows; the last row below them; -1 when empty.
    qint16 RowAtPosition(double yTwips) const;
    void MoveListItem(int from, int to);
    // What a row drag inside the list carries; only this list accepts it.
    QMimeData* NewRowDragData() const;

    // Where the open dialog starts; the system's choice while empty. It follows the files the user picks.
    QString DialogFolder() const { return dialogFolder_; }
    void SetDialogFolder(const QString& folder) { dialogFolder_ = folder; }
    // The grey hint an empty list shows, and the name a screen reader says.
    void SetTexts(const QString& hint, const QString& accessibleName);

    // Marks a row with its job's state: the state's mark, `text` as the row's description for a screen
    // reader, `details` as its tooltip. A waiting job's row carries no mark. The marks go when a row is
    // added, removed, moved or renamed.
    void SetMark(int row, const JobOutcome& outcome, const QString& text, const QString& details);
    // The state a row's mark shows; Waiting when it has none.
    JobState MarkOf(int row) const;
    bool HasMarks() const;
    void ClearMarks();
    // Selects that row alone and shows it, so Delete removes it.
    void SelectOnly(int row);

signals:
    // Rows were added or removed (once per removed row), or the dialog was closed.
    void contentChanged();
    // The rows' marks are gone.
    void marksCleared();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool IsRowDrag(const QMimeData* data) const;
    QByteArray RowDragToken() const;
    // A row drag starts once the pointer has moved far enough with the left button held on a row.
    bool MaybeStartRowDrag(QMouseEvent* event);

    FileDialogs& dialogs_;
    QString dialogFolder_;
    QString hint_;
    std::optional<QPoint> pressPos_;
    int dragStartRow_ = 0;
    int marks_ = 0; // rows that carry a mark
};
