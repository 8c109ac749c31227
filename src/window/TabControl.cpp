#include "TabControl.h"

#include <QFrame>
#include <QTabBar>

TabControl::TabControl(int tabCount, QWidget* parent)
    : QWidget(parent)
    , bar_(new QTabBar(this))
{
    for (int i = 0; i < tabCount; ++i) {
        bar_->addTab(QString());
        auto* page = new QFrame(this);
        page->setObjectName(QStringLiteral("tabPage%1").arg(i));
        page->setFrameShape(QFrame::NoFrame);
        pages_ << page;
    }
    bar_->raise();
    bar_->move(0, 0);
    connect(bar_, &QTabBar::currentChanged, this, &TabControl::showPage);
    showPage(0);
}

int TabControl::currentIndex() const
{
    return bar_->currentIndex();
}

void TabControl::setCurrentIndex(int index)
{
    bar_->setCurrentIndex(index);
    showPage(index);
}

void TabControl::setCaption(const QString& caption)
{
    bar_->setTabText(bar_->currentIndex(), caption);
    bar_->adjustSize();
}

QString TabControl::caption(int index) const
{
    return bar_->tabText(index);
}

void TabControl::resizeEvent(QResizeEvent*)
{
    for (QWidget* page : pages_)
        page->setGeometry(0, 0, width(), height());
    bar_->raise();
}

void TabControl::showPage(int index)
{
    for (int i = 0; i < pages_.size(); ++i)
        pages_[i]->setVisible(i == index);
    bar_->raise();
}
