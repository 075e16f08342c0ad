// What the Qt window's tests do as a user would, through the window system.

#ifndef BRIMWALD_APP_QT_WINDOW_TEST_SUPPORT_H_
#define BRIMWALD_APP_QT_WINDOW_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <QListWidget>
#include <QString>
#include <QTest>
#include <QWidget>

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

}  // namespace brimwald::test_support

#endif  // BRIMWALD_APP_QT_WINDOW_TEST_SUPPORT_H_
