// What the Qt window's tests do as a user would, through the window system.

#ifndef BRIMWALD_APP_QT_WINDOW_TEST_SUPPORT_H_
#define BRIMWALD_APP_QT_WINDOW_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <QWindow>
#include <functional>

namespace brimwald::test_support {

/// Right-clicks the item `name` of `list` in `window` through the window
/// system, which turns the press into a context menu request as it does
/// for a user.
inline void RightClickItem(QWidget& window, QListWidget& list,
                           const QString& name) {
  QList<QListWidgetItem*> items = list.findItems(name, Qt::MatchExactly);
  ASSERT_EQ(items.size(), 1) << name.toStdString();
  QPoint at = list.viewport()->mapTo(
      &window, list.visualItemRect(items.front()).center());
  QTest::mouseClick(window.windowHandle(), Qt::RightButton, Qt::NoModifier, at);
}

/// Drags `files` over the top-level `window` to the point `at` (in its
/// coordinates) and drops them there, as the window system hands a drop
/// to the window, which passes it on to the widget under the point.
/// Whether the drop was accepted.
inline bool DropFiles(QWidget& window, QPoint at, const QStringList& files) {
  QMimeData data;
  QList<QUrl> urls;
  for (const QString& file : files) urls << QUrl::fromLocalFile(file);
  data.setUrls(urls);
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton,
                        Qt::NoModifier);
  QApplication::sendEvent(window.windowHandle(), &enter);
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton,
                  Qt::NoModifier);
  QApplication::sendEvent(window.windowHandle(), &drop);
  return drop.isAccepted();
}

/// Calls `act` with what `find` finds, once it finds something, from the
/// event loop: for the modal dialogs and menus an action opens.
inline void OnceFound(QObject* owner, std::function<QWidget*()> find,
                      std::function<void(QWidget*)> act) {
  auto* timer = new QTimer(owner);
  QObject::connect(timer, &QTimer::timeout, [timer, find, act] {
    if (QWidget* found = find()) {
      timer->stop();
      timer->deleteLater();
      act(found);
    }
  });
  timer->start(0);
}

}  // namespace brimwald::test_support

#endif  // BRIMWALD_APP_QT_WINDOW_TEST_SUPPORT_H_
