#include "desktop/qt_windows.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
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
    if (edit_->text() == q) {
      emit edit_->textChanged(q);
    } else {
      edit_->setText(q);
    }
  }
  Colour Background() const override { return FromQColor(edit_->palette().color(QPalette::Base)); }
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

// The main window.
class QtMainWindow : public QWidget, public MainWindow {
 public:
  QtMainWindow();

  ListControl& archive_list() override { return archive_list_; }
  ListControl& extra_list() override { return extra_list_; }
  TextField& game_path_field() override { return game_path_field_; }
  TextField& expansion_path_field() override { return expansion_path_field_; }
  TextField& factor_field() override { return factor_field_; }
  Button& scale_button() override { return scale_button_; }
  Button& back_button() override { return back_button_; }
  Button& browse_game_button() override { return browse_game_button_; }
  Button& browse_expansion_button() override { return browse_expansion_button_; }
  CheckBox& gravity_check_box() override { return gravity_check_box_; }
  Label& list_caption() override { return list_caption_; }
  void SetEvents(MainWindowEvents* events) override;
  void Show() override { show(); }
  bool Enabled() const override { return isEnabled(); }
  void SetEnabled(bool enabled) override { setEnabled(enabled); }

 protected:
  // While a run goes on the window is disabled and stays open.
  void closeEvent(QCloseEvent* event) override { event->setAccepted(isEnabled()); }

 private:
  QLineEdit* game_path_field_widget_;
  QLineEdit* expansion_path_field_widget_;
  QLineEdit* factor_field_widget_;
  QListWidget* archive_list_widget_;
  QListWidget* extra_list_widget_;
  QPushButton* scale_button_widget_;
  QPushButton* back_button_widget_;
  QPushButton* browse_game_button_widget_;
  QPushButton* browse_expansion_button_widget_;
  QCheckBox* gravity_check_box_widget_;
  QLabel* list_caption_widget_;

  QtList archive_list_, extra_list_;
  QtTextField game_path_field_, expansion_path_field_, factor_field_;
  QtButton scale_button_, back_button_, browse_game_button_, browse_expansion_button_;
  QtCheckBox gravity_check_box_;
  QtLabel list_caption_;
};

QtMainWindow::QtMainWindow()
    : game_path_field_widget_(Named(new QLineEdit, "game_path_field")),
      expansion_path_field_widget_(Named(new QLineEdit, "expansion_path_field")),
      factor_field_widget_(Named(new QLineEdit, "factor_field")),
      archive_list_widget_(Named(new QListWidget, "archive_list")),
      extra_list_widget_(Named(new QListWidget, "extra_list")),
      scale_button_widget_(Named(new QPushButton("&Scale and play"), "scale_button")),
      back_button_widget_(Named(new QPushButton("&Back to the episodes"), "back_button")),
      browse_game_button_widget_(Named(new QPushButton("Bro&wse..."), "browse_game_button")),
      browse_expansion_button_widget_(
          Named(new QPushButton("Brow&se..."), "browse_expansion_button")),
      gravity_check_box_widget_(
          Named(new QCheckBox("Divide the world &gravity by the factor"), "gravity_check_box")),
      list_caption_widget_(Named(new QLabel, "list_caption")),
      archive_list_(archive_list_widget_),
      extra_list_(extra_list_widget_),
      game_path_field_(game_path_field_widget_),
      expansion_path_field_(expansion_path_field_widget_),
      factor_field_(factor_field_widget_),
      scale_button_(scale_button_widget_),
      back_button_(back_button_widget_),
      browse_game_button_(browse_game_button_widget_),
      browse_expansion_button_(browse_expansion_button_widget_),
      gravity_check_box_(gravity_check_box_widget_),
      list_caption_(list_caption_widget_) {
  setObjectName("main_window");
  setWindowTitle("jkrescale");

  auto* game_path_label = Named(new QLabel("&Jedi Knight (JK.EXE):"), "game_path_label");
  auto* expansion_path_label =
      Named(new QLabel("&Mysteries of the Sith (JKM.EXE):"), "expansion_path_label");
  auto* extra_list_caption =
      Named(new QLabel("E&xtra archive to copy along:"), "extra_list_caption");
  auto* factor_label = Named(new QLabel("Scale &factor:"), "factor_label");
  game_path_label->setBuddy(game_path_field_widget_);
  expansion_path_label->setBuddy(expansion_path_field_widget_);
  list_caption_widget_->setBuddy(archive_list_widget_);
  extra_list_caption->setBuddy(extra_list_widget_);
  factor_label->setBuddy(factor_field_widget_);

  auto* games = new QGroupBox("Where the game is installed");
  auto* paths = new QGridLayout(games);
  paths->addWidget(game_path_label, 0, 0);
  paths->addWidget(game_path_field_widget_, 0, 1);
  paths->addWidget(browse_game_button_widget_, 0, 2);
  paths->addWidget(expansion_path_label, 1, 0);
  paths->addWidget(expansion_path_field_widget_, 1, 1);
  paths->addWidget(browse_expansion_button_widget_, 1, 2);
  paths->setColumnStretch(1, 1);

  auto* levels = new QVBoxLayout;
  levels->addWidget(list_caption_widget_);
  levels->addWidget(archive_list_widget_, 1);
  auto* back = new QHBoxLayout;
  back->addWidget(back_button_widget_);
  back->addStretch(1);
  levels->addLayout(back);
  auto* extras = new QVBoxLayout;
  extras->addWidget(extra_list_caption);
  extras->addWidget(extra_list_widget_, 1);
  auto* lists = new QHBoxLayout;
  lists->addLayout(levels, 3);
  lists->addLayout(extras, 2);

  // Room for about ten characters of factor.
  factor_field_widget_->setMaximumWidth(factor_field_widget_->fontMetrics().horizontalAdvance('0') *
                                            10 +
                                        factor_field_widget_->fontMetrics().height());
  auto* command = new QHBoxLayout;
  command->addWidget(factor_label);
  command->addWidget(factor_field_widget_);
  command->addSpacing(factor_field_widget_->fontMetrics().height());
  command->addWidget(gravity_check_box_widget_);
  command->addStretch(1);
  command->addWidget(scale_button_widget_);
  scale_button_widget_->setDefault(true);

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
  connect(browse_game_button_widget_, &QPushButton::clicked, this,
          [events] { events->OnBrowseGame(); });
  connect(browse_expansion_button_widget_, &QPushButton::clicked, this,
          [events] { events->OnBrowseExpansion(); });
  connect(scale_button_widget_, &QPushButton::clicked, this,
          [events] { events->OnScaleAndPlay(); });
  connect(back_button_widget_, &QPushButton::clicked, this, [events] { events->OnBack(); });
  connect(game_path_field_widget_, &QLineEdit::textChanged, this,
          [events] { events->OnGamePathChanged(); });
  connect(expansion_path_field_widget_, &QLineEdit::textChanged, this,
          [events] { events->OnExpansionPathChanged(); });
  connect(factor_field_widget_, &QLineEdit::textChanged, this,
          [events] { events->OnFactorChanged(); });
  connect(archive_list_widget_, &QListWidget::itemSelectionChanged, this,
          [events] { events->OnArchiveSelectionChanged(); });
  connect(archive_list_widget_, &QListWidget::itemDoubleClicked, this,
          [events] { events->OnArchiveActivated(); });
}

// The progress window: what the run is doing, in words, over a bar.
class QtProgressWindow : public QWidget, public ProgressWindow {
 public:
  QtProgressWindow()
      : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
        text_(Named(new QLabel, "progress_text")),
        bar_(Named(new QProgressBar, "progress_bar")) {
    setObjectName("progress_window");
    setWindowTitle("jkrescale");
    bar_->setRange(0, kBarSteps);
    bar_->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(bar_);
    // Wide enough for "Scaling models: 12345 of 12345" in the system's font.
    text_->setMinimumWidth(text_->fontMetrics().horizontalAdvance('0') * 36);
  }

  // Shown over the middle of the main window.
  void PlaceOver(QWidget* main) { main_ = main; }

  void Show() override {
    text_->clear();
    bar_->setValue(0);
    show();
    if (main_) move(main_->geometry().center() - rect().center());
    raise();
    QCoreApplication::processEvents();
  }
  void Close() override { hide(); }
  bool Visible() const override { return isVisible(); }
  void SetProgress(const std::string& text, double fraction) override {
    text_->setText(ToQt(text));
    bar_->setValue(int(std::clamp(fraction, 0.0, 1.0) * kBarSteps));
  }

 private:
  static constexpr int kBarSteps = 1000;

  QLabel* text_;
  QProgressBar* bar_;
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
    QString chosen = QFileDialog::getOpenFileName(parent_, ToQt(title), start,
                                                  "All files (*);;Windows programs (*.exe *.EXE)");
    return FromQt(QDir::toNativeSeparators(chosen));
  }

  void Message(const std::string& text) override {
    QMessageBox::warning(parent_, "jkrescale", ToQt(text));
  }

 private:
  QWidget* parent_;
};

QtWindowSystem::QtWindowSystem()
    : main_window_(std::make_unique<QtMainWindow>()),
      progress_window_(std::make_unique<QtProgressWindow>()),
      dialogs_(std::make_unique<QtDialogs>(main_window_.get())) {
  progress_window_->PlaceOver(main_window_.get());
}

QtWindowSystem::~QtWindowSystem() = default;

MainWindow& QtWindowSystem::main_window() { return *main_window_; }
ProgressWindow& QtWindowSystem::progress_window() { return *progress_window_; }
Dialogs& QtWindowSystem::dialogs() { return *dialogs_; }
QWidget* QtWindowSystem::main_window_widget() { return main_window_.get(); }
QWidget* QtWindowSystem::progress_window_widget() { return progress_window_.get(); }

void QtWindowSystem::RunUntilClosed() {
  if (main_window_->isVisible()) QApplication::exec();
}

void QtWindowSystem::PumpEvents() { QCoreApplication::processEvents(); }

void QtWindowSystem::Log(const std::string& line) {
  std::fprintf(stderr, "jkrescale: %s\n", line.c_str());
}

}  // namespace jk
