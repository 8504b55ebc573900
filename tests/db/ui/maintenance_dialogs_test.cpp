#include "db/ui/maintenance_dialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <gtest/gtest.h>

#include "chart/shown_stock.h"
#include "db/csv_export.h"
#include "db/database_file.h"
#include "db/master_file.h"
#include "db/packed_value.h"
#include "db/price_deletion.h"
#include "db/record_io.h"
#include "platform/command_dispatch.h"
#include "platform/hooks.h"
#include "platform/qt/qt_codepage.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/qt/controls.h"

namespace {

class MaintenanceDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    WriteFixtureDatabase(3, 10);
    ASSERT_NE(LoadTag(), 0);
    ASSERT_EQ(VURN_file_in(-1, 0), 1);
    ASSERT_EQ(VURN_file_in(-1, 1), 1);
    DeleteKindLastUsed = 0;
  }
  TempDir dir;
  ScriptedHost host;
};

TEST_F(MaintenanceDialogs, TheFourPriceListShowsEveryDayOfTheShownStock) {
  ShowStock(1);
  CsvViewDialog dialog(nullptr);
  EXPECT_EQ(dialog.windowTitle(), u"株価4本足の一覧"_qs);
  const QString text = Control<QTextEdit>(&dialog, IDC_CSV_TEXT)->toPlainText();
  const QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 10);
  EXPECT_EQ(lines[0], QString::asprintf("%d      1009  1012  1007  1010        100", nikkei_date[0]));
  EXPECT_TRUE(Control<QPushButton>(&dialog, IDC_CSV_EXPORT));
}

TEST_F(MaintenanceDialogs, TheRangeDialogRefusesAReversedRange) {
  CsvFirst = 0;
  CsvLast = LastDate - 1;
  CsvDateSetDialog dialog(nullptr);
  Control<QLineEdit>(&dialog, IDC_CSV_FIRST)->setText(QString::number(nikkei_date[6]));
  Control<QLineEdit>(&dialog, IDC_CSV_LAST)->setText(QString::number(nikkei_date[3]));
  host.Answer(IDOK, "日付指定Err");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(CsvFirst, 0);
  Control<QLineEdit>(&dialog, IDC_CSV_LAST)->setText(QString::number(nikkei_date[8]));
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(CsvFirst, 6);
  EXPECT_EQ(CsvLast, 8);
}

TEST_F(MaintenanceDialogs, DeletingOneDayOfTheChosenStock) {
  ShowStock(0);
  DeletionDialog dialog(nullptr);
  QListWidget* dates = Control<QListWidget>(&dialog, IDC_DEL_DATES);
  QListWidget* stocks = Control<QListWidget>(&dialog, IDC_DEL_STOCKS);
  ASSERT_EQ(dates->count(), 10);
  ASSERT_EQ(stocks->count(), 3);
  EXPECT_TRUE(stocks->item(1)->text().startsWith(u"7001  "_qs));
  const int32_t d3 = nikkei_date[3];
  dates->setCurrentRow(6);  // day index 3
  EXPECT_EQ(dates->currentItem()->text(), QString::asprintf("%d/%d/%d", d3 / 10000, d3 / 100 % 100, d3 % 100));
  stocks->setCurrentRow(1);
  EXPECT_EQ(DispNum, 1);
  EXPECT_EQ(Control<QPlainTextEdit>(&dialog, IDC_DEL_PRICES)->toPlainText(),
            u"始値　：1,012\n高値　：1,015\n安値　：1,010\n終値　：1,013\n出来高：400\n"_qs);

  // Kind 1 empties the prices and greys the stock list.
  Control<QComboBox>(&dialog, IDC_DEL_KIND)->setCurrentIndex(1);
  EXPECT_FALSE(stocks->isEnabled());
  EXPECT_EQ(Control<QPlainTextEdit>(&dialog, IDC_DEL_PRICES)->toPlainText(), u" "_qs);
  Control<QComboBox>(&dialog, IDC_DEL_KIND)->setCurrentIndex(0);

  host.Answer(IDCANCEL, "確認");
  dialog.OnDelete();
  EXPECT_EQ(Packed_to_Value(LoadHiashi(1)->close[3]), 1013);
  host.Answer(IDOK, "確認");
  host.Answer(IDOK, "確認");  // done
  dialog.OnDelete();
  EXPECT_EQ(Packed_to_Value(LoadHiashi(1)->close[3]), 1012);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(DeleteKindLastUsed, 0);
}

TEST_F(MaintenanceDialogs, TheOldestDayIsNotOffered) {
  DeletionDialog dialog(nullptr);
  Control<QListWidget>(&dialog, IDC_DEL_DATES)->setCurrentRow(9);  // day index 0
  host.Answer(IDOK);
  dialog.OnDelete();
  EXPECT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(MaintenanceDialogs, DeletingTheLastDayOfAllStocksStartsTodaysDownload) {
  DeletionDialog dialog(nullptr);
  Control<QComboBox>(&dialog, IDC_DEL_KIND)->setCurrentIndex(1);
  host.Answer(IDOK, "確認");
  host.Answer(IDOK, "最終確認");
  host.Answer(IDOK, "確認");
  dialog.OnDelete();
  EXPECT_EQ(LastDate, 9);
  EXPECT_EQ(host.posted, std::vector<int>{40082});
  EXPECT_EQ(DeleteKindLastUsed, 1);
  DeletionDialog again(nullptr);
  EXPECT_EQ(Control<QComboBox>(&again, IDC_DEL_KIND)->currentIndex(), 1);
}

}  // namespace
