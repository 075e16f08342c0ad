#include "app/qt/report_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QResizeEvent>
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

// The folder on one line, whatever its length: its middle gives way to an
// ellipsis when the line is too short, and the tooltip holds it whole.
class FolderLine : public QLabel {
 public:
  FolderLine(const QString& folder, QWidget* parent)
      : QLabel(parent), folder_(folder) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setToolTip(folder_);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The dialog's width decides the line's, never the folder's length.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setText(Shown(width()));
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    setText(Shown(event->size().width()));
  }

 private:
  QString Shown(int width) const {
    const QString caption = tr("Folder: ");
    const int room = width - fontMetrics().horizontalAdvance(caption) -
                     2 * margin() - 2 * frameWidth();
    return caption + fontMetrics().elidedText(folder_, Qt::ElideMiddle, room);
  }

  QString folder_;
};

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
  layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);

  auto* summary = new QLabel(Local(report.summary), this);
  summary->setObjectName("summary");
  summary->setTextFormat(Qt::PlainText);
  summary->setWordWrap(true);
  summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(summary, 0, 1);
  auto* folder = new FolderLine(Local(report.folder), this);
  folder->setObjectName("folder");
  layout->addWidget(folder, 1, 1, Qt::AlignTop);

  if (!report.details.empty()) {
    auto* details = new QPlainTextEdit(Local(report.details), this);
    details->setObjectName("details");
    details->setReadOnly(true);
    details->setLineWrapMode(QPlainTextEdit::NoWrap);
    details->setMinimumHeight(details->fontMetrics().lineSpacing() *
                              kDetailLines);
    layout->addWidget(details, 2, 0, 1, 2);
  }

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons, 3, 0, 1, 2);
}

}  // namespace brimwald
