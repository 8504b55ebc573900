// The tool window "PntFgrClass" that follows the chart in one of two modes: the
// point-and-figure chart (mode 0, command 40127) and the comparison chart with the
// similar-stock lists (mode 1, command 40136). Its drawing area "PntFgrDrawClass" paints
// through a memory image from the computations of chart/point_figure.h and
// chart/comparison.h; the similarity lists come from lists/similar_stocks.h.
#pragma once

#include <QImage>
#include <QWidget>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;

// How the shell places the window and reads its placement back (true on success).
struct PntFgrPlacement {
  bool (*apply)(QWidget* w) = nullptr;
  bool (*read)(const QWidget* w) = nullptr;
};

// Registers commands 40127 and 40136 with their check marks, and the window's closer
// among the tool windows. owner: the main window.
void RegisterPntFgrWindow(QWidget* owner, PntFgrPlacement placement);

constexpr int PNTFGR_MODE_FIGURE = 0;
constexpr int PNTFGR_MODE_COMPARE = 1;
// The mode of the window (1 at start-up) and of the last open or close command (-1).
extern int PntFgrMode;
extern int PntFgrLastMode;
// Commands 40127 (mode 0) and 40136 (mode 1): open the window in mode m, switch it to m,
// or close it when it is open in m.
void PntFgrCommand(int m);

class PntFgrDrawArea final : public QWidget {
  Q_OBJECT
 public:
  explicit PntFgrDrawArea(QWidget* parent);
  const QImage& Image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QImage image_;
};

class PntFgrWindow final : public QWidget {
  Q_OBJECT
 public:
  PntFgrWindow(QWidget* owner, int mode);
  ~PntFgrWindow() override;
  int Mode() const { return mode_; }
  PntFgrDrawArea* DrawArea() const { return draw_; }
  // Mode 0: the box-size and mark-style lists. Mode 1: the six check boxes, the three code
  // boxes and the three similarity lists (nullptr in the other mode).
  QComboBox* BoxList() const { return box_list_; }
  QComboBox* StyleList() const { return style_list_; }
  QCheckBox* Check(int i) const { return check_[i]; }
  QLineEdit* CodeEdit(int i) const { return edit_[i]; }
  QComboBox* SimilarList(int p) const { return similar_[p]; }
  // The stock numbers behind the items of similarity list p.
  const std::vector<int>& SimilarStocksOf(int p) const { return similar_stocks_[p]; }
  // Command 1, after each chart paint: in mode 1 the lists are refreshed; the top band
  // and the drawing area repaint.
  void ChartFollowed();
  // Reads the check boxes, codes and list selections (mode 1) and repaints the drawing area.
  void ReadInputs();
  // The stocks of the seven comparison slots as last read (-1: not drawn).
  const int* SlotStocks() const { return slot_stock_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;

 private:
  void CreateFigureControls();
  void CreateCompareControls();
  void RefreshLists();
  void FigureChoiceChanged();
  int mode_;
  PntFgrDrawArea* draw_ = nullptr;
  QComboBox* box_list_ = nullptr;
  QComboBox* style_list_ = nullptr;
  QCheckBox* check_[6] = {};
  QLineEdit* edit_[3] = {};
  QComboBox* similar_[3] = {};
  std::vector<int> similar_stocks_[3];
  int slot_stock_[7] = {-1, -1, -1, -1, -1, -1, -1};
  int listener_ = 0;
};

// The open window, or nullptr.
PntFgrWindow* OpenPntFgrWindow();

// Takes what the chart showed at its last paint (bar period, bars, stock and closes) for
// both modes; the window does it after every chart paint.
void PntFgrCaptureChart();
// The two paints of the drawing area, into an image of the area's size (tests call them).
void PaintPntFgr(QImage* image);
void PaintCompare(QImage* image, const int slot_stocks[7]);
