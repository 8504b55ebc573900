// The company information window "企業情報" (class "WFunClass"): the stock's name, market and
// industry, three buttons, and a scrolling view ("WFunDrawWndClass") with the peer
// comparison, or, for a downloaded company, the long page with the change chart, the
// year-on-year verdicts and the consolidated results. It follows the chart's shown stock.
#pragma once

#include <QImage>
#include <QWidget>
#include <string>
#include <vector>

class QPushButton;
class QScrollBar;

// What the shell gives the window: its placement, closing the tool windows and the
// download dialog of the "詳細情報" button.
struct CompanyWindowShell {
  void (*apply_placement)(QWidget* w) = nullptr;
  void (*read_placement)(const QWidget* w) = nullptr;
  void (*close_tool_windows)() = nullptr;
  int (*run_download_dialog)() = nullptr;
};

class CompanyView final : public QWidget {
  Q_OBJECT
 public:
  explicit CompanyView(QWidget* parent);
  int ScrollPos() const { return scroll_; }
  // The shared scroll rule: a scroll-bar action or a key (38, 40, 33, 34), or wheel steps.
  void ScrollBy(int action, int thumb = 0);
  void WheelBy(int delta);
  // The texts of the last paint (CP932), in the order drawn.
  const std::vector<std::string>& Texts() const { return texts_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void wheelEvent(QWheelEvent*) override;
  void resizeEvent(QResizeEvent*) override;

 private:
  friend class CompanyWindow;
  void Draw(QImage* image);
  void SetScroll(int pos);
  int PageLines() const;
  QScrollBar* bar_;
  QImage image_;
  int scroll_ = 0;
  std::vector<std::string> texts_;
};

class CompanyWindow final : public QWidget {
  Q_OBJECT
 public:
  explicit CompanyWindow(QWidget* owner);
  ~CompanyWindow() override;
  CompanyView* View() const { return view_; }
  QPushButton* Button(int id) const;
  // The top band's text of the last paint (CP932).
  const std::string& BandText() const { return band_; }
  // Follows the shown stock: the band and the view are painted again.
  void Refresh();
  // "詳細情報": the download dialog with the tool windows closed and this window disabled.
  void OnDetail();

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void wheelEvent(QWheelEvent*) override;
  void closeEvent(QCloseEvent*) override;

 private:
  void UpdateButtons();
  CompanyView* view_;
  QPushButton *detail_, *homepage_, *performance_;
  std::string band_;
  int listener_ = 0;
};

// Registers command 40097 (open or close the window, checked while it exists) and the
// buttons' commands 40096, 40099 and 40113. owner: the main window.
void RegisterCompanyWindow(QWidget* owner, CompanyWindowShell shell);
CompanyWindow* TheCompanyWindow();
// Opens the shown stock's home page from its company record (well-formed http/https only).
void OpenCompanyHomePage();
// Opens the shown stock's performance page on the finance portal.
void OpenCompanyPerformancePage();
