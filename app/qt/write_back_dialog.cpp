#include "app/qt/write_back_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace brimwald {
namespace {

constexpr int kMinimumWidth = 520;

QString Local(const std::string& text) {
  return QString::fromLocal8Bit(text.data(),
                                static_cast<qsizetype>(text.size()));
}

}  // namespace

WriteBackDialog::WriteBackDialog(const WriteBackPlan& plan,
                                 const QString& caption, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(caption + " - " + Local(plan.title));
  setMinimumWidth(kMinimumWidth);
  auto* layout = new QVBoxLayout(this);
  auto* text = new QLabel(Local(plan.text), this);
  text->setObjectName("text");
  text->setTextFormat(Qt::PlainText);
  text->setWordWrap(true);
  layout->addWidget(text);
  if (!plan.details.empty()) {
    auto* details = new QPlainTextEdit(Local(plan.details), this);
    details->setObjectName("details");
    details->setReadOnly(true);
    details->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tab leaves the box for the buttons.
    details->setTabChangesFocus(true);
    layout->addWidget(details);
  }
  QDialogButtonBox* buttons = nullptr;
  if (plan.can_confirm) {
    backup_ = new QCheckBox(Local(plan.backup_label), this);
    backup_->setObjectName("backup");
    backup_->setChecked(true);
    layout->addWidget(backup_);
    buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("&Replace"));
  } else {
    buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  }
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  QPushButton* answer = buttons->button(
      plan.can_confirm ? QDialogButtonBox::Ok : QDialogButtonBox::Close);
  answer->setDefault(true);
  answer->setFocus();
}

bool WriteBackDialog::backup() const {
  return backup_ != nullptr && backup_->isChecked();
}

}  // namespace brimwald
