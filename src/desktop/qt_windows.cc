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
#include <array>
#include <cstdio>
#include <utility>

#include "desktop/background_work.h"
#include "shell/controls.h"

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

// A list that says what it would hold when it holds nothing, and whose
// keyboard cursor is always on an item, so that the user sees where the
// focus is when the list has it; the keys that act on an item act on that
// one.
class ListView : public QListWidget {
 public:
  void SetPlaceholder(const QString& text) {
    placeholder_ = text;
    viewport()->update();
  }
  // The cursor on the selected item, or else the first, without selecting
  // it; none while the list is empty.
  void PlaceCursor() {
    if (currentRow() < 0 && count() > 0) {
      setCurrentRow(std::max(0, SelectedRow()), QItemSelectionModel::NoUpdate);
    }
  }
  // The item under the cursor selected, when none is: what Enter and Space
  // act on.
  void SelectCursorItem() {
    PlaceCursor();
    if (SelectedRow() < 0 && currentRow() >= 0) setCurrentRow(currentRow());
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
    PlaceCursor();
    QListWidget::focusInEvent(event);
  }

 private:
  int SelectedRow() const {
    QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.front());
  }

  QString placeholder_;
};

// The widget of a control, as the table of the controls has it: its kind,
// its name, its text with the key marked, and its hint.
QWidget* MakeWidget(ControlId id) {
  const ControlInfo& info = InfoOf(id);
  QString text = ToQt(MarkedLabel(info));
  QWidget* widget = nullptr;
  switch (info.kind) {
    case ControlKind::kGroup:
      widget = new QGroupBox(text);
      break;
    case ControlKind::kLabel:
    case ControlKind::kListCaption:
    case ControlKind::kStatusLine:
    case ControlKind::kProgressText:
      widget = new QLabel(text);
      break;
    case ControlKind::kTextField:
      widget = new QLineEdit;
      break;
    case ControlKind::kList:
      widget = new ListView;
      break;
    case ControlKind::kButton:
      widget = new QPushButton(text);
      break;
    case ControlKind::kCheckBox:
      widget = new QCheckBox(text);
      break;
    case ControlKind::kProgressBar:
      widget = new QProgressBar;
      break;
  }
  widget->setObjectName(info.name);
  if (*info.hint != 0) widget->setToolTip(ToQt(info.hint));
  return widget;
}

class QtTextField : public TextField {
 public:
  explicit QtTextField(ControlId id) : edit_(static_cast<QLineEdit*>(MakeWidget(id))) {}
  QWidget* widget() const { return edit_; }
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
  explicit QtLabel(ControlId id) : label_(static_cast<QLabel*>(MakeWidget(id))) {}
  QWidget* widget() const { return label_; }
  std::string Text() const override { return FromQt(label_->text()); }
  void SetText(const std::string& text) override { label_->setText(ToQt(text)); }

 private:
  QLabel* label_;
};

class QtButton : public Button {
 public:
  explicit QtButton(ControlId id) : button_(static_cast<QPushButton*>(MakeWidget(id))) {}
  QWidget* widget() const { return button_; }
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
  explicit QtCheckBox(ControlId id) : box_(static_cast<QCheckBox*>(MakeWidget(id))) {}
  QWidget* widget() const { return box_; }
  bool Checked() const override { return box_->isChecked(); }
  void SetChecked(bool checked) override { box_->setChecked(checked); }
  bool Enabled() const override { return box_->isEnabled(); }
  void SetEnabled(bool enabled) override { box_->setEnabled(enabled); }

 private:
  QCheckBox* box_;
};

class QtList : public ListControl {
 public:
  explicit QtList(ControlId id) : list_(static_cast<ListView*>(MakeWidget(id))) {}
  QWidget* widget() const { return list_; }
  void Clear() override { list_->clear(); }
  void AddItem(const std::string& text) override { list_->addItem(ToQt(text)); }
  // Neither selectable nor enabled: drawn greyed, and never picked.
  void AddGreyedItem(const std::string& text, const std::string& hint) override {
    auto* item = new QListWidgetItem(ToQt(text));
    item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
    item->setToolTip(ToQt(hint));
    list_->addItem(item);
  }
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
      list_->PlaceCursor();
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
class QtMainWindow : public QWidget,
                     public MainWindowWith<QtList, QtTextField, QtButton, QtCheckBox, QtLabel> {
 public:
  QtMainWindow();
  // A path field that loses the focus while the window goes signals from
  // QWidget's destructor, when this window's own part is gone already: the
  // controls are cut off from it first.
  ~QtMainWindow() override {
    for (QObject* child : findChildren<QObject*>()) disconnect(child, nullptr, this, nullptr);
  }

  void SetEvents(MainWindowEvents* events) override;
  void Show() override {
    PlaceOnScreen();
    show();
  }
  bool Enabled() const override { return body_->isEnabled(); }
  // Greys out every control but the status line, which stays readable.
  void SetEnabled(bool enabled) override { body_->setEnabled(enabled); }
  void FocusControl(ControlId id) override {
    if (QWidget* widget = widgets_[size_t(id)]) widget->setFocus(Qt::OtherFocusReason);
  }

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
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    // Alt and a letter that no caption or button takes does nothing, as in
    // a dialog: it never types the letter into the focused control.
    Qt::KeyboardModifiers modifiers = key->modifiers();
    if (modifiers & Qt::AltModifier && !(modifiers & Qt::ControlModifier) &&
        !key->text().isEmpty()) {
      return true;
    }
    // Enter or Space on an episode archive opens it, as a double-click does;
    // on a level, it picks it.
    if (auto* list = Widget<ListView>(ControlId::kArchiveList); watched == list && events_) {
      if (key->key() == Qt::Key_Space || key->key() == Qt::Key_Return ||
          key->key() == Qt::Key_Enter) {
        list->SelectCursorItem();
        events_->OnArchiveActivated();
        return true;
      }
    }
    return QWidget::eventFilter(watched, event);
  }

 private:
  // In the middle of the screen's free area, its top left corner on it:
  // placed by the program rather than by the window manager, so that a
  // dialog shown at once (the games found on the first start) knows where
  // the window is and opens over it.
  void PlaceOnScreen() {
    QRect free = screen()->availableGeometry();
    QPoint corner = free.center() - rect().center();
    move(std::max(corner.x(), free.left()), std::max(corner.y(), free.top()));
  }
  // The widget of one of the main window's controls.
  template <typename T>
  T* Widget(ControlId id) const {
    return static_cast<T*>(widgets_[size_t(id)]);
  }
  // Each caption's key goes to the control after it in the table; the Tab
  // key follows the table.
  void ConnectCaptions();
  void SetTabOrder();
  // The groups of controls, from the top of the window.
  QGroupBox* MakePathGroup();
  QLayout* MakeLists();
  QLayout* MakeCommandRow();
  QWidget* MakeTextLine(ControlId id);

  MainWindowEvents* events_ = nullptr;
  // Holds every control but the status line.
  QWidget* body_ = nullptr;
  // The controls' signals are connected to events_ (on the first SetEvents).
  bool connected_ = false;
  // Every control of the main window, by ControlId; null for the others.
  std::array<QWidget*, kControlCount> widgets_;
};

QtMainWindow::QtMainWindow() {
  // The controls the window interfaces name have made theirs; the others
  // (captions, Refresh, About) are made here.
  widgets_.fill(nullptr);
  ForEachControl(
      [this](ControlId id, const auto& control) { widgets_[size_t(id)] = control.widget(); });
  for (const ControlInfo& control : kControls) {
    QWidget*& widget = widgets_[size_t(control.id)];
    if (control.window == WindowId::kMain && widget == nullptr) widget = MakeWidget(control.id);
  }
  setObjectName("main_window");
  setWindowTitle(kProgramTitle);
  ConnectCaptions();
  for (QWidget* widget : widgets_) {
    if (widget != nullptr) widget->installEventFilter(this);
  }

  body_ = new QWidget;
  auto* body = new QVBoxLayout(body_);
  body->setContentsMargins(0, 0, 0, 0);
  body->addWidget(MakePathGroup());
  body->addLayout(MakeLists(), 1);
  body->addLayout(MakeCommandRow());
  body->addWidget(MakeTextLine(ControlId::kPlayerLine));
  auto* window = new QVBoxLayout(this);
  window->addWidget(body_, 1);
  window->addWidget(MakeTextLine(ControlId::kStatusLine));
  SetTabOrder();

  // A size that shows long paths and archive names without scrolling; the
  // layout works in device-independent pixels, so it scales with the
  // display.
  int unit = fontMetrics().height();
  resize(unit * 56, unit * 30);
}

void QtMainWindow::ConnectCaptions() {
  for (size_t k = 0; k + 1 < kControlCount; ++k) {
    ControlKind kind = kControls[k].kind;
    if (kind == ControlKind::kLabel || kind == ControlKind::kListCaption) {
      static_cast<QLabel*>(widgets_[k])->setBuddy(widgets_[k + 1]);
    }
  }
}

void QtMainWindow::SetTabOrder() {
  QWidget* before = nullptr;
  for (QWidget* widget : widgets_) {
    if (widget == nullptr || !(widget->focusPolicy() & Qt::TabFocus)) continue;
    if (before != nullptr) setTabOrder(before, widget);
    before = widget;
  }
}

// The two paths, each with its caption and Browse... button.
QGroupBox* QtMainWindow::MakePathGroup() {
  auto* group = Widget<QGroupBox>(ControlId::kGameGroup);
  auto* paths = new QGridLayout(group);
  const ControlId rows[2][3] = {
      {ControlId::kGamePathLabel, ControlId::kGamePathField, ControlId::kBrowseGameButton},
      {ControlId::kExpansionPathLabel, ControlId::kExpansionPathField,
       ControlId::kBrowseExpansionButton}};
  for (int row = 0; row < 2; ++row) {
    for (int column = 0; column < 3; ++column) {
      paths->addWidget(Widget<QWidget>(rows[row][column]), row, column);
    }
  }
  paths->setColumnStretch(1, 1);
  return group;
}

// The archive list with Back and Refresh below, beside the extra list.
QLayout* QtMainWindow::MakeLists() {
  auto* levels = new QVBoxLayout;
  levels->addWidget(Widget<QWidget>(ControlId::kListCaption));
  levels->addWidget(Widget<QWidget>(ControlId::kArchiveList), 1);
  auto* below_list = new QHBoxLayout;
  below_list->addWidget(Widget<QWidget>(ControlId::kBackButton));
  below_list->addStretch(1);
  below_list->addWidget(Widget<QWidget>(ControlId::kRefreshButton));
  levels->addLayout(below_list);
  auto* extras = new QVBoxLayout;
  extras->addWidget(Widget<QWidget>(ControlId::kExtraListCaption));
  extras->addWidget(Widget<QWidget>(ControlId::kExtraList), 1);
  auto* lists = new QHBoxLayout;
  lists->addLayout(levels, 3);
  lists->addLayout(extras, 2);
  return lists;
}

// The factor and the check boxes at the left, the commands at the right.
QLayout* QtMainWindow::MakeCommandRow() {
  auto* factor = Widget<QLineEdit>(ControlId::kFactorField);
  // As wide in a narrow window as in a wide one.
  factor->setFixedWidth(factor->fontMetrics().horizontalAdvance('0') * kFactorFieldDigits +
                        factor->fontMetrics().height());
  auto* command = new QHBoxLayout;
  command->addWidget(Widget<QWidget>(ControlId::kFactorLabel));
  command->addWidget(factor);
  command->addSpacing(factor->fontMetrics().height());
  for (ControlId id : {ControlId::kGravityCheckBox, ControlId::kStartInLevelCheckBox}) {
    command->addWidget(Widget<QWidget>(id));
  }
  command->addStretch(1);
  for (ControlId id :
       {ControlId::kAboutButton, ControlId::kSaveModButton, ControlId::kScaleButton}) {
    command->addWidget(Widget<QWidget>(id));
  }
  return command;
}

// What the factor changes for the player, or what a run left out, in text
// that can be selected and copied.
QWidget* QtMainWindow::MakeTextLine(ControlId id) {
  auto* line = Widget<QLabel>(id);
  line->setWordWrap(true);
  line->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return line;
}

void QtMainWindow::SetEvents(MainWindowEvents* events) {
  events_ = events;
  if (connected_) return;
  connected_ = true;
  using Event = void (MainWindowEvents::*)();
  auto raise = [this](Event event) {
    return [this, event] {
      if (events_ != nullptr) (events_->*event)();
    };
  };
  const std::pair<ControlId, Event> clicks[] = {
      {ControlId::kBrowseGameButton, &MainWindowEvents::OnBrowseGame},
      {ControlId::kBrowseExpansionButton, &MainWindowEvents::OnBrowseExpansion},
      {ControlId::kScaleButton, &MainWindowEvents::OnScaleAndPlay},
      {ControlId::kSaveModButton, &MainWindowEvents::OnSaveAsMod},
      {ControlId::kBackButton, &MainWindowEvents::OnBack},
      {ControlId::kRefreshButton, &MainWindowEvents::OnRefresh},
      {ControlId::kAboutButton, &MainWindowEvents::OnAbout},
  };
  for (auto [id, event] : clicks) {
    connect(Widget<QPushButton>(id), &QPushButton::clicked, this, raise(event));
  }
  const std::pair<ControlId, Event> changes[] = {
      {ControlId::kGamePathField, &MainWindowEvents::OnGamePathChanged},
      {ControlId::kExpansionPathField, &MainWindowEvents::OnExpansionPathChanged},
      {ControlId::kFactorField, &MainWindowEvents::OnFactorChanged},
  };
  for (auto [id, event] : changes) {
    connect(Widget<QLineEdit>(id), &QLineEdit::textChanged, this, raise(event));
  }
  for (ControlId id : {ControlId::kGamePathField, ControlId::kExpansionPathField}) {
    connect(Widget<QLineEdit>(id), &QLineEdit::editingFinished, this,
            raise(&MainWindowEvents::OnPathFieldLeft));
  }
  // Clicks only: the program's own SetChecked raises no event.
  connect(Widget<QCheckBox>(ControlId::kStartInLevelCheckBox), &QCheckBox::clicked, this,
          raise(&MainWindowEvents::OnStartInLevelChanged));
  connect(Widget<QCheckBox>(ControlId::kGravityCheckBox), &QCheckBox::clicked, this,
          raise(&MainWindowEvents::OnGravityChanged));
  // Keys of the controls: greyed out with them.
  connect(new QShortcut(QKeySequence::Refresh, body_), &QShortcut::activated, this,
          raise(&MainWindowEvents::OnRefresh));
  connect(new QShortcut(QKeySequence::HelpContents, body_), &QShortcut::activated, this,
          raise(&MainWindowEvents::OnAbout));
  // Enter in the factor field is Scale and play, when that can be clicked.
  connect(Widget<QLineEdit>(ControlId::kFactorField), &QLineEdit::returnPressed, this, [this] {
    auto* scale = Widget<QPushButton>(ControlId::kScaleButton);
    if (scale->isEnabled()) scale->click();
  });
  auto* archives = Widget<ListView>(ControlId::kArchiveList);
  connect(archives, &QListWidget::itemSelectionChanged, this,
          raise(&MainWindowEvents::OnArchiveSelectionChanged));
  connect(archives, &QListWidget::itemDoubleClicked, this,
          raise(&MainWindowEvents::OnArchiveActivated));
}

// The progress window: what the run is doing, in words, over a bar, and a
// Cancel button. Closing the window is cancelling too; it closes when the
// run has stopped.
class QtProgressWindow : public QWidget, public ProgressWindow {
 public:
  QtProgressWindow()
      : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                             Qt::WindowCloseButtonHint),
        text_(static_cast<QLabel*>(MakeWidget(ControlId::kProgressText))),
        bar_(static_cast<QProgressBar*>(MakeWidget(ControlId::kProgressBar))),
        cancel_(static_cast<QPushButton*>(MakeWidget(ControlId::kCancelButton))) {
    setObjectName("progress_window");
    setWindowTitle(kProgramTitle);
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
    text_->setText(kCancellingText);
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
    // The program asks itself before it replaces a file (Ask).
    QString chosen = QFileDialog::getSaveFileName(parent_, ToQt(title), start,
                                                  "Episode archives (*.gob *.goo);;All files (*)",
                                                  nullptr, QFileDialog::DontConfirmOverwrite);
    return FromQt(QDir::toNativeSeparators(chosen));
  }

  int Choose(const std::string& title, const std::string& text,
             const std::vector<std::string>& items) override {
    std::unique_ptr<QInputDialog> dialog = MakeChooseDialog(parent_, title, text, items);
    if (dialog->exec() != QDialog::Accepted) return -1;
    return int(dialog->comboBoxItems().indexOf(dialog->textValue()));
  }

  void About(const std::string& text) override {
    QMessageBox::about(parent_, kAboutTitle, ToQt(text));
  }

  bool Ask(const std::string& question) override {
    QMessageBox box(QMessageBox::Question, kProgramTitle, WrappableText(ToQt(question)),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setObjectName("message_box");
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
  }

  void Message(const std::string& text) override {
    QMessageBox box(QMessageBox::Warning, kProgramTitle, WrappableText(ToQt(text)), QMessageBox::Ok,
                    parent_);
    box.setObjectName("message_box");
    box.exec();
  }

  void Notice(const std::string& text) override {
    QMessageBox box(QMessageBox::Information, kProgramTitle, WrappableText(ToQt(text)),
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
      dialogs_(std::make_unique<QtDialogs>(main_window_.get())),
      // A finished job wakes the main window's thread through its event
      // queue; a queued call whose window is gone is dropped.
      background_(std::make_unique<BackgroundWork>([this] {
        QMetaObject::invokeMethod(
            main_window_.get(), [this] { background_->RunFinished(); }, Qt::QueuedConnection);
      })) {
  progress_window_->PlaceOver(main_window_.get());
}

// The worker is stopped first, before the windows it may wake go.
QtWindowSystem::~QtWindowSystem() { background_.reset(); }

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

void QtWindowSystem::RunInBackground(std::function<void()> work, std::function<void()> done) {
  background_->Run(std::move(work), std::move(done));
}

}  // namespace jk
