#pragma once
// A tab control as the main window has it: a row of tabs over a framed pane
// that hosts the pages. Which page shows is the window's business, not the
// tabs': the pages are plain children that the window shows and hides.

#include <QWidget>
#include <vector>

class QTabBar;

namespace kestrel::gui {

class TabControl : public QWidget {
  Q_OBJECT

 public:
  explicit TabControl(QWidget* parent);

  QTabBar* Tabs() const { return tabs_; }
  // A page, made with this control as its parent; it goes just inside the
  // pane, below the row of tabs.
  void AddPage(QWidget* page);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Arrange();
  int TabRowHeight() const;

  QTabBar* tabs_;
  std::vector<QWidget*> pages_;
};

}  // namespace kestrel::gui
