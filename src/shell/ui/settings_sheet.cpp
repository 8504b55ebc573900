#include "shell/ui/settings_sheet.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstdio>
#include <cstring>

#include "chart/chart_repaint.h"
#include "chart/chart_settings.h"
#include "lists/list_settings.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/diagnostics.h"
#include "platform/host.h"
#include "platform/qt/qt_codepage.h"
#include "shell/settings_pages.h"

namespace {

QString Text(const char* cp932) { return FromCp932(cp932); }

QLineEdit* NumberBox(QWidget* page, const char* id, int value, int max_len = 9) {
  auto* e = new QLineEdit(QString::number(value), page);
  e->setObjectName(QString::fromLatin1(id));
  e->setMaxLength(max_len);
  return e;
}
int BoxValue(const QLineEdit* e) { return ReadBoxNumber(e->text().toLatin1().constData()); }

QCheckBox* CheckBox(QWidget* page, const char* id, const char* label, int on) {
  auto* c = new QCheckBox(Text(label), page);
  c->setObjectName(QString::fromLatin1(id));
  c->setChecked(on != 0);
  return c;
}

QComboBox* ListBox(QWidget* page, const char* id, const char* const* items, int n, int selected) {
  auto* b = new QComboBox(page);
  b->setObjectName(QString::fromLatin1(id));
  for (int k = 0; k < n; ++k) b->addItem(Text(items[k]));
  b->setCurrentIndex(selected >= 0 && selected < n ? selected : 0);
  return b;
}

// Each page builds its boxes from the settings when made and stores them at Apply.
class Page : public QWidget {
 public:
  using QWidget::QWidget;
  virtual void Apply() = 0;
};

class MoveAvePageWidget final : public Page {
 public:
  explicit MoveAvePageWidget(QWidget* parent) : Page(parent) {
    setObjectName(u"SETTEI0"_qs);
    const MoveAvePage p = LoadMoveAvePage();
    static const char* const kIds[9] = {"1046", "1047", "1052", "1048", "1049", "1053", "1050", "1051", "1054"};
    static const char* const kAve[3] = {"平均（赤）", "平均（青）", "平均（黄）"};
    static const char* const kUnit[3] = {"日間平均", "週間平均", "月間平均"};
    static const char* const kThirdIds[3] = {"1262", "1263", "1264"};
    static const char* const kThird[3] = {"３本目の日足平均線の表示", "３本目の週足平均線の表示",
                                          "３本目の月足平均線の表示"};
    auto* grid = new QGridLayout;
    for (int k = 0; k < 3; ++k) grid->addWidget(new QLabel(Text(kAve[k]), this), 0, k + 1);
    for (int r = 0; r < 3; ++r) {
      grid->addWidget(new QLabel(Text(kUnit[r]), this), r + 1, 0);
      for (int k = 0; k < 3; ++k) {
        box_[3 * r + k] = NumberBox(this, kIds[3 * r + k], p.period[3 * r + k]);
        grid->addWidget(box_[3 * r + k], r + 1, k + 1);
      }
    }
    auto* v = new QVBoxLayout(this);
    v->addLayout(grid);
    for (int k = 0; k < 3; ++k) {
      third_[k] = CheckBox(this, kThirdIds[k], kThird[k], p.third[k]);
      QLineEdit* period = box_[3 * k + 2];
      period->setReadOnly(!p.third[k]);
      connect(third_[k], &QCheckBox::clicked, period, [period](bool on) { period->setReadOnly(!on); });
      v->addWidget(third_[k]);
    }
    no_volume_ = CheckBox(this, "1421", "指標表示時には出来高を表示しない。", p.no_volume);
    v->addWidget(no_volume_);
    auto* group = new QGroupBox(Text("出来高移動平均線"), this);
    auto* gl = new QHBoxLayout(group);
    static const char* const kDekiIds[3] = {"1418", "1419", "1420"};
    static const char* const kDeki[3] = {"(赤)に対応", "(青)に対応", "(黄)に対応"};
    for (int k = 0; k < 3; ++k) gl->addWidget(deki_[k] = CheckBox(group, kDekiIds[k], kDeki[k], p.deki_ave[k]));
    v->addWidget(group);
    v->addStretch();
  }
  void Apply() override {
    MoveAvePage p{};
    for (int k = 0; k < 9; ++k) p.period[k] = BoxValue(box_[k]);
    for (int k = 0; k < 3; ++k) {
      p.third[k] = third_[k]->isChecked();
      p.deki_ave[k] = deki_[k]->isChecked();
    }
    p.no_volume = no_volume_->isChecked();
    if (const char* message = ApplyMoveAvePage(p)) HostMessageBox(message, "確認", MB_OK);
  }

 private:
  QLineEdit* box_[9];
  QCheckBox* third_[3];
  QCheckBox* no_volume_;
  QCheckBox* deki_[3];
};

class WindowPageWidget final : public Page {
 public:
  explicit WindowPageWidget(QWidget* parent) : Page(parent) {
    setObjectName(u"SETTEI1"_qs);
    const WindowPage p = LoadWindowPage();
    struct Row {
      const char* group;
      const char* label;
      const char* id;
    };
    static const Row kRows[9] = {
        {"一目均衡線 ... 雲をローソク足が上抜いたら買", "基準線", "1204"},
        {"", "転換線", "1210"},
        {"サイコロジカルライン ... 75%以上で売り、25%以下で買い", "", "1205"},
        {"RCI（順位相関係数）... ゴールデンクロスで買、デッドクロスで売", "短期線", "1206"},
        {"", "長期線", "1207"},
        {"RSI（相対力係数）...75%以上は売り、30%以下は買い", "", "1208"},
        {"DMI ... +ＤＩが-ＤＩを上抜いた（買）   -DIが+DIを上抜いた（売）", "", "1209"},
        {"VR（ボリュームレシオ改） ... 30%以下から復帰で買、70%割れで売", "", "1211"},
        {"ストキャステイクス ... %Ｄと%Ｋの交差が30%以下で買、70%以上で売", "", "1212"},
    };
    auto* grid = new QGridLayout(this);
    for (int k = 0; k < 9; ++k) {
      grid->addWidget(new QLabel(Text(kRows[k].group), this), k, 0);
      grid->addWidget(new QLabel(Text(kRows[k].label), this), k, 1);
      grid->addWidget(box_[k] = NumberBox(this, kRows[k].id, p.value[k]), k, 2);
    }
    grid->setRowStretch(9, 1);
  }
  void Apply() override {
    WindowPage p{};
    for (int k = 0; k < 9; ++k) p.value[k] = BoxValue(box_[k]);
    ApplyWindowPage(p);
  }

 private:
  QLineEdit* box_[9];
};

class Chart2PageWidget final : public Page {
 public:
  explicit Chart2PageWidget(QWidget* parent) : Page(parent) {
    setObjectName(u"SETTEI2"_qs);
    const Chart2Page p = LoadChart2Page();
    auto* v = new QVBoxLayout(this);
    auto* macd = new QGroupBox(Text("MACD ... MACDがシグナルを上抜けば買。下抜けば売り。"), this);
    auto* ml = new QGridLayout(macd);
    static const char* const kMacdIds[3] = {"1383", "1384", "1385"};
    static const char* const kMacd[3] = {"平滑短期", "平滑長期", "シグナル"};
    for (int k = 0; k < 3; ++k) {
      ml->addWidget(new QLabel(Text(kMacd[k]), macd), 0, k);
      ml->addWidget(macd_[k] = NumberBox(macd, kMacdIds[k], p.macd[k]), 1, k);
    }
    ml->addWidget(hist_ = CheckBox(macd, "1417", "棒グラフ(MACD - シグナル)の表示", p.macd_hist), 2, 0, 1, 3);
    v->addWidget(macd);
    auto* boll = new QGroupBox(Text("ボリンジャーバンド"), this);
    auto* bl = new QHBoxLayout(boll);
    static const char* const kBollIds[3] = {"1406", "1407", "1408"};
    static const char* const kBoll[3] = {"±1σを表示", "±2σを表示", "±3σを表示"};
    for (int k = 0; k < 3; ++k) bl->addWidget(boll_[k] = CheckBox(boll, kBollIds[k], kBoll[k], p.bollinger[k]));
    v->addWidget(boll);
    auto* kairi = new QGroupBox(Text("乖離率の計算期間"), this);
    auto* kl = new QGridLayout(kairi);
    static const char* const kKairiIds[3] = {"1412", "1415", "1416"};
    static const char* const kKairi[3] = {"日間", "週間", "月間"};
    for (int k = 0; k < 3; ++k) {
      kl->addWidget(kairi_[k] = NumberBox(kairi, kKairiIds[k], p.kairi[k]), 0, 2 * k);
      kl->addWidget(new QLabel(Text(kKairi[k]), kairi), 0, 2 * k + 1);
    }
    v->addWidget(kairi);
    v->addStretch();
  }
  void Apply() override {
    Chart2Page p{};
    for (int k = 0; k < 3; ++k) {
      p.macd[k] = BoxValue(macd_[k]);
      p.bollinger[k] = boll_[k]->isChecked();
      p.kairi[k] = BoxValue(kairi_[k]);
    }
    p.macd_hist = hist_->isChecked();
    ApplyChart2Page(p);
  }

 private:
  QLineEdit* macd_[3];
  QCheckBox* hist_;
  QCheckBox* boll_[3];
  QLineEdit* kairi_[3];
};

class FilterPageWidget final : public Page {
 public:
  explicit FilterPageWidget(QWidget* parent) : Page(parent) {
    setObjectName(u"SETTEI3"_qs);
    const FilterPage p = LoadFilterPage();
    static const char* const kMarket[] = {"全ての市場", "東証プライムのみ", "東証プライム、スタンダード、グロースのみ",
                                          "東証のみ(ETF含む)", "東証(ETF)のみ"};
    static const char* const kVolume[] = {"考慮しない",   "１００単位以上", "２００単位以上", "３００単位以上",
                                          "５００単位以上", "７００単位以上", "１０００単位以上"};
    auto* v = new QVBoxLayout(this);
    auto* group = new QGroupBox(Text("前後移動時に表示する銘柄を選別"), this);
    auto* gl = new QGridLayout(group);
    gl->addWidget(new QLabel(Text("市場"), group), 0, 0);
    gl->addWidget(market_ = ListBox(group, "1366", kMarket, 5, p.market), 0, 1);
    gl->addWidget(new QLabel(Text("出来高の多さ"), group), 1, 0);
    gl->addWidget(volume_ = ListBox(group, "1367", kVolume, 7, p.volume), 1, 1);
    gl->addWidget(tousan_ = CheckBox(group, "1415", "10日以上値動きがない銘柄は表示しない", p.tousan), 2, 0, 1, 2);
    v->addWidget(group);
    v->addWidget(wheel_ = CheckBox(this, "1416", "ホイールマウスのスクロールでお気に入り銘柄を表示", p.wheel_fav));
    auto* alarum = new QGroupBox(Text("株価お知らせ　 初期値"), this);
    auto* al = new QGridLayout(alarum);
    al->addWidget(new QLabel(Text("設定時の終値に対して"), alarum), 0, 0, 1, 4);
    al->addWidget(new QLabel(Text("＋"), alarum), 1, 0);
    al->addWidget(new QLabel(Text("利食い"), alarum), 1, 1);
    al->addWidget(rigui_ = NumberBox(alarum, "1197", p.rigui), 1, 2);
    al->addWidget(new QLabel(u"%"_qs, alarum), 1, 3);
    al->addWidget(new QLabel(Text("－"), alarum), 2, 0);
    al->addWidget(new QLabel(Text("損切り"), alarum), 2, 1);
    al->addWidget(sonkiri_ = NumberBox(alarum, "1198", p.sonkiri), 2, 2);
    al->addWidget(new QLabel(u"%"_qs, alarum), 2, 3);
    v->addWidget(alarum);
    v->addStretch();
  }
  void Apply() override {
    ApplyFilterPage(FilterPage{market_->currentIndex(), volume_->currentIndex(), tousan_->isChecked(),
                               wheel_->isChecked(), BoxValue(rigui_), BoxValue(sonkiri_)});
  }

 private:
  QComboBox *market_, *volume_;
  QCheckBox *tousan_, *wheel_;
  QLineEdit *rigui_, *sonkiri_;
};

class ColourPageWidget final : public Page {
 public:
  explicit ColourPageWidget(QWidget* parent) : Page(parent) {
    setObjectName(u"SETTEI4"_qs);
    static const char* const kSchemes[3] = {"黒", "白", "紺"};
    static const char* const kSizes[CROSS_FONT_CHOICES] = {"最小", "小さい", "やや小さい", "普通",
                                                           "やや大きい", "大きい", "最大"};
    const char* chart_items[CHART_COLOUR_ITEMS];
    for (int k = 0; k < CHART_COLOUR_ITEMS; ++k) chart_items[k] = ChartColourItem[k][0];
    const char* ind_items[INDICATOR_COLOUR_ITEMS];
    for (int k = 0; k < INDICATOR_COLOUR_ITEMS; ++k) ind_items[k] = IndicatorColourItem[k][0];
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(Text("標準背景"), this), 0, 0);
    grid->addWidget(scheme_ = ListBox(this, "1400", kSchemes, 3, CurrentColourScheme()), 0, 1);
    grid->addWidget(new QLabel(Text("標準背景を変更すると、日足などの色も標準の設定に変更されます。"), this), 1, 0, 1, 2);
    grid->addWidget(new QLabel(Text("日足・週足・月足画面"), this), 2, 0);
    grid->addWidget(chart_ = ListBox(this, "1398", chart_items, CHART_COLOUR_ITEMS, 0), 2, 1);
    grid->addWidget(new QLabel(Text("各種チャート"), this), 3, 0);
    grid->addWidget(ind_ = ListBox(this, "1399", ind_items, INDICATOR_COLOUR_ITEMS, 0), 3, 1);
    auto* fav = new QGroupBox(Text("お気に入りの背景色"), this);
    auto* fl = new QVBoxLayout(fav);
    fl->addWidget(fav_ = CheckBox(fav, "1429", "お気に入り、取引履歴の損益を背景色で色分けする。", FavoriteBackColor));
    fl->addWidget(new QLabel(Text("5％、10％、20％まで、20％以上の４段階で色分けされます。"), fav));
    grid->addWidget(fav, 4, 0, 1, 2);
    auto* font = new QGroupBox(Text("十字カーソルの文字サイズ"), this);
    auto* ol = new QVBoxLayout(font);
    ol->addWidget(size_ = ListBox(font, "1401", kSizes, CROSS_FONT_CHOICES, CrossFontChoiceIndex()));
    grid->addWidget(font, 5, 0, 1, 2);
    grid->setRowStretch(6, 1);
    // Colours, scheme and size change at once, whatever the sheet's end.
    connect(scheme_, &QComboBox::currentIndexChanged, this, [this](int k) { SchemeChosen(k); });
    connect(chart_, &QComboBox::currentIndexChanged, this,
            [this](int k) { EditColour(k >= 0 && k < CHART_COLOUR_ITEMS ? ChartColourItem[k][1] : nullptr); });
    connect(ind_, &QComboBox::currentIndexChanged, this,
            [this](int k) { EditColour(k >= 0 && k < INDICATOR_COLOUR_ITEMS ? IndicatorColourItem[k][1] : nullptr); });
    connect(size_, &QComboBox::currentIndexChanged, this, [](int k) { SizeChosen(k); });
  }
  void Apply() override { FavoriteBackColor = fav_->isChecked() ? 1 : 0; }

 private:
  void EditColour(const char* key) {
    int32_t* colour = key ? ColourOfKey(key) : nullptr;
    if (colour) *colour = PickColour(*colour, this);
  }
  static void SchemeChosen(int k) {
    if (HostMessageBox("標準背景を変更すると、日足などの色も標準設定に上書きされます。\n変更しますか？", "確認",
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
      return;
    ApplyColourScheme(k);
  }
  static void SizeChosen(int k) {
    if (k < 0 || k >= CROSS_FONT_CHOICES) return;
    CrossFontSize = CrossFontChoice[k];
    // On: off and on again with the new size; off: switched on.
    if (CrossView) HostPostCommand(IDM_CROSS_CURSOR);
    HostPostCommand(IDM_CROSS_CURSOR);
  }
  QComboBox *scheme_, *chart_, *ind_, *size_;
  QCheckBox* fav_;
};

class NetworkPageWidget final : public Page {
 public:
  explicit NetworkPageWidget(QWidget* parent) : Page(parent) {
    setObjectName(u"SETTEI5_old"_qs);
    const NetworkPage p = LoadNetworkPage();
    auto* v = new QVBoxLayout(this);
    auto* proxy = new QGroupBox(u"HTTP Proxy"_qs, this);
    auto* pl = new QGridLayout(proxy);
    pl->addWidget(use_ = CheckBox(proxy, "1194", "Proxyサーバーを通して接続", p.use_proxy), 0, 0, 1, 3);
    pl->addWidget(new QLabel(u"http://"_qs, proxy), 1, 0);
    host_ = new QLineEdit(Text(p.host), proxy);
    host_->setObjectName(u"1195"_qs);
    host_->setMaxLength(255);
    pl->addWidget(host_, 1, 1, 1, 2);
    pl->addWidget(new QLabel(Text("ポート番号"), proxy), 2, 0);
    pl->addWidget(port_ = NumberBox(proxy, "1196", p.port), 2, 1);
    host_->setReadOnly(!p.use_proxy);
    port_->setReadOnly(!p.use_proxy);
    connect(use_, &QCheckBox::clicked, this, [this](bool on) {
      host_->setReadOnly(!on);
      port_->setReadOnly(!on);
    });
    v->addWidget(proxy);
    auto* https = new QGroupBox(Text("https接続"), this);
    auto* hl = new QVBoxLayout(https);
    hl->addWidget(inet_ = CheckBox(https, "40155", "https接続にWinInetを使う", p.win_inet));
    hl->addWidget(new QLabel(Text("(ダウンロードが失敗する時のみ、お試しください)"), https));
    v->addWidget(https);
    auto* timer = new QGroupBox(Text("タイマー更新"), this);
    auto* tl = new QVBoxLayout(timer);
    tl->addWidget(auto_ = CheckBox(timer, "1197", "タイマー更新を行う", p.auto_dl));
    auto* note = new QLabel(Text("Kivoraを起動したままにしておくと１７：００－１９：００の間に株価を自動的に"
                                 "ダウンロードして更新を行います。\n\n更新時刻は起動するたびに毎回変わり指定できません。"
                                 "これはアクセス集中によるサーバへの負荷を軽減するためです。"),
                            timer);
    note->setWordWrap(true);
    tl->addWidget(note);
    // Control 1433: the next timed download, hour and minute.
    auto* time = new QHBoxLayout;
    time->addWidget(new QLabel(Text("次回の更新時刻"), timer));
    hour_ = new QSpinBox(timer);
    hour_->setObjectName(u"1433"_qs);
    hour_->setRange(0, 23);
    hour_->setValue(p.hour);
    minute_ = new QSpinBox(timer);
    minute_->setObjectName(u"1433m"_qs);
    minute_->setRange(0, 59);
    minute_->setValue(p.minute);
    hour_->setMinimumWidth(50);
    minute_->setMinimumWidth(50);
    time->addWidget(hour_);
    time->addWidget(new QLabel(Text("時"), timer));
    time->addWidget(minute_);
    time->addWidget(new QLabel(Text("分"), timer));
    time->addStretch();
    tl->addLayout(time);
    v->addWidget(timer);
    v->addStretch();
  }
  void Apply() override {
    NetworkPage p{};
    p.use_proxy = use_->isChecked();
    const std::string host = ToCp932(host_->text());
    std::strncpy(p.host, host.c_str(), sizeof p.host - 1);
    p.port = BoxValue(port_);
    p.win_inet = inet_->isChecked();
    p.auto_dl = auto_->isChecked();
    p.hour = hour_->value();
    p.minute = minute_->value();
    ApplyNetworkPage(p);
  }

 private:
  QCheckBox *use_, *inet_, *auto_;
  QLineEdit *host_, *port_;
  QSpinBox *hour_, *minute_;
};

QColor ToQColor(int32_t c) { return QColor(c & 0xFF, c >> 8 & 0xFF, c >> 16 & 0xFF); }
int32_t FromQColor(const QColor& c) { return Rgb(c.red(), c.green(), c.blue()); }

}  // namespace

SettingsSheet::SettingsSheet(QWidget* owner) : QDialog(owner) {
  setObjectName(u"SETTEI"_qs);
  setWindowTitle(Text("各種設定"));
  tabs_ = new QTabWidget(this);
  tabs_->addTab(new MoveAvePageWidget(tabs_), Text("移動平均線"));
  tabs_->addTab(new WindowPageWidget(tabs_), Text("各種チャート１"));
  tabs_->addTab(new Chart2PageWidget(tabs_), Text("各種チャート２"));
  tabs_->addTab(new FilterPageWidget(tabs_), Text("表示銘柄の選別"));
  tabs_->addTab(new ColourPageWidget(tabs_), Text("色、フォント"));
  tabs_->addTab(new NetworkPageWidget(tabs_), Text("その他"));
  tabs_->setCurrentIndex(0);
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int k) {
    if (k >= 0 && k < 6) shown_[k] = true;
  });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* v = new QVBoxLayout(this);
  v->addWidget(tabs_);
  v->addWidget(buttons);
}

void SettingsSheet::accept() {
  for (int k = 0; k < 6; ++k)
    if (shown_[k]) static_cast<Page*>(tabs_->widget(k))->Apply();
  QDialog::accept();
}

void ShowSettingsSheet(QWidget* owner) {
  {
    SettingsSheet sheet(owner);
    sheet.exec();
  }
  RequestChartRepaint();
}

int32_t PickColour(int32_t current, QWidget* owner) {
  static bool custom_set = false;
  if (!custom_set) {
    // Sixteen custom colours, black at the start of the run, kept until its end.
    for (int k = 0; k < 16 && k < QColorDialog::customCount(); ++k) QColorDialog::setCustomColor(k, QColor(Qt::black));
    custom_set = true;
  }
  QColorDialog dlg(ToQColor(current), owner);
  dlg.setObjectName(u"CHOOSECOLOR"_qs);
  dlg.setOption(QColorDialog::DontUseNativeDialog);
  const int32_t chosen = dlg.exec() == QDialog::Accepted ? FromQColor(dlg.selectedColor()) : current;
  PRT("--> %08x\n", static_cast<unsigned>(chosen));
  return chosen;
}

void RegisterSettingsCommand(QWidget* owner) {
  static QPointer<QWidget> g_owner;
  g_owner = owner;
  RegisterCommand(IDM_SETTINGS, [](int) { ShowSettingsSheet(g_owner); });
}
