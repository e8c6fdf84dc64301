#include "desktop/qt_windows.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
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

template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
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
  void SetPlaceholder(const std::string& text) override { edit_->setPlaceholderText(ToQt(text)); }
  void SetHint(const std::string& text) override { edit_->setToolTip(ToQt(text)); }

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
  void SetChecked(bool checked) override { box_->setChecked(checked); }
  bool Enabled() const override { return box_->isEnabled(); }
  void SetEnabled(bool enabled) override { box_->setEnabled(enabled); }

 private:
  QCheckBox* box_;
};

// A list that says what it would hold when it holds nothing, and whose
// keyboard cursor is always on an item when it has the focus, so that the
// user sees where the focus is.
class ListView : public QListWidget {
 public:
  void SetPlaceholder(const QString& text) {
    placeholder_ = text;
    viewport()->update();
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QListWidget::paintEvent(event);
    if (count() > 0 || placeholder_.isEmpty()) return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    int margin = fontMetrics().height() / 2;
    painter.drawText(viewport()->rect().adjusted(margin, margin, -margin, -margin),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, placeholder_);
  }
  void focusInEvent(QFocusEvent* event) override {
    if (currentRow() < 0 && count() > 0) {
      setCurrentRow(std::max(0, SelectedRow()), QItemSelectionModel::NoUpdate);
    }
    QListWidget::focusInEvent(event);
  }

 private:
  int SelectedRow() const {
    QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.front());
  }

  QString placeholder_;
};

class QtList : public ListControl {
 public:
  explicit QtList(ListView* list) : list_(list) {}
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
  void SetPlaceholder(const std::string& text) override { list_->SetPlaceholder(ToQt(text)); }

 private:
  ListView* list_;
};

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
  Button& save_mod_button() override { return save_mod_button_; }
  Button& back_button() override { return back_button_; }
  Button& browse_game_button() override { return browse_game_button_; }
  Button& browse_expansion_button() override { return browse_expansion_button_; }
  CheckBox& gravity_check_box() override { return gravity_check_box_; }
  CheckBox& start_in_level_check_box() override { return start_in_level_check_box_; }
  Label& list_caption() override { return list_caption_; }
  Label& status_line() override { return status_line_; }
  void SetEvents(MainWindowEvents* events) override;
  void Show() override { show(); }
  bool Enabled() const override { return isEnabled(); }
  void SetEnabled(bool enabled) override { setEnabled(enabled); }

 protected:
  // The shell says whether the window may close (not while a game runs).
  void closeEvent(QCloseEvent* event) override {
    event->setAccepted(!events_ || events_->OnCloseRequested());
  }
  // Coming back to the window, the user sees the lists as the disk has them.
  void changeEvent(QEvent* event) override {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && events_) {
      events_->OnRefresh();
    }
  }
  // Enter or Space on an episode archive opens it, as a double-click does.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == archive_list_widget_ && event->type() == QEvent::KeyPress && events_) {
      int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        events_->OnArchiveActivated();
        return true;
      }
    }
    return QWidget::eventFilter(watched, event);
  }

 private:
  MainWindowEvents* events_ = nullptr;

  QLineEdit* game_path_field_widget_;
  QLineEdit* expansion_path_field_widget_;
  QLineEdit* factor_field_widget_;
  ListView* archive_list_widget_;
  ListView* extra_list_widget_;
  QPushButton* scale_button_widget_;
  QPushButton* save_mod_button_widget_;
  QPushButton* back_button_widget_;
  QPushButton* refresh_button_widget_;
  QPushButton* about_button_widget_;
  QPushButton* browse_game_button_widget_;
  QPushButton* browse_expansion_button_widget_;
  QCheckBox* gravity_check_box_widget_;
  QCheckBox* start_in_level_check_box_widget_;
  QLabel* list_caption_widget_;
  QLabel* status_line_widget_;

  QtList archive_list_, extra_list_;
  QtTextField game_path_field_, expansion_path_field_, factor_field_;
  QtButton scale_button_, save_mod_button_, back_button_, browse_game_button_,
      browse_expansion_button_;
  QtCheckBox gravity_check_box_, start_in_level_check_box_;
  QtLabel list_caption_, status_line_;
};

// Every key a caption or a button takes with Alt is its own: J, W, M, E,
// A (or L), X, B, R, F, G, I, O, S, T.
QtMainWindow::QtMainWindow()
    : game_path_field_widget_(Named(new QLineEdit, "game_path_field")),
      expansion_path_field_widget_(Named(new QLineEdit, "expansion_path_field")),
      factor_field_widget_(Named(new QLineEdit, "factor_field")),
      archive_list_widget_(Named(new ListView, "archive_list")),
      extra_list_widget_(Named(new ListView, "extra_list")),
      scale_button_widget_(Named(new QPushButton("&Scale and play"), "scale_button")),
      save_mod_button_widget_(Named(new QPushButton("Save as m&od…"), "save_mod_button")),
      back_button_widget_(Named(new QPushButton("&Back to the episodes"), "back_button")),
      refresh_button_widget_(Named(new QPushButton("&Refresh (F5)"), "refresh_button")),
      about_button_widget_(Named(new QPushButton("Abou&t (F1)"), "about_button")),
      browse_game_button_widget_(Named(new QPushButton("Bro&wse..."), "browse_game_button")),
      browse_expansion_button_widget_(
          Named(new QPushButton("Brows&e..."), "browse_expansion_button")),
      gravity_check_box_widget_(
          Named(new QCheckBox("Divide the world &gravity by the factor"), "gravity_check_box")),
      start_in_level_check_box_widget_(
          Named(new QCheckBox("Start &in the level"), "start_in_level_check_box")),
      list_caption_widget_(Named(new QLabel, "list_caption")),
      status_line_widget_(Named(new QLabel, "status_line")),
      archive_list_(archive_list_widget_),
      extra_list_(extra_list_widget_),
      game_path_field_(game_path_field_widget_),
      expansion_path_field_(expansion_path_field_widget_),
      factor_field_(factor_field_widget_),
      scale_button_(scale_button_widget_),
      save_mod_button_(save_mod_button_widget_),
      back_button_(back_button_widget_),
      browse_game_button_(browse_game_button_widget_),
      browse_expansion_button_(browse_expansion_button_widget_),
      gravity_check_box_(gravity_check_box_widget_),
      start_in_level_check_box_(start_in_level_check_box_widget_),
      list_caption_(list_caption_widget_),
      status_line_(status_line_widget_) {
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
  auto* below_list = new QHBoxLayout;
  below_list->addWidget(back_button_widget_);
  below_list->addStretch(1);
  below_list->addWidget(refresh_button_widget_);
  levels->addLayout(below_list);
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
  command->addWidget(start_in_level_check_box_widget_);
  command->addStretch(1);
  command->addWidget(about_button_widget_);
  command->addWidget(save_mod_button_widget_);
  command->addWidget(scale_button_widget_);
  start_in_level_check_box_widget_->setToolTip(
      "OpenJKDF2 loads the level at once, without its menus");

  status_line_widget_->setWordWrap(true);
  status_line_widget_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* window = new QVBoxLayout(this);
  window->addWidget(games);
  window->addLayout(lists, 1);
  window->addLayout(command);
  window->addWidget(status_line_widget_);

  // A size that shows long paths and archive names without scrolling; the
  // layout works in device-independent pixels, so it scales with the
  // display.
  int unit = fontMetrics().height();
  resize(unit * 56, unit * 30);
}

void QtMainWindow::SetEvents(MainWindowEvents* events) {
  events_ = events;
  connect(browse_game_button_widget_, &QPushButton::clicked, this,
          [events] { events->OnBrowseGame(); });
  connect(browse_expansion_button_widget_, &QPushButton::clicked, this,
          [events] { events->OnBrowseExpansion(); });
  connect(scale_button_widget_, &QPushButton::clicked, this,
          [events] { events->OnScaleAndPlay(); });
  connect(save_mod_button_widget_, &QPushButton::clicked, this,
          [events] { events->OnSaveAsMod(); });
  // Clicks only: the program's own SetChecked raises no event.
  connect(start_in_level_check_box_widget_, &QCheckBox::clicked, this,
          [events] { events->OnStartInLevelChanged(); });
  connect(back_button_widget_, &QPushButton::clicked, this, [events] { events->OnBack(); });
  connect(refresh_button_widget_, &QPushButton::clicked, this, [events] { events->OnRefresh(); });
  connect(new QShortcut(QKeySequence::Refresh, this), &QShortcut::activated, this,
          [events] { events->OnRefresh(); });
  connect(about_button_widget_, &QPushButton::clicked, this, [events] { events->OnAbout(); });
  connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
          [events] { events->OnAbout(); });
  connect(game_path_field_widget_, &QLineEdit::textChanged, this,
          [events] { events->OnGamePathChanged(); });
  connect(expansion_path_field_widget_, &QLineEdit::textChanged, this,
          [events] { events->OnExpansionPathChanged(); });
  connect(factor_field_widget_, &QLineEdit::textChanged, this,
          [events] { events->OnFactorChanged(); });
  // Enter in the factor field is Scale and play, when that can be clicked.
  connect(factor_field_widget_, &QLineEdit::returnPressed, this, [this] {
    if (scale_button_widget_->isEnabled()) scale_button_widget_->click();
  });
  connect(archive_list_widget_, &QListWidget::itemSelectionChanged, this,
          [events] { events->OnArchiveSelectionChanged(); });
  connect(archive_list_widget_, &QListWidget::itemDoubleClicked, this,
          [events] { events->OnArchiveActivated(); });
  archive_list_widget_->installEventFilter(this);
}

// The progress window: what the run is doing, in words, over a bar, and a
// Cancel button. Closing the window is cancelling too; it closes when the
// run has stopped.
class QtProgressWindow : public QWidget, public ProgressWindow {
 public:
  QtProgressWindow()
      : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                             Qt::WindowCloseButtonHint),
        text_(Named(new QLabel, "progress_text")),
        bar_(Named(new QProgressBar, "progress_bar")),
        cancel_(Named(new QPushButton("Cancel"), "cancel_button")) {
    setObjectName("progress_window");
    setWindowTitle("jkrescale");
    bar_->setRange(0, kBarSteps);
    bar_->setTextVisible(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(bar_);
    layout->addLayout(buttons);
    // Wide enough for "Scaling models: 12345 of 12345" in the system's font,
    // at any display scale: the width is in the font's own units.
    text_->setMinimumWidth(text_->fontMetrics().horizontalAdvance('0') * 36);
    connect(cancel_, &QPushButton::clicked, this, [this] { RequestCancel(); });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            [this] { RequestCancel(); });
  }

  // Shown over the middle of the main window.
  void PlaceOver(QWidget* main) { main_ = main; }

  void Show() override {
    cancelled_ = false;
    cancel_->setEnabled(true);
    text_->clear();
    bar_->setValue(0);
    show();
    if (main_) move(main_->geometry().center() - rect().center());
    raise();
    activateWindow();
    QCoreApplication::processEvents();
  }
  void Close() override { hide(); }
  bool Visible() const override { return isVisible(); }
  void SetProgress(const std::string& text, double fraction) override {
    text_->setText(ToQt(text));
    bar_->setValue(int(std::clamp(fraction, 0.0, 1.0) * kBarSteps));
  }
  bool CancelRequested() const override { return cancelled_; }

 protected:
  void closeEvent(QCloseEvent* event) override {
    if (isVisible()) RequestCancel();
    event->ignore();
  }

 private:
  static constexpr int kBarSteps = 1000;

  void RequestCancel() {
    cancelled_ = true;
    cancel_->setEnabled(false);
    text_->setText("Cancelling…");
  }

  QLabel* text_;
  QProgressBar* bar_;
  QPushButton* cancel_;
  QWidget* main_ = nullptr;
  bool cancelled_ = false;
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

  std::string SaveArchive(const std::string& title, const std::string& folder,
                          const std::string& proposed_name) override {
    QString start = QDir(ToQt(folder)).filePath(ToQt(proposed_name));
    // The dialog asks before it replaces a file.
    QString chosen = QFileDialog::getSaveFileName(parent_, ToQt(title), start,
                                                  "Episode archives (*.gob *.goo);;All files (*)");
    return FromQt(QDir::toNativeSeparators(chosen));
  }

  int Choose(const std::string& title, const std::string& text,
             const std::vector<std::string>& items) override {
    std::unique_ptr<QInputDialog> dialog = MakeChooseDialog(parent_, title, text, items);
    if (dialog->exec() != QDialog::Accepted) return -1;
    return int(dialog->comboBoxItems().indexOf(dialog->textValue()));
  }

  void About(const std::string& text) override {
    QMessageBox::about(parent_, "About jkrescale", ToQt(text));
  }

  void Message(const std::string& text) override {
    QMessageBox box(QMessageBox::Warning, "jkrescale", WrappableText(ToQt(text)), QMessageBox::Ok,
                    parent_);
    box.setObjectName("message_box");
    box.exec();
  }

  void Notice(const std::string& text) override {
    QMessageBox box(QMessageBox::Information, "jkrescale", WrappableText(ToQt(text)),
                    QMessageBox::Ok, parent_);
    box.setObjectName("message_box");
    box.exec();
  }

 private:
  // A long path has no blank to wrap at: a zero-width space after each of
  // its separators lets the message wrap there, inside the dialog.
  static QString WrappableText(QString text) {
    text.replace("\\", QString("\\") + QChar(0x200B));
    text.replace("/", QString("/") + QChar(0x200B));
    return text;
  }

  QWidget* parent_;
};

std::unique_ptr<QInputDialog> MakeChooseDialog(QWidget* parent, const std::string& title,
                                               const std::string& text,
                                               const std::vector<std::string>& items) {
  auto dialog = std::make_unique<QInputDialog>(parent);
  dialog->setObjectName("choose_dialog");
  dialog->setWindowTitle(ToQt(title));
  dialog->setLabelText(ToQt(text));
  QStringList list;
  for (const std::string& item : items) list << ToQt(item);
  dialog->setOption(QInputDialog::UseListViewForComboBoxItems);
  dialog->setComboBoxItems(list);
  if (!list.isEmpty()) dialog->setTextValue(list.front());
  // Wide enough for a path, whatever the display scale.
  dialog->resize(dialog->fontMetrics().horizontalAdvance('0') * 100, dialog->sizeHint().height());
  return dialog;
}

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
