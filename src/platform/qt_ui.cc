#include "platform/qt_ui.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>

namespace jk {

namespace {

QString ToQt(const std::string& text) { return QString::fromStdString(text); }
std::string FromQt(const QString& text) { return text.toStdString(); }

QColor ToQColor(Colour colour) {
  return QColor(int(colour & 0xff), int(colour >> 8 & 0xff), int(colour >> 16 & 0xff));
}

Colour FromQColor(const QColor& colour) {
  return PackColour(colour.red(), colour.green(), colour.blue());
}

class QtTextField : public TextField {
 public:
  explicit QtTextField(QLineEdit* edit) : edit_(edit) {}
  std::string Text() const override { return FromQt(edit_->text()); }
  void SetText(const std::string& text) override {
    QString q = ToQt(text);
    // Qt raises textChanged only for a different text; the program's
    // change events come on every setting, as typing would.
    if (edit_->text() == q) emit edit_->textChanged(q);
    else edit_->setText(q);
  }
  Colour Background() const override {
    return FromQColor(edit_->palette().color(QPalette::Base));
  }
  void SetBackground(Colour colour) override {
    QPalette palette = edit_->palette();
    palette.setColor(QPalette::Base, ToQColor(colour));
    // Dark themes draw light text; on these two colours dark text reads.
    palette.setColor(QPalette::Text, Qt::black);
    edit_->setPalette(palette);
  }

 private:
  QLineEdit* edit_;
};

class QtLabel : public Label {
 public:
  explicit QtLabel(QLabel* label) : label_(label) {}
  std::string Text() const override { return FromQt(label_->text()); }
  void SetText(const std::string& text) override { label_->setText(ToQt(text)); }

 private:
  QLabel* label_;
};

class QtButton : public Button {
 public:
  explicit QtButton(QPushButton* button) : button_(button) {}
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override {
    enabled_ = enabled;
    Apply();
  }
  bool Available() const override { return available_; }
  void SetAvailable(bool available) override {
    available_ = available;
    Apply();
  }

 private:
  // An unavailable button is greyed out like a disabled one.
  void Apply() { button_->setEnabled(enabled_ && available_); }

  QPushButton* button_;
  bool enabled_ = true;
  bool available_ = true;
};

class QtCheckBox : public CheckBox {
 public:
  explicit QtCheckBox(QCheckBox* box) : box_(box) {}
  bool Checked() const override { return box_->isChecked(); }

 private:
  QCheckBox* box_;
};

class QtList : public ListControl {
 public:
  explicit QtList(QListWidget* list) : list_(list) {}
  void Clear() override { list_->clear(); }
  void AddItem(const std::string& text) override { list_->addItem(ToQt(text)); }
  void InsertItem(int index, const std::string& text) override {
    list_->insertItem(index, ToQt(text));
  }
  void RemoveItem(int index) override { delete list_->takeItem(index); }
  int ItemCount() const override { return list_->count(); }
  std::string ItemText(int index) const override {
    QListWidgetItem* item = list_->item(index);
    return item ? FromQt(item->text()) : std::string();
  }
  int SelectedIndex() const override {
    QList<QListWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.front());
  }
  void SetSelectedIndex(int index) override {
    if (index < 0 || index >= list_->count()) {
      list_->clearSelection();
      list_->setCurrentRow(-1);
    } else {
      list_->setCurrentRow(index);
    }
  }

 private:
  QListWidget* list_;
};

template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

}  // namespace

// frm1.
class QtMainWindow : public QWidget, public MainWindow {
 public:
  QtMainWindow();

  ListControl& lb1() override { return lb1_; }
  ListControl& lb2() override { return lb2_; }
  TextField& ed1() override { return ed1_; }
  TextField& ed2() override { return ed2_; }
  TextField& scaleby() override { return scaleby_; }
  Button& cmd1() override { return cmd1_; }
  Button& cmd2() override { return cmd2_; }
  Button& brs_jk() override { return brs_jk_; }
  Button& brs_mots() override { return brs_mots_; }
  CheckBox& chk1() override { return chk1_; }
  Label& lbl3() override { return lbl3_; }
  void SetEvents(MainWindowEvents* events) override;
  void Show() override { show(); }
  bool Enabled() const override { return isEnabled(); }
  void SetEnabled(bool enabled) override { setEnabled(enabled); }

 protected:
  // While a run goes on the window is disabled and stays open.
  void closeEvent(QCloseEvent* event) override {
    if (isEnabled()) event->accept();
    else event->ignore();
  }

 private:
  QLineEdit* ed1_widget_;
  QLineEdit* ed2_widget_;
  QLineEdit* scaleby_widget_;
  QListWidget* lb1_widget_;
  QListWidget* lb2_widget_;
  QPushButton* cmd1_widget_;
  QPushButton* cmd2_widget_;
  QPushButton* brs_jk_widget_;
  QPushButton* brs_mots_widget_;
  QCheckBox* chk1_widget_;
  QLabel* lbl3_widget_;

  QtList lb1_, lb2_;
  QtTextField ed1_, ed2_, scaleby_;
  QtButton cmd1_, cmd2_, brs_jk_, brs_mots_;
  QtCheckBox chk1_;
  QtLabel lbl3_;
};

QtMainWindow::QtMainWindow()
    : ed1_widget_(Named(new QLineEdit, "ed1")),
      ed2_widget_(Named(new QLineEdit, "ed2")),
      scaleby_widget_(Named(new QLineEdit, "scaleby")),
      lb1_widget_(Named(new QListWidget, "lb1")),
      lb2_widget_(Named(new QListWidget, "lb2")),
      cmd1_widget_(Named(new QPushButton("&Scale and play"), "cmd1")),
      cmd2_widget_(Named(new QPushButton("&Back to the episodes"), "cmd2")),
      brs_jk_widget_(Named(new QPushButton("Bro&wse..."), "brs_jk")),
      brs_mots_widget_(Named(new QPushButton("Brow&se..."), "brs_mots")),
      chk1_widget_(Named(new QCheckBox("Divide the world &gravity by the factor"), "chk1")),
      lbl3_widget_(Named(new QLabel, "lbl3")),
      lb1_(lb1_widget_),
      lb2_(lb2_widget_),
      ed1_(ed1_widget_),
      ed2_(ed2_widget_),
      scaleby_(scaleby_widget_),
      cmd1_(cmd1_widget_),
      cmd2_(cmd2_widget_),
      brs_jk_(brs_jk_widget_),
      brs_mots_(brs_mots_widget_),
      chk1_(chk1_widget_),
      lbl3_(lbl3_widget_) {
  setObjectName("frm1");
  setWindowTitle("jkrescale");

  auto* lbl1 = Named(new QLabel("&Jedi Knight (JK.EXE):"), "lbl1");
  auto* lbl2 = Named(new QLabel("&Mysteries of the Sith (JKM.EXE):"), "lbl2");
  auto* lbl4 = Named(new QLabel("E&xtra archive to copy along:"), "lbl4");
  auto* lbl5 = Named(new QLabel("Scale &factor:"), "lbl5");
  lbl1->setBuddy(ed1_widget_);
  lbl2->setBuddy(ed2_widget_);
  lbl3_widget_->setBuddy(lb1_widget_);
  lbl4->setBuddy(lb2_widget_);
  lbl5->setBuddy(scaleby_widget_);

  auto* games = new QGroupBox("Where the game is installed");
  auto* paths = new QGridLayout(games);
  paths->addWidget(lbl1, 0, 0);
  paths->addWidget(ed1_widget_, 0, 1);
  paths->addWidget(brs_jk_widget_, 0, 2);
  paths->addWidget(lbl2, 1, 0);
  paths->addWidget(ed2_widget_, 1, 1);
  paths->addWidget(brs_mots_widget_, 1, 2);
  paths->setColumnStretch(1, 1);

  auto* levels = new QVBoxLayout;
  levels->addWidget(lbl3_widget_);
  levels->addWidget(lb1_widget_, 1);
  auto* back = new QHBoxLayout;
  back->addWidget(cmd2_widget_);
  back->addStretch(1);
  levels->addLayout(back);
  auto* extras = new QVBoxLayout;
  extras->addWidget(lbl4);
  extras->addWidget(lb2_widget_, 1);
  auto* lists = new QHBoxLayout;
  lists->addLayout(levels, 3);
  lists->addLayout(extras, 2);

  // Room for about ten characters of factor.
  scaleby_widget_->setMaximumWidth(scaleby_widget_->fontMetrics().horizontalAdvance('0') * 10 +
                                   scaleby_widget_->fontMetrics().height());
  auto* command = new QHBoxLayout;
  command->addWidget(lbl5);
  command->addWidget(scaleby_widget_);
  command->addSpacing(scaleby_widget_->fontMetrics().height());
  command->addWidget(chk1_widget_);
  command->addStretch(1);
  command->addWidget(cmd1_widget_);
  cmd1_widget_->setDefault(true);

  auto* window = new QVBoxLayout(this);
  window->addWidget(games);
  window->addLayout(lists, 1);
  window->addLayout(command);

  // A size that shows long paths and archive names without scrolling; the
  // layout works in device-independent pixels, so it scales with the
  // display.
  int unit = fontMetrics().height();
  resize(unit * 56, unit * 30);
}

void QtMainWindow::SetEvents(MainWindowEvents* events) {
  connect(brs_jk_widget_, &QPushButton::clicked, this, [events] { events->brs_jk_Click(); });
  connect(brs_mots_widget_, &QPushButton::clicked, this, [events] { events->brs_mots_Click(); });
  connect(cmd1_widget_, &QPushButton::clicked, this, [events] { events->cmd1_Click(); });
  connect(cmd2_widget_, &QPushButton::clicked, this, [events] { events->cmd2_Click(); });
  connect(ed1_widget_, &QLineEdit::textChanged, this, [events] { events->ed1_Change(); });
  connect(ed2_widget_, &QLineEdit::textChanged, this, [events] { events->ed2_Change(); });
  connect(scaleby_widget_, &QLineEdit::textChanged, this, [events] { events->scaleby_Change(); });
  connect(lb1_widget_, &QListWidget::itemSelectionChanged, this, [events] { events->lb1_Click(); });
  connect(lb1_widget_, &QListWidget::itemDoubleClicked, this,
          [events] { events->lb1_DblClick(); });
}

// The drawing area of frm2: 200 x 32 pixels kept in an image, so that the
// bar and the text survive any repaint. Drawing goes to the image at once;
// the screen is updated at most about 30 times a second.
class QtDrawingArea : public QWidget, public DrawingSurface {
 public:
  static constexpr int kWidth = 200;
  static constexpr int kHeight = 32;
  static constexpr qint64 kRedrawMs = 33;

  QtDrawingArea() {
    setObjectName("frm2_drawing");
    setFixedSize(kWidth, kHeight);
    font_ = PickFont();
    Reset();
  }

  // A fresh image in the window's background colour.
  void Reset() {
    qreal ratio = devicePixelRatioF();
    image_ = QImage(QSize(kWidth, kHeight) * ratio, QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    image_.fill(palette().color(QPalette::Window));
    last_redraw_.invalidate();
    unshown_ = false;
    update();
  }

  void FillBox(double x0, double y0, double x1, double y1, Colour colour) override {
    QPainter painter(&image_);
    // Both corners belong to the box.
    painter.fillRect(QRectF(x0, y0, x1 - x0 + 1, y1 - y0 + 1), ToQColor(colour));
  }

  void DrawText(double x, double y, const std::string& text, Colour colour) override {
    QPainter painter(&image_);
    painter.setFont(font_);
    painter.setPen(ToQColor(colour));
    painter.drawText(QPointF(x, y + QFontMetricsF(font_).ascent()), ToQt(text));
  }

  // Repaints and lets pending events run, unless the screen was updated
  // less than kRedrawMs ago; what was drawn since then waits for the next
  // pump or for Flush.
  void PumpEvents() override {
    if (last_redraw_.isValid() && last_redraw_.elapsed() < kRedrawMs) {
      unshown_ = true;
      return;
    }
    last_redraw_.start();
    unshown_ = false;
    repaint();
    QCoreApplication::processEvents();
  }

  // Puts on the screen what a throttled pump left unshown, so that the
  // last state is always seen.
  void Flush() {
    if (!unshown_) return;
    unshown_ = false;
    repaint();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), image_);
  }

 private:
  static QFont PickFont() {
    QFont fixedsys("Fixedsys");
    if (QFontInfo(fixedsys).family().compare("Fixedsys", Qt::CaseInsensitive) == 0) {
      return fixedsys;
    }
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPixelSize(14);
    return fixed;
  }

  QImage image_;
  QFont font_;
  QElapsedTimer last_redraw_;
  bool unshown_ = false;
};

// frm2.
class QtProgressForm : public QWidget, public ProgressForm {
 public:
  QtProgressForm() : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("frm2");
    setWindowTitle("jkrescale");
    area_ = new QtDrawingArea;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
  }

  // Shown over the middle of frm1.
  void PlaceOver(QWidget* main) { main_ = main; }

  void Show() override {
    area_->Reset();
    show();
    if (main_) move(main_->geometry().center() - rect().center());
    raise();
    QCoreApplication::processEvents();
  }
  void Close() override {
    area_->Flush();
    hide();
  }
  bool Visible() const override { return isVisible(); }
  DrawingSurface& Surface() override { return *area_; }

 private:
  QtDrawingArea* area_;
  QWidget* main_ = nullptr;
};

class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent) : parent_(parent) {}

  std::string OpenFile(const std::string& title, const std::string& folder,
                       const std::string& proposed_name) override {
    // A path with a file name makes the dialog start in its folder with
    // the name proposed.
    QString start = QDir(ToQt(folder)).filePath(ToQt(proposed_name));
    QString chosen = QFileDialog::getOpenFileName(
        parent_, ToQt(title), start, "All files (*);;Windows programs (*.exe *.EXE)");
    return FromQt(QDir::toNativeSeparators(chosen));
  }

  void Message(const std::string& text) override {
    QMessageBox::warning(parent_, "jkrescale", ToQt(text));
  }

 private:
  QWidget* parent_;
};

QtWindowSystem::QtWindowSystem()
    : frm1_(std::make_unique<QtMainWindow>()),
      frm2_(std::make_unique<QtProgressForm>()),
      dialogs_(std::make_unique<QtDialogs>(frm1_.get())) {
  frm2_->PlaceOver(frm1_.get());
}

QtWindowSystem::~QtWindowSystem() = default;

MainWindow& QtWindowSystem::frm1() { return *frm1_; }
ProgressForm& QtWindowSystem::frm2() { return *frm2_; }
Dialogs& QtWindowSystem::dialogs() { return *dialogs_; }
QWidget* QtWindowSystem::frm1_widget() { return frm1_.get(); }
QWidget* QtWindowSystem::frm2_widget() { return frm2_.get(); }

void QtWindowSystem::RunUntilClosed() {
  if (frm1_->isVisible()) QApplication::exec();
}

void QtWindowSystem::PumpEvents() { QCoreApplication::processEvents(); }

void QtWindowSystem::Log(const std::string& line) {
  std::fprintf(stderr, "jkrescale: %s\n", line.c_str());
}

}  // namespace jk
