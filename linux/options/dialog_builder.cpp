#include "linux/options/dialog_builder.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyledItemDelegate>

#include "linux/options/dialog_look.h"

namespace quorrel::linux_desktop {

namespace {

// The frame a window manager draws around a sizeable window, as these
// windows were drawn: their sizes are given with it.
constexpr int kSizeableFrameWidth = 8;
constexpr int kSizeableFrameHeight = 27;

// Every list entry is as high as the list was drawn with.
class FixedRowDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), kVideoListRowHeight};
  }
};

void place(QWidget* widget, const Rect& rect) { widget->setGeometry(rect.left, rect.top, rect.width, rect.height); }

QLabel* makeLabel(const ControlLayout& row, QWidget* parent) {
  auto* label = new QLabel(QString::fromLatin1(row.caption), parent);
  label->setFont(DialogFont(row.font));
  if (row.navy) SetTextColour(label, kNavy);
  if (row.kind == ControlKind::FittedLabel) {
    label->move(row.place.left, row.place.top);
    label->adjustSize();
    return label;
  }
  if (row.kind == ControlKind::WrappedLabel) {
    label->setWordWrap(true);
  } else {
    label->setTextFormat(Qt::PlainText);
  }
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  place(label, row.place);
  return label;
}

QListWidget* makeList(const ControlLayout& row, QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setFont(DialogFont(row.font));
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setUniformItemSizes(true);
  list->setItemDelegate(new FixedRowDelegate(list));
  QPalette palette = list->palette();
  palette.setColor(QPalette::Base, kListBackground);
  list->setPalette(palette);
  place(list, row.place);
  return list;
}

QPushButton* makeButton(const ControlLayout& row, QWidget* parent) {
  auto* button = new QPushButton(QString::fromLatin1(row.caption), parent);
  if (row.picture != ButtonPicture::None) {
    button->setIcon(PictureIcon(row.picture));
    button->setIconSize(QSize(kButtonPictureSize, kButtonPictureSize));
  }
  button->setFont(DialogFont(row.font));
  if (row.tooltip != nullptr) button->setToolTip(QString::fromLatin1(row.tooltip));
  if (row.navy) SetTextColour(button, kNavy);
  if (row.isDefault) button->setDefault(true);
  place(button, row.place);
  return button;
}

// A radio button or a check box: its caption in the row's font and colour.
template <typename Choice>
Choice* makeChoice(const ControlLayout& row, QWidget* parent) {
  auto* choice = new Choice(QString::fromLatin1(row.caption), parent);
  choice->setFont(DialogFont(row.font));
  if (row.navy) SetTextColour(choice, kNavy);
  place(choice, row.place);
  return choice;
}

QWidget* makeControl(const ControlLayout& row, QWidget* parent) {
  switch (row.kind) {
    case ControlKind::Label:
    case ControlKind::WrappedLabel:
    case ControlKind::FittedLabel:
      return makeLabel(row, parent);
    case ControlKind::ListBox:
      return makeList(row, parent);
    case ControlKind::GroupBox: {
      auto* group = new QGroupBox(QString::fromLatin1(row.caption), parent);
      group->setFont(DialogFont(row.font));
      place(group, row.place);
      return group;
    }
    case ControlKind::SunkenPanel: {
      auto* panel = new QFrame(parent);
      panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      panel->setLineWidth(2);
      place(panel, row.place);
      return panel;
    }
    case ControlKind::PushButton:
      return makeButton(row, parent);
    case ControlKind::RadioButton:
      return makeChoice<QRadioButton>(row, parent);
    case ControlKind::CheckBox:
      return makeChoice<QCheckBox>(row, parent);
    case ControlKind::ScrollBar: {
      auto* bar = new QScrollBar(Qt::Horizontal, parent);
      place(bar, row.place);
      return bar;
    }
    case ControlKind::ReadOnlyEdit: {
      auto* edit = new QLineEdit(parent);
      edit->setFont(DialogFont(row.font));
      edit->setEnabled(false);
      place(edit, row.place);
      return edit;
    }
    case ControlKind::NumberBox: {
      auto* box = new QSpinBox(parent);
      box->setFont(DialogFont(row.font));
      place(box, row.place);
      return box;
    }
    case ControlKind::VideoPanel: {
      // The player draws into the panel through a window of its own.
      auto* panel = new QWidget(parent);
      panel->setAttribute(Qt::WA_NativeWindow);
      panel->setAutoFillBackground(true);
      QPalette palette = panel->palette();
      palette.setColor(QPalette::Window, kDialogBackground);
      panel->setPalette(palette);
      place(panel, row.place);
      return panel;
    }
  }
  return nullptr;
}

}  // namespace

void ApplyWindowLayout(QWidget& window, const WindowLayout& layout) {
  window.setWindowTitle(QString::fromLatin1(layout.title));
  ApplyDialogLook(&window, DialogFont(layout.font));
  if (layout.frame == WindowFrame::Fixed) {
    window.setFixedSize(layout.width, layout.height);
  } else {
    window.resize(layout.width - kSizeableFrameWidth, layout.height - kSizeableFrameHeight);
  }
  CentreOnScreen(&window);
}

LaidOutControls BuildControls(QWidget& window, const WindowLayout& layout) {
  LaidOutControls controls;
  controls.widgets_[ControlId::Window] = &window;
  for (const ControlLayout& row : layout.controls) {
    controls.widgets_[row.id] = makeControl(row, controls.widgets_.at(row.parent));
  }
  return controls;
}

}  // namespace quorrel::linux_desktop
