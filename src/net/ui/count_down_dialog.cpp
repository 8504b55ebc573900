#include "net/ui/count_down_dialog.h"

#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <string>

#include "net/timed_download.h"
#include "platform/hooks.h"
#include "platform/host.h"
#include "platform/qt/qt_codepage.h"

namespace {

class CountDownWindow final : public QDialog {
 public:
  CountDownWindow(QWidget* owner, int mode) : QDialog(owner), count_(StartCountDown(mode)) {
    setObjectName(u"COUNT_DOWN"_qs);
    setWindowTitle(FromCp932(CountDownTitle(mode)));
    auto* text = new QLabel(FromCp932(CountDownText(mode)), this);
    text->setObjectName(QString::number(IDC_COUNT_DOWN_TEXT));
    time_ = new QLabel(u"開始まで30秒"_qs, this);
    time_->setObjectName(QString::number(IDC_COUNT_DOWN_TIME));
    auto* stop = new QPushButton(u"中断"_qs, this);
    stop->setObjectName(QString::number(IDCANCEL));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(time_);
    layout->addWidget(stop);
    connect(stop, &QPushButton::clicked, this, [this] { reject(); });
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, [this] {
      std::string shown;
      if (!CountDownTick(&count_, &shown)) {
        timer_.stop();
        done(1);
        return;
      }
      time_->setText(FromCp932(shown.c_str()));
    });
    timer_.start();
  }

 protected:
  void reject() override {
    timer_.stop();
    ShowCountDownInterrupted(count_.mode);
    done(0);
  }

 private:
  CountDown count_;
  QLabel* time_;
  QTimer timer_;
};

QPointer<QWidget> g_owner;

}  // namespace

int ShowCountDownDialog(QWidget* owner, int mode) {
  CountDownWindow dialog(owner, mode);
  return dialog.exec();
}

void InstallCountDownDialog(QWidget* owner) {
  g_owner = owner;
  CountDownDialog = [](int mode) { return ShowCountDownDialog(g_owner, mode); };
}
