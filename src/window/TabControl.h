#pragma once

#include <QWidget>

class QTabBar;

// A tab strip whose pages share the control's own coordinates, so a control on a page is placed
// relative to the whole tab control, strip included.
class TabControl : public QWidget
{
    Q_OBJECT
public:
    TabControl(int tabCount, QWidget* parent);
    QWidget* page(int index) const { return pages_.at(index); }
    int currentIndex() const;
    void setCurrentIndex(int index);
    // The caption of the current tab.
    void setCaption(const QString& caption);
    QString caption(int index) const;
    QTabBar* tabBar() const { return bar_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showPage(int index);
    QTabBar* bar_;
    QList<QWidget*> pages_;
};
