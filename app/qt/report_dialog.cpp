#include "app/qt/report_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStyle>

namespace brimwald {
namespace {

// Wide enough for a folder's path on the summary line, and for the
// details to show about ten failures before they scroll.
constexpr int kMinimumWidth = 480;
constexpr int kDetailLines = 10;

QString Local(const std::string& text) {
  return QString::fromLocal8Bit(text.data(),
                                static_cast<qsizetype>(text.size()));
}

}  // namespace

ReportDialog::ReportDialog(const ExtractReport& report, const QString& title,
                           QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(title);
  setMinimumWidth(kMinimumWidth);
  auto* layout = new QGridLayout(this);

  auto* icon = new QLabel(this);
  icon->setObjectName("icon");
  const QStyle::StandardPixmap kind = report.warning
                                          ? QStyle::SP_MessageBoxWarning
                                          : QStyle::SP_MessageBoxInformation;
  const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
  icon->setPixmap(style()->standardIcon(kind).pixmap(size, size));
  layout->addWidget(icon, 0, 0, Qt::AlignTop);

  auto* summary = new QLabel(Local(report.summary), this);
  summary->setObjectName("summary");
  summary->setTextFormat(Qt::PlainText);
  summary->setWordWrap(true);
  summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(summary, 0, 1);

  if (!report.details.empty()) {
    auto* details = new QPlainTextEdit(Local(report.details), this);
    details->setObjectName("details");
    details->setReadOnly(true);
    details->setLineWrapMode(QPlainTextEdit::NoWrap);
    details->setMinimumHeight(details->fontMetrics().lineSpacing() *
                              kDetailLines);
    layout->addWidget(details, 1, 0, 1, 2);
  }

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons, 2, 0, 1, 2);
}

}  // namespace brimwald
