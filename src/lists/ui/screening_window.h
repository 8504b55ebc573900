// The screening window "株式銘柄スクリーニング" (SCREMAIN): the page list, the group combo,
// the radar chart and the seven condition pages (SCRESUB1 to SCRESUB7) shown below it, and
// the group dialog (SCREENING_GROUP). Controls carry their resource identifiers as object
// names; the combos of a page edit the slots of ScreCond (lists/screening_engine.h).
#pragma once

#include <QDialog>
#include <QImage>
#include <map>

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;
class QVBoxLayout;

// How the shell places the window and reads its placement back (ScreWinPos).
struct ScreeningWindowPlacement {
  void (*apply)(QWidget* w) = nullptr;
  void (*read)(const QWidget* w) = nullptr;
};

// Registers command 40090 (opens the window, or closes it when open; checked while open).
void RegisterScreeningWindow(QWidget* owner, ScreeningWindowPlacement placement);

// The radar chart: one axis for each of pages 1 to 6.
class ScreeningRadar final : public QWidget {
  Q_OBJECT
 public:
  explicit ScreeningRadar(QWidget* parent);
  // Takes the six values (30 to 100) and repaints.
  void SetValues(const int values[6]);
  // The chart as last painted into its image.
  const QImage& Image() const { return image_; }
  void Render();

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;

 private:
  int values_[6] = {30, 30, 30, 30, 30, 30};
  QImage image_;
};

class ScreeningWindow final : public QDialog {
  Q_OBJECT
 public:
  explicit ScreeningWindow(QWidget* owner);
  ~ScreeningWindow() override;

  QTableWidget* PageList() const { return list_; }
  QComboBox* GroupCombo() const { return group_; }
  ScreeningRadar* Radar() const { return radar_; }
  // The open page (1 to 7) and its panel (object name "SCRESUB%d").
  int Page() const { return page_; }
  QWidget* PagePanel() const { return panel_; }
  // A combo of the open page by its identifier, or nullptr.
  QComboBox* Combo(int id) const;

  // Shows page p (1 to 7) as the page list does.
  void ShowPage(int p);
  // Reads the open page's combos into ScreCond and copies ScreCond into the current group.
  void Store();
  // Copies the current group into ScreCond and fills the open page's combos.
  void Load();
  // "全て初期化", "検索", the group combo's choice, "グループの整理".
  void ClearAll();
  void Search();
  void GroupChosen(int index);
  void OrganiseGroups();
  // Refills the group combo and selects the current group.
  void FillGroupCombo();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  // Closing: stores the open page, keeps the placement and forgets the window (once).
  void Closing();
  void ListRowChanged();
  void BuildPage();
  void FillCombos();
  void ComboChanged(int id);
  void Recompute();

  QTableWidget* list_;
  QComboBox* group_;
  ScreeningRadar* radar_;
  QVBoxLayout* page_area_;
  QWidget* panel_ = nullptr;
  int page_ = 1;
  int last_row_ = 0;
  bool filling_ = false;
  bool closed_ = false;
  std::map<int, QComboBox*> combos_;  // identifier -> combo of the open page
  std::map<int, int> slots_;          // identifier -> slot of the open page
};

class ScreeningGroupDialog final : public QDialog {
  Q_OBJECT
 public:
  explicit ScreeningGroupDialog(ScreeningWindow* owner);
  QLineEdit* Field() const { return field_; }
  QLabel* TextLine() const { return text_; }
  void NewGroup();
  void Ok();
  void Delete();
  void Cancel();

 private:
  ScreeningWindow* owner_;
  QLineEdit* field_;
  QLabel* text_;
};

// The open window, or nullptr.
ScreeningWindow* OpenScreeningWindow();
// Opens the window, or closes it when open (command 40090).
void ToggleScreeningWindow();
