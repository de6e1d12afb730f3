#include "gui/tab_control.h"

#include <QEvent>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

namespace kestrel::gui {
namespace {

// The pages sit this far inside the pane's frame.
constexpr int kPageInset = 2;

}  // namespace

TabControl::TabControl(QWidget* parent) : QWidget(parent), tabs_(new QTabBar(this)) {
  tabs_->setObjectName(QStringLiteral("tabs"));
  tabs_->setDrawBase(false);
  tabs_->setExpanding(false);
}

void TabControl::AddPage(QWidget* page) {
  pages_.push_back(page);
  Arrange();
}

int TabControl::TabRowHeight() const { return tabs_->sizeHint().height(); }

void TabControl::Arrange() {
  tabs_->setGeometry(0, 0, width(), TabRowHeight());
  for (QWidget* page : pages_) page->move(kPageInset, TabRowHeight() + kPageInset);
  update();
}

bool TabControl::event(QEvent* event) {
  // The row of tabs asks for a new layout when its tabs change.
  if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Resize) Arrange();
  return QWidget::event(event);
}

void TabControl::paintEvent(QPaintEvent*) {
  QStyleOptionTabWidgetFrame frame;
  frame.initFrom(this);
  const int top = TabRowHeight() - style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
  frame.rect = QRect(0, top, width(), height() - top);
  frame.shape = QTabBar::RoundedNorth;
  frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
  frame.tabBarSize = tabs_->sizeHint();
  frame.tabBarRect = QRect(QPoint(0, 0), tabs_->sizeHint());
  frame.selectedTabRect = tabs_->tabRect(tabs_->currentIndex());
  QStylePainter painter(this);
  painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}

}  // namespace kestrel::gui
