// The shareholder-benefit window "YUTAI_LIST" (株主優待制度): month and kind filters, the list
// of stocks with benefits, the date of the data, and the buttons to the stock's benefit page,
// to update the data (the dialog "YUTAI_DOWNLOAD") and to close. Selecting a row shows the
// stock in the chart.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QTableView;
class ReportListModel;

constexpr int IDC_YUTAI_MONTH = 1237;
constexpr int IDC_YUTAI_KIND = 1233;
constexpr int IDC_YUTAI_LIST = 1235;
constexpr int IDC_YUTAI_DATE = 1236;
constexpr int IDC_YUTAI_PAGE = 1234;
constexpr int IDC_YUTAI_UPDATE = 1231;
// The download dialog's controls.
constexpr int IDC_YUTAI_TEXT = 1105;
constexpr int IDC_YUTAI_ELAPSED = 1104;
constexpr int IDC_YUTAI_REMAINING = 1055;
constexpr int IDC_YUTAI_PROGRESS = 1035;

class YutaiWindow final : public QDialog {
  Q_OBJECT
 public:
  explicit YutaiWindow(QWidget* owner);
  ~YutaiWindow() override;
  QTableView* List() const { return list_; }
  ReportListModel* Model() const { return model_; }
  QComboBox* MonthBox() const { return month_; }
  QComboBox* KindBox() const { return kind_; }
  QLabel* DateText() const { return date_; }
  // Applies the filters and fills the list again.
  void FillYutaiList();
  // "更新": the download dialog, with the busy flag set while it runs.
  void Update();

 private:
  void SelectionChanged();
  QComboBox *month_, *kind_;
  QLabel* date_;
  QTableView* list_;
  ReportListModel* model_;
  std::vector<int> rows_;  // record index of each list row
};

// How the shell places the window and reads its placement back.
struct YutaiWindowShell {
  void (*apply_placement)(QWidget* w) = nullptr;
  void (*read_placement)(const QWidget* w) = nullptr;
};
// Registers command 40101 (open or close the window, checked while it exists).
void RegisterYutaiWindow(QWidget* owner, YutaiWindowShell shell);
YutaiWindow* TheYutaiWindow();
// Closes the window when it is open (the tool windows close before the price updates).
void CloseYutaiWindow();
// Opens "YUTAI_DOWNLOAD" modally; 1 when the data were replaced.
int ShowYutaiDownloadDialog(QWidget* owner);
